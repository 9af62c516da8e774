// The alignment estimate on a real photograph (a nuthatch on a tree trunk, from
// Debian's lomiri-wallpapers-20.04, reduced to 1200 x 675 PPM by the build):
// the left view a crop of it, the right view the photograph resampled through
// known misalignments with a constant parallax, as a flat scene seen by a
// second camera, with its own exposure and noise. Detail sits on the left
// half only: the right half is an out-of-focus background.
#include <gtest/gtest.h>

#include <cctype>
#include <cstdio>
#include <string>

#include "app/auto_align.h"
#include "tests/host/align_scenes.h"

namespace {

// A binary PPM (P6, maxval 255); empty on any other input.
TestView ReadPpm(const char* path) {
    TestView v;
    FILE* file = std::fopen(path, "rb");
    if (file == nullptr) return v;
    auto token = [&]() {
        std::string t;
        int c = std::fgetc(file);
        while (c != EOF && (c == '#' || std::isspace(c))) {
            if (c == '#')
                while (c != EOF && c != '\n') c = std::fgetc(file);
            c = std::fgetc(file);
        }
        while (c != EOF && !std::isspace(c)) {
            t += static_cast<char>(c);
            c = std::fgetc(file);
        }
        return t;  // the one whitespace after the last token is consumed
    };
    const std::string magic = token(), w = token(), h = token(), maxval = token();
    if (magic == "P6" && maxval == "255") {
        v.width = std::stoi(w);
        v.height = std::stoi(h);
        v.pixels.resize(static_cast<size_t>(v.width) * v.height);
        for (uint32_t& p : v.pixels) {
            unsigned char rgb[3];
            if (std::fread(rgb, 1, 3, file) != 3) {
                v = TestView{};
                break;
            }
            p = (static_cast<uint32_t>(rgb[0]) << 16) | (rgb[1] << 8) | rgb[2];
        }
    }
    std::fclose(file);
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
            left.pixels.push_back(photo.pixels[static_cast<size_t>(y + kOriginY) * photo.width + x + kOriginX]);
    struct Case {
        double offset, degrees, scale;
    };
    const Case cases[] = {{-12, 0, 1}, {-2.5, 0.2, 1}, {0.25, -1, 1}, {7.75, 1, 1.005}, {3, -0.2, 0.995}};
    uint32_t seed = 5;
    for (const Case& c : cases) {
        Misalignment m;
        m.offset = c.offset;
        m.rotationDegrees = c.degrees;
        m.scale = c.scale;
        m.gain = 1.1;
        m.bias = -8;
        m.noise = 2;
        m.seed = seed++;
        const TestView right = ResampleThrough(photo, kOriginX, kOriginY, kWidth, kHeight, kParallax, m);
        const PairEstimate e = EstimatePairAlignment(left.pixels.data(), kWidth, kHeight,
                                                     right.pixels.data(), kWidth, kHeight);
        SCOPED_TRACE(c.offset);
        EXPECT_GE(e.confidence, kAlignConfident) << AlignReasonText(e.reason);
        EXPECT_NEAR(e.verticalOffset, c.offset, 0.25);
        EXPECT_NEAR(e.rotationDegrees, c.degrees, 0.05);
        EXPECT_NEAR(e.verticalScale, c.scale, 0.001);
        EXPECT_NEAR(e.nearParallax, kParallax, 1.0);
        EXPECT_NEAR(e.farParallax, kParallax, 1.0);
    }
}

}  // namespace
