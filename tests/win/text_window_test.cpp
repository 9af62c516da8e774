// Text windows in-process: opening, printing into the back buffer, resizing,
// closing, keys and the popup menu. (Wrapping, scrolling and placing are
// tested natively.)
#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <vector>

#include "core/library_state.h"
#include "core/runtime.h"
#include "tests/win/text_test_support.h"
#include "tests/win/win_test_support.h"
#include "text/text_window.h"

namespace {

constexpr uint32_t kBlack = 0x000000;

const TextWindowRecord& Rec(int n) { return qubState.textWindows[n]; }

void CloseAll() {
    RunOnWorker([] {
        for (int i = 0; i < kTextSlots; ++i) QUB_CloseTextWindow(i);
    });
}

// The record and back buffer describe the client area the window really got.
TEST(TextWindow, OpenPlacesTheWindowAndTheRecordIsItsRealClientArea) {
    const struct { int n, x, y, w, h, code, left, top, width, height;  // -1: any
    } rows[] = {{3, -1, -1, -1, -1, 0, -1, -1, 400, 300},
                {4, 10, 10, 200, 100, 0, 10, 10, 200, 100},
                {3, 50, 50, 10, 10, 1, -1, -1, 400, 300},
                {256, 0, 0, 10, 10, 1, -1, -1, -1, -1}};
    for (const auto& r : rows) {
        SCOPED_TRACE(r.n);
        int code = -1;
        RunOnWorker([&] { code = QUB_OpenTextWindow(r.n, r.x, r.y, r.w, r.h); });
        EXPECT_EQ(code, r.code);
        if (r.n >= kTextSlots) continue;
        EXPECT_EQ(qubState.currentTextWindow, r.n) << "opening or reopening makes it current";
        const TextWindowRecord& t = Rec(r.n);
        RECT client, frame;
        GetClientRect(t.window, &client);
        GetWindowRect(t.window, &frame);
        BITMAP b = {};
        GetObjectW(t.backBuffer, sizeof b, &b);
        const std::vector<int> got = {frame.left, frame.top, t.width, t.height, b.bmWidth,
                                      b.bmHeight};
        std::vector<int> want = {r.left, r.top, r.width, r.height, client.right, client.bottom};
        for (int i = 0; i < 4; ++i) want[i] = want[i] < 0 ? got[i] : want[i];
        EXPECT_EQ(got, want);
        EXPECT_EQ(t.width * 100000 + t.height, client.right * 100000 + client.bottom);
    }
    wchar_t cls[64];
    GetClassNameW(Rec(3).window, cls, 64);
    EXPECT_EQ(WindowText(Rec(3).window) + L"/" + cls, L"TextWindow 3/qub_twi");
    EXPECT_EQ(GetWindow(Rec(3).window, GW_OWNER), qubState.mainWindow);
    CloseAll();
}

// A line feed, a wrap and colours as the back buffer shows them.
TEST(TextWindow, PrintLineFeedsWrapAndColoursInTheBackBuffer) {
    Pixels p;
    int cw = 0, lh = 0;
    std::vector<int> state;
    RunOnWorker([&] {
        QUB_OpenTextWindow(0, 0, 0, 400, 300);
        cw = Rec(0).cellWidth;
        lh = Rec(0).lineHeight;
        // As many narrow characters as the line holds, and one more.
        const std::string line(static_cast<size_t>(400 / cw + 1), 'M');
        QUB_Printf("ab\n%s\n%s\n", "c", line.c_str());
        QUB_PushTextColor(0x0000FF, 0xFF0000);
        QUB_PushTextColor(0x00FF00, 0xFFFF00);
        QUB_PopTextColor();
        QUB_Printf("W");
        QUB_PopTextColor();
        QUB_Printf("W");
        state = {Rec(0).cursorX, Rec(0).cursorY, static_cast<int>(Rec(0).textColour)};
        p = SnapshotTextWindow(0);
    });
    ASSERT_GT(cw, 0);
    EXPECT_EQ(state, (std::vector<int>{2 * cw, 4 * lh, 0xFFFFFF}));
    const auto drawn = [&p](int x0, int y0, int x1, int y1) {
        return p.Count(x0, y0, x1, y1, kBlack) < (x1 - x0) * (y1 - y0);
    };
    // ab, c, the line's last M and the wrapped one; nothing beside them.
    const int last = 400 / cw * cw;
    EXPECT_TRUE(drawn(0, 0, 2 * cw, lh) && drawn(0, lh, cw, 2 * lh) &&
                drawn(last - cw, 2 * lh, last, 3 * lh) && drawn(0, 3 * lh, cw, 4 * lh));
    EXPECT_FALSE(drawn(2 * cw, 0, 400, lh) || drawn(cw, lh, 400, 2 * lh) ||
                 drawn(cw, 3 * lh, 400, 4 * lh));
    // The first W red on blue, the second white on black again.
    EXPECT_TRUE(p.Count(0, 4 * lh, cw, 5 * lh, 0x0000FF) &&
                p.Count(0, 4 * lh, cw, 5 * lh, 0xFF0000));
    EXPECT_TRUE(!p.Count(cw, 4 * lh, 2 * cw, 5 * lh, 0x0000FF) &&
                p.Count(cw, 4 * lh, 2 * cw, 5 * lh, 0xFFFFFF));
    CloseAll();
}

// Resizing clears and puts the cursor top left; closing moves the current
// window to the lowest open one, and with none open prints go nowhere.
TEST(TextWindow, ResizeClearsAndClosingMovesCurrent) {
    Pixels p;
    std::vector<int> state;
    RunOnWorker([&] {
        QUB_OpenTextWindow(6, 0, 0, 200, 100);
        QUB_Printf("text\nmore");
        RECT frame = {0, 0, 300, 150};
        AdjustWindowRect(&frame, WS_CAPTION | WS_SYSMENU | WS_THICKFRAME, FALSE);
        SetWindowPos(Rec(6).window, nullptr, 0, 0, frame.right - frame.left,
                     frame.bottom - frame.top, SWP_NOMOVE | SWP_NOZORDER);
        state = {Rec(6).cursorX, Rec(6).cursorY, Rec(6).width};
        p = SnapshotTextWindow(6);
        QUB_OpenTextWindow(9, 0, 0, 100, 50);
        QUB_OpenTextWindow(8, 0, 0, 100, 50);
        QUB_CloseTextWindow(8);
        state.push_back(qubState.currentTextWindow);
        state.push_back(QUB_CloseTextWindow(8));
        state.push_back(QUB_SelectTextWindow(8));
        QUB_CloseTextWindow(6);
        QUB_CloseTextWindow(9);
        QUB_Printf("nobody sees this %d\n", 1);  // must not crash or draw
        state.push_back(qubState.currentTextWindow);
    });
    EXPECT_EQ(state, (std::vector<int>{0, 0, 300, 6, 1, 1, 9}));
    EXPECT_EQ(p.Count(0, 0, p.width, p.height, kBlack), 300 * p.height) << "cleared";
}

WNDPROC g_mainProc = nullptr;
std::atomic<int> g_mainKeys[256];

LRESULT CALLBACK MainKeySpy(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != WM_KEYDOWN) return CallWindowProcW(g_mainProc, window, message, wParam, lParam);
    ++g_mainKeys[wParam & 0xFF];
    return 0;  // swallowed: Esc would end the program
}

