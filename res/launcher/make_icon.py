#!/usr/bin/env python3
"""Draws the launcher's icon and writes it as a Windows .ico file.

The icon is a rounded blue tile with a white arrow pointing right (start), in 32x32 and
16x16 sizes, 32-bit colour with alpha. Usage: make_icon.py OUTPUT.ico
"""
import struct
import sys

BLUE = (0x2B, 0x6C, 0xB0)      # tile
DARK = (0x1A, 0x45, 0x75)      # tile border
WHITE = (0xFF, 0xFF, 0xFF)     # arrow


def inside_rounded(x, y, size, radius):
    """True when pixel (x, y) lies in a square of `size` with corners of `radius`."""
    cx = min(max(x + 0.5, radius), size - radius)
    cy = min(max(y + 0.5, radius), size - radius)
    return (x + 0.5 - cx) ** 2 + (y + 0.5 - cy) ** 2 <= radius ** 2


def inside_arrow(x, y, size):
    """A shaft and a triangular head, pointing right, centred in the tile."""
    u, v = (x + 0.5) / size, (y + 0.5) / size  # 0..1 across the tile
    shaft = 0.20 <= u <= 0.55 and 0.42 <= v <= 0.58
    head = 0.50 <= u <= 0.82 and abs(v - 0.5) <= (0.82 - u) * 0.9
    return shaft or head


def is_border(x, y, size, radius):
    """The one-pixel rim of the tile: inside it, but outside the tile shrunk by a pixel."""
    interior = 0 < x < size - 1 and 0 < y < size - 1
    return not interior or not inside_rounded(x - 1, y - 1, size - 2, radius - 1)


def pixels(size):
    """Rows of (r, g, b, a), top row first."""
    radius = size / 5
    rows = []
    for y in range(size):
        row = []
        for x in range(size):
            if not inside_rounded(x, y, size, radius):
                row.append((0, 0, 0, 0))
            elif is_border(x, y, size, radius):
                row.append(DARK + (0xFF,))
            elif inside_arrow(x, y, size):
                row.append(WHITE + (0xFF,))
            else:
                row.append(BLUE + (0xFF,))
        rows.append(row)
    return rows


def dib(size):
    """The icon image as a BITMAPINFOHEADER, BGRA pixels bottom-up, then the AND mask."""
    rows = pixels(size)
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    xor = b''.join(bytes((b, g, r, a)) for row in reversed(rows) for (r, g, b, a) in row)
    mask_stride = ((size + 31) // 32) * 4
    mask = bytearray()
    for row in reversed(rows):
        bits = bytearray(mask_stride)
        for x, (_, _, _, a) in enumerate(row):
            if a == 0:  # transparent where the mask bit is set
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    return header + xor + bytes(mask)


def main():
    sizes = [32, 16]
    images = [dib(s) for s in sizes]
    out = struct.pack('<HHH', 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, data in zip(sizes, images):
        out += struct.pack('<BBBBHHII', size, size, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    out += b''.join(images)
    with open(sys.argv[1], 'wb') as f:
        f.write(out)


if __name__ == '__main__':
    main()
