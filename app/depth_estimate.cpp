// The dense depth estimate (app/depth.h): the pyramid, the bands of rows
// the threads share, and what is refused.
//
// Matching every pixel against the whole range on a 24-megapixel pair would
// take minutes and gigabytes. Instead the views are halved until about 0.4
// megapixels and a range of about 100 disparities remain; that level is
// matched over the whole range, and each finer level only over a few
// disparities around twice the coarser answer. The work is then nearly
// proportional to the pixels, and the memory is a few bytes a pixel plus
// one band of rows (some megabytes) per thread.
//
// Bands of rows are matched independently, each with some rows of margin
// above and below so that the vertical paths are not cut short at the
// band's edge. The bands depend only on the size, never on the thread
// count, so the result does not either.
#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "app/depth.h"
#include "app/depth_cost.h"
#include "app/depth_refine.h"
#include "app/depth_sgm.h"
#include "core/work_sharing.h"

namespace {

constexpr int64_t kCoarsePixels = 400000;
constexpr int kCoarseRange = 100;
constexpr int kCoarseSide = 48;          // no level narrower or lower than this
// Rows matched above and below a band of rows: on the coarsest level, where
// the vertical paths carry disparities across plain areas, and on the finer
// ones, where the coarser level already has.
constexpr int kCoarseMargin = 24, kFineMargin = 8;
constexpr int64_t kBandBytes = 48 << 20;  // what one band of rows may hold
constexpr int kMinBands = 6;
// Past this a band of the coarsest level is refused: a range far wider than
// a short, wide view would otherwise need gigabytes per thread.
constexpr int64_t kMaxBandBytes = 256 << 20;
constexpr int kMaxThreads = 64;

// Floor and ceiling of a / 2^shift.
int FloorShift(int a, int shift) { return a >= 0 ? a >> shift : -((-a + (1 << shift) - 1) >> shift); }
int CeilShift(int a, int shift) { return -FloorShift(-a, shift); }

// Bytes a row costs while its band is matched: census signatures, costs and
// sums.
int64_t RowBytes(int w, int K) { return static_cast<int64_t>(w) * (3 * K + 2 * 8); }

// Rows per band: at least kMinBands bands so that two or more threads end
// together, not so thin that the margins cost more than half the work, and
// within kBandBytes unless even 8 rows are above it.
int BandRows(int w, int h, int K, int margin) {
    const int64_t most = std::max<int64_t>(kBandBytes / RowBytes(w, K) - 2 * margin, 8);
    const int64_t rows = std::min<int64_t>(std::max((h + kMinBands - 1) / kMinBands, 2 * margin), most);
    return static_cast<int>(std::min<int64_t>(rows, h));
}

// Scratch memory of one thread, kept from band to band.
struct BandScratch {
    std::vector<uint64_t> censusLeft, censusRight;
    std::vector<uint8_t> cost;
    std::vector<uint16_t> sum;
};

// Disparities of one level: every pixel over its band of disparities, bands
// of rows shared by the threads.
// `scratch` (one per thread) is kept from level to level: fresh pages cost
// more than the zeroing they come with.
DisparityMap MatchLevel(const GreyImage& left, const GreyImage& right, const std::vector<int16_t>& base,
                        int K, int margin, int threads, std::vector<BandScratch>& scratch) {
    const int w = left.width, h = left.height;
    DisparityMap map{w, h, std::vector<int16_t>(static_cast<size_t>(w) * h, kNoDisparity)};
    const int rows = BandRows(w, h, K, margin);
    const int bands = (h + rows - 1) / rows;
    ForEachShared(bands, threads, [&](int n, int worker) {
        BandScratch& s = scratch[static_cast<size_t>(worker)];
        const int y0 = n * rows, y1 = std::min(h, y0 + rows);
        const int ya = std::max(0, y0 - margin), yb = std::min(h, y1 + margin), count = yb - ya;
        const size_t pixels = static_cast<size_t>(count) * w;
        // resize() keeps the capacity: only the first band of a thread pays
        // for fresh pages.
        s.censusLeft.resize(pixels);
        s.censusRight.resize(pixels);
        s.cost.resize(pixels * K);
        s.sum.resize(pixels * K);
        CensusRows(left, ya, yb, s.censusLeft.data());
        CensusRows(right, ya, yb, s.censusRight.data());
        const int16_t* b = base.data() + static_cast<size_t>(ya) * w;
        BandCosts(s.censusLeft.data(), s.censusRight.data(), w, count, b, K, s.cost.data());
        SgmBand band{w, count, K, b, s.cost.data(), left.pixels.data() + static_cast<size_t>(ya) * w};
        AggregatePaths(band, s.sum.data());
        PickDisparities(band, s.sum.data(), y0 - ya, y1 - ya, map.value.data() + static_cast<size_t>(y0) * w);
    });
    return map;
}

bool Refuse(std::string* error, const char* message) {
    if (error) *error = message;
    return false;
}

}  // namespace

