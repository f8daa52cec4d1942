#!/usr/bin/env python3
"""task_template_test.py TASK_XML README

What Windows checks when it imports the task template (Wine's task service is
more lenient), and what the README promises about it: who it runs for and how,
its trigger and settings, and an action equal to the command line the README
shows.
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
COMMAND_LINE = re.compile(r'^"([^"]+\\LSScheduler\.exe)" (.*)$')
README_ACTION_MARK = "The template's action starts"


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


def readme_action(readme):
    """The program and arguments of the command line the README shows for the template."""
    lines = readme.read_text(encoding="utf-8").splitlines()
    for index, line in enumerate(lines):
        if README_ACTION_MARK in line:
            for following in lines[index + 1:]:
                match = COMMAND_LINE.match(following.strip())
                if match:
                    return match.group(1), match.group(2)
    raise AssertionError(f'README.md shows no command line after "{README_ACTION_MARK}"')


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
    program, arguments = readme_action(readme)
    command = (text(root, "t:Actions/t:Exec/t:Command") or "").strip('"')

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
        ("one action", len(root.findall("t:Actions/*", NS)) == 1),
        ("the program the README shows", command == program),
        ("the arguments the README shows", text(root, "t:Actions/t:Exec/t:Arguments") == arguments),
        ("no profile: Outlook's default", "-p" not in arguments.split()),
    ]
    failed = [what for what, passed in checks if not passed]
    for what in failed:
        print("FAIL:", what)
    print(f"{len(checks) - len(failed)} of {len(checks)} checks passed")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
