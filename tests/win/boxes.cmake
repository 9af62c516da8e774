qub_win_test_program(boxes_tests boxes_button_test.cpp boxes_input_test.cpp
                     boxes_test_support.cpp text_test_support.cpp)
qub_win_run(boxes_tests boxes_tests)
