// The runtime core in-process: start-up, the main window, Start/Stop, the
// request hand-off, the popup menu and Exit.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <string>
#include <vector>

#include "core/library_state.h"
#include "core/main_menu.h"
#include "core/runtime.h"
#include "core/worker.h"
#include "image/image_window.h"
#include "image/toolbox_menu.h"
#include "tests/win/win_test_support.h"

namespace {

using Lines = std::vector<std::wstring>;

// A routine that runs until Stop, pumping as a user routine should.
void RunUntilStopped() {
    while (qubState.stopRequested.load() == 0) {
        QUB_PumpMessages();
        Sleep(1);
    }
}

// Runs `action` on a thread of its own after `ms` milliseconds.
struct Delayed {
    DWORD ms;
    void (*action)();
};
DWORD WINAPI RunDelayed(LPVOID p) {
    Sleep(static_cast<Delayed*>(p)->ms);
    static_cast<Delayed*>(p)->action();
    return 0;
}

bool RoutineEnded() {
    return PumpUntil([] { return qubState.routineRunning.load() == 0; });
}

TEST(StartUp, MainWindowStatusMenuAndFolders) {
    const LibraryState& s = qubState;
    EXPECT_EQ(FindWindowW(L"qublib_mw0", nullptr), s.mainWindow);
    const LONG style = GetWindowLongW(s.mainWindow, GWL_STYLE);
    EXPECT_EQ(style & (WS_VISIBLE | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX),
              WS_VISIBLE | WS_CAPTION)
        << "no system menu, so no close or minimise box";
    // At rest the bottom edge is at SM_CYFULLSCREEN + SM_CYCAPTION (55 pixels
    // below where the drop-in starts), unless that lies below the work area,
    // as it does under Wine.
    RECT r, work;
    GetWindowRect(s.mainWindow, &r);
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    const int caption = GetSystemMetrics(SM_CYCAPTION);
    const int bottom = std::min<int>(GetSystemMetrics(SM_CYFULLSCREEN) + caption, work.bottom);
    EXPECT_EQ((std::vector<LONG>{r.left, r.top, r.right - r.left, r.bottom}),
              (std::vector<LONG>{(GetSystemMetrics(SM_CXFULLSCREEN) - 240) / 2,
                                 bottom - caption - 58, 240, bottom}));

    HDC screen = GetDC(nullptr);
    const int depth = GetDeviceCaps(screen, BITSPIXEL);
    ReleaseDC(nullptr, screen);
    const std::wstring text = std::to_wstring(depth) + L"-bit color";
    EXPECT_EQ(WindowText(s.statusControl), std::wstring(18 - text.size() / 2, L' ') + text);
    EXPECT_EQ(GetDlgCtrlID(s.statusControl), kStatusControlId);
    // The menu bar the user sees.
    EXPECT_EQ(MenuLines(GetMenu(s.mainWindow)),
              (Lines{L"1001 Start(&S)", L"1003 Stop(&C)", L"1002 Exit(&X)"}));

    wchar_t cwd[MAX_PATH];
    GetCurrentDirectoryW(MAX_PATH, cwd);
    EXPECT_EQ(std::wstring(s.loadFolder) + L"|" + s.saveFolder, std::wstring(cwd) + L"|" + cwd);
    EXPECT_EQ(std::wstring(s.startFolder),
              std::wstring(cwd) + (cwd[wcslen(cwd) - 1] == L'\\' ? L"" : L"\\"));
    EXPECT_EQ(s.startFolderA[strlen(s.startFolderA) - 1], '\\');
    EXPECT_EQ(s.qub_tttc, 0xFFFFFFu);
    EXPECT_NE(s.ttFont, nullptr);
    EXPECT_TRUE(PumpUntil([] { return qubState.mouseTracking.load() == 1; }))
        << "the worker starts tracking the mouse as soon as it runs";
}

// Start twice runs the routine once and refuses drops while it runs; the keys
// C and S stop and start it again.
TEST(Worker, StartAndStopByCommandAndKey) {
    std::atomic<int> runs{0};
    g_testRoutine = [&runs] {
        ++runs;
        RunUntilStopped();
    };
    SendMainCommand(kCmdStart);
    SendMainCommand(kCmdStart);
    ASSERT_TRUE(PumpUntil([] { return qubState.routineRunning.load() == 1; }));
    EXPECT_FALSE(GetWindowLongW(qubState.mainWindow, GWL_EXSTYLE) & WS_EX_ACCEPTFILES);
    SendMainCommand(kCmdStart);  // while running: nothing
    PumpFor(50);
    PostMessageW(qubState.mainWindow, WM_KEYDOWN, 'C', 0);
    ASSERT_TRUE(PumpUntil([] { return qubState.routineRunning.load() == 0; }));
    PumpFor(30);
    EXPECT_EQ(runs.load(), 1);
    EXPECT_EQ(qubState.startRequested.load() + qubState.stopRequested.load(), 0);
    EXPECT_TRUE(GetWindowLongW(qubState.mainWindow, GWL_EXSTYLE) & WS_EX_ACCEPTFILES);
    PostMessageW(qubState.mainWindow, WM_KEYDOWN, 'S', 0);
    ASSERT_TRUE(PumpUntil([] { return qubState.routineRunning.load() == 1; }));
    ASSERT_TRUE(StopRoutine());
    EXPECT_EQ(runs.load(), 2);
    g_testRoutine = nullptr;
}

// Results as the worker gives them; without a worker thread (as after a
// failed CreateThread) a request fails at once and a bitmap handed over is
// not leaked.
TEST(Requests, ServedByTheWorkerOrFailedWithoutIt) {
    const struct { int slot, depth, code; bool worker; } rows[] = {
        {300, 32, 4, true}, {-1, 32, 4, true}, {5, 16, 3, true},
        {0, 32, kRequestWorkerGone, false}, {300, 32, 4, true}};
    const HANDLE worker = qubState.workerThread;
    for (const auto& r : rows) {
        qubState.workerThread = r.worker ? worker : nullptr;
        EXPECT_EQ(QUB_RequestCreateImage(r.slot, "x", 10, 10, r.depth), r.code)
            << r.slot << r.worker;
        EXPECT_EQ(qubState.requestCode.load(), 0);
    }
    qubState.workerThread = nullptr;
    HDC screen = GetDC(nullptr);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, 4, 4);
    ReleaseDC(nullptr, screen);
    QUB_RequestPutBitmap(bitmap);
    EXPECT_EQ(GetObjectType(bitmap), 0u);
    qubState.workerThread = worker;
}

