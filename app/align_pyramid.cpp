#include "app/align_pyramid.h"

#include <algorithm>

int AnalysisReduction(int leftWidth, int leftHeight, int rightWidth, int rightHeight) {
    const int64_t widest = std::max<int64_t>(std::max(leftWidth, rightWidth), 1);
    const int64_t tallest = std::max<int64_t>(std::max(leftHeight, rightHeight), 1);
    int f = 1;
    // Bounded by the larger side: reducing by it leaves a single pixel.
    while ((std::max(leftWidth, 0) / f) * static_cast<int64_t>(std::max(leftHeight, 0) / f) >
               kAnalysisMaxPixels ||
           (std::max(rightWidth, 0) / f) * static_cast<int64_t>(std::max(rightHeight, 0) / f) >
               kAnalysisMaxPixels) {
        if (f >= widest && f >= tallest) break;
        ++f;
    }
    return f;
}

namespace {

// Luma times 256 of one pixel. Red and blue share one multiply: with red in
// bits 16..23 and blue in 0..7, the product's bits 16..31 hold 77 r + 29 b
// (no carry: 77 b < 2^16).
inline uint32_t Luma256(uint32_t c) {
    const uint32_t redBlue = ((c & 0x00FF00FFu) * 0x001D004Du) >> 16;
    return redBlue + ((c >> 8) & 0xFFu) * 150u;
}

void AddRowLuma(const uint32_t* row, int outWidth, int factor, uint32_t* sums) {
    switch (factor) {
    case 1:
        for (int x = 0; x < outWidth; ++x) sums[x] += Luma256(row[x]);
        return;
    case 2:
        for (int x = 0; x < outWidth; ++x) sums[x] += Luma256(row[2 * x]) + Luma256(row[2 * x + 1]);
        return;
    case 4:
        for (int x = 0; x < outWidth; ++x) {
            const uint32_t* p = row + 4 * x;
            sums[x] += (Luma256(p[0]) + Luma256(p[1])) + (Luma256(p[2]) + Luma256(p[3]));
        }
        return;
    default:
        for (int x = 0; x < outWidth; ++x) {
            const uint32_t* p = row + static_cast<size_t>(x) * factor;
            uint32_t s = 0;
            for (int k = 0; k < factor; ++k) s += Luma256(p[k]);
            sums[x] += s;
        }
    }
}

}  // namespace

void ReduceToLuma(const uint32_t* view, int width, int height, int factor, LumaImage& out) {
    out.width = width / factor;
    out.height = height / factor;
    if (out.width <= 0 || out.height <= 0) {
        out.width = out.height = 0;
        out.pixels.clear();
        return;
    }
    out.pixels.assign(static_cast<size_t>(out.width) * out.height, 0);
    // Sums of f * f pixels of at most 65280 fit 32 bits up to f = 256, far
    // beyond any view AnalysisReduction sees (it would be 78 gigapixels).
    std::vector<uint32_t> sums(static_cast<size_t>(out.width));
    const double area = static_cast<double>(factor) * factor;
    // Ten-bit luma = sum * 4 / (256 f^2), rounded. A double multiply instead
    // of a division per pixel; IEEE rounding makes it the same everywhere.
    const double scale = 4.0 / (256.0 * area);
    for (int oy = 0; oy < out.height; ++oy) {
        std::fill(sums.begin(), sums.end(), 0u);
        for (int k = 0; k < factor; ++k)
            AddRowLuma(view + static_cast<size_t>(oy * factor + k) * width, out.width, factor,
                       sums.data());
        uint16_t* dst = out.pixels.data() + static_cast<size_t>(oy) * out.width;
        for (int x = 0; x < out.width; ++x)
            dst[x] = static_cast<uint16_t>(static_cast<double>(sums[x]) * scale + 0.5);
    }
}

void HalveLuma(const LumaImage& in, LumaImage& out) {
    out.width = in.width / 2;
    out.height = in.height / 2;
    if (out.width <= 0 || out.height <= 0) {
        out.width = out.height = 0;
        out.pixels.clear();
        return;
    }
    out.pixels.resize(static_cast<size_t>(out.width) * out.height);
    for (int y = 0; y < out.height; ++y) {
        const uint16_t* a = in.Row(2 * y);
        const uint16_t* b = in.Row(2 * y + 1);
        uint16_t* dst = out.pixels.data() + static_cast<size_t>(y) * out.width;
        for (int x = 0; x < out.width; ++x)
            dst[x] = static_cast<uint16_t>((a[2 * x] + a[2 * x + 1] + b[2 * x] + b[2 * x + 1] + 2) >> 2);
    }
}
