qub_pure_test(app_pure_tests app_test.cpp)
# The alignment estimate on pairs made with known truth from the sample scene
# and from textured scenes of the tests' own.
qub_pure_test(app_auto_align_tests app_auto_align_test.cpp
              align_scenes.cpp ${CMAKE_SOURCE_DIR}/tools/sample_scene.cpp)

# ... and on a real rectified stereo pair from a Debian package
# (scripts/testdata.sh fetches it), which the build converts to plain PPM.
set(QUB_TESTDATA ${CMAKE_SOURCE_DIR}/build/testdata)
find_program(QUB_IMAGEMAGICK NAMES convert-im6.q16 convert REQUIRED)
set(QUB_PHOTO_PPMS)
foreach(eye left right)
  set(ppm ${CMAKE_CURRENT_BINARY_DIR}/motorcycle_${eye}.ppm)
  add_custom_command(OUTPUT ${ppm}
                     COMMAND ${QUB_IMAGEMAGICK} ${QUB_TESTDATA}/motorcycle_${eye}.png -depth 8 ppm:${ppm}
                     DEPENDS ${QUB_TESTDATA}/motorcycle_${eye}.png VERBATIM)
  list(APPEND QUB_PHOTO_PPMS ${ppm})
endforeach()
add_custom_target(align_photo_pair ALL DEPENDS ${QUB_PHOTO_PPMS})
add_dependencies(app_auto_align_tests align_photo_pair)
target_compile_definitions(app_auto_align_tests PRIVATE
                           QUB_PHOTO_PAIR="${CMAKE_CURRENT_BINARY_DIR}/motorcycle_")

# The dense depth estimate on textured scenes and on the photograph warped by
# a known disparity field.
qub_pure_test(app_depth_tests app_depth_test.cpp align_scenes.cpp
              ${CMAKE_SOURCE_DIR}/tools/sample_scene.cpp)
add_dependencies(app_depth_tests align_photo_pair)
target_compile_definitions(app_depth_tests PRIVATE
                           QUB_PHOTO_PAIR="${CMAKE_CURRENT_BINARY_DIR}/motorcycle_")
