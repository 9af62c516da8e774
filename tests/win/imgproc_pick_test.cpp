// Pick tools on a real image window, fed by posted mouse messages while the
// tool waits on the worker: the outputs of every tool, the picture, pen,
// status line and drops as they were after a click, a cancel or a stop, and
// the refusal of a bad slot.
#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/library_state.h"
#include "image/image_clipboard.h"
#include "image/image_window.h"
#include "imgproc/pick_tools.h"
#include "tests/host/formats_builders.h"
#include "tests/win/image_test_support.h"
#include "tests/win/imgproc_test_support.h"
#include "tests/win/win_test_support.h"

namespace {

constexpr int kSlot = 3, kW = 37, kH = 29;

enum class Act {
    kMove,     // the band follows; waits until the tool has taken the move
    kFirst,    // first click of a two-point tool; waits for the second prompt
    kRestart,  // right press after the first point; waits for the first prompt again
    kLast,     // the click (or right press, or stop) that ends the tool
    kCancel,
    kMiddleCancel,  // a middle press cancels as a right press does
    kStop,
    kDrop,  // a picture file dropped on the window while the tool waits
};

struct Step {
    Act act;
    int x, y;
};

struct Case {
    const char* name;
    std::function<int(int*)> tool;  // runs the tool on kSlot, outputs into [4]
    std::vector<Step> steps;
    int result;
    std::vector<int> outputs;
    bool band = true;  // a move shows a rubber band
};

bool AcceptsDrops() {
    return (GetWindowLongPtrW(qubState.mainWindow, GWL_EXSTYLE) & WS_EX_ACCEPTFILES) != 0;
}

class Picking : public testing::Test {
protected:
    void SetUp() override {
        // The real pointer away from every window: its moves would be
        // recorded over the ones this test posts.
        SetCursorPos(GetSystemMetrics(SM_CXSCREEN) - 1, GetSystemMetrics(SM_CYSCREEN) - 1);
        ASSERT_TRUE(WriteBytes(dropped_, MakeBmp(kW, kH, 24)));
        CloseAllImages();
        ASSERT_TRUE(OnWorker([] {
            ASSERT_EQ(QUB_CreateImage(kSlot, "pick", -1, -1, kW, kH, 100), 0);
            FillNoise(kSlot, 5);
        }));
    }
    void TearDown() override { CloseAllImages(); }

    HWND Window() const { return qubState.images[kSlot].window; }
    // Returns once the worker has dispatched everything posted before and
    // begun a new pass of its pump.
    void Sync() const { SendMessageW(Window(), WM_NULL, 0, 0); }
    // Posts a mouse message at the middle of image pixel (x, y): so small a
    // picture is shown enlarged.
    void Post(UINT message, WPARAM keys, int x, int y) const {
        const int zoom = qubState.images[kSlot].zoom;
        PostMessageW(Window(), message, keys, MAKELPARAM((x * zoom + zoom / 2) / 100, (y * zoom + zoom / 2) / 100));
    }

    // Plays one step; false when the tool did not take it in time.
    bool Play(const Step& step) {
        LibraryState& s = qubState;
        switch (step.act) {
            case Act::kMove:
                Post(WM_MOUSEMOVE, 0, step.x, step.y);
                if (!PumpUntil([&] { return s.pickMoveX == step.x && s.pickMoveY == step.y; })) return false;
                Sync();
                if (!PumpUntil([&] { return s.pickMoved == 0; })) return false;
                Sync();
                EXPECT_EQ(outcome_->before.SameAs(kSlot), !band_)
                    << "band after a move to " << step.x << ", " << step.y;
                return true;
            case Act::kFirst:
                Post(WM_LBUTTONDOWN, MK_LBUTTON, step.x, step.y);
                return PumpUntil([] { return StatusText() == L"Click the second point"; });
            case Act::kRestart:
                Post(WM_RBUTTONDOWN, MK_RBUTTON, 0, 0);
                return PumpUntil([] { return StatusText() == L"Click the first point"; });
            case Act::kLast: Post(WM_LBUTTONDOWN, MK_LBUTTON, step.x, step.y); return true;
            case Act::kCancel: Post(WM_RBUTTONDOWN, MK_RBUTTON, 0, 0); return true;
            case Act::kMiddleCancel: Post(WM_MBUTTONDOWN, MK_MBUTTON, 0, 0); return true;
            case Act::kStop: s.stopRequested.store(1); return true;  // as the main window's Stop does
            case Act::kDrop:
                PostMessageW(Window(), WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop({dropped_})), 0);
                Sync();
                return true;
        }
        return false;
    }

