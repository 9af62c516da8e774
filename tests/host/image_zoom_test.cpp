// Zoom fitting, zoom steps and the client-to-image mapping.
#include <gtest/gtest.h>

#include <cstdint>

#include "image/zoom.h"

namespace {

// A 1280 x 1024 screen with a 19-pixel caption and a minimum client area of
// 118 x 27.
constexpr ZoomLimits kLimits = {118, 27, 1280, 1005};

// Expected values worked by hand; -1 leaves a field unchecked.
TEST(FitZoom, WorkedSizes) {
    const struct {
        int width, height, wished, result, zoom, displayWidth, displayHeight;
    } cases[] = {
        {640, 480, 100, kZoomFitted, 100, 640, 480},   // fits: keeps its zoom
        {401, 211, 37, kZoomFitted, 37, 148, 78},      // 37 % exactly, not 36.99999
        {2000, 1000, 100, kZoomFitted, 64, 1280, 640},  // shrunk to the screen width
        {1290, 100, 100, kZoomFitted, 99, 1277, 99},    // just over the width
        {6000, 4000, 100, kZoomFitted, 21, 1260, 840},  // 1280/6000 = 21.3 %, 1005/4000 = 25.1 %
        {1000, 3000, 100, kZoomFitted, 33, -1, 990},    // 1005 / 3000
        {100, 100, 5000, kZoomFitted, 1005, 1005, 1005},  // the largest zoom that fits
        // ceil(118 * 100 / 16) = 738 for the width, ceil(27 * 100 / 16) = 169 for the height.
        {16, 16, 100, kZoomFitted, 738, 118, 118},
        {400, 10, 100, kZoomFitted, 270, 1080, 27},    // the height needs more
        {500, 10, 100, kZoomDoesNotFit, 1, 2, 3},      // needs 270 % and 1350 pixels
        {100000, 1, 100, kZoomDoesNotFit, 1, 2, 3},    // a failed fit leaves the output alone
        {100000, 100000, 100, kZoomFitted, 1, 1000, -1},
        {2000000000, 2000000000, 2000000000, kZoomDoesNotFit, 1, 2, 3},
        {3, 3, 2147483647, kZoomFitted, 33500, -1, -1},  // no overflow
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.width << " x " << c.height << " at " << c.wished);
        ZoomFit f = {1, 2, 3};
        EXPECT_EQ(QUB_FitZoom(c.width, c.height, c.wished, kLimits, &f), c.result);
        EXPECT_EQ(f.zoom, c.zoom);
        if (c.displayWidth >= 0) { EXPECT_EQ(f.displayWidth, c.displayWidth); }
        if (c.displayHeight >= 0) { EXPECT_EQ(f.displayHeight, c.displayHeight); }
    }
    for (int wished : {0, -1, -1000, 1}) {  // still a positive zoom
        ZoomFit f;
        ASSERT_EQ(QUB_FitZoom(640, 480, wished, kLimits, &f), kZoomFitted);
        EXPECT_GE(f.zoom, 1);
        EXPECT_GE(f.displayWidth, kLimits.minWidth);
        EXPECT_GE(f.displayHeight, kLimits.minHeight);
    }
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
    int in = 100, out = 100;
    for (int expected : {111, 123, 137}) EXPECT_EQ(in = QUB_ZoomStepIn(in), expected);
    for (int expected : {90, 81, 73}) EXPECT_EQ(out = QUB_ZoomStepOut(out), expected);
    EXPECT_EQ(QUB_ZoomStepOut(1), 1);
    EXPECT_EQ(QUB_ZoomStepIn(1), 1);
    EXPECT_EQ(QUB_ZoomStepIn(2147483647), 2147483647) << "clamped, not wrapped";
}

TEST(ClientToImage, MouseWordsAreUnsigned) {
    // (50, 20) in the client at 50 % is (100, 40) in the picture.
    ImagePoint p = QUB_MousePointToImage(50u | (20u << 16), 50);
    EXPECT_EQ(p.x + 1000 * p.y, 100 + 1000 * 40);
    p = QUB_MousePointToImage(0xFFFF0001u, 100);
    EXPECT_EQ(p.x, 1);
    EXPECT_EQ(p.y, 65535) << "a high word of 0xFFFF is not -1";
    for (int x : {7, 8, 9}) EXPECT_EQ(QUB_ClientToImage(x, 300), x / 3);
}

}  // namespace
