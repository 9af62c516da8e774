#include "core/window_place.h"

#include <algorithm>
#include <cstdint>

namespace {

// Clamps in 64 bits: asked positions come from user code and can be any int,
// and a window rectangle near the ends of the range must not overflow.
int64_t Keep(int64_t start, int64_t size, int64_t low, int64_t high, bool mayLeaveLow) {
    const int64_t visible = std::min<int64_t>(std::max<int64_t>(size, 1), kMinVisiblePixels);
    const int64_t lowest = mayLeaveLow ? low - size + visible : low;
    const int64_t highest = high - visible;
    if (start > highest) start = highest;
    if (start < lowest) start = lowest;
    return start;
}

}  // namespace

WindowPlace QUB_PlaceWindow(int x, int y, bool xDefault, bool yDefault, const SnapRect& created,
                            const SnapRect& screen) {
    const int64_t w = static_cast<int64_t>(created.right) - created.left;
    const int64_t h = static_cast<int64_t>(created.bottom) - created.top;
    const int64_t px = xDefault ? created.left : x;
    const int64_t py = yDefault ? created.top : y;
    WindowPlace place;
    place.x = static_cast<int>(Keep(px, w, screen.left, screen.right, true));
    // The caption is at the top: a window may hang off the bottom, never off the top.
    place.y = static_cast<int>(Keep(py, h, screen.top, screen.bottom, false));
    return place;
}
