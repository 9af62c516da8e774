// The companion's command line: one command, its options, and the inputs
// (files and folders), parsed from UTF-8 arguments without touching a file.
#pragma once
#include <string>
#include <vector>

#include "cli/anaglyph_modes.h"

enum class CliCommand { Help, Anaglyph, Align, Convert, Info, Depth };

// How a pair is written.
enum class PairLayout {
    Parallel,   // side by side, left view on the left (.jpg)
    Cross,      // side by side, right view on the left (.jpg)
    OverUnder,  // left view above the right (.jpg)
    Mpo,        // multi-picture file, left view first (.mpo)
    Jps,        // stereo JPEG, cross-eyed (.jps)
    Gif,        // two-frame wiggle (.gif)
};

// How the JPEGs written sample colour (--chroma).
enum class JpegChroma {
    Default,  // anaglyphs 4:4:4, everything else 4:2:0
    Full,     // 4:4:4: colour at full resolution
    Half,     // 4:2:0: colour halved across and down, as cameras write
};

// The pixel budget's default, in millions: a side-by-side picture of two
// 45-megapixel views passes, and the views of one input then take about
// 400 MB. Jobs wait until the inputs being worked on fit in it together.
constexpr int kDefaultMaxMegapixels = 100;

struct CliOptions {
    CliCommand command = CliCommand::Help;
    std::vector<std::string> inputs;  // as given: files and folders
    AnaglyphMode mode = AnaglyphMode::RedCyan;
    PairLayout layout = PairLayout::Parallel;
    bool cross = false;      // side-by-side inputs hold the right view on the left
    bool swap = false;       // exchange the views after reading (reversed pairs)
    bool twoFiles = false;   // inputs are taken two at a time: left file, right file
    bool autoAlign = false;  // estimate and remove the misalignment (align does unless --offset)
    bool haveOffset = false; // a manual (a, i), as the program's compositions take it
    int offsetA = 0, offsetI = 0;
    bool overwrite = false;  // outputs may replace existing files
    bool json = false;       // info as JSON
    int delayMs = 100;       // wiggle frame time
    int quality = 95;        // JPEG quality of every JPEG written
    JpegChroma chroma = JpegChroma::Default;  // colour sampling of every JPEG written
    int jobs = 0;            // parallel files; 0: one per core
    int maxMegapixels = kDefaultMaxMegapixels;  // decoded pixels of one input, and of all jobs at once
    double screenMm = 0;     // info: screen width for the 65 mm test; 0 skips it
    std::string outDir;      // empty: beside each input
    int threadsPerJob = 1;   // set by the run: the cores each of its jobs may use
};

// Parses the arguments after the program name. Returns an empty string, or
// the one-line reason the command line is unusable.
std::string ParseCliOptions(const std::vector<std::string>& args, CliOptions* out);

// Whether the command's JPEGs keep colour at full resolution: an anaglyph
// carries depth in its colour channels, and halving them blurs the red and
// cyan fringes the eyes fuse, so anaglyphs are 4:4:4 unless asked otherwise.
bool FullChroma(const CliOptions& options);

// The --help text, with examples.
const char* CliHelpText();

// Extension of the layout's files, e.g. ".mpo"; and the name part that
// tells the layouts written as JPEG apart, e.g. "-cross" (empty for MPO and JPS).
const char* LayoutExtension(PairLayout layout);
const char* LayoutSuffix(PairLayout layout);
