// The anaglyph modes: the sRGB tables over their whole input ranges and every
// mode against its definition evaluated in double (exhaustively where a
// channel depends on few inputs). The mode names are the option tests'.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
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

// Grey, half colour, colour and optimised for every colour in the left eye,
// with its complement in the right eye so that a channel taken from the wrong
// eye shows. Optimised red is made of the left green and blue only.
TEST(AnaglyphModeFormulas, LumaColourAndOptimisedModesForAllColours) {
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
        const uint32_t optimised = AnaglyphModePixel(AnaglyphMode::Optimised, p, q);
        const double gb = 0.7 * Channel(p, 1) + 0.3 * Channel(p, 2);
        const double red = 255 * std::pow(gb / 255, 1 / 1.5);
        if (std::fabs(Channel(optimised, 0) - red) > kRounded ||
            (optimised & 0xFF00FFFF) != (q & 0xFFFF))
            FAIL() << std::hex << "optimised of " << p << " gives " << optimised;
    }
}

// Dubois against its matrices in double on 24 million grid pairs: within one
// level, and under 0.9 units of 16-bit linear light outside the nearest level's
// interval (truncating the sum instead of rounding it gives 0.96).
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

// Every mode, both eye assignments and alignments out to the extremes: the
// overlap holds the mode's pixel of the two read positions, the rest is black,
// and nothing past the output is written.
TEST(AnaglyphModeImages, EveryModeFollowsTheAlignment) {
    constexpr int kW = 7, kH = 9;
    std::vector<uint32_t> L(kW * kH), R(kW * kH);
    for (uint32_t k = 0; k < kW * kH; ++k) {
        L[k] = (k * 0x2F1B07u + 0x11) & 0xFFFFFF;
        R[k] = (k * 0x0B3D61u + 0xC4) & 0xFFFFFF;
    }
    const int shifts[][2] = {{0, 0},  {2, 0},     {-3, 1},     {1, -4},     {6, 8},
                             {-6, -8}, {7, 0}, {100, -100}, {INT_MIN, 0}, {3, INT_MAX}};
    for (AnaglyphMode mode : {AnaglyphMode::RedCyan, AnaglyphMode::Grey, AnaglyphMode::Colour,
                              AnaglyphMode::HalfColour, AnaglyphMode::Optimised,
                              AnaglyphMode::Dubois})
        for (bool swap : {false, true})
            for (const auto& s : shifts) {
                std::vector<uint32_t> out(kW * kH + 8, 0xDEADBEEF);
                MakeAnaglyphMode(mode, kW, kH, L.data(), R.data(), out.data(), s[0], s[1], swap);
                const long long a = s[0], i = s[1];
                const long long ap = std::max(a, 0LL), am = std::max(-a, 0LL);
                const long long ip = std::max(i, 0LL), im = std::max(-i, 0LL);
                for (int y = 0; y < kH; ++y)
                    for (int x = 0; x < kW; ++x) {
                        uint32_t want = 0;
                        if (x < kW - ap - am && y < kH - ip - im) {
                            const uint32_t l = L[static_cast<size_t>((y + ip) * kW + x + ap)];
                            const uint32_t r = R[static_cast<size_t>((y + im) * kW + x + am)];
                            want = swap ? AnaglyphModePixel(mode, r, l)
                                        : AnaglyphModePixel(mode, l, r);
                        }
                        ASSERT_EQ(out[static_cast<size_t>(y * kW + x)], want)
                            << AnaglyphModeName(mode) << " swap " << swap << " a " << a
                            << " i " << i << " at " << x << "," << y;
                    }
                ASSERT_EQ(std::vector<uint32_t>(out.end() - 8, out.end()),
                          std::vector<uint32_t>(8, 0xDEADBEEF));
            }
}

}  // namespace
