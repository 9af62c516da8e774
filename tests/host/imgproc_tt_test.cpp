// TrueType text without the platform: the byte walk, the control codes, the
// advance with its fallbacks and the font sizes a call may ask for.
#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "imgproc/tt_layout.h"

namespace {

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
    EXPECT_EQ(Codes("ab\x82"), (std::vector<int>{'a', 'b'}));
    EXPECT_EQ(Codes(""), std::vector<int>{});
    // 0x7F and 0xA0-0xDF (half-width katakana) stand alone; 0x80, 0xFD-0xFF too.
    EXPECT_EQ(Codes("\x7F\xA0\xDF\x80\xFD\xFF"),
              (std::vector<int>{0x7F, 0xA0, 0xDF, 0x80, 0xFD, 0xFF}));
    // A lead byte takes any trail, even a control or another lead byte.
    EXPECT_EQ(Codes("\x9F\x01\xFC\x81"), (std::vector<int>{0x9F01, 0xFC81}));
    for (int b = 0; b < 256; ++b)
        EXPECT_EQ(QUB_IsTTLeadByte(static_cast<unsigned char>(b)),
                  (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC)) << b;
}

TEST(TTWalk, CodeBytesRebuildTheCharacter) {
    char out[3];
    EXPECT_EQ(QUB_TTCodeBytes(0x82A0, out), 2);
    EXPECT_EQ(std::string(out, 3), std::string("\x82\xA0\0", 3));
    EXPECT_EQ(QUB_TTCodeBytes(0xDF, out), 1);
    EXPECT_EQ(std::string(out, 2), std::string("\xDF\0", 2));
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
    for (int code : {0, 7, 9, 11, 13, 31, -1, INT_MIN})
        EXPECT_EQ(QUB_TTActionOf(code), kTTIgnore) << code;
    for (int code : {32, 0x7F, 0xFF, 0x82A0}) EXPECT_EQ(QUB_TTActionOf(code), kTTDraw) << code;
}

TEST(TTCursor, NewlineAndCellRows) {
    QUB_TextCursor c = {57, 30, 5};
    QUB_TTNewline(&c, 24);
    EXPECT_EQ(c.textX, 5);
    EXPECT_EQ(c.textY, 54);
    EXPECT_EQ(QUB_TTCellTop(54, 24), 31);  // rows 31 ... 54: 24 rows
    c.textY = INT_MAX - 3;
    QUB_TTNewline(&c, 24);
    EXPECT_EQ(c.textY, INT_MAX);
    EXPECT_EQ(QUB_TTCellTop(INT_MIN + 2, 16), INT_MIN);
    EXPECT_EQ(QUB_TTMoveX(INT_MAX - 1, 9), INT_MAX);
}

TEST(TTAdvance, AbcThenWidthThenExtent) {
    QUB_TTMeasure m = {};
    m.abcKnown = m.widthKnown = m.extentKnown = true;
    m.a = -2;  // a negative overhang counts
    m.b = 11;
    m.c = 3;
    m.width = 99;
    m.extent = 7;
    for (int expected : {12, 99, 7, 0}) {
        EXPECT_EQ(QUB_TTAdvance(m), expected);
        bool* known[] = {&m.abcKnown, &m.widthKnown, &m.extentKnown};
        for (bool* k : known)
            if (*k) { *k = false; break; }
    }
    m = {};
    m.abcKnown = true;
    m.a = INT_MAX;
    m.b = 4000000000u;
    m.c = INT_MAX;
    EXPECT_EQ(QUB_TTAdvance(m), INT_MAX);
}

TEST(TTSize, RectangleIsOneDoubleWidthCellInTheDrawableRange) {
    const QUB_TTRequest r = QUB_TTRequestFromRect(10, 40, 41, 63),
                        dot = QUB_TTRequestFromRect(5, 5, 5, 5);
    EXPECT_TRUE(r.width == 32 && r.height == 24 && dot.width == 1 && dot.height == 1);
    EXPECT_EQ(QUB_TTRequestFromRect(INT_MIN, INT_MIN, INT_MAX, INT_MAX).height, INT_MAX);
    struct Case {
        int width, height;
        int wantWidth, wantHeight;
    } cases[] = {
        {32, 24, 16, 24}, {1, 16, 0, 16},  // 0: the platform picks the width
        {17, 16, 8, 16}, {0, 0, 0, 1},
        {-40, -30, 0, 1},
        {100000, 100000, kTTMaxWidth, kTTMaxHeight},
        {INT_MIN, INT_MIN, 0, 1},
        {INT_MAX, INT_MAX, kTTMaxWidth, kTTMaxHeight},
        {2 * kTTMaxWidth + 1, kTTMaxHeight, kTTMaxWidth, kTTMaxHeight},
        {12001, 9000, 6000, 9000},  // a rectangle taller than the screen keeps its height
        {16384, 16384, 8192, 16384},
        {16386, 16385, 8192, 16384},
    };
    for (const Case& c : cases) {
        const QUB_TTSize s = QUB_TTSizeFor(c.width, c.height);
        EXPECT_EQ(s.width, c.wantWidth) << c.width;
        EXPECT_EQ(s.height, c.wantHeight) << c.height;
    }
}

}  // namespace
