// The button box in-process: its window and grid, counting presses from
// clicks, digits and bursts, keys, menus, resizing and refusals.
#include <gtest/gtest.h>

#include <atomic>
#include <climits>
#include <string>
#include <vector>

#include "boxes/button_box.h"
#include "core/library_state.h"
#include "core/runtime.h"
#include "core/worker.h"
#include "tests/win/boxes_test_support.h"
#include "tests/win/win_test_support.h"

namespace {

const ButtonBoxRecord& Box() { return qubState.buttonBox; }

class ButtonBoxTest : public BoxTest {
protected:
    void Open(int x, int y, int nx, int ny) {
        ASSERT_TRUE(OnWorker([=] { QUB_OpenButtonBox(x, y, nx, ny); }));
    }
    int Check(int k) {
        int presses = -1;
        EXPECT_TRUE(OnWorker([&] { presses = QUB_CheckButton(k); }));
        return presses;
    }
};

TEST_F(ButtonBoxTest, OpensAGridOfNumberedButtons) {
    Open(30, 40, 4, 2);
    HWND box = Box().window;
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(ClassOf(box), L"qub_bb");
    EXPECT_EQ(WindowText(box), L"ButtonBox");
    EXPECT_EQ(GetWindow(box, GW_OWNER), qubState.mainWindow);
    const LONG style = GetWindowLongW(box, GWL_STYLE);
    EXPECT_EQ(style & (WS_VISIBLE | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME),
              WS_VISIBLE | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME);
    EXPECT_FALSE(style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX));
    RECT r;
    GetWindowRect(box, &r);
    EXPECT_EQ(r.left, 30);
    EXPECT_EQ(r.top, 40);
    EXPECT_EQ(GetWindowThreadProcessId(box, nullptr), GetThreadId(qubState.workerThread));