TEST(Requests, LoadIntoAClosedSlotTouchesNoOtherWindow) {
    ASSERT_EQ(QUB_RequestCreateImage(5, "mine", 4, 4, 32), 0);
    const int current = qubState.currentImage, history = qubState.imageHistory[0];
    EXPECT_EQ(QUB_RequestLoadImage(200, "whatever.png"), 2);
    EXPECT_EQ(qubState.currentImage, current);
    EXPECT_EQ(qubState.imageHistory[0], history);
    g_testRoutine = [] { QUB_DestroyImage(5); };
    ASSERT_TRUE(StartRoutine());
    ASSERT_TRUE(RoutineEnded());
}

TEST(Requests, PostedWhileTheRoutineRunsIsServedAfterItReturns) {
    std::atomic<int> sawPending{0}, returned{0};
    // The routine watches the request block: the request must stay pending
    // for as long as it runs.
    g_testRoutine = [&] {
        const uint32_t start = QUB_Milliseconds();
        while (QUB_ElapsedMs(QUB_Milliseconds(), start) < 5000 && sawPending.load() < 50) {
            if (qubState.requestCode.load() != 0) ++sawPending;
            QUB_PumpMessages();
            Sleep(1);
        }
        returned = 1;
    };
    ASSERT_TRUE(StartRoutine());
    EXPECT_EQ(QUB_RequestCreateImage(300, "x", 10, 10, 32), 4);
    EXPECT_EQ(returned.load(), 1);
    EXPECT_GE(sawPending.load(), 50);
    ASSERT_TRUE(RoutineEnded());
}

// A window of the GUI thread whose message posts a second request from inside
// the first requester's pump.
std::atomic<int> g_innerResult{-100}, g_innerSawOuterServed{0};

