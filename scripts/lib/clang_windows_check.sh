#!/usr/bin/env bash
# Compiles every program source under src/ with clang for 64-bit Windows, so
# that the code is not held together by one compiler's leniency. Syntax and
# semantic checks only: nothing is linked. The warnings are the project's own
# (CMakeLists.txt); non-zero on any error or warning.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
cd "$root"
source scripts/lib/clang_windows_flags.sh

mapfile -t sources < <(find src -name '*.cpp' | sort)
echo "clang++ for x86_64-w64-windows-gnu: ${#sources[@]} sources"
printf '%s\0' "${sources[@]}" |
  xargs -0 -n 4 -P 2 clang++ "${lss_windows_clang_flags[@]}" -fsyntax-only -Wall -Wextra \
    -Wpedantic -Wconversion -Wshadow -Werror
