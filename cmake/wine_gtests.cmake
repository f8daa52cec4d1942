# Registers a Windows GoogleTest program's cases with CTest: one test per TEST
# and TEST_F, one per TEST_P covering all its rows (the rows only exist at run
# time; listing them would mean running Wine while configuring). The names of
# the new tests go into <out_var> for the caller's properties.
#   lss_add_wine_gtests(<out_var> <name prefix> <program target> <sources...>)
function(lss_add_wine_gtests out_var prefix program)
  set(tests "")
  foreach(source IN LISTS ARGN)
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
      add_test(NAME ${prefix}.${suite}.${name} COMMAND ${program} --gtest_filter=${filter})
      list(APPEND tests ${prefix}.${suite}.${name})
    endforeach()
  endforeach()
  # A filter that matches nothing would otherwise pass.
  set_tests_properties(${tests} PROPERTIES FAIL_REGULAR_EXPRESSION "Running 0 tests")
  set(${out_var} ${tests} PARENT_SCOPE)
endfunction()
