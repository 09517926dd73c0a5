#!/usr/bin/env python3
"""Draws the bitmaps of the dock tests' toolbar resources: 4103 (five 32 x 32 images),
4104 (two 16 x 16 images) and 4102 (five 16 x 16 images). Each image is a coloured square on magenta.

Usage: make_dock_test_pictures.py <output folder>
"""
import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', '..', 'res'))
from make_toolkit_pictures import write_bmp  # noqa: E402

COLOURS = [(0xC0, 0, 0), (0, 0x80, 0), (0, 0, 0xC0), (0xC0, 0x80, 0), (0x80, 0, 0x80)]
MAGENTA = (0xFF, 0x00, 0xFF)


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
    write_bmp(os.path.join(out, 'dock_test_4102.bmp'), 80, 16, squares(16))
    return 0


if __name__ == '__main__':
    sys.exit(main())
