#include "imgproc/transforms.h"

#include <algorithm>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#include <cstddef>
#include <cstring>

namespace {

inline size_t Index(int x, int y, size_t stride) {
    return static_cast<size_t>(y) * stride + static_cast<size_t>(x);
}

// Row swaps go through a small stack buffer so that the vertical flip streams
// through memory like a copy, without a heap row and without per-pixel work.
template <class T>
void SwapRows(T* a, T* b, int count) {
    constexpr int kChunk = 4096 / sizeof(T);
    T tmp[kChunk];
    for (int done = 0; done < count; done += kChunk) {
        const int n = std::min(kChunk, count - done);
        const size_t bytes = sizeof(T) * static_cast<size_t>(n);
        std::memcpy(tmp, a + done, bytes);
        std::memcpy(a + done, b + done, bytes);
        std::memcpy(b + done, tmp, bytes);
    }
}

template <class T>
void FlipV(T* pixels, int width, int height, size_t stride) {
    for (int y = 0, z = height - 1; y < z; ++y, --z)
        SwapRows(pixels + Index(0, y, stride), pixels + Index(0, z, stride), width);
}

template <class T>
void FlipH(T* pixels, int width, int height, size_t stride) {
    for (int y = 0; y < height; ++y) {
        T* row = pixels + Index(0, y, stride);
        std::reverse(row, row + width);
    }
}

// Quarter turns in square tiles: reading a source column walks memory with a
// stride of a whole row, so each tile is read and written while both its source
// rows and destination rows stay in cache: 64 x 64 words of each, 16 KB, so
// that both fit a 32 KB first-level cache together. (32 and 128 measured slower.)
constexpr int kTile = 64;

// dst is dw x dh (dw = height, dh = width of the source). For each destination
// pixel (c, r) the source is (sx(c, r), sy(c, r)), linear in c and r.
template <class T, bool kRight>
void Rotate(const T* src, int width, int height, size_t srcStride, T* dst, size_t dstStride) {
    const int dw = height, dh = width;
    for (int r0 = 0; r0 < dh; r0 += kTile) {
        const int r1 = std::min(r0 + kTile, dh);
        for (int c0 = 0; c0 < dw; c0 += kTile) {
            const int c1 = std::min(c0 + kTile, dw);
            for (int r = r0; r < r1; ++r) {
                T* out = dst + Index(0, r, dstStride);
                if (kRight) {
                    // new(c, r) = old(r, height - 1 - c)
                    const T* in = src + Index(r, height - 1 - c0, srcStride);
                    for (int c = c0; c < c1; ++c, in -= srcStride) out[c] = *in;
                } else {
                    // new(c, r) = old(width - 1 - r, c)
                    const T* in = src + Index(width - 1 - r, c0, srcStride);
                    for (int c = c0; c < c1; ++c, in += srcStride) out[c] = *in;
                }
            }
        }
    }
}

}  // namespace

void QUB_InvertImage32(uint32_t* pixels, int width, int height) {
    if (width <= 0 || height <= 0) return;
    const size_t n = static_cast<size_t>(width) * static_cast<size_t>(height);
    for (size_t k = 0; k < n; ++k) pixels[k] ^= 0x00FFFFFFu;
}

void QUB_InvertImage8(uint8_t* pixels, int width, int height, int stride) {
    for (int y = 0; y < height; ++y) {
        uint8_t* row = pixels + Index(0, y, static_cast<size_t>(stride));
        for (int x = 0; x < width; ++x) row[x] = static_cast<uint8_t>(~row[x]);
    }
}

#if defined(__SSE2__)
// Swaps four-pixel blocks from both ends of each row, reversed in registers:
// one pass over the row at memory speed. std::reverse moves one pixel at a
// time and runs half again as slow as memcpy.
void FlipRows32(uint32_t* pixels, int width, int height) {
    for (int y = 0; y < height; ++y) {
        uint32_t* lo = pixels + Index(0, y, static_cast<size_t>(width));
        uint32_t* hi = lo + width;
        while (hi - lo >= 8) {
            hi -= 4;
            const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(lo));
            const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(hi));
            _mm_storeu_si128(reinterpret_cast<__m128i*>(lo), _mm_shuffle_epi32(b, 0x1B));
            _mm_storeu_si128(reinterpret_cast<__m128i*>(hi), _mm_shuffle_epi32(a, 0x1B));
            lo += 4;
        }
        std::reverse(lo, hi);
    }
}
#endif

void QUB_FlipHorizontal32(uint32_t* pixels, int width, int height) {
    if (width <= 0) return;
#if defined(__SSE2__)
    FlipRows32(pixels, width, height);
#else
    FlipH(pixels, width, height, static_cast<size_t>(width));
#endif
}

void QUB_FlipHorizontal8(uint8_t* pixels, int width, int height, int stride) {
    if (width > 0) FlipH(pixels, width, height, static_cast<size_t>(stride));
}

void QUB_FlipVertical32(uint32_t* pixels, int width, int height) {
    if (width > 0) FlipV(pixels, width, height, static_cast<size_t>(width));
}

void QUB_FlipVertical8(uint8_t* pixels, int width, int height, int stride) {
    if (width > 0) FlipV(pixels, width, height, static_cast<size_t>(stride));
}

void QUB_RotateRight32(const uint32_t* src, int width, int height, uint32_t* dst) {
    if (width <= 0 || height <= 0) return;
    Rotate<uint32_t, true>(src, width, height, static_cast<size_t>(width), dst,
                           static_cast<size_t>(height));
}

void QUB_RotateLeft32(const uint32_t* src, int width, int height, uint32_t* dst) {
    if (width <= 0 || height <= 0) return;
    Rotate<uint32_t, false>(src, width, height, static_cast<size_t>(width), dst,
                            static_cast<size_t>(height));
}

void QUB_RotateRight8(const uint8_t* src, int width, int height, int srcStride, uint8_t* dst,
                      int dstStride) {
    if (width <= 0 || height <= 0) return;
    Rotate<uint8_t, true>(src, width, height, static_cast<size_t>(srcStride), dst,
                          static_cast<size_t>(dstStride));
}

void QUB_RotateLeft8(const uint8_t* src, int width, int height, int srcStride, uint8_t* dst,
                     int dstStride) {
    if (width <= 0 || height <= 0) return;
    Rotate<uint8_t, false>(src, width, height, static_cast<size_t>(srcStride), dst,
                           static_cast<size_t>(dstStride));
}

int QUB_ScaledSize(int width, int height, int perMille, int* newWidth, int* newHeight) {
    const int64_t w = (static_cast<int64_t>(width) * perMille + 500) / 1000;
    const int64_t h = (static_cast<int64_t>(height) * perMille + 500) / 1000;
    if (w < 1 || h < 1 || w > 2147483647 || h > 2147483647) return 2;
    *newWidth = static_cast<int>(w);
    *newHeight = static_cast<int>(h);
    return 0;
}
