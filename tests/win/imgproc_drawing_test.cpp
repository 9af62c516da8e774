// Drawing calls on real image windows: every call on a 32-bit and an 8-bit
// window against the pixel engine on a copy of the same buffer, the pen and
// text cursor they leave, refusal of a closed current slot, and the cut of an
// over-long formatted text.
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
#include "tests/win/imgproc_test_support.h"
#include "tests/win/image_test_support.h"
#include "tests/win/win_test_support.h"

namespace {

class Drawing : public testing::Test {
protected:
    void SetUp() override { CloseAllImages(); }
    void TearDown() override { CloseAllImages(); }
};

constexpr int kW = 41, kH = 27;  // odd width: 8-bit rows carry padding

// One drawing call: the library call on the current window, and the engine's
// function on the copy, which must leave the same bytes.
struct Step {
    const char* name;
    std::function<int()> call;
    std::function<void(Copy&)> engine;
    int penX, penY;  // expected pen afterwards; kKeep when unchanged
};
constexpr int kKeep = -12345;
constexpr int kLastRun = -12346;  // where the engine's fill ended its last run
QUB_Pen g_lastRun = {kKeep, kKeep};

std::vector<Step> Steps() {
    const uint32_t c = 0x00C15A3Eu;  // low byte 0x3E for the 8-bit window
    return {
        {"SetPixel", [=] { return QUB_SetPixel(3, 4, c); },
         [=](Copy& k) { k.Is32() ? QUB_SetPixel32(k.P32(), kW, kH, 3, 4, c)
                                 : QUB_SetPixel8(k.P8(), kW, kH, k.stride, 3, 4, c); }, 3, 4},
        {"SetPixel outside", [=] { return QUB_SetPixel(-5, 1000, c); }, [](Copy&) {}, -5, 1000},
        {"SetPixelKeepPen", [=] { return QUB_SetPixelKeepPen(5, 6, c); },
         [=](Copy& k) { k.Is32() ? QUB_SetPixel32(k.P32(), kW, kH, 5, 6, c)
                                 : QUB_SetPixel8(k.P8(), kW, kH, k.stride, 5, 6, c); }, kKeep, 0},
        {"XorPixel", [] { return QUB_XorPixel(7, 8); },
         [](Copy& k) { k.Is32() ? QUB_XorPixel32(k.P32(), kW, kH, 7, 8)
                                : QUB_XorPixel8(k.P8(), kW, kH, k.stride, 7, 8); }, 7, 8},
        {"XorPixelKeepPen", [] { return QUB_XorPixelKeepPen(1, 1); },
         [](Copy& k) { k.Is32() ? QUB_XorPixel32(k.P32(), kW, kH, 1, 1)
                                : QUB_XorPixel8(k.P8(), kW, kH, k.stride, 1, 1); }, kKeep, 0},
        {"DrawLine clipped", [=] { return QUB_DrawLine(c, -10, 2, 50, 17); },
         [=](Copy& k) { k.Is32() ? QUB_DrawLine32(k.P32(), kW, kH, c, -10, 2, 50, 17)
                                 : QUB_DrawLine8(k.P8(), kW, kH, k.stride, c, -10, 2, 50, 17); },
         50, 17},
        {"XorLine", [] { return QUB_XorLine(30, -3, 2, 40); },
         [](Copy& k) { k.Is32() ? QUB_XorLine32(k.P32(), kW, kH, 30, -3, 2, 40)
                                : QUB_XorLine8(k.P8(), kW, kH, k.stride, 30, -3, 2, 40); }, 2, 40},
        {"DrawBox", [] { return QUB_DrawBox(20, 15, 4, 3); },
         [](Copy& k) { k.Is32() ? QUB_DrawBox32(k.P32(), kW, kH, kInk, 20, 15, 4, 3)
                                : QUB_DrawBox8(k.P8(), kW, kH, k.stride, kInk, 20, 15, 4, 3); }, 4, 3},
        {"FillBox", [] { return QUB_FillBox(12, 9, 6, 5); },
         [](Copy& k) { k.Is32() ? QUB_FillBox32(k.P32(), kW, kH, kInk, 12, 9, 6, 5)
                                : QUB_FillBox8(k.P8(), kW, kH, k.stride, kInk, 12, 9, 6, 5); }, 11, 8},
        {"FillBox thin", [] { return QUB_FillBox(36, 20, 37, 25); },
         [](Copy& k) { k.Is32() ? QUB_FillBox32(k.P32(), kW, kH, kInk, 36, 20, 37, 25)
                                : QUB_FillBox8(k.P8(), kW, kH, k.stride, kInk, 36, 20, 37, 25); }, 36, 20},
        {"XorBox", [] { return QUB_XorBox(1, 2, 30, 20); },
         [](Copy& k) { k.Is32() ? QUB_XorBox32(k.P32(), kW, kH, 1, 2, 30, 20)
                                : QUB_XorBox8(k.P8(), kW, kH, k.stride, 1, 2, 30, 20); }, 30, 19},
        {"XorFillBox", [] { return QUB_XorFillBox(10, 10, -5, 3); },
         [](Copy& k) { k.Is32() ? QUB_XorFillBox32(k.P32(), kW, kH, -5, 3, 10, 10)
                                : QUB_XorFillBox8(k.P8(), kW, kH, k.stride, -5, 3, 10, 10); }, 10, 10},
        {"DrawCircle", [=] { return QUB_DrawCircle(18, 11, c, 9); },
         [=](Copy& k) { k.Is32() ? QUB_DrawCircle32(k.P32(), kW, kH, 18, 11, c, 9)
                                 : QUB_DrawCircle8(k.P8(), kW, kH, k.stride, 18, 11, c, 9); }, kKeep, 0},
        {"FillCircle (r, cx, cy)", [] { return QUB_FillCircle(5, 30, 10); },
         [](Copy& k) { k.Is32() ? QUB_FillCircle32(k.P32(), kW, kH, 30, 10, kInk, 5)
                                : QUB_FillCircle8(k.P8(), kW, kH, k.stride, 30, 10, kInk, 5); }, 33, 6},
        {"XorCircle", [] { return QUB_XorCircle(10, 10, 7); },
         [](Copy& k) { k.Is32() ? QUB_XorCircle32(k.P32(), kW, kH, 10, 10, 7)
                                : QUB_XorCircle8(k.P8(), kW, kH, k.stride, 10, 10, 7); }, kKeep, 0},
        {"XorFillCircle (r, cx, cy)", [] { return QUB_XorFillCircle(6, 20, 22); },
         [](Copy& k) { k.Is32() ? QUB_XorFillCircle32(k.P32(), kW, kH, 20, 22, 6)
                                : QUB_XorFillCircle8(k.P8(), kW, kH, k.stride, 20, 22, 6); }, 24, 18},
        {"Paint", [] { return QUB_Paint(8, 7); },
         [](Copy& k) { k.Is32() ? QUB_FloodFill32(k.P32(), kW, kH, 8, 7, kInk, &g_lastRun)
                                : QUB_FloodFill8(k.P8(), kW, kH, k.stride, 8, 7, kInk, &g_lastRun); },
         kLastRun, 0},
        {"Paint with the colour it has", [] { return QUB_Paint(8, 7); }, [](Copy&) {}, kKeep, 0},
    };
}

// Runs the steps on slot n and returns what differed.
std::vector<std::string> RunSteps(int n) {
    std::vector<std::string> faults;
    QUB_SelectImage(n);
    Copy copy = Copy::Of(n);
    for (const Step& step : Steps()) {
        const int keptX = qubState.penX, keptY = qubState.penY;
        const int result = step.call();
        step.engine(copy);
        const std::string where = std::string(step.name) + " on " + std::to_string(copy.depth);
        if (result != 0) faults.push_back(where + ": result " + std::to_string(result));
        if (!copy.SameAs(n)) faults.push_back(where + ": pixels differ from the engine's");
        const int wantX = step.penX == kKeep ? keptX : step.penX == kLastRun ? g_lastRun.x : step.penX;
        const int wantY = step.penX == kKeep ? keptY : step.penX == kLastRun ? g_lastRun.y : step.penY;
        if (qubState.penX != wantX || qubState.penY != wantY)
            faults.push_back(where + ": pen at " + std::to_string(qubState.penX) + "," +
                             std::to_string(qubState.penY));
    }
    return faults;
}

TEST_F(Drawing, EveryCallMatchesTheEngineOnBothDepths) {
    std::vector<std::string> faults;
    uint32_t got = 0, outside = 1;
    int64_t probed = 0, probedOutside = 0;
    ASSERT_TRUE(OnWorker([&] {
        ASSERT_EQ(QUB_CreateImage(0, "32", -1, -1, kW, kH, 100), 0);
        ASSERT_EQ(QUB_CreateImage8(1, "8", -1, -1, kW, kH, 100), 0);
        FillNoise(0, 7);
        FillNoise(1, 8);
        qubState.drawColour = kInk;
        for (int n : {0, 1}) {
            const std::vector<std::string> f = RunSteps(n);
            faults.insert(faults.end(), f.begin(), f.end());
        }
        QUB_SelectImage(0);
        qubState.imageBits32[0][4 * kW + 3] = 0xFF123456u;  // a top byte the user set
        got = QUB_GetPixel(3, 4);
        probed = QUB_ProbePixel(3, 4);
        outside = QUB_GetPixel(kW, 0);
        probedOutside = QUB_ProbePixel(-1, 0);
    }));
    for (const std::string& f : faults) ADD_FAILURE() << f;
    EXPECT_EQ(got, 0xFF123456u) << "the whole word";
    EXPECT_EQ(probed, 0xFF123456) << "not confused with -1";
    EXPECT_EQ(outside, 0u);
    EXPECT_EQ(probedOutside, -1);
}

TEST_F(Drawing, TextAndClearMatchTheEngine) {
    std::vector<std::string> faults;
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
            const std::string d = std::to_string(copy.depth);
            if (!copy.SameAs(n)) faults.push_back("text pixels on " + d);
            if (qubState.textX != cursor.textX || qubState.textY != cursor.textY)
                faults.push_back("text cursor on " + d);
            if (qubState.penX != pen.x || qubState.penY != pen.y) faults.push_back("pen on " + d);
            if (QUB_ClearImage(n) != 0) faults.push_back("clear refused on " + d);
            const size_t bytes = copy.Bytes();
            for (size_t i = 0; i < bytes; ++i)
                if (qubState.imageBits8[n][i] != 0) {
                    faults.push_back("byte " + std::to_string(i) + " not cleared on " + d);
                    break;
                }
        }
    }));
    for (const std::string& f : faults) ADD_FAILURE() << f;
}

