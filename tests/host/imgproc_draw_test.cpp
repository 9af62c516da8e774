// Pixels, lines, boxes, circles and flood fill against independent references.
#include <gtest/gtest.h>
#include <algorithm>
#include <climits>
#include <cstdlib>
#include <deque>
#include <random>
#include <tuple>
#include "imgproc/circle.h"
#include "imgproc/draw.h"
#include "imgproc/flood_fill.h"
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
        }
    EXPECT_EQ(im.px, before.px);
    QUB_XorPixel32(im.data(), 5, 3, 4, 2);
    EXPECT_EQ(im.at(4, 2), before.at(4, 2) ^ 0x00FFFFFFu) << "the top byte survives";
    EXPECT_EQ(QUB_ReadPixel32(im.data(), 5, 3, 4, 2, -1), int64_t(im.at(4, 2)));
    TestImage8 g(5, 3, 10);
    QUB_SetPixel8(g.data(), 5, 3, g.stride, 1, 1, 0x808080);
    QUB_XorPixel8(g.data(), 5, 3, g.stride, 2, 1);
    EXPECT_TRUE(g.at(1, 1) == 128 && g.at(2, 1) == 245 && g.at(5, 1) == 10) << "padding untouched";
}

// Half rounds up: after k major steps the minor offset m has
// 2(m*dmajor - k*dminor) in (-dmajor, dmajor], one pixel per major coordinate.
void CheckAgainstExactLine(int x1, int y1, int x2, int y2) {
    const int w = 41, h = 37;
    TestImage32 im(w, h);
    QUB_DrawLine32(im.data(), w, h, kInk, x1, y1, x2, y2);
    TestImage32 swapped(w, h);
    QUB_XorLine32(swapped.data(), w, h, x2, y2, x1, y1);
    for (uint32_t& p : swapped.px) p = p ? kInk : 0;  // each pixel inverted once, either order
    ASSERT_EQ(im.px, swapped.px);
    if (x1 > x2) { std::swap(x1, x2); std::swap(y1, y2); }
    const int64_t dx = int64_t(x2) - x1, dy = std::llabs(int64_t(y2) - y1);
    const bool xMajor = dx >= dy;
    const int64_t dMaj = xMajor ? dx : dy, dMin = xMajor ? dy : dx;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const int64_t down = y2 >= y1 ? y - y1 : y1 - y;
            const int64_t k = xMajor ? x - x1 : down, m = xMajor ? down : x - x1;
            const int64_t error = 2 * (m * dMaj - k * dMin);
            const bool on = k >= 0 && k <= dMaj && m >= 0 &&
                            (dMaj == 0 ? x == x1 && y == y1 : error <= dMaj && error > -dMaj);
            ASSERT_EQ(im.at(x, y) == kInk, on) << x1 << "," << y1 << " " << x2 << "," << y2
                                                << " at " << x << "," << y;
        }
}

TEST(Lines, MatchTheExactLineInEveryDirection) {
    const int c = 20, cy = 18;
    for (int dx = -16; dx <= 16; ++dx)
        for (int dy = -16; dy <= 16; ++dy)
            CheckAgainstExactLine(c - dx / 2, cy - dy / 2, c + dx, cy + dy);
}

// A window onto a larger drawing looks the same as drawing into the window.
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

TEST(Boxes, OutlineFillAndXorInAnyCornerOrder) {
    enum Op { kDraw, kFill, kXor, kXorFill };
    const struct {
        Op op;
        int x1, y1, x2, y2;
        const char* mask;
    } cases[] = {
        {kDraw, 5, 3, 1, 1, ".......\n.#####.\n.#...#.\n.#####.\n.......\n"},
        {kFill, 5, 1, 1, 3, ".......\n.#####.\n.#####.\n.#####.\n.......\n"},
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

// XOR outline = set outline; outline and fill XORed twice from other corners restore.
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
                    for (int k : {0, 1}) {  // from the other corners the second time
                        QUB_XorBox8(g.data(), 7, 5, g.stride, k ? x2 : x1, y1, k ? x1 : x2, y2);
                        QUB_XorFillBox8(g.data(), 7, 5, g.stride, x2, k ? y1 : y2, x1, k ? y2 : y1);
                    }
                    ASSERT_EQ(g.px, before.px);
                }
}

