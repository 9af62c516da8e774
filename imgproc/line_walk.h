// The library's line walk, clipped to a width x height image without changing
// which pixels it chooses.
//
// The walk: a vertical or horizontal line (or a single point) visits every
// pixel between its ends. Otherwise the end points are ordered so that x runs
// upward; with dx = x2 - x1 and dy = |y2 - y1| the longer axis is the major one
// (ties go to x) and an error term starting at (dmajor + 1) / 2 loses dminor at
// each major step; when it drops to 0 or below it gains dmajor back and the
// minor coordinate steps once. Every pixel is visited once, so XOR drawing the
// same line twice restores the image.
//
// Clipping: the ends may lie anywhere in the int range. The walk is entered at
// the first step that lies inside the image, with the error term it would have
// had there, which is computed in closed form: after k major steps the minor
// coordinate has stepped m(k) = (k*dminor + dmajor - e0) / dmajor times. All
// of this fits in unsigned 64 bits since k, dminor <= dmajor < 2^32, so a line
// across the whole int range costs no more than the part that is visible.
#pragma once
#include <cstdint>

namespace qub_px {

struct MajorWalk {
    int64_t a1;      // major coordinate at k = 0
    int64_t b1;      // minor coordinate at k = 0
    int sa, sb;      // +1 or -1 per step
    uint64_t dMajor;  // > 0
    uint64_t dMinor;  // 1 .. dMajor
    uint64_t e0;      // (dMajor + 1) / 2

    uint64_t MinorSteps(uint64_t k) const { return (k * dMinor + dMajor - e0) / dMajor; }
};

// Range of k for which a1 + sa*k lies in [0, limit - 1].
inline void AxisRange(int64_t start, int sign, int limit, int64_t* lo, int64_t* hi) {
    if (sign > 0) {
        *lo = -start;
        *hi = limit - 1 - start;
    } else {
        *lo = start - (limit - 1);
        *hi = start;
    }
}

// Calls visit(a, b) for each in-range step, in walk order; a and b are the major
// and minor coordinates, already known to be inside [0, aLimit) x [0, bLimit).
template <class Visit>
void WalkMajor(const MajorWalk& w, int aLimit, int bLimit, Visit visit) {
    int64_t kLo, kHi;
    AxisRange(w.a1, w.sa, aLimit, &kLo, &kHi);
    if (kLo < 0) kLo = 0;
    if (kHi > static_cast<int64_t>(w.dMajor)) kHi = static_cast<int64_t>(w.dMajor);
    if (kLo > kHi) return;
    // The minor coordinate b1 + sb*m must stay in range: m in [mLo, mHi].
    int64_t mLo, mHi;
    AxisRange(w.b1, w.sb, bLimit, &mLo, &mHi);
    // m(k) never decreases, so the in-range steps form one interval of k.
    auto m = [&](int64_t k) { return static_cast<int64_t>(w.MinorSteps(static_cast<uint64_t>(k))); };
    if (m(kHi) < mLo || m(kLo) > mHi) return;
    if (m(kLo) < mLo) {  // first k with m(k) >= mLo
        int64_t lo = kLo, hi = kHi;
        while (lo < hi) {
            const int64_t mid = lo + (hi - lo) / 2;
            if (m(mid) >= mLo) hi = mid; else lo = mid + 1;
        }
        kLo = lo;
    }
    if (m(kHi) > mHi) {  // last k with m(k) <= mHi
        int64_t lo = kLo, hi = kHi;
        while (lo < hi) {
            const int64_t mid = hi - (hi - lo) / 2;
            if (m(mid) <= mHi) lo = mid; else hi = mid - 1;
        }
        kHi = lo;
    }
    const uint64_t n = static_cast<uint64_t>(kLo) * w.dMinor + w.dMajor - w.e0;
    const int64_t dMajor = static_cast<int64_t>(w.dMajor);
    const int64_t dMinor = static_cast<int64_t>(w.dMinor);
    int64_t e = dMajor - static_cast<int64_t>(n % w.dMajor);
    int a = static_cast<int>(w.a1 + w.sa * kLo);
    int b = static_cast<int>(w.b1 + w.sb * static_cast<int64_t>(n / w.dMajor));
    for (int64_t k = kLo;; ++k) {
        visit(a, b);
        if (k == kHi) break;
        e -= dMinor;
        if (e <= 0) {
            e += dMajor;
            b += w.sb;
        }
        a += w.sa;
    }
}

// Calls visit(x, y) for each pixel of the line from (x1, y1) to (x2, y2) that
// lies inside the image.
template <class Visit>
void WalkLine(int x1, int y1, int x2, int y2, int width, int height, Visit visit) {
    if (width <= 0 || height <= 0) return;
    if (x1 == x2 || y1 == y2) {
        int64_t xa = x1, xb = x2, ya = y1, yb = y2;
        if (xa > xb) { const int64_t t = xa; xa = xb; xb = t; }
        if (ya > yb) { const int64_t t = ya; ya = yb; yb = t; }
        if (xa < 0) xa = 0;
        if (ya < 0) ya = 0;
        if (xb > width - 1) xb = width - 1;
        if (yb > height - 1) yb = height - 1;
        for (int64_t y = ya; y <= yb; ++y)
            for (int64_t x = xa; x <= xb; ++x) visit(static_cast<int>(x), static_cast<int>(y));
        return;
    }
    if (x1 > x2) {
        int t = x1; x1 = x2; x2 = t;
        t = y1; y1 = y2; y2 = t;
    }
    const uint64_t dx = static_cast<uint64_t>(static_cast<int64_t>(x2) - x1);
    const int64_t sdy = static_cast<int64_t>(y2) - y1;
    const uint64_t dy = static_cast<uint64_t>(sdy < 0 ? -sdy : sdy);
    const int ystep = sdy > 0 ? 1 : -1;
    if (dx >= dy) {
        const MajorWalk w{x1, y1, 1, ystep, dx, dy, (dx + 1) / 2};
        WalkMajor(w, width, height, [&](int a, int b) { visit(a, b); });
    } else {
        const MajorWalk w{y1, x1, ystep, 1, dy, dx, (dy + 1) / 2};
        WalkMajor(w, height, width, [&](int a, int b) { visit(b, a); });
    }
}

}  // namespace qub_px
