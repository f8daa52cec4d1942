#!/usr/bin/env bash
# package.sh [--release]
# Builds the programs (preset mingw) and the packages an administrator
# deploys into dist/ (see scripts/lib/make_packages.sh for the list, with
# SHA256SUMS and the bill of materials). Without --release they are not
# signed, and its last line says so. With --release the programs, the
# PowerShell scripts and the MSI are signed and time-stamped, or nothing is
# written to dist/: see scripts/lib/sign.sh for the certificate, the key and
# the time-stamp server, all taken from the environment. Installs the packages
# it needs when they are missing.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
source "$root/scripts/lib/wine.sh"
lss_fixed_layout "$@"

release=()
case "${1:-}" in
  --release) release=(--release) ;;
  "") ;;
  *)
    echo "usage: $0 [--release]" >&2
    exit 2
    ;;
esac
if [[ ${#release[@]} -ne 0 ]]; then
  # Before the build: a missing certificate or server is known at once.
  "$root/scripts/lib/sign.sh" --check
fi

source "$root/scripts/lib/build_mingw.sh"
build_mingw package-build.log "the programs" lss_shipped_programs lss_make_transform
# lss_version and lss_programs (VARIABLE=PATH for each shipped program).
source "$build/packaging/package.env"

"$root/scripts/lib/make_packages.sh" "${release[@]}" "$root/dist" "$lss_version" \
  "$build/packaging/lss_make_transform.exe" "$build/transform-prefix" "${lss_programs[@]}"
