#!/usr/bin/env python3
"""remediation_flow_test.py DEPLOY_FOLDER WINE64 CHECK_EXE SCHEDULER_EXE

The Intune flow of the deployment kit under Wine, with the scripts' own calls
to LSSchedulerCheck.exe (their `& $check ...` lines) and their exit-code rule,
as PowerShell would run them (there is no PowerShell here). After a run that
was interrupted, leaving the add-in's toolbar blocked: the detection script
flags the PC, the remediation script lifts the block by starting
LSScheduler.exe without options, the detection script then passes, and the
report script still reports the interrupted run.
"""
import os
import pathlib
import subprocess
import sys
import time

sys.path.insert(0, str(pathlib.Path(__file__).parent))
from deploy_scripts_test import CALL, arguments  # noqa: E402

SETTINGS = r"HKCU\Software\Brinmoor\Larkspan\Settings"
LOG_FOLDER = r"C:\lssflow\logs"
EXIT_RULE = "exit $(if ($LASTEXITCODE -eq 0) { 0 } else { 1 })"
REMEDIATION = ["if ($LASTEXITCODE -ne 0) {",
               "Start-Process -FilePath (Join-Path $folder 'LSScheduler.exe') -Wait"]


class Flow:
    def __init__(self, deploy, wine64, check_exe, scheduler_exe):
        self.deploy, self.wine64 = deploy, wine64
        self.check_exe, self.scheduler_exe = check_exe, scheduler_exe
        self.environment = dict(os.environ, WINEDEBUG="-all")
        self.failures = 0

    def expect(self, what, passed, shown=""):
        print(("ok: " if passed else "FAIL: ") + what + (f"  [{shown}]" if shown else ""))
        self.failures += 0 if passed else 1

    def wine(self, *command):
        return subprocess.run([self.wine64, *command], env=self.environment, capture_output=True,
                              text=True, errors="replace", timeout=120)

    def script(self, name):
        """The script's `& $check` calls, after checking it ends with the exit rule."""
        lines = [line.strip() for line in (self.deploy / name).read_text().splitlines()]
        self.expect(f"{name} ends with the exit rule", lines and lines[-1] == EXIT_RULE)
        return lines, [arguments(m.group(1)) for m in map(CALL.match, lines) if m]

    def call(self, args):
        run = self.wine(self.check_exe, *args)
        lines = run.stdout.strip().splitlines()
        return run.returncode, lines[-1] if lines else ""

    def run_script(self, name):
        """Runs a detection or report script's one call; returns its exit code and line."""
        _, calls = self.script(name)
        self.expect(f"{name} calls the check once", len(calls) == 1, calls)
        code, line = self.call(calls[0])
        return (0 if code == 0 else 1), line

    def remediate(self):
        lines, calls = self.script("LSScheduler-Remediate.ps1")
        self.expect("the remediation asks the check before and after",
                    len(calls) == 2 and all(c == ["--only", "toolbar", "--quiet"] for c in calls))
        self.expect("the remediation starts LSScheduler.exe without options on a finding",
                    all(text in lines for text in REMEDIATION))
        code, _ = self.call(calls[0])
        if code != 0:
            self.wine(self.scheduler_exe)
        code, line = self.call(calls[1])
        return (0 if code == 0 else 1), line


def interrupted_log():
    """The name and bytes of a -s -e run's log that ends while it waits for Outlook."""
    stamp = time.localtime(time.time() - 3600)
    entry = time.strftime("%d-%m-%y %H:%M:%S: ", stamp)
    entries = ["Block Larkspan Toolbar Load",
               r"KSScheduler: Starting Outlook C:\Office\OUTLOOK.EXE /recycle",
               "KSScheduler: Waiting for Outlook"]
    name = time.strftime("Scheduler%d%m%y%H%M%S.log", stamp)
    return name, "".join("\r\n" + entry + text for text in entries).encode("latin-1")


def main():
    if len(sys.argv) != 5:
        print(__doc__, file=sys.stderr)
        return 2
    flow = Flow(pathlib.Path(sys.argv[1]), *sys.argv[2:])
    logs = pathlib.Path(os.environ["WINEPREFIX"]) / "drive_c" / "lssflow" / "logs"
    flow.wine("reg", "delete", r"HKCU\Software\Brinmoor", "/f")
    for old in logs.glob("*"):
        old.unlink()
    logs.mkdir(parents=True, exist_ok=True)
    # What a run killed after its block leaves: the block pending, its log cut short.
    name, data = interrupted_log()
    (logs / name).write_bytes(data)
    for value, kind, content in [("LogDirectory", "REG_SZ", LOG_FOLDER),
                                 ("BlockToolbarLoad", "REG_DWORD", "1"),
                                 ("BlockToolbarLoadOrg", "REG_DWORD", "0")]:
        added = flow.wine("reg", "add", SETTINGS, "/v", value, "/t", kind, "/d", content, "/f")
        flow.expect(f"set {value}", added.returncode == 0, added.stderr.strip())

    code, line = flow.run_script("LSScheduler-Detect.ps1")
    flow.expect("detection flags the pending block", code == 1 and line.startswith("WARN: toolbar:"),
                f"{code} {line}")
    code, line = flow.run_script("LSScheduler-Report.ps1")
    flow.expect("the report names the interrupted run",
                code == 1 and line.startswith("FAIL: last-run:") and "was interrupted" in line,
                f"{code} {line}")

    code, line = flow.remediate()
    flow.expect("the remediation lifts the block", code == 0 and line == "OK: nothing to do.",
                f"{code} {line}")
    restored = flow.wine("reg", "query", SETTINGS, "/v", "BlockToolbarLoad").stdout
    flow.expect("the toolbar is given back", "0x0" in restored.split(), restored.strip())
    flow.expect("the start without options left an empty log",
                sorted(p.stat().st_size for p in logs.glob("Scheduler*.log")) == [0, len(data)])

    code, line = flow.run_script("LSScheduler-Detect.ps1")
    flow.expect("detection then passes", code == 0 and line == "OK: nothing to do.", f"{code} {line}")
    code, line = flow.run_script("LSScheduler-Report.ps1")
    flow.expect("the report still names the interrupted run",
                code == 1 and line.startswith("FAIL: last-run:") and "was interrupted" in line
                and "(and 1 later start without -s)" in line, f"{code} {line}")

    flow.wine("reg", "delete", r"HKCU\Software\Brinmoor", "/f")
    return 1 if flow.failures else 0


if __name__ == "__main__":
    sys.exit(main())
