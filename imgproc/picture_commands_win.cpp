// The "Process...", "Test Pattern..." and "Color..." commands of the image
// toolbox on the window in slot n.
#include <windows.h>

#include "core/library_state.h"
#include "core/runtime.h"
#include "image/image_window.h"
#include "imgproc/current_image_win.h"
#include "imgproc/image_commands.h"
#include "imgproc/image_drawing.h"
#include "imgproc/image_transforms.h"
#include "imgproc/pick_tools.h"

namespace {

constexpr int kClosed = 1;

bool IsOpen(int n) { return n >= 0 && n < kImageSlots && qubState.images[n].inUse; }

COLORREF ToColorref(uint32_t rgb) {
    int r = 0, g = 0, b = 0;
    QUB_SplitRgb(rgb, &r, &g, &b);
    return RGB(r, g, b);
}

uint32_t FromColorref(COLORREF c) { return (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c); }

}  // namespace

int QUB_InvertCommand(int n) { return QUB_InvertImage(n); }

int QUB_FlipCommand(int n, bool horizontal) {
    return horizontal ? QUB_FlipHorizontal(n) : QUB_FlipVertical(n);
}

int QUB_RotateCommand(int n, bool clockwise) {
    if (!IsOpen(n)) return kClosed;
    QUB_SelectImage(n);
    return clockwise ? QUB_RotateRight(n) : QUB_RotateLeft(n);
}

int QUB_SizeStepCommand(int n, int perMille) {
    if (!IsOpen(n)) return kClosed;
    QUB_SelectImage(n);
    return QUB_ScaleImage(n, perMille);
}

int QUB_TestPatternCommand(int n, TestPattern pattern) {
    if (!IsOpen(n)) return kClosed;
    QUB_SelectImage(n);
    using Fill = int (*)();
    static const Fill kFills[] = {QUB_TestPatternRgb, QUB_TestPatternHsv, QUB_TestPatternYCrCb,
                                  QUB_TestPatternYuv, QUB_TestPatternYiq, QUB_TestPatternGrey};
    const int result = kFills[static_cast<int>(pattern)]();
    QUB_RepaintImage(n);
    return result;
}

int QUB_ColourChangeCommand(int n) {
    if (!IsOpen(n)) return kClosed;
    LibraryState& s = qubState;
    CHOOSECOLORW choice = {};
    choice.lStructSize = sizeof choice;
    choice.hwndOwner = s.images[n].window;
    choice.rgbResult = ToColorref(s.drawColour);
    choice.lpCustColors = s.customColours;
    choice.Flags = CC_RGBINIT | CC_FULLOPEN;
    // A cancel keeps every colour: storing the initial colour would also
    // overwrite both text colours with the drawing colour.
    if (!ChooseColorW(&choice)) return kCommandCancelled;
    s.drawColour = s.qub_tttc = s.qub_tc = FromColorref(choice.rgbResult);
    return 0;
}

int QUB_ColourPickCommand(int n) {
    if (!IsOpen(n)) return kClosed;
    const HWND window = qubState.images[n].window;
    int x = 0, y = 0;
    if (QUB_PickPoint(n, &x, &y) != kPickTaken) return kCommandCancelled;
    if (QUB_FindImageSlot(window) != n) return kClosed;
    LibraryState& s = qubState;
    QUB_SelectImage(n);
    const uint32_t v = QUB_GetPixel(x, y);
    s.drawColour = v;
    if (s.images[n].depth == 32) {
        s.qub_tttc = v;
    } else {
        uint32_t palette[256] = {};
        QUB_GetPalette(palette);
        s.qub_tttc = palette[v & 255u] & 0xFFFFFFu;
    }
    QUB_RestoreImage();
    return 0;
}
