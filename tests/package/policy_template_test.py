#!/usr/bin/env python3
"""policy_template_test.py SOURCE_ROOT [unittest options]

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
import unittest
import xml.etree.ElementTree as ET

import package_support
from package_support import local

NS = {"p": "http://schemas.microsoft.com/GroupPolicy/2006/07/PolicyDefinitions"}
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


def program_settings(root):
    """The key the program reads and {value name: "Int" or "String"} of its settings."""
    names = dict(CONSTANT.findall((root / NAMES_HEADER).read_text(encoding="utf-8")))
    key = "Software\\{}\\{}\\{}".format(names["kVendorKey"], names["kApplicationName"],
                                        names["kSettingsSection"])
    reads = {}
    for _, source in package_support.core_sources(root):
        for kind, constant in READ.findall(source):
            reads[names.get(constant, constant)] = kind
    return key, {name: kind for name, kind in reads.items() if name not in PROGRAM_STATE}


def elements_of(policy):
    elements = policy.find("p:elements", NS)
    return list(elements) if elements is not None else []


class PolicyTemplate(unittest.TestCase):
    source_root = None  # from the command line

    @classmethod
    def setUpClass(cls):
        root = pathlib.Path(cls.source_root)
        cls.admx = ET.parse(root / "deploy/policy/Larkspan.admx").getroot()
        cls.adml = ET.parse(root / "deploy/policy/en-US/Larkspan.adml").getroot()
        cls.key, cls.settings = program_settings(root)
        cls.policies = list(cls.admx.iterfind(".//p:policies/p:policy", NS))
        cls.presentations = {p.get("id"): p for p in
                             cls.adml.iterfind(".//p:presentationTable/p:presentation", NS)}

    def test_the_program_reads_settings(self):
        folders = ", ".join(package_support.CORE_FOLDERS)
        self.assertTrue(self.settings, f"no setting read found in {folders}")

    def test_every_string_and_presentation_referred_to_is_in_the_adml(self):
        tables = {"string": {s.get("id") for s in self.adml.iterfind(".//p:stringTable/p:string", NS)},
                  "presentation": self.presentations}
        for element in self.admx.iter():
            for value in element.attrib.values():
                for table, name in REFERENCE.findall(value):
                    with self.subTest(f'{local(element)} {element.get("name", "")}: $({table}.{name})'):
                        self.assertIn(name, tables[table], "not in the ADML")

    def test_each_policy_is_a_user_policy_on_the_programs_key_without_an_on_off_value(self):
        rows = [("class", "User", "the settings are per user"),
                ("key", self.key, "the key the program reads"),
                ("valueName", None, "an on/off value, which the program does not read")]
        for policy in self.policies:
            for attribute, wanted, why in rows:
                with self.subTest(policy.get("name"), attribute=attribute):
                    self.assertEqual(policy.get(attribute), wanted, why)

    def test_each_explanation_says_the_key_is_outside_software_policies(self):
        for policy in self.policies:
            with self.subTest(policy.get("name")):
                match = REFERENCE.fullmatch(policy.get("explainText", ""))
                text = self.adml.find(f".//p:string[@id='{match.group(2)}']", NS) if match else None
                self.assertIsNotNone(text, "no explanation in the ADML")
                self.assertIn("Software\\Policies", text.text or "")

    def test_each_policy_writes_settings_the_program_reads_with_the_type_it_reads(self):
        for policy in self.policies:
            elements = elements_of(policy)
            with self.subTest(policy.get("name")):
                self.assertTrue(elements, "writes no value")
            for element in elements:
                value, kind = element.get("valueName"), local(element)
                with self.subTest(policy.get("name"), value=value):
                    self.assertIn(value, self.settings, "not a setting the program reads")
                    read = self.settings[value]
                    other_type = element.get(OTHER_TYPE.get(kind, "")) == "true"
                    self.assertEqual((kind, other_type), (ELEMENT_FOR[read], WANTS_OTHER_TYPE[read]),
                                     f"<{kind} {' '.join(element.attrib)}>, the program reads it "
                                     f"with ReadSetting{read}")

    def test_each_presentation_shows_exactly_its_policys_elements(self):
        for policy in self.policies:
            with self.subTest(policy.get("name")):
                presentation = REFERENCE.fullmatch(policy.get("presentation", ""))
                shown = self.presentations.get(presentation.group(2)) if presentation else None
                controls = sorted((local(c), c.get("refId")) for c in shown) if shown is not None else []
                wanted = sorted((CONTROL_FOR.get(local(e), "?"), e.get("id")) for e in elements_of(policy))
                self.assertEqual(controls, wanted)

    def test_every_setting_the_program_reads_has_a_policy(self):
        covered = {e.get("valueName") for policy in self.policies for e in elements_of(policy)}
        self.assertEqual(sorted(set(self.settings) - covered), [], "read by the program, set by no policy")


if __name__ == "__main__":
    package_support.run(__doc__, PolicyTemplate, "source_root")
