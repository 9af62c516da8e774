// The dense depth estimate on pairs of known disparity, its fill of what
// one view does not see, its independence from the thread count, what it
// refuses, and the pictures made from a map.
#include <gtest/gtest.h>
#include <cmath>
#include <cstdlib>
#include <functional>
#include "app/depth.h"
#include "tests/host/align_scenes.h"

namespace {
using Truth = std::function<double(int x, int y)>;

DisparityMap Estimate(const TestView& l, const TestView& r, int lo, int hi, int threads) {
    DisparityMap map;
    std::string error;
    EXPECT_TRUE(EstimateDisparity(l.pixels.data(), r.pixels.data(), l.width, l.height, lo, hi,
                                  threads, &map, &error)) << error;
    return map;
}

// Share of the pixels of [x0, x1) x [y0, y1) more than 2 pixels off the truth
// or without value.
double Bad2(const DisparityMap& m, const Truth& truth, int x0, int x1, int y0, int y1) {
    int bad = 0;
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x) {
            const int v = m.value[static_cast<size_t>(y) * m.width + x];
            bad += v == kNoDisparity || std::abs(v / 16.0 - truth(x, y)) > 2;
        }
    return bad / double((x1 - x0) * (y1 - y0));
}

// MakeTexturedPair's truth: the disc at disparity -nearP, the rest at -farP.
Truth DiscTruth(int w, int h, double farP, double nearP) {
    return [=](int x, int y) {
        const double dx = x - 0.62 * w, dy = y - 0.55 * h;
        return dx * dx + dy * dy < h * h / 36.0 ? -nearP : -farP;
    };
}

// The photograph's right view made from its left: right x shows left
// x + 6 + 10 x / width, a slanted plane; in the left view d = x - that x.
struct WarpedPhoto {
    TestView left = ReadPpm(QUB_PHOTO_PAIR "left.ppm"), right = left;
    WarpedPhoto() {
        for (int y = 0; y < left.height; ++y)
            for (int x = 0; x < left.width; ++x) {
                double rgb[3] = {0, 0, 0};
                SampleView(left, x + 6 + 10.0 * x / left.width, y, rgb);
                right.pixels[static_cast<size_t>(y) * left.width + x] =
                    uint32_t(rgb[0] + 0.5) << 16 | uint32_t(rgb[1] + 0.5) << 8 | uint32_t(rgb[2] + 0.5);
            }
    }
    double Truth(int x) const { return x - (x - 6) / (1 + 10.0 / left.width); }
};

TEST(Depth, KnownScenesWithinBad2) {
    const Misalignment exact, camera{0, 0, 1, 0.85, 6, 4, 3};
    const struct {
        double farP, nearP;
        Misalignment m;
        int lo, hi;
        double most;  // bad-2 bound over the whole view
    } cases[] = {
        {-5, -25, exact, 0, 32, 0.03},
        {-5, -25, camera, -2, 30, 0.04},  // exposure, gain and noise differ
        {10, -12, camera, -16, 16, 0.04},  // disparities on both sides of 0
        {-20, -140, exact, 10, 150, 0.04},  // a range the coarsest level halves
    };
    for (const auto& c : cases) {
        const TexturedPair p = MakeTexturedPair(401, 299, c.farP, c.nearP, c.m, 4);
        const DisparityMap map = Estimate(p.left, p.right, c.lo, c.hi, 2);
        EXPECT_LE(Bad2(map, DiscTruth(401, 299, c.farP, c.nearP), 0, 401, 0, 299), c.most) << c.nearP;
    }
    const WarpedPhoto photo;
    ASSERT_EQ(photo.left.width, 741) << "scripts/testdata.sh fetches the photograph";
    const DisparityMap map = Estimate(photo.left, photo.right, 0, 24, 2);
    EXPECT_LE(Bad2(map, [&](int x, int) { return photo.Truth(x); }, 0, 741, 0, 500), 0.05);
}

TEST(Depth, HiddenAndBorderPixelsTakeTheBackground) {
    // Disc at d = 30 over a background at d = 6: the right view does not see
    // the 24 pixels left of the disc, nor the first 6 columns.
    const int w = 401, h = 299;
    const TexturedPair p = MakeTexturedPair(w, h, -6, -30, Misalignment{}, 8);
    const DisparityMap map = Estimate(p.left, p.right, 0, 36, 1);
    const Truth truth = DiscTruth(w, h, -6, -30);
    const int discLeft = static_cast<int>(0.62 * w - h / 6.0), cy = static_cast<int>(0.55 * h);
    const struct {
        int x0, x1, y0, y1;
    } strips[] = {{discLeft - 22, discLeft - 2, cy - 15, cy + 15}, {0, 6, 0, h}};
    for (const auto& s : strips) EXPECT_LE(Bad2(map, truth, s.x0, s.x1, s.y0, s.y1), 0.05) << s.x0;
}

