# The console companion, qubstereo-cli: its own library (the batch frame over
# the platform-free pixel and format code, with one platform file) and the
# program. On Windows its codecs are GDI+, as the program's; elsewhere the
# standard libjpeg and libpng from the distribution, when they are installed.
set(QUB_CLI_SOURCES
  cli/anaglyph_stream.cpp
  cli/cli_options.cpp
  cli/cli_run.cpp
  cli/decode_rows_of_whole.cpp
  cli/input_list.cpp
  cli/output_place.cpp
  cli/pair_input.cpp
  cli/pair_output.cpp
)
set(QUB_CLI_BUILT OFF)
if(WIN32)
  add_library(qubcli STATIC ${QUB_CLI_SOURCES} cli/cli_platform_win.cpp
              image/gdiplus_codec_win.cpp)
  target_compile_definitions(qubcli PUBLIC UNICODE _UNICODE NOMINMAX _WIN32_WINNT=0x0601)
  target_link_libraries(qubcli PUBLIC qubpure gdiplus shlwapi ole32)
  add_executable(qubstereo-cli cli/cli_main_win.cpp)
  target_link_options(qubstereo-cli PRIVATE -municode ${QUB_STATIC_LINK})
  set(QUB_CLI_BUILT ON)
else()
  find_package(JPEG)
  find_package(PNG)
  find_package(Threads)
  if(JPEG_FOUND AND PNG_FOUND AND Threads_FOUND)
    add_library(qubcli STATIC ${QUB_CLI_SOURCES} cli/cli_platform_posix.cpp)
    target_link_libraries(qubcli PUBLIC qubpure JPEG::JPEG PNG::PNG Threads::Threads)
    add_executable(qubstereo-cli cli/cli_main_posix.cpp)
    set(QUB_CLI_BUILT ON)
  else()
    message(STATUS "qubstereo-cli not built natively: libjpeg, libpng or threads missing")
  endif()
endif()
if(QUB_CLI_BUILT)
  target_include_directories(qubcli PUBLIC ${CMAKE_SOURCE_DIR})
  target_compile_options(qubcli PRIVATE ${QUB_WARNINGS})
  target_link_libraries(qubstereo-cli PRIVATE qubcli)
  target_compile_options(qubstereo-cli PRIVATE ${QUB_WARNINGS})
endif()
