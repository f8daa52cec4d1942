#!/usr/bin/env python3
"""guide_entries_test.py SOURCE_ROOT

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
import sys

CORE_FOLDERS = ("src/app", "src/settings", "src/outlook", "src/diag")
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
    for folder in CORE_FOLDERS:
        for path in sorted((root / folder).glob("*.[ch]*")):
            lines = path.read_text(encoding="utf-8").splitlines()
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
    for folder in CORE_FOLDERS:
        for path in sorted((root / folder).glob("*.[ch]*")):
            for name in LOG_WRITE.findall(path.read_text(encoding="utf-8")):
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


def main():
    root = pathlib.Path(sys.argv[1])
    problems = []
    entries = entry_constants(root)
    if not entries:
        problems.append(f'no "{MARKER}" block found in {", ".join(CORE_FOLDERS)}')
    for name, path in written_constants(root).items():
        if name not in entries:
            problems.append(f'{path}: {name} is written to the log but is not in a "{MARKER}" block')

    cells = table_entries(root / "README.md")
    if cells is None:
        problems.append(f'README.md has no "{TABLE_HEADING}" section')
        cells = []
    patterns = {name: entry_pattern(text) for name, (text, _) in entries.items()}
    for name, (text, path) in sorted(entries.items()):
        if not any(patterns[name].fullmatch(cell) for cell in cells):
            problems.append(f'{path}: {name} "{text}" is missing from the README\'s troubleshooting table')
    # And no row for an entry the program no longer writes.
    for cell in cells:
        if not any(pattern.fullmatch(cell) for pattern in patterns.values()):
            problems.append(f'README.md: "{cell}" in the troubleshooting table is no entry the program writes')

    for problem in problems:
        print("FAIL:", problem)
    if not problems:
        print(f"{len(entries)} log entries, each in the README's troubleshooting table")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
