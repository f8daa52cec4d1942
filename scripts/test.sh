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
for preset in native mingw fuzz; do
  if run_suite "$preset"; then
    results+=("$preset: passed")
  else
    results+=("$preset: FAILED")
    status=1
  fi
done

# Runs one named check; notes its result.
run_check() {
  local name=$1
  shift
  echo
  echo "=== $name ==="
  if "$@"; then
    results+=("$name: passed")
  else
    results+=("$name: FAILED")
    status=1
  fi
}
run_check clang-windows "$root/scripts/lib/clang_windows_check.sh"
run_check clang-tidy "$root/scripts/lib/clang_tidy_check.sh"

echo
echo "=== summary ($((SECONDS - started)) s) ==="
printf '%s\n' "${results[@]}"
exit "$status"
