// The button box in-process: its window following the grid geometry, counting
// presses from clicks, digits and bursts, keys, menus, resizing and refusals.
#include <gtest/gtest.h>

#include <atomic>
#include <climits>
#include <string>
#include <vector>

#include "boxes/box_geometry.h"
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
    void Click(int k) { SendMessageW(Box().buttons[k], BM_CLICK, 0, 0); }
    // Every button where the grid geometry puts it, for the record's sizes.
    void ExpectGrid(int nx) {
        const int bw = Box().buttonWidth, bh = Box().buttonHeight;
        const BoxSize c = QUB_ButtonGridClientSize(nx, Box().count / nx, bw, bh);
        EXPECT_EQ(Rect4(RECT{0, 0, ClientSize(Box().window).cx, ClientSize(Box().window).cy}),
                  Rect4(BoxRect{0, 0, c.width, c.height}));
        for (int k = 0; k < Box().count; ++k)
            EXPECT_EQ(Rect4(ChildRect(Box().buttons[k])), Rect4(QUB_ButtonRect(k, nx, bw, bh))) << k;
    }
};

// Bad sizes leave nothing on screen; the largest grid opens.
TEST_F(ButtonBoxTest, OpensAGridOfNumberedButtonsOrNothing) {
    for (const auto& size : {std::vector<int>{0, 5}, {17, 16}, {65536, 65536}}) {
        Open(0, 0, size[0], size[1]);
        EXPECT_EQ(FindWindowW(L"qub_bb", nullptr), nullptr) << size[0] << " x " << size[1];
    }
    Open(30, 40, 4, 2);
    HWND box = Box().window;
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(ClassOf(box) + L" " + WindowText(box), L"qub_bb ButtonBox");
    EXPECT_EQ(GetWindow(box, GW_OWNER), qubState.mainWindow);
    EXPECT_EQ(GetWindowLongW(box, GWL_STYLE) & (WS_VISIBLE | WS_SYSMENU | WS_THICKFRAME |
                                                 WS_MINIMIZEBOX | WS_MAXIMIZEBOX),
              WS_VISIBLE | WS_SYSMENU | WS_THICKFRAME);
    RECT r;
    GetWindowRect(box, &r);
    EXPECT_EQ(r.left * 1000 + r.top, 30040);
    EXPECT_EQ(GetWindowThreadProcessId(box, nullptr), GetThreadId(qubState.workerThread));
    EXPECT_EQ(Box().count * 100 + Box().columns * 10 + Box().rows, 842);
    ExpectGrid(4);
    for (int k = 0; k < 8; ++k)
        EXPECT_EQ(ClassOf(Box().buttons[k]) + L" " + WindowText(Box().buttons[k]),
                  L"Button " + std::to_wstring(k));
    // A second open leaves the first box alone.
    Open(200, 200, 2, 1);
    EXPECT_EQ(Box().window, box);
    ASSERT_TRUE(OnWorker([] { QUB_DestroyButtonBox(); }));
    Open(0, 0, 16, 16);
    EXPECT_EQ(WindowText(Box().buttons[255]), L"255");
}

TEST_F(ButtonBoxTest, ChecksTakeThePressesAndClearThemUpToTheLargestInt) {
    Open(0, 0, 4, 2);
    for (int i = 0; i < 3; ++i) Click(2);
    qubState.buttonBox.presses[1] = INT_MAX - 1;
    for (int i = 0; i < 3; ++i) Click(1);
    SendMessageW(Box().window, WM_CHAR, '5', 0);
    SendMessageW(Box().window, WM_CHAR, 'a', 0);
    HWND focus = nullptr;
    ASSERT_TRUE(OnWorker([&focus] { focus = GetFocus(); }));
    EXPECT_EQ(focus, Box().window) << "after a click, a digit typed next reaches the box";
    const int asked[][2] = {{2, 3}, {2, 0}, {1, INT_MAX}, {5, 1}, {0, 0}, {-1, 0}, {8, 0}};
    for (const auto& a : asked) EXPECT_EQ(Check(a[0]), a[1]) << a[0];
    // A closed box: its count stays, nothing is taken from it.
    Click(1);
    HWND old = Box().window;
    PostMessageW(old, WM_CLOSE, 0, 0);
    ASSERT_TRUE(PumpUntil([old] { return !IsWindow(old); }));
    EXPECT_EQ(Box().window, nullptr);
    EXPECT_EQ(Check(1), 0);
    ASSERT_TRUE(OnWorker([] { QUB_SetButtonBoxTitle(1, "x"); }));
    EXPECT_EQ(Box().presses[1], 1);
    Open(0, 0, 4, 2);
    EXPECT_EQ(Check(1), 0) << "a new box starts with no presses";
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
        else Click(k);
    }
    // Posted clicks still waiting are served before the job below runs.
    OnWorker([] { QUB_PumpMessages(); });
    SetWorkerPoll(nullptr);
    for (int k = 0; k < 8; ++k) EXPECT_EQ(taken[k].load() + Check(k), expected[k]) << k;
}