// The walk written out as the library describes it, plotting by inversion (a
// point plotted twice cancels): the engine's skipping walk must match it.
struct LiteralWalk {
    TestImage32 outline, disc;
    QUB_Pen pen = {};  // right end of the last span: lines leave the pen there
    LiteralWalk(int n, int cx, int cy, int r) : outline(n, n), disc(n, n) {
        auto plot = [&](int x, int y) {
            if (x >= 0 && y >= 0 && x < n && y < n) outline.at(x, y) ^= 0x00FFFFFFu;
        };
        auto span = [&](int w, int y) {
            pen = {cx + w, y};
            if (y < 0 || y >= n) return;
            const int a = std::min(cx - w, cx + w), b = std::max(cx - w, cx + w);
            for (int x = std::max(a, 0); x <= std::min(b, n - 1); ++x) disc.at(x, y) ^= 0x00FFFFFFu;
        };
        int i = 0, j = r, d = r;
        const int limit = 5 * r / 7;
        for (;;) {
            // On the axes and the diagonal the last four points repeat the first four.
            const int p[8][2] = {{-i, j}, {i, -j}, {j, i},  {-j, -i},
                                 {i, j},  {-i, -j}, {j, -i}, {-j, i}};
            for (int k = 0; k < (i != 0 && i != j ? 8 : 4); ++k) plot(cx + p[k][0], cy + p[k][1]);
            d -= 2 * i + 1;
            if (d <= 0) {
                d += 2 * j - 2;
                --j;
            }
            ++i;
            if (i > limit || i > j) break;
        }
        i = 0, j = r, d = r;
        bool stepped = false;
        for (;;) {
            if (i != j) {
                span(j, cy + i);
                if (i != 0) span(j, cy - i);
            }
            d -= 2 * i + 1;
            stepped = d <= 0;
            if (stepped) {
                span(i, cy + j);
                span(i, cy - j);
                d += 2 * j - 2;
                --j;
            }
            if (i + 1 > limit || i + 1 > j) break;
            ++i;
        }
        if (!stepped) {
            span(i, cy + j);
            span(i, cy - j);
        }
    }
};

// Also: set outline = XOR outline, the set disc covers the XOR disc, XOR twice restores.
TEST(Circle, SameInversionsAsTheWalkWrittenOut) {
    for (int r = -12; r <= 100; ++r) {
        const int n = 2 * std::abs(r) + 7, c = std::abs(r) + 3;
        const LiteralWalk want(n, c, c, r), clipped(n, 2 - r / 2, n - 3, r);
        TestImage32 part(n, n), partDisc(n, n);  // passes that cannot reach it are skipped
        QUB_XorCircle32(part.data(), n, n, 2 - r / 2, n - 3, r);
        QUB_XorFillCircle32(partDisc.data(), n, n, 2 - r / 2, n - 3, r);
        ASSERT_TRUE(part.px == clipped.outline.px && partDisc.px == clipped.disc.px) << r;
        TestImage32 outline(n, n), disc(n, n), set(n, n), filled(n, n);
        QUB_Pen pen = {}, filledPen = {}, emptyPen = {};
        QUB_XorCircle32(outline.data(), n, n, c, c, r);
        QUB_XorFillCircle32(disc.data(), n, n, c, c, r, &pen);
        ASSERT_EQ(outline.px, want.outline.px) << "outline r=" << r;
        ASSERT_EQ(disc.px, want.disc.px) << "disc r=" << r;
        QUB_DrawCircle32(set.data(), n, n, c, c, kInk, r);
        QUB_FillCircle32(filled.data(), n, n, c, c, kInk, r, &filledPen);
        for (int y = 0; y < n; ++y)
            for (int x = 0; x < n; ++x) {
                if (r > 0) { ASSERT_EQ(set.at(x, y) == kInk, outline.at(x, y) != 0) << r; }
                if (disc.at(x, y)) { ASSERT_EQ(filled.at(x, y), kInk) << r; }
            }
        EXPECT_EQ(set.at(c + std::abs(r), c), kInk) << "the axis point is on the radius: " << r;
        QUB_XorFillCircle32(disc.data(), 0, 0, c, c, r, &emptyPen);
        for (const QUB_Pen& p : {pen, filledPen, emptyPen})
            ASSERT_TRUE(p.x == want.pen.x && p.y == want.pen.y)
                << "pen r=" << r << " at " << p.x << "," << p.y;
        TestImage8 g = TestImage8::Distinct(37, 29);
        const TestImage8 g0 = g;
        for (int twice = 0; twice < 2; ++twice) {
            QUB_XorFillCircle8(g.data(), 37, 29, g.stride, -3, 27, r);
            QUB_XorCircle8(g.data(), 37, 29, g.stride, 15, 13, r);
        }
        EXPECT_EQ(g.px, g0.px) << r;
    }
}

