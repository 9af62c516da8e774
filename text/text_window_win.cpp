// Text windows. Until they land, opening one does nothing and there are no
// logs to close.
#include "core/window_procs_win.h"
#include "text/text_window.h"

int QUB_OpenTextWindow(int, int, int, int, int) { return 0; }

void QUB_CloseAllLogs() {}

LRESULT CALLBACK TextWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcW(window, message, wParam, lParam);
}
