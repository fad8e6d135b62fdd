#!/usr/bin/env python3
# Packs PNG images into one Windows icon file, each image kept as PNG (as Windows Vista and later
# read them): PackIcon.py OUT.ico IN.png...
import struct
import sys

images = [open(name, "rb").read() for name in sys.argv[2:]]
header = struct.pack("<HHH", 0, 1, len(images))
offset = len(header) + 16 * len(images)
entries = b""
for data in images:
    width, height = struct.unpack(">II", data[16:24])  # from the PNG's IHDR chunk
    entries += struct.pack("<BBBBHHII", width % 256, height % 256, 0, 0, 1, 32, len(data), offset)
    offset += len(data)
with open(sys.argv[1], "wb") as out:
    out.write(header + entries + b"".join(images))
