#!/usr/bin/env bash
# Every performance figure of LSScheduler.exe in one run, as ratios where
# time is involved (absolute times on a shared machine are noise):
#   1. the machine: CPUs, CPU model, Wine, compiler, load;
#   2. start-up and peak memory against a COM-only program (startup.sh);
#   3. the delay from the add-in's release of LSSyncMutex to the provider's
#      Logoff, over SESSIONS stand-in runs, from the stand-ins' journal;
#   4. the run log's entries per second, 100,000 entries of 100 and of 450
#      characters (the latter split into 3 lines), with the real Win32 file system;
#   5. the size of LSScheduler.exe and where its bytes come from.
#
#   tools/bench/perf.sh [STARTS] [SESSIONS] [LOG_ROUNDS]   (defaults 31, 20, 3)
#
# Needs the mingw preset configured (cmake --preset mingw). Environment: see
# common.sh; ENTRIES (default 100000) sets the log measure's entry count.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/common.sh"

starts=${1:-31}
sessions=${2:-20}
log_rounds=${3:-3}
entries=${ENTRIES:-100000}

bench_build_targets LSScheduler lss_empty_app lss_empty_com_app lss_bench_peak_memory \
  lss_bench_log_writer lss_bench_clock_resolution olsim_outlook olsim_mapi

echo "== machine"
echo "  CPUs (nproc): $(nproc)"
echo "  CPU model: $(sed -n 's/^model name[[:space:]]*: //p' /proc/cpuinfo | head -n 1)"
echo "  Wine: $("$bench_wine" --version)"
echo "  compiler: $(x86_64-w64-mingw32-g++-posix --version | head -n 1)"
echo "  load average at the start: $(cut -d' ' -f1-3 /proc/loadavg)"

echo
echo "== start-up and peak memory"
"$here/startup.sh" "$starts"

bench_start_wine
"$bench_wineserver" -p 2>/dev/null || true  # startup.sh stopped the previous one

echo
echo "== release of LSSyncMutex to Logoff"
echo "  journal clock: $("$bench_wine" "$bench_build/tools/bench/lss_bench_clock_resolution.exe" | tr -d '\r')"
echo "  (steps in 100 ns units; the journal stamps lines with GetSystemTimePreciseAsFileTime)"
WINE64=$bench_wine "$bench_root/tools/olsim/install.sh" "$WINEPREFIX" "$bench_build" >/dev/null
reg_add() { "$bench_wine" reg add "$1" /v "$2" /t "$3" /d "$4" /f >/dev/null; }
olsim='HKCU\Software\Olsim'
settings='HKCU\Software\Brinmoor\Larkspan\Settings'
# The add-in holds the mutex well past LSScheduler's 1 s wait and logon, so
# that LSScheduler is already waiting when it lets go.
reg_add "$olsim" JournalPath REG_SZ 'C:\Olsim\journal.txt'
reg_add "$olsim" SyncDelayMilliseconds REG_DWORD 0
reg_add "$olsim" SyncMilliseconds REG_DWORD 2500
reg_add "$olsim" StayMilliseconds REG_DWORD 30000
reg_add "$settings" WaitSecondsForOutlookStart REG_DWORD 1
reg_add "$settings" LogDirectory REG_SZ 'C:\LSSchedulerLogs'
rm -rf "$WINEPREFIX/drive_c/LSSchedulerLogs"
mkdir -p "$WINEPREFIX/drive_c/LSSchedulerLogs" "$WINEPREFIX/drive_c/Olsim"
journal=$WINEPREFIX/drive_c/Olsim/journal.txt
touch "$journal"

