// Pixels, lines and boxes: the library's line walk checked against the exact
// line it approximates, clipping of any int coordinates, and XOR restoring.
#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
#include <random>

#include "imgproc/draw.h"
#include "imgproc_test_image.h"

namespace {

constexpr uint32_t kInk = 0x00C0FFEE;

TEST(Pixels, ClipAndReadBack) {
    TestImage32 im = TestImage32::Distinct(5, 3);
    const TestImage32 before = im;
    for (int x : {-1, 5, INT_MIN, INT_MAX})
        for (int y : {-1, 0, 3, INT_MIN, INT_MAX}) {
            QUB_SetPixel32(im.data(), 5, 3, x, y, kInk);
            QUB_XorPixel32(im.data(), 5, 3, x, y);
            EXPECT_EQ(QUB_ReadPixel32(im.data(), 5, 3, x, y, -1), -1);
            EXPECT_EQ(QUB_ReadPixel32(im.data(), 5, 3, x, y, 0), 0);
        }
    EXPECT_EQ(im.px, before.px);
    QUB_XorPixel32(im.data(), 5, 3, 4, 2);
    // The top byte survives inversion.
    EXPECT_EQ(im.at(4, 2), before.at(4, 2) ^ 0x00FFFFFFu);
    EXPECT_EQ(QUB_ReadPixel32(im.data(), 5, 3, 4, 2, -1), int64_t(im.at(4, 2)));

    TestImage8 g(5, 3, 10);
    QUB_SetPixel8(g.data(), 5, 3, g.stride, 1, 1, 0x808080);
    QUB_XorPixel8(g.data(), 5, 3, g.stride, 2, 1);
    EXPECT_EQ(g.at(1, 1), 128);
    EXPECT_EQ(g.at(2, 1), 245);
    EXPECT_EQ(QUB_ReadPixel8(g.data(), 5, 3, g.stride, 5, 1, -1), -1);
    EXPECT_EQ(g.at(5, 1), 10);  // padding untouched
}

TEST(Lines, WorkedCases) {
    const struct {
        int x1, y1, x2, y2;
        const char* mask;
    } cases[] = {
        {2, 1, 2, 1, "....\n..#.\n....\n....\n"},
        {-5, 2, 1, 2, "....\n....\n##..\n....\n"},
        {3, 3, 0, 0, "#...\n.#..\n..#.\n...#\n"},  // a tie (dx = dy) walks x-major
    };
    for (const auto& c : cases) {
        TestImage32 im(4, 4);
        QUB_DrawLine32(im.data(), 4, 4, kInk, c.x1, c.y1, c.x2, c.y2);
        EXPECT_EQ(im.Mask(), c.mask) << c.x1 << "," << c.y1;
    }
    TestImage8 g(9, 5, 7);
    QUB_DrawLine8(g.data(), 9, 5, g.stride, 0xFF0000, 0, 0, 8, 4);
    EXPECT_EQ(g.at(0, 0) + g.at(8, 4), 0) << "the low byte of the colour";
}

// The walk rounds half up: after k major steps the minor offset m satisfies
// |m - k*dminor/dmajor| <= 1/2, i.e. |2(m*dmajor - k*dminor)| <= dmajor, with
// exactly one pixel per major coordinate between the ends.
void CheckAgainstExactLine(int x1, int y1, int x2, int y2) {
    const int w = 41, h = 37;
    TestImage32 im(w, h);
    QUB_DrawLine32(im.data(), w, h, kInk, x1, y1, x2, y2);
    TestImage32 swapped(w, h);
    QUB_DrawLine32(swapped.data(), w, h, kInk, x2, y2, x1, y1);
    ASSERT_EQ(im.px, swapped.px) << "order of the ends matters";
    if (x1 > x2) { std::swap(x1, x2); std::swap(y1, y2); }
    const int64_t dx = int64_t(x2) - x1, dy = std::llabs(int64_t(y2) - y1);
    const bool xMajor = dx >= dy;
    const int64_t dMaj = xMajor ? dx : dy, dMin = xMajor ? dy : dx;
    int expectedCount = 0;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            // Solve for the step k that would reach this pixel's major coordinate.
            int64_t k, m;
            if (xMajor) {
                k = x - x1;
                m = (y2 >= y1) ? y - y1 : y1 - y;
            } else {
                k = (y2 >= y1) ? y - y1 : y1 - y;
                m = x - x1;
            }
            bool on = k >= 0 && k <= dMaj && m >= 0;
            if (on && dMaj > 0) on = std::llabs(2 * (m * dMaj - k * dMin)) <= dMaj &&
                                     !(2 * (m * dMaj - k * dMin) == -dMaj);  // half rounds up
            if (on && dMaj == 0) on = (x == x1 && y == y1);
            expectedCount += on;
            ASSERT_EQ(im.at(x, y) == kInk, on) << x1 << "," << y1 << " " << x2 << "," << y2
                                                << " at " << x << "," << y;
        }
    EXPECT_GT(expectedCount, 0);
}

