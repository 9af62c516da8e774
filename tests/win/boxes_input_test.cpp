// The input box in-process: its window and items, values kept when a field is
// left or Enter is pressed, Tab through the pump, sizing and refusals.
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

TEST_F(InputBoxTest, OpensAColumnOfLabelledFields) {
    Open(20, 30, 30);
    HWND box = Box().window;
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(ClassOf(box), L"qub_ib");
    EXPECT_EQ(WindowText(box), L"InputBox");
    EXPECT_EQ(GetWindow(box, GW_OWNER), qubState.mainWindow);
    RECT r;
    GetWindowRect(box, &r);
    EXPECT_EQ(r.left, 20);
    EXPECT_EQ(r.top, 30);
    EXPECT_EQ(Box().itemCount, 30);
    const SIZE client = ClientSize(box);
    EXPECT_EQ(client.cx, 80 + 70 + 12);
    EXPECT_EQ(client.cy, 30 * 28 + 2);
    for (int i = 0; i < 30; ++i) {
        SCOPED_TRACE(i);
        HWND label = Box().labels[i], edit = Box().edits[i];
        EXPECT_EQ(ClassOf(label) + L" " + WindowText(label) + L" " + ClassOf(edit) + L" " +
                      WindowText(edit),
                  L"Static Item " + std::to_wstring(i) + L" Edit 0");
        EXPECT_TRUE(GetWindowLongW(edit, GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
        EXPECT_EQ(GetWindowLongW(edit, GWL_STYLE) & (WS_TABSTOP | WS_GROUP | ES_AUTOHSCROLL),
                  WS_TABSTOP | WS_GROUP | ES_AUTOHSCROLL);
        const RECT l = ChildRect(label), e = ChildRect(edit);
        EXPECT_EQ((std::vector<LONG>{l.left, l.top, l.right - l.left, e.left, e.top,
                                     e.right - e.left, e.bottom - e.top}),
                  (std::vector<LONG>{4, 28 * i + 7, 80, 88, 28 * i + 4, 70, 24}));
        EXPECT_EQ(Value(i), "0");
    }
    EXPECT_EQ(Focus(), Box().edits[0]);
    EXPECT_EQ(Box().focusedEdit, Box().edits[0]);
}

TEST_F(InputBoxTest, ItemCountsAreClampedAndASecondOpenChangesNothing) {
    const int asked[][2] = {{0, 1}, {-5, 1}, {31, 30}, {100, 30}, {7, 7}};
    for (const auto& a : asked) {
        Open(0, 0, a[0]);
        EXPECT_EQ(Box().itemCount, a[1]) << a[0];
        HWND first = Box().window;
        Open(100, 100, 3);
        EXPECT_EQ(Box().window, first);
        EXPECT_EQ(Box().itemCount, a[1]);
        ASSERT_TRUE(OnWorker([] { QUB_CloseInputBox(); }));
        EXPECT_EQ(FindWindowW(L"qub_ib", nullptr), nullptr);
    }
}

// Text set into all 30 fields counts only once the user has left each field.
TEST_F(InputBoxTest, ThirtyValuesReadBackAfterTheFieldsAreLeft) {
    Open(0, 0, 30);
    for (int i = 0; i < 30; ++i)
        SetWindowTextW(Box().edits[i], (L"v" + std::to_wstring(i * 7)).c_str());
    EXPECT_EQ(Value(5), "0") << "the field was not left yet";
    ASSERT_TRUE(OnWorker([] {
        for (int i = 1; i < 30; ++i) SetFocus(Box().edits[i]);
        SetFocus(Box().edits[0]);
    }));
    for (int i = 0; i < 30; ++i) EXPECT_EQ(Value(i), "v" + std::to_string(i * 7)) << i;
}

TEST_F(InputBoxTest, EnterStoresTheFocusedField) {
    Open(0, 0, 3);
    ASSERT_TRUE(OnWorker([] { SetFocus(Box().edits[1]); }));
    SetWindowTextW(Box().edits[1], L"42.5");
    PostMessageW(Box().edits[1], WM_KEYDOWN, VK_RETURN, 0);
    ASSERT_TRUE(PumpUntil([this] { return Value(1) == "42.5"; }));
    EXPECT_EQ(Focus(), Box().edits[1]) << "Enter does not move the focus";
}

// Tab goes through IsDialogMessageW in the pump: the focus moves on, the
// value of the field left is stored, and the field never sees the key.
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
    g_tabsSeen = 0;
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
}

TEST_F(InputBoxTest, LabelsAndValuesAreCutToTheirBuffers) {
    Open(0, 0, 2);
    const std::string longText(300, 'q');
    ASSERT_TRUE(OnWorker([&longText] {
        QUB_SetInputBoxTitle(0, "Speed");
        QUB_SetInputBoxTitle(1, longText.c_str());
        QUB_SetInputBoxTitle(2, "none");
        QUB_SetInputBoxTitle(-1, "none");
    }));
    EXPECT_EQ(WindowText(Box().labels[0]), L"Speed");
    EXPECT_EQ(WindowText(Box().labels[1]), std::wstring(255, L'q'));
    SetWindowTextW(Box().edits[0], std::wstring(400, L'z').c_str());
    ASSERT_TRUE(OnWorker([] { SetFocus(Box().edits[1]); }));
    EXPECT_EQ(Value(0), std::string(255, 'z'));
    char small[4] = "abc";
    int result = -1;
    ASSERT_TRUE(OnWorker([&] { result = QUB_GetInputBoxValue(0, small, 4); }));
    EXPECT_EQ(result, 0);
    EXPECT_EQ(std::string(small), "zzz");
    // Refusals: no room, no buffer, no item, and (last) no box.
    const struct { int item; char* buffer; int size, code; } rows[] = {
        {0, small, 0, 2}, {0, nullptr, 4, 2}, {2, small, 4, 1}, {0, small, 4, 1}};
    for (const auto& r : rows) {
        if (r.code == 1 && r.item == 0) {
            ASSERT_TRUE(OnWorker([] { QUB_CloseInputBox(); }));
        }
        ASSERT_TRUE(OnWorker([&] { result = QUB_GetInputBoxValue(r.item, r.buffer, r.size); }));
        EXPECT_EQ(result, r.code) << r.item << " " << r.size;
    }
}

TEST_F(InputBoxTest, SizingKeepsTheHeightAndMovesOneSide) {
    Open(50, 50, 5);
    HWND box = Box().window;
    RECT before;
    GetWindowRect(box, &before);
    RECT proposed = {before.left - 30, before.top - 10, before.right, before.bottom + 40};
    ASSERT_TRUE(OnWorker([box, &proposed] {
        SendMessageW(box, WM_SIZING, WMSZ_TOPLEFT, reinterpret_cast<LPARAM>(&proposed));
    }));
    EXPECT_EQ(proposed.top, before.top);
    EXPECT_EQ(proposed.bottom, before.bottom);
    EXPECT_EQ(proposed.left, before.left - 30);
    ASSERT_TRUE(OnWorker([box, before] {
        SetWindowPos(box, nullptr, before.left - 30, before.top,
                     before.right - before.left + 30, before.bottom - before.top,
                     SWP_NOZORDER);
    }));
    EXPECT_EQ(Box().labelWidth, 110) << "the left edge moves the labels";
    EXPECT_EQ(Box().editWidth, 70);
    EXPECT_EQ(ChildRect(Box().labels[4]).right - ChildRect(Box().labels[4]).left, 110);
    EXPECT_EQ(ChildRect(Box().edits[4]).left, 118);

    ASSERT_TRUE(OnWorker([box, &proposed] {
        SendMessageW(box, WM_SIZING, WMSZ_RIGHT, reinterpret_cast<LPARAM>(&proposed));
        RECT now;
        GetWindowRect(box, &now);
        SetWindowPos(box, nullptr, 0, 0, now.right - now.left + 20, now.bottom - now.top,
                     SWP_NOMOVE | SWP_NOZORDER);
    }));
    EXPECT_EQ(Box().labelWidth, 110);
    EXPECT_EQ(Box().editWidth, 90) << "the right edge moves the fields";
    EXPECT_EQ(ChildRect(Box().edits[0]).right - ChildRect(Box().edits[0]).left, 90);

    ASSERT_TRUE(OnWorker([] { QUB_CloseInputBox(); }));
    Open(0, 0, 2);
    EXPECT_EQ(ClientSize(Box().window).cx, 110 + 90 + 12) << "widths carry over";
    EXPECT_EQ(ChildRect(Box().edits[1]).left, 118);
}

TEST_F(InputBoxTest, ResizeSetsBothWidthsAndRefusesBadOnes) {
    int result = -1;
    ASSERT_TRUE(OnWorker([&result] { result = QUB_ResizeInputBox(100, 150); }));
    EXPECT_EQ(result, 1);
    Open(0, 0, 3);
    const int opened = ClientSize(Box().window).cx;
    // (1, 1) makes a box narrower than the system's smallest window.
    const int refused[][2] = {{0, 10}, {10, 0}, {-1, 50}, {31000, 1000}, {1, 1}};
    for (const auto& w : refused) {
        ASSERT_TRUE(OnWorker([&result, w] { result = QUB_ResizeInputBox(w[0], w[1]); }));
        EXPECT_EQ(result, 2) << w[0] << ", " << w[1];
        EXPECT_EQ(ClientSize(Box().window).cx, opened);
        EXPECT_EQ(Box().labelWidth + Box().editWidth + 12, opened) << "the record is the window";
    }
    EXPECT_EQ(Box().labelWidth, 80);
    ASSERT_TRUE(OnWorker([&result] { result = QUB_ResizeInputBox(100, 150); }));
    EXPECT_EQ(result, 0);
    EXPECT_EQ(Box().labelWidth, 100);
    EXPECT_EQ(Box().editWidth, 150);
    EXPECT_EQ(ClientSize(Box().window).cx, 262);
    EXPECT_EQ(ClientSize(Box().window).cy, 3 * 28 + 2);
    const RECT e = ChildRect(Box().edits[2]);
    EXPECT_EQ(e.left, 108);
    EXPECT_EQ(e.right - e.left, 150);
}

TEST_F(InputBoxTest, PopupsAndDestruction) {
    Open(0, 0, 2);
    HWND box = Box().window;
    {
        // The popups the user sees; the client area's picks the item's row.
        MenuSpy spy(box);
        EXPECT_EQ(spy.Open(WM_RBUTTONDOWN, MAKELPARAM(5, 28 + 5)),
                  std::vector<std::wstring>{L"1056 Rename"});
        EXPECT_EQ(Box().renameTarget, 1);
        EXPECT_EQ(spy.Open(WM_NCRBUTTONDOWN), std::vector<std::wstring>{L"1023 Destroy"});
    }
    PostMessageW(box, WM_CLOSE, 0, 0);
    ASSERT_TRUE(PumpUntil([box] { return !IsWindow(box); }));
    EXPECT_EQ(Box().window, nullptr);
    Open(0, 0, 2);
    box = Box().window;
    PostMessageW(box, WM_COMMAND, 1023, 0);
    ASSERT_TRUE(PumpUntil([box] { return !IsWindow(box); }));
    EXPECT_EQ(Box().window, nullptr);
}

TEST(InputBoxRequest, ReplacesTheBoxAtTheOrigin) {
    QUB_RequestInputBox(2);
    HWND first = Box().window;
    ASSERT_NE(first, nullptr);
    RECT r;
    GetWindowRect(first, &r);
    EXPECT_EQ(r.left, 0);
    EXPECT_EQ(r.top, 0);
    QUB_RequestInputBox(40);
    EXPECT_FALSE(IsWindow(first));
    ASSERT_NE(Box().window, nullptr);
    EXPECT_EQ(Box().itemCount, 30);
    PostMessageW(Box().window, WM_CLOSE, 0, 0);
    ASSERT_TRUE(PumpUntil([] { return Box().window == nullptr; }));
}

}  // namespace
