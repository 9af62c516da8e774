# The stereo compositions on two 12-megapixel views, next to memcpy of the
# same bytes in the same run.
if(NOT WIN32)
  find_package(benchmark REQUIRED)
  add_executable(bench_compose app_bench_compose.cpp)
  target_link_libraries(bench_compose PRIVATE qubpure benchmark::benchmark_main)
  target_compile_options(bench_compose PRIVATE ${QUB_WARNINGS})
endif()