TEST_F(Drawing, DrawFormatFormatsAndCutsAnOverlongText) {
    QUB_TextCursor expected = {0, 14, 0}, cut = {0, 14, 0};
    int results[2] = {-1, -1};
    int textX = 0, textY = 0, formattedX = 0;
    ASSERT_TRUE(OnWorker([&] {
        QUB_CreateImage(0, "text", -1, -1, 64, 40, 100);
        qubState.textX = qubState.textLeft = 0;
        qubState.textY = 14;
        results[0] = QUB_DrawFormat("x=%d;%s", 42, "ok");
        formattedX = qubState.textX;
        // 8 glyphs a row: the cursor position tells how many characters were drawn.
        const std::string longText(10000, 'A');
        qubState.textX = 0;
        qubState.textY = 14;
        results[1] = QUB_DrawFormat("%s%s", longText.c_str(), "tail");
        textX = qubState.textX;
        textY = qubState.textY;
        std::vector<uint32_t> scratch(64 * 40);
        QUB_Pen pen = {0, 0};
        QUB_DrawString32(scratch.data(), 64, 40, &expected, 1, std::string(4095, 'A').c_str(), &pen);
        QUB_DrawString32(scratch.data(), 64, 40, &cut, 1, std::string(4096, 'A').c_str(), &pen);
    }));
    EXPECT_EQ(results[0], 0);
    EXPECT_EQ(formattedX, 8 * 7) << "\"x=42;ok\" is seven characters";
    EXPECT_EQ(results[1], 0);
    EXPECT_EQ(textX, expected.textX);
    EXPECT_EQ(textY, expected.textY) << "4,095 characters drawn";
    EXPECT_NE(cut.textX, expected.textX) << "one more character would show";
}

