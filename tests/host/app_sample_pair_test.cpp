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

// Each layer lines up exactly at its own disparity (the wall at the known
// alignment) and not at the wall's; the wall not one pixel off either way.
TEST(SamplePair, EachLayerLinesUpAtItsOwnDisparity) {
    const std::pair<SampleLayer, int> layers[] = {{kLayerWall, kSampleAlignA},
                                                  {kLayerPanel, kSamplePanelDisparity},
                                                  {kLayerBoard, kSampleBoardDisparity},
                                                  {kLayerBall, kSampleBallDisparity}};
    for (auto [layer, disparity] : layers) {
        const Agreement at = AgreementOf(layer, disparity, kSampleAlignI);
        EXPECT_GT(at.total, layer == kLayerWall ? static_cast<long>(kPixels / 2) : 10000)
            << int{layer};
        EXPECT_EQ(at.matching, at.total) << int{layer};
        const std::pair<int, int> off[] = {
            {1, 0}, {-1, 0}, {0, 1}, {0, -1}, {kSampleAlignA - disparity, 0}};
        for (auto [da, di] : off) {
            // Only the wall is flat enough to fail one pixel off; the others at the wall's.
            if ((da == 0 && di == 0) || (layer != kLayerWall && da != kSampleAlignA - disparity))
                continue;
            const Agreement o = AgreementOf(layer, disparity + da, kSampleAlignI + di);
            EXPECT_LT(o.matching, o.total / 4) << int{layer} << ": " << da << "," << di;
        }
    }
    const SavedPairSize size = SavedPairSizeFor(kW, kH, kSampleAlignA, kSampleAlignI);
    EXPECT_EQ(size.width, kSampleAlignedSaveWidth);
    EXPECT_EQ(size.height, kSampleAlignedSaveHeight);
    EXPECT_TRUE(size.width == 1256 && size.height == 474);
}

}  // namespace
