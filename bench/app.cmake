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

# The dense depth estimate on the Middlebury "aloe" pair and its ground truth
# (fetched only on request, by scripts/testdata.sh aloe: its package is large)
# converted to plain PPM, and on a synthetic 24-megapixel pair.
if(NOT WIN32)
  add_executable(bench_depth app_bench_depth.cpp align_memory.cpp
                 ${CMAKE_SOURCE_DIR}/tests/host/align_scenes.cpp
                 ${CMAKE_SOURCE_DIR}/tools/sample_scene.cpp)
  target_link_libraries(bench_depth PRIVATE qubpure benchmark::benchmark_main)
  target_compile_options(bench_depth PRIVATE ${QUB_WARNINGS})
  set(QUB_ALOE_DIR ${CMAKE_SOURCE_DIR}/build/testdata)
  if(EXISTS ${QUB_ALOE_DIR}/aloeGT.png)
    find_program(QUB_CONVERT NAMES convert-im6.q16 convert REQUIRED)
    set(ppms)
    foreach(pair "L;aloeL.jpg" "R;aloeR.jpg" "GT;aloeGT.png")
      list(GET pair 0 tag)
      list(GET pair 1 file)
      set(ppm ${CMAKE_CURRENT_BINARY_DIR}/aloe${tag}.ppm)
      add_custom_command(OUTPUT ${ppm}
                         COMMAND ${QUB_CONVERT} ${QUB_ALOE_DIR}/${file} -depth 8 ppm:${ppm}
                         DEPENDS ${QUB_ALOE_DIR}/${file} VERBATIM)
      list(APPEND ppms ${ppm})
    endforeach()
    add_custom_target(depth_aloe_pair DEPENDS ${ppms})
    add_dependencies(bench_depth depth_aloe_pair)
    target_compile_definitions(bench_depth PRIVATE QUB_ALOE="${CMAKE_CURRENT_BINARY_DIR}/aloe")
  endif()
endif()
