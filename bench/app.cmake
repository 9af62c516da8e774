# The stereo compositions on two 12-megapixel views, next to memcpy of the
# same bytes in the same run.
if(NOT WIN32)
  find_package(benchmark REQUIRED)
  add_executable(bench_compose app_bench_compose.cpp)
  target_link_libraries(bench_compose PRIVATE qubpure benchmark::benchmark_main)
  target_compile_options(bench_compose PRIVATE ${QUB_WARNINGS})
endif()

# One pass of the stereo routine's loop on a 24-megapixel pair under Wine,
# against the 100 ms frame. A build target; run it with scripts/wine-run.sh.
if(WIN32)
  add_executable(bench_stereo_pass app_bench_win.cpp)
  target_link_libraries(bench_stereo_pass PRIVATE qublib)
  target_compile_options(bench_stereo_pass PRIVATE ${QUB_WARNINGS})
endif()

# The alignment estimate on two 12-megapixel views, next to memcpy of them,
# with the most heap it held.
if(NOT WIN32)
  add_executable(bench_auto_align app_bench_auto_align.cpp
                 ${CMAKE_SOURCE_DIR}/tests/host/align_scenes.cpp
                 align_memory.cpp
                 ${CMAKE_SOURCE_DIR}/tools/sample_scene.cpp)
  target_link_libraries(bench_auto_align PRIVATE qubpure benchmark::benchmark_main)
  target_compile_options(bench_auto_align PRIVATE ${QUB_WARNINGS})
endif()
