#include "app/align_fit.h"

#include <algorithm>
#include <cmath>

double AlignModel::Residual(const AlignMatch& m) const {
    const double X = m.xr - cx, Y = m.yr - cy;
    return (m.yr - m.yl) - (f * X + (1 - e) * Y + e * t);
}

double AlignModel::Parallax(const AlignMatch& m) const {
    const double X = m.xr - cx, Y = m.yr - cy;
    return (e * X + f * (Y - t)) - (m.xl - cx);
}

void AlignModel::RightOf(double xl, double yl, double p, double& xr, double& yr) const {
    const double X = xl + p - cx, Y = yl - cy;
    const double d = e * e + f * f;
    xr = cx + (e * X - f * Y) / d;
    yr = cy + (f * X + e * Y) / d + t;
}

double AlignModel::LeftRowOf(double xr, double yr) const {
    return cy - f * (xr - cx) + e * (yr - cy - t);
}

double AlignModel::RightRowOf(double yl, double xr) const {
    return cy + ((yl - cy) + f * (xr - cx)) / e + t;
}

namespace {

// Solves the 3 x 3 system a x = b by elimination with partial pivoting;
// false when a pivot is negligible against the matrix's size.
bool Solve3(double a[3][3], double b[3], double x[3]) {
    double size = 0;
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) size = std::max(size, std::fabs(a[i][j]));
    if (size <= 0) return false;
    for (int col = 0; col < 3; ++col) {
        int pivot = col;
        for (int row = col + 1; row < 3; ++row)
            if (std::fabs(a[row][col]) > std::fabs(a[pivot][col])) pivot = row;
        if (std::fabs(a[pivot][col]) <= 1e-10 * size) return false;
        if (pivot != col) {
            for (int j = 0; j < 3; ++j) std::swap(a[col][j], a[pivot][j]);
            std::swap(b[col], b[pivot]);
        }
        for (int row = col + 1; row < 3; ++row) {
            const double k = a[row][col] / a[col][col];
            for (int j = col; j < 3; ++j) a[row][j] -= k * a[col][j];
            b[row] -= k * b[col];
        }
    }
    for (int row = 2; row >= 0; --row) {
        double s = b[row];
        for (int j = row + 1; j < 3; ++j) s -= a[row][j] * x[j];
        x[row] = s / a[row][row];
    }
    return true;
}

// Fits dy = f X + g Y + h over the listed matches with weights (null: 1).
// Coordinates are divided by `unit` so that the normal equations are of
// comparable size whatever the view's.
bool FitIndices(const std::vector<AlignMatch>& matches, const int* index, int count,
                const std::vector<double>* weights, AlignModel& model) {
    double unit = 1;
    for (int k = 0; k < count; ++k) {
        const AlignMatch& m = matches[index ? index[k] : k];
        unit = std::max(unit, std::max(std::fabs(m.xr - model.cx), std::fabs(m.yr - model.cy)));
    }
    double a[3][3] = {}, b[3] = {};
    for (int k = 0; k < count; ++k) {
        const int n = index ? index[k] : k;
        const double w = weights ? (*weights)[n] : 1.0;
        if (w <= 0) continue;
        const AlignMatch& m = matches[n];
        const double v[3] = {(m.xr - model.cx) / unit, (m.yr - model.cy) / unit, 1.0};
        const double dy = m.yr - m.yl;
        for (int i = 0; i < 3; ++i) {
            for (int j = 0; j < 3; ++j) a[i][j] += w * v[i] * v[j];
            b[i] += w * v[i] * dy;
        }
    }
    double x[3];
    if (!Solve3(a, b, x)) return false;
    const double e = 1 - x[1] / unit;
    if (!(e > 0.5)) return false;  // a scale beyond 2 or a turn past 60 degrees is no pair
    model.f = x[0] / unit;
    model.e = e;
    model.t = x[2] / e;
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
    for (int round = 0; round < rounds; ++round) {
        int pick[3] = {draw(), draw(), draw()};
        if (pick[0] == pick[1] || pick[0] == pick[2] || pick[1] == pick[2]) continue;
        AlignModel trial = model;
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
    double a[3][3] = {};
    for (size_t k = 0; k < matches.size(); ++k) {
        if (!inlier[k]) continue;
        const double v[3] = {matches[k].xr - model.cx, matches[k].yr - model.cy, 1.0};
        for (int i = 0; i < 3; ++i)
            for (int j = 0; j < 3; ++j) a[i][j] += v[i] * v[j];
    }
    // The first entry of the inverse normal matrix: its first column solves a x = (1, 0, 0).
    double unitX[3] = {1, 0, 0}, column[3];
    if (!Solve3(a, unitX, column) || !(column[0] > 0)) return 1.0;
    return sigma * std::sqrt(column[0]);
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
