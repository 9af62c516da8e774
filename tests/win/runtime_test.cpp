// The runtime core in-process: start-up, Start/Stop, the request hand-off
// between the threads, the popup menu and the ways the program ends.
#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "core/library_state.h"
#include "core/main_menu.h"
#include "core/runtime.h"
#include "core/worker.h"
#include "image/image_window.h"
#include "image/toolbox_menu.h"
#include "tests/win/win_test_support.h"

namespace {

// A routine that runs until Stop, pumping as a user routine should.
void RunUntilStopped() {
    while (qubState.stopRequested.load() == 0) {
        QUB_PumpMessages();
        Sleep(1);
    }
}

bool RoutineEnded() {
    return PumpUntil([] { return qubState.routineRunning.load() == 0; });
}

TEST(StartUp, MainWindowStatusMenuAndFolders) {
    const LibraryState& s = qubState;
    EXPECT_EQ(FindWindowW(L"qublib_mw0", nullptr), s.mainWindow);
    EXPECT_EQ(GetWindowLongW(s.mainWindow, GWL_STYLE) & (WS_VISIBLE | WS_CAPTION | WS_SYSMENU),
              WS_VISIBLE | WS_CAPTION) << "no system menu, so no close box";
    HDC screen = GetDC(nullptr);
    const std::wstring text = std::to_wstring(GetDeviceCaps(screen, BITSPIXEL)) + L"-bit color";
    ReleaseDC(nullptr, screen);
    EXPECT_EQ(WindowText(s.statusControl), std::wstring(18 - text.size() / 2, L' ') + text);
    EXPECT_EQ(MenuLines(GetMenu(s.mainWindow)),
              ExpectedMenu(product::Texts(product::kMainMenuBar)));
    wchar_t cwd[MAX_PATH];
    GetCurrentDirectoryW(MAX_PATH, cwd);
    EXPECT_EQ(std::wstring(s.loadFolder) + L"|" + s.saveFolder, std::wstring(cwd) + L"|" + cwd);
    EXPECT_TRUE(PumpUntil([] { return qubState.mouseTracking.load() == 1; })) << "the worker's";
}

// Start twice runs the routine once and refuses drops while it runs; the key C
// stops it.
TEST(Worker, StartTwiceRunsOnceAndTheKeyCStops) {
    std::atomic<int> runs{0};
    g_testRoutine = [&runs] {
        ++runs;
        RunUntilStopped();
    };
    SendMainCommand(kCmdStart);
    SendMainCommand(kCmdStart);
    ASSERT_TRUE(PumpUntil([] { return qubState.routineRunning.load() == 1; }));
    EXPECT_FALSE(GetWindowLongW(qubState.mainWindow, GWL_EXSTYLE) & WS_EX_ACCEPTFILES);
    PostMessageW(qubState.mainWindow, WM_KEYDOWN, 'C', 0);
    ASSERT_TRUE(RoutineEnded());
    PumpFor(30);
    EXPECT_EQ(runs.load() * 10 + qubState.startRequested + qubState.stopRequested, 10);
    EXPECT_TRUE(GetWindowLongW(qubState.mainWindow, GWL_EXSTYLE) & WS_EX_ACCEPTFILES);
}

// A second requester entered from inside the first one's pump, while a routine
// holds the worker: both wait, and each gets its own result.
std::atomic<int> g_innerResult{-100}, g_innerSawOuterServed{0};

LRESULT CALLBACK InnerRequesterProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != WM_APP) return DefWindowProcW(window, message, wParam, lParam);
    g_innerResult = QUB_RequestCreateImage(300, "inner", 10, 10, 32);
    g_innerSawOuterServed = qubState.requestDone.load();
    return 0;
}

TEST(Requests, ReenteredRequestersWaitForTheRoutineAndKeepTheirResults) {
    HWND helper = MessageWindow(InnerRequesterProc);
    static std::atomic<int> release{0}, sawPending{0};
    g_testRoutine = [] {
        while (!release.load()) {
            sawPending += qubState.requestCode.load() != 0;
            QUB_PumpMessages();
            Sleep(1);
        }
    };
    ASSERT_TRUE(StartRoutine());
    PostMessageW(helper, WM_APP, 0, 0);
    std::thread releaser([] {
        Sleep(300);
        release = 1;
    });
    const int outer = QUB_RequestCreateImage(7, "outer", 10, 10, 16);
    releaser.join();
    EXPECT_GT(sawPending.load(), 50) << "pending for as long as the routine ran";
    EXPECT_EQ(outer, 3) << "the outer requester keeps its own result";
    EXPECT_EQ(g_innerResult.load(), 4);
    EXPECT_EQ(g_innerSawOuterServed.load(), 1);
    ASSERT_TRUE(RoutineEnded());
    DestroyWindow(helper);
}

