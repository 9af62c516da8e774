// What the channel and CrCb plots take from their data and where it lands.
#include <gtest/gtest.h>

#include <climits>

#include "imgproc/analysis_views.h"
#include "imgproc/plot_values.h"

namespace {

PlotSample At(const void* data, int i, int flags) {
    PlotSample s = {-1, -1};
    EXPECT_TRUE(QUB_PlotSampleAt(data, i, flags, &s)) << flags;
    return s;
}

TEST(PlotValues, FirstChannelBitPicksTheValueAndScale) {
    const uint32_t px[2] = {0x00FF8040u, 0x00FF0001u};  // the second has H = 359
    EXPECT_EQ(At(px, 0, kPlotRed | kPlotGreen).value, 0xFF);
    EXPECT_EQ(At(px, 0, kPlotBlue | kPlotGreen | kPlotJoined).value, 0x80)
        << "green comes before blue";
    const PlotSample hue = At(px, 1, kPlotHue | kPlotSaturation);
    EXPECT_EQ(hue.value, 359);
    EXPECT_EQ(hue.scale, 359);
    EXPECT_EQ(QUB_PlotRow(hue), 0);
    EXPECT_EQ(At(px, 0, kPlotSaturation).scale, 255);
    EXPECT_EQ(At(px, 0, kPlotValue).value, 255);
    const uint32_t red = 0xFF0000u;  // Y 76, Cr 128, Cb -42
    EXPECT_EQ(At(&red, 0, kPlotLuminance).value, 76);
    EXPECT_EQ(At(&red, 0, kPlotCr).value, 256);
    EXPECT_EQ(At(&red, 0, kPlotCb).value, 86);
    const uint8_t bytes[3] = {0, 128, 255};
    EXPECT_EQ(At(bytes, 2, kPlotByte).value, 255) << "read as bytes, not words";
    EXPECT_EQ(QUB_PlotRow(At(bytes, 0, kPlotByte)), 127);
    EXPECT_EQ(QUB_PlotRow(At(bytes, 1, kPlotByte)), 127 - 63);
    PlotSample none;
    EXPECT_FALSE(QUB_PlotSampleAt(px, 0, kPlotDots | kPlotJoined, &none));
}

TEST(PlotValues, CrCbPlanePointsUpAndRight) {
    const PlotPoint red = QUB_CrCbPoint(0xFF0000u);
    EXPECT_EQ(red.x, 128 - 42);
    EXPECT_EQ(red.y, 0);
    const PlotPoint blue = QUB_CrCbPoint(0x0000FFu);  // Cb 128: one past the graph
    EXPECT_EQ(blue.x, 256);
    EXPECT_EQ(blue.y, 148);
    const PlotPoint grey = QUB_CrCbPoint(0x808080u);
    EXPECT_EQ(grey.x, 128);
    EXPECT_EQ(grey.y, 128);
}

TEST(AnalysisViews, PixelReportAndGraphSizes) {
    EXPECT_EQ(QUB_PixelReport(3, 4, 0xFF0000u, 32),
              "(X,Y)=(3,4)\n(R,G,B)=(255,0,0)\n(H,S,V)=(0,255,255)\n(Y,Cr,Cb)=(76,128,-42)\n"
              "(Y,u,v)=(76,-36,157)\n(Y,I,Q)=(76,152,53)\n\n");
    EXPECT_EQ(QUB_PixelReport(0, 9, 0x123456u, 32),
              "(X,Y)=(0,9)\n(R,G,B)=(18,52,86)\n(H,S,V)=(210,68,86)\n(Y,Cr,Cb)=(46,-19,23)\n"
              "(Y,u,v)=(46,20,-23)\n(Y,I,Q)=(46,-30,3)\n\n");
    EXPECT_EQ(QUB_PixelReport(7, 1, 0xABCD80u, 8), "(X,Y)=(7,1)\n(Luminance)=(128)\n\n")
        << "the index only";
    // A one-pixel-wide picture: 13 columns, 21 for YCrCb; a width near
    // INT_MAX gives no size rather than a negative one.
    EXPECT_EQ(QUB_RowGraphWidth(QUB_RowGraphLayout(RowGraph::kRgb), 1), 13);
    EXPECT_EQ(QUB_RowGraphWidth(QUB_RowGraphLayout(RowGraph::kYCrCb), 1), 21);
    EXPECT_EQ(QUB_RowGraphWidth(QUB_RowGraphLayout(RowGraph::kLumi), INT_MAX - 5), 0);
    EXPECT_EQ(QUB_RowGraphLayout(RowGraph::kLumi).curve[0].flags & kPlotByte, kPlotByte);
}

}  // namespace
