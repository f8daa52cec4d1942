#!/usr/bin/env python3
"""deploy_scripts_test.py DEPLOY_FOLDER README WINE64 CHECK_EXE

The deployment kit's PowerShell scripts, and the copies of them in
Rollout.txt and the README, call LSSchedulerCheck.exe only with arguments it
accepts: every `& $check ...` line is run under Wine (WINEPREFIX from the
environment) with the same arguments and must not end with 64 (wrong
arguments). An unquoted comma fails as well: PowerShell hands a comma list to
a program as separate arguments.
"""
import os
import pathlib
import re
import subprocess
import sys

CALL = re.compile(r"^\s*&\s*\$check\b([^|]*)")
TOKEN = re.compile(r"'([^']*)'|([^\s']+)")
USAGE_ERROR = 64


def arguments(text):
    """The program's arguments in PowerShell's command mode (literal quotes only)."""
    result = []
    for match in TOKEN.finditer(text):
        quoted, bare = match.groups()
        if bare is not None and "," in bare:
            raise ValueError(f"unquoted comma in {bare!r}: PowerShell would split it")
        result.append(quoted if bare is None else bare)
    return result


def main():
    if len(sys.argv) != 5:
        print(__doc__, file=sys.stderr)
        return 2
    folder, readme = pathlib.Path(sys.argv[1]), pathlib.Path(sys.argv[2])
    wine64, check_exe = sys.argv[3], sys.argv[4]
    scripts = sorted(folder.glob("*.ps1"))
    if len(scripts) < 2:
        print(f"FAIL: expected the detection and remediation scripts in {folder}")
        return 1
    environment = dict(os.environ, WINEDEBUG="-all")
    failures = 0
    for script in scripts + [folder / "Rollout.txt", readme]:
        calls = [m.group(1) for m in map(CALL.match, script.read_text().splitlines()) if m]
        if not calls:
            print(f"FAIL: {script.name} never runs $check")
            failures += 1
        for call in calls:
            try:
                args = arguments(call)
            except ValueError as error:
                print(f"FAIL: {script.name}: {error}")
                failures += 1
                continue
            run = subprocess.run([wine64, check_exe, *args], env=environment, capture_output=True,
                                 text=True, errors="replace", timeout=120)
            verdict = "FAIL" if run.returncode == USAGE_ERROR else "ok"
            print(f"{verdict}: {script.name}: {args} -> exit code {run.returncode}")
            if run.returncode == USAGE_ERROR:
                print(run.stderr.strip())
                failures += 1
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