LRESULT CALLBACK InnerRequesterProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_APP) {
        g_innerResult = QUB_RequestCreateImage(300, "inner", 10, 10, 32);
        g_innerSawOuterServed = qubState.requestDone.load();
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

TEST(Requests, ReenteredRequestersSerialiseAndKeepTheirResults) {
    HWND helper = MessageWindow(InnerRequesterProc);
    ASSERT_NE(helper, nullptr);
    // Hold the worker in a routine so that the outer request stays pending
    // while the inner requester is entered.
    static std::atomic<int> release{0};
    g_testRoutine = [] {
        while (!release.load()) {
            QUB_PumpMessages();
            Sleep(1);
        }
    };
    ASSERT_TRUE(StartRoutine());
    PostMessageW(helper, WM_APP, 0, 0);
    // Let the routine end a little after the inner requester has started to wait.
    static Delayed later = {200, [] { release = 1; }};
    HANDLE releaser = CreateThread(nullptr, 0, RunDelayed, &later, 0, nullptr);
    const int outer = QUB_RequestCreateImage(7, "outer", 10, 10, 16);
    WaitForSingleObject(releaser, 5000);
    CloseHandle(releaser);
    EXPECT_EQ(outer, 3) << "the outer requester keeps its own result";
    EXPECT_EQ(g_innerResult.load(), 4);
    EXPECT_EQ(g_innerSawOuterServed.load(), 1);
    ASSERT_TRUE(RoutineEnded());
    DestroyWindow(helper);
}

TEST(PopupMenu, GreyedWhileTheRoutineRunsOrAnInputWaitsAndAbsentWhilePicking) {
    // The popup the user sees; the ids of the entries that stay enabled.
    const Lines popup = {L"1026 Paste\tCtrl+V", L"-", L"1001 Start", L"1003 Stop", L"1002 E&xit",
                         L"-", L"1027 Image Window", L"1028 Text Window", L"1044 Input Box",
                         L"1051 Button Box", L"-", L"1045 &Window Info.\tCtrl+W"};
    Lines greyed = popup;
    for (std::wstring& line : greyed)
        if (line != L"-" && line.compare(0, 4, L"1003") != 0 && line.compare(0, 4, L"1002") != 0)
            line += L" [grey]";
    MenuSpy spy(qubState.mainWindow);
    EXPECT_EQ(spy.Open(), popup);
    g_testRoutine = RunUntilStopped;
    ASSERT_TRUE(StartRoutine());
    EXPECT_EQ(spy.Open(), greyed);
    ASSERT_TRUE(StopRoutine());
    qubState.lineInputActive = 1;
    EXPECT_EQ(spy.Open(WM_NCRBUTTONDOWN), greyed);
    qubState.lineInputActive = 0;
    qubState.pickActive = 1;
    EXPECT_EQ(spy.Open(), Lines{}) << "no popup while a pick tool waits";
    qubState.pickActive = 0;
}

TEST(Snapping, CtrlDragSnapsTheMainWindowToTheScreenEdge) {
    QUB_CollectSnapRects();
    RECT now;
    GetWindowRect(qubState.mainWindow, &now);
    const int w = now.right - now.left, h = now.bottom - now.top;
    for (const bool ctrl : {false, true}) {
        RECT proposed = {5, 300, 5 + w, 300 + h};
        SetKeyState(VK_CONTROL, ctrl);
        SendMessageW(qubState.mainWindow, WM_MOVING, WMSZ_LEFT,
                     reinterpret_cast<LPARAM>(&proposed));
        SetKeyState(VK_CONTROL, false);
        EXPECT_EQ(proposed.left, ctrl ? 0 : 5) << "snaps only with Ctrl";
        EXPECT_EQ(proposed.right, ctrl ? w : 5 + w);
        EXPECT_EQ(proposed.top, 300);
    }
}

// Runs last: Exit with an idle worker ends it without force, and the quit
// message taken by a nested pump still ends the main loop.
TEST(ZExit, IdleWorkerEndsWithoutForceAndTheLoopEnds) {
    HANDLE worker = DuplicateWorker();
    qubState.lineInputActive = 1;
    PostMessageW(qubState.mainWindow, WM_KEYDOWN, VK_ESCAPE, 0);
    // This pump dispatches Exit, whose window destruction posts the quit
    // message, which the same pump then takes.
    PumpUntil([] { return qubState.quitReceived.load() != 0; }, 5000);
    EXPECT_EQ(qubState.quitReceived.load(), 1);
    EXPECT_FALSE(IsWindow(qubState.mainWindow));
    EXPECT_EQ(qubState.terminateState.load(), 2);
    EXPECT_EQ(qubState.lineInputActive.load(), 0);
    EXPECT_EQ(qubState.stopRequested.load(), 1);
    EXPECT_EQ(WorkerEndCode(worker), 0u) << "ended by its own loop, not by TerminateThread";
    EXPECT_EQ(QUB_RequestCreateImage(0, "late", 10, 10, 32), kRequestWorkerGone);

    // The main loop must end at once although the quit message is gone; a
    // fallback quit after 3 s keeps a failure from hanging the run.
    static DWORD gui = GetCurrentThreadId();
    static Delayed quit = {3000, [] { PostThreadMessageW(gui, WM_QUIT, 7, 0); }};
    HANDLE fallback = CreateThread(nullptr, 0, RunDelayed, &quit, 0, nullptr);
    EXPECT_EQ(QUB_RunMessageLoop(), 0) << "7 would mean the loop waited for the fallback";
    TerminateThread(fallback, 0);
    CloseHandle(fallback);
}

// Run on its own (see the test list): a routine that ignores Stop is ended by
// force about 2 s after Exit, and a request that was waiting for it fails
// instead of waiting for ever.
TEST(ExitForced, RoutineIgnoringStopIsTerminatedAndWaitingRequestFails) {
    g_testRoutine = [] {
        for (;;) Sleep(5);
    };
    ASSERT_TRUE(StartRoutine());
    HANDLE worker = DuplicateWorker();
    // The request cannot be served while the routine runs; Exit arrives
    // through the requester's own pump.
    PostMessageW(qubState.mainWindow, WM_COMMAND, kCmdExit, 0);
    const uint32_t start = QUB_Milliseconds();
    EXPECT_EQ(QUB_RequestCreateImage(0, "never", 10, 10, 32), kRequestWorkerGone);
    const uint32_t elapsed = QUB_ElapsedMs(QUB_Milliseconds(), start);
    EXPECT_GE(elapsed, 2000u) << "the routine gets its 2 s grace";
    EXPECT_LT(elapsed, 10000u);
    EXPECT_EQ(WorkerEndCode(worker), 1u) << "ended by TerminateThread";
    EXPECT_EQ(qubState.terminateState.load(), 2);
    EXPECT_EQ(qubState.routineRunning.load(), 1) << "the routine never returned";
    EXPECT_FALSE(IsWindow(qubState.mainWindow));
    EXPECT_EQ(qubState.requestCode.load(), 0) << "the unserved request was withdrawn";
}

// Run on its own: a routine that ends the worker thread itself. A request
// waiting for it fails when the thread ends, freeing the bitmap it carried,
// and later requests fail at once; Exit still ends the program.
TEST(WorkerLost, WaitingAndLaterRequestsFail) {
    g_testRoutine = [] {
        Sleep(300);
        ExitThread(3);
    };
    ASSERT_TRUE(StartRoutine());
    HDC screen = GetDC(nullptr);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, 4, 4);
    ReleaseDC(nullptr, screen);
    const uint32_t start = QUB_Milliseconds();
    QUB_RequestPutBitmap(bitmap);
    EXPECT_LT(QUB_ElapsedMs(QUB_Milliseconds(), start), 5000u);
    EXPECT_EQ(GetObjectType(bitmap), 0u) << "the unserved bitmap is deleted";
    EXPECT_EQ(qubState.terminateState.load(), 0) << "no Exit was given";
    EXPECT_EQ(QUB_RequestCreateImage(0, "late", 10, 10, 32), kRequestWorkerGone);
    g_testRoutine = nullptr;
}

