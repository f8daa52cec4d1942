#!/usr/bin/env python3
"""policy_template_test.py SOURCE_ROOT [unittest options]

The Group Policy template (deploy/policy/Larkspan.admx and its ADMLs, en-US
and de-DE) against the values the program reads: each policy writes, under
the program's settings key, a value the program reads as a setting, with the
type it reads it as (a text read with ReadSettingExpandable is written as
REG_EXPAND_SZ, any other text as REG_SZ); every such setting has a policy;
every string and presentation the ADMX refers to is in each ADML, each
presentation shows exactly its policy's elements, and the ADMLs define the
same strings and presentations, each string translated. The program's reads
are the ReadSettingInt/ReadSettingString/ReadSettingExpandable calls on the
Settings section in the scheduler's core; the names are the constants of
setting_names.h.

The ADMX also keeps to what Intune's "Import ADMX" takes: no key under
System, Software\Microsoft or Software\Policies\Microsoft, a namespace of
its own, and a `using` only of a namespace Intune has built in.
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
LANGUAGES = ("en-US", "de-DE")
# Names, the same in every language.
UNTRANSLATED = {"Larkspan", "LSScheduler"}
# Intune refuses policies under these keys (compared case-insensitively).
FORBIDDEN_KEYS = ("System", "Software\\Microsoft", "Software\\Policies\\Microsoft")
# The namespaces an ADMX imported into Intune may use: those Intune has built in.
INTUNE_NAMESPACES = {"Microsoft.Policies.Windows"}
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


def strings_of(adml):
    """{id: text} of an ADML's string table."""
    return {s.get("id"): s.text or "" for s in adml.iterfind(".//p:stringTable/p:string", NS)}


def presentations_of(adml):
    return {p.get("id"): p for p in adml.iterfind(".//p:presentationTable/p:presentation", NS)}


def layout(presentation):
    """A presentation's controls and their attributes, without the texts shown."""
    return [(local(control), sorted(control.attrib.items())) for control in presentation.iter()]


def under(key, prefix):
    """Whether registry key `key` is `prefix` or below it, as Windows compares names."""
    key, prefix = key.strip("\\").casefold(), prefix.casefold()
    return key == prefix or key.startswith(prefix + "\\")


def elements_of(policy):
    elements = policy.find("p:elements", NS)
    return list(elements) if elements is not None else []


