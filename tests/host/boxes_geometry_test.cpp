// Geometry of the button grid and the input box layout, and the press counter.
#include <gtest/gtest.h>

#include <climits>

#include "boxes/box_geometry.h"

namespace {

bool Overlap(const BoxRect& a, const BoxRect& b) {
    return a.x < b.x + b.width && b.x < a.x + a.width && a.y < b.y + b.height &&
           b.y < a.y + a.height;
}

TEST(ButtonGrid, AcceptsExactlyTheGridsOfOneTo256Buttons) {
    for (int nx = -3; nx <= 260; ++nx) {
        for (int ny = -3; ny <= 260; ++ny) {
            const bool expected = nx >= 1 && ny >= 1 && nx * ny <= 256;
            ASSERT_EQ(QUB_ButtonGridAccepted(nx, ny), expected) << nx << " x " << ny;
        }
    }
    EXPECT_TRUE(QUB_ButtonGridAccepted(16, 16));
    EXPECT_FALSE(QUB_ButtonGridAccepted(17, 16));
    // Products that wrap a 32-bit int back into range.
    EXPECT_FALSE(QUB_ButtonGridAccepted(65536, 65536));
    EXPECT_FALSE(QUB_ButtonGridAccepted(65536, 65537));
    EXPECT_FALSE(QUB_ButtonGridAccepted(INT_MAX, INT_MAX));
    EXPECT_FALSE(QUB_ButtonGridAccepted(INT_MIN, -1));
}

// Every accepted grid, with the first button size and two others: the buttons
// tile the client area with 4-pixel gaps and margins, every button's centre
// finds that button again, and the client size gives the button size back.
TEST(ButtonGrid, EveryGridTilesItsClientArea) {
    const int sizes[][2] = {{kFirstButtonWidth, kFirstButtonHeight}, {1, 1}, {0, 3}, {37, 55}};
    for (int nx = 1; nx <= 256; ++nx) {
        for (int ny = 1; nx * ny <= 256; ++ny) {
            for (const auto& size : sizes) {
                const int bw = size[0], bh = size[1];
                const BoxSize client = QUB_ButtonGridClientSize(nx, ny, bw, bh);
                ASSERT_EQ(client.width, nx * (bw + 4) + 4);
                ASSERT_EQ(client.height, ny * (bh + 4) + 4);
                const int count = nx * ny;
                for (int k = 0; k < count; ++k) {
                    const BoxRect r = QUB_ButtonRect(k, nx, bw, bh);
                    const int row = k / nx, column = k % nx;
                    ASSERT_EQ(r.x, 4 + column * (bw + 4)) << nx << "x" << ny << " k " << k;
                    ASSERT_EQ(r.y, 4 + row * (bh + 4));
                    ASSERT_EQ(r.width, bw);
                    ASSERT_EQ(r.height, bh);
                    if (column == nx - 1) {
                        ASSERT_EQ(r.x + r.width + 4, client.width);
                    }
                    if (row == ny - 1) {
                        ASSERT_EQ(r.y + r.height + 4, client.height);
                    }
                    // A button of no width has no inside to point at.
                    if (bw > 0 && bh > 0) {
                        ASSERT_EQ(QUB_ButtonAtPoint(r.x + r.width / 2, r.y + r.height / 2, nx,
                                                    ny, bw, bh),
                                  k);
                    }
                }
                if (bw > 0 && bh > 0 && count > 1) {
                    ASSERT_FALSE(Overlap(QUB_ButtonRect(0, nx, bw, bh),
                                         QUB_ButtonRect(1, nx, bw, bh)));
                    ASSERT_FALSE(Overlap(QUB_ButtonRect(count - 2, nx, bw, bh),
                                         QUB_ButtonRect(count - 1, nx, bw, bh)));
                }
                if (bw >= 1 && bh >= 1) {
                    const BoxSize back =
                        QUB_ButtonSizeForClient(client.width, client.height, nx, ny);
                    ASSERT_EQ(back.width, bw) << nx << "x" << ny;
                    ASSERT_EQ(back.height, bh);
                }
            }
        }
    }
}

TEST(ButtonGrid, ButtonSizeFromClientSize) {
    // 16 columns in 83 pixels: (83 - 68) / 16 = 0.
    EXPECT_EQ(QUB_ButtonSizeForClient(83, 100, 16, 1).width, 0);
    EXPECT_EQ(QUB_ButtonSizeForClient(84, 100, 16, 1).width, 1);
    // One column never goes below 1, even with no room at all.
    EXPECT_EQ(QUB_ButtonSizeForClient(0, 0, 1, 1).width, 1);
    EXPECT_EQ(QUB_ButtonSizeForClient(5, 0, 1, 1).height, 1);
    // A box that the system made wider than asked gets wider buttons: 4 x 2
    // asked for 412 x 64, given 420 x 64.
    const BoxSize wider = QUB_ButtonSizeForClient(420, 64, 4, 2);
    EXPECT_EQ(wider.width, 100);
    EXPECT_EQ(wider.height, 26);
}

TEST(ButtonGrid, GapsBelongToTheButtonAfterThemAndFarMarginsToTheLast) {
    // 4 x 2 with 98 x 26: cells are 102 x 30 from the client origin; button 0
    // spans x 4..101, the gap after it 102..105.
    EXPECT_EQ(QUB_ButtonAtPoint(0, 0, 4, 2, 98, 26), 0);
    EXPECT_EQ(QUB_ButtonAtPoint(101, 29, 4, 2, 98, 26), 0);
    EXPECT_EQ(QUB_ButtonAtPoint(102, 2, 4, 2, 98, 26), 1);
    EXPECT_EQ(QUB_ButtonAtPoint(102, 30, 4, 2, 98, 26), 5);
    // Right margin: x = 408..411 lies beyond the last cell and picks column 3.
    EXPECT_EQ(QUB_ButtonAtPoint(410, 5, 4, 2, 98, 26), 3);
    EXPECT_EQ(QUB_ButtonAtPoint(5000, 5000, 4, 2, 98, 26), 7);
    // Points left of or above the client area (mouse capture) stay in the grid.
    EXPECT_EQ(QUB_ButtonAtPoint(-20, -1, 4, 2, 98, 26), 0);
    // Buttons of width 0 still have a 4-pixel cell.
    EXPECT_EQ(QUB_ButtonAtPoint(9, 0, 16, 1, 0, 26), 2);
}

TEST(ButtonPresses, CountUpAndStopAtTheLargestInt) {
    int count = 0;
    for (int i = 0; i < 1000; ++i) count = QUB_AddPress(count);
    EXPECT_EQ(count, 1000);
    EXPECT_EQ(QUB_AddPress(INT_MAX - 1), INT_MAX);
    EXPECT_EQ(QUB_AddPress(INT_MAX), INT_MAX);
}

TEST(ButtonPresses, DigitsPressTheFirstTenButtons) {
    for (unsigned c = 0; c < 0x10000; ++c) {
        const int expected = c >= '0' && c <= '9' ? static_cast<int>(c - '0') : -1;
        ASSERT_EQ(QUB_DigitButton(c), expected) << c;
    }
}

TEST(InputLayout, ItemCountsAreClamped) {
    EXPECT_EQ(QUB_ClampInputItems(0), 1);
    EXPECT_EQ(QUB_ClampInputItems(-5), 1);
    EXPECT_EQ(QUB_ClampInputItems(INT_MIN), 1);
    EXPECT_EQ(QUB_ClampInputItems(1), 1);
    EXPECT_EQ(QUB_ClampInputItems(30), 30);
    EXPECT_EQ(QUB_ClampInputItems(31), 30);
    EXPECT_EQ(QUB_ClampInputItems(100), 30);
}

TEST(InputLayout, RowsOfLabelAndField) {
    const BoxSize client = QUB_InputBoxClientSize(30, 80, 70);
    EXPECT_EQ(client.width, 162);
    EXPECT_EQ(client.height, 842);
    for (int i = 0; i < kMaxInputItems; ++i) {
        const BoxRect label = QUB_InputLabelRect(i, 80);
        const BoxRect edit = QUB_InputEditRect(i, 80, 70);
        ASSERT_EQ(label.x, 4);
        ASSERT_EQ(label.y, 28 * i + 7);
        ASSERT_EQ(label.width, 80);
        ASSERT_EQ(label.height, 24);
        ASSERT_EQ(edit.x, 88);
        ASSERT_EQ(edit.y, 28 * i + 4);
        ASSERT_EQ(edit.width, 70);
        ASSERT_EQ(edit.height, 24);
        // The field ends 4 pixels inside the client area; the row's label
        // ends 4 pixels before the field begins.
        ASSERT_EQ(edit.x + edit.width + 4, client.width);
        ASSERT_EQ(label.x + label.width + 4, edit.x);
        ASSERT_LE(edit.y + edit.height, QUB_InputBoxClientSize(i + 1, 80, 70).height);
        ASSERT_EQ(QUB_InputItemAtY(static_cast<unsigned>(edit.y + 12)), i);
    }
}

TEST(InputLayout, RowUnderThePointer) {
    EXPECT_EQ(QUB_InputItemAtY(0), 0);
    EXPECT_EQ(QUB_InputItemAtY(27), 0);
    EXPECT_EQ(QUB_InputItemAtY(28), 1);
    // The last two pixel rows of a 3-item box (client height 86) lie in row 3,
    // which has no item.
    EXPECT_EQ(QUB_InputItemAtY(84), 3);
    EXPECT_EQ(QUB_InputItemAtY(85), 3);
    EXPECT_EQ(QUB_InputItemAtY(65535), 2340);
}

TEST(InputLayout, LeftEdgesMoveTheLabelsOtherEdgesTheFields) {
    for (int edge = 0; edge <= 8; ++edge) {
        const bool left = edge == 1 || edge == 4 || edge == 7;
        EXPECT_EQ(QUB_SizingLeftEdge(edge), left) << edge;
        const InputWidths w = QUB_InputWidthsAfterSize(edge, 200, 80, 70);
        if (left) {
            EXPECT_EQ(w.label, 118) << edge;
            EXPECT_EQ(w.edit, 70);
        } else {
            EXPECT_EQ(w.label, 80) << edge;
            EXPECT_EQ(w.edit, 108);
        }
    }
    // Never below one pixel.
    EXPECT_EQ(QUB_InputWidthsAfterSize(1, 10, 80, 70).label, 1);
    EXPECT_EQ(QUB_InputWidthsAfterSize(2, 10, 80, 70).edit, 1);
}

TEST(InputLayout, ResizeWidthsAccepted) {
    EXPECT_TRUE(QUB_InputWidthsAccepted(1, 1));
    EXPECT_TRUE(QUB_InputWidthsAccepted(80, 70));
    EXPECT_FALSE(QUB_InputWidthsAccepted(0, 70));
    EXPECT_FALSE(QUB_InputWidthsAccepted(80, -1));
    EXPECT_TRUE(QUB_InputWidthsAccepted(kMaxBoxClient - 13, 1));
    EXPECT_FALSE(QUB_InputWidthsAccepted(kMaxBoxClient - 12, 1));
    EXPECT_FALSE(QUB_InputWidthsAccepted(INT_MAX, INT_MAX));
}

}  // namespace
