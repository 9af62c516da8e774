// The input box in-process: values kept when a field is left, Tab through the
// pump, and renaming buttons and items through the prompt on a text window.
#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <vector>

#include "boxes/button_box.h"
#include "boxes/input_box.h"
#include "core/library_state.h"
#include "core/runtime.h"
#include "tests/win/boxes_test_support.h"
#include "tests/win/text_test_support.h"
#include "tests/win/win_test_support.h"
#include "text/text_internal_win.h"
#include "text/text_window.h"

namespace {

const InputBoxRecord& Box() { return qubState.inputBox; }

class InputBoxTest : public BoxTest {
protected:
    void Open(int x, int y, int items) {
        ASSERT_TRUE(OnWorker([=] { QUB_OpenInputBox(x, y, items); }));
    }
    std::string Value(int i) {
        char value[300] = "unset";
        int result = -1;
        EXPECT_TRUE(OnWorker([&] { result = QUB_GetInputBoxValue(i, value, sizeof value); }));
        EXPECT_EQ(result, 0) << "item " << i;
        return value;
    }
    HWND Focus() {
        HWND focus = nullptr;
        EXPECT_TRUE(OnWorker([&focus] { focus = GetFocus(); }));
        return focus;
    }
};

// The count is clamped and a second open changes nothing. Text set into the
// fields counts only once the user has left each field.
TEST_F(InputBoxTest, OpensAColumnOfLabelledFieldsThatKeepTheirValues) {
    Open(20, 30, 100);
    HWND box = Box().window;
    ASSERT_NE(box, nullptr);
    Open(100, 100, 3);
    EXPECT_EQ(Box().window, box);
    EXPECT_EQ(ClassOf(box) + L" " + WindowText(box), L"qub_ib InputBox");
    EXPECT_EQ(GetWindow(box, GW_OWNER), qubState.mainWindow);
    RECT r;
    GetWindowRect(box, &r);
    EXPECT_EQ(r.left * 1000 + r.top, 20030);
    EXPECT_EQ(Box().itemCount, 30);
    for (int i = 0; i < 30; ++i) {
        HWND label = Box().labels[i], edit = Box().edits[i];
        EXPECT_EQ(ClassOf(label) + L" " + WindowText(label) + L" " + ClassOf(edit) + L" " +
                      WindowText(edit),
                  L"Static Item " + std::to_wstring(i) + L" Edit 0");
        SetWindowTextW(edit, (L"v" + std::to_wstring(i * 7)).c_str());
    }
    EXPECT_EQ(Focus(), Box().edits[0]);
    EXPECT_EQ(Box().focusedEdit, Box().edits[0]);
    EXPECT_EQ(Value(5), "0") << "the field was not left yet";
    ASSERT_TRUE(OnWorker([] {
        for (int i = 1; i < 30; ++i) SetFocus(Box().edits[i]);
        SetFocus(Box().edits[0]);
    }));
    for (int i = 0; i < 30; ++i) EXPECT_EQ(Value(i), "v" + std::to_string(i * 7)) << i;
}

// Tab goes through IsDialogMessageW in the pump: the focus moves on, the value
// of the field left is stored, the field never sees the key. Enter stores too.
std::atomic<int> g_tabsSeen{0};
WNDPROC g_editProc = nullptr;

LRESULT CALLBACK TabSpyProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if ((message == WM_KEYDOWN && wParam == VK_TAB) || (message == WM_CHAR && wParam == '\t'))
        ++g_tabsSeen;
    return CallWindowProcW(g_editProc, window, message, wParam, lParam);
}

