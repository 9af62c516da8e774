# The command-line companion end to end against ImageMagick, natively; see
# cli_bench.cpp for running the Windows companion through Wine.
if(NOT WIN32 AND TARGET qubstereo-cli)
  add_executable(bench_cli cli_bench.cpp)
  target_link_libraries(bench_cli PRIVATE qubcli)
  target_compile_definitions(bench_cli PRIVATE QUB_CLI_PROGRAM="$<TARGET_FILE:qubstereo-cli>")
  target_compile_options(bench_cli PRIVATE ${QUB_WARNINGS})
  add_dependencies(bench_cli qubstereo-cli)
endif()
