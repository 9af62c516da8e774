// After the matching: specks, holes, smoothing and the next level's bands.
#include "app/depth_refine.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>

#include "core/work_sharing.h"

namespace {

// How much a filled pixel counts against a measured one in the smoothing.
constexpr float kFilledWeight = 0.05f;
// The filter's reach in pixels, and the grey difference that halves it
// about as much as that distance does: small, so that texture stops it
// little but outlines stop it.
constexpr float kReach = 10.0f, kEdgeLevels = 12.0f;
constexpr int kStripColumns = 16;
// A disparity difference of one pixel weighs like 8 grey levels.
constexpr int kLevelsPerSixteenth = 2;  // columns filtered together down the image

// Feedback of the recursive filter for each grey difference.
struct Feedback {
    float a[256];
    Feedback() {
        const float unit = std::exp(-std::sqrt(2.0f) / kReach);
        for (int i = 0; i < 256; ++i)
            a[i] = std::pow(unit, 1.0f + kReach / kEdgeLevels * static_cast<float>(i));
    }
};

// One recursive pass each way over n samples `step` apart (grey and
// disparity `greyStep` apart): num and den are filtered alike, their ratio
// is the smoothed value. The feedback falls with the grey difference and
// with the disparity difference, so that neither an outline nor a depth
// edge is blurred: what is smoothed is the noise of a surface.
void FilterLine(float* num, float* den, const uint8_t* grey, const int16_t* d, int n, size_t step,
                size_t greyStep, const Feedback& f) {
    auto feedback = [&](int i, int j) {
        const int gd = std::abs(grey[i * greyStep] - grey[j * greyStep]);
        const int dd = std::abs(d[i * greyStep] - d[j * greyStep]) / kLevelsPerSixteenth;
        return f.a[std::min(255, gd + dd)];
    };
    for (int i = 1; i < n; ++i) {
        const float a = feedback(i, i - 1);
        num[i * step] += a * (num[(i - 1) * step] - num[i * step]);
        den[i * step] += a * (den[(i - 1) * step] - den[i * step]);
    }
    for (int i = n - 2; i >= 0; --i) {
        const float a = feedback(i, i + 1);
        num[i * step] += a * (num[(i + 1) * step] - num[i * step]);
        den[i * step] += a * (den[(i + 1) * step] - den[i * step]);
    }
}

// The value a hole takes from one side: the median of the three measured
// pixels from `x` on away from it (the lower of two, when only two are
// there), since the pixel next to a hole is the one most often wrong.
// `measured` marks them on the side already filled; null: not yet filled.
int EdgeValue(const int16_t* row, const uint8_t* measured, int x, int step, int w) {
    int values[3], n = 0;
    for (int i = 0; i < 3; ++i) {
        const int p = x + i * step;
        if (p < 0 || p >= w) break;
        if (measured ? measured[p] != 0 : row[p] != kNoDisparity) values[n++] = row[p];
    }
    std::sort(values, values + n);
    return n == 3 ? values[1] : values[0];
}

}  // namespace

void RemoveSpeckles(DisparityMap& map, int minPixels) {
    const int w = map.width, h = map.height;
    std::vector<uint8_t> seen(map.value.size(), 0);
    std::vector<int> region;
    for (size_t start = 0; start < map.value.size(); ++start) {
        if (seen[start] || map.value[start] == kNoDisparity) continue;
        region.assign(1, static_cast<int>(start));
        seen[start] = 1;
        for (size_t n = 0; n < region.size(); ++n) {
            const int p = region[n], x = p % w, y = p / w;
            const int v = map.value[static_cast<size_t>(p)];
            const int next[4] = {x > 0 ? p - 1 : -1, x + 1 < w ? p + 1 : -1,
                                 y > 0 ? p - w : -1, y + 1 < h ? p + w : -1};
            for (int q : next) {
                if (q < 0 || seen[static_cast<size_t>(q)]) continue;
                const int u = map.value[static_cast<size_t>(q)];
                if (u == kNoDisparity || std::abs(u - v) > kDisparityScale) continue;
                seen[static_cast<size_t>(q)] = 1;
                region.push_back(q);
            }
        }
        if (static_cast<int>(region.size()) < minPixels)
            for (int p : region) map.value[static_cast<size_t>(p)] = kNoDisparity;
    }
}

void FillFromBackground(DisparityMap& map, std::vector<uint8_t>& valid, int threads) {
    const int w = map.width, h = map.height;
    valid.assign(map.value.size(), 0);
    std::vector<uint8_t> rowHasValue(static_cast<size_t>(h), 0);
    ForEachShared(h, threads, [&](int y, int) {
        int16_t* row = map.value.data() + static_cast<size_t>(y) * w;
        uint8_t* v = valid.data() + static_cast<size_t>(y) * w;
        int lastValid = -1;
        for (int x = 0; x <= w; ++x) {
            if (x < w && row[x] == kNoDisparity) continue;
            // Pixels lastValid + 1 .. x - 1 are a hole between two values.
            if (lastValid + 1 < x && (lastValid >= 0 || x < w)) {
                int fill = INT16_MAX;
                if (lastValid >= 0) fill = EdgeValue(row, v, lastValid, -1, w);
                if (x < w) fill = std::min(fill, EdgeValue(row, nullptr, x, 1, w));
                std::fill(row + lastValid + 1, row + x, static_cast<int16_t>(fill));
            }
            if (x == w) break;
            v[x] = 1;
            lastValid = x;
        }
        rowHasValue[static_cast<size_t>(y)] = lastValid >= 0;
    });
    // Rows that had no value at all: copied from the nearest that had, below
    // first, then the rest from above.
    for (int pass = 0; pass < 2; ++pass)
        for (int n = 0; n < h; ++n) {
            const int y = pass == 0 ? h - 1 - n : n, from = pass == 0 ? y + 1 : y - 1;
            if (rowHasValue[static_cast<size_t>(y)] || from < 0 || from >= h ||
                !rowHasValue[static_cast<size_t>(from)])
                continue;
            std::copy_n(map.value.data() + static_cast<size_t>(from) * w, w,
                        map.value.data() + static_cast<size_t>(y) * w);
            rowHasValue[static_cast<size_t>(y)] = 1;
        }
}

