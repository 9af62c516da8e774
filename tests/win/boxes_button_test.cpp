// The button box in-process: its window, presses from clicks, digits and
// bursts, keys and menus. (Button places and sizes are tested natively.)
#include <gtest/gtest.h>

#include <atomic>
#include <vector>

#include "boxes/button_box.h"
#include "core/library_state.h"
#include "core/runtime.h"
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
};

// A bad size leaves nothing on screen; a second open leaves the first box
// alone. (Cutting captions is tested natively.)
TEST_F(ButtonBoxTest, OpensAGridOfNumberedButtonsOrNothing) {
    Open(0, 0, 17, 16);
    EXPECT_EQ(FindWindowW(L"qub_bb", nullptr), nullptr);
    Open(30, 40, 4, 2);
    HWND box = Box().window;
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(ClassOf(box) + L" " + WindowText(box), L"qub_bb ButtonBox");
    EXPECT_EQ(GetWindow(box, GW_OWNER), qubState.mainWindow);
    RECT r;
    GetWindowRect(box, &r);
    EXPECT_EQ(r.left * 1000 + r.top, 30040);
    EXPECT_EQ(GetWindowThreadProcessId(box, nullptr), GetThreadId(qubState.workerThread));
    EXPECT_EQ(Box().count * 100 + Box().columns * 10 + Box().rows, 842);
    EXPECT_EQ(ClassOf(Box().buttons[7]) + L" " + WindowText(Box().buttons[7]), L"Button 7");
    Open(200, 200, 2, 1);
    EXPECT_EQ(Box().window, box);
    ASSERT_TRUE(OnWorker([] {
        QUB_SetButtonBoxTitle(0, "Quit");
        QUB_SetButtonBoxTitle(2, nullptr);
    }));
    EXPECT_EQ(WindowText(Box().buttons[0]) + WindowText(Box().buttons[2]), L"Quit");
}

// Clicks and digits count; a check takes the count. After a click the box has
// the focus again, so that a digit typed next is counted.
TEST_F(ButtonBoxTest, ChecksTakeThePresses) {
    Open(0, 0, 4, 2);
    for (int i = 0; i < 3; ++i) Click(2);
    SendMessageW(Box().window, WM_CHAR, '5', 0);
    SendMessageW(Box().window, WM_CHAR, 'a', 0);
    HWND focus = nullptr;
    ASSERT_TRUE(OnWorker([&focus] { focus = GetFocus(); }));
    EXPECT_EQ(focus, Box().window);
    const int asked[][2] = {{2, 3}, {2, 0}, {5, 1}, {0, 0}, {-1, 0}, {8, 0}};
    for (const auto& a : asked) EXPECT_EQ(Check(a[0]), a[1]) << a[0];
    // A closed box: nothing is taken from it, and a new one starts with none.
    Click(1);
    HWND old = Box().window;
    PostMessageW(old, WM_CLOSE, 0, 0);
    ASSERT_TRUE(PumpUntil([old] { return !IsWindow(old); }));
    EXPECT_EQ(Check(1), 0);
    Open(0, 0, 4, 2);
    EXPECT_EQ(Check(1), 0);
}

// 1,000 clicks, some sent and some posted, while the routine keeps taking
// presses in every pass: not one may be lost or counted twice.
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
    OnWorker([] { QUB_PumpMessages(); });  // serves the posted clicks still waiting
    SetWorkerPoll(nullptr);
    for (int k = 0; k < 8; ++k) EXPECT_EQ(taken[k].load() + Check(k), expected[k]) << k;
}

// Only Ctrl+Q closes; plain C is Stop for the main window.
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
        EXPECT_EQ(Box().window == nullptr, key == 'Q');
    }
    Open(0, 0, 4, 2);
    PostMessageW(Box().window, WM_KEYDOWN, 'C', 0);
    EXPECT_TRUE(PumpUntil([] { return qubState.routineRunning.load() == 0; }));
    ASSERT_TRUE(StartJobRoutine());
}

// The right margin beside the second row picks the last button; the gap
// between the first two of the first row, button 1.
TEST_F(ButtonBoxTest, PopupsPickTheButtonUnderTheMouseAndDestroy) {
    Open(0, 0, 4, 2);
    HWND box = Box().window;
    MenuSpy spy(box);
    const SIZE client = ClientSize(box);
    EXPECT_EQ(spy.Open(WM_RBUTTONDOWN, MAKELPARAM(client.cx - 1, client.cy - 1)),
              ExpectedMenu(product::Texts(product::kButtonBoxItemPopup)));
    EXPECT_EQ(Box().renameTarget, 7);
    spy.Open(WM_RBUTTONDOWN, MAKELPARAM(Box().buttonWidth + 5, 2));
    EXPECT_EQ(Box().renameTarget, 1);
    EXPECT_EQ(spy.Open(WM_NCRBUTTONDOWN),
              ExpectedMenu(product::Texts(product::kButtonBoxFramePopup)));
    PostMessageW(box, WM_COMMAND, product::kButtonBoxFramePopup[0].id, 0);
    ASSERT_TRUE(PumpUntil([box] { return !IsWindow(box); }));
}

}  // namespace

int main(int argc, char** argv) { return RunWinTests(argc, argv); }
