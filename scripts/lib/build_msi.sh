#!/usr/bin/env bash
# build_msi.sh [--test-hooks] OUT.msi VERSION README DEPLOY-FOLDER VARIABLE=PROGRAM...
# Builds the Windows Installer package from packaging/LSScheduler.wxs with
# wixl: README, every file under DEPLOY-FOLDER (installed under deploy\) and
# each program (its WiX variable, e.g. LSSchedulerExe, and its file) go in;
# VERSION becomes the ProductVersion. --test-hooks builds the tests' package,
# which also carries the action that fails an install on request; what ships
# is built without it.
set -euo pipefail

test_hooks=no
if [[ ${1:-} == --test-hooks ]]; then
  test_hooks=yes
  shift
fi
if [[ $# -lt 5 ]]; then
  echo "usage: $0 [--test-hooks] OUT.msi VERSION README DEPLOY-FOLDER VARIABLE=PROGRAM..." >&2
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
if [[ $test_hooks == yes ]]; then
  defines+=(-D "LssTestHooks=1")
fi
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

# The same package from the same commit: the files in its cabinet carry the
# commit's time (SOURCE_DATE_EPOCH), and so does its summary information (below).
# Outside a git checkout: 1980-01-01, the earliest time a cabinet stores.
epoch=${SOURCE_DATE_EPOCH:-$(git -C "$root" log -1 --format=%ct 2>/dev/null || echo 315532800)}
find "$stage" -type f -exec touch -h -d "@$epoch" {} +

# The deployment kit's components, one per file, whatever the folder holds.
(cd "$stage" && find deploy -type f | LC_ALL=C sort |
  wixl-heat --prefix deploy/ --directory-ref DeployFolder --component-group DeployFiles \
    --var var.DeployFolder --win64) |
  # wixl-heat names each folder at random: named by its order instead, the
  # same in every build.
  awk '{ while (match($0, /Id="dir[0-9A-F]+"/)) {
           $0 = substr($0, 1, RSTART - 1) "Id=\"DeployDir" ++n "\"" substr($0, RSTART + RLENGTH) } print }' \
    >"$stage/deploy.wxs"

mkdir -p "$(dirname "$out")"
rm -f -- "$out"
# wixl ignores <Package Platform>; the architecture goes on its command line.
# It also warns about AllowSameVersionUpgrades and Schedule, seen to below.
if ! (cd "$stage" && wixl -a x64 "${defines[@]}" -o "$out" "$root/packaging/LSScheduler.wxs" \
  deploy.wxs) 2>"$stage/wixl.log"; then
  cat -- "$stage/wixl.log" >&2
  exit 1
fi
grep -v -e "no property named 'AllowSameVersionUpgrades'" -e "no property named 'Schedule'" -e '^$' \
  "$stage/wixl.log" >&2 || true

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
# <MajorUpgrade Schedule="afterInstallInitialize">: the removal of the
# installed version runs inside the install's transaction, so that a failure
# rolls it back too.
msibuild "$out" -q "UPDATE \`InstallExecuteSequence\` SET \`Sequence\` = 1501 WHERE \`Action\` = 'RemoveExistingProducts'"
# <CustomAction Execute="rollback">: wixl 0.101 writes it as an immediate
# action, which would run at once instead of only when the install is rolled
# back; in-script and rollback (msidbCustomActionTypeInScript 0x400 |
# msidbCustomActionTypeRollback 0x100) are added to the type.
rollback=$(python3 -c '
import sys, xml.etree.ElementTree as tree
wix = "{http://schemas.microsoft.com/wix/2006/wi}"
print(" ".join(action.get("Id") for action in tree.parse(sys.argv[1]).iter(wix + "CustomAction")
               if action.get("Execute") == "rollback"))' "$root/packaging/LSScheduler.wxs")
msiinfo export "$out" CustomAction >"$stage/CustomAction.idt"
awk -F '\t' -v OFS='\t' -v rollback=" $rollback " \
  'NR > 3 && index(rollback, " " $1 " ") && int($2 / 1024) % 2 == 0 { $2 += 1280 } { print }' \
  "$stage/CustomAction.idt" >"$stage/CustomAction.fixed.idt"
mv -- "$stage/CustomAction.fixed.idt" "$stage/CustomAction.idt"
(cd "$stage" && msibuild "$out" -i CustomAction.idt)
# Type="expandable": REG_EXPAND_SZ, which the Registry table marks with "#%".
msibuild "$out" -q "UPDATE \`Registry\` SET \`Value\` = '#%[#LSSchedulerCheckExe]' WHERE \`Name\` = 'EventMessageFile'"

# The public properties a managed install (Group Policy, Configuration
# Manager, Intune) hands to the installer's service; any other is dropped on
# the way. Kept beside those the upgrade rows already list.
secure=$(msiinfo export "$out" Property |
  awk -F '\t' '$1 == "SecureCustomProperties" { sub(/\r$/, "", $2); print $2 }')
secure="${secure:+$secure;}INSTALLFOLDER;SCHEDULE;TASKNAME"
msibuild "$out" -q "DELETE FROM \`Property\` WHERE \`Property\` = 'SecureCustomProperties'"
msibuild "$out" -q "INSERT INTO \`Property\` (\`Property\`, \`Value\`) VALUES ('SecureCustomProperties', '$secure')"

# The File table's Version of each program, from its version resource (the
# fixed FILEVERSION): inventory tools read it, and Windows Installer's file
# replacement rules compare it. Each program's File Id is its WiX variable.
for entry in "$@"; do
  variable=${entry%%=*} program=${entry#*=}
  # awk reads to the end: leaving early would kill windres by SIGPIPE, which
  # pipefail turns into a silent exit of this script.
  file_version=$(x86_64-w64-mingw32-windres -J coff -O rc -i "$program" |
    awk '$1 == "FILEVERSION" && !seen { seen = 1; $1 = ""; gsub(/ /, ""); gsub(/,/, "."); print }')
  if [[ ! $file_version =~ ^[0-9]+\.[0-9]+\.[0-9]+\.[0-9]+$ ]]; then
    echo "$0: no version resource in $program" >&2
    exit 1
  fi
  msibuild "$out" -q "UPDATE \`File\` SET \`Version\` = '$file_version' WHERE \`File\` = '$variable'"
done

# Last, after every change above: wixl and msibuild write the time they ran.
"$root/scripts/lib/set_msi_times.py" "$out" "$epoch"
