#include "imgproc/circle.h"

#include <cmath>
#include <cstdint>

#include "imgproc/pixel_surface.h"

using qub_px::InvertOp;
using qub_px::SetOp;
using qub_px::Surface32;
using qub_px::Surface8;

namespace {

// ---------------------------------------------------------------------------
// Skipping passes
//
// Summing the updates gives, at the start of pass i, d = r^2 - j^2 + j - i^2,
// and while j moves at most one step per pass it is the largest j <= r with
// j(j - 1) < r^2 - i^2. One step per pass is guaranteed while j >= i + 3, which
// fails only in the last few passes near the diagonal; those are always walked.
// ---------------------------------------------------------------------------

struct Interval {
    int64_t lo, hi;
};

// Passes i for which a coordinate c + i or c - i falls in [0, limit - 1].
int AxisIntervals(int64_t c, int limit, Interval* out) {
    out[0] = {-c, limit - 1 - c};
    out[1] = {c - (limit - 1), c};
    return 2;
}

class CircleWalk {
public:
    explicit CircleWalk(int64_t radius) : r_(radius), limit_(radius * 5 / 7) {
        i = 0;
        j = r_;
        d = r_;
        safe_ = 0;
        if (limit_ >= 1) {
            int64_t lo = 0, hi = limit_;
            while (lo < hi) {
                const int64_t mid = hi - (hi - lo) / 2;
                if (StartJ(mid - 1) >= mid + 2) lo = mid; else hi = mid - 1;
            }
            safe_ = lo;
        }
    }

    // j at the start of pass i, i in [0, safe]. Non-increasing in i.
    int64_t StartJ(int64_t pass) const {
        if (pass <= 0) return r_;
        const int64_t bound = r_ * r_ - pass * pass;
        int64_t jj = static_cast<int64_t>(std::sqrt(static_cast<double>(bound)) + 0.5);
        if (jj > r_) jj = r_;
        while (jj > 0 && jj * (jj - 1) >= bound) --jj;
        while (jj < r_ && (jj + 1) * jj < bound) ++jj;
        return jj;
    }

    int64_t Safe() const { return safe_; }

    // Moves to the first pass at or after i that lies in one of the intervals,
    // as far as the closed form is valid.
    void SkipTo(const Interval* useful, int count) {
        if (i >= safe_) return;
        int64_t next = safe_;
        for (int k = 0; k < count; ++k) {
            if (useful[k].hi < i || useful[k].lo > useful[k].hi) continue;
            const int64_t start = useful[k].lo > i ? useful[k].lo : i;
            if (start < next) next = start;
        }
        if (next <= i) return;
        i = next;
        j = StartJ(i);
        d = r_ * r_ - j * j + j - i * i;
    }

    // The update at the end of a pass; true when j stepped.
    bool Advance() {
        d -= 2 * i + 1;
        if (d <= 0) {
            d += 2 * j - 2;
            --j;
            return true;
        }
        return false;
    }
    bool Finished() const { return i + 1 > limit_ || i + 1 > j; }

