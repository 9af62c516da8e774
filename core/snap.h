// Snapping of a window that is dragged with Ctrl held: its edges jump to the
// screen walls and to the edges of other library windows within 7 pixels.
// Platform-free: rectangles are plain screen coordinates.
#pragma once
#include <atomic>

struct SnapRect {
    int left, top, right, bottom;
};

constexpr int kSnapWalls = 4;
// Four walls + 256 image windows + 256 text windows + input box + button box
// + main window.
constexpr int kMaxSnapRects = kSnapWalls + 256 + 256 + 1 + 1 + 1;

// Writes the four screen walls for a screen of cx x cy pixels into walls[0..3]:
// left, top, right, bottom, each 1000 pixels thick and lying just outside.
void QUB_MakeSnapWalls(int cx, int cy, SnapRect (&walls)[kSnapWalls]);

// Adjusts `proposed` (where the system wants to move the window) by at most one
// horizontal and one vertical shift towards the first entries of `rects` whose
// edges lie within 7 pixels. `current` is the window's rectangle now; an entry
// equal to it is the window itself and is skipped. The size never changes.
void QUB_SnapToRects(const SnapRect* rects, int count, const SnapRect& current,
                     SnapRect& proposed);

// The published list of rectangles. Both threads rebuild it (a window is made
// or moved on either) and both read it while a window is dragged, so a rebuild
// replaces it whole under a short spin lock and a reader takes a copy under the
// same lock: neither ever sees half of one list and half of another.
struct SnapList {
    SnapRect rects[kMaxSnapRects];
    int count = 0;
    std::atomic_flag busy = ATOMIC_FLAG_INIT;
};

// Replaces the list with the first `count` (at most kMaxSnapRects) of `rects`.
void QUB_PublishSnapRects(SnapList& list, const SnapRect* rects, int count);
// Copies the list into `out` (room for kMaxSnapRects) and returns its count.
int QUB_CopySnapRects(SnapList& list, SnapRect* out);
