// The library's millisecond clock, as pure arithmetic on performance-counter
// counts. It wraps every 2^32 ms; callers compare unsigned differences.
#pragma once
#include <cstdint>

// counts x msPerCount, rounded down, as a 64-bit integer of which the low 32
// bits are returned.
uint32_t QUB_CountsToMilliseconds(int64_t counts, double msPerCount);

// Milliseconds from `earlier` to `later`, correct across the 32-bit wrap.
inline uint32_t QUB_ElapsedMs(uint32_t later, uint32_t earlier) { return later - earlier; }