TEST(PopupMenu, GreyedWhileTheRoutineRunsOrAnInputWaitsAndAbsentWhilePicking) {
    const auto popup = [](bool grey) {
        return ExpectedMenu(product::Texts(product::kMainPopup),
                            [grey](product::MenuMark) { return grey; });
    };
    MenuSpy spy(qubState.mainWindow);
    EXPECT_EQ(spy.Open(), popup(false));
    g_testRoutine = RunUntilStopped;
    ASSERT_TRUE(StartRoutine());
    EXPECT_EQ(spy.Open(), popup(true));
    ASSERT_TRUE(StopRoutine());
    qubState.lineInputActive = 1;
    EXPECT_EQ(spy.Open(WM_NCRBUTTONDOWN), popup(true));
    qubState.lineInputActive = 0;
    qubState.pickActive = 1;
    EXPECT_TRUE(spy.Open().empty()) << "no popup while a pick tool waits";
    qubState.pickActive = 0;
}

// Runs last: Exit with an idle worker ends it without force, and the quit
// message taken by a nested pump still ends the main loop.
TEST(ZExit, IdleWorkerEndsWithoutForceAndTheLoopEnds) {
    HANDLE worker = DuplicateWorker();
    qubState.lineInputActive = 1;
    PostMessageW(qubState.mainWindow, WM_KEYDOWN, VK_ESCAPE, 0);
    // This pump dispatches Exit, whose window destruction posts the quit message.
    PumpUntil([] { return qubState.quitReceived.load() != 0; }, 5000);
    EXPECT_FALSE(IsWindow(qubState.mainWindow));
    EXPECT_EQ((std::vector<int>{qubState.quitReceived, qubState.terminateState,
                                qubState.lineInputActive, qubState.stopRequested}),
              (std::vector<int>{1, 2, 0, 1}));
    EXPECT_EQ(WorkerEndCode(worker), 0u) << "ended by its own loop, not by TerminateThread";
    EXPECT_EQ(QUB_RequestCreateImage(0, "late", 10, 10, 32), kRequestWorkerGone);
    // The loop must end at once; a quit after 3 s keeps a failure from hanging.
    static const DWORD gui = GetCurrentThreadId();
    std::thread fallback([] {
        Sleep(3000);
        PostThreadMessageW(gui, WM_QUIT, 7, 0);
    });
    EXPECT_EQ(QUB_RunMessageLoop(), 0) << "7 would mean the loop waited for the fallback";
    fallback.detach();
}

// Run on its own (see the test list): a routine that ignores Stop is ended by
// force about 2 s after Exit, and a request waiting for it fails.
TEST(ExitForced, RoutineIgnoringStopIsTerminatedAndWaitingRequestFails) {
    g_testRoutine = [] {
        for (;;) Sleep(5);
    };
    ASSERT_TRUE(StartRoutine());
    HANDLE worker = DuplicateWorker();
    // Exit arrives through the requester's own pump.
    PostMessageW(qubState.mainWindow, WM_COMMAND, kCmdExit, 0);
    const uint32_t start = QUB_Milliseconds();
    EXPECT_EQ(QUB_RequestCreateImage(0, "never", 10, 10, 32), kRequestWorkerGone);
    const uint32_t elapsed = QUB_ElapsedMs(QUB_Milliseconds(), start);
    EXPECT_TRUE(elapsed >= 2000u && elapsed < 10000u) << elapsed << " ms: a 2 s grace";
    EXPECT_EQ(WorkerEndCode(worker), 1u) << "ended by TerminateThread";
    EXPECT_EQ((std::vector<int>{qubState.terminateState, qubState.routineRunning,
                                qubState.requestCode, IsWindow(qubState.mainWindow)}),
              (std::vector<int>{2, 1, 0, 0}));
}

// Run on its own: a routine that ends the worker thread itself. A request
// waiting for it fails, freeing the bitmap it carried, and so do later ones.
TEST(WorkerLost, WaitingAndLaterRequestsFail) {
    g_testRoutine = [] {
        Sleep(300);
        ExitThread(3);
    };
    ASSERT_TRUE(StartRoutine());
    HDC screen = GetDC(nullptr);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, 4, 4);
    ReleaseDC(nullptr, screen);
    QUB_RequestPutBitmap(bitmap);
    EXPECT_EQ(GetObjectType(bitmap), 0u) << "the unserved bitmap is deleted";
    EXPECT_EQ(qubState.terminateState.load(), 0) << "no Exit was given";
    EXPECT_EQ(QUB_RequestCreateImage(0, "late", 10, 10, 32), kRequestWorkerGone);
}

// Run on its own: Alt+F4 while the routine runs takes the Exit path: the
// routine is asked to stop and returns, and the worker ends by itself.
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
    EXPECT_EQ(WorkerEndCode(worker), 0u);
}

// Run on its own: Exit while the toolbox's resize asks its first size ends the
// command there; a second prompt would hold the worker until it was terminated.
TEST(ExitDuringPrompt, ResizeAsksNoMoreAndTheWorkerEndsByItself) {
    g_testRoutine = [] { QUB_CreateImage(0, "resized", -1, -1, 40, 30, 100); };
    ASSERT_TRUE(StartRoutine() && RoutineEnded());
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
