#!/usr/bin/env python3
"""Writes the sample toolbar's bitmap: 16 x 15 images side by side, 24-bit BMP.

Each image is a simple shape in its own colour on the button-face grey (192, 192, 192),
which the toolbar maps to the current 3-D colour when it loads the bitmap.
"""
import struct
import sys

W, H = 16, 15
FACE = (192, 192, 192)


def image(index):
    colours = [(0, 0, 160), (0, 128, 0), (160, 0, 0), (128, 0, 128), (0, 128, 128), (96, 64, 0)]
    colour = colours[index % len(colours)]
    pixels = [[FACE] * W for _ in range(H)]
    for y in range(H):
        for x in range(W):
            if index == 0 and 3 <= x <= 12 and 2 <= y <= 12:                # page
                pixels[y][x] = (255, 255, 255) if 4 <= x <= 11 and 3 <= y <= 11 else colour
            elif index == 1 and 2 <= x <= 13 and 4 <= y <= 11:              # folder
                pixels[y][x] = colour
            elif index == 2 and (x - 7.5) ** 2 + (y - 7) ** 2 <= 25:          # disc
                pixels[y][x] = colour
            elif index == 3 and abs(x - 7.5) + abs(y - 7) <= 6:              # diamond
                pixels[y][x] = colour
            elif index == 4 and (x == y or x == W - 1 - y) and 1 <= y <= 13:  # cross
                pixels[y][x] = colour
            elif index >= 5 and 6 <= x <= 9 and (2 <= y <= 3 or 5 <= y <= 12):  # "i"
                pixels[y][x] = colour
    return pixels


def main(path, count):
    width = W * count
    row_bytes = (width * 3 + 3) & ~3
    images = [image(i) for i in range(count)]
    rows = []
    for y in reversed(range(H)):  # bottom-up
        row = bytearray()
        for i in range(count):
            for x in range(W):
                r, g, b = images[i][y][x]
                row += bytes((b, g, r))
        row += b"\0" * (row_bytes - len(row))
        rows.append(bytes(row))
    data = b"".join(rows)
    header = struct.pack("<2sIHHI", b"BM", 14 + 40 + len(data), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, width, H, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    with open(path, "wb") as f:
        f.write(header + info + data)


if __name__ == "__main__":
    main(sys.argv[1], int(sys.argv[2]) if len(sys.argv) > 2 else 6)
