// The geometry fitted to matched places: the vertical components only, as a
// linear model, solved robustly. Internal to the alignment engine.
#pragma once
#include <cstdint>
#include <vector>

// A place in the left view and where it was found in the right view.
struct AlignMatch {
    double xl, yl, xr, yr;
};

// The similarity M of auto_align.h in inverse form, about centre (cx, cy):
// the ideal right view's point for right-view point r is
// c + [[e, f], [-f, e]] (r - c - (0, t)), with e = cos(theta) / s and
// f = sin(theta) / s. Its rows carry no parallax, so for every match
//     yr - yl = f (xr - cx) + (1 - e) (yr - cy) + e t,
// linear in three unknowns whatever the depth of the place. (Written in
// left-view coordinates instead, the vertical difference would pick up
// s sin(theta) times the parallax: a bias of half a pixel at one degree.)
//
// Two cameras add what no similarity has: keystone, where converged or tilted
// cameras see rows fan out (a row's slope grows with its distance from the
// centre), and a difference of radial distortion, which bends rows away from
// the centre more in one view. With u, v the right point's offset from the
// centre over `unit`, the ideal row is the similarity's less
//     Extra = keyX u v + keyY v^2 + radial v (u^2 + v^2)
// pixels, still linear in the unknowns. These terms move rows only: columns
// keep the similarity's, so the parallax the cameras made is left as it is.
// `terms` says which unknowns are fitted: 3 (similarity), 5 (and keystone) or
// 6 (and radial); terms not fitted stay 0.
struct AlignModel {
    double cx, cy;
    double e = 1, f = 0, t = 0;
    double unit = 1;
    double keyX = 0, keyY = 0, radial = 0;
    int terms = 3;

    double Extra(double X, double Y) const;      // of the centred right point (X, Y)
    double Residual(const AlignMatch& m) const;  // measured minus modelled yr - yl
    double Parallax(const AlignMatch& m) const;  // x in the ideal right view minus xl
    // Where the right view shows the ideal view's point (x, y).
    void IdealToRight(double x, double y, double& xr, double& yr) const;
    // Where the right view shows the left point (xl, yl) at parallax p.
    void RightOf(double xl, double yl, double p, double& xr, double& yr) const;
    // The left view's row that the right point (xr, yr) belongs to.
    double LeftRowOf(double xr, double yr) const;
    // The right view's row at column xr for a left point on row yl (the
    // band that a left point's matches lie on; its column does not matter).
    double RightRowOf(double yl, double xr) const;
};

constexpr int kAlignModelTerms[] = {3, 5, 6};

// Least squares of the model's terms over the matches whose weight is
// positive (all when weights is null). False when they do not determine them.
bool FitModel(const std::vector<AlignMatch>& matches, const std::vector<double>* weights,
              AlignModel& model);

// Deterministic RANSAC of the similarity: `rounds` triples drawn by a
// fixed-seed generator; the model with the most residuals within `threshold`
// (ties: the first drawn), refitted on those. Returns their number; 0 when no
// triple was usable.
int RansacModel(const std::vector<AlignMatch>& matches, double threshold, int rounds,
                AlignModel& model);

// Tukey-weighted refinement from a starting model: the scale is the median
// absolute residual of the matches inside the previous cut-off (first
// `startCutoff`) times 1.4826, at least `minScale`; the cut-off is 4.685 times
// it. `inlier` receives 1 for matches inside the final cut-off, `scale` the
// final scale. Returns the number of inliers; 0 when the fit failed.
int RefineModel(const std::vector<AlignMatch>& matches, double minScale, double startCutoff,
                AlignModel& model, std::vector<char>& inlier, double& scale);

// Standard error of f (about the rotation in radians) for a fit of the
// model's terms over the inliers with residual scale `sigma`; a large value
// when they do not determine it.
double SlopeUncertainty(const std::vector<AlignMatch>& matches, const std::vector<char>& inlier,
                        const AlignModel& model, double sigma);

// The RMS residual of inliers held out of the fit: the inliers in five
// interleaved folds, each predicted by the model's terms fitted to the other
// four. A richer model earns its terms only by predicting places it was not
// fitted to better; on fitted places it always looks better. A large value
// when a fold's fit fails.
double HeldOutResidual(const std::vector<AlignMatch>& matches, const std::vector<char>& inlier,
                       const AlignModel& model);

// The q-quantile (0..1) of `values` with linear interpolation; sorts them.
double Quantile(std::vector<double>& values, double q);

// atan2 from arithmetic and sqrt only, so that the reported angle is the same
// under every C library; within a few ulps of the true value.
double PortableAtan2(double y, double x);
