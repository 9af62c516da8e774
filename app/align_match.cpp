#include "app/align_match.h"

#include <algorithm>
#include <cmath>

// ---------------------------------------------------------------------------
// Features
// ---------------------------------------------------------------------------

namespace {

constexpr int kTensorRadius = 3;  // 7 x 7 structure-tensor window

// Smaller eigenvalue of [[a, b], [b, c]].
double MinEigen(double a, double b, double c) {
    const double half = 0.5 * (a - c);
    return 0.5 * (a + c) - std::sqrt(half * half + b * b);
}

}  // namespace

std::vector<AlignFeature> FindFeatures(const LumaImage& image, int cell, int margin) {
    std::vector<AlignFeature> found;
    margin = std::max(margin, kTensorRadius + 1);
    if (cell < 1 || image.width <= 2 * margin || image.height <= 2 * margin) return found;
    const int cellsX = (image.width + cell - 1) / cell, cellsY = (image.height + cell - 1) / cell;
    // Per cell: gradient products over the cell grown by the window radius,
    // then their integral images, so each position's window sum costs four
    // look-ups. Only cell-sized buffers, however large the image.
    std::vector<int64_t> sxx, sxy, syy;
    const double windowArea = (2 * kTensorRadius + 1) * (2 * kTensorRadius + 1);
    for (int cy = 0; cy < cellsY; ++cy) {
        for (int cx = 0; cx < cellsX; ++cx) {
            const int xa = std::max(cx * cell, margin), xb = std::min((cx + 1) * cell, image.width - margin);
            const int ya = std::max(cy * cell, margin), yb = std::min((cy + 1) * cell, image.height - margin);
            if (xa >= xb || ya >= yb) continue;
            const int gx0 = xa - kTensorRadius, gy0 = ya - kTensorRadius;
            const int gw = xb - xa + 2 * kTensorRadius, gh = yb - ya + 2 * kTensorRadius;
            const size_t stride = static_cast<size_t>(gw) + 1;
            const size_t cells = stride * (static_cast<size_t>(gh) + 1);
            sxx.assign(cells, 0);
            sxy.assign(cells, 0);
            syy.assign(cells, 0);
            for (int j = 0; j < gh; ++j) {
                const int y = gy0 + j;
                const uint16_t* row = image.Row(y);
                const uint16_t* up = image.Row(y - 1);
                const uint16_t* down = image.Row(y + 1);
                int64_t rowXX = 0, rowXY = 0, rowYY = 0;
                for (int i = 0; i < gw; ++i) {
                    const int x = gx0 + i;
                    const int64_t gx = row[x + 1] - row[x - 1], gy = down[x] - up[x];
                    rowXX += gx * gx;
                    rowXY += gx * gy;
                    rowYY += gy * gy;
                    const size_t k = (j + 1) * stride + (i + 1);
                    sxx[k] = sxx[k - stride] + rowXX;
                    sxy[k] = sxy[k - stride] + rowXY;
                    syy[k] = syy[k - stride] + rowYY;
                }
            }
            AlignFeature best{0, 0, -1.0};
            const int side = 2 * kTensorRadius + 1;
            for (int y = ya; y < yb; ++y)
                for (int x = xa; x < xb; ++x) {
                    const size_t top = static_cast<size_t>(y - ya) * stride + (x - xa);
                    const size_t bottom = top + side * stride;
                    auto box = [&](const std::vector<int64_t>& s) {
                        return static_cast<double>(s[bottom + side] - s[bottom] - s[top + side] + s[top]);
                    };
                    const double strength = MinEigen(box(sxx), box(sxy), box(syy));
                    if (strength > best.strength) best = {x, y, strength};
                }
            if (best.strength < 0) continue;
            best.strength = std::sqrt(std::max(0.0, best.strength) / windowArea);
            if (best.strength >= kTextureFloor) found.push_back(best);
        }
    }
    return found;
}

// ---------------------------------------------------------------------------
// Correlation
// ---------------------------------------------------------------------------

bool TakePatch(const LumaImage& image, int x, int y, int radius, AlignPatch& patch) {
    if (x - radius < 0 || y - radius < 0 || x + radius >= image.width || y + radius >= image.height)
        return false;
    const int side = 2 * radius + 1;
    patch.radius = radius;
    patch.side = side;
    patch.weights.resize(static_cast<size_t>(side) * side);
    int64_t sum = 0, squares = 0;
    for (int j = 0; j < side; ++j) {
        const uint16_t* row = image.Row(y - radius + j) + (x - radius);
        for (int i = 0; i < side; ++i) {
            sum += row[i];
            squares += static_cast<int64_t>(row[i]) * row[i];
        }
    }
    const int64_t n = static_cast<int64_t>(side) * side;
    const int64_t mean = (sum + n / 2) / n;
    for (int j = 0; j < side; ++j) {
        const uint16_t* row = image.Row(y - radius + j) + (x - radius);
        for (int i = 0; i < side; ++i)
            patch.weights[static_cast<size_t>(j) * side + i] = static_cast<int32_t>(row[i] - mean);
    }
    patch.rounding = sum - n * mean;
    patch.variance = n * squares - sum * sum;
    return patch.variance > 0;
}

