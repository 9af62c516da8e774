# Whole-image pixel operations on a 24-megapixel picture, each next to memcpy of
# the same bytes in the same run.
if(NOT WIN32)
  find_package(benchmark REQUIRED)
  add_executable(bench_imgproc imgproc_bench.cpp)
  target_link_libraries(bench_imgproc PRIVATE qubpure benchmark::benchmark_main)
  target_compile_options(bench_imgproc PRIVATE ${QUB_WARNINGS})
endif()
