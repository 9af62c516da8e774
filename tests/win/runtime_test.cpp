// The runtime core in-process: start-up, the main window, Start/Stop, the
// request hand-off, the popup menu and Exit.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <string>

#include "core/library_state.h"
#include "core/main_menu.h"
#include "core/runtime.h"
#include "core/worker.h"
#include "image/image_window.h"
#include "image/toolbox_menu.h"
#include "tests/win/win_test_support.h"

namespace {

std::wstring WindowText(HWND window) {
    wchar_t text[256] = L"";
    GetWindowTextW(window, text, 256);
    return text;
}

// Waits for the worker (a duplicated handle, closed here) and checks that it
// left through its loop's end rather than TerminateThread.
void ExpectEndedByItsOwnLoop(HANDLE worker) {
    DWORD code = 12345;
    EXPECT_EQ(WaitForSingleObject(worker, 1000), WAIT_OBJECT_0);
    GetExitCodeThread(worker, &code);
    EXPECT_EQ(code, 0u) << "ended by its own loop, not by TerminateThread";
    CloseHandle(worker);
}

// A routine that runs until Stop, pumping as a user routine should.
void RunUntilStopped() {
    while (qubState.stopRequested.load() == 0) {
        QUB_PumpMessages();
        Sleep(1);
    }
}

TEST(StartUp, MainWindowClassStyleAndPlace) {
    const LibraryState& s = qubState;
    ASSERT_TRUE(IsWindow(s.mainWindow));
    wchar_t className[32];
    GetClassNameW(s.mainWindow, className, 32);
    EXPECT_EQ(std::wstring(className), L"qublib_mw" + std::to_wstring(s.instanceNumber));
    EXPECT_EQ(s.instanceNumber, 0);

    const LONG style = GetWindowLongW(s.mainWindow, GWL_STYLE);
    EXPECT_TRUE(style & WS_VISIBLE);
    EXPECT_EQ(style & WS_CAPTION, WS_CAPTION);
    EXPECT_FALSE(style & WS_SYSMENU) << "no system menu, so no close or minimise box";
    EXPECT_FALSE(style & WS_MINIMIZEBOX);

    RECT r;
    GetWindowRect(s.mainWindow, &r);
    const int fullW = GetSystemMetrics(SM_CXFULLSCREEN);
    const int fullH = GetSystemMetrics(SM_CYFULLSCREEN);
    const int caption = GetSystemMetrics(SM_CYCAPTION);
    EXPECT_EQ(r.right - r.left, 240);
    EXPECT_EQ(r.bottom - r.top, caption + 58);
    EXPECT_EQ(r.left, (fullW - 240) / 2);
    // At rest the bottom edge is at SM_CYFULLSCREEN + SM_CYCAPTION, unless that
    // lies below the work area, as it does under Wine.
    RECT work;
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    const int bottom = std::min<int>(fullH + caption, work.bottom);
    EXPECT_EQ(r.bottom, bottom) << "the drop-in animation ends 55 pixels below the start";
    EXPECT_EQ(r.top, bottom - caption - 58);
}

TEST(StartUp, StatusLineShowsCentredColourDepth) {
    HDC screen = GetDC(nullptr);
    const int depth = GetDeviceCaps(screen, BITSPIXEL);
    ReleaseDC(nullptr, screen);
    EXPECT_EQ(qubState.colourDepth, depth);
    const std::wstring text = std::to_wstring(depth) + L"-bit color";
    const std::wstring expected(18 - text.size() / 2, L' ');
    EXPECT_EQ(WindowText(qubState.statusControl), expected + text);
    EXPECT_EQ(GetDlgCtrlID(qubState.statusControl), kStatusControlId);
}

TEST(StartUp, MenuBarItems) {
    HMENU menu = GetMenu(qubState.mainWindow);
    ASSERT_NE(menu, nullptr);
    ASSERT_EQ(GetMenuItemCount(menu), 3);
    const wchar_t* texts[3] = {L"Start(&S)", L"Stop(&C)", L"Exit(&X)"};
    const UINT ids[3] = {1001, 1003, 1002};
    for (UINT i = 0; i < 3; ++i) {
        wchar_t text[64];
        MENUITEMINFOW info = {};
        info.cbSize = sizeof info;
        info.fMask = MIIM_ID | MIIM_STATE | MIIM_STRING;
        info.dwTypeData = text;
        info.cch = 64;
        ASSERT_TRUE(GetMenuItemInfoW(menu, i, TRUE, &info));
        EXPECT_EQ(std::wstring(text), texts[i]);
        EXPECT_EQ(info.wID, ids[i]);
        EXPECT_FALSE(info.fState & MFS_GRAYED);
    }
}

TEST(StartUp, FoldersAndFirstValues) {
    const LibraryState& s = qubState;
    wchar_t cwd[MAX_PATH];
    GetCurrentDirectoryW(MAX_PATH, cwd);
    std::wstring withSlash = cwd;
    if (withSlash.back() != L'\\') withSlash += L'\\';
    EXPECT_EQ(std::wstring(s.loadFolder), cwd);
    EXPECT_EQ(std::wstring(s.saveFolder), cwd);
    EXPECT_EQ(std::wstring(s.startFolder), withSlash);
    EXPECT_EQ(s.startFolderA[strlen(s.startFolderA) - 1], '\\');
    EXPECT_EQ(s.qub_tttc, 0xFFFFFFu);
    EXPECT_NE(s.ttFont, nullptr);
    EXPECT_TRUE(PumpUntil([] { return qubState.mouseTracking.load() == 1; }))
        << "the worker starts tracking the mouse as soon as it runs";
}

TEST(Worker, StartPressedTwiceRunsTheRoutineOnce) {
    std::atomic<int> runs{0};
    g_testRoutine = [&runs] {
        ++runs;
        RunUntilStopped();
    };
    SendMainCommand(kCmdStart);
    SendMainCommand(kCmdStart);
    ASSERT_TRUE(PumpUntil([] { return qubState.routineRunning.load() == 1; }));
    const LONG exStyle = GetWindowLongW(qubState.mainWindow, GWL_EXSTYLE);
    EXPECT_FALSE(exStyle & WS_EX_ACCEPTFILES) << "no drops while the routine runs";
    SendMainCommand(kCmdStart);  // while running: nothing
    PumpFor(50);
    EXPECT_EQ(runs.load(), 1);
    ASSERT_TRUE(StopRoutine());
    PumpFor(30);
    EXPECT_EQ(runs.load(), 1);
    EXPECT_EQ(qubState.startRequested.load(), 0);
    EXPECT_EQ(qubState.stopRequested.load(), 0);
    EXPECT_TRUE(GetWindowLongW(qubState.mainWindow, GWL_EXSTYLE) & WS_EX_ACCEPTFILES);
    g_testRoutine = nullptr;
}

TEST(Worker, KeysStartAndStop) {
    std::atomic<int> runs{0};
    g_testRoutine = [&runs] {
        ++runs;
        RunUntilStopped();
    };
    PostMessageW(qubState.mainWindow, WM_KEYDOWN, 'S', 0);
    ASSERT_TRUE(PumpUntil([] { return qubState.routineRunning.load() == 1; }));
    PostMessageW(qubState.mainWindow, WM_KEYDOWN, 'C', 0);
    ASSERT_TRUE(PumpUntil([] { return qubState.routineRunning.load() == 0; }));
    EXPECT_EQ(runs.load(), 1);
    g_testRoutine = nullptr;
}

TEST(Requests, ServedByTheWorkerWithResults) {
    EXPECT_EQ(QUB_RequestCreateImage(300, "x", 10, 10, 32), 4);
    EXPECT_EQ(QUB_RequestCreateImage(-1, "x", 10, 10, 32), 4);
    EXPECT_EQ(QUB_RequestCreateImage(5, "x", 10, 10, 16), 3);
    EXPECT_EQ(qubState.requestCode.load(), 0);
    EXPECT_EQ(qubState.requestDone.load(), 1);
}

TEST(Requests, FailAtOnceWithoutAWorkerThread) {
    // As after a failed CreateThread: nothing serves the block, and a bitmap
    // handed over is not leaked.
    const HANDLE worker = qubState.workerThread;
    qubState.workerThread = nullptr;
    EXPECT_EQ(QUB_RequestCreateImage(0, "x", 10, 10, 32), kRequestWorkerGone);
    HDC screen = GetDC(nullptr);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, 4, 4);
    ReleaseDC(nullptr, screen);
    QUB_RequestPutBitmap(bitmap);
    EXPECT_EQ(GetObjectType(bitmap), 0u);
    qubState.workerThread = worker;
    EXPECT_EQ(QUB_RequestCreateImage(300, "x", 10, 10, 32), 4) << "served again with the worker";
}

