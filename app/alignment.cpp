#include "app/alignment.h"

#include <climits>
#include <cmath>

namespace {

constexpr long long kGuideReach = 100;  // the mouse is near a guide within 99 pixels
constexpr int kGuideMargin = 50;        // rows at the top and bottom that do not count
constexpr double kFrameMs = 100;

// Guides move by one pixel per press without limit, so sums are taken in 64
// bits and brought back into the int range.
int Saturate(long long v) {
    if (v > INT_MAX) return INT_MAX;
    if (v < INT_MIN) return INT_MIN;
    return static_cast<int>(v);
}

int OffsetFor(long long leftX, long long rightX, int half) { return Saturate(leftX - rightX + half); }

bool NearLine(const StereoAlignment& s, const MouseSample& m, int drawn) {
    return m.image == 0 && static_cast<long long>(drawn) - kGuideReach < m.x &&
           m.x < static_cast<long long>(drawn) + kGuideReach && kGuideMargin < m.y &&
           m.y < s.height - kGuideMargin;
}

GuideAction Move(int& drawn, int to, int a) {
    GuideAction action{drawn != to, drawn, to, true, a};
    drawn = to;
    return action;
}

}  // namespace

StereoLayout ComputeStereoLayout(int pairWidth, int height, int screenWidth) {
    StereoLayout layout{};
    layout.half = pairWidth / 2;
    if (layout.half <= 0 || height <= 0) return layout;
    layout.ok = true;
    const long long zoom = static_cast<long long>(screenWidth) * 100 / pairWidth / 2;
    layout.zoom = Saturate(zoom);
    layout.previewY = Saturate(static_cast<long long>(height) * zoom / 100);
    layout.buttonBoxX = Saturate(static_cast<long long>(pairWidth) * zoom / 100);
    return layout;
}

StereoAlignment StartAlignment(int half, int height) {
    StereoAlignment s{};
    s.half = half;
    s.height = height;
    s.leftGuide = s.leftDrawn = half / 2;
    s.rightGuide = s.rightDrawn = half / 2 + half;
    return s;
}

int HorizontalOffset(const StereoAlignment& s) { return OffsetFor(s.leftGuide, s.rightGuide, s.half); }

GuideAction UpdateLeftGuide(StereoAlignment& s, const MouseSample& mouse) {
    if (NearLine(s, mouse, s.leftDrawn) && mouse.x < s.half) {
        s.leftHover = true;
        if (mouse.leftButton) s.leftGuide = mouse.x;
        return Move(s.leftDrawn, mouse.x, OffsetFor(mouse.x, s.rightGuide, s.half));
    }
    if (!s.leftHover) return GuideAction{};
    s.leftHover = false;
    return Move(s.leftDrawn, s.leftGuide, HorizontalOffset(s));
}

GuideAction UpdateRightGuide(StereoAlignment& s, const MouseSample& mouse) {
    if (NearLine(s, mouse, s.rightDrawn) && mouse.x >= s.half) {
        s.rightHover = true;
        if (mouse.leftButton) s.rightGuide = mouse.x;
        return Move(s.rightDrawn, mouse.x, OffsetFor(s.leftGuide, mouse.x, s.half));
    }
    if (!s.rightHover) return GuideAction{};
    s.rightHover = false;
    return Move(s.rightDrawn, s.rightGuide, HorizontalOffset(s));
}

GuideAction PressLeftArrow(StereoAlignment& s) {
    s.leftGuide = Saturate(static_cast<long long>(s.leftGuide) - 1);
    return Move(s.leftDrawn, s.leftGuide, HorizontalOffset(s));
}

GuideAction PressRightArrow(StereoAlignment& s) {
    s.leftGuide = Saturate(static_cast<long long>(s.leftGuide) + 1);
    return Move(s.leftDrawn, s.leftGuide, HorizontalOffset(s));
}

bool PressUpArrow(StereoAlignment& s) {
    if (s.verticalOffset >= s.height) return false;
    ++s.verticalOffset;
    return true;
}

bool PressDownArrow(StereoAlignment& s) {
    if (s.verticalOffset <= -s.height) return false;
    --s.verticalOffset;
    return true;
}

int NextWiggleFrame(StereoAlignment& s) {
    if (s.wigglePhase != 0) {
        s.wigglePhase = 0;
        return 1;
    }
    s.wigglePhase = 1;
    return 2;
}

bool FrameTimeUp(double elapsedMs) { return std::floor(elapsedMs + 0.5) >= kFrameMs; }
