# The console companion, qubstereo-cli: its own library (the batch frame over
# the platform-free pixel and format code, with one platform file and the
# codecs) and the program. Its codecs are libjpeg(-turbo) and libpng: natively
# the distribution's, on Windows the static ones that scripts/setup-codecs.sh
# builds from Debian's sources into QUB_CLI_CODECS (the win64 preset names
# them). A Windows build without them (the i686 one) decodes and encodes
# through GDI+, as the program does.
set(QUB_CLI_SOURCES
  cli/anaglyph_stream.cpp
  cli/cli_options.cpp
  cli/cli_run.cpp
  cli/decode_rows_of_whole.cpp
  cli/depth_output.cpp
  cli/input_list.cpp
  cli/output_place.cpp
  cli/pair_input.cpp
  cli/pair_output.cpp
)
set(QUB_CLI_CODEC_SOURCES cli/codec_decode.cpp cli/codec_jpeg.cpp cli/codec_png.cpp)
set(QUB_CLI_CODECS "" CACHE PATH "Static libjpeg, libpng and zlib (include/, lib/) for the Windows companion; empty: GDI+")
set(QUB_CLI_BUILT OFF)
if(WIN32 AND QUB_CLI_CODECS)
  if(NOT EXISTS "${QUB_CLI_CODECS}/lib/libjpeg.a")
    message(FATAL_ERROR "No codecs in ${QUB_CLI_CODECS}: run scripts/setup.sh first")
  endif()
  add_library(qubcli STATIC ${QUB_CLI_SOURCES} ${QUB_CLI_CODEC_SOURCES} cli/cli_platform_win.cpp)
  target_include_directories(qubcli PRIVATE "${QUB_CLI_CODECS}/include")
  target_compile_definitions(qubcli PUBLIC UNICODE _UNICODE NOMINMAX _WIN32_WINNT=0x0601)
  target_link_libraries(qubcli PUBLIC qubpure "${QUB_CLI_CODECS}/lib/libjpeg.a"
                        "${QUB_CLI_CODECS}/lib/libpng.a" "${QUB_CLI_CODECS}/lib/libz.a")
  add_executable(qubstereo-cli cli/cli_main_win.cpp)
  target_link_options(qubstereo-cli PRIVATE -municode ${QUB_STATIC_LINK})
  set(QUB_CLI_BUILT ON)
elseif(WIN32)
  add_library(qubcli STATIC ${QUB_CLI_SOURCES} cli/cli_platform_win.cpp cli/codec_gdiplus_win.cpp
              image/gdiplus_codec_win.cpp)
  target_compile_definitions(qubcli PUBLIC UNICODE _UNICODE NOMINMAX _WIN32_WINNT=0x0601
                             QUB_CLI_GDIPLUS)
  target_link_libraries(qubcli PUBLIC qubpure gdiplus shlwapi ole32)
  add_executable(qubstereo-cli cli/cli_main_win.cpp)
  target_link_options(qubstereo-cli PRIVATE -municode ${QUB_STATIC_LINK})
  set(QUB_CLI_BUILT ON)
else()
  find_package(JPEG)
  find_package(PNG)
  find_package(Threads)
  if(JPEG_FOUND AND PNG_FOUND AND Threads_FOUND)
    add_library(qubcli STATIC ${QUB_CLI_SOURCES} ${QUB_CLI_CODEC_SOURCES} cli/cli_platform_posix.cpp)
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
