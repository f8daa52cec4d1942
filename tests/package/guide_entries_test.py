#!/usr/bin/env python3
"""guide_entries_test.py SOURCE_ROOT [unittest options]

Every entry the program can write to its log must have a row in the README's
troubleshooting table. The entry texts are the constants that follow a
"// Log entries:" comment in the core's sources (up to the next blank line);
every constant the core hands to a log write must be one of them. A printf
field in an entry (%s, %08lx, ...) matches any text in the table, so the
table can show "<command>" or a real code. Each row of the table must be an
entry the program writes, too.
"""
import pathlib
import re
import unittest

import package_support

MARKER = "// Log entries:"
TABLE_HEADING = "### Troubleshooting by log entry"

DECLARATION = re.compile(r'\b(k\w+)\s*=\s*((?:u"(?:[^"\\]|\\.)*"\s*)+);')
LITERAL = re.compile(r'u"((?:[^"\\]|\\.)*)"')
# Constants written to the log directly or as the pattern of FormatText.
LOG_WRITE = re.compile(r'\.Write(?:Quietly)?\(\s*(?:FormatText\(\s*)?(k\w+)')
FIELD = re.compile(r"%(?:[-0-9.]*l?[sdxXu]|\d+)")


def unescape(text):
    return re.sub(r"\\(.)", lambda m: {"n": "\n", "t": "\t"}.get(m.group(1), m.group(1)), text)


def entry_constants(root):
    """{name: (text, file)} of the constants in the marked blocks."""
    entries = {}
    for path, source in package_support.core_sources(root):
        lines = source.splitlines()
        for index, line in enumerate(lines):
            if not line.strip().startswith(MARKER):
                continue
            block = []
            for following in lines[index + 1:]:
                if not following.strip():
                    break
                block.append(following)
            for name, literals in DECLARATION.findall("\n".join(block)):
                text = "".join(unescape(part) for part in LITERAL.findall(literals))
                entries[name] = (text, path.relative_to(root))
    return entries


def written_constants(root):
    """{name: file} of the constants handed to a log write."""
    written = {}
    for path, source in package_support.core_sources(root):
        for name in LOG_WRITE.findall(source):
            written[name] = path.relative_to(root)
    return written


def table_entries(readme):
    """The code spans in the first column of the troubleshooting table."""
    text = readme.read_text(encoding="utf-8")
    start = text.find(TABLE_HEADING)
    if start < 0:
        return None
    cells = []
    for line in text[start:].splitlines()[1:]:
        if line.startswith("#"):
            break
        if line.startswith("|") and not line.startswith("|--") and not line.startswith("|-"):
            first = line.split("|")[1]
            cells.extend(re.findall(r"`([^`]+)`", first))
    return cells


def entry_pattern(text):
    pieces = FIELD.split(text)
    return re.compile(".+".join(re.escape(piece) for piece in pieces), re.DOTALL)


class GuideEntries(unittest.TestCase):
    source_root = None  # from the command line

    @classmethod
    def setUpClass(cls):
        root = pathlib.Path(cls.source_root)
        cls.entries = entry_constants(root)
        cls.written = written_constants(root)
        cls.cells = table_entries(root / "README.md")
        cls.patterns = {name: entry_pattern(text) for name, (text, _) in cls.entries.items()}

    def test_the_core_marks_its_log_entries(self):
        folders = ", ".join(package_support.CORE_FOLDERS)
        self.assertTrue(self.entries, f'no "{MARKER}" block found in {folders}')

    def test_every_constant_written_to_the_log_is_a_marked_entry(self):
        for name, path in self.written.items():
            with self.subTest(name):
                self.assertTrue(name in self.entries,
                                f'{path}: written to the log but not in a "{MARKER}" block')

    def test_the_readme_has_the_troubleshooting_table(self):
        self.assertIsNotNone(self.cells, f'README.md has no "{TABLE_HEADING}" section')

    def test_every_entry_has_a_row_in_the_table(self):
        for name, (text, path) in sorted(self.entries.items()):
            with self.subTest(name):
                self.assertTrue(any(self.patterns[name].fullmatch(cell) for cell in self.cells or []),
                                f'{path}: "{text}" is missing from the README\'s troubleshooting table')

    def test_every_row_of_the_table_is_an_entry_the_program_writes(self):
        for cell in self.cells or []:
            with self.subTest(cell):
                self.assertTrue(any(pattern.fullmatch(cell) for pattern in self.patterns.values()),
                                f'README.md: "{cell}" is no entry the program writes')


if __name__ == "__main__":
    package_support.run(__doc__, GuideEntries, "source_root")
