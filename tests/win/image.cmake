qub_win_test_program(image_tests image_window_test.cpp image_file_test.cpp image_drop_test.cpp
                     image_clipboard_test.cpp image_test_support.cpp text_test_support.cpp
                     ${CMAKE_SOURCE_DIR}/tests/host/formats_builders.cpp
                     ${CMAKE_SOURCE_DIR}/tests/host/formats_builders_records.cpp)
qub_win_run(image_tests image_tests)

qub_win_test_program(image_toolbox_tests image_toolbox_test.cpp
                     image_test_support.cpp text_test_support.cpp)
qub_win_run(image_toolbox_tests image_toolbox_tests)
