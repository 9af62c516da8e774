#include "imgproc/draw.h"

#include "imgproc/line_walk.h"
#include "imgproc/pixel_surface.h"

using qub_px::InvertOp;
using qub_px::SetOp;
using qub_px::Surface32;
using qub_px::Surface8;

namespace {

template <class S, class Op>
void Line(const S& s, Op op, int x1, int y1, int x2, int y2) {
    if (x1 == x2 || y1 == y2) {
        // Straight lines are runs; draw them as spans, row by row.
        if (y1 == y2) {
            qub_px::ClippedSpan(s, x1, x2, y1, op);
            return;
        }
        if (static_cast<unsigned>(x1) >= static_cast<unsigned>(s.width)) return;
        int64_t ya = y1 < y2 ? y1 : y2, yb = y1 < y2 ? y2 : y1;
        if (ya < 0) ya = 0;
        if (yb > s.height - 1) yb = s.height - 1;
        for (int64_t y = ya; y <= yb; ++y) op.Point(s, x1, static_cast<int>(y));
        return;
    }
    qub_px::WalkLine(x1, y1, x2, y2, s.width, s.height, [&](int x, int y) { op.Point(s, x, y); });
}

inline void Order(int& x1, int& y1, int& x2, int& y2) {
    if (x1 > x2) { const int t = x1; x1 = x2; x2 = t; }
    if (y1 > y2) { const int t = y1; y1 = y2; y2 = t; }
}

template <class S, class Op>
void Box(const S& s, Op op, int x1, int y1, int x2, int y2) {
    Order(x1, y1, x2, y2);
    Line(s, op, x1, y1, x2, y1);
    Line(s, op, x2, y1, x2, y2);
    Line(s, op, x2, y2, x1, y2);
    Line(s, op, x1, y2, x1, y1);
}

// Rows ymin..ymax of the rectangle, clipped before the loop so that a
// rectangle spanning the int range costs only the visible rows.
template <class S, class Op>
void FillRows(const S& s, Op op, int x1, int y1, int x2, int y2) {
    Order(x1, y1, x2, y2);
    const int ya = y1 < 0 ? 0 : y1;
    const int yb = y2 > s.height - 1 ? s.height - 1 : y2;
    for (int y = ya; y <= yb; ++y) qub_px::ClippedSpan(s, x1, x2, y, op);
}

template <class S>
void XorBox(const S& s, int x1, int y1, int x2, int y2) {
    Order(x1, y1, x2, y2);
    const InvertOp<S> op;
    Line(s, op, x1, y1, x2, y1);
    if (y2 != y1) Line(s, op, x1, y2, x2, y2);
    if (static_cast<int64_t>(y2) - y1 > 1) {
        Line(s, op, x1, y1 + 1, x1, y2 - 1);
        Line(s, op, x2, y1 + 1, x2, y2 - 1);
    }
}

}  // namespace

void QUB_SetPixel32(uint32_t* pixels, int width, int height, int x, int y, uint32_t colour) {
    const Surface32 s{pixels, width, height};
    if (qub_px::Inside(s, x, y)) s.Set(x, y, colour);
}

void QUB_SetPixel8(uint8_t* pixels, int width, int height, int stride, int x, int y, uint32_t colour) {
    const Surface8 s{pixels, width, height, stride};
    if (qub_px::Inside(s, x, y)) s.Set(x, y, Surface8::Stored(colour));
}

void QUB_XorPixel32(uint32_t* pixels, int width, int height, int x, int y) {
    const Surface32 s{pixels, width, height};
    if (qub_px::Inside(s, x, y)) s.Invert(x, y);
}

void QUB_XorPixel8(uint8_t* pixels, int width, int height, int stride, int x, int y) {
    const Surface8 s{pixels, width, height, stride};
    if (qub_px::Inside(s, x, y)) s.Invert(x, y);
}

