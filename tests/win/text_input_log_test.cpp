// Line input fed by posted characters, and the log files, in-process.
#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <functional>
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

void CloseWindow(int n) {
    RunOnWorker([n] { QUB_CloseTextWindow(n); });
}

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

// Pastes with Ctrl+V and waits until the pasted units are all taken.
void PasteIntoInput(int n) {
    HWND w = Rec(n).window;
    InterlockedExchange(&g_pasteKeySeen, 0);
    PostMessageW(w, kMsgCtrlDown, 0, 0);
    PostMessageW(w, WM_KEYDOWN, 'V', 0);
    // Ctrl is let go only behind the Ctrl+V character that the key produces,
    // as a hand on the keyboard would.
    ASSERT_TRUE(PumpUntil([] {
        return g_pasteKeySeen != 0 && qubState.inputMode.load() == 0 &&
               qubState.keyRead.load() == -1;
    }));
    SendMessageW(w, kMsgCtrlUp, 0, 0);
}

// Up is sent, not posted: when the call returns the window procedure has
// asked for the recall, and the recall is over once inputMode is back to 0.
void PressUp(HWND w) {
    SendMessageW(w, WM_KEYDOWN, VK_UP, 0);
    ASSERT_TRUE(PumpUntil([] { return qubState.inputMode.load() == 0; }));
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
    const std::wstring big = std::wstring(20000, L'q') + L"\r\nsecond line";
    const Typed rows[] = {
        {L"", L"ab\bc\tz\x1b", "ac z\x1b", false, nullptr, 0},
        {L"", L"\x01old", "old", false, nullptr, 0},  // no previous line: Up adds nothing
        {L"old", L"\b\bx\x01y", "xoldy", false, nullptr, 0},  // the recall is appended
        {L"", L"\x02\\@{}[]\x03\x18\x04!", "\\@{}[]!", false, nullptr, 0},
        {L"", std::wstring(100, L'a') + std::wstring(100, L'b') + std::wstring(100, L'c'),
         std::string(100, 'a') + std::string(100, 'b') + std::string(55, 'c'), false, nullptr, 0},
        {L"", L"", std::string(255, 'q'), true, big.c_str(), big.size() + 1},
        {L"", L"", "first", true, L"first\r\nsecond", 14},
        {L"", L"ok", "ok", true, nullptr, 0},  // no text on the clipboard: nothing pasted
    };
    RunOnWorker([] { QUB_OpenTextWindow(0, 20, 20, 400, 300); AddCtrlControls(0); });
    HWND w = Rec(0).window;
    for (const Typed& r : rows) {
        SCOPED_TRACE(r.line);
        wcscpy(qubState.lastLine, r.previous);
        if (r.paste) SetClipboardUnits(r.clip, r.units);
        ASSERT_TRUE(StartInput(0));
        if (r.paste) PasteIntoInput(0);
        // Sent in bursts below the ring's 256 units, each taken before the next.
        for (size_t i = 0; i < r.typed.size(); i += 100) {
            for (wchar_t c : r.typed.substr(i, 100)) {
                const UINT keys[] = {kMsgAltGrDown, kMsgCtrlDown, kMsgCtrlUp};
                if (c == 1) PressUp(w);
                else if (c >= 2 && c <= 4) SendMessageW(w, keys[c - 2], 0, 0);
                else SendChars(w, std::wstring(1, c));
            }
            ASSERT_TRUE(PumpUntil([] { return qubState.keyRead.load() == -1; }));
        }
        SendChars(w, L"\r");
        ASSERT_TRUE(WaitRoutineEnd());
        EXPECT_EQ(Line(), r.line);
        EXPECT_EQ(g_line[kInputLineBytes], '#') << "nothing written past the caller's 256 bytes";
        EXPECT_EQ(qubState.lineInputActive.load(), 0);
        EXPECT_EQ(Rec(0).cursorX, 0) << "Enter moves to the next line";
    }
    EXPECT_EQ(std::wstring(qubState.lastLine), L"ok");
    // No terminator in the block: read no further than the block. Wine keeps
    // the last unit of such a block as its terminator, Windows may not.
    const std::wstring bare(64, L'r');
    SetClipboardUnits(bare.c_str(), bare.size());
    ASSERT_TRUE(StartInput(0));
    PasteIntoInput(0);
    SendChars(w, L"\r");
    ASSERT_TRUE(WaitRoutineEnd());
    EXPECT_EQ(Line().find_first_not_of('r'), std::string::npos);
    EXPECT_TRUE(Line().size() == 63 || Line().size() == 64) << Line().size();
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
    CloseWindow(1);
}

TEST(LineInput, CharactersTypedBehindEnterWaitForTheNextInput) {
    ASSERT_EQ(qubState.keyRead.load(), -1) << "an earlier test left keys in the ring";
    char first[kInputLineBytes] = "#", second[kInputLineBytes] = "#";
    ASSERT_TRUE(RunOnWorker([&] {
        QUB_OpenTextWindow(0, 20, 20, 400, 300);
        QUB_SelectTextWindow(0);
        // Queued before the input waits, so that its first pump puts the whole
        // burst into the ring before anything is taken.
        PostChars(Rec(0).window, L"one\rtwo\r");
        QUB_InputLine(first);
        QUB_InputLine(second);
    }));
    EXPECT_STREQ(first, "one");
    EXPECT_STREQ(second, "two");
}

TEST(LineInput, CharactersTypedWhileNoInputWaitsAreNotStored) {
    RunOnWorker([] { QUB_OpenTextWindow(0, 20, 20, 400, 300); });
    SendChars(Rec(0).window, L"zz");
    EXPECT_EQ(qubState.keyRead.load(), -1);
}

