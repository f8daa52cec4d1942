#!/usr/bin/env bash
# Runs clang-tidy (checks in .clang-tidy, warnings as errors) over src/: the
# portable core with the native build's compile database, the Win32 layer and
# the entry with one made here for the Windows target. Needs the native
# preset configured. Non-zero on any finding.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
cd "$root"
source scripts/lib/clang_windows_flags.sh

native_db=build/native
windows_db=build/clang-tidy-windows
if [[ ! -f $native_db/compile_commands.json ]]; then
  echo "no $native_db/compile_commands.json: configure the native preset first" >&2
  exit 1
fi

mapfile -t core < <(find src -name '*.cpp' -not -path 'src/platform/win32/*' -not -path 'src/main/*' | sort)
mapfile -t windows < <(find src/platform/win32 src/main -name '*.cpp' | sort)

# A compile database with one entry per Windows source.
mkdir -p "$windows_db"
{
  echo '['
  separator=''
  for source in "${windows[@]}"; do
    printf '%s{"directory": "%s", "file": "%s", "arguments": ["clang++"' "$separator" "$root" "$source"
    printf ', "%s"' "${lss_windows_clang_flags[@]}" -c "$source"
    printf ']}\n'
    separator=','
  done
  echo ']'
} > "$windows_db/compile_commands.json"

echo "clang-tidy: ${#core[@]} core sources, ${#windows[@]} Windows sources"
# Runs clang-tidy over files with one database; its per-file count of
# suppressed warnings (system headers) is left out of the output.
tidy() {
  local db=$1
  shift
  printf '%s\0' "$@" | xargs -0 -n 4 -P 2 clang-tidy -p "$db" --quiet 2>&1 |
    grep -v '^[0-9]* warnings\? generated\.$'
  return "${PIPESTATUS[1]}"
}

status=0
tidy "$native_db" "${core[@]}" || status=1
tidy "$windows_db" "${windows[@]}" || status=1
exit "$status"