// A closed current slot: nothing is written anywhere, the pen, the cursor and
// a reader's buffer stay as they were.
TEST_F(Drawing, ClosedCurrentSlotIsRefused) {
    std::vector<int> results;
    int penX = 0, penY = 0, textX = 0;
    uint32_t got = 1;
    int64_t probed = 0;
    uint32_t row[4] = {7, 7, 7, 7};
    ASSERT_TRUE(OnWorker([&] {
        QUB_CreateImage(0, "gone", -1, -1, 20, 20, 100);
        QUB_DestroyImage(0);  // still the current slot
        qubState.penX = 11;
        qubState.penY = 12;
        qubState.textX = 13;
        results = {QUB_SetPixel(1, 1, 5),   QUB_SetPixelKeepPen(1, 1, 5), QUB_XorPixel(1, 1),
                   QUB_XorPixelKeepPen(1, 1), QUB_DrawLine(5, 0, 0, 5, 5), QUB_XorLine(0, 0, 5, 5),
                   QUB_DrawBox(0, 0, 5, 5),  QUB_FillBox(0, 0, 5, 5),    QUB_XorBox(0, 0, 5, 5),
                   QUB_XorFillBox(0, 0, 5, 5), QUB_DrawCircle(5, 5, 1, 3), QUB_FillCircle(3, 5, 5),
                   QUB_XorCircle(5, 5, 3),   QUB_XorFillCircle(3, 5, 5), QUB_Paint(1, 1),
                   QUB_DrawChar('A'),        QUB_DrawString("AB"),       QUB_DrawFormat("%d", 1),
                   QUB_ClearImage(0),        QUB_ClearImage(256),        QUB_ClearImage(-1),
                   QUB_TestPatternRgb(),     QUB_TestPatternHsv(),       QUB_TestPatternYCrCb(),
                   QUB_TestPatternYuv(),     QUB_TestPatternYiq(),       QUB_TestPatternGrey(),
                   QUB_InvertImage(0),       QUB_FlipHorizontal(0),      QUB_FlipVertical(0),
                   QUB_RotateRight(0),       QUB_RotateLeft(0),          QUB_ScaleImage(0, 500),
                   QUB_ReadRow(row, 0, 4),   QUB_PlotChannel(row, 0, 4, 0x81, 5),
                   QUB_PlotCrCbLine(row, 4), QUB_PlotCrCbArea(1, row, 4)};
        got = QUB_GetPixel(1, 1);
        probed = QUB_ProbePixel(1, 1);
        penX = qubState.penX;
        penY = qubState.penY;
        textX = qubState.textX;
        qubState.currentImage = 300;  // out of range as well as closed
        results.push_back(QUB_SetPixel(0, 0, 1));
        results.push_back(QUB_TestPatternRgb());
        qubState.currentImage = 0;
    }));
    for (size_t i = 0; i < results.size(); ++i) EXPECT_EQ(results[i], 1) << "call " << i;
    EXPECT_EQ(got, 0u);
    EXPECT_EQ(probed, -1);
    EXPECT_EQ(penX, 11);
    EXPECT_EQ(penY, 12);
    EXPECT_EQ(textX, 13);
    EXPECT_EQ(row[0], 7u) << "the reader's buffer is untouched";
}

}  // namespace

int main(int argc, char** argv) { return RunWinTests(argc, argv); }
