// The anaglyph modes: the sRGB tables over their whole input ranges and every
// mode against its definition evaluated in double (exhaustively where a
// channel depends on few inputs). The mode names are the option tests'.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

#include "cli/anaglyph_modes.h"

namespace {

// A correctly rounded result is within half a level of the real value; the
// slack only absorbs the error of evaluating the reference in double.
constexpr double kRounded = 0.5 + 1e-9;

// sRGB transfer, IEC 61966-2-1, on [0, 1].
double Decode(double v) { return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); }
double Encode(double x) {
    return x <= 0.0031308 ? 12.92 * x : 1.055 * std::pow(x, 1 / 2.4) - 0.055;
}

int Channel(uint32_t p, int c) { return static_cast<int>((p >> (16 - 8 * c)) & 0xFF); }
double Luma(uint32_t p) {
    return 0.299 * Channel(p, 0) + 0.587 * Channel(p, 1) + 0.114 * Channel(p, 2);
}

// Each level linearises correctly rounded, increasing, and round-trips; every
// 16-bit linear value encodes to its nearest level.
TEST(AnaglyphTransfer, BothTablesOverTheirWholeRanges) {
    for (uint32_t v = 0; v < 256; ++v) {
        EXPECT_LE(std::fabs(SrgbToLinear16(v) - 65535 * Decode(v / 255.0)), kRounded) << v;
        EXPECT_TRUE(v == 0 || SrgbToLinear16(v) > SrgbToLinear16(v - 1)) << v;
        EXPECT_EQ(Linear16ToSrgb(SrgbToLinear16(v)), v);
    }
    EXPECT_EQ(SrgbToLinear16(255), 65535u);
    for (uint32_t n = 0; n < 65536; ++n)
        ASSERT_LE(std::fabs(Linear16ToSrgb(n) - 255 * Encode(n / 65535.0)), kRounded) << n;
}

// Grey, half colour and colour for every colour in the left eye, with its
// complement in the right eye so that a channel taken from the wrong eye shows.
TEST(AnaglyphModeFormulas, LumaAndColourModesForAllColours) {
    for (uint32_t p = 0; p < (1u << 24); ++p) {
        const uint32_t q = p ^ 0xFFFFFF;
        const uint32_t grey = AnaglyphModePixel(AnaglyphMode::Grey, p, q);
        const uint32_t half = AnaglyphModePixel(AnaglyphMode::HalfColour, p, q);
        const uint32_t colour = AnaglyphModePixel(AnaglyphMode::Colour, p, q);
        if (std::fabs(Channel(grey, 0) - Luma(p)) > kRounded ||
            std::fabs(Channel(grey, 1) - Luma(q)) > kRounded ||
            Channel(grey, 2) != Channel(grey, 1) || grey > 0xFFFFFF)
            FAIL() << std::hex << "grey of " << p << " gives " << grey;
        if (std::fabs(Channel(half, 0) - Luma(p)) > kRounded || (half & 0xFF00FFFF) != (q & 0xFFFF))
            FAIL() << std::hex << "half colour of " << p << " gives " << half;
        if (colour != ((p & 0xFF0000) | (q & 0xFFFF)))
            FAIL() << std::hex << "colour of " << p << " gives " << colour;
    }
}

// Optimised red depends on the left green and blue only: all 2^16 pairs, with
// a left red that varies so that using it would show.
TEST(AnaglyphModeFormulas, OptimisedRedForAllGreenBluePairs) {
    for (uint32_t gb = 0; gb < 65536; ++gb) {
        const uint32_t g = gb >> 8, b = gb & 0xFF;
        const uint32_t left = (((g * 7 + b * 13) & 0xFF) << 16) | gb, right = left ^ 0x5A5A5A;
        const uint32_t out = AnaglyphModePixel(AnaglyphMode::Optimised, left, right);
        const double red = 255 * std::pow((0.7 * g + 0.3 * b) / 255, 1 / 1.5);
        ASSERT_LE(std::fabs(Channel(out, 0) - red), kRounded) << g << "," << b;
        ASSERT_EQ(out & 0xFF00FFFF, right & 0xFFFF) << g << "," << b;
    }
}

// Dubois against its least-squares matrices in double for every pair of
// colours on a 17-level grid per channel (24 million pairs): within one level
// everywhere, and the level given less than 0.9 units of 16-bit linear light
// from the nearest one's interval (truncating the sum instead of rounding it
// gives 0.96).
TEST(AnaglyphModeFormulas, DuboisAgainstDoubleOnGridPairs) {
    const double w[2][3][3] = {
        {{0.437, 0.449, 0.164}, {-0.062, -0.062, -0.024}, {-0.048, -0.050, -0.017}},
        {{-0.011, -0.032, -0.007}, {0.377, 0.761, 0.009}, {-0.026, -0.093, 1.234}}};
    const auto clamp = [](double x) { return std::min(1.0, std::max(0.0, x)); };
    std::vector<uint32_t> colours;
    for (uint32_t k = 0; k < 17 * 17 * 17; ++k)
        colours.push_back(((k / 289 * 255 + 8) / 16) << 16 | ((k / 17 % 17 * 255 + 8) / 16) << 8 |
                          (k % 17 * 255 + 8) / 16);
    const size_t n = colours.size();
    std::vector<double> term[2] = {std::vector<double>(n * 3), std::vector<double>(n * 3)};
    for (size_t k = 0; k < n; ++k)
        for (int e = 0; e < 2; ++e)
            for (int c = 0; c < 3; ++c) {
                double sum = 0;
                for (int i = 0; i < 3; ++i)
                    sum += w[e][c][i] * Decode(Channel(colours[k], i) / 255.0);
                term[e][k * 3 + c] = clamp(sum);
            }
    // edge[k] = Decode((k - 2) / 510): level v is within one of x when
    // edge[2v] <= x <= edge[2v + 4], and the nearest when edge[2v + 1] <= x < edge[2v + 3].
    std::vector<double> edge(515);
    for (int k = 0; k < 515; ++k)
        edge[k] = k < 2 ? -std::numeric_limits<double>::infinity()
                  : k > 512 ? std::numeric_limits<double>::infinity()
                            : Decode((k - 2) / 510.0);
    std::vector<uint32_t> leftRow(n), out(n);
    double worstMiss = 0;
    for (size_t l = 0; l < n; ++l) {
        std::fill(leftRow.begin(), leftRow.end(), colours[l]);
        MakeAnaglyphMode(AnaglyphMode::Dubois, static_cast<int>(n), 1, leftRow.data(),
                         colours.data(), out.data(), 0, 0, false);
        for (size_t r = 0; r < n; ++r) {
            if (out[r] > 0xFFFFFF) FAIL() << std::hex << out[r];
            for (int c = 0; c < 3; ++c) {
                const double x = clamp(term[0][l * 3 + c] + term[1][r * 3 + c]);
                const int v = Channel(out[r], c);
                if (!(edge[2 * v] <= x && x <= edge[2 * v + 4]))
                    FAIL() << std::hex << "left " << colours[l] << " right " << colours[r]
                           << " channel " << c << " gives " << v << ", real " << 255 * Encode(x);
                worstMiss = std::max(worstMiss, std::max(edge[2 * v + 1] - x, x - edge[2 * v + 3]));
            }
        }
    }
    EXPECT_LT(worstMiss * 65535, 0.9);
}

}  // namespace
