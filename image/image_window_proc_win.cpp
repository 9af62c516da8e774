// The image window procedure: painting, closing, keys and wheel, the mouse
// record for the user routine and the pick tools, and dropped files. It runs
// on the worker thread, also inside the waits of line input and pick tools,
// which is why keys and menus check pickActive and lineInputActive.
#include <windows.h>
#include <shellapi.h>
#include <windowsx.h>

#include "core/library_state.h"
#include "core/runtime.h"
#include "core/text_convert_win.h"
#include "core/window_procs_win.h"
#include "image/file_names.h"
#include "image/image_file.h"
#include "image/image_keys.h"
#include "image/image_toolbox.h"
#include "image/image_window.h"
#include "image/zoom.h"

namespace {

int Slot(HWND window) { return QUB_FindImageSlot(window); }

bool CtrlHeld() { return GetKeyState(VK_CONTROL) < 0; }

void StepZoom(int n, bool in) {
    const int z = qubState.images[n].zoom;
    QUB_SetZoom(n, in ? QUB_ZoomStepIn(z) : QUB_ZoomStepOut(z));
}

void ToggleStretch(int n) {
    if (QUB_GetStretchMode(n) == COLORONCOLOR)
        QUB_SetStretchMode(n, HALFTONE);
    else
        QUB_SetStretchMode(n, COLORONCOLOR);
}

void OnPaint(HWND window) {
    PAINTSTRUCT ps;
    BeginPaint(window, &ps);
    const int n = Slot(window);
    if (n >= 0) QUB_PaintImage(n, ps.rcPaint);
    EndPaint(window, &ps);
}

void OnClose(HWND window) {
    const int n = Slot(window);
    if (n >= 0) QUB_DestroyImage(n);
}

void OnKey(HWND window, UINT virtualKey, BOOL down, int, UINT) {
    if (!down) return;
    const int n = Slot(window);
    const ImageKeyResult key = QUB_ImageWindowKey(static_cast<int>(virtualKey), CtrlHeld(),
                                                  qubState.pickActive.load() != 0);
    switch (key.action) {
        case ImageKeyAction::kPassToMain:
            PostMessageW(qubState.mainWindow, WM_KEYDOWN, virtualKey, 0);
            break;
        case ImageKeyAction::kPostCommand:
            PostMessageW(window, WM_COMMAND, static_cast<WPARAM>(key.command), 0);
            break;
        case ImageKeyAction::kZoom100:
            if (n >= 0) QUB_SetZoom(n, 100);
            break;
        case ImageKeyAction::kZoomIn:
        case ImageKeyAction::kZoomOut:
            if (n >= 0) StepZoom(n, key.action == ImageKeyAction::kZoomIn);
            break;
        case ImageKeyAction::kToggleStretch:
            if (n >= 0) ToggleStretch(n);
            break;
        case ImageKeyAction::kNone: break;
    }
}

void OnMouseWheel(HWND window, int, int, int delta, UINT keys) {
    const int n = Slot(window);
    if (n < 0 || !(keys & MK_CONTROL) || delta == 0) return;
    // Turned toward the user (negative) zooms in.
    StepZoom(n, delta < 0);
}

// The mouse record and the pick fields: moves and left and middle presses.
void RecordMouse(int n, UINT keys, LPARAM lParam) {
    LibraryState& s = qubState;
    if (!s.mouseTracking.load()) return;
    const ImagePoint p = QUB_MousePointToImage(static_cast<uint32_t>(lParam), s.images[n].zoom);
    s.mouseImage = n;
    s.mouseX = p.x;
    s.mouseY = p.y;
    s.mouseLeft = static_cast<int>(keys & MK_LBUTTON);
    s.mouseMiddle = static_cast<int>(keys & MK_MBUTTON);
    s.mouseCtrl = static_cast<int>(keys & MK_CONTROL);
    s.mouseShift = static_cast<int>(keys & MK_SHIFT);
}

bool IsPickWindow(int n) { return qubState.pickActive.load() && qubState.pickImage == n; }

ImagePoint PickPoint(LPARAM lParam) {
    const int zoom = qubState.images[qubState.pickImage].zoom;
    return QUB_MousePointToImage(static_cast<uint32_t>(lParam), zoom);
}

// Right press, and middle press as a right press with Ctrl: cancel a pick on
// its window, or open the toolbox unless a line input waits.
void MenuPress(HWND window, int n, bool processing) {
    LibraryState& s = qubState;
    if (s.pickActive.load()) {
        if (s.pickImage == n) s.pickCancel = 1;
        return;
    }
    if (s.lineInputActive.load()) return;
    QUB_ShowImageToolbox(window, n, processing);
}

void OnDropFiles(HWND window, HDROP drop) {
    // A pick tool's rubber band lives in the picture as XOR'd pixels: a file
    // loaded under it would have the band's erase inverted into it.
    if (qubState.pickActive.load()) {
        DragFinish(drop);
        return;
    }
    // Only a name that fits whole: a cut one can be another file.
    const UINT length = DragQueryFileW(drop, 0, nullptr, 0);
    wchar_t name[kFileNameUnits];
    if (Slot(window) >= 0 && length > 0 && length < kFileNameUnits &&
        DragQueryFileW(drop, 0, name, kFileNameUnits) == length) {
        QUB_SelectImageByWindow(window);
        char narrow[kFileNameUnits];
        QUB_ToNarrow(name, narrow, kFileNameUnits);
        QUB_LoadImageWide(narrow, name, 0, 0);
        InvalidateRect(window, nullptr, FALSE);
        QUB_RestoreImage();
    }
    DragFinish(drop);
    SetForegroundWindow(window);
}

// The mouse messages are dispatched by hand: the record needs the raw lParam
// words as unsigned numbers, which the message crackers turn into signed ints.
LRESULT OnMouse(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    const int n = Slot(window);
    if (n < 0) return 0;
    const UINT keys = static_cast<UINT>(wParam);
    LibraryState& s = qubState;
    switch (message) {
        case WM_MOUSEMOVE:
            RecordMouse(n, keys, lParam);
            if (IsPickWindow(n)) {
                const ImagePoint p = PickPoint(lParam);
                s.pickMoveX = p.x;
                s.pickMoveY = p.y;
                s.pickMoved = 1;
            }
            break;
        case WM_LBUTTONDOWN:
            RecordMouse(n, keys, lParam);
            if (IsPickWindow(n)) {
                const ImagePoint p = PickPoint(lParam);
                s.pickClickX = p.x;
                s.pickClickY = p.y;
                s.mouseShift = (keys & MK_SHIFT) ? 1 : 0;
                s.pickClicked = 1;
            }
            break;
        case WM_MBUTTONDOWN:
            RecordMouse(n, keys, lParam);
            MenuPress(window, n, true);
            break;
        case WM_RBUTTONDOWN: MenuPress(window, n, (keys & MK_CONTROL) != 0); break;
        default: break;
    }
    return 0;
}

void OnCommand(HWND window, int id, HWND, UINT) { QUB_RunImageToolboxCommand(window, id); }

void OnMove(HWND, int, int) { QUB_CollectSnapRects(); }

}  // namespace

LRESULT CALLBACK ImageWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CREATE:
        case WM_DESTROY: return 0;
        HANDLE_MSG(window, WM_MOVE, OnMove);
        HANDLE_MSG(window, WM_PAINT, OnPaint);
        HANDLE_MSG(window, WM_CLOSE, OnClose);
        HANDLE_MSG(window, WM_KEYDOWN, OnKey);
        HANDLE_MSG(window, WM_COMMAND, OnCommand);
        HANDLE_MSG(window, WM_MOUSEWHEEL, OnMouseWheel);
        HANDLE_MSG(window, WM_DROPFILES, OnDropFiles);
        case WM_MOVING:
            QUB_SnapMovingRect(window, reinterpret_cast<RECT*>(lParam));
            return TRUE;
        case WM_MOUSEMOVE:
        case WM_LBUTTONDOWN:
        case WM_MBUTTONDOWN:
        case WM_RBUTTONDOWN: return OnMouse(window, message, wParam, lParam);
    }
    return DefWindowProcW(window, message, wParam, lParam);
}
