// Text windows in-process: the back buffer, keys, the popup menu, line input
// and the log files. (Wrapping, placing and the key ring are tested natively.)
#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <string>
#include <vector>

#include "core/library_state.h"
#include "core/main_menu.h"
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

// The record and back buffer describe the client area the window really got;
// opening or reopening (whose size is refused) makes it current.
TEST(TextWindow, OpenPlacesTheWindowAndTheRecordIsItsRealClientArea) {
    const struct { int n, x, y, w, h, code, width, height; } rows[] = {
        {3, -1, -1, -1, -1, 0, 400, 300}, {4, 10, 10, 200, 100, 0, 200, 100},
        {3, 50, 50, 10, 10, 1, 400, 300}};
    for (const auto& r : rows) {
        int code = -1;
        RunOnWorker([&] { code = QUB_OpenTextWindow(r.n, r.x, r.y, r.w, r.h); });
        const TextWindowRecord& t = Rec(r.n);
        RECT client;
        GetClientRect(t.window, &client);
        BITMAP b = {};
        GetObjectW(t.backBuffer, sizeof b, &b);
        EXPECT_EQ((std::vector<LONG>{code, qubState.currentTextWindow, t.width, t.height,
                                     client.right, client.bottom, b.bmWidth, b.bmHeight}),
                  (std::vector<LONG>{r.code, r.n, r.width, r.height, r.width, r.height, r.width,
                                     r.height})) << r.n;
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

// Plain keys but Q go to the main window; Esc and Ctrl+S are keys of a waiting
// input; Ctrl+S selects, Ctrl+Q destroys.
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
    HWND w = Rec(11).window;
    for (WPARAM key : {WPARAM{'Q'}, WPARAM{VK_ESCAPE}, WPARAM{'X'}, WPARAM{'C'}})
        PostMessageW(w, WM_KEYDOWN, key, 0);
    EXPECT_TRUE(PumpUntil([] { return g_mainKeys['C'].load() > 0; }));
    qubState.lineInputActive = 99;
    SendMessageW(w, WM_KEYDOWN, VK_ESCAPE, 0);
    SendMessageW(w, kMsgCtrlDown, 0, 0);
    SendMessageW(w, WM_KEYDOWN, 'S', 0);
    SendMessageW(w, kMsgCtrlUp, 0, 0);
    qubState.lineInputActive = 0;
    PostMessageW(w, WM_KEYDOWN, 'C', 0);  // behind anything the keys above posted
    EXPECT_TRUE(PumpUntil([] { return g_mainKeys['C'].load() > 1; }));
    SetWindowLongPtrW(qubState.mainWindow, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(g_mainProc));
    EXPECT_EQ((std::vector<int>{g_mainKeys[VK_ESCAPE], g_mainKeys['X'], g_mainKeys['Q']}),
              (std::vector<int>{1, 1, 0}));
    EXPECT_EQ(qubState.currentTextWindow, 12);
    for (const UINT m : {kMsgCtrlDown, UINT{WM_KEYDOWN}, kMsgCtrlUp}) PostMessageW(w, m, 'S', 0);
    EXPECT_TRUE(PumpUntil([] { return qubState.currentTextWindow == 11; })) << "Ctrl+S selects";
    for (const UINT m : {kMsgCtrlDown, UINT{WM_KEYDOWN}, kMsgCtrlUp}) PostMessageW(w, m, 'Q', 0);
    EXPECT_TRUE(PumpUntil([w] { return !IsWindow(w); })) << "Ctrl+Q destroys";
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

char g_line[kInputLineBytes + 16];
std::atomic<int> g_ready{0};

// Opens window n (if needed) on the worker and waits there for one line.
bool StartInput(int n) {
    g_ready = 0;
    std::memset(g_line, '#', sizeof g_line);
    const bool started = StartOnWorker([n] {
        QUB_OpenTextWindow(n, 20, 20, 400, 300);
        QUB_SelectTextWindow(n);
        g_ready = 1;
        QUB_InputLine(g_line);
    });
    return started &&
           PumpUntil([] { return g_ready.load() == 1 && qubState.lineInputActive != 0; });
}

std::string Line() { return g_line; }

// Puts `count` units on the clipboard as CF_UNICODETEXT (nothing when null).
void SetClipboardUnits(const wchar_t* units, size_t count) {
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    if (units) {
        HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, count * sizeof(wchar_t));
        std::memcpy(GlobalLock(block), units, count * sizeof(wchar_t));
        GlobalUnlock(block);
        SetClipboardData(CF_UNICODETEXT, block);
    }
    CloseClipboard();
}

// Pastes with Ctrl+V, letting Ctrl go only behind the Ctrl+V character the key
// produces, as a hand would, and waits until the pasted units are all taken.
void PasteIntoInput(HWND w) {
    InterlockedExchange(&g_pasteKeySeen, 0);
    PostMessageW(w, kMsgCtrlDown, 0, 0);
    PostMessageW(w, WM_KEYDOWN, 'V', 0);
    ASSERT_TRUE(PumpUntil([] {
        return g_pasteKeySeen != 0 && qubState.inputMode.load() == 0 &&
               qubState.keyRead.load() == -1;
    }));
    SendMessageW(w, kMsgCtrlUp, 0, 0);
}

// What is typed into a waiting input, and the line it gives. In `typed`, \x01
// is Up (the last line is "old"), \x02 holds AltGr (Ctrl and Alt), \x03 Ctrl
// alone, \x04 lets both go; with `paste` the clipboard holds the first `units`
// of `clip` (none when null) and Ctrl+V comes first.
struct Typed {
    std::wstring typed;
    std::string line;
    bool paste;
    const wchar_t* clip;
    size_t units;
};

TEST(LineInput, KeysGiveTheirLine) {
    const std::wstring big = std::wstring(20000, L'q') + L"\r\nsecond line", bare(64, L'r');
    const Typed rows[] = {
        {L"ab\bc\tz\x1b", "ac z\x1b", false, nullptr, 0},
        {L"\b\bx\x01y", "xoldy", false, nullptr, 0},  // the recall is appended
        {L"\x02\\@{}[]\x03\x18\x04!", "\\@{}[]!", false, nullptr, 0},
        {L"", std::string(255, 'q'), true, big.c_str(), big.size() + 1},
        {L"", "first", true, L"first\r\nsecond", 14},
        {L"ok", "ok", true, nullptr, 0},  // no text on the clipboard: nothing pasted
        // No terminator: read no further than the block (Wine keeps its last
        // unit as the terminator; Windows may not).
        {L"", std::string(63, 'r'), true, bare.c_str(), 64},
    };
    RunOnWorker([] {
        QUB_OpenTextWindow(0, 20, 20, 400, 300);
        AddCtrlControls(0);
    });
    HWND w = Rec(0).window;
    for (const Typed& r : rows) {
        SCOPED_TRACE(r.line);
        wcscpy(qubState.lastLine, L"old");
        if (r.paste) SetClipboardUnits(r.clip, r.units);
        ASSERT_TRUE(StartInput(0));
        if (r.paste) PasteIntoInput(w);
        for (wchar_t c : r.typed) {
            const UINT keys[] = {kMsgAltGrDown, kMsgCtrlDown, kMsgCtrlUp};
            if (c >= 2 && c <= 4) SendMessageW(w, keys[c - 2], 0, 0);
            else if (c != 1) SendChars(w, std::wstring(1, c));
            // Up is sent: when the call returns the window has asked for the
            // recall, which is over once inputMode is back to 0.
            else SendMessageW(w, WM_KEYDOWN, VK_UP, 0);
            ASSERT_TRUE(PumpUntil([] { return qubState.inputMode.load() == 0; }));
        }
        ASSERT_TRUE(PumpUntil([] { return qubState.keyRead.load() == -1; }));
        SendChars(w, L"\r");
        ASSERT_TRUE(WaitRoutineEnd());
        EXPECT_EQ(Line(), r.line);
        EXPECT_EQ(g_line[kInputLineBytes], '#') << "nothing written past the caller's 256 bytes";
        EXPECT_EQ(qubState.lineInputActive.load() + Rec(0).cursorX, 0) << "Enter: next line";
    }
}

// Closing the window, or clearing the flag as Exit does, cancels the input
// (after the typed keys are taken: units left in the ring would go to the next).
TEST(LineInput, ClosingTheWindowOrClearingTheFlagCancels) {
    for (const bool close : {true, false}) {
        ASSERT_TRUE(StartInput(1));
        SendChars(Rec(1).window, L"abc");
        ASSERT_TRUE(PumpUntil([] { return qubState.keyRead.load() == -1; }));
        if (close) PostMessageW(Rec(1).window, WM_CLOSE, 0, 0);
        else qubState.lineInputActive.store(0);
        ASSERT_TRUE(WaitRoutineEnd());
        EXPECT_EQ(Line(), "");
        EXPECT_EQ(Rec(1).inUse != 0, !close);
    }
    RunOnWorker([] { QUB_CloseTextWindow(1); });
}

// Start, stop and start keep one file without the pause; a typed line is
// logged; Ctrl+C copies the log (not a selection) and logging goes on.
TEST(TextLog, StartStopStartKeepsOneFileWithoutThePause) {
    const std::wstring name = LogFileName(5);
    DeleteFileW(name.c_str());
    std::vector<int> results;  // stop before any log, start, stop, start, start again
    RunOnWorker([&] {
        QUB_OpenTextWindow(5, 0, 0, 300, 200);
        results.push_back(QUB_StopLog(5));
        results.push_back(QUB_StartLog(5));
        QUB_Printf("one %d\n", 1);
        results.push_back(QUB_StopLog(5));
        QUB_Printf("paused\n");
        results.push_back(QUB_StartLog(5));
        QUB_Printf("two\n");
        results.push_back(QUB_StartLog(5));
        AddCtrlControls(5);
    });
    EXPECT_EQ(results, (std::vector<int>{1, 0, 0, 0, 1}));
    ASSERT_TRUE(StartInput(5));
    PostChars(Rec(5).window, L"typed\r");
    ASSERT_TRUE(WaitRoutineEnd());
    const std::string expected = "one 1\r\ntwo\r\ntyped\r\n";
    SetClipboardUnits(L"old", 4);
    HWND w = Rec(5).window;
    for (const UINT m : {kMsgCtrlDown, UINT{WM_KEYDOWN}, kMsgCtrlUp}) PostMessageW(w, m, 'C', 0);
    // A pump on the worker handles the keys and the command they post. (Polling
    // the clipboard instead would hold it open when the copy wants it.)
    RunOnWorker([] { QUB_PumpMessages(); });
    EXPECT_EQ(ClipboardText(), expected) << "exactly the file";
    EXPECT_EQ(GetClipboardOwner(), w) << "Windows refuses data on a clipboard with no owner";
    RunOnWorker([] {
        QUB_Printf("three\n");
        QUB_CloseTextWindow(5);  // flushes and closes the stream
    });
    EXPECT_EQ(ReadFileBytes(name), expected + "three\r\n");
    DeleteFileW(name.c_str());
}

// Run as a program of its own: Exit ends a waiting input and closes the logs so
// that nothing printed is lost.
TEST(ZExit, EndsAWaitingInputAndFlushesTheLogs) {
    const std::wstring name = LogFileName(8);
    DeleteFileW(name.c_str());
    RunOnWorker([] {
        QUB_OpenTextWindow(8, 0, 0, 200, 100);
        QUB_StartLog(8);
        QUB_Printf("before exit\n");
    });
    ASSERT_TRUE(StartInput(8));
    SendChars(Rec(8).window, L"unfinished");
    EXPECT_EQ(WorkerEndCode([] { PostMessageW(qubState.mainWindow, WM_COMMAND, kCmdExit, 0); }),
              0u) << "the input ended, so the worker was not terminated";
    EXPECT_EQ(Line(), "");
    EXPECT_EQ(ReadFileBytes(name), "before exit\r\n");
    DeleteFileW(name.c_str());
}

}  // namespace

int main(int argc, char** argv) { return RunWinTests(argc, argv); }