    // What the routine saw. Shared with it, so that a routine left running
    // by a failed step never writes into a finished test's frame.
    struct Outcome {
        Copy before;  // the picture before the tool
        std::atomic<int> finished{0};
        int result = -1;
        int outputs[4] = {-1, -1, -1, -1};
        bool samePicture = false, samePen = false, dropsAfter = false, pickOff = false, current = false;
    };

    // Runs the tool as the user routine and plays the steps from this thread.
    void Run(const Case& c) {
        SCOPED_TRACE(c.name);
        outcome_ = std::make_shared<Outcome>();
        band_ = c.band;
        // Moves of an earlier case must not look like this case's.
        qubState.pickMoveX = qubState.pickMoveY = -1;
        g_testRoutine = [o = outcome_, tool = c.tool] {
            o->before = Copy::Of(kSlot);
            qubState.penX = 11;
            qubState.penY = -7;
            o->result = tool(o->outputs);
            o->samePicture = o->before.SameAs(kSlot);
            o->samePen = qubState.penX == 11 && qubState.penY == -7;
            o->dropsAfter = AcceptsDrops();  // the routine still runs: only the tool gave them back
            o->pickOff = qubState.pickActive.load() == 0 && qubState.pickImage == -1;
            o->current = qubState.currentImage == kSlot;
            o->finished.store(1);
        };
        ASSERT_TRUE(StartRoutine());
        bool played =
            PumpUntil([] { return qubState.pickActive.load() == 1 && qubState.pickImage == kSlot; });
        EXPECT_FALSE(AcceptsDrops());
        for (const Step& step : c.steps) played = played && Play(step);
        EXPECT_TRUE(played);
        if (!played) qubState.stopRequested.store(1);
        const Outcome& o = *outcome_;
        ASSERT_TRUE(PumpUntil([&] { return o.finished.load() == 1 && qubState.routineRunning.load() == 0; }));
        g_testRoutine = nullptr;

        EXPECT_EQ(o.result, c.result);
        EXPECT_EQ(std::vector<int>(o.outputs, o.outputs + c.outputs.size()), c.outputs);
        EXPECT_TRUE(o.samePicture);
        EXPECT_TRUE(o.samePen);
        EXPECT_TRUE(o.dropsAfter);
        EXPECT_TRUE(o.pickOff);
        EXPECT_TRUE(o.current);
        EXPECT_EQ(StatusText(), std::to_wstring(qubState.colourDepth) + L"-bit color");
    }

    std::shared_ptr<Outcome> outcome_;
    bool band_ = true;
    ScratchFolder folder_;
    const std::wstring dropped_ = folder_.File(L"dropped.bmp");
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
        {"point", Point, {{Act::kMove, 4, 5}, {Act::kLast, 7, 9}}, 0, {7, 9}, false},
        {"row", Row, {{Act::kMove, 3, 10}, {Act::kMove, 30, 2}, {Act::kLast, 6, 12}}, 0, {6, 12}},
        {"column", Column, {{Act::kMove, 8, 2}, {Act::kLast, 11, 13}}, 0, {11, 13}},
        {"line", Line, {{Act::kFirst, 2, 3}, {Act::kMove, 20, 15}, {Act::kLast, 30, 4}}, 0, {2, 3, 30, 4}},
        {"line with a file dropped under its band", Line,
         {{Act::kFirst, 2, 3}, {Act::kMove, 20, 15}, {Act::kDrop, 0, 0}, {Act::kLast, 30, 4}}, 0, {2, 3, 30, 4}},
        {"rect", Rect, {{Act::kFirst, 30, 20}, {Act::kMove, 10, 10}, {Act::kLast, 5, 8}}, 0, {5, 8, 30, 20}},
        {"rect on one pixel", Rect, {{Act::kFirst, 9, 9}, {Act::kLast, 9, 9}}, 0, {9, 9, 9, 9}},
        {"circle started over", Circle,
         {{Act::kFirst, 15, 14}, {Act::kMove, 25, 20}, {Act::kRestart, 0, 0}, {Act::kFirst, 10, 10},
          {Act::kMove, 12, 12}, {Act::kLast, 13, 14}},
         0, {10, 10, 5}},
        {"box 9x9", Box9, {{Act::kMove, 18, 14}, {Act::kMove, 2, 27}, {Act::kLast, 20, 15}}, 0, {20, 15}},
        {"box 8x20", Box8x20, {{Act::kMove, 30, 3}, {Act::kLast, 1, 28}}, 0, {1, 28}},
    };
    for (const Case& c : cases) Run(c);
}

