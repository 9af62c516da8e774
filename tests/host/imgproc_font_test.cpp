// The bitmap font and the text cursor.
#include <gtest/gtest.h>

#include <cstring>

#include "imgproc/bitmap_text.h"
#include "imgproc/font8x14.h"
#include "imgproc_test_image.h"

namespace {

constexpr uint32_t kText = 0x00336699;

// "Qub 3d!" drawn at textX = 1, textY = 15 (so glyph row 0 is image row 1).
const char* const kExpected =
    "................................................................\n"
    "................................................................\n"
    "................................................................\n"
    "...####...........##...............####.......##....##..........\n"
    "..##..##..........##..............##..##......##....##..........\n"
    "..##..##..##..##..#####...............##...#####....##..........\n"
    "..##..##..##..##..##..##..............##..##..##....##..........\n"
    "..##..##..##..##..##..##............###...##..##....##..........\n"
    "..##..##..##..##..##..##..............##..##..##....##..........\n"
    "..##.###..##..##..##..##..............##..##..##................\n"
    "..##..##..##..##..##..##..........##..##..##..##....##..........\n"
    "...####....#####..#####............####....#####....##..........\n"
    ".....###........................................................\n"
    "................................................................\n"
    "................................................................\n"
    "................................................................\n";

TEST(BitmapFont, RendersAStoredString) {
    TestImage32 im(64, 16);
    QUB_TextCursor cursor{1, 15, 1};
    QUB_Pen pen{-1, -1};
    QUB_DrawString32(im.data(), 64, 16, &cursor, kText, "Qub 3d!", &pen);
    EXPECT_EQ(im.Mask(), kExpected);
    EXPECT_EQ(pen.x, 1 + 6 * 8 + 4);  // last set bit of '!': row 10, column 4
    EXPECT_EQ(pen.y, 15 - 14 + 10);
}

TEST(BitmapFont, TellingRowsAndMetrics) {
    const uint8_t a[14] = {0, 0, 0x18, 0x3C, 0x66, 0x66, 0x66, 0x7E, 0x66, 0x66, 0x66, 0, 0, 0};
    const uint8_t zero[14] = {0, 0, 0x1E, 0x33, 0x37, 0x37, 0x33, 0x3B, 0x3B, 0x33, 0x1E, 0, 0, 0};
    const uint8_t g[14] = {0, 0, 0, 0, 0x3E, 0x66, 0x66, 0x66, 0x66, 0x66, 0x3E, 0x06, 0x06, 0x7C};
    const uint8_t j[14] = {0,    0x0C, 0x0C, 0,    0x3C, 0x0C, 0x0C,
                           0x0C, 0x0C, 0x0C, 0x0C, 0x0C, 0x0C, 0x78};
    const uint8_t bar[14] = {0,    0,    0x18, 0x18, 0x18, 0x18, 0x18,
                             0x18, 0x18, 0x18, 0x18, 0x18, 0x18, 0x18};
    EXPECT_EQ(std::memcmp(QUB_FontGlyph('A'), a, 14), 0);
    EXPECT_EQ(std::memcmp(QUB_FontGlyph('0'), zero, 14), 0);
    EXPECT_EQ(std::memcmp(QUB_FontGlyph('g'), g, 14), 0);
    EXPECT_EQ(std::memcmp(QUB_FontGlyph('j'), j, 14), 0);
    EXPECT_EQ(std::memcmp(QUB_FontGlyph('|'), bar, 14), 0);
    EXPECT_EQ(QUB_FontGlyph(31), nullptr);
    EXPECT_EQ(QUB_FontGlyph(128), nullptr);
    auto rows = [](int code, int from, int to) {  // any ink in rows from..to
        const uint8_t* gl = QUB_FontGlyph(code);
        for (int r = from; r <= to; ++r)
            if (gl[r]) return true;
        return false;
    };
    for (int c = 'A'; c <= 'Z'; ++c) {
        EXPECT_FALSE(rows(c, 0, 1)) << char(c);
        EXPECT_TRUE(QUB_FontGlyph(c)[2] && QUB_FontGlyph(c)[10]) << char(c);
    }
    for (int c = '0'; c <= '9'; ++c) EXPECT_FALSE(rows(c, 0, 1) || rows(c, 11, 13)) << char(c);
    for (const char* p = "acemnorsuvwxz"; *p; ++p) {
        EXPECT_FALSE(rows(*p, 0, 3)) << *p;
        EXPECT_TRUE(QUB_FontGlyph(*p)[4] && QUB_FontGlyph(*p)[10]) << *p;
        EXPECT_FALSE(rows(*p, 11, 13)) << *p;
    }
    for (const char* p = "gjpqy"; *p; ++p) EXPECT_TRUE(QUB_FontGlyph(*p)[13]) << *p;
    EXPECT_FALSE(rows(' ', 0, 13));
    EXPECT_FALSE(rows(127, 0, 13));
    EXPECT_FALSE(rows('_', 0, 12));
    EXPECT_TRUE(rows('_', 13, 13));
    // Every printable glyph other than the space has ink.
    for (int c = 33; c < 127; ++c) EXPECT_TRUE(rows(c, 0, 13)) << char(c);
}

TEST(BitmapFont, CursorWrapsNewlinesAndIgnoredCodes) {
    const int w = 40, h = 40;
    TestImage32 im(w, h);
    QUB_TextCursor cursor{w - 16, 20, 3};
    QUB_DrawChar32(im.data(), w, h, &cursor, kText, 'H', nullptr);
    EXPECT_EQ(cursor.textX, w - 8);  // fits: no wrap yet
    EXPECT_EQ(cursor.textY, 20);
    QUB_DrawChar32(im.data(), w, h, &cursor, kText, 'H', nullptr);
    EXPECT_EQ(cursor.textX, 3);  // drawn, then wrapped
    EXPECT_EQ(cursor.textY, 36);
    EXPECT_EQ(im.at(w - 2, 20 - 14 + 6), kText);  // right stroke of the second H

    cursor = {11, 5, 2};
    QUB_Pen pen{7, 8};
    const TestImage32 before = im;
    QUB_DrawString32(im.data(), w, h, &cursor, kText, "\x80\xff\xe9\x01\x7f ", &pen);
    EXPECT_EQ(im.px, before.px);
    EXPECT_EQ(cursor.textX, 11 + 16);  // only 127 and the space advance
    EXPECT_EQ(pen.x, 7);               // blank glyphs leave the pen
    EXPECT_EQ(pen.y, 8);
    QUB_DrawChar32(im.data(), w, h, &cursor, kText, '\n', &pen);
    EXPECT_EQ(cursor.textX, 2);
    EXPECT_EQ(cursor.textY, 21);

    // 8 bits, the low byte of the colour; a glyph half outside is clipped and
    // the pen still ends on its last set bit.
    TestImage8 g(10, 10);
    QUB_TextCursor c8{-4, 12, 0};
    QUB_DrawChar8(g.data(), 10, 10, g.stride, &c8, 0x123456, 'A', &pen);
    EXPECT_EQ(g.at(0, 12 - 14 + 7), 0x56);  // the bar of the A, seen from column 4
    EXPECT_EQ(pen.x, -4 + 6);
    EXPECT_EQ(pen.y, 12 - 14 + 10);
}

}  // namespace
