#!/usr/bin/env bash
# A private Wine prefix, for the tests (a fresh one per test run) and the demo
# (one kept between runs).
#   wine_prefix.sh setup   PREFIX [WINE64 WINESERVER]   a fresh prefix, ready to run programs
#   wine_prefix.sh ensure  PREFIX [WINE64 WINESERVER]   creates the prefix only when it is missing
#   wine_prefix.sh cleanup PREFIX [WINE64 WINESERVER]   stops the prefix's wineserver
# Wine's programs are found by scripts/lib/wine.sh when not given.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/wine.sh"

if [[ $# -ne 2 && $# -ne 4 ]]; then
  echo "usage: $0 setup|ensure|cleanup PREFIX [WINE64 WINESERVER]" >&2
  exit 2
fi
action=$1 prefix=$2
if [[ $# -eq 4 ]]; then
  wine64=$3 wineserver=$4
else
  lss_find_wine
fi

export WINEPREFIX="$prefix"
export WINEDEBUG=-all
# Mono and Gecko would be offered for download on a new prefix; nothing here needs them.
export WINEDLLOVERRIDES="mscoree,mshtml="

# wineboot, then a wait until the prefix's registry is written out, so what
# runs next starts from a complete prefix.
create() {
  "$wine64" wineboot -i
  "$wineserver" -w
  if [[ ! -f "$prefix/system.reg" || ! -d "$prefix/drive_c/windows" ]]; then
    echo "wineboot did not create the prefix at $prefix" >&2
    return 1
  fi
}

case "$action" in
  setup)
    # A prefix left by an earlier run may hold its registry and files, and a
    # wineserver of its own may still be up: start from nothing.
    if [[ -d "$prefix" ]]; then
      "$wineserver" -k 2>/dev/null || true
      "$wineserver" -w 2>/dev/null || true
      rm -rf -- "$prefix"
    fi
    started=$SECONDS
    create || exit 1
    # Keep one wineserver and Wine's own service processes up for the whole
    # run, detached from CTest's output pipes. Otherwise every test's first
    # Wine process starts them with its own output, and CTest waits for them to
    # go away (seconds per test) before it takes the test as ended. They end
    # at cleanup, or 120 s after the last test's programs at the latest.
    "$wineserver" -p120 </dev/null >/dev/null 2>&1
    "$wine64" reg query 'HKCU\Software' </dev/null >/dev/null 2>&1
    echo "Wine prefix ready at $prefix in $((SECONDS - started)) s"
    ;;
  ensure)
    if [[ ! -f "$prefix/system.reg" ]]; then
      echo "Creating the Wine prefix $prefix (once)"
      create >/dev/null 2>&1 || { echo "wineboot did not create the prefix at $prefix" >&2; exit 1; }
    fi
    ;;
  cleanup)
    if [[ -d "$prefix" ]]; then
      "$wineserver" -k 2>/dev/null || true
      "$wineserver" -w 2>/dev/null || true
    fi
    echo "Wine prefix at $prefix stopped"
    ;;
  *)
    echo "unknown action: $action" >&2
    exit 2
    ;;
esac
