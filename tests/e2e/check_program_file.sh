#!/usr/bin/env bash
# check_program_file.sh EXE OBJDUMP gui|console [UNWANTED...]
# Passes when EXE is a 64-bit (PE32+, x86-64) Windows program of that subsystem
# whose imports are all Windows system DLLs: no MinGW runtime DLL has to travel
# with it. Each UNWANTED is a DLL (name ending in .dll) or a function the
# program must not import, compared without regard to case.
set -euo pipefail

if [[ $# -lt 3 ]]; then
  echo "usage: $0 EXE OBJDUMP gui|console [UNWANTED...]" >&2
  exit 2
fi
exe=$1 objdump=$2 subsystem=$3
shift 3
unwanted=("$@")
case "$subsystem" in
  gui) subsystem_line='00000002[[:space:]]+\(Windows GUI\)' subsystem_name="Windows GUI" ;;
  console) subsystem_line='00000003[[:space:]]+\(Windows CUI\)' subsystem_name="Windows console" ;;
  *) echo "unknown subsystem: $subsystem" >&2; exit 2 ;;
esac

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
expect "^Subsystem[[:space:]]+$subsystem_line" "not a $subsystem_name program"

# What a Windows installation has of its own.
system_dlls='^(kernel32|advapi32|ole32|oleaut32|shell32|user32|gdi32|msvcrt|ucrtbase|ntdll|shlwapi|rpcrt4|version|bcrypt|mapi32|api-ms-win-[a-z0-9-]+)\.dll$'
while read -r dll; do
  echo "imports $dll"
  if ! grep -Eiq "$system_dlls" <<<"$dll"; then
    echo "FAIL: $exe imports $dll, which is not a Windows system DLL" >&2
    failed=1
  fi
done < <(sed -n 's/^[[:space:]]*DLL Name: //p' <<<"$headers")

# The import table lists each function under its DLL as "vma hint name".
imported_functions=$(sed -nE 's/^[[:space:]]+[0-9a-fA-F]+[[:space:]]+[0-9]+[[:space:]]+([A-Za-z_][A-Za-z0-9_@]*)$/\1/p' \
  <<<"$headers")
imported_dlls=$(sed -n 's/^[[:space:]]*DLL Name: //p' <<<"$headers")
if [[ -z $imported_functions ]]; then
  echo "FAIL: $exe: no imported function found in objdump's output" >&2
  failed=1
fi
for name in "${unwanted[@]}"; do
  if [[ $name == *.dll ]]; then list=$imported_dlls; else list=$imported_functions; fi
  if grep -Fxiq -- "$name" <<<"$list"; then
    echo "FAIL: $exe imports $name" >&2
    failed=1
  fi
done

if [[ $failed -eq 0 ]]; then
  echo "$exe: PE32+ x86-64, $subsystem_name, system DLLs only${unwanted[*]:+, none of: ${unwanted[*]}}"
fi
exit "$failed"