int64_t QUB_ReadPixel32(const uint32_t* pixels, int width, int height, int x, int y, int64_t outside) {
    const Surface32 s{const_cast<uint32_t*>(pixels), width, height};
    return qub_px::Inside(s, x, y) ? static_cast<int64_t>(s.Get(x, y)) : outside;
}

int64_t QUB_ReadPixel8(const uint8_t* pixels, int width, int height, int stride, int x, int y,
                       int64_t outside) {
    const Surface8 s{const_cast<uint8_t*>(pixels), width, height, stride};
    return qub_px::Inside(s, x, y) ? static_cast<int64_t>(s.Get(x, y)) : outside;
}

void QUB_DrawLine32(uint32_t* pixels, int width, int height, uint32_t colour, int x1, int y1, int x2,
                    int y2) {
    const Surface32 s{pixels, width, height};
    Line(s, SetOp<Surface32>{colour}, x1, y1, x2, y2);
}

void QUB_DrawLine8(uint8_t* pixels, int width, int height, int stride, uint32_t colour, int x1, int y1,
                   int x2, int y2) {
    const Surface8 s{pixels, width, height, stride};
    Line(s, SetOp<Surface8>{Surface8::Stored(colour)}, x1, y1, x2, y2);
}

void QUB_XorLine32(uint32_t* pixels, int width, int height, int x1, int y1, int x2, int y2) {
    const Surface32 s{pixels, width, height};
    Line(s, InvertOp<Surface32>{}, x1, y1, x2, y2);
}

void QUB_XorLine8(uint8_t* pixels, int width, int height, int stride, int x1, int y1, int x2, int y2) {
    const Surface8 s{pixels, width, height, stride};
    Line(s, InvertOp<Surface8>{}, x1, y1, x2, y2);
}

void QUB_DrawBox32(uint32_t* pixels, int width, int height, uint32_t colour, int x1, int y1, int x2,
                   int y2) {
    const Surface32 s{pixels, width, height};
    Box(s, SetOp<Surface32>{colour}, x1, y1, x2, y2);
}

void QUB_DrawBox8(uint8_t* pixels, int width, int height, int stride, uint32_t colour, int x1, int y1,
                  int x2, int y2) {
    const Surface8 s{pixels, width, height, stride};
    Box(s, SetOp<Surface8>{Surface8::Stored(colour)}, x1, y1, x2, y2);
}

// The outline and then the inner rows, as the library describes it, cover the
// closed rectangle exactly once in one colour; filling the rows directly gives
// the same pixels.
void QUB_FillBox32(uint32_t* pixels, int width, int height, uint32_t colour, int x1, int y1, int x2,
                   int y2) {
    const Surface32 s{pixels, width, height};
    FillRows(s, SetOp<Surface32>{colour}, x1, y1, x2, y2);
}

void QUB_FillBox8(uint8_t* pixels, int width, int height, int stride, uint32_t colour, int x1, int y1,
                  int x2, int y2) {
    const Surface8 s{pixels, width, height, stride};
    FillRows(s, SetOp<Surface8>{Surface8::Stored(colour)}, x1, y1, x2, y2);
}

void QUB_XorBox32(uint32_t* pixels, int width, int height, int x1, int y1, int x2, int y2) {
    XorBox(Surface32{pixels, width, height}, x1, y1, x2, y2);
}

void QUB_XorBox8(uint8_t* pixels, int width, int height, int stride, int x1, int y1, int x2, int y2) {
    XorBox(Surface8{pixels, width, height, stride}, x1, y1, x2, y2);
}

void QUB_XorFillBox32(uint32_t* pixels, int width, int height, int x1, int y1, int x2, int y2) {
    const Surface32 s{pixels, width, height};
    FillRows(s, InvertOp<Surface32>{}, x1, y1, x2, y2);
}

void QUB_XorFillBox8(uint8_t* pixels, int width, int height, int stride, int x1, int y1, int x2,
                     int y2) {
    const Surface8 s{pixels, width, height, stride};
    FillRows(s, InvertOp<Surface8>{}, x1, y1, x2, y2);
}
