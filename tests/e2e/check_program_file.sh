#!/usr/bin/env bash
# check_program_file.sh EXE OBJDUMP
# Passes when EXE is a 64-bit (PE32+, x86-64) Windows GUI program whose imports
# are all Windows system DLLs: no MinGW runtime DLL has to travel with it.
set -euo pipefail

if [[ $# -ne 2 ]]; then
  echo "usage: $0 EXE OBJDUMP" >&2
  exit 2
fi
exe=$1 objdump=$2

headers=$("$objdump" -p "$exe")
failed=0
expect() {
  if ! grep -Eq "$1" <<<"$headers"; then
    echo "FAIL: $exe: $2" >&2
    failed=1
  fi
}
expect 'file format pei-x86-64' "not a 64-bit x86-64 PE file"
expect '^Magic[[:space:]]+020b' "not PE32+"
expect '^Subsystem[[:space:]]+00000002[[:space:]]+\(Windows GUI\)' "not a Windows GUI program"

# What a Windows installation has of its own.
system_dlls='^(kernel32|advapi32|ole32|oleaut32|shell32|user32|gdi32|msvcrt|ucrtbase|ntdll|shlwapi|rpcrt4|version|bcrypt|mapi32|api-ms-win-[a-z0-9-]+)\.dll$'
while read -r dll; do
  echo "imports $dll"
  if ! grep -Eiq "$system_dlls" <<<"$dll"; then
    echo "FAIL: $exe imports $dll, which is not a Windows system DLL" >&2
    failed=1
  fi
done < <(sed -n 's/^[[:space:]]*DLL Name: //p' <<<"$headers")

if [[ $failed -eq 0 ]]; then
  echo "$exe: PE32+ x86-64, Windows GUI, system DLLs only"
fi
exit "$failed"
