// The input box. Until it lands, opening it does nothing.
#include "boxes/input_box.h"
#include "core/window_procs_win.h"

void QUB_OpenInputBox(int, int, int) {}

void QUB_CloseInputBox() {}

LRESULT CALLBACK InputBoxProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcW(window, message, wParam, lParam);
}
