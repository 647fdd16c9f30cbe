# The Windows build's tests run under Wine (CMAKE_CROSSCOMPILING_EMULATOR,
# set by the toolchain file where Wine is installed). Each test program and
# each end-to-end script runs in a Wine prefix of its own, a copy of one made
# by the first test (the "wine" fixture), on an X display of its own: the GL
# tests draw in real hidden windows, since Windows has no offscreen driver.
set(VANTALOOP_WINE_TEMPLATE ${CMAKE_CURRENT_BINARY_DIR}/wine-template)
add_test(NAME wine_prefix
  COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/tests/e2e/tools/wine_prefix.sh ${VANTALOOP_WINE_TEMPLATE})
set_tests_properties(wine_prefix PROPERTIES FIXTURES_SETUP wine TIMEOUT 300)
# How vantaloop_add_gtests runs a test program.
set(VANTALOOP_CROSS_TEST_RUNNER bash ${CMAKE_CURRENT_SOURCE_DIR}/tests/e2e/tools/under_wine.sh)

# Gives every test but the fixture's the prefix to copy and Wine to run.
function(vantaloop_run_tests_under_wine)
  get_property(tests DIRECTORY PROPERTY TESTS)
  list(REMOVE_ITEM tests wine_prefix)
  set_property(TEST ${tests} APPEND PROPERTY FIXTURES_REQUIRED wine)
  set_property(TEST ${tests} APPEND PROPERTY ENVIRONMENT "VANTALOOP_WINE=${CMAKE_CROSSCOMPILING_EMULATOR}"
    "VANTALOOP_WINE_TEMPLATE=${VANTALOOP_WINE_TEMPLATE}" "WINEDEBUG=-all")
endfunction()
