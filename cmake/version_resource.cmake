# Version information and an application manifest compiled into a program.
#
#   lss_version_resource(<target> DESCRIPTION <FileDescription> FILENAME <X.exe>
#                        [MANIFEST] [VERSION <a.b.c[.d]>])
#
# The version defaults to LSS_VERSION (the project's version, or
# LSS_VERSION_OVERRIDE when that is set). windres (MinGW) and rc (MSVC) both
# compile the generated .rc; with MANIFEST the .rc embeds the manifest, so
# MSVC's linker must not add one of its own.

if(WIN32)
  enable_language(RC)
endif()

set(_lss_resource_templates "${CMAKE_CURRENT_LIST_DIR}")

# "1.2.3" -> quad "1.2.3.0" and its comma form "1,2,3,0" (for VERSIONINFO).
function(lss_version_quad version out_dotted out_commas)
  if(NOT version MATCHES "^[0-9]+(\\.[0-9]+)?(\\.[0-9]+)?(\\.[0-9]+)?$")
    message(FATAL_ERROR "Not a version of up to four numbers: '${version}'")
  endif()
  string(REPLACE "." ";" parts "${version}")
  list(LENGTH parts count)
  while(count LESS 4)
    list(APPEND parts 0)
    math(EXPR count "${count} + 1")
  endwhile()
  foreach(part IN LISTS parts)
    if(part GREATER 65535)
      message(FATAL_ERROR "Version part ${part} of '${version}' is above 65535")
    endif()
  endforeach()
  list(JOIN parts "." dotted)
  list(JOIN parts "," commas)
  set(${out_dotted} "${dotted}" PARENT_SCOPE)
  set(${out_commas} "${commas}" PARENT_SCOPE)
endfunction()

function(lss_version_resource target)
  cmake_parse_arguments(PARSE_ARGV 1 arg "MANIFEST" "DESCRIPTION;FILENAME;VERSION" "")
  if(NOT arg_DESCRIPTION OR NOT arg_FILENAME)
    message(FATAL_ERROR "lss_version_resource(${target}): DESCRIPTION and FILENAME are required")
  endif()
  if(NOT arg_VERSION)
    set(arg_VERSION "${LSS_VERSION}")
  endif()
  lss_version_quad("${arg_VERSION}" LSS_RC_VERSION LSS_RC_VERSION_COMMAS)
  set(LSS_RC_DESCRIPTION "${arg_DESCRIPTION}")
  set(LSS_RC_FILENAME "${arg_FILENAME}")
  set(LSS_RC_COMPANY "Brinmoor")
  set(LSS_RC_PRODUCT "LSScheduler")
  set(LSS_RC_COPYRIGHT "${LSS_COPYRIGHT}")

  set(dir "${CMAKE_CURRENT_BINARY_DIR}/${target}_resource")
  set(LSS_RC_MANIFEST_LINE "")
  if(arg_MANIFEST)
    configure_file("${_lss_resource_templates}/program.manifest.in" "${dir}/program.manifest" @ONLY)
    # 1 = CREATEPROCESS_MANIFEST_RESOURCE_ID, 24 = RT_MANIFEST.
    set(LSS_RC_MANIFEST_LINE "1 24 \"${dir}/program.manifest\"")
    if(MSVC)
      target_link_options(${target} PRIVATE /MANIFEST:NO)
    endif()
  endif()
  configure_file("${_lss_resource_templates}/version.rc.in" "${dir}/version.rc" @ONLY)
  target_sources(${target} PRIVATE "${dir}/version.rc")
  if(arg_MANIFEST)
    set_property(SOURCE "${dir}/version.rc" APPEND PROPERTY OBJECT_DEPENDS "${dir}/program.manifest")
  endif()
endfunction()
