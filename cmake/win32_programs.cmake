# The Win32 API as every Windows target here compiles against it: wide
# functions, Windows 10, the lean set of headers, no min/max macros.
add_library(lss_win32_api INTERFACE)
target_compile_definitions(lss_win32_api INTERFACE
  UNICODE _UNICODE _WIN32_WINNT=0x0A00 WIN32_LEAN_AND_MEAN NOMINMAX)

# Settings every Win32 program here shares: wide API, GUI subsystem with
# wWinMain (console subsystem with wmain for the console programs), and (with
# MinGW) no runtime DLLs beside the exe.
function(lss_win32_sources target)
  target_link_libraries(${target} PRIVATE lss_win32_api)
  if(MINGW)
    target_compile_options(${target} PRIVATE -municode)
  endif()
endfunction()

# Unused sections out; in Release also the symbols and the debugging
# information that the static runtime libraries bring along.
function(lss_win32_lean_link target)
  target_link_options(${target} PRIVATE -Wl,--gc-sections $<$<CONFIG:Release>:-s>)
endfunction()

function(lss_win32_program target)
  lss_win32_sources(${target})
  if(MINGW)
    target_link_options(${target} PRIVATE -municode -mwindows -static)
    lss_win32_lean_link(${target})
  endif()
endfunction()

function(lss_win32_console_program target)
  lss_win32_sources(${target})
  if(MINGW)
    target_link_options(${target} PRIVATE -municode -mconsole -static)
    lss_win32_lean_link(${target})
  endif()
endfunction()
