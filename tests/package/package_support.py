"""What the package tests written in Python share: how they take their
arguments from CTest and run under unittest, the core's sources they read,
the kit's calls of LSSchedulerCheck.exe, and XML tag names."""
import re
import sys
import unittest

CORE_FOLDERS = ("src/app", "src/settings", "src/outlook", "src/diag")

# A kit script's `& $check ...` line, up to a pipe; and its arguments.
CALL = re.compile(r"^\s*&\s*\$check\b([^|]*)")
TOKEN = re.compile(r"'([^']*)'|([^\s']+)")


def core_sources(root):
    """(path, text) of every source file of the scheduler's core, in a fixed order."""
    for folder in CORE_FOLDERS:
        for path in sorted((root / folder).glob("*.[ch]*")):
            yield path, path.read_text(encoding="utf-8")


def arguments(text):
    """The program's arguments in PowerShell's command mode (literal quotes only)."""
    result = []
    for match in TOKEN.finditer(text):
        quoted, bare = match.groups()
        if bare is not None and "," in bare:
            raise ValueError(f"unquoted comma in {bare!r}: PowerShell would split it")
        result.append(quoted if bare is None else bare)
    return result


def local(element):
    """An element's tag without its namespace."""
    return element.tag.split("}")[-1]


def run(usage, case, *names):
    """Sets `names` on the test case class `case` from the script's first
    arguments (exits 2 with the usage when some are missing), then runs the
    script's test cases; further arguments (-k, -f, ...) go to unittest."""
    if len(sys.argv) <= len(names):
        print(usage, file=sys.stderr)
        sys.exit(2)
    for name, value in zip(names, sys.argv[1:]):
        setattr(case, name, value)
    unittest.main(argv=sys.argv[:1] + sys.argv[len(names) + 1:], verbosity=2)
