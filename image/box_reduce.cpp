#include "image/box_reduce.h"

#include <cstddef>
#include <vector>

#include "core/work_sharing.h"

namespace {

// Zooms go down to 1 %, so a factor is at most 100 and a block row at most
// 100 pixels: their red-and-blue sums (p & 0x00FF00FF) stay below 2^16 in
// each half, and a block's channel sums below 255 * 100^2 < 2^32.
constexpr int kMaxFactor = 100;

// A whole picture's reduction reads all of it: above this many source pixels
// two threads share it, in bands of block rows.
constexpr long long kThreadedPixels = 1 << 20;
constexpr int kBands = 8;

int Clamp(int v, int lo, int hi) { return v < lo ? lo : (v > hi ? hi : v); }

void ReduceBlockRows(const uint32_t* src, int width, int height, int factor, uint32_t* dst,
                     int bx0, int by0, int bx1, int by1) {
    const int cw = QUB_ReducedSize(width, factor);
    const int blocks = bx1 - bx0;
    // Channel sums of one row of blocks, built a source row at a time so that
    // the source is read in order, whole rows at once.
    std::vector<uint32_t> red(static_cast<size_t>(blocks)), green(red.size()), blue(red.size());
    const int x0 = bx0 * factor;
    for (int by = by0; by < by1; ++by) {
        const int y0 = by * factor, y1 = y0 + factor < height ? y0 + factor : height;
        for (size_t k = 0; k < red.size(); ++k) red[k] = green[k] = blue[k] = 0;
        for (int y = y0; y < y1; ++y) {
            const uint32_t* row = src + static_cast<ptrdiff_t>(y) * width;
            for (int b = 0; b < blocks; ++b) {
                const int xa = x0 + b * factor, xb = xa + factor < width ? xa + factor : width;
                uint32_t rb = 0, g = 0;
                for (int x = xa; x < xb; ++x) {
                    rb += row[x] & 0x00FF00FFu;
                    g += row[x] & 0x0000FF00u;
                }
                red[static_cast<size_t>(b)] += rb >> 16;
                blue[static_cast<size_t>(b)] += rb & 0xFFFFu;
                green[static_cast<size_t>(b)] += g >> 8;
            }
        }
        uint32_t* out = dst + static_cast<ptrdiff_t>(by) * cw;
        const uint32_t rows = static_cast<uint32_t>(y1 - y0);
        for (int b = 0; b < blocks; ++b) {
            const int xa = x0 + b * factor, xb = xa + factor < width ? xa + factor : width;
            const uint32_t n = rows * static_cast<uint32_t>(xb - xa), half = n / 2;
            const size_t k = static_cast<size_t>(b);
            out[bx0 + b] = ((red[k] + half) / n) << 16 | ((green[k] + half) / n) << 8 |
                           (blue[k] + half) / n;
        }
    }
}

}  // namespace

int QUB_ReductionFactor(int zoom) {
    if (zoom >= 50 || zoom <= 0) return 0;
    const int f = 100 / zoom;
    return f > kMaxFactor ? kMaxFactor : f;
}

int QUB_ReducedSize(int size, int factor) {
    if (size <= 0 || factor <= 0) return 0;
    return size / factor + (size % factor != 0 ? 1 : 0);
}

void QUB_BoxReduce(const uint32_t* src, int width, int height, int factor, uint32_t* dst, int bx0,
                   int by0, int bx1, int by1) {
    if (factor <= 0 || factor > kMaxFactor || width <= 0 || height <= 0) return;
    const int cw = QUB_ReducedSize(width, factor), ch = QUB_ReducedSize(height, factor);
    bx0 = Clamp(bx0, 0, cw);
    bx1 = Clamp(bx1, bx0, cw);
    by0 = Clamp(by0, 0, ch);
    by1 = Clamp(by1, by0, ch);
    if (bx0 == bx1 || by0 == by1) return;
    const int rows = by1 - by0;
    const long long pixels = static_cast<long long>(bx1 - bx0) * rows * factor * factor;
    if (pixels < kThreadedPixels || rows < 2) {
        ReduceBlockRows(src, width, height, factor, dst, bx0, by0, bx1, by1);
        return;
    }
    const int bands = rows < kBands ? rows : kBands;
    ForEachShared(bands, 2, [&](int b, int) {
        const long long r = rows;
        ReduceBlockRows(src, width, height, factor, dst, bx0, by0 + static_cast<int>(r * b / bands),
                        bx1, by0 + static_cast<int>(r * (b + 1) / bands));
    });
}
