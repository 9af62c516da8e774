// From a pair's views to its depth: the files of the depth command and the
// parallax over every pixel that info reports. The disparity search range is
// the alignment estimate's parallax range, widened: matched places miss the
// nearest and farthest parts that have little texture.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "app/auto_align.h"
#include "cli/cli_options.h"
#include "cli/pair_input.h"

struct DepthFiles {
    std::vector<uint8_t> disparity;  // -disparity.png: 16-bit grey, disparity x 16, 0 for none
    std::vector<uint8_t> depth;      // -depth.png: 8-bit grey, near white, far black
    std::vector<uint8_t> rgbd;       // -rgbd.jpg: the left view and its depth side by side
    // Whole pixels added to every disparity written, so that the farthest is
    // at least one sixteenth: 0 for a pair from parallel cameras.
    int shift = 0;
};

// The depth of the left view. With --align the right view is first resampled
// into the left's frame (offset, turn, size and row terms removed); without,
// the views must be of one size with their rows in register. A pair whose
// alignment cannot be estimated has no range to search and is refused.
bool MakeDepthFiles(PairViews* views, const CliOptions& options, DepthFiles* out,
                    std::string* error);

// Near and far parallax (as in auto_align.h: x right - x left, pixels of the
// views) over every pixel of the left view, measured on copies reduced to
// about a quarter megapixel on `threads` threads; false when they cannot be
// measured.
bool DenseParallax(const CliPicture& left, const CliPicture& right, const PairEstimate& estimate,
                   int threads, double* nearParallax, double* farParallax);