TEST_F(InputBoxTest, TabMovesTheFocusAndIsNotDispatchedTwice) {
    Open(0, 0, 3);
    HWND edit0 = Box().edits[0];
    g_editProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(edit0, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(TabSpyProc)));
    SetWindowLongPtrW(Box().edits[1], GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(TabSpyProc));
    ASSERT_EQ(Focus(), edit0);
    SetWindowTextW(edit0, L"left");
    PostMessageW(edit0, WM_KEYDOWN, VK_TAB, 0);
    ASSERT_TRUE(PumpUntil([this] { return Focus() == Box().edits[1]; }));
    EXPECT_EQ(Value(0), "left");
    EXPECT_EQ(Box().focusedEdit, Box().edits[1]);
    EXPECT_EQ(WindowText(Box().edits[1]), L"0") << "no tab character typed into the next field";
    PostMessageW(Box().edits[1], WM_KEYDOWN, VK_TAB, 0);
    ASSERT_TRUE(PumpUntil([this] { return Focus() == Box().edits[2]; }));
    EXPECT_EQ(g_tabsSeen.load(), 0);
    SetWindowTextW(Box().edits[2], L"42.5");
    PostMessageW(Box().edits[2], WM_KEYDOWN, VK_RETURN, 0);
    ASSERT_TRUE(PumpUntil([this] { return Value(2) == "42.5"; }));
    EXPECT_EQ(Focus(), Box().edits[2]);
}

// The popups the user sees; the client area's picks the item's row.
TEST_F(InputBoxTest, PopupsAndDestruction) {
    Open(0, 0, 2);
    HWND box = Box().window;
    {
        MenuSpy spy(box);
        EXPECT_EQ(spy.Open(WM_RBUTTONDOWN, MAKELPARAM(5, 28 + 5)),
                  ExpectedMenu(product::Texts(product::kInputBoxItemPopup)));
        EXPECT_EQ(Box().renameTarget, 1);
        EXPECT_EQ(spy.Open(WM_NCRBUTTONDOWN),
                  ExpectedMenu(product::Texts(product::kInputBoxFramePopup)));
    }
    PostMessageW(box, WM_COMMAND, product::kInputBoxFramePopup[0].id, 0);
    ASSERT_TRUE(PumpUntil([box] { return !IsWindow(box); }));
    EXPECT_EQ(Box().window, nullptr);
}

using RenameTest = BoxTest;
const ButtonBoxRecord& Buttons() { return qubState.buttonBox; }

// A double click in the margin under button 6 renames it; so does the popup's
// entry, where an empty answer keeps the caption and counts no press.
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

// A second rename asked while the first prompt waits is not started: nested
// inside the first, it would take the answer and leave the first cancelled.
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
    PostMessageW(Box().window, WM_LBUTTONDBLCLK, 0, MAKELPARAM(10, 3));
    qubState.inputBox.renameTarget = 1;
    PostMessageW(Box().window, WM_COMMAND, product::kInputBoxItemPopup[0].id, 0);
    PumpFor(100);
    EXPECT_EQ(qubState.lineInputActive.load(), waiting);
    ASSERT_TRUE(AnswerLine(L"first"));
    ASSERT_TRUE(PumpUntil([] { return WindowText(Buttons().buttons[0]) == L"first"; }));
    PumpFor(50);
    EXPECT_EQ(qubState.lineInputActive.load(), 0) << "no prompt left waiting";
    EXPECT_EQ(WindowText(Buttons().buttons[1]) + L"/" + WindowText(Box().labels[0]) + L"/" +
                  WindowText(Box().labels[1]), L"1/Item 0/Item 1");
}

// A double click on a row renames its label; below the last item the answer
// changes nothing; the popup entry renames the row of the last right click.
TEST_F(RenameTest, DoubleClickOrThePopupEntryRenamesAnItemsLabel) {
    ASSERT_TRUE(OnWorker([] { QUB_OpenInputBox(0, 0, 3); }));
    for (const LONG y : {LONG{28 + 3}, ClientSize(Box().window).cy - 1}) {
        PostMessageW(Box().window, WM_LBUTTONDBLCLK, 0, MAKELPARAM(10, y));
        ASSERT_TRUE(AnswerLine(y == 31 ? L"Speed" : L"nowhere"));
    }
    qubState.inputBox.renameTarget = 2;
    PostMessageW(Box().window, WM_COMMAND, product::kInputBoxItemPopup[0].id, 0);
    ASSERT_TRUE(AnswerLine(L"Zoom"));
    ASSERT_TRUE(PumpUntil([] { return WindowText(Box().labels[2]) == L"Zoom"; }));
    EXPECT_EQ(WindowText(Box().labels[0]) + L"/" + WindowText(Box().labels[1]),
              L"Item 0/Speed");
}

}  // namespace
