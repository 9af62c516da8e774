// The toolbox's picture, colour and "Information..." commands on real image
// windows, with their picks fed by posted mouse messages while the command
// waits on the worker: what each leaves in the pixels, the window's size and
// title, the current slot, the colours, and the text it prints.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "core/library_state.h"
#include "image/image_window.h"
#include "imgproc/colour_space.h"
#include "imgproc/image_commands.h"
#include "imgproc/image_transforms.h"
#include "imgproc/image_drawing.h"
#include "imgproc/plot_values.h"
#include "imgproc/test_patterns.h"
#include "text/text_window.h"
#include "tests/win/image_test_support.h"
#include "tests/win/imgproc_test_support.h"
#include "tests/win/text_test_support.h"
#include "tests/win/win_test_support.h"

namespace {

constexpr int kSlot = 3, kW = 37, kH = 29;

class Commands : public testing::TestWithParam<int> {
protected:
    void SetUp() override {
        SetCursorPos(GetSystemMetrics(SM_CXSCREEN) - 1, GetSystemMetrics(SM_CYSCREEN) - 1);
        CloseAllImages();
        ASSERT_TRUE(OnWorker([] {
            ASSERT_EQ(QUB_CreateImageDepth(kSlot, "cmd", -1, -1, kW, kH, 100, GetParam()), 0);
            FillNoise(kSlot, 11);
        }));
    }
    void TearDown() override { CloseAllImages(); }

