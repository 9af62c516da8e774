qub_pure_test(app_pure_tests app_slots_test.cpp app_compose_test.cpp app_save_name_test.cpp app_alignment_test.cpp)
# The sample pair's scene is pure code of the tools folder; the test builds it in.
qub_pure_test(app_sample_pair_tests app_sample_pair_test.cpp
              ${CMAKE_SOURCE_DIR}/tools/sample_scene.cpp)
