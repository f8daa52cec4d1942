# A message table (.mc) compiled into a program's resources, beside its version
# resource: the texts Event Viewer shows for the program's events.
#
#   lss_message_table(<target> <file.mc>)
#
# The message compiler (MinGW's windmc, MSVC's mc) writes a .rc and the
# table's .bin into the build folder; the resource compiler links them in.

if(MINGW)
  # The windmc of the same toolchain as windres.
  get_filename_component(_lss_rc_dir "${CMAKE_RC_COMPILER}" DIRECTORY)
  get_filename_component(_lss_rc_name "${CMAKE_RC_COMPILER}" NAME)
  string(REPLACE "windres" "windmc" _lss_windmc_name "${_lss_rc_name}")
  find_program(LSS_MESSAGE_COMPILER NAMES "${_lss_windmc_name}" windmc HINTS "${_lss_rc_dir}"
               REQUIRED)
elseif(MSVC)
  # mc.exe comes with the Windows SDK, beside rc.exe.
  get_filename_component(_lss_rc_dir "${CMAKE_RC_COMPILER}" DIRECTORY)
  find_program(LSS_MESSAGE_COMPILER NAMES mc HINTS "${_lss_rc_dir}" REQUIRED)
endif()

# The .mc file is UTF-8; its texts go into the table as UTF-16, so that
# umlauts come out the same whatever the build machine's code page.
if(MINGW)
  set(LSS_MESSAGE_COMPILER_FLAGS --codepage_in=65001 --unicode_out)
elseif(MSVC)
  set(LSS_MESSAGE_COMPILER_FLAGS -U)
endif()

function(lss_message_table target source)
  get_filename_component(source "${source}" ABSOLUTE)
  get_filename_component(name "${source}" NAME_WE)
  set(dir "${CMAKE_CURRENT_BINARY_DIR}/${target}_messages")
  add_custom_command(
    OUTPUT "${dir}/${name}.rc" "${dir}/${name}.h"
    COMMAND ${CMAKE_COMMAND} -E make_directory "${dir}"
    COMMAND "${LSS_MESSAGE_COMPILER}" ${LSS_MESSAGE_COMPILER_FLAGS} -h "${dir}" -r "${dir}"
            "${source}"
    DEPENDS "${source}"
    COMMENT "Compiling the message table ${name}.mc"
    VERBATIM)
  target_sources(${target} PRIVATE "${dir}/${name}.rc")
  # The .rc names its .bin without a folder.
  set_source_files_properties("${dir}/${name}.rc" PROPERTIES INCLUDE_DIRECTORIES "${dir}")
endfunction()
