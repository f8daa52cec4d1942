#!/usr/bin/env bash
# Builds and runs every test: the unit tests of the portable core natively
# (preset native, with AddressSanitizer and UndefinedBehaviorSanitizer), then
# LSScheduler.exe and its end-to-end tests under Wine (preset mingw), then the
# fuzz targets for a bounded time (preset fuzz), a clang compile of every
# program source for the Windows target, and clang-tidy over src/. Installs
# the packages it needs when they are missing. Every stage always runs; the
# exit code is non-zero when anything failed to build or any check failed.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"

source "$root/scripts/lib/packages.sh"

# Configures, builds and tests one preset; non-zero when any step fails.
run_suite() {
  local preset=$1
  echo
  echo "=== $preset: configure ==="
  cmake --preset "$preset" || return 1
  echo "=== $preset: build ==="
  cmake --build --preset "$preset" || return 1
  echo "=== $preset: test ==="
  ctest --preset "$preset"
}

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

for preset in native mingw fuzz; do
  run_stage "$preset" run_suite "$preset"
done
echo
echo "=== clang for Windows ==="
run_stage clang-windows "$root/scripts/lib/clang_windows_check.sh"
echo
echo "=== clang-tidy ==="
run_stage clang-tidy "$root/scripts/lib/clang_tidy_check.sh"

echo
echo "=== summary ($((SECONDS - started)) s) ==="
printf '%s\n' "${results[@]}"
exit "$status"
