#!/usr/bin/env bash
# A private Wine prefix, for the tests (a fresh one per test run) and the demo
# (one kept between runs).
#   wine_prefix.sh setup   PREFIX [WINE64 WINESERVER [BOOTED]]   a fresh prefix, ready to run programs
#   wine_prefix.sh ensure  PREFIX [WINE64 WINESERVER [BOOTED]]   creates the prefix only when it is missing
#   wine_prefix.sh cleanup PREFIX [WINE64 WINESERVER]            stops the prefix's wineserver
# With BOOTED (a prefix made by `ensure`, in which nothing runs), a new
# prefix is a copy of it: seconds instead of a wineboot of half a minute.
# Wine's programs are found by scripts/lib/wine.sh when not given.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/wine.sh"

if [[ $# -lt 2 || $# -eq 3 || $# -gt 5 ]]; then
  echo "usage: $0 setup|ensure|cleanup PREFIX [WINE64 WINESERVER [BOOTED]]" >&2
  exit 2
fi
action=$1 prefix=$2 booted=${5:-}
if [[ $# -ge 4 ]]; then
  wine64=$3 wineserver=$4
else
  lss_find_wine
fi

export WINEPREFIX="$prefix"
export WINEDEBUG=-all
# Mono and Gecko would be offered for download on a new prefix; nothing here needs them.
export WINEDLLOVERRIDES="mscoree,mshtml="

# wineboot, then a wait until the prefix's registry is written out, so what
# runs next starts from a complete prefix; or a copy of the booted prefix.
# Either is made under another name first, so that one cut short is never
# taken for a prefix.
create() {
  local partial="$prefix.partial"
  rm -rf -- "$partial"
  if [[ -n "$booted" ]]; then
    if [[ ! -f "$booted/system.reg" ]]; then
      echo "no booted prefix at $booted" >&2
      return 1
    fi
    cp -a -- "$booted" "$partial"
  else
    WINEPREFIX="$partial" "$wine64" wineboot -i
    WINEPREFIX="$partial" "$wineserver" -w
  fi
  # An empty folder of that name may stand in the way; anything else stays and fails the move.
  if [[ -d "$prefix" ]]; then rmdir -- "$prefix" 2>/dev/null || true; fi
  mv -T -- "$partial" "$prefix"
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
