// Matching places between the two luma images: choosing textured places,
// zero-mean normalised correlation over a window of candidates, and sub-pixel
// refinement. Internal to the alignment engine.
#pragma once
#include <cstdint>
#include <vector>

#include "app/align_pyramid.h"

// A place with detail in both directions, in the coordinates of the image it
// was found in.
struct AlignFeature {
    int x, y;
    double strength;  // RMS gradient along the weaker direction (ten-bit units per 2 px)
};

// Below this strength a place is noise or a smooth gradient. Four ten-bit
// steps over two pixels is one 8-bit level per pixel: sensor noise of a
// level or two on a flat wall stays under it once halved by the pyramid.
constexpr double kTextureFloor = 8.0;

// The strongest place of each cell x cell square of `image` that lies at least
// `margin` pixels inside and reaches kTextureFloor, in raster order of cells.
// Strength is the smaller eigenvalue of the gradient's structure tensor over
// a 7 x 7 window (the Shi-Tomasi measure).
std::vector<AlignFeature> FindFeatures(const LumaImage& image, int cell, int margin);

// A square patch of the left image, as correlation weights: pixel values less
// their mean rounded to a whole number, with the rounding's total kept so the
// correlation stays exact.
struct AlignPatch {
    int radius = 0;
    int side = 0;
    std::vector<int32_t> weights;  // side * side
    int64_t rounding = 0;          // sum of pixels - side^2 * rounded mean
    int64_t variance = 0;          // side^2 * sum of squares - sum^2
};

// False when the patch would leave the image or has no variance.
bool TakePatch(const LumaImage& image, int x, int y, int radius, AlignPatch& patch);

// Candidate centres (x0 .. x0 + nx - 1, y0 .. y0 + ny - 1); every candidate's
// patch must lie inside the image searched.
struct AlignWindow {
    int x0, y0, nx, ny;
};

// Zero-mean normalised correlation of the patch with the image around each
// candidate, row by row into `scores` (ny * nx): 1 for a copy under any gain
// and offset, 0 where the image is flat.
void ScoreWindow(const AlignPatch& patch, const LumaImage& image, const AlignWindow& window,
                 std::vector<double>& scores);

// The best candidate and the best one more than two pixels from it (0 when
// there is none), among candidates whose row lies within rowLow..rowHigh
// (window rows, per column) when those are given.
struct AlignPeak {
    bool found;
    int x, y;       // image coordinates
    double best;
    double second;
};
AlignPeak PickPeak(const std::vector<double>& scores, const AlignWindow& window,
                   const int* rowLow, const int* rowHigh);

// A match is trusted when it correlates well and stands out: its distance
// from a perfect score (1 - best) is at most 0.6 times the runner-up's, the
// ratio test on correlation distance. Repeating patterns fail it, as they must.
constexpr double kMinCorrelation = 0.7;
bool Distinct(const AlignPeak& peak);

// Refines (xr, yr), a whole-pixel match in `right` of the place (xl, yl) of
// `left`, to a fraction of a pixel: Lucas-Kanade on a 15 x 15 window with the
// left window's gradients, both windows normalised to zero mean and unit
// energy so that exposure does not matter. False when the window leaves an
// image, the place has no two-dimensional detail, or the refinement wanders
// more than a pixel and a half. `correlation` receives the final score.
bool RefineMatch(const LumaImage& left, const LumaImage& right, int xl, int yl, double& xr,
                 double& yr, double& correlation);
