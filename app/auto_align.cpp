// The alignment estimate: method.
//
// Textured places of the left view, matched in the right by zero-mean
// normalised correlation (NCC) on a ten-bit luma pyramid, coarse to fine; the
// geometry is fitted to the vertical components of the matches only; the
// parallax range is read from the horizontal components once the geometry is
// removed.
//
//  1. Both views go to luma, reduced by one whole factor to at most 1.2
//     megapixels each (a 24-megapixel pair costs one pass over its pixels and
//     about 4 MB), then halved into a pyramid down to a level 112 to 223
//     pixels wide.
//  2. Places: per grid cell of the first level the strongest by the smaller
//     eigenvalue of the structure tensor, if it beats a noise floor. Blocks
//     on a grid would waste time on sky and walls; corner-like places are
//     the ones that fix both coordinates.
//  3. Coarse level: for one place in four (all in small views), an
//     exhaustive search over a quarter of the width either way and 12 % of
//     the height (any pair a person would align), kept only if it is distinct (a ratio test on
//     correlation distance) and the right patch's own best match in the left
//     is the place again (left-right check). A deterministic RANSAC fits the
//     vertical model; the survivors are followed down the pyramid by +-2
//     pixel searches and the model refitted.
//  4. Full analysis level: every place searched along its predicted rows
//     (+-2) over the parallax range seen so far plus a margin, with the same
//     two checks, then refined to a fraction of a pixel by Lucas-Kanade.
//     Searching the band rather than the whole window keeps the cost linear
//     in the parallax range and makes repeated patterns far less likely to
//     fool the match.
//  5. Robust fit (RANSAC, then Tukey-weighted least squares) of
//     dy = e t + f x + (1 - e) y in the right view's coordinates, which is
//     exact for a similarity whatever the depth of each place (align_fit.h).
//     Fitting rows only is what keeps depth out: horizontal components carry
//     the parallax, which varies from place to place.
//     Two cameras' keystone and lens difference bend rows in ways a
//     similarity cannot follow; keystone and radial terms are added to the
//     rows' model (align_fit.h) when they predict matches held out of the
//     fit clearly better, first on level 1 so that the band search follows
//     them, then on the full analysis level. A pair a similarity explains
//     keeps the similarity: extra terms would only fit noise.
//  6. Parallax of each inlier in the corrected frame; near and far are the
//     2nd and 98th percentiles, so a stray match cannot set them.
//
// NCC makes the match indifferent to exposure and contrast; normalised
// windows do the same for the refinement. Correlation sums are exact
// integers, the rest IEEE double in a fixed order, so the numbers do not
// depend on the machine.
#include "app/auto_align.h"

#include <algorithm>
#include <cmath>

#include "app/align_fit.h"
#include "app/align_match.h"
#include "app/align_pyramid.h"

