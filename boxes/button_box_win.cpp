// The button box. Until it lands, opening it does nothing.
#include "boxes/button_box.h"
#include "core/window_procs_win.h"

void QUB_OpenButtonBox(int, int, int, int) {}

void QUB_DestroyButtonBox() {}

LRESULT CALLBACK ButtonBoxProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcW(window, message, wParam, lParam);
}
