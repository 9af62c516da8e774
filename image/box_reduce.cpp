#include "image/box_reduce.h"

#include <algorithm>
#include <cstddef>
#include <vector>

#include "core/work_sharing.h"

namespace {

// Zooms go down to 1 %, so a factor is at most 100 and a block at most 100
// pixels high: a column's red-and-blue sum (p & 0x00FF00FF) stays below 2^16
// in each half, its green sum below 2^23, and a block's sums below 2^32.
constexpr int kMaxFactor = 100;

// A whole picture's reduction reads all of it: above this many source pixels
// two threads share it, in bands of block rows.
constexpr long long kThreadedPixels = 1 << 20;
constexpr int kBands = 8;

// x / n rounded down by a multiplication: with m = 2^40 / n rounded up the
// error of x * m / 2^40 is below x / 2^40 < 2^-18 for x < 2^22, smaller than
// the 1 / n <= 10^-4 that x / n's fraction stays below 1. A block's sums are
// at most 255 * 100^2 plus half, below 2^22.
struct Divider {
    uint64_t m;
    explicit Divider(uint32_t n) : m(((uint64_t{1} << 40) + n - 1) / n) {}
    uint32_t operator()(uint32_t x) const { return static_cast<uint32_t>((x * m) >> 40); }
};

int Clamp(int v, int lo, int hi) { return v < lo ? lo : (v > hi ? hi : v); }

void ReduceBlockRows(const uint32_t* src, int width, int height, int factor, uint32_t* dst,
                     int bx0, int by0, int bx1, int by1) {
    const int cw = QUB_ReducedSize(width, factor);
    const int x0 = bx0 * factor, x1 = bx1 * factor < width ? bx1 * factor : width;
    const size_t span = static_cast<size_t>(x1 - x0);
    // Column sums over one row of blocks, a source row at a time: the source
    // is read in order and the loop over a row is one the compiler vectorises.
    // Red and blue share a word, each below 2^16 over at most 100 rows.
    std::vector<uint32_t> redBlue(span), green(span);
    for (int by = by0; by < by1; ++by) {
        const int y0 = by * factor, y1 = y0 + factor < height ? y0 + factor : height;
        std::fill(redBlue.begin(), redBlue.end(), 0u);
        std::fill(green.begin(), green.end(), 0u);
        for (int y = y0; y < y1; ++y) {
            const uint32_t* row = src + static_cast<ptrdiff_t>(y) * width + x0;
            for (size_t k = 0; k < span; ++k) {
                redBlue[k] += row[k] & 0x00FF00FFu;
                green[k] += row[k] & 0x0000FF00u;
            }
        }
        uint32_t* out = dst + static_cast<ptrdiff_t>(by) * cw;
        const uint32_t rows = static_cast<uint32_t>(y1 - y0);
        const size_t f = static_cast<size_t>(factor);
        const Divider whole(rows * static_cast<uint32_t>(factor));
        for (int bx = bx0; bx < bx1; ++bx) {
            const size_t ka = static_cast<size_t>(bx - bx0) * f, kb = ka + f < span ? ka + f : span;
            uint32_t red = 0, blue = 0, greenSum = 0;
            for (size_t k = ka; k < kb; ++k) {
                red += redBlue[k] >> 16;
                blue += redBlue[k] & 0xFFFFu;
                greenSum += green[k];
            }
            greenSum >>= 8;
            const uint32_t n = rows * static_cast<uint32_t>(kb - ka), half = n / 2;
            const Divider divide = kb - ka == f ? whole : Divider(n);
            out[bx] = divide(red + half) << 16 | divide(greenSum + half) << 8 | divide(blue + half);
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
