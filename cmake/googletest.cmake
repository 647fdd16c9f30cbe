# GoogleTest for the tests (included with BUILD_TESTING): the one installed
# for the target system, or else built here from its source (Debian's
# googletest package puts that in /usr/src/googletest), which is how the
# Windows build gets one. Without either, the game builds without the tests
# that need it. VANTALOOP_GTEST says whether there is one.
set(VANTALOOP_GTEST_SOURCE /usr/src/googletest CACHE PATH
    "GoogleTest's source, built here where no GoogleTest is installed for the target")
set(VANTALOOP_GTEST ON)
find_package(GTest QUIET)
if(NOT GTest_FOUND AND EXISTS ${VANTALOOP_GTEST_SOURCE}/CMakeLists.txt)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
  add_subdirectory(${VANTALOOP_GTEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
  # Its code is not held to the game's warnings, and is built without
  # optimisation: it only runs the tests.
  target_compile_options(gtest PRIVATE -w -O0)
  target_compile_options(gtest_main PRIVATE -w -O0)
elseif(NOT GTest_FOUND)
  message(WARNING "No GoogleTest (install libgtest-dev, or googletest for its source): "
                  "building the game without its tests")
  set(VANTALOOP_GTEST OFF)
endif()
include(GoogleTest)

# The tests' own code (not the game's, which they link as the game does) is
# built without optimisation, which halves the time the build takes, with
# GoogleTest's header compiled once per program.
function(vantaloop_test_code target)
  target_compile_options(${target} PRIVATE -O0)
  target_precompile_headers(${target} PRIVATE <gtest/gtest.h>)
endfunction()

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
