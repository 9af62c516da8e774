// The stereo routine's decisions: layout, guides under the mouse, arrows,
// wiggle order and frame pacing.
#include <gtest/gtest.h>

#include <climits>

#include "app/alignment.h"

namespace {

MouseSample Mouse(int x, int y, bool button = false, int image = 0) { return {image, x, y, button}; }

TEST(Layout, HalfScreenZoomAndNeighbours) {
    const StereoLayout l = ComputeStereoLayout(1280, 480, 1280);
    ASSERT_TRUE(l.ok);
    EXPECT_EQ(l.half, 640);
    EXPECT_EQ(l.zoom, 50);
    EXPECT_EQ(l.previewY, 240);
    EXPECT_EQ(l.buttonBoxX, 640);
}

TEST(Layout, OddWidthAndIntegerDivisions) {
    // 1920 * 100 / 1001 = 191, / 2 = 95; 1001 * 95 / 100 = 950; 301 * 95 / 100 = 285.
    const StereoLayout l = ComputeStereoLayout(1001, 301, 1920);
    ASSERT_TRUE(l.ok);
    EXPECT_EQ(l.half, 500);
    EXPECT_EQ(l.zoom, 95);
    EXPECT_EQ(l.buttonBoxX, 950);
    EXPECT_EQ(l.previewY, 285);
}

TEST(Layout, PairTooSmallForTwoViews) {
    EXPECT_FALSE(ComputeStereoLayout(1, 100, 1280).ok);
    EXPECT_FALSE(ComputeStereoLayout(0, 100, 1280).ok);
    EXPECT_FALSE(ComputeStereoLayout(2, 0, 1280).ok);
    EXPECT_TRUE(ComputeStereoLayout(2, 1, 1280).ok);
}

TEST(Guides, StartInTheMiddleOfEachView) {
    const StereoAlignment s = StartAlignment(501, 400);
    EXPECT_EQ(s.leftGuide, 250);
    EXPECT_EQ(s.leftDrawn, 250);
    EXPECT_EQ(s.rightGuide, 751);
    EXPECT_EQ(s.rightDrawn, 751);
    EXPECT_EQ(HorizontalOffset(s), 0);
    EXPECT_EQ(s.verticalOffset, 0);
}

TEST(Guides, HoverPreviewsAndLeavingRestores) {
    StereoAlignment s = StartAlignment(500, 400);
    GuideAction act = UpdateLeftGuide(s, Mouse(260, 200));
    EXPECT_TRUE(act.moveLine);
    EXPECT_EQ(act.from, 250);
    EXPECT_EQ(act.to, 260);
    EXPECT_TRUE(act.recompose);
    EXPECT_EQ(act.a, 10);
    EXPECT_EQ(s.leftGuide, 250);  // not set without the button
    EXPECT_EQ(HorizontalOffset(s), 0);

    act = UpdateLeftGuide(s, Mouse(260, 200, false, 3));  // over another window
    EXPECT_TRUE(act.moveLine);
    EXPECT_EQ(act.from, 260);
    EXPECT_EQ(act.to, 250);
    EXPECT_TRUE(act.recompose);
    EXPECT_EQ(act.a, 0);
    EXPECT_FALSE(s.leftHover);

    act = UpdateLeftGuide(s, Mouse(260, 200, false, 3));
    EXPECT_FALSE(act.moveLine);
    EXPECT_FALSE(act.recompose);
}

TEST(Guides, ButtonSetsTheGuide) {
    StereoAlignment s = StartAlignment(500, 400);
    UpdateLeftGuide(s, Mouse(240, 100, true));
    EXPECT_EQ(s.leftGuide, 240);
    EXPECT_EQ(HorizontalOffset(s), -10);
    const GuideAction act = UpdateLeftGuide(s, Mouse(0, 0));
    EXPECT_FALSE(act.moveLine);  // the line is already where the guide is
    EXPECT_TRUE(act.recompose);
    EXPECT_EQ(act.a, -10);

    UpdateRightGuide(s, Mouse(800, 300, true));
    EXPECT_EQ(s.rightGuide, 800);
    EXPECT_EQ(HorizontalOffset(s), 240 - 800 + 500);
}

TEST(Guides, NearnessLimits) {
    const StereoAlignment start = StartAlignment(500, 400);
    auto nearLeft = [&](int x, int y) {
        StereoAlignment s = start;
        return UpdateLeftGuide(s, Mouse(x, y)).recompose;
    };
    EXPECT_TRUE(nearLeft(349, 200));
    EXPECT_FALSE(nearLeft(350, 200));
    EXPECT_TRUE(nearLeft(151, 200));
    EXPECT_FALSE(nearLeft(150, 200));
    EXPECT_FALSE(nearLeft(250, 50));
    EXPECT_TRUE(nearLeft(250, 51));
    EXPECT_TRUE(nearLeft(250, 349));
    EXPECT_FALSE(nearLeft(250, 350));

    // Each guide answers only on its own side of the pair.
    StereoAlignment s = StartAlignment(500, 400);
    s.leftDrawn = 480;
    EXPECT_FALSE(UpdateLeftGuide(s, Mouse(500, 200)).recompose);
    s.rightDrawn = 520;
    EXPECT_FALSE(UpdateRightGuide(s, Mouse(499, 200)).recompose);
    EXPECT_TRUE(UpdateRightGuide(s, Mouse(500, 200)).recompose);
}

TEST(Arrows, MoveOnlyTheLeftGuide) {
    StereoAlignment s = StartAlignment(640, 480);
    for (int k = 0; k < 12; ++k) PressRightArrow(s);
    EXPECT_EQ(HorizontalOffset(s), 12);
    EXPECT_EQ(s.rightGuide, 960);
    const GuideAction act = PressLeftArrow(s);
    EXPECT_TRUE(act.moveLine);
    EXPECT_EQ(act.from, 332);
    EXPECT_EQ(act.to, 331);
    EXPECT_EQ(act.a, 11);
    EXPECT_EQ(s.leftDrawn, 331);
}

TEST(Arrows, LeftGuideMayPassTheEdge) {
    StereoAlignment s = StartAlignment(10, 10);
    for (int k = 0; k < 20; ++k) PressLeftArrow(s);
    EXPECT_EQ(s.leftGuide, -15);
    EXPECT_EQ(HorizontalOffset(s), -20);
}

TEST(Arrows, OffsetsSaturateInsteadOfWrapping) {
    StereoAlignment s = StartAlignment(10, 10);
    s.leftGuide = s.leftDrawn = INT_MIN;
    PressLeftArrow(s);
    EXPECT_EQ(s.leftGuide, INT_MIN);
    EXPECT_EQ(HorizontalOffset(s), INT_MIN);
    s.leftGuide = s.leftDrawn = INT_MAX;
    PressRightArrow(s);
    EXPECT_EQ(s.leftGuide, INT_MAX);
    s.rightGuide = -5;
    EXPECT_EQ(HorizontalOffset(s), INT_MAX);
}

TEST(Arrows, VerticalOffsetStopsAtTheHeight) {
    StereoAlignment s = StartAlignment(10, 3);
    int changes = 0;
    for (int k = 0; k < 4; ++k) changes += PressUpArrow(s) ? 1 : 0;
    EXPECT_EQ(changes, 3);
    EXPECT_EQ(s.verticalOffset, 3);
    changes = 0;
    for (int k = 0; k < 8; ++k) changes += PressDownArrow(s) ? 1 : 0;
    EXPECT_EQ(changes, 6);
    EXPECT_EQ(s.verticalOffset, -3);
}

TEST(Wiggle, RightFrameFirstThenAlternating) {
    StereoAlignment s = StartAlignment(10, 10);
    EXPECT_EQ(NextWiggleFrame(s), 2);
    EXPECT_EQ(NextWiggleFrame(s), 1);
    EXPECT_EQ(NextWiggleFrame(s), 2);
}

TEST(FrameWait, RoundsToWholeMilliseconds) {
    EXPECT_FALSE(FrameTimeUp(0));
    EXPECT_FALSE(FrameTimeUp(99.49));
    EXPECT_TRUE(FrameTimeUp(99.5));
    EXPECT_TRUE(FrameTimeUp(250));
}

}  // namespace
