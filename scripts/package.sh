#!/usr/bin/env bash
# Builds the packages an administrator deploys:
#   dist/LSScheduler-<version>-x64.msi   Windows Installer package (per machine):
#                                         the programs, README.md and deploy/
#   dist/LSScheduler-<version>-x64-schedule.mst
#                                         its transform that sets SCHEDULE=1, for
#                                         Group Policy (tied to this MSI)
#   dist/LSScheduler-<version>-x64.zip   the programs, README.md and deploy/
# Installs the packages it needs when they are missing, builds the programs
# (preset mingw), and signs the programs and the MSI when LSS_SIGN_PFX names a
# certificate (see scripts/lib/sign.sh for the variables).
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"

source "$root/scripts/lib/build_mingw.sh"
build_mingw package-build.log "the programs" lss_shipped_programs lss_make_transform
# lss_version and lss_programs (VARIABLE=PATH for each shipped program).
source "$build/packaging/package.env"

dist="$root/dist"
stage="$dist/stage"
rm -rf -- "$stage"
mkdir -p "$stage"
programs=()
msi_entries=()
for entry in "${lss_programs[@]}"; do
  program="$stage/$(basename "${entry#*=}")"
  cp -- "${entry#*=}" "$program"
  programs+=("$program")
  msi_entries+=("${entry%%=*}=$program")
done

signing=no
if [[ -n ${LSS_SIGN_PFX:-} ]]; then
  signing=yes
  "$root/scripts/lib/sign.sh" "${programs[@]}"
fi

name="LSScheduler-$lss_version-x64"
"$root/scripts/lib/build_msi.sh" "$dist/$name.msi" "$lss_version" README.md deploy "${msi_entries[@]}"
if [[ $signing == yes ]]; then
  "$root/scripts/lib/sign.sh" "$dist/$name.msi"
fi
# Made from the MSI just built: a transform checks the product code, which is
# new in every build.
"$root/scripts/lib/build_transform.sh" "$dist/$name-schedule.mst" "$dist/$name.msi" SCHEDULE=1 \
  "$build/packaging/lss_make_transform.exe" "$build/transform-prefix"
"$root/scripts/lib/build_zip.sh" "$dist/$name.zip" README.md deploy "${programs[@]}"
rm -rf -- "$stage"

echo
echo "Version $lss_version, signed: $signing"
ls -l "$dist/$name.msi" "$dist/$name-schedule.mst" "$dist/$name.zip"
