// One pass of the stereo routine's loop on a 24-megapixel pair, under Wine,
// against its 100 ms frame. The windows are laid out as the routine lays them
// out (pair at the half-screen zoom in halftone mode, preview at twice that),
// and each pass's work is timed as the routine does it:
//   - recompose: the anaglyph of the two 12-megapixel views and the preview's
//     redisplay (a press of an arrow button);
//   - guide move: two XOR lines over the pair and its redisplay, then the
//     recompose (the mouse dragging a guide: the busiest pass);
//   - wiggle step: a frame copied into the preview and redisplayed.
// Usage: bench_stereo_pass (a build target; run it with scripts/wine-run.sh).
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "app/alignment.h"
#include "app/compose.h"
#include "core/library_state.h"
#include "core/main_menu.h"
#include "core/runtime.h"
#include "image/image_window.h"
#include "imgproc/draw.h"

namespace {

constexpr int kWidth = 6000, kHeight = 4000;  // the pair: 24 megapixels
constexpr int kHalf = kWidth / 2;
constexpr int kRepeats = 5;
constexpr double kFrameMs = 100.0;

double Now() {
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return static_cast<double>(t.QuadPart) * qubState.msPerCount;
}

template <class F>
double BestOf(F work) {
    double best = 1e30;
    for (int n = 0; n < kRepeats; ++n) {
        const double t0 = Now();
        work();
        best = std::min(best, Now() - t0);
    }
    return best;
}

void Report(const char* what, double ms) {
    printf("%-34s %8.2f ms  %5.1f%% of the frame\n", what, ms, 100.0 * ms / kFrameMs);
}

void RunBenchmark() {
    const StereoLayout layout = ComputeStereoLayout(kWidth, kHeight, GetSystemMetrics(SM_CXSCREEN));
    if (QUB_CreateImage(0, "pair", 0, 0, kWidth, kHeight, layout.zoom) != 0 ||
        QUB_CreateImage(1, "Left side", 0, 0, kHalf, kHeight, 30) != 0 ||
        QUB_CreateImage(2, "Right side", 0, 0, kHalf, kHeight, 30) != 0 ||
        QUB_CreateImage(3, "Preview", 0, layout.previewY, kHalf, kHeight, 2 * layout.zoom) != 0 ||
        QUB_CreateImage(4, "buruburuL", 0, 0, kHalf, kHeight, 10) != 0) {
        printf("could not create the windows\n");
        return;
    }
    uint32_t* pair = qubState.imageBits32[0];
    uint32_t seed = 12345;
    for (size_t k = 0; k < static_cast<size_t>(kWidth) * kHeight; ++k) {
        seed = seed * 1664525u + 1013904223u;
        pair[k] = seed >> 8;
    }
    SplitStereoPair(pair, kWidth, kHeight, qubState.imageBits32[1], qubState.imageBits32[2]);
    QUB_SelectImage(0);
    QUB_SetStretchMode(0, HALFTONE);
    QUB_PumpMessages();

    int a = 0;
    auto recompose = [&] {
        MakeAnaglyph(kHalf, kHeight, qubState.imageBits32[1], qubState.imageBits32[2],
                     qubState.imageBits32[3], ++a % 7, -3);
        QUB_DisplayImage(3);
    };
    int x = kHalf / 2;
    auto guideMove = [&] {
        QUB_XorLine32(pair, kWidth, kHeight, x, 0, x, kHeight);
        ++x;
        QUB_XorLine32(pair, kWidth, kHeight, x, 0, x, kHeight);
        QUB_DisplayImage(0);
        recompose();
    };
    auto wiggle = [&] {
        std::memcpy(qubState.imageBits32[3], qubState.imageBits32[4],
                    static_cast<size_t>(kHalf) * kHeight * 4);
        QUB_DisplayImage(3);
    };
    printf("pair %d x %d at %d%% (halftone), preview at %d%%\n", kWidth, kHeight,
           qubState.images[0].zoom, qubState.images[3].zoom);
    Report("recompose (arrow press)", BestOf(recompose));
    Report("guide move + recompose (drag)", BestOf(guideMove));
    Report("wiggle step", BestOf(wiggle));
    for (int n = 0; n <= 4; ++n) QUB_DestroyImage(n);
}

}  // namespace

void QUB_Main() {
    RunBenchmark();
    PostMessageW(qubState.mainWindow, WM_KEYDOWN, 'X', 0);
}

int main() {
    if (QUB_StartUp(GetModuleHandleW(nullptr)) != 0) return 1;
    SendMessageW(qubState.mainWindow, WM_COMMAND, kCmdStart, 0);
    QUB_RunMessageLoop();
    QUB_ShutDown();
    return 0;
}
