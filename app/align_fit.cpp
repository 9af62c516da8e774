#include "app/align_fit.h"

#include <algorithm>
#include <cmath>

double AlignModel::Extra(double X, double Y) const {
    const double u = X / unit, v = Y / unit;
    return v * (keyX * u + keyY * v + radial * (u * u + v * v));
}

double AlignModel::Residual(const AlignMatch& m) const {
    const double X = m.xr - cx, Y = m.yr - cy;
    return (m.yr - m.yl) - (f * X + (1 - e) * Y + e * t + Extra(X, Y));
}

double AlignModel::Parallax(const AlignMatch& m) const {
    const double X = m.xr - cx, Y = m.yr - cy;
    return (e * X + f * (Y - t)) - (m.xl - cx);
}

namespace {

// Rounds of the fixed-point iterations below: each cuts the error by the
// extra terms' change per pixel, hundredths for a real pair's keystone and
// lenses; the strongest terms the estimate keeps (its corner bound) still
// converge well within the rounds.
constexpr int kMostRounds = 40;
constexpr double kConverged = 1e-9;

}  // namespace

void AlignModel::IdealToRight(double x, double y, double& xr, double& yr) const {
    // The similarity's inverse of (x, y + Extra): Extra is read at the right
    // point itself, so it is iterated from 0.
    const double d = e * e + f * f;
    const double X = x - cx;
    double extra = 0, Xr = 0, Yr = 0;
    for (int round = 0; round < kMostRounds; ++round) {
        const double Y = y - cy + extra;
        Xr = (e * X - f * Y) / d;
        Yr = (f * X + e * Y) / d + t;
        if (terms == 3) break;
        const double next = Extra(Xr, Yr);
        if (std::fabs(next - extra) <= kConverged) break;
        extra = next;
    }
    xr = cx + Xr;
    yr = cy + Yr;
}

void AlignModel::RightOf(double xl, double yl, double p, double& xr, double& yr) const {
    IdealToRight(xl + p, yl, xr, yr);
}

double AlignModel::LeftRowOf(double xr, double yr) const {
    const double X = xr - cx, Y = yr - cy;
    return cy - f * X + e * (Y - t) - Extra(X, Y);
}

double AlignModel::RightRowOf(double yl, double xr) const {
    const double X = xr - cx;
    double Y = ((yl - cy) + f * X) / e + t;
    for (int round = 0; terms > 3 && round < kMostRounds; ++round) {
        const double next = ((yl - cy) + f * X + Extra(X, Y)) / e + t;
        const bool done = std::fabs(next - Y) <= kConverged;
        Y = next;
        if (done) break;
    }
    return cy + Y;
}

