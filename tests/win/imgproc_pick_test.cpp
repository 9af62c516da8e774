// Pick tools on a real image window fed by posted mouse messages: each tool's outputs,
// prompts and band as exact pixels; picture, pen, status and drops kept after it ends.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/library_state.h"
#include "image/image_window.h"
#include "imgproc/pick_tools.h"
#include "tests/win/image_test_support.h"
#include "tests/win/win_test_support.h"

namespace {

constexpr int kSlot = 3, kW = 37, kH = 29;

enum class Act {
    kMove,     // the band follows; waits until the tool has taken the move
    kFirst,    // first click of a two-point tool; waits for the second prompt
    kRestart,  // right press after the first point; waits for the first prompt again
    kLast,     // the click that ends the tool
    kCancel,
    kMiddleCancel,  // a middle press cancels as a right press does
    kStop,          // as the main window's Stop does
};

struct Step {
    Act act;
    int x, y;
};

enum class Band { kNone, kRow, kColumn, kLine, kRect, kCircle, kBox };  // as the tool shows

struct Case {
    const char* name;
    std::function<int(int*)> tool;  // runs the tool on kSlot, outputs into [4]
    std::vector<Step> steps;
    int result;
    std::vector<int> outputs;
    Band band = Band::kNone;
    int boxW = 0, boxH = 0;
};

bool AcceptsDrops() {
    return (GetWindowLongPtrW(qubState.mainWindow, GWL_EXSTYLE) & WS_EX_ACCEPTFILES) != 0;
}

using Mask = std::vector<bool>;  // pixels inverted against the picture before the tool
size_t At(int x, int y) { return static_cast<size_t>(y) * kW + static_cast<size_t>(x); }
void Toggle(Mask& m, int x, int y) {
    if (x >= 0 && y >= 0 && x < kW && y < kH) m[At(x, y)] = !m[At(x, y)];
}
// The outline of a box, each pixel once.
void Outline(Mask& m, int x0, int y0, int x1, int y1) {
    for (int y = std::min(y0, y1); y <= std::max(y0, y1); ++y)
        for (int x = std::min(x0, x1); x <= std::max(x0, x1); ++x)
            if (x == x0 || x == x1 || y == y0 || y == y1) Toggle(m, x, y);
}

// What the routine saw; shared, so that a routine left running never writes into a gone frame.
struct Outcome {
    Copy before;  // the picture before the tool
    std::atomic<int> finished{0};
    int result = -1;
    int outputs[4] = {-1, -1, -1, -1};
    std::vector<bool> kept;  // picture, pen, drops accepted, pick off, slot current
};

class Picking : public ImageTest {
protected:
    void SetUp() override {
        // The real pointer away from every window, whose moves would be recorded.
        SetCursorPos(GetSystemMetrics(SM_CXSCREEN) - 1, GetSystemMetrics(SM_CYSCREEN) - 1);
        ImageTest::SetUp();
        ASSERT_TRUE(OnWorker([] {
            ASSERT_EQ(QUB_CreateImage(kSlot, "pick", -1, -1, kW, kH, 100), 0);
            FillNoise(kSlot, 5);
        }));
    }

    void Sync() const {  // returns once the worker has dispatched everything posted before
        SendMessageW(qubState.images[kSlot].window, WM_NULL, 0, 0);
    }

