// The stereo routine's state between passes, as plain data and decisions: the
// window layout, the two guide lines and the offsets (a, i) they give, the arrow
// buttons, the wiggle phase and the frame pacing. The routine itself does the
// drawing and the window calls that these functions ask for, so everything it
// decides can be tested without a window.
#pragma once

// Where the routine puts its windows, from the pair's size and the screen width.
struct StereoLayout {
    bool ok;          // false when the pair has no two views of at least one pixel
    int half;         // width of each view: pair width / 2
    int zoom;         // z: the pair shown half as wide as the screen, in percent
    int previewY;     // screen y of the preview window: just below the pair
    int buttonBoxX;   // screen x of the button box: just right of the pair
};
StereoLayout ComputeStereoLayout(int pairWidth, int height, int screenWidth);

struct StereoAlignment {
    int half;            // width of one view
    int height;          // height of the views
    int leftGuide;       // x (in the pair) of the left guide line as last set
    int leftDrawn;       // x at which the left guide line is drawn now
    int rightGuide;      // x of the right guide line as last set, in the right half
    int rightDrawn;      // x at which the right guide line is drawn now
    int verticalOffset;  // i, within -height..height
    bool wiggleMode;     // the preview shows the wiggle animation
    int wigglePhase;     // 0: the right view's frame comes next
    bool leftHover;      // the mouse was near the left guide in the previous pass
    bool rightHover;     // the same for the right guide
};

// The state at set-up: both guides in the middle of their views, a = i = 0.
StereoAlignment StartAlignment(int half, int height);

// a = left guide - right guide + half, saturated to the int range.
int HorizontalOffset(const StereoAlignment& s);

// The mouse as the image windows recorded it, read once per pass.
struct MouseSample {
    int image;        // slot of the image window under the mouse
    int x, y;         // position in that image
    bool leftButton;  // left button held
};

// What the routine must do after a guide changed: move the line (invert it at
// `from`, then at `to`, redisplay the pair) when moveLine, and recompose the
// preview with `a` when recompose.
struct GuideAction {
    bool moveLine;
    int from, to;
    bool recompose;
    int a;
};

// One pass's handling of the mouse near the left or the right guide: while the
// mouse is within 100 pixels of the drawn line (over the pair, clear of the top
// and bottom 50 rows) the line follows it and the preview shows that
// alignment, and a held left button sets the guide there; when the mouse
// leaves, the line goes back to the guide as set.
GuideAction UpdateLeftGuide(StereoAlignment& s, const MouseSample& mouse);
GuideAction UpdateRightGuide(StereoAlignment& s, const MouseSample& mouse);

// The arrow buttons. "←"/"→" move the left guide by one pixel (a - 1 / a + 1);
// "↑"/"↓" change i by one within -height..height and return whether it changed
// (then the preview is recomposed).
GuideAction PressLeftArrow(StereoAlignment& s);
GuideAction PressRightArrow(StereoAlignment& s);
bool PressUpArrow(StereoAlignment& s);
bool PressDownArrow(StereoAlignment& s);

// One step of the wiggle animation: flips the phase and returns the frame to
// show, 1 for the left view's frame ("buruburuL"), 2 for the right view's
// ("buruburuR"). From phase 0 the order is 2, 1, 2, 1, ...
int NextWiggleFrame(StereoAlignment& s);

// The frame wait is over when the elapsed time, rounded to whole
// milliseconds, reaches 100.
bool FrameTimeUp(double elapsedMs);
