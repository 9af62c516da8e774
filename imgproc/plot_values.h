// What the channel and chroma plots put where: the value a curve takes from
// one element of row data, its row in a 128-row graph, and the point of a
// pixel in the 256 x 256 CrCb plane.
#pragma once
#include <cstdint>

// Channel flags of a curve; the first channel bit found in this order picks
// the value. 0x1000 reads the data as bytes, every other channel as 32-bit
// pixels.
constexpr int kPlotRed = 0x1, kPlotGreen = 0x2, kPlotBlue = 0x4;
constexpr int kPlotHue = 0x8, kPlotSaturation = 0x10, kPlotValue = 0x20;
constexpr int kPlotLuminance = 0x100, kPlotCr = 0x200, kPlotCb = 0x400;
constexpr int kPlotByte = 0x1000;
constexpr int kPlotDots = 0x40;    // style: isolated dots
constexpr int kPlotJoined = 0x80;  // style: joined curve

struct PlotSample {
    int value;  // 0 ... scale
    int scale;  // 359 for hue, 255 otherwise
};

// The sample of element i of `data`; false when `flags` name no channel.
bool QUB_PlotSampleAt(const void* data, int i, int flags, PlotSample* sample);

// Graph row of a sample: 127 for 0, 0 for full scale.
inline int QUB_PlotRow(const PlotSample& s) { return 127 - (s.value * 127) / s.scale; }

// A pixel's place in the CrCb plane: (128 + Cb, 128 - Cr), positive Cr up.
struct PlotPoint {
    int x, y;
};
PlotPoint QUB_CrCbPoint(uint32_t pixel);
