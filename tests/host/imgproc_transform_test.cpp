// Whole-image transforms and the test patterns.
#include <gtest/gtest.h>

#include <cmath>

#include "imgproc/colour_space.h"
#include "imgproc/test_patterns.h"
#include "imgproc/transforms.h"
#include "imgproc_test_image.h"

namespace {

// A 4 x 3 picture with a distinct value per pixel, drawn as letters:
//   a b c d
//   e f g h
//   i j k l
TestImage32 Letters() {
    TestImage32 im(4, 3);
    for (int k = 0; k < 12; ++k) im.px[k] = uint32_t('a' + k);
    return im;
}

std::string Text(const TestImage32& im) {
    std::string s;
    for (int y = 0; y < im.height; ++y) {
        for (int x = 0; x < im.width; ++x) s += char(im.at(x, y));
        s += '\n';
    }
    return s;
}

TEST(Transforms, QuarterTurnsMoveThePixelsTheRightWay) {
    const TestImage32 src = Letters();
    TestImage32 right(3, 4), left(3, 4);
    QUB_RotateRight32(src.px.data(), 4, 3, right.data());
    QUB_RotateLeft32(src.px.data(), 4, 3, left.data());
    EXPECT_EQ(Text(right), "iea\njfb\nkgc\nlhd\n");
    EXPECT_EQ(Text(left), "dhl\ncgk\nbfj\naei\n");
}

TEST(Transforms, HorizontalFlipMirrorsEveryRowAtEveryWidth) {
    // Widths around the four-pixel blocks of the fast path and its tail.
    for (int w = 1; w <= 27; ++w) {
        const TestImage32 src = TestImage32::Distinct(w, 3);
        TestImage32 a = src;
        QUB_FlipHorizontal32(a.data(), w, 3);
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < w; ++x)
                ASSERT_EQ(a.at(x, y), src.at(w - 1 - x, y)) << w << " " << x;
    }
}

TEST(Transforms, FourTurnsAndTwoFlipsAreIdentity) {
    for (auto [w, h] : {std::pair{1, 1}, {7, 3}, {3, 7}, {33, 65}, {70, 31}}) {
        const TestImage32 src = TestImage32::Distinct(w, h);
        TestImage32 a = src, b(h, w);
        for (int k = 0; k < 2; ++k) {
            QUB_RotateRight32(a.data(), a.width, a.height, b.data());
            QUB_RotateRight32(b.data(), b.width, b.height, a.data());
        }
        EXPECT_EQ(a.px, src.px);
        QUB_RotateRight32(src.px.data(), w, h, b.data());
        QUB_RotateLeft32(b.data(), h, w, a.data());
        EXPECT_EQ(a.px, src.px);
        QUB_FlipVertical32(a.data(), w, h);
        EXPECT_EQ(a.at(0, 0), src.at(0, h - 1));
        QUB_FlipVertical32(a.data(), w, h);
        QUB_InvertImage32(a.data(), w, h);
        EXPECT_EQ(a.at(w - 1, h - 1), src.at(w - 1, h - 1) ^ 0x00FFFFFFu);
        QUB_InvertImage32(a.data(), w, h);
        EXPECT_EQ(a.px, src.px);
        // 8 bits: rows padded to 4 bytes, padding never touched.
        TestImage8 g = TestImage8::Distinct(w, h), r(h, w), back(w, h, 0);
        const TestImage8 g0 = g;
        QUB_RotateRight8(g.data(), w, h, g.stride, r.data(), r.stride);
        EXPECT_EQ(r.at(0, 0), g.at(0, h - 1));
        QUB_RotateLeft8(r.data(), h, w, r.stride, back.data(), back.stride);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) ASSERT_EQ(back.at(x, y), g.at(x, y));
        QUB_FlipHorizontal8(g.data(), w, h, g.stride);
        QUB_FlipVertical8(g.data(), w, h, g.stride);
        EXPECT_EQ(g.at(0, 0), g0.at(w - 1, h - 1));
        QUB_FlipVertical8(g.data(), w, h, g.stride);
        QUB_FlipHorizontal8(g.data(), w, h, g.stride);
        QUB_InvertImage8(g.data(), w, h, g.stride);
        EXPECT_EQ(g.at(0, 0), 255 - g0.at(0, 0));
        if (g.stride > w) {
            EXPECT_EQ(g.at(w, 0), g0.at(w, 0));
        }
        QUB_InvertImage8(g.data(), w, h, g.stride);
        EXPECT_EQ(g.px, g0.px);
    }
}

