#!/usr/bin/env python3
"""Draws the bitmaps of the dock tests' toolbar resources: 4103 (five 32 x 32 images) and
4104 (two 16 x 16 images). Each image is a coloured square on magenta.

Usage: make_dock_test_pictures.py <output folder>
"""
import os
import struct
import sys

COLOURS = [(0xC0, 0, 0), (0, 0x80, 0), (0, 0, 0xC0), (0xC0, 0x80, 0), (0x80, 0, 0x80)]
MAGENTA = (0xFF, 0x00, 0xFF)


def write_bmp(path, width, height, pixel):
    stride = (width * 3 + 3) & ~3
    rows = []
    for y in range(height - 1, -1, -1):
        row = bytearray()
        for x in range(width):
            r, g, b = pixel(x, y)
            row += bytes((b, g, r))
        row += b'\0' * (stride - len(row))
        rows.append(bytes(row))
    data = b''.join(rows)
    header = struct.pack('<2sIHHI', b'BM', 14 + 40 + len(data), 0, 0, 14 + 40)
    info = struct.pack('<IiiHHIIiiII', 40, width, height, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    with open(path + '.tmp', 'wb') as f:
        f.write(header + info + data)
    os.replace(path + '.tmp', path)


def squares(size):
    def pixel(x, y):
        inner = x % size
        if 2 <= inner < size - 2 and 2 <= y < size - 2:
            return COLOURS[(x // size) % len(COLOURS)]
        return MAGENTA
    return pixel


def main():
    out = sys.argv[1]
    os.makedirs(out, exist_ok=True)
    write_bmp(os.path.join(out, 'dock_test_4103.bmp'), 160, 32, squares(32))
    write_bmp(os.path.join(out, 'dock_test_4104.bmp'), 32, 16, squares(16))
    return 0


if __name__ == '__main__':
    sys.exit(main())
