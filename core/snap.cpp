#include "core/snap.h"

#include <cstring>
#include <thread>

namespace {

constexpr long long kSnapDistance = 8;  // a distance of 7 snaps, 8 does not

// Distances are taken in 64 bits: window rectangles come from outside and can
// hold any 32-bit values.
bool Near(int a, int b) {
    long long d = static_cast<long long>(a) - b;
    return d > -kSnapDistance && d < kSnapDistance;
}

bool SameRect(const SnapRect& a, const SnapRect& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

struct SnapLock {
    explicit SnapLock(SnapList& l) : list(l) {
        while (list.busy.test_and_set(std::memory_order_acquire)) std::this_thread::yield();
    }
    ~SnapLock() { list.busy.clear(std::memory_order_release); }
    SnapLock(const SnapLock&) = delete;
    SnapLock& operator=(const SnapLock&) = delete;
    SnapList& list;
};

}  // namespace

void QUB_PublishSnapRects(SnapList& list, const SnapRect* rects, int count) {
    if (count < 0) count = 0;
    if (count > kMaxSnapRects) count = kMaxSnapRects;
    SnapLock lock(list);
    std::memcpy(list.rects, rects, sizeof(SnapRect) * static_cast<size_t>(count));
    list.count = count;
}

int QUB_CopySnapRects(SnapList& list, SnapRect* out) {
    SnapLock lock(list);
    std::memcpy(out, list.rects, sizeof(SnapRect) * static_cast<size_t>(list.count));
    return list.count;
}

void QUB_MakeSnapWalls(int cx, int cy, SnapRect (&walls)[kSnapWalls]) {
    walls[0] = {-1000, 0, 0, cy};
    walls[1] = {0, -1000, cx, 0};
    walls[2] = {cx, 0, cx + 1000, cy};
    walls[3] = {0, cy, cx, cy + 1000};
}

void QUB_SnapToRects(const SnapRect* rects, int count, const SnapRect& current,
                     SnapRect& proposed) {
    // Every test looks at the rectangle as proposed; the shifts are applied at
    // the end, each axis at most once.
    const int L = proposed.left, T = proposed.top, R = proposed.right, B = proposed.bottom;
    bool xDone = false, yDone = false;
    long long dx = 0, dy = 0;
    for (int i = 0; i < count && !(xDone && yDone); ++i) {
        const SnapRect& e = rects[i];
        if (SameRect(e, current)) continue;
        const bool hOverlap = e.left <= R && e.right >= L;
        const bool vOverlap = e.top <= B && e.bottom >= T;

        if (!xDone && vOverlap) {
            if (Near(e.right, L)) {
                dx = static_cast<long long>(e.right) - L;
                xDone = true;
            } else if (Near(e.left, R)) {
                dx = static_cast<long long>(e.left) - R;
                xDone = true;
            }
        }
        if (!yDone) {
            if (xDone && hOverlap) {
                if (Near(e.top, T)) {
                    dy = static_cast<long long>(e.top) - T;
                    yDone = true;
                } else if (Near(e.bottom, B)) {
                    dy = static_cast<long long>(e.bottom) - B;
                    yDone = true;
                }
            }
            if (!yDone && hOverlap) {
                if (Near(e.bottom, T)) {
                    dy = static_cast<long long>(e.bottom) - T;
                    yDone = true;
                } else if (Near(e.top, B)) {
                    dy = static_cast<long long>(e.top) - B;
                    yDone = true;
                }
            }
        }
        if (!xDone && yDone && vOverlap) {
            if (Near(e.left, L)) {
                dx = static_cast<long long>(e.left) - L;
                xDone = true;
            } else if (Near(e.right, R)) {
                dx = static_cast<long long>(e.right) - R;
                xDone = true;
            }
        }
    }
    // |dx|, |dy| < 8, so the shifted edges stay in range unless the proposed
    // rectangle already lies at the very end of the int range.
    proposed.left = static_cast<int>(L + dx);
    proposed.right = static_cast<int>(R + dx);
    proposed.top = static_cast<int>(T + dy);
    proposed.bottom = static_cast<int>(B + dy);
}
