// The anaglyph modes: names, the sRGB tables over their whole input ranges,
// every mode against its definition evaluated in double (exhaustively where a
// channel depends on few inputs), and the images against MakeAnaglyph and the
// alignment rules on small asymmetric views.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <vector>

#include "app/compose.h"
#include "cli/anaglyph_modes.h"

namespace {

constexpr AnaglyphMode kAllModes[] = {AnaglyphMode::RedCyan,    AnaglyphMode::Grey,
                                      AnaglyphMode::Colour,     AnaglyphMode::HalfColour,
                                      AnaglyphMode::Optimised,  AnaglyphMode::Dubois};

// A correctly rounded result is within half a level of the real value; the
// slack only absorbs the error of evaluating the reference in double.
constexpr double kRounded = 0.5 + 1e-9;

int R8(uint32_t p) { return static_cast<int>((p >> 16) & 0xFF); }
int G8(uint32_t p) { return static_cast<int>((p >> 8) & 0xFF); }
int B8(uint32_t p) { return static_cast<int>(p & 0xFF); }

double LumaReal(uint32_t p) { return 0.299 * R8(p) + 0.587 * G8(p) + 0.114 * B8(p); }

// sRGB transfer, IEC 61966-2-1, on [0, 1].
double Decode(double v) { return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); }
double Encode(double x) {
    return x <= 0.0031308 ? 12.92 * x : 1.055 * std::pow(x, 1 / 2.4) - 0.055;
}

