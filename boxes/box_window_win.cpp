#include "boxes/box_window_win.h"

#include "core/library_state.h"
#include "core/runtime.h"

BoxSize QUB_BoxWindowSizeFor(BoxSize client) {
    RECT r = {0, 0, client.width, client.height};
    AdjustWindowRect(&r, kBoxStyle, FALSE);
    return {r.right - r.left, r.bottom - r.top};
}

bool QUB_SetBoxClientSize(HWND window, BoxSize client) {
    RECT before;
    if (!GetWindowRect(window, &before)) return false;
    const BoxSize size = QUB_BoxWindowSizeFor(client);
    constexpr UINT kFlags = SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE;
    SetWindowPos(window, nullptr, 0, 0, size.width, size.height, kFlags);
    RECT got;
    GetClientRect(window, &got);
    if (got.right == client.width && got.bottom == client.height) return true;
    SetWindowPos(window, nullptr, 0, 0, before.right - before.left, before.bottom - before.top,
                 kFlags);
    return false;
}

void QUB_ShowOneEntryMenu(HWND window, int id, const char* text) {
    // As on the other library windows: no popup menu while a line input waits.
    if (qubState.lineInputActive.load() != 0) return;
    HMENU menu = CreatePopupMenu();
    if (menu == nullptr) return;
    QUB_InsertMenuString(menu, 0, 0, id, text);
    POINT at;
    GetCursorPos(&at);
    TrackPopupMenu(menu, TPM_RIGHTBUTTON, at.x, at.y, 0, window, nullptr);
    DestroyMenu(menu);
}
