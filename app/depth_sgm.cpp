// Semi-global matching (Hirschmueller's method) over a band of rows.
//
// Each path cost is the census cost plus the cheapest way to arrive from the
// previous pixel of the path: at the same disparity, one step away (a
// slanted surface, kSmallStep) or anywhere (a depth edge, kJump), less the
// previous pixel's least cost so that the numbers stay small. Eight paths
// are taken in two sweeps over the band: down (left to right along rows and
// the three directions coming from the row above) and up (the mirror), each
// keeping only the previous row's costs, so the memory is that of the sums.
//
// Neighbours may have different bands (pixel i covers base[i] to base[i] +
// K - 1): the previous pixel's costs are read at the same disparity, and a
// disparity outside its band counts as reachable only by a jump.
#include "app/depth_sgm.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <vector>

#include "app/depth.h"

namespace {

constexpr int16_t kInf = 0x3000;  // above any path cost; adding a penalty stays in range
// A pixel keeps its least-sum disparity only if every disparity more than one
// away sums at least this many per cent more: otherwise it is ambiguous.
constexpr int kUniquePercent = 4;

// The jump penalty between two pixels: smaller across a grey-level edge.
inline int JumpPenalty(int g0, int g1) {
    const int diff = std::abs(g0 - g1);
    return std::max(kSmallStep + 1, kJump * 16 / (16 + diff));
}

// The path's first pixel: its own cost.
inline int16_t Start(const uint8_t* c, int K, int16_t* L, uint16_t* sum) {
    int m = kInf;
    for (int i = 0; i < K; ++i) {
        L[i] = c[i];
        sum[i] = static_cast<uint16_t>(sum[i] + c[i]);
        m = std::min(m, static_cast<int>(c[i]));
    }
    return static_cast<int16_t>(m);
}

// One step along a path from q (costs prevL, least prevMin) to p, whose band
// starts `shift` disparities above q's. `tmp` holds K + 2 values.
inline int16_t Step(const uint8_t* c, const int16_t* prevL, int prevMin, int shift, int K,
                    int jump, int16_t* tmp, int16_t* L, uint16_t* sum) {
    // tmp[i + 1] = q's cost at p's disparity i, kInf outside q's band.
    tmp[0] = kInf;
    const int lo = std::clamp(-shift, 0, K), hi = std::clamp(K - shift, 0, K);
    for (int i = 0; i < lo; ++i) tmp[i + 1] = kInf;
    for (int i = lo; i < hi; ++i) tmp[i + 1] = prevL[i + shift];
    for (int i = hi; i <= K; ++i) tmp[i + 1] = kInf;
    const int16_t reach = static_cast<int16_t>(prevMin + jump);
    const int16_t pm = static_cast<int16_t>(prevMin);
    int16_t m = kInf;
    for (int i = 0; i < K; ++i) {
        int16_t v = std::min(tmp[i], tmp[i + 2]);
        v = static_cast<int16_t>(v + kSmallStep);
        v = std::min(v, tmp[i + 1]);
        v = std::min(v, reach);
        const int16_t li = static_cast<int16_t>(c[i] + v - pm);
        L[i] = li;
        sum[i] = static_cast<uint16_t>(sum[i] + li);
        m = std::min(m, li);
    }
    return m;
}

// One sweep: rows in order `dir` (+1 down, -1 up); along rows in the same
// order; the three directions from the previous row.
void Sweep(const SgmBand& b, int dir, uint16_t* sum) {
    const int w = b.width, K = b.K;
    const size_t rowK = static_cast<size_t>(w) * K;
    std::vector<int16_t> prev(3 * rowK), cur(3 * rowK), along(K), tmp(K + 2);
    std::vector<int16_t> prevMin(3 * static_cast<size_t>(w)), curMin(3 * static_cast<size_t>(w));
    for (int n = 0; n < b.rows; ++n) {
        const int y = dir > 0 ? n : b.rows - 1 - n;
        const size_t row = static_cast<size_t>(y) * w;
        const size_t prevRow = static_cast<size_t>(y - dir) * w;  // valid when n > 0
        int16_t alongMin = 0;
        for (int m = 0; m < w; ++m) {
            const int x = dir > 0 ? m : w - 1 - m;
            const size_t i = row + x;
            const uint8_t* c = b.cost + i * K;
            uint16_t* s = sum + i * K;
            // Along the row, from the previous pixel in the sweep's order.
            if (m == 0) {
                alongMin = Start(c, K, along.data(), s);
            } else {
                const size_t q = i - dir;
                alongMin = Step(c, along.data(), alongMin, b.base[i] - b.base[q], K,
                                JumpPenalty(b.grey[i], b.grey[q]), tmp.data(), along.data(), s);
            }
            // From the previous row: its pixels x - 1, x and x + 1.
            for (int d = 0; d < 3; ++d) {
                const int qx = x + d - 1;
                int16_t* L = cur.data() + d * rowK + static_cast<size_t>(x) * K;
                int16_t& lm = curMin[d * static_cast<size_t>(w) + x];
                if (n == 0 || qx < 0 || qx >= w) {
                    lm = Start(c, K, L, s);
                    continue;
                }
                const size_t q = prevRow + qx;
                lm = Step(c, prev.data() + d * rowK + static_cast<size_t>(qx) * K,
                          prevMin[d * static_cast<size_t>(w) + qx], b.base[i] - b.base[q], K,
                          JumpPenalty(b.grey[i], b.grey[q]), tmp.data(), L, s);
            }
        }
        std::swap(prev, cur);
        std::swap(prevMin, curMin);
    }
}

}  // namespace

