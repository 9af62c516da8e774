// Line input fed by sent and posted characters, and the log files, in-process.
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

const TextWindowRecord& Rec(int n) { return qubState.textWindows[n]; }

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
// is Up, \x02 holds AltGr (Ctrl and Alt, as programs see it), \x03 holds Ctrl
// alone and \x04 lets both go; with `paste` the clipboard holds `clip` (the
// first `units`, none when null) and Ctrl+V comes first.
struct Typed {
    const wchar_t* previous;
    std::wstring typed;
    std::string line;
    bool paste;
    const wchar_t* clip;
    size_t units;
};

TEST(LineInput, KeysGiveTheirLine) {
    const std::wstring big = std::wstring(20000, L'q') + L"\r\nsecond line", bare(64, L'r');
    const Typed rows[] = {
        {L"", L"ab\bc\tz\x1b", "ac z\x1b", false, nullptr, 0},
        {L"old", L"\b\bx\x01y", "xoldy", false, nullptr, 0},  // the recall is appended
        {L"", L"\x02\\@{}[]\x03\x18\x04!", "\\@{}[]!", false, nullptr, 0},
        {L"", L"", std::string(255, 'q'), true, big.c_str(), big.size() + 1},
        {L"", L"", "first", true, L"first\r\nsecond", 14},
        {L"", L"ok", "ok", true, nullptr, 0},  // no text on the clipboard: nothing pasted
        // No terminator: read no further than the block (whose last unit Wine
        // keeps as its terminator; Windows may not).
        {L"", L"", std::string(63, 'r'), true, bare.c_str(), 64},
    };
    RunOnWorker([] {
        QUB_OpenTextWindow(0, 20, 20, 400, 300);
        AddCtrlControls(0);
    });
    HWND w = Rec(0).window;
    for (const Typed& r : rows) {
        SCOPED_TRACE(r.line);
        wcscpy(qubState.lastLine, r.previous);
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

// Closing the window, or clearing the flag as Exit does, cancels the input.
// The typed keys are taken and echoed first: units still in the ring would be
// left for the next input.
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

// A log that cannot be made, and a copy without a log file: the message the
// user sees, the result, and nothing changed.
TEST(TextLog, FailuresAreShownAndChangeNothing) {
    wchar_t saved[kFolderUnits];
    std::memcpy(saved, qubState.startFolder, sizeof saved);
    DeleteFileW(LogFileName(7).c_str());
    SetClipboardUnits(L"keep", 5);
    const struct { const wchar_t *folder, *caption, *text; bool copy; } rows[] = {
        {L"C:\\qub-no-such-folder\\deeper\\", L"Error", L"Can't create file for LOG!", false},
        {saved, L"Pause", L"Can't open LOG file!", true}};
    for (const auto& r : rows) {
        wcscpy(qubState.startFolder, r.folder);
        std::atomic<int> result{-1};
        ASSERT_TRUE(StartOnWorker([&] {
            QUB_OpenTextWindow(7, 0, 0, 200, 100);
            result = r.copy ? QUB_CopyLog(7) : QUB_StartLog(7);
        }));
        std::wstring text;
        EXPECT_TRUE(DismissMessageBox(r.caption, &text));
        ASSERT_TRUE(WaitRoutineEnd());
        std::memcpy(qubState.startFolder, saved, sizeof saved);
        EXPECT_EQ(text, r.text);
        EXPECT_EQ(result * 10 + Rec(7).logState, 20);
        EXPECT_EQ(ClipboardText(), "keep");
    }
    RunOnWorker([] { QUB_CloseTextWindow(7); });
}

// Runs last: Exit ends a waiting input and closes the logs so that nothing
// printed is lost.
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
    HANDLE worker = DuplicateWorker();
    PostMessageW(qubState.mainWindow, WM_COMMAND, kCmdExit, 0);
    PumpUntil([] { return qubState.quitReceived.load() != 0; }, 5000);
    EXPECT_EQ(WorkerEndCode(worker), 0u) << "the input ended, so the worker was not terminated";
    EXPECT_EQ(Line(), "");
    EXPECT_EQ(ReadFileBytes(name), "before exit\r\n");
    DeleteFileW(name.c_str());
}

}  // namespace

int main(int argc, char** argv) { return RunWinTests(argc, argv); }
