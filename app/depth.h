// Dense depth of a stereo pair: the disparity of every pixel of the left view
// of an aligned (rectified) pair, and the pictures made from it.
//
// Views are 32-bit pixels 0x00RRGGBB, rows top-down, stride = width, both the
// same size. Disparity d = x_left - x_right: the point the left view shows at
// x is at x - d in the right view, so d = -p for the parallax p of
// app/auto_align.h, and near points have the largest d.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

// Sixteenths of a pixel; kNoDisparity where the pixel has no estimate.
constexpr int kDisparityScale = 16;
constexpr int16_t kNoDisparity = INT16_MIN;
// The range accepted, in whole pixels either way: d * 16 fits an int16.
constexpr int kMaxAbsDisparity = 2000;

struct DisparityMap {
    int width = 0, height = 0;
    std::vector<int16_t> value;  // d * kDisparityScale, stride = width
};

// Estimates the disparity of each left pixel, searching minDisparity to
// maxDisparity (whole pixels, inclusive). Semi-global matching of census
// costs on a pyramid, left-right checked, with sub-pixel refinement;
// occluded and border pixels take the farther of their row neighbours, then
// an edge-aware filter guided by the left view smooths the map. `threads`
// (at least 1) share the rows; the result is the same for any count.
// Returns false with a message and leaves `out` empty for sizes or ranges
// it refuses (empty views, a range outside +-kMaxAbsDisparity or wider than
// the view, views above kMaxDepthPixels) instead of allocating for them.
// Memory: about 12 bytes per pixel plus a band of rows per thread.
// 134 megapixels; 33 in a 32-bit process, whose 2 GB of address space must
// also hold the views.
constexpr int64_t kMaxDepthPixels = int64_t{1} << (sizeof(void*) >= 8 ? 27 : 25);
bool EstimateDisparity(const uint32_t* left, const uint32_t* right, int width, int height,
                       int minDisparity, int maxDisparity, int threads, DisparityMap* out,
                       std::string* error);

// The range to search for a pair whose alignment estimate (app/auto_align.h)
// found parallax nearParallax to farParallax (its 2nd and 98th percentiles of
// sparse matches): their disparities widened by half the span and 8 pixels
// either way, since thin near things often lie beyond the 2nd percentile;
// then kept within +-kMaxAbsDisparity and, trimmed evenly, narrower than the
// width, so that EstimateDisparity accepts it.
void DisparityRangeFromParallax(double nearParallax, double farParallax, int width,
                                int* minDisparity, int* maxDisparity);

// Near and far disparity of a map: the 98th and 2nd percentile of its valid
// values, in pixels. False when no pixel has a value.
bool DisparityNearFar(const DisparityMap& map, double* nearDisparity, double* farDisparity);

// The 8-bit depth image (stride = width): 255 for the nearest, 0 for the
// farthest, spread over the 1st to 99th percentile of the values present so
// that a few stray pixels do not flatten the rest; pixels without a value are
// 0 (far). A map whose values are all alike gives mid-grey.
std::vector<uint8_t> DepthImage(const DisparityMap& map);

// A row of the side-by-side picture of the left view and its depth as grey,
// the "RGBD" layout of 3D photo viewers: `width` pixels of the view's row,
// then its `width` depth values (DepthImage's) as grey, 0x00RRGGBB, into
// `out` (2 * width words). Made a row at a time so that an encoder can take
// the picture without its being held whole.
void RgbdRow(const uint32_t* left, const uint8_t* depth, int width, uint32_t* out);