void ScoreWindow(const AlignPatch& patch, const LumaImage& image, const AlignWindow& window,
                 std::vector<double>& scores) {
    const int n = patch.side, r = patch.radius, nx = window.nx;
    const int span = nx + n - 1;
    scores.assign(static_cast<size_t>(nx) * window.ny, 0.0);
    std::vector<int32_t> products(static_cast<size_t>(nx));
    std::vector<int32_t> columnSum(static_cast<size_t>(span)), columnSquares(static_cast<size_t>(span));
    const int64_t area = static_cast<int64_t>(n) * n;
    const double patchVariance = static_cast<double>(patch.variance);
    for (int row = 0; row < window.ny; ++row) {
        std::fill(products.begin(), products.end(), 0);
        std::fill(columnSum.begin(), columnSum.end(), 0);
        std::fill(columnSquares.begin(), columnSquares.end(), 0);
        const int top = window.y0 + row - r;
        for (int pr = 0; pr < n; ++pr) {
            const uint16_t* source = image.Row(top + pr) + (window.x0 - r);
            const int32_t* weights = patch.weights.data() + static_cast<size_t>(pr) * n;
            // Candidates innermost: one weight times a run of contiguous
            // pixels, which the compiler turns into vector multiply-adds.
            // Ten-bit values keep a 15 x 15 sum of products within 2^31.
            for (int pc = 0; pc < n; ++pc) {
                const int32_t w = weights[pc];
                const uint16_t* s = source + pc;
                int32_t* out = products.data();
                for (int k = 0; k < nx; ++k) out[k] += w * s[k];
            }
            for (int k = 0; k < span; ++k) {
                columnSum[k] += source[k];
                columnSquares[k] += static_cast<int32_t>(source[k]) * source[k];
            }
        }
        int64_t s1 = 0, s2 = 0;
        for (int k = 0; k < n; ++k) {
            s1 += columnSum[k];
            s2 += columnSquares[k];
        }
        double* out = scores.data() + static_cast<size_t>(row) * nx;
        for (int k = 0; k < nx; ++k) {
            if (k > 0) {
                s1 += columnSum[k + n - 1] - columnSum[k - 1];
                s2 += columnSquares[k + n - 1] - columnSquares[k - 1];
            }
            const int64_t variance = area * s2 - s1 * s1;
            if (variance <= 0) continue;
            // Covariance times n^2, exactly: sum(w I) + mean sum(I) - sum(T) sum(I) / n^2.
            const int64_t covariance = area * products[k] - patch.rounding * s1;
            out[k] = static_cast<double>(covariance) /
                     std::sqrt(patchVariance * static_cast<double>(variance));
        }
    }
}

AlignPeak PickPeak(const std::vector<double>& scores, const AlignWindow& window,
                   const int* rowLow, const int* rowHigh) {
    AlignPeak peak{false, 0, 0, -2.0, 0.0};
    int bx = 0, by = 0;
    auto rowsOf = [&](int k, int& lo, int& hi) {
        lo = rowLow ? std::max(rowLow[k], 0) : 0;
        hi = rowHigh ? std::min(rowHigh[k], window.ny - 1) : window.ny - 1;
    };
    for (int k = 0; k < window.nx; ++k) {
        int lo, hi;
        rowsOf(k, lo, hi);
        for (int j = lo; j <= hi; ++j) {
            const double s = scores[static_cast<size_t>(j) * window.nx + k];
            if (s > peak.best) {
                peak.best = s;
                bx = k;
                by = j;
                peak.found = true;
            }
        }
    }
    if (!peak.found) return peak;
    for (int k = 0; k < window.nx; ++k) {
        int lo, hi;
        rowsOf(k, lo, hi);
        for (int j = lo; j <= hi; ++j) {
            if (std::abs(k - bx) <= 2 && std::abs(j - by) <= 2) continue;
            peak.second = std::max(peak.second, scores[static_cast<size_t>(j) * window.nx + k]);
        }
    }
    peak.x = window.x0 + bx;
    peak.y = window.y0 + by;
    return peak;
}

bool Distinct(const AlignPeak& peak) {
    return peak.found && peak.best >= kMinCorrelation && (1.0 - peak.best) <= 0.6 * (1.0 - peak.second);
}

// ---------------------------------------------------------------------------
// Sub-pixel refinement
// ---------------------------------------------------------------------------

