#!/usr/bin/env python3
"""Draws the toolbars' pictures for dock.rc: bitmap 9407, the four system-command images
(restore, minimize, maximize, close; 16 x 16 each) of the menu bar's system buttons.

Usage: make_dock_pictures.py <output folder>
24-bit, magenta (FF00FF) where transparent; drawn from the character maps below.
"""
import os
import struct
import sys

MAGENTA = (0xFF, 0x00, 0xFF)
BLACK = (0x00, 0x00, 0x00)

GLYPHS = [
    # restore: two overlapping windows
    [
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
        "...#######......",
        "................",
        "................",
        "................",
        "................",
    ],
    # minimize: a bar at the bottom
    [
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
        "................",
    ],
    # maximize: one window with a thick top
    [
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
        "...#########....",
        "................",
        "................",
        "................",
        "................",
    ],
    # close: a cross
    [
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
    ],
]


def write_bmp(path, width, height, pixel):
    """pixel(x, y) -> (r, g, b), y from the top."""
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


def main():
    out = sys.argv[1]
    os.makedirs(out, exist_ok=True)

    def pixel(x, y):
        glyph = GLYPHS[x // 16]
        return BLACK if glyph[y][x % 16] == '#' else MAGENTA

    write_bmp(os.path.join(out, 'tk_bitmap_9407.bmp'), 64, 16, pixel)
    return 0


if __name__ == '__main__':
    sys.exit(main())
