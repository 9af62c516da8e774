// Zoom fitting, zoom steps and the client-to-image mapping.
#include <gtest/gtest.h>

#include <cstdint>

#include "image/zoom.h"

namespace {

// A 1280 x 1024 screen with a 19-pixel caption and a minimum client area of
// 118 x 27.
constexpr ZoomLimits kLimits = {118, 27, 1280, 1005};

ZoomFit Fit(int width, int height, int wished, int expectResult = kZoomFitted) {
    ZoomFit fit = {-7, -7, -7};
    EXPECT_EQ(QUB_FitZoom(width, height, wished, kLimits, &fit), expectResult)
        << width << " x " << height << " at " << wished;
    return fit;
}

TEST(FitZoom, PictureThatFitsKeepsItsZoom) {
    ZoomFit f = Fit(640, 480, 100);
    EXPECT_EQ(f.zoom, 100);
    EXPECT_EQ(f.displayWidth, 640);
    EXPECT_EQ(f.displayHeight, 480);
    f = Fit(401, 211, 37);
    EXPECT_EQ(f.zoom, 37);
    EXPECT_EQ(f.displayWidth, 401 * 37 / 100);
    EXPECT_EQ(f.displayHeight, 211 * 37 / 100);
}

TEST(FitZoom, WidePictureIsShrunkToTheScreenWidth) {
    const ZoomFit f = Fit(2000, 1000, 100);
    EXPECT_EQ(f.zoom, 64);
    EXPECT_EQ(f.displayWidth, 1280);
    EXPECT_EQ(f.displayHeight, 640);
}

TEST(FitZoom, TallPictureIsShrunkToTheScreenHeight) {
    const ZoomFit f = Fit(6000, 4000, 100);  // the 24-megapixel size
    EXPECT_EQ(f.zoom, 21);                   // 1280/6000 = 21.3 %, 1005/4000 = 25.1 %
    EXPECT_EQ(f.displayWidth, 1260);
    EXPECT_EQ(f.displayHeight, 840);
    const ZoomFit g = Fit(1000, 3000, 100);
    EXPECT_EQ(g.zoom, 33);  // 1005 / 3000
    EXPECT_EQ(g.displayHeight, 990);
}

TEST(FitZoom, TooLargeWishGivesTheLargestZoomThatFits) {
    const ZoomFit f = Fit(100, 100, 5000);
    EXPECT_EQ(f.zoom, 1005);
    EXPECT_EQ(f.displayHeight, 1005);
    EXPECT_EQ(f.displayWidth, 1005);
}

TEST(FitZoom, TinyPictureIsRaisedToTheMinimumWindowSize) {
    // ceil(118 * 100 / 16) = 738 for the width, ceil(27 * 100 / 16) = 169 for the height.
    const ZoomFit f = Fit(16, 16, 100);
    EXPECT_EQ(f.zoom, 738);
    EXPECT_EQ(f.displayWidth, 118);
    EXPECT_EQ(f.displayHeight, 118);
    // A wide, low picture needs more for its height than for its width.
    const ZoomFit g = Fit(400, 10, 100);
    EXPECT_EQ(g.zoom, 270);
    EXPECT_EQ(g.displayHeight, 27);
    EXPECT_EQ(g.displayWidth, 1080);
}

TEST(FitZoom, LongThinPictureDoesNotFit) {
    ZoomFit f = {1, 2, 3};
    EXPECT_EQ(QUB_FitZoom(100000, 1, 100, kLimits, &f), kZoomDoesNotFit);
    EXPECT_EQ(f.zoom, 1) << "a failed fit leaves the output alone";
    Fit(400, 10, 100);  // fits (above); 500 x 10 needs 270 % and 1350 pixels
    Fit(500, 10, 100, kZoomDoesNotFit);
}

TEST(FitZoom, ZeroAndNegativeWishesStillGiveAPositiveZoom) {
    for (int wished : {0, -1, -1000, 1}) {
        const ZoomFit f = Fit(640, 480, wished);
        EXPECT_GE(f.zoom, 1);
        EXPECT_GE(f.displayWidth, kLimits.minWidth);
        EXPECT_GE(f.displayHeight, kLimits.minHeight);
    }
}

TEST(FitZoom, HugePicturesAndWishesDoNotOverflow) {
    const ZoomFit f = Fit(100000, 100000, 100);
    EXPECT_EQ(f.zoom, 1);
    EXPECT_EQ(f.displayWidth, 1000);
    Fit(2000000000, 2000000000, 2000000000, kZoomDoesNotFit);
    const ZoomFit g = Fit(3, 3, 2147483647);
    EXPECT_EQ(g.zoom, 33500);
}

// Over a grid of sizes and wishes: a fitted display never exceeds the screen,
// reaches the minimum size, and one more percent would either exceed the screen
// or go past what was wished.
TEST(FitZoom, PropertiesOverManySizes) {
    int checked = 0;
    for (int width = 1; width <= 3000; width += 37) {
        for (int height = 1; height <= 3000; height += 41) {
            for (int wished : {1, 50, 100, 333}) {
                ZoomFit f;
                if (QUB_FitZoom(width, height, wished, kLimits, &f) != kZoomFitted) continue;
                ++checked;
                ASSERT_LE(f.displayWidth, kLimits.screenWidth);
                ASSERT_LE(f.displayHeight, kLimits.screenHeight);
                ASSERT_GE(f.zoom, 1);
                const bool raised =
                    QUB_ScaledSize(width, f.zoom - 1) < kLimits.minWidth ||
                    QUB_ScaledSize(height, f.zoom - 1) < kLimits.minHeight;
                if (raised) continue;
                ASSERT_GE(f.displayWidth, kLimits.minWidth);
                ASSERT_GE(f.displayHeight, kLimits.minHeight);
                // In exact terms: the rule compares real, not truncated, sizes.
                const int64_t next = f.zoom + 1;
                const bool nextTooBig = width * next > 100LL * kLimits.screenWidth ||
                                        height * next > 100LL * kLimits.screenHeight;
                ASSERT_TRUE(f.zoom == wished || nextTooBig)
                    << width << " x " << height << " wished " << wished << " got " << f.zoom;
            }
        }
    }
    EXPECT_GT(checked, 20000);
}

TEST(ZoomSteps, InAndOutFromOneHundred) {
    int z = 100;
    const int in[] = {111, 123, 137};
    for (int expected : in) {
        z = QUB_ZoomStepIn(z);
        EXPECT_EQ(z, expected);
    }
    z = 100;
    const int out[] = {90, 81, 73};
    for (int expected : out) {
        z = QUB_ZoomStepOut(z);
        EXPECT_EQ(z, expected);
    }
    EXPECT_EQ(QUB_ZoomStepOut(1), 1);
    EXPECT_EQ(QUB_ZoomStepIn(1), 1);
    EXPECT_EQ(QUB_ZoomStepIn(2147483647), 2147483647) << "clamped, not wrapped";
}

TEST(ClientToImage, MouseAtHalfZoom) {
    // (50, 20) in the client at 50 % is (100, 40) in the picture.
    const ImagePoint p = QUB_MousePointToImage(50u | (20u << 16), 50);
    EXPECT_EQ(p.x, 100);
    EXPECT_EQ(p.y, 40);
    EXPECT_EQ(QUB_ClientToImage(7, 300), 2);
    EXPECT_EQ(QUB_ClientToImage(8, 300), 2);
    EXPECT_EQ(QUB_ClientToImage(9, 300), 3);
}

TEST(ClientToImage, WordsAreUnsigned) {
    const ImagePoint p = QUB_MousePointToImage(0xFFFF0001u, 100);
    EXPECT_EQ(p.x, 1);
    EXPECT_EQ(p.y, 65535) << "a high word of 0xFFFF is not -1";
}

}  // namespace
