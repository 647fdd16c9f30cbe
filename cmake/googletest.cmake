# GoogleTest for the tests: the one installed for the target system, or else
# built here from its source (Debian's googletest package puts that in
# /usr/src/googletest), which is how the Windows build gets one. Without
# either, or with -DVANTALOOP_TESTS=OFF, the game builds alone.
option(VANTALOOP_TESTS "Build the tests (needs GoogleTest)" ON)
set(VANTALOOP_GTEST_SOURCE /usr/src/googletest CACHE PATH
    "GoogleTest's source, built here where no GoogleTest is installed for the target")
if(VANTALOOP_TESTS)
  find_package(GTest QUIET)
  if(NOT GTest_FOUND AND EXISTS ${VANTALOOP_GTEST_SOURCE}/CMakeLists.txt)
    set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
    set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
    add_subdirectory(${VANTALOOP_GTEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
    # Its code is not held to the game's warnings.
    target_compile_options(gtest PRIVATE -w)
    target_compile_options(gtest_main PRIVATE -w)
  elseif(NOT GTest_FOUND)
    message(WARNING "No GoogleTest (install libgtest-dev, or googletest for its source): "
                    "building the game without its tests")
    set(VANTALOOP_TESTS OFF)
  endif()
  include(GoogleTest)
endif()

# Registers the tests of a GoogleTest program with CTest. Natively each test
# is a CTest test of its own. Built for another system, the program runs as
# one CTest test under the emulator (Wine): starting a Windows program there
# costs far more than a test takes.
function(vantaloop_add_gtests target)
  cmake_parse_arguments(ARG "" "" "LABELS;ENVIRONMENT" ${ARGN})
  set(properties LABELS "${ARG_LABELS}")
  if(ARG_ENVIRONMENT)
    list(APPEND properties ENVIRONMENT "${ARG_ENVIRONMENT}")
  endif()
  if(CMAKE_CROSSCOMPILING AND VANTALOOP_CROSS_TEST_RUNNER)
    add_test(NAME ${target} COMMAND ${VANTALOOP_CROSS_TEST_RUNNER} $<TARGET_FILE:${target}>)
    set_tests_properties(${target} PROPERTIES ${properties})
  elseif(CMAKE_CROSSCOMPILING)
    add_test(NAME ${target} COMMAND ${target})
    set_tests_properties(${target} PROPERTIES ${properties})
  else()
    gtest_discover_tests(${target} DISCOVERY_MODE PRE_TEST PROPERTIES ${properties})
  endif()
endfunction()