    // The band shown with the mouse at (x, y) against the one the tool's shape gives: the
    // pixels inverted, not only "something changed".
    void ExpectBand(int x, int y) const {
        Mask got(kW * kH), want(kW * kH);
        int count = 0;
        for (int v = 0; v < kH; ++v)
            for (int u = 0; u < kW; ++u)
                count += got[At(u, v)] = PixelAt(kSlot, u, v) != outcome_->before.At(u, v);
        const int fx = first_.x, fy = first_.y;
        switch (case_->band) {
            case Band::kNone: break;
            case Band::kRow: for (int u = 0; u < kW; ++u) Toggle(want, u, y); break;
            case Band::kColumn: for (int v = 0; v < kH; ++v) Toggle(want, x, v); break;
            case Band::kRect: Outline(want, fx, fy, x, y); break;
            case Band::kBox: {
                const int left = x - case_->boxW / 2, top = y - case_->boxH / 2;
                const int right = left + case_->boxW - 1, bottom = top + case_->boxH - 1;
                Outline(want, left, top, right, bottom);
                if (case_->boxW >= 9 && case_->boxH >= 9)  // square here: two exact diagonals
                    for (int i = 0; i <= right - left - 2; ++i) {
                        Toggle(want, left + 1 + i, top + 1 + i);
                        Toggle(want, right - 1 - i, top + 1 + i);
                    }
                break;
            }
            case Band::kLine:  // both ends, and one pixel per step of the longer side
                EXPECT_TRUE(got[At(fx, fy)] && got[At(x, y)]);
                EXPECT_EQ(count, std::max(std::abs(x - fx), std::abs(y - fy)) + 1);
                return;
            case Band::kCircle: {  // around the first point, through the mouse's distance
                const int r = static_cast<int>(std::hypot(x - fx, y - fy) + 0.5);
                EXPECT_TRUE(fx + r >= kW || got[At(fx + r, fy)]) << "radius " << r;
                EXPECT_TRUE(fx - r < 0 || got[At(fx - r, fy)]) << "radius " << r;
                for (int v = 0; v < kH; ++v)
                    for (int u = 0; u < kW; ++u)
                        EXPECT_TRUE(!got[At(u, v)] ||
                                    std::abs(std::hypot(u - fx, v - fy) - r) <= 1.0);
                return;
            }
        }
        EXPECT_EQ(got, want) << "band with the mouse at " << x << ", " << y;
    }

    // Plays one step; false when the tool did not take it in time.
    bool Play(const Step& step) {
        LibraryState& s = qubState;
        switch (step.act) {
            case Act::kMove:
                PostAtPixel(kSlot, WM_MOUSEMOVE, 0, step.x, step.y);
                if (!PumpUntil([&] { return s.pickMoveX == step.x && s.pickMoveY == step.y; }))
                    return false;
                Sync();
                if (!PumpUntil([&] { return s.pickMoved == 0; })) return false;
                Sync();
                ExpectBand(step.x, step.y);
                return true;
            case Act::kFirst:
                first_ = {step.x, step.y};
                PostAtPixel(kSlot, WM_LBUTTONDOWN, MK_LBUTTON, step.x, step.y);
                return PumpUntil([] { return StatusText() == L"Click the second point"; });
            case Act::kRestart:
                PostAtPixel(kSlot, WM_RBUTTONDOWN, MK_RBUTTON, 0, 0);
                return PumpUntil([] { return StatusText() == L"Click the first point"; });
            case Act::kLast: PostAtPixel(kSlot, WM_LBUTTONDOWN, MK_LBUTTON, step.x, step.y); break;
            case Act::kCancel: PostAtPixel(kSlot, WM_RBUTTONDOWN, MK_RBUTTON, 0, 0); break;
            case Act::kMiddleCancel: PostAtPixel(kSlot, WM_MBUTTONDOWN, MK_MBUTTON, 0, 0); break;
            case Act::kStop: s.stopRequested.store(1); break;
        }
        return true;
    }

    // Runs the tool as the user routine and plays the steps from this thread.
    void Run(const Case& c) {
        SCOPED_TRACE(c.name);
        outcome_ = std::make_shared<Outcome>();
        case_ = &c;
        qubState.pickMoveX = qubState.pickMoveY = -1;  // not an earlier case's moves
        g_testRoutine = [o = outcome_, tool = c.tool] {
            o->before = Copy::Of(kSlot);
            qubState.penX = 11;
            qubState.penY = -7;
            o->result = tool(o->outputs);
            // The routine still runs: only the tool gave the drops back.
            o->kept = {o->before.SameAs(kSlot), qubState.penX == 11 && qubState.penY == -7,
                       AcceptsDrops(),
                       qubState.pickActive.load() == 0 && qubState.pickImage == -1,
                       qubState.currentImage == kSlot};
            o->finished.store(1);
        };
        ASSERT_TRUE(StartRoutine());
        const bool two = c.band == Band::kLine || c.band == Band::kRect || c.band == Band::kCircle;
        const std::wstring prompt = two ? L"Click the first point" : L"Click a point";
        bool played = PumpUntil([&] {
            return qubState.pickActive.load() == 1 && qubState.pickImage == kSlot &&
                   StatusText() == prompt;
        });
        EXPECT_TRUE(played) << "status: " << Narrow(StatusText());
        EXPECT_FALSE(AcceptsDrops());
        for (const Step& step : c.steps) played = played && Play(step);
        EXPECT_TRUE(played);
        if (!played) qubState.stopRequested.store(1);
        const Outcome& o = *outcome_;
        ASSERT_TRUE(PumpUntil(
            [&] { return o.finished.load() == 1 && qubState.routineRunning.load() == 0; }));
        g_testRoutine = nullptr;
        EXPECT_EQ(o.result, c.result);
        EXPECT_EQ(std::vector<int>(o.outputs, o.outputs + c.outputs.size()), c.outputs);
        EXPECT_EQ(o.kept, std::vector<bool>(5, true));
        EXPECT_EQ(StatusText(), std::to_wstring(qubState.colourDepth) + L"-bit color");
    }

