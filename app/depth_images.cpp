// Pictures made from a disparity map: the 8-bit depth image, the
// side-by-side RGBD picture, and the map's near and far disparity.
//
// Percentiles come from a histogram of the int16 values: one pass, no sort,
// no copy of a map that may hold 24 million values.
#include <algorithm>
#include <cmath>

#include "app/depth.h"

namespace {

constexpr int kBins = 65536;

struct ValueHistogram {
    std::vector<uint32_t> count = std::vector<uint32_t>(kBins, 0);  // by value + 32768
    uint64_t total = 0;                                              // valid values
    explicit ValueHistogram(const DisparityMap& map) {
        for (int16_t v : map.value)
            if (v != kNoDisparity) {
                ++count[static_cast<size_t>(v + 32768)];
                ++total;
            }
    }
    // The value of rank floor(share * (total - 1)) in ascending order.
    int Percentile(double share) const {
        const uint64_t rank = static_cast<uint64_t>(share * static_cast<double>(total - 1));
        uint64_t seen = 0;
        for (int b = 0; b < kBins; ++b) {
            seen += count[static_cast<size_t>(b)];
            if (seen > rank) return b - 32768;
        }
        return 0;
    }
};

}  // namespace

bool DisparityNearFar(const DisparityMap& map, double* nearDisparity, double* farDisparity) {
    const ValueHistogram histogram(map);
    if (histogram.total == 0) return false;
    if (nearDisparity) *nearDisparity = histogram.Percentile(0.98) / static_cast<double>(kDisparityScale);
    if (farDisparity) *farDisparity = histogram.Percentile(0.02) / static_cast<double>(kDisparityScale);
    return true;
}

std::vector<uint8_t> DepthImage(const DisparityMap& map) {
    std::vector<uint8_t> depth(map.value.size(), 0);
    const ValueHistogram histogram(map);
    if (histogram.total == 0) return depth;
    const int lo = histogram.Percentile(0.01), hi = histogram.Percentile(0.99);
    for (size_t i = 0; i < depth.size(); ++i) {
        const int v = map.value[i];
        if (v == kNoDisparity) continue;
        if (hi == lo) {
            depth[i] = 128;
            continue;
        }
        // Integer rounding of 255 (v - lo) / (hi - lo), clamped: the same
        // grey on every machine.
        const int64_t scaled = (static_cast<int64_t>(std::clamp(v, lo, hi) - lo) * 510 + (hi - lo)) /
                               (2 * static_cast<int64_t>(hi - lo));
        depth[i] = static_cast<uint8_t>(scaled);
    }
    return depth;
}

void RgbdRow(const uint32_t* left, const uint8_t* depth, int width, uint32_t* out) {
    for (int x = 0; x < width; ++x) {
        out[x] = left[x] & 0xffffffu;
        out[width + x] = depth[x] * 0x010101u;
    }
}
