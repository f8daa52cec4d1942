#!/usr/bin/env python3
"""task_template_test.py TASK_XML README [unittest options]

What Windows checks when it imports the task template (Wine's task service is
more lenient), and what the README promises about it: who it runs for and how,
its trigger and settings, and two actions equal to the command lines the
README shows: LSScheduler.exe, then LSSchedulerCheck.exe of the same folder,
whose exit code Task Scheduler keeps as the task's last result.
"""
import pathlib
import re
import unittest
import xml.etree.ElementTree as ET

import package_support
from package_support import local

NS = {"t": "http://schemas.microsoft.com/windows/2004/02/mit/task"}
USERS_GROUP = "S-1-5-32-545"
# A trigger's children come in this order (the schema's sequence); a
# CalendarTrigger's schedule is exactly one of the last four.
TRIGGER_ORDER = ["Enabled", "StartBoundary", "EndBoundary", "Repetition", "ExecutionTimeLimit",
                 "RandomDelay", "ScheduleByDay", "ScheduleByWeek", "ScheduleByMonth",
                 "ScheduleByMonthDayOfWeek"]
SCHEDULES = set(TRIGGER_ORDER[6:])
DURATION = re.compile(r"P(?:(\d+)D)?(?:T(?:(\d+)H)?(?:(\d+)M)?(?:(\d+)S)?)?")
COMMAND_LINE = re.compile(r'^"([^"]+\\LSScheduler(?:Check)?\.exe)" (.*)$')
README_ACTION_MARK = "The template's two actions"
UTF16_DECLARATION = 'encoding="UTF-16'.encode("utf-16-le")


def seconds(duration):
    """The length of an ISO 8601 duration such as PT4H; -1 when missing or malformed."""
    match = DURATION.fullmatch(duration or "")
    if not match or duration in ("P", "PT") or duration.endswith("T"):
        return -1
    days, hours, minutes, secs = (int(part or 0) for part in match.groups())
    return ((days * 24 + hours) * 60 + minutes) * 60 + secs


def text(root, path):
    found = root.find(path, NS)
    return None if found is None else (found.text or "").strip()


def readme_actions(readme):
    """The (program, arguments) of the command lines the README shows for the template:
    those right after the mark, up to the first line that is not one."""
    lines = readme.read_text(encoding="utf-8").splitlines()
    for index, line in enumerate(lines):
        if README_ACTION_MARK in line:
            actions = []
            for following in lines[index + 1:]:
                match = COMMAND_LINE.match(following.strip())
                if match:
                    actions.append((match.group(1), match.group(2)))
                elif actions:
                    return actions
    raise AssertionError(f'README.md shows no command lines after "{README_ACTION_MARK}"')


def folder_of(path):
    return path.rsplit("\\", 1)[0].lower()


class TaskTemplate(unittest.TestCase):
    task_xml = readme = None  # from the command line

    def setUp(self):
        self.raw = pathlib.Path(self.task_xml).read_bytes()
        self.root = ET.fromstring(self.raw)
        triggers = self.root.find("t:Triggers", NS)
        self.triggers = list(triggers) if triggers is not None else []
        self.trigger = self.triggers[0] if self.triggers else ET.Element("none")
        principal = self.root.find("t:Principals/t:Principal", NS)
        self.principal = principal if principal is not None else ET.Element("none")
        self.actions = self.root.findall("t:Actions/*", NS)
        # (command, arguments) of each Exec action, the command without its quotes.
        self.execs = [((text(action, "t:Command") or "").strip('"'), text(action, "t:Arguments") or "")
                      for action in self.actions if local(action) == "Exec"]

    def test_utf16le_with_a_byte_order_mark_as_windows_exports(self):
        self.assertEqual(self.raw[:2], b"\xff\xfe")
        self.assertIn(UTF16_DECLARATION, self.raw)

    def test_schema_1_2_or_later(self):
        self.assertGreaterEqual(tuple(map(int, self.root.get("version", "0").split("."))), (1, 2))

    def test_principal(self):
        rows = [("runs for the local Users group by SID", "t:GroupId", [USERS_GROUP]),
                ("names no single user", "t:UserId", [None]),
                ("only while the user is logged on: no stored password, no S4U", "t:LogonType",
                 [None, "InteractiveToken"]),
                ("least privilege", "t:RunLevel", ["LeastPrivilege"])]
        for what, path, allowed in rows:
            with self.subTest(what):
                self.assertIn(text(self.principal, path), allowed)

    def test_one_trigger_a_daily_calendar_trigger(self):
        self.assertEqual(len(self.triggers), 1)
        self.assertEqual(local(self.trigger), "CalendarTrigger")
        self.assertEqual(text(self.trigger, "t:ScheduleByDay/t:DaysInterval"), "1")

    def test_trigger_children_in_the_schemas_order_with_exactly_one_schedule(self):
        children = [local(child) for child in self.trigger]
        self.assertEqual([name for name in children if name not in TRIGGER_ORDER], [])
        self.assertEqual(children, sorted(children, key=TRIGGER_ORDER.index))
        self.assertEqual(len([name for name in children if name in SCHEDULES]), 1, children)

    def test_trigger_starts_at_a_boundary_after_a_random_delay_of_a_few_minutes_at_least(self):
        self.assertTrue(text(self.trigger, "t:StartBoundary"), "no start boundary")
        self.assertGreaterEqual(seconds(text(self.trigger, "t:RandomDelay")), 10 * 60)

    def test_settings(self):
        rows = [("started when available after a missed start", "StartWhenAvailable", "true"),
                ("no second instance while one runs", "MultipleInstancesPolicy", "IgnoreNew"),
                ("starts on batteries", "DisallowStartIfOnBatteries", "false"),
                ("not stopped on batteries", "StopIfGoingOnBatteries", "false")]
        for what, name, wanted in rows:
            with self.subTest(what):
                self.assertEqual(text(self.root, "t:Settings/t:" + name), wanted)

    def test_stopped_after_a_few_hours(self):
        limit = seconds(text(self.root, "t:Settings/t:ExecutionTimeLimit"))
        self.assertGreaterEqual(limit, 3600)
        self.assertLessEqual(limit, 12 * 3600)

    def test_the_actions_run_as_the_templates_principal(self):
        actions = self.root.find("t:Actions", NS)
        self.assertIsNotNone(actions)
        self.assertEqual(actions.get("Context"), self.principal.get("id"))

    def test_two_exec_actions_the_program_then_the_check_of_the_same_folder(self):
        self.assertEqual([local(action) for action in self.actions], ["Exec", "Exec"])
        (command, _), (check_command, check_arguments) = self.execs
        self.assertRegex(command, r"(?i)\\LSScheduler\.exe$")
        self.assertRegex(check_command, r"(?i)\\LSSchedulerCheck\.exe$")
        self.assertNotEqual(folder_of(command), "")
        self.assertEqual(folder_of(command), folder_of(check_command))
        # The check judges the last run and the toolbar and writes an event.
        self.assertEqual(check_arguments, "--only last-run,toolbar --eventlog")

    def test_the_actions_are_the_command_lines_the_readme_shows(self):
        shown = readme_actions(pathlib.Path(self.readme))
        self.assertEqual(len(shown), 2, shown)
        self.assertEqual(self.execs, shown)
        # No profile: Outlook's default.
        self.assertNotIn("-p", shown[0][1].split())


if __name__ == "__main__":
    package_support.run(__doc__, TaskTemplate, "task_xml", "readme")
