// The sample stereo pair is what its parameters say: aligned with the known
// offsets, each layer of the scene lines up exactly in the two views, and only
// with its own disparity.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "app/compose.h"
#include "tools/sample_pair_params.h"
#include "tools/sample_scene.h"

namespace {

constexpr int kW = kSampleViewWidth, kH = kSampleViewHeight;
constexpr size_t kPixels = static_cast<size_t>(kW) * kH;

struct RenderedPair {
    std::vector<uint32_t> left, right;
    std::vector<uint32_t> leftLayers, rightLayers;  // layer numbers as pixels
    RenderedPair() : left(kPixels), right(kPixels), leftLayers(kPixels), rightLayers(kPixels) {
        std::vector<uint8_t> layers(kPixels);
        RenderSampleView(SampleEye::Left, left.data(), layers.data());
        leftLayers.assign(layers.begin(), layers.end());
        RenderSampleView(SampleEye::Right, right.data(), layers.data());
        rightLayers.assign(layers.begin(), layers.end());
    }
};

const RenderedPair& Pair() {
    static const RenderedPair pair;
    return pair;
}

struct Agreement {
    long matching = 0;  // pixels of `layer` in both aligned views that are equal
    long total = 0;     // pixels of `layer` in both aligned views
};

Agreement AgreementOf(SampleLayer layer, int a, int i) {
    const RenderedPair& p = Pair();
    std::vector<uint32_t> f1(kPixels), f2(kPixels), l1(kPixels), l2(kPixels);
    MakeWiggleFrames(kW, kH, p.left.data(), p.right.data(), f1.data(), f2.data(), a, i);
    MakeWiggleFrames(kW, kH, p.leftLayers.data(), p.rightLayers.data(), l1.data(), l2.data(), a, i);
    const StereoOverlap overlap = AlignedOverlap(kW, kH, a, i);
    Agreement result;
    for (int y = 0; y < overlap.height; ++y)
        for (int x = 0; x < overlap.width; ++x) {
            const size_t k = static_cast<size_t>(y) * kW + x;
            if (l1[k] != layer || l2[k] != layer) continue;
            ++result.total;
            if (f1[k] == f2[k]) ++result.matching;
        }
    return result;
}

TEST(SamplePair, BackgroundLinesUpAtTheKnownAlignment) {
    const Agreement at = AgreementOf(kLayerWall, kSampleAlignA, kSampleAlignI);
    EXPECT_GT(at.total, static_cast<long>(kPixels / 2));
    EXPECT_EQ(at.matching, at.total);
    // One pixel off either way and the wall no longer lines up.
    for (auto [da, di] : {std::pair{1, 0}, std::pair{-1, 0}, std::pair{0, 1}, std::pair{0, -1}}) {
        const Agreement off = AgreementOf(kLayerWall, kSampleAlignA + da, kSampleAlignI + di);
        EXPECT_LT(off.matching, off.total / 4) << da << "," << di;
    }
}

TEST(SamplePair, EachLayerLinesUpAtItsOwnDisparity) {
    const std::pair<SampleLayer, int> layers[] = {{kLayerPanel, kSamplePanelDisparity},
                                                  {kLayerBoard, kSampleBoardDisparity},
                                                  {kLayerBall, kSampleBallDisparity}};
    for (auto [layer, disparity] : layers) {
        const Agreement at = AgreementOf(layer, disparity, kSampleAlignI);
        EXPECT_GT(at.total, 10000) << int{layer};
        EXPECT_EQ(at.matching, at.total) << int{layer};
        const Agreement background = AgreementOf(layer, kSampleAlignA, kSampleAlignI);
        EXPECT_LT(background.matching, background.total / 4) << int{layer};
    }
}

TEST(SamplePair, SavedSizeAtTheKnownAlignment) {
    const SavedPairSize size = SavedPairSizeFor(kW, kH, kSampleAlignA, kSampleAlignI);
    EXPECT_EQ(size.width, kSampleAlignedSaveWidth);
    EXPECT_EQ(size.height, kSampleAlignedSaveHeight);
    EXPECT_EQ(size.width, 1256);
    EXPECT_EQ(size.height, 474);
}

}  // namespace
