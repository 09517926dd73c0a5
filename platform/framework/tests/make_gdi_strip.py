#!/usr/bin/env python3
"""Writes the drawing tests' image strip: two 16x16 images in a 4-bit BMP with a colour
table, as toolbar bitmaps are. Image 0 is a red 8x8 square in its top-left corner on the
mask colour (magenta); image 1 is solid blue.
"""
import struct
import sys

RED, BLUE, MAGENTA = 0, 1, 2           # palette indexes
PALETTE = [(0, 0, 255), (255, 0, 0), (255, 0, 255)] + [(0, 0, 0)] * 13  # (b, g, r)
W, H = 32, 16


def pixel(x, y):                       # y counts from the top
    if x >= 16:
        return BLUE
    return RED if x < 8 and y < 8 else MAGENTA


def main(path):
    rows = []
    for y in reversed(range(H)):       # BMP rows run bottom-up
        row = bytearray()
        for x in range(0, W, 2):
            row.append(pixel(x, y) << 4 | pixel(x + 1, y))
        rows.append(bytes(row))        # 16 bytes: already a multiple of 4
    data = b"".join(rows)
    palette = b"".join(bytes((b, g, r, 0)) for b, g, r in PALETTE)
    offset = 14 + 40 + len(palette)
    header = struct.pack("<2sIHHI", b"BM", offset + len(data), 0, 0, offset)
    info = struct.pack("<IiiHHIIiiII", 40, W, H, 1, 4, 0, len(data), 0, 0, 16, 16)
    with open(path, "wb") as f:
        f.write(header + info + palette + data)


if __name__ == "__main__":
    main(sys.argv[1])
