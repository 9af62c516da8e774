// The alignment estimate on pairs whose truth the test knows: the sample
// scene with its right view resampled through known offsets, rotations and
// scales, with its own exposure and noise; textured pairs; pairs that cannot
// be aligned; odd sizes. Then what follows from an estimate.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <vector>

#include "app/auto_align.h"
#include "app/compose.h"
#include "tests/host/align_scenes.h"
#include "tools/sample_pair_params.h"

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

// A darker, noisier right view, as from a second camera.
Misalignment Spoilt(double offset, double degrees, double scale, uint32_t seed) {
    Misalignment m;
    m.offset = offset;
    m.rotationDegrees = degrees;
    m.scale = scale;
    m.gain = 0.85;
    m.bias = 6;
    m.noise = 3;
    m.seed = seed;
    return m;
}

void ExpectTruth(const PairEstimate& e, const Misalignment& m, double nearP, double farP) {
    EXPECT_GE(e.confidence, kAlignConfident) << AlignReasonText(e.reason);
    EXPECT_EQ(e.reason, AlignReason::None);
    EXPECT_NEAR(e.verticalOffset, m.offset, 0.25);
    EXPECT_NEAR(e.rotationDegrees, m.rotationDegrees, 0.05);
    EXPECT_NEAR(e.verticalScale, m.scale, 0.001);
    EXPECT_NEAR(e.nearParallax, nearP, 1.0);
    EXPECT_NEAR(e.farParallax, farP, 1.0);
    EXPECT_NEAR(e.nearParallaxPercent, 100 * e.nearParallax / e.width, 1e-9);
    EXPECT_GE(e.matches, 40);
}

TEST(AutoAlign, SamplePairAsRendered) {
    const TestView right = SampleRight(Misalignment{kSampleVerticalShift, 0, 1, 1, 0, 0, 1});
    const PairEstimate e = Estimate(Left(), right);
    ExpectTruth(e, Misalignment{kSampleVerticalShift, 0, 1, 1, 0, 0, 1}, kNear, kFar);
    EXPECT_EQ(e.width, kSampleViewWidth);
    const StereoOffsets o = OffsetsFor(e);
    EXPECT_EQ(o.i, kSampleAlignI);
    EXPECT_EQ(o.farA, kSampleAlignA);
    EXPECT_EQ(o.windowA, kSampleBallDisparity + 1);
    // The same pair again gives the same bits: no state carried between
    // runs, nothing uninitialised, no order that depends on addresses.
    const PairEstimate again = Estimate(Left(), right);
    const double a[] = {again.verticalOffset, again.rotationDegrees, again.verticalScale,
                        again.nearParallax,   again.farParallax,     again.confidence,
                        again.scaleCos,       again.scaleSin};
    const double b[] = {e.verticalOffset, e.rotationDegrees, e.verticalScale, e.nearParallax,
                        e.farParallax, e.confidence, e.scaleCos, e.scaleSin};
    EXPECT_EQ(std::memcmp(a, b, sizeof a), 0);
    EXPECT_EQ(again.matches, e.matches);
}

// Offsets, rotations and scales of the sample scene's right view; then a
// textured pair with wide parallax, and views of different sizes.
TEST(AutoAlign, KnownMisalignmentsAreFound) {
    const struct {
        double offset, degrees, scale;
        uint32_t seed;
    } cases[] = {
        {-12.0, 0, 1, 11}, {-2.5, 0, 1, 12},    {0.25, 0, 1, 13},       {7.75, 0, 1, 14},
        {3.3, 0.2, 1, 21}, {3.3, -0.2, 1, 22},  {3.3, 1.0, 1, 23},      {3.3, -1.0, 1, 24},
        {-4.6, 0.2, 1.005, 31},                 {-4.6, 0.2, 0.995, 32},
    };
    for (const auto& c : cases) {
        const Misalignment m = Spoilt(c.offset, c.degrees, c.scale, c.seed);
        SCOPED_TRACE(c.seed);
        ExpectTruth(Estimate(Left(), SampleRight(m)), m, kNear, kFar);
    }
    const Misalignment m = Spoilt(-1.4, -0.6, 1.003, 41);
    const TexturedPair pair = MakeTexturedPair(900, 600, 35.0, -42.5, m, 5);
    ExpectTruth(Estimate(pair.left, pair.right), m, -42.5, 35.0);
    // The right view cropped by 17 columns on the left and 9 rows on top:
    // about the left view's centre the crop is a plain shift.
    const TestView full = SampleRight(Spoilt(5.0, 0.3, 1, 51));
    TestView cropped{full.width - 40, full.height - 30, {}};
    for (int y = 0; y < cropped.height; ++y)
        for (int x = 0; x < cropped.width; ++x)
            cropped.pixels.push_back(full.pixels[static_cast<size_t>(y + 9) * full.width + x + 17]);
    ExpectTruth(Estimate(Left(), cropped), Spoilt(5.0 - 9, 0.3, 1, 51), kNear - 17, kFar - 17);
}

