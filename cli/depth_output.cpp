#include "cli/depth_output.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>

#include "app/depth.h"
#include "cli/cli_platform.h"
#include "formats/png_writer.h"

namespace {

constexpr double kDenseInfoPixels = 250000;
constexpr double kMaxRowsApart = 1.0;
constexpr int kMaxJpegSide = 65500;  // RMS vertical disparity a pair may have unaligned

// The right view resampled into the left view's frame with the estimate.
CliPicture Resampled(const PairEstimate& e, const CliPicture& right) {
    CliPicture out;
    out.width = e.width;
    out.height = e.height;
    out.pixels.assign(static_cast<size_t>(e.width) * static_cast<size_t>(e.height), 0);
    ResampleRightView(e, right.pixels.data(), right.width, right.height, 0, out.pixels.data());
    return out;
}

// Means of f x f blocks; a last partial block is left out.
CliPicture Reduced(const CliPicture& p, int f) {
    CliPicture out;
    out.width = p.width / f;
    out.height = p.height / f;
    out.pixels.resize(static_cast<size_t>(out.width) * static_cast<size_t>(out.height));
    const uint32_t area = static_cast<uint32_t>(f * f);
    for (int v = 0; v < out.height; ++v)
        for (int u = 0; u < out.width; ++u) {
            uint32_t sum[3] = {0, 0, 0};
            for (int y = v * f; y < v * f + f; ++y)
                for (int x = u * f; x < u * f + f; ++x) {
                    const uint32_t q = p.pixels[static_cast<size_t>(y) * p.width + x];
                    for (int c = 0; c < 3; ++c) sum[c] += q >> (16 - 8 * c) & 255;
                }
            uint32_t mean = 0;
            for (int c = 0; c < 3; ++c) mean = mean << 8 | (sum[c] + area / 2) / area;
            out.pixels[static_cast<size_t>(v) * out.width + u] = mean;
        }
    return out;
}

// The left view and its depth as grey side by side, encoded a row at a
// time so that the joined picture is never held whole.
bool RgbdJpeg(const CliPicture& left, const std::vector<uint8_t>& depth, const CliOptions& o,
              std::vector<uint8_t>* out) {
    const size_t w = static_cast<size_t>(left.width);
    CliJpegWriter* writer = CliBeginJpeg(2 * left.width, left.height, o.quality, FullChroma(o));
    std::vector<uint32_t> row(2 * w);
    bool ok = writer != nullptr;
    for (int y = 0; ok && y < left.height; ++y) {
        const size_t at = static_cast<size_t>(y) * w;
        RgbdRow(left.pixels.data() + at, depth.data() + at, left.width, row.data());
        ok = CliJpegRow(writer, row.data());
    }
    return writer != nullptr && CliEndJpeg(writer, out) && ok;
}

}  // namespace

bool MakeDepthFiles(PairViews* views, const CliOptions& o, DepthFiles* out, std::string* error) {
    const CliPicture& left = views->left;
    CliPicture& right = views->right;
    // The view beside its depth is a JPEG, whose sides stop at 65500.
    if (left.width > kMaxJpegSide / 2) {
        *error = "views wider than " + std::to_string(kMaxJpegSide / 2) +
                 " pixels: the view beside its depth cannot be a JPEG";
        return false;
    }
    if (!o.autoAlign && (left.width != right.width || left.height != right.height)) {
        *error = "views differ in size; --align can match them";
        return false;
    }
    const PairEstimate e = EstimatePairAlignment(left.pixels.data(), left.width, left.height,
                                                 right.pixels.data(), right.width, right.height);
    if (e.confidence < kAlignConfident) {
        *error = std::string("cannot find the depth range: ") + AlignReasonText(e.reason);
        return false;
    }
    // Matching searches along rows: rows out of register give no depth.
    if (!o.autoAlign && e.residualBefore > kMaxRowsApart) {
        char rows[32];
        std::snprintf(rows, sizeof rows, "%.2f", e.residualBefore);
        *error = std::string("the views' rows are ") + rows + " px RMS apart; --align aligns them first";
        return false;
    }
    if (o.autoAlign) right = Resampled(e, right);
    int low = 0, high = 0;
    DisparityRangeFromParallax(e.nearParallax, e.farParallax, left.width, &low, &high);
    DisparityMap map;
    if (!EstimateDisparity(left.pixels.data(), right.pixels.data(), left.width, left.height, low,
                           high, o.threadsPerJob, &map, error))
        return false;
    right = CliPicture();  // no longer needed: the files are made from the left view

    // Disparities behind zero parallax (converged cameras, shifted pairs)
    // cannot be written as they are: every value then moves up by the whole
    // pixels that bring the farthest to at least one sixteenth. |d| <= 2000
    // keeps the shifted values within 16 bits, so none is clamped.
    int least = INT16_MAX;
    for (const int16_t v : map.value)
        if (v != kNoDisparity) least = std::min<int>(least, v);
    if (least == INT16_MAX) {
        *error = "no place of the left view could be matched";
        return false;
    }
    out->shift = least < 1 ? (1 - least + kDisparityScale - 1) / kDisparityScale : 0;
    std::vector<uint16_t> samples(map.value.size());
    for (size_t k = 0; k < samples.size(); ++k) {
        const int v = map.value[k];
        samples[k] = v == kNoDisparity ? 0 : static_cast<uint16_t>(v + kDisparityScale * out->shift);
    }
    const std::vector<uint8_t> depth = DepthImage(map);
    std::vector<uint16_t> grey(depth.begin(), depth.end());
    if (!WriteGreyPng(samples.data(), map.width, map.height, 16, &out->disparity) ||
        !WriteGreyPng(grey.data(), map.width, map.height, 8, &out->depth) ||
        !RgbdJpeg(left, depth, o, &out->rgbd)) {
        *error = "cannot encode the depth pictures";
        return false;
    }
    return true;
}

bool DenseParallax(const CliPicture& left, const CliPicture& right, const PairEstimate& estimate,
                   int threads, double* nearParallax, double* farParallax) {
    const double pixels = static_cast<double>(std::max<int64_t>(
        int64_t{left.width} * left.height, int64_t{right.width} * right.height));
    const int f = std::max(1, static_cast<int>(std::ceil(std::sqrt(pixels / kDenseInfoPixels))));
    CliPicture l = f > 1 ? Reduced(left, f) : left, r = f > 1 ? Reduced(right, f) : right;
    const PairEstimate e =
        f > 1 ? EstimatePairAlignment(l.pixels.data(), l.width, l.height, r.pixels.data(), r.width,
                                      r.height)
              : estimate;
    if (e.confidence < kAlignConfident) return false;
    r = Resampled(e, r);
    int low = 0, high = 0;
    DisparityRangeFromParallax(e.nearParallax, e.farParallax, l.width, &low, &high);
    DisparityMap map;
    std::string error;
    double nearD = 0, farD = 0;
    if (!EstimateDisparity(l.pixels.data(), r.pixels.data(), l.width, l.height, low, high,
                           threads, &map, &error) ||
        !DisparityNearFar(map, &nearD, &farD))
        return false;
    *nearParallax = -nearD * f;
    *farParallax = -farD * f;
    return true;
}
