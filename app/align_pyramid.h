// Grey copies of the views for the alignment analysis: luma reduced by a whole
// factor, then halved level by level. Internal to the alignment engine.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

// Luma on a ten-bit scale, 0..1020 (four steps per 8-bit level): averaging
// keeps two bits that 8-bit views do not have, and a 15 x 15 patch's products
// still sum in 32 bits.
struct LumaImage {
    int width = 0;
    int height = 0;
    std::vector<uint16_t> pixels;  // rows top-down, stride = width

    const uint16_t* Row(int y) const { return pixels.data() + static_cast<size_t>(y) * width; }
    int At(int x, int y) const { return Row(y)[x]; }
};

// Views are analysed with at most this many pixels each.
constexpr int64_t kAnalysisMaxPixels = 1200000;

// The smallest whole factor f with (w / f) * (h / f) <= kAnalysisMaxPixels for
// both views: the same for both, so that their geometry stays comparable.
int AnalysisReduction(int leftWidth, int leftHeight, int rightWidth, int rightHeight);

// Averages the luma of f x f blocks; a last partial block row or column is
// left out. Luma weights 77, 150, 29 (of 256) for red, green and blue.
void ReduceToLuma(const uint32_t* view, int width, int height, int factor, LumaImage& out);

// The next pyramid level: 2 x 2 averages, rounded; an odd last row or column
// is left out. A pixel (u, v) of the result covers (2u..2u+1, 2v..2v+1).
void HalveLuma(const LumaImage& in, LumaImage& out);
