// The alignment estimate on a real photograph (a nuthatch on a tree trunk, from
// Debian's lomiri-wallpapers-20.04, reduced to 1200 x 675 PPM by the build):
// the left view a crop of it, the right view the photograph resampled through
// known misalignments with a constant parallax, as a flat scene seen by a
// second camera, with its own exposure and noise. Detail sits on the left
// half only: the right half is an out-of-focus background.
#include <gtest/gtest.h>

#include <cstdio>
#include <vector>

#include "app/auto_align.h"
#include "tests/host/align_scenes.h"

namespace {

// A binary PPM (P6, maxval 255, no comments, as the build writes it); empty
// on any other input.
TestView ReadPpm(const char* path) {
    TestView v;
    FILE* file = std::fopen(path, "rb");
    int w = 0, h = 0;
    if (file != nullptr && std::fscanf(file, "P6 %d %d 255%*c", &w, &h) == 2 && w > 0 && h > 0) {
        std::vector<unsigned char> rgb(static_cast<size_t>(w) * h * 3);
        if (std::fread(rgb.data(), 1, rgb.size(), file) == rgb.size()) {
            v = TestView{w, h, {}};
            for (size_t k = 0; k < rgb.size(); k += 3)
                v.pixels.push_back(static_cast<uint32_t>(rgb[k]) << 16 | rgb[k + 1] << 8 |
                                   rgb[k + 2]);
        }
    }
    if (file != nullptr) std::fclose(file);
    return v;
}

const TestView& Photo() {
    static const TestView photo = ReadPpm(QUB_ALIGN_PHOTO);
    return photo;
}

constexpr int kOriginX = 120, kOriginY = 60, kWidth = 960, kHeight = 540;
constexpr double kParallax = -14.5;

TEST(AutoAlignPhoto, KnownMisalignments) {
    const TestView& photo = Photo();
    ASSERT_EQ(photo.width, 1200) << "no photograph at " QUB_ALIGN_PHOTO
                                    " (scripts/setup.sh installs lomiri-wallpapers-20.04)";
    ASSERT_EQ(photo.height, 675);
    TestView left{kWidth, kHeight, {}};
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x)
            left.pixels.push_back(
                photo.pixels[static_cast<size_t>(y + kOriginY) * photo.width + x + kOriginX]);
    const double cases[][3] = {
        {-12, 0, 1}, {-2.5, 0.2, 1}, {0.25, -1, 1}, {7.75, 1, 1.005}, {3, -0.2, 0.995}};
    uint32_t seed = 5;
    for (const auto& c : cases) {
        const Misalignment m{c[0], c[1], c[2], 1.1, -8, 2, seed++};
        const TestView right =
            ResampleThrough(photo, kOriginX, kOriginY, kWidth, kHeight, kParallax, m);
        const PairEstimate e = EstimatePairAlignment(left.pixels.data(), kWidth, kHeight,
                                                     right.pixels.data(), kWidth, kHeight);
        SCOPED_TRACE(c[0]);
        EXPECT_GE(e.confidence, kAlignConfident) << AlignReasonText(e.reason);
        EXPECT_NEAR(e.verticalOffset, c[0], 0.25);
        EXPECT_NEAR(e.rotationDegrees, c[1], 0.05);
        EXPECT_NEAR(e.verticalScale, c[2], 0.001);
        EXPECT_NEAR(e.nearParallax, kParallax, 1.0);
        EXPECT_NEAR(e.farParallax, kParallax, 1.0);
    }
}

}  // namespace
