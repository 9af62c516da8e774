// The stereo routine in-process: windows that are not its own, a working
// window changed under it, a failed save. (The compositions are tested
// natively; one run of the real program is the end-to-end test.)
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
#include "core/runtime.h"
#include "image/image_window.h"
#include "image/toolbox_menu.h"
#include "tests/win/process_support.h"
#include "tests/win/win_test_support.h"

namespace {

constexpr int kPairW = 65, kPairH = 40, kHalf = kPairW / 2;  // odd: the last column is dropped
using Pixels32 = std::vector<uint32_t>;

// The left view's pixels tell their position, the right view is the left one
// shifted, so every composition differs from a plain copy.
uint32_t PairPixel(int x, int y) {
    return static_cast<uint32_t>((x * 7 + y * 131) & 0xFFFFFF) ^ (x >= kHalf ? 0x00A050u : 0u);
}

int FindTitled(const char* title) {
    for (int n = 0; n < kImageSlots; ++n)
        if (qubState.images[n].inUse && std::strcmp(qubState.images[n].title, title) == 0) return n;
    return -1;
}

bool Same(const Pixels32& want, int slot) {
    return std::equal(want.begin(), want.end(), qubState.imageBits32[slot]);
}

// Runs `before` on the worker, then the routine with the pair in slot 0.
std::atomic<int> g_routineDone{0};
void StartStereo(std::function<void()> before = nullptr) {
    g_testRoutine = [before] {
        g_routineDone = 0;
        if (before) before();
        if (QUB_CreateImage(0, "pair", -1, -1, kPairW, kPairH, 100) == 0)
            for (int k = 0; k < kPairW * kPairH; ++k)
                qubState.imageBits32[0][k] = PairPixel(k % kPairW, k / kPairW);
        StereoRoutine();
        g_routineDone = 1;
    };
    ASSERT_TRUE(StartRoutine());
    ASSERT_TRUE(PumpUntil([] { return qubState.buttonBox.window != nullptr; }));
}

bool RoutineEnded() {
    return PumpUntil([] { return qubState.routineRunning.load() == 0; }, 20000);
}

TEST(StereoRoutine, WorksAroundOtherWindowsAndLeavesThemAlone) {
    const Pixels32 mine = {0x111111u, 0x222222u, 0x333333u, 0x444444u};
    StartStereo([&mine] {
        for (const int n : {1, 3}) {
            QUB_CreateImage(n, "mine", -1, -1, 2, 2, 100);
            std::copy(mine.begin(), mine.end(), qubState.imageBits32[n]);
        }
    });
    PumpFor(300);
    // Slots 1 and 3 are taken: the next free ones above the routine's own.
    const int left = FindTitled("Left side"), preview = FindTitled("Preview");
    EXPECT_EQ((std::vector<int>{left, FindTitled("Right side"), preview, FindTitled("buruburuL")}),
              (std::vector<int>{7, 2, 8, 4}));
    ASSERT_TRUE(left >= 0 && preview >= 0);
    Pixels32 pair(kPairW * kPairH), l(kHalf * kPairH), r(kHalf * kPairH), p(kHalf * kPairH);
    for (int k = 0; k < kPairW * kPairH; ++k) pair[k] = PairPixel(k % kPairW, k / kPairW);
    SplitStereoPair(pair.data(), kPairW, kPairH, l.data(), r.data());
    MakeAnaglyph(kHalf, kPairH, l.data(), r.data(), p.data(), 0, 0);
    EXPECT_TRUE(Same(l, left) && Same(p, preview));
    ASSERT_TRUE(StopRoutine());
    EXPECT_EQ(g_routineDone.load(), 1);
    // A finished run closes the pair and its windows; the user's stay untouched.
    EXPECT_EQ((std::vector<int>{qubState.images[0].inUse, qubState.images[left].inUse,
                                qubState.images[preview].inUse, Same(mine, 1), Same(mine, 3)}),
              (std::vector<int>{0, 0, 0, 1, 1}));
    EXPECT_EQ(qubState.buttonBox.window, nullptr);
    g_testRoutine = [] {
        QUB_DestroyImage(1);
        QUB_DestroyImage(3);
    };
    ASSERT_TRUE(StartRoutine() && RoutineEnded());
}

// Closing "Right side", halving "Preview" or turning "buruburuL" under the
// running routine: it must not compose into a released or smaller buffer, so
// it ends and takes its windows with it.
TEST(StereoRoutine, AWorkingWindowClosedOrChangedEndsTheRunSafely) {
    const struct { const char* title; UINT message; WPARAM command; } changes[] = {
        {"Right side", WM_CLOSE, 0}, {"Preview", WM_COMMAND, kTbSize50},
        {"buruburuL", WM_COMMAND, kTbRotateRight}};
    for (const auto& c : changes) {
        SCOPED_TRACE(c.title);
        StartStereo();
        const int slot = FindTitled(c.title);
        ASSERT_GE(slot, 0);
        PostMessageW(qubState.images[slot].window, c.message, c.command, 0);
        EXPECT_TRUE(PumpUntil([] { return g_routineDone.load() == 1; }));
        ASSERT_TRUE(RoutineEnded());
        EXPECT_EQ(qubState.buttonBox.window, nullptr);
        EXPECT_EQ(FindTitled("Left side") + FindTitled(c.title), -2);
    }
}

TEST(StereoSave, FailureIsShownAndTwoSavesKeepBothFiles) {
    std::vector<int> results;
    std::wstring status[2];
    std::string kept;
    const std::wstring work = FreshFolder(L"qub_save_test");
    wchar_t saved[MAX_PATH];
    GetCurrentDirectoryW(MAX_PATH, saved);
    SetCurrentDirectoryW(work.c_str());
    g_testRoutine = [&] {
        const Pixels32 l(16 * 9, 0x336699u), r(16 * 9, 0x996633u);
        const auto save = [&] {
            results.push_back(SaveStereoPair(9, l.data(), r.data(), 16, 2, -1, 6));
        };
        save();
        save();
        // Under Wine, Z:\proc is Linux's /proc, where no file can be made.
        SetCurrentDirectoryW(L"Z:\\proc");
        save();
        status[0] = WindowText(qubState.statusControl);
        results.push_back(qubState.images[6].inUse);
        // A window of the user's own in slot 6 is neither drawn into nor closed.
        QUB_CreateImage(6, "mine", -1, -1, 4, 3, 1);
        qubState.imageBits32[6][0] = 0x123456u;
        save();
        status[1] = WindowText(qubState.statusControl);
        kept = std::string(qubState.images[6].title) + std::to_string(qubState.imageBits32[6][0]);
        QUB_DestroyImage(6);
    };
    ASSERT_TRUE(StartRoutine() && RoutineEnded());
    SetCurrentDirectoryW(saved);
    EXPECT_EQ(results, (std::vector<int>{0, 0, 2, 0, 1}));
    EXPECT_NE(status[0].find(L"Save failed!"), std::wstring::npos);
    EXPECT_NE(status[1].find(L"Window 6 busy: not saved"), std::wstring::npos);
    EXPECT_EQ(kept, "mine" + std::to_string(0x123456u));
    EXPECT_EQ(ListFiles(work, L"Dor-*.jpg").size(), 2u) << "a second save in a second: own name";
}

}  // namespace

int main(int argc, char** argv) { return RunWinTests(argc, argv); }
