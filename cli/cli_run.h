// The companion's whole run: parse, list the pairs, process them on the
// cores, one line per pair and a summary. Exit code 0 when every pair was
// done, 1 when some failed, 2 when the command line is unusable.
#pragma once
#include <cstdio>
#include <string>
#include <vector>

int QUB_CliRun(const std::vector<std::string>& args, FILE* out, FILE* err);
