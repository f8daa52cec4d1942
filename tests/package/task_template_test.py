#!/usr/bin/env python3
"""task_template_test.py TASK_XML README

What Windows checks when it imports the task template (Wine's task service is
more lenient), and what the README promises about it: who it runs for and how,
its trigger and settings, and two actions equal to the command lines the
README shows: LSScheduler.exe, then LSSchedulerCheck.exe of the same folder,
whose exit code Task Scheduler keeps as the task's last result.
"""
import pathlib
import re
import sys
import xml.etree.ElementTree as ET

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
CHECK_ARGUMENTS = "--only last-run,toolbar --eventlog"


def seconds(duration):
    """The length of an ISO 8601 duration such as PT4H; -1 when missing or malformed."""
    match = DURATION.fullmatch(duration or "")
    if not match or duration in ("P", "PT") or duration.endswith("T"):
        return -1
    days, hours, minutes, secs = (int(part or 0) for part in match.groups())
    return ((days * 24 + hours) * 60 + minutes) * 60 + secs


def local(element):
    return element.tag.split("}")[-1]


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


def main():
    xml_path, readme = pathlib.Path(sys.argv[1]), pathlib.Path(sys.argv[2])
    raw = xml_path.read_bytes()
    root = ET.fromstring(raw)
    triggers = root.find("t:Triggers", NS)
    trigger_list = list(triggers) if triggers is not None else []
    trigger = trigger_list[0] if trigger_list else ET.Element("none")
    children = [local(child) for child in trigger]
    principal = root.find("t:Principals/t:Principal", NS)
    principal = principal if principal is not None else ET.Element("none")
    shown = readme_actions(readme) + [("", "")] * 2
    (program, arguments), (check_program, check_arguments) = shown[:2]
    actions = root.findall("t:Actions/*", NS)
    execs = [((text(action, "t:Command") or "").strip('"'), text(action, "t:Arguments") or "")
             for action in actions if local(action) == "Exec"] + [("", "")] * 2
    (command, command_arguments), (check_command, check_command_arguments) = execs[:2]

    checks = [
        ("UTF-16LE with a byte-order mark, as Windows exports",
         raw.startswith(b"\xff\xfe") and b'e\x00n\x00c\x00o\x00d\x00i\x00n\x00g\x00=\x00"\x00U\x00T\x00F\x00-\x001\x006\x00' in raw),
        ("schema 1.2 or later", tuple(map(int, root.get("version", "0").split("."))) >= (1, 2)),
        ("runs for the local Users group by SID", text(principal, "t:GroupId") == USERS_GROUP),
        ("names no single user", principal.find("t:UserId", NS) is None),
        ("only while the user is logged on: no stored password, no S4U",
         text(principal, "t:LogonType") in (None, "InteractiveToken")),
        ("least privilege", text(principal, "t:RunLevel") == "LeastPrivilege"),
        ("one trigger, a daily calendar trigger",
         len(trigger_list) == 1 and local(trigger) == "CalendarTrigger"
         and text(trigger, "t:ScheduleByDay/t:DaysInterval") == "1"),
        ("trigger children in the schema's order",
         children == sorted(children, key=lambda name: TRIGGER_ORDER.index(name) if name in TRIGGER_ORDER else -1)
         and all(name in TRIGGER_ORDER for name in children)),
        ("exactly one schedule in the trigger", len([n for n in children if n in SCHEDULES]) == 1),
        ("a start boundary", bool(text(trigger, "t:StartBoundary"))),
        ("a random delay of a few minutes at least", seconds(text(trigger, "t:RandomDelay")) >= 10 * 60),
        ("started when available after a missed start", text(root, "t:Settings/t:StartWhenAvailable") == "true"),
        ("no second instance while one runs", text(root, "t:Settings/t:MultipleInstancesPolicy") == "IgnoreNew"),
        ("stopped after a few hours",
         3600 <= seconds(text(root, "t:Settings/t:ExecutionTimeLimit")) <= 12 * 3600),
        ("starts on batteries", text(root, "t:Settings/t:DisallowStartIfOnBatteries") == "false"),
        ("not stopped on batteries", text(root, "t:Settings/t:StopIfGoingOnBatteries") == "false"),
        ("the actions run as the template's principal",
         root.find("t:Actions", NS) is not None and root.find("t:Actions", NS).get("Context") == principal.get("id")),
        ("two actions, both Exec", len(actions) == 2 and all(local(a) == "Exec" for a in actions)),
        ("first LSScheduler.exe", command.lower().endswith("\\lsscheduler.exe")),
        ("then LSSchedulerCheck.exe", check_command.lower().endswith("\\lsschedulercheck.exe")),
        ("both of the same folder", folder_of(command) == folder_of(check_command) != ""),
        ("the check judges the last run and the toolbar and writes an event",
         check_command_arguments == CHECK_ARGUMENTS),
        ("the README shows the two actions", len(shown) == 4),
        ("the program the README shows", command == program),
        ("the arguments the README shows", command_arguments == arguments),
        ("the check program the README shows", check_command == check_program),
        ("the check arguments the README shows", check_command_arguments == check_arguments),
        ("no profile: Outlook's default", "-p" not in arguments.split()),
    ]
    failed = [what for what, passed in checks if not passed]
    for what in failed:
        print("FAIL:", what)
    print(f"{len(checks) - len(failed)} of {len(checks)} checks passed")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
