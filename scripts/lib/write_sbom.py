#!/usr/bin/env python3
"""write_sbom.py OUT.cdx.json VERSION PATH=FILE...

Writes the CycloneDX 1.5 bill of materials of what ships: every shipped file
(PATH is its place in the package, FILE where it is now) with its SHA-256, and
the libraries linked into the two programs, each with the version and licence
of the Debian package it was built from, read from dpkg and the package's
copyright file on this machine. The time is SOURCE_DATE_EPOCH's (the commit's),
so the same commit gives the same file.
"""
import datetime
import hashlib
import json
import os
import re
import subprocess
import sys
import uuid

# Debian's short licence names (DEP-5) in SPDX's spelling.
SPDX_NAMES = {"expat": "MIT", "zpl-2.1": "ZPL-2.1"}

# What each program links statically, by the Debian package that holds it. A
# licence comes from the "Files:" paragraph of the package's copyright file
# that covers the library's sources; GCC's copyright file is not in that
# format and grants its runtime libraries under the runtime library exception.
LIBRARIES = [
    {"ref": "mingw-w64-crt", "name": "mingw-w64-crt", "package": "mingw-w64-x86-64-dev",
     "files": "*", "description": "the MinGW-w64 C runtime and Windows import libraries"},
    {"ref": "winpthreads", "name": "winpthreads", "package": "mingw-w64-x86-64-dev",
     "files": "mingw-w64-libraries/winpthreads/*", "description": "POSIX threads for Windows"},
    {"ref": "libgcc", "name": "libgcc", "package": "gcc-mingw-w64-x86-64-posix",
     "files": None, "description": "GCC's low-level runtime"},
    {"ref": "libstdc++", "name": "libstdc++", "package": "g++-mingw-w64-x86-64-posix",
     "files": None, "description": "the GNU C++ standard library"},
]
LINKED = {
    "LSScheduler.exe": ["mingw-w64-crt", "winpthreads", "libgcc", "libstdc++"],
    # The check tool writes its JSON itself: no JSON library is compiled in.
    "LSSchedulerCheck.exe": ["mingw-w64-crt", "winpthreads", "libgcc", "libstdc++"],
}


def dpkg_field(package, field):
    return subprocess.run(["dpkg-query", "-W", "-f", "${" + field + "}", package],
                          check=True, capture_output=True, text=True).stdout.strip()


def debian_licence(package, files):
    with open(f"/usr/share/doc/{package}/copyright", encoding="utf-8") as source:
        text = source.read()
    if files is None:
        if "GCC RUNTIME LIBRARY EXCEPTION" in text and "version 3" in text:
            return "GPL-3.0-or-later WITH GCC-exception-3.1"
        raise SystemExit(f"{package}: no runtime library exception in its copyright file")
    for paragraph in re.split(r"\n\s*\n", text):
        fields = dict(re.findall(r"^(Files|License):[ \t]*(.*)$", paragraph, re.MULTILINE))
        if files in fields.get("Files", "").split():
            name = fields.get("License", "").strip()
            return SPDX_NAMES.get(name.lower(), name)
    raise SystemExit(f"{package}: no Files: {files} in its copyright file")


def sha256(path):
    with open(path, "rb") as data:
        return hashlib.sha256(data.read()).hexdigest()


def main(argv):
    if len(argv) < 4 or any("=" not in entry for entry in argv[3:]):
        raise SystemExit(f"usage: {argv[0]} OUT.cdx.json VERSION PATH=FILE...")
    out, version = argv[1], argv[2]
    shipped = dict(entry.split("=", 1) for entry in argv[3:])
    epoch = int(os.environ.get("SOURCE_DATE_EPOCH", "0"))

    libraries = []
    for library in LIBRARIES:
        package = library["package"]
        package_version = dpkg_field(package, "Version")
        architecture = dpkg_field(package, "Architecture")
        libraries.append({
            "type": "library",
            "bom-ref": library["ref"],
            "name": library["name"],
            "version": package_version,
            "description": library["description"],
            "licenses": [{"expression": debian_licence(package, library["files"])}],
            "purl": f"pkg:deb/debian/{package}@{package_version}?arch={architecture}",
        })

    files = []
    for path in sorted(shipped):
        files.append({
            "type": "application" if path in LINKED else "file",
            "bom-ref": path,
            "name": path,
            "version": version,
            "hashes": [{"alg": "SHA-256", "content": sha256(shipped[path])}],
        })
    missing = [program for program in LINKED if program not in shipped]
    if missing:
        raise SystemExit(f"{argv[0]}: not given: {' '.join(missing)}")

    identity = json.dumps([version, files, libraries], sort_keys=True)
    bom = {
        "bomFormat": "CycloneDX",
        "specVersion": "1.5",
        "serialNumber": f"urn:uuid:{uuid.uuid5(uuid.NAMESPACE_URL, identity)}",
        "version": 1,
        "metadata": {
            "timestamp": datetime.datetime.fromtimestamp(epoch, datetime.timezone.utc)
                         .strftime("%Y-%m-%dT%H:%M:%SZ"),
            "component": {"type": "application", "bom-ref": "LSScheduler", "name": "LSScheduler",
                          "version": version, "supplier": {"name": "Brinmoor"}},
        },
        "components": files + libraries,
        "dependencies": [{"ref": "LSScheduler", "dependsOn": sorted(shipped)}] +
                        [{"ref": program, "dependsOn": LINKED[program]} for program in LINKED],
    }
    with open(out, "w", encoding="utf-8", newline="\n") as target:
        json.dump(bom, target, indent=2)
        target.write("\n")


if __name__ == "__main__":
    main(sys.argv)
