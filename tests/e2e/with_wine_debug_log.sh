#!/usr/bin/env bash
# Runs a Windows test program under Wine with some of Wine's debug channels on,
# their output (Wine's Unix standard error, shared by every process the test
# starts) going to FILE, which the test reads through LSS_WINE_DEBUG_LOG. FILE
# is shown on standard error afterwards.
#   with_wine_debug_log.sh CHANNELS FILE COMMAND...
set -euo pipefail

if [[ $# -lt 3 ]]; then
  echo "usage: $0 CHANNELS FILE COMMAND..." >&2
  exit 2
fi
channels=$1 file=$2
shift 2

export WINEDEBUG=$channels
export LSS_WINE_DEBUG_LOG="Z:$file"
status=0
"$@" 2>"$file" || status=$?
cat "$file" >&2
exit "$status"
