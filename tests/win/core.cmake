qub_win_test_program(runtime_tests runtime_test.cpp)
qub_win_run(runtime_tests runtime_tests --gtest_filter=-ExitForced.*:WorkerLost.*:CloseMessage.*:ExitDuringPrompt.*)
qub_win_run(runtime_exit_forced runtime_tests --gtest_filter=ExitForced.*)
qub_win_run(runtime_worker_lost runtime_tests --gtest_filter=WorkerLost.*)
qub_win_run(runtime_close runtime_tests --gtest_filter=CloseMessage.*)
qub_win_run(runtime_exit_prompt runtime_tests --gtest_filter=ExitDuringPrompt.*)

if(WIN32)
  add_executable(instance_tests instance_test.cpp process_support.cpp)
  target_link_libraries(instance_tests PRIVATE ${QUB_GTEST})
  target_compile_definitions(instance_tests PRIVATE UNICODE _UNICODE)
  target_include_directories(instance_tests PRIVATE ${CMAKE_SOURCE_DIR})
  target_link_options(instance_tests PRIVATE ${QUB_STATIC_LINK})
  qub_win_run(instance_tests instance_tests $<TARGET_FILE:qubstereo>)
endif()

qub_win_test_program(main_commands_tests main_commands_test.cpp image_test_support.cpp
                     text_test_support.cpp)
qub_win_run(main_commands_tests main_commands_tests)

# The generated source compiled into a program of its own, which must rebuild
# the same layout.
if(WIN32 AND QUB_CAN_RUN_WINDOWS)
  add_test(NAME window_info_rebuild
           COMMAND bash ${CMAKE_SOURCE_DIR}/tests/win/layout_rebuild.sh ${CMAKE_SOURCE_DIR}
                   ${CMAKE_CXX_COMPILER} $<TARGET_FILE:qublib> $<TARGET_FILE:qubpure>
                   $<TARGET_FILE:main_commands_tests> $<TARGET_FILE:qubdrive>)
  set_tests_properties(window_info_rebuild PROPERTIES RESOURCE_LOCK qub_instances SKIP_RETURN_CODE 125
                       ENVIRONMENT "QUB_WINEPREFIX=${QUB_WINE_PREFIX}")
endif()
