# Sourced by scripts/run.sh and scripts/package.sh: installs the packages that
# are missing, then builds targets of the mingw preset, their output in a log.
#   build_mingw LOG WHAT TARGET...   LOG under build/; WHAT names them for the user
# Sets build to the build tree; exits with the log's tail when the build fails.

source "$root/scripts/lib/packages.sh"

build_mingw() {
  local log="$root/build/$1" what=$2
  shift 2
  install_missing
  build="$root/build/mingw"
  mkdir -p "$root/build"
  echo "Building $what (output in build/$(basename "$log"))"
  if ! { cmake --preset mingw && cmake --build --preset mingw --target "$@"; } >"$log" 2>&1; then
    tail -n 40 "$log"
    echo "The build failed; see $log" >&2
    exit 1
  fi
}
