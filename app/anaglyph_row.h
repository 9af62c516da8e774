// The red/cyan anaglyph's row: the right view's luminance in red, the left
// view's green and blue. Pixels are 32-bit 0x00RRGGBB.
#pragma once
#include <cstdint>

// out[x] = Y(right[x]) << 16 | (left[x] & 0xFFFF) for x in [0, width), with
// Y = trunc((g * 0.587 + r * 0.299) + b * 0.114) as IEEE double gives it.
// `out` must not overlap the inputs.
void AnaglyphRow(const uint32_t* left, const uint32_t* right, uint32_t* out, int width);

// Y of one right-view pixel: the red AnaglyphRow writes for it.
uint32_t AnaglyphRed(uint32_t rightPixel);
