# The wiggle GIF of two 1-megapixel views next to memcpy of the same bytes in
# the same run. Native only.
if(NOT WIN32)
  find_package(benchmark REQUIRED)
  add_executable(bench_formats formats_bench.cpp)
  target_link_libraries(bench_formats PRIVATE qubpure benchmark::benchmark_main)
  target_compile_options(bench_formats PRIVATE ${QUB_WARNINGS})
endif()
