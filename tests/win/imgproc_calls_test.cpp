// Drawing calls, transforms and test patterns on real image windows: every
// call on a 32-bit and an 8-bit window against the pixel engine on a copy of
// the same buffer, with one value from the product description per call where
// it has one; the pen and text cursor they leave, sizes, palettes, plots, and
// the refusal of a closed current slot.
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "core/library_state.h"
#include "image/image_window.h"
#include "imgproc/bitmap_text.h"
#include "imgproc/circle.h"
#include "imgproc/colour_plot.h"
#include "imgproc/draw.h"
#include "imgproc/flood_fill.h"
#include "imgproc/image_drawing.h"
#include "imgproc/image_transforms.h"
#include "imgproc/plot_values.h"
#include "imgproc/test_patterns.h"
#include "imgproc/transforms.h"
#include "tests/win/image_test_support.h"
#include "tests/win/win_test_support.h"

namespace {

using Calls = ImageTest;

constexpr int kW = 41, kH = 27;  // odd width: 8-bit rows carry padding
constexpr int kKeep = -12345;    // the pen stays where it was
constexpr int kLastRun = -12346;  // the pen is where the engine's fill ended its last run
QUB_Pen g_lastRun = {kKeep, kKeep};
QUB_Pen* const kNoPen = nullptr;  // the engine's pen output, not wanted

// The engine's function for the copy's depth, with the call's arguments.
template <typename F32, typename F8, typename... A>
std::function<void(Copy&)> Engine(F32 f32, F8 f8, A... a) {
    return [=](Copy& k) {
        if (k.Is32()) f32(k.P32(), k.width, k.height, a...);
        else f8(k.P8(), k.width, k.height, k.stride, a...);
    };
}

// One call on the current window, the engine's function on the copy, which
// must leave the same bytes; the pen it leaves; a value the description gives
// (before, slot; true when it holds), or none.
struct Step {
    const char* name;
    std::function<int()> call;
    std::function<void(Copy&)> engine;
    int penX, penY;
    std::function<bool(const Copy&, int)> spec;
};

std::vector<Step> Steps() {
    const uint32_t c = 0x00C15A3Eu;  // low byte 0x3E for the 8-bit window
    const auto none = [](Copy&) {};
    const auto cur = [] { return qubState.currentImage; };
    return {
        {"SetPixel", [=] { return QUB_SetPixel(3, 4, c); }, Engine(QUB_SetPixel32, QUB_SetPixel8, 3, 4, c), 3, 4,
         [=](const Copy& k, int n) { return PixelAt(n, 3, 4) == (k.Is32() ? c : 0x3Eu); }},
        {"SetPixel outside", [=] { return QUB_SetPixel(-5, 1000, c); }, none, -5, 1000, nullptr},
        {"SetPixelKeepPen", [=] { return QUB_SetPixelKeepPen(5, 6, c); },
         Engine(QUB_SetPixel32, QUB_SetPixel8, 5, 6, c), kKeep, 0, nullptr},
        {"XorPixel", [] { return QUB_XorPixel(7, 8); }, Engine(QUB_XorPixel32, QUB_XorPixel8, 7, 8), 7, 8,
         [](const Copy& k, int n) { return PixelAt(n, 7, 8) == (k.At(7, 8) ^ (k.Is32() ? 0xFFFFFFu : 255u)); }},
        {"XorPixelKeepPen", [] { return QUB_XorPixelKeepPen(1, 1); }, Engine(QUB_XorPixel32, QUB_XorPixel8, 1, 1),
         kKeep, 0, nullptr},
        {"DrawLine clipped", [=] { return QUB_DrawLine(c, -10, 2, 50, 17); },
         Engine(QUB_DrawLine32, QUB_DrawLine8, c, -10, 2, 50, 17), 50, 17, nullptr},
        {"XorLine", [] { return QUB_XorLine(30, -3, 2, 40); }, Engine(QUB_XorLine32, QUB_XorLine8, 30, -3, 2, 40),
         2, 40, nullptr},
        {"DrawBox", [] { return QUB_DrawBox(20, 15, 4, 3); }, Engine(QUB_DrawBox32, QUB_DrawBox8, kInk, 20, 15, 4, 3),
         4, 3, nullptr},
        {"FillBox", [] { return QUB_FillBox(12, 9, 6, 5); }, Engine(QUB_FillBox32, QUB_FillBox8, kInk, 12, 9, 6, 5),
         11, 8, nullptr},
        {"FillBox thin", [] { return QUB_FillBox(36, 20, 37, 25); },
         Engine(QUB_FillBox32, QUB_FillBox8, kInk, 36, 20, 37, 25), 36, 20, nullptr},
        {"XorBox", [] { return QUB_XorBox(1, 2, 30, 20); }, Engine(QUB_XorBox32, QUB_XorBox8, 1, 2, 30, 20), 30, 19,
         nullptr},
        {"XorFillBox", [] { return QUB_XorFillBox(10, 10, -5, 3); },
         Engine(QUB_XorFillBox32, QUB_XorFillBox8, -5, 3, 10, 10), 10, 10, nullptr},
        {"DrawCircle", [=] { return QUB_DrawCircle(18, 11, c, 9); },
         Engine(QUB_DrawCircle32, QUB_DrawCircle8, 18, 11, c, 9), kKeep, 0, nullptr},
        {"FillCircle (r, cx, cy)", [] { return QUB_FillCircle(5, 30, 10); },
         Engine(QUB_FillCircle32, QUB_FillCircle8, 30, 10, kInk, 5, kNoPen), 33, 6, nullptr},
        {"XorCircle", [] { return QUB_XorCircle(10, 10, 7); }, Engine(QUB_XorCircle32, QUB_XorCircle8, 10, 10, 7),
         kKeep, 0, nullptr},
        {"XorFillCircle (r, cx, cy)", [] { return QUB_XorFillCircle(6, 20, 22); },
         Engine(QUB_XorFillCircle32, QUB_XorFillCircle8, 20, 22, 6, kNoPen), 24, 18, nullptr},
        {"Paint", [] { return QUB_Paint(8, 7); }, Engine(QUB_FloodFill32, QUB_FloodFill8, 8, 7, kInk, &g_lastRun),
         kLastRun, 0, [](const Copy& k, int n) { return PixelAt(n, 8, 7) == (k.Is32() ? kInk : 0xC0u); }},
        {"Paint with the colour it has", [] { return QUB_Paint(8, 7); }, none, kKeep, 0, nullptr},
        {"Invert", [=] { return QUB_InvertImage(cur()); }, Engine(QUB_InvertImage32, QUB_InvertImage8), kKeep, 0,
         [](const Copy& k, int n) { return PixelAt(n, 0, 0) == (k.Is32() ? 0xFFFFFFu : 255u) - k.At(0, 0); }},
        {"FlipHorizontal", [=] { return QUB_FlipHorizontal(cur()); },
         Engine(QUB_FlipHorizontal32, QUB_FlipHorizontal8), kKeep, 0,
         [](const Copy& k, int n) { return PixelAt(n, 0, 1) == k.At(kW - 1, 1); }},
        {"FlipVertical", [=] { return QUB_FlipVertical(cur()); }, Engine(QUB_FlipVertical32, QUB_FlipVertical8),
         kKeep, 0, [](const Copy& k, int n) { return PixelAt(n, 1, 0) == k.At(1, kH - 1); }},
        {"RGB pattern", QUB_TestPatternRgb, Engine(QUB_TestPatternRgb32, QUB_TestPatternRgb8), kKeep, 0,
         [](const Copy& k, int n) { return !k.Is32() || PixelAt(n, 0, 0) == 0x0000FFu; }},
        {"HSV pattern", QUB_TestPatternHsv, Engine(QUB_TestPatternHsv32, QUB_TestPatternHsv8), kKeep, 0, nullptr},
        {"YCrCb pattern", QUB_TestPatternYCrCb, Engine(QUB_TestPatternYCrCb32, QUB_TestPatternYCrCb8), kKeep, 0,
         nullptr},
        {"Yuv pattern", QUB_TestPatternYuv, Engine(QUB_TestPatternYuv32, QUB_TestPatternYuv8), kKeep, 0, nullptr},
        {"YIQ pattern", QUB_TestPatternYiq, Engine(QUB_TestPatternYiq32, QUB_TestPatternYiq8), kKeep, 0, nullptr},
        // Grey is drawn with lines, which move the pen.
        {"Grey pattern", QUB_TestPatternGrey, Engine(QUB_TestPatternGrey32, QUB_TestPatternGrey8), kW - 1, kH - 1,
         nullptr},
    };
}

// A palette no call would make by accident: entry k = (255 - k, k, 7).
std::vector<uint32_t> OddPalette() {
    std::vector<uint32_t> p(256);
    for (uint32_t k = 0; k < 256; ++k) p[k] = (255 - k) << 16 | k << 8 | 7u;
    return p;
}

std::vector<uint32_t> PaletteOf(int n) {
    QUB_SelectImage(n);
    std::vector<uint32_t> p(256);
    QUB_GetPalette(p.data());
    return p;
}

TEST_F(Calls, EveryCallMatchesTheEngineOnBothDepths) {
    ASSERT_TRUE(OnWorker([&] {
        ASSERT_EQ(QUB_CreateImage(0, "32", -1, -1, kW, kH, 100), 0);
        ASSERT_EQ(QUB_CreateImage8(1, "8", -1, -1, kW, kH, 100), 0);
        QUB_SetPalette(OddPalette().data(), 256);
        qubState.drawColour = kInk;
        for (int n : {0, 1}) {
            QUB_SelectImage(n);
            FillNoise(n, 7 + static_cast<uint32_t>(n));
            Copy copy = Copy::Of(n);
            for (const Step& step : Steps()) {
                SCOPED_TRACE(std::string(step.name) + " on " + std::to_string(copy.depth));
                const Copy before = copy;
                const int keptX = qubState.penX, keptY = qubState.penY;
                EXPECT_EQ(step.call(), 0);
                step.engine(copy);
                EXPECT_TRUE(copy.SameAs(n)) << "pixels differ from the engine's";
                if (step.spec) {
                    EXPECT_TRUE(step.spec(before, n));
                }
                const int wantX = step.penX == kKeep ? keptX : step.penX == kLastRun ? g_lastRun.x : step.penX;
                const int wantY = step.penX == kKeep ? keptY : step.penX == kLastRun ? g_lastRun.y : step.penY;
                EXPECT_EQ(qubState.penX, wantX);
                EXPECT_EQ(qubState.penY, wantY);
                if (n == 1 && std::string(step.name) == "YIQ pattern") {
                    EXPECT_EQ(PaletteOf(1), OddPalette()) << "a colour pattern changed the palette";
                }
            }
        }
        const std::vector<uint32_t> grey = PaletteOf(1);
        for (uint32_t i = 0; i < 256; ++i) ASSERT_EQ(grey[i], i * 0x010101u) << "grey ramp entry " << i;
        QUB_SelectImage(0);
        qubState.imageBits32[0][4 * kW + 3] = 0xFF123456u;  // a top byte the user set
        EXPECT_EQ(QUB_GetPixel(3, 4), 0xFF123456u) << "the whole word";
        EXPECT_EQ(QUB_ProbePixel(3, 4), 0xFF123456) << "not confused with -1";
        EXPECT_EQ(QUB_GetPixel(kW, 0), 0u);
        EXPECT_EQ(QUB_ProbePixel(-1, 0), -1);
    }));
}

TEST_F(Calls, TextAndClearMatchTheEngine) {
    ASSERT_TRUE(OnWorker([&] {
        QUB_CreateImage(0, "32", -1, -1, kW, kH, 100);
        QUB_CreateImage8(1, "8", -1, -1, kW, kH, 100);
        for (int n : {0, 1}) {
            FillNoise(n, 3);
            QUB_SelectImage(n);
            Copy copy = Copy::Of(n);
            qubState.qub_tc = 0x00ABCDEFu;
            qubState.textX = qubState.textLeft = 2;
            qubState.textY = 15;
            QUB_TextCursor cursor = {2, 15, 2};
            QUB_Pen pen = {qubState.penX, qubState.penY};
            const char* text = "Ag_|\n0j\xE9q";  // newline, a byte above 127, a wrap
            QUB_DrawString(text);
            QUB_DrawChar('Y');
            QUB_DrawChar(300);
            const std::string all = std::string(text) + "Y";
            if (copy.Is32())
                QUB_DrawString32(copy.P32(), kW, kH, &cursor, 0x00ABCDEFu, all.c_str(), &pen);
            else
                QUB_DrawString8(copy.P8(), kW, kH, copy.stride, &cursor, 0x00ABCDEFu, all.c_str(), &pen);
            SCOPED_TRACE(copy.depth);
            EXPECT_TRUE(copy.SameAs(n));
            EXPECT_EQ(qubState.textX, cursor.textX);
            EXPECT_EQ(qubState.textY, cursor.textY);
            EXPECT_EQ(qubState.penX, pen.x);
            EXPECT_EQ(qubState.penY, pen.y);
            EXPECT_EQ(QUB_ClearImage(n), 0);
            const Copy cleared = Copy::Of(n);
            EXPECT_EQ(cleared.bytes, std::vector<uint8_t>(cleared.bytes.size(), 0));
        }
    }));
}

TEST_F(Calls, DrawFormatFormatsAndCutsAnOverlongText) {
    ASSERT_TRUE(OnWorker([&] {
        QUB_CreateImage(0, "text", -1, -1, 64, 40, 100);
        qubState.textX = qubState.textLeft = 0;
        qubState.textY = 14;
        EXPECT_EQ(QUB_DrawFormat("x=%d;%s", 42, "ok"), 0);
        EXPECT_EQ(qubState.textX, 8 * 7) << "\"x=42;ok\" is seven characters";
        // 8 glyphs a row: the cursor position tells how many characters were drawn.
        qubState.textX = 0;
        qubState.textY = 14;
        EXPECT_EQ(QUB_DrawFormat("%s%s", std::string(10000, 'A').c_str(), "tail"), 0);
        std::vector<uint32_t> scratch(64 * 40);
        QUB_Pen pen = {0, 0};
        QUB_TextCursor expected = {0, 14, 0}, cut = {0, 14, 0};
        QUB_DrawString32(scratch.data(), 64, 40, &expected, 1, std::string(4095, 'A').c_str(), &pen);
        QUB_DrawString32(scratch.data(), 64, 40, &cut, 1, std::string(4096, 'A').c_str(), &pen);
        EXPECT_EQ(qubState.textX, expected.textX);
        EXPECT_EQ(qubState.textY, expected.textY) << "4,095 characters drawn";
        EXPECT_NE(cut.textX, expected.textX) << "one more character would show";
    }));
}

// A quarter turn swaps the window's sides and its client size, keeps the
// 8-bit palette and makes the window current; four make the picture again.
TEST_F(Calls, RotationsTurnTheWindowAndKeepThePalette) {
    constexpr int w = 13, h = 6;
    ASSERT_TRUE(OnWorker([&] {
        QUB_CreateImage(0, "32", -1, -1, w, h, 100);
        QUB_CreateImage8(1, "8", -1, -1, w, h, 100);
        QUB_SetPalette(OddPalette().data(), 256);
        for (int n : {0, 1}) {
            SCOPED_TRACE(n);
            FillNoise(n, 11);
            QUB_SelectImage(1 - n);
            const SIZE before = ClientSize(qubState.images[n].window);
            const Copy start = Copy::Of(n);
            EXPECT_EQ(QUB_RotateRight(n), 0);
            Copy turned = start, src = start;
            turned.width = h;
            turned.height = w;
            turned.stride = QUB_Stride8(h);
            turned.bytes.assign(start.Is32() ? size_t(w) * h * 4 : size_t(turned.stride) * w, 0);
            if (start.Is32()) QUB_RotateRight32(src.P32(), w, h, turned.P32());
            else QUB_RotateRight8(src.P8(), w, h, src.stride, turned.P8(), turned.stride);
            EXPECT_TRUE(turned.SameAs(n));
            EXPECT_EQ(PixelAt(n, h - 1, 0), start.At(0, 0)) << "the top-left goes top-right";
            const ImageWindowRecord& r = qubState.images[n];
            const SIZE after = ClientSize(r.window);
            EXPECT_EQ(after.cx, r.displayWidth);
            EXPECT_EQ(after.cy, r.displayHeight);
            EXPECT_GT(after.cy, before.cy);
            EXPECT_EQ(qubState.currentImage, n);
            EXPECT_EQ(QUB_RotateLeft(n), 0);
            EXPECT_TRUE(start.SameAs(n)) << "left after right";
            for (int i = 0; i < 4; ++i) QUB_RotateLeft(n);
            EXPECT_TRUE(start.SameAs(n)) << "four left turns";
        }
        EXPECT_EQ(PaletteOf(1), OddPalette());
        // Wide and low fits; standing on its end it would need a zoom both
        // narrow enough for the minimum width and short enough for the screen.
        ASSERT_EQ(QUB_CreateImage(2, "band", -1, -1, 1200, 4, 100), 0);
        FillNoise(2, 5);
        const Copy band = Copy::Of(2);
        EXPECT_EQ(QUB_RotateRight(2), 2);
        EXPECT_TRUE(band.SameAs(2)) << "window open, same size and pixels";
    }));
}

TEST_F(Calls, SizeStepsGiveTheRoundedSizes) {
    const struct {
        int w, h, zoom, step, result, newW, newH;
    } steps[] = {{3, 3, 100, 500, 0, 2, 2}, {100, 100, 100, 1414, 0, 141, 141}, {640, 480, 50, 707, 0, 452, 339},
                 {1, 1, 100, 100, 2, 1, 1}};  // 0.1 of a pixel is refused, the window kept
    ASSERT_TRUE(OnWorker([&] {
        for (const auto& s : steps) {
            QUB_CreateImage(0, "step", -1, -1, s.w, s.h, s.zoom);
            EXPECT_EQ(QUB_ScaleImage(0, s.step), s.result) << s.w << " x " << s.step;
            EXPECT_TRUE(qubState.images[0].inUse);
            EXPECT_EQ(qubState.images[0].width, s.newW);
            EXPECT_EQ(qubState.images[0].height, s.newH);
            QUB_DestroyImage(0);
        }
        // Doubling in COLORONCOLOR mode repeats each pixel in a 2 x 2 block.
        QUB_CreateImage8(3, "x2", -1, -1, 7, 5, 100);
        FillNoise(3, 9);
        const Copy k = Copy::Of(3);
        EXPECT_EQ(QUB_ScaleImage(3, 2000), 0);
        ASSERT_EQ(qubState.images[3].width, 14);
        ASSERT_EQ(qubState.images[3].height, 10);
        for (int y = 0; y < 10; ++y)
            for (int x = 0; x < 14; ++x) ASSERT_EQ(PixelAt(3, x, y), k.At(x / 2, y / 2)) << x << "," << y;
    }));
}

// The graphs' plots: rows as data, curve rows by scale, the CrCb plane.
TEST_F(Calls, RowsAndPlots) {
    uint32_t row[5] = {1, 1, 1, 1, 1};
    uint8_t bytes[6] = {1, 1, 1, 1, 1, 1};
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
        EXPECT_EQ(QUB_GetPixel(10, 0), 0x123456u) << "H 359 on row 0";
        EXPECT_EQ(QUB_GetPixel(11, 64), 0x123456u) << "H 180 on row 64";
        // Joined: from (20, 0) to (22, 127) the curve passes row 64 at x = 21.
        const uint32_t ramp[3] = {0xFF0000u, 0x800000u, 0x000000u};
        QUB_PlotChannel(ramp, 20, 3, kPlotRed | kPlotJoined, 0x00FF00);
        EXPECT_EQ(QUB_GetPixel(21, 64), 0x00FF00u);

        QUB_CreateImage(3, "crcb", -1, -1, 256, 256, 100);
        const uint32_t chroma[3] = {0xFF0000u, 0x0000FFu, 0x000000u};
        QUB_PlotCrCbLine(chroma, 3);
        // Cb -42, Cr 128: set white, then the magenta segment starts there.
        EXPECT_EQ(QUB_GetPixel(86, 0), 0xFF00FFu);
        EXPECT_EQ(QUB_GetPixel(5, 128), 0x808080u);
        EXPECT_EQ(qubState.qub_tc, 0x8888FFu) << "the last label's colour stays";
        EXPECT_EQ(QUB_GetPixel(128, 128), 0xFFFFFFu) << "where the white second segment ends";
    }));
    EXPECT_EQ(row[0], 0x40404u);
    EXPECT_EQ(row[2], 0x60606u);
    EXPECT_EQ(row[3], 0u) << "outside the image";
    EXPECT_EQ(bytes[0], 5) << "8-bit rows are 4 bytes apart";
    EXPECT_EQ(bytes[2], 7);
    EXPECT_EQ(bytes[3], 0);
}

