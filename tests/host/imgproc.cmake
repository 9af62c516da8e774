qub_pure_test(imgproc_pure_tests imgproc_draw_test.cpp imgproc_picture_test.cpp
              imgproc_text_test.cpp imgproc_pick_test.cpp)
