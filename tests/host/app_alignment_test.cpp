// The stereo routine's decisions: layout, guides under the mouse, arrows,
// wiggle order and frame pacing.
#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "app/alignment.h"

namespace {

MouseSample Mouse(int x, int y, bool button = false, int image = 0) {
    return {image, x, y, button};
}

std::string Act(const GuideAction& g) {
    return testing::PrintToString(std::vector<int>{g.moveLine, g.from, g.to, g.recompose, g.a});
}

TEST(Layout, HalfScreenZoomAndNeighbours) {
    const struct {
        int width, height, screen;
        bool ok;
        int half, zoom, previewY, buttonBoxX;
    } cases[] = {
        {1280, 480, 1280, true, 640, 50, 240, 640},
        // 1920 * 100 / 1001 = 191, / 2 = 95; 1001 * 95 / 100 = 950; 301 * 95 / 100 = 285.
        {1001, 301, 1920, true, 500, 95, 285, 950},
        {1, 100, 1280, false, 0, 0, 0, 0}, {0, 100, 1280, false, 0, 0, 0, 0},
        {2, 0, 1280, false, 0, 0, 0, 0},   {2, 1, 1280, true, 1, -1, -1, -1},
    };
    for (const auto& c : cases) {
        const StereoLayout l = ComputeStereoLayout(c.width, c.height, c.screen);
        ASSERT_EQ(l.ok, c.ok) << c.width << " x " << c.height;
        if (!c.ok || c.zoom < 0) continue;
        EXPECT_EQ(std::vector<int>({l.half, l.zoom, l.previewY, l.buttonBoxX}),
                  std::vector<int>({c.half, c.zoom, c.previewY, c.buttonBoxX}));
    }
}

TEST(Guides, HoverPreviewsButtonSetsLeavingRestores) {
    StereoAlignment s = StartAlignment(501, 400);  // guides in the middle of each view
    EXPECT_EQ(std::vector<int>({s.leftGuide, s.leftDrawn, s.rightGuide, s.rightDrawn,
                                HorizontalOffset(s), s.verticalOffset}),
              std::vector<int>({250, 250, 751, 751, 0, 0}));
    s = StartAlignment(500, 400);
    EXPECT_EQ(Act(UpdateLeftGuide(s, Mouse(260, 200))), Act({true, 250, 260, true, 10}));
    EXPECT_EQ(s.leftGuide, 250) << "not set without the button";
    EXPECT_EQ(Act(UpdateLeftGuide(s, Mouse(260, 200, false, 3))), Act({true, 260, 250, true, 0}))
        << "over another window";
    EXPECT_FALSE(s.leftHover);
    const GuideAction away = UpdateLeftGuide(s, Mouse(260, 200, false, 3));
    EXPECT_FALSE(away.moveLine || away.recompose) << "already restored";
    UpdateLeftGuide(s, Mouse(240, 100, true));
    EXPECT_EQ(s.leftGuide, 240);
    const GuideAction back = UpdateLeftGuide(s, Mouse(0, 0));
    EXPECT_TRUE(!back.moveLine && back.recompose && back.a == -10) << Act(back);
    UpdateRightGuide(s, Mouse(800, 300, true));
    EXPECT_EQ(s.rightGuide, 800);
    EXPECT_EQ(HorizontalOffset(s), 240 - 800 + 500);
}

TEST(Guides, NearnessLimits) {
    const StereoAlignment start = StartAlignment(500, 400);
    const struct {
        int x, y;
        bool near;
    } cases[] = {{349, 200, true}, {350, 200, false}, {151, 200, true}, {150, 200, false},
                 {250, 50, false}, {250, 51, true},   {250, 349, true}, {250, 350, false}};
    for (const auto& c : cases) {
        StereoAlignment s = start;
        EXPECT_EQ(UpdateLeftGuide(s, Mouse(c.x, c.y)).recompose, c.near) << c.x << "," << c.y;
    }
    // Each guide answers only on its own side of the pair.
    StereoAlignment s = start;
    s.leftDrawn = 480;
    EXPECT_FALSE(UpdateLeftGuide(s, Mouse(500, 200)).recompose);
    s.rightDrawn = 520;
    EXPECT_FALSE(UpdateRightGuide(s, Mouse(499, 200)).recompose);
    EXPECT_TRUE(UpdateRightGuide(s, Mouse(500, 200)).recompose);
}

TEST(Arrows, MoveTheLeftGuidePastTheEdgeAndSaturate) {
    StereoAlignment s = StartAlignment(640, 480);
    for (int k = 0; k < 12; ++k) PressRightArrow(s);
    EXPECT_EQ(HorizontalOffset(s), 12);
    EXPECT_EQ(s.rightGuide, 960);
    EXPECT_EQ(Act(PressLeftArrow(s)), Act({true, 332, 331, true, 11}));
    EXPECT_EQ(s.leftDrawn, 331);
    s = StartAlignment(10, 10);
    for (int k = 0; k < 20; ++k) PressLeftArrow(s);
    EXPECT_EQ(s.leftGuide, -15);
    EXPECT_EQ(HorizontalOffset(s), -20);
    s.leftGuide = s.leftDrawn = INT_MIN;
    PressLeftArrow(s);
    EXPECT_EQ(s.leftGuide, INT_MIN);
    EXPECT_EQ(HorizontalOffset(s), INT_MIN);
    s.leftGuide = s.leftDrawn = INT_MAX;
    PressRightArrow(s);
    EXPECT_EQ(s.leftGuide, INT_MAX);
    s.rightGuide = -5;
    EXPECT_EQ(HorizontalOffset(s), INT_MAX);
    // The vertical offset stops at the height.
    s = StartAlignment(10, 3);
    int up = 0, down = 0;
    for (int k = 0; k < 4; ++k) up += PressUpArrow(s) ? 1 : 0;
    EXPECT_EQ(s.verticalOffset, 3);
    for (int k = 0; k < 8; ++k) down += PressDownArrow(s) ? 1 : 0;
    EXPECT_EQ(s.verticalOffset, -3);
    EXPECT_EQ(up * 10 + down, 36);
}

TEST(Wiggle, RightFrameFirstThenAlternatingEveryHundredMilliseconds) {
    StereoAlignment s = StartAlignment(10, 10);
    for (int frame : {2, 1, 2}) EXPECT_EQ(NextWiggleFrame(s), frame);
    for (double ms : {0.0, 99.49}) EXPECT_FALSE(FrameTimeUp(ms)) << ms;
    for (double ms : {99.5, 250.0}) EXPECT_TRUE(FrameTimeUp(ms)) << ms;
}

}  // namespace
