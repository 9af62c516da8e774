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

// The jump penalty between two pixels by their grey difference: smaller
// across an edge. A table, since the inner loop cannot afford a division
// per step.
struct JumpTable {
    int16_t penalty[256];
    JumpTable() {
        for (int diff = 0; diff < 256; ++diff)
            penalty[diff] = static_cast<int16_t>(std::max(kSmallStep + 1, kJump * 16 / (16 + diff)));
    }
};
const JumpTable kJumps;

inline int JumpPenalty(int g0, int g1) { return kJumps.penalty[std::abs(g0 - g1)]; }

// The functions below take the band's width as a template argument when it is
// the fixed width of the finer levels (kBandDisparities), so that the
// compiler unrolls and vectorises them, and as `k` otherwise (KT = 0).

// The path's first pixel: its own cost.
// kFirst: the first path to reach the pixel sets its sums instead of adding.
template <int KT, bool kFirst = false>
inline int16_t Start(const uint8_t* c, int k, int16_t* L, uint16_t* sum) {
    const int K = KT ? KT : k;
    int16_t m = kInf;
    for (int i = 0; i < K; ++i) {
        L[i] = c[i];
        sum[i] = static_cast<uint16_t>(kFirst ? c[i] : sum[i] + c[i]);
        m = std::min(m, L[i]);
    }
    return m;
}

// One step along a path from q (costs prev, least prevMin) to p, whose band
// starts `shift` disparities above q's. prev is padded with K + 1 kInf either
// side, so q's cost at p's disparity i is prev[i + shift] whenever the bands
// overlap, and `inf` (as padded, all kInf) stands for q when they do not:
// the step needs neither tests nor copies.
template <int KT, bool kFirst = false>
inline int16_t Step(const uint8_t* c, const int16_t* prev, int prevMin, int shift, int k,
                    int jump, const int16_t* inf, int16_t* L, uint16_t* sum) {
    const int K = KT ? KT : k;
    const int16_t* q = shift >= -K && shift <= K ? prev + shift : inf;
    const int16_t reach = static_cast<int16_t>(prevMin + jump);
    const int16_t pm = static_cast<int16_t>(prevMin);
    int16_t m = kInf;
    for (int i = 0; i < K; ++i) {
        int16_t v = std::min(q[i - 1], q[i + 1]);
        v = static_cast<int16_t>(v + kSmallStep);
        v = std::min(v, q[i]);
        v = std::min(v, reach);
        const int16_t li = static_cast<int16_t>(c[i] + v - pm);
        L[i] = li;
        sum[i] = static_cast<uint16_t>(kFirst ? li : sum[i] + li);
        m = std::min(m, li);
    }
    return m;
}

// One sweep: rows in order `dir` (+1 down, -1 up); along rows in the same
// order; the three directions from the previous row. Path costs are kept
// 3K + 2 apart, K + 1 kInf either side of each pixel's K (see Step).
template <int KT>
void Sweep(const SgmBand& b, int dir, uint16_t* sum) {
    const int w = b.width, K = KT ? KT : b.K, P = 3 * K + 2, pad = K + 1;
    const size_t rowP = static_cast<size_t>(w) * P;
    std::vector<int16_t> prev(3 * rowP, kInf), cur(3 * rowP, kInf), along(2 * P, kInf), inf(P, kInf);
    std::vector<int16_t> prevMinStore(3 * static_cast<size_t>(w)), curMinStore(3 * static_cast<size_t>(w));
    // Raw pointers in the loops: the builds check vector indexing.
    int16_t* prevMin = prevMinStore.data();
    int16_t* curMin = curMinStore.data();
    int16_t* prevL = prev.data();
    int16_t* curL = cur.data();
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
            // Along the row, from the previous pixel in the sweep's order;
            // the two halves of `along` take turns.
            int16_t* La = along.data() + (m & 1) * P + pad;
            // The first sweep's first path sets the sums.
            if (m == 0) {
                alongMin = dir > 0 ? Start<KT, true>(c, K, La, s) : Start<KT>(c, K, La, s);
            } else {
                const size_t q = i - dir;
                const int16_t* prevAlong = along.data() + ((m - 1) & 1) * P + pad;
                const int shift = b.base[i] - b.base[q], jump = JumpPenalty(b.grey[i], b.grey[q]);
                alongMin = dir > 0 ? Step<KT, true>(c, prevAlong, alongMin, shift, K, jump, inf.data() + pad, La, s)
                                   : Step<KT>(c, prevAlong, alongMin, shift, K, jump, inf.data() + pad, La, s);
            }
            // From the previous row: its pixels x - 1, x and x + 1.
            for (int d = 0; d < 3; ++d) {
                const int qx = x + d - 1;
                int16_t* L = curL + d * rowP + static_cast<size_t>(x) * P + pad;
                int16_t& lm = curMin[d * static_cast<size_t>(w) + x];
                if (n == 0 || qx < 0 || qx >= w) {
                    lm = Start<KT>(c, K, L, s);
                    continue;
                }
                const size_t q = prevRow + qx;
                lm = Step<KT>(c, prevL + d * rowP + static_cast<size_t>(qx) * P + pad,
                              prevMin[d * static_cast<size_t>(w) + qx], b.base[i] - b.base[q], K,
                              JumpPenalty(b.grey[i], b.grey[q]), inf.data() + pad, L, s);
            }
        }
        std::swap(prevL, curL);
        std::swap(prevMin, curMin);
    }
}

}  // namespace

void AggregatePaths(const SgmBand& band, uint16_t* sum) {
    if (band.K == kBandDisparities) {
        Sweep<kBandDisparities>(band, 1, sum);
        Sweep<kBandDisparities>(band, -1, sum);
    } else {
        Sweep<0>(band, 1, sum);
        Sweep<0>(band, -1, sum);
    }
}

void PickDisparities(const SgmBand& band, const uint16_t* sum, int r0, int r1, int16_t* out) {
    const int w = band.width, K = band.K;
    // Raw pointers in the loops: the builds check vector indexing.
    std::vector<uint32_t> rightBestStore(w);
    std::vector<int> rightDisparityStore(w);
    uint32_t* rightBest = rightBestStore.data();
    int* rightDisparity = rightDisparityStore.data();
    for (int r = r0; r < r1; ++r) {
        const size_t row = static_cast<size_t>(r) * w;
        // The right view's choice: for each right pixel the least sum over
        // the left pixels that may match it.
        std::fill(rightBest, rightBest + w, UINT32_MAX);
        for (int x = 0; x < w; ++x) {
            const uint16_t* s = sum + (row + x) * K;
            const int base = band.base[row + x];
            // Right pixels x - base - k for k in [first, last] are inside the
            // row; the loop then has no test the branch predictor could miss.
            const int first = std::max(0, x - base - w + 1), last = std::min(K - 1, x - base);
            for (int k = first; k <= last; ++k) {
                const int xr = x - base - k;
                const bool better = s[k] < rightBest[xr];
                rightBest[xr] = better ? s[k] : rightBest[xr];
                rightDisparity[xr] = better ? base + k : rightDisparity[xr];
            }
        }
        int16_t* o = out + static_cast<size_t>(r - r0) * w;
        for (int x = 0; x < w; ++x) {
            const uint16_t* s = sum + (row + x) * K;
            int best = 0;
            for (int k = 1; k < K; ++k) best = s[k] < s[best] ? k : best;
            int rival = INT_MAX;
            for (int k = 0; k < best - 1; ++k) rival = std::min(rival, static_cast<int>(s[k]));
            for (int k = best + 2; k < K; ++k) rival = std::min(rival, static_cast<int>(s[k]));
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
