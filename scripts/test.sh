#!/usr/bin/env bash
# Builds and runs every test, one workflow preset (configure, build, test) per
# stage: the unit tests of the portable core natively (native, with
# AddressSanitizer and UndefinedBehaviorSanitizer), then LSScheduler.exe and
# its tests under Wine (mingw), then the fuzz targets for a bounded time
# (fuzz), and the Windows programs compiled by clang, with clang-tidy run on
# src/ in the same build (clang-windows). Installs the packages it needs when
# they are missing.
# Every stage always runs; the exit code is non-zero when anything failed to
# build or any check failed.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"

source "$root/scripts/lib/packages.sh"

install_missing

started=$SECONDS
results=()
status=0
# Runs one stage; notes its result and how long it took.
run_stage() {
  local name=$1 stage_started=$SECONDS
  shift
  if "$@"; then
    results+=("$name: passed ($((SECONDS - stage_started)) s)")
  else
    results+=("$name: FAILED ($((SECONDS - stage_started)) s)")
    status=1
  fi
}

for preset in native mingw fuzz clang-windows; do
  echo
  echo "=== $preset ==="
  run_stage "$preset" cmake --workflow --preset "$preset"
done

echo
echo "=== summary ($((SECONDS - started)) s) ==="
printf '%s\n' "${results[@]}"
exit "$status"
