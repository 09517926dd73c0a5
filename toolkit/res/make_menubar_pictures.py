#!/usr/bin/env python3
"""Draws the menu bar's picture for menubar.rc: the four system-command images.

Usage: make_menubar_pictures.py <output folder>
Bitmap 9407 is 64 x 16, 24-bit, magenta (FF00FF) where it is transparent: restore,
minimize, maximize and close, 16 x 16 each, drawn from the character maps below.
"""
import os
import struct
import sys

COLOURS = {'.': (0xFF, 0x00, 0xFF), '#': (0x00, 0x00, 0x00)}

RESTORE = [
    "................",
    "................",
    "................",
    ".....#######....",
    ".....#######....",
    ".....#.....#....",
    "...#######.#....",
    "...#######.#....",
    "...#.....###....",
    "...#.....#......",
    "...#.....#......",
    "...#.....#......",
    "...#######......",
    "................",
    "................",
    "................",
]
MINIMIZE = [
    "................",
    "................",
    "................",
    "................",
    "................",
    "................",
    "................",
    "................",
    "................",
    "................",
    "................",
    "....######......",
    "....######......",
    "................",
    "................",
    "................",
]
MAXIMIZE = [
    "................",
    "................",
    "................",
    "...#########....",
    "...#########....",
    "...#.......#....",
    "...#.......#....",
    "...#.......#....",
    "...#.......#....",
    "...#.......#....",
    "...#.......#....",
    "...#.......#....",
    "...#########....",
    "................",
    "................",
    "................",
]
CLOSE = [
    "................",
    "................",
    "................",
    "....##....##....",
    ".....##..##.....",
    "......####......",
    ".......##.......",
    "......####......",
    ".....##..##.....",
    "....##....##....",
    "................",
    "................",
    "................",
    "................",
    "................",
    "................",
]


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
    with open(path, 'wb') as f:
        f.write(header + info + data)


def main():
    out = sys.argv[1]
    os.makedirs(out, exist_ok=True)
    images = [RESTORE, MINIMIZE, MAXIMIZE, CLOSE]
    write_bmp(os.path.join(out, 'tk_bitmap_9407.bmp'), 64, 16,
              lambda x, y: COLOURS[images[x // 16][y][x % 16]])


if __name__ == '__main__':
    main()
