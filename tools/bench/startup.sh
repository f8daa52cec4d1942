#!/usr/bin/env bash
# Start-up cost of LSScheduler.exe under Wine: N starts with no options against
# N starts of lss_empty_app.exe, an empty GUI program built the same way, and
# of lss_empty_com_app.exe, which only initialises COM as every start must.
#
#   tools/bench/startup.sh [N]        N starts of each (default 20)
#
# Environment: BUILD_DIR (default build/mingw, configured with the mingw preset),
# WINEPREFIX (default /tmp/lss-bench-wine, created on first use; its wineserver is
# stopped at the end), WINE64, WINESERVER.
set -euo pipefail

runs=${1:-20}
root=$(cd "$(dirname "$0")/../.." && pwd)
build=${BUILD_DIR:-$root/build/mingw}
wine=${WINE64:-/usr/lib/wine/wine64}
wineserver=${WINESERVER:-/usr/lib/wine/wineserver}
export WINEPREFIX=${WINEPREFIX:-/tmp/lss-bench-wine}
export WINEDEBUG=-all

cmake --build "$build" --target LSScheduler lss_empty_app lss_empty_com_app >/dev/null
app=$build/src/main/LSScheduler.exe
empty=$build/tools/bench/lss_empty_app.exe
com=$build/tools/bench/lss_empty_com_app.exe

"$wine" wineboot -i >/dev/null 2>&1  # creates the prefix on first use
# One server for every start, so that no start pays for bringing it up.
"$wineserver" -p 2>/dev/null || true
trap '"$wineserver" -k 2>/dev/null || true' EXIT

# Wall time of one start, in nanoseconds.
start_ns() {
  local start
  start=$(date +%s%N)
  "$wine" "$1" >/dev/null 2>&1 || true
  echo $(($(date +%s%N) - start))
}

# One unmeasured start each, then alternate so that drift hits both alike.
start_ns "$empty" >/dev/null
start_ns "$com" >/dev/null
start_ns "$app" >/dev/null
empty_total=0
com_total=0
app_total=0
for ((i = 0; i < runs; i++)); do
  empty_total=$((empty_total + $(start_ns "$empty")))
  com_total=$((com_total + $(start_ns "$com")))
  app_total=$((app_total + $(start_ns "$app")))
done

average_ms() { awk -v ns="$1" -v n="$runs" 'BEGIN { printf "%.1f", ns / n / 1e6 }'; }
echo "starts of each: $runs"
echo "lss_empty_app.exe: $(average_ms "$empty_total") ms average"
echo "lss_empty_com_app.exe (CoInitialize only): $(average_ms "$com_total") ms average"
echo "LSScheduler.exe (no options): $(average_ms "$app_total") ms average"
