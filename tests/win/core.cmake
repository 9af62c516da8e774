qub_win_test_program(runtime_tests runtime_test.cpp)
qub_win_run(runtime_tests runtime_tests --gtest_filter=-ExitForced.*)
qub_win_run(runtime_exit_forced runtime_tests --gtest_filter=ExitForced.*)