TEST(TextWindowKeys, PlainKeysGoToTheMainWindowCtrlKeysAreCommands) {
    RunOnWorker([] {
        QUB_OpenTextWindow(11, 0, 0, 100, 50);
        QUB_OpenTextWindow(12, 0, 0, 100, 50);
        AddCtrlControls(11);
    });
    g_mainProc = reinterpret_cast<WNDPROC>(SetWindowLongPtrW(
        qubState.mainWindow, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(MainKeySpy)));
    HWND w11 = Rec(11).window;
    // Q goes first: were it passed on, it would reach the main window before C.
    for (WPARAM key : {WPARAM{'Q'}, WPARAM{VK_ESCAPE}, WPARAM{'X'}, WPARAM{'S'}, WPARAM{'C'}})
        PostMessageW(w11, WM_KEYDOWN, key, 0);
    EXPECT_TRUE(PumpUntil([] { return g_mainKeys['C'].load() > 0; }));
    EXPECT_EQ((std::vector<int>{g_mainKeys[VK_ESCAPE], g_mainKeys['X'], g_mainKeys['S'],
                                g_mainKeys['Q']}),
              (std::vector<int>{1, 1, 1, 0}));
    // While a line input waits, Esc and Ctrl+S are keys of the input, not
    // commands. Anything they posted would be handled before the C behind them.
    qubState.lineInputActive = 99;
    SendMessageW(w11, WM_KEYDOWN, VK_ESCAPE, 0);
    SendMessageW(w11, kMsgCtrlDown, 0, 0);
    SendMessageW(w11, WM_KEYDOWN, 'S', 0);
    SendMessageW(w11, kMsgCtrlUp, 0, 0);
    qubState.lineInputActive = 0;
    PostMessageW(w11, WM_KEYDOWN, 'C', 0);
    EXPECT_TRUE(PumpUntil([] { return g_mainKeys['C'].load() > 1; }));
    EXPECT_EQ(g_mainKeys[VK_ESCAPE].load(), 1) << "Esc during an input is not passed on";
    EXPECT_EQ(qubState.currentTextWindow, 12) << "Ctrl+S during an input selects nothing";
    SetWindowLongPtrW(qubState.mainWindow, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(g_mainProc));
    for (const UINT m : {kMsgCtrlDown, UINT{WM_KEYDOWN}, kMsgCtrlUp}) PostMessageW(w11, m, 'S', 0);
    EXPECT_TRUE(PumpUntil([] { return qubState.currentTextWindow == 11; })) << "Ctrl+S selects";
    for (const UINT m : {kMsgCtrlDown, UINT{WM_KEYDOWN}, kMsgCtrlUp}) PostMessageW(w11, m, 'Q', 0);
    EXPECT_TRUE(PumpUntil([w11] { return !IsWindow(w11); })) << "Ctrl+Q destroys";
    EXPECT_FALSE(Rec(11).inUse);
    CloseAll();
}

