// Colour arithmetic, plot values, whole-image transforms, test patterns against formulas.
#include <gtest/gtest.h>
#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <vector>
#include "imgproc/analysis_views.h"
#include "imgproc/colour_space.h"
#include "imgproc/plot_values.h"
#include "imgproc/test_patterns.h"
#include "imgproc/transforms.h"
#include "imgproc_test_image.h"

namespace {
struct Hsv {
    int h, s, v;
};
Hsv ToHsv(uint32_t p) {
    Hsv r{};
    QUB_RgbToHsv(p, &r.h, &r.s, &r.v);
    return r;
}

// Y, Cr, Cb, u, v, I, Q worked by hand: the mixed colours are chosen so that any
// coefficient moved by 1, or floor or rounding instead of truncation, shows.
struct Worked {
    uint32_t pixel;
    int y, cr, cb, u, v, i, q;
};
const Worked kWorked[] = {
    {0xFFFFFF, 255, 0, 0, 0, 0, 0, 0},
    {0x004000, 38, -26, -20, -17, -32, -17, -31},  // Cr -26.3 truncates toward zero, not to -27
    {0x123456, 46, -19, 23, 20, -23, -30, 3},       {0xC08040, 140, 37, -42, -36, 46, 59, -4},
    {0x20E0A0, 159, -90, 0, 0, -111, -93, -57},     {0xE3E366, 213, 10, -62, -54, 13, 40, -35},
    {0x5E5EDB, 108, -9, 63, 55, -12, -39, 36},      {0xE0BFB3, 199, 17, -11, -9, 21, 23, 3},
    {0x27FEAB, 180, -100, -4, -4, -123, -100, -68}, {0xE51E1E, 90, 100, -33, -28, 122, 119, 41},
    {0xF6A8FC, 201, 32, 29, 25, 40, 20, 41},        {0x37D4D4, 165, -78, 27, 23, -96, -93, -31},
};

TEST(ColourSpace, WorkedValues) {
    for (const Worked& w : kWorked) {
        const QUB_ChromaPair crcb = QUB_RgbToCrCb(w.pixel), uv = QUB_RgbToUv(w.pixel),
                             iq = QUB_RgbToIq(w.pixel);
        EXPECT_EQ(std::vector<int>({QUB_Luminance(w.pixel), crcb.first, crcb.second, uv.first,
                                    uv.second, iq.first, iq.second}),
                  std::vector<int>({w.y, w.cr, w.cb, w.u, w.v, w.i, w.q}))
            << std::hex << w.pixel;
    }
}

// RGB to HSV: one colour per sector whose hue division leaves a remainder above
// d/2 (rounding instead of truncating shows); the top byte is no colour.
TEST(ColourSpace, HsvWorkedValues) {
    const uint32_t pixel[] = {0xC83C0A, 0x3DC80A, 0x0AC83C, 0x0A3DC8, 0x3C0AC8, 0xFFC80A50};
    const int hue[] = {15, 103, 135, 223, 255, 337};
    for (int k = 0; k < 6; ++k) {
        EXPECT_EQ(ToHsv(pixel[k]).h, hue[k]) << std::hex << pixel[k];
        EXPECT_EQ(QUB_Hue(pixel[k]) + 1000 * QUB_Saturation(pixel[k]), hue[k] + 190000);
    }
    EXPECT_EQ(QUB_Value(0xC83C0A), 200);
}

// Every colour: outputs in range; HSV and back keeps the largest and smallest
// channel exactly, the middle one drifts by at most 5 (hue in whole degrees).
TEST(ColourSpace, AllColoursRangesAndHsvRoundTrip) {
    int worst = 0, rangeFailures = 0;
    for (uint32_t p = 0; p < (1u << 24); ++p) {
        const int y = QUB_Luminance(p);
        const QUB_ChromaPair c = QUB_RgbToCrCb(p);
        const Hsv hsv = ToHsv(p);
        const int r = QUB_Red(p), g = QUB_Green(p), b = QUB_Blue(p);
        const int mx = std::max({r, g, b}), mn = std::min({r, g, b});
        if (y < 0 || y > 255 || c.first < -127 || c.first > 128 || c.second < -127 ||
            c.second > 128 || hsv.h < 0 || hsv.h > 359 || hsv.v != mx || hsv.s != mx - mn) {
            ++rangeFailures;
            continue;
        }
        const uint32_t q = QUB_HsvToRgb(hsv.v, hsv.s, hsv.h);
        const int qr = QUB_Red(q), qg = QUB_Green(q), qb = QUB_Blue(q);
        if (std::max({qr, qg, qb}) != mx || std::min({qr, qg, qb}) != mn) ++rangeFailures;
        worst = std::max({worst, std::abs(qr - r), std::abs(qg - g), std::abs(qb - b)});
    }
    EXPECT_EQ(rangeFailures, 0);
    EXPECT_EQ(worst, 5);
}

PlotSample At(const void* data, int i, int flags) {
    PlotSample s = {-1, -1};
    EXPECT_TRUE(QUB_PlotSampleAt(data, i, flags, &s)) << flags;
    return s;
}

TEST(PlotValues, FirstChannelBitPicksTheValueAndScale) {
    const uint32_t px[2] = {0x00FF8040u, 0x00FF0001u};  // the second has H = 359
    EXPECT_EQ(At(px, 0, kPlotBlue | kPlotGreen | kPlotJoined).value, 0x80)
        << "green comes before blue";
    const PlotSample hue = At(px, 1, kPlotHue | kPlotSaturation);
    EXPECT_TRUE(hue.value == 359 && hue.scale == 359 && QUB_PlotRow(hue) == 0);
    const uint32_t red = 0xFF0000u;  // Cr 128, Cb -42
    EXPECT_EQ(At(&red, 0, kPlotCr).value + 1000 * At(&red, 0, kPlotCb).value, 256 + 86000);
    const uint8_t bytes[3] = {0, 128, 255};
    EXPECT_EQ(At(bytes, 2, kPlotByte).value, 255) << "read as bytes, not words";
    EXPECT_EQ(QUB_PlotRow(At(bytes, 1, kPlotByte)), 127 - 63);
    PlotSample none;
    EXPECT_FALSE(QUB_PlotSampleAt(px, 0, kPlotDots | kPlotJoined, &none));
    const PlotPoint r = QUB_CrCbPoint(0xFF0000u), b = QUB_CrCbPoint(0x0000FFu);
    EXPECT_TRUE(r.x == 128 - 42 && r.y == 0 && b.x == 256 && b.y == 148) << "up and right";
}

TEST(AnalysisViews, PixelReportAndGraphSizes) {
    EXPECT_EQ(QUB_PixelReport(3, 4, 0xFF0000u, 32),
              "(X,Y)=(3,4)\n(R,G,B)=(255,0,0)\n(H,S,V)=(0,255,255)\n(Y,Cr,Cb)=(76,128,-42)\n"
              "(Y,u,v)=(76,-36,157)\n(Y,I,Q)=(76,152,53)\n\n");
    EXPECT_EQ(QUB_PixelReport(7, 1, 0xABCD80u, 8), "(X,Y)=(7,1)\n(Luminance)=(128)\n\n")
        << "the index only";
    // One pixel wide: 13 columns, 21 for YCrCb; near INT_MAX no size, not a negative one.
    EXPECT_EQ(QUB_RowGraphWidth(QUB_RowGraphLayout(RowGraph::kRgb), 1) +
                  100 * QUB_RowGraphWidth(QUB_RowGraphLayout(RowGraph::kYCrCb), 1), 13 + 2100);
    EXPECT_EQ(QUB_RowGraphWidth(QUB_RowGraphLayout(RowGraph::kLumi), INT_MAX - 5), 0);
    EXPECT_EQ(QUB_RowGraphLayout(RowGraph::kLumi).curve[0].flags & kPlotByte, kPlotByte);
}

// Every pixel of both depths: turns, flips and inversion at widths around the
// fast path's four-pixel blocks; 8-bit rows keep their padding.
template <class V>
void CheckTransforms(int w, int h) {
    SCOPED_TRACE(testing::Message() << sizeof(V) * 8 << " bits, " << w << " x " << h);
    const TestImage<V> src = TestImage<V>::Distinct(w, h);
    TestImage<V> right(h, w), left(h, w), flipH = src, flipV = src, inv = src;
    if constexpr (sizeof(V) == 1) {
        QUB_RotateRight8(src.px.data(), w, h, src.stride, right.data(), right.stride);
        QUB_RotateLeft8(src.px.data(), w, h, src.stride, left.data(), left.stride);
        QUB_FlipHorizontal8(flipH.data(), w, h, flipH.stride);
        QUB_FlipVertical8(flipV.data(), w, h, flipV.stride);
        QUB_InvertImage8(inv.data(), w, h, inv.stride);
    } else {
        QUB_RotateRight32(src.px.data(), w, h, right.data());
        QUB_RotateLeft32(src.px.data(), w, h, left.data());
        QUB_FlipHorizontal32(flipH.data(), w, h);
        QUB_FlipVertical32(flipV.data(), w, h);
        QUB_InvertImage32(inv.data(), w, h);
    }
    const V mask = sizeof(V) == 1 ? V(0xFF) : V(0x00FFFFFF);  // the top byte survives
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < src.stride; ++x) {
            const bool pad = x >= w;
            ASSERT_EQ(flipH.at(x, y), src.at(pad ? x : w - 1 - x, y)) << x << "," << y;
            ASSERT_EQ(flipV.at(x, y), src.at(x, pad ? y : h - 1 - y)) << x << "," << y;
            ASSERT_EQ(inv.at(x, y), pad ? src.at(x, y) : V(src.at(x, y) ^ mask)) << x << "," << y;
            if (pad) continue;
            ASSERT_EQ(right.at(h - 1 - y, x), src.at(x, y)) << x << "," << y;
            ASSERT_EQ(left.at(y, w - 1 - x), src.at(x, y)) << x << "," << y;
        }
}

