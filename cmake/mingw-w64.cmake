# Cross-build for 64-bit Windows with MinGW-w64 (posix threads); tests run under Wine.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
# No MinGW runtime DLLs next to the programs: libgcc, libstdc++ and winpthread go in statically.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static")
# Wine, found once: its loader runs the Windows programs (the emulator), and the
# wineserver beside it stops a test prefix (cmake/wine_tests.cmake).
find_program(LSS_WINE64 NAMES wine64 PATHS /usr/lib/wine NO_DEFAULT_PATH)
if(NOT LSS_WINE64)
  find_program(LSS_WINE64 NAMES wine64 wine)
endif()
# The emulator starts that loader with Linux's address-space layout
# randomization off, for it and every process it starts. Debian's wine64
# comes without Wine's preloader, which would reserve the ranges a Windows
# process needs before anything else is mapped; without it a mapping placed
# at random takes such a range now and then, and a new process dies before
# its first instruction: CreateProcessW fails with ERROR_INTERNAL_ERROR
# (1359), about one start in a thousand. With the fixed layout nothing lands
# there.
if(LSS_WINE64)
  set(lss_wine_launcher "${CMAKE_BINARY_DIR}/wine64-fixed-layout")
  file(CONFIGURE OUTPUT "${lss_wine_launcher}" @ONLY CONTENT [[#!/bin/sh
# Wine's loader with the address-space layout randomization off (cmake/mingw-w64.cmake).
exec setarch "$(uname -m)" --addr-no-randomize "@LSS_WINE64@" "$@"
]])
  file(CHMOD "${lss_wine_launcher}" FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE
       GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
  set(CMAKE_CROSSCOMPILING_EMULATOR "${lss_wine_launcher}")
endif()