TEST(Requests, LoadIntoAClosedSlotTouchesNoOtherWindow) {
    ASSERT_EQ(QUB_RequestCreateImage(5, "mine", 4, 4, 32), 0);
    const int current = qubState.currentImage;
    const int history = qubState.imageHistory[0];
    EXPECT_EQ(QUB_RequestLoadImage(200, "whatever.png"), 2);
    EXPECT_EQ(qubState.currentImage, current);
    EXPECT_EQ(qubState.imageHistory[0], history);
    g_testRoutine = [] { QUB_DestroyImage(5); };
    ASSERT_TRUE(StartRoutine());
    ASSERT_TRUE(PumpUntil([] { return qubState.routineRunning.load() == 0; }));
    g_testRoutine = nullptr;
}

TEST(Requests, PostedWhileTheRoutineRunsIsServedAfterItReturns) {
    std::atomic<int> sawPending{0};
    std::atomic<int> returned{0};
    // The routine watches the request block: the request must stay pending
    // for as long as it runs.
    g_testRoutine = [&] {
        const uint32_t start = QUB_Milliseconds();
        while (QUB_ElapsedMs(QUB_Milliseconds(), start) < 5000) {
            if (qubState.requestCode.load() != 0) ++sawPending;
            if (sawPending.load() >= 50) break;
            QUB_PumpMessages();
            Sleep(1);
        }
        returned = 1;
    };
    ASSERT_TRUE(StartRoutine());
    const int result = QUB_RequestCreateImage(300, "x", 10, 10, 32);
    EXPECT_EQ(result, 4);
    EXPECT_EQ(returned.load(), 1);
    EXPECT_GE(sawPending.load(), 50);
    ASSERT_TRUE(PumpUntil([] { return qubState.routineRunning.load() == 0; }));
    g_testRoutine = nullptr;
}

