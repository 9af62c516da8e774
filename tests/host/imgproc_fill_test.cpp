// Flood fill against a plain breadth-first search, on ragged random regions and
// on mazes far larger than the seed stack.
#include <gtest/gtest.h>

#include <deque>
#include <random>

#include "imgproc/flood_fill.h"
#include "imgproc_test_image.h"

namespace {

// Reference: 4-connected region of equal pixels, by breadth-first search.
template <class Img>
std::vector<char> Region(const Img& im, int sx, int sy) {
    std::vector<char> in(size_t(im.width) * im.height, 0);
    const auto target = im.at(sx, sy);
    std::deque<std::pair<int, int>> q{{sx, sy}};
    in[size_t(sy) * im.width + sx] = 1;
    while (!q.empty()) {
        auto [x, y] = q.front();
        q.pop_front();
        const int nx[4] = {x - 1, x + 1, x, x}, ny[4] = {y, y, y - 1, y + 1};
        for (int k = 0; k < 4; ++k) {
            if (nx[k] < 0 || ny[k] < 0 || nx[k] >= im.width || ny[k] >= im.height) continue;
            char& seen = in[size_t(ny[k]) * im.width + nx[k]];
            if (seen || im.at(nx[k], ny[k]) != target) continue;
            seen = 1;
            q.push_back({nx[k], ny[k]});
        }
    }
    return in;
}

// A maze: corridors one pixel wide on the odd grid, walls elsewhere, carved
// by a randomised depth-first walk. Every corridor pixel is connected.
TestImage32 Maze(int cellsX, int cellsY, uint32_t wall, uint32_t floor, unsigned seed) {
    TestImage32 im(2 * cellsX + 1, 2 * cellsY + 1, wall);
    std::mt19937 rng(seed);
    std::vector<char> seen(size_t(cellsX) * cellsY, 0);
    std::vector<std::pair<int, int>> stack{{0, 0}};
    seen[0] = 1;
    im.at(1, 1) = floor;
    while (!stack.empty()) {
        auto [cx, cy] = stack.back();
        int options[4], n = 0;
        const int dx[4] = {1, -1, 0, 0}, dy[4] = {0, 0, 1, -1};
        for (int k = 0; k < 4; ++k) {
            const int x = cx + dx[k], y = cy + dy[k];
            if (x >= 0 && y >= 0 && x < cellsX && y < cellsY && !seen[size_t(y) * cellsX + x])
                options[n++] = k;
        }
        if (n == 0) {
            stack.pop_back();
            continue;
        }
        const int k = options[rng() % n];
        const int x = cx + dx[k], y = cy + dy[k];
        seen[size_t(y) * cellsX + x] = 1;
        im.at(2 * cx + 1 + dx[k], 2 * cy + 1 + dy[k]) = floor;
        im.at(2 * x + 1, 2 * y + 1) = floor;
        stack.push_back({x, y});
    }
    return im;
}

TEST(FloodFill, MazeIsFilledCompletelyWhateverTheSeedStack) {
    const uint32_t wall = 0x00102030, floor = 0x00A0B0C0, paint = 0x00FF0000;
    const TestImage32 maze = Maze(150, 110, wall, floor, 99);
    for (int seeds : {1, 2, 7, 64, kFloodFillSeeds}) {
        TestImage32 im = maze;
        ASSERT_EQ(QUB_FloodFillSeeds32(im.data(), im.width, im.height, 1, 1, paint, seeds), 0);
        for (size_t k = 0; k < im.px.size(); ++k)
            ASSERT_EQ(im.px[k], maze.px[k] == floor ? paint : wall) << seeds << " at " << k;
    }
}

// A comb: one base row with 10,000 teeth above it. Filling the base pushes a
// seed for every tooth at once, far beyond a few thousand seeds.
TEST(FloodFill, CombWithMoreTeethThanSeeds) {
    const int teeth = 10000, w = 2 * teeth + 1, h = 9;
    TestImage8 im(w, h, 1);
    for (int x = 0; x < w; x += 2)
        for (int y = 0; y < h - 1; ++y) im.at(x, y) = 0;
    for (int x = 0; x < w; ++x) im.at(x, h - 1) = 1;
    for (int seeds : {3, 4000, kFloodFillSeeds}) {
        TestImage8 t = im;
        ASSERT_EQ(QUB_FloodFillSeeds8(t.data(), w, h, t.stride, 0, h - 1, 0x77, seeds), 0);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) ASSERT_EQ(t.at(x, y), im.at(x, y) == 1 ? 0x77 : 0) << seeds;
    }
}

// Random ragged regions, with pixels that already have the paint colour lying
// next to the region: they are borders, never part of it.
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

// Runs are filled in the classic order (seeds of both neighbour rows pushed
// left to right, the last pushed filled first), so the pen, left on the right
// end of the last run, is where that fill would leave it: here the seed above
// at column 3 is pushed after the seed below at column 0 and filled first.
TEST(FloodFill, PenEndsOnTheLastRunOfTheClassicOrder) {
    TestImage32 im(5, 3);
    const uint32_t wall = 1, kPaint = 0x00FF0000;
    for (int x : {0, 1, 2}) im.at(x, 0) = wall;
    for (int x : {2, 3, 4}) im.at(x, 2) = wall;
    QUB_Pen pen = {-1, -1};
    ASSERT_EQ(QUB_FloodFill32(im.data(), 5, 3, 2, 1, kPaint, &pen), 0);
    EXPECT_EQ(pen.x, 1);
    EXPECT_EQ(pen.y, 2);
    // Nothing filled: the pen is left alone.
    ASSERT_EQ(QUB_FloodFill32(im.data(), 5, 3, 2, 1, kPaint, &pen), 0);
    ASSERT_EQ(QUB_FloodFill32(im.data(), 5, 3, 9, 1, 7, &pen), 0);
    EXPECT_EQ(pen.x, 1);
    EXPECT_EQ(pen.y, 2);
}

TEST(FloodFill, NothingToDo) {
    TestImage32 im = TestImage32::Distinct(7, 5);
    const TestImage32 before = im;
    EXPECT_EQ(QUB_FloodFill32(im.data(), 7, 5, 3, 2, im.at(3, 2)), 0);
    EXPECT_EQ(QUB_FloodFill32(im.data(), 7, 5, -1, 2, 0), 0);
    EXPECT_EQ(QUB_FloodFill32(im.data(), 7, 5, 3, 5, 0), 0);
    EXPECT_EQ(im.px, before.px);
    // 8 bits: only the low byte of the colour counts.
    TestImage8 g(5, 3, 0x34);
    EXPECT_EQ(QUB_FloodFill8(g.data(), 5, 3, g.stride, 2, 1, 0xABCD34), 0);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x) EXPECT_EQ(g.at(x, y), 0x34);
    EXPECT_EQ(QUB_FloodFill8(g.data(), 5, 3, g.stride, 2, 1, 0x000099), 0);
    EXPECT_EQ(g.at(0, 0), 0x99);
    EXPECT_EQ(g.at(4, 2), 0x99);
    EXPECT_EQ(g.px[5], 0x34);  // padding byte of row 0 untouched
}

}  // namespace
