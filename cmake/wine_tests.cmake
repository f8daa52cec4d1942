# Helpers for the suites that run under Wine: a private prefix as a CTest
# fixture. Their GoogleTest cases are registered by lss_add_gtest_cases, which
# runs them through CMAKE_CROSSCOMPILING_EMULATOR.

# The wineserver that belongs to the loader the toolchain found.
if(LSS_WINE64)
  cmake_path(GET LSS_WINE64 PARENT_PATH lss_wine_folder)
  set(LSS_WINESERVER "${lss_wine_folder}/wineserver")
endif()

# One prefix booted by wineboot at build time and never run in: every other
# prefix of the build (each suite's, the transform's) starts as a copy of it.
set(LSS_BOOTED_PREFIX "${CMAKE_BINARY_DIR}/booted-prefix")
if(CMAKE_CROSSCOMPILING_EMULATOR)
  add_custom_command(OUTPUT "${LSS_BOOTED_PREFIX}/system.reg"
    COMMAND "${PROJECT_SOURCE_DIR}/scripts/lib/wine_prefix.sh" ensure "${LSS_BOOTED_PREFIX}"
            ${CMAKE_CROSSCOMPILING_EMULATOR} ${LSS_WINESERVER}
    COMMENT "Booting the Wine prefix the others copy"
    VERBATIM)
  add_custom_target(lss_booted_prefix ALL DEPENDS "${LSS_BOOTED_PREFIX}/system.reg")
endif()

# A private Wine prefix for a suite: <name prefix>.wine_prefix.setup creates it
# once per test run (fixture <fixture>) as a copy of the booted prefix,
# .cleanup stops its wineserver. Tests that use it name the fixture and take
# the lock of the same name.
#   lss_add_wine_prefix_fixture(<fixture> <name prefix> <prefix folder>)
function(lss_add_wine_prefix_fixture fixture prefix folder)
  set(script "${PROJECT_SOURCE_DIR}/scripts/lib/wine_prefix.sh")
  add_test(NAME ${prefix}.wine_prefix.setup
    COMMAND ${script} setup ${folder} ${CMAKE_CROSSCOMPILING_EMULATOR} ${LSS_WINESERVER}
            ${LSS_BOOTED_PREFIX})
  add_test(NAME ${prefix}.wine_prefix.cleanup
    COMMAND ${script} cleanup ${folder} ${CMAKE_CROSSCOMPILING_EMULATOR} ${LSS_WINESERVER})
  set_tests_properties(${prefix}.wine_prefix.setup PROPERTIES
    FIXTURES_SETUP ${fixture} RESOURCE_LOCK ${fixture} TIMEOUT 300)
  set_tests_properties(${prefix}.wine_prefix.cleanup PROPERTIES
    FIXTURES_CLEANUP ${fixture} RESOURCE_LOCK ${fixture} TIMEOUT 60)
  set_property(GLOBAL PROPERTY LSS_WINE_PREFIX_${fixture} "${folder}")
endfunction()

# Runs <tests> in the prefix of <fixture> (which creates it first and which
# they take turns in), with <timeout>, and an environment of the prefix,
# Wine's diagnostics off, the programs every suite may start under one name
# each (LSS_EXE, LSS_CHECK_EXE, LSS_TASK_TEMPLATE, as Windows paths: Z: is the
# Linux root), and the NAME=value pairs after ENVIRONMENT.
#   lss_set_wine_test_properties(<fixture> <timeout> TESTS <tests...> [ENVIRONMENT <pairs...>])
function(lss_set_wine_test_properties fixture timeout)
  cmake_parse_arguments(PARSE_ARGV 2 arg "" "" "TESTS;ENVIRONMENT")
  get_property(folder GLOBAL PROPERTY LSS_WINE_PREFIX_${fixture})
  if(NOT folder)
    message(FATAL_ERROR "No Wine prefix fixture named ${fixture}")
  endif()
  set_tests_properties(${arg_TESTS} PROPERTIES
    ENVIRONMENT "WINEPREFIX=${folder};WINEDEBUG=-all;LSS_EXE=Z:$<TARGET_FILE:LSScheduler>;LSS_CHECK_EXE=Z:$<TARGET_FILE:LSSchedulerCheck>;LSS_TASK_TEMPLATE=Z:${PROJECT_SOURCE_DIR}/deploy/LSScheduler-task.xml;${arg_ENVIRONMENT}"
    FIXTURES_REQUIRED ${fixture}
    RESOURCE_LOCK ${fixture}
    TIMEOUT ${timeout})
endfunction()

