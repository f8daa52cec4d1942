#!/usr/bin/env bash
# Installs olsim (OUTLOOK.EXE and olmapi.dll) into a Wine prefix the way a real
# installation looks to LSScheduler, for the demo and manual runs.
#   tools/olsim/install.sh WINEPREFIX_DIR BUILD_DIR
# BUILD_DIR is the mingw build folder (build/mingw) or the folder holding the two files.
set -euo pipefail

if [[ $# -ne 2 ]]; then
  echo "usage: $0 WINEPREFIX_DIR BUILD_DIR" >&2
  exit 2
fi
prefix=$1
build=$2
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
source "$root/scripts/lib/wine.sh"
lss_find_wine

if [[ -f "$build/tools/olsim/OUTLOOK.EXE" ]]; then
  from="$build/tools/olsim"
else
  from="$build"
fi
for file in OUTLOOK.EXE olmapi.dll; do
  if [[ ! -f "$from/$file" ]]; then
    echo "$0: $from/$file not found; build with: cmake --build --preset mingw" >&2
    exit 1
  fi
done

reg() {
  WINEPREFIX="$prefix" WINEDEBUG=-all "$wine64" reg "$@" >/dev/null
}

"$root/scripts/lib/wine_prefix.sh" ensure "$prefix" "$wine64" "$wineserver"
folder="$prefix/drive_c/Program Files/Olsim"
mkdir -p "$folder" "$prefix/drive_c/Olsim"
cp "$from/OUTLOOK.EXE" "$from/olmapi.dll" "$folder/"

win_folder='C:\Program Files\Olsim\'
app_paths='HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\App Paths\OUTLOOK.EXE'
reg add "$app_paths" /ve /t REG_SZ /d "${win_folder}OUTLOOK.EXE" /f
reg add "$app_paths" /v Path /t REG_SZ /d "$win_folder" /f
reg add 'HKLM\Software\Clients\Mail' /ve /t REG_SZ /d Olsim /f
reg add 'HKLM\Software\Clients\Mail\Olsim' /v DLLPathEx /t REG_SZ /d "${win_folder}olmapi.dll" /f

# A first installation gets a journal and an add-in that synchronizes for 3 s;
# settings already there are left as they are.
if ! reg query 'HKCU\Software\Olsim' 2>/dev/null; then
  reg add 'HKCU\Software\Olsim' /v JournalPath /t REG_SZ /d 'C:\Olsim\journal.txt' /f
  reg add 'HKCU\Software\Olsim' /v SyncMilliseconds /t REG_DWORD /d 3000 /f
  reg add 'HKCU\Software\Olsim' /v StayMilliseconds /t REG_DWORD /d 60000 /f
fi
echo "olsim installed in $prefix (C:\\Program Files\\Olsim)"