    int64_t i, j, d;

private:
    int64_t r_, limit_, safe_;
};

template <class S, class Op>
inline void Plot(const S& s, const Op& op, int64_t x, int64_t y) {
    if (qub_px::Inside(s, x, y)) op.Point(s, static_cast<int>(x), static_cast<int>(y));
}

template <class S, class Op>
void Outline(const S& s, Op op, int64_t cx, int64_t cy, int64_t r) {
    if (s.width <= 0 || s.height <= 0) return;
    Interval useful[4];
    AxisIntervals(cx, s.width, useful);
    AxisIntervals(cy, s.height, useful + 2);
    CircleWalk w(r);
    for (;;) {
        w.SkipTo(useful, 4);
        const int64_t i = w.i, j = w.j;
        Plot(s, op, cx - i, cy + j);
        Plot(s, op, cx + i, cy - j);
        if (i != 0 && i != j) {
            Plot(s, op, cx + i, cy + j);
            Plot(s, op, cx - i, cy - j);
            Plot(s, op, cx + j, cy - i);
            Plot(s, op, cx - j, cy + i);
        }
        Plot(s, op, cx + j, cy + i);
        Plot(s, op, cx - j, cy - i);
        w.Advance();
        if (w.Finished()) break;
        ++w.i;
    }
}

int ClampToInt(int64_t v) {
    return v < INT32_MIN ? INT32_MIN : v > INT32_MAX ? INT32_MAX : static_cast<int>(v);
}

// The right end of the walk's last span: half-width i of the last pass on row
// cy - j, j as that pass began (steps 2 and 4 of the walk both end there).
void LastSpanEnd(const CircleWalk& w, bool stepped, int64_t cx, int64_t cy, QUB_Pen* pen) {
    if (pen == nullptr) return;
    pen->x = ClampToInt(cx + w.i);
    pen->y = ClampToInt(cy - (stepped ? w.j + 1 : w.j));
}

template <class S, class Op>
void Disc(const S& s, Op op, int64_t cx, int64_t cy, int64_t r, QUB_Pen* pen) {
    CircleWalk w(r);
    if (s.width <= 0 || s.height <= 0) {
        bool stepped = false;
        for (;;) {
            w.SkipTo(nullptr, 0);
            stepped = w.Advance();
            if (w.Finished()) break;
            ++w.i;
        }
        LastSpanEnd(w, stepped, cx, cy, pen);
        return;
    }
    // Rows cy +- i carry half-width j; rows cy +- j carry half-width i, and j
    // falls with i, so the passes whose j reaches the image form an interval
    // found by bisection.
    Interval useful[4];
    AxisIntervals(cy, s.height, useful);
    Interval rows[2];
    AxisIntervals(cy, s.height, rows);
    for (int k = 0; k < 2; ++k) {
        Interval& out = useful[2 + k];
        out = {1, 0};
        const int64_t safe = w.Safe();
        if (w.StartJ(safe) > rows[k].hi || w.StartJ(0) < rows[k].lo) continue;
        int64_t lo = 0, hi = safe;
        while (lo < hi) {  // first pass with StartJ <= rows.hi
            const int64_t mid = lo + (hi - lo) / 2;
            if (w.StartJ(mid) <= rows[k].hi) hi = mid; else lo = mid + 1;
        }
        out.lo = lo;
        hi = safe;
        while (lo < hi) {  // last pass with StartJ >= rows.lo
            const int64_t mid = hi - (hi - lo) / 2;
            if (w.StartJ(mid) >= rows[k].lo) lo = mid; else hi = mid - 1;
        }
        out.hi = lo;
    }
    bool stepped = false;
    for (;;) {
        w.SkipTo(useful, 4);
        const int64_t i = w.i, j = w.j;
        if (i != j) {
            qub_px::ClippedSpan(s, cx - j, cx + j, cy + i, op);
            if (i != 0) qub_px::ClippedSpan(s, cx - j, cx + j, cy - i, op);
        }
        if (w.d - (2 * i + 1) <= 0) {
            qub_px::ClippedSpan(s, cx - i, cx + i, cy + j, op);
            qub_px::ClippedSpan(s, cx - i, cx + i, cy - j, op);
        }
        stepped = w.Advance();
        if (w.Finished()) break;
        ++w.i;
    }
    if (!stepped) {
        qub_px::ClippedSpan(s, cx - w.i, cx + w.i, cy + w.j, op);
        qub_px::ClippedSpan(s, cx - w.i, cx + w.i, cy - w.j, op);
    }
    LastSpanEnd(w, stepped, cx, cy, pen);
}

}  // namespace

void QUB_DrawCircle32(uint32_t* pixels, int width, int height, int cx, int cy, uint32_t colour, int r) {
    Outline(Surface32{pixels, width, height}, SetOp<Surface32>{colour}, cx, cy, r);
}

void QUB_DrawCircle8(uint8_t* pixels, int width, int height, int stride, int cx, int cy,
                     uint32_t colour, int r) {
    Outline(Surface8{pixels, width, height, stride}, SetOp<Surface8>{Surface8::Stored(colour)}, cx, cy,
            r);
}

void QUB_XorCircle32(uint32_t* pixels, int width, int height, int cx, int cy, int r) {
    Outline(Surface32{pixels, width, height}, InvertOp<Surface32>{}, cx, cy, r);
}

void QUB_XorCircle8(uint8_t* pixels, int width, int height, int stride, int cx, int cy, int r) {
    Outline(Surface8{pixels, width, height, stride}, InvertOp<Surface8>{}, cx, cy, r);
}

void QUB_FillCircle32(uint32_t* pixels, int width, int height, int cx, int cy, uint32_t colour, int r,
                      QUB_Pen* pen) {
    const Surface32 s{pixels, width, height};
    Disc(s, SetOp<Surface32>{colour}, cx, cy, r, pen);
    Outline(s, SetOp<Surface32>{colour}, cx, cy, r);
}

void QUB_FillCircle8(uint8_t* pixels, int width, int height, int stride, int cx, int cy,
                     uint32_t colour, int r, QUB_Pen* pen) {
    const Surface8 s{pixels, width, height, stride};
    Disc(s, SetOp<Surface8>{Surface8::Stored(colour)}, cx, cy, r, pen);
    Outline(s, SetOp<Surface8>{Surface8::Stored(colour)}, cx, cy, r);
}

void QUB_XorFillCircle32(uint32_t* pixels, int width, int height, int cx, int cy, int r,
                         QUB_Pen* pen) {
    Disc(Surface32{pixels, width, height}, InvertOp<Surface32>{}, cx, cy, r, pen);
}

void QUB_XorFillCircle8(uint8_t* pixels, int width, int height, int stride, int cx, int cy, int r,
                        QUB_Pen* pen) {
    Disc(Surface8{pixels, width, height, stride}, InvertOp<Surface8>{}, cx, cy, r, pen);
}

void QUB_CircleWalkReference(int r, void (*pass)(void* context, int64_t i, int64_t j), void* context) {
    CircleWalk w(r);
    for (;;) {
        pass(context, w.i, w.j);
        w.Advance();
        if (w.Finished()) break;
        ++w.i;
    }
}
