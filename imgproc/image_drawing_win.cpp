// Drawing calls on the current image window: each finds the current slot,
// refuses a closed one, hands the buffer to the pixel engine in its 32-bit or
// 8-bit form and keeps the pen and text cursor of LibraryState.
#include "imgproc/image_drawing.h"

#include <cstring>

#include "core/text_convert_win.h"
#include "imgproc/bitmap_text.h"
#include "imgproc/circle.h"
#include "imgproc/current_image_win.h"
#include "imgproc/draw.h"
#include "imgproc/flood_fill.h"
#include "text/format.h"

namespace {

constexpr int kClosed = 1;

// Runs draw32 or draw8 on the current image; the pen moves only after a
// drawing that happened, so a refused call leaves it alone.
template <class Draw32, class Draw8>
int OnCurrent(Draw32 draw32, Draw8 draw8) {
    ImageTarget t;
    if (!QUB_CurrentTarget(&t)) return kClosed;
    if (t.depth == 32)
        draw32(t);
    else
        draw8(t);
    return 0;
}

int MovePen(int result, int x, int y) {
    if (result == 0) {
        qubState.penX = x;
        qubState.penY = y;
    }
    return result;
}

struct Ordered {
    int xmin, ymin, xmax, ymax;
};

Ordered Order(int x1, int y1, int x2, int y2) {
    return {x1 < x2 ? x1 : x2, y1 < y2 ? y1 : y2, x1 < x2 ? x2 : x1, y1 < y2 ? y2 : y1};
}

// The differences below are taken in 64 bits: corners may span the int range.
int64_t Span(int a, int b) { return static_cast<int64_t>(b) - a; }

}  // namespace

// --- pixels --------------------------------------------------------------------

int QUB_SetPixelKeepPen(int x, int y, uint32_t colour) {
    return OnCurrent(
        [&](const ImageTarget& t) { QUB_SetPixel32(t.p32, t.width, t.height, x, y, colour); },
        [&](const ImageTarget& t) { QUB_SetPixel8(t.p8, t.width, t.height, t.stride, x, y, colour); });
}

int QUB_SetPixel(int x, int y, uint32_t colour) {
    return MovePen(QUB_SetPixelKeepPen(x, y, colour), x, y);
}

int QUB_XorPixelKeepPen(int x, int y) {
    return OnCurrent(
        [&](const ImageTarget& t) { QUB_XorPixel32(t.p32, t.width, t.height, x, y); },
        [&](const ImageTarget& t) { QUB_XorPixel8(t.p8, t.width, t.height, t.stride, x, y); });
}

int QUB_XorPixel(int x, int y) { return MovePen(QUB_XorPixelKeepPen(x, y), x, y); }

int64_t QUB_ProbePixel(int x, int y) {
    int64_t v = -1;
    OnCurrent([&](const ImageTarget& t) { v = QUB_ReadPixel32(t.p32, t.width, t.height, x, y, -1); },
              [&](const ImageTarget& t) {
                  v = QUB_ReadPixel8(t.p8, t.width, t.height, t.stride, x, y, -1);
              });
    return v;
}

uint32_t QUB_GetPixel(int x, int y) {
    const int64_t v = QUB_ProbePixel(x, y);
    return v < 0 ? 0u : static_cast<uint32_t>(v);
}

// --- lines and boxes -----------------------------------------------------------

int QUB_DrawLine(uint32_t colour, int x1, int y1, int x2, int y2) {
    return MovePen(OnCurrent(
                       [&](const ImageTarget& t) {
                           QUB_DrawLine32(t.p32, t.width, t.height, colour, x1, y1, x2, y2);
                       },
                       [&](const ImageTarget& t) {
                           QUB_DrawLine8(t.p8, t.width, t.height, t.stride, colour, x1, y1, x2, y2);
                       }),
                   x2, y2);
}

