// One pass of the stereo routine's loop on 12-, 24- and 45-megapixel pairs,
// under Wine, against its 100 ms frame and beside a memcpy of the pair in the
// same run. The windows are laid out as the routine lays them out (pair at the
// half-screen zoom in halftone mode, preview at twice that), and each step is
// the routine's own code (app/stereo_steps_win.h):
//   - recompose: the anaglyph of the two views and the preview's redisplay
//     (a press of an arrow button);
//   - guide move + recompose: the guide line moved over the pair and shown,
//     then the recompose (the mouse dragging a guide: the busiest pass);
//   - wiggle step: the next frame copied into the preview and shown;
//   - whole redisplay of the pair, as at set-up or when its window is
//     uncovered (not a step of the loop).
// Each figure is the median of kRuns runs.
// Usage: bench_stereo_pass (a build target; run it with scripts/wine-run.sh).
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "app/alignment.h"
#include "app/compose.h"
#include "app/stereo_steps_win.h"
#include "core/library_state.h"
#include "core/main_menu.h"
#include "core/runtime.h"
#include "image/image_window.h"

namespace {

constexpr int kRuns = 7;
constexpr double kFrameMs = 100.0;

struct PairSize {
    int width, height;
    const char* name;
};
constexpr PairSize kPairs[] = {{4000, 3000, "12 MP"}, {6000, 4000, "24 MP"}, {8256, 5504, "45 MP"}};

double Now() {
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return static_cast<double>(t.QuadPart) * qubState.msPerCount;
}

template <class F>
double MedianOf(F work) {
    double times[kRuns];
    for (double& t : times) {
        QUB_PumpMessages();  // what the routine's frame wait does between passes
        const double t0 = Now();
        work();
        t = Now() - t0;
    }
    std::sort(times, times + kRuns);
    return times[kRuns / 2];
}

void Report(const char* what, double ms, double memcpyMs) {
    printf("  %-30s %8.2f ms  %5.1f%% of the frame  %5.2f x memcpy\n", what, ms,
           100.0 * ms / kFrameMs, ms / memcpyMs);
}

bool CreateWindows(const StereoWindows& w, const StereoLayout& layout) {
    const int* s = w.slots.slot;
    return QUB_CreateImage(0, "pair", 0, 0, w.width, w.height, layout.zoom) == 0 &&
           QUB_CreateImage(s[kRoleLeft], "Left side", 0, 0, w.half, w.height, 30) == 0 &&
           QUB_CreateImage(s[kRoleRight], "Right side", 0, 0, w.half, w.height, 30) == 0 &&
           QUB_CreateImage(s[kRoleFrameLeft], "buruburuL", 0, 0, w.half, w.height, 10) == 0 &&
           QUB_CreateImage(s[kRoleFrameRight], "buruburuR", 0, 0, w.half, w.height, 10) == 0 &&
           QUB_CreateImage(s[kRolePreview], "Preview", 0, layout.previewY, w.half, w.height,
                           2 * layout.zoom) == 0;
}

void RunPair(const PairSize& size) {
    const StereoLayout layout =
        ComputeStereoLayout(size.width, size.height, GetSystemMetrics(SM_CXSCREEN));
    StereoWindows w = {};
    w.width = size.width;
    w.height = size.height;
    w.half = layout.half;
    for (int role = 0; role < kStereoRoles; ++role) w.slots.slot[role] = role + 1;
    const size_t pairBytes = static_cast<size_t>(w.width) * static_cast<size_t>(w.height) * 4;
    void* copy = std::malloc(pairBytes);
    if (!copy || !CreateWindows(w, layout)) {
        printf("%s: not enough memory for the windows\n", size.name);
        std::free(copy);
        for (int n = 0; n <= kStereoRoles; ++n) QUB_DestroyImage(n);
        return;
    }
    uint32_t* pair = qubState.imageBits32[0];
    uint32_t seed = 12345;
    for (size_t k = 0; k < pairBytes / 4; ++k) {
        seed = seed * 1664525u + 1013904223u;
        pair[k] = seed >> 8;
    }
    SplitStereoPair(pair, w.width, w.height, qubState.imageBits32[w.slots.slot[kRoleLeft]],
                    qubState.imageBits32[w.slots.slot[kRoleRight]]);
    QUB_SelectImage(0);
    QUB_SetStretchMode(0, HALFTONE);
    QUB_PumpMessages();

    StereoAlignment state = StartAlignment(w.half, w.height);
    const double memcpyMs = MedianOf([&] { std::memcpy(copy, pair, pairBytes); });
    int a = 0;
    auto recompose = [&] { StereoRecompose(w, state, ++a % 7); };
    int x = w.half / 2;
    auto guideMove = [&] {
        StereoMoveGuide(w, x, x + 1);
        ++x;
        recompose();
    };
    auto wiggle = [&] { StereoWiggleStep(w, state); };
    printf("%s pair %d x %d at %d%% (halftone), preview at %d%%\n", size.name, w.width, w.height,
           qubState.images[0].zoom, qubState.images[w.slots.slot[kRolePreview]].zoom);
    printf("  %-30s %8.2f ms\n", "memcpy of the pair", memcpyMs);
    Report("recompose (arrow press)", MedianOf(recompose), memcpyMs);
    uint32_t* preview = qubState.imageBits32[w.slots.slot[kRolePreview]];
    Report("  of which the anaglyph", MedianOf([&] {
               MakeAnaglyph(w.half, w.height, qubState.imageBits32[w.slots.slot[kRoleLeft]],
                            qubState.imageBits32[w.slots.slot[kRoleRight]], preview, ++a % 7, 0);
           }),
           memcpyMs);
    Report("guide move + recompose (drag)", MedianOf(guideMove), memcpyMs);
    state.wiggleMode = true;
    recompose();
    Report("wiggle step", MedianOf(wiggle), memcpyMs);
    Report("whole redisplay of the pair", MedianOf([] { QUB_DisplayImage(0); }), memcpyMs);
    std::free(copy);
    for (int n = 0; n <= kStereoRoles; ++n) QUB_DestroyImage(n);
}

}  // namespace

void QUB_Main() {
    for (const PairSize& size : kPairs) RunPair(size);
    PostMessageW(qubState.mainWindow, WM_KEYDOWN, 'X', 0);
}

int main() {
    if (QUB_StartUp(GetModuleHandleW(nullptr)) != 0) return 1;
    SendMessageW(qubState.mainWindow, WM_COMMAND, kCmdStart, 0);
    QUB_RunMessageLoop();
    QUB_ShutDown();
    return 0;
}
