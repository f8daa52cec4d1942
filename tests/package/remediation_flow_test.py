#!/usr/bin/env python3
"""remediation_flow_test.py DEPLOY_FOLDER WINE64 CHECK_EXE SCHEDULER_EXE [unittest options]

The Intune flow of the deployment kit under Wine, with the scripts' own calls
to LSSchedulerCheck.exe (their `& $check ...` lines) and their exit-code rule,
as PowerShell would run them (there is no PowerShell here). After a run that
was interrupted, leaving the add-in's toolbar blocked: the detection script
flags the PC, the remediation script lifts the block by starting
LSScheduler.exe without options, the detection script then passes, and the
report script still reports the interrupted run. The report script also
flags a laptop that has no log yet, through its last-run check, and its line
names the log folder in UTF-8 (what the scripts tell PowerShell to read).
"""
import json
import os
import pathlib
import subprocess
import time
import unittest

import package_support

SETTINGS = r"HKCU\Software\Brinmoor\Larkspan\Settings"
LOG_FOLDER = r"C:\lssflow\logs"
EXIT_RULE = "exit $(if ($LASTEXITCODE -eq 0) { 0 } else { 1 })"
REMEDIATION = ["if ($LASTEXITCODE -ne 0) {",
               "Start-Process -FilePath (Join-Path $folder 'LSScheduler.exe') -Wait"]
DETECT, REMEDIATE, REPORT = "LSScheduler-Detect.ps1", "LSScheduler-Remediate.ps1", "LSScheduler-Report.ps1"


def interrupted_log():
    """The name and bytes of a -s -e run's log that ends while it waits for Outlook."""
    stamp = time.localtime(time.time() - 3600)
    entry = time.strftime("%d-%m-%y %H:%M:%S: ", stamp)
    entries = ["Block Larkspan Toolbar Load",
               r"KSScheduler: Starting Outlook C:\Office\OUTLOOK.EXE /recycle",
               "KSScheduler: Waiting for Outlook"]
    name = time.strftime("Scheduler%d%m%y%H%M%S.log", stamp)
    return name, "".join("\r\n" + entry + text for text in entries).encode("latin-1")


