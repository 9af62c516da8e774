// Row data and the analysis plots on the current image, drawn through the
// library's own pixel and line calls so that the pen follows every curve.
#include "imgproc/colour_plot.h"

#include "image/buffer_layout.h"
#include "imgproc/current_image_win.h"
#include "imgproc/image_drawing.h"
#include "imgproc/plot_values.h"

namespace {

constexpr int kClosed = 1;
constexpr uint32_t kWhite = 0xFFFFFF;

void Label(int x, int y, uint32_t colour, const char* text) {
    LibraryState& s = qubState;
    s.textX = s.textLeft = x;
    s.textY = y;
    s.qub_tc = colour;
    QUB_DrawString(text);
}

void CrCbAxes() {
    QUB_DrawLine(0x808080, 0, 128, 256, 128);
    QUB_DrawLine(0x808080, 128, 0, 128, 256);
    Label(110, 16, 0xFF8888, "Cr");
    Label(238, 144, 0x8888FF, "Cb");
}

// A polyline through the chroma of `count` pixels; `toggle` is XORed into the
// colour after each point.
void CrCbPolyline(const uint32_t* pixels, int count, uint32_t toggle) {
    uint32_t colour = kWhite;
    for (int i = 0; i < count; ++i) {
        const PlotPoint p = QUB_CrCbPoint(pixels[i]);
        if (i == 0)
            QUB_SetPixel(p.x, p.y, colour);
        else
            QUB_DrawLine(colour, qubState.penX, qubState.penY, p.x, p.y);
        colour ^= toggle;
    }
}

}  // namespace

int QUB_ReadRow(void* destination, int y, int count) {
    ImageTarget t;
    if (!QUB_CurrentTarget(&t)) return kClosed;
    if (count < 1 || !destination) return 0;
    if (t.depth == 32)
        QUB_ReadRect32(t.p32, t.width, t.height, 0, y, count, 1, static_cast<uint32_t*>(destination));
    else
        QUB_ReadRect8(t.p8, t.width, t.height, t.stride, 0, y, count, 1,
                      static_cast<uint8_t*>(destination), count);
    return 0;
}

int QUB_PlotChannel(const void* data, int xOffset, int count, int flags, uint32_t colour) {
    ImageTarget t;
    if (!QUB_CurrentTarget(&t)) return kClosed;
    if (!data || !(flags & (kPlotDots | kPlotJoined))) return 0;
    for (int i = 0; i < count; ++i) {
        PlotSample sample;
        if (!QUB_PlotSampleAt(data, i, flags, &sample)) return 0;
        const int64_t x = static_cast<int64_t>(xOffset) + i;
        if (x > INT32_MAX) break;  // every further column is off the image too
        const int y = QUB_PlotRow(sample);
        if (flags & kPlotDots)
            QUB_SetPixel(static_cast<int>(x), y, colour);
        else if (i == 0)
            QUB_SetPixel(static_cast<int>(x), y, colour);
        else
            QUB_DrawLine(colour, qubState.penX, qubState.penY, static_cast<int>(x), y);
    }
    return 0;
}

int QUB_PlotCrCbLine(const uint32_t* pixels, int count) {
    ImageTarget t;
    if (!QUB_CurrentTarget(&t)) return kClosed;
    CrCbAxes();
    // White to magenta and back: neighbouring segments stay apart.
    if (pixels) CrCbPolyline(pixels, count, 0x00FF00);
    return 0;
}

int QUB_PlotCrCbArea(int rows, const uint32_t* pixels, int columns) {
    ImageTarget t;
    if (!QUB_CurrentTarget(&t)) return kClosed;
    CrCbAxes();
    if (!pixels || columns < 1) return 0;
    for (int r = 0; r < rows; ++r)
        CrCbPolyline(pixels + static_cast<size_t>(r) * static_cast<size_t>(columns), columns, 0);
    return 0;
}
