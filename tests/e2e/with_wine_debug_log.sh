#!/usr/bin/env bash
# Runs a Windows test program under Wine with some of Wine's debug channels on,
# their output (Wine's Unix standard error, shared by every process the test
# starts) going to a file in FOLDER named after the filter, which the test
# reads through LSS_WINE_DEBUG_LOG. The file is shown on standard error
# afterwards. The filter comes first, where lss_add_gtest_cases puts it.
#   with_wine_debug_log.sh --gtest_filter=FILTER CHANNELS FOLDER COMMAND...
set -euo pipefail

if [[ $# -lt 4 || $1 != --gtest_filter=* ]]; then
  echo "usage: $0 --gtest_filter=FILTER CHANNELS FOLDER COMMAND..." >&2
  exit 2
fi
filter=$1 channels=$2 folder=$3
shift 3
name=${filter#--gtest_filter=}
file="$folder/${name//[\/*]/_}.winedebug.txt"
mkdir -p "$folder"

export WINEDEBUG=$channels
export LSS_WINE_DEBUG_LOG="Z:$file"
status=0
"$@" "$filter" 2>"$file" || status=$?
cat "$file" >&2
exit "$status"