# A Windows GoogleTest program run under Wine: one CTest test per TEST and
# TEST_F of SOURCES, and one per TEST_P with all its rows (named <name>.Suite.Case,
# lss_add_gtest_cases),
# each with lss_set_wine_test_properties. The cases of CHANNEL_SOURCES read
# what the Wine debug CHANNELS print (lss_add_wine_debug_gtests). A suite that
# runs no case fails. Sets <name>_tests in the caller to the tests' names.
#   lss_add_wine_gtest_suite(<target> NAME <name> FIXTURE <fixture> TIMEOUT <seconds>
#     SOURCES <files...> [CHANNEL_SOURCES <files...> CHANNELS <WINEDEBUG value>]
#     [ENVIRONMENT <NAME=value...>])
function(lss_add_wine_gtest_suite target)
  cmake_parse_arguments(PARSE_ARGV 1 arg "" "NAME;FIXTURE;TIMEOUT;CHANNELS"
                        "SOURCES;CHANNEL_SOURCES;ENVIRONMENT")
  lss_add_gtest_cases(tests ${arg_NAME} ${target} SOURCES ${arg_SOURCES})
  if(arg_CHANNEL_SOURCES)
    lss_add_wine_debug_gtests(channel_tests ${arg_NAME} ${target} "${arg_CHANNELS}"
                              ${arg_CHANNEL_SOURCES})
    list(APPEND tests ${channel_tests})
  endif()
  lss_set_wine_test_properties(${arg_FIXTURE} ${arg_TIMEOUT} TESTS ${tests}
                               ENVIRONMENT ${arg_ENVIRONMENT})
  set_tests_properties(${tests} PROPERTIES FAIL_REGULAR_EXPRESSION "Running 0 tests")
  set(${arg_NAME}_tests ${tests} PARENT_SCOPE)
endfunction()

# The cases that read Wine's debug channels run through
# tests/e2e/with_wine_debug_log.sh, which turns <channels> (a WINEDEBUG value)
# on and sends their output to a file the test reads (harness/wine_debug_log.h).
#   lss_add_wine_debug_gtests(<out_var> <name prefix> <program target> <channels> <sources...>)
function(lss_add_wine_debug_gtests out_var prefix program channels)
  lss_add_gtest_cases(tests ${prefix} ${PROJECT_SOURCE_DIR}/tests/e2e/with_wine_debug_log.sh
    SOURCES ${ARGN}
    EXTRA_ARGS "${channels}" ${CMAKE_CURRENT_BINARY_DIR}/winedebug
               ${CMAKE_CROSSCOMPILING_EMULATOR} $<TARGET_FILE:${program}>)
  set(${out_var} ${tests} PARENT_SCOPE)
endfunction()

# One CTest test <name prefix>.Suite.Case per TEST, TEST_F and TEST_P of
# SOURCES, running <command> --gtest_filter=Suite.Case (for a TEST_P all its
# rows, Suite.Case/*) and then EXTRA_ARGS. Tables are instantiated without a
# prefix, so their cases are "Suite.Case/Row", which CMake's gtest_add_tests
# filter "*/Suite.Case/*" misses; a table with a prefix still matches.
#   lss_add_gtest_cases(<out_var> <name prefix> <command> SOURCES <files...> [EXTRA_ARGS <args...>])
function(lss_add_gtest_cases out_var prefix command)
  cmake_parse_arguments(PARSE_ARGV 3 arg "" "" "SOURCES;EXTRA_ARGS")
  set(tests "")
  foreach(source IN LISTS arg_SOURCES)
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${source})
    file(READ "${source}" contents)
    string(REGEX MATCHALL "TEST_?[FP]? *\\( *[A-Za-z_0-9]+ *, *[A-Za-z_0-9]+ *\\)" found
           "${contents}")
    foreach(hit IN LISTS found)
      if(NOT hit MATCHES "^(TEST_?[FP]?) *\\( *([A-Za-z_0-9]+) *, *([A-Za-z_0-9]+) *\\)$")
        continue()
      endif()
      set(filter "${CMAKE_MATCH_2}.${CMAKE_MATCH_3}")
      set(name "${prefix}.${filter}")
      if(CMAKE_MATCH_1 STREQUAL "TEST_P")
        set(filter "${filter}/*:*/${filter}/*")
      endif()
      add_test(NAME ${name} COMMAND ${command} --gtest_filter=${filter} ${arg_EXTRA_ARGS})
      list(APPEND tests ${name})
    endforeach()
  endforeach()
  set(${out_var} ${tests} PARENT_SCOPE)
endfunction()
