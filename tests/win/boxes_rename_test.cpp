// Renaming buttons and input items through the prompt on a text window, fed
// with typed characters while the box's procedure waits in the line input.
#include <gtest/gtest.h>

#include <string>

#include "boxes/button_box.h"
#include "boxes/input_box.h"
#include "core/library_state.h"
#include "tests/win/boxes_test_support.h"
#include "tests/win/text_test_support.h"
#include "tests/win/win_test_support.h"
#include "text/text_internal_win.h"
#include "text/text_window.h"

namespace {

using RenameTest = BoxTest;
const ButtonBoxRecord& Buttons() { return qubState.buttonBox; }
const InputBoxRecord& Items() { return qubState.inputBox; }

// A double click in the bottom margin under the third column renames button
// 6; the popup's entry renames the button of the last right click, where an
// empty answer keeps the caption and counts no press.
TEST_F(RenameTest, DoubleClickInAButtonsMarginOrThePopupEntryRenamesIt) {
    int text = -1, presses = -1;
    ASSERT_TRUE(OnWorker([&text] {
        QUB_ShowTextWindow();
        text = qubState.currentTextWindow;
        QUB_StartLog(text);
        QUB_OpenButtonBox(0, 0, 4, 2);
        QUB_SetButtonBoxTitle(6, "Swap");
    }));
    const int x = 2 * (Buttons().buttonWidth + 4) + 2, y = ClientSize(Buttons().window).cy - 1;
    PostMessageW(Buttons().window, WM_LBUTTONDBLCLK, 0, MAKELPARAM(x, y));
    ASSERT_TRUE(AnswerLine(L"Go left"));
    ASSERT_TRUE(PumpUntil([] { return WindowText(Buttons().buttons[6]) == L"Go left"; }));
    ASSERT_TRUE(OnWorker([text] { QUB_TextCloseLog(qubState.textWindows[text]); }));
    EXPECT_EQ(LogText(text), "6 'Swap' ->Go left\n") << "the prompt the user saw, and the answer";
    DeleteFileW(LogFileName(text).c_str());
    EXPECT_EQ(WindowText(Buttons().buttons[5]) + WindowText(Buttons().buttons[7]), L"57");
    qubState.buttonBox.renameTarget = 6;
    PostMessageW(Buttons().window, WM_COMMAND, product::kButtonBoxItemPopup[0].id, 0);
    ASSERT_TRUE(AnswerLine(L""));
    ASSERT_TRUE(OnWorker([&presses] { presses = QUB_CheckButton(6); }));
    EXPECT_EQ(presses, 0);
    EXPECT_EQ(WindowText(Buttons().buttons[6]), L"Go left");
}

// A box destroyed while its prompt waits is left alone: the new box is not renamed.
TEST_F(RenameTest, BoxDestroyedWhileTypingIsLeftAlone) {
    ASSERT_TRUE(OnWorker([] { QUB_OpenButtonBox(0, 0, 2, 1); }));
    HWND first = Buttons().window;
    PostMessageW(first, WM_LBUTTONDBLCLK, 0, MAKELPARAM(2, 2));
    ASSERT_TRUE(PumpUntil([] { return qubState.lineInputActive.load() != 0; }));
    PostMessageW(first, WM_CLOSE, 0, 0);
    ASSERT_TRUE(PumpUntil([first] { return !IsWindow(first); }));
    ASSERT_TRUE(AnswerLine(L"late"));
    ASSERT_TRUE(OnWorker([] { QUB_OpenButtonBox(0, 0, 2, 1); }));
    EXPECT_EQ(WindowText(Buttons().buttons[0]), L"0");
}

// A second rename asked (by double click or popup entry, of either box) while
// the first prompt waits is not started: nested inside the first, it would
// take the answer and leave the first cancelled.
TEST_F(RenameTest, SecondRenameWhileAPromptWaitsIsIgnored) {
    ASSERT_TRUE(OnWorker([] {
        QUB_OpenButtonBox(0, 0, 2, 1);
        QUB_OpenInputBox(300, 0, 2);
    }));
    PostMessageW(Buttons().window, WM_LBUTTONDBLCLK, 0, MAKELPARAM(2, 2));
    ASSERT_TRUE(PumpUntil([] { return qubState.lineInputActive.load() != 0; }));
    const int waiting = qubState.lineInputActive.load();
    PostMessageW(Buttons().window, WM_LBUTTONDBLCLK, 0, MAKELPARAM(Buttons().buttonWidth + 6, 2));
    qubState.buttonBox.renameTarget = 1;
    PostMessageW(Buttons().window, WM_COMMAND, product::kButtonBoxItemPopup[0].id, 0);
    PostMessageW(Items().window, WM_LBUTTONDBLCLK, 0, MAKELPARAM(10, 3));
    qubState.inputBox.renameTarget = 1;
    PostMessageW(Items().window, WM_COMMAND, product::kInputBoxItemPopup[0].id, 0);
    PumpFor(100);
    EXPECT_EQ(qubState.lineInputActive.load(), waiting);
    ASSERT_TRUE(AnswerLine(L"first"));
    ASSERT_TRUE(PumpUntil([] { return WindowText(Buttons().buttons[0]) == L"first"; }));
    PumpFor(50);
    EXPECT_EQ(qubState.lineInputActive.load(), 0) << "no prompt left waiting";
    EXPECT_EQ(WindowText(Buttons().buttons[1]) + L"/" + WindowText(Items().labels[0]) + L"/" +
                  WindowText(Items().labels[1]), L"1/Item 0/Item 1");
}

// A double click on a row renames its label; below the last item the answer
// changes nothing; the popup entry renames the row of the last right click.
TEST_F(RenameTest, DoubleClickOrThePopupEntryRenamesAnItemsLabel) {
    ASSERT_TRUE(OnWorker([] { QUB_OpenInputBox(0, 0, 3); }));
    for (const LONG y : {LONG{28 + 3}, ClientSize(Items().window).cy - 1}) {
        PostMessageW(Items().window, WM_LBUTTONDBLCLK, 0, MAKELPARAM(10, y));
        ASSERT_TRUE(AnswerLine(y == 31 ? L"Speed" : L"nowhere"));
    }
    qubState.inputBox.renameTarget = 2;
    PostMessageW(Items().window, WM_COMMAND, product::kInputBoxItemPopup[0].id, 0);
    ASSERT_TRUE(AnswerLine(L"Zoom"));
    ASSERT_TRUE(PumpUntil([] { return WindowText(Items().labels[2]) == L"Zoom"; }));
    EXPECT_EQ(WindowText(Items().labels[0]) + L"/" + WindowText(Items().labels[1]),
              L"Item 0/Speed");
}

}  // namespace
