# Writes the CTest tests of one GoogleTest program, one per suite, to OUTPUT.
# Run by lss_add_gtest_suites after each build, with PROGRAM, NAME and TIMEOUT.
execute_process(COMMAND ${PROGRAM} --gtest_list_tests
  OUTPUT_VARIABLE listing RESULT_VARIABLE result TIMEOUT 60)
if(NOT result EQUAL 0)
  file(REMOVE ${OUTPUT})
  message(FATAL_ERROR "${PROGRAM} --gtest_list_tests failed (${result}):\n${listing}")
endif()

set(tests "")
string(REPLACE "\n" ";" lines "${listing}")
foreach(line IN LISTS lines)
  # A suite's line starts in the first column and ends its name with a dot
  # ("Suite." or "Rows/Suite."), maybe followed by a "# TypeParam" note.
  if(line MATCHES "^([^ #][^ ]*)\\.( .*)?$")
    set(suite "${CMAKE_MATCH_1}")
    string(APPEND tests
      "add_test([=[${NAME}.${suite}]=] [=[${PROGRAM}]=] [=[--gtest_filter=${suite}.*]=])\n"
      "set_tests_properties([=[${NAME}.${suite}]=] PROPERTIES TIMEOUT ${TIMEOUT}"
      " FAIL_REGULAR_EXPRESSION [=[Running 0 tests]=])\n")
  endif()
endforeach()
if(tests STREQUAL "")
  message(FATAL_ERROR "${PROGRAM} lists no GoogleTest suite")
endif()
file(WRITE ${OUTPUT} "${tests}")
