qub_pure_test(text_pure_tests text_test.cpp)
