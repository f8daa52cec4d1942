#!/usr/bin/env bash
# signing_test.sh SIGN_SH EXE MSI WORK_FOLDER WINE64
# Signs copies of the program and the MSI with a throw-away self-signed
# code-signing certificate through sign.sh (once with each way of giving the
# password), checks both signatures against that certificate, checks that a
# changed byte breaks one, and runs the signed program under Wine.
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

password=$(openssl rand -hex 12)
openssl req -x509 -newkey rsa:2048 -nodes -sha256 -days 2 -keyout key.pem -out cert.pem \
  -subj "/O=Brinmoor/CN=LSScheduler test signing" \
  -addext keyUsage=critical,digitalSignature -addext extendedKeyUsage=codeSigning 2>/dev/null
openssl pkcs12 -export -inkey key.pem -in cert.pem -out signing.pfx -passout "pass:$password"
printf '%s' "$password" >password.txt

verify() {
  osslsigncode verify -CAfile cert.pem -in "$1" >"$1.verify" 2>&1
}

# file to sign, how the password is given
cases=(
  "LSScheduler.exe LSS_SIGN_PASSWORD_FILE=password.txt"
  "LSScheduler.msi LSS_SIGN_PASSWORD=$password"
)
cp -- "$exe" LSScheduler.exe
cp -- "$msi" LSScheduler.msi
for row in "${cases[@]}"; do
  read -r file password_setting <<<"$row"
  if verify "$file"; then
    fail "$file verifies before it is signed"
  fi
  if ! env LSS_SIGN_PFX=signing.pfx "$password_setting" "$sign" "$file"; then
    fail "sign.sh could not sign $file"
    continue
  fi
  if verify "$file"; then
    echo "$file: signature verified"
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

# Without a certificate sign.sh refuses instead of shipping unsigned files.
if env -u LSS_SIGN_PFX "$sign" LSScheduler.exe 2>/dev/null; then
  fail "sign.sh without LSS_SIGN_PFX succeeded"
fi

# The signed program still runs.
code=0
"$wine64" "$work/LSScheduler.exe" || code=$?
if [[ $code -ne 0 ]]; then
  fail "the signed LSScheduler.exe ended with $code under Wine"
fi

exit "$failed"
