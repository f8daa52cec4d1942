# Sourced by every script that runs Wine: finds its loader and its wineserver
# once, the same way everywhere. WINE64 and WINESERVER in the environment win;
# otherwise /usr/lib/wine (Debian's wine64 puts no wine64 on the PATH), then
# the PATH. Sets wine64 and wineserver; fails when either is missing.
lss_find_wine() {
  wine64=${WINE64:-/usr/lib/wine/wine64}
  wineserver=${WINESERVER:-/usr/lib/wine/wineserver}
  [[ -x "$wine64" ]] || wine64=$(command -v wine64 || command -v wine || true)
  [[ -x "$wineserver" ]] || wineserver=$(command -v wineserver || true)
  if [[ -z "$wine64" || -z "$wineserver" ]]; then
    echo "Wine is not installed (wine64 and wineserver are needed)" >&2
    return 1
  fi
}

# Runs the calling script again with Linux's address-space randomization off,
# which every process it starts, Wine's included, inherits: Debian's wine64
# has no preloader, and a randomly placed mapping now and then takes the
# range a Windows process needs, so that process dies at its start (see the
# README's test command). Call it first, with the script's
# arguments; once the layout is fixed it returns.
lss_fixed_layout() {
  if [[ -z ${LSS_FIXED_LAYOUT:-} ]] && command -v setarch >/dev/null; then
    LSS_FIXED_LAYOUT=1 exec setarch "$(uname -m)" --addr-no-randomize "$0" "$@"
  fi
}
