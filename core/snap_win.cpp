// Collecting the library's window rectangles and snapping a dragged window.
#include "core/library_state.h"
#include "core/runtime.h"

namespace {

SnapRect ToSnap(const RECT& r) { return {r.left, r.top, r.right, r.bottom}; }

void Add(SnapRect* list, int& count, HWND window) {
    RECT r;
    if (count < kMaxSnapRects && GetWindowRect(window, &r)) list[count++] = ToSnap(r);
}

}  // namespace

void QUB_CollectSnapRects() {
    LibraryState& s = qubState;
    SnapRect list[kMaxSnapRects];
    int count = 0;

    const int cx = GetSystemMetrics(SM_CXFULLSCREEN);
    const int cy = GetSystemMetrics(SM_CYFULLSCREEN) + GetSystemMetrics(SM_CYCAPTION);
    SnapRect walls[kSnapWalls];
    QUB_MakeSnapWalls(cx, cy, walls);
    for (const SnapRect& wall : walls) list[count++] = wall;

    for (const ImageWindowRecord& image : s.images)
        if (image.inUse) Add(list, count, image.window);
    for (const TextWindowRecord& text : s.textWindows)
        if (text.inUse) Add(list, count, text.window);
    if (s.inputBox.window) Add(list, count, s.inputBox.window);
    if (s.buttonBox.window) Add(list, count, s.buttonBox.window);
    if (s.mainWindow) Add(list, count, s.mainWindow);

    QUB_PublishSnapRects(s.snapList, list, count);
}

void QUB_SnapMovingRect(HWND window, RECT* proposed) {
    if (GetKeyState(VK_CONTROL) >= 0) return;
    RECT now;
    if (!GetWindowRect(window, &now)) return;
    SnapRect rects[kMaxSnapRects];
    const int count = QUB_CopySnapRects(qubState.snapList, rects);
    SnapRect moved = ToSnap(*proposed);
    QUB_SnapToRects(rects, count, ToSnap(now), moved);
    *proposed = {moved.left, moved.top, moved.right, moved.bottom};
}
