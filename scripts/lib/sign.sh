#!/usr/bin/env bash
# sign.sh FILE...
# Signs each file in place with Authenticode (osslsigncode): programs and MSI
# packages alike. Taken from the environment, never from the repository:
#   LSS_SIGN_PFX             the code-signing certificate and key (PKCS#12)
#   LSS_SIGN_PASSWORD        its password, or
#   LSS_SIGN_PASSWORD_FILE   a file holding it (kept out of the process list)
#   LSS_SIGN_TIMESTAMP_URL   optional: an RFC 3161 time-stamp server
set -euo pipefail

if [[ $# -eq 0 ]]; then
  echo "usage: $0 FILE..." >&2
  exit 2
fi
if [[ -z ${LSS_SIGN_PFX:-} || ! -f $LSS_SIGN_PFX ]]; then
  echo "$0: LSS_SIGN_PFX must name the PKCS#12 (.pfx) file to sign with" >&2
  exit 2
fi

options=(-pkcs12 "$LSS_SIGN_PFX" -h sha256 -n "LSScheduler")
if [[ -n ${LSS_SIGN_PASSWORD_FILE:-} ]]; then
  options+=(-readpass "$LSS_SIGN_PASSWORD_FILE")
elif [[ -n ${LSS_SIGN_PASSWORD:-} ]]; then
  options+=(-pass "$LSS_SIGN_PASSWORD")
fi

for file in "$@"; do
  signed="$file.signed"
  rm -f -- "$signed"
  if ! osslsigncode sign "${options[@]}" -in "$file" -out "$signed" >/dev/null; then
    rm -f -- "$signed"
    echo "$0: signing $file failed" >&2
    exit 1
  fi
  mv -f -- "$signed" "$file"
  # A separate step: osslsigncode reads no password file together with -ts.
  if [[ -n ${LSS_SIGN_TIMESTAMP_URL:-} ]]; then
    if ! osslsigncode add -h sha256 -ts "$LSS_SIGN_TIMESTAMP_URL" -in "$file" -out "$signed" >/dev/null; then
      rm -f -- "$signed"
      echo "$0: time-stamping $file at $LSS_SIGN_TIMESTAMP_URL failed" >&2
      exit 1
    fi
    mv -f -- "$signed" "$file"
  fi
  echo "signed $file"
done
