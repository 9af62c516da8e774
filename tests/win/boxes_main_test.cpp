#include "tests/win/win_test_support.h"

int main(int argc, char** argv) { return RunWinTests(argc, argv); }