TEST(Lines, MatchTheExactLineInEveryDirection) {
    const int c = 20, cy = 18;
    for (int dx = -16; dx <= 16; ++dx)
        for (int dy = -16; dy <= 16; ++dy)
            CheckAgainstExactLine(c - dx / 2, cy - dy / 2, c + dx, cy + dy);
}

// Cutting the picture must not change which pixels a line chooses: a window
// onto a larger drawing looks the same as drawing into the window directly.
TEST(Lines, ClippingKeepsThePixelsOfTheWholeLine) {
    std::mt19937 rng(12345);
    std::uniform_int_distribution<int> coord(-300, 340);
    const int bw = 700, bh = 700, off = 320, w = 23, h = 17;
    for (int trial = 0; trial < 400; ++trial) {
        const int x1 = coord(rng), y1 = coord(rng), x2 = coord(rng), y2 = coord(rng);
        TestImage8 big(bw, bh);
        QUB_DrawLine8(big.data(), bw, bh, big.stride, 1, x1 + off, y1 + off, x2 + off, y2 + off);
        TestImage8 small(w, h);
        QUB_DrawLine8(small.data(), w, h, small.stride, 1, x1, y1, x2, y2);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                ASSERT_EQ(small.at(x, y), big.at(x + off, y + off)) << trial;
    }
}

TEST(Lines, HugeCoordinatesAreClippedWithoutOverflow) {
    const int w = 31, h = 29;
    const int ends[][4] = {
        {INT_MIN, INT_MIN, INT_MAX, INT_MAX}, {INT_MAX, INT_MIN, INT_MIN, INT_MAX},
        {INT_MIN, 5, INT_MAX, 6},             {-1000000000, -700000000, 1000000000, 700000013},
        {3, INT_MIN, 4, INT_MAX},             {INT_MIN, 14, INT_MAX, 14},
        {10, INT_MIN, 10, INT_MAX},           {INT_MAX, INT_MAX, INT_MAX - 5, INT_MIN},
    };
    for (const auto& e : ends) {
        TestImage32 im = TestImage32::Distinct(w, h);
        const TestImage32 before = im;
        QUB_XorLine32(im.data(), w, h, e[0], e[1], e[2], e[3]);
        QUB_XorLine32(im.data(), w, h, e[2], e[3], e[0], e[1]);
        EXPECT_EQ(im.px, before.px);
    }
    // The diagonal through the corners passes through (k, k) for every k.
    TestImage32 diag(w, h);
    QUB_DrawLine32(diag.data(), w, h, kInk, INT_MIN, INT_MIN, INT_MAX, INT_MAX);
    QUB_DrawLine32(diag.data(), w, h, kInk, INT_MIN, 14, INT_MAX, 14);
    for (int k = 0; k < w; ++k)
        EXPECT_TRUE(diag.at(k, 14) == kInk && (k >= h || diag.at(k, k) == kInk)) << k;
    // A long shallow line: each column holds exactly the row of the exact line,
    // y = round-half-up(-700000000 + (x + 10^9) * 1400000013 / (2 * 10^9)).
    TestImage32 steep(w, h);
    QUB_DrawLine32(steep.data(), w, h, kInk, -1000000000, -700000000, 1000000000, 700000013);
    for (int x = 0; x < w; ++x) {
        const int64_t k = int64_t(x) + 1000000000;
        const int64_t num = k * 1400000013LL;
        const int64_t y = -700000000 + (2 * num + 2000000000LL) / 4000000000LL;
        for (int yy = 0; yy < h; ++yy)
            EXPECT_EQ(steep.at(x, yy) == kInk, yy == y) << x << "," << yy;
    }
}

