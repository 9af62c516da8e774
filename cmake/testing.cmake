# Test helpers. Pure tests build natively and, in the Windows build, again with
# the cross compiler so that they also run under Wine (long is 32 bits there).
if(WIN32)
  set(gtest_disable_pthreads ON CACHE BOOL "" FORCE)
  set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
  set(QUB_GTEST gtest)
  set(QUB_GTEST_MAIN gtest_main)
  set(QUB_WINE_PREFIX ${CMAKE_BINARY_DIR}/wineprefix)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_SOURCE_DIR}/scripts/wine-run.sh)
  if(CMAKE_SYSTEM_PROCESSOR STREQUAL "x86_64")
    set(QUB_CAN_RUN_WINDOWS ON)
  else()
    set(QUB_CAN_RUN_WINDOWS OFF)
  endif()
else()
  find_package(GTest REQUIRED)
  set(QUB_GTEST GTest::gtest)
  set(QUB_GTEST_MAIN GTest::gtest_main)
endif()

# Registers test `name` running `target` with ARGN. Tests that start the
# library take the lock "qub_instances": instance numbers are shared by every
# program on the display.
function(qub_add_run name target)
  if(WIN32 AND NOT QUB_CAN_RUN_WINDOWS)
    return()
  endif()
  add_test(NAME ${name} COMMAND ${target} ${ARGN})
  if(WIN32)
    set_tests_properties(${name} PROPERTIES ENVIRONMENT "QUB_WINEPREFIX=${QUB_WINE_PREFIX}")
  endif()
endfunction()

function(qub_register_test name)
  qub_add_run(${name} ${name})
endfunction()

# A test of platform-free code: links qubpure only.
function(qub_pure_test name)
  add_executable(${name} ${ARGN})
  target_link_libraries(${name} PRIVATE qubpure ${QUB_GTEST_MAIN} ${QUB_GTEST})
  target_compile_options(${name} PRIVATE ${QUB_WARNINGS})
  if(WIN32)
    target_link_options(${name} PRIVATE ${QUB_STATIC_LINK})
  endif()
  qub_register_test(${name})
endfunction()

# An in-process Windows test program: links qublib and the support that starts
# the library, supplies QUB_Main and main. Register runs with qub_win_run.
function(qub_win_test_program name)
  if(NOT WIN32)
    return()
  endif()
  add_executable(${name} ${ARGN} ${CMAKE_SOURCE_DIR}/tests/win/win_test_support.cpp)
  target_link_libraries(${name} PRIVATE qublib ${QUB_GTEST})
  target_compile_options(${name} PRIVATE ${QUB_WARNINGS})
endfunction()

# A run of a Windows test program that starts the library.
function(qub_win_run name target)
  if(NOT WIN32)
    return()
  endif()
  qub_add_run(${name} ${target} ${ARGN})
  if(TEST ${name})
    set_tests_properties(${name} PROPERTIES RESOURCE_LOCK qub_instances)
  endif()
endfunction()
