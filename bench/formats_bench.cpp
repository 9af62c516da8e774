// The wiggle GIF of a 1024 x 1024 stereo pair (two 4 MB views). As in the
// image benchmarks, each iteration times the encoder and a memcpy of both
// views' bytes alternately and reports x_memcpy = encoder time / memcpy time.
// Goal: the photograph well under a second (op_ms), whatever the ratio.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdint>
#include <cstring>
#include <vector>

#include "formats/gif_writer.h"
#include "imgproc/test_patterns.h"

namespace {

constexpr int kWidth = 1024, kHeight = 1024;
constexpr size_t kPixels = static_cast<size_t>(kWidth) * kHeight;
constexpr size_t kBytes = kPixels * sizeof(uint32_t);
constexpr int kShift = 6;  // the right view's disparity, in pixels

struct Pair {
    std::vector<uint32_t> left, right, copy;
    std::vector<uint8_t> file;
};

// A colour chart with pixel noise, as a photograph has more than 256 colours;
// the right view is the left moved sideways.
Pair& Photograph() {
    static Pair p = [] {
        Pair q{std::vector<uint32_t>(kPixels),
               std::vector<uint32_t>(kPixels),
               std::vector<uint32_t>(2 * kPixels),
               {}};
        QUB_TestPatternHsv32(q.left.data(), kWidth, kHeight);
        uint32_t seed = 1;
        for (uint32_t& c : q.left) {
            seed = seed * 1664525u + 1013904223u;
            c ^= (seed >> 24) & 0x070707u;
        }
        for (size_t y = 0; y < kHeight; ++y)
            for (size_t x = 0; x < kWidth; ++x)
                q.right[y * kWidth + x] = q.left[y * kWidth + (x + kShift) % kWidth];
        return q;
    }();
    return p;
}

// A drawing of eight flat colours: the exact path, no dithering.
Pair& Drawing() {
    static Pair p = [] {
        Pair q{std::vector<uint32_t>(kPixels),
               std::vector<uint32_t>(kPixels),
               std::vector<uint32_t>(2 * kPixels),
               {}};
        for (size_t y = 0; y < kHeight; ++y)
            for (size_t x = 0; x < kWidth; ++x) {
                const uint32_t band = static_cast<uint32_t>((x / 64 + y / 96) % 8);
                q.left[y * kWidth + x] = band * 0x1F2B37u;
                q.right[y * kWidth + (x + kShift) % kWidth] = band * 0x1F2B37u;
            }
        return q;
    }();
    return p;
}

GifFrameView ViewOf(const std::vector<uint32_t>& v) {
    return {reinterpret_cast<const uint8_t*>(v.data()), kWidth, kHeight, kWidth * sizeof(uint32_t)};
}

using Clock = std::chrono::steady_clock;

void VsMemcpy(benchmark::State& state, Pair& p) {
    double opSeconds = 0, copySeconds = 0;
    bool first = true;
    for (auto _ : state) {
        // Alternate which one goes first so that neither always meets a cache
        // the other has warmed.
        for (int pass = 0; pass < 2; ++pass) {
            if ((pass == 0) == first) {
                const auto t0 = Clock::now();
                QUB_WriteWiggleGif(ViewOf(p.left), ViewOf(p.right), 10, &p.file);
                benchmark::ClobberMemory();
                opSeconds += std::chrono::duration<double>(Clock::now() - t0).count();
            } else {
                const auto t0 = Clock::now();
                std::memcpy(p.copy.data(), p.left.data(), kBytes);
                std::memcpy(p.copy.data() + kPixels, p.right.data(), kBytes);
                benchmark::ClobberMemory();
                copySeconds += std::chrono::duration<double>(Clock::now() - t0).count();
            }
        }
        first = !first;
    }
    state.counters["x_memcpy"] = copySeconds > 0 ? opSeconds / copySeconds : 0;
    state.counters["op_ms"] = opSeconds * 1000.0 / static_cast<double>(state.iterations());
    state.counters["memcpy_ms"] = copySeconds * 1000.0 / static_cast<double>(state.iterations());
    state.counters["file_kb"] = static_cast<double>(p.file.size()) / 1024.0;
}

void BM_WigglePhotograph(benchmark::State& state) { VsMemcpy(state, Photograph()); }
void BM_WiggleDrawing(benchmark::State& state) { VsMemcpy(state, Drawing()); }

}  // namespace

BENCHMARK(BM_WigglePhotograph)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WiggleDrawing)->Unit(benchmark::kMillisecond);
