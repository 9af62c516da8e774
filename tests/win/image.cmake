qub_win_test_program(image_tests image_window_test.cpp image_file_test.cpp image_drop_test.cpp
                     image_clipboard_test.cpp image_test_support.cpp text_test_support.cpp
                     ${CMAKE_SOURCE_DIR}/tests/host/formats_builders.cpp
                     ${CMAKE_SOURCE_DIR}/tests/host/formats_builders_records.cpp)
qub_win_run(image_tests image_tests)

if(WIN32)
  add_executable(image_cmdline_tests image_cmdline_test.cpp process_support.cpp
                 ${CMAKE_SOURCE_DIR}/tests/host/formats_builders.cpp
                 ${CMAKE_SOURCE_DIR}/tests/host/formats_builders_records.cpp)
  target_link_libraries(image_cmdline_tests PRIVATE qubpure ${QUB_GTEST} psapi)
  target_compile_definitions(image_cmdline_tests PRIVATE UNICODE _UNICODE)
  target_include_directories(image_cmdline_tests PRIVATE ${CMAKE_SOURCE_DIR})
  target_compile_options(image_cmdline_tests PRIVATE ${QUB_WARNINGS})
  target_link_options(image_cmdline_tests PRIVATE ${QUB_STATIC_LINK})
  qub_win_run(image_cmdline_tests image_cmdline_tests $<TARGET_FILE:qubstereo>
              ${CMAKE_SOURCE_DIR}/samples/stereo_pair.jpg)
endif()

qub_win_test_program(image_toolbox_tests image_toolbox_test.cpp
                     image_test_support.cpp text_test_support.cpp)
qub_win_run(image_toolbox_tests image_toolbox_tests)
