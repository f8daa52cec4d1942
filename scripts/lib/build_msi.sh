#!/usr/bin/env bash
# build_msi.sh OUT.msi VERSION README DEPLOY-FOLDER VARIABLE=PROGRAM...
# Builds the Windows Installer package from packaging/LSScheduler.wxs with
# wixl: README, every file under DEPLOY-FOLDER (installed under deploy\) and
# each program (its WiX variable, e.g. LSSchedulerExe, and its file) go in;
# VERSION becomes the ProductVersion.
set -euo pipefail

if [[ $# -lt 5 ]]; then
  echo "usage: $0 OUT.msi VERSION README DEPLOY-FOLDER VARIABLE=PROGRAM..." >&2
  exit 2
fi
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
out=$(realpath -m "$1") version=$2 readme=$3 deploy=$4
shift 4
if [[ ! -d $deploy ]]; then
  echo "$0: not a folder: $deploy" >&2
  exit 2
fi

# wixl takes sources relative to where it runs: gather them in one folder.
stage=$(mktemp -d)
trap 'rm -rf -- "$stage"' EXIT
defines=(-D "ProductVersion=$version" -D "Readme=README.md" -D "DeployFolder=deploy" -D "Win64=yes")
cp -- "$readme" "$stage/README.md"
cp -R -- "$deploy" "$stage/deploy"
for entry in "$@"; do
  variable=${entry%%=*} program=${entry#*=}
  if [[ -z $variable || $variable == "$entry" || ! -f $program ]]; then
    echo "$0: not VARIABLE=EXISTING-FILE: $entry" >&2
    exit 2
  fi
  cp -- "$program" "$stage/$(basename "$program")"
  defines+=(-D "$variable=$(basename "$program")")
done

# The deployment kit's components, one per file, whatever the folder holds.
(cd "$stage" && find deploy -type f | LC_ALL=C sort |
  wixl-heat --prefix deploy/ --directory-ref DeployFolder --component-group DeployFiles \
    --var var.DeployFolder --win64) >"$stage/deploy.wxs"

mkdir -p "$(dirname "$out")"
rm -f -- "$out"
# wixl ignores <Package Platform>; the architecture goes on its command line.
# It also warns about AllowSameVersionUpgrades, which is seen to below.
if ! (cd "$stage" && wixl -a x64 "${defines[@]}" -o "$out" "$root/packaging/LSScheduler.wxs" \
  deploy.wxs) 2>"$stage/wixl.log"; then
  cat -- "$stage/wixl.log" >&2
  exit 1
fi
grep -v -e "no property named 'AllowSameVersionUpgrades'" -e '^$' "$stage/wixl.log" >&2 || true

# What WiX writes from the .wxs and wixl 0.101 does not.
# <MajorUpgrade AllowSameVersionUpgrades="yes">: the upgrade row includes its
# maximum (msidbUpgradeAttributesVersionMaxInclusive), so a rebuild of the
# same version replaces the installed one instead of installing beside it.
msiinfo export "$out" Upgrade >"$stage/Upgrade.idt"
# The export's lines end in CR LF.
awk -F '\t' -v OFS='\t' \
  'NR > 3 && $7 == "WIX_UPGRADE_DETECTED\r" && int($5 / 512) % 2 == 0 { $5 += 512 } { print }' \
  "$stage/Upgrade.idt" >"$stage/Upgrade.fixed.idt"
mv -- "$stage/Upgrade.fixed.idt" "$stage/Upgrade.idt"
(cd "$stage" && msibuild "$out" -i Upgrade.idt)
# Type="expandable": REG_EXPAND_SZ, which the Registry table marks with "#%".
msibuild "$out" -q "UPDATE \`Registry\` SET \`Value\` = '#%[#LSSchedulerCheckExe]' WHERE \`Name\` = 'EventMessageFile'"
