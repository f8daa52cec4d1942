#!/usr/bin/env python3
"""policy_template_test.py SOURCE_ROOT

The Group Policy template (deploy/policy/Larkspan.admx and its en-US ADML)
against the values the program reads: each policy writes, under the
program's settings key, a value the program reads as a setting, with the
type it reads it as (a text read with ReadSettingExpandable is written as
REG_EXPAND_SZ, any other text as REG_SZ); every such setting has a policy;
every string and presentation the ADMX refers to is in the ADML, and each
presentation shows exactly its policy's elements. The program's reads are
the ReadSettingInt/ReadSettingString/ReadSettingExpandable calls on the
Settings section in the scheduler's core; the names are the constants of
setting_names.h.
"""
import pathlib
import re
import sys
import xml.etree.ElementTree as ET

NS = {"p": "http://schemas.microsoft.com/GroupPolicy/2006/07/PolicyDefinitions"}
CORE_FOLDERS = ("src/app", "src/settings", "src/outlook", "src/diag")
NAMES_HEADER = "src/settings/setting_names.h"
# Read in the Settings section, but the program's own state (the toolbar
# block), which no administrator sets.
PROGRAM_STATE = {"BlockToolbarLoad", "BlockToolbarLoadOrg"}
READ = re.compile(r"ReadSetting(Int|String|Expandable)\(\s*kSettingsSection\s*,\s*(k\w+)")
CONSTANT = re.compile(r'constexpr std::u16string_view (k\w+) = u"([^"]*)";')
REFERENCE = re.compile(r"\$\((string|presentation)\.([^)]+)\)")
# The element that writes each kind of read, and the control that shows it.
ELEMENT_FOR = {"Int": "decimal", "String": "text", "Expandable": "text"}
CONTROL_FOR = {"decimal": "decimalTextBox", "text": "textBox"}
# The attribute that makes each element write another type (REG_SZ for a
# decimal, REG_EXPAND_SZ for a text), and whether each kind of read wants it.
OTHER_TYPE = {"decimal": "storeAsText", "text": "expandable"}
WANTS_OTHER_TYPE = {"Int": False, "String": False, "Expandable": True}


def local(element):
    return element.tag.split("}")[-1]


def program_settings(root):
    """The key the program reads and {value name: "Int" or "String"} of its settings."""
    names = dict(CONSTANT.findall((root / NAMES_HEADER).read_text(encoding="utf-8")))
    key = "Software\\{}\\{}\\{}".format(names["kVendorKey"], names["kApplicationName"],
                                        names["kSettingsSection"])
    reads = {}
    for folder in CORE_FOLDERS:
        for path in sorted((root / folder).glob("*.[ch]*")):
            for kind, constant in READ.findall(path.read_text(encoding="utf-8")):
                reads[names.get(constant, constant)] = kind
    return key, {name: kind for name, kind in reads.items() if name not in PROGRAM_STATE}


def main():
    root = pathlib.Path(sys.argv[1])
    admx = ET.parse(root / "deploy/policy/Larkspan.admx").getroot()
    adml = ET.parse(root / "deploy/policy/en-US/Larkspan.adml").getroot()
    key, settings = program_settings(root)
    problems = []
    if not settings:
        problems.append(f"no setting read found in {', '.join(CORE_FOLDERS)}")

    strings = {s.get("id") for s in adml.iterfind(".//p:stringTable/p:string", NS)}
    presentations = {p.get("id"): p for p in adml.iterfind(".//p:presentationTable/p:presentation", NS)}
    for element in admx.iter():
        for value in element.attrib.values():
            for table, name in REFERENCE.findall(value):
                if name not in (strings if table == "string" else presentations):
                    problems.append(f'{local(element)} {element.get("name", "")}: $({table}.{name}) is not in the ADML')

    covered = set()
    for policy in admx.iterfind(".//p:policies/p:policy", NS):
        name = policy.get("name")
        if policy.get("class") != "User":
            problems.append(f"{name}: not a user policy (the settings are per user)")
        if policy.get("key") != key:
            problems.append(f"{name}: key {policy.get('key')}, the program reads {key}")
        if policy.get("valueName") is not None:
            problems.append(f"{name}: writes {policy.get('valueName')} as on/off, which the program does not read")
        explain = policy.get("explainText", "")
        match = REFERENCE.fullmatch(explain)
        text = adml.find(f".//p:string[@id='{match.group(2)}']", NS) if match else None
        if text is None or "Software\\Policies" not in (text.text or ""):
            problems.append(f"{name}: its explanation does not say the key is outside Software\\Policies")
        elements = policy.find("p:elements", NS)
        elements = list(elements) if elements is not None else []
        if not elements:
            problems.append(f"{name}: writes no value")
        for element in elements:
            value, kind = element.get("valueName"), local(element)
            if value not in settings:
                problems.append(f"{name}: {value} is not a setting the program reads")
                continue
            covered.add(value)
            other_type = element.get(OTHER_TYPE.get(kind, "")) == "true"
            if kind != ELEMENT_FOR[settings[value]] or other_type != WANTS_OTHER_TYPE[settings[value]]:
                problems.append(f"{name}: {value} written by <{kind} {' '.join(element.attrib)}>, "
                                f"the program reads it with ReadSetting{settings[value]}")
        presentation = REFERENCE.fullmatch(policy.get("presentation", ""))
        shown = presentations.get(presentation.group(2)) if presentation else None
        controls = sorted((local(c), c.get("refId")) for c in shown) if shown is not None else []
        wanted = sorted((CONTROL_FOR.get(local(e), "?"), e.get("id")) for e in elements)
        if controls != wanted:
            problems.append(f"{name}: its presentation shows {controls}, its elements need {wanted}")

    for value in sorted(set(settings) - covered):
        problems.append(f"{value}: the program reads it, no policy sets it")

    for problem in problems:
        print("FAIL:", problem)
    if not problems:
        print(f"{len(covered)} settings, each with its policy: {', '.join(sorted(covered))}")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
