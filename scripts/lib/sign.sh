#!/usr/bin/env bash
# sign.sh FILE...
# Signs each file in place with Authenticode (osslsigncode) and an RFC 3161
# time stamp: programs, MSI packages and PowerShell scripts alike. A file is
# replaced only once it is signed and time-stamped; a failure stops at once
# (the caller signs copies and throws them away). Taken from the environment,
# never from the repository:
#   LSS_SIGN_PFX             the code-signing certificate and key (PKCS#12), or
#   LSS_SIGN_CERT and LSS_SIGN_KEY
#                            the certificate (PEM) and its key: a PEM file, or a
#                            PKCS#11 URI for a key on a token, with
#   LSS_SIGN_PKCS11_MODULE   the token's PKCS#11 module
#   LSS_SIGN_PASSWORD        the password of the PFX or key, or
#   LSS_SIGN_PASSWORD_FILE   a file holding it (kept out of the process list)
#   LSS_SIGN_TIMESTAMP_URL   the RFC 3161 time-stamp server (required)
#   sign.sh --check          only checks that all of this is given
set -euo pipefail

fail() {
  echo "$0: $*" >&2
  exit 2
}

check_only=no
if [[ ${1:-} == --check ]]; then
  check_only=yes
  shift
elif [[ $# -eq 0 ]]; then
  echo "usage: $0 FILE... | --check" >&2
  exit 2
fi

options=(-h sha256 -n "LSScheduler")
if [[ -n ${LSS_SIGN_PFX:-} ]]; then
  [[ -f $LSS_SIGN_PFX ]] || fail "LSS_SIGN_PFX names no file: $LSS_SIGN_PFX"
  options+=(-pkcs12 "$LSS_SIGN_PFX")
elif [[ -n ${LSS_SIGN_CERT:-} || -n ${LSS_SIGN_KEY:-} ]]; then
  [[ -f ${LSS_SIGN_CERT:-} ]] || fail "LSS_SIGN_CERT must name the certificate (PEM) to sign with"
  [[ -n ${LSS_SIGN_KEY:-} ]] || fail "LSS_SIGN_KEY must name the key: a PEM file or a PKCS#11 URI"
  options+=(-certs "$LSS_SIGN_CERT" -key "$LSS_SIGN_KEY")
  if [[ $LSS_SIGN_KEY == pkcs11:* ]]; then
    [[ -f ${LSS_SIGN_PKCS11_MODULE:-} ]] ||
      fail "a PKCS#11 key needs LSS_SIGN_PKCS11_MODULE, the token's module"
    options+=(-pkcs11module "$LSS_SIGN_PKCS11_MODULE")
  else
    [[ -f $LSS_SIGN_KEY ]] || fail "LSS_SIGN_KEY names no file: $LSS_SIGN_KEY"
  fi
else
  fail "no certificate: set LSS_SIGN_PFX, or LSS_SIGN_CERT and LSS_SIGN_KEY"
fi
[[ -n ${LSS_SIGN_TIMESTAMP_URL:-} ]] ||
  fail "no time-stamp server: set LSS_SIGN_TIMESTAMP_URL (an RFC 3161 server)"
if [[ -n ${LSS_SIGN_PASSWORD_FILE:-} ]]; then
  options+=(-readpass "$LSS_SIGN_PASSWORD_FILE")
elif [[ -n ${LSS_SIGN_PASSWORD:-} ]]; then
  options+=(-pass "$LSS_SIGN_PASSWORD")
fi
if [[ $check_only == yes ]]; then
  exit 0
fi

for file in "$@"; do
  # osslsigncode tells a script by its extension: the copies keep it.
  signed="${file%.*}.signed.${file##*.}" stamped="${file%.*}.stamped.${file##*.}"
  rm -f -- "$signed" "$stamped"
  if ! osslsigncode sign "${options[@]}" -in "$file" -out "$signed" >/dev/null; then
    rm -f -- "$signed"
    echo "$0: signing $file failed" >&2
    exit 1
  fi
  # A separate step: osslsigncode reads no password file together with -ts.
  if ! osslsigncode add -h sha256 -ts "$LSS_SIGN_TIMESTAMP_URL" -in "$signed" -out "$stamped" \
    >/dev/null; then
    rm -f -- "$signed" "$stamped"
    echo "$0: time-stamping $file at $LSS_SIGN_TIMESTAMP_URL failed" >&2
    exit 1
  fi
  rm -f -- "$signed"
  mv -f -- "$stamped" "$file"
  echo "signed and time-stamped $file"
done
