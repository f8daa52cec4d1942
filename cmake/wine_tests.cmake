# Helpers for the suites that run under Wine: a private prefix as a CTest
# fixture, and the registration of a Windows GoogleTest program's cases.

find_program(LSS_WINESERVER NAMES wineserver PATHS /usr/lib/wine NO_DEFAULT_PATH)
if(NOT LSS_WINESERVER)
  find_program(LSS_WINESERVER NAMES wineserver)
endif()

# A private Wine prefix for a suite: <name prefix>.wine_prefix.setup creates it
# once per test run (fixture <fixture>), .cleanup stops its wineserver. Tests
# that use it name the fixture and take the lock of the same name.
#   lss_add_wine_prefix_fixture(<fixture> <name prefix> <prefix folder>)
function(lss_add_wine_prefix_fixture fixture prefix folder)
  set(script "${PROJECT_SOURCE_DIR}/tests/e2e/wine_prefix.sh")
  add_test(NAME ${prefix}.wine_prefix.setup
    COMMAND ${script} setup ${folder} ${CMAKE_CROSSCOMPILING_EMULATOR} ${LSS_WINESERVER})
  add_test(NAME ${prefix}.wine_prefix.cleanup
    COMMAND ${script} cleanup ${folder} ${CMAKE_CROSSCOMPILING_EMULATOR} ${LSS_WINESERVER})
  set_tests_properties(${prefix}.wine_prefix.setup PROPERTIES
    FIXTURES_SETUP ${fixture} RESOURCE_LOCK ${fixture} TIMEOUT 300)
  set_tests_properties(${prefix}.wine_prefix.cleanup PROPERTIES
    FIXTURES_CLEANUP ${fixture} RESOURCE_LOCK ${fixture} TIMEOUT 60)
endfunction()

# Registers a Windows GoogleTest program's cases with CTest: one test per TEST
# and TEST_F, one per TEST_P covering all its rows (the rows only exist at run
# time; listing them would mean running Wine while configuring). The names of
# the new tests go into <out_var> for the caller's properties. With
# WINE_DEBUG, the cases run with those of Wine's debug channels on (a WINEDEBUG
# value), their output in a file the test reads (harness/wine_debug_log.h).
#   lss_add_wine_gtests(<out_var> <name prefix> <program target>
#                       [WINE_DEBUG <channels>] <sources...>)
function(lss_add_wine_gtests out_var prefix program)
  cmake_parse_arguments(PARSE_ARGV 3 arg "" "WINE_DEBUG" "")
  set(tests "")
  foreach(source IN LISTS arg_UNPARSED_ARGUMENTS)
    set(path "${CMAKE_CURRENT_SOURCE_DIR}/${source}")
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS "${path}")
    file(READ "${path}" contents)
    string(REGEX MATCHALL "\n(TEST|TEST_F|TEST_P) *\\( *[A-Za-z0-9_]+ *, *[A-Za-z0-9_]+ *\\)" hits "${contents}")
    foreach(hit IN LISTS hits)
      string(REGEX REPLACE "\n(TEST|TEST_F|TEST_P) *\\( *([A-Za-z0-9_]+) *, *([A-Za-z0-9_]+) *\\)"
             "\\1;\\2;\\3" parts "${hit}")
      list(GET parts 0 kind)
      list(GET parts 1 suite)
      list(GET parts 2 name)
      if(kind STREQUAL "TEST_P")
        set(filter "*/${suite}.${name}/*")
      else()
        set(filter "${suite}.${name}")
      endif()
      if(arg_WINE_DEBUG)
        add_test(NAME ${prefix}.${suite}.${name}
          COMMAND ${PROJECT_SOURCE_DIR}/tests/e2e/with_wine_debug_log.sh "${arg_WINE_DEBUG}"
                  ${CMAKE_CURRENT_BINARY_DIR}/${prefix}.${suite}.${name}.winedebug.txt
                  ${CMAKE_CROSSCOMPILING_EMULATOR} $<TARGET_FILE:${program}>
                  --gtest_filter=${filter})
      else()
        add_test(NAME ${prefix}.${suite}.${name} COMMAND ${program} --gtest_filter=${filter})
      endif()
      list(APPEND tests ${prefix}.${suite}.${name})
    endforeach()
  endforeach()
  # A filter that matches nothing would otherwise pass.
  set_tests_properties(${tests} PROPERTIES FAIL_REGULAR_EXPRESSION "Running 0 tests")
  set(${out_var} ${tests} PARENT_SCOPE)
endfunction()