void DisparityRangeFromParallax(double nearParallax, double farParallax, int width,
                                int* minDisparity, int* maxDisparity) {
    const double nearD = std::max(-nearParallax, -farParallax), farD = std::min(-nearParallax, -farParallax);
    const double margin = 8 + 0.5 * (nearD - farD);
    const double limit = kMaxAbsDisparity;
    // Clamped as doubles first: a wild estimate must not overflow an int.
    int lo = static_cast<int>(std::floor(std::clamp(farD - margin, -limit, limit)));
    int hi = static_cast<int>(std::ceil(std::clamp(nearD + margin, -limit, limit)));
    const int excess = hi - lo - (std::max(width, 1) - 1);
    if (excess > 0) {
        lo += excess / 2;
        hi -= excess - excess / 2;
    }
    *minDisparity = lo;
    *maxDisparity = hi;
}

bool EstimateDisparity(const uint32_t* left, const uint32_t* right, int width, int height,
                       int minDisparity, int maxDisparity, int threads, DisparityMap* out,
                       std::string* error) {
    if (!out) return Refuse(error, "no map to write the disparity to");
    *out = DisparityMap{};
    if (!left || !right || width <= 0 || height <= 0) return Refuse(error, "the views are empty");
    if (static_cast<int64_t>(width) * height > kMaxDepthPixels || width > 32767 || height > 32767)
        return Refuse(error, sizeof(void*) >= 8
                                 ? "the views are too large for a depth map (at most 134 megapixels, 32767 a side)"
                                 : "the views are too large for a depth map (at most 33 megapixels, 32767 a side)");
    if (minDisparity > maxDisparity) return Refuse(error, "the disparity range is empty");
    if (std::abs(minDisparity) > kMaxAbsDisparity || std::abs(maxDisparity) > kMaxAbsDisparity)
        return Refuse(error, "the disparity range goes beyond 2000 pixels either way");
    if (maxDisparity - minDisparity >= width) return Refuse(error, "the disparity range is wider than the views");
    threads = std::clamp(threads, 1, kMaxThreads);

    // The coarsest level: halved (sizes rounded up) while it has too many
    // pixels or too wide a range and is not too small to halve again.
    int levels = 1, cw = width, ch = height;
    while ((static_cast<int64_t>(cw) * ch > kCoarsePixels ||
            ((maxDisparity - minDisparity) >> (levels - 1)) > kCoarseRange) &&
           cw / 2 >= kCoarseSide && ch / 2 >= kCoarseSide) {
        cw = (cw + 1) / 2;
        ch = (ch + 1) / 2;
        ++levels;
    }
    const int coarseK = CeilShift(maxDisparity, levels - 1) - FloorShift(minDisparity, levels - 1) + 3;
    const int coarseRows = BandRows(cw, ch, coarseK, kCoarseMargin);
    if (std::min(ch, coarseRows + 2 * kCoarseMargin) * RowBytes(cw, coarseK) > kMaxBandBytes)
        return Refuse(error, "the disparity range is too wide for views of this height");

    std::vector<GreyImage> lefts{ToGrey(left, width, height)}, rights{ToGrey(right, width, height)};
    while (static_cast<int>(lefts.size()) < levels) {
        lefts.push_back(Halve(lefts.back()));
        rights.push_back(Halve(rights.back()));
    }
    DisparityMap map;
    std::vector<uint8_t> valid;
    std::vector<BandScratch> scratch(static_cast<size_t>(threads));
    for (int level = static_cast<int>(lefts.size()) - 1; level >= 0; --level) {
        const GreyImage& l = lefts[static_cast<size_t>(level)];
        // One pixel of margin either way: the parabola needs a neighbour.
        const int lo = FloorShift(minDisparity, level) - 1, hi = CeilShift(maxDisparity, level) + 1;
        int K = hi - lo + 1;
        std::vector<int16_t> base;
        if (map.value.empty()) {
            base.assign(static_cast<size_t>(l.width) * l.height, static_cast<int16_t>(lo));
        } else {
            K = std::min(K, kBandDisparities);
            base = FinerBands(map, lefts[static_cast<size_t>(level) + 1], l, K, lo, hi, threads);
        }
        const bool coarsest = level == static_cast<int>(lefts.size()) - 1;
        map = MatchLevel(l, rights[static_cast<size_t>(level)], base, K,
                         coarsest ? kCoarseMargin : kFineMargin, threads, scratch);
        if (coarsest)
            RemoveSpeckles(map, static_cast<int>(std::max<int64_t>(16, static_cast<int64_t>(l.width) * l.height / 4000)));
        FillFromBackground(map, valid, threads);
        SmoothWithinEdges(map, l, valid, threads);
    }
    *out = std::move(map);
    return true;
}
