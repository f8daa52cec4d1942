#!/usr/bin/env python3
"""deploy_scripts_test.py DEPLOY_FOLDER README WINE64 CHECK_EXE [unittest options]

The deployment kit's PowerShell scripts, and the copies of them in
Rollout.txt and the README, call LSSchedulerCheck.exe only with arguments it
accepts: every `& $check ...` line is run under Wine (WINEPREFIX from the
environment) with the same arguments and must not end with 64 (wrong
arguments). An unquoted comma fails as well: PowerShell hands a comma list to
a program as separate arguments.
"""
import os
import pathlib
import subprocess
import unittest

import package_support

USAGE_ERROR = 64


class DeployScripts(unittest.TestCase):
    folder = readme = wine64 = check_exe = None  # from the command line

    def setUp(self):
        self.deploy = pathlib.Path(self.folder)
        self.scripts = sorted(self.deploy.glob("*.ps1"))

    def test_the_kit_has_the_detection_and_remediation_scripts(self):
        self.assertGreaterEqual(len(self.scripts), 2, f"PowerShell scripts in {self.deploy}")

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