// A closed current slot: nothing is written anywhere, the pen, the cursor and
// a reader's buffer stay as they were.
TEST_F(Calls, ClosedCurrentSlotIsRefused) {
    ASSERT_TRUE(OnWorker([&] {
        uint32_t row[4] = {7, 7, 7, 7};
        QUB_CreateImage(0, "gone", -1, -1, 20, 20, 100);
        QUB_DestroyImage(0);  // still the current slot
        qubState.penX = 11;
        qubState.penY = 12;
        qubState.textX = 13;
        const int results[] = {
            QUB_SetPixel(1, 1, 5),     QUB_SetPixelKeepPen(1, 1, 5), QUB_XorPixel(1, 1),
            QUB_XorPixelKeepPen(1, 1), QUB_DrawLine(5, 0, 0, 5, 5),  QUB_XorLine(0, 0, 5, 5),
            QUB_DrawBox(0, 0, 5, 5),   QUB_FillBox(0, 0, 5, 5),      QUB_XorBox(0, 0, 5, 5),
            QUB_XorFillBox(0, 0, 5, 5), QUB_DrawCircle(5, 5, 1, 3),  QUB_FillCircle(3, 5, 5),
            QUB_XorCircle(5, 5, 3),    QUB_XorFillCircle(3, 5, 5),   QUB_Paint(1, 1),
            QUB_DrawChar('A'),         QUB_DrawString("AB"),         QUB_DrawFormat("%d", 1),
            QUB_ClearImage(0),         QUB_ClearImage(256),          QUB_ClearImage(-1),
            QUB_TestPatternRgb(),      QUB_TestPatternHsv(),         QUB_TestPatternYCrCb(),
            QUB_TestPatternYuv(),      QUB_TestPatternYiq(),         QUB_TestPatternGrey(),
            QUB_InvertImage(0),        QUB_FlipHorizontal(0),        QUB_FlipVertical(0),
            QUB_RotateRight(0),        QUB_RotateLeft(0),            QUB_ScaleImage(0, 500),
            QUB_ReadRow(row, 0, 4),    QUB_PlotChannel(row, 0, 4, 0x81, 5),
            QUB_PlotCrCbLine(row, 4),  QUB_PlotCrCbArea(1, row, 4)};
        for (size_t i = 0; i < sizeof results / sizeof results[0]; ++i) EXPECT_EQ(results[i], 1) << "call " << i;
        EXPECT_EQ(QUB_GetPixel(1, 1), 0u);
        EXPECT_EQ(QUB_ProbePixel(1, 1), -1);
        EXPECT_EQ(qubState.penX, 11);
        EXPECT_EQ(qubState.penY, 12);
        EXPECT_EQ(qubState.textX, 13);
        EXPECT_EQ(row[0], 7u) << "the reader's buffer is untouched";
        qubState.currentImage = 300;  // out of range as well as closed
        EXPECT_EQ(QUB_SetPixel(0, 0, 1), 1);
        EXPECT_EQ(QUB_TestPatternRgb(), 1);
        qubState.currentImage = 0;
    }));
}

}  // namespace

int main(int argc, char** argv) { return RunWinTests(argc, argv); }
