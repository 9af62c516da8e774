// What callers do with an estimate: the seed compositions' offsets, the right
// view resampled into the left view's frame, the depth budget, and the texts
// that name verdicts and reasons.
#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdlib>

#include "app/align_fit.h"
#include "app/auto_align.h"

namespace {

int RoundToInt(double v) {
    const double r = std::floor(v + 0.5);
    if (!(r > INT_MIN)) return INT_MIN;  // also NaN, which no estimate holds
    if (r >= INT_MAX) return INT_MAX;
    return static_cast<int>(r);
}

AlignModel ModelOf(const PairEstimate& e) {
    AlignModel model;
    model.cx = (e.width - 1) / 2.0;
    model.cy = (e.height - 1) / 2.0;
    // scaleCos and scaleSin are the inverse's (e, f) over e^2 + f^2.
    const double d = e.scaleCos * e.scaleCos + e.scaleSin * e.scaleSin;
    model.e = d > 0 ? e.scaleCos / d : 1;
    model.f = d > 0 ? e.scaleSin / d : 0;
    model.t = e.verticalOffset;
    model.unit = e.modelUnit > 0 ? e.modelUnit : 1;
    model.keyX = e.keystoneX;
    model.keyY = e.keystoneY;
    model.radial = e.radial;
    model.terms = e.model == VerticalModel::Similarity ? kAlignModelTerms[0]
                  : e.model == VerticalModel::Keystone ? kAlignModelTerms[1]
                                                       : kAlignModelTerms[2];
    return model;
}

}  // namespace

void IdealToRightView(const PairEstimate& e, double x, double y, double& xr, double& yr) {
    ModelOf(e).IdealToRight(x, y, xr, yr);
}

StereoOffsets OffsetsFor(const PairEstimate& e) {
    StereoOffsets o;
    o.i = -RoundToInt(e.verticalOffset);
    o.farA = RoundToInt(-e.farParallax);
    // Smallest a with near + a >= 0.5: a point exactly on the frame would sit
    // on the window's edge, and half a pixel keeps rounding from bringing it in front.
    o.windowA = RoundToInt(std::ceil(0.5 - e.nearParallax));
    return o;
}

void ResampleRightView(const PairEstimate& e, const uint32_t* right, int rightWidth,
                       int rightHeight, int i, uint32_t* out) {
    const int width = e.width, height = e.height;
    if (width <= 0 || height <= 0 || out == nullptr) return;
    const double cx = (width - 1) / 2.0, cy = (height - 1) / 2.0;
    const double a = e.scaleCos, b = e.scaleSin;
    // The composition will take -i rows off; the output keeps them, so
    // its row y shows the ideal view's row y + i.
    const double kept = -static_cast<double>(i);
    const bool haveRight = right != nullptr && rightWidth > 0 && rightHeight > 0;
    const double maxX = rightWidth - 1, maxY = rightHeight - 1;
    const bool similarity = e.model == VerticalModel::Similarity;
    const AlignModel model = ModelOf(e);
    for (int y = 0; y < height; ++y) {
        uint32_t* dst = out + static_cast<size_t>(y) * width;
        const double Y = y - kept - cy;
        const double rowX = cx - b * Y, rowY = cy + a * Y + e.verticalOffset;
        for (int x = 0; x < width; ++x) {
            const double X = x - cx;
            double sx = rowX + a * X, sy = rowY + b * X;
            if (!similarity) model.IdealToRight(x, y - kept, sx, sy);
            if (!haveRight || !(sx >= 0 && sx <= maxX && sy >= 0 && sy <= maxY)) {
                dst[x] = 0;
                continue;
            }
            int x0 = static_cast<int>(sx), y0 = static_cast<int>(sy);
            int wx = static_cast<int>((sx - x0) * 256 + 0.5), wy = static_cast<int>((sy - y0) * 256 + 0.5);
            if (wx == 256) { ++x0; wx = 0; }
            if (wy == 256) { ++y0; wy = 0; }
            const int x1 = std::min(x0 + 1, rightWidth - 1), y1 = std::min(y0 + 1, rightHeight - 1);
            const uint32_t* top = right + static_cast<size_t>(y0) * rightWidth;
            const uint32_t* bottom = right + static_cast<size_t>(y1) * rightWidth;
            const uint32_t p00 = top[x0], p01 = top[x1], p10 = bottom[x0], p11 = bottom[x1];
            uint32_t pixel = 0;
            for (int shift = 0; shift <= 16; shift += 8) {
                const uint32_t upper = ((p00 >> shift) & 255) * (256 - wx) + ((p01 >> shift) & 255) * wx;
                const uint32_t lower = ((p10 >> shift) & 255) * (256 - wx) + ((p11 >> shift) & 255) * wx;
                pixel |= ((upper * (256 - wy) + lower * wy + 32768) >> 16) << shift;
            }
            dst[x] = pixel;
        }
    }
}

namespace {

// The usual rule: the parallax range within 1/30 of the picture's width;
// twice that is for viewers who are used to it.
constexpr double kComfortableShare = 1.0 / 30;
constexpr double kStrongShare = 1.0 / 15;
constexpr double kEyeSeparationMm = 65;

}  // namespace

DepthBudget JudgeDepthBudget(const PairEstimate& e, int a, double screenWidthMm) {
    DepthBudget budget;
    const long long shown = static_cast<long long>(e.width) - std::llabs(static_cast<long long>(a));
    const double composed = static_cast<double>(std::max(shown, 1LL));
    budget.deviation = std::max(0.0, e.farParallax - e.nearParallax);
    budget.deviationShare = budget.deviation / composed;
    budget.farScreenMm = screenWidthMm > 0 ? (e.farParallax + a) * screenWidthMm / composed : 0;
    if (shown < 1 || budget.deviationShare > kStrongShare ||
        (screenWidthMm > 0 && budget.farScreenMm > kEyeSeparationMm))
        budget.verdict = DepthVerdict::TooDeep;
    else if (budget.deviationShare > kComfortableShare)
        budget.verdict = DepthVerdict::Strong;
    else
        budget.verdict = DepthVerdict::Comfortable;
    return budget;
}

const char* DepthVerdictText(DepthVerdict verdict) {
    switch (verdict) {
    case DepthVerdict::Comfortable: return "comfortable";
    case DepthVerdict::Strong: return "strong";
    case DepthVerdict::TooDeep: return "too deep";
    }
    return "";
}

const char* VerticalModelText(VerticalModel model) {
    switch (model) {
    case VerticalModel::Similarity: return "similarity";
    case VerticalModel::Keystone: return "keystone";
    case VerticalModel::KeystoneRadial: return "keystone+radial";
    }
    return "";
}

const char* AlignReasonText(AlignReason reason) {
    switch (reason) {
    case AlignReason::None: return "";
    case AlignReason::TooLittleTexture: return "too little texture";
    case AlignReason::TooFewInliers: return "too few inliers";
    case AlignReason::FitDoesNotHold: return "the fit does not hold";
    }
    return "";
}