int QUB_XorLine(int x1, int y1, int x2, int y2) {
    return MovePen(OnCurrent(
                       [&](const ImageTarget& t) {
                           QUB_XorLine32(t.p32, t.width, t.height, x1, y1, x2, y2);
                       },
                       [&](const ImageTarget& t) {
                           QUB_XorLine8(t.p8, t.width, t.height, t.stride, x1, y1, x2, y2);
                       }),
                   x2, y2);
}

// The outline's last line runs up the left side to (xmin, ymin).
int QUB_DrawBox(int x1, int y1, int x2, int y2) {
    const uint32_t c = qubState.drawColour;
    const Ordered o = Order(x1, y1, x2, y2);
    return MovePen(OnCurrent(
                       [&](const ImageTarget& t) {
                           QUB_DrawBox32(t.p32, t.width, t.height, c, x1, y1, x2, y2);
                       },
                       [&](const ImageTarget& t) {
                           QUB_DrawBox8(t.p8, t.width, t.height, t.stride, c, x1, y1, x2, y2);
                       }),
                   o.xmin, o.ymin);
}

// The outline, then the inner rows left to right when there are any: the last
// of them ends at (xmax - 1, ymax - 1).
int QUB_FillBox(int x1, int y1, int x2, int y2) {
    const uint32_t c = qubState.drawColour;
    const Ordered o = Order(x1, y1, x2, y2);
    const bool inner = Span(o.xmin, o.xmax) >= 2 && Span(o.ymin, o.ymax) >= 2;
    return MovePen(OnCurrent(
                       [&](const ImageTarget& t) {
                           QUB_FillBox32(t.p32, t.width, t.height, c, x1, y1, x2, y2);
                       },
                       [&](const ImageTarget& t) {
                           QUB_FillBox8(t.p8, t.width, t.height, t.stride, c, x1, y1, x2, y2);
                       }),
                   inner ? o.xmax - 1 : o.xmin, inner ? o.ymax - 1 : o.ymin);
}

// Top, bottom (when it is another row), then the sides between them, each
// drawn left to right or downward.
int QUB_XorBox(int x1, int y1, int x2, int y2) {
    const Ordered o = Order(x1, y1, x2, y2);
    const int64_t rows = Span(o.ymin, o.ymax);
    const int penY = rows > 1 ? o.ymax - 1 : o.ymax;
    return MovePen(OnCurrent(
                       [&](const ImageTarget& t) {
                           QUB_XorBox32(t.p32, t.width, t.height, x1, y1, x2, y2);
                       },
                       [&](const ImageTarget& t) {
                           QUB_XorBox8(t.p8, t.width, t.height, t.stride, x1, y1, x2, y2);
                       }),
                   o.xmax, penY);
}

int QUB_XorFillBox(int x1, int y1, int x2, int y2) {
    const Ordered o = Order(x1, y1, x2, y2);
    return MovePen(OnCurrent(
                       [&](const ImageTarget& t) {
                           QUB_XorFillBox32(t.p32, t.width, t.height, x1, y1, x2, y2);
                       },
                       [&](const ImageTarget& t) {
                           QUB_XorFillBox8(t.p8, t.width, t.height, t.stride, x1, y1, x2, y2);
                       }),
                   o.xmax, o.ymax);
}

// --- circles and fill ----------------------------------------------------------

int QUB_DrawCircle(int cx, int cy, uint32_t colour, int r) {
    return OnCurrent(
        [&](const ImageTarget& t) { QUB_DrawCircle32(t.p32, t.width, t.height, cx, cy, colour, r); },
        [&](const ImageTarget& t) {
            QUB_DrawCircle8(t.p8, t.width, t.height, t.stride, cx, cy, colour, r);
        });
}