TEST(Depth, ThreadCountDoesNotChangeTheMap) {
    // A range over 100 wide: a coarser level first, then bands around it.
    const TexturedPair p = MakeTexturedPair(333, 517, -3, -90, Misalignment{0, 0, 1, 0.9, 4, 3, 2}, 6);
    const DisparityMap one = Estimate(p.left, p.right, -4, 110, 1);
    for (int threads : {2, 3, 7}) EXPECT_EQ(Estimate(p.left, p.right, -4, 110, threads).value, one.value);
}

TEST(Depth, RefusesWithoutAllocating) {
    const std::vector<uint32_t> px(64 * 64, 0x808080);
    const uint32_t* v = px.data();
    const struct {
        const uint32_t* left;
        int w, h, lo, hi;
    } cases[] = {
        {nullptr, 64, 64, 0, 8}, {v, 0, 64, 0, 8},       {v, 64, -1, 0, 8},
        {v, 64, 64, 9, 8},       {v, 64, 64, 0, 2001},   {v, 64, 64, -2001, 0},
        {v, 64, 64, -32, 32},    {v, 40000, 64, 0, 8},   {v, 20000, 20000, 0, 8},
        {v, 4000, 60, -1999, 1999},  // a wide range on a short view: gigabytes per band
    };
    for (const auto& c : cases) {
        DisparityMap map{1, 1, {0}};
        std::string error;
        EXPECT_FALSE(EstimateDisparity(c.left, v, c.w, c.h, c.lo, c.hi, 2, &map, &error)) << c.w;
        EXPECT_TRUE(!error.empty() && map.value.empty() && map.width == 0);
    }
}

TEST(Depth, RangeFromParallax) {
    const struct {
        double nearP, farP;
        int width, lo, hi;
    } cases[] = {
        {-40, -10, 640, -13, 63},    // span 30: 8 + 15 either way
        {-10, -40, 640, -13, 63},    // the two given the other way round
        {5, 5, 100, -13, 3},         // flat: 8 either way
        {-3000, 3000, 9000, -2000, 2000},  // clamped to the range accepted
        {-100, 0, 120, -10, 109},    // -58..158 trimmed evenly to 119 wide
    };
    for (const auto& c : cases) {
        int lo = 0, hi = 0;
        DisparityRangeFromParallax(c.nearP, c.farP, c.width, &lo, &hi);
        EXPECT_TRUE(lo == c.lo && hi == c.hi) << c.nearP << ": " << lo << " " << hi;
    }
}

TEST(Depth, DepthImageRgbdRowAndNearFar) {
    // A 20 x 10 ramp of 0..198 pixels, a far outlier at 0, no value at 199.
    DisparityMap map{20, 10, {}};
    for (int i = 0; i < 200; ++i) map.value.push_back(static_cast<int16_t>(i * 16));
    map.value[0] = -1000 * 16;
    map.value[199] = kNoDisparity;
    const std::vector<uint8_t> depth = DepthImage(map);
    // 1st and 99th percentiles of the 199 values: 1 and 196.
    const struct {
        int i, grey;
    } pixels[] = {{0, 0}, {1, 0}, {100, 129}, {196, 255}, {198, 255}, {199, 0}};
    for (const auto& p : pixels) EXPECT_EQ(depth[static_cast<size_t>(p.i)], p.grey) << p.i;
    double nearD = 0, farD = 0;
    ASSERT_TRUE(DisparityNearFar(map, &nearD, &farD));
    EXPECT_TRUE(nearD == 194 && farD == 3) << nearD << " " << farD;
    std::vector<uint32_t> left(200);
    for (int i = 0; i < 200; ++i) left[static_cast<size_t>(i)] = 0x10203u * static_cast<uint32_t>(i);
    std::vector<uint32_t> rgbd(40);
    RgbdRow(left.data() + 100, depth.data() + 100, 20, rgbd.data());
    for (size_t i = 0; i < 20; ++i)
        EXPECT_TRUE(rgbd[i] == left[100 + i] && rgbd[20 + i] == depth[100 + i] * 0x10101u) << i;
    DisparityMap flat{2, 1, {32, 32}}, empty{1, 1, {kNoDisparity}};
    EXPECT_EQ(DepthImage(flat), (std::vector<uint8_t>{128, 128}));
    EXPECT_FALSE(DisparityNearFar(empty, &nearD, &farD));
}
}  // namespace
