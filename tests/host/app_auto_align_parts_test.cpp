// The alignment engine's parts on inputs small enough to check by hand or
// against a plain formula: the luma reduction, the model fit under
// outliers, peak picking and the portable arctangent.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <vector>

#include "app/align_fit.h"
#include "app/align_match.h"
#include "app/align_pyramid.h"

namespace {

uint32_t Luma256(uint32_t p) {
    return 77 * (p >> 16 & 255) + 150 * (p >> 8 & 255) + 29 * (p & 255);
}

TEST(AlignPyramid, ReductionAveragesBlocksOfLuma) {
    // 7 x 5, distinct channels everywhere; factor 2 leaves out the last column and row.
    std::vector<uint32_t> view;
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 7; ++x)
            view.push_back(static_cast<uint32_t>((37 * x + 11 * y) % 256) << 16 |
                           static_cast<uint32_t>((90 + 23 * y) % 256) << 8 |
                           static_cast<uint32_t>(200 - 19 * x));
    LumaImage one, two, half;
    ReduceToLuma(view.data(), 7, 5, 1, one);
    ASSERT_EQ(one.width, 7);
    for (int k = 0; k < 35; ++k)
        EXPECT_EQ(one.pixels[k], std::floor(Luma256(view[k]) * 4 / 256.0 + 0.5)) << k;
    ReduceToLuma(view.data(), 7, 5, 2, two);
    ASSERT_EQ(two.width, 3);
    ASSERT_EQ(two.height, 2);
    for (int v = 0; v < 2; ++v)
        for (int u = 0; u < 3; ++u) {
            double sum = 0;
            for (int j = 0; j < 2; ++j)
                for (int i = 0; i < 2; ++i) sum += Luma256(view[(2 * v + j) * 7 + 2 * u + i]);
            EXPECT_EQ(two.At(u, v), std::floor(sum / 256.0 + 0.5)) << u << "," << v;
        }
    HalveLuma(one, half);
    ASSERT_EQ(half.width, 3);
    ASSERT_EQ(half.height, 2);
    EXPECT_EQ(half.At(2, 1), (one.At(4, 2) + one.At(5, 2) + one.At(4, 3) + one.At(5, 3) + 2) / 4);
}

TEST(AlignPyramid, ReductionFactorKeepsEitherViewSmall) {
    // 4000 x 3000 gives 1000 x 750; the larger view decides; 9 would leave 1333 x 1000.
    const int cases[][5] = {{640, 480, 640, 480, 1},     {4000, 3000, 4000, 3000, 4},
                            {640, 480, 6000, 4000, 5},   {12000, 9000, 100, 100, 10},
                            {0, 0, 0, 0, 1},             {100000, 1, 1, 1, 1}};
    for (const auto& c : cases) EXPECT_EQ(AnalysisReduction(c[0], c[1], c[2], c[3]), c[4]) << c[0];
}

TEST(AlignFit, RecoversTheSimilarityWhateverTheParallax) {
    AlignModel truth;
    truth.cx = 499.5;
    truth.cy = 374.5;
    const double theta = 0.9 * 3.14159265358979323846 / 180, s = 1.004;
    truth.e = std::cos(theta) / s;
    truth.f = std::sin(theta) / s;
    truth.t = -3.75;
    // Places across the view at parallaxes from -60 to +20; every third one
    // a mismatch a few rows off.
    std::vector<AlignMatch> matches;
    uint32_t state = 99;
    for (int k = 0; k < 300; ++k) {
        state = state * 1664525u + 1013904223u;
        const double xl = 20 + (state >> 8) % 960, yl = 20 + (state >> 4) % 710;
        const double p = -60 + (k * 37) % 81;
        double xr, yr;
        truth.RightOf(xl, yl, p, xr, yr);
        EXPECT_NEAR(truth.Parallax({xl, yl, xr, yr}), p, 1e-9);
        EXPECT_NEAR(truth.LeftRowOf(xr, yr), yl, 1e-9);
        EXPECT_NEAR(truth.RightRowOf(yl, xr), yr, 1e-9);
        if (k % 3 == 0) yr += 2 + (k % 7);
        matches.push_back({xl, yl, xr, yr});
    }
    AlignModel model;
    model.cx = truth.cx;
    model.cy = truth.cy;
    ASSERT_EQ(RansacModel(matches, 0.5, 200, model), 200);
    std::vector<char> inlier;
    double scale = 0;
    EXPECT_EQ(RefineModel(matches, 0.01, 0.5, model, inlier, scale), 200);
    EXPECT_NEAR(model.e, truth.e, 1e-12);
    EXPECT_NEAR(model.f, truth.f, 1e-12);
    EXPECT_NEAR(model.t, truth.t, 1e-9);
    for (int k = 0; k < 300; ++k) EXPECT_EQ(inlier[k], k % 3 != 0) << k;
    // 0.1 / (sqrt(200) * about 277, the spread of x): 2.6e-5.
    EXPECT_NEAR(SlopeUncertainty(matches, inlier, model, 0.1), 2.6e-5, 0.3e-5);
}

