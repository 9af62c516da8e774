// The runtime in-process: start-up, the request hand-off, the popup menu, the
// stereo routine losing a working window, and the ways the program ends.
#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "app/stereo_routine_win.h"
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

// The status line's centring is tested natively.
TEST(StartUp, MainWindowStatusAndMenu) {
    const LibraryState& s = qubState;
    EXPECT_EQ(FindWindowW(L"qublib_mw0", nullptr), s.mainWindow);
    EXPECT_EQ(GetWindowLongW(s.mainWindow, GWL_STYLE) & (WS_VISIBLE | WS_CAPTION | WS_SYSMENU),
              WS_VISIBLE | WS_CAPTION) << "no system menu, so no close box";
    EXPECT_NE(WindowText(s.statusControl).find(L"-bit color"), std::wstring::npos);
    EXPECT_EQ(MenuLines(GetMenu(s.mainWindow)),
              ExpectedMenu(product::Texts(product::kMainMenuBar)));
    EXPECT_TRUE(PumpUntil([] { return qubState.mouseTracking.load() == 1; })) << "the worker's";
}

// A second requester entered (by a timer) from inside the first one's pump,
// while a routine holds the worker: both wait, and each gets its own result.
std::atomic<int> g_innerResult{-100}, g_innerSawOuterServed{0};

void CALLBACK InnerRequester(HWND, UINT, UINT_PTR timer, DWORD) {
    KillTimer(nullptr, timer);
    g_innerResult = QUB_RequestCreateImage(300, "inner", 10, 10, 32);
    g_innerSawOuterServed = qubState.requestDone.load();
}

TEST(Requests, ReenteredRequestersWaitForTheRoutineAndKeepTheirResults) {
    static std::atomic<int> release{0};
    g_testRoutine = [] {
        while (!release.load()) {
            QUB_PumpMessages();
            Sleep(1);
        }
    };
    ASSERT_TRUE(StartRoutine());
    SetTimer(nullptr, 0, 1, InnerRequester);
    std::thread releaser([] {
        Sleep(300);
        release = 1;
    });
    const int outer = QUB_RequestCreateImage(7, "outer", 10, 10, 16);
    releaser.join();
    EXPECT_EQ(outer, 3) << "the outer requester keeps its own result";
    EXPECT_EQ(g_innerResult.load(), 4);
    EXPECT_EQ(g_innerSawOuterServed.load(), 1);
    ASSERT_TRUE(RoutineEnded());
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

int FindTitled(const char* title) {
    for (int n = 0; n < kImageSlots; ++n)
        if (qubState.images[n].inUse && std::strcmp(qubState.images[n].title, title) == 0) return n;
    return -1;
}

// Closing "Right side", halving "Preview" or turning "buruburuL" under the
// running routine: it must not compose into a released or smaller buffer, so
// it ends and takes its windows with it; the user's window in slot 1 stays.
TEST(StereoRoutine, AWorkingWindowClosedOrChangedEndsTheRunSafely) {
    const struct { const char* title; UINT message; WPARAM command; } changes[] = {
        {"Right side", WM_CLOSE, 0}, {"Preview", WM_COMMAND, kTbSize50},
        {"buruburuL", WM_COMMAND, kTbRotateRight}};
    static std::atomic<int> done{0};
    for (const auto& c : changes) {
        SCOPED_TRACE(c.title);
        g_testRoutine = [] {
            done = 0;
            QUB_CreateImage(1, "mine", -1, -1, 4, 3, 100);
            if (QUB_CreateImage(0, "pair", -1, -1, 64, 40, 100) == 0)
                for (int k = 0; k < 64 * 40; ++k) qubState.imageBits32[0][k] = 0x10203u * k;
            StereoRoutine();
            done = 1;
        };
        ASSERT_TRUE(StartRoutine());
        ASSERT_TRUE(PumpUntil([] { return qubState.buttonBox.window != nullptr; }));
        EXPECT_GT(FindTitled("Left side"), 1) << "slot 1 is taken: the next free one";
        const int slot = FindTitled(c.title);
        ASSERT_GE(slot, 0);
        PostMessageW(qubState.images[slot].window, c.message, c.command, 0);
        EXPECT_TRUE(PumpUntil([] { return done.load() == 1; }));
        ASSERT_TRUE(PumpUntil([] { return qubState.routineRunning.load() == 0; }));
        EXPECT_EQ(qubState.buttonBox.window, nullptr);
        EXPECT_EQ(FindTitled("Left side") + FindTitled(c.title) + FindTitled("pair"), -3);
        EXPECT_EQ(FindTitled("mine"), 1);
    }
}

// Run on its own (see the test list): a routine that ignores Stop is ended by
// force about 2 s after Exit, and a request waiting for it fails.
TEST(ExitForced, RoutineIgnoringStopIsTerminatedAndWaitingRequestFails) {
    g_testRoutine = [] {
        for (;;) Sleep(5);
    };
    ASSERT_TRUE(StartRoutine());
    uint32_t elapsed = 0;
    EXPECT_EQ(WorkerEndCode([&elapsed] {
        // Exit arrives through the requester's own pump.
        PostMessageW(qubState.mainWindow, WM_COMMAND, kCmdExit, 0);
        const uint32_t start = QUB_Milliseconds();
        EXPECT_EQ(QUB_RequestCreateImage(0, "never", 10, 10, 32), kRequestWorkerGone);
        elapsed = QUB_ElapsedMs(QUB_Milliseconds(), start);
    }), 1u) << "ended by TerminateThread";
    EXPECT_TRUE(elapsed >= 2000u && elapsed < 10000u) << elapsed << " ms: a 2 s grace";
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
    EXPECT_EQ(WorkerEndCode([] { PostMessageW(qubState.mainWindow, WM_SYSCOMMAND, SC_CLOSE, 0); }),
              0u);
    EXPECT_EQ(returned.load(), 1);
    EXPECT_FALSE(IsWindow(qubState.mainWindow));
}

// Run on its own: Exit while the toolbox's resize asks its first size ends the
// command there; a second prompt would hold the worker until it was terminated.
TEST(ExitDuringPrompt, ResizeAsksNoMoreAndTheWorkerEndsByItself) {
    g_testRoutine = [] { QUB_CreateImage(0, "resized", -1, -1, 40, 30, 100); };
    ASSERT_TRUE(StartRoutine() && RoutineEnded());
    g_testRoutine = nullptr;
    PostMessageW(qubState.images[0].window, WM_COMMAND, kTbResizePrompt, 0);
    ASSERT_TRUE(PumpUntil([] { return qubState.lineInputActive.load() != 0; }));
    EXPECT_EQ(WorkerEndCode([] { PostMessageW(qubState.mainWindow, WM_COMMAND, kCmdExit, 0); }),
              0u) << "a second prompt would have been terminated";
}

}  // namespace

int main(int argc, char** argv) { return RunWinTests(argc, argv); }