namespace {

constexpr int kCoarseRadius = 4;           // 9 x 9 patches on the coarser levels
constexpr int kFineRadius = 6;             // 13 x 13 on the analysis level
constexpr int kFineMargin = 9;             // room for the refinement's window and gradients
constexpr double kSearchWidthShare = 0.25;   // horizontal search, either way
constexpr double kSearchHeightShare = 0.12;  // vertical search, either way
constexpr int kBandRows = 2;               // rows either side of the predicted one
constexpr int kMinFeatures = 12;           // textured places for any confidence
constexpr int kMinInliers = 12;            // agreeing matches for any confidence
constexpr double kMinInlierShare = 0.2;    // of the places searched
constexpr double kMaxResidual = 0.5;       // RMS vertical residual, analysis pixels
constexpr double kMaxResidualShare = 0.1;  // or this share of the rows' RMS disparity, if more,
constexpr double kMaxResidualAtAll = 1.5;  // but never more than this
constexpr double kMaxRotationError = 0.05 * 3.14159265358979323846 / 180;  // radians
constexpr double kNearQuantile = 0.02, kFarQuantile = 0.98;

// Centre of pixel u of pyramid level `level`, in analysis-level coordinates.
double LevelToBase(int u, int level) {
    const double step = static_cast<double>(1 << level);
    return u * step + (step - 1) / 2;
}

// Saturated far outside any view, so that no coordinate overflows an int.
int RoundToInt(double v) {
    const double r = std::floor(v + 0.5);
    return r > 1e9 ? 1000000000 : r > -1e9 ? static_cast<int>(r) : -1000000000;
}

struct LevelMatch {
    int feature;
    int xl, yl, xr, yr;  // on the level being worked on
};

// The part of the window (x0..x1, y0..y1) where a patch of `radius` fits.
bool ClipWindow(const LumaImage& image, int radius, int x0, int x1, int y0, int y1, AlignWindow& w) {
    x0 = std::max(x0, radius);
    y0 = std::max(y0, radius);
    x1 = std::min(x1, image.width - 1 - radius);
    y1 = std::min(y1, image.height - 1 - radius);
    if (x0 > x1 || y0 > y1) return false;
    w = {x0, y0, x1 - x0 + 1, y1 - y0 + 1};
    return true;
}

// A model's centre and unit in a frame of the given size.
AlignModel CentredModel(int width, int height) {
    AlignModel model;
    model.cx = (width - 1) / 2.0;
    model.cy = (height - 1) / 2.0;
    model.unit = std::max(1.0, std::max(model.cx, model.cy));
    return model;
}

constexpr int kMinWideInliers = 30;  // below this the richer terms are not tried
constexpr double kWideGain = 0.9;    // held-out RMS a richer model must beat, as a share
// The richer terms reach the whole frame from where the matches are: they are
// tried only when the matches span this much of it (in units of half the
// larger side) across and down, and kept only when no corner row moves more
// than 0.15 of that unit.
constexpr double kWideSpreadX = 0.8, kWideSpreadY = 0.5, kWideMostExtra = 0.15;

bool SpreadEnough(const std::vector<AlignMatch>& matches, const std::vector<char>& inlier,
                  const AlignModel& model) {
    double low[2] = {1e300, 1e300}, high[2] = {-1e300, -1e300};
    for (size_t k = 0; k < matches.size(); ++k) {
        if (!inlier[k]) continue;
        const double at[2] = {matches[k].xr, matches[k].yr};
        for (int c = 0; c < 2; ++c) {
            low[c] = std::min(low[c], at[c]);
            high[c] = std::max(high[c], at[c]);
        }
    }
    return high[0] - low[0] >= kWideSpreadX * model.unit && high[1] - low[1] >= kWideSpreadY * model.unit;
}

bool CornersHold(const AlignModel& model) {
    for (const double X : {-model.cx, model.cx})
        for (const double Y : {-model.cy, model.cy})
            if (!(std::fabs(model.Extra(X, Y)) <= kWideMostExtra * model.unit)) return false;
    return true;
}

// Replaces the similarity `model` (refined on `matches`) by a richer one when
// that predicts held-out matches clearly better: each richer model must beat
// every simpler one by a tenth of its held-out RMS and by 0.02 of `pixel` (the
// analysis pixel in the matches' frame), so that a pair a similarity explains
// keeps it. The richest is fitted first, by least squares over every match
// and Tukey weights from there, and its inliers are those on which the
// models are compared. Returns whether the model changed.
bool WidenModel(const std::vector<AlignMatch>& matches, double minScale, double startCutoff,
                double pixel, AlignModel& model, std::vector<char>& inlier, double& scale) {
    AlignModel widest = model;
    widest.terms = kAlignModelTerms[2];
    std::vector<char> wideInlier;
    double wideScale = 0;
    if (!FitModel(matches, nullptr, widest) ||
        RefineModel(matches, minScale, startCutoff, widest, wideInlier, wideScale) < kMinWideInliers ||
        !SpreadEnough(matches, wideInlier, widest))
        return false;
    int chosen = kAlignModelTerms[0];
    AlignModel trial = widest;
    trial.terms = chosen;
    double best = HeldOutResidual(matches, wideInlier, trial);
    for (int k = 1; k < 3; ++k) {
        trial.terms = kAlignModelTerms[k];
        const double heldOut = HeldOutResidual(matches, wideInlier, trial);
        if (heldOut < kWideGain * best && best - heldOut > 0.02 * pixel) {
            chosen = trial.terms;
            best = heldOut;
        }
    }
    if (chosen == kAlignModelTerms[0]) return false;
    AlignModel richer = widest;
    richer.terms = chosen;
    if (chosen < kAlignModelTerms[2]) richer.radial = 0;
    std::vector<double> weights(wideInlier.begin(), wideInlier.end());
    std::vector<char> richerInlier;
    double richerScale = 0;
    if (!FitModel(matches, &weights, richer) ||
        RefineModel(matches, minScale, 4.685 * wideScale, richer, richerInlier, richerScale) <
            kMinWideInliers ||
        !CornersHold(richer))
        return false;
    model = richer;
    inlier.swap(richerInlier);
    scale = richerScale;
    return true;
}

class Estimator {
public:
    Estimator(const uint32_t* left, int lw, int lh, const uint32_t* right, int rw, int rh);
    PairEstimate Run();

private:
    bool BuildPyramids();
    void CoarseMatches(std::vector<LevelMatch>& matches);
    void FollowDown(std::vector<LevelMatch>& matches, int toLevel);
    bool BandMatches(const AlignModel& model, double pLow, double pHigh, std::vector<AlignMatch>& out);
    AlignMatch ToBase(const LevelMatch& m, int level) const;
    PairEstimate Finish(const std::vector<AlignMatch>& base);
    PairEstimate Fail(AlignReason reason, double confidence) const;

