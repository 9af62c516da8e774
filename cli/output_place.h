// Where a run's files go: each is written once to a temporary file, then
// given the output name or, when that is taken, the next counted name. The
// book of the run keeps two promises, for every job at once: no output
// replaces an input (even with --overwrite, and whatever spelling named it),
// and no output replaces another output of the same run, so --overwrite
// replaces only files that were there before the run.
#pragma once
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "cli/cli_platform.h"

struct OutputBook {
    bool overwrite = false;          // files from before the run may be replaced
    std::mutex lock;                 // held while a name is checked and taken
    std::set<CliFileId> inputs;      // the files the run reads, and links naming them
    std::set<CliFileId> written;     // the files the run has placed
};

// Records an input; a name that is not there is left out.
void AddInput(OutputBook* book, const std::string& path);

// Writes `bytes` as `name` or its first free counted name (up to _9999);
// *placed gets the name used. False with the reason.
bool PlaceOutput(OutputBook* book, const std::string& name, const std::vector<uint8_t>& bytes,
                 std::string* placed, std::string* error);
