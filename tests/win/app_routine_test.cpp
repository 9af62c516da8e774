// The stereo routine in-process: what it does with windows that are not its
// own, refusals, a failed save, and a working window closed under it.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <string>
#include <vector>

#include "app/compose.h"
#include "app/stereo_routine_win.h"
#include "app/stereo_run_win.h"
#include "core/library_state.h"
#include "image/toolbox_menu.h"
#include "core/main_menu.h"
#include "core/runtime.h"
#include "image/image_window.h"
#include "image/zoom.h"
#include "tests/win/process_support.h"
#include "tests/win/text_test_support.h"
#include "tests/win/win_test_support.h"

namespace {

constexpr int kPairW = 65, kPairH = 40, kHalf = kPairW / 2;  // odd width: last column dropped

// The pair: the left view's pixels tell their position, the right view is
// the left one shifted, so every composition differs from a plain copy.
uint32_t PairPixel(int x, int y, int half = kHalf) {
    return static_cast<uint32_t>((x * 7 + y * 131) & 0xFFFFFF) ^ (x >= half ? 0x00A050u : 0u);
}

void FillPair(int w = kPairW, int h = kPairH) {
    uint32_t* p = qubState.imageBits32[0];
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) p[y * w + x] = PairPixel(x, y, w / 2);
}

int FindTitled(const char* title) {
    for (int n = 0; n < kImageSlots; ++n)
        if (qubState.images[n].inUse && std::strcmp(qubState.images[n].title, title) == 0) return n;
    return -1;
}

// Runs on the worker: sets the scene up, then runs the routine.
std::function<void()> g_before;
std::atomic<int> g_routineDone{0};

void RunRoutine() {
    g_routineDone = 0;
    if (g_before) g_before();
    StereoRoutine();
    g_routineDone = 1;
}

TEST(StereoRoutine, WorksAroundOtherWindowsAndLeavesThemAlone) {
    // The user's own windows in slots 1 and 3, with content the routine must
    // not touch.
    std::vector<uint32_t> before1, before3;
    g_before = [&] {
        ASSERT_EQ(QUB_CreateImage(1, "mine one", -1, -1, 4, 3, 100), 0);
        ASSERT_EQ(QUB_CreateImage(3, "mine three", -1, -1, 5, 2, 100), 0);
        for (int k = 0; k < 12; ++k)
            qubState.imageBits32[1][k] = 0x111111u * static_cast<uint32_t>(k);
        for (int k = 0; k < 10; ++k)
            qubState.imageBits32[3][k] = 0x0F0F0Fu + static_cast<uint32_t>(k);
        before1.assign(qubState.imageBits32[1], qubState.imageBits32[1] + 12);
        before3.assign(qubState.imageBits32[3], qubState.imageBits32[3] + 10);
        ASSERT_EQ(QUB_CreateImage(0, "pair", -1, -1, kPairW, kPairH, 100), 0);
        FillPair();
    };
    g_testRoutine = RunRoutine;
    ASSERT_TRUE(StartRoutine());
    ASSERT_TRUE(PumpUntil([] { return qubState.buttonBox.window != nullptr; }));
    PumpFor(300);

    // Slot 1 is taken: the next free one above the routine's own.
    const int left = FindTitled("Left side"), preview = FindTitled("Preview");
    EXPECT_EQ((std::vector<int>{left, FindTitled("Right side"), preview, FindTitled("buruburuL")}),
              (std::vector<int>{7, 2, 8, 4}));
    ASSERT_TRUE(left >= 0 && preview >= 0);
    EXPECT_EQ(qubState.images[left].width, kHalf);

    // The split and the first anaglyph, against the pure compositions.
    std::vector<uint32_t> pair(kPairW * kPairH), l(kHalf * kPairH), r(kHalf * kPairH),
        p(kHalf * kPairH);
    for (int y = 0; y < kPairH; ++y)
        for (int x = 0; x < kPairW; ++x) pair[y * kPairW + x] = PairPixel(x, y);
    SplitStereoPair(pair.data(), kPairW, kPairH, l.data(), r.data());
    MakeAnaglyph(kHalf, kPairH, l.data(), r.data(), p.data(), 0, 0);
    EXPECT_TRUE(std::equal(l.begin(), l.end(), qubState.imageBits32[left]));
    EXPECT_TRUE(std::equal(p.begin(), p.end(), qubState.imageBits32[preview]));

    EXPECT_TRUE(std::equal(before1.begin(), before1.end(), qubState.imageBits32[1]));
    EXPECT_TRUE(std::equal(before3.begin(), before3.end(), qubState.imageBits32[3]));

    ASSERT_TRUE(StopRoutine());
    EXPECT_EQ(g_routineDone.load(), 1);
    // A finished run closes the pair and its windows; the user's windows stay.
    EXPECT_EQ((std::vector<int>{qubState.images[0].inUse, qubState.images[left].inUse,
                                qubState.images[preview].inUse, qubState.images[1].inUse,
                                qubState.images[3].inUse}),
              (std::vector<int>{0, 0, 0, 1, 1}));
    EXPECT_EQ(qubState.buttonBox.window, nullptr);
    EXPECT_TRUE(std::equal(before1.begin(), before1.end(), qubState.imageBits32[1]));

    g_before = [] {
        QUB_DestroyImage(1);
        QUB_DestroyImage(3);
    };
    g_testRoutine = [] { g_before(); };
    ASSERT_TRUE(StartRoutine());
    ASSERT_TRUE(PumpUntil([] { return qubState.routineRunning.load() == 0; }));
}

