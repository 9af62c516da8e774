// From two views to the files the companion writes: the alignment (automatic
// or the program's manual (a, i)), the anaglyph, and the pair layouts.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "app/auto_align.h"
#include "cli/cli_options.h"
#include "cli/pair_input.h"

// The views after alignment, cut to the part both cover, and the (a, i)
// that was applied (after any resampling of the right view).
struct AlignedPair {
    CliPicture left, right;
    int a = 0, i = 0;
};

// Aligns as the options say: automatically (`estimate` receives it; a low
// confidence refuses), by the manual offset, or not at all. Views of
// different sizes can only be aligned automatically. The views' buffers
// become the aligned pair's (cut in place), so that no second copy of the
// pair is ever held; `views` is left empty. False with a reason.
bool AlignPair(PairViews* views, const CliOptions& options, AlignedPair* out,
               PairEstimate* estimate, std::string* error);

// The anaglyph of the aligned pair's overlap, as a JPEG composed row by row.
// An automatic alignment replaces the right view by its resampled one.
bool AnaglyphFile(PairViews* views, const CliOptions& options, std::vector<uint8_t>* file,
                  std::string* error);

// The aligned pair in the options' layout, as the bytes of its file. Joined
// layouts are encoded row by row, with no joined picture.
bool LayoutFile(const AlignedPair& pair, const CliOptions& options, std::vector<uint8_t>* file,
                std::string* error);

// Two views of one size side by side (`leftFirst`) or one above the other,
// into a picture of twice their width or height.
CliPicture JoinViews(const CliPicture& first, const CliPicture& second, bool across);
