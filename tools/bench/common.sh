# Sourced by the benchmark scripts: where things are, the Wine prefix the
# measures run in, and the statistics they report.
#
# Environment: BUILD_DIR (default build/mingw, configured with the mingw preset),
# WINEPREFIX (default build/bench-prefix, created on first use; its wineserver
# is stopped when the script ends), WINE64, WINESERVER, APP (the LSScheduler.exe
# to measure; default the one in BUILD_DIR).

bench_root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
bench_build=${BUILD_DIR:-$bench_root/build/mingw}
source "$bench_root/scripts/lib/wine.sh"
lss_find_wine
bench_wine=$wine64
bench_wineserver=$wineserver
export WINEPREFIX=${WINEPREFIX:-$bench_root/build/bench-prefix}
export WINEDEBUG=-all

bench_app=${APP:-$bench_build/src/main/LSScheduler.exe}
bench_empty=$bench_build/tools/bench/lss_empty_app.exe
bench_com=$bench_build/tools/bench/lss_empty_com_app.exe

# Builds the named targets quietly; shows the build's output when it fails.
bench_build_targets() {
  local output
  if ! output=$(cmake --build "$bench_build" --target "$@" 2>&1); then
    echo "$output" >&2
    return 1
  fi
}

# Creates the prefix on first use and keeps one wineserver up for every
# start, so that no start pays for bringing it up; it is stopped at the end.
bench_start_wine() {
  "$bench_root/scripts/lib/wine_prefix.sh" ensure "$WINEPREFIX" "$bench_wine" "$bench_wineserver"
  "$bench_wineserver" -p 2>/dev/null || true
  trap '"$bench_wineserver" -k 2>/dev/null || true' EXIT
}

# The Windows path of a Unix path (through drive Z:).
bench_windows_path() {
  local path
  path=$(realpath "$1")
  echo "Z:${path//\//\\}"
}

# The median of the numbers on standard input, one a line.
bench_median() {
  sort -g | awk '{ v[NR] = $1 } END {
    if (NR == 0) { print "nan"; exit }
    if (NR % 2) print v[(NR + 1) / 2]; else print (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}

# The largest of the numbers on standard input.
bench_max() {
  sort -g | tail -n 1
}

# A / B with the given number of decimals.
bench_ratio() {
  awk -v a="$1" -v b="$2" -v d="${3:-3}" 'BEGIN { if (b == 0) print "nan"; else printf "%.*f\n", d, a / b }'
}