TEST(Lines, XorVisitsEachPixelOnce) {
    for (int x2 = -3; x2 < 14; x2 += 2)
        for (int y2 = -4; y2 < 12; y2 += 3) {
            TestImage32 set(11, 9), xr(11, 9);
            QUB_DrawLine32(set.data(), 11, 9, 0x00FFFFFF, 5, 4, x2, y2);
            QUB_XorLine32(xr.data(), 11, 9, 5, 4, x2, y2);
            EXPECT_EQ(set.px, xr.px);
            TestImage8 g = TestImage8::Distinct(11, 9);
            const TestImage8 before = g;
            QUB_XorLine8(g.data(), 11, 9, g.stride, 5, 4, x2, y2);
            QUB_XorLine8(g.data(), 11, 9, g.stride, x2, y2, 5, 4);
            EXPECT_EQ(g.px, before.px);
        }
}

TEST(Boxes, OutlineFillAndXorInAnyCornerOrder) {
    enum Op { kDraw, kFill, kXor, kXorFill };
    const struct {
        Op op;
        int x1, y1, x2, y2;
        const char* mask;
    } cases[] = {
        {kDraw, 1, 1, 5, 3, ".......\n.#####.\n.#...#.\n.#####.\n.......\n"},
        {kDraw, 5, 3, 1, 1, ".......\n.#####.\n.#...#.\n.#####.\n.......\n"},
        {kFill, 5, 1, 1, 3, ".......\n.#####.\n.#####.\n.#####.\n.......\n"},
        {kXor, 1, 1, 2, 1, ".......\n.##....\n.......\n.......\n.......\n"},
        // One column wide: its two sides are the same column and cancel.
        {kXor, 1, 0, 1, 4, ".#.....\n.......\n.......\n.......\n.#.....\n"},
        {kXorFill, 4, INT_MIN, 1, 2, ".####..\n.####..\n.####..\n.......\n.......\n"},
    };
    for (const auto& c : cases) {
        TestImage32 im(7, 5);
        if (c.op == kDraw) QUB_DrawBox32(im.data(), 7, 5, kInk, c.x1, c.y1, c.x2, c.y2);
        if (c.op == kFill) QUB_FillBox32(im.data(), 7, 5, kInk, c.x1, c.y1, c.x2, c.y2);
        if (c.op == kXor) QUB_XorBox32(im.data(), 7, 5, c.x1, c.y1, c.x2, c.y2);
        if (c.op == kXorFill) QUB_XorFillBox32(im.data(), 7, 5, c.x1, c.y1, c.x2, c.y2);
        EXPECT_EQ(im.Mask(), c.mask) << c.op << ": " << c.x1 << "," << c.y1;
    }
    TestImage8 g(7, 6);
    QUB_FillBox8(g.data(), 7, 6, g.stride, 0x123456, -100, 2, 2, INT_MAX);
    EXPECT_EQ(g.at(0, 5) + 1000 * g.at(3, 5) + 2000 * g.at(2, 1), 0x56) << "clipped, the low byte";
}

// The XOR outline marks what the set outline marks; outline and fill XORed
// twice from other corners restore the picture.
TEST(Boxes, XorInvertsEachPixelOnce) {
    for (int x1 = -2; x1 < 8; ++x1)
        for (int y1 = -2; y1 < 7; ++y1)
            for (int x2 : {-1, 0, 2, 6, 9})
                for (int y2 : {-3, 0, 1, 5, 8}) {
                    TestImage32 xr(7, 5), set(7, 5);
                    QUB_XorBox32(xr.data(), 7, 5, x1, y1, x2, y2);
                    QUB_DrawBox32(set.data(), 7, 5, 0x00FFFFFF, x1, y1, x2, y2);
                    if (x1 != x2) { ASSERT_EQ(xr.px, set.px); }
                    TestImage8 g = TestImage8::Distinct(7, 5);
                    const TestImage8 before = g;
                    QUB_XorBox8(g.data(), 7, 5, g.stride, x1, y1, x2, y2);
                    QUB_XorFillBox8(g.data(), 7, 5, g.stride, x2, y2, x1, y1);
                    QUB_XorFillBox8(g.data(), 7, 5, g.stride, x1, y2, x2, y1);
                    QUB_XorBox8(g.data(), 7, 5, g.stride, x2, y1, x1, y2);
                    ASSERT_EQ(g.px, before.px);
                }
}

}  // namespace
