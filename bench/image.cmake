# Image windows under Wine: a 24-megapixel JPEG loaded next to GDI+ decoding
# alone, redisplay at the fitted zoom in halftone mode, memory per window.
# A build target only; run it by hand: scripts/wine-run.sh bench/bench_image.exe
if(WIN32)
  add_executable(bench_image image_bench_win.cpp)
  target_link_libraries(bench_image PRIVATE qublib)
  target_compile_options(bench_image PRIVATE ${QUB_WARNINGS})
endif()