// A window of the GUI thread whose message posts a second request from inside
// the first requester's pump.
std::atomic<int> g_innerResult{-100};
std::atomic<int> g_innerSawOuterServed{0};

LRESULT CALLBACK InnerRequesterProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_APP) {
        g_innerResult = QUB_RequestCreateImage(300, "inner", 10, 10, 32);
        g_innerSawOuterServed = qubState.requestDone.load();
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

TEST(Requests, ReenteredRequestersSerialiseAndKeepTheirResults) {
    WNDCLASSW wc = {};
    wc.lpfnWndProc = InnerRequesterProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"qubtest_inner";
    RegisterClassW(&wc);
    HWND helper = CreateWindowW(L"qubtest_inner", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                wc.hInstance, nullptr);
    ASSERT_NE(helper, nullptr);

    // Hold the worker in a routine so that the outer request stays pending
    // while the inner requester is entered.
    std::atomic<int> release{0};
    g_testRoutine = [&release] {
        while (!release.load()) {
            QUB_PumpMessages();
            Sleep(1);
        }
    };
    ASSERT_TRUE(StartRoutine());
    PostMessageW(helper, WM_APP, 0, 0);
    // Let the routine end a little after the inner requester has started to wait.
    HANDLE releaser = CreateThread(
        nullptr, 0,
        [](LPVOID p) -> DWORD {
            Sleep(200);
            static_cast<std::atomic<int>*>(p)->store(1);
            return 0;
        },
        &release, 0, nullptr);
    const int outer = QUB_RequestCreateImage(7, "outer", 10, 10, 16);
    WaitForSingleObject(releaser, 5000);
    CloseHandle(releaser);
    EXPECT_EQ(outer, 3) << "the outer requester keeps its own result";
    EXPECT_EQ(g_innerResult.load(), 4);
    EXPECT_EQ(g_innerSawOuterServed.load(), 1);
    ASSERT_TRUE(PumpUntil([] { return qubState.routineRunning.load() == 0; }));
    DestroyWindow(helper);
    g_testRoutine = nullptr;
}

// The popup menu is modal; a subclass of the main window reads it when it
// opens and closes it again.
WNDPROC g_mainProc = nullptr;
std::atomic<int> g_popupSeen{0};
UINT g_popupStates[12];
UINT g_popupIds[12];
int g_popupCount = 0;

LRESULT CALLBACK PopupSpyProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITMENUPOPUP) {
        HMENU menu = reinterpret_cast<HMENU>(wParam);
        g_popupCount = GetMenuItemCount(menu);
        for (int i = 0; i < g_popupCount && i < 12; ++i) {
            g_popupIds[i] = GetMenuItemID(menu, i);
            g_popupStates[i] = GetMenuState(menu, static_cast<UINT>(i), MF_BYPOSITION);
        }
        ++g_popupSeen;
        PostMessageW(window, WM_CANCELMODE, 0, 0);
        EndMenu();
    }
    return CallWindowProcW(g_mainProc, window, message, wParam, lParam);
}

