#include "imgproc/analysis_views.h"

#include <climits>
#include <cstdio>

#include "imgproc/colour_space.h"
#include "imgproc/plot_values.h"

std::string QUB_PixelReport(int x, int y, uint32_t pixel, int depth) {
    char text[512];
    if (depth != 32) {
        std::snprintf(text, sizeof text, "(X,Y)=(%d,%d)\n(Luminance)=(%d)\n\n", x, y,
                      static_cast<int>(pixel & 255u));
        return text;
    }
    int h = 0, s = 0, v = 0;
    QUB_RgbToHsv(pixel, &h, &s, &v);
    const int lum = QUB_Luminance(pixel);
    const QUB_ChromaPair crcb = QUB_RgbToCrCb(pixel), uv = QUB_RgbToUv(pixel), iq = QUB_RgbToIq(pixel);
    std::snprintf(text, sizeof text,
                  "(X,Y)=(%d,%d)\n(R,G,B)=(%d,%d,%d)\n(H,S,V)=(%d,%d,%d)\n(Y,Cr,Cb)=(%d,%d,%d)\n"
                  "(Y,u,v)=(%d,%d,%d)\n(Y,I,Q)=(%d,%d,%d)\n\n",
                  x, y, QUB_Red(pixel), QUB_Green(pixel), QUB_Blue(pixel), h, s, v, lum, crcb.first,
                  crcb.second, lum, uv.first, uv.second, lum, iq.first, iq.second);
    return text;
}

const RowGraphLayout& QUB_RowGraphLayout(RowGraph graph) {
    static const RowGraphLayout kLayouts[] = {
        {"RGB(Y=%d)", 12, 3,
         {{kPlotRed | kPlotJoined, 0xFF0000}, {kPlotGreen | kPlotJoined, 0x00FF00}, {kPlotBlue | kPlotJoined, 0x0000FF}},
         {{2, 40, "R", 0xFF0000}, {2, 72, "G", 0x00FF00}, {2, 104, "B", 0x0000FF}}},
        {"HSV(Y=%d)", 12, 3,
         {{kPlotHue | kPlotJoined, 0xFFFF00},
          {kPlotSaturation | kPlotJoined, 0xFF00FF},
          {kPlotValue | kPlotJoined, 0x00FFFF}},
         {{2, 40, "H", 0xFFFF00}, {2, 72, "S", 0xFF00FF}, {2, 104, "V", 0x00FFFF}}},
        {"YCrCb(Y=%d)", 20, 3,
         {{kPlotLuminance | kPlotJoined, 0xFFFFFF},
          {kPlotCr | kPlotJoined, 0xFF8888},
          {kPlotCb | kPlotJoined, 0x8888FF}},
         {{4, 40, "Y", 0xFFFFFF}, {2, 72, "Cr", 0xFF8888}, {2, 104, "Cb", 0x8888FF}}},
        {"Luminance(Y=%d)", 12, 1, {{kPlotByte | kPlotJoined, 0xFFFFFF}}, {{2, 40, "L", 0xFFFFFF}}},
    };
    return kLayouts[static_cast<int>(graph)];
}

int QUB_RowGraphWidth(const RowGraphLayout& layout, int imageWidth) {
    if (imageWidth > INT_MAX - layout.xOffset) return 0;
    return imageWidth + layout.xOffset;
}
