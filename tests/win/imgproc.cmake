qub_win_test_program(imgproc_tests imgproc_calls_test.cpp
                     image_test_support.cpp text_test_support.cpp)
qub_win_run(imgproc_tests imgproc_tests)
qub_win_test_program(imgproc_tt_tests imgproc_tt_test.cpp
                     image_test_support.cpp text_test_support.cpp)
qub_win_run(imgproc_tt_tests imgproc_tt_tests)
qub_win_test_program(imgproc_pick_tests imgproc_pick_test.cpp
                     image_test_support.cpp text_test_support.cpp
                     ${CMAKE_SOURCE_DIR}/tests/host/formats_builders.cpp)
qub_win_run(imgproc_pick_tests imgproc_pick_tests)