    EXPECT_EQ(Box().count, 8);
    EXPECT_EQ(Box().columns, 4);
    EXPECT_EQ(Box().rows, 2);
    const int bw = Box().buttonWidth, bh = Box().buttonHeight;
    const SIZE client = ClientSize(box);
    EXPECT_EQ(client.cx, 4 * (bw + 4) + 4);
    EXPECT_EQ(client.cy, 2 * (bh + 4) + 4);
    EXPECT_EQ(bh, 26);
    int children = 0;
    for (HWND c = GetWindow(box, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) ++children;
    EXPECT_EQ(children, 8);
    for (int k = 0; k < 8; ++k) {
        HWND button = Box().buttons[k];
        EXPECT_EQ(ClassOf(button) + L" " + WindowText(button), L"Button " + std::to_wstring(k));
        EXPECT_EQ(GetDlgCtrlID(button), 0);
        EXPECT_TRUE(GetWindowLongW(button, GWL_STYLE) & BS_MULTILINE);
        const RECT b = ChildRect(button);
        EXPECT_EQ((std::vector<LONG>{b.left, b.top, b.right - b.left, b.bottom - b.top}),
                  (std::vector<LONG>{(k % 4) * (bw + 4) + 4, (k / 4) * (bh + 4) + 4, bw, bh})) << k;
    }
}

TEST_F(ButtonBoxTest, RefusesBadSizesAndLeavesNothingOnScreen) {
    const int bad[][2] = {{0, 5}, {5, 0}, {-1, -1}, {17, 16}, {257, 1}, {65536, 65536}};
    for (const auto& size : bad) {
        Open(0, 0, size[0], size[1]);
        EXPECT_EQ(Box().window, nullptr) << size[0] << " x " << size[1];
        EXPECT_EQ(FindWindowW(L"qub_bb", nullptr), nullptr);
    }
    Open(0, 0, 16, 16);
    ASSERT_NE(Box().window, nullptr);
    EXPECT_EQ(Box().count, 256);
    EXPECT_EQ(WindowText(Box().buttons[255]), L"255");
}

TEST_F(ButtonBoxTest, SecondOpenLeavesTheFirstBoxAlone) {
    Open(10, 10, 4, 2);
    HWND first = Box().window;
    ASSERT_TRUE(OnWorker([] { QUB_SetButtonBoxTitle(1, "Save"); }));
    SendMessageW(Box().buttons[2], BM_CLICK, 0, 0);
    Open(200, 200, 2, 1);
    EXPECT_EQ(Box().window, first);
    EXPECT_EQ(Box().count, 8);
    EXPECT_EQ(WindowText(Box().buttons[1]), L"Save");
    EXPECT_EQ(Check(2), 1);
}

TEST_F(ButtonBoxTest, ChecksTakeThePressesAndClearThemUpToTheLargestInt) {
    Open(0, 0, 4, 2);
    for (int i = 0; i < 3; ++i) SendMessageW(Box().buttons[2], BM_CLICK, 0, 0);
    qubState.buttonBox.presses[1] = INT_MAX - 1;
    for (int i = 0; i < 3; ++i) SendMessageW(Box().buttons[1], BM_CLICK, 0, 0);
    const int asked[][2] = {{2, 3}, {2, 0}, {1, INT_MAX}, {0, 0}, {-1, 0}, {8, 0}};
    for (const auto& a : asked) EXPECT_EQ(Check(a[0]), a[1]) << a[0];
}

// 1,000 clicks spread unevenly over the eight buttons, some sent and some
// posted, while the routine keeps taking presses in every pass: not one may
// be lost or counted twice.
TEST_F(ButtonBoxTest, BurstOfClicksIsCountedExactly) {
    Open(0, 0, 4, 2);
    std::atomic<int> taken[8] = {};
    SetWorkerPoll([&taken] {
        for (int k = 0; k < 8; ++k) taken[k] += QUB_CheckButton(k);
    });
    int expected[8] = {};
    for (int i = 0; i < 1000; ++i) {
        const int k = (i * i + 3 * i) % 8;
        ++expected[k];
        if (i % 3 == 0) PostMessageW(Box().buttons[k], BM_CLICK, 0, 0);
        else SendMessageW(Box().buttons[k], BM_CLICK, 0, 0);
    }
    // Posted clicks still waiting are served before the job below runs.
    OnWorker([] { QUB_PumpMessages(); });
    SetWorkerPoll(nullptr);
    int total = 0;
    for (int k = 0; k < 8; ++k) {
        const int counted = taken[k].load() + Check(k);
        EXPECT_EQ(counted, expected[k]) << "button " << k;
        total += counted;
    }
    EXPECT_EQ(total, 1000);
}

TEST_F(ButtonBoxTest, DigitsCountAndTheFocusReturnsAfterAClick) {
    Open(0, 0, 2, 2);
    SendMessageW(Box().window, WM_CHAR, '5', 0);
    EXPECT_EQ(Check(5), 0) << "no button 5";
    ASSERT_TRUE(OnWorker([] { QUB_DestroyButtonBox(); }));
    Open(0, 0, 4, 2);
    EXPECT_EQ(Check(5), 0) << "a new box starts with no presses";
    SendMessageW(Box().buttons[3], BM_CLICK, 0, 0);
    HWND focus = nullptr;
    ASSERT_TRUE(OnWorker([&focus] { focus = GetFocus(); }));
    EXPECT_EQ(focus, Box().window) << "a digit typed next reaches the box";
    for (WPARAM c : {'5', '5', 'a'}) SendMessageW(Box().window, WM_CHAR, c, 0);
    EXPECT_EQ(Check(5), 2);
    EXPECT_EQ(Check(3), 1);
    for (int k = 0; k < 8; ++k) EXPECT_EQ(Check(k), 0) << k;
}

TEST_F(ButtonBoxTest, CaptionsAreSetAndCutAt255Characters) {
    Open(0, 0, 4, 2);
    const std::string longText(300, 'w');
    ASSERT_TRUE(OnWorker([&longText] {
        QUB_SetButtonBoxTitle(0, "Quit");
        QUB_SetButtonBoxTitle(7, longText.c_str());
        QUB_SetButtonBoxTitle(8, "none");
        QUB_SetButtonBoxTitle(-1, "none");
        QUB_SetButtonBoxTitle(2, nullptr);
    }));
    EXPECT_EQ(WindowText(Box().buttons[0]), L"Quit");
    EXPECT_EQ(WindowText(Box().buttons[7]), std::wstring(255, L'w'));
    EXPECT_EQ(WindowText(Box().buttons[2]), L"");
    EXPECT_EQ(WindowText(Box().buttons[6]), L"6");
}

TEST_F(ButtonBoxTest, DestroyedBoxIgnoresChecksAndTitles) {
    Open(0, 0, 4, 2);
    SendMessageW(Box().buttons[1], BM_CLICK, 0, 0);
    HWND old = Box().window;
    HWND button = Box().buttons[1];
    PostMessageW(old, WM_CLOSE, 0, 0);
    ASSERT_TRUE(PumpUntil([old] { return !IsWindow(old); }));
    EXPECT_EQ(Box().window, nullptr);
    EXPECT_FALSE(IsWindow(button));
    EXPECT_EQ(Box().count, 8) << "the count outlives the box";
    EXPECT_EQ(Check(1), 0);
    ASSERT_TRUE(OnWorker([] { QUB_SetButtonBoxTitle(1, "x"); }));
    EXPECT_EQ(Box().presses[1], 1) << "nothing taken from a box that is gone";
}

TEST_F(ButtonBoxTest, KeysReachTheMainWindowAndCtrlQCloses) {
    Open(0, 0, 4, 2);
    HWND box = Box().window;
    ASSERT_TRUE(OnWorker([box] {
        SetKeyState(VK_CONTROL, true);
        SendMessageW(box, WM_KEYDOWN, 'W', 0);
        SetKeyState(VK_CONTROL, false);
    }));
    EXPECT_EQ(Box().window, box) << "Ctrl with another key does nothing";
    ASSERT_TRUE(OnWorker([box] {
        SetKeyState(VK_CONTROL, true);
        SendMessageW(box, WM_KEYDOWN, 'Q', 0);
        SetKeyState(VK_CONTROL, false);
    }));
    ASSERT_TRUE(PumpUntil([] { return Box().window == nullptr; }));

    Open(0, 0, 4, 2);
    // Plain C is Stop for the main window: the routine ends.
    PostMessageW(Box().window, WM_KEYDOWN, 'C', 0);
    EXPECT_TRUE(PumpUntil([] { return qubState.routineRunning.load() == 0; }));
    ASSERT_TRUE(StartJobRoutine());
}

TEST_F(ButtonBoxTest, PopupsPickTheButtonUnderTheMouseAndDestroy) {
    Open(0, 0, 4, 2);
    HWND box = Box().window;
    MenuSpy spy(box);
    const SIZE client = ClientSize(box);
    // The popups the user sees. The right margin beside the second row picks
    // the last button; the gap between the first two of the first row, button 1.
    using Lines = std::vector<std::wstring>;
    EXPECT_EQ(spy.Open(WM_RBUTTONDOWN, MAKELPARAM(client.cx - 1, client.cy - 1)),
              Lines{L"1057 Rename"});
    EXPECT_EQ(Box().renameTarget, 7);
    EXPECT_EQ(spy.Open(WM_RBUTTONDOWN, MAKELPARAM(Box().buttonWidth + 5, 2)),
              Lines{L"1057 Rename"});
    EXPECT_EQ(Box().renameTarget, 1);
    EXPECT_EQ(spy.Open(WM_NCRBUTTONDOWN), Lines{L"1050 &Destroy\tCtrl+Q"});
    EXPECT_EQ(Box().window, box);
    // Choosing the entry.
    PostMessageW(box, WM_COMMAND, 1050, 0);
    ASSERT_TRUE(PumpUntil([box] { return !IsWindow(box); }));
    EXPECT_EQ(Box().window, nullptr);
}

TEST_F(ButtonBoxTest, ResizingStretchesTheButtonsAndCarriesOver) {
    int result = -1;
    ASSERT_TRUE(OnWorker([&result] { result = QUB_ResizeButtonBox(300, 100); }));
    EXPECT_EQ(result, 1) << "no box";
    Open(0, 0, 4, 2);
    const SIZE opened = ClientSize(Box().window);
    // The last two are sizes below the system's smallest window.
    const int refused[][2] = {{0, 100}, {300, 0}, {-5, 50}, {40000, 50}, {20, 12}, {1, 1}};
    for (const auto& size : refused) {
        ASSERT_TRUE(OnWorker([&result, size] { result = QUB_ResizeButtonBox(size[0], size[1]); }));
        EXPECT_EQ(result, 2) << size[0] << " x " << size[1];
        EXPECT_EQ(ClientSize(Box().window).cx, opened.cx) << "a refused size leaves the box";
        EXPECT_EQ(ClientSize(Box().window).cy, opened.cy);
    }
    ASSERT_TRUE(OnWorker([&result] { result = QUB_ResizeButtonBox(500, 100); }));
    EXPECT_EQ(result, 0);
    const SIZE client = ClientSize(Box().window);
    EXPECT_EQ(client.cx, 500);
    EXPECT_EQ(client.cy, 100);
    EXPECT_EQ(Box().buttonWidth, (500 - 20) / 4);
    EXPECT_EQ(Box().buttonHeight, (100 - 12) / 2);
    const RECT last = ChildRect(Box().buttons[7]);
    EXPECT_EQ(last.left, 3 * 124 + 4);
    EXPECT_EQ(last.top, 48 + 4);
    EXPECT_EQ(last.right - last.left, 120);
    EXPECT_EQ(last.bottom - last.top, 44);

    ASSERT_TRUE(OnWorker([] { QUB_DestroyButtonBox(); }));
    Open(0, 0, 2, 1);
    const RECT first = ChildRect(Box().buttons[0]);
    EXPECT_EQ(first.right - first.left, 120) << "the enlarged size carries over";
    EXPECT_EQ(first.bottom - first.top, 44);
    EXPECT_EQ(ClientSize(Box().window).cx, 2 * 124 + 4);
}

TEST_F(ButtonBoxTest, SixteenColumnsCanShrinkToButtonsOfNoWidth) {
    Open(0, 0, 16, 1);
    ASSERT_TRUE(OnWorker([] {
        SendMessageW(Box().window, WM_SIZE, SIZE_RESTORED, MAKELPARAM(83, 40));
    }));
    EXPECT_EQ(Box().buttonWidth, 0);
    EXPECT_EQ(Box().buttonHeight, 32);
    ASSERT_TRUE(OnWorker([] {
        SendMessageW(Box().window, WM_SIZE, SIZE_MINIMIZED, MAKELPARAM(0, 0));
    }));
    EXPECT_EQ(Box().buttonHeight, 32) << "a minimised box leaves the size alone";
}

// The main window's command replaces an open box; it is served while no
// routine runs.
TEST(ButtonBoxRequest, ReplacesTheBoxAtTheOrigin) {
    qubState.buttonBox.buttonWidth = 98;
    qubState.buttonBox.buttonHeight = 26;
    QUB_RequestButtonBox(3, 1);
    HWND first = Box().window;
    ASSERT_NE(first, nullptr);
    RECT r;
    GetWindowRect(first, &r);
    EXPECT_EQ(r.left, 0);
    EXPECT_EQ(r.top, 0);
    EXPECT_EQ(Box().count, 3);
    QUB_RequestButtonBox(2, 2);
    ASSERT_NE(Box().window, nullptr);
    EXPECT_NE(Box().window, first);
    EXPECT_FALSE(IsWindow(first));
    EXPECT_EQ(Box().count, 4);
    QUB_RequestButtonBox(0, 3);
    EXPECT_EQ(Box().window, nullptr) << "a bad size still removes the old box";
    EXPECT_EQ(FindWindowW(L"qub_bb", nullptr), nullptr);
}

}  // namespace
