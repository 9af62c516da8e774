#include "boxes/box_window_win.h"

#include "core/library_state.h"
#include "core/runtime.h"

BoxSize QUB_BoxWindowSizeFor(BoxSize client) {
    RECT r = {0, 0, client.width, client.height};
    AdjustWindowRect(&r, kBoxStyle, FALSE);
    return {r.right - r.left, r.bottom - r.top};
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
