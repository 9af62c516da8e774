qub_pure_test(image_pure_tests image_zoom_test.cpp image_layout_test.cpp image_file_names_test.cpp
               image_keys_title_test.cpp)
