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
