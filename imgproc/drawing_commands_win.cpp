// The toolbox's drawing commands: a shape or point picked on the window,
// drawn into it with the library's primitives, and the window repainted.
#include <windows.h>

#include "core/library_state.h"
#include "image/image_window.h"
#include "imgproc/current_image_win.h"
#include "imgproc/image_commands.h"
#include "imgproc/image_drawing.h"
#include "imgproc/pick_tools.h"
#include "imgproc/truetype_text_win.h"
#include "text/text_window.h"

namespace {

constexpr int kClosed = 1;

// The window in slot n, made current; null when the slot is closed.
HWND Select(int n) {
    ImageTarget t;
    if (!QUB_ImageTarget(n, &t)) return nullptr;
    QUB_SelectImage(n);
    return qubState.images[n].window;
}

int Repaint(int n) {
    QUB_RepaintImage(n);
    return 0;
}

// The line read after "Text>" in the current text window (text window 0
// opened when there is none); false when `window` left slot n meanwhile.
bool ReadText(int n, HWND window, char* line) {
    QUB_ShowTextWindow();
    QUB_Printf("Text>");
    QUB_InputLine(line);
    return QUB_StillHoldsImage(n, window);
}

}  // namespace

int QUB_DrawLineCommand(int n, LineForm form) {
    const HWND window = Select(n);
    if (!window) return kClosed;
    int x1 = 0, y1 = 0, x2 = 0, y2 = 0, picked = kPickBadSlot;
    switch (form) {
        case LineForm::kNormal: picked = QUB_PickLine(n, &x1, &y1, &x2, &y2); break;
        case LineForm::kHorizontal: picked = QUB_PickRow(n, &x1, &y1); break;
        case LineForm::kVertical: picked = QUB_PickColumn(n, &x1, &y1); break;
    }
    if (picked != kPickTaken) return kCommandCancelled;
    if (!QUB_StillHoldsImage(n, window)) return kClosed;
    const ImageWindowRecord& r = qubState.images[n];
    if (form == LineForm::kHorizontal) {
        x1 = 0, x2 = r.width - 1, y2 = y1;
    } else if (form == LineForm::kVertical) {
        y1 = 0, y2 = r.height - 1, x2 = x1;
    }
    QUB_DrawLine(qubState.drawColour, x1, y1, x2, y2);
    return Repaint(n);
}

int QUB_DrawBoxCommand(int n, ShapeFill fill) {
    const HWND window = Select(n);
    if (!window) return kClosed;
    int x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    if (QUB_PickRect(n, &x1, &y1, &x2, &y2) != kPickTaken) return kCommandCancelled;
    if (!QUB_StillHoldsImage(n, window)) return kClosed;
    switch (fill) {
        case ShapeFill::kOutline: QUB_DrawBox(x1, y1, x2, y2); break;
        case ShapeFill::kFill: QUB_FillBox(x1, y1, x2, y2); break;
        case ShapeFill::kFillXor: QUB_XorFillBox(x1, y1, x2, y2); break;
    }
    return Repaint(n);
}

int QUB_DrawCircleCommand(int n, ShapeFill fill) {
    const HWND window = Select(n);
    if (!window) return kClosed;
    int cx = 0, cy = 0, r = 0;
    if (QUB_PickCircle(n, &cx, &cy, &r) != kPickTaken) return kCommandCancelled;
    if (!QUB_StillHoldsImage(n, window)) return kClosed;
    switch (fill) {
        case ShapeFill::kOutline: QUB_DrawCircle(cx, cy, qubState.drawColour, r); break;
        case ShapeFill::kFill: QUB_FillCircle(r, cx, cy); break;
        case ShapeFill::kFillXor: QUB_XorFillCircle(r, cx, cy); break;
    }
    return Repaint(n);
}

int QUB_DrawTextCommand(int n) {
    const HWND window = Select(n);
    if (!window) return kClosed;
    int x = 0, y = 0;
    if (QUB_PickPoint(n, &x, &y) != kPickTaken) return kCommandCancelled;
    if (!QUB_StillHoldsImage(n, window)) return kClosed;
    char line[kInputLineBytes] = "";
    if (!ReadText(n, window, line)) return kClosed;
    LibraryState& s = qubState;
    s.textX = s.textLeft = x;
    s.textY = y;
    s.qub_tc = s.drawColour;
    QUB_DrawFormat("%s", line);
    return Repaint(n);
}

int QUB_PaintCommand(int n) {
    const HWND window = Select(n);
    if (!window) return kClosed;
    int x = 0, y = 0;
    if (QUB_PickPoint(n, &x, &y) != kPickTaken) return kCommandCancelled;
    if (!QUB_StillHoldsImage(n, window)) return kClosed;
    QUB_Paint(x, y);
    return Repaint(n);
}

int QUB_TrueTypeDrawCommand(int n) {
    const HWND window = Select(n);
    if (!window) return kClosed;
    int x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    if (QUB_PickRect(n, &x1, &y1, &x2, &y2) != kPickTaken) return kCommandCancelled;
    if (!QUB_StillHoldsImage(n, window)) return kClosed;
    return QUB_TTDrawCommand(window, x1, y1, x2, y2);
}
