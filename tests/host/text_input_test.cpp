// Line input without windows: the echo cursor, the key ring, and what keys
// and the popup menu of a text window do.
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

TEST(InputCursor, TypingAdvancesAndBackspaceReturns) {
    InputCursor c = Begin(32, 0);
    InputDraws d;
    QUB_InputType(&c, u'a', &d);
    ASSERT_EQ(d.count, 1);
    EXPECT_EQ(d.draw[0].kind, InputDrawKind::kUnit);
    EXPECT_EQ(d.draw[0].x, 32);
    EXPECT_EQ(c.x, 40);
    QUB_InputBackspace(&c, u'a', &d);
    EXPECT_EQ(c.x, 32);
    EXPECT_EQ(d.draw[0].kind, InputDrawKind::kSpace) << "the old cursor cell is blanked";
}

TEST(InputCursor, LineEdgeAndBackspaceToTheLineAbove) {
    // 400 wide: a narrow unit in the last cell (392) leaves no room for the
    // cursor cell.
    InputCursor c = Begin(392, 0);
    InputDraws d;
    QUB_InputType(&c, u'z', &d);
    EXPECT_EQ(c.x, 0);
    EXPECT_EQ(c.y, kLine);
    EXPECT_EQ(c.breakCount, 1);
    QUB_InputBackspace(&c, u'z', &d);
    EXPECT_EQ(c.x, 392) << "back on the last character of the line above";
    EXPECT_EQ(c.y, 0);
    EXPECT_EQ(c.breakCount, 0);
}

TEST(InputCursor, WideUnitThatDidNotFitReturnsToWhereItStood) {
    // At 392 (beyond 400 - 16) a double-width unit no longer fits: it moves down.
    InputCursor c = Begin(392, 0);
    InputDraws d;
    QUB_InputType(&c, u'\u3042', &d);
    EXPECT_EQ(c.y, kLine);
    EXPECT_EQ(c.x, 16);
    ASSERT_GE(d.count, 2);
    EXPECT_EQ(d.draw[0].kind, InputDrawKind::kSpace);
    EXPECT_EQ(d.draw[1].kind, InputDrawKind::kUnit);
    EXPECT_EQ(d.draw[1].x, 0);
    EXPECT_EQ(d.draw[1].cells, 2);
    QUB_InputBackspace(&c, u'\u3042', &d);
    EXPECT_EQ(c.x, 392);
    EXPECT_EQ(c.y, 0);
    EXPECT_EQ(c.breakCount, 0);
}

TEST(InputCursor, BreakAtTheBottomScrollsOnce) {
    InputCursor c = Begin(0, 280, 400, 300);
    InputDraws d;
    QUB_InputEnd(&c, &d);
    ASSERT_EQ(d.count, 2);
    EXPECT_EQ(d.draw[1].kind, InputDrawKind::kScroll);
    EXPECT_EQ(d.draw[1].y, 294);
    EXPECT_EQ(c.y, 280) << "the line moved up, the cursor stays on the last line";
    EXPECT_EQ(c.x, 0);
}

TEST(InputCursor, AfterAResizeBackspaceStaysInTheWindow) {
    InputCursor c = Begin(392, 0);
    InputDraws d;
    QUB_InputType(&c, u'z', &d);  // breaks the line
    ASSERT_EQ(c.breakCount, 1);
    QUB_InputFollow(&c, c.x, c.y, 400, 300);
    EXPECT_EQ(c.breakCount, 1) << "an unmoved cursor keeps its breaks";
    QUB_InputFollow(&c, 0, 0, 300, 200);  // resized: cleared, cursor top left
    QUB_InputBackspace(&c, u'z', &d);
    EXPECT_EQ(c.y, 0) << "not back to a line above the top edge";
    EXPECT_EQ(c.x, 0);
    EXPECT_EQ(c.width, 300);
}