TEST_F(ButtonBoxTest, CaptionsAreSetAndCutAt255Characters) {
    Open(0, 0, 4, 2);
    const std::string longText(300, 'w');
    ASSERT_TRUE(OnWorker([&longText] {
        QUB_SetButtonBoxTitle(0, "Quit");
        QUB_SetButtonBoxTitle(7, longText.c_str());
        QUB_SetButtonBoxTitle(8, "none");
        QUB_SetButtonBoxTitle(2, nullptr);
    }));
    std::vector<std::wstring> texts;
    for (int k = 0; k < 8; ++k) texts.push_back(WindowText(Box().buttons[k]));
    EXPECT_EQ(texts, (std::vector<std::wstring>{L"Quit", L"1", L"", L"3", L"4", L"5", L"6",
                                                std::wstring(255, L'w')}));
}

TEST_F(ButtonBoxTest, KeysReachTheMainWindowAndCtrlQCloses) {
    Open(0, 0, 4, 2);
    HWND box = Box().window;
    for (const WPARAM key : {WPARAM{'W'}, WPARAM{'Q'}}) {
        ASSERT_TRUE(OnWorker([box, key] {
            SetKeyState(VK_CONTROL, true);
            SendMessageW(box, WM_KEYDOWN, key, 0);
            SetKeyState(VK_CONTROL, false);
        }));
        PumpUntil([] { return Box().window == nullptr; }, key == 'Q' ? 5000 : 100);
        EXPECT_EQ(Box().window == nullptr, key == 'Q') << "only Ctrl+Q closes";
    }
    Open(0, 0, 4, 2);
    // Plain C is Stop for the main window: the routine ends.
    PostMessageW(Box().window, WM_KEYDOWN, 'C', 0);
    EXPECT_TRUE(PumpUntil([] { return qubState.routineRunning.load() == 0; }));
    ASSERT_TRUE(StartJobRoutine());
}

// The popups the user sees. The right margin beside the second row picks the
// last button; the gap between the first two of the first row, button 1.
TEST_F(ButtonBoxTest, PopupsPickTheButtonUnderTheMouseAndDestroy) {
    Open(0, 0, 4, 2);
    HWND box = Box().window;
    MenuSpy spy(box);
    const SIZE client = ClientSize(box);
    using Lines = std::vector<std::wstring>;
    EXPECT_EQ(spy.Open(WM_RBUTTONDOWN, MAKELPARAM(client.cx - 1, client.cy - 1)),
              Lines{L"1057 Rename"});
    EXPECT_EQ(Box().renameTarget, 7);
    spy.Open(WM_RBUTTONDOWN, MAKELPARAM(Box().buttonWidth + 5, 2));
    EXPECT_EQ(Box().renameTarget, 1);
    EXPECT_EQ(spy.Open(WM_NCRBUTTONDOWN), Lines{L"1050 &Destroy\tCtrl+Q"});
    PostMessageW(box, WM_COMMAND, 1050, 0);
    ASSERT_TRUE(PumpUntil([box] { return !IsWindow(box); }));
    EXPECT_EQ(Box().window, nullptr);
}

TEST_F(ButtonBoxTest, ResizingStretchesTheButtonsAndCarriesOver) {
    int result = -1;
    const auto resize = [&result](int w, int h) {
        EXPECT_TRUE(OnWorker([&result, w, h] { result = QUB_ResizeButtonBox(w, h); }));
        return result;
    };
    EXPECT_EQ(resize(300, 100), 1) << "no box";
    Open(0, 0, 4, 2);
    // The last is below the system's smallest window.
    for (const auto& size : {std::vector<int>{0, 100}, {40000, 50}, {1, 1}}) {
        EXPECT_EQ(resize(size[0], size[1]), 2) << size[0] << " x " << size[1];
        ExpectGrid(4);
    }
    EXPECT_EQ(resize(500, 100), 0);
    EXPECT_EQ(ClientSize(Box().window).cx * 1000 + ClientSize(Box().window).cy, 500100);
    EXPECT_EQ(Box().buttonWidth * 1000 + Box().buttonHeight, 120044);
    ExpectGrid(4);
    ASSERT_TRUE(OnWorker([] {
        SendMessageW(Box().window, WM_SIZE, SIZE_MINIMIZED, MAKELPARAM(0, 0));
    }));
    EXPECT_EQ(Box().buttonHeight, 44) << "a minimised box leaves the size alone";
    ASSERT_TRUE(OnWorker([] { QUB_DestroyButtonBox(); }));
    Open(0, 0, 2, 1);
    EXPECT_EQ(Box().buttonWidth * 1000 + Box().buttonHeight, 120044) << "the size carries over";
    ExpectGrid(2);
}

// The main window's command replaces an open box at the origin; it is served
// while no routine runs.
TEST(ButtonBoxRequest, ReplacesTheBoxAtTheOrigin) {
    QUB_RequestButtonBox(3, 1);
    HWND first = Box().window;
    ASSERT_NE(first, nullptr);
    RECT r;
    GetWindowRect(first, &r);
    EXPECT_EQ((std::vector<LONG>{r.left, r.top, Box().count}), (std::vector<LONG>{0, 0, 3}));
    QUB_RequestButtonBox(2, 2);
    EXPECT_FALSE(IsWindow(first));
    EXPECT_EQ(Box().count, 4);
    QUB_RequestButtonBox(0, 3);
    EXPECT_EQ(FindWindowW(L"qub_bb", nullptr), nullptr) << "a bad size still removes the old box";
}

}  // namespace

int main(int argc, char** argv) { return RunWinTests(argc, argv); }
