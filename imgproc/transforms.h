// Whole-image transforms: inversion, mirror images, quarter turns, and the size
// arithmetic of the rescaling steps.
//
// Inversion and the flips work in place on the `width` visible pixels of each
// row (the padding bytes of an 8-bit row are left alone). The rotations write a
// new buffer whose sides are swapped: the source is width x height, the
// destination height x width.
#pragma once
#include <cstdint>

// R, G and B each become 255 minus themselves; the top byte is kept.
void QUB_InvertImage32(uint32_t* pixels, int width, int height);
// Index i becomes 255 - i.
void QUB_InvertImage8(uint8_t* pixels, int width, int height, int stride);

// Pixel (x, y) afterwards holds the old (width - 1 - x, y).
void QUB_FlipHorizontal32(uint32_t* pixels, int width, int height);
void QUB_FlipHorizontal8(uint8_t* pixels, int width, int height, int stride);
// Pixel (x, y) afterwards holds the old (x, height - 1 - y).
void QUB_FlipVertical32(uint32_t* pixels, int width, int height);
void QUB_FlipVertical8(uint8_t* pixels, int width, int height, int stride);

// Clockwise: new(c, r) = old(x = r, y = height - 1 - c), where c runs over the
// new width (= height) and r over the new height (= width).
void QUB_RotateRight32(const uint32_t* src, int width, int height, uint32_t* dst);
// Counter-clockwise: new(c, r) = old(x = width - 1 - r, y = c).
void QUB_RotateLeft32(const uint32_t* src, int width, int height, uint32_t* dst);
// 8-bit forms with the strides of both buffers (a packed copy has stride width).
void QUB_RotateRight8(const uint8_t* src, int width, int height, int srcStride, uint8_t* dst,
                      int dstStride);
void QUB_RotateLeft8(const uint8_t* src, int width, int height, int srcStride, uint8_t* dst,
                     int dstStride);

// The size after rescaling by perMille / 1000, rounded to nearest:
// (side * perMille + 500) / 1000. 0 on success; 2 if a side would fall below 1
// or exceed the int range (the outputs are then unchanged).
int QUB_ScaledSize(int width, int height, int perMille, int* newWidth, int* newHeight);

// Stride in bytes of an 8-bit image row: width rounded up to a multiple of 4.
inline int QUB_Stride8(int width) { return (width + 3) & ~3; }
