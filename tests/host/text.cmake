qub_pure_test(text_pure_tests
  text_wrap_test.cpp
  text_format_test.cpp
  text_input_test.cpp
  text_source_test.cpp
)
