// MakeAnaglyph and MakeWiggleFrames on two 4000 x 3000 views, and memcpy of
// the same bytes. The machines are shared, so the numbers that matter are the
// ratios: the *VsMemcpy benchmarks time a composition and the matching memcpy
// alternately within each iteration and report memcpy time / composition time
// (1.0 = as fast as memcpy, the goal is at least 0.5).
//
// "The same bytes": the two views, 96 MB. MakeWiggleFrames copies exactly
// those into two frames; MakeAnaglyph reads them and writes one view's worth.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdint>
#include <cstring>
#include <vector>

#include "app/compose.h"

namespace {

constexpr int kHalf = 4000, kHeight = 3000;
constexpr size_t kPixels = static_cast<size_t>(kHalf) * kHeight;
constexpr size_t kViewBytes = kPixels * sizeof(uint32_t);

struct Views {
    std::vector<uint32_t> left, right, out1, out2;
    Views() : left(kPixels), right(kPixels), out1(kPixels), out2(kPixels) {
        // Photograph-like content is smooth, but random colours are the harder
        // case for the luminance's rare-colour branch.
        uint32_t state = 12345;
        for (size_t k = 0; k < kPixels; ++k) {
            state = state * 1664525u + 1013904223u;
            left[k] = state >> 8;
            state = state * 1664525u + 1013904223u;
            right[k] = state >> 8;
        }
    }
};

Views& Shared() {
    static Views views;
    return views;
}

void CopyTwoViews(Views& v) {
    std::memcpy(v.out1.data(), v.left.data(), kViewBytes);
    std::memcpy(v.out2.data(), v.right.data(), kViewBytes);
}

void BM_MemcpyTwoViews(benchmark::State& state) {
    Views& v = Shared();
    for (auto _ : state) {
        CopyTwoViews(v);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * 2 * kViewBytes);
}

void BM_MakeAnaglyph(benchmark::State& state) {
    Views& v = Shared();
    const int a = static_cast<int>(state.range(0)), i = static_cast<int>(state.range(1));
    for (auto _ : state) {
        MakeAnaglyph(kHalf, kHeight, v.left.data(), v.right.data(), v.out1.data(), a, i);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * 2 * kViewBytes);
}

void BM_MakeAnaglyphGrey(benchmark::State& state) {
    // Greys are the colours whose exact luminance is a whole number, where the
    // double sum lands just on or just below it; no colour may cost more.
    std::vector<uint32_t> grey(kPixels);
    for (size_t k = 0; k < kPixels; ++k) grey[k] = static_cast<uint32_t>(k % 256) * 0x010101u;
    Views& v = Shared();
    for (auto _ : state) {
        MakeAnaglyph(kHalf, kHeight, v.left.data(), grey.data(), v.out1.data(), 0, 0);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * 2 * kViewBytes);
}

void BM_MakeWiggleFrames(benchmark::State& state) {
    Views& v = Shared();
    const int a = static_cast<int>(state.range(0)), i = static_cast<int>(state.range(1));
    for (auto _ : state) {
        MakeWiggleFrames(kHalf, kHeight, v.left.data(), v.right.data(), v.out1.data(),
                         v.out2.data(), a, i);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * 2 * kViewBytes);
}

template <typename Compose>
void RatioToMemcpy(benchmark::State& state, Compose compose) {
    using Clock = std::chrono::steady_clock;
    Views& v = Shared();
    double memcpySeconds = 0, composeSeconds = 0;
    for (auto _ : state) {
        const auto t0 = Clock::now();
        CopyTwoViews(v);
        benchmark::ClobberMemory();
        const auto t1 = Clock::now();
        compose(v);
        benchmark::ClobberMemory();
        const auto t2 = Clock::now();
        memcpySeconds += std::chrono::duration<double>(t1 - t0).count();
        composeSeconds += std::chrono::duration<double>(t2 - t1).count();
    }
    state.counters["ratio"] = memcpySeconds / composeSeconds;
    state.counters["memcpy_GBps"] =
        2.0 * kViewBytes * static_cast<double>(state.iterations()) / memcpySeconds / 1e9;
}

void BM_AnaglyphVsMemcpy(benchmark::State& state) {
    RatioToMemcpy(state, [](Views& v) {
        MakeAnaglyph(kHalf, kHeight, v.left.data(), v.right.data(), v.out1.data(), 10, -4);
    });
}

void BM_WiggleFramesVsMemcpy(benchmark::State& state) {
    RatioToMemcpy(state, [](Views& v) {
        MakeWiggleFrames(kHalf, kHeight, v.left.data(), v.right.data(), v.out1.data(),
                         v.out2.data(), 10, -4);
    });
}

}  // namespace

BENCHMARK(BM_MemcpyTwoViews)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MakeAnaglyph)->Args({0, 0})->Args({10, -4})->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MakeAnaglyphGrey)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MakeWiggleFrames)->Args({0, 0})->Args({10, -4})->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AnaglyphVsMemcpy)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WiggleFramesVsMemcpy)->Unit(benchmark::kMillisecond);
