#!/usr/bin/env bash
# signing_test.sh SIGN_SH EXE MSI WORK_FOLDER WINE64
# Signs copies of the program, the MSI and a PowerShell script with a
# throw-away self-signed code-signing certificate through sign.sh (with each
# way of giving the key and its password), time-stamped by a local RFC 3161
# responder (timestamp_responder.py), checks each signature and its time stamp
# against those certificates, checks that a changed byte breaks one, and runs
# the signed program under Wine.
set -euo pipefail

if [[ $# -ne 5 ]]; then
  echo "usage: $0 SIGN_SH EXE MSI WORK_FOLDER WINE64" >&2
  exit 2
fi
sign=$1 exe=$2 msi=$3 work=$4 wine64=$5

rm -rf -- "$work"
mkdir -p "$work"
cd "$work"
failed=0
fail() {
  echo "FAIL: $*" >&2
  failed=1
}

# The time-stamp server, on a loopback port of the system's choosing; stopped
# on the way out.
responder=
trap '[[ -n $responder ]] && kill "$responder"' EXIT
python3 "$(dirname "$0")/timestamp_responder.py" "$work/tsa" &
responder=$!
for _ in $(seq 100); do
  [[ -f tsa/port ]] && break
  sleep 0.1
done
if [[ ! -f tsa/port ]]; then
  echo "FAIL: the time-stamp server did not start" >&2
  exit 1
fi
LSS_SIGN_TIMESTAMP_URL="http://127.0.0.1:$(cat tsa/port)"
export LSS_SIGN_TIMESTAMP_URL

password=$(openssl rand -hex 12)
openssl req -x509 -newkey rsa:2048 -nodes -sha256 -days 2 -keyout key.pem -out cert.pem \
  -subj "/O=Brinmoor/CN=LSScheduler test signing" \
  -addext keyUsage=critical,digitalSignature -addext extendedKeyUsage=codeSigning 2>/dev/null
openssl pkcs12 -export -inkey key.pem -in cert.pem -out signing.pfx -passout "pass:$password"
printf '%s' "$password" >password.txt

# Signed, and time-stamped by the server above.
verify() {
  osslsigncode verify -CAfile cert.pem -TSA-CAfile tsa/ca.pem -in "$1" >"$1.verify" 2>&1 &&
    grep -q 'Timestamp Server Signature verification: ok' "$1.verify"
}

# file to sign, the key and how its password is given
cases=(
  "LSScheduler.exe LSS_SIGN_PFX=signing.pfx LSS_SIGN_PASSWORD_FILE=password.txt"
  "LSScheduler.msi LSS_SIGN_PFX=signing.pfx LSS_SIGN_PASSWORD=$password"
  "Detect.ps1 LSS_SIGN_CERT=cert.pem LSS_SIGN_KEY=key.pem"
)
cp -- "$exe" LSScheduler.exe
cp -- "$msi" LSScheduler.msi
printf 'Write-Output "signed"\r\n' >Detect.ps1
for row in "${cases[@]}"; do
  read -r file key_setting password_setting <<<"$row"
  if verify "$file"; then
    fail "$file verifies before it is signed"
  fi
  if ! env "$key_setting" ${password_setting:+"$password_setting"} "$sign" "$file"; then
    fail "sign.sh could not sign $file"
    continue
  fi
  if verify "$file"; then
    echo "$file: signature and time stamp verified"
  else
    fail "the signature of $file does not verify:"
    cat "$file.verify" >&2
  fi
  # One changed byte near the end (past the headers) must break the signature.
  cp -- "$file" "changed-$file"
  size=$(stat -c %s "changed-$file")
  printf '\x5a' | dd of="changed-$file" bs=1 seek=$((size / 2)) conv=notrunc status=none
  if cmp -s "$file" "changed-$file"; then
    printf '\xa5' | dd of="changed-$file" bs=1 seek=$((size / 2)) conv=notrunc status=none
  fi
  if verify "changed-$file"; then
    fail "a changed copy of $file still verifies"
  fi
done

# Without a certificate, a key or a time-stamp server sign.sh refuses
# instead of shipping files that are not signed and time-stamped.
cp -- "$exe" unsigned.exe
refusals=(
  "no certificate|env -u LSS_SIGN_PFX"
  "a certificate without its key|env LSS_SIGN_CERT=cert.pem"
  "no time-stamp server|env LSS_SIGN_PFX=signing.pfx LSS_SIGN_PASSWORD=$password -u LSS_SIGN_TIMESTAMP_URL"
)
for row in "${refusals[@]}"; do
  read -r -a command <<<"${row#*|}"
  if "${command[@]}" "$sign" unsigned.exe 2>/dev/null; then
    fail "sign.sh with ${row%%|*} succeeded"
  fi
  if ! cmp -s "$exe" unsigned.exe; then
    fail "sign.sh with ${row%%|*} changed the file"
  fi
done

# The signed program still runs.
code=0
"$wine64" "$work/LSScheduler.exe" || code=$?
if [[ $code -ne 0 ]]; then
  fail "the signed LSScheduler.exe ended with $code under Wine"
fi

exit "$failed"