TEST(AlignFit, CollinearPlacesDoNotDetermineTheModel) {
    std::vector<AlignMatch> matches;
    for (int k = 0; k < 20; ++k) matches.push_back({10.0 * k, 50, 10.0 * k, 52});
    AlignModel model;
    model.cx = 100;
    model.cy = 100;
    EXPECT_FALSE(FitModel(matches, nullptr, model));
    EXPECT_EQ(RansacModel(matches, 0.5, 50, model), 0);
}

TEST(AlignFit, QuantileAndArctangent) {
    std::vector<double> v = {5, 1, 4, 2, 3};
    EXPECT_EQ(Quantile(v, 0), 1);
    EXPECT_EQ(Quantile(v, 1), 5);
    EXPECT_DOUBLE_EQ(Quantile(v, 0.3), 2.2);
    for (double y = -3; y <= 3; y += 0.0625)
        for (double x = -3; x <= 3; x += 0.1875)
            EXPECT_NEAR(PortableAtan2(y, x), std::atan2(y, x), 2e-15) << y << "," << x;
    EXPECT_NEAR(PortableAtan2(1e-6, 1), std::atan2(1e-6, 1), 1e-21);
    EXPECT_EQ(PortableAtan2(0, 0), 0);
}

TEST(AlignMatch, PeakSkipsItsNeighboursAndKeepsToTheBand) {
    // 9 columns x 5 rows of scores: the best at (4, 2), a neighbour two
    // columns away that does not count as the runner-up, one three away that does.
    const AlignWindow w{100, 50, 9, 5};
    std::vector<double> s(45, 0.1);
    s[2 * 9 + 4] = 0.95;
    s[2 * 9 + 6] = 0.9;
    s[0 * 9 + 1] = 0.8;
    AlignPeak p = PickPeak(s, w, nullptr, nullptr);
    EXPECT_TRUE(p.found && p.x == 104 && p.y == 52 && p.best == 0.95 && p.second == 0.8);
    EXPECT_TRUE(Distinct(p));  // 0.05 <= 0.6 * 0.2
    s[0 * 9 + 1] = 0.93;
    EXPECT_FALSE(Distinct(PickPeak(s, w, nullptr, nullptr)));
    // A band of row 0 only: the best there is (1, 0).
    const std::vector<int> lo(9, 0), hi(9, 0);
    p = PickPeak(s, w, lo.data(), hi.data());
    EXPECT_TRUE(p.x == 101 && p.y == 50) << p.x << "," << p.y;
}

TEST(AlignMatch, CorrelationIgnoresGainAndOffset) {
    LumaImage a, b;
    a.width = b.width = 30;
    a.height = b.height = 20;
    uint32_t state = 5;
    for (int k = 0; k < 600; ++k) {
        state = state * 1664525u + 1013904223u;
        a.pixels.push_back(static_cast<uint16_t>(100 + (state >> 24)));
    }
    // b is a shifted by (3, -2), at half the contrast and brighter.
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 30; ++x) {
            const int sx = x - 3, sy = y + 2;
            b.pixels.push_back(static_cast<uint16_t>(
                sx >= 0 && sy < 20 ? 400 + a.At(sx, sy) / 2 : 0));
        }
    AlignPatch patch;
    ASSERT_TRUE(TakePatch(a, 12, 10, 4, patch));
    std::vector<double> scores;
    const AlignWindow w{10, 5, 8, 5};
    ScoreWindow(patch, b, w, scores);
    const AlignPeak p = PickPeak(scores, w, nullptr, nullptr);
    EXPECT_EQ(p.x, 15);
    EXPECT_EQ(p.y, 8);
    // Halving drops a bit of each pixel: close to 1, not exactly.
    EXPECT_GT(p.best, 0.99);
    EXPECT_LT(p.second, 0.6);
    EXPECT_FALSE(TakePatch(a, 3, 10, 4, patch));  // would leave the image
}

}  // namespace
