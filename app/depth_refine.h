// What follows the matching in the dense depth estimate (app/depth.h): small
// islands of disparity removed, holes filled from the background side, the
// map smoothed within the left view's edges, and the bands of the next finer
// level of the pyramid.
#pragma once
#include <cstdint>
#include <vector>

#include "app/depth.h"
#include "app/depth_cost.h"

// Clears (to kNoDisparity) the connected regions of fewer than `minPixels`
// pixels whose neighbours differ by at most one pixel of disparity: the
// specks a wrong match leaves on a surface.
void RemoveSpeckles(DisparityMap& map, int minPixels);

// Gives every pixel without a value the smaller (farther) of the values to
// its left and right on its row (each the median of the three measured
// pixels nearest the hole): a pixel the right view does not see is hidden by
// something nearer, so it belongs to what lies behind.
// Rows with no value at all take the nearest row's values. `valid` receives
// 1 where the map had a value, 0 where it was filled. `threads` share the rows.
void FillFromBackground(DisparityMap& map, std::vector<uint8_t>& valid, int threads);

// Smooths the map with a recursive filter whose reach stops at edges of the
// grey image and at steps of disparity (a domain transform), weighing
// measured pixels (valid = 1) far above filled ones, so that a filled hole
// takes its values from the measured surface of the same colour next to it.
// `threads` share rows and columns.
void SmoothWithinEdges(DisparityMap& map, const GreyImage& grey,
                       const std::vector<uint8_t>& valid, int threads);

// The first disparity of each pixel of `grey` (the level twice the size of
// `coarse`, whose grey levels are `coarseGrey`) in its band of K disparities
// around twice the value of a coarse pixel near it, kept within
// [lo, hi - K + 1].
std::vector<int16_t> FinerBands(const DisparityMap& coarse, const GreyImage& coarseGrey,
                                const GreyImage& grey, int K, int lo, int hi, int threads);

