#!/usr/bin/env bash
# build_zip.sh OUT.zip README DEPLOY-FOLDER PROGRAM...
# The package for administrators who deploy files themselves: the programs
# and README.md at the top, the deployment kit under deploy/.
set -euo pipefail

if [[ $# -lt 4 ]]; then
  echo "usage: $0 OUT.zip README DEPLOY-FOLDER PROGRAM..." >&2
  exit 2
fi
out=$(realpath -m "$1") readme=$2 deploy=$3
shift 3

stage=$(mktemp -d)
trap 'rm -rf -- "$stage"' EXIT
cp -- "$@" "$stage/"
cp -- "$readme" "$stage/README.md"
cp -R -- "$deploy" "$stage/deploy"

mkdir -p "$(dirname "$out")"
rm -f -- "$out"
# -X: no Unix extras, so the archive does not depend on who built it.
(cd "$stage" && zip -q -X -r "$out" .)
