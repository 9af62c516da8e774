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
#include <cstdlib>

#include "app/depth.h"
#include "app/depth_cost.h"
#include "app/depth_refine.h"
#include "app/depth_sgm.h"
#include "app/depth_threads.h"

namespace {

constexpr int64_t kCoarsePixels = 400000;
constexpr int kCoarseRange = 100;
constexpr int kCoarseSide = 48;          // no level narrower or lower than this
constexpr int kBandDisparities = 9;      // disparities per pixel below the coarsest level
constexpr int kMargin = 24;              // rows matched above and below a band
constexpr int64_t kBandBytes = 24 << 20;  // what one band may hold
constexpr int kMaxThreads = 64;

// Floor and ceiling of a / 2^shift.
int FloorShift(int a, int shift) { return a >= 0 ? a >> shift : -((-a + (1 << shift) - 1) >> shift); }
int CeilShift(int a, int shift) { return -FloorShift(-a, shift); }

// Disparities of one level: every pixel over its band, bands of rows shared
// by the threads.
DisparityMap MatchLevel(const GreyImage& left, const GreyImage& right, const std::vector<int16_t>& base,
                        int K, int threads) {
    const int w = left.width, h = left.height;
    DisparityMap map{w, h, std::vector<int16_t>(static_cast<size_t>(w) * h, kNoDisparity)};
    const int64_t rowBytes = static_cast<int64_t>(w) * (3 * K + 2 * 8);
    const int rows = static_cast<int>(std::clamp<int64_t>(kBandBytes / rowBytes - 2 * kMargin, 32, h));
    const int bands = (h + rows - 1) / rows;
    ForEachShared(bands, threads, [&](int n) {
        const int y0 = n * rows, y1 = std::min(h, y0 + rows);
        const int ya = std::max(0, y0 - kMargin), yb = std::min(h, y1 + kMargin), count = yb - ya;
        const size_t pixels = static_cast<size_t>(count) * w;
        std::vector<uint64_t> censusLeft(pixels), censusRight(pixels);
        CensusRows(left, ya, yb, censusLeft.data());
        CensusRows(right, ya, yb, censusRight.data());
        std::vector<uint8_t> cost(pixels * K);
        const int16_t* b = base.data() + static_cast<size_t>(ya) * w;
        BandCosts(censusLeft.data(), censusRight.data(), w, count, b, K, cost.data());
        censusLeft = {};
        censusRight = {};
        std::vector<uint16_t> sum(pixels * K);
        SgmBand band{w, count, K, b, cost.data(), left.pixels.data() + static_cast<size_t>(ya) * w};
        AggregatePaths(band, sum.data());
        PickDisparities(band, sum.data(), y0 - ya, y1 - ya, map.value.data() + static_cast<size_t>(y0) * w);
    });
    return map;
}

bool Refuse(std::string* error, const char* message) {
    if (error) *error = message;
    return false;
}

}  // namespace

bool EstimateDisparity(const uint32_t* left, const uint32_t* right, int width, int height,
                       int minDisparity, int maxDisparity, int threads, DisparityMap* out,
                       std::string* error) {
    if (!out) return Refuse(error, "no map to write the disparity to");
    *out = DisparityMap{};
    if (!left || !right || width <= 0 || height <= 0) return Refuse(error, "the views are empty");
    if (static_cast<int64_t>(width) * height > kMaxDepthPixels || width > 32767 || height > 32767)
        return Refuse(error, "the views are too large for a depth map (at most 134 megapixels, 32767 a side)");
    if (minDisparity > maxDisparity) return Refuse(error, "the disparity range is empty");
    if (std::abs(minDisparity) > kMaxAbsDisparity || std::abs(maxDisparity) > kMaxAbsDisparity)
        return Refuse(error, "the disparity range goes beyond 2000 pixels either way");
    if (maxDisparity - minDisparity >= width) return Refuse(error, "the disparity range is wider than the views");
    threads = std::clamp(threads, 1, kMaxThreads);

    std::vector<GreyImage> lefts{ToGrey(left, width, height)}, rights{ToGrey(right, width, height)};
    while ((static_cast<int64_t>(lefts.back().width) * lefts.back().height > kCoarsePixels ||
            ((maxDisparity - minDisparity) >> (lefts.size() - 1)) > kCoarseRange) &&
           lefts.back().width / 2 >= kCoarseSide && lefts.back().height / 2 >= kCoarseSide) {
        lefts.push_back(Halve(lefts.back()));
        rights.push_back(Halve(rights.back()));
    }
    DisparityMap map;
    std::vector<uint8_t> valid;
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
            base = FinerBands(map, l.width, l.height, K, lo, hi);
        }
        map = MatchLevel(l, rights[static_cast<size_t>(level)], base, K, threads);
        if (level == static_cast<int>(lefts.size()) - 1)
            RemoveSpeckles(map, static_cast<int>(std::max<int64_t>(16, static_cast<int64_t>(l.width) * l.height / 4000)));
        FillFromBackground(map, valid);
        SmoothWithinEdges(map, l, valid, threads);
    }
    *out = std::move(map);
    return true;
}