// The filled discs and the flood fill draw their spans as lines, which leave
// the pen on the right end of the last one.
int QUB_FillCircle(int r, int cx, int cy) {
    const uint32_t c = qubState.drawColour;
    QUB_Pen pen = {};
    const int result = OnCurrent(
        [&](const ImageTarget& t) { QUB_FillCircle32(t.p32, t.width, t.height, cx, cy, c, r, &pen); },
        [&](const ImageTarget& t) {
            QUB_FillCircle8(t.p8, t.width, t.height, t.stride, cx, cy, c, r, &pen);
        });
    return MovePen(result, pen.x, pen.y);
}

int QUB_XorCircle(int cx, int cy, int r) {
    return OnCurrent(
        [&](const ImageTarget& t) { QUB_XorCircle32(t.p32, t.width, t.height, cx, cy, r); },
        [&](const ImageTarget& t) { QUB_XorCircle8(t.p8, t.width, t.height, t.stride, cx, cy, r); });
}

int QUB_XorFillCircle(int r, int cx, int cy) {
    QUB_Pen pen = {};
    const int result = OnCurrent(
        [&](const ImageTarget& t) { QUB_XorFillCircle32(t.p32, t.width, t.height, cx, cy, r, &pen); },
        [&](const ImageTarget& t) {
            QUB_XorFillCircle8(t.p8, t.width, t.height, t.stride, cx, cy, r, &pen);
        });
    return MovePen(result, pen.x, pen.y);
}

int QUB_Paint(int x, int y) {
    const uint32_t c = qubState.drawColour;
    int filled = 0;
    QUB_Pen pen = {qubState.penX, qubState.penY};
    const int result = OnCurrent(
        [&](const ImageTarget& t) {
            filled = QUB_FloodFill32(t.p32, t.width, t.height, x, y, c, &pen);
        },
        [&](const ImageTarget& t) {
            filled = QUB_FloodFill8(t.p8, t.width, t.height, t.stride, x, y, c, &pen);
        });
    if (result != 0) return result;
    qubState.penX = pen.x;
    qubState.penY = pen.y;
    return filled;
}

int QUB_ClearImage(int n) {
    ImageTarget t;
    if (!QUB_ImageTarget(n, &t)) return kClosed;
    const size_t rowBytes = t.depth == 32 ? static_cast<size_t>(t.width) * 4u
                                          : static_cast<size_t>(t.stride);
    std::memset(t.p8, 0, rowBytes * static_cast<size_t>(t.height));
    return 0;
}

// --- bitmap-font text ----------------------------------------------------------

int QUB_DrawString(const char* text) {
    LibraryState& s = qubState;
    QUB_TextCursor cursor = {s.textX, s.textY, s.textLeft};
    QUB_Pen pen = {s.penX, s.penY};
    const int result = OnCurrent(
        [&](const ImageTarget& t) {
            QUB_DrawString32(t.p32, t.width, t.height, &cursor, s.qub_tc, text, &pen);
        },
        [&](const ImageTarget& t) {
            QUB_DrawString8(t.p8, t.width, t.height, t.stride, &cursor, s.qub_tc, text, &pen);
        });
    if (result == 0) {
        s.textX = cursor.textX;
        s.textY = cursor.textY;
        s.textLeft = cursor.textLeft;
        s.penX = pen.x;
        s.penY = pen.y;
    }
    return result;
}

int QUB_DrawChar(int code) {
    // Code 0 would end the string: a NUL draws nothing anyway.
    if (code < 1 || code > 255) return QUB_DrawString("");
    const char text[2] = {static_cast<char>(code), 0};
    return QUB_DrawString(text);
}

int QUB_DrawFormatList(const char* format, va_list arguments) {
    char text[kFormatBytes];
    QUB_FormatCut(text, sizeof text, QUB_IsAnsiLeadByte, format, arguments);
    return QUB_DrawString(text);
}

int QUB_DrawFormat(const char* format, ...) {
    va_list arguments;
    va_start(arguments, format);
    const int result = QUB_DrawFormatList(format, arguments);
    va_end(arguments);
    return result;
}
