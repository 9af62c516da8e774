// The button box window: creation, the grid layout, counting presses, the
// popup menus and keys. It lives on the worker thread, which pumps it while
// the user routine waits between its checks.
#include <windows.h>
#include <windowsx.h>

#include <cwchar>

#include "boxes/box_geometry.h"
#include "boxes/box_window_win.h"
#include "boxes/button_box.h"
#include "core/library_state.h"
#include "core/runtime.h"
#include "core/window_procs_win.h"

namespace {

constexpr DWORD kButtonStyle = WS_CHILD | WS_VISIBLE | BS_MULTILINE;
constexpr int kCmdDestroy = 1050;
constexpr int kCmdRename = 1057;

ButtonBoxRecord& Box() { return qubState.buttonBox; }

bool InBox(int k) {
    const ButtonBoxRecord& box = Box();
    return box.window != nullptr && k >= 0 && k < box.count && k < box.builtButtons;
}

int ButtonOf(HWND control) {
    const ButtonBoxRecord& box = Box();
    if (control == nullptr) return -1;
    for (int k = 0; k < box.builtButtons; ++k)
        if (box.buttons[k] == control) return k;
    return -1;
}

void CountPress(int k) {
    if (!InBox(k)) return;
    Box().presses[k] = QUB_AddPress(Box().presses[k]);
}

void LayOutButtons() {
    const ButtonBoxRecord& box = Box();
    for (int k = 0; k < box.builtButtons; ++k) {
        const BoxRect r = QUB_ButtonRect(k, box.columns, box.buttonWidth, box.buttonHeight);
        SetWindowPos(box.buttons[k], nullptr, r.x, r.y, r.width, r.height,
                     SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

// Creates the buttons row by row. False when one could not be made; the
// caller then takes the whole box down rather than leave a partial grid.
bool CreateButtons(HWND window) {
    ButtonBoxRecord& box = Box();
    for (int k = 0; k < box.count; ++k) {
        wchar_t caption[16];
        swprintf(caption, 16, L"%d", k);
        const BoxRect r = QUB_ButtonRect(k, box.columns, box.buttonWidth, box.buttonHeight);
        HWND button = CreateWindowExW(0, L"BUTTON", caption, kButtonStyle, r.x, r.y, r.width,
                                      r.height, window, nullptr, qubState.instance, nullptr);
        if (button == nullptr) return false;
        box.buttons[k] = button;
        box.presses[k] = 0;
        box.builtButtons = k + 1;
    }
    return true;
}

// --- message handlers --------------------------------------------------------------

// The first WM_SIZE arrives while the box is being created and before its
// buttons exist; the size it computes is the one they are created with, so a
// box that the system made wider than asked gets wider buttons.
void OnSize(HWND, UINT state, int width, int height) {
    // A minimised box would report a 0 x 0 client area and leave the next box
    // with buttons of one pixel.
    if (state == SIZE_MINIMIZED) return;
    ButtonBoxRecord& box = Box();
    const BoxSize size = QUB_ButtonSizeForClient(width, height, box.columns, box.rows);
    box.buttonWidth = size.width;
    box.buttonHeight = size.height;
    LayOutButtons();
}

void OnCommand(HWND window, int id, HWND control, UINT code) {
    if (control == nullptr && id == kCmdDestroy) {
        QUB_DestroyButtonBox();
        return;
    }
    if (control == nullptr && id == kCmdRename) QUB_RenameButton(Box().renameTarget);
    if (code != BN_CLICKED) return;
    CountPress(ButtonOf(control));
    // Give the focus back to the box so that a digit typed next is counted.
    if (Box().window == window) SetFocus(window);
}

void OnChar(HWND, TCHAR character, int) { CountPress(QUB_DigitButton(character)); }

void OnKey(HWND window, UINT key, BOOL, int, UINT) {
    if (GetKeyState(VK_CONTROL) < 0) {
        if (key == 'Q') PostMessageW(window, WM_CLOSE, 0, 0);
        return;
    }
    if (key == VK_ESCAPE || key == 'X' || key == 'S' || key == 'C')
        PostMessageW(qubState.mainWindow, WM_KEYDOWN, key, 0);
}

int ButtonUnder(int x, int y) {
    const ButtonBoxRecord& box = Box();
    return QUB_ButtonAtPoint(x, y, box.columns, box.rows, box.buttonWidth, box.buttonHeight);
}

void OnLeftDoubleClick(HWND, BOOL, int x, int y, UINT) { QUB_RenameButton(ButtonUnder(x, y)); }

void OnRightButton(HWND window, BOOL, int x, int y, UINT) {
    Box().renameTarget = ButtonUnder(x, y);
    QUB_ShowOneEntryMenu(window, kCmdRename, "Rename");
}

void OnNcRightButton(HWND window, BOOL, int, int, UINT) {
    QUB_ShowOneEntryMenu(window, kCmdDestroy, "&Destroy\tCtrl+Q");
}

void OnMove(HWND, int, int) { QUB_CollectSnapRects(); }

void OnClose(HWND) { QUB_DestroyButtonBox(); }

void OnDestroy(HWND) {}

}  // namespace

void QUB_OpenButtonBox(int x, int y, int nx, int ny) {
    ButtonBoxRecord& box = Box();
    if (box.window != nullptr || !QUB_ButtonGridAccepted(nx, ny)) return;
    box.count = nx * ny;
    box.columns = nx;
    box.rows = ny;
    box.builtButtons = 0;
    const BoxSize size = QUB_BoxWindowSizeFor(
        QUB_ButtonGridClientSize(nx, ny, box.buttonWidth, box.buttonHeight));
    HWND window = CreateWindowExW(0, L"qub_bb", L"ButtonBox", kBoxStyle, x, y, size.width,
                                  size.height, qubState.mainWindow, nullptr, qubState.instance,
                                  nullptr);
    if (window == nullptr) return;
    box.window = window;
    if (!CreateButtons(window)) {
        box.window = nullptr;
        box.builtButtons = 0;
        DestroyWindow(window);
        return;
    }
    UpdateWindow(window);
    SetForegroundWindow(window);
    QUB_CollectSnapRects();
}

void QUB_DestroyButtonBox() {
    ButtonBoxRecord& box = Box();
    HWND window = box.window;
    if (window == nullptr) return;
    // Forgotten first: the failure message below pumps, and whatever runs
    // meanwhile must already see no box.
    box.window = nullptr;
    box.builtButtons = 0;
    if (!DestroyWindow(window))
        MessageBoxW(qubState.mainWindow, L"DestroyWindow[BB] error", L"QUBLIB error!",
                    MB_ICONERROR);
    QUB_CollectSnapRects();
}

void QUB_SetButtonBoxTitle(int k, const char* text) {
    if (InBox(k)) QUB_WriteWindowText(Box().buttons[k], text);
}

int QUB_CheckButton(int k) {
    if (!InBox(k)) return 0;
    const int presses = Box().presses[k];
    Box().presses[k] = 0;
    return presses;
}

int QUB_ResizeButtonBox(int w, int h) {
    HWND window = Box().window;
    if (window == nullptr) return 1;
    if (!QUB_BoxClientAccepted(w, h)) return 2;
    // A size the system will not give is refused rather than half taken.
    const bool sized = QUB_SetBoxClientSize(window, {w, h});
    QUB_CollectSnapRects();
    return sized ? 0 : 2;
}

LRESULT CALLBACK ButtonBoxProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        HANDLE_MSG(window, WM_SIZE, OnSize);
        HANDLE_MSG(window, WM_COMMAND, OnCommand);
        HANDLE_MSG(window, WM_CHAR, OnChar);
        HANDLE_MSG(window, WM_KEYDOWN, OnKey);
        HANDLE_MSG(window, WM_LBUTTONDBLCLK, OnLeftDoubleClick);
        HANDLE_MSG(window, WM_RBUTTONDOWN, OnRightButton);
        HANDLE_MSG(window, WM_NCRBUTTONDOWN, OnNcRightButton);
        HANDLE_MSG(window, WM_MOVE, OnMove);
        HANDLE_MSG(window, WM_CLOSE, OnClose);
        HANDLE_MSG(window, WM_DESTROY, OnDestroy);
        case WM_MOVING:
            QUB_SnapMovingRect(window, reinterpret_cast<RECT*>(lParam));
            return TRUE;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}
