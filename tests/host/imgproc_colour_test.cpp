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

TEST(ColourSpace, WorkedValues) {
    EXPECT_EQ(QUB_Luminance(0x000000), 0);
    EXPECT_EQ(QUB_RgbToCrCb(0x000000).first, 0);
    EXPECT_EQ(QUB_RgbToCrCb(0x000000).second, 0);
    EXPECT_EQ(QUB_Luminance(0xFFFFFF), 255);
    EXPECT_EQ(QUB_RgbToCrCb(0xFFFFFF).first, 0);
    EXPECT_EQ(QUB_RgbToCrCb(0xFFFFFF).second, 0);

    EXPECT_EQ(QUB_Luminance(0xFF0000), 76);
    EXPECT_EQ(QUB_RgbToCrCb(0xFF0000).first, 128);
    EXPECT_EQ(QUB_RgbToCrCb(0xFF0000).second, -42);
    EXPECT_EQ(QUB_RgbToUv(0xFF0000).first, -36);
    EXPECT_EQ(QUB_RgbToUv(0xFF0000).second, 157);
    EXPECT_EQ(QUB_RgbToIq(0xFF0000).first, 152);
    EXPECT_EQ(QUB_RgbToIq(0xFF0000).second, 53);

    EXPECT_EQ(QUB_Luminance(0x0000FF), 29);
    EXPECT_EQ(QUB_RgbToCrCb(0x0000FF).first, -20);
    EXPECT_EQ(QUB_RgbToCrCb(0x0000FF).second, 128);
    EXPECT_EQ(QUB_Luminance(0x00FF00), 150);
    EXPECT_EQ(QUB_RgbToCrCb(0x00FF00).first, -106);
    EXPECT_EQ(QUB_RgbToCrCb(0x00FF00).second, -83);
}

TEST(ColourSpace, TruncatesTowardZeroNotDown) {
    // Cr of 0x004000 is (-27460 * 64 + 32768) / 65536 = -26.3: truncation gives
    // -26 where an arithmetic shift would give -27.
    EXPECT_EQ(QUB_RgbToCrCb(0x004000).first, -26);
}

TEST(ColourSpace, HsvWorkedValues) {
    EXPECT_EQ(QUB_Hue(0xFFFF00), 60);
    EXPECT_EQ(QUB_Hue(0x00FFFF), 180);
    EXPECT_EQ(QUB_Hue(0xFF00FF), 300);
    const Hsv grey = ToHsv(0x808080);
    EXPECT_EQ(grey.h, 0);
    EXPECT_EQ(grey.s, 0);
    EXPECT_EQ(grey.v, 128);
    EXPECT_EQ(ToHsv(0x000000).v, 0);
    EXPECT_EQ(QUB_Saturation(0xFFFFFF), 0);
    EXPECT_EQ(QUB_Value(0xFFFFFF), 255);
    // The top byte is not part of the colour.
    EXPECT_EQ(QUB_Hue(0xAB00FFFF), 180);

    EXPECT_EQ(QUB_HsvToRgb(255, 255, 0), 0xFF0000u);
    EXPECT_EQ(QUB_HsvToRgb(255, 255, 120), 0x00FF00u);
    EXPECT_EQ(QUB_HsvToRgb(255, 255, 240), 0x0000FFu);
    // Saturation above the value: m clamps to 0, d = V.
    EXPECT_EQ(QUB_HsvToRgb(100, 200, 0), 0x640000u);
    EXPECT_EQ(QUB_HsvToRgb(200, 255, 30), QUB_PackRgb(200, 100, 0));
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
