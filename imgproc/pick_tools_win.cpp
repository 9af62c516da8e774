// The pick tools on image windows: one loop for all seven, driven by the pick
// fields that the image window procedure sets inside the loop's own pump.
#include "imgproc/pick_tools.h"

#include <windows.h>
#include <shellapi.h>

#include <cstdio>

#include "core/library_state.h"
#include "core/runtime.h"
#include "image/image_window.h"
#include "imgproc/image_drawing.h"
#include "imgproc/pick_geometry.h"
#include "imgproc/pick_state.h"

namespace {

enum class Band { kNone, kRow, kColumn, kLine, kRect, kCircle, kBox };

struct PickTool {
    Band band;
    bool twoPoints;
    int boxWidth, boxHeight;  // kBox only
};

bool IsOpen(int n) { return n >= 0 && n < kImageSlots && qubState.images[n].inUse; }

// Draws (or, drawn again, erases) the band of `tool` for the points of `s`.
void XorBand(int n, const PickTool& tool, const PickState& s) {
    LibraryState& st = qubState;
    // The XOR calls draw on the current window. Nothing in the pump should
    // change it while a pick runs, but a band drawn on another window would
    // never be erased, so make sure.
    st.currentImage = n;
    const int w = st.images[n].width, h = st.images[n].height;
    switch (tool.band) {
        case Band::kNone: return;
        case Band::kRow: QUB_XorLine(0, s.y2, w - 1, s.y2); break;
        case Band::kColumn: QUB_XorLine(s.x2, 0, s.x2, h - 1); break;
        case Band::kLine: QUB_XorLine(s.x1, s.y1, s.x2, s.y2); break;
        case Band::kRect: QUB_XorBox(s.x1, s.y1, s.x2, s.y2); break;
        case Band::kCircle: QUB_XorCircle(s.x1, s.y1, QUB_PickRadius(s.x2 - s.x1, s.y2 - s.y1)); break;
        case Band::kBox: {
            const PickBox b = QUB_PickBoxAround(s.x2, s.y2, tool.boxWidth, tool.boxHeight);
            QUB_XorBox(b.left, b.top, b.right, b.bottom);
            if (b.diagonals) {
                QUB_XorLine(b.left + 1, b.top + 1, b.right - 1, b.bottom - 1);
                QUB_XorLine(b.right - 1, b.top + 1, b.left + 1, b.bottom - 1);
            }
            break;
        }
    }
    InvalidateRect(st.images[n].window, nullptr, FALSE);
}

void ShowPrompt(PickPrompt prompt, bool twoPoints) {
    switch (prompt) {
        case PickPrompt::kNone: return;
        case PickPrompt::kFirst:
            QUB_SetStatusText(twoPoints ? "Click the first point" : "Click a point");
            return;
        case PickPrompt::kSecond: QUB_SetStatusText("Click the second point"); return;
    }
}

// Applies one event and carries out what it asks of the picture and the
// status line.
void Apply(int n, const PickTool& tool, PickState* s, PickEvent event, int x, int y) {
    const PickState before = *s;
    const PickStep step = QUB_PickApply(s, event, x, y);
    if (step.eraseBefore) XorBand(n, tool, before);
    if (step.drawAfter) XorBand(n, tool, *s);
    ShowPrompt(step.prompt, tool.twoPoints);
}

// Waits a little when a pass found nothing to do. The stop request comes from
// the GUI thread without a message, so the wait has a timeout; input for this
// thread (a mouse move, a sent status-line update) ends it at once, which
// keeps the band close behind the mouse without spinning the CPU.
void IdleWait() {
    MsgWaitForMultipleObjectsEx(0, nullptr, 5, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
}

// The common frame of every tool. Fills `out` and returns 0 only when the
// points were taken.
int RunPick(int n, const PickTool& tool, PickState* out) {
    LibraryState& s = qubState;
    ShowPrompt(PickPrompt::kFirst, tool.twoPoints);
    DragAcceptFiles(s.mainWindow, FALSE);
    QUB_SelectImage(n);
    const int penX = s.penX, penY = s.penY;  // the bands move the pen
    s.pickClicked = 0;
    s.stopRequested.store(0);
    s.pickImage = n;
    s.pickActive.store(1);

    PickState state = QUB_PickStart(tool.twoPoints, tool.band != Band::kNone, s.pickMoveX, s.pickMoveY);
    if (state.bandShown) XorBand(n, tool, state);
    int result = kPickCancelled;
    for (;;) {
        QUB_PumpMessages();
        if (!IsOpen(n)) break;  // closed while waiting: the buffer is gone, nothing to erase
        if (s.stopRequested.load()) {
            Apply(n, tool, &state, PickEvent::kStop, 0, 0);
            result = kPickStopped;
            break;
        }
        const bool busy = s.pickMoved || s.pickClicked || s.pickCancel;
        if (s.pickMoved) {
            s.pickMoved = 0;
            Apply(n, tool, &state, PickEvent::kMove, s.pickMoveX, s.pickMoveY);
        }
        if (s.pickClicked) {
            s.pickClicked = 0;
            Apply(n, tool, &state, PickEvent::kClick, s.pickClickX, s.pickClickY);
            if (state.phase == PickPhase::kDone) {
                // A press that came in the same pass as the final click
                // would otherwise cancel the next tool at once.
                s.pickCancel = 0;
                result = kPickTaken;
                break;
            }
        }
        if (s.pickCancel) {
            s.pickCancel = 0;
            Apply(n, tool, &state, PickEvent::kCancel, 0, 0);
            if (state.phase == PickPhase::kCancelled) break;
        }
        if (!busy) IdleWait();
    }
    s.penX = penX;
    s.penY = penY;
    QUB_EndPick();
    *out = state;
    return result;
}

constexpr PickTool kPointTool = {Band::kNone, false, 0, 0};
constexpr PickTool kRowTool = {Band::kRow, false, 0, 0};
constexpr PickTool kColumnTool = {Band::kColumn, false, 0, 0};
constexpr PickTool kLineTool = {Band::kLine, true, 0, 0};
constexpr PickTool kRectTool = {Band::kRect, true, 0, 0};
constexpr PickTool kCircleTool = {Band::kCircle, true, 0, 0};

// The one-point tools: the click.
int PickOne(int n, const PickTool& tool, int* x, int* y) {
    if (!IsOpen(n)) return kPickBadSlot;
    *x = *y = 0;
    PickState s;
    const int result = RunPick(n, tool, &s);
    if (result == kPickTaken) {
        *x = s.x2;
        *y = s.y2;
    }
    return result;
}

// The two-point tools: both clicks in order.
int PickTwo(int n, const PickTool& tool, int* x1, int* y1, int* x2, int* y2) {
    *x1 = *y1 = *x2 = *y2 = 0;
    PickState s;
    const int result = RunPick(n, tool, &s);
    if (result == kPickTaken) {
        *x1 = s.x1;
        *y1 = s.y1;
        *x2 = s.x2;
        *y2 = s.y2;
    }
    return result;
}

}  // namespace

int QUB_PickPoint(int n, int* x, int* y) { return PickOne(n, kPointTool, x, y); }

int QUB_PickRow(int n, int* x, int* y) { return PickOne(n, kRowTool, x, y); }

int QUB_PickColumn(int n, int* x, int* y) { return PickOne(n, kColumnTool, x, y); }

int QUB_PickBoxPosition(int n, int boxWidth, int boxHeight, int* x, int* y) {
    return PickOne(n, {Band::kBox, false, boxWidth, boxHeight}, x, y);
}

int QUB_PickLine(int n, int* x1, int* y1, int* x2, int* y2) {
    if (!IsOpen(n)) return kPickBadSlot;
    return PickTwo(n, kLineTool, x1, y1, x2, y2);
}

int QUB_PickRect(int n, int* xmin, int* ymin, int* xmax, int* ymax) {
    if (!IsOpen(n)) return kPickBadSlot;
    const int result = PickTwo(n, kRectTool, xmin, ymin, xmax, ymax);
    QUB_OrderCorners(xmin, ymin, xmax, ymax);
    return result;
}

int QUB_PickCircle(int n, int* cx, int* cy, int* r) {
    if (!IsOpen(n)) return kPickBadSlot;
    *r = 0;
    int x2 = 0, y2 = 0;
    const int result = PickTwo(n, kCircleTool, cx, cy, &x2, &y2);
    if (result == kPickTaken) *r = QUB_PickRadius(x2 - *cx, y2 - *cy);
    return result;
}

void QUB_EndPick() {
    LibraryState& s = qubState;
    char text[32];
    std::snprintf(text, sizeof text, "%d-bit color", s.colourDepth);
    QUB_SetStatusText(text);
    s.pickActive.store(0);
    s.pickImage = -1;
    DragAcceptFiles(s.mainWindow, TRUE);
}