// Backspace over lines that scrolling has moved out of the window never takes
// the cursor above the top edge, whatever the window's size and the units.
TEST(InputCursor, LongInputInASmallWindowStaysInBounds) {
    struct Case {
        int width, height;
        char16_t unit;
        int count;
    } cases[] = {{16, 1000, u'\u3042', kInputMaxUnits},  // every wide unit breaks twice
                 {80, 20, u'a', 40},
                 {80, 20, u'\u3042', 40},
                 {80, 44, u'a', 100}};
    for (const Case& k : cases) {
        InputCursor c = Begin(0, 0, k.width, k.height);
        InputDraws d;
        for (int i = 0; i < k.count; ++i) QUB_InputType(&c, k.unit, &d);
        EXPECT_LE(c.breakCount, kInputMaxBreaks);
        for (int i = 0; i < k.count; ++i) {
            QUB_InputBackspace(&c, k.unit, &d);
            ASSERT_GE(c.y, 0) << k.width << "x" << k.height << " after " << i + 1;
            ASSERT_GE(c.x, 0);
            ASSERT_LT(c.y, k.height);
        }
        EXPECT_EQ(c.x, 0);
    }
    // In a window tall enough, Backspace still climbs back over the breaks.
    InputCursor c = Begin(0, 0, 80, 300);
    InputDraws d;
    for (int i = 0; i < 40; ++i) QUB_InputType(&c, u'a', &d);
    EXPECT_GT(c.y, 0);
    for (int i = 0; i < 40; ++i) QUB_InputBackspace(&c, u'a', &d);
    EXPECT_EQ(c.y, 0);
    EXPECT_EQ(c.x, 0);
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
    EXPECT_EQ(QUB_TextWindowKey('C', true).value, kTextCmdCopyLog);
    EXPECT_EQ(QUB_TextWindowKey('S', true).value, kTextCmdSelect);
    EXPECT_EQ(QUB_TextWindowKey('Q', true).value, kTextCmdDestroy);
    EXPECT_EQ(QUB_TextWindowKey('W', true).value, kTextCmdWindowInfo);
    EXPECT_EQ(QUB_TextWindowKey('A', true).value, kTextCmdAbout);
    EXPECT_EQ(QUB_TextWindowKey('X', true).action, TextKeyAction::kNone);
    for (int key : {0x1B, int{'X'}, int{'S'}, int{'C'}}) {
        const TextKeyResult r = QUB_TextWindowKey(key, false);
        EXPECT_EQ(r.action, TextKeyAction::kPassToMain) << key;
        EXPECT_EQ(r.value, key);
    }
    EXPECT_EQ(QUB_TextWindowKey(' ', false).action, TextKeyAction::kConsole);
    EXPECT_EQ(QUB_TextWindowKey('Q', false).action, TextKeyAction::kNone);
}

TEST(TextMenu, ChecksAndTheCopyEntryNamesTheFile) {
    int ids[kTextPopupCount];
    for (int i = 0; i < kTextPopupCount; ++i) ids[i] = kTextPopup[i].id;
    const int expected[kTextPopupCount] = {1069, 1045, 1029, 0, 1024, 1025, 1030, 0, 1020, 0, 1006};
    for (int i = 0; i < kTextPopupCount; ++i) EXPECT_EQ(ids[i], expected[i]) << i;

    EXPECT_EQ(QUB_TextMenuItemState(kTextPopup[0], true, 0), kMenuStateChecked);
    EXPECT_EQ(QUB_TextMenuItemState(kTextPopup[0], false, 1), 0);
    EXPECT_EQ(QUB_TextMenuItemState(kTextPopup[4], false, 1), kMenuStateChecked);
    EXPECT_EQ(QUB_TextMenuItemState(kTextPopup[4], false, 2), 0);
    EXPECT_EQ(QUB_TextMenuItemState(kTextPopup[5], false, 2), kMenuStateChecked);

    char text[512];
    QUB_TextMenuItemText(kTextPopup[6], 0, 3, text, sizeof text);
    EXPECT_STREQ(text, "&Copy QUBLIB03.LOG\tCtrl+C");
    QUB_TextMenuItemText(kTextPopup[6], 9, 255, text, 8);
    EXPECT_EQ(std::strlen(text), 7u) << "cut to the buffer";
}

}  // namespace
