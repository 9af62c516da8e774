// The anaglyph modes: names, the sRGB tables over their whole input ranges,
// and the modes against their definitions evaluated in double, exhaustively
// where a channel depends on few inputs.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

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

}  // namespace
