// The input box window: creation, the item layout, keeping the values when a
// field is left, the sizing rules and the popup menus. It lives on the worker
// thread; the pump hands it Tab and Enter through IsDialogMessageW.
#include <windows.h>
#include <windowsx.h>

#include <cstdio>

#include "boxes/box_geometry.h"
#include "boxes/box_window_win.h"
#include "boxes/input_box.h"
#include "core/library_state.h"
#include "core/runtime.h"
#include "core/text_convert_win.h"
#include "core/text_cut.h"
#include "core/window_procs_win.h"

namespace {

constexpr DWORD kLabelStyle = WS_CHILD | WS_VISIBLE | SS_LEFTNOWORDWRAP;
constexpr DWORD kEditStyle = WS_CHILD | WS_VISIBLE | WS_GROUP | WS_TABSTOP | ES_AUTOHSCROLL;
constexpr int kCmdDestroy = 1023;
constexpr int kCmdRename = 1056;

InputBoxRecord& Box() { return qubState.inputBox; }

bool InBox(int i) {
    const InputBoxRecord& box = Box();
    return box.window != nullptr && i >= 0 && i < box.itemCount && i < box.builtItems;
}

int ItemOfEdit(HWND control) {
    const InputBoxRecord& box = Box();
    if (control == nullptr) return -1;
    for (int i = 0; i < box.builtItems; ++i)
        if (box.edits[i] == control) return i;
    return -1;
}

void StoreValue(HWND edit) {
    const int i = ItemOfEdit(edit);
    if (i < 0) return;
    QUB_ReadWindowText(edit, Box().values[i], kInputValueBytes);
}

HWND CreateChild(DWORD exStyle, const wchar_t* className, const wchar_t* text, DWORD style,
                 BoxRect r, HWND parent) {
    return CreateWindowExW(exStyle, className, text, style, r.x, r.y, r.width, r.height, parent,
                           nullptr, qubState.instance, nullptr);
}

// Creates label and field of every item. False when one could not be made;
// the caller then takes the whole box down rather than leave a partial form.
bool CreateItems(HWND window) {
    InputBoxRecord& box = Box();
    for (int i = 0; i < box.itemCount; ++i) {
        wchar_t label[32];
        swprintf(label, 32, L"Item %d", i);
        HWND labelWindow = CreateChild(0, L"STATIC", label, kLabelStyle,
                                       QUB_InputLabelRect(i, box.labelWidth), window);
        snprintf(box.values[i], kInputValueBytes, "0");
        HWND edit = CreateChild(WS_EX_CLIENTEDGE, L"EDIT", WideText(box.values[i]), kEditStyle,
                                QUB_InputEditRect(i, box.labelWidth, box.editWidth), window);
        if (labelWindow == nullptr || edit == nullptr) return false;
        box.labels[i] = labelWindow;
        box.edits[i] = edit;
        box.builtItems = i + 1;
    }
    return true;
}

void LayOutItems() {
    const InputBoxRecord& box = Box();
    for (int i = 0; i < box.builtItems; ++i) {
        const BoxRect label = QUB_InputLabelRect(i, box.labelWidth);
        SetWindowPos(box.labels[i], nullptr, 0, 0, label.width, label.height,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        const BoxRect edit = QUB_InputEditRect(i, box.labelWidth, box.editWidth);
        SetWindowPos(box.edits[i], nullptr, edit.x, edit.y, edit.width, edit.height,
                     SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

// --- message handlers --------------------------------------------------------------

void OnCommand(HWND, int id, HWND control, UINT code) {
    if (control == nullptr) {
        if (id == kCmdDestroy) QUB_CloseInputBox();
        else if (id == kCmdRename) QUB_RenameInputItem(Box().renameTarget);
        else if (id == IDOK) StoreValue(Box().focusedEdit);
        return;
    }
    if (code == EN_SETFOCUS && ItemOfEdit(control) >= 0) Box().focusedEdit = control;
    else if (code == EN_KILLFOCUS) StoreValue(control);
}

// Only on activation: taking the focus back while the box is being deactivated
// would pull the activation back from the window the user turned to (the text
// window of a rename prompt, for one).
void OnActivate(HWND, UINT state, HWND, BOOL) {
    InputBoxRecord& box = Box();
    if (state == WA_INACTIVE || box.builtItems < box.itemCount || box.builtItems == 0) return;
    if (box.focusedEdit == nullptr) box.focusedEdit = box.edits[0];
    SetFocus(box.focusedEdit);
    const int length = GetWindowTextLengthW(box.edits[0]);
    PostMessageW(box.edits[0], EM_SETSEL, 0, length);
}

// The height follows the item count alone: a vertical drag keeps the present
// top and bottom.
void OnSizing(HWND window, WPARAM edge, RECT* proposed) {
    RECT now;
    GetWindowRect(window, &now);
    proposed->top = now.top;
    proposed->bottom = now.bottom;
    Box().sizingEdge = static_cast<int>(edge);
}

// The first WM_SIZE arrives while the box is being created, before its items
// exist: the widths it computes are the ones the items are created with.
void OnSize(HWND, UINT state, int width, int) {
    // A minimised box reports a client width of 0, which is no one's choice
    // and would shrink the widths that carry over to the next box.
    if (state == SIZE_MINIMIZED) return;
    InputBoxRecord& box = Box();
    const InputWidths widths =
        QUB_InputWidthsAfterSize(box.sizingEdge, width, box.labelWidth, box.editWidth);
    box.labelWidth = widths.label;
    box.editWidth = widths.edit;
    LayOutItems();
}

int ItemUnder(int y) { return QUB_InputItemAtY(static_cast<unsigned short>(y)); }

void OnLeftDoubleClick(HWND, BOOL, int, int y, UINT) { QUB_RenameInputItem(ItemUnder(y)); }

void OnRightButton(HWND window, BOOL, int, int y, UINT) {
    Box().renameTarget = ItemUnder(y);
    QUB_ShowOneEntryMenu(window, kCmdRename, "Rename");
}

void OnNcRightButton(HWND window, BOOL, int, int, UINT) {
    QUB_ShowOneEntryMenu(window, kCmdDestroy, "Destroy");
}

void OnMove(HWND, int, int) { QUB_CollectSnapRects(); }

void OnClose(HWND) { QUB_CloseInputBox(); }

void OnDestroy(HWND) {}

}  // namespace

void QUB_OpenInputBox(int x, int y, int items) {
    InputBoxRecord& box = Box();
    if (box.window != nullptr) return;
    box.itemCount = QUB_ClampInputItems(items);
    box.builtItems = 0;
    box.focusedEdit = nullptr;
    box.sizingEdge = 0;
    const BoxSize size =
        QUB_BoxWindowSizeFor(QUB_InputBoxClientSize(box.itemCount, box.labelWidth, box.editWidth));
    HWND window = CreateWindowExW(0, L"qub_ib", L"InputBox", kBoxStyle, x, y, size.width,
                                  size.height, qubState.mainWindow, nullptr, qubState.instance,
                                  nullptr);
    if (window == nullptr) return;
    if (!CreateItems(window)) {
        box.builtItems = 0;
        DestroyWindow(window);
        return;
    }
    // Published only now: the pump offers every message to the box once its
    // handle is set, and the box must have its fields by then.
    box.window = window;
    UpdateWindow(window);
    SetForegroundWindow(window);
    SetFocus(box.edits[0]);
    QUB_CollectSnapRects();
}

void QUB_CloseInputBox() {
    InputBoxRecord& box = Box();
    HWND window = box.window;
    if (window == nullptr) return;
    box.window = nullptr;
    box.builtItems = 0;
    box.focusedEdit = nullptr;
    if (!DestroyWindow(window))
        MessageBoxW(qubState.mainWindow, L"DestroyWindow[IB] Error", L"QUBLIB Error!",
                    MB_ICONERROR);
    QUB_CollectSnapRects();
}

void QUB_SetInputBoxTitle(int i, const char* text) {
    if (!InBox(i)) return;
    // A shorter label is painted over the longer one before it; the blank
    // text first clears what SS_LEFTNOWORDWRAP leaves behind.
    QUB_WriteWindowText(Box().labels[i], "                    ");
    QUB_WriteWindowText(Box().labels[i], text);
}

int QUB_GetInputBoxValue(int i, char* buffer, int size) {
    if (buffer == nullptr || size < 1) return 2;
    if (!InBox(i)) return 1;
    QUB_CopyNarrow(buffer, static_cast<size_t>(size), Box().values[i], QUB_IsAnsiLeadByte);
    return 0;
}

int QUB_ResizeInputBox(int isize, int esize) {
    InputBoxRecord& box = Box();
    if (box.window == nullptr) return 1;
    if (!QUB_InputWidthsAccepted(isize, esize)) return 2;
    const int oldLabel = box.labelWidth, oldEdit = box.editWidth;
    box.labelWidth = isize;
    box.editWidth = esize;
    // The window change below reports the same client width back through
    // WM_SIZE, which then leaves both widths as they are.
    box.sizingEdge = 0;
    LayOutItems();
    const bool sized =
        QUB_SetBoxClientSize(box.window, QUB_InputBoxClientSize(box.itemCount, isize, esize));
    if (!sized) {
        // The system would not make the box that narrow (or that wide): the
        // widths stay what the window still shows.
        box.labelWidth = oldLabel;
        box.editWidth = oldEdit;
        LayOutItems();
    }
    QUB_CollectSnapRects();
    return sized ? 0 : 2;
}

LRESULT CALLBACK InputBoxProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        HANDLE_MSG(window, WM_COMMAND, OnCommand);
        HANDLE_MSG(window, WM_ACTIVATE, OnActivate);
        HANDLE_MSG(window, WM_SIZE, OnSize);
        HANDLE_MSG(window, WM_LBUTTONDBLCLK, OnLeftDoubleClick);
        HANDLE_MSG(window, WM_RBUTTONDOWN, OnRightButton);
        HANDLE_MSG(window, WM_NCRBUTTONDOWN, OnNcRightButton);
        HANDLE_MSG(window, WM_MOVE, OnMove);
        HANDLE_MSG(window, WM_CLOSE, OnClose);
        HANDLE_MSG(window, WM_DESTROY, OnDestroy);
        case WM_SIZING:
            OnSizing(window, wParam, reinterpret_cast<RECT*>(lParam));
            return TRUE;
        case WM_MOVING:
            QUB_SnapMovingRect(window, reinterpret_cast<RECT*>(lParam));
            return TRUE;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}
