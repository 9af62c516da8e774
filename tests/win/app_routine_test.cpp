// The stereo routine in-process: a working window closed or changed under the
// running routine. (The compositions are tested natively; a run of the real
// program on the sample pair is the end-to-end test.)
#include <gtest/gtest.h>

#include <atomic>
#include <cstring>

#include "app/stereo_routine_win.h"
#include "core/library_state.h"
#include "core/runtime.h"
#include "image/image_window.h"
#include "image/toolbox_menu.h"
#include "tests/win/win_test_support.h"

namespace {

int FindTitled(const char* title) {
    for (int n = 0; n < kImageSlots; ++n)
        if (qubState.images[n].inUse && std::strcmp(qubState.images[n].title, title) == 0) return n;
    return -1;
}

// Closing "Right side", halving "Preview" or turning "buruburuL" under the
// running routine: it must not compose into a released or smaller buffer, so
// it ends and takes its windows with it; the user's window in slot 1 stays.
TEST(StereoRoutine, AWorkingWindowClosedOrChangedEndsTheRunSafely) {
    const struct { const char* title; UINT message; WPARAM command; } changes[] = {
        {"Right side", WM_CLOSE, 0}, {"Preview", WM_COMMAND, kTbSize50},
        {"buruburuL", WM_COMMAND, kTbRotateRight}};
    static std::atomic<int> done{0};
    for (const auto& c : changes) {
        SCOPED_TRACE(c.title);
        g_testRoutine = [] {
            done = 0;
            QUB_CreateImage(1, "mine", -1, -1, 4, 3, 100);
            if (QUB_CreateImage(0, "pair", -1, -1, 64, 40, 100) == 0)
                for (int k = 0; k < 64 * 40; ++k) qubState.imageBits32[0][k] = 0x10203u * k;
            StereoRoutine();
            done = 1;
        };
        ASSERT_TRUE(StartRoutine());
        ASSERT_TRUE(PumpUntil([] { return qubState.buttonBox.window != nullptr; }));
        EXPECT_GT(FindTitled("Left side"), 1) << "slot 1 is taken: the next free one";
        const int slot = FindTitled(c.title);
        ASSERT_GE(slot, 0);
        PostMessageW(qubState.images[slot].window, c.message, c.command, 0);
        EXPECT_TRUE(PumpUntil([] { return done.load() == 1; }));
        ASSERT_TRUE(PumpUntil([] { return qubState.routineRunning.load() == 0; }));
        EXPECT_EQ(qubState.buttonBox.window, nullptr);
        EXPECT_EQ(FindTitled("Left side") + FindTitled(c.title) + FindTitled("pair"), -3);
        EXPECT_EQ(FindTitled("mine"), 1);
    }
}

}  // namespace

int main(int argc, char** argv) { return RunWinTests(argc, argv); }