void AggregatePaths(const SgmBand& band, uint16_t* sum) {
    std::fill(sum, sum + static_cast<size_t>(band.width) * band.rows * band.K, uint16_t{0});
    Sweep(band, 1, sum);
    Sweep(band, -1, sum);
}

void PickDisparities(const SgmBand& band, const uint16_t* sum, int r0, int r1, int16_t* out) {
    const int w = band.width, K = band.K;
    std::vector<uint32_t> rightBest(w);
    std::vector<int> rightDisparity(w);
    for (int r = r0; r < r1; ++r) {
        const size_t row = static_cast<size_t>(r) * w;
        // The right view's choice: for each right pixel the least sum over
        // the left pixels that may match it.
        std::fill(rightBest.begin(), rightBest.end(), UINT32_MAX);
        for (int x = 0; x < w; ++x) {
            const uint16_t* s = sum + (row + x) * K;
            const int base = band.base[row + x];
            for (int k = 0; k < K; ++k) {
                const int xr = x - base - k;
                if (xr < 0 || xr >= w || s[k] >= rightBest[xr]) continue;
                rightBest[xr] = s[k];
                rightDisparity[xr] = base + k;
            }
        }
        int16_t* o = out + static_cast<size_t>(r - r0) * w;
        for (int x = 0; x < w; ++x) {
            const uint16_t* s = sum + (row + x) * K;
            int best = 0;
            for (int k = 1; k < K; ++k)
                if (s[k] < s[best]) best = k;
            int rival = INT_MAX;
            for (int k = 0; k < K; ++k)
                if (std::abs(k - best) > 1) rival = std::min(rival, static_cast<int>(s[k]));
            const int d = band.base[row + x] + best;
            const int xr = x - d;
            if (xr < 0 || xr >= w || rightBest[xr] == UINT32_MAX ||
                std::abs(rightDisparity[xr] - d) > 1 ||
                static_cast<int64_t>(rival) * 100 < static_cast<int64_t>(s[best]) * (100 + kUniquePercent)) {
                o[x] = kNoDisparity;
                continue;
            }
            int value = d * kDisparityScale;
            if (best > 0 && best < K - 1) {
                // Vertex of the parabola through the three sums, in sixteenths.
                const int a = s[best - 1], c = s[best + 1];
                const int curve = a + c - 2 * s[best];
                if (curve > 0) {
                    const int num = 8 * (a - c);
                    value += (num >= 0 ? num + curve / 2 : num - curve / 2) / curve;
                }
            }
            o[x] = static_cast<int16_t>(value);
        }
    }
}
