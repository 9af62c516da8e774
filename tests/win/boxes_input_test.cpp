// The input box in-process: its window and items, values kept when a field is
// left or Enter is pressed, Tab through the pump, resizing and refusals.
// (Where each item lies is tested natively.)
#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <vector>

#include "boxes/input_box.h"
#include "core/library_state.h"
#include "core/runtime.h"
#include "core/worker.h"
#include "tests/win/boxes_test_support.h"
#include "tests/win/win_test_support.h"

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

// Counts are clamped and a second open changes nothing. Text set into all 30
// fields counts only once the user has left each field.
TEST_F(InputBoxTest, OpensAColumnOfLabelledFieldsThatKeepTheirValues) {
    Open(0, 0, 0);
    EXPECT_EQ(Box().itemCount, 1);
    ASSERT_TRUE(OnWorker([] { QUB_CloseInputBox(); }));
    EXPECT_EQ(FindWindowW(L"qub_ib", nullptr), nullptr);
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

// Tab goes through IsDialogMessageW in the pump: the focus moves on, the
// value of the field left is stored, and the field never sees the key. Enter
// stores the focused field and leaves the focus there.
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

// Labels and values are cut to their buffers; a value is refused without room,
// buffer, item or box.
TEST_F(InputBoxTest, LabelsAndValuesAreCutToTheirBuffers) {
    Open(0, 0, 2);
    const std::string longText(300, 'q');
    char small[4] = "abc", value[300] = "";
    std::wstring label;
    std::vector<int> results;
    ASSERT_TRUE(OnWorker([&] {
        QUB_SetInputBoxTitle(1, longText.c_str());
        QUB_SetInputBoxTitle(2, "none");
        label = WindowText(Box().labels[1]);
        SetWindowTextW(Box().edits[0], std::wstring(400, L'z').c_str());
        SetFocus(Box().edits[1]);
        results.push_back(QUB_GetInputBoxValue(0, value, 300));
        for (const int size : {4, 0}) results.push_back(QUB_GetInputBoxValue(0, small, size));
        results.push_back(QUB_GetInputBoxValue(0, nullptr, 4));
        results.push_back(QUB_GetInputBoxValue(2, small, 4));
        QUB_CloseInputBox();
        results.push_back(QUB_GetInputBoxValue(0, small, 4));
    }));
    EXPECT_EQ(results, (std::vector<int>{0, 0, 2, 2, 1, 1}));
    EXPECT_EQ(std::string(small) + "/" + value, "zzz/" + std::string(255, 'z'));
    EXPECT_EQ(label, std::wstring(255, L'q'));
}

// Bad widths are refused; good ones carry over to the next box. (Which edge
// moves which width is tested natively.)
TEST_F(InputBoxTest, ResizeSetsBothWidthsForThisBoxAndTheNext) {
    std::vector<int> results;
    ASSERT_TRUE(OnWorker([&results] {
        results.push_back(QUB_ResizeInputBox(100, 150));  // no box
        QUB_OpenInputBox(50, 50, 5);
        results.push_back(QUB_ResizeInputBox(1, 1));  // below the smallest window
        results.push_back(QUB_ResizeInputBox(110, 90));
        QUB_CloseInputBox();
        QUB_OpenInputBox(0, 0, 2);
    }));
    EXPECT_EQ(results, (std::vector<int>{1, 2, 0}));
    RECT edit;
    GetWindowRect(Box().edits[1], &edit);
    EXPECT_EQ((std::vector<LONG>{Box().labelWidth, Box().editWidth, edit.right - edit.left}),
              (std::vector<LONG>{110, 90, 90}));
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

}  // namespace
