# Sourced by the top-level scripts: installs the Debian packages the build and
# the tests need when any of them is missing.

lss_packages=(cmake ninja-build g++ libgtest-dev libgmock-dev g++-mingw-w64-x86-64-posix wine64
  wixl msitools osslsigncode openssl zip unzip python3 clang clang-tidy libclang-rt-14-dev lld
  nlohmann-json3-dev python3-jsonschema python3-olefile)

install_missing() {
  local missing=() package
  for package in "${lss_packages[@]}"; do
    # No pipe into grep -q: it may leave before dpkg has written all, and
    # pipefail would then count an installed package as missing.
    if [[ $(dpkg-query -W -f '${Status}' "$package" 2>/dev/null) != "install ok installed" ]]; then
      missing+=("$package")
    fi
  done
  if [[ ${#missing[@]} -eq 0 ]]; then
    return
  fi
  local sudo=()
  if [[ $(id -u) -ne 0 ]]; then
    sudo=(sudo)
  fi
  echo "Installing ${missing[*]}"
  "${sudo[@]}" apt-get update
  "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive \
    apt-get install -y --no-install-recommends "${missing[@]}"
}