namespace {

constexpr int kRefineRadius = 7;
constexpr int kRefineSide = 2 * kRefineRadius + 1;
constexpr int kRefineArea = kRefineSide * kRefineSide;

// Subtracts the mean and scales to unit energy; false when flat.
bool Normalise(double* v, int count, double* scale) {
    double mean = 0;
    for (int k = 0; k < count; ++k) mean += v[k];
    mean /= count;
    double energy = 0;
    for (int k = 0; k < count; ++k) {
        v[k] -= mean;
        energy += v[k] * v[k];
    }
    if (energy <= 1e-9) return false;
    const double inverse = 1.0 / std::sqrt(energy);
    for (int k = 0; k < count; ++k) v[k] *= inverse;
    if (scale) *scale = inverse;
    return true;
}

// The right window at a translation: every sample shares one fraction, so
// the bilinear weights are computed once. False when it leaves the image.
bool SampleWindow(const LumaImage& image, double x, double y, double* out) {
    const double fx0 = std::floor(x), fy0 = std::floor(y);
    const int x0 = static_cast<int>(fx0) - kRefineRadius, y0 = static_cast<int>(fy0) - kRefineRadius;
    if (x0 < 0 || y0 < 0 || x0 + kRefineSide >= image.width || y0 + kRefineSide >= image.height)
        return false;
    const double fx = x - fx0, fy = y - fy0;
    const double w00 = (1 - fx) * (1 - fy), w10 = fx * (1 - fy), w01 = (1 - fx) * fy, w11 = fx * fy;
    for (int j = 0; j < kRefineSide; ++j) {
        const uint16_t* a = image.Row(y0 + j) + x0;
        const uint16_t* b = image.Row(y0 + j + 1) + x0;
        for (int i = 0; i < kRefineSide; ++i)
            out[j * kRefineSide + i] = (w00 * a[i] + w10 * a[i + 1]) + (w01 * b[i] + w11 * b[i + 1]);
    }
    return true;
}

}  // namespace

bool RefineMatch(const LumaImage& left, const LumaImage& right, int xl, int yl, double& xr,
                 double& yr, double& correlation) {
    const int r = kRefineRadius;
    if (xl - r - 1 < 0 || yl - r - 1 < 0 || xl + r + 1 >= left.width || yl + r + 1 >= left.height)
        return false;
    double t[kRefineArea], gx[kRefineArea], gy[kRefineArea], w[kRefineArea];
    for (int j = 0; j < kRefineSide; ++j) {
        const int y = yl - r + j;
        const uint16_t* row = left.Row(y);
        const uint16_t* up = left.Row(y - 1);
        const uint16_t* down = left.Row(y + 1);
        for (int i = 0; i < kRefineSide; ++i) {
            const int x = xl - r + i;
            const int k = j * kRefineSide + i;
            t[k] = row[x];
            gx[k] = 0.5 * (row[x + 1] - row[x - 1]);
            gy[k] = 0.5 * (down[x] - up[x]);
        }
    }
    double scale = 0;
    if (!Normalise(t, kRefineArea, &scale)) return false;
    double hxx = 0, hxy = 0, hyy = 0;
    for (int k = 0; k < kRefineArea; ++k) {
        gx[k] *= scale;
        gy[k] *= scale;
        hxx += gx[k] * gx[k];
        hxy += gx[k] * gy[k];
        hyy += gy[k] * gy[k];
    }
    const double det = hxx * hyy - hxy * hxy;
    // A window with detail in one direction only cannot be placed along the other.
    if (det <= 1e-6 * (hxx + hyy) * (hxx + hyy)) return false;
    const double startX = xr, startY = yr;
    double x = xr, y = yr;
    for (int iteration = 0; iteration < 10; ++iteration) {
        if (!SampleWindow(right, x, y, w) || !Normalise(w, kRefineArea, nullptr)) return false;
        double bx = 0, by = 0;
        for (int k = 0; k < kRefineArea; ++k) {
            const double e = w[k] - t[k];
            bx += gx[k] * e;
            by += gy[k] * e;
        }
        const double dx = (hyy * bx - hxy * by) / det, dy = (hxx * by - hxy * bx) / det;
        x -= dx;
        y -= dy;
        if (std::fabs(x - startX) > 1.5 || std::fabs(y - startY) > 1.5) return false;
        if (std::fabs(dx) < 1e-3 && std::fabs(dy) < 1e-3) break;
    }
    if (!SampleWindow(right, x, y, w) || !Normalise(w, kRefineArea, nullptr)) return false;
    double c = 0;
    for (int k = 0; k < kRefineArea; ++k) c += w[k] * t[k];
    correlation = c;
    xr = x;
    yr = y;
    return true;
}