// Without a pair the routine asks for one (Japanese: drag a stereo pair here);
// an 8-bit pair is refused with a message and left open.
TEST(StereoRoutine, RefusesWithoutAUsablePair) {
    const std::wstring dragRequest = L"\x30B9\x30C6\x30EC\x30AA\x30DA\x30A2\x753B\x50CF\x3092"
                                     L"\x30C9\x30E9\x30C3\x30B0\x3057\x3066\x4E0B\x3055\x3044";
    for (const bool eightBit : {false, true}) {
        g_before = [eightBit] {
            if (eightBit) QUB_CreateImage8(0, "grey", -1, -1, 40, 20, 100);
        };
        g_testRoutine = RunRoutine;
        ASSERT_TRUE(StartRoutine());
        std::wstring text;
        DismissMessageBox(L"Pause", &text);
        EXPECT_TRUE(eightBit ? text.find(L"8-bit") != std::wstring::npos : text == dragRequest)
            << "a clear message";
        ASSERT_TRUE(PumpUntil([] { return qubState.routineRunning.load() == 0; }));
        EXPECT_EQ(qubState.images[0].inUse != 0, eightBit) << "the user's window is not closed";
        EXPECT_EQ(FindTitled("Left side"), -1);
    }
    g_testRoutine = [] { QUB_DestroyImage(0); };
    ASSERT_TRUE(StartRoutine());
    ASSERT_TRUE(PumpUntil([] { return qubState.routineRunning.load() == 0; }));
}

// The user changes a working window under the running routine: closes
// "Right side" with its close box, halves "Preview" or turns "buruburuL" from
// its toolbox. The routine must not compose into a released or smaller
// buffer again: it ends, and takes its windows with it.
TEST(StereoRoutine, AWorkingWindowClosedOrChangedEndsTheRunSafely) {
    struct Change {
        const char* title;
        UINT message;
        WPARAM command;
    };
    for (const Change& c :
         {Change{"Right side", WM_CLOSE, 0}, Change{"Preview", WM_COMMAND, kTbSize50},
          Change{"buruburuL", WM_COMMAND, kTbRotateRight}}) {
        SCOPED_TRACE(c.title);
        g_before = [] {
            ASSERT_EQ(QUB_CreateImage(0, "pair", -1, -1, kPairW, kPairH, 100), 0);
            FillPair();
        };
        g_testRoutine = RunRoutine;
        ASSERT_TRUE(StartRoutine());
        ASSERT_TRUE(PumpUntil([] { return qubState.buttonBox.window != nullptr; }));
        const int slot = FindTitled(c.title);
        ASSERT_GE(slot, 0);
        PostMessageW(qubState.images[slot].window, c.message, c.command, 0);
        EXPECT_TRUE(PumpUntil([] { return g_routineDone.load() == 1; }));
        ASSERT_TRUE(PumpUntil([] { return qubState.routineRunning.load() == 0; }));
        EXPECT_EQ(qubState.buttonBox.window, nullptr);
        EXPECT_EQ(FindTitled("Left side"), -1);
        EXPECT_EQ(FindTitled(c.title), -1);
    }
}

// A pair tall enough for the guides (the mouse counts only clear of the top
// and bottom 50 rows), driven by the mouse on the pair and the box's buttons.
class Guides : public testing::Test {
protected:
    static constexpr int kW = 400, kH = 160, kHalfW = kW / 2;

