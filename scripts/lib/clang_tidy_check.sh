#!/usr/bin/env bash
# Runs clang-tidy (checks in .clang-tidy, warnings as errors) over src/: the
# portable core with the native build's compile database, the Win32 layer and
# the entries with the clang-windows build's. Needs both presets configured.
# Non-zero on any finding.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
cd "$root"

for db in build/native build/clang-windows; do
  if [[ ! -f $db/compile_commands.json ]]; then
    echo "no $db/compile_commands.json: configure the preset ${db#build/} first" >&2
    exit 1
  fi
done

# run-clang-tidy colours its output and prints each file's command line and
# clang-tidy's count of suppressed warnings (system headers): only the
# findings are left, as plain text.
tidy() {
  run-clang-tidy -quiet -j 2 -p "$@" 2>&1 | sed 's/\x1b\[[0-9;]*m//g' |
    grep -v -e '^[^ ]*clang-tidy.* -p=' -e '^[0-9]* warnings\? generated\.$'
  return "${PIPESTATUS[0]}"
}

core="^$root/src/(?!platform/win32/|main/)"
windows="^$root/src/(platform/win32|main)/"
# The sources each database has of its part: a pattern that matches none
# would pass unseen.
count() { grep -oP '"file": "\K[^"]+' "$1/compile_commands.json" | grep -cP "$2" || true; }
core_count=$(count build/native "$core")
windows_count=$(count build/clang-windows "$windows")
echo "clang-tidy: $core_count core sources, $windows_count Windows sources"
if [[ $core_count -eq 0 || $windows_count -eq 0 ]]; then
  echo "no sources to check in a compile database" >&2
  exit 1
fi

status=0
tidy build/native "$core" || status=1
tidy build/clang-windows "$windows" || status=1
exit "$status"
