#!/usr/bin/env bash
# build_msi.sh OUT.msi VERSION README VARIABLE=PROGRAM...
# Builds the Windows Installer package from packaging/LSScheduler.wxs with
# wixl: README and each program (its WiX variable, e.g. LSSchedulerExe, and
# its file) go in; VERSION becomes the ProductVersion.
set -euo pipefail

if [[ $# -lt 4 ]]; then
  echo "usage: $0 OUT.msi VERSION README VARIABLE=PROGRAM..." >&2
  exit 2
fi
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
out=$(realpath -m "$1") version=$2 readme=$3
shift 3

# wixl takes sources relative to where it runs: gather them in one folder.
stage=$(mktemp -d)
trap 'rm -rf -- "$stage"' EXIT
defines=(-D "ProductVersion=$version" -D "Readme=README.md")
cp -- "$readme" "$stage/README.md"
for entry in "$@"; do
  variable=${entry%%=*} program=${entry#*=}
  if [[ -z $variable || $variable == "$entry" || ! -f $program ]]; then
    echo "$0: not VARIABLE=EXISTING-FILE: $entry" >&2
    exit 2
  fi
  cp -- "$program" "$stage/$(basename "$program")"
  defines+=(-D "$variable=$(basename "$program")")
done

mkdir -p "$(dirname "$out")"
# wixl ignores <Package Platform>; the architecture goes on its command line.
(cd "$stage" && wixl -a x64 "${defines[@]}" -o "$out" "$root/packaging/LSScheduler.wxs")