// Pairs that cannot be aligned, and why: a blank view; a plain wall with the
// sensor noise of two cameras; unrelated pictures; two textures of one kind
// from other seeds; a right view whose lower half lies four rows lower than
// its upper half (no similarity aligns it).
TEST(AutoAlign, PairsThatCannotBeAligned) {
    const TestView blank{320, 240, std::vector<uint32_t>(320 * 240, 0x808080u)};
    Misalignment noisy;
    noisy.noise = 2;
    const double grey[3] = {150, 140, 120};
    TestView wallL{400, 300, {}}, wallR{400, 300, {}};
    uint32_t stateL = 3, stateR = 4;
    for (int k = 0; k < 400 * 300; ++k) {
        wallL.pixels.push_back(Expose(noisy, grey, stateL));
        wallR.pixels.push_back(Expose(noisy, grey, stateR));
    }
    const TexturedPair other = MakeTexturedPair(640, 480, 0, 0, Misalignment{}, 77);
    const TexturedPair a = MakeTexturedPair(500, 400, 0, 0, Misalignment{}, 1);
    const TexturedPair b = MakeTexturedPair(500, 400, 0, 0, Misalignment{}, 2);
    TestView split = SampleRight(Spoilt(6, 0, 1, 81));
    const TestView lower = SampleRight(Spoilt(10, 0, 1, 82));
    std::copy(lower.pixels.begin() + lower.pixels.size() / 2, lower.pixels.end(),
              split.pixels.begin() + split.pixels.size() / 2);
    const auto kTexture = AlignReason::TooLittleTexture, kOther = AlignReason::None;
    const struct {
        const TestView &left, &right;
        AlignReason reason;  // kOther: any but none and too little texture
    } cases[] = {{blank, blank, kTexture},     {wallL, wallR, kTexture},
                 {Left(), other.left, kOther}, {Left(), other.right, kOther},
                 {a.left, b.right, kOther},    {Left(), split, AlignReason::FitDoesNotHold}};
    for (const auto& c : cases) {
        const PairEstimate e = Estimate(c.left, c.right);
        EXPECT_LT(e.confidence, kAlignConfident) << AlignReasonText(e.reason);
        if (c.reason != kOther) { EXPECT_EQ(e.reason, c.reason); }
        EXPECT_NE(e.reason, AlignReason::None);
        if (c.reason == kOther && &c.left == &Left()) { EXPECT_NE(e.reason, kTexture); }
    }
    const PairEstimate e = Estimate(blank, blank);
    EXPECT_TRUE(e.verticalOffset == 0 && e.verticalScale == 1);
    EXPECT_STREQ(AlignReasonText(AlignReason::FitDoesNotHold), "the fit does not hold");
}

TEST(AutoAlign, TinyAndMissingViews) {
    // Views under 64 pixels: never a confident wrong answer.
    const Misalignment m = Spoilt(2.0, 0, 1, 61);
    const TexturedPair pair = MakeTexturedPair(60, 44, 0, -3, m, 9);
    const PairEstimate e = Estimate(pair.left, pair.right);
    if (e.confidence >= kAlignConfident) {
        EXPECT_NEAR(e.verticalOffset, 2.0, 0.25);
    }
    const uint32_t pixel = 0x123456;
    EXPECT_EQ(EstimatePairAlignment(&pixel, 1, 1, &pixel, 1, 1).reason,
              AlignReason::TooLittleTexture);
    // One narrow view is enough to refuse.
    const TexturedPair square = MakeTexturedPair(400, 400, 0, 0, Misalignment{}, 3);
    TestView narrow{20, 400, {}};
    for (int y = 0; y < 400; ++y)
        for (int x = 0; x < 20; ++x)
            narrow.pixels.push_back(square.left.pixels[static_cast<size_t>(y) * 400 + x]);
    EXPECT_EQ(Estimate(narrow, square.right).confidence, 0);
    EXPECT_EQ(Estimate(square.left, narrow).confidence, 0);
    EXPECT_EQ(EstimatePairAlignment(nullptr, 0, 0, &pixel, 1, 1).confidence, 0);
    EXPECT_EQ(EstimatePairAlignment(&pixel, 1, -5, nullptr, 1, 1).confidence, 0);
}

