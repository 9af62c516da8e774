// Matching costs of the dense depth estimate (app/depth.h): grey levels, a
// pyramid of them, census signatures and the census cost of each left pixel
// against the right pixels of its band of disparities.
#pragma once
#include <cstdint>
#include <vector>

struct GreyImage {
    int width = 0, height = 0;
    std::vector<uint8_t> pixels;  // stride = width
};

// Luma of 0x00RRGGBB pixels.
GreyImage ToGrey(const uint32_t* pixels, int width, int height);
// Half the size (rounded up), each pixel the mean of up to 2 x 2.
GreyImage Halve(const GreyImage& g);

// Census signatures of rows y0 to y1 - 1: one bit per pixel of the 9 x 7
// window around (the centre left out) telling whether it is darker than the
// centre. Coordinates outside the image are clamped to it. Writes
// (y1 - y0) * width signatures.
void CensusRows(const GreyImage& g, int y0, int y1, uint64_t* out);

// What a disparity whose right pixel falls outside the view costs: about
// what a poor match costs, so that the border neither attracts nor repels.
constexpr uint8_t kOutsideCost = 24;

// Costs of `rows` rows of `width` pixels: for pixel i and k in [0, K), the
// Hamming distance between the left signature at x and the right one at
// x - (base[i] + k), kOutsideCost where that is outside the row. `cost` holds
// rows * width * K values, pixel after pixel.
void BandCosts(const uint64_t* left, const uint64_t* right, int width, int rows,
               const int16_t* base, int K, uint8_t* cost);
