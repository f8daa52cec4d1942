#!/usr/bin/env python3
"""monitoring_test.py SOURCE_ROOT [unittest options]

docs/monitoring.md, the Windows Event Forwarding subscription
(deploy/wef/LSScheduler-subscription.xml) and the check tool's event agree:
the layout table has the fourteen insertion strings in order, its layout
version is the one the tool writes (check_events.h), every field a query
takes from the event's Data elements is taken from the position the table
gives that name, the queries and the subscription select the tool's source
and its three IDs, and the subscription is a source-initiated one for the
Application channel whose XPath is the one the guide shows. The queries
themselves cannot run here; this keeps them tied to the layout.
"""
import pathlib
import re
import unittest
import xml.etree.ElementTree as ET

import package_support
from package_support import local

GUIDE = "docs/monitoring.md"
SUBSCRIPTION = "deploy/wef/LSScheduler-subscription.xml"
EVENTS_HEADER = "src/check/check_events.h"
MESSAGES = "src/main/check_messages.mc"
NS = "http://schemas.microsoft.com/2006/03/windows/events/subscription"
SOURCE = "LSScheduler"
IDS = {1000, 1001, 1002}

ROW = re.compile(r"^\| (\d+) \| `(\w+)` \| .* \| `([^`]*)` \|$", re.MULTILINE)
BLOCK = re.compile(r"^```(\w+)\n(.*?)^```$", re.MULTILINE | re.DOTALL)
# A field taken from the Data elements: Kusto `Name = f(Data[i])`, Splunk
# `Name=mvindex(Data, i)`; both count from 0.
KUSTO_FIELD = re.compile(r"\b(\w+) = \w+\(Data\[(\d+)\]\)")
SPLUNK_FIELD = re.compile(r"\b(\w+)=mvindex\(Data, (\d+)\)")
FIELD_PATTERNS = {"kusto": KUSTO_FIELD, "spl": SPLUNK_FIELD}
LAYOUT_FILTER = {"kusto": re.compile(r"toint\(Layout\) >= (\d+)"),
                 "spl": re.compile(r"tonumber\(Layout\) >= (\d+)")}
KUSTO_IDS = re.compile(r"EventID (?:== (\d+)|in \(([\d, ]+)\))")
SPLUNK_IDS = re.compile(r"EventCode=(\d+)")
XPATH_IDS = re.compile(r"EventID=(\d+)")
LAYOUT = re.compile(r"kLayout = (\d+);")
INSERT = re.compile(r"%(\d+)")


def ids_in(pattern, text):
    found = set()
    for match in pattern.finditer(text):
        for group in match.groups():
            if group:
                found.update(int(i) for i in group.replace(" ", "").split(","))
    return found


class Monitoring(unittest.TestCase):
    source_root = None

    @classmethod
    def setUpClass(cls):
        root = pathlib.Path(cls.source_root)
        cls.guide = (root / GUIDE).read_text(encoding="utf-8")
        cls.subscription = ET.parse(root / SUBSCRIPTION).getroot()
        cls.layout = int(LAYOUT.search((root / EVENTS_HEADER).read_text(encoding="utf-8"))[1])
        cls.messages = (root / MESSAGES).read_text(encoding="utf-8")
        cls.table = {name: (int(position), example)
                     for position, name, example in ROW.findall(cls.guide)}
        cls.blocks = BLOCK.findall(cls.guide)

    def queries(self, language):
        found = [text for lang, text in self.blocks if lang == language]
        self.assertEqual(len(found), 2, f"a failed-runs and a no-event query in {language}")
        return found

    def test_the_table_lists_fourteen_strings_in_order(self):
        positions = sorted(position for position, _ in self.table.values())
        self.assertEqual(positions, list(range(1, 15)))
        self.assertEqual(len(self.table), 14, "each name once")

    def test_the_layout_row_gives_the_version_the_tool_writes(self):
        self.assertEqual(self.table["Layout"], (8, str(self.layout)))

    def test_the_message_table_uses_only_strings_of_the_layout(self):
        used = {int(n) for n in INSERT.findall(self.messages)} - {0}
        self.assertTrue(used, "the message table shows no insertion strings")
        self.assertLessEqual(max(used), len(self.table))

    def test_every_field_a_query_reads_is_at_its_tables_position(self):
        for language, pattern in FIELD_PATTERNS.items():
            read = [field for text in self.queries(language) for field in pattern.findall(text)]
            self.assertTrue(read, f"the {language} queries read no field")
            for name, index in read:
                with self.subTest(language=language, field=name):
                    self.assertIn(name, self.table, "a field the layout table does not have")
                    self.assertEqual(int(index) + 1, self.table[name][0])

    def test_the_failed_runs_queries_key_on_the_layout_version(self):
        for language, pattern in LAYOUT_FILTER.items():
            failed = self.queries(language)[0]
            with self.subTest(language=language):
                self.assertEqual(int(pattern.search(failed)[1]), self.layout)

    def test_the_queries_select_the_source_and_their_ids(self):
        rows = [("kusto", KUSTO_IDS, 'Source == "LSScheduler"'),
                ("spl", SPLUNK_IDS, 'Provider="LSScheduler"')]
        for language, ids, source in rows:
            failed, silent = self.queries(language)
            with self.subTest(language=language):
                self.assertIn(source, failed)
                self.assertIn(source, silent)
                self.assertEqual(ids_in(ids, failed), {1002})
                self.assertEqual(ids_in(ids, silent), IDS)
                self.assertIn("26h", silent)

    def test_the_subscription_is_source_initiated_for_the_application_channel(self):
        self.assertEqual(self.subscription.tag, f"{{{NS}}}Subscription")
        child = {local(element): element for element in self.subscription}
        self.assertEqual(child["SubscriptionType"].text, "SourceInitiated")
        self.assertEqual(child["SubscriptionId"].text, SOURCE)
        self.assertEqual(child["Enabled"].text, "true")
        self.assertEqual(child["LogFile"].text, "ForwardedEvents")
        self.assertIn("AllowedSourceDomainComputers", child)
        query_list = ET.fromstring(child["Query"].text)
        self.assertEqual(query_list.tag, "QueryList")
        (query,) = list(query_list)
        self.assertEqual(query.get("Path"), "Application")
        (select,) = list(query)
        self.assertEqual((select.tag, select.get("Path")), ("Select", "Application"))
        self.assertIn(f"Provider[@Name='{SOURCE}']", select.text)
        self.assertEqual(ids_in(XPATH_IDS, select.text), IDS)
        # The guide shows the same XPath.
        xpaths = [text.strip() for lang, text in self.blocks if lang == "xpath"]
        self.assertEqual(xpaths, [select.text])


if __name__ == "__main__":
    package_support.run(__doc__, Monitoring, "source_root")
