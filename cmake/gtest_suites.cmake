# One CTest test per GoogleTest suite of a native test program. A case per
# CTest test would start the sanitized program once for every case, which
# costs far more than running the cases; GoogleTest still reports each case.
# After each build the program lists its suites (cmake/list_gtest_suites.cmake)
# and CTest reads the tests from that list, named <name>.<Suite>.
#   lss_add_gtest_suites(<target> NAME <name> [TIMEOUT <seconds>])
function(lss_add_gtest_suites target)
  cmake_parse_arguments(PARSE_ARGV 1 arg "" "NAME;TIMEOUT" "")
  if(NOT arg_TIMEOUT)
    set(arg_TIMEOUT 120)
  endif()
  set(list_file "${CMAKE_CURRENT_BINARY_DIR}/${target}_suites.cmake")
  add_custom_command(TARGET ${target} POST_BUILD
    COMMAND ${CMAKE_COMMAND} -D PROGRAM=$<TARGET_FILE:${target}> -D NAME=${arg_NAME}
            -D TIMEOUT=${arg_TIMEOUT} -D OUTPUT=${list_file}
            -P ${PROJECT_SOURCE_DIR}/cmake/list_gtest_suites.cmake
    BYPRODUCTS ${list_file}
    VERBATIM)
  # Before the first build there is no list: a test that fails says so.
  set(include_file "${CMAKE_CURRENT_BINARY_DIR}/${target}_include.cmake")
  file(WRITE ${include_file}
    "if(EXISTS [=[${list_file}]=])\n"
    "  include([=[${list_file}]=])\n"
    "else()\n"
    "  add_test([=[${arg_NAME}.NOT_BUILT]=] [=[${target}_NOT_BUILT]=])\n"
    "endif()\n")
  set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES ${include_file})
endfunction()