    const uint32_t* leftPixels_;
    const uint32_t* rightPixels_;
    int lw_, lh_, rw_, rh_;
    int factor_ = 1;
    int coarse_ = 0;
    std::vector<LumaImage> left_, right_;  // pyramid levels 0..coarse_
    std::vector<AlignFeature> features_;   // on level 0
    std::vector<AlignPatch> scratch_;
    std::vector<double> scores_;
    int searched_ = 0;                     // places searched on level 0
};

Estimator::Estimator(const uint32_t* left, int lw, int lh, const uint32_t* right, int rw, int rh)
    : leftPixels_(left), rightPixels_(right), lw_(lw), lh_(lh), rw_(rw), rh_(rh), scratch_(2) {}

PairEstimate Estimator::Fail(AlignReason reason, double confidence) const {
    PairEstimate e{};
    e.width = std::max(lw_, 0);
    e.height = std::max(lh_, 0);
    e.verticalScale = 1;
    e.scaleCos = 1;
    e.confidence = confidence;
    e.reason = reason;
    return e;
}

bool Estimator::BuildPyramids() {
    factor_ = AnalysisReduction(lw_, lh_, rw_, rh_);
    left_.resize(1);
    right_.resize(1);
    ReduceToLuma(leftPixels_, lw_, lh_, factor_, left_[0]);
    ReduceToLuma(rightPixels_, rw_, rh_, factor_, right_[0]);
    const int minSide = 2 * kFineMargin + 8;
    if (left_[0].width < minSide || left_[0].height < minSide || right_[0].width < minSide ||
        right_[0].height < minSide)
        return false;
    coarse_ = 0;
    while (coarse_ < 4 && (left_[0].width >> (coarse_ + 1)) >= 112 &&
           (left_[0].height >> (coarse_ + 1)) >= 64)
        ++coarse_;
    left_.resize(static_cast<size_t>(coarse_) + 1);
    right_.resize(static_cast<size_t>(coarse_) + 1);
    for (int l = 1; l <= coarse_; ++l) {
        HalveLuma(left_[l - 1], left_[l]);
        HalveLuma(right_[l - 1], right_[l]);
    }
    return true;
}

AlignMatch Estimator::ToBase(const LevelMatch& m, int level) const {
    return {LevelToBase(m.xl, level), LevelToBase(m.yl, level), LevelToBase(m.xr, level),
            LevelToBase(m.yr, level)};
}

void Estimator::CoarseMatches(std::vector<LevelMatch>& matches) {
    const LumaImage& L = left_[coarse_];
    const LumaImage& R = right_[coarse_];
    const int rx = std::max(2, RoundToInt(kSearchWidthShare * L.width));
    const int ry = std::max(2, RoundToInt(kSearchHeightShare * L.height));
    AlignPatch& patch = scratch_[0];
    AlignPatch& back = scratch_[1];
    // Every fourth place, still spread over the whole view, is enough for the
    // geometry at a quarter of the cost of the widest searches; small views
    // with few places use them all.
    const size_t stride = features_.size() >= 160 ? 4 : features_.size() >= 60 ? 2 : 1;
    for (size_t k = 0; k < features_.size(); k += stride) {
        const int xl = features_[k].x >> coarse_, yl = features_[k].y >> coarse_;
        if (!TakePatch(L, xl, yl, kCoarseRadius, patch)) continue;
        AlignWindow w;
        if (!ClipWindow(R, kCoarseRadius, xl - rx, xl + rx, yl - ry, yl + ry, w)) continue;
        ScoreWindow(patch, R, w, scores_);
        const AlignPeak peak = PickPeak(scores_, w, nullptr, nullptr);
        if (!Distinct(peak) || !TakePatch(R, peak.x, peak.y, kCoarseRadius, back)) continue;
        AlignWindow wb;
        if (!ClipWindow(L, kCoarseRadius, peak.x - rx, peak.x + rx, peak.y - ry, peak.y + ry, wb)) continue;
        ScoreWindow(back, L, wb, scores_);
        const AlignPeak home = PickPeak(scores_, wb, nullptr, nullptr);
        if (!home.found || std::abs(home.x - xl) > 1 || std::abs(home.y - yl) > 1) continue;
        matches.push_back({static_cast<int>(k), xl, yl, peak.x, peak.y});
    }
}

void Estimator::FollowDown(std::vector<LevelMatch>& matches, int toLevel) {
    AlignPatch& patch = scratch_[0];
    for (int level = coarse_ - 1; level >= toLevel; --level) {
        const LumaImage& L = left_[level];
        const LumaImage& R = right_[level];
        std::vector<LevelMatch> kept;
        for (const LevelMatch& m : matches) {
            const AlignFeature& f = features_[m.feature];
            const int xl = f.x >> level, yl = f.y >> level;
            const int px = xl + 2 * (m.xr - m.xl), py = yl + 2 * (m.yr - m.yl);
            AlignWindow w;
            if (!TakePatch(L, xl, yl, kCoarseRadius, patch) ||
                !ClipWindow(R, kCoarseRadius, px - 2, px + 2, py - 2, py + 2, w))
                continue;
            ScoreWindow(patch, R, w, scores_);
            const AlignPeak peak = PickPeak(scores_, w, nullptr, nullptr);
            if (!peak.found || peak.best < kMinCorrelation) continue;
            kept.push_back({m.feature, xl, yl, peak.x, peak.y});
        }
        matches.swap(kept);
    }
}

bool Estimator::BandMatches(const AlignModel& model, double pLow, double pHigh,
                            std::vector<AlignMatch>& out) {
    const LumaImage& L = left_[0];
    const LumaImage& R = right_[0];
    AlignPatch& patch = scratch_[0];
    AlignPatch& back = scratch_[1];
    std::vector<int> rowLow, rowHigh;
    searched_ = 0;
    for (const AlignFeature& f : features_) {
        if (!TakePatch(L, f.x, f.y, kFineRadius, patch)) continue;
        double xa, ya, xb, yb;
        model.RightOf(f.x, f.y, pLow, xa, ya);
        model.RightOf(f.x, f.y, pHigh, xb, yb);
        const int c0 = static_cast<int>(std::ceil(std::min(xa, xb)));
        const int c1 = static_cast<int>(std::floor(std::max(xa, xb)));
        const double r0 = model.RightRowOf(f.y, c0), r1 = model.RightRowOf(f.y, c1);
        AlignWindow w;
        if (!ClipWindow(R, kFineRadius, c0, c1, RoundToInt(std::min(r0, r1)) - kBandRows,
                        RoundToInt(std::max(r0, r1)) + kBandRows, w))
            continue;
        ++searched_;
        rowLow.resize(static_cast<size_t>(w.nx));
        rowHigh.resize(static_cast<size_t>(w.nx));
        for (int k = 0; k < w.nx; ++k) {
            const int centre = RoundToInt(model.RightRowOf(f.y, w.x0 + k)) - w.y0;
            rowLow[k] = centre - kBandRows;
            rowHigh[k] = centre + kBandRows;
        }
        ScoreWindow(patch, R, w, scores_);
        const AlignPeak peak = PickPeak(scores_, w, rowLow.data(), rowHigh.data());
        if (!Distinct(peak) || !TakePatch(R, peak.x, peak.y, kFineRadius, back)) continue;
        // Back along the left view's band: its row is the right point's own
        // (LeftRowOf), its columns the same parallax range.
        const int homeRow = RoundToInt(model.LeftRowOf(peak.x, peak.y));
        // Parallax against a left point at x = 0 is the ideal view's x itself.
        const double idealX =
            model.Parallax({0, 0, static_cast<double>(peak.x), static_cast<double>(peak.y)});
        AlignWindow wb;
        if (!ClipWindow(L, kFineRadius, static_cast<int>(std::ceil(idealX - pHigh)),
                        static_cast<int>(std::floor(idealX - pLow)), homeRow - kBandRows,
                        homeRow + kBandRows, wb))
            continue;
        ScoreWindow(back, L, wb, scores_);
        const AlignPeak home = PickPeak(scores_, wb, nullptr, nullptr);
        if (!home.found || std::abs(home.x - f.x) > 1 || std::abs(home.y - f.y) > 1) continue;
        double xr = peak.x, yr = peak.y, correlation = 0;
        if (!RefineMatch(L, R, f.x, f.y, xr, yr, correlation) || correlation < kMinCorrelation)
            continue;
        out.push_back({static_cast<double>(f.x), static_cast<double>(f.y), xr, yr});
    }
    return !out.empty();
}

// min(1, value / (2 gate)): 0.5 exactly at the gate.
double AtLeast(double value, double gate) { return std::min(1.0, 0.5 * value / gate); }
double AtMost(double value, double gate) {
    return value <= 0 ? 1.0 : std::min(1.0, 0.5 * gate / value);
}

PairEstimate Estimator::Finish(const std::vector<AlignMatch>& base) {
    // Analysis pixel (u, v) averages full pixels f u .. f u + f - 1.
    const double f = factor_, shift = (f - 1) / 2;
    std::vector<AlignMatch> matches;
    matches.reserve(base.size());
    for (const AlignMatch& m : base)
        matches.push_back({m.xl * f + shift, m.yl * f + shift, m.xr * f + shift, m.yr * f + shift});
    AlignModel model = CentredModel(lw_, lh_);
    const double textureFactor = AtLeast(static_cast<double>(features_.size()), kMinFeatures);
    if (RansacModel(matches, 1.0 * f, 400, model) < 3)
        return Fail(AlignReason::TooFewInliers, std::min(textureFactor, 0.25));
    std::vector<char> inlier;
    double scale = 0;
    if (RefineModel(matches, 0.02 * f, 1.0 * f, model, inlier, scale) < 3)
        return Fail(AlignReason::TooFewInliers, std::min(textureFactor, 0.25));
    // The matches were searched along the band's rows, so all of them lie
    // within a few rows of the richer model when one was needed.
    WidenModel(matches, 0.02 * f, (kBandRows + 2) * f, f, model, inlier, scale);

    double squares = 0, before = 0;
    int inliers = 0;
    std::vector<double> parallax;
    for (size_t k = 0; k < matches.size(); ++k) {
        if (!inlier[k]) continue;
        const double r = model.Residual(matches[k]), dy = matches[k].yr - matches[k].yl;
        squares += r * r;
        before += dy * dy;
        ++inliers;
        parallax.push_back(model.Parallax(matches[k]));
    }
    const double after = inliers > model.terms ? std::sqrt(squares / (inliers - model.terms)) : 1e9;
    const double rms = after / f;
    const double slopeError = SlopeUncertainty(matches, inlier, model, after);

    PairEstimate e = Fail(AlignReason::None, 0);
    const double d = model.e * model.e + model.f * model.f;
    e.verticalOffset = model.t;
    e.rotationDegrees = PortableAtan2(model.f, model.e) * (180 / 3.14159265358979323846);
    e.verticalScale = 1 / std::sqrt(d);
    e.scaleCos = model.e / d;
    e.scaleSin = model.f / d;
    e.nearParallax = Quantile(parallax, kNearQuantile);
    e.farParallax = Quantile(parallax, kFarQuantile);
    e.nearParallaxPercent = 100 * e.nearParallax / lw_;
    e.farParallaxPercent = 100 * e.farParallax / lw_;
    e.matches = inliers;
    e.model = model.terms == kAlignModelTerms[0]   ? VerticalModel::Similarity
              : model.terms == kAlignModelTerms[1] ? VerticalModel::Keystone
                                                   : VerticalModel::KeystoneRadial;
    e.residualBefore = std::sqrt(before / inliers);
    e.residualAfter = after;
    e.modelUnit = model.unit;
    e.keystoneX = model.keyX;
    e.keystoneY = model.keyY;
    e.radial = model.radial;

    // Each measure is 0.5 at its gate; the confidence is the weakest, and
    // its kind is the reason when the confidence is low.
    struct Factor {
        double value;
        AlignReason reason;
    };
    const bool plausible = std::fabs(e.rotationDegrees) <= 15 && std::fabs(e.verticalScale - 1) <= 0.15;
    const Factor factors[] = {
        {textureFactor, AlignReason::TooLittleTexture},
        {AtLeast(inliers, kMinInliers), AlignReason::TooFewInliers},
        {AtLeast(static_cast<double>(inliers) / std::max(searched_, 1), kMinInlierShare),
         AlignReason::TooFewInliers},
        // Leaving fourteen rows in place because the last one is not
        // explained is the wrong trade: a fit that removes nine tenths of
        // the disparity aligns, as long as what it leaves stays small.
        {AtMost(rms, std::max(kMaxResidual, std::min(kMaxResidualAtAll,
                                                      kMaxResidualShare * e.residualBefore / f))),
         AlignReason::FitDoesNotHold},
        // Matches that passed both checks yet disagree with the fit: parts of
        // the view that move differently (a pair that is no similarity apart).
        {std::min(1.0, std::max(0.0, (static_cast<double>(inliers) / static_cast<double>(matches.size()) - 0.4) / 0.4)),
         AlignReason::FitDoesNotHold},
        {AtMost(slopeError, kMaxRotationError), AlignReason::FitDoesNotHold},
        {plausible ? 1.0 : 0.0, AlignReason::FitDoesNotHold},
    };
    e.confidence = 1;
    for (const Factor& factor : factors)
        if (factor.value < e.confidence) {
            e.confidence = factor.value;
            e.reason = factor.value < kAlignConfident ? factor.reason : AlignReason::None;
        }
    return e;
}

PairEstimate Estimator::Run() {
    if (leftPixels_ == nullptr || rightPixels_ == nullptr || lw_ <= 0 || lh_ <= 0 || rw_ <= 0 || rh_ <= 0)
        return Fail(AlignReason::TooLittleTexture, 0);
    if (!BuildPyramids()) return Fail(AlignReason::TooLittleTexture, 0);

    // Places are chosen on level 1 where there is one: a quarter of the work,
    // and detail that survives one halving is the kind that matches.
    const LumaImage& base = left_[0];
    const int cell = std::max(12, RoundToInt(std::sqrt(static_cast<double>(base.width) * base.height / 450)));
    if (coarse_ >= 1) {
        features_ = FindFeatures(left_[1], cell / 2, (kFineMargin + 1) / 2 + 1);
        for (AlignFeature& f : features_) {
            f.x = 2 * f.x;
            f.y = 2 * f.y;
        }
    } else {
        features_ = FindFeatures(base, cell, kFineMargin);
    }
    const double textureFactor = AtLeast(static_cast<double>(features_.size()), kMinFeatures);
    if (features_.size() < static_cast<size_t>(kMinFeatures) / 2)
        return Fail(AlignReason::TooLittleTexture, textureFactor);

    std::vector<LevelMatch> coarse;
    CoarseMatches(coarse);
    std::vector<AlignMatch> found;
    for (const LevelMatch& m : coarse) found.push_back(ToBase(m, coarse_));
    AlignModel model = CentredModel(base.width, base.height);
    const double step = static_cast<double>(1 << coarse_);
    const AlignReason fewReason =
        textureFactor < kAlignConfident ? AlignReason::TooLittleTexture : AlignReason::TooFewInliers;
    if (found.size() < 6 || RansacModel(found, 1.5 * step, 300, model) < 6)
        return Fail(fewReason, std::min(textureFactor, 0.2));

    // Keep the RANSAC inliers and follow them to level 1.
    std::vector<LevelMatch> kept;
    for (size_t k = 0; k < coarse.size(); ++k)
        if (std::fabs(model.Residual(found[k])) <= 1.5 * step) kept.push_back(coarse[k]);
    const int fine = std::min(coarse_, 1);
    FollowDown(kept, fine);
    found.clear();
    for (const LevelMatch& m : kept) found.push_back(ToBase(m, fine));
    std::vector<char> inlier;
    double scale = 0;
    const double fineStep = static_cast<double>(1 << fine);
    if (RefineModel(found, 0.3 * fineStep, 3 * step, model, inlier, scale) < 6)
        return Fail(fewReason, std::min(textureFactor, 0.2));
    // Two cameras' keystone or lenses can move corner rows further than the
    // band's two rows: the band follows the richer model when one is needed.
    WidenModel(found, 0.3 * fineStep, 3 * step, fineStep, model, inlier, scale);

    double pLow = 0, pHigh = 0;
    bool first = true;
    for (size_t k = 0; k < found.size(); ++k) {
        if (!inlier[k]) continue;
        const double p = model.Parallax(found[k]);
        pLow = first ? p : std::min(pLow, p);
        pHigh = first ? p : std::max(pHigh, p);
        first = false;
    }
    const double margin = std::max(6.0, 0.03 * base.width);
    std::vector<AlignMatch> matches;
    if (!BandMatches(model, pLow - margin, pHigh + margin, matches))
        return Fail(fewReason, std::min(textureFactor, 0.2));
    return Finish(matches);
}

}  // namespace

PairEstimate EstimatePairAlignment(const uint32_t* left, int leftWidth, int leftHeight,
                                   const uint32_t* right, int rightWidth, int rightHeight) {
    Estimator estimator(left, leftWidth, leftHeight, right, rightWidth, rightHeight);
    return estimator.Run();
}