// The check marks follow the current window and the log; no popup while a
// line input waits (sent, not posted: a popup would be over when the call returns).
TEST(TextWindowMenu, EntriesChecksAndNoMenuWhileInputWaits) {
    RunOnWorker([] { QUB_OpenTextWindow(13, 0, 0, 100, 50); });
    HWND w = Rec(13).window;
    MenuSpy spy(w);
    const auto popup = [](bool current, product::MenuMark log) {
        return ExpectedMenu(product::Texts(product::kTextPopup), [=](product::MenuMark m) {
            return m == log || (current && m == product::kCheckedWhenCurrent);
        }, qubState.instanceNumber, 13);
    };
    EXPECT_EQ(spy.Open(), popup(true, product::kPlain));
    qubState.lineInputActive = 14;
    EXPECT_TRUE(spy.Open().empty()) << "no popup while a line input waits";
    qubState.lineInputActive = 0;
    SendMessageW(w, WM_COMMAND, 1024, 0);
    EXPECT_EQ(spy.Open(), popup(true, product::kCheckedWhenLogging));
    SendMessageW(w, WM_COMMAND, 1025, 0);
    RunOnWorker([] { QUB_OpenTextWindow(14, 0, 0, 100, 50); });
    EXPECT_EQ(spy.Open(), popup(false, product::kCheckedWhenPaused));
    CloseAll();
    DeleteFileW(LogFileName(13).c_str());
}

}  // namespace
