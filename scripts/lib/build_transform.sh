#!/usr/bin/env bash
# build_transform.sh OUT.mst MSI PROPERTY=VALUE MAKE_TRANSFORM.exe PREFIX [WINE64 WINESERVER [BOOTED]]
# Writes the transform of MSI that sets one public property (the Group Policy
# route to SCHEDULE=1), with the build tool lss_make_transform run under Wine
# in PREFIX (created when missing, as a copy of the booted prefix BOOTED when
# given, and kept for the next run). The transform is tied to that MSI: build
# both in the same run.
set -euo pipefail

if [[ $# -ne 5 && $# -ne 7 && $# -ne 8 ]]; then
  echo "usage: $0 OUT.mst MSI PROPERTY=VALUE MAKE_TRANSFORM.exe PREFIX [WINE64 WINESERVER [BOOTED]]" >&2
  exit 2
fi
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
out=$(realpath -m "$1") msi=$(realpath "$2") assignment=$3 tool=$(realpath "$4") prefix=$5
wine64=${6:-/usr/lib/wine/wine64} wineserver=${7:-/usr/lib/wine/wineserver}

"$root/scripts/lib/wine_prefix.sh" ensure "$prefix" "$wine64" "$wineserver" ${8:+"$8"}
mkdir -p "$(dirname "$out")"
rm -f -- "$out"
# Z: is the Unix root in every prefix.
WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" \
  "$wine64" "$tool" "Z:${msi//\//\\}" "Z:${out//\//\\}" "$assignment"
