// Whole-image operations on a 6000 x 4000 32-bit picture (96 MB). The machines
// are shared and noisy, so each benchmark times the operation and a memcpy of
// the same 96 MB alternately within every iteration and reports
// x_memcpy = operation time / memcpy time (1.0 = as fast as memcpy).
// Goals: invert and flips within 1.5, rotations within 4, flood fill within 10.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdint>
#include <cstring>
#include <vector>

#include "imgproc/flood_fill.h"
#include "imgproc/test_patterns.h"
#include "imgproc/transforms.h"

namespace {

constexpr int kWidth = 6000, kHeight = 4000;
constexpr size_t kPixels = static_cast<size_t>(kWidth) * kHeight;
constexpr size_t kBytes = kPixels * sizeof(uint32_t);

struct Buffers {
    std::vector<uint32_t> image, other, copy;
    Buffers() : image(kPixels), other(kPixels), copy(kPixels) {
        QUB_TestPatternRgb32(image.data(), kWidth, kHeight);
        std::memcpy(other.data(), image.data(), kBytes);
        std::memcpy(copy.data(), image.data(), kBytes);
    }
};

Buffers& Shared() {
    static Buffers buffers;
    return buffers;
}

using Clock = std::chrono::steady_clock;

// Runs op once per iteration next to one memcpy of the image's bytes.
template <class Op>
void VsMemcpy(benchmark::State& state, Op op) {
    Buffers& b = Shared();
    double opSeconds = 0, copySeconds = 0;
    bool first = true;
    for (auto _ : state) {
        // Alternate which one goes first so that neither always meets a cache
        // the other has warmed.
        for (int pass = 0; pass < 2; ++pass) {
            if ((pass == 0) == first) {
                const auto t0 = Clock::now();
                op(b);
                benchmark::ClobberMemory();
                opSeconds += std::chrono::duration<double>(Clock::now() - t0).count();
            } else {
                const auto t0 = Clock::now();
                std::memcpy(b.copy.data(), b.image.data(), kBytes);
                benchmark::ClobberMemory();
                copySeconds += std::chrono::duration<double>(Clock::now() - t0).count();
            }
        }
        first = !first;
    }
    state.counters["x_memcpy"] = copySeconds > 0 ? opSeconds / copySeconds : 0;
    state.counters["op_ms"] = opSeconds * 1000.0 / static_cast<double>(state.iterations());
    state.counters["memcpy_ms"] = copySeconds * 1000.0 / static_cast<double>(state.iterations());
}

void BM_Memcpy(benchmark::State& state) {
    Buffers& b = Shared();
    for (auto _ : state) {
        std::memcpy(b.copy.data(), b.image.data(), kBytes);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kBytes));
}

void BM_Invert(benchmark::State& state) {
    VsMemcpy(state, [](Buffers& b) { QUB_InvertImage32(b.image.data(), kWidth, kHeight); });
}

void BM_FlipHorizontal(benchmark::State& state) {
    VsMemcpy(state, [](Buffers& b) { QUB_FlipHorizontal32(b.image.data(), kWidth, kHeight); });
}

void BM_FlipVertical(benchmark::State& state) {
    VsMemcpy(state, [](Buffers& b) { QUB_FlipVertical32(b.image.data(), kWidth, kHeight); });
}

// A rotation writes a second buffer, as the library does after reading the
// picture into a temporary copy.
void BM_RotateRight(benchmark::State& state) {
    VsMemcpy(state, [](Buffers& b) { QUB_RotateRight32(b.image.data(), kWidth, kHeight, b.other.data()); });
}

void BM_RotateLeft(benchmark::State& state) {
    VsMemcpy(state, [](Buffers& b) { QUB_RotateLeft32(b.image.data(), kWidth, kHeight, b.other.data()); });
}

void BM_PatternRgb(benchmark::State& state) {
    VsMemcpy(state, [](Buffers& b) { QUB_TestPatternRgb32(b.other.data(), kWidth, kHeight); });
}

void BM_PatternHsv(benchmark::State& state) {
    VsMemcpy(state, [](Buffers& b) { QUB_TestPatternHsv32(b.other.data(), kWidth, kHeight); });
}

void BM_PatternYCrCb(benchmark::State& state) {
    VsMemcpy(state, [](Buffers& b) { QUB_TestPatternYCrCb32(b.other.data(), kWidth, kHeight); });
}

void BM_PatternYuv(benchmark::State& state) {
    VsMemcpy(state, [](Buffers& b) { QUB_TestPatternYuv32(b.other.data(), kWidth, kHeight); });
}

void BM_PatternYiq(benchmark::State& state) {
    VsMemcpy(state, [](Buffers& b) { QUB_TestPatternYiq32(b.other.data(), kWidth, kHeight); });
}

void BM_PatternGrey(benchmark::State& state) {
    VsMemcpy(state, [](Buffers& b) { QUB_TestPatternGrey32(b.other.data(), kWidth, kHeight); });
}

// The whole picture one colour, filled from the middle: every pixel is part
// of the region. Alternating the colour keeps each fill a full one.
void BM_FloodFillWhole(benchmark::State& state) {
    Buffers& b = Shared();
    std::fill(b.other.begin(), b.other.end(), 0x00203040u);
    uint32_t colour = 0x00A0B0C0u;
    VsMemcpy(state, [&colour](Buffers& bb) {
        QUB_FloodFill32(bb.other.data(), kWidth, kHeight, kWidth / 2, kHeight / 2, colour);
        colour ^= 0x00808080u;
    });
}

}  // namespace

BENCHMARK(BM_Memcpy)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Invert)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FlipHorizontal)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FlipVertical)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RotateRight)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RotateLeft)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PatternRgb)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PatternHsv)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PatternYCrCb)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PatternYuv)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PatternYiq)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PatternGrey)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FloodFillWhole)->Unit(benchmark::kMillisecond);
