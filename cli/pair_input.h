// The two views of one input: a side-by-side picture (parallel or
// cross-eyed), an MPO, a JPS, or a left and a right file. Every file is
// probed from its bytes before the platform's decoder sees it, and an MPO or
// a JPS is known by its content, whatever its name.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "cli/cli_platform.h"
#include "formats/picture_probe.h"
#include "formats/stereo_plan.h"

struct PairInput {
    std::string left;   // the file, or the left view's file of a two-file pair
    std::string right;  // the right view's file; empty for one-file pairs
};

// One input read and probed, nothing decoded: what decoding it will cost is
// known before a pixel is held.
struct PairSource {
    std::vector<uint8_t> bytes;       // the file, or the left view's file
    std::vector<uint8_t> rightBytes;  // the right view's file of a two-file pair
    PairKind kind = kPairNone;        // an MPO or JPS by content or name; else side by side
    PairPlan plan = {};               // MPO and JPS: where the views lie
    PictureProbe probe = {}, rightProbe = {};  // the file(s) as probed (not for MPO and JPS)
    int64_t pixels = 0;               // decoded pixels the views take, all streams together
    int width = 0, height = 0;        // of the one picture decoded, or 0 when there are two
};

struct PairViews {
    CliPicture left, right;
    std::string format;   // e.g. "side-by-side JPEG", "MPO", "JPS", "two PNG files"
    std::string warning;  // the decoder's first complaint about damaged data, or empty
};

// The stereo kind of a file: an MPO when its MP index lists two or more views
// (disparity or multi-angle pictures), a JPS when it has a JPS descriptor,
// otherwise as its name says (.mpo, .jps) or kPairNone.
PairKind PairKindOf(const std::string& name, const uint8_t* data, size_t size);

// Reads and probes the input's files. False with a reason.
bool OpenPair(const PairInput& input, PairSource* out, std::string* error);

// Decodes the views, each straight into its own buffer (no copy of the whole
// picture), and releases the source's bytes. `cross` says a side-by-side
// picture holds the right view on the left, `swap` exchanges the views
// afterwards. Views of different sizes (two files) are kept as they are; the
// caller decides. False with a reason.
bool DecodePair(PairSource* source, bool cross, bool swap, PairViews* out, std::string* error);

// OpenPair and DecodePair.
bool ReadPairViews(const PairInput& input, bool cross, bool swap, PairViews* out,
                   std::string* error);
