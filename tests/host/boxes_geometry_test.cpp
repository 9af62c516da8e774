// Geometry of the button grid and the input box layout, and the press counter.
#include <gtest/gtest.h>
#include <climits>
#include <cstring>
#include "boxes/box_geometry.h"

namespace {
TEST(ButtonGrid, AcceptsExactlyTheGridsOfOneTo256Buttons) {
    for (int nx = -3; nx <= 260; ++nx)
        for (int ny = -3; ny <= 260; ++ny)
            ASSERT_EQ(QUB_ButtonGridAccepted(nx, ny), nx >= 1 && ny >= 1 && nx * ny <= 256) << nx;
    // Products that wrap a 32-bit int back into range.
    EXPECT_FALSE(QUB_ButtonGridAccepted(65536, 65537) || QUB_ButtonGridAccepted(INT_MIN, -1));
}

// Every accepted grid and several button sizes: 4-pixel gaps and margins, each
// centre finds its button, and the client size gives the button size back.
TEST(ButtonGrid, EveryGridTilesItsClientArea) {
    const int sizes[][2] = {{kFirstButtonWidth, kFirstButtonHeight}, {1, 1}, {0, 3}, {37, 55}};
    for (int nx = 1; nx <= 256; ++nx) {
        for (int ny = 1; nx * ny <= 256; ++ny) {
            for (const auto& size : sizes) {
                const int bw = size[0], bh = size[1];
                const BoxSize client = QUB_ButtonGridClientSize(nx, ny, bw, bh);
                ASSERT_TRUE(client.width == nx * (bw + 4) + 4 &&
                            client.height == ny * (bh + 4) + 4);
                for (int k = 0; k < nx * ny; ++k) {
                    const BoxRect r = QUB_ButtonRect(k, nx, bw, bh);
                    const BoxRect want = {4 + k % nx * (bw + 4), 4 + k / nx * (bh + 4), bw, bh};
                    ASSERT_EQ(std::memcmp(&r, &want, sizeof r), 0) << nx << "x" << ny << " k " << k;
                    if (bw > 0 && bh > 0) {  // a button of no width has no inside
                        ASSERT_EQ(QUB_ButtonAtPoint(r.x + bw / 2, r.y + bh / 2, nx, ny, bw, bh), k);
                    }
                }
                const BoxSize back = QUB_ButtonSizeForClient(client.width, client.height, nx, ny);
                if (bw > 0 && bh > 0) { ASSERT_TRUE(back.width == bw && back.height == bh) << nx; }
            }
        }
    }
}

// Worked by hand: 16 columns in 83 pixels: (83 - 68) / 16 = 0, and one column
// never goes below 1. In 4 x 2 cells of 102 x 30, a gap belongs to the button
// after it, the far margins to the last; points outside (capture) stay in the grid.
TEST(ButtonGrid, WorkedSizesAndPoints) {
    const BoxSize a = QUB_ButtonSizeForClient(83, 100, 16, 1);
    const BoxSize b = QUB_ButtonSizeForClient(5, 0, 1, 1);
    EXPECT_TRUE(a.width == 0 && a.height == 92 && b.width == 1 && b.height == 1);
    const int points[][3] = {{101, 29, 0}, {102, 30, 5}, {5000, 5000, 7}, {-20, -1, 0}};
    for (const auto& p : points) EXPECT_EQ(QUB_ButtonAtPoint(p[0], p[1], 4, 2, 98, 26), p[2]);
}

TEST(ButtonPresses, CountStopsAtTheLargestIntAndDigitsPressTheFirstTen) {
    EXPECT_EQ(QUB_AddPress(INT_MAX - 1), INT_MAX);
    EXPECT_EQ(QUB_AddPress(INT_MAX), INT_MAX);
    for (unsigned c = 0; c < 0x10000; ++c)
        ASSERT_EQ(QUB_DigitButton(c), c >= '0' && c <= '9' ? static_cast<int>(c - '0') : -1) << c;
}

TEST(InputLayout, RowsOfLabelAndField) {
    for (int n : {INT_MIN, -5, 0, 1, 30, 31, 100})
        EXPECT_EQ(QUB_ClampInputItems(n), n < 1 ? 1 : n > 30 ? 30 : n) << n;
    const BoxSize client = QUB_InputBoxClientSize(30, 80, 70);
    EXPECT_TRUE(client.width == 162 && client.height == 842);
    for (int i = 0; i < kMaxInputItems; ++i) {
        const BoxRect label = QUB_InputLabelRect(i, 80), edit = QUB_InputEditRect(i, 80, 70);
        const BoxRect want[2] = {{4, 28 * i + 7, 80, 24}, {88, 28 * i + 4, 70, 24}};
        ASSERT_EQ(std::memcmp(&label, &want[0], sizeof label), 0) << i;
        ASSERT_EQ(std::memcmp(&edit, &want[1], sizeof edit), 0) << i;
        ASSERT_LE(edit.y + edit.height, QUB_InputBoxClientSize(i + 1, 80, 70).height);
        ASSERT_EQ(QUB_InputItemAtY(static_cast<unsigned>(edit.y + 12)), i);
    }
    // The last two pixel rows of a 3-item box (client height 86) lie in row 3.
    EXPECT_TRUE(QUB_InputItemAtY(27) == 0 && QUB_InputItemAtY(28) == 1);
    EXPECT_EQ(QUB_InputItemAtY(85), 3);
    EXPECT_EQ(QUB_InputItemAtY(65535), 2340);
}

TEST(InputLayout, LeftEdgesMoveTheLabelsOtherEdgesTheFields) {
    for (int edge = 0; edge <= 8; ++edge) {
        const bool left = edge == 1 || edge == 4 || edge == 7;
        const InputWidths w = QUB_InputWidthsAfterSize(edge, 200, 80, 70);
        EXPECT_TRUE(QUB_SizingLeftEdge(edge) == left && w.label == (left ? 118 : 80) &&
                    w.edit == (left ? 70 : 108)) << edge;
    }
    EXPECT_EQ(QUB_InputWidthsAfterSize(2, 10, 80, 70).edit, 1) << "never below one pixel";
    EXPECT_TRUE(QUB_InputWidthsAccepted(1, 1) && QUB_InputWidthsAccepted(kMaxBoxClient - 13, 1));
    EXPECT_FALSE(QUB_InputWidthsAccepted(0, 70) || QUB_InputWidthsAccepted(kMaxBoxClient - 12, 1) ||
                 QUB_InputWidthsAccepted(INT_MAX, INT_MAX));
}
}  // namespace
