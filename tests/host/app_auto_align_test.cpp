// The alignment estimate on pairs of known truth, pairs that cannot be aligned,
// and the engine's parts against plain formulas.
#include <gtest/gtest.h>
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>
#include "app/align_fit.h"
#include "app/align_pyramid.h"
#include "app/auto_align.h"
#include "app/compose.h"
#include "tests/host/align_scenes.h"
#include "tools/sample_pair_params.h"
#include "tools/sample_scene.h"

namespace {
// The sample scene: the ball is the nearest layer, the wall the farthest.
constexpr double kNear = -kSampleBallDisparity, kFar = -kSampleBackgroundDisparity;

const TestView& Left() {
    static const TestView left = SampleLeft();
    return left;
}

PairEstimate Estimate(const TestView& l, const TestView& r) {
    return EstimatePairAlignment(l.pixels.data(), l.width, l.height, r.pixels.data(), r.width,
                                 r.height);
}

TestView Crop(const TestView& v, int x0, int y0, int width, int height) {
    TestView out{width, height, {}};
    for (int y = y0; y < y0 + height; ++y)
        for (int x = x0; x < x0 + width; ++x)
            out.pixels.push_back(v.pixels[static_cast<size_t>(y) * v.width + x]);
    return out;
}

// A darker, noisier right view, as from a second camera.
Misalignment Spoilt(double offset, double degrees, double scale, uint32_t seed) {
    return Misalignment{offset, degrees, scale, 0.85, 6, 3, seed};
}

void ExpectTruth(const PairEstimate& e, const Misalignment& m, double nearP, double farP) {
    EXPECT_TRUE(e.confidence >= kAlignConfident && e.reason == AlignReason::None)
        << AlignReasonText(e.reason);
    EXPECT_NEAR(e.verticalOffset, m.offset, 0.25);
    EXPECT_NEAR(e.rotationDegrees, m.rotationDegrees, 0.05);
    EXPECT_NEAR(e.verticalScale, m.scale, 0.001);
    EXPECT_NEAR(e.nearParallax, nearP, 1.0);
    EXPECT_NEAR(e.farParallax, farP, 1.0);
    EXPECT_GE(e.matches, 40);
}

TEST(AutoAlign, SamplePairAsRendered) {
    const Misalignment rendered{kSampleVerticalShift, 0, 1, 1, 0, 0, 1};
    const TestView right = SampleRight(rendered);
    const PairEstimate e = Estimate(Left(), right);
    ExpectTruth(e, rendered, kNear, kFar);
    const StereoOffsets o = OffsetsFor(e);
    EXPECT_TRUE(o.i == kSampleAlignI && o.farA == kSampleAlignA) << o.i << " " << o.farA;
    EXPECT_EQ(o.windowA, kSampleBallDisparity + 1);
}

// The sample scene's right view, also cropped by 17 columns and 9 rows (a plain
// shift about the left view's centre); a textured pair of wide parallax.
TEST(AutoAlign, KnownMisalignmentsAreFound) {
    enum Scene { kSample, kCropped, kTextured };
    const struct {
        Scene scene;
        double offset, degrees, scale;
    } cases[] = {
        {kSample, -12.0, 0, 1},   {kSample, 3.3, -1.0, 1},        {kSample, 7.75, 0, 1},
        {kSample, -4.6, 0.2, 0.995}, {kCropped, 5.0, 0.3, 1}, {kTextured, -1.4, -0.6, 1.003},
        {kTextured, 7.75, 1, 1.005},
    };
    uint32_t seed = 11;
    for (const auto& c : cases) {
        const Misalignment m = Spoilt(c.offset, c.degrees, c.scale, seed++);
        SCOPED_TRACE(testing::Message() << c.scene << ": " << c.offset);
        if (c.scene == kSample) ExpectTruth(Estimate(Left(), SampleRight(m)), m, kNear, kFar);
        if (c.scene == kCropped) {
            const TestView right = SampleRight(m);
            ExpectTruth(Estimate(Left(), Crop(right, 17, 9, right.width - 40, right.height - 30)),
                        Spoilt(c.offset - 9, c.degrees, c.scale, 0), kNear - 17, kFar - 17);
        }
        if (c.scene == kTextured) {
            const TexturedPair pair = MakeTexturedPair(900, 600, 35.0, -42.5, m, 5);
            ExpectTruth(Estimate(pair.left, pair.right), m, -42.5, 35.0);
        }
    }
}

// A real rectified pair whose right view a second camera saw: keystone, a
// difference of radial distortion, or both, on top of offset, turn and scale;
// the keystone of 0.1 moves corner rows by 36 pixels, which no model of a
// few terms removes to half a pixel, yet removing 16 rows of disparity is
// worth aligning. Checked without the estimate's matches: every seventh point
// of the aligned view, as the resampler maps it, against the row the truth
// puts it on, bounded by the best the chosen model does on the same points;
// and the resampler's pixels against the right view where the model says.
TEST(AutoAlign, TwoCameraPairsFromAPhotograph) {
    const TestView left = ReadPpm(QUB_PHOTO_PAIR "left.ppm");
    const TestView ideal = ReadPpm(QUB_PHOTO_PAIR "right.ppm");
    ASSERT_TRUE(left.width == 741 && ideal.width == 741) << "scripts/testdata.sh fetches the pair";
    const auto kKeystone = VerticalModel::Keystone, kBoth = VerticalModel::KeystoneRadial;
    const struct {
        Misalignment m;
        VerticalModel model;
    } cases[] = {
        {{0, 0, 1, 1, 0, 0, 1}, VerticalModel::Similarity},
        {{-7.5, 0.6, 1.004, 0.85, 6, 3, 5}, VerticalModel::Similarity},
        {{14, 0.5, 1.0, 0.9, 4, 2, 9, 0.03, 0.0, 0.0}, kKeystone},
        {{12.5, -0.8, 1.01, 0.9, 0, 2, 6, -0.012, 0.008, 0}, kKeystone},
        {{-6, -0.5, 0.995, 1, 0, 2, 7, 0, 0, 0.015}, kBoth},
        {{13, 1.0, 1.004, 0.9, 4, 2, 8, -0.01, 0.005, -0.012}, kBoth},
        {{14, 0.5, 1.0, 0.9, 4, 2, 9, 0.1, 0.06, 0.0}, kKeystone},
    };
    for (const auto& c : cases) {
        const TestView right = Misalign(ideal, c.m);
        const PairEstimate e = Estimate(left, right);
        SCOPED_TRACE(testing::Message() << c.m.offset << " " << VerticalModelText(e.model));
        EXPECT_GE(e.confidence, kAlignConfident);
        EXPECT_EQ(e.model, c.model);
        EXPECT_NEAR(e.verticalOffset, c.m.offset, 0.3);
        EXPECT_NEAR(e.rotationDegrees, c.m.rotationDegrees, 0.05 + 2 * std::fabs(c.m.keystoneX));
        const int i = OffsetsFor(e).i;
        std::vector<uint32_t> out(right.pixels.size());
        ResampleRightView(e, right.pixels.data(), right.width, right.height, i, out.data());
        AlignModel best{(left.width - 1) / 2.0, (left.height - 1) / 2.0};
        best.unit = best.cx;
        best.terms = kAlignModelTerms[static_cast<int>(e.model)];
        std::vector<AlignMatch> truth;
        double squares = 0, bestSquares = 0, worst = 0;
        for (int y = 10; y < left.height - 10; y += 7)
            for (int x = 10; x < left.width - 10; x += 7) {
                double xr, yr, ix, iy, rgb[3];
                IdealToRightView(e, x, y + i, xr, yr);
                if (!SampleView(right, xr, yr, rgb)) continue;
                MisalignedToIdeal(c.m, right.width, right.height, xr, yr, ix, iy);
                squares += (iy - y - i) * (iy - y - i);
                truth.push_back({ix, iy, xr, yr});
                const uint32_t shown = out[static_cast<size_t>(y) * left.width + x];
                worst = std::max(worst, std::fabs((shown >> 8 & 255) - rgb[1]));
            }
        EXPECT_LE(worst, 1.0) << "the resampler samples where the model says";
        // A turn of half a degree takes a top corner out of the right view: black.
        EXPECT_TRUE(std::fabs(c.m.rotationDegrees) < 0.5 || out[0] == 0 || out[left.width - 1] == 0);
        ASSERT_TRUE(FitModel(truth, nullptr, best));
        for (const AlignMatch& m : truth) bestSquares += best.Residual(m) * best.Residual(m);
        EXPECT_LE(std::sqrt(squares / static_cast<double>(truth.size())),
                  std::sqrt(bestSquares / static_cast<double>(truth.size())) + 0.25);
        EXPECT_LT(e.residualAfter, 0.3 + 3 * std::fabs(c.m.keystoneX)) << e.residualBefore;
    }
    // Places in the left third only: the richer terms would be guesses elsewhere.
    TestView third = Misalign(ideal, cases[2].m), leftThird = left;
    for (TestView* v : {&third, &leftThird})
        for (size_t y = 0; y < 500; ++y) std::fill_n(v->pixels.begin() + y * 741 + 250, 491, 0x808080u);
    EXPECT_EQ(Estimate(leftThird, third).model, VerticalModel::Similarity);
}

// Pairs that cannot be aligned, and why: a blank view; unrelated pictures; a
// right view whose lower half lies four rows lower than its upper half.
TEST(AutoAlign, PairsThatCannotBeAligned) {
    const TestView blank{320, 240, std::vector<uint32_t>(320 * 240, 0x808080u)};
    const TexturedPair other = MakeTexturedPair(640, 480, 0, 0, Misalignment{}, 77);
    TestView split = SampleRight(Spoilt(6, 0, 1, 81));
    const TestView lower = SampleRight(Spoilt(10, 0, 1, 82));
    std::copy(lower.pixels.begin() + lower.pixels.size() / 2, lower.pixels.end(),
              split.pixels.begin() + split.pixels.size() / 2);
    const auto kTexture = AlignReason::TooLittleTexture, kOther = AlignReason::None;
    const struct {
        const TestView &left, &right;
        AlignReason reason;  // kOther: any but none and too little texture
    } cases[] = {{blank, blank, kTexture},
                 {Left(), other.left, kOther},
                 {Left(), split, AlignReason::FitDoesNotHold}};
    for (const auto& c : cases) {
        const PairEstimate e = Estimate(c.left, c.right);
        EXPECT_LT(e.confidence, kAlignConfident) << AlignReasonText(e.reason);
        EXPECT_TRUE(c.reason == kOther ? e.reason != kTexture : e.reason == c.reason);
        EXPECT_NE(e.reason, AlignReason::None);
    }
    EXPECT_STREQ(AlignReasonText(AlignReason::FitDoesNotHold), "the fit does not hold");
}

TEST(AutoAlign, TinyAndMissingViews) {
    const uint32_t pixel = 0x123456;
    EXPECT_EQ(EstimatePairAlignment(&pixel, 1, 1, &pixel, 1, 1).reason,
              AlignReason::TooLittleTexture);
    const TexturedPair square = MakeTexturedPair(400, 400, 0, 0, Misalignment{}, 3);
    EXPECT_EQ(Estimate(square.left, Crop(square.right, 0, 0, 20, 400)).confidence, 0)
        << "one narrow view is enough to refuse";
    EXPECT_EQ(EstimatePairAlignment(&pixel, 1, -5, nullptr, 1, 1).confidence, 0);
}

// Offsets: -3.5 rounds half up to -3, so i = 3; the window a puts the nearest
// point at least half a pixel behind. Depth: 30.4 px of the 1179 shown is
// within 1/30, but on a 3 m screen the far points lie 79 mm apart, past the
// eyes; 60 px (1/20) is strong; 100 px too deep.
TEST(AutoAlign, OffsetsAndDepthBudget) {
    PairEstimate e{1200, 800, -3.5, 0, 1, -20.2, 9.9, 0, 0, 0, 0, AlignReason::None, 1, 0};
    const StereoOffsets o = OffsetsFor(e);
    EXPECT_TRUE(o.i == 3 && o.farA == -10 && o.windowA == 21) << o.i << " " << o.farA;
    EXPECT_NEAR(JudgeDepthBudget(e, 21, 1000).farScreenMm, 30.9 * 1000 / 1179, 1e-9);
    const struct {
        double deviation;
        int windowA, screenMm;
        DepthVerdict verdict;
        const char* text;
    } cases[] = {{30.4, 21, 3000, DepthVerdict::TooDeep, "too deep"},
                 {30.4, 21, 0, DepthVerdict::Comfortable, "comfortable"},
                 {60, 21, 0, DepthVerdict::Strong, "strong"},
                 {100, -1200, 0, DepthVerdict::TooDeep, "too deep"}};
    for (const auto& c : cases) {
        e.farParallax = e.nearParallax + c.deviation;
        const DepthVerdict v = JudgeDepthBudget(e, c.windowA, c.screenMm).verdict;
        EXPECT_EQ(v, c.verdict) << c.deviation << " " << c.screenMm;
        EXPECT_STREQ(DepthVerdictText(v), c.text);
    }
}

TEST(AlignPyramid, ReductionFactorKeepsEitherViewSmall) {
    // 4000 x 3000 gives 1000 x 750; the larger view decides; 9 would leave 1333 x 1000.
    const int cases[][5] = {{4000, 3000, 4000, 3000, 4}, {640, 480, 6000, 4000, 5},
                            {12000, 9000, 100, 100, 10}, {0, 0, 0, 0, 1}};
    for (const auto& c : cases) EXPECT_EQ(AnalysisReduction(c[0], c[1], c[2], c[3]), c[4]) << c[0];
}

TEST(AlignFit, RecoversTheSimilarityWhateverTheParallax) {
    const double theta = 0.9 * 3.14159265358979323846 / 180, s = 1.004;
    const AlignModel truth{499.5, 374.5, std::cos(theta) / s, std::sin(theta) / s, -3.75};
    // Places at parallaxes from -60 to +20; every third one a mismatch a few rows off.
    std::vector<AlignMatch> matches;
    uint32_t state = 99;
    for (int k = 0; k < 300; ++k) {
        state = state * 1664525u + 1013904223u;
        const double xl = 20 + (state >> 8) % 960, yl = 20 + (state >> 4) % 710;
        const double p = -60 + (k * 37) % 81;
        double xr, yr;
        truth.RightOf(xl, yl, p, xr, yr);
        EXPECT_NEAR(truth.Parallax({xl, yl, xr, yr}) + truth.LeftRowOf(xr, yr), p + yl, 1e-9);
        if (k % 3 == 0) yr += 2 + (k % 7);
        matches.push_back({xl, yl, xr, yr});
    }
    AlignModel model{truth.cx, truth.cy};
    ASSERT_EQ(RansacModel(matches, 0.5, 200, model), 200);
    std::vector<char> inlier;
    double scale = 0;
    EXPECT_EQ(RefineModel(matches, 0.01, 0.5, model, inlier, scale), 200);
    EXPECT_TRUE(std::fabs(model.e - truth.e) + std::fabs(model.f - truth.f) < 1e-12);
    EXPECT_NEAR(model.t, truth.t, 1e-9);
    for (int k = 0; k < 300; ++k) EXPECT_EQ(inlier[k], k % 3 != 0) << k;
    // 0.1 / (sqrt(200) * about 277, the spread of x): 2.6e-5.
    EXPECT_NEAR(SlopeUncertainty(matches, inlier, model, 0.1), 2.6e-5, 0.3e-5);
}

TEST(AlignFit, QuantileAndArctangent) {
    std::vector<double> v = {5, 1, 4, 2, 3};
    EXPECT_TRUE(Quantile(v, 1) == 5 && std::fabs(Quantile(v, 0.3) - 2.2) < 1e-12);
    for (double y = -3; y <= 3; y += 0.0625)
        for (double x = -3; x <= 3; x += 0.1875)
            EXPECT_NEAR(PortableAtan2(y, x), std::atan2(y, x), 2e-15) << y << "," << x;
    EXPECT_NEAR(PortableAtan2(1e-6, 1), std::atan2(1e-6, 1), 1e-21);
    EXPECT_EQ(PortableAtan2(0, 0), 0);
}
}  // namespace
