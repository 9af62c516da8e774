// Semi-global matching over a band of rows (app/depth.h): sums of path costs
// along eight directions, and the disparities they select, refined to a
// fraction of a pixel and checked against the right view's own choice.
#pragma once
#include <cstdint>

// A band of rows of the left view. Pixel i considers disparities base[i] to
// base[i] + K - 1: the whole range on the coarsest level of the pyramid, a
// few pixels around the coarser level's answer on the others.
struct SgmBand {
    int width = 0, rows = 0;
    int K = 0;                       // disparities per pixel
    const int16_t* base = nullptr;   // rows * width
    const uint8_t* cost = nullptr;   // rows * width * K (app/depth_cost.h)
    const uint8_t* grey = nullptr;   // the left view's rows: where edges relax smoothness
};

// Penalties for a step of one pixel of disparity between neighbours and for
// a larger jump, in census bits. The jump penalty is smaller across an edge
// of the grey image, where depth edges are likely.
constexpr int kSmallStep = 10;
// Disparities per pixel on the levels below the coarsest: twice the coarser
// answer and two either way, which covers its error of a coarse pixel.
// Wider bands let the finer level, whose census sees less of the scene,
// wander to a wrong match (on aloe 5 gives 7.7 % bad pixels, 8 gives 8.8,
// 16 gives 10).
constexpr int kBandDisparities = 5;
constexpr int kJump = 120;

// sum[i * K + k] = sum over the eight paths of the path cost of disparity
// base[i] + k at pixel i. Paths start afresh at the band's edges.
void AggregatePaths(const SgmBand& band, uint16_t* sum);

// The disparity of rows r0 to r1 - 1 (of the band) in sixteenths of a pixel,
// written to out[(r - r0) * width + x]: the disparity of least sum, refined
// by a parabola through its neighbours, or kNoDisparity where the right
// view's least-sum match does not point back to within a pixel (occlusions
// and mismatches), where it is not distinct enough, or where the match
// falls outside the right view.
void PickDisparities(const SgmBand& band, const uint16_t* sum, int r0, int r1, int16_t* out);