bool ShowPopup() {
    g_popupSeen = 0;
    g_popupCount = 0;
    SendMessageW(qubState.mainWindow, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(10, 10));
    PumpFor(50);
    return g_popupSeen.load() > 0;
}

TEST(PopupMenu, GreyedWhileTheRoutineRunsAndAbsentWhilePicking) {
    g_mainProc = reinterpret_cast<WNDPROC>(SetWindowLongPtrW(
        qubState.mainWindow, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(PopupSpyProc)));

    ASSERT_TRUE(ShowPopup());
    ASSERT_EQ(g_popupCount, 12);
    const UINT ids[12] = {1026, 0, 1001, 1003, 1002, 0, 1027, 1028, 1044, 1051, 0, 1045};
    for (int i = 0; i < 12; ++i) {
        if (ids[i] == 0) {
            EXPECT_TRUE(g_popupStates[i] & MF_SEPARATOR) << i;
            continue;
        }
        EXPECT_EQ(g_popupIds[i], ids[i]) << i;
        EXPECT_FALSE(g_popupStates[i] & MF_GRAYED) << i;
    }

    g_testRoutine = RunUntilStopped;
    ASSERT_TRUE(StartRoutine());
    ASSERT_TRUE(ShowPopup());
    for (int i = 0; i < 12; ++i) {
        if (ids[i] == 0) continue;
        const bool enabled = ids[i] == 1003 || ids[i] == 1002;
        EXPECT_EQ((g_popupStates[i] & MF_GRAYED) == 0, enabled) << "item " << i;
    }
    ASSERT_TRUE(StopRoutine());
    g_testRoutine = nullptr;

    qubState.lineInputActive = 1;
    ASSERT_TRUE(ShowPopup());
    EXPECT_TRUE(g_popupStates[2] & MF_GRAYED) << "Start greyed while a line input waits";
    EXPECT_FALSE(g_popupStates[3] & MF_GRAYED);
    qubState.lineInputActive = 0;

    qubState.pickActive = 1;
    EXPECT_FALSE(ShowPopup()) << "no popup while a pick tool waits";
    qubState.pickActive = 0;

    SetWindowLongPtrW(qubState.mainWindow, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(g_mainProc));
}

TEST(Snapping, CtrlDragSnapsTheMainWindowToTheScreenEdge) {
    QUB_CollectSnapRects();
    RECT now;
    GetWindowRect(qubState.mainWindow, &now);
    const int w = now.right - now.left, h = now.bottom - now.top;
    RECT proposed = {5, 300, 5 + w, 300 + h};

    BYTE keys[256];
    GetKeyboardState(keys);
    const BYTE saved = keys[VK_CONTROL];
    RECT plain = proposed;
    keys[VK_CONTROL] = 0;
    SetKeyboardState(keys);
    SendMessageW(qubState.mainWindow, WM_MOVING, WMSZ_LEFT, reinterpret_cast<LPARAM>(&plain));
    EXPECT_EQ(plain.left, 5) << "no snapping without Ctrl";

    keys[VK_CONTROL] = 0x80;
    SetKeyboardState(keys);
    SendMessageW(qubState.mainWindow, WM_MOVING, WMSZ_LEFT, reinterpret_cast<LPARAM>(&proposed));
    keys[VK_CONTROL] = saved;
    SetKeyboardState(keys);
    EXPECT_EQ(proposed.left, 0);
    EXPECT_EQ(proposed.right, w);
    EXPECT_EQ(proposed.top, 300);
}