void SmoothWithinEdges(DisparityMap& map, const GreyImage& grey,
                       const std::vector<uint8_t>& valid, int threads) {
    const int w = map.width, h = map.height;
    static const Feedback feedback;
    // What each pixel counts after the pass along rows, in 255ths: the
    // column pass needs it, and a byte keeps the memory small.
    std::vector<uint8_t> weight(map.value.size(), 0);
    ForEachShared(h, threads, [&](int y, int) {
        std::vector<float> num(static_cast<size_t>(w)), den(static_cast<size_t>(w));
        const size_t row = static_cast<size_t>(y) * w;
        if (map.value[row] == kNoDisparity) return;
        for (int x = 0; x < w; ++x) {
            den[x] = valid[row + x] ? 1.0f : kFilledWeight;
            num[x] = den[x] * static_cast<float>(map.value[row + x]);
        }
        FilterLine(num.data(), den.data(), grey.pixels.data() + row, map.value.data() + row, w, 1, 1,
                   feedback);
        for (int x = 0; x < w; ++x) {
            map.value[row + x] = static_cast<int16_t>(std::lround(num[x] / den[x]));
            weight[row + x] = static_cast<uint8_t>(std::lround(den[x] * 255.0f));
        }
    });
    const int strips = (w + kStripColumns - 1) / kStripColumns;
    ForEachShared(strips, threads, [&](int s, int) {
        const int x0 = s * kStripColumns, n = std::min(kStripColumns, w - x0);
        std::vector<float> num(static_cast<size_t>(h) * n), den(static_cast<size_t>(h) * n);
        for (int y = 0; y < h; ++y)
            for (int i = 0; i < n; ++i) {
                const size_t p = static_cast<size_t>(y) * w + x0 + i, q = static_cast<size_t>(y) * n + i;
                if (map.value[p] == kNoDisparity) continue;
                den[q] = static_cast<float>(std::max(1, static_cast<int>(weight[p]))) / 255.0f;
                num[q] = den[q] * static_cast<float>(map.value[p]);
            }
        for (int i = 0; i < n; ++i)
            FilterLine(num.data() + i, den.data() + i, grey.pixels.data() + x0 + i,
                       map.value.data() + x0 + i, h, static_cast<size_t>(n), static_cast<size_t>(w),
                       feedback);
        for (int y = 0; y < h; ++y)
            for (int i = 0; i < n; ++i) {
                const size_t p = static_cast<size_t>(y) * w + x0 + i, q = static_cast<size_t>(y) * n + i;
                if (map.value[p] != kNoDisparity && den[q] > 0)
                    map.value[p] = static_cast<int16_t>(std::lround(num[q] / den[q]));
            }
    });
}

std::vector<int16_t> FinerBands(const DisparityMap& coarse, const GreyImage& coarseGrey,
                                const GreyImage& grey, int K, int lo, int hi, int threads) {
    const int width = grey.width, height = grey.height, cw = coarse.width, ch = coarse.height;
    std::vector<int16_t> base(static_cast<size_t>(width) * height);
    const int last = std::max(lo, hi - K + 1);
    // Raw pointers in the loops: the builds check vector indexing.
    const int16_t* cv = coarse.value.data();
    const uint8_t* cg = coarseGrey.pixels.data();
    ForEachShared(height, threads, [&](int y, int) {
        for (int x = 0; x < width; ++x) {
            // Of the coarse pixel under this one and its eight neighbours, the
            // one whose grey is closest: at a depth edge the coarse pixel under
            // a fine one may lie on the other surface, a neighbour of the same
            // colour more likely on its own.
            const int cx = std::min(x / 2, cw - 1), cy = std::min(y / 2, ch - 1);
            const int g = grey.pixels[static_cast<size_t>(y) * width + x];
            int best = 0, bestScore = INT32_MAX;
            for (int j = -1; j <= 1; ++j)
                for (int i = -1; i <= 1; ++i) {
                    const int nx = cx + i, ny = cy + j;
                    if (nx < 0 || ny < 0 || nx >= cw || ny >= ch) continue;
                    const size_t n = static_cast<size_t>(ny) * cw + nx;
                    if (cv[n] == kNoDisparity) continue;
                    // Distance counts a little, so that the pixel under wins ties.
                    const int score = 4 * std::abs(cg[n] - g) + std::abs(i) + std::abs(j);
                    if (score < bestScore) {
                        bestScore = score;
                        best = cv[n];
                    }
                }
            // Twice the coarse value, in whole pixels, rounded.
            const int centre = bestScore == INT32_MAX
                                   ? (lo + hi) / 2
                                   : static_cast<int>(std::floor((2.0 * best) / kDisparityScale + 0.5));
            base[static_cast<size_t>(y) * width + x] = static_cast<int16_t>(std::clamp(centre - K / 2, lo, last));
        }
    });
    return base;
}
