// Renaming buttons and input items through the prompt on a text window, fed
// with posted characters while the box's procedure waits in the line input.
#include <gtest/gtest.h>

#include <string>

#include "boxes/button_box.h"
#include "boxes/input_box.h"
#include "core/library_state.h"
#include "tests/win/boxes_test_support.h"
#include "tests/win/text_test_support.h"
#include "text/text_internal_win.h"
#include "text/text_window.h"
#include "tests/win/win_test_support.h"

namespace {

using RenameTest = BoxTest;

TEST_F(RenameTest, DoubleClickInAButtonsMarginRenamesIt) {
    int textWindow = -1;
    ASSERT_TRUE(OnWorker([&textWindow] {
        QUB_ShowTextWindow();
        textWindow = qubState.currentTextWindow;
        QUB_StartLog(textWindow);
        QUB_OpenButtonBox(0, 0, 4, 2);
        QUB_SetButtonBoxTitle(6, "Swap");
    }));
    const ButtonBoxRecord& box = qubState.buttonBox;
    const SIZE client = ClientSize(box.window);
    // Bottom margin under the third column: button 6.
    PostMessageW(box.window, WM_LBUTTONDBLCLK, 0,
                 MAKELPARAM(2 * (box.buttonWidth + 4) + 2, client.cy - 1));
    ASSERT_TRUE(AnswerLine(L"Go left"));
    ASSERT_TRUE(PumpUntil([&box] { return WindowText(box.buttons[6]) == L"Go left"; }));
    // The prompt the user saw, and the answer.
    ASSERT_TRUE(OnWorker([textWindow] { QUB_TextCloseLog(qubState.textWindows[textWindow]); }));
    EXPECT_EQ(LogText(textWindow), "6 'Swap' ->Go left\n");
    DeleteFileW(LogFileName(textWindow).c_str());
    EXPECT_EQ(WindowText(box.buttons[5]) + WindowText(box.buttons[7]), L"57");

    // The popup's entry renames the button of the last right click; an empty
    // answer keeps the caption, and the command counts no press.
    qubState.buttonBox.renameTarget = 6;
    PostMessageW(box.window, WM_COMMAND, 1057, 0);
    ASSERT_TRUE(AnswerLine(L""));
    int presses = -1;
    ASSERT_TRUE(OnWorker([&presses] { presses = QUB_CheckButton(6); }));
    EXPECT_EQ(presses, 0);
    EXPECT_EQ(WindowText(box.buttons[6]), L"Go left");
}

TEST_F(RenameTest, BoxDestroyedWhileTypingIsLeftAlone) {
    ASSERT_TRUE(OnWorker([] { QUB_OpenButtonBox(0, 0, 2, 1); }));
    HWND first = qubState.buttonBox.window;
    PostMessageW(first, WM_LBUTTONDBLCLK, 0, MAKELPARAM(2, 2));
    ASSERT_TRUE(PumpUntil([] { return qubState.lineInputActive.load() != 0; }));
    PostMessageW(first, WM_CLOSE, 0, 0);
    ASSERT_TRUE(PumpUntil([first] { return !IsWindow(first); }));
    ASSERT_TRUE(AnswerLine(L"late"));
    ASSERT_TRUE(OnWorker([] { QUB_OpenButtonBox(0, 0, 2, 1); }));
    EXPECT_EQ(WindowText(qubState.buttonBox.buttons[0]), L"0") << "the new box is not renamed";
}

// A second rename asked while the first prompt still waits is not started:
// nested inside the first, it would take the answer and leave the first
// cancelled. The answer goes to the button asked first.
TEST_F(RenameTest, SecondRenameWhileAPromptWaitsIsIgnored) {
    ASSERT_TRUE(OnWorker([] {
        QUB_OpenButtonBox(0, 0, 2, 1);
        QUB_OpenInputBox(300, 0, 2);
    }));
    const ButtonBoxRecord& box = qubState.buttonBox;
    PostMessageW(box.window, WM_LBUTTONDBLCLK, 0, MAKELPARAM(2, 2));
    ASSERT_TRUE(PumpUntil([] { return qubState.lineInputActive.load() != 0; }));
    const int waiting = qubState.lineInputActive.load();
    // Double clicks and the popup entries of both boxes, while it waits.
    const int right = box.buttonWidth + 4 + 2;
    PostMessageW(box.window, WM_LBUTTONDBLCLK, 0, MAKELPARAM(right, 2));
    qubState.buttonBox.renameTarget = 1;
    PostMessageW(box.window, WM_COMMAND, 1057, 0);
    PostMessageW(qubState.inputBox.window, WM_LBUTTONDBLCLK, 0, MAKELPARAM(10, 3));
    qubState.inputBox.renameTarget = 1;
    PostMessageW(qubState.inputBox.window, WM_COMMAND, 1056, 0);
    PumpFor(100);
    EXPECT_EQ(qubState.lineInputActive.load(), waiting);
    ASSERT_TRUE(AnswerLine(L"first"));
    ASSERT_TRUE(PumpUntil([&box] { return WindowText(box.buttons[0]) == L"first"; }));
    PumpFor(50);
    EXPECT_EQ(qubState.lineInputActive.load(), 0) << "no prompt left waiting";
    EXPECT_EQ(WindowText(box.buttons[1]) + L"/" + WindowText(qubState.inputBox.labels[0]) + L"/" +
                  WindowText(qubState.inputBox.labels[1]), L"1/Item 0/Item 1");
}

TEST_F(RenameTest, DoubleClickOnAnItemRenamesItsLabel) {
    ASSERT_TRUE(OnWorker([] { QUB_OpenInputBox(0, 0, 3); }));
    const InputBoxRecord& box = qubState.inputBox;
    PostMessageW(box.window, WM_LBUTTONDBLCLK, 0, MAKELPARAM(10, 28 + 3));
    ASSERT_TRUE(AnswerLine(L"Speed"));
    ASSERT_TRUE(PumpUntil([&box] { return WindowText(box.labels[1]) == L"Speed"; }));

    // The last two pixel rows lie below the last item: the prompt is asked and
    // the answer changes nothing.
    const SIZE client = ClientSize(box.window);
    ASSERT_EQ(client.cy, 3 * 28 + 2);
    PostMessageW(box.window, WM_LBUTTONDBLCLK, 0, MAKELPARAM(10, client.cy - 1));
    ASSERT_TRUE(AnswerLine(L"nowhere"));
    PumpFor(20);
    EXPECT_EQ(WindowText(box.labels[0]) + L"/" + WindowText(box.labels[1]) + L"/" +
                  WindowText(box.labels[2]), L"Item 0/Speed/Item 2");

    // The popup entry renames the row of the last right click.
    qubState.inputBox.renameTarget = 2;
    PostMessageW(box.window, WM_COMMAND, 1056, 0);
    ASSERT_TRUE(AnswerLine(L"Zoom"));
    ASSERT_TRUE(PumpUntil([&box] { return WindowText(box.labels[2]) == L"Zoom"; }));
}

}  // namespace
