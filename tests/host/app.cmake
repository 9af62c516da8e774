qub_pure_test(app_pure_tests app_test.cpp)
# The alignment estimate on pairs made with known truth from the sample scene
# and from textured scenes of the tests' own.
qub_pure_test(app_auto_align_tests app_auto_align_test.cpp
              align_scenes.cpp ${CMAKE_SOURCE_DIR}/tools/sample_scene.cpp)

