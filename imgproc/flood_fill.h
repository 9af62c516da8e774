// Flood fill: the 4-connected region of pixels equal to the one at (x, y) takes
// a new colour (its low byte in an 8-bit image).
//
// A scan-line fill: each seed fills its whole run at once and pushes one seed
// for every stretch of matching pixels in the rows above and below the run.
// The seed stack has a fixed size; a seed that does not fit is not lost: its
// row is noted, and once the stack runs dry those rows are searched again for
// matching pixels that touch the filled area. A bitmap of one bit per pixel
// records what this fill painted, so that pixels that already had the new
// colour are never mistaken for the region. The region is therefore always
// filled completely, in memory bounded by the image size / 8 plus the stack.
#pragma once
#include <cstdint>

#include "imgproc/pen.h"

constexpr int kFloodFillSeeds = 65536;  // default seed stack entries

// 0 done (also when (x, y) is outside or already has the colour); 2 when the
// working memory could not be allocated (nothing is changed then).
//
// Runs are filled in the order of the classic seed-stack fill: the seeds of the
// rows above and below a run are pushed together from left to right, and the
// last one pushed is filled first. Each run counts as a line drawn from its
// left to its right end; `lastRun`, when given, receives the right end of the
// last run filled, where such lines leave the pen, and is left alone when
// nothing was filled.
int QUB_FloodFill32(uint32_t* pixels, int width, int height, int x, int y, uint32_t colour,
                    QUB_Pen* lastRun = nullptr);
int QUB_FloodFill8(uint8_t* pixels, int width, int height, int stride, int x, int y, uint32_t colour,
                   QUB_Pen* lastRun = nullptr);

// The same with a chosen seed stack size (at least 1), so that tests can force
// the overflow path on small images.
int QUB_FloodFillSeeds32(uint32_t* pixels, int width, int height, int x, int y, uint32_t colour,
                         int seeds, QUB_Pen* lastRun = nullptr);
int QUB_FloodFillSeeds8(uint8_t* pixels, int width, int height, int stride, int x, int y,
                        uint32_t colour, int seeds, QUB_Pen* lastRun = nullptr);
