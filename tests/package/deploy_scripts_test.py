#!/usr/bin/env python3
"""deploy_scripts_test.py DEPLOY_FOLDER README WINE64 CHECK_EXE [unittest options]

The deployment kit's PowerShell scripts, and the copies of them in
Rollout.txt and the README, call LSSchedulerCheck.exe only with arguments it
accepts: every `& $check ...` line is run under Wine (WINEPREFIX from the
environment) with the same arguments and must not end with 64 (wrong
arguments). An unquoted comma fails as well: PowerShell hands a comma list to
a program as separate arguments. Each script sets PowerShell's console
output encoding to UTF-8 before it first runs the check, whose output to a
pipe is UTF-8.
"""
import os
import pathlib
import re
import subprocess
import unittest

import package_support

USAGE_ERROR = 64
# [Console]::OutputEncoding set to a UTF-8 encoding, in the forms PowerShell 5.1 takes.
UTF8_OUTPUT = re.compile(r"^\s*\[Console\]::OutputEncoding\s*=\s*(New-Object\s+System\.Text\.UTF8Encoding\b"
                         r"|\[(System\.)?Text\.(UTF8Encoding\]::new\(|Encoding\]::UTF8\b))", re.IGNORECASE)


class DeployScripts(unittest.TestCase):
    folder = readme = wine64 = check_exe = None  # from the command line

    def setUp(self):
        self.deploy = pathlib.Path(self.folder)
        self.scripts = sorted(self.deploy.glob("*.ps1"))

    def test_the_kit_has_the_detection_and_remediation_scripts(self):
        self.assertGreaterEqual(len(self.scripts), 2, f"PowerShell scripts in {self.deploy}")

    def test_each_script_reads_the_checks_output_as_utf8(self):
        for script in self.scripts:
            lines = script.read_text().splitlines()
            first_call = next((i for i, line in enumerate(lines) if package_support.CALL.match(line)), None)
            encoding = next((i for i, line in enumerate(lines) if UTF8_OUTPUT.match(line)), None)
            with self.subTest(script=script.name):
                self.assertIsNotNone(first_call, "never runs $check")
                self.assertIsNotNone(encoding, "never sets [Console]::OutputEncoding to UTF-8")
                self.assertLess(encoding, first_call, "sets the encoding only after running $check")

    def test_every_call_of_the_check_uses_only_options_it_accepts(self):
        environment = dict(os.environ, WINEDEBUG="-all")
        for script in self.scripts + [self.deploy / "Rollout.txt", pathlib.Path(self.readme)]:
            lines = script.read_text().splitlines()
            calls = [m.group(1) for m in map(package_support.CALL.match, lines) if m]
            with self.subTest(script=script.name):
                self.assertTrue(calls, f"{script.name} never runs $check")
            for call in calls:
                with self.subTest(script=script.name, call=call.strip()):
                    try:
                        args = package_support.arguments(call)
                    except ValueError as error:
                        raise self.failureException(error) from None
                    run = subprocess.run([self.wine64, self.check_exe, *args], env=environment,
                                         capture_output=True, text=True, errors="replace",
                                         timeout=120)
                    self.assertNotEqual(run.returncode, USAGE_ERROR, run.stderr.strip())


if __name__ == "__main__":
    package_support.run(__doc__, DeployScripts, "folder", "readme", "wine64", "check_exe")
