#include "core/window_place_win.h"

#include "core/window_place.h"

int QUB_CreationX(int x, bool xDefault, bool yDefault) {
    return xDefault || yDefault ? CW_USEDEFAULT : x;
}

int QUB_CreationY(int y, bool xDefault, bool yDefault) {
    return xDefault || yDefault ? CW_USEDEFAULT : y;
}

void QUB_SettleWindowPlace(HWND window, int x, int y, bool xDefault, bool yDefault) {
    RECT r;
    if (!GetWindowRect(window, &r)) return;
    const int left = GetSystemMetrics(SM_XVIRTUALSCREEN);
    const int top = GetSystemMetrics(SM_YVIRTUALSCREEN);
    const SnapRect screen = {left, top, left + GetSystemMetrics(SM_CXVIRTUALSCREEN),
                             top + GetSystemMetrics(SM_CYVIRTUALSCREEN)};
    const WindowPlace place =
        QUB_PlaceWindow(x, y, xDefault, yDefault, {r.left, r.top, r.right, r.bottom}, screen);
    if (place.x != r.left || place.y != r.top)
        SetWindowPos(window, nullptr, place.x, place.y, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}
