qub_pure_test(app_pure_tests app_test.cpp)
# The alignment estimate on pairs made with known truth from the sample scene
# and from textured scenes of the tests' own.
qub_pure_test(app_auto_align_tests app_auto_align_test.cpp
              align_scenes.cpp ${CMAKE_SOURCE_DIR}/tools/sample_scene.cpp)

# Also on a real photograph that a Debian package ships as JPEG
# (scripts/setup.sh installs it): the build reduces it to a small PPM with
# ImageMagick, which the test reads. Native only: the path is a Linux one.
if(NOT WIN32)
  set(QUB_PHOTO_JPEG /usr/share/backgrounds/Kleiber_by_Lukas_Baubkus.jpg)
  set(QUB_PHOTO_PPM ${CMAKE_CURRENT_BINARY_DIR}/align_photo.ppm)
  find_program(QUB_IMAGEMAGICK NAMES convert-im6.q16 convert PATHS /usr/bin NO_DEFAULT_PATH)
  find_program(QUB_IMAGEMAGICK NAMES convert-im6.q16 convert)
  if(EXISTS ${QUB_PHOTO_JPEG} AND QUB_IMAGEMAGICK)
    add_custom_command(OUTPUT ${QUB_PHOTO_PPM}
                       COMMAND ${QUB_IMAGEMAGICK} ${QUB_PHOTO_JPEG} -resize 1200x675! -depth 8
                               ppm:${QUB_PHOTO_PPM}
                       DEPENDS ${QUB_PHOTO_JPEG} VERBATIM)
    add_custom_target(align_photo ALL DEPENDS ${QUB_PHOTO_PPM})
  else()
    message(WARNING "No ${QUB_PHOTO_JPEG} or no ImageMagick: AutoAlignPhoto will fail; run scripts/setup.sh")
  endif()
  target_compile_definitions(app_auto_align_tests PRIVATE QUB_ALIGN_PHOTO="${QUB_PHOTO_PPM}")
  if(TARGET align_photo)
    add_dependencies(app_auto_align_tests align_photo)
  endif()
endif()
