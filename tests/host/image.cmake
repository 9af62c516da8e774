qub_pure_test(image_pure_tests image_test.cpp image_dib_block_test.cpp)

# The DIB reader takes blocks other programs wrote, so natively it is built
# once more under AddressSanitizer and UBSan, as the formats probe is.
if(NOT WIN32)
  set(QUB_DIB_SANITIZE -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
  add_executable(image_dib_sanitized_tests image_dib_block_test.cpp
                 ${CMAKE_SOURCE_DIR}/image/dib_block.cpp ${CMAKE_SOURCE_DIR}/image/buffer_layout.cpp)
  target_include_directories(image_dib_sanitized_tests PRIVATE ${CMAKE_SOURCE_DIR})
  target_compile_definitions(image_dib_sanitized_tests PRIVATE QUB_ASSERTS_LIVE)
  target_compile_options(image_dib_sanitized_tests PRIVATE ${QUB_WARNINGS} ${QUB_DIB_SANITIZE})
  target_link_options(image_dib_sanitized_tests PRIVATE ${QUB_DIB_SANITIZE})
  target_link_libraries(image_dib_sanitized_tests PRIVATE ${QUB_GTEST_MAIN} ${QUB_GTEST})
  qub_register_test(image_dib_sanitized_tests)
endif()
