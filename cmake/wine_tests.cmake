# Helpers for the suites that run under Wine: a private prefix as a CTest
# fixture. Their GoogleTest cases are registered with gtest_add_tests, which
# runs them through CMAKE_CROSSCOMPILING_EMULATOR.
include(GoogleTest)

# The wineserver that belongs to the loader the toolchain found.
if(LSS_WINE64)
  cmake_path(GET LSS_WINE64 PARENT_PATH lss_wine_folder)
  set(LSS_WINESERVER "${lss_wine_folder}/wineserver")
endif()

# A private Wine prefix for a suite: <name prefix>.wine_prefix.setup creates it
# once per test run (fixture <fixture>), .cleanup stops its wineserver. Tests
# that use it name the fixture and take the lock of the same name.
#   lss_add_wine_prefix_fixture(<fixture> <name prefix> <prefix folder>)
function(lss_add_wine_prefix_fixture fixture prefix folder)
  set(script "${PROJECT_SOURCE_DIR}/scripts/lib/wine_prefix.sh")
  add_test(NAME ${prefix}.wine_prefix.setup
    COMMAND ${script} setup ${folder} ${CMAKE_CROSSCOMPILING_EMULATOR} ${LSS_WINESERVER})
  add_test(NAME ${prefix}.wine_prefix.cleanup
    COMMAND ${script} cleanup ${folder} ${CMAKE_CROSSCOMPILING_EMULATOR} ${LSS_WINESERVER})
  set_tests_properties(${prefix}.wine_prefix.setup PROPERTIES
    FIXTURES_SETUP ${fixture} RESOURCE_LOCK ${fixture} TIMEOUT 300)
  set_tests_properties(${prefix}.wine_prefix.cleanup PROPERTIES
    FIXTURES_CLEANUP ${fixture} RESOURCE_LOCK ${fixture} TIMEOUT 60)
endfunction()

# gtest_add_tests cannot wrap a case's command, so the cases that read Wine's
# debug channels are registered here: each runs through
# tests/e2e/with_wine_debug_log.sh, which turns <channels> (a WINEDEBUG value)
# on and sends their output to a file the test reads (harness/wine_debug_log.h).
#   lss_add_wine_debug_gtests(<out_var> <name prefix> <program target> <channels> <sources...>)
function(lss_add_wine_debug_gtests out_var prefix program channels)
  gtest_add_tests(TARGET ${PROJECT_SOURCE_DIR}/tests/e2e/with_wine_debug_log.sh
    SOURCES ${ARGN} TEST_PREFIX ${prefix}. TEST_LIST tests
    EXTRA_ARGS "${channels}" ${CMAKE_CURRENT_BINARY_DIR}/winedebug
               ${CMAKE_CROSSCOMPILING_EMULATOR} $<TARGET_FILE:${program}>)
  set(${out_var} ${tests} PARENT_SCOPE)
endfunction()
