set(QUB_FORMATS_TESTS formats_probe_test.cpp formats_fuzz_test.cpp formats_builders.cpp
    formats_builders_records.cpp formats_mpo_test.cpp formats_gif_test.cpp)
# Natively, also what the system's zlib writes.
set(QUB_FORMATS_CODECS "")
if(NOT WIN32)
  find_package(ZLIB)
  if(ZLIB_FOUND)
    list(APPEND QUB_FORMATS_TESTS formats_codecs_test.cpp)
    set(QUB_FORMATS_CODECS ZLIB::ZLIB)
  endif()
endif()
qub_pure_test(formats_pure_tests ${QUB_FORMATS_TESTS})
target_link_libraries(formats_pure_tests PRIVATE ${QUB_FORMATS_CODECS})

# The probe reads hostile bytes, so natively its sources are built once more
# into the same tests under AddressSanitizer and UBSan: a read past a buffer,
# a signed overflow or a misaligned load fails the test instead of passing by
# luck. The sources are compiled in rather than linked from qubpure, which is
# built without instrumentation.
if(NOT WIN32)
  set(QUB_FORMATS_SOURCES ${QUB_PURE_SOURCES})
  list(FILTER QUB_FORMATS_SOURCES INCLUDE REGEX "^formats/")
  list(TRANSFORM QUB_FORMATS_SOURCES PREPEND ${CMAKE_SOURCE_DIR}/)
  set(QUB_SANITIZE -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
  add_executable(formats_sanitized_tests ${QUB_FORMATS_TESTS} ${QUB_FORMATS_SOURCES}
                 ${CMAKE_SOURCE_DIR}/image/buffer_layout.cpp)
  target_include_directories(formats_sanitized_tests PRIVATE ${CMAKE_SOURCE_DIR})
  target_compile_definitions(formats_sanitized_tests PRIVATE QUB_ASSERTS_LIVE)
  target_compile_options(formats_sanitized_tests PRIVATE ${QUB_WARNINGS} ${QUB_SANITIZE})
  target_link_options(formats_sanitized_tests PRIVATE ${QUB_SANITIZE})
  target_link_libraries(formats_sanitized_tests PRIVATE ${QUB_GTEST_MAIN} ${QUB_GTEST}
                        ${QUB_FORMATS_CODECS})
  qub_register_test(formats_sanitized_tests)
endif()
