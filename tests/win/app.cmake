if(WIN32)
  add_executable(stereo_e2e_tests stereo_e2e_test.cpp process_support.cpp)
  target_link_libraries(stereo_e2e_tests PRIVATE qubpure ${QUB_GTEST} gdiplus ole32)
  target_compile_definitions(stereo_e2e_tests PRIVATE UNICODE _UNICODE)
  target_include_directories(stereo_e2e_tests PRIVATE ${CMAKE_SOURCE_DIR})
  target_link_options(stereo_e2e_tests PRIVATE ${QUB_STATIC_LINK})
  add_dependencies(stereo_e2e_tests qubstereo)
  qub_win_run(stereo_e2e_tests stereo_e2e_tests $<TARGET_FILE:qubstereo>
              ${CMAKE_SOURCE_DIR}/samples/stereo_pair.jpg)
endif()

qub_win_test_program(app_routine_tests app_routine_test.cpp)
qub_win_run(app_routine_tests app_routine_tests)
