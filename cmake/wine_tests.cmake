# Helpers for the suites that run under Wine: a private prefix as a CTest
# fixture. Their GoogleTest cases are registered with gtest_add_tests, which
# runs them through CMAKE_CROSSCOMPILING_EMULATOR.
include(GoogleTest)

find_program(LSS_WINESERVER NAMES wineserver PATHS /usr/lib/wine NO_DEFAULT_PATH)
if(NOT LSS_WINESERVER)
  find_program(LSS_WINESERVER NAMES wineserver)
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
