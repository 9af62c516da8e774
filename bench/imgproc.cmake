# Whole-image pixel operations on a 24-megapixel picture, each next to memcpy of
# the same bytes in the same run.
if(NOT WIN32)
  find_package(benchmark REQUIRED)
  add_executable(bench_imgproc imgproc_bench.cpp)
  target_link_libraries(bench_imgproc PRIVATE qubpure benchmark::benchmark_main)
  target_compile_options(bench_imgproc PRIVATE ${QUB_WARNINGS})
endif()

# Under Wine: the library calls on a real image window, with the project's own
# side-by-side timer. A build target only; run it by hand:
#   scripts/wine-run.sh bench/bench_imgproc_win.exe [rounds]
if(WIN32)
  add_executable(bench_imgproc_win imgproc_bench_win.cpp)
  target_link_libraries(bench_imgproc_win PRIVATE qublib)
  target_compile_options(bench_imgproc_win PRIVATE ${QUB_WARNINGS})
endif()