// Run on its own: Alt+F4 (SC_CLOSE, then WM_CLOSE) while the routine runs
// takes the Exit path: the routine is asked to stop and returns, and the
// worker ends through its own loop before the window goes.
TEST(CloseMessage, SysCloseStopsTheRoutineAndEndsTheWorker) {
    static std::atomic<int> returned{0};
    g_testRoutine = [] {
        RunUntilStopped();
        returned = 1;
    };
    ASSERT_TRUE(StartRoutine());
    HANDLE worker = DuplicateWorker();
    PostMessageW(qubState.mainWindow, WM_SYSCOMMAND, SC_CLOSE, 0);
    PumpUntil([] { return qubState.quitReceived.load() != 0; }, 5000);
    EXPECT_EQ(returned.load(), 1);
    EXPECT_FALSE(IsWindow(qubState.mainWindow));
    EXPECT_EQ(qubState.terminateState.load(), 2);
    EXPECT_EQ(WorkerEndCode(worker), 0u);
}

// Run on its own: Exit while the toolbox's resize asks its first size ends
// the command there; a second prompt would hold the worker until Exit gave up
// waiting and terminated it.
TEST(ExitDuringPrompt, ResizeAsksNoMoreAndTheWorkerEndsByItself) {
    g_testRoutine = [] { QUB_CreateImage(0, "resized", -1, -1, 40, 30, 100); };
    ASSERT_TRUE(StartRoutine());
    ASSERT_TRUE(RoutineEnded());
    g_testRoutine = nullptr;
    HANDLE worker = DuplicateWorker();
    PostMessageW(qubState.images[0].window, WM_COMMAND, kTbResizePrompt, 0);
    ASSERT_TRUE(PumpUntil([] { return qubState.lineInputActive.load() != 0; }));
    PostMessageW(qubState.mainWindow, WM_COMMAND, kCmdExit, 0);
    PumpUntil([] { return qubState.quitReceived.load() != 0; }, 5000);
    EXPECT_EQ(WorkerEndCode(worker), 0u) << "a second prompt would have been terminated";
}

}  // namespace

int main(int argc, char** argv) { return RunWinTests(argc, argv); }
