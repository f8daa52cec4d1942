# The Windows programs compiled by clang for 64-bit Windows against the
# MinGW-w64 headers and the posix GCC's C++ library (clang finds neither by
# itself for this target), linked by lld: a second compiler's view of the code.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CMAKE_CXX_COMPILER clang++)
set(CMAKE_CXX_COMPILER_TARGET x86_64-w64-windows-gnu)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)
set(CMAKE_SYSROOT /usr/x86_64-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)

file(GLOB _lss_mingw_gcc_dirs /usr/lib/gcc/x86_64-w64-mingw32/*-posix)
list(SORT _lss_mingw_gcc_dirs COMPARE NATURAL)
list(POP_BACK _lss_mingw_gcc_dirs _lss_mingw_gcc_dir)
set(CMAKE_CXX_FLAGS_INIT "-nostdinc++ -isystem ${_lss_mingw_gcc_dir}/include/c++ -isystem ${_lss_mingw_gcc_dir}/include/c++/x86_64-w64-mingw32")
# The same static runtime as the MinGW build; lld resolves its pthread calls.
# The compile flags come along to the link, where -nostdinc++ means nothing.
set(CMAKE_EXE_LINKER_FLAGS_INIT
    "-fuse-ld=lld -static -L${_lss_mingw_gcc_dir} -lpthread -Wno-unused-command-line-argument")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "${CMAKE_EXE_LINKER_FLAGS_INIT}")
