// Colour arithmetic: the worked values, the ranges over every 24-bit colour,
// and how far HSV to RGB and back can drift.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

#include "imgproc/colour_space.h"

namespace {

struct Hsv {
    int h, s, v;
};

Hsv ToHsv(uint32_t p) {
    Hsv r{};
    QUB_RgbToHsv(p, &r.h, &r.s, &r.v);
    return r;
}

// Y, Cr, Cb, u, v, I and Q of each colour, worked by hand from the formulas.
// The mixed colours are chosen so that moving any one coefficient by 1, or
// dividing with floor or rounding instead of truncation, changes some entry.
struct Worked {
    uint32_t pixel;
    int y, cr, cb, u, v, i, q;
};

const Worked kWorked[] = {
    {0x000000, 0, 0, 0, 0, 0, 0, 0},
    {0xFFFFFF, 255, 0, 0, 0, 0, 0, 0},
    {0xFF0000, 76, 128, -42, -36, 157, 152, 53},
    {0x0000FF, 29, -20, 128, 111, -25, -81, 74},
    {0x00FF00, 150, -106, -83, -73, -130, -69, -126},
    {0x004000, 38, -26, -20, -17, -32, -17, -31},  // Cr -26.3 truncates toward zero, not to -27
    {0x123456, 46, -19, 23, 20, -23, -30, 3},
    {0xC08040, 140, 37, -42, -36, 46, 59, -4},
    {0x20E0A0, 159, -90, 0, 0, -111, -93, -57},
    {0xE3E366, 213, 10, -62, -54, 13, 40, -35},
    {0x5E5EDB, 108, -9, 63, 55, -12, -39, 36},
    {0xE0BFB3, 199, 17, -11, -9, 21, 23, 3},
    {0x27FEAB, 180, -100, -4, -4, -123, -100, -68},
    {0xE51E1E, 90, 100, -33, -28, 122, 119, 41},
    {0xF6A8FC, 201, 32, 29, 25, 40, 20, 41},
    {0x37D4D4, 165, -78, 27, 23, -96, -93, -31},
};

TEST(ColourSpace, WorkedValues) {
    for (const Worked& w : kWorked) {
        const QUB_ChromaPair crcb = QUB_RgbToCrCb(w.pixel), uv = QUB_RgbToUv(w.pixel),
                             iq = QUB_RgbToIq(w.pixel);
        const int got[] = {QUB_Luminance(w.pixel),
                           crcb.first,
                           crcb.second,
                           uv.first,
                           uv.second,
                           iq.first,
                           iq.second};
        const int want[] = {w.y, w.cr, w.cb, w.u, w.v, w.i, w.q};
        for (int k = 0; k < 7; ++k)
            EXPECT_EQ(got[k], want[k]) << std::hex << w.pixel << " value " << k;
    }
}

// RGB to HSV: the primaries' boundaries, grey, and one colour inside each of
// the six sectors whose hue division leaves a remainder above d/2, so rounding
// instead of truncating moves the hue.
struct HsvWorked {
    uint32_t pixel;
    int h, s, v;
};

const HsvWorked kHsvWorked[] = {
    {0xFFFF00, 60, 255, 255}, {0x00FFFF, 180, 255, 255}, {0xFF00FF, 300, 255, 255},
    {0x808080, 0, 0, 128},    {0x000000, 0, 0, 0},       {0xFFFFFF, 0, 0, 255},
    {0xC83C0A, 15, 190, 200}, {0x3DC80A, 103, 190, 200}, {0x0AC83C, 135, 190, 200},
    {0x0A3DC8, 223, 190, 200}, {0x3C0AC8, 255, 190, 200}, {0xC80A50, 337, 190, 200},
};

// HSV to RGB (argument order V, S, H): the primaries, a saturation above the
// value (m clamps to 0, d = V), and one hue in each of the six ranges whose ramp
// d * (...) / 60 leaves a remainder above 30.
struct RgbWorked {
    int v, s, h;
    uint32_t rgb;
};

const RgbWorked kRgbWorked[] = {
    {255, 255, 0, 0xFF0000},   {255, 255, 120, 0x00FF00}, {255, 255, 240, 0x0000FF},
    {100, 200, 0, 0x640000},   {200, 255, 30, 0xC86400},  {220, 157, 6, 0xDC4E3F},
    {220, 157, 65, 0xCEDC3F},  {220, 157, 126, 0x3FDC4E}, {220, 157, 185, 0x3FCEDC},
    {220, 157, 246, 0x4E3FDC}, {220, 157, 305, 0xDC3FCE},
};

TEST(ColourSpace, HsvWorkedValues) {
    for (const HsvWorked& w : kHsvWorked) {
        const Hsv hsv = ToHsv(w.pixel);
        const int got[] = {
            hsv.h, hsv.s, hsv.v, QUB_Hue(w.pixel), QUB_Saturation(w.pixel), QUB_Value(w.pixel)};
        const int want[] = {w.h, w.s, w.v, w.h, w.s, w.v};
        for (int k = 0; k < 6; ++k)
            EXPECT_EQ(got[k], want[k]) << std::hex << w.pixel << " value " << k;
    }
    // The top byte is not part of the colour.
    EXPECT_EQ(QUB_Hue(0xAB00FFFF), 180);

    for (const RgbWorked& w : kRgbWorked)
        EXPECT_EQ(QUB_HsvToRgb(w.v, w.s, w.h), w.rgb) << w.v << ", " << w.s << ", " << w.h;
}

TEST(ColourSpace, OutOfRangeHsvStillGivesAPixel) {
    for (int h : {-100000, -1, 360, 719, 100000})
        for (int v : {-5, 0, 255, 300})
            for (int s : {-300, 0, 255, 1000}) EXPECT_EQ(QUB_HsvToRgb(v, s, h) >> 24, 0u);
}

// Every 24-bit colour: the outputs stay in their stated ranges, and HSV to RGB
// and back reproduces the largest and smallest channel exactly; only the middle
// channel can drift because the hue was truncated to whole degrees. Measured
// worst case over all 2^24 colours: 5 (first at 0x00F725); 11,585,904 colours
// come back inexact, 714 of them by 5.
TEST(ColourSpace, AllColoursRangesAndHsvRoundTrip) {
    int worst = 0;
    int rangeFailures = 0;
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

TEST(ColourSpace, HueFollowsTheSectorsOfTheHueCircle) {
    // Fully saturated colours around the circle: HSV to RGB and back gives the
    // hue exactly at every whole degree that starts a sector, and never moves
    // backward as the hue grows.
    int last = -1;
    for (int h = 0; h < 360; ++h) {
        const int back = QUB_Hue(QUB_HsvToRgb(255, 255, h));
        EXPECT_GE(back, last) << h;
        EXPECT_LE(std::abs(back - h), 1) << h;
        last = back;
        if (h % 60 == 0) {
            EXPECT_EQ(back, h);
        }
    }
}

}  // namespace
