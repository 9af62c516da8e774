// Drawing calls, transforms and test patterns on real 32-bit and 8-bit windows against the
// pixel engine on a copy of the same buffer (the engines' cases are tested natively), the
// pen they leave, rotations with their window and palette, and a closed current slot.
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
#include "imgproc/test_patterns.h"
#include "imgproc/transforms.h"
#include "imgproc/truetype_text.h"
#include "imgproc/truetype_text_win.h"
#include "text/text_window.h"
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

// One call on the current window, the engine's on the copy, and the pen the call leaves.
struct Step {
    const char* name;
    std::function<int()> call;
    std::function<void(Copy&)> engine;
    int penX, penY;
};

std::vector<Step> Steps() {
    const uint32_t c = 0x00C15A3Eu;  // low byte 0x3E for the 8-bit window
    const auto cur = [] { return qubState.currentImage; };
    return {
        {"SetPixel", [=] { return QUB_SetPixel(3, 4, c); },
         Engine(QUB_SetPixel32, QUB_SetPixel8, 3, 4, c), 3, 4},
        {"SetPixelKeepPen", [=] { return QUB_SetPixelKeepPen(5, 6, c); },
         Engine(QUB_SetPixel32, QUB_SetPixel8, 5, 6, c), kKeep, 0},
        {"XorPixel", [] { return QUB_XorPixel(7, 8); }, Engine(QUB_XorPixel32, QUB_XorPixel8, 7, 8),
         7, 8},
        {"XorPixelKeepPen", [] { return QUB_XorPixelKeepPen(1, 1); },
         Engine(QUB_XorPixel32, QUB_XorPixel8, 1, 1), kKeep, 0},
        {"DrawLine clipped", [=] { return QUB_DrawLine(c, -10, 2, 50, 17); },
         Engine(QUB_DrawLine32, QUB_DrawLine8, c, -10, 2, 50, 17), 50, 17},
        {"XorLine", [] { return QUB_XorLine(30, -3, 2, 40); },
         Engine(QUB_XorLine32, QUB_XorLine8, 30, -3, 2, 40), 2, 40},
        {"DrawBox", [] { return QUB_DrawBox(20, 15, 4, 3); },
         Engine(QUB_DrawBox32, QUB_DrawBox8, kInk, 20, 15, 4, 3), 4, 3},
        {"FillBox", [] { return QUB_FillBox(12, 9, 6, 5); },
         Engine(QUB_FillBox32, QUB_FillBox8, kInk, 12, 9, 6, 5), 11, 8},
        {"FillBox one row high", [] { return QUB_FillBox(9, 20, 3, 20); },
         Engine(QUB_FillBox32, QUB_FillBox8, kInk, 9, 20, 3, 20), 3, 20},
        {"XorBox", [] { return QUB_XorBox(1, 2, 30, 20); },
         Engine(QUB_XorBox32, QUB_XorBox8, 1, 2, 30, 20), 30, 19},
        {"XorFillBox", [] { return QUB_XorFillBox(10, 10, -5, 3); },
         Engine(QUB_XorFillBox32, QUB_XorFillBox8, -5, 3, 10, 10), 10, 10},
        {"DrawCircle", [=] { return QUB_DrawCircle(18, 11, c, 9); },
         Engine(QUB_DrawCircle32, QUB_DrawCircle8, 18, 11, c, 9), kKeep, 0},
        {"FillCircle (r, cx, cy)", [] { return QUB_FillCircle(5, 30, 10); },
         Engine(QUB_FillCircle32, QUB_FillCircle8, 30, 10, kInk, 5, kNoPen), 33, 6},
        {"XorCircle", [] { return QUB_XorCircle(10, 10, 7); },
         Engine(QUB_XorCircle32, QUB_XorCircle8, 10, 10, 7), kKeep, 0},
        {"XorFillCircle (r, cx, cy)", [] { return QUB_XorFillCircle(6, 20, 22); },
         Engine(QUB_XorFillCircle32, QUB_XorFillCircle8, 20, 22, 6, kNoPen), 24, 18},
        {"Paint", [] { return QUB_Paint(8, 7); },
         Engine(QUB_FloodFill32, QUB_FloodFill8, 8, 7, kInk, &g_lastRun), kLastRun, 0},
        {"Invert", [=] { return QUB_InvertImage(cur()); },
         Engine(QUB_InvertImage32, QUB_InvertImage8), kKeep, 0},
        {"FlipHorizontal", [=] { return QUB_FlipHorizontal(cur()); },
         Engine(QUB_FlipHorizontal32, QUB_FlipHorizontal8), kKeep, 0},
        {"FlipVertical", [=] { return QUB_FlipVertical(cur()); },
         Engine(QUB_FlipVertical32, QUB_FlipVertical8), kKeep, 0},
        {"RGB pattern", QUB_TestPatternRgb, Engine(QUB_TestPatternRgb32, QUB_TestPatternRgb8),
         kKeep, 0},
        {"HSV pattern", QUB_TestPatternHsv, Engine(QUB_TestPatternHsv32, QUB_TestPatternHsv8),
         kKeep, 0},
        {"YCrCb pattern", QUB_TestPatternYCrCb,
         Engine(QUB_TestPatternYCrCb32, QUB_TestPatternYCrCb8), kKeep, 0},
        {"Yuv pattern", QUB_TestPatternYuv, Engine(QUB_TestPatternYuv32, QUB_TestPatternYuv8),
         kKeep, 0},
        {"YIQ pattern", QUB_TestPatternYiq, Engine(QUB_TestPatternYiq32, QUB_TestPatternYiq8),
         kKeep, 0},
        // Grey is drawn with lines, which move the pen.
        {"Grey pattern", QUB_TestPatternGrey, Engine(QUB_TestPatternGrey32, QUB_TestPatternGrey8),
         kW - 1, kH - 1},
    };
}