    void SetUp() override {
        // The real pointer away from every window: its moves would be
        // recorded over the ones this test sends.
        SetCursorPos(GetSystemMetrics(SM_CXSCREEN) - 1, GetSystemMetrics(SM_CYSCREEN) - 1);
        g_before = [] {
            ASSERT_EQ(QUB_CreateImage(0, "pair", -1, -1, kW, kH, 100), 0);
            FillPair(kW, kH);
        };
        g_testRoutine = RunRoutine;
        ASSERT_TRUE(StartRoutine());
        ASSERT_TRUE(PumpUntil([] { return qubState.buttonBox.window != nullptr; }));
        left_ = FindTitled("Left side");
        right_ = FindTitled("Right side");
        preview_ = FindTitled("Preview");
        ASSERT_TRUE(left_ >= 0 && right_ >= 0 && preview_ >= 0);
        // The views as the routine split them.
        l_.assign(qubState.imageBits32[left_], qubState.imageBits32[left_] + kHalfW * kH);
        r_.assign(qubState.imageBits32[right_], qubState.imageBits32[right_] + kHalfW * kH);
    }
    void TearDown() override {
        StopRoutine();
        g_before = nullptr;
    }

    // Moves the mouse over the pair to image point (x, y); returns the x that
    // the window recorded.
    int Move(int x, int y, bool leftButton) {
        const int zoom = qubState.images[0].zoom;
        const int cx = (x * zoom + 99) / 100, cy = (y * zoom + 99) / 100;
        PostMessageW(qubState.images[0].window, WM_MOUSEMOVE, leftButton ? MK_LBUTTON : 0,
                     MAKELPARAM(cx, cy));
        PumpUntil([&] { return qubState.mouseY == QUB_ClientToImage(cy, zoom); });
        return qubState.mouseX;
    }
    void Press(int button) {
        const ButtonBoxRecord& b = qubState.buttonBox;
        SendMessageW(b.window, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED),
                     reinterpret_cast<LPARAM>(b.buttons[button]));
    }

    // Each row of column x is inverted (a guide is drawn there) or as dropped.
    bool Column(int x, bool inverted) const {
        for (int y = 0; y < kH; ++y) {
            const uint32_t want = PairPixel(x, y, kHalfW) ^ (inverted ? 0x00FFFFFFu : 0u);
            if (qubState.imageBits32[0][y * kW + x] != want) return false;
        }
        return true;
    }
    bool GuidesAt(int leftX, int rightX) const {
        return Column(leftX, true) && Column(rightX, true) &&
               Column(leftX == 100 ? 101 : 100, false) && Column(rightX == 300 ? 301 : 300, false);
    }
    std::vector<uint32_t> Anaglyph(int a) const {
        std::vector<uint32_t> p(kHalfW * kH);
        MakeAnaglyph(kHalfW, kH, l_.data(), r_.data(), p.data(), a, 0);
        return p;
    }
    bool PreviewIs(const std::vector<uint32_t>& want) const {
        return std::equal(want.begin(), want.end(), qubState.imageBits32[preview_]);
    }

    int left_ = -1, right_ = -1, preview_ = -1;
    std::vector<uint32_t> l_, r_;
};