TEST(Transforms, ScaledSizes) {
    const struct {
        int width, height, perMille, result, newWidth, newHeight;
    } cases[] = {
        {3, 3, 500, 0, 2, 2},     {640, 480, 707, 0, 452, 339}, {100, 100, 1414, 0, 141, 141},
        {7, 5, 500, 0, 4, 3},     {4, 3, 2000, 0, 8, 6},        {1, 1, 500, 0, 1, 1},
        {2000000000, 5, 2000, 2, -1, -1},  // unchanged on failure
        {0, 5, 1000, 2, -1, -1},  {5, 0, 1000, 2, -1, -1},
    };
    for (const auto& c : cases) {
        int w = -1, h = -1;
        EXPECT_EQ(QUB_ScaledSize(c.width, c.height, c.perMille, &w, &h), c.result) << c.width;
        EXPECT_TRUE(w == c.newWidth && h == c.newHeight) << c.width << ": " << w << " x " << h;
    }
}

// --- test patterns --------------------------------------------------------

uint32_t RgbAt(int x, int y, int w, int h) {
    return QUB_PackRgb(255 * x / w, 255 * y / h, 255 - 255 * (x + y) / (w + h));
}

int Clamp(int v) { return v < 0 ? 0 : (v > 255 ? 255 : v); }

// The chroma charts: a grows to the right, b upward; the vertical axis is Cr,
// v or I and the horizontal one Cb, u or Q.
enum class Chart { kYCrCb, kYuv, kYiq };

uint32_t ChartAt(Chart chart, int x, int y, int w, int h) {
    const int a = 255 * (x - w / 2) / w, b = -(255 * (y - h / 2) / h);
    const int l = int(std::sqrt(5.0 * (a * a + b * b))) * 65536;
    int r = 0, g = 0, bl = 0;
    switch (chart) {
        case Chart::kYCrCb:  // Cr = b, Cb = a
            r = 91881 * b;
            g = -46793 * b - 22544 * a;
            bl = 116130 * a;
            break;
        case Chart::kYuv:  // v = b, u = a
            r = 74711 * b;
            g = -38076 * b - 25952 * a;
            bl = 132973 * a;
            break;
        case Chart::kYiq:  // I = b, Q = a
            r = 62187 * b + 42998 * a;
            g = -17334 * b - 44872 * a;
            bl = -73859 * b + 118292 * a;
            break;
    }
    return QUB_PackRgb(Clamp((l + r + 32768) / 65536), Clamp((l + g + 32768) / 65536),
                       Clamp((l + bl + 32768) / 65536));
}

uint32_t YCrCbAt(int x, int y, int w, int h) { return ChartAt(Chart::kYCrCb, x, y, w, h); }

TEST(TestPatterns, WorkedValues) {
    TestImage32 im(256, 256);
    QUB_TestPatternRgb32(im.data(), 256, 256);
    EXPECT_EQ(im.at(0, 0), 0x0000FFu);
    EXPECT_EQ(im.at(255, 0), QUB_PackRgb(254, 0, 128));

    TestImage32 c(41, 27);
    QUB_TestPatternYCrCb32(c.data(), 41, 27);
    EXPECT_EQ(c.at(20, 13), 0u);
    EXPECT_GT(QUB_RgbToCrCb(c.at(0, 0)).first, 0);
    EXPECT_LT(QUB_RgbToCrCb(c.at(0, 0)).second, 0);

    TestImage32 hsv(30, 9, 0x5A5A5A);
    QUB_TestPatternHsv32(hsv.data(), 30, 9);
    EXPECT_EQ(hsv.at(0, 0), 0xFFFFFFu);    // no saturation at the top
    EXPECT_EQ(hsv.at(0, 4), 0xFF0000u);    // full colour in the middle
    EXPECT_EQ(hsv.at(29, 8), 0u);          // black at the bottom of an odd height
    TestImage32 one(30, 1, 0x5A5A5A);
    QUB_TestPatternHsv32(one.data(), 30, 1);
    EXPECT_EQ(one.px, std::vector<uint32_t>(30, 0x5A5A5A));
}

