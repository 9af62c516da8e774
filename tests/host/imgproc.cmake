qub_pure_test(imgproc_pure_tests
  imgproc_colour_test.cpp
  imgproc_draw_test.cpp
  imgproc_circle_test.cpp
  imgproc_fill_test.cpp
  imgproc_transform_test.cpp
  imgproc_font_test.cpp
)