class RemediationFlow(unittest.TestCase):
    deploy = wine64 = check_exe = scheduler_exe = None  # from the command line

    def wine(self, *command):
        return subprocess.run([self.wine64, *command], env=dict(os.environ, WINEDEBUG="-all"),
                              capture_output=True, text=True, errors="replace", timeout=120)

    def script(self, name):
        """The script's lines and the arguments of its `& $check` calls."""
        lines = [line.strip() for line in (pathlib.Path(self.deploy) / name).read_text().splitlines()]
        calls = [package_support.arguments(m.group(1)) for m in map(package_support.CALL.match, lines) if m]
        return lines, calls

    def call(self, args):
        """The script's verdict on one call (its exit rule: 0, else 1) and the check's last line."""
        run = self.wine(self.check_exe, *args)
        lines = run.stdout.strip().splitlines()
        return (0 if run.returncode == 0 else 1), lines[-1] if lines else ""

    def run_script(self, name):
        """A detection or report script's verdict and line, from its one call."""
        return self.call(self.script(name)[1][0])

    def remediate(self):
        first, second = self.script(REMEDIATE)[1]
        if self.call(first)[0] != 0:
            self.wine(self.scheduler_exe)
        return self.call(second)

    def test_each_script_ends_with_the_exit_rule(self):
        for name in (DETECT, REMEDIATE, REPORT):
            with self.subTest(name):
                self.assertEqual(self.script(name)[0][-1:], [EXIT_RULE])

    def test_detection_and_report_call_the_check_once(self):
        for name in (DETECT, REPORT):
            with self.subTest(name):
                self.assertEqual(len(self.script(name)[1]), 1, self.script(name)[1])

    def test_the_remediation_asks_the_check_before_and_after_and_starts_the_program_between(self):
        lines, calls = self.script(REMEDIATE)
        self.assertEqual(calls, [["--only", "toolbar", "--quiet"]] * 2)
        # LSScheduler.exe without options, on a finding.
        for line in REMEDIATION:
            self.assertIn(line, lines)

    def test_the_report_flags_a_laptop_without_a_log_and_names_its_folder_in_utf8(self):
        # (LogDirectory or None, last-run's status, text the report's line holds)
        rows = [(None, "WARN", "WARN: "),
                ("C:\\lssflow\\J\u00fcrgen\\Logs", "FAIL",
                 "FAIL: last-run: No log file in C:\\lssflow\\J\u00fcrgen\\Logs")]
        args = self.script(REPORT)[1][0]
        self.addCleanup(self.wine, "reg", "delete", r"HKCU\Software\Brinmoor", "/f")
        for folder, status, shown in rows:
            with self.subTest(folder=folder):
                self.wine("reg", "delete", r"HKCU\Software\Brinmoor", "/f")
                if folder is not None:
                    # Wine reads its arguments in the Unix locale's encoding.
                    added = subprocess.run([self.wine64, "reg", "add", SETTINGS, "/v", "LogDirectory",
                                            "/d", folder, "/f"], capture_output=True, timeout=120,
                                           env=dict(os.environ, WINEDEBUG="-all", LC_ALL="C.UTF-8"))
                    self.assertEqual(added.returncode, 0, added.stderr)
                run = subprocess.run([self.wine64, self.check_exe, *args], capture_output=True,
                                     env=dict(os.environ, WINEDEBUG="-all"), timeout=120)
                self.assertNotEqual(run.returncode, 0, "the report's exit rule gives 1")
                self.assertIn(shown, run.stdout.decode("utf-8"))
                # The same checks as one JSON object (which --quiet does not combine with).
                same_checks = [arg for arg in args if arg != "--quiet"] + ["--json"]
                report = json.loads(self.wine(self.check_exe, *same_checks).stdout)
                last_run = [c for c in report["checks"] if c["id"] == "last-run"]
                self.assertEqual([c["status"] for c in last_run], [status], last_run)

    def test_the_flow_lifts_a_block_while_the_report_keeps_the_failed_run(self):
        logs = pathlib.Path(os.environ["WINEPREFIX"]) / "drive_c" / "lssflow" / "logs"
        self.wine("reg", "delete", r"HKCU\Software\Brinmoor", "/f")
        self.addCleanup(self.wine, "reg", "delete", r"HKCU\Software\Brinmoor", "/f")
        for old in logs.glob("*"):
            old.unlink()
        logs.mkdir(parents=True, exist_ok=True)
        # What a run killed after its block leaves: the block pending, its log cut short.
        name, data = interrupted_log()
        (logs / name).write_bytes(data)
        for value, kind, content in [("LogDirectory", "REG_SZ", LOG_FOLDER),
                                     ("BlockToolbarLoad", "REG_DWORD", "1"),
                                     ("BlockToolbarLoadOrg", "REG_DWORD", "0")]:
            added = self.wine("reg", "add", SETTINGS, "/v", value, "/t", kind, "/d", content, "/f")
            self.assertEqual(added.returncode, 0, f"set {value}: {added.stderr.strip()}")

        with self.subTest("detection flags the pending block"):
            code, line = self.run_script(DETECT)
            self.assertEqual(code, 1, line)
            self.assertRegex(line, r"^WARN: toolbar:")
        with self.subTest("the report names the interrupted run"):
            code, line = self.run_script(REPORT)
            self.assertEqual(code, 1, line)
            self.assertRegex(line, r"^FAIL: last-run:.*was interrupted")

        with self.subTest("the remediation lifts the block"):
            self.assertEqual(self.remediate(), (0, "OK: nothing to do."))
        with self.subTest("the toolbar is given back"):
            restored = self.wine("reg", "query", SETTINGS, "/v", "BlockToolbarLoad").stdout
            self.assertIn("0x0", restored.split(), restored.strip())
        with self.subTest("the start without options left an empty log"):
            self.assertEqual(sorted(p.stat().st_size for p in logs.glob("Scheduler*.log")), [0, len(data)])

        with self.subTest("detection then passes"):
            self.assertEqual(self.run_script(DETECT), (0, "OK: nothing to do."))
        with self.subTest("the report still names the interrupted run"):
            code, line = self.run_script(REPORT)
            self.assertEqual(code, 1, line)
            self.assertRegex(line, r"^FAIL: last-run:.*was interrupted")
            self.assertIn("(and 1 later start without -s)", line)


if __name__ == "__main__":
    package_support.run(__doc__, RemediationFlow, "deploy", "wine64", "check_exe", "scheduler_exe")