// The patterns are computed with running quotients and tables; they must give
// the same pixels as the formulas evaluated one pixel at a time.
TEST(TestPatterns, MatchTheFormulasAtOddSizes) {
    for (auto [w, h] : {std::pair{1, 1}, {2, 3}, {37, 23}, {300, 7}, {5, 301}}) {
        TestImage32 rgb(w, h), ycc(w, h), hsv(w, h), grey(w, h);
        QUB_TestPatternRgb32(rgb.data(), w, h);
        QUB_TestPatternYCrCb32(ycc.data(), w, h);
        QUB_TestPatternHsv32(hsv.data(), w, h);
        QUB_TestPatternGrey32(grey.data(), w, h);
        TestImage32 yuv(w, h), yiq(w, h);
        QUB_TestPatternYuv32(yuv.data(), w, h);
        QUB_TestPatternYiq32(yiq.data(), w, h);
        TestImage8 g8(w, h, 9), yiq8(w, h, 9);
        QUB_TestPatternRgb8(g8.data(), w, h, g8.stride);
        QUB_TestPatternYiq8(yiq8.data(), w, h, yiq8.stride);
        const int n = h / 2;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                ASSERT_EQ(rgb.at(x, y), RgbAt(x, y, w, h)) << x << "," << y;
                ASSERT_EQ(ycc.at(x, y), YCrCbAt(x, y, w, h)) << x << "," << y;
                ASSERT_EQ(yuv.at(x, y), ChartAt(Chart::kYuv, x, y, w, h)) << x << "," << y;
                ASSERT_EQ(yiq.at(x, y), ChartAt(Chart::kYiq, x, y, w, h)) << x << "," << y;
                ASSERT_EQ(g8.at(x, y), RgbAt(x, y, w, h) & 255u);
                ASSERT_EQ(yiq8.at(x, y), ChartAt(Chart::kYiq, x, y, w, h) & 255u);
                if (n > 0) {
                    const int s = y < n ? 255 * y / n : 255;
                    const int v = y < n ? 255 : 255 - 255 * (y - n) / n;
                    ASSERT_EQ(hsv.at(x, y), QUB_HsvToRgb(v, s, 359 * x / w)) << x << "," << y;
                }
                const int gv = 255 * x / w;
                ASSERT_EQ(grey.at(x, y), uint32_t(y < h / 2 ? gv : 255 - gv) * 0x010101u);
            }
    }
}

TEST(TestPatterns, YuvAndYiqFollowTheirAxesAndEmptyPicturesAreLeftAlone) {
    const int w = 51, h = 41;
    TestImage32 yuv(w, h), yiq(w, h);
    QUB_TestPatternYuv32(yuv.data(), w, h);
    QUB_TestPatternYiq32(yiq.data(), w, h);
    EXPECT_EQ(yuv.at(w / 2, h / 2) | yiq.at(w / 2, h / 2), 0u);
    // Right of the centre u > 0 (more blue), above it v > 0 (more red); I up, Q right.
    EXPECT_GT(QUB_RgbToUv(yuv.at(w - 8, h / 2)).first, 0);
    EXPECT_GT(QUB_RgbToUv(yuv.at(w / 2, 8)).second, 0);
    EXPECT_GT(QUB_RgbToIq(yiq.at(w / 2, 10)).first, 0);
    EXPECT_GT(QUB_RgbToIq(yiq.at(w - 12, h / 2)).second, 0);
    for (auto [pw, ph] : {std::pair{0, 3}, {3, 0}, {-2, 3}}) {
        TestImage32 canary(3, 3, 0x5A5A5A);
        TestImage8 bytes(3, 3, 0x5A);
        QUB_TestPatternRgb32(canary.data(), pw, ph);
        QUB_TestPatternYCrCb32(canary.data(), pw, ph);
        QUB_TestPatternHsv32(canary.data(), pw, ph);
        QUB_TestPatternGrey8(bytes.data(), pw, ph, 4);
        EXPECT_EQ(canary.px, TestImage32(3, 3, 0x5A5A5A).px) << pw << " x " << ph;
        EXPECT_EQ(bytes.px, TestImage8(3, 3, 0x5A).px) << pw << " x " << ph;
    }
}

}  // namespace