// A palette no call would make by accident: entry k = (255 - k, k, 7).
std::vector<uint32_t> OddPalette() {
    std::vector<uint32_t> p(256);
    for (uint32_t k = 0; k < 256; ++k) p[k] = (255 - k) << 16 | k << 8 | 7u;
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
                const int keptX = qubState.penX, keptY = qubState.penY;
                EXPECT_EQ(step.call(), 0);
                step.engine(copy);
                EXPECT_TRUE(copy.SameAs(n)) << "pixels differ from the engine's";
                const QUB_Pen want = step.penX == kKeep      ? QUB_Pen{keptX, keptY}
                                     : step.penX == kLastRun ? g_lastRun
                                                             : QUB_Pen{step.penX, step.penY};
                EXPECT_EQ(std::vector<int>({qubState.penX, qubState.penY}),
                          std::vector<int>({want.x, want.y}));
            }
        }
        const std::vector<uint32_t> grey = PaletteOf(1);
        for (uint32_t i = 0; i < 256; ++i) ASSERT_EQ(grey[i], i * 0x010101u) << "grey entry " << i;
        QUB_SelectImage(0);
        qubState.imageBits32[0][4 * kW + 3] = 0xFF123456u;  // a top byte the user set
        EXPECT_EQ(QUB_GetPixel(3, 4), 0xFF123456u) << "the whole word";
        EXPECT_EQ(QUB_ProbePixel(3, 4), 0xFF123456) << "not confused with -1";
        EXPECT_EQ(QUB_GetPixel(kW, 0), 0u);
        EXPECT_EQ(QUB_ProbePixel(-1, 0), -1);
    }));
}

// A quarter turn swaps the window's sides and its client size, keeps the 8-bit palette and
// makes the window current; left after right gives the picture again.
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
            Copy turned = {start.depth, h, w, QUB_Stride8(h), {}};
            turned.bytes.resize(start.Is32() ? size_t(w) * h * 4 : size_t(turned.stride) * w);
            Copy src = start;
            if (start.Is32()) QUB_RotateRight32(src.P32(), w, h, turned.P32());
            else QUB_RotateRight8(src.P8(), w, h, src.stride, turned.P8(), turned.stride);
            EXPECT_TRUE(turned.SameAs(n));
            const ImageWindowRecord& r = qubState.images[n];
            const SIZE after = ClientSize(r.window);
            EXPECT_EQ(std::vector<int>({after.cx, after.cy, qubState.currentImage}),
                      std::vector<int>({r.displayWidth, r.displayHeight, n}));
            EXPECT_GT(after.cy, before.cy);
            EXPECT_EQ(QUB_RotateLeft(n), 0);
            EXPECT_TRUE(start.SameAs(n)) << "left after right";
        }
        EXPECT_EQ(PaletteOf(1), OddPalette());
        // Wide and low fits; on its end no zoom is both narrow and short enough.
        ASSERT_EQ(QUB_CreateImage(2, "band", -1, -1, 1200, 4, 100), 0);
        FillNoise(2, 5);
        const Copy band = Copy::Of(2);
        EXPECT_EQ(QUB_RotateRight(2), 2);
        EXPECT_TRUE(band.SameAs(2)) << "window open, same size and pixels";
    }));
}

// A closed current slot: nothing is written anywhere, the pen, the cursor and
// a reader's buffer stay as they were.
TEST_F(Calls, ClosedCurrentSlotIsRefused) {
    ASSERT_TRUE(OnWorker([&] {
        uint32_t row[4] = {7, 7, 7, 7};
        QUB_OpenTextWindow(0, -1, -1, 400, 300);
        QUB_StartLog(0);  // a prompt would be logged
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
            QUB_PlotCrCbLine(row, 4),  QUB_PlotCrCbArea(1, row, 4),   QUB_DrawTTChar('A'),
            QUB_DrawTTChar(10),        QUB_TTDrawCommand(nullptr, 0, 0, 9, 9)};
        for (size_t i = 0; i < sizeof results / sizeof results[0]; ++i)
            EXPECT_EQ(results[i], 1) << "call " << i;
        EXPECT_EQ(QUB_GetPixel(1, 1), 0u);
        EXPECT_EQ(QUB_ProbePixel(1, 1), -1);
        EXPECT_EQ(std::vector<int>({qubState.penX, qubState.penY, qubState.textX, int(row[0])}),
                  std::vector<int>({11, 12, 13, 7})) << "pen, cursor and reader's buffer kept";
        qubState.currentImage = 300;  // out of range as well as closed
        EXPECT_EQ(QUB_SetPixel(0, 0, 1), 1);
        EXPECT_EQ(QUB_TestPatternRgb(), 1);
        qubState.currentImage = 0;
    }));
    EXPECT_EQ(ClosedLogText(0).find("Text>"), std::string::npos) << "no prompt for a closed slot";
}

}  // namespace

int main(int argc, char** argv) { return RunWinTests(argc, argv); }
