// Text in pictures: the bitmap font and its cursor; TrueType's byte walk,
// control codes, advance fallbacks and font sizes, without the platform.
#include <gtest/gtest.h>
#include <climits>
#include <string>
#include <vector>
#include "imgproc/bitmap_text.h"
#include "imgproc/font8x14.h"
#include "imgproc/tt_layout.h"
#include "imgproc_test_image.h"

namespace {
constexpr uint32_t kText = 0x00336699;

// "Qub 3d!" drawn at textX = 1, textY = 13: glyph row 0 would be image row -1.
const char* const kExpected =
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
    "................................................................\n";

TEST(BitmapFont, RendersAStoredString) {
    TestImage32 im(64, 12);
    QUB_TextCursor cursor{1, 13, 1};
    QUB_Pen pen{-1, -1};
    QUB_DrawString32(im.data(), 64, 12, &cursor, kText, "Qub 3d!", &pen);
    EXPECT_EQ(im.Mask(), kExpected);
    EXPECT_TRUE(pen.x == 1 + 6 * 8 + 4 && pen.y == 13 - 14 + 10);  // the last set bit of '!'
}

// Every printable glyph but the space has ink, and only they have glyphs.
TEST(BitmapFont, GlyphsHaveInk) {
    EXPECT_TRUE(QUB_FontGlyph(31) == nullptr && QUB_FontGlyph(128) == nullptr);
    for (int c = 32; c < 128; ++c) {
        int ink = 0;
        for (int r = 0; r < 14; ++r) ink |= QUB_FontGlyph(c)[r];
        EXPECT_EQ(ink != 0, c > 32 && c < 127) << c;
    }
}

TEST(BitmapFont, CursorWrapsNewlinesAndIgnoredCodes) {
    const int w = 40, h = 40;
    TestImage32 im(w, h);
    QUB_TextCursor cursor{w - 16, 20, 3};
    QUB_DrawChar32(im.data(), w, h, &cursor, kText, 'H', nullptr);
    EXPECT_TRUE(cursor.textX == w - 8 && cursor.textY == 20) << "fits: no wrap yet";
    QUB_DrawChar32(im.data(), w, h, &cursor, kText, 'H', nullptr);
    EXPECT_TRUE(cursor.textX == 3 && cursor.textY == 36) << "drawn, then wrapped";
    EXPECT_EQ(im.at(w - 2, 20 - 14 + 6), kText);  // right stroke of the second H
    cursor = {11, 5, 2};
    QUB_Pen pen{7, 8};
    const TestImage32 before = im;
    QUB_DrawString32(im.data(), w, h, &cursor, kText, "\x80\xff\xe9\x01\x7f ", &pen);
    EXPECT_EQ(im.px, before.px);
    EXPECT_EQ(cursor.textX, 11 + 16);  // only 127 and the space advance
    EXPECT_TRUE(pen.x == 7 && pen.y == 8) << "blank glyphs leave the pen";
    QUB_DrawChar32(im.data(), w, h, &cursor, kText, '\n', &pen);
    EXPECT_TRUE(cursor.textX == 2 && cursor.textY == 21);
    TestImage8 g(10, 10);  // the low byte; half outside, the pen still on the last set bit
    QUB_TextCursor c8{-4, 12, 0};
    QUB_DrawChar8(g.data(), 10, 10, g.stride, &c8, 0x123456, 'A', &pen);
    EXPECT_EQ(g.at(0, 12 - 14 + 7), 0x56);  // the bar of the A, seen from column 4
    EXPECT_TRUE(pen.x == -4 + 6 && pen.y == 12 - 14 + 10) << pen.x << "," << pen.y;
}

std::vector<int> Codes(const char* text) {
    std::vector<int> codes;
    int code = 0;
    for (const char* p = QUB_NextTTCode(text, &code); p; p = QUB_NextTTCode(p, &code))
        codes.push_back(code);
    return codes;
}

TEST(TTWalk, PairsLeadBytesAndDropsALoneOneAtTheEnd) {
    // "A", hiragana a (0x82A0), newline, kanji 0xE0 0x40, "z".
    EXPECT_EQ(Codes("A\x82\xA0\n\xE0\x40z"), (std::vector<int>{'A', 0x82A0, 10, 0xE040, 'z'}));
    // 0xA0-0xDF (half-width katakana), 0x80 and 0xFD-0xFF stand alone; a lead
    // byte takes any trail, even a control or another lead byte; a lone last one goes.
    EXPECT_EQ(Codes("\xA0\xDF\x80\xFD\x9F\x01\xFC\x81\x82"),
              (std::vector<int>{0xA0, 0xDF, 0x80, 0xFD, 0x9F01, 0xFC81}));
    char out[3];  // the code's bytes again, and a terminator
    EXPECT_EQ(QUB_TTCodeBytes(0x82A0, out), 2);
    EXPECT_EQ(std::string(out, 3), std::string("\x82\xA0\0", 3));
    EXPECT_TRUE(QUB_TTCodeBytes(0xDF, out) == 1 && out[1] == 0);
}

TEST(TTControl, CodesSwitchStylesAndTheRestIsIgnored) {
    // Codes 1, 3, 5 switch italic, bold and underline on; 2, 4, 6 off.
    QUB_TTStyle s = {0, 400, 0};
    for (int code : {1, 3, 5}) EXPECT_TRUE(QUB_ApplyTTStyle(QUB_TTActionOf(code), &s));
    EXPECT_TRUE(s.italic == 1 && s.weight == 700 && s.underline == 1);
    for (int code : {2, 4, 6}) EXPECT_TRUE(QUB_ApplyTTStyle(QUB_TTActionOf(code), &s));
    EXPECT_TRUE(s.italic == 0 && s.weight == 400 && s.underline == 0);
    EXPECT_EQ(QUB_TTActionOf(10), kTTNewline);
    EXPECT_FALSE(QUB_ApplyTTStyle(kTTNewline, &s));
    for (int code : {0, 7, 11, 31, INT_MIN})
        EXPECT_EQ(QUB_TTActionOf(code), kTTIgnore) << code;
    for (int code : {32, 0xFF, 0x82A0}) EXPECT_EQ(QUB_TTActionOf(code), kTTDraw) << code;
}

TEST(TTSize, RectangleIsOneDoubleWidthCellInTheDrawableRange) {
    const QUB_TTRequest r = QUB_TTRequestFromRect(10, 40, 41, 63);
    EXPECT_TRUE(r.width == 32 && r.height == 24);
    EXPECT_EQ(QUB_TTRequestFromRect(INT_MIN, INT_MIN, INT_MAX, INT_MAX).height, INT_MAX);
    // A width of 0 lets the platform pick it; a rectangle taller than the screen keeps its height.
    const int cases[][4] = {{1, 16, 0, 16}, {17, 16, 8, 16}, {INT_MIN, INT_MIN, 0, 1},
                            {16386, 16385, 8192, 16384},
                            {INT_MAX, INT_MAX, kTTMaxWidth, kTTMaxHeight}};
    for (const auto& c : cases) {
        const QUB_TTSize s = QUB_TTSizeFor(c[0], c[1]);
        EXPECT_TRUE(s.width == c[2] && s.height == c[3]) << c[0] << " x " << c[1];
    }
}
}  // namespace
