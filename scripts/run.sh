#!/usr/bin/env bash
# One scheduled run under Wine, for trying the program out:
#   scripts/run.sh [LSScheduler options...]     (default: -s -e -p Work -n Nightly)
# Installs the packages it needs when they are missing, builds LSScheduler.exe
# (preset mingw), installs the stand-in Outlook, add-in and MAPI provider
# (tools/olsim) into the Wine prefix build/demo-prefix, which is kept between
# runs, configures a log folder and a wait the check accepts, registers the
# deployment kit's task template, runs LSScheduler.exe, and shows its log, what
# the stand-in saw, the settings afterwards, and what LSSchedulerCheck.exe makes
# of the machine and the run, with a note on what only Wine's limits cause.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
source "$root/scripts/lib/wine.sh"
lss_fixed_layout "$@"

source "$root/scripts/lib/build_mingw.sh"
build_mingw run-build.log "LSScheduler.exe and the stand-ins" \
  LSScheduler LSSchedulerCheck olsim_outlook olsim_mapi
exe=$(find "$build/src" -name LSScheduler.exe -print -quit)
if [[ -z "$exe" ]]; then
  echo "LSScheduler.exe was not built" >&2
  exit 1
fi

lss_find_wine
export WINEPREFIX="$root/build/demo-prefix"
export WINEDEBUG=-all
export WINE64="$wine64"  # for tools/olsim/install.sh

"$root/scripts/lib/wine_prefix.sh" ensure "$WINEPREFIX" "$wine64" "$wineserver"
# Whatever happens from here on, the prefix's programs end with this script.
trap '"$wineserver" -k 2>/dev/null || true' EXIT

# The text of a registry value as reg.exe shows it; empty when it is missing.
reg_value() {
  "$wine64" reg query "$1" /v "$2" 2>/dev/null | tr -d '\r' |
    sed -n "s/^ *$2 *REG_[A-Z_]* *//p"
}

"$root/tools/olsim/install.sh" "$WINEPREFIX" "$build"

settings='HKCU\Software\Brinmoor\Larkspan\Settings'
if [[ -z $(reg_value "$settings" LogDirectory) ]]; then
  "$wine64" reg add "$settings" /v LogDirectory /t REG_SZ /d 'C:\LSSchedulerLogs' /f >/dev/null
fi
# The shortest wait the wait-seconds check accepts. A prefix from an earlier
# demo may hold 2 s, which the check warns about.
shortest_good_wait=10
wait_seconds=$(reg_value "$settings" WaitSecondsForOutlookStart || true)
if [[ -z "$wait_seconds" ]] || (( wait_seconds < shortest_good_wait )); then
  "$wine64" reg add "$settings" /v WaitSecondsForOutlookStart /t REG_DWORD \
    /d "$shortest_good_wait" /f >/dev/null
  wait_seconds=$shortest_good_wait
fi
# The stand-in add-in is still synchronizing when the wait ends, as a real one
# on a PC with a good wait is: it begins 2 s after Outlook's start and ends 3 s
# after the wait (olsim's first install gives it only 3 s from the start).
"$wine64" reg add 'HKCU\Software\Olsim' /v SyncDelayMilliseconds /t REG_DWORD /d 2000 /f >/dev/null
"$wine64" reg add 'HKCU\Software\Olsim' /v SyncMilliseconds /t REG_DWORD \
  /d $(( (wait_seconds + 1) * 1000 )) /f >/dev/null
log_folder=$("$wine64" winepath -u "$(reg_value "$settings" LogDirectory)" | tr -d '\r')
mkdir -p "$log_folder"

journal_name=$(reg_value 'HKCU\Software\Olsim' JournalPath)
journal=""
journal_size=0
if [[ -n "$journal_name" ]]; then
  journal=$("$wine64" winepath -u "$journal_name" | tr -d '\r')
  mkdir -p "$(dirname "$journal")"
  [[ -f "$journal" ]] && journal_size=$(stat -c %s "$journal")
fi

# The task as an administrator registers it, under the name the check reads
# by default. Wine's task service keeps it, but without its actions or
# triggers, and runs nothing: this run is started below by hand.
task_name="Larkspan Nightly"
template=$("$wine64" winepath -w "$root/deploy/LSScheduler-task.xml" | tr -d '\r')
if ! "$wine64" schtasks /create /xml "$template" /tn "$task_name" /f >/dev/null 2>&1; then
  echo "Wine's task service refused deploy/LSScheduler-task.xml" >&2
  exit 1
fi

if [[ $# -eq 0 ]]; then
  set -- -s -e -p Work -n Nightly
fi
printf -v shown ' %q' "$@"
echo
echo "=== LSScheduler.exe$shown ==="
started=$SECONDS
code=0
"$wine64" "$exe" "$@" || code=$?
echo "exit code $code after $((SECONDS - started)) s"

# What the stand-ins journalled during this run. After the shared logoff
# Outlook writes its last line as it goes away: give it a moment.
new_journal() {
  if [[ -n "$journal" && -f "$journal" ]]; then
    tail -c +"$((journal_size + 1))" "$journal"
  fi
}
if [[ $(new_journal) == *$'\tmapi\tLogoff'* ]]; then
  for _ in $(seq 50); do
    [[ $(new_journal) == *$'\toutlook\texit'* ]] && break
    sleep 0.2
  done
fi

echo
newest_log=$(find "$log_folder" -maxdepth 1 -name 'Scheduler*.log' -printf '%T@ %p\n' |
  sort -n | tail -n 1 | cut -d' ' -f2-)
if [[ -n "$newest_log" ]]; then
  echo "=== log: $newest_log ==="
  sed 's/\r$//' "$newest_log"
  echo
else
  echo "=== no log file in $log_folder ==="
fi

echo
if [[ -n "$journal" ]]; then
  echo "=== stand-in journal (new lines of $journal_name) ==="
  new_journal
else
  echo "=== the stand-in keeps no journal (HKCU\\Software\\Olsim JournalPath is not set) ==="
fi

echo
echo "=== settings afterwards ==="
"$wine64" reg query "$settings" /s 2>/dev/null | tr -d '\r' | sed '/^$/d'

echo
echo "=== LSSchedulerCheck.exe ==="
check_code=0
report=$("$wine64" "$(dirname "$exe")/LSSchedulerCheck.exe" | tr -d '\r') || check_code=$?
echo "$report"
echo "exit code $check_code"
# Wine's task service writes back a registered task with an empty action, so
# the task check finds nothing to start; on Windows the template's two actions
# are kept.
if grep -q '^task .*(its action starts nothing)' <<<"$report"; then
  echo
  echo "Note: the task finding comes from Wine's limits, not from this machine's set-up:"
  echo "Wine's task service keeps no actions of \"$task_name\" (it stores an empty one),"
  echo "so the check sees a task that starts nothing. On Windows the template's actions"
  echo "are kept, and that check reads them."
  others=$(awk 'NR > 1 && NF > 1 && $1 != "task" && $1 != "Verdict:" { print $1 }' <<<"$report" |
    paste -sd,)
  echo "The other checks alone: $("$wine64" "$(dirname "$exe")/LSSchedulerCheck.exe" \
    --only "$others" --quiet | tr -d '\r')"
fi
