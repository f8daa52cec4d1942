#!/usr/bin/python3
"""set_msi_times.py MSI EPOCH

Sets the times in a Windows Installer package's summary information (created,
last saved, last printed: whichever it holds) to EPOCH (seconds since 1970, in
UTC), in place: wixl and msibuild write the time they ran, and the same commit
should give the same package. The package's structured storage is read and
written with olefile (Debian's python3-olefile); only the 8 bytes of each time
change.
"""
import struct
import sys

import olefile

SUMMARY = "\x05SummaryInformation"
# PIDSI_LASTPRINTED, PIDSI_CREATE_DTM, PIDSI_LASTSAVE_DTM; VT_FILETIME.
TIME_PROPERTIES = (11, 12, 13)
VT_FILETIME = 64
# FILETIME counts 100 ns from 1601-01-01; Unix time seconds from 1970-01-01.
FILETIME_AT_1970 = 116444736000000000


def main(msi, epoch):
    filetime = struct.pack("<Q", FILETIME_AT_1970 + epoch * 10_000_000)
    with olefile.OleFileIO(msi, write_mode=True) as storage:
        stream = bytearray(storage.openstream(SUMMARY).read())
        # The property set header (28 bytes), then the first section's format
        # ID (16) and offset (4); the section: its size, its count of
        # properties, then (ID, offset from the section) for each.
        (section,) = struct.unpack_from("<I", stream, 28 + 16)
        _, count = struct.unpack_from("<II", stream, section)
        changed = 0
        for index in range(count):
            identifier, offset = struct.unpack_from("<II", stream, section + 8 + 8 * index)
            if identifier not in TIME_PROPERTIES:
                continue
            (kind,) = struct.unpack_from("<I", stream, section + offset)
            if kind != VT_FILETIME:
                raise SystemExit(f"{msi}: summary property {identifier} is not a time")
            stream[section + offset + 4:section + offset + 12] = filetime
            changed += 1
        if changed == 0:
            raise SystemExit(f"{msi}: no times in its summary information")
        storage.write_stream(SUMMARY, bytes(stream))


if __name__ == "__main__":
    if len(sys.argv) != 3:
        raise SystemExit(f"usage: {sys.argv[0]} MSI EPOCH")
    main(sys.argv[1], int(sys.argv[2]))
