// The main window procedure: creation, menus, keys and commands.
#include <windows.h>
#include <shellapi.h>
#include <windowsx.h>

#include "core/library_state.h"
#include "core/main_menu.h"
#include "core/run_control.h"
#include "core/runtime.h"
#include "core/window_procs_win.h"
#include "core/worker.h"

namespace {

constexpr int kStatusX = 0, kStatusY = 6, kStatusW = 234, kStatusH = 20;

// The drop-in animation: relative moves that let the window fall 55 pixels
// with growing speed and bounce twice.
constexpr int kDropSteps[28] = {1,  2,  3,  4,  5,  6,  7, 8, 9, 10, -6, -5, -4, -3,
                                -2, -1, 1,  2,  3,  4,  5, 6, -3, -2, -1, 1,  2,  3};

void BusyWaitSince(uint32_t start, uint32_t ms) {
    while (QUB_ElapsedMs(QUB_Milliseconds(), start) < ms) {
    }
}

void PlayDropIn(HWND window) {
    uint32_t t = QUB_Milliseconds();
    for (int step : kDropSteps) {
        RECT r;
        GetWindowRect(window, &r);
        SetWindowPos(window, nullptr, r.left, r.top + step, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_SHOWWINDOW);
        BusyWaitSince(t, 20);
        t = QUB_Milliseconds();
    }
    BusyWaitSince(t, 500);
}

BOOL OnCreate(HWND window, LPCREATESTRUCTW) {
    LibraryState& s = qubState;
    // One line only: a text too long for the control is clipped rather than
    // wrapped onto a second line that the control is too low to show.
    s.statusControl = CreateWindowExW(0, L"STATIC", L"Ready",
                                      WS_CHILD | WS_VISIBLE | SS_LEFTNOWORDWRAP, kStatusX,
                                      kStatusY, kStatusW, kStatusH, window,
                                      reinterpret_cast<HMENU>(static_cast<INT_PTR>(kStatusControlId)),
                                      s.instance, nullptr);
    PlayDropIn(window);
    HDC dc = GetDC(window);
    s.colourDepth = GetDeviceCaps(dc, BITSPIXEL);
    ReleaseDC(window, dc);
    // The worker uses mainWindow at once, so it is stored before the thread starts.
    s.mainWindow = window;
    QUB_StartWorker();
    return TRUE;
}

// Alt+F4 and the taskbar's "Close window" arrive as WM_CLOSE (through
// SC_CLOSE). Left to DefWindowProcW they would destroy the window under a
// running routine; they take the Exit path instead.
void OnClose(HWND) { QUB_CommandExit(); }

void OnDestroy(HWND) { PostQuitMessage(0); }

void ShowPopupMenu(HWND window) {
    const LibraryState& s = qubState;
    if (s.pickActive.load()) return;
    const int running = s.routineRunning.load();
    const int inputWaiting = s.lineInputActive.load();
    HMENU popup = CreatePopupMenu();
    for (int i = 0; i < kMainPopupCount; ++i) {
        const MainMenuEntry& entry = kMainPopup[i];
        if (entry.id == 0)
            QUB_InsertMenuSeparator(popup, i);
        else
            QUB_InsertMenuString(popup, i, QUB_MainMenuItemState(entry, running, inputWaiting),
                                 entry.id, entry.text);
    }
    POINT at;
    GetCursorPos(&at);
    TrackPopupMenu(popup, TPM_RIGHTBUTTON, at.x, at.y, 0, window, nullptr);
    DestroyMenu(popup);
}

void RunCommand(int id) {
    switch (id) {
        case kCmdStart: QUB_CommandStart(); break;
        case kCmdStop: QUB_CommandStop(); break;
        case kCmdExit: QUB_CommandExit(); break;
        default: QUB_RunMainWindowCommand(id); break;
    }
}

void OnKey(HWND window, UINT virtualKey, BOOL down, int, UINT) {
    if (!down) return;
    const bool ctrl = GetKeyState(VK_CONTROL) < 0;
    MainKeyResult key = QUB_MainWindowKey(static_cast<int>(virtualKey), ctrl);
    if (key.action == MainKeyAction::kRunCommand)
        RunCommand(key.command);
    else if (key.action == MainKeyAction::kPostCommand)
        PostMessageW(window, WM_COMMAND, static_cast<WPARAM>(key.command), 0);
}

void OnCommand(HWND, int id, HWND, UINT) { RunCommand(id); }

void OnRightButton(HWND window, BOOL, int, int, UINT) { ShowPopupMenu(window); }
void OnNcRightButton(HWND window, BOOL, int, int, UINT) { ShowPopupMenu(window); }

void OnMove(HWND, int, int) { QUB_CollectSnapRects(); }

void OnDropFiles(HWND, HDROP drop) { QUB_HandleDroppedFiles(drop); }

}  // namespace

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        HANDLE_MSG(window, WM_CREATE, OnCreate);
        HANDLE_MSG(window, WM_CLOSE, OnClose);
        HANDLE_MSG(window, WM_DESTROY, OnDestroy);
        HANDLE_MSG(window, WM_MOVE, OnMove);
        HANDLE_MSG(window, WM_RBUTTONDOWN, OnRightButton);
        HANDLE_MSG(window, WM_NCRBUTTONDOWN, OnNcRightButton);
        HANDLE_MSG(window, WM_KEYDOWN, OnKey);
        HANDLE_MSG(window, WM_COMMAND, OnCommand);
        HANDLE_MSG(window, WM_DROPFILES, OnDropFiles);
        case WM_MOVING:
            QUB_SnapMovingRect(window, reinterpret_cast<RECT*>(lParam));
            return TRUE;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}
