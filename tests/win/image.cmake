qub_win_test_program(image_tests image_window_test.cpp image_file_test.cpp image_drop_test.cpp
                     image_test_support.cpp)
qub_win_run(image_tests image_tests)
