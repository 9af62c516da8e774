// Line input without windows: the echo cursor, the key ring, and what keys
// in a text window do.
#include <gtest/gtest.h>

#include <cstring>

#include "text/input_cursor.h"
#include "text/key_ring.h"
#include "text/text_menu.h"

namespace {

constexpr int kCell = 8, kLine = 14;

InputCursor Begin(int x, int y, int width = 400, int height = 300) {
    InputCursor c;
    QUB_InputBegin(&c, x, y, width, height, kCell, kLine);
    return c;
}

// One step of an input and where the cursor is after it; the first draw of
// the step (kind, x) when `draws` is given.
struct Step {
    char op;  // 't' type `unit`, 'b' Backspace over `unit`, 'e' Enter, 'r' resized to 300 x 200
    char16_t unit;
    int x, y, breaks, draws;
    InputDrawKind kind;
    int drawX;
};

TEST(InputCursor, StepsAcrossTheEdges) {
    constexpr auto kU = InputDrawKind::kUnit, kS = InputDrawKind::kSpace;
    const struct {
        int x, y;
        Step steps[3];
    } cases[] = {
        {32, 0, {{'t', u'a', 40, 0, 0, 1, kU, 32}, {'b', u'a', 32, 0, 0, 1, kS, 40}}},
        // A narrow unit in the last cell leaves no room for the cursor cell;
        // Backspace goes back to the last character of the line above.
        {392, 0, {{'t', u'z', 0, kLine, 1, 0, kU, 0}, {'b', u'z', 392, 0, 0, 0, kU, 0}}},
        // A wide unit no longer fits: the cell is blanked and it moves down.
        {392,
         0,
         {{'t', u'\u3042', 16, kLine, 1, 2, kS, 392}, {'b', u'\u3042', 392, 0, 0, 0, kU, 0}}},
        // Enter on the last line scrolls once; the cursor stays on that line.
        {0, 280, {{'e', 0, 0, 280, 0, 2, kS, 0}}},
        // A resize clears the window: Backspace no longer climbs above the top.
        {392,
         0,
         {{'t', u'z', 0, kLine, 1, 0, kU, 0},
          {'r', 0, 0, 0, 0, 0, kU, 0},
          {'b', u'z', 0, 0, 0, 0, kU, 0}}},
    };
    for (const auto& k : cases) {
        InputCursor c = Begin(k.x, k.y);
        for (const Step& s : k.steps) {
            if (s.op == 0) break;
            SCOPED_TRACE(testing::Message() << k.x << "," << k.y << " " << s.op);
            InputDraws d = {};
            QUB_InputFollow(&c, c.x, c.y, c.width, c.height);
            if (s.op == 't') QUB_InputType(&c, s.unit, &d);
            if (s.op == 'b') QUB_InputBackspace(&c, s.unit, &d);
            if (s.op == 'e') QUB_InputEnd(&c, &d);
            if (s.op == 'r') QUB_InputFollow(&c, 0, 0, 300, 200);
            EXPECT_EQ(c.x, s.x);
            EXPECT_EQ(c.y, s.y);
            EXPECT_EQ(c.breakCount, s.breaks);
            if (s.draws == 0) continue;
            ASSERT_GE(d.count, s.draws);
            EXPECT_EQ(d.draw[0].kind, s.kind);
            EXPECT_EQ(d.draw[0].x, s.drawX);
        }
    }
    // The wide unit lands at the start of the new line over two cells, and
    // Enter's scroll follows the blanked cursor cell.
    InputCursor c = Begin(392, 0);
    InputDraws d;
    QUB_InputType(&c, u'\u3042', &d);
    EXPECT_EQ(d.draw[1].kind, InputDrawKind::kUnit);
    EXPECT_EQ(d.draw[1].x + d.draw[1].y, 0 + kLine);
    EXPECT_EQ(d.draw[1].cells, 2);
    c = Begin(0, 280);
    QUB_InputEnd(&c, &d);
    EXPECT_EQ(d.draw[1].kind, InputDrawKind::kScroll);
    EXPECT_EQ(d.draw[1].y, 294);
}

// Backspace over lines that scrolling has moved out of the window never takes
// the cursor above the top edge, whatever the window's size and the units.
TEST(InputCursor, LongInputInASmallWindowStaysInBounds) {
    const struct {
        int width, height;
        char16_t unit;
        int count;
        bool climbs;  // tall enough for Backspace to climb back over every break
    } cases[] = {{16, 1000, u'\u3042', kInputMaxUnits, false},  // every wide unit breaks twice
                 {80, 20, u'a', 40, false},
                 {80, 20, u'\u3042', 40, false},
                 {80, 44, u'a', 100, false},
                 {80, 300, u'a', 40, true}};
    for (const auto& k : cases) {
        InputCursor c = Begin(0, 0, k.width, k.height);
        InputDraws d;
        for (int i = 0; i < k.count; ++i) QUB_InputType(&c, k.unit, &d);
        EXPECT_LE(c.breakCount, kInputMaxBreaks);
        EXPECT_TRUE(!k.climbs || c.y > 0);
        for (int i = 0; i < k.count; ++i) {
            QUB_InputBackspace(&c, k.unit, &d);
            ASSERT_TRUE(c.x >= 0 && c.y >= 0 && c.y < k.height)
                << k.width << "x" << k.height << " after " << i + 1;
        }
        EXPECT_EQ(c.x, 0);
        EXPECT_TRUE(!k.climbs || c.y == 0);
    }
}

TEST(KeyRing, FifoFullAndWrap) {
    char16_t ring[kKeyRingUnits] = {};
    std::atomic<int> read{-1}, write{0};
    char16_t unit = 0;
    EXPECT_FALSE(QUB_KeyRingTake(ring, read, write, &unit));
    for (int i = 0; i < kKeyRingUnits; ++i)
        EXPECT_TRUE(QUB_KeyRingPut(ring, read, write, static_cast<char16_t>(i + 1)));
    EXPECT_FALSE(QUB_KeyRingPut(ring, read, write, u'x')) << "full: dropped";
    for (int i = 0; i < 10; ++i) {
        ASSERT_TRUE(QUB_KeyRingTake(ring, read, write, &unit));
        EXPECT_EQ(unit, i + 1);
    }
    for (int i = 0; i < 10; ++i) EXPECT_TRUE(QUB_KeyRingPut(ring, read, write, u'w'));
    EXPECT_FALSE(QUB_KeyRingPut(ring, read, write, u'y'));
    int taken = 0;
    while (QUB_KeyRingTake(ring, read, write, &unit)) ++taken;
    EXPECT_EQ(taken, kKeyRingUnits);
    EXPECT_EQ(unit, u'w');
    EXPECT_EQ(read.load(), -1);
}

TEST(TextKeys, CtrlCommandsAndKeysForTheMainWindow) {
    const struct {
        int key;
        bool ctrl;
        TextKeyAction action;
        int value;
    } cases[] = {
        {'C', true, TextKeyAction::kPostCommand, 1030},
        {'S', true, TextKeyAction::kPostCommand, 1069},
        {'Q', true, TextKeyAction::kPostCommand, 1006},
        {'W', true, TextKeyAction::kPostCommand, 1045},
        {'A', true, TextKeyAction::kPostCommand, 1020},
        {'X', true, TextKeyAction::kNone, 0},
        {0x1B, false, TextKeyAction::kPassToMain, 0x1B},
        {'X', false, TextKeyAction::kPassToMain, 'X'},
        {'S', false, TextKeyAction::kPassToMain, 'S'},
        {'C', false, TextKeyAction::kPassToMain, 'C'},
        {' ', false, TextKeyAction::kConsole, 0},
        {'Q', false, TextKeyAction::kNone, 0},
    };
    for (const auto& c : cases) {
        const TextKeyResult r = QUB_TextWindowKey(c.key, c.ctrl);
        EXPECT_EQ(r.action, c.action) << c.key << c.ctrl;
        if (c.value) { EXPECT_EQ(r.value, c.value) << c.key << c.ctrl; }
    }
}

}  // namespace
