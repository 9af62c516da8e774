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
    const int target = 1 - s.snapActive.load(std::memory_order_acquire);
    SnapRect* list = s.snapBuffers[target];
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

    s.snapCounts[target] = count;
    s.snapActive.store(target, std::memory_order_release);
}

void QUB_SnapMovingRect(HWND window, RECT* proposed) {
    if (GetKeyState(VK_CONTROL) >= 0) return;
    RECT now;
    if (!GetWindowRect(window, &now)) return;
    const LibraryState& s = qubState;
    const int active = s.snapActive.load(std::memory_order_acquire);
    SnapRect moved = ToSnap(*proposed);
    QUB_SnapToRects(s.snapBuffers[active], s.snapCounts[active], ToSnap(now), moved);
    *proposed = {moved.left, moved.top, moved.right, moved.bottom};
}
