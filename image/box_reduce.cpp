#include "image/box_reduce.h"

#include <cstddef>
#include <vector>

namespace {

// Zooms go down to 1 %, so a factor is at most 100 and a block row at most
// 100 pixels: their red-and-blue sums (p & 0x00FF00FF) stay below 2^16 in
// each half, and a block's channel sums below 255 * 100^2 < 2^32.
constexpr int kMaxFactor = 100;

int Clamp(int v, int lo, int hi) { return v < lo ? lo : (v > hi ? hi : v); }

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
    const int blocks = bx1 - bx0;
    if (blocks == 0) return;
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
