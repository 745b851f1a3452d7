# One-line test registration:
#   project_add_test(NAME SOURCES ... LIBS ... [GUI] [SERIAL] [TIMEOUT s])
# GUI tests run on the offscreen platform so they need no display, while a
# person can still run the binary by hand on a real one.
# A cross build for Windows compiles GoogleTest from the sources Debian's
# googletest package ships (no MinGW build of it is packaged) and runs each
# test program as one test, through CMAKE_CROSSCOMPILING_EMULATOR (wine):
# see tools/wincross.sh.
set(GOOGLETEST_SOURCE_DIR /usr/src/googletest CACHE PATH "GoogleTest's sources, for cross builds")
if(BUILD_TESTING AND CMAKE_CROSSCOMPILING)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  add_subdirectory(${GOOGLETEST_SOURCE_DIR} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
  # Its code is not ours to keep free of warnings. (It names its targets
  # GTest::gtest ... itself, as the installed package does.)
  set_target_properties(gtest gtest_main gmock PROPERTIES COMPILE_WARNING_AS_ERROR OFF)
elseif(BUILD_TESTING)
  find_package(GTest REQUIRED)
  include(GoogleTest)
endif()

option(PROJECT_UNITY_TESTS "Compile each test program's files together, a few at a time" ON)

function(project_add_test name)
  if(NOT BUILD_TESTING)
    return()
  endif()
  cmake_parse_arguments(T "GUI;SERIAL" "TIMEOUT" "SOURCES;LIBS;LABELS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest GTest::gmock GTest::gtest_main)
  set_target_properties(${name} PROPERTIES PROJECT_TEST_CODE ON)
  # A test program is compiled far more often than it runs, and its own code
  # is not what is measured: it is built without optimisation (a third less
  # compile time), the libraries it tests as the build type says.
  if(NOT MSVC)
    target_compile_options(${name} PRIVATE -O0)
  endif()
  # Its files are compiled together, a few at a time: each of them spends
  # most of its compile time reading the same GoogleTest and Qt headers.
  set_target_properties(${name} PROPERTIES UNITY_BUILD ${PROJECT_UNITY_TESTS} UNITY_BUILD_BATCH_SIZE 8)
  # A fixture in a file's anonymous namespace is that file's own, also when
  # the file is compiled within a batch (GCC then takes it for a header's).
  if(PROJECT_UNITY_TESTS AND CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
    target_compile_options(${name} PRIVATE -Wno-subobject-linkage)
  endif()
  set(props)
  if(T_GUI)
    list(APPEND props ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
  endif()
  if(T_SERIAL)
    list(APPEND props RUN_SERIAL TRUE)
  endif()
  if(T_TIMEOUT)
    list(APPEND props TIMEOUT ${T_TIMEOUT})
  endif()
  if(CMAKE_CROSSCOMPILING)
    # One test per program: a start of the emulator per test case would cost
    # more than the cases.
    add_test(NAME ${name} COMMAND ${name} --gtest_brief=1)
    if(props)
      set_tests_properties(${name} PROPERTIES ${props})
    endif()
    return()
  endif()
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 PROPERTIES ${props} LABELS "${T_LABELS}")
endfunction()
