// The "Information..." views: a picked pixel printed in six colour spaces, and
// a picked row's or rectangle's channels or chroma drawn into a new 32-bit
// graph window, which becomes the current image.
#include <windows.h>

#include <cstdio>
#include <memory>
#include <new>

#include "core/library_state.h"
#include "image/image_file.h"
#include "image/image_window.h"
#include "imgproc/colour_plot.h"
#include "imgproc/current_image_win.h"
#include "imgproc/image_commands.h"
#include "imgproc/image_drawing.h"
#include "imgproc/pick_tools.h"
#include "text/text_window.h"

namespace {

constexpr int kClosed = 1;
constexpr size_t kTitleBytes = 512;

// Zeroed, so that a view reading more of it than its source filled (an
// 8-bit row or area read as pixels) sees black rather than stale memory.
template <class T>
std::unique_ptr<T[]> Allocate(size_t count) {
    return std::unique_ptr<T[]>(new (std::nothrow) T[count]());
}

// Row y of the current window, as its words or bytes; null when there is no
// memory for it. Room for words either way: a graph may read its row as
// either kind whatever the depth.
std::unique_ptr<uint8_t[]> ReadRowOf(const ImageTarget& t, int y) {
    std::unique_ptr<uint8_t[]> row = Allocate<uint8_t>(static_cast<size_t>(t.width) * 4u);
    if (row) QUB_ReadRow(row.get(), y, t.width);
    return row;
}

void MakeCurrent(int n) {
    if (qubState.currentImage != n) QUB_SelectImage(n);
}

int Clamp(int v, int high) { return v < 0 ? 0 : v > high ? high : v; }

void Label(const GraphLabel& label) {
    LibraryState& s = qubState;
    s.textX = s.textLeft = label.x;
    s.textY = label.y;
    s.qub_tc = label.colour;
    QUB_DrawString(label.text);
}

int Repaint(int slot) {
    QUB_RepaintImage(slot);
    return 0;
}

// Picks a row of slot n and reads it; the picked window is current after.
int PickRow(int n, ImageTarget* t, int* y, std::unique_ptr<uint8_t[]>* row) {
    if (!QUB_ImageTarget(n, t)) return kClosed;
    int x = 0;
    if (QUB_PickRow(n, &x, y) != kPickTaken) return kCommandCancelled;
    // The pick pumped messages: the window may be another size now.
    if (!QUB_ImageTarget(n, t)) return kClosed;
    MakeCurrent(n);
    *row = ReadRowOf(*t, *y);
    return *row ? 0 : kCommandNoWindow;
}

}  // namespace

int QUB_PixelInfoCommand(int n) {
    ImageTarget t;
    if (!QUB_ImageTarget(n, &t)) return kClosed;
    int x = 0, y = 0;
    if (QUB_PickPoint(n, &x, &y) != kPickTaken) return kCommandCancelled;
    if (!QUB_ImageTarget(n, &t)) return kClosed;
    QUB_SelectImage(n);
    const uint32_t pixel = QUB_GetPixel(x, y);
    QUB_RestoreImage();
    QUB_ShowTextWindow();
    QUB_Printf("%s", QUB_PixelReport(x, y, pixel, t.depth).c_str());
    return 0;
}

int QUB_RowGraphCommand(int n, RowGraph graph) {
    const RowGraphLayout& layout = QUB_RowGraphLayout(graph);
    ImageTarget t;
    int y = 0;
    std::unique_ptr<uint8_t[]> row;
    const int picked = PickRow(n, &t, &y, &row);
    if (picked != 0) return picked;
    const int width = QUB_RowGraphWidth(layout, t.width);
    char title[kTitleBytes];
    std::snprintf(title, sizeof title, layout.titleFormat, y);
    const int graphSlot = width > 0 ? QUB_CreateImageInFreeSlot(title, 0, 0, width, kRowGraphHeight, 100, 32) : -1;
    if (graphSlot < 0) return kCommandNoWindow;
    for (int i = 0; i < layout.curves; ++i) {
        QUB_PlotChannel(row.get(), layout.xOffset, t.width, layout.curve[i].flags, layout.curve[i].colour);
        Label(layout.label[i]);
    }
    return Repaint(graphSlot);
}

int QUB_CrCbLineCommand(int n) {
    ImageTarget t;
    int y = 0;
    std::unique_ptr<uint8_t[]> row;
    const int picked = PickRow(n, &t, &y, &row);
    if (picked != 0) return picked;
    char title[kTitleBytes];
    std::snprintf(title, sizeof title, "CrCb(Y=%d)", y);
    const int graphSlot = QUB_CreateImageInFreeSlot(title, 0, 0, kCrCbGraphSize, kCrCbGraphSize, 100, 32);
    if (graphSlot < 0) return kCommandNoWindow;
    QUB_PlotCrCbLine(reinterpret_cast<const uint32_t*>(row.get()), t.width);
    return Repaint(graphSlot);
}

int QUB_CrCbAreaCommand(int n) {
    ImageTarget t;
    if (!QUB_ImageTarget(n, &t)) return kClosed;
    int x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    if (QUB_PickRect(n, &x1, &y1, &x2, &y2) != kPickTaken) return kCommandCancelled;
    if (!QUB_ImageTarget(n, &t)) return kClosed;
    MakeCurrent(n);
    // Clicks land on the picture, but a corner off it (a message from
    // elsewhere) would only add black points: the part on the picture is
    // read, so the data never outgrow the picture.
    const int left = Clamp(x1, t.width - 1), right = Clamp(x2, t.width - 1);
    const int top = Clamp(y1, t.height - 1), bottom = Clamp(y2, t.height - 1);
    const int w = right - left + 1, h = bottom - top + 1;
    std::unique_ptr<uint32_t[]> area = Allocate<uint32_t>(static_cast<size_t>(w) * static_cast<size_t>(h));
    if (!area) return kCommandNoWindow;
    QUB_ReadRect(area.get(), left, top, w, h);
    char title[kTitleBytes];
    std::snprintf(title, sizeof title, "CrCb(%d,%d)-(%d,%d)", x1, y1, x2, y2);
    const int graphSlot = QUB_CreateImageInFreeSlot(title, 0, 0, kCrCbGraphSize, kCrCbGraphSize, 100, 32);
    if (graphSlot < 0) return kCommandNoWindow;
    QUB_PlotCrCbArea(h, area.get(), w);
    QUB_DisplayImage(graphSlot);
    return 0;
}