delays=$(mktemp)
log_samples=$(mktemp)
trap '"$bench_wineserver" -k 2>/dev/null || true; rm -f "$delays" "$log_samples"' EXIT
late=0
for ((run = 0; run < sessions; run++)); do
  offset=$(stat -c %s "$journal")
  "$bench_wine" "$bench_app" -s -e -p Work -n Bench >/dev/null 2>&1 || true
  # OUTLOOK.EXE journals its exit as it goes, after the logoff.
  for _ in $(seq 100); do
    tail -c +"$((offset + 1))" "$journal" | grep -q $'\toutlook\texit' && break
    sleep 0.1
  done
  # Times in 100 ns units: the logon, the release, the logoff.
  read -r logon released logoff < <(tail -c +"$((offset + 1))" "$journal" | awk -F'\t' '
    $2 == "mapi" && $3 == "MAPILogonEx" { logon = $1 }
    $2 == "outlook" && $3 == "mutex-released" { released = $1 }
    $2 == "mapi" && $3 == "Logoff" { logoff = $1 }
    END { print (logon == "" ? 0 : logon), (released == "" ? 0 : released), (logoff == "" ? 0 : logoff) }')
  if ((logon == 0 || released == 0 || logoff == 0 || logon > released)); then
    late=$((late + 1))  # not waiting at the release, or an event is missing
    continue
  fi
  awk -v d=$((logoff - released)) 'BEGIN { print d / 10000 }' >>"$delays"
done
measured=$(wc -l <"$delays")
echo "  runs: $sessions, measured: $measured (left out: $late not yet waiting at the release or incomplete)"
printf '  release -> Logoff: median %.2f ms, max %.2f ms\n' "$(bench_median <"$delays")" "$(bench_max <"$delays")"

echo
echo "== run log writer ($entries entries a run, $log_rounds rounds, interleaved; medians)"
log_folder=$WINEPREFIX/drive_c/bench-log
for ((round = 0; round < log_rounds; round++)); do
  for length in 100 450; do
    rm -rf "$log_folder"
    mkdir -p "$log_folder"
    "$bench_wine" "$bench_build/tools/bench/lss_bench_log_writer.exe" 'C:\bench-log' \
      "$entries" "$length" | tr -d '\r' |
      sed -n "s/.*entries_per_second=\([0-9]*\).*/$length \1/p" >>"$log_samples"
  done
done
rm -rf "$log_folder"
short=$(awk '$1 == 100 { print $2 }' "$log_samples" | bench_median)
long=$(awk '$1 == 450 { print $2 }' "$log_samples" | bench_median)
echo "  100 characters (1 line each):  $short entries/s"
echo "  450 characters (3 lines each): $long entries/s"
echo "  ratio 100 / 450: $(bench_ratio "$short" "$long" 2)"

echo
echo "== size of LSScheduler.exe"
bytes=$(stat -c %s "$bench_app")
echo "  $bytes bytes, $(awk -v b="$bytes" 'BEGIN { printf "%.1f", b / 1024 }') KiB"
echo "  sections (bytes):"
x86_64-w64-mingw32-objdump -h "$bench_app" | awk '
  function hex(s,  i, v) { v = 0; for (i = 1; i <= length(s); i++) v = v * 16 + index("0123456789abcdef", tolower(substr(s, i, 1))) - 1; return v }
  $1 ~ /^[0-9]+$/ { printf "    %-8s %7d\n", $2, hex($3) }'
echo "  largest contributors to the loaded sections (KiB, from LSScheduler.map):"
awk '
  function hex(s,  i, v) { s = substr(s, 3); v = 0; for (i = 1; i <= length(s); i++) v = v * 16 + index("0123456789abcdef", tolower(substr(s, i, 1))) - 1; return v }
  function add(name, size, file,  lib) {
    if (name ~ /^\.debug/) return
    lib = file; sub(/\(.*/, "", lib); sub(/.*\//, "", lib)
    member = file; if (member ~ /\(/) { sub(/.*\(/, "", member); sub(/\)$/, "", member) } else member = lib
    bylib[lib] += hex(size); bymember[lib ": " member] += hex(size)
  }
  /^Linker script and memory map/ { on = 1; next }
  !on { next }
  /^ \.[^ ]+$/ { pending = $1; next }
  /^ \./ && $2 ~ /^0x/ && $3 ~ /^0x/ && NF >= 4 { add($1, $3, $4); pending = ""; next }
  /^ +0x/ && pending != "" && $2 ~ /^0x/ && NF >= 3 { add(pending, $2, $3); pending = ""; next }
  { pending = "" }
  END {
    for (l in bylib) printf "    %-28s %7.1f\n", l, bylib[l] / 1024 | "sort -k2 -gr | head -n 8"
    close("sort -k2 -gr | head -n 8")
    for (m in bymember) printf "    %-52s %7.1f\n", m, bymember[m] / 1024 | "sort -k3 -gr | head -n 10"
  }' "$bench_build/src/main/LSScheduler.map"
echo
echo "load average at the end: $(cut -d' ' -f1-3 /proc/loadavg)"