TEST(Circle, ExtremeArgumentsAreClipped) {
    for (int r : {INT_MAX, INT_MIN})  // nothing overflows; XOR twice still restores
        for (int c : {INT_MIN, 10, INT_MAX}) {
            TestImage32 t = TestImage32::Distinct(33, 21);
            const TestImage32 t0 = t;
            for (int twice = 0; twice < 2; ++twice) {
                QUB_XorCircle32(t.data(), 33, 21, c, c, r);
                QUB_XorFillCircle32(t.data(), 33, 21, c, c / 2, r);
            }
            EXPECT_EQ(t.px, t0.px);
        }
}

// Reference: 4-connected region of equal pixels, by breadth-first search.
template <class Img>
std::vector<char> Region(const Img& im, int sx, int sy) {
    std::vector<char> in(size_t(im.width) * im.height, 0);
    const auto target = im.at(sx, sy);
    std::deque<std::pair<int, int>> q{{sx, sy}};
    while (!q.empty()) {
        auto [x, y] = q.front();
        q.pop_front();
        if (x < 0 || y < 0 || x >= im.width || y >= im.height) continue;
        char& seen = in[size_t(y) * im.width + x];
        if (seen || im.at(x, y) != target) continue;
        seen = 1;
        for (auto [dx, dy] : {std::pair{-1, 0}, {1, 0}, {0, -1}, {0, 1}})
            q.push_back({x + dx, y + dy});
    }
    return in;
}

// Random ragged regions; pixels of the paint colour beside them are borders.
TEST(FloodFill, MatchesBreadthFirstSearchOnRandomImages) {
    std::mt19937 rng(4242);
    const uint32_t palette[3] = {0x00112233, 0x00445566, 0x00778899};
    for (int trial = 0; trial < 200; ++trial) {
        const int w = 5 + int(rng() % 40), h = 3 + int(rng() % 30);
        TestImage32 im(w, h);
        for (auto& p : im.px) p = palette[rng() % 3];
        const int sx = int(rng() % w), sy = int(rng() % h);
        const uint32_t paint = im.at(sx, sy) == palette[2] ? palette[1] : palette[2];
        const std::vector<char> region = Region(im, sx, sy);
        TestImage32 filled = im;
        const int seeds = 1 + int(rng() % 5);
        ASSERT_EQ(QUB_FloodFillSeeds32(filled.data(), w, h, sx, sy, paint, seeds), 0);
        for (size_t k = 0; k < im.px.size(); ++k)
            ASSERT_EQ(filled.px[k], region[k] ? paint : im.px[k]) << trial << " at " << k;
    }
}

// Runs are filled in the classic order (neighbour seeds pushed left to right,
// the last pushed first), so the pen ends on the right end of that last run.
TEST(FloodFill, PenEndsOnTheLastRunOfTheClassicOrder) {
    TestImage32 im(5, 3);
    const uint32_t kPaint = 0x00FF0000;
    for (int x : {0, 1, 2}) im.at(x, 0) = im.at(x + 2, 2) = 1;  // walls
    QUB_Pen pen = {-1, -1};
    QUB_FloodFill32(im.data(), 5, 3, 2, 1, kPaint, &pen);
    QUB_FloodFill32(im.data(), 5, 3, 9, 1, 7, &pen);  // nothing filled: the pen stays
    EXPECT_TRUE(pen.x == 1 && pen.y == 2) << pen.x << "," << pen.y;
}

TEST(FloodFill, NothingToDo) {
    TestImage32 im = TestImage32::Distinct(7, 5);
    const TestImage32 before = im;
    for (auto [x, y, paint] : {std::tuple{3, 2, im.at(3, 2)}, {-1, 2, 0u}, {3, 5, 0u}})
        EXPECT_EQ(QUB_FloodFill32(im.data(), 7, 5, x, y, paint), 0);
    EXPECT_EQ(im.px, before.px);
    TestImage8 g(5, 3, 0x34);  // 8 bits: the low byte of the colour, never the padding
    EXPECT_EQ(QUB_FloodFill8(g.data(), 5, 3, g.stride, 2, 1, 0x000099), 0);
    for (int k = 0; k < 24; ++k) EXPECT_EQ(g.px[size_t(k)], k % 8 < 5 ? 0x99 : 0x34) << k;
}
}  // namespace
