#include <cstdio>
#include <string>
#include <vector>

#include "cli/cli_run.h"

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    return QUB_CliRun(args, stdout, stderr);
}
