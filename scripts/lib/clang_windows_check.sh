#!/usr/bin/env bash
# Compiles every program source under src/ with clang for 64-bit Windows,
# against the MinGW-w64 headers and the posix GCC's C++ library headers, so
# that the code is not held together by one compiler's leniency. Syntax and
# semantic checks only: nothing is linked. Non-zero on any error or warning.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
cd "$root"

gcc_dir=$(ls -d /usr/lib/gcc/x86_64-w64-mingw32/*-posix | sort -V | tail -n 1)
cxx_headers=$gcc_dir/include/c++

flags=(
  --target=x86_64-w64-windows-gnu -std=c++20 -fsyntax-only
  -Wall -Wextra -Wpedantic -Werror
  -nostdinc++ -isystem "$cxx_headers" -isystem "$cxx_headers/x86_64-w64-mingw32"
  -isystem /usr/share/mingw-w64/include
  -DUNICODE -D_UNICODE -DWIN32_LEAN_AND_MEAN -DNOMINMAX
  -Isrc -Ilib
)

mapfile -t sources < <(find src -name '*.cpp' | sort)
echo "clang++ for x86_64-w64-windows-gnu: ${#sources[@]} sources"
printf '%s\0' "${sources[@]}" | xargs -0 -n 4 -P 2 clang++ "${flags[@]}"