// The names the user types: each mode's own, other spellings and case; near
// misses are refused and leave the mode as it was (Optimised here).
TEST(AnaglyphModeNames, SpellingsCaseAndRefusals) {
    for (AnaglyphMode mode : kAllModes) {
        AnaglyphMode parsed = AnaglyphMode::RedCyan;
        ASSERT_TRUE(ParseAnaglyphMode(AnaglyphModeName(mode), &parsed)) << AnaglyphModeName(mode);
        EXPECT_EQ(parsed, mode);
    }
    EXPECT_STREQ(AnaglyphModeName(static_cast<AnaglyphMode>(99)), "unknown");
    using M = AnaglyphMode;
    const struct {
        const char* name;
        AnaglyphMode mode;
    } cases[] = {{"gray", M::Grey},        {"color", M::Colour},     {"REDCYAN", M::RedCyan},
                 {"Half", M::HalfColour},  {"", M::Optimised},       {"grey ", M::Optimised},
                 {"duboiss", M::Optimised}, {"dubo", M::Optimised},  {nullptr, M::Optimised}};
    for (const auto& c : cases) {
        AnaglyphMode parsed = M::Optimised;
        EXPECT_EQ(ParseAnaglyphMode(c.name, &parsed), c.mode != M::Optimised) << &c - cases;
        EXPECT_EQ(parsed, c.mode) << &c - cases;
    }
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

// Grey, HalfColour and Colour for every colour in the left eye, with its
// complement in the right eye so that a channel taken from the wrong eye shows.
TEST(AnaglyphModeFormulas, LumaAndColourModesForAllColours) {
    for (uint32_t p = 0; p < (1u << 24); ++p) {
        const uint32_t q = p ^ 0xFFFFFF;
        const double yp = LumaReal(p), yq = LumaReal(q);
        const uint32_t grey = AnaglyphModePixel(AnaglyphMode::Grey, p, q);
        const uint32_t halfColour = AnaglyphModePixel(AnaglyphMode::HalfColour, p, q);
        const uint32_t colour = AnaglyphModePixel(AnaglyphMode::Colour, p, q);
        if (std::fabs(R8(grey) - yp) > kRounded || std::fabs(G8(grey) - yq) > kRounded ||
            B8(grey) != G8(grey) || grey > 0xFFFFFF)
            FAIL() << std::hex << "grey of " << p << " gives " << grey;
        if (std::fabs(R8(halfColour) - yp) > kRounded || (halfColour & 0xFF00FFFF) != (q & 0xFFFF))
            FAIL() << std::hex << "half colour of " << p << " gives " << halfColour;
        if (colour != ((p & 0xFF0000) | (q & 0xFFFF)))
            FAIL() << std::hex << "colour of " << p << " gives " << colour;
    }
}

// The red depends on the left eye's green and blue only: all 2^16 pairs, with
// a left red that varies so that using it would show.
TEST(AnaglyphModeFormulas, OptimisedRedForAllGreenBluePairs) {
    for (uint32_t gb = 0; gb < 65536; ++gb) {
        const uint32_t g = gb >> 8, b = gb & 0xFF;
        const uint32_t left = (((g * 7 + b * 13) & 0xFF) << 16) | gb;
        const uint32_t right = left ^ 0x5A5A5A;
        const uint32_t out = AnaglyphModePixel(AnaglyphMode::Optimised, left, right);
        const double red = 255 * std::pow((0.7 * g + 0.3 * b) / 255, 1 / 1.5);
        ASSERT_LE(std::fabs(R8(out) - red), kRounded) << g << "," << b;
        ASSERT_EQ(out & 0xFF00FFFF, right & 0xFFFF) << g << "," << b;
    }
}

// Dubois against its definition in double for every pair of colours on a
// 17-level grid per channel (24 million pairs): within one level of the real
// value everywhere, and the nearest level of a linear value less than 0.9
// units of 16-bit linear light from the real one (the integer path's worst
// here is 0.83; truncating the sum instead of rounding it gives 0.96).
TEST(AnaglyphModeFormulas, DuboisAgainstDoubleOnGridPairs) {
    const double weights[2][3][3] = {
        {{0.437, 0.449, 0.164}, {-0.062, -0.062, -0.024}, {-0.048, -0.050, -0.017}},
        {{-0.011, -0.032, -0.007}, {0.377, 0.761, 0.009}, {-0.026, -0.093, 1.234}}};
    const auto clamp = [](double x) { return std::min(1.0, std::max(0.0, x)); };
    std::vector<uint32_t> colours;
    for (uint32_t k = 0; k < 17 * 17 * 17; ++k)
        colours.push_back(((k / 289 * 255 + 8) / 16) << 16 | ((k / 17 % 17 * 255 + 8) / 16) << 8 |
                          (k % 17 * 255 + 8) / 16);
    const size_t n = colours.size();
    std::vector<double> term[2] = {std::vector<double>(n * 3), std::vector<double>(n * 3)};
    for (size_t k = 0; k < n; ++k)  // each eye's clamped term per channel, in linear light
        for (int e = 0; e < 2; ++e)
            for (int c = 0; c < 3; ++c) {
                double sum = 0;
                for (int i = 0; i < 3; ++i)
                    sum += weights[e][c][i] * Decode((colours[k] >> (16 - 8 * i) & 0xFF) / 255.0);
                term[e][k * 3 + c] = clamp(sum);
            }
    // Level v is within one of x when edge(2v) <= x <= edge(2v + 4), nearest
    // when edge(2v + 1) <= x < edge(2v + 3).
    const auto edge = [](int k) { return k < 2 ? -1.0 : k > 512 ? 2.0 : Decode((k - 2) / 510.0); };
    std::vector<uint32_t> leftRow(n), out(n);
    double worstMiss = 0;  // how far outside its level's interval a value lay, 16-bit units
    for (size_t l = 0; l < n; ++l) {
        std::fill(leftRow.begin(), leftRow.end(), colours[l]);
        MakeAnaglyphMode(AnaglyphMode::Dubois, static_cast<int>(n), 1, leftRow.data(),
                         colours.data(), out.data(), 0, 0, false);
        for (size_t r = 0; r < n; ++r)
            for (int c = 0; c < 3; ++c) {
                const double x = clamp(term[0][l * 3 + c] + term[1][r * 3 + c]);
                const int v = static_cast<int>((out[r] >> (16 - 8 * c)) & 0xFF);
                if (!(edge(2 * v) <= x && x <= edge(2 * v + 4)) || out[r] > 0xFFFFFF)
                    FAIL() << std::hex << colours[l] << " " << colours[r] << " gives " << out[r];
                worstMiss = std::max(worstMiss, std::max(edge(2 * v + 1) - x, x - edge(2 * v + 3)));
            }
    }
    EXPECT_LT(worstMiss * 65535, 0.9);
}

// Every mode, both eye assignments, alignments to past the views: the
// overlap holds the mode's pixel of the two read positions, the rest is
// black, and nothing past the output is written. Red-cyan is MakeAnaglyph's
// bit for bit, swapped too (the right buffer then feeds green and blue).
TEST(AnaglyphModeImages, EveryModeFollowsTheAlignment) {
    constexpr int kHalf = 7, kHeight = 9;
    constexpr uint32_t kCanary = 0xDEADBEEF;
    std::vector<uint32_t> L(kHalf * kHeight), R(L.size());  // every channel varies
    for (uint32_t k = 0; k < L.size(); ++k)
        L[k] = k * 0x25051Bu & 0xFFFFFF, R[k] = (k * 0x0B1D03u + 0xC4D2E8u) & 0xFFFFFF;
    const int alignments[][2] = {{0, 0},  {-3, 1},  {1, -4},     {6, 8},      {-6, -8},
                                 {0, -9}, {7, 0},   {INT_MIN, 0}, {0, INT_MIN}, {INT_MAX, 3}};
    for (AnaglyphMode mode : kAllModes)
        for (const bool swap : {false, true})
            for (const auto& al : alignments) {
                SCOPED_TRACE(testing::Message() << AnaglyphModeName(mode) << " swap " << swap
                                                << " a = " << al[0] << ", i = " << al[1]);
                std::vector<uint32_t> out(kHalf * kHeight + 16, kCanary), direct(out);
                MakeAnaglyphMode(mode, kHalf, kHeight, L.data(), R.data(), out.data(), al[0],
                                 al[1], swap);
                const bool negatable = al[0] != INT_MIN && al[1] != INT_MIN;
                if (mode == AnaglyphMode::RedCyan && (!swap || negatable)) {
                    MakeAnaglyph(kHalf, kHeight, (swap ? R : L).data(), (swap ? L : R).data(),
                                 direct.data(), swap ? -al[0] : al[0], swap ? -al[1] : al[1]);
                    EXPECT_EQ(out, direct);
                }
                const long long a = al[0], i = al[1], ap = std::max(a, 0LL);
                const long long am = std::max(-a, 0LL), ip = std::max(i, 0LL);
                const long long im = std::max(-i, 0LL);
                for (int y = 0; y < kHeight; ++y)
                    for (int x = 0; x < kHalf; ++x) {
                        const auto at = [&](long long dy, long long dx) {
                            return static_cast<size_t>((y + dy) * kHalf + x + dx);
                        };
                        const bool inside = x < kHalf - ap - am && y < kHeight - ip - im;
                        const uint32_t l = inside ? L[at(ip, ap)] : 0;
                        const uint32_t r = inside ? R[at(im, am)] : 0;
                        ASSERT_EQ(out[at(0, 0)],
                                  inside ? AnaglyphModePixel(mode, swap ? r : l, swap ? l : r) : 0)
                            << x << "," << y;
                    }
                for (size_t k = kHalf * kHeight; k < out.size(); ++k) ASSERT_EQ(out[k], kCanary);
            }
}

}  // namespace
