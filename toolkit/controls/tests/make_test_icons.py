#!/usr/bin/env python3
"""Writes the two 16x16 icons of the toolkit controls' tests as 32-bit .ico files with an
alpha channel: test_normal.ico is a green square with a red 4x4 mark in its top-left
corner on a transparent ring; test_hot.ico is the same with a blue square.
"""
import struct
import sys

S = 16


def pixels(square):
    out = []
    for y in range(S):
        row = []
        for x in range(S):
            if x in (0, S - 1) or y in (0, S - 1):
                row.append((0, 0, 0, 0))            # transparent ring
            elif x < 5 and y < 5:
                row.append((0, 0, 255, 255))        # red mark (b, g, r, a)
            else:
                row.append(square + (255,))
        out.append(row)
    return out


def ico(square):
    rows = pixels(square)
    xor = b"".join(bytes(p) for row in reversed(rows) for p in row)
    mask_row = 4  # 16 bits padded to 32
    mask = b""
    for row in reversed(rows):
        bits = 0
        for x, p in enumerate(row):
            if p[3] == 0:
                bits |= 1 << (31 - x)
        mask += struct.pack(">I", bits)
    header = struct.pack("<IiiHHIIiiII", 40, S, S * 2, 1, 32, 0, len(xor) + len(mask), 0, 0, 0, 0)
    image = header + xor + mask
    directory = struct.pack("<HHH", 0, 1, 1) + struct.pack("<BBBBHHII", S, S, 0, 0, 1, 32, len(image), 22)
    return directory + image


def main(folder):
    with open(folder + "/test_normal.ico", "wb") as f:
        f.write(ico((0, 160, 0)))
    with open(folder + "/test_hot.ico", "wb") as f:
        f.write(ico((255, 0, 0)))


if __name__ == "__main__":
    main(sys.argv[1])