namespace {

constexpr int kMaxTerms = 6;

// Solves the n x n system a x = b by elimination with partial pivoting;
// false when a pivot is negligible against the matrix's size.
bool Solve(int n, double a[kMaxTerms][kMaxTerms], double b[kMaxTerms], double x[kMaxTerms]) {
    double size = 0;
    for (int i = 0; i < n; ++i)
        for (int j = 0; j < n; ++j) size = std::max(size, std::fabs(a[i][j]));
    if (size <= 0) return false;
    for (int col = 0; col < n; ++col) {
        int pivot = col;
        for (int row = col + 1; row < n; ++row)
            if (std::fabs(a[row][col]) > std::fabs(a[pivot][col])) pivot = row;
        if (std::fabs(a[pivot][col]) <= 1e-10 * size) return false;
        if (pivot != col) {
            for (int j = 0; j < n; ++j) std::swap(a[col][j], a[pivot][j]);
            std::swap(b[col], b[pivot]);
        }
        for (int row = col + 1; row < n; ++row) {
            const double k = a[row][col] / a[col][col];
            for (int j = col; j < n; ++j) a[row][j] -= k * a[col][j];
            b[row] -= k * b[col];
        }
    }
    for (int row = n - 1; row >= 0; --row) {
        double s = b[row];
        for (int j = row + 1; j < n; ++j) s -= a[row][j] * x[j];
        x[row] = s / a[row][row];
    }
    return true;
}

// The model's terms at a match, in units of `unit` so that the normal
// equations are of comparable size whatever the view's.
void Terms(const AlignModel& model, const AlignMatch& m, double v[kMaxTerms]) {
    const double u = (m.xr - model.cx) / model.unit, w = (m.yr - model.cy) / model.unit;
    const double all[kMaxTerms] = {u, w, 1.0, u * w, w * w, w * (u * u + w * w)};
    for (int i = 0; i < model.terms; ++i) v[i] = all[i];
}

// Fits dy / unit over the listed matches with weights (null: 1).
bool FitIndices(const std::vector<AlignMatch>& matches, const int* index, int count,
                const std::vector<double>* weights, AlignModel& model) {
    const int n = model.terms;
    double a[kMaxTerms][kMaxTerms] = {}, b[kMaxTerms] = {};
    for (int k = 0; k < count; ++k) {
        const int i0 = index ? index[k] : k;
        const double w = weights ? (*weights)[i0] : 1.0;
        if (w <= 0) continue;
        const AlignMatch& m = matches[i0];
        double v[kMaxTerms];
        Terms(model, m, v);
        const double dy = (m.yr - m.yl) / model.unit;
        for (int i = 0; i < n; ++i) {
            for (int j = 0; j < n; ++j) a[i][j] += w * v[i] * v[j];
            b[i] += w * v[i] * dy;
        }
    }
    double x[kMaxTerms] = {};
    if (!Solve(n, a, b, x)) return false;
    const double e = 1 - x[1];
    if (!(e > 0.5)) return false;  // a scale beyond 2 or a turn past 60 degrees is no pair
    model.f = x[0];
    model.e = e;
    model.t = x[2] * model.unit / e;
    model.keyX = x[3] * model.unit;
    model.keyY = x[4] * model.unit;
    model.radial = x[5] * model.unit;
    return true;
}

}  // namespace

bool FitModel(const std::vector<AlignMatch>& matches, const std::vector<double>* weights,
              AlignModel& model) {
    return FitIndices(matches, nullptr, static_cast<int>(matches.size()), weights, model);
}

int RansacModel(const std::vector<AlignMatch>& matches, double threshold, int rounds,
                AlignModel& model) {
    const int n = static_cast<int>(matches.size());
    if (n < 3) return 0;
    uint64_t state = 0x9E3779B97F4A7C15ull;
    auto draw = [&]() {
        state = state * 6364136223846793005ull + 1442695040888963407ull;
        return static_cast<int>((state >> 33) % static_cast<uint64_t>(n));
    };
    int bestCount = 0;
    AlignModel best = model;
    best.terms = 3;
    for (int round = 0; round < rounds; ++round) {
        int pick[3] = {draw(), draw(), draw()};
        if (pick[0] == pick[1] || pick[0] == pick[2] || pick[1] == pick[2]) continue;
        AlignModel trial = model;
        trial.terms = 3;
        if (!FitIndices(matches, pick, 3, nullptr, trial)) continue;
        int count = 0;
        for (const AlignMatch& m : matches)
            if (std::fabs(trial.Residual(m)) <= threshold) ++count;
        if (count > bestCount) {
            bestCount = count;
            best = trial;
        }
    }
    if (bestCount < 3) return 0;
    std::vector<int> inliers;
    for (int k = 0; k < n; ++k)
        if (std::fabs(best.Residual(matches[k])) <= threshold) inliers.push_back(k);
    AlignModel refit = best;
    if (FitIndices(matches, inliers.data(), static_cast<int>(inliers.size()), nullptr, refit)) {
        int count = 0;
        for (const AlignMatch& m : matches)
            if (std::fabs(refit.Residual(m)) <= threshold) ++count;
        if (count >= bestCount) {
            best = refit;
            bestCount = count;
        }
    }
    model = best;
    return bestCount;
}