TEST(Transforms, TurnsFlipsAndInversionMoveEveryPixelRight) {
    for (int w = 1; w <= 33; ++w) {
        CheckTransforms<uint32_t>(w, w % 7 + 1);
        CheckTransforms<uint8_t>(w, w % 7 + 1);
    }
}

TEST(Transforms, ScaledSizes) {
    int w = -1, h = -1;
    EXPECT_TRUE(QUB_ScaledSize(640, 480, 707, &w, &h) == 0 && w == 452 && h == 339);
    EXPECT_TRUE(QUB_ScaledSize(1, 1, 500, &w, &h) == 0 && w == 1 && h == 1);
    w = h = -1;  // unchanged on failure
    EXPECT_EQ(QUB_ScaledSize(2000000000, 5, 2000, &w, &h) + QUB_ScaledSize(0, 5, 1000, &w, &h), 4);
    EXPECT_TRUE(w == -1 && h == -1);
}

uint32_t RgbAt(int x, int y, int w, int h) {
    return QUB_PackRgb(255 * x / w, 255 * y / h, 255 - 255 * (x + y) / (w + h));
}

int Clamp(int v) { return v < 0 ? 0 : (v > 255 ? 255 : v); }

// The chroma charts: a (Cb, u or Q) grows to the right, b (Cr, v or I) upward.
enum class Chart { kYCrCb, kYuv, kYiq };
uint32_t ChartAt(Chart chart, int x, int y, int w, int h) {
    const int a = 255 * (x - w / 2) / w, b = -(255 * (y - h / 2) / h);
    const int l = int(std::sqrt(5.0 * (a * a + b * b))) * 65536;
    // Red, green and blue as multiples of (b, a), in 1/65536.
    static const int k[3][6] = {{91881, 0, -46793, -22544, 0, 116130},
                                {74711, 0, -38076, -25952, 0, 132973},
                                {62187, 42998, -17334, -44872, -73859, 118292}};
    const int* c = k[int(chart)];
    const int r = c[0] * b + c[1] * a, g = c[2] * b + c[3] * a, bl = c[4] * b + c[5] * a;
    return QUB_PackRgb(Clamp((l + r + 32768) / 65536), Clamp((l + g + 32768) / 65536),
                       Clamp((l + bl + 32768) / 65536));
}

