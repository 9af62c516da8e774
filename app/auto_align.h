// Automatic alignment of a stereo pair: how the right view is misaligned
// against the left (vertical offset, roll, size) and how deep the scene is
// (horizontal parallax of the nearest and farthest points), with what follows
// from it: the seed compositions' integer offsets, a stereo-window offset, a
// resampled right view and a depth-budget verdict.
//
// Views are 32-bit pixels 0x00RRGGBB, rows top-down, stride = width. The two
// views may differ in size; every number refers to the left view's frame.
//
// The geometry. The right view is taken to be an ideal right view (one whose
// rows match the left view's, a point differing only by its parallax p) seen
// through a similarity about the left view's centre c:
//
//     right(M(q)) = ideal(q),   M(q) = c + s R(theta) (q - c) + (0, t)
//
// with s the scale, theta the rotation (clockwise on screen, y pointing down)
// and t the vertical offset. A point at x in the left view is at x + p in the
// ideal right view: p < 0 for points in front of the plane that the views
// show unshifted, and the nearest point has the smallest p.
//
// Two cameras also differ in ways no similarity has: converged or tilted
// cameras give keystone, and two lenses distort differently. When the rows
// of such a pair are predicted clearly better by them, the ideal row of a
// right point is further moved by keystone and radial terms (align_fit.h);
// they move rows only, so the parallax stays what the cameras made it.
#pragma once
#include <cstdint>

enum class AlignReason {
    None,              // confident
    TooLittleTexture,  // too few places with detail in both directions
    TooFewInliers,     // places found, but too few of them agree between the views
    FitDoesNotHold,    // they agree, but not on one rotation, scale and offset
};

// Which terms the right view's rows were fitted with.
enum class VerticalModel { Similarity, Keystone, KeystoneRadial };

struct PairEstimate {
    int width, height;         // the left view's size: the frame of every number here
    double verticalOffset;     // t: rows by which the right view's content lies lower, at c
    double rotationDegrees;    // theta: the right view's content turned clockwise
    double verticalScale;      // s: the right view's content size / the left's
    double nearParallax;       // p of the nearest points (2nd percentile), pixels
    double farParallax;        // p of the farthest points (98th percentile), pixels
    double nearParallaxPercent;  // the same in per cent of the width
    double farParallaxPercent;
    int matches;               // matched places that agree with the fit
    double confidence;         // 0..1; below kAlignConfident the numbers must not be applied
    AlignReason reason;        // why the confidence is low; None when it is not
    double scaleCos, scaleSin; // s cos(theta), s sin(theta): M as the resampler applies it
    VerticalModel model = VerticalModel::Similarity;
    double residualBefore = 0; // RMS vertical disparity of the agreeing matches as taken, pixels
    double residualAfter = 0;  // the same once the model is removed: what aligning leaves
    // The rows' further terms, in pixels at modelUnit from the centre (0 for a similarity).
    double modelUnit = 1;
    double keystoneX = 0, keystoneY = 0, radial = 0;
};

constexpr double kAlignConfident = 0.5;

// The estimate for two views. Never fails: views that are empty, missing,
// blank or unrelated give a low confidence with a reason, and an identity
// geometry when nothing matched. Deterministic: integer matching and IEEE
// double arithmetic in a fixed order, no threads, no library transcendental
// functions. Views above about 1.2 megapixels are analysed on a copy reduced
// by a whole factor, so the extra memory stays under a fifth of the views'.
PairEstimate EstimatePairAlignment(const uint32_t* left, int leftWidth, int leftHeight,
                                   const uint32_t* right, int rightWidth, int rightHeight);

// The seed compositions' offsets (see compose.h) from an estimate:
// i = -round(t) brings the centre rows into register; farA = round(-far) puts
// the farthest points on the screen plane (as the manual alignment of the
// sample pair does); windowA is the smallest a that puts the nearest points at
// least half a pixel behind the frame: the stereo window.
struct StereoOffsets {
    int i;
    int farA;
    int windowA;
};
StereoOffsets OffsetsFor(const PairEstimate& e);

// Where the right view shows the point (x, y) of the ideal right view: the
// estimate's geometry, as the resampler applies it.
void IdealToRightView(const PairEstimate& e, double x, double y, double& xr, double& yr);

// Writes into `out` (e.width x e.height, stride e.width) the right view with
// the estimate's rotation, scale and further row terms removed and its
// vertical offset removed
// but for the whole rows that composing with `i` takes off, so that
// compositions with (a, i) then show rows in register to a fraction of a pixel.
// Pass i = 0 to remove the whole offset here. Bilinear; places that fall
// outside the right view are black. `out` must not overlap `right`.
void ResampleRightView(const PairEstimate& e, const uint32_t* right, int rightWidth,
                       int rightHeight, int i, uint32_t* out);

// The depth budget of a pair composed with horizontal offset `a` and shown
// `screenWidthMm` wide (the composed width, half the view less |a|, fills the
// screen). Deviation = far minus near parallax, as a fraction of that width:
// up to 1/30 is comfortable, up to 1/15 strong, beyond that too deep; so is
// a far parallax wider on the screen than the 65 mm between a viewer's eyes,
// which would make the eyes diverge. A screen width <= 0 skips that test.
enum class DepthVerdict { Comfortable, Strong, TooDeep };
struct DepthBudget {
    double deviation;       // far - near parallax, pixels
    double deviationShare;  // deviation / composed width
    double farScreenMm;     // far parallax + a, on the screen, millimetres
    DepthVerdict verdict;
};
DepthBudget JudgeDepthBudget(const PairEstimate& e, int a, double screenWidthMm);

// "comfortable", "strong", "too deep".
const char* DepthVerdictText(DepthVerdict verdict);
// "", "too little texture", "too few inliers", "the fit does not hold".
const char* AlignReasonText(AlignReason reason);
// "similarity", "keystone", "keystone+radial".
const char* VerticalModelText(VerticalModel model);