int RefineModel(const std::vector<AlignMatch>& matches, double minScale, double startCutoff,
                AlignModel& model, std::vector<char>& inlier, double& scale) {
    const size_t n = matches.size();
    inlier.assign(n, 0);
    std::vector<double> weights(n), magnitudes;
    // Measured inside the previous cut-off, the scale is not widened by gross
    // mismatches, however many there are.
    double cutoff = startCutoff;
    scale = minScale;
    for (int iteration = 0; iteration < 10; ++iteration) {
        magnitudes.clear();
        for (const AlignMatch& m : matches) {
            const double r = std::fabs(model.Residual(m));
            if (r <= cutoff) magnitudes.push_back(r);
        }
        if (magnitudes.size() < 3) return 0;
        scale = std::max(minScale, 1.4826 * Quantile(magnitudes, 0.5));
        cutoff = 4.685 * scale;
        for (size_t k = 0; k < n; ++k) {
            const double u = model.Residual(matches[k]) / cutoff;
            weights[k] = std::fabs(u) < 1 ? (1 - u * u) * (1 - u * u) : 0.0;
        }
        AlignModel next = model;
        if (!FitModel(matches, &weights, next)) return 0;
        model = next;
    }
    int count = 0;
    for (size_t k = 0; k < n; ++k)
        if (std::fabs(model.Residual(matches[k])) < cutoff) {
            inlier[k] = 1;
            ++count;
        }
    return count;
}

double SlopeUncertainty(const std::vector<AlignMatch>& matches, const std::vector<char>& inlier,
                        const AlignModel& model, double sigma) {
    const int n = model.terms;
    double a[kMaxTerms][kMaxTerms] = {};
    for (size_t k = 0; k < matches.size(); ++k) {
        if (!inlier[k]) continue;
        double v[kMaxTerms];
        Terms(model, matches[k], v);
        for (int i = 0; i < n; ++i)
            for (int j = 0; j < n; ++j) a[i][j] += v[i] * v[j];
    }
    // The first entry of the inverse normal matrix: its first column solves
    // a x = (1, 0, ...); f is the first term's coefficient, fitted to dy / unit.
    double unitX[kMaxTerms] = {1}, column[kMaxTerms] = {};
    if (!Solve(n, a, unitX, column) || !(column[0] > 0)) return 1.0;
    return sigma / model.unit * std::sqrt(column[0]);
}

double HeldOutResidual(const std::vector<AlignMatch>& matches, const std::vector<char>& inlier,
                       const AlignModel& model) {
    constexpr int kFolds = 5;
    std::vector<double> weights(matches.size());
    double squares = 0;
    int count = 0;
    for (int fold = 0; fold < kFolds; ++fold) {
        int seen = 0;
        for (size_t k = 0; k < matches.size(); ++k)
            weights[k] = inlier[k] && seen++ % kFolds != fold ? 1.0 : 0.0;
        AlignModel fit = model;
        if (!FitModel(matches, &weights, fit)) return 1e9;
        seen = 0;
        for (size_t k = 0; k < matches.size(); ++k) {
            if (!inlier[k] || seen++ % kFolds != fold) continue;
            const double r = fit.Residual(matches[k]);
            squares += r * r;
            ++count;
        }
    }
    return count > 0 ? std::sqrt(squares / count) : 1e9;
}

double Quantile(std::vector<double>& values, double q) {
    if (values.empty()) return 0;
    std::sort(values.begin(), values.end());
    const double position = q * static_cast<double>(values.size() - 1);
    const size_t below = static_cast<size_t>(position);
    if (below + 1 >= values.size()) return values.back();
    const double fraction = position - static_cast<double>(below);
    return values[below] + (values[below + 1] - values[below]) * fraction;
}

namespace {

constexpr double kPi = 3.14159265358979323846;

// atan(z) for |z| <= 1: two halvings of the angle, tan(a / 2) =
// z / (1 + sqrt(1 + z^2)), bring |z| under tan(pi / 16) < 0.2, where the
// odd series to z^27 is exact to well below an ulp.
double SmallAtan(double z) {
    for (int k = 0; k < 2; ++k) z = z / (1 + std::sqrt(1 + z * z));
    const double z2 = z * z;
    double sum = 0;
    for (int power = 27; power >= 3; power -= 2) sum = (sum + (((power / 2) % 2) ? -1.0 : 1.0) / power) * z2;
    return 4 * (z + z * sum);
}

}  // namespace

double PortableAtan2(double y, double x) {
    if (x == 0 && y == 0) return 0;
    if (std::fabs(y) <= std::fabs(x)) {
        const double a = SmallAtan(y / x);
        if (x > 0) return a;
        return y >= 0 ? a + kPi : a - kPi;
    }
    const double a = SmallAtan(x / y);
    return y > 0 ? kPi / 2 - a : -kPi / 2 - a;
}