// Running quotients and tables give the formulas' pixels; HSV leaves one row alone.
TEST(TestPatterns, MatchTheFormulasAtOddSizes) {
    for (auto [w, h] : {std::pair{1, 1}, {2, 3}, {37, 23}, {300, 7}, {5, 301}, {30, 1}}) {
        TestImage32 rgb(w, h), ycc(w, h), hsv(w, h, 0x5A5A5A), grey(w, h), yuv(w, h), yiq(w, h);
        QUB_TestPatternRgb32(rgb.data(), w, h);
        QUB_TestPatternYCrCb32(ycc.data(), w, h);
        QUB_TestPatternHsv32(hsv.data(), w, h);
        QUB_TestPatternGrey32(grey.data(), w, h);
        QUB_TestPatternYuv32(yuv.data(), w, h);
        QUB_TestPatternYiq32(yiq.data(), w, h);
        TestImage8 g8(w, h, 9), yiq8(w, h, 9);
        QUB_TestPatternRgb8(g8.data(), w, h, g8.stride);
        QUB_TestPatternYiq8(yiq8.data(), w, h, yiq8.stride);
        const int n = h / 2;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                ASSERT_EQ(rgb.at(x, y), RgbAt(x, y, w, h)) << x << "," << y;
                ASSERT_EQ(ycc.at(x, y), ChartAt(Chart::kYCrCb, x, y, w, h)) << x << "," << y;
                ASSERT_EQ(yuv.at(x, y), ChartAt(Chart::kYuv, x, y, w, h)) << x << "," << y;
                ASSERT_EQ(yiq.at(x, y), ChartAt(Chart::kYiq, x, y, w, h)) << x << "," << y;
                ASSERT_EQ(g8.at(x, y), RgbAt(x, y, w, h) & 255u);
                ASSERT_EQ(yiq8.at(x, y), ChartAt(Chart::kYiq, x, y, w, h) & 255u);
                const int s = y < n ? 255 * y / n : 255;
                const int v = n == 0 ? 0 : y < n ? 255 : 255 - 255 * (y - n) / n;
                ASSERT_EQ(hsv.at(x, y), n ? QUB_HsvToRgb(v, s, 359 * x / w) : 0x5A5A5Au) << x;
                const int gv = 255 * x / w;
                ASSERT_EQ(grey.at(x, y), uint32_t(y < h / 2 ? gv : 255 - gv) * 0x010101u);
            }
    }
}
}  // namespace
