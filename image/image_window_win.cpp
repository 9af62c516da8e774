// Image windows. Until the buffer and window code lands, no window can be
// made: creation reports that no bitmap was made, and every slot stays closed.
#include "core/library_state.h"
#include "core/window_procs_win.h"
#include "image/image_window.h"

namespace {

bool IsOpen(int n) { return n >= 0 && n < kImageSlots && qubState.images[n].inUse; }

}  // namespace

int QUB_CreateImageDepth(int n, const char*, int, int, int, int, int, int depth) {
    if (n < 0 || n >= kImageSlots) return 4;
    if (qubState.images[n].inUse) return 1;
    if (depth != 8 && depth != 32) return 3;
    return 3;
}

int QUB_CreateImage(int n, const char* title, int x, int y, int width, int height, int zoom) {
    return QUB_CreateImageDepth(n, title, x, y, width, height, zoom, 32);
}

int QUB_CreateImage8(int n, const char* title, int x, int y, int width, int height, int zoom) {
    return QUB_CreateImageDepth(n, title, x, y, width, height, zoom, 8);
}

int QUB_DestroyImage(int n) { return IsOpen(n) ? 0 : 1; }

int QUB_DisplayImage(int n) { return IsOpen(n) ? 0 : 1; }

int QUB_SelectImage(int n) {
    if (!IsOpen(n)) return 1;
    LibraryState& s = qubState;
    for (int i = kHistoryDepth - 1; i > 0; --i) s.imageHistory[i] = s.imageHistory[i - 1];
    s.imageHistory[0] = s.currentImage;
    s.currentImage = n;
    return 0;
}

int QUB_RestoreImage() {
    LibraryState& s = qubState;
    const int m = s.imageHistory[0];
    if (!IsOpen(m)) return 1;
    s.currentImage = m;
    for (int i = 0; i < kHistoryDepth - 1; ++i) s.imageHistory[i] = s.imageHistory[i + 1];
    return 0;
}

int QUB_FindImageSlot(HWND window) {
    for (int n = 0; n < kImageSlots; ++n)
        if (qubState.images[n].inUse && qubState.images[n].window == window) return n;
    return -1;
}

LRESULT CALLBACK ImageWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcW(window, message, wParam, lParam);
}
