// Matching costs: census on grey levels.
//
// Census compares each pixel with its neighbours instead of comparing values
// across the views, so a difference of exposure, gain or white balance
// between the two cameras costs nothing, and it is robust at depth edges
// where one window straddles two surfaces. The 9 x 7 window (62 bits) is
// wider than tall because the search runs along rows.
#include "app/depth_cost.h"

#include <algorithm>

namespace {

constexpr int kRadiusX = 4, kRadiusY = 3;

// Bits set in x. The portable form: the popcnt instruction is not in the
// baseline x86-64 the builds target, and the library call is slower still.
inline int CountBits(uint64_t x) {
    x = x - ((x >> 1) & 0x5555555555555555ull);
    x = (x & 0x3333333333333333ull) + ((x >> 2) & 0x3333333333333333ull);
    x = (x + (x >> 4)) & 0x0f0f0f0f0f0f0f0full;
    return static_cast<int>((x * 0x0101010101010101ull) >> 56);
}

}  // namespace

GreyImage ToGrey(const uint32_t* pixels, int width, int height) {
    GreyImage g{width, height, {}};
    const size_t n = static_cast<size_t>(width) * static_cast<size_t>(height);
    g.pixels.resize(n);
    uint8_t* out = g.pixels.data();
    for (size_t i = 0; i < n; ++i) {
        const uint32_t p = pixels[i];
        // Rec. 601 weights in eighths of 256: integer, so every machine agrees.
        const uint32_t y = ((p >> 16) & 255) * 77 + ((p >> 8) & 255) * 150 + (p & 255) * 29;
        out[i] = static_cast<uint8_t>(y >> 8);
    }
    return g;
}

GreyImage Halve(const GreyImage& g) {
    GreyImage h{(g.width + 1) / 2, (g.height + 1) / 2, {}};
    h.pixels.resize(static_cast<size_t>(h.width) * static_cast<size_t>(h.height));
    for (int y = 0; y < h.height; ++y) {
        const uint8_t* r0 = g.pixels.data() + static_cast<size_t>(2 * y) * g.width;
        const uint8_t* r1 = g.pixels.data() + static_cast<size_t>(std::min(2 * y + 1, g.height - 1)) * g.width;
        uint8_t* out = h.pixels.data() + static_cast<size_t>(y) * h.width;
        for (int x = 0; x < h.width; ++x) {
            const int x0 = 2 * x, x1 = std::min(2 * x + 1, g.width - 1);
            out[x] = static_cast<uint8_t>((r0[x0] + r0[x1] + r1[x0] + r1[x1] + 2) >> 2);
        }
    }
    return h;
}

void CensusRows(const GreyImage& g, int y0, int y1, uint64_t* out) {
    const int w = g.width;
    // Rows with clamped columns padded on both sides, so that the inner loop
    // needs no bounds tests.
    const int padded = w + 2 * kRadiusX;
    std::vector<uint8_t> rows(static_cast<size_t>(padded) * (2 * kRadiusY + 1));
    for (int y = y0; y < y1; ++y) {
        for (int j = 0; j <= 2 * kRadiusY; ++j) {
            const int sy = std::clamp(y + j - kRadiusY, 0, g.height - 1);
            const uint8_t* src = g.pixels.data() + static_cast<size_t>(sy) * w;
            uint8_t* dst = rows.data() + static_cast<size_t>(j) * padded;
            for (int x = 0; x < padded; ++x) dst[x] = src[std::clamp(x - kRadiusX, 0, w - 1)];
        }
        uint64_t* o = out + static_cast<size_t>(y - y0) * w;
        for (int x = 0; x < w; ++x) o[x] = 0;
        const uint8_t* centre = rows.data() + static_cast<size_t>(kRadiusY) * padded + kRadiusX;
        // Bit by bit over whole rows: the compiler vectorises the x loop.
        for (int j = 0; j <= 2 * kRadiusY; ++j)
            for (int i = 0; i <= 2 * kRadiusX; ++i) {
                if (j == kRadiusY && i == kRadiusX) continue;
                const uint8_t* n = rows.data() + static_cast<size_t>(j) * padded + i;
                for (int x = 0; x < w; ++x) o[x] = (o[x] << 1) | (n[x] < centre[x] ? 1u : 0u);
            }
    }
}

void BandCosts(const uint64_t* left, const uint64_t* right, int width, int rows,
               const int16_t* base, int K, uint8_t* cost) {
    for (int r = 0; r < rows; ++r) {
        const uint64_t* l = left + static_cast<size_t>(r) * width;
        const uint64_t* rr = right + static_cast<size_t>(r) * width;
        for (int x = 0; x < width; ++x) {
            const size_t i = static_cast<size_t>(r) * width + x;
            uint8_t* c = cost + i * K;
            const uint64_t s = l[x];
            // Right pixel x - base - k: inside for k in [x - base - width + 1, x - base].
            const int first = std::max(0, x - base[i] - width + 1);
            const int last = std::min(K - 1, x - base[i]);
            int k = 0;
            for (; k < std::min(first, K); ++k) c[k] = kOutsideCost;
            for (; k <= last; ++k) c[k] = static_cast<uint8_t>(CountBits(s ^ rr[x - base[i] - k]));
            for (; k < K; ++k) c[k] = kOutsideCost;
        }
    }
}
