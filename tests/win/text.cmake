qub_win_test_program(text_tests text_window_test.cpp text_test_support.cpp)
qub_win_run(text_tests text_tests --gtest_filter=-ZExit.*)
# Exit ends the library, so it runs on its own.
qub_win_run(text_exit text_tests --gtest_filter=ZExit.*)

