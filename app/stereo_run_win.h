// The Windows side of the stereo routine: the frame wait and the save.
#pragma once
#include <cstdint>

// Waits about 100 ms while pumping messages. 0 when the time is up, 1 when a
// stop was requested.
int WaitFrame();

// Composes the aligned pair (a, i) side by side into image slot `slot`, saves
// it as a time-stamped JPEG in the current folder and closes the slot again.
// The status line tells the user the time of the save (which names the file),
// or that the save failed.
// 0 saved; 1 nothing to save (no overlap) or no window; 2 the file could not
// be written.
int SaveStereoPair(int height, const uint32_t* left, const uint32_t* right, int half, int a,
                   int i, int slot);
