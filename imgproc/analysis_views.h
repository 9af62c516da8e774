// What the "Information..." views show, apart from the windows they show it
// in: the text printed for one pixel, and the layout of each row graph --
// its title, size, curves and labels.
#pragma once
#include <cstdint>
#include <string>

// "(X,Y)=..." and the pixel in six colour spaces for a 32-bit image, or its
// palette index as "(Luminance)=..." for an 8-bit one; ends with a blank line.
std::string QUB_PixelReport(int x, int y, uint32_t pixel, int depth);

enum class RowGraph { kRgb, kHsv, kYCrCb, kLumi };

struct GraphCurve {
    int flags;  // channel and style, as QUB_PlotChannel takes them
    uint32_t colour;
};

struct GraphLabel {
    int x, y;  // textX = textLeft, textY
    const char* text;
    uint32_t colour;
};

struct RowGraphLayout {
    const char* titleFormat;  // one %d: the row
    int xOffset;              // column of the row's first pixel; also the extra width
    int curves;               // 1 or 3
    GraphCurve curve[3];
    GraphLabel label[3];
};

constexpr int kRowGraphHeight = 128;
constexpr int kCrCbGraphSize = 256;

const RowGraphLayout& QUB_RowGraphLayout(RowGraph graph);

// Width of the graph of a row `imageWidth` pixels long, or 0 when it would
// not fit an int.
int QUB_RowGraphWidth(const RowGraphLayout& layout, int imageWidth);
