# Sourced: the clang flags that compile the program's sources for 64-bit
# Windows against the MinGW-w64 headers and the posix GCC's C++ library
# headers (clang finds neither by itself for this target).
lss_mingw_gcc_dir=$(ls -d /usr/lib/gcc/x86_64-w64-mingw32/*-posix | sort -V | tail -n 1)
lss_windows_clang_flags=(
  --target=x86_64-w64-windows-gnu -std=c++20
  -nostdinc++
  -isystem "$lss_mingw_gcc_dir/include/c++"
  -isystem "$lss_mingw_gcc_dir/include/c++/x86_64-w64-mingw32"
  -isystem /usr/share/mingw-w64/include
  -DUNICODE -D_UNICODE -DWIN32_LEAN_AND_MEAN -DNOMINMAX
  -Isrc -Ilib
)