class PolicyTemplate(unittest.TestCase):
    source_root = None  # from the command line

    @classmethod
    def setUpClass(cls):
        root = pathlib.Path(cls.source_root)
        cls.admx = ET.parse(root / "deploy/policy/Larkspan.admx").getroot()
        cls.adml_bytes = {language: (root / f"deploy/policy/{language}/Larkspan.adml").read_bytes()
                          for language in LANGUAGES}
        cls.admls = {language: ET.fromstring(data) for language, data in cls.adml_bytes.items()}
        cls.adml = cls.admls["en-US"]
        cls.key, cls.settings = program_settings(root)
        cls.policies = list(cls.admx.iterfind(".//p:policies/p:policy", NS))
        cls.presentations = {language: presentations_of(adml) for language, adml in cls.admls.items()}

    def test_the_program_reads_settings(self):
        folders = ", ".join(package_support.CORE_FOLDERS)
        self.assertTrue(self.settings, f"no setting read found in {folders}")

    def test_every_string_and_presentation_referred_to_is_in_each_adml(self):
        for language, adml in self.admls.items():
            tables = {"string": strings_of(adml), "presentation": self.presentations[language]}
            for element in self.admx.iter():
                for value in element.attrib.values():
                    for table, name in REFERENCE.findall(value):
                        with self.subTest(f'{local(element)} {element.get("name", "")}: $({table}.{name})',
                                          language=language):
                            self.assertIn(name, tables[table], f"not in the {language} ADML")

    def test_the_admls_define_the_same_strings_and_presentations(self):
        english = self.admls["en-US"]
        for language, adml in self.admls.items():
            rows = [("string ids", sorted(strings_of(adml)), sorted(strings_of(english))),
                    ("presentations", {i: layout(p) for i, p in self.presentations[language].items()},
                     {i: layout(p) for i, p in self.presentations["en-US"].items()})]
            for what, found, wanted in rows:
                with self.subTest(what, language=language):
                    self.assertEqual(found, wanted)

    def test_each_translation_translates_every_string_but_names(self):
        english = strings_of(self.admls["en-US"])
        for language, adml in self.admls.items():
            if language == "en-US":
                continue
            for name, text in strings_of(adml).items():
                with self.subTest(name, language=language):
                    if name in UNTRANSLATED:
                        self.assertEqual(text, english.get(name), "a name is the same in every language")
                    else:
                        self.assertNotEqual(text.strip(), english.get(name, "").strip(), "not translated")
                        self.assertTrue(text.strip(), "empty")

    def test_each_adml_is_utf8_xml(self):
        for language, data in self.adml_bytes.items():
            with self.subTest(language):
                self.assertTrue(data.startswith(b'<?xml version="1.0" encoding="utf-8"?>'),
                                "no UTF-8 XML declaration")
                data.decode("utf-8")  # raises on a byte that is not UTF-8

    def test_the_admx_keeps_to_what_intune_imports(self):
        target = self.admx.findall("p:policyNamespaces/p:target", NS)
        usings = self.admx.findall("p:policyNamespaces/p:using", NS)
        prefixes = {e.get("prefix") for e in target + usings}
        rows = [("one target namespace", len(target), 1)]
        rows += [(f"target {e.get('namespace')} is its own, not Microsoft's",
                  e.get("namespace", "").casefold().startswith("microsoft.policies."), False)
                 for e in target]
        rows += [(f"using {e.get('namespace')} is one Intune has",
                  e.get("namespace") in INTUNE_NAMESPACES, True) for e in usings]
        for element in self.admx.iter():
            key = element.get("key")
            if key is not None:
                rows.append((f"{local(element)} {element.get('name', element.get('id', ''))}: "
                             f"key {key} outside {', '.join(FORBIDDEN_KEYS)}",
                             [p for p in FORBIDDEN_KEYS if under(key, p)], []))
            ref = element.get("ref", "")
            if ":" in ref:
                rows.append((f"{local(element)} ref {ref} uses a declared prefix",
                             ref.split(":")[0] in prefixes, True))
        for what, found, wanted in rows:
            with self.subTest(what):
                self.assertEqual(found, wanted)

    def test_each_policy_is_a_user_policy_on_the_programs_key_without_an_on_off_value(self):
        rows = [("class", "User", "the settings are per user"),
                ("key", self.key, "the key the program reads"),
                ("valueName", None, "an on/off value, which the program does not read")]
        for policy in self.policies:
            for attribute, wanted, why in rows:
                with self.subTest(policy.get("name"), attribute=attribute):
                    self.assertEqual(policy.get(attribute), wanted, why)

    def test_each_explanation_says_the_key_is_outside_software_policies(self):
        for language, adml in self.admls.items():
            for policy in self.policies:
                with self.subTest(policy.get("name"), language=language):
                    match = REFERENCE.fullmatch(policy.get("explainText", ""))
                    text = adml.find(f".//p:string[@id='{match.group(2)}']", NS) if match else None
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
                shown = self.presentations["en-US"].get(presentation.group(2)) if presentation else None
                controls = sorted((local(c), c.get("refId")) for c in shown) if shown is not None else []
                wanted = sorted((CONTROL_FOR.get(local(e), "?"), e.get("id")) for e in elements_of(policy))
                self.assertEqual(controls, wanted)

    def test_every_setting_the_program_reads_has_a_policy(self):
        covered = {e.get("valueName") for policy in self.policies for e in elements_of(policy)}
        self.assertEqual(sorted(set(self.settings) - covered), [], "read by the program, set by no policy")


if __name__ == "__main__":
    package_support.run(__doc__, PolicyTemplate, "source_root")
