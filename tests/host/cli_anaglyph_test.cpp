// The anaglyph modes' sRGB tables over their whole input ranges (the mode
// names are the companion's option tests').
#include <gtest/gtest.h>

#include <cmath>

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

}  // namespace
