// Circles against the walk written out step by step, XOR restoring, and the
// skipping of far passes checked against windows onto a full drawing.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <cmath>
#include <random>

#include "imgproc/circle.h"
#include "imgproc_test_image.h"

namespace {

constexpr uint32_t kInk = 0x00ABCDEF;

TEST(Circle, WalkStopsAtFiveSeventhsOrTheDiagonal) {
    struct Log {
        int64_t maxI = -1;
        int64_t lastJ = 0;
    } log;
    QUB_CircleWalkReference(10, [](void* ctx, int64_t i, int64_t j) {
        auto* l = static_cast<Log*>(ctx);
        l->maxI = i;
        l->lastJ = j;
    }, &log);
    EXPECT_LE(log.maxI, 7);
    EXPECT_GE(log.lastJ, log.maxI);
}

// The walk written out step by step as the library describes it, plotting by
// inversion so that a point plotted twice cancels: the engine's 64-bit walk
// with its skipping must invert exactly the same pixels, negative radii
// included.
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
            plot(cx - i, cy + j);
            plot(cx + i, cy - j);
            if (i != 0 && i != j) {
                plot(cx + i, cy + j);
                plot(cx - i, cy - j);
                plot(cx + j, cy - i);
                plot(cx - j, cy + i);
            }
            plot(cx + j, cy + i);
            plot(cx - j, cy - i);
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

// Besides the walk: every outline point lies within a pixel of the radius,
// the set outline marks the same pixels as the XOR one, the set disc covers
// the XOR disc, and XOR twice restores a picture of either depth.
TEST(Circle, SameInversionsAsTheWalkWrittenOut) {
    for (int r = -12; r <= 100; ++r) {
        const int n = 2 * std::abs(r) + 7, c = std::abs(r) + 3;
        const LiteralWalk want(n, c, c, r);
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
                if (r < 0 || set.at(x, y) != kInk) continue;
                const double dx = x - c, dy = y - c;
                ASSERT_LT(std::fabs(std::sqrt(dx * dx + dy * dy) - r), 1.0) << r;
            }
        EXPECT_EQ(set.at(c + std::abs(r), c), kInk) << "the axis point is on the radius: " << r;
        // The pen: after the spans, also where no pixel can be drawn.
        QUB_XorFillCircle32(disc.data(), 0, 0, c, c, r, &emptyPen);
        for (const QUB_Pen& p : {pen, filledPen, emptyPen})
            ASSERT_TRUE(p.x == want.pen.x && p.y == want.pen.y)
                << "pen r=" << r << " at " << p.x << "," << p.y;
        TestImage8 g = TestImage8::Distinct(37, 29);
        TestImage32 t = TestImage32::Distinct(37, 29);
        const TestImage8 g0 = g;
        const TestImage32 t0 = t;
        for (int twice = 0; twice < 2; ++twice) {
            QUB_XorFillCircle8(g.data(), 37, 29, g.stride, -3, 27, r);
            QUB_XorCircle8(g.data(), 37, 29, g.stride, 15, 13, r);
            QUB_XorFillCircle32(t.data(), 37, 29, 15, 13, r);
            QUB_XorCircle32(t.data(), 37, 29, 15, 13, r);
        }
        EXPECT_EQ(g.px, g0.px) << r;
        EXPECT_EQ(t.px, t0.px) << r;
    }
}

// The passes that cannot reach the picture are skipped in closed form; a small
// window onto a circle must look exactly like the same part of the circle
// drawn whole.
TEST(Circle, SkippedPassesChangeNothing) {
    std::mt19937 rng(777);
    for (int r : {5, 49, 300, 1001}) {
        const int n = 2 * r + 3, c = r + 1;
        TestImage8 outline(n, n), disc(n, n);
        QUB_DrawCircle8(outline.data(), n, n, outline.stride, c, c, 1, r);
        QUB_XorFillCircle8(disc.data(), n, n, disc.stride, c, c, r);
        std::uniform_int_distribution<int> pos(-20, n);
        for (int trial = 0; trial < 60; ++trial) {
            const int ox = pos(rng), oy = pos(rng), w = 13, h = 11;
            TestImage8 a(w, h), b(w, h);
            QUB_DrawCircle8(a.data(), w, h, a.stride, c - ox, c - oy, 1, r);
            QUB_XorFillCircle8(b.data(), w, h, b.stride, c - ox, c - oy, r);
            for (int y = 0; y < h; ++y)
                for (int x = 0; x < w; ++x) {
                    const bool in = x + ox >= 0 && x + ox < n && y + oy >= 0 && y + oy < n;
                    ASSERT_EQ(a.at(x, y), in ? outline.at(x + ox, y + oy) : 0)
                        << r << " " << ox << "," << oy;
                    ASSERT_EQ(b.at(x, y), in ? disc.at(x + ox, y + oy) : 0)
                        << r << " " << ox << "," << oy;
                }
        }
    }
}

TEST(Circle, HugeRadiiAndCentresAreClipped) {
    const int w = 33, h = 21;
    // The right edge of a circle of radius 10^9 whose centre lies far left: the
    // visible arc is near-vertical and each point is within a pixel of it.
    const int cx = -1000000000 + 16, cy = 10;
    TestImage32 im(w, h);
    QUB_DrawCircle32(im.data(), w, h, cx, cy, kInk, 1000000000);
    int points = 0;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            if (im.at(x, y) == kInk) {
                ++points;
                const double dx = double(x) - cx, dy = double(y) - cy;
                EXPECT_LT(std::fabs(std::sqrt(dx * dx + dy * dy) - 1e9), 1.0);
            }
    EXPECT_EQ(points, h);  // one point per row on that steep arc
    TestImage32 disc(w, h);
    QUB_FillCircle32(disc.data(), w, h, cx, cy, kInk, 1000000000);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) EXPECT_EQ(disc.at(x, y) == kInk, x <= 16) << x << "," << y;
    // Extreme arguments: nothing overflows and XOR twice still restores.
    for (int r : {INT_MAX, INT_MIN, -7})
        for (int c : {INT_MIN, 0, 10, INT_MAX}) {
            TestImage32 t = TestImage32::Distinct(w, h);
            const TestImage32 t0 = t;
            QUB_XorCircle32(t.data(), w, h, c, c, r);
            QUB_XorFillCircle32(t.data(), w, h, c, c / 2, r);
            QUB_XorCircle32(t.data(), w, h, c, c, r);
            QUB_XorFillCircle32(t.data(), w, h, c, c / 2, r);
            EXPECT_EQ(t.px, t0.px);
        }
}

}  // namespace
