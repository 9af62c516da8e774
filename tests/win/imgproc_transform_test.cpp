// Whole-picture transforms, test patterns and plots on real image windows:
// against the pixel engine on a copy, with the window's size and palette.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "core/library_state.h"
#include "image/image_window.h"
#include "imgproc/colour_plot.h"
#include "imgproc/image_drawing.h"
#include "imgproc/image_transforms.h"
#include "imgproc/plot_values.h"
#include "imgproc/test_patterns.h"
#include "imgproc/transforms.h"
#include "tests/win/image_test_support.h"
#include "tests/win/imgproc_test_support.h"
#include "tests/win/win_test_support.h"

namespace {

class Transforms : public testing::Test {
protected:
    void SetUp() override { CloseAllImages(); }
    void TearDown() override { CloseAllImages(); }
};

constexpr int kW = 13, kH = 6;

SIZE ClientSize(int n) {
    RECT r;
    GetClientRect(qubState.images[n].window, &r);
    return {r.right - r.left, r.bottom - r.top};
}

// A palette no call would make by accident: entry k = (255 - k, k, 7).
std::vector<uint32_t> OddPalette() {
    std::vector<uint32_t> p(256);
    for (uint32_t k = 0; k < 256; ++k) p[k] = (255 - k) << 16 | k << 8 | 7u;
    return p;
}

TEST_F(Transforms, InvertFlipsAndRotationsMatchTheEngine) {
    std::vector<std::string> faults;
    ASSERT_TRUE(OnWorker([&] {
        QUB_CreateImage(0, "32", -1, -1, kW, kH, 100);
        QUB_CreateImage8(1, "8", -1, -1, kW, kH, 100);
        QUB_SetPalette(OddPalette().data(), 256);
        for (int n : {0, 1}) {
            FillNoise(n, 11);
            const std::string d = n == 0 ? " (32)" : " (8)";
            Copy k = Copy::Of(n);
            QUB_InvertImage(n);
            k.Is32() ? QUB_InvertImage32(k.P32(), kW, kH) : QUB_InvertImage8(k.P8(), kW, kH, k.stride);
            if (!k.SameAs(n)) faults.push_back("invert" + d);
            QUB_FlipHorizontal(n);
            k.Is32() ? QUB_FlipHorizontal32(k.P32(), kW, kH)
                     : QUB_FlipHorizontal8(k.P8(), kW, kH, k.stride);
            if (!k.SameAs(n)) faults.push_back("horizontal flip" + d);
            QUB_FlipVertical(n);
            k.Is32() ? QUB_FlipVertical32(k.P32(), kW, kH) : QUB_FlipVertical8(k.P8(), kW, kH, k.stride);
            if (!k.SameAs(n)) faults.push_back("vertical flip" + d);

            // A quarter turn swaps the window's sides and its client size.
            const SIZE before = ClientSize(n);
            const Copy start = Copy::Of(n);
            if (QUB_RotateRight(n) != 0) faults.push_back("right rotation refused" + d);
            Copy turned = start;
            turned.width = kH;
            turned.height = kW;
            turned.stride = QUB_Stride8(kH);
            turned.bytes.assign(k.Is32() ? size_t(kW) * kH * 4 : size_t(turned.stride) * kW, 0);
            Copy src = start;
            k.Is32() ? QUB_RotateRight32(src.P32(), kW, kH, turned.P32())
                     : QUB_RotateRight8(src.P8(), kW, kH, src.stride, turned.P8(), turned.stride);
            if (!turned.SameAs(n)) faults.push_back("right rotation pixels" + d);
            const ImageWindowRecord& r = qubState.images[n];
            const SIZE after = ClientSize(n);
            if (r.width != kH || r.height != kW || after.cx != r.displayWidth ||
                after.cy != r.displayHeight || after.cy <= before.cy)
                faults.push_back("window size after rotation" + d);
            if (qubState.currentImage != n) faults.push_back("rotated window not current" + d);
            QUB_RotateLeft(n);
            if (!start.SameAs(n)) faults.push_back("left after right" + d);
            for (int i = 0; i < 4; ++i) QUB_RotateLeft(n);
            if (!start.SameAs(n)) faults.push_back("four left rotations" + d);
        }
        uint32_t palette[256];
        QUB_SelectImage(1);
        QUB_GetPalette(palette);
        if (std::vector<uint32_t>(palette, palette + 256) != OddPalette())
            faults.push_back("8-bit palette lost in rotation");
    }));
    for (const std::string& f : faults) ADD_FAILURE() << f;
}

TEST_F(Transforms, RotationThatCannotFitKeepsThePicture) {
    int result = -1;
    bool same = false;
    ASSERT_TRUE(OnWorker([&] {
        // Wide and low fits; standing on its end it would need a zoom that
        // makes it both narrow enough for the minimum width and short enough
        // for the screen.
        ASSERT_EQ(QUB_CreateImage(0, "band", -1, -1, 1200, 4, 100), 0);
        FillNoise(0, 5);
        const Copy before = Copy::Of(0);
        result = QUB_RotateRight(0);
        same = before.SameAs(0);
    }));
    EXPECT_EQ(result, 2);
    EXPECT_TRUE(same) << "window open, same size and pixels";
}

TEST_F(Transforms, SizeStepsGiveTheRoundedSizes) {
    int sizes[4][2] = {};
    bool doubled = true;
    int tooSmall = -1;
    ASSERT_TRUE(OnWorker([&] {
        QUB_CreateImage(0, "3x3", -1, -1, 3, 3, 100);
        QUB_ScaleImage(0, 500);
        sizes[0][0] = qubState.images[0].width;
        sizes[0][1] = qubState.images[0].height;
        QUB_CreateImage(1, "100", -1, -1, 100, 100, 100);
        QUB_ScaleImage(1, 1414);
        sizes[1][0] = qubState.images[1].width;
        sizes[1][1] = qubState.images[1].height;
        QUB_CreateImage(2, "640", -1, -1, 640, 480, 50);
        QUB_ScaleImage(2, 707);
        sizes[2][0] = qubState.images[2].width;
        sizes[2][1] = qubState.images[2].height;
        // Doubling in COLORONCOLOR mode repeats each pixel in a 2 x 2 block.
        QUB_CreateImage8(3, "x2", -1, -1, 7, 5, 100);
        FillNoise(3, 9);
        const Copy k = Copy::Of(3);
        QUB_ScaleImage(3, 2000);
        sizes[3][0] = qubState.images[3].width;
        sizes[3][1] = qubState.images[3].height;
        const int stride = QUB_Stride8(14);
        for (int y = 0; y < 10; ++y)
            for (int x = 0; x < 14; ++x)
                doubled = doubled && qubState.imageBits8[3][y * stride + x] == k.bytes[(y / 2) * k.stride + x / 2];
        QUB_CreateImage(4, "1x1", -1, -1, 1, 1, 100);
        tooSmall = QUB_ScaleImage(4, 100);  // 0.1 of a pixel
    }));
    EXPECT_EQ(sizes[0][0], 2);
    EXPECT_EQ(sizes[0][1], 2);
    EXPECT_EQ(sizes[1][0], 141);
    EXPECT_EQ(sizes[1][1], 141);
    EXPECT_EQ(sizes[2][0], 452);
    EXPECT_EQ(sizes[2][1], 339);
    EXPECT_EQ(sizes[3][0], 14);
    EXPECT_EQ(sizes[3][1], 10);
    EXPECT_TRUE(doubled);
    EXPECT_EQ(tooSmall, 2);
    EXPECT_TRUE(qubState.images[4].inUse) << "a refused step keeps the window";
}

TEST_F(Transforms, TestPatternsMatchTheEngineAndGreySetsThePalette) {
    std::vector<std::string> faults;
    ASSERT_TRUE(OnWorker([&] {
        QUB_CreateImage(0, "32", -1, -1, kW, kH, 100);
        QUB_CreateImage8(1, "8", -1, -1, kW, kH, 100);
        QUB_SetPalette(OddPalette().data(), 256);
        struct Pattern {
            const char* name;
            int (*call)();
            void (*p32)(uint32_t*, int, int);
            void (*p8)(uint8_t*, int, int, int);
        } patterns[] = {
            {"RGB", QUB_TestPatternRgb, QUB_TestPatternRgb32, QUB_TestPatternRgb8},
            {"HSV", QUB_TestPatternHsv, QUB_TestPatternHsv32, QUB_TestPatternHsv8},
            {"YCrCb", QUB_TestPatternYCrCb, QUB_TestPatternYCrCb32, QUB_TestPatternYCrCb8},
            {"Yuv", QUB_TestPatternYuv, QUB_TestPatternYuv32, QUB_TestPatternYuv8},
            {"YIQ", QUB_TestPatternYiq, QUB_TestPatternYiq32, QUB_TestPatternYiq8},
            {"Grey", QUB_TestPatternGrey, QUB_TestPatternGrey32, QUB_TestPatternGrey8},
        };
        for (int n : {0, 1}) {
            QUB_SelectImage(n);
            for (const Pattern& p : patterns) {
                if (n == 1 && std::string(p.name) == "Grey") {
                    uint32_t palette[256];
                    QUB_GetPalette(palette);
                    if (std::vector<uint32_t>(palette, palette + 256) != OddPalette())
                        faults.push_back("a colour pattern changed the palette");
                }
                FillNoise(n, 2);
                Copy k = Copy::Of(n);
                qubState.penX = qubState.penY = 3;
                p.call();
                k.Is32() ? p.p32(k.P32(), kW, kH) : p.p8(k.P8(), kW, kH, k.stride);
                if (!k.SameAs(n)) faults.push_back(std::string(p.name) + " on " + std::to_string(k.depth));
                // Grey is drawn with lines, which move the pen; the others set pixels directly.
                const bool grey = std::string(p.name) == "Grey";
                if (qubState.penX != (grey ? kW - 1 : 3) || qubState.penY != (grey ? kH - 1 : 3))
                    faults.push_back(std::string(p.name) + " left the pen at " +
                                     std::to_string(qubState.penX) + "," + std::to_string(qubState.penY));
            }
        }
        uint32_t palette[256];
        QUB_SelectImage(1);
        QUB_GetPalette(palette);
        for (uint32_t i = 0; i < 256; ++i)
            if (palette[i] != i * 0x010101u) {
                faults.push_back("grey ramp entry " + std::to_string(i));
                break;
            }
    }));
    for (const std::string& f : faults) ADD_FAILURE() << f;
}

// The graphs' plots: rows as data, curve rows by scale, the CrCb plane.
TEST_F(Transforms, RowsAndPlots) {
    uint32_t row[5] = {1, 1, 1, 1, 1};
    uint8_t bytes[6] = {1, 1, 1, 1, 1, 1};
    uint32_t hue0 = 0, hue64 = 0, joined = 0, red = 0, axis = 0, label = 0, between = 0;
    ASSERT_TRUE(OnWorker([&] {
        QUB_CreateImage(0, "src", -1, -1, 3, 2, 100);
        for (uint32_t i = 0; i < 6; ++i) qubState.imageBits32[0][i] = 0x10101u * (i + 1);
        QUB_ReadRow(row, 1, 5);
        QUB_CreateImage8(1, "src8", -1, -1, 3, 2, 100);
        for (int i = 0; i < 8; ++i) qubState.imageBits8[1][i] = static_cast<uint8_t>(i + 1);
        QUB_ReadRow(bytes, 1, 6);

        QUB_CreateImage(2, "graph", -1, -1, 40, 128, 100);
        const uint32_t hues[3] = {0xFF0001u, 0x00FFFFu, 0x00FF00u};  // H = 359, 180, 120
        QUB_PlotChannel(hues, 10, 2, kPlotHue | kPlotDots, 0x123456);
        hue0 = QUB_GetPixel(10, 0);
        hue64 = QUB_GetPixel(11, 64);
        // Joined: from (20, 0) to (22, 127) the curve passes row 64 at x = 21.
        const uint32_t ramp[3] = {0xFF0000u, 0x800000u, 0x000000u};
        QUB_PlotChannel(ramp, 20, 3, kPlotRed | kPlotJoined, 0x00FF00);
        joined = QUB_GetPixel(21, 64);

        QUB_CreateImage(3, "crcb", -1, -1, 256, 256, 100);
        const uint32_t chroma[3] = {0xFF0000u, 0x0000FFu, 0x000000u};
        QUB_PlotCrCbLine(chroma, 3);
        red = QUB_GetPixel(86, 0);  // Cb -42, Cr 128: set white, then the magenta segment starts there
        axis = QUB_GetPixel(5, 128);
        label = qubState.qub_tc;
        between = QUB_GetPixel(128, 128);  // black, where the white second segment ends
    }));
    EXPECT_EQ(row[0], 0x40404u);
    EXPECT_EQ(row[2], 0x60606u);
    EXPECT_EQ(row[3], 0u) << "outside the image";
    EXPECT_EQ(bytes[0], 5) << "8-bit rows are 4 bytes apart";
    EXPECT_EQ(bytes[2], 7);
    EXPECT_EQ(bytes[3], 0);
    EXPECT_EQ(hue0, 0x123456u) << "H 359 on row 0";
    EXPECT_EQ(hue64, 0x123456u) << "H 180 on row 64";
    EXPECT_EQ(joined, 0x00FF00u);
    EXPECT_EQ(red, 0xFF00FFu);
    EXPECT_EQ(axis, 0x808080u);
    EXPECT_EQ(label, 0x8888FFu) << "the last label's colour stays";
    EXPECT_EQ(between, 0xFFFFFFu);
}

}  // namespace

int main(int argc, char** argv) { return RunWinTests(argc, argv); }