TEST_F(Picking, CancelAndStopEraseTheBandAndGiveNoPoints) {
    const Case cases[] = {
        {"rect cancelled first", Rect, {{Act::kCancel, 0, 0}}, 1, {0, 0, 0, 0}},
        {"row cancelled", Row, {{Act::kMove, 5, 6}, {Act::kMiddleCancel, 0, 0}}, 1, {0, 0}},
        {"circle cancelled after a restart", Circle,
         {{Act::kFirst, 6, 6}, {Act::kMove, 9, 1}, {Act::kRestart, 0, 0}, {Act::kCancel, 0, 0}}, 1, {0, 0, 0}},
        {"line stopped with its band shown", Line, {{Act::kFirst, 4, 5}, {Act::kMove, 20, 20}, {Act::kStop, 0, 0}},
         3, {0, 0, 0, 0}},
        {"column stopped", Column, {{Act::kMove, 12, 3}, {Act::kStop, 0, 0}}, 3, {0, 0}},
        {"box stopped", Box9, {{Act::kMove, 36, 0}, {Act::kStop, 0, 0}}, 3, {0, 0}},
    };
    for (const Case& c : cases) Run(c);
}

// "Paste" without a place: the clipboard's 5 x 3 picture is centred on the
// clicked pixel, its corner at (20 - 5 / 2, 15 - 3 / 2).
TEST_F(Picking, PlacedPasteIsCentredOnTheClick) {
    BITMAPINFOHEADER header = {sizeof header, 5, 3, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
    std::vector<uint8_t> block(sizeof header + 16 * 3, 0);
    std::memcpy(block.data(), &header, sizeof header);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x) std::memcpy(&block[sizeof header + 16 * y + 3 * x], "\x30\x20\x10", 3);
    PutDibOnClipboard(block);

    struct Seen {
        std::vector<uint32_t> before, after;
        std::atomic<int> done{0};
    };
    auto seen = std::make_shared<Seen>();  // outlives a routine left waiting by a failure
    g_testRoutine = [seen] {
        seen->before.assign(qubState.imageBits32[kSlot], qubState.imageBits32[kSlot] + kW * kH);
        QUB_PasteImage(-1, kSlot, -1);
        seen->after.assign(qubState.imageBits32[kSlot], qubState.imageBits32[kSlot] + kW * kH);
        seen->done.store(1);
    };
    ASSERT_TRUE(StartRoutine());
    ASSERT_TRUE(PumpUntil([] { return qubState.pickActive.load() == 1 && qubState.pickImage == kSlot; }));
    Post(WM_LBUTTONDOWN, MK_LBUTTON, 20, 15);
    ASSERT_TRUE(PumpUntil([&] { return seen->done.load() == 1 && qubState.routineRunning.load() == 0; }));
    g_testRoutine = nullptr;
    for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x) {
            const bool inside = x >= 18 && x <= 22 && y >= 14 && y <= 16;
            const size_t i = static_cast<size_t>(y) * kW + x;
            EXPECT_EQ(seen->after[i], inside ? 0x00102030u : seen->before[i]) << x << "," << y;
        }
}

TEST_F(Picking, BadSlotIsRefusedWithoutShowingAnything) {
    int x = 5, y = 6, x2 = 7, y2 = 8;
    int point = -1, line = -1, box = -1;
    const std::wstring status = StatusText();
    ASSERT_TRUE(OnWorker([&] {
        point = QUB_PickPoint(200, &x, &y);
        line = QUB_PickLine(256, &x, &y, &x2, &y2);
        box = QUB_PickBoxPosition(-1, 9, 9, &x, &y);
    }));
    EXPECT_EQ(point, 2);
    EXPECT_EQ(line, 2);
    EXPECT_EQ(box, 2);
    EXPECT_EQ(std::vector<int>({x, y, x2, y2}), std::vector<int>({5, 6, 7, 8}));
    EXPECT_EQ(StatusText(), status);
    EXPECT_EQ(qubState.pickActive.load(), 0);
}

}  // namespace

int main(int argc, char** argv) { return RunWinTests(argc, argv); }
