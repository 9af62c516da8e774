// Redisplay of image windows: the whole picture, a rectangle of it, or what a
// paint message asks for. A 32-bit window shown below 50 % in halftone mode
// paints from its reduced copy (image/box_reduce.h): GDI's halftone stretch
// of every source pixel is the slow part of showing a large picture small,
// and the copy lets a partial redisplay reduce only the blocks it shows.
// Image windows belong to the worker thread, which runs the user routine and
// handles their paint messages, so one thread makes, uses and frees a copy.
#include <windows.h>

#include <cstdint>

#include "core/library_state.h"
#include "image/box_reduce.h"
#include "image/image_window.h"

namespace {

// Halftone stretching blends each target pixel with its neighbours': a
// partial redisplay refreshes this many reduced pixels beyond the ones it
// shows, and shows this many window pixels beyond the rectangle asked for.
constexpr int kMargin = 2;

bool IsOpen(int n) { return n >= 0 && n < kImageSlots && qubState.images[n].inUse; }

// Rounded divisions for b > 0, and a saturated int: a caller's rectangle may
// lie anywhere, and only its part inside the window is shown.
int64_t FloorDiv(int64_t a, int64_t b) { return a >= 0 ? a / b : -((-a + b - 1) / b); }
int64_t CeilDiv(int64_t a, int64_t b) { return a >= 0 ? (a + b - 1) / b : -(-a / b); }
int Saturate(int64_t v) {
    return v < INT32_MIN ? INT32_MIN : v > INT32_MAX ? INT32_MAX : static_cast<int>(v);
}

void ForgetReduced(ImageWindowRecord& r) {
    r.reducedDC = nullptr;
    r.reducedDib = r.reducedSaved = nullptr;
    r.reducedBits = nullptr;
    r.reducedFactor = r.reducedWidth = r.reducedHeight = 0;
}

void FreeReduced(ImageWindowRecord& r) {
    if (r.reducedDC) {
        if (r.reducedSaved) SelectObject(r.reducedDC, r.reducedSaved);
        DeleteDC(r.reducedDC);
    }
    if (r.reducedDib) DeleteObject(r.reducedDib);
    ForgetReduced(r);
}

// Whether window r paints from a reduced copy now; the copy is made here, or
// made again when the zoom asks for another factor. Without the memory for
// one the window paints from its buffer, as it always could.
bool UseReduced(ImageWindowRecord& r) {
    const bool halftone = GetStretchBltMode(r.windowDC) == HALFTONE;
    const int factor = r.depth == 32 && halftone ? QUB_ReductionFactor(r.zoom) : 0;
    if (factor == r.reducedFactor && (factor == 0 || r.reducedDC)) return factor != 0;
    FreeReduced(r);
    if (factor == 0) return false;
    const int w = QUB_ReducedSize(r.width, factor), h = QUB_ReducedSize(r.height, factor);
    // Edge blocks round up: the copy of a picture a few pixels across could
    // outgrow a third of it, and would gain nothing.
    if (int64_t{w} * h * 3 > int64_t{r.width} * r.height) return false;
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = w;
    info.bmiHeader.biHeight = -h;  // negative: rows run top-down, as in the buffer
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HDC dc = CreateCompatibleDC(r.windowDC);
    HBITMAP dib = dc ? CreateDIBSection(r.windowDC, &info, DIB_RGB_COLORS, &bits, nullptr, 0)
                     : nullptr;
    if (!dib || !bits) {
        if (dib) DeleteObject(dib);
        if (dc) DeleteDC(dc);
        return false;
    }
    r.reducedDC = dc;
    r.reducedDib = dib;
    r.reducedSaved = static_cast<HBITMAP>(SelectObject(dc, dib));
    r.reducedBits = static_cast<uint32_t*>(bits);
    r.reducedFactor = factor;
    r.reducedWidth = w;
    r.reducedHeight = h;
    return true;
}

// Reduces again the blocks that window pixels `shown` are stretched from.
void RefreshReduced(const ImageWindowRecord& r, const uint32_t* bits, const RECT& shown) {
    const int64_t cw = r.reducedWidth, ch = r.reducedHeight;
    const int64_t dw = r.displayWidth, dh = r.displayHeight;
    QUB_BoxReduce(bits, r.width, r.height, r.reducedFactor, r.reducedBits,
                  Saturate(FloorDiv(shown.left * cw, dw) - kMargin),
                  Saturate(FloorDiv(shown.top * ch, dh) - kMargin),
                  Saturate(CeilDiv(shown.right * cw, dw) + kMargin),
                  Saturate(CeilDiv(shown.bottom * ch, dh) + kMargin));
}

// The whole picture drawn as the description of redisplay says, from the
// reduced copy where there is one, showing only what the clip lets through.
void DrawWhole(const ImageWindowRecord& r, bool reduced) {
    if (r.zoom == 100)
        BitBlt(r.windowDC, 0, 0, r.width, r.height, r.memoryDC, 0, 0, SRCCOPY);
    else if (reduced)
        StretchBlt(r.windowDC, 0, 0, r.displayWidth, r.displayHeight, r.reducedDC, 0, 0,
                   r.reducedWidth, r.reducedHeight, SRCCOPY);
    else
        StretchBlt(r.windowDC, 0, 0, r.displayWidth, r.displayHeight, r.memoryDC, 0, 0, r.width,
                   r.height, SRCCOPY);
}

// Window pixels `shown` brought up to date with the buffer; with `clip`, the
// rest of the window is left as it was.
void Show(int n, const RECT& shown, bool clip) {
    ImageWindowRecord& r = qubState.images[n];
    const bool reduced = UseReduced(r);
    if (reduced) RefreshReduced(r, qubState.imageBits32[n], shown);
    if (clip) IntersectClipRect(r.windowDC, shown.left, shown.top, shown.right, shown.bottom);
    DrawWhole(r, reduced);
    if (clip) SelectClipRgn(r.windowDC, nullptr);
}

}  // namespace

void QUB_FreeReducedCopy(ImageWindowRecord& r) { FreeReduced(r); }

void QUB_ForgetReducedCopy(ImageWindowRecord& r) { ForgetReduced(r); }

int QUB_DisplayImage(int n) {
    if (!IsOpen(n)) return 1;
    const ImageWindowRecord& r = qubState.images[n];
    Show(n, RECT{0, 0, r.displayWidth, r.displayHeight}, false);
    return 0;
}

int QUB_DisplayImageRect(int n, int x, int y, int width, int height) {
    if (!IsOpen(n)) return 1;
    const ImageWindowRecord& r = qubState.images[n];
    if (width <= 0 || height <= 0) return 0;
    const int64_t dw = r.displayWidth, dh = r.displayHeight;
    RECT shown = {Saturate(FloorDiv(int64_t{x} * dw, r.width) - kMargin),
                  Saturate(FloorDiv(int64_t{y} * dh, r.height) - kMargin),
                  Saturate(CeilDiv((int64_t{x} + width) * dw, r.width) + kMargin),
                  Saturate(CeilDiv((int64_t{y} + height) * dh, r.height) + kMargin)};
    const RECT window = {0, 0, r.displayWidth, r.displayHeight};
    if (IntersectRect(&shown, &shown, &window)) Show(n, shown, true);
    return 0;
}

void QUB_PaintImage(int n, const RECT& update) {
    if (!IsOpen(n)) return;
    const ImageWindowRecord& r = qubState.images[n];
    RECT shown;
    const RECT window = {0, 0, r.displayWidth, r.displayHeight};
    // The system clips painting to the update region already.
    if (IntersectRect(&shown, &update, &window)) Show(n, shown, false);
}
