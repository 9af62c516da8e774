// TrueType text without the platform: the byte walk, the control codes, the
// advance with its fallbacks and the font sizes a call may ask for.
#include <gtest/gtest.h>

#include <climits>
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
    EXPECT_EQ(Codes("\x7F\xA0\xDF\x80\xFD\xFF"), (std::vector<int>{0x7F, 0xA0, 0xDF, 0x80, 0xFD, 0xFF}));
    // A lead byte takes any trail, even a control or another lead byte.
    EXPECT_EQ(Codes("\x9F\x01\xFC\x81"), (std::vector<int>{0x9F01, 0xFC81}));
    for (int b = 0; b < 256; ++b)
        EXPECT_EQ(QUB_IsTTLeadByte(static_cast<unsigned char>(b)),
                  (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC)) << b;
}

TEST(TTWalk, CodeBytesRebuildTheCharacter) {
    char out[3];
    EXPECT_EQ(QUB_TTCodeBytes(0x82A0, out), 2);
    EXPECT_EQ(static_cast<unsigned char>(out[0]), 0x82);
    EXPECT_EQ(static_cast<unsigned char>(out[1]), 0xA0);
    EXPECT_EQ(out[2], 0);
    EXPECT_EQ(QUB_TTCodeBytes(0xDF, out), 1);
    EXPECT_EQ(static_cast<unsigned char>(out[0]), 0xDF);
    EXPECT_EQ(out[1], 0);
}

TEST(TTControl, CodesSwitchStylesAndTheRestIsIgnored) {
    QUB_TTStyle s = {0, 400, 0};
    EXPECT_TRUE(QUB_ApplyTTStyle(QUB_TTActionOf(1), &s));
    EXPECT_TRUE(QUB_ApplyTTStyle(QUB_TTActionOf(3), &s));
    EXPECT_TRUE(QUB_ApplyTTStyle(QUB_TTActionOf(5), &s));
    EXPECT_EQ(s.italic, 1);
    EXPECT_EQ(s.weight, 700);
    EXPECT_EQ(s.underline, 1);
    EXPECT_TRUE(QUB_ApplyTTStyle(QUB_TTActionOf(2), &s));
    EXPECT_TRUE(QUB_ApplyTTStyle(QUB_TTActionOf(4), &s));
    EXPECT_TRUE(QUB_ApplyTTStyle(QUB_TTActionOf(6), &s));
    EXPECT_EQ(s.italic, 0);
    EXPECT_EQ(s.weight, 400);
    EXPECT_EQ(s.underline, 0);

    EXPECT_EQ(QUB_TTActionOf(10), kTTNewline);
    EXPECT_FALSE(QUB_ApplyTTStyle(kTTNewline, &s));
    for (int code : {0, 7, 9, 11, 13, 31, -1, INT_MIN}) EXPECT_EQ(QUB_TTActionOf(code), kTTIgnore) << code;
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
    m.abcKnown = true;
    m.a = -2;
    m.b = 11;
    m.c = 3;
    m.widthKnown = true;
    m.width = 99;
    EXPECT_EQ(QUB_TTAdvance(m), 12);  // negative overhang counts
    m.abcKnown = false;
    EXPECT_EQ(QUB_TTAdvance(m), 99);
    m.widthKnown = false;
    m.extentKnown = true;
    m.extent = 7;
    EXPECT_EQ(QUB_TTAdvance(m), 7);
    m.extentKnown = false;
    EXPECT_EQ(QUB_TTAdvance(m), 0);
    m = {};
    m.abcKnown = true;
    m.a = INT_MAX;
    m.b = 4000000000u;
    m.c = INT_MAX;
    EXPECT_EQ(QUB_TTAdvance(m), INT_MAX);
}

TEST(TTSize, RectangleIsOneDoubleWidthCell) {
    const QUB_TTRequest r = QUB_TTRequestFromRect(10, 40, 41, 63);  // 32 x 24
    EXPECT_EQ(r.width, 32);
    EXPECT_EQ(r.height, 24);
    const QUB_TTSize s = QUB_TTSizeFor(r.width, r.height);
    EXPECT_EQ(s.width, 16);
    EXPECT_EQ(s.height, 24);
    const QUB_TTRequest dot = QUB_TTRequestFromRect(5, 5, 5, 5);
    EXPECT_EQ(dot.width, 1);
    EXPECT_EQ(dot.height, 1);
    EXPECT_EQ(QUB_TTRequestFromRect(INT_MIN, INT_MIN, INT_MAX, INT_MAX).height, INT_MAX);
}

TEST(TTSize, AbsurdRequestsStayInTheDrawableRange) {
    EXPECT_EQ(QUB_TTSizeFor(1, 16).width, 0);  // 0: the platform picks the width
    EXPECT_EQ(QUB_TTSizeFor(17, 16).width, 8);
    struct Case {
        int width, height;
        int wantWidth, wantHeight;
    } cases[] = {
        {0, 0, 0, 1},
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
