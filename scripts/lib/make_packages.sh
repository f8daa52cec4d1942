#!/usr/bin/env bash
# make_packages.sh [--release] DIST VERSION MAKE_TRANSFORM.exe PREFIX VARIABLE=PROGRAM...
# Makes what an administrator deploys from built programs, into DIST:
#   LSScheduler-<version>-x64.msi           the Windows Installer package
#   LSScheduler-<version>-x64-schedule.mst  its transform that sets SCHEDULE=1
#   LSScheduler-<version>-x64.zip           the programs, README.md and deploy/
#   LSScheduler-<version>.cdx.json          the bill of materials (CycloneDX 1.5)
#   SHA256SUMS                              the SHA-256 of each of them
# --release signs and time-stamps the programs, the three PowerShell scripts
# and the MSI (after the programs in it) with sign.sh, and refuses to go on
# without a certificate, a key or a time stamp. Everything is made in a
# folder of its own and goes into DIST only when all of it is done: a failure
# leaves DIST as it was. The times in the packages are the commit's
# (SOURCE_DATE_EPOCH unless given). WINE64 and WINESERVER as for wine.sh.
set -euo pipefail

release=no
if [[ ${1:-} == --release ]]; then
  release=yes
  shift
fi
if [[ $# -lt 5 ]]; then
  echo "usage: $0 [--release] DIST VERSION MAKE_TRANSFORM.exe PREFIX VARIABLE=PROGRAM..." >&2
  exit 2
fi
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
dist=$(realpath -m "$1") version=$2 transform_tool=$3 prefix=$4
shift 4
source "$root/scripts/lib/wine.sh"
lss_find_wine

if [[ $release == yes ]]; then
  "$root/scripts/lib/sign.sh" --check
fi
export SOURCE_DATE_EPOCH=${SOURCE_DATE_EPOCH:-$(git -C "$root" log -1 --format=%ct)}

work=$(mktemp -d)
trap 'rm -rf -- "$work"' EXIT
mkdir -p "$work/files" "$work/out"
cp -R -- "$root/deploy" "$work/files/deploy"
cp -- "$root/README.md" "$work/files/README.md"
programs=() msi_entries=()
for entry in "$@"; do
  program="$work/files/$(basename "${entry#*=}")"
  cp -- "${entry#*=}" "$program"
  programs+=("$program")
  msi_entries+=("${entry%%=*}=$program")
done

scripts=("$work"/files/deploy/*.ps1)
if [[ $release == yes ]]; then
  "$root/scripts/lib/sign.sh" "${programs[@]}" "${scripts[@]}"
fi

name="LSScheduler-$version-x64"
"$root/scripts/lib/build_msi.sh" "$work/out/$name.msi" "$version" "$work/files/README.md" \
  "$work/files/deploy" "${msi_entries[@]}"
if [[ $release == yes ]]; then
  "$root/scripts/lib/sign.sh" "$work/out/$name.msi"
fi
# Made from the MSI just built: a transform checks the product code, which is
# new in every build.
"$root/scripts/lib/build_transform.sh" "$work/out/$name-schedule.mst" "$work/out/$name.msi" \
  SCHEDULE=1 "$transform_tool" "$prefix" "$wine64" "$wineserver"
"$root/scripts/lib/build_zip.sh" "$work/out/$name.zip" "$work/files/README.md" \
  "$work/files/deploy" "${programs[@]}"

# Every file the packages ship, by its place in them.
shipped=()
while IFS= read -r file; do
  shipped+=("$file=$work/files/$file")
done < <(cd "$work/files" && find . -type f -printf '%P\n' | LC_ALL=C sort)
"$root/scripts/lib/write_sbom.py" "$work/out/LSScheduler-$version.cdx.json" "$version" \
  "${shipped[@]}"

# In C order, whatever the locale.
(cd "$work/out" && LC_ALL=C && sha256sum -- * >SHA256SUMS)
mkdir -p "$dist"
for file in "$work/out"/*; do
  mv -f -- "$file" "$dist/"
done

echo
cat -- "$dist/SHA256SUMS"
if [[ $release == yes ]]; then
  echo "Version $version: signed and time-stamped, in $dist"
else
  echo "Version $version: NOT SIGNED (no --release), in $dist: not for distribution"
fi
