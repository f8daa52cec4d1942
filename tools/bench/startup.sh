#!/usr/bin/env bash
# Start-up cost and peak memory of LSScheduler.exe under Wine, against
# lss_empty_app.exe (an empty GUI program built the same way) and
# lss_empty_com_app.exe (it only initialises COM, as every start must).
#
#   tools/bench/startup.sh [STARTS] [MEMORY_STARTS]   (defaults 31 and 11)
#
# The starts of the three programs are interleaved, each round in another
# order, so that load from elsewhere on the machine hits all of them alike;
# medians are reported, and ratios to the COM-only program. Each start is timed
# by `perf stat` when it works here: the wall time and the CPU time of the Wine
# process (and the processes it waits for); otherwise by wall time alone.
# Peak memory comes from lss_bench_peak_memory.exe (a separate set of starts).
# Environment: see common.sh.
set -euo pipefail
source "$(dirname "$0")/common.sh"

starts=${1:-31}
memory_starts=${2:-11}

bench_build_targets LSScheduler lss_empty_app lss_empty_com_app lss_bench_peak_memory
bench_start_wine
launcher=$bench_build/tools/bench/lss_bench_peak_memory.exe

samples=$(mktemp -d)
trap '"$bench_wineserver" -k 2>/dev/null || true; rm -rf "$samples"' EXIT

names=(empty com app)
declare -A programs=([empty]=$bench_empty [com]=$bench_com [app]=$bench_app)

use_perf=0
if perf stat -x, -e task-clock,duration_time -o "$samples/probe" -- true 2>/dev/null &&
   grep -q duration_time "$samples/probe"; then
  use_perf=1
fi

# One start: appends its wall time (ms) and, with perf, its CPU time (ms).
time_start() {
  local name=$1 report=$samples/perf.out start
  if ((use_perf)); then
    perf stat -x, -e task-clock,duration_time -o "$report" -- \
      "$bench_wine" "${programs[$name]}" >/dev/null 2>&1 || true
    awk -F, '$3 == "task-clock" { print $1 }' "$report" >>"$samples/cpu.$name"
    awk -F, '$3 == "duration_time" { print $1 / 1e6 }' "$report" >>"$samples/wall.$name"
  else
    start=$(date +%s%N)
    "$bench_wine" "${programs[$name]}" >/dev/null 2>&1 || true
    echo $((($(date +%s%N) - start) / 1000)) | awk '{ print $1 / 1000 }' >>"$samples/wall.$name"
  fi
}

# One start under the launcher: appends the peak working set and pagefile use (bytes).
measure_memory() {
  local name=$1 line
  line=$("$bench_wine" "$launcher" "$(bench_windows_path "${programs[$name]}")" | tr -d '\r')
  sed -n 's/.*peak_working_set=\([0-9]*\).*/\1/p' <<<"$line" >>"$samples/ws.$name"
  sed -n 's/.*peak_pagefile=\([0-9]*\).*/\1/p' <<<"$line" >>"$samples/pf.$name"
}

# Round r starts with program r mod 3, so none is always first after a pause.
interleave() {
  local rounds=$1 action=$2 round i
  for ((round = 0; round < rounds; round++)); do
    for ((i = 0; i < ${#names[@]}; i++)); do
      "$action" "${names[(round + i) % ${#names[@]}]}"
    done
  done
}

# A bare start: no log folder (perf.sh configures one for its session runs).
"$bench_wine" reg delete 'HKCU\Software\Brinmoor\Larkspan\Settings' /v LogDirectory /f \
  >/dev/null 2>&1 || true

# One unmeasured start each, then the measured rounds.
for name in "${names[@]}"; do "$bench_wine" "${programs[$name]}" >/dev/null 2>&1 || true; done
interleave "$starts" time_start
interleave "$memory_starts" measure_memory

median_of() { bench_median <"$samples/$1"; }
mib() { awk -v b="$1" 'BEGIN { printf "%.2f", b / 1048576 }'; }

labels=([0]="lss_empty_app.exe" [1]="lss_empty_com_app.exe (CoInitialize only)" [2]="LSScheduler.exe (no options)")
echo "start-up: $starts starts of each, interleaved; medians"
for i in 0 1 2; do
  name=${names[i]}
  line=$(printf '  %-42s wall %7.1f ms' "${labels[i]}" "$(median_of "wall.$name")")
  if ((use_perf)); then
    line+=$(printf '   CPU %7.1f ms' "$(median_of "cpu.$name")")
  fi
  echo "$line"
done
# The ratio within each round, where both starts met the same load; its median.
paired_ratio() {
  paste "$samples/$1" "$samples/$2" | awk '$2 > 0 { print $1 / $2 }' | bench_median |
    awk '{ printf "%.3f", $1 }'
}
echo "  LSScheduler.exe / COM-only, wall: $(bench_ratio "$(median_of wall.app)" "$(median_of wall.com)")" \
  "(median of the ratios within a round: $(paired_ratio wall.app wall.com))"
echo "  LSScheduler.exe / empty,    wall: $(bench_ratio "$(median_of wall.app)" "$(median_of wall.empty)")"
if ((use_perf)); then
  echo "  LSScheduler.exe / COM-only, CPU:  $(bench_ratio "$(median_of cpu.app)" "$(median_of cpu.com)")" \
    "(median of the ratios within a round: $(paired_ratio cpu.app cpu.com))"
else
  echo "  (perf stat is not usable here: no CPU times)"
fi

echo "peak memory: $memory_starts starts of each, interleaved; medians"
for i in 0 1 2; do
  name=${names[i]}
  printf '  %-42s working set %6s MiB   pagefile %6s MiB\n' "${labels[i]}" \
    "$(mib "$(median_of "ws.$name")")" "$(mib "$(median_of "pf.$name")")"
done
for kind in ws pf; do
  [[ $kind == ws ]] && what="working set" || what="pagefile   "
  app=$(median_of "$kind.app")
  com=$(median_of "$kind.com")
  echo "  LSScheduler.exe - COM-only, $what: $(mib $((app - com))) MiB (ratio $(bench_ratio "$app" "$com"))"
done