    std::shared_ptr<Outcome> outcome_;
    const Case* case_ = nullptr;
    POINT first_ = {0, 0};
};

int Point(int* o) { return QUB_PickPoint(kSlot, &o[0], &o[1]); }
int Row(int* o) { return QUB_PickRow(kSlot, &o[0], &o[1]); }
int Column(int* o) { return QUB_PickColumn(kSlot, &o[0], &o[1]); }
int Line(int* o) { return QUB_PickLine(kSlot, &o[0], &o[1], &o[2], &o[3]); }
int Rect(int* o) { return QUB_PickRect(kSlot, &o[0], &o[1], &o[2], &o[3]); }
int Circle(int* o) { return QUB_PickCircle(kSlot, &o[0], &o[1], &o[2]); }
int Box9(int* o) { return QUB_PickBoxPosition(kSlot, 9, 9, &o[0], &o[1]); }
int Box8x20(int* o) { return QUB_PickBoxPosition(kSlot, 8, 20, &o[0], &o[1]); }

TEST_F(Picking, EveryToolReturnsItsClicksAndLeavesThePictureAsItWas) {
    const Case cases[] = {
        {"point", Point, {{Act::kMove, 4, 5}, {Act::kLast, 7, 9}}, 0, {7, 9}},
        {"row", Row, {{Act::kMove, 3, 10}, {Act::kMove, 30, 2}, {Act::kLast, 6, 12}}, 0, {6, 12},
         Band::kRow},
        {"column", Column, {{Act::kMove, 8, 2}, {Act::kLast, 11, 13}}, 0, {11, 13}, Band::kColumn},
        {"line", Line, {{Act::kFirst, 2, 3}, {Act::kMove, 20, 15}, {Act::kLast, 30, 4}}, 0,
         {2, 3, 30, 4}, Band::kLine},
        {"rect", Rect, {{Act::kFirst, 30, 20}, {Act::kMove, 10, 10}, {Act::kLast, 5, 8}}, 0,
         {5, 8, 30, 20}, Band::kRect},
        {"circle started over", Circle,
         {{Act::kFirst, 15, 14}, {Act::kMove, 25, 20}, {Act::kRestart, 0, 0},
          {Act::kFirst, 10, 10}, {Act::kMove, 12, 12}, {Act::kLast, 13, 14}},
         0, {10, 10, 5}, Band::kCircle},
        {"box 9x9", Box9, {{Act::kMove, 18, 14}, {Act::kMove, 2, 27}, {Act::kLast, 20, 15}}, 0,
         {20, 15}, Band::kBox, 9, 9},
        {"box 8x20", Box8x20, {{Act::kMove, 30, 3}, {Act::kMove, 15, 14}, {Act::kLast, 1, 28}}, 0,
         {1, 28}, Band::kBox, 8, 20},
        {"rect cancelled first", Rect, {{Act::kCancel, 0, 0}}, 1, {0, 0, 0, 0}, Band::kRect},
        {"row cancelled", Row, {{Act::kMove, 5, 6}, {Act::kMiddleCancel, 0, 0}}, 1, {0, 0},
         Band::kRow},
        {"line stopped with its band shown", Line,
         {{Act::kFirst, 4, 5}, {Act::kMove, 20, 20}, {Act::kStop, 0, 0}}, 3, {0, 0, 0, 0},
         Band::kLine},
    };
    for (const Case& c : cases) Run(c);
}

}  // namespace

int main(int argc, char** argv) { return RunWinTests(argc, argv); }