// Runs last: Exit with an idle worker ends it without force, and the quit
// message taken by a nested pump still ends the main loop.
TEST(ZExit, IdleWorkerEndsWithoutForceAndTheLoopEnds) {
    HANDLE worker = nullptr;
    ASSERT_TRUE(DuplicateHandle(GetCurrentProcess(), qubState.workerThread, GetCurrentProcess(),
                                &worker, 0, FALSE, DUPLICATE_SAME_ACCESS));
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
    ExpectEndedByItsOwnLoop(worker);

    // Nothing can serve a request now: the requester fails at once.
    EXPECT_EQ(QUB_RequestCreateImage(0, "late", 10, 10, 32), kRequestWorkerGone);

    // The main loop must end at once although the quit message is gone; a
    // fallback quit after 3 s keeps a failure from hanging the run.
    const DWORD gui = GetCurrentThreadId();
    HANDLE fallback = CreateThread(
        nullptr, 0,
        [](LPVOID p) -> DWORD {
            Sleep(3000);
            PostThreadMessageW(static_cast<DWORD>(reinterpret_cast<uintptr_t>(p)), WM_QUIT, 7, 0);
            return 0;
        },
        reinterpret_cast<LPVOID>(static_cast<uintptr_t>(gui)), 0, nullptr);
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
    HANDLE worker = nullptr;
    ASSERT_TRUE(DuplicateHandle(GetCurrentProcess(), qubState.workerThread, GetCurrentProcess(),
                                &worker, 0, FALSE, DUPLICATE_SAME_ACCESS));
    // The request cannot be served while the routine runs; Exit arrives
    // through the requester's own pump.
    PostMessageW(qubState.mainWindow, WM_COMMAND, kCmdExit, 0);
    const uint32_t start = QUB_Milliseconds();
    const int result = QUB_RequestCreateImage(0, "never", 10, 10, 32);
    const uint32_t elapsed = QUB_ElapsedMs(QUB_Milliseconds(), start);
    EXPECT_EQ(result, kRequestWorkerGone);
    EXPECT_GE(elapsed, 2000u) << "the routine gets its 2 s grace";
    EXPECT_LT(elapsed, 10000u);
    DWORD code = 0;
    EXPECT_EQ(WaitForSingleObject(worker, 1000), WAIT_OBJECT_0);
    GetExitCodeThread(worker, &code);
    EXPECT_EQ(code, 1u) << "ended by TerminateThread";
    CloseHandle(worker);
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
    std::atomic<int> returned{0};
    g_testRoutine = [&returned] {
        RunUntilStopped();
        returned = 1;
    };
    ASSERT_TRUE(StartRoutine());
    HANDLE worker = nullptr;
    ASSERT_TRUE(DuplicateHandle(GetCurrentProcess(), qubState.workerThread, GetCurrentProcess(),
                                &worker, 0, FALSE, DUPLICATE_SAME_ACCESS));
    PostMessageW(qubState.mainWindow, WM_SYSCOMMAND, SC_CLOSE, 0);
    PumpUntil([] { return qubState.quitReceived.load() != 0; }, 5000);
    EXPECT_EQ(returned.load(), 1);
    EXPECT_FALSE(IsWindow(qubState.mainWindow));
    EXPECT_EQ(qubState.terminateState.load(), 2);
    ExpectEndedByItsOwnLoop(worker);
    g_testRoutine = nullptr;
}

// Run on its own: Exit while the toolbox's resize asks its first size ends
// the command there; a second prompt would hold the worker until Exit gave up
// waiting and terminated it.
TEST(ExitDuringPrompt, ResizeAsksNoMoreAndTheWorkerEndsByItself) {
    g_testRoutine = [] { QUB_CreateImage(0, "resized", -1, -1, 40, 30, 100); };
    ASSERT_TRUE(StartRoutine());
    ASSERT_TRUE(PumpUntil([] { return qubState.routineRunning.load() == 0; }));
    g_testRoutine = nullptr;
    HANDLE worker = nullptr;
    ASSERT_TRUE(DuplicateHandle(GetCurrentProcess(), qubState.workerThread, GetCurrentProcess(),
                                &worker, 0, FALSE, DUPLICATE_SAME_ACCESS));
    PostMessageW(qubState.images[0].window, WM_COMMAND, kTbResizePrompt, 0);
    ASSERT_TRUE(PumpUntil([] { return qubState.lineInputActive.load() != 0; }));
    PostMessageW(qubState.mainWindow, WM_COMMAND, kCmdExit, 0);
    PumpUntil([] { return qubState.quitReceived.load() != 0; }, 5000);
    ExpectEndedByItsOwnLoop(worker);  // a second prompt would have been terminated
}

}  // namespace

int main(int argc, char** argv) { return RunWinTests(argc, argv); }