TEST(AutoAlign, ResampledRightViewMatchesTheIdealOne) {
    const Misalignment m = Spoilt(2.7, 1.0, 1.005, 71);
    const TestView right = SampleRight(m);
    const PairEstimate e = Estimate(Left(), right);
    ASSERT_GE(e.confidence, kAlignConfident);
    // With i = 0 the whole misalignment goes; with i the ideal view's row
    // y + i lands on row y, for the composition to take off.
    const TestView ideal = SampleRight(Misalignment{});
    for (int i : {0, -3}) {
        std::vector<uint32_t> out(right.pixels.size(), 0xDEADBEEF);
        ResampleRightView(e, right.pixels.data(), right.width, right.height, i, out.data());
        double difference = 0;
        int count = 0;
        for (int y = 40; y < right.height - 40; ++y)
            for (int x = 40; x < right.width - 40; ++x) {
                const uint32_t p = out[static_cast<size_t>(y) * right.width + x];
                const uint32_t q = ideal.pixels[static_cast<size_t>(y + i) * right.width + x];
                // Green, through the right view's gain and bias.
                difference += std::fabs(((p >> 8) & 255) - (0.85 * ((q >> 8) & 255) + 6));
                ++count;
            }
        EXPECT_LT(difference / count, 5.0) << i;
        // Corners that fall outside the right view are black.
        EXPECT_EQ(out[0], 0u);
    }
}

TEST(AutoAlign, OffsetsAndDepthBudget) {
    PairEstimate e{};
    e.width = 1200;
    e.height = 800;
    e.verticalOffset = -3.5;  // halves round up: -3, so i = 3
    e.nearParallax = -20.2;
    e.farParallax = 9.9;
    StereoOffsets o = OffsetsFor(e);
    EXPECT_EQ(o.i, 3);
    EXPECT_EQ(o.farA, -10);
    EXPECT_EQ(o.windowA, 21);  // -20.2 + 21 = 0.8 >= 0.5; 20 would leave -0.2
    e.nearParallax = -20.5;
    EXPECT_EQ(OffsetsFor(e).windowA, 21);  // exactly half a pixel behind

    // Deviation 30.4 px of 1200 - 21 = 1179 shown: 2.6 %, within 1/30.
    e.nearParallax = -20.5;
    DepthBudget b = JudgeDepthBudget(e, 21, 1000);
    EXPECT_NEAR(b.deviation, 30.4, 1e-9);
    EXPECT_NEAR(b.deviationShare, 30.4 / 1179, 1e-12);
    EXPECT_NEAR(b.farScreenMm, 30.9 * 1000 / 1179, 1e-9);
    // The same pair on a 3 m screen: the far points 79 mm apart, past the eyes.
    // Deviation 60 px: 1/20 is strong, 100 px (1/12) too deep; nothing shown.
    const struct {
        double deviation;
        int windowA, screenMm;
        DepthVerdict verdict;
        const char* text;
    } cases[] = {{30.4, 21, 3000, DepthVerdict::TooDeep, "too deep"},
                 {30.4, 21, 1000, DepthVerdict::Comfortable, "comfortable"},
                 {30.4, 21, 0, DepthVerdict::Comfortable, "comfortable"},
                 {60, 21, 0, DepthVerdict::Strong, "strong"},
                 {100, 21, 0, DepthVerdict::TooDeep, "too deep"},
                 {100, -1200, 0, DepthVerdict::TooDeep, "too deep"}};
    for (const auto& c : cases) {
        e.farParallax = e.nearParallax + c.deviation;
        b = JudgeDepthBudget(e, c.windowA, c.screenMm);
        EXPECT_EQ(b.verdict, c.verdict) << c.deviation << " " << c.screenMm;
        EXPECT_STREQ(DepthVerdictText(b.verdict), c.text);
    }
}

}  // namespace
