// The reduced copy that image windows shown small in halftone mode paint
// from: the picture shrunk by a whole factor with a box filter, so that the
// screen's stretch only has the last step (less than a factor of two) to do
// and a partial redisplay reduces only the blocks it shows.
//
// Pixels are 32-bit 0x00RRGGBB, rows top-down, stride the width in words.
// A block is factor x factor source pixels; blocks on the right and bottom
// edges hold what is left of the picture, and each block's channels are the
// rounded mean of the pixels it holds. The fourth byte of the result is 0.
#pragma once
#include <cstdint>

// The factor a window shown at `zoom` percent is reduced by: 100 / zoom below
// 50 %, which leaves the reduced copy at least as large as the window's
// client area; 0 (no reduced copy) at 50 % and above.
int QUB_ReductionFactor(int zoom);

// Blocks along a side of `size` pixels: size / factor rounded up.
int QUB_ReducedSize(int size, int factor);

// Reduces the blocks [bx0, bx1) x [by0, by1) of `src` (width x height) into
// `dst`, whose rows hold QUB_ReducedSize(width, factor) words. Block ranges
// outside the picture are cut to it.
void QUB_BoxReduce(const uint32_t* src, int width, int height, int factor, uint32_t* dst, int bx0,
                   int by0, int bx1, int by1);
