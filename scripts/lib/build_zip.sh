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
# The same archive from the same commit: every entry with the commit's time
# (SOURCE_DATE_EPOCH, in UTC: zip stores local time) and one mode, in a fixed
# order, without directory entries (-D) or Unix extras (-X).
# Outside a git checkout: 1980-01-01, the earliest time zip stores.
epoch=${SOURCE_DATE_EPOCH:-$(git -C "$(dirname "${BASH_SOURCE[0]}")" log -1 --format=%ct 2>/dev/null || echo 315532800)}
find "$stage" -type f -exec chmod 0644 {} + -exec touch -h -d "@$epoch" {} +
(cd "$stage" && find . -type f -printf '%P\n' | LC_ALL=C sort | TZ=UTC zip -q -X -D "$out" -@)