    // Runs `command` on the worker and answers its pick: one click per
    // point, or a right press for none.
    int Picked(const std::function<int()>& command, const std::vector<POINT>& clicks) {
        std::atomic<int> result{-1};
        EXPECT_TRUE(StartOnWorker([&] { result = command(); }));
        for (size_t i = 0; i < clicks.size() || i == 0; ++i) {
            EXPECT_TRUE(PumpUntil([&] {
                return qubState.pickActive.load() && (i == 0 || StatusText() == L"Click the second point");
            }));
            const HWND w = qubState.images[kSlot].window;
            const int zoom = qubState.images[kSlot].zoom;
            if (clicks.empty()) {
                PostMessageW(w, WM_RBUTTONDOWN, MK_RBUTTON, 0);
                break;
            }
            const POINT p = clicks[i];
            PostMessageW(w, WM_LBUTTONDOWN, MK_LBUTTON,
                         MAKELPARAM((p.x * zoom + zoom / 2) / 100, (p.y * zoom + zoom / 2) / 100));
        }
        EXPECT_TRUE(WaitRoutineEnd());
        return result.load();
    }
    bool Is32() const { return GetParam() == 32; }
};

TEST_P(Commands, PixelPrintoutGoesToTheTextWindow) {
    ASSERT_TRUE(OnWorker([] {
        QUB_OpenTextWindow(0, -1, -1, 400, 300);
        QUB_StartLog(0);
    }));
    const uint32_t pixel = PixelAt(kSlot, 5, 7);
    EXPECT_EQ(Picked([] { return QUB_PixelInfoCommand(kSlot); }, {{5, 7}}), 0);
    OnWorker([] { QUB_CloseTextWindow(0); });
    std::string log = ReadFileBytes(LogFileName(0));
    log.erase(std::remove(log.begin(), log.end(), '\r'), log.end());
    const std::string expected = QUB_PixelReport(5, 7, pixel, GetParam());
    EXPECT_NE(log.find(expected.substr(0, expected.size() - 2)), std::string::npos) << log;
    EXPECT_EQ(log.find(Is32() ? "(Luminance)" : "(R,G,B)"), std::string::npos);
    EXPECT_EQ(Picked([] { return QUB_PixelInfoCommand(kSlot); }, {}), kCommandCancelled);
}

// A row graph lands in slot 0, the first free one: its title, size, the
// last curve's first point and the first label's colour.
TEST_P(Commands, RowGraphsPlotThePickedRow) {
    struct Graph {
        RowGraph kind;
        const char* title;
        int width;
        int lastFlags;
        uint32_t lastColour, labelColour;
    };
    const std::vector<Graph> graphs =
        Is32() ? std::vector<Graph>{{RowGraph::kRgb, "RGB(Y=28)", kW + 12, kPlotBlue, 0x0000FF, 0xFF0000},
                                    {RowGraph::kHsv, "HSV(Y=28)", kW + 12, kPlotValue, 0x00FFFF, 0xFFFF00},
                                    {RowGraph::kYCrCb, "YCrCb(Y=28)", kW + 20, kPlotCb, 0x8888FF, 0xFFFFFF}}
               : std::vector<Graph>{{RowGraph::kLumi, "Luminance(Y=28)", kW + 12, kPlotByte, 0xFFFFFF, 0xFFFFFF}};
    for (const Graph& g : graphs) {
        // The picked row as the graph reads it: words, or bytes in 8 bits.
        std::vector<uint32_t> words(kW);
        std::vector<uint8_t> bytes(kW);
        for (int x = 0; x < kW; ++x) {
            words[x] = PixelAt(kSlot, x, kH - 1);
            bytes[x] = static_cast<uint8_t>(words[x]);
        }
        const void* row = Is32() ? static_cast<const void*>(words.data()) : bytes.data();
        EXPECT_EQ(Picked([&] { return QUB_RowGraphCommand(kSlot, g.kind); }, {{4, kH - 1}}), 0) << g.title;
        const ImageWindowRecord& r = qubState.images[0];
        ASSERT_TRUE(r.inUse) << g.title;
        EXPECT_STREQ(r.title, g.title);
        EXPECT_EQ(r.depth, 32);
        EXPECT_EQ(r.width, g.width);
        EXPECT_EQ(r.height, 128);
        EXPECT_EQ(qubState.currentImage, 0);
        PlotSample first;
        QUB_PlotSampleAt(row, 0, g.lastFlags, &first);
        const int xOffset = g.width - kW;
        EXPECT_EQ(PixelAt(0, xOffset, QUB_PlotRow(first)), g.lastColour) << g.title;
        EXPECT_EQ(qubState.qub_tc, g.lastColour) << "the last label's colour stays";
        bool label = false;  // some pixel of the first label's cell
        for (int y = 40 - 14; y < 40; ++y)
            for (int x = 0; x < xOffset; ++x) label = label || PixelAt(0, x, y) == g.labelColour;
        EXPECT_TRUE(label) << g.title;
        ASSERT_TRUE(OnWorker([] { QUB_DestroyImage(0); }));
    }
    EXPECT_EQ(Picked([] { return QUB_RowGraphCommand(kSlot, RowGraph::kRgb); }, {}), kCommandCancelled);
    EXPECT_FALSE(qubState.images[0].inUse);
}

TEST_P(Commands, CrCbGraphsScatterTheRowAndTheArea) {
    if (!Is32()) GTEST_SKIP() << "offered for 32-bit windows only";
    const uint32_t corner = PixelAt(kSlot, kW - 1, kH - 1);
    EXPECT_EQ(Picked([] { return QUB_CrCbLineCommand(kSlot); }, {{0, kH - 1}}), 0);
    ASSERT_TRUE(qubState.images[0].inUse);
    EXPECT_STREQ(qubState.images[0].title, "CrCb(Y=28)");
    EXPECT_EQ(qubState.images[0].width, 256);
    EXPECT_EQ(PixelAt(0, 128, 250), 0x808080u) << "vertical axis";
    EXPECT_EQ(PixelAt(0, 250, 128), 0x808080u) << "horizontal axis";
    const PlotPoint last = QUB_CrCbPoint(corner);
    const uint32_t lastColour = PixelAt(0, last.x, last.y);
    EXPECT_TRUE(lastColour == 0xFFFFFFu || lastColour == 0xFF00FFu) << std::hex << lastColour;
    ASSERT_TRUE(OnWorker([] { QUB_DestroyImage(0); }));

    // An area reaching the picture's far corner: each of its rows joined in
    // white, the rows apart.
    ASSERT_TRUE(OnWorker([] {
        for (int y = 0; y < kH; ++y)
            for (int x = 0; x < kW; ++x)
                qubState.imageBits32[kSlot][y * kW + x] = x < 30 ? 0x808080u : (y == 20 ? 0xFF0000u : 0x00FF00u);
    }));
    EXPECT_EQ(Picked([] { return QUB_CrCbAreaCommand(kSlot); }, {{kW - 1, kH - 1}, {30, 20}}), 0);
    ASSERT_TRUE(qubState.images[0].inUse);
    EXPECT_STREQ(qubState.images[0].title, "CrCb(30,20)-(36,28)");
    const PlotPoint red = QUB_CrCbPoint(0xFF0000u), green = QUB_CrCbPoint(0x00FF00u);
    EXPECT_EQ(PixelAt(0, red.x, red.y), 0xFFFFFFu);
    EXPECT_EQ(PixelAt(0, green.x, green.y), 0xFFFFFFu);
    EXPECT_EQ(PixelAt(0, (red.x + green.x) / 2, (red.y + green.y) / 2), 0u) << "rows are not joined";
}

TEST_P(Commands, ProcessAndPatternCommands) {
    ASSERT_TRUE(OnWorker([this] {
        Copy before = Copy::Of(kSlot);
        QUB_CreateImage(1, "other", -1, -1, 20, 20, 100);  // current from here on
        EXPECT_EQ(QUB_InvertCommand(kSlot), 0);
        EXPECT_EQ(QUB_FlipCommand(kSlot, true), 0);
        EXPECT_EQ(qubState.currentImage, 1) << "invert and flips leave the current window";
        const uint32_t inverted = Is32() ? (~before.P32()[kW - 1] & 0xFFFFFFu) : (255u - before.bytes[kW - 1]);
        EXPECT_EQ(PixelAt(kSlot, 0, 0), inverted);
        EXPECT_EQ(QUB_FlipCommand(kSlot, true), 0);
        EXPECT_EQ(QUB_InvertCommand(kSlot), 0);
        EXPECT_TRUE(before.SameAs(kSlot));

        EXPECT_EQ(QUB_RotateCommand(kSlot, true), 0);
        EXPECT_EQ(qubState.currentImage, kSlot) << "a rotation makes its window current";
        EXPECT_EQ(qubState.images[kSlot].width, kH);
        EXPECT_STREQ(qubState.images[kSlot].title, "cmd");
        EXPECT_EQ(QUB_RotateCommand(kSlot, false), 0);
        EXPECT_TRUE(before.SameAs(kSlot));
        QUB_SelectImage(1);
        EXPECT_EQ(QUB_SizeStepCommand(kSlot, 1414), 0);
        EXPECT_EQ(qubState.currentImage, kSlot);
        EXPECT_EQ(qubState.images[kSlot].width, 52);
        EXPECT_EQ(qubState.images[kSlot].height, 41);
        EXPECT_EQ(qubState.images[kSlot].depth, GetParam());

        QUB_SelectImage(1);
        EXPECT_EQ(QUB_TestPatternCommand(kSlot, TestPattern::kYiq), 0);
        EXPECT_EQ(qubState.currentImage, kSlot);
        Copy want = Copy::Of(kSlot);
        if (Is32())
            QUB_TestPatternYiq32(want.P32(), want.width, want.height);
        else
            QUB_TestPatternYiq8(want.P8(), want.width, want.height, want.stride);
        EXPECT_TRUE(want.SameAs(kSlot));
        EXPECT_EQ(QUB_TestPatternCommand(kSlot, TestPattern::kGrey), 0);
        EXPECT_EQ(PixelAt(kSlot, 51, 0), 250u * (Is32() ? 0x010101u : 1u));
        EXPECT_EQ(QUB_RotateCommand(200, true), 1);
    }));
}

// The colour dialog answered with `button`; its result.
int ColourDialog(int button) {
    std::atomic<int> result{-1};
    EXPECT_TRUE(StartOnWorker([&] { result = QUB_ColourChangeCommand(kSlot); }));
    const HWND owner = qubState.images[kSlot].window;
    HWND dialog = nullptr;
    const bool shown = PumpUntil([&] { return (dialog = FindOwnedDialog(owner)) != nullptr; });
    if (shown) PostMessageW(dialog, WM_COMMAND, button, 0);
    EXPECT_TRUE(WaitRoutineEnd());
    EXPECT_TRUE(shown) << "no colour dialog owned by the image window";
    return result.load();
}

TEST_P(Commands, ColourChangeAndPick) {
    LibraryState& s = qubState;
    s.drawColour = 0x123456;
    s.qub_tc = 0x111111;
    s.qub_tttc = 0x222222;
    EXPECT_EQ(ColourDialog(IDCANCEL), kCommandCancelled);
    EXPECT_EQ(s.drawColour, 0x123456u);
    EXPECT_EQ(s.qub_tc, 0x111111u) << "a cancel changes no colour";
    EXPECT_EQ(s.qub_tttc, 0x222222u);
    EXPECT_EQ(ColourDialog(IDOK), 0);
    EXPECT_EQ(s.qub_tc, 0x123456u);
    EXPECT_EQ(s.qub_tttc, 0x123456u);

    const uint32_t pixel = PixelAt(kSlot, 9, 2);
    uint32_t palette[256] = {};
    ASSERT_TRUE(OnWorker([&] {
        QUB_CreateImage(1, "other", -1, -1, 20, 20, 100);
        QUB_SelectImage(kSlot);
        QUB_GetPalette(palette);
        QUB_SelectImage(1);
    }));
    EXPECT_EQ(Picked([] { return QUB_ColourPickCommand(kSlot); }, {{9, 2}}), 0);
    EXPECT_EQ(s.drawColour, pixel);
    EXPECT_EQ(s.qub_tttc, Is32() ? pixel : palette[pixel] & 0xFFFFFFu);
    EXPECT_EQ(s.qub_tc, 0x123456u) << "Pick leaves the bitmap-font colour";
    EXPECT_EQ(s.currentImage, kSlot) << "the picked window stays current";
    s.drawColour = 7;
    EXPECT_EQ(Picked([] { return QUB_ColourPickCommand(kSlot); }, {}), kCommandCancelled);
    EXPECT_EQ(s.drawColour, 7u);
}

// Not run by default: a row graph, a CrCb scatter and the six test patterns
// held on screen for a screenshot.
//   imgproc_command_tests --gtest_also_run_disabled_tests --gtest_filter=*Showcase*/Bits32
TEST_P(Commands, DISABLED_Showcase) {
    ASSERT_TRUE(OnWorker([] {
        QUB_ResizeImage(kSlot, 180, 120);
        QUB_SelectImage(kSlot);
        QUB_TestPatternHsv();
        QUB_DisplayImage(kSlot);
    }));
    Picked([] { return QUB_RowGraphCommand(kSlot, RowGraph::kRgb); }, {{0, 30}});
    Picked([] { return QUB_CrCbAreaCommand(kSlot); }, {{0, 0}, {179, 119}});
    SetWindowPos(qubState.images[1].window, nullptr, 700, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    SetWindowPos(qubState.images[kSlot].window, nullptr, 700, 420, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    ASSERT_TRUE(OnWorker([] {
        const TestPattern patterns[] = {TestPattern::kRgb, TestPattern::kHsv, TestPattern::kYCrCb,
                                        TestPattern::kYuv, TestPattern::kYiq, TestPattern::kGrey};
        for (int i = 0; i < 6; ++i) {
            QUB_CreateImage(4 + i, "pattern", 300 + (i % 3) * 170, 420 + (i / 3) * 170, 128, 128, 100);
            QUB_TestPatternCommand(4 + i, patterns[i]);
        }
    }));
    const char* hold = getenv("QUB_SHOWCASE_MS");
    PumpFor(hold ? static_cast<uint32_t>(atoi(hold)) : 3000u);
}

INSTANTIATE_TEST_SUITE_P(Depths, Commands, testing::Values(32, 8),
                         [](const testing::TestParamInfo<int>& depth) { return "Bits" + std::to_string(depth.param); });

}  // namespace

int main(int argc, char** argv) { return RunWinTests(argc, argv); }
