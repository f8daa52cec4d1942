#!/usr/bin/env bash
# zip_contents_test.sh ZIP
# The zip for administrators who deploy files themselves holds the programs, the
# guide and the deployment kit, and nothing else.
set -euo pipefail

if [[ $# -ne 1 ]]; then
  echo "usage: $0 ZIP" >&2
  exit 2
fi
expected=$(printf '%s\n' \
  LSScheduler.exe \
  LSSchedulerCheck.exe \
  README.md \
  deploy/LSScheduler-Detect.ps1 \
  deploy/LSScheduler-Remediate.ps1 \
  deploy/LSScheduler-Report.ps1 \
  deploy/LSScheduler-settings.reg \
  deploy/LSScheduler-task.xml \
  deploy/Rollout.txt \
  deploy/policy/Larkspan.admx \
  deploy/policy/de-DE/Larkspan.adml \
  deploy/policy/en-US/Larkspan.adml \
  deploy/wef/LSScheduler-subscription.xml)
actual=$(unzip -Z1 "$1" | grep -v '/$' | LC_ALL=C sort)
if [[ $actual != "$expected" ]]; then
  echo "FAIL: $1 holds" >&2
  echo "$actual" >&2
  echo "expected" >&2
  echo "$expected" >&2
  exit 1
fi
echo "$1: $(wc -l <<<"$actual") files as expected"
