// Counts the bytes a test or benchmark program holds through operator new,
// so that a run can report the most it held above a starting point. Linking
// align_memory.cpp replaces the program's global operator new and delete.
#pragma once
#include <cstddef>

void ResetPeakHeap();      // the peak becomes what is held now
size_t HeldHeapBytes();
size_t PeakHeapBytes();    // the most held since the last reset
