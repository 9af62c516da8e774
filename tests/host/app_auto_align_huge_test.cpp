// A 24-megapixel pair (two 4000 x 3000 views): analysed on a reduced copy,
// as accurate in full-resolution pixels as the small pairs, and the most heap
// the estimate holds stays under a fifth of the views' size. Its own
// program, because counting the heap replaces the global operator new.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <vector>

#include "app/auto_align.h"
#include "tests/host/align_memory.h"
#include "tests/host/align_scenes.h"

namespace {

// `factor` times larger, bilinear: big pixel X shows small (X - (f - 1) / 2) / f,
// so both views grow about their centres and the truth scales with them.
TestView Enlarge(const TestView& small, int factor) {
    TestView big{small.width * factor, small.height * factor, {}};
    big.pixels.resize(static_cast<size_t>(big.width) * big.height);
    const double half = (factor - 1) / 2.0;
    for (int y = 0; y < big.height; ++y)
        for (int x = 0; x < big.width; ++x) {
            double rgb[3] = {0, 0, 0};
            const double sx = std::min(std::max((x - half) / factor, 0.0), small.width - 1.0);
            const double sy = std::min(std::max((y - half) / factor, 0.0), small.height - 1.0);
            SampleView(small, sx, sy, rgb);
            big.pixels[static_cast<size_t>(y) * big.width + x] =
                static_cast<uint32_t>(rgb[0] + 0.5) << 16 |
                static_cast<uint32_t>(rgb[1] + 0.5) << 8 | static_cast<uint32_t>(rgb[2] + 0.5);
        }
    return big;
}

TEST(AutoAlignHuge, ReducedCopyInBoundedMemory) {
    Misalignment m;
    m.offset = 2.1;
    m.rotationDegrees = 0.4;
    m.scale = 1.003;
    m.gain = 0.9;
    m.noise = 2;
    const TexturedPair small = MakeTexturedPair(800, 600, 12, -36, m, 8);
    const TestView left = Enlarge(small.left, 5), right = Enlarge(small.right, 5);
    const size_t before = HeldHeapBytes();
    ResetPeakHeap();
    const PairEstimate e = EstimatePairAlignment(left.pixels.data(), left.width, left.height,
                                                 right.pixels.data(), right.width, right.height);
    const size_t extra = PeakHeapBytes() - before;
    const size_t views = 2 * left.pixels.size() * sizeof(uint32_t);
    EXPECT_LE(extra, views / 5);
    EXPECT_GE(e.confidence, kAlignConfident) << AlignReasonText(e.reason);
    EXPECT_EQ(e.width, 4000);
    EXPECT_NEAR(e.verticalOffset, 5 * m.offset, 0.25);
    EXPECT_NEAR(e.rotationDegrees, m.rotationDegrees, 0.05);
    EXPECT_NEAR(e.verticalScale, m.scale, 0.001);
    EXPECT_NEAR(e.nearParallax, 5 * -36, 1.0);
    EXPECT_NEAR(e.farParallax, 5 * 12, 1.0);
    std::printf("peak extra heap %.2f MB, %.3f of the views\n", static_cast<double>(extra) / 1e6,
                static_cast<double>(extra) / static_cast<double>(views));
}

}  // namespace
