#!/usr/bin/env python3
# Prints a Windows shortcut's (.lnk) target path and working folder, a line each: what a start
# from the shortcut runs, and where. Usage: shortcut.py FILE.lnk
import struct
import sys

data = open(sys.argv[1], "rb").read()
flags = struct.unpack_from("<I", data, 0x14)[0]
at = 0x4C
if flags & 0x1:  # the target's item id list, skipped
    at += 2 + struct.unpack_from("<H", data, at)[0]
target = ""
if flags & 0x2:  # the link info, with the target's local path
    base = data[at + struct.unpack_from("<I", data, at + 16)[0]:]
    target = base.split(b"\0")[0].decode("latin-1")
    at += struct.unpack_from("<I", data, at)[0]
strings = {}
# The optional strings in their order: name, relative path, working folder, arguments, icon.
for bit in (0x4, 0x8, 0x10, 0x20, 0x40):
    if flags & bit:
        count = struct.unpack_from("<H", data, at)[0]
        strings[bit] = data[at + 2:at + 2 + 2 * count].decode("utf-16-le")
        at += 2 + 2 * count
print(target)
print(strings.get(0x10, ""))
