// Whole-picture transforms and test patterns on image windows: the slot's
// buffer handed to the pixel engine, and for the size-changing ones a working
// copy carried across QUB_ResizeImage, which re-creates the window.
#include "imgproc/image_transforms.h"

#include <cstdlib>
#include <cstring>

#include "image/buffer_layout.h"
#include "image/toolbox_commands.h"
#include "image/image_window.h"
#include "image/zoom.h"
#include "imgproc/current_image_win.h"
#include "imgproc/test_patterns.h"
#include "imgproc/transforms.h"

namespace {

constexpr int kClosed = 1;
constexpr int kNoFit = 2;
constexpr int kNoMemory = 4;

void Repaint(int n) { InvalidateRect(qubState.images[n].window, nullptr, FALSE); }

size_t BufferBytes(const ImageTarget& t) {
    const size_t rowBytes = t.depth == 32 ? static_cast<size_t>(t.width) * 4u
                                          : static_cast<size_t>(t.stride);
    return rowBytes * static_cast<size_t>(t.height);
}

// A copy of the whole buffer, padding included; null when memory is short.
void* CopyBuffer(const ImageTarget& t) {
    const size_t bytes = BufferBytes(t);
    void* copy = std::malloc(bytes);
    if (copy) std::memcpy(copy, t.p8, bytes);
    return copy;
}

int Rotate(int n, bool right) {
    ImageTarget old;
    if (!QUB_ImageTarget(n, &old)) return kClosed;
    const int checked = QUB_CheckNewImageSize(n, old.height, old.width);
    if (checked != 0) return checked;
    void* copy = CopyBuffer(old);
    if (!copy) return kNoMemory;
    const int resized = QUB_ResizeImage(n, old.height, old.width);
    ImageTarget t;
    if (resized == 0 && QUB_ImageTarget(n, &t)) {
        if (old.depth == 32) {
            const uint32_t* src = static_cast<const uint32_t*>(copy);
            if (right)
                QUB_RotateRight32(src, old.width, old.height, t.p32);
            else
                QUB_RotateLeft32(src, old.width, old.height, t.p32);
        } else {
            const uint8_t* src = static_cast<const uint8_t*>(copy);
            if (right)
                QUB_RotateRight8(src, old.width, old.height, old.stride, t.p8, t.stride);
            else
                QUB_RotateLeft8(src, old.width, old.height, old.stride, t.p8, t.stride);
        }
        Repaint(n);
    }
    std::free(copy);
    return resized;
}

// How GDI is to read a working copy: top-down rows, and for 8 bits the
// palette the picture had.
struct CopyDescription {
    BITMAPINFOHEADER header;
    RGBQUAD colours[256];
};

}  // namespace

int QUB_InvertImage(int n) {
    ImageTarget t;
    if (!QUB_ImageTarget(n, &t)) return kClosed;
    if (t.depth == 32)
        QUB_InvertImage32(t.p32, t.width, t.height);
    else
        QUB_InvertImage8(t.p8, t.width, t.height, t.stride);
    Repaint(n);
    return 0;
}

int QUB_FlipHorizontal(int n) {
    ImageTarget t;
    if (!QUB_ImageTarget(n, &t)) return kClosed;
    if (t.depth == 32)
        QUB_FlipHorizontal32(t.p32, t.width, t.height);
    else
        QUB_FlipHorizontal8(t.p8, t.width, t.height, t.stride);
    Repaint(n);
    return 0;
}

int QUB_FlipVertical(int n) {
    ImageTarget t;
    if (!QUB_ImageTarget(n, &t)) return kClosed;
    if (t.depth == 32)
        QUB_FlipVertical32(t.p32, t.width, t.height);
    else
        QUB_FlipVertical8(t.p8, t.width, t.height, t.stride);
    Repaint(n);
    return 0;
}

int QUB_RotateRight(int n) { return Rotate(n, true); }
int QUB_RotateLeft(int n) { return Rotate(n, false); }

int QUB_ScaleImage(int n, int perMille) {
    ImageTarget old;
    if (!QUB_ImageTarget(n, &old)) return kClosed;
    int width = 0, height = 0;
    if (QUB_ScaledSize(old.width, old.height, perMille, &width, &height) != 0) return kNoFit;
    const int checked = QUB_CheckNewImageSize(n, width, height);
    if (checked != 0) return checked;

    CopyDescription d;
    std::memset(&d, 0, sizeof d);
    d.header.biSize = sizeof(BITMAPINFOHEADER);
    d.header.biWidth = old.width;
    d.header.biHeight = -old.height;  // negative: rows run top-down
    d.header.biPlanes = 1;
    d.header.biBitCount = static_cast<WORD>(old.depth);
    d.header.biCompression = BI_RGB;
    if (old.depth == 8) GetDIBColorTable(qubState.images[n].memoryDC, 0, 256, d.colours);
    void* copy = CopyBuffer(old);
    if (!copy) return kNoMemory;

    const int resized = QUB_ResizeImage(n, width, height);
    ImageTarget t;
    if (resized == 0 && QUB_ImageTarget(n, &t)) {
        // The resampling is the stretch mode's, which the resize kept.
        StretchDIBits(qubState.images[n].memoryDC, 0, 0, width, height, 0, 0, old.width, old.height,
                      copy, reinterpret_cast<const BITMAPINFO*>(&d), DIB_RGB_COLORS, SRCCOPY);
        GdiFlush();
        // GDI may write the top byte; the library's pixels keep it 0.
        if (t.depth == 32) QUB_ClearTopBytes(t.p32, t.width, t.height, 0, 0, t.width, t.height);
        Repaint(n);
    }
    std::free(copy);
    return resized;
}

// --- test patterns on the current image ----------------------------------------

namespace {

int Pattern(void (*draw32)(uint32_t*, int, int), void (*draw8)(uint8_t*, int, int, int)) {
    ImageTarget t;
    if (!QUB_CurrentTarget(&t)) return kClosed;
    if (t.depth == 32)
        draw32(t.p32, t.width, t.height);
    else
        draw8(t.p8, t.width, t.height, t.stride);
    return 0;
}

}  // namespace

int QUB_TestPatternRgb() { return Pattern(QUB_TestPatternRgb32, QUB_TestPatternRgb8); }
int QUB_TestPatternHsv() { return Pattern(QUB_TestPatternHsv32, QUB_TestPatternHsv8); }
int QUB_TestPatternYCrCb() { return Pattern(QUB_TestPatternYCrCb32, QUB_TestPatternYCrCb8); }
int QUB_TestPatternYuv() { return Pattern(QUB_TestPatternYuv32, QUB_TestPatternYuv8); }
int QUB_TestPatternYiq() { return Pattern(QUB_TestPatternYiq32, QUB_TestPatternYiq8); }

int QUB_TestPatternGrey() {
    ImageTarget t;
    if (!QUB_CurrentTarget(&t)) return kClosed;
    if (t.depth == 8) {
        RGBQUAD ramp[256];
        for (int k = 0; k < 256; ++k) {
            const BYTE v = static_cast<BYTE>(k);
            ramp[k] = {v, v, v, 0};
        }
        SetDIBColorTable(qubState.images[t.slot].memoryDC, 0, 256, ramp);
        Repaint(t.slot);
    }
    // The pattern is drawn as two vertical lines a column, the last one
    // ending at the bottom right corner, where it leaves the pen.
    const int result = Pattern(QUB_TestPatternGrey32, QUB_TestPatternGrey8);
    if (result == 0) {
        qubState.penX = t.width - 1;
        qubState.penY = t.height - 1;
    }
    return result;
}
