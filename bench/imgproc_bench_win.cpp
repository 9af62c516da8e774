// Whole-picture operations under Wine on a 6000 x 4000 32-bit image window
// (96 MB), each timed alternately with a memcpy of the same 96 MB in the same
// run, reported as op time / memcpy time (1.0 = as fast as memcpy).
// Goals: invert and flips within 1.5, rotations within 4, flood fill within 10.
// Usage: bench_imgproc_win [rounds]   (default 5; the best round of each counts)
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>

#include "core/library_state.h"
#include "core/main_menu.h"
#include "core/runtime.h"
#include "image/image_window.h"
#include "imgproc/image_drawing.h"
#include "imgproc/image_transforms.h"
#include "imgproc/transforms.h"

namespace {

constexpr int kWidth = 6000, kHeight = 4000;
constexpr size_t kBytes = size_t(kWidth) * kHeight * 4;
int g_rounds = 5;

double Now() {
    static const LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return 1000.0 * static_cast<double>(t.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// The scratch buffers memcpy copies between, allocated once.
unsigned char* g_from = nullptr;
unsigned char* g_to = nullptr;

double TimeMemcpy() {
    const double t0 = Now();
    std::memcpy(g_to, g_from, kBytes);
    return Now() - t0;
}

// Best of the rounds for each, the two alternating which goes first so that
// neither always meets a cache the other has warmed.
void Measure(const char* what, const std::function<void()>& op) {
    double bestOp = 1e30, bestCopy = 1e30;
    for (int round = 0; round < g_rounds; ++round) {
        for (int pass = 0; pass < 2; ++pass) {
            if ((pass == 0) == (round % 2 == 0)) {
                const double t0 = Now();
                op();
                bestOp = std::min(bestOp, Now() - t0);
            } else {
                bestCopy = std::min(bestCopy, TimeMemcpy());
            }
        }
    }
    printf("%-46s %8.1f ms   memcpy %6.1f ms   %6.2f x memcpy\n", what, bestOp, bestCopy,
           bestOp / bestCopy);
    fflush(stdout);
}

void RunBenchmark() {
    g_from = static_cast<unsigned char*>(std::malloc(kBytes));
    g_to = static_cast<unsigned char*>(std::malloc(kBytes));
    uint32_t* second = static_cast<uint32_t*>(std::malloc(kBytes));
    if (!g_from || !g_to || !second || QUB_CreateImage(0, "bench", 0, 0, kWidth, kHeight, 100) != 0) {
        printf("cannot set up a %d x %d picture\n", kWidth, kHeight);
        return;
    }
    std::memset(g_from, 0x5A, kBytes);
    std::memset(g_to, 0, kBytes);
    QUB_TestPatternRgb();
    printf("picture %d x %d, 32-bit, %.0f MB; %d rounds, best of each\n", kWidth, kHeight,
           static_cast<double>(kBytes) / 1e6, g_rounds);

    Measure("QUB_InvertImage", [] { QUB_InvertImage(0); });
    Measure("QUB_FlipHorizontal", [] { QUB_FlipHorizontal(0); });
    Measure("QUB_FlipVertical", [] { QUB_FlipVertical(0); });
    // The engine's quarter turn into a second buffer, as measured natively;
    // then the whole library call: working copy, new window, turn.
    Measure("rotate right (engine, into a second buffer)",
            [second] { QUB_RotateRight32(qubState.imageBits32[0], kWidth, kHeight, second); });
    Measure("rotate left (engine, into a second buffer)",
            [second] { QUB_RotateLeft32(qubState.imageBits32[0], kWidth, kHeight, second); });
    // What the library call adds to the turn: re-creating the window with a
    // cleared buffer of the turned size, measured on its own.
    Measure("QUB_ResizeImage to the turned size alone", [] {
        const ImageWindowRecord& r = qubState.images[0];
        QUB_ResizeImage(0, r.height, r.width);
    });
    Measure("working copy alone (malloc, memcpy, free)", [] {
        void* copy = std::malloc(kBytes);
        if (copy) std::memcpy(copy, qubState.imageBits32[0], kBytes);
        static void* volatile keep;  // the compiler may not drop the pair
        keep = copy;
        std::free(keep);
    });
    Measure("QUB_RotateRight (copy, new window, turn)", [] { QUB_RotateRight(0); });
    Measure("QUB_RotateLeft (copy, new window, turn)", [] { QUB_RotateLeft(0); });
    QUB_SelectImage(0);
    if (qubState.images[0].width != kWidth) QUB_RotateLeft(0);
    Measure("QUB_TestPatternRgb", [] { QUB_TestPatternRgb(); });
    Measure("QUB_TestPatternHsv", [] { QUB_TestPatternHsv(); });
    Measure("QUB_TestPatternYCrCb", [] { QUB_TestPatternYCrCb(); });
    Measure("QUB_TestPatternYuv", [] { QUB_TestPatternYuv(); });
    Measure("QUB_TestPatternYiq", [] { QUB_TestPatternYiq(); });
    Measure("QUB_TestPatternGrey", [] { QUB_TestPatternGrey(); });
    // One colour everywhere, filled from the middle; alternating the colour
    // keeps every fill a whole-picture one.
    std::fill(qubState.imageBits32[0], qubState.imageBits32[0] + size_t(kWidth) * kHeight, 0x203040u);
    qubState.drawColour = 0xA0B0C0u;
    Measure("QUB_Paint of the whole picture", [] {
        QUB_Paint(kWidth / 2, kHeight / 2);
        qubState.drawColour ^= 0x808080u;
    });
    Measure("QUB_ClearImage", [] { QUB_ClearImage(0); });
    QUB_DestroyImage(0);
    std::free(second);
    std::free(g_from);
    std::free(g_to);
}

}  // namespace

void QUB_Main() {
    RunBenchmark();
    PostMessageW(qubState.mainWindow, WM_KEYDOWN, 'X', 0);
}

int main(int argc, char** argv) {
    if (argc > 1) g_rounds = std::max(1, std::atoi(argv[1]));
    if (QUB_StartUp(GetModuleHandleW(nullptr)) != 0) return 1;
    SendMessageW(qubState.mainWindow, WM_COMMAND, kCmdStart, 0);
    QUB_RunMessageLoop();
    QUB_ShutDown();
    return 0;
}
