// Which pairs a command line names, and what their outputs are called.
#pragma once
#include <string>
#include <vector>

#include "cli/pair_input.h"

// Picture names the companion reads, by extension in any case.
bool IsPictureName(const std::string& name);

// Names the companion itself writes ("-anaglyph", "-aligned", "-wiggle", the
// layouts' suffixes, each perhaps followed by a counter "_2"): skipped when a
// folder is read, so a second run does not take its own outputs for pairs.
bool IsOutputName(const std::string& name);

// The folder part of a path, separator included ("" for a bare name), and the
// name without folder and extension.
std::string FolderOf(const std::string& path);
std::string StemOf(const std::string& path);

// The stem without its left/right mark ("IMG_0001_L" gives "IMG_0001" and
// true for left), or false when the name carries none. Marks: a separator
// (_ - . or space) then L, R, left or right, in any case, at the end.
bool SplitEyeMark(const std::string& stem, std::string* base, bool* isLeft);

// Turns the inputs (files in the given order, folders' pictures sorted by
// name) into pairs: with `twoAtATime` each two inputs are a left and a right
// file; otherwise files whose stems differ only by a left/right mark, in the
// same folder, form a pair and every other file is a pair by itself.
// `problems` receives one line for each input that is neither.
std::vector<PairInput> ListPairs(const std::vector<std::string>& inputs, bool twoAtATime,
                                 std::vector<std::string>* problems);

// The output name for a pair: in `outDir` (or its file's folder), the stem (of
// the left file without its mark), then `suffix` and `extension`.
std::string OutputName(const PairInput& pair, const std::string& outDir, const std::string& suffix,
                       const std::string& extension);

// `name` with "_n" before its extension: the names tried when it is taken.
std::string CountedName(const std::string& name, int n);
