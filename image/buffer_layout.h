// The image buffer's layout and the arithmetic on it, in one place.
//
// 32-bit buffers: words 0x00RRGGBB, rows top-down, stride = width words.
// 8-bit buffers: palette indices, rows top-down, each padded to 4 bytes.
// Sizes are checked before any allocation: a buffer must fit in a signed
// 32-bit byte count, because GDI takes it as one and user code indexes pixels
// as x + y * width in int arithmetic.
#pragma once
#include <cstddef>
#include <cstdint>

constexpr int64_t kMaxBufferBytes = INT32_MAX;

// Values below 1 become 1.
int QUB_AtLeastOne(int size);

// Bytes from one row to the next; 0 for a depth other than 8 or 32.
int64_t QUB_RowStride(int width, int depth);

// Total bytes of a width x height buffer (both >= 1) of `depth` bits in
// `bytes`. False, with `bytes` untouched, when the depth is not 8 or 32 or the
// total exceeds kMaxBufferBytes.
bool QUB_BufferBytes(int width, int height, int depth, int64_t* bytes);

// Copies the w x h rectangle at (x0, y0) of a 32-bit buffer into `out`, rows
// packed w words apart; positions outside the buffer give 0.
void QUB_ReadRect32(const uint32_t* pixels, int width, int height, int x0, int y0, int w, int h,
                    uint32_t* out);

// The same for an 8-bit buffer whose rows are `stride` bytes apart; rows of
// `out` are `outStride` bytes apart (w for a packed copy, the padded stride for
// a DIB). Padding bytes of `out` are left alone.
void QUB_ReadRect8(const uint8_t* pixels, int width, int height, int stride, int x0, int y0,
                   int w, int h, uint8_t* out, int outStride);

// Writes w x h pixels of `pixelBytes` bytes each (rows `sourceStride` bytes
// apart at `source`) into a buffer of width x height pixels whose rows are
// `stride` bytes apart, with the top-left corner at (x0, y0). What falls
// outside the buffer is left out; far offsets do not overflow.
void QUB_WriteRect(const uint8_t* source, size_t sourceStride, int w, int h, int pixelBytes,
                   uint8_t* pixels, int width, int height, size_t stride, int x0, int y0);

// Sets the top byte of every 32-bit pixel in the w x h rectangle at (x0, y0),
// clipped to the buffer, to 0. Platform drawing (GDI+) writes 0xFF there as
// alpha; the library's pixels are 0x00RRGGBB.
void QUB_ClearTopBytes(uint32_t* pixels, int width, int height, int x0, int y0, int w, int h);