// The main window's commands prompt on the GUI thread. The window they get
// must still be the worker's (only the worker pumps for it while the prompt
// waits), and the recall crosses the threads. A third thread types, as the
// GUI thread is busy in the input.
DWORD WINAPI TypeAtTheGuiPrompt(LPVOID) {
    HWND w = qubState.textWindows[0].window;
    if (PollUntil([] { return qubState.lineInputActive.load() == 1; })) {
        SendChars(w, L"ab\b");
        SendMessageW(w, WM_KEYDOWN, VK_UP, 0);
        if (PollUntil([] { return qubState.inputMode.load() == 0; })) {
            SendChars(w, L"!\r");
            return 0;
        }
    }
    qubState.lineInputActive.store(0);  // never leave the GUI thread waiting
    return 0;
}

TEST(LineInput, APromptOnTheGuiThreadUsesTheWorkersWindow) {
    RunOnWorker([] {
        for (int i = 0; i < kTextSlots; ++i) QUB_CloseTextWindow(i);
    });
    std::memcpy(qubState.lastLine, L"up", 3 * sizeof(wchar_t));
    qubState.currentTextWindow = 5;
    QUB_ShowTextWindow();
    ASSERT_TRUE(Rec(0).inUse);
    EXPECT_EQ(qubState.currentTextWindow, 0);
    EXPECT_EQ(GetWindowThreadProcessId(Rec(0).window, nullptr), GetThreadId(qubState.workerThread));
    RECT frame;
    GetWindowRect(Rec(0).window, &frame);
    EXPECT_EQ((std::vector<LONG>{frame.left, frame.top, Rec(0).width}),
              (std::vector<LONG>{GetSystemMetrics(SM_CXFULLSCREEN) / 2 - 200,
                                 GetSystemMetrics(SM_CYFULLSCREEN) / 2 - 150, 400}))
        << "centred";
    QUB_Printf("Number[X]=>");
    HANDLE typist = CreateThread(nullptr, 0, TypeAtTheGuiPrompt, nullptr, 0, nullptr);
    ASSERT_NE(typist, nullptr);
    char line[kInputLineBytes];
    QUB_InputLine(line);
    WaitForSingleObject(typist, 10000);
    CloseHandle(typist);
    EXPECT_EQ(std::string(line), "aup!");
    EXPECT_EQ(qubState.lineInputActive.load(), 0);
    CloseWindow(0);
}

// --- log files ----------------------------------------------------------------

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
    });
    EXPECT_EQ(results, (std::vector<int>{1, 0, 0, 0, 1}));

    // A typed line is logged with a line end.
    ASSERT_TRUE(StartInput(5));
    PostChars(Rec(5).window, L"typed\r");
    ASSERT_TRUE(WaitRoutineEnd());

    // Ctrl+C copies the log, not a selection.
    const std::string expected = "one 1\r\ntwo\r\ntyped\r\n";
    SetClipboardUnits(L"old", 4);
    RunOnWorker([] { AddCtrlControls(5); });
    HWND w = Rec(5).window;
    PostMessageW(w, kMsgCtrlDown, 0, 0);
    PostMessageW(w, WM_KEYDOWN, 'C', 0);
    PostMessageW(w, kMsgCtrlUp, 0, 0);
    // A pump on the worker handles the keys and the command they post. (Polling
    // the clipboard instead would hold it open when the copy wants it.)
    RunOnWorker([] { QUB_PumpMessages(); });
    EXPECT_EQ(ClipboardText(), expected) << "exactly the file";
    EXPECT_EQ(GetClipboardOwner(), w) << "Windows refuses data on a clipboard with no owner";
    EXPECT_EQ(ReadFileBytes(name), expected);
    EXPECT_EQ(Rec(5).logState, 1) << "logging goes on after a copy";

    RunOnWorker([] { QUB_Printf("three\n"); });
    CloseWindow(5);  // flushes and closes the stream
    EXPECT_EQ(ReadFileBytes(name), expected + "three\r\n");

    // The slot opened again starts without a log, and a new log starts a new file.
    int again = -1;
    RunOnWorker([&] {
        QUB_OpenTextWindow(5, 0, 0, 300, 200);
        again = QUB_StartLog(5);
        QUB_Printf("fresh\n");
        QUB_CloseTextWindow(5);
    });
    EXPECT_EQ(again, 0);
    EXPECT_EQ(ReadFileBytes(name), "fresh\r\n");
    DeleteFileW(name.c_str());
}

TEST(TextLog, BadWindowNumbers) {
    const int results[] = {QUB_StartLog(300), QUB_StopLog(-1), QUB_CopyLog(256), QUB_StartLog(200)};
    EXPECT_EQ(std::vector<int>(results, results + 4),
              (std::vector<int>{3, 2, 4, 3}));  // last: not open
}

// A log that cannot be made, and a copy without a log file: the message the
// user sees, the result, and nothing changed.
TEST(TextLog, FailuresAreShownAndChangeNothing) {
    wchar_t saved[kFolderUnits];
    std::memcpy(saved, qubState.startFolder, sizeof saved);
    DeleteFileW(LogFileName(7).c_str());
    SetClipboardUnits(L"keep", 5);
    const struct {
        const wchar_t* folder;
        bool copy;
        const wchar_t* caption;
        const wchar_t* text;
    } rows[] = {
        {L"C:\\qub-no-such-folder\\deeper\\", false, L"Error", L"Can't create file for LOG!"},
        {saved, true, L"Pause", L"Can't open LOG file!"}};
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
        EXPECT_EQ(result.load(), 2);
        EXPECT_EQ(Rec(7).logState, 0);
        EXPECT_EQ(ClipboardText(), "keep");
    }
    CloseWindow(7);
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
