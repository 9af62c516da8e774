// The two views of one input: a side-by-side picture (parallel or
// cross-eyed), an MPO, a JPS, or a left and a right file. Every file is
// probed from its bytes before the platform's decoder sees it.
#pragma once
#include <string>
#include <vector>

#include "cli/cli_platform.h"

struct PairInput {
    std::string left;   // the file, or the left view's file of a two-file pair
    std::string right;  // the right view's file; empty for one-file pairs
};

struct PairViews {
    CliPicture left, right;
    std::string format;  // e.g. "side-by-side JPEG", "MPO", "JPS", "two PNG files"
};

// Reads the views; `cross` says a side-by-side picture holds the right view
// on the left, `swap` exchanges the views afterwards. Views of different sizes
// (two files) are kept as they are; the caller decides. False with a reason.
bool ReadPairViews(const PairInput& input, bool cross, bool swap, PairViews* out,
                   std::string* error);