TEST_F(Guides, HoverShowsDragSetsLeavingRestoresForBothLines) {
    ASSERT_TRUE(PumpUntil([&] { return GuidesAt(100, 300) && PreviewIs(Anaglyph(0)); }));

    // Hovering near the left guide: the line follows, the preview shows that
    // alignment; leaving over the top margin puts both back.
    const int hover = Move(130, 80, false);
    EXPECT_TRUE(PumpUntil([&] { return GuidesAt(hover, 300) && PreviewIs(Anaglyph(hover - 100)); }))
        << "hover at " << hover;
    Move(130, 20, false);
    EXPECT_TRUE(PumpUntil([&] { return GuidesAt(100, 300) && PreviewIs(Anaglyph(0)); }));

    // Dragging sets the guide: it stays when the mouse leaves. (The routine
    // looks at the mouse once a frame, so the button is held until it has.)
    const int set = Move(120, 80, true);
    ASSERT_TRUE(PumpUntil([&] { return GuidesAt(set, 300); }));
    Move(120, 20, false);
    EXPECT_TRUE(PumpUntil([&] { return GuidesAt(set, 300) && PreviewIs(Anaglyph(set - 100)); }));

    // The right guide the same way, in the right half (leaving over the bottom margin).
    const int rightSet = Move(290, 80, true);
    ASSERT_TRUE(PumpUntil([&] { return GuidesAt(set, rightSet); }));
    Move(290, 150, false);
    const int a = set - rightSet + kHalfW;
    EXPECT_TRUE(PumpUntil([&] { return GuidesAt(set, rightSet) && PreviewIs(Anaglyph(a)); }));

    // "Buruburu": the preview alternates the two aligned frames; "Anaglyph"
    // brings the composition back at the same alignment.
    std::vector<uint32_t> frameL(kHalfW * kH), frameR(kHalfW * kH);
    MakeWiggleFrames(kHalfW, kH, l_.data(), r_.data(), frameL.data(), frameR.data(), a, 0);
    Press(2);
    EXPECT_TRUE(PumpUntil([&] { return PreviewIs(frameL); }));
    EXPECT_TRUE(PumpUntil([&] { return PreviewIs(frameR); }));
    Press(0);
    EXPECT_TRUE(PumpUntil([&] { return PreviewIs(Anaglyph(a)); }));
    PumpFor(250);
    EXPECT_TRUE(PreviewIs(Anaglyph(a))) << "the wiggle has stopped";

    // The arrows: "→" moves the left guide, "↑" raises i.
    Press(6);
    EXPECT_TRUE(
        PumpUntil([&] { return GuidesAt(set + 1, rightSet) && PreviewIs(Anaglyph(a + 1)); }));
    Press(1);
    std::vector<uint32_t> raised(kHalfW * kH);
    MakeAnaglyph(kHalfW, kH, l_.data(), r_.data(), raised.data(), a + 1, 1);
    EXPECT_TRUE(PumpUntil([&] { return PreviewIs(raised); }));
}

TEST(StereoSave, FailureIsShownAndTwoSavesKeepBothFiles) {
    std::atomic<int> first{-1}, second{-1}, failed{-1}, busy{-1};
    wchar_t failedStatus[64] = L"", busyStatus[64] = L"";
    std::string kept;
    bool closedAgain = false;
    const std::wstring work = FreshFolder(L"qub_save_test");
    wchar_t saved[MAX_PATH];
    GetCurrentDirectoryW(MAX_PATH, saved);
    SetCurrentDirectoryW(work.c_str());
    g_testRoutine = [&] {
        std::vector<uint32_t> l(16 * 9, 0x336699u), r(16 * 9, 0x996633u);
        first = SaveStereoPair(9, l.data(), r.data(), 16, 2, -1, 6);
        second = SaveStereoPair(9, l.data(), r.data(), 16, 2, -1, 6);
        // Under Wine, Z:\proc is Linux's /proc, where no file can be made,
        // not even by root.
        SetCurrentDirectoryW(L"Z:\\proc");
        failed = SaveStereoPair(9, l.data(), r.data(), 16, 2, -1, 6);
        GetWindowTextW(qubState.statusControl, failedStatus, 64);
        closedAgain = !qubState.images[6].inUse;
        // A window of the user's own in slot 6 is neither drawn into nor closed.
        QUB_CreateImage(6, "mine", -1, -1, 4, 3, 1);
        qubState.imageBits32[6][0] = 0x123456u;
        busy = SaveStereoPair(9, l.data(), r.data(), 16, 2, -1, 6);
        GetWindowTextW(qubState.statusControl, busyStatus, 64);
        kept = qubState.images[6].inUse ? std::string(qubState.images[6].title) + ":" +
                                               std::to_string(qubState.imageBits32[6][0])
                                         : "closed";
        QUB_DestroyImage(6);
    };
    ASSERT_TRUE(StartRoutine());
    ASSERT_TRUE(PumpUntil([] { return qubState.routineRunning.load() == 0; }, 20000));
    SetCurrentDirectoryW(saved);
    EXPECT_EQ((std::vector<int>{first, second, failed, busy}), (std::vector<int>{0, 0, 2, 1}));
    EXPECT_NE(std::wstring(failedStatus).find(L"Save failed!"), std::wstring::npos);
    EXPECT_NE(std::wstring(busyStatus).find(L"Window 6 busy: not saved"), std::wstring::npos);
    EXPECT_TRUE(closedAgain) << "the save window is closed again";
    EXPECT_EQ(kept, "mine:" + std::to_string(0x123456u));

    EXPECT_EQ(ListFiles(work, L"Dor-*.jpg").size(), 2u)
        << "the second save of the same second got its own name";
}

}  // namespace

int main(int argc, char** argv) { return RunWinTests(argc, argv); }
