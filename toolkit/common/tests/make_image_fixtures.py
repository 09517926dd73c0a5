#!/usr/bin/env python3
"""Draws the image manager tests' pictures into the given folder:

  strip24.bmp      24-bit toolbar strip, two 16x16 images on magenta (the mask colour):
                   image 0 a red 8x8 square at (4, 4), image 1 solid blue; the top-left
                   pixel gives the mask colour.
  alpha32.bmp      32-bit strip with alpha, two 16x16 images: image 0 has pixel (x, y) =
                   B x*16, G y*16, R 128, A 255 - x*8; image 1 is green with alpha 128.
  alpha_odd.bmp    32-bit, 40x16 (not a multiple of 16).
  alpha_short.bmp  32-bit, 32x8 (shorter than the 16-pixel images cut from it).
  alpha_icons.ico  three images: 16x16 and 32x32 with 32 bits, 24x24 with 4 bits.
  plain_icons.ico  16x16 and 32x32 with 4 bits (no alpha).
  bad_icon.bin     an icon image header claiming 1000x1000 32-bit pixels, 40 bytes long.
  bad_group.bin    an icon group header claiming 50 entries, with one.
  bad_bitmap.bin   a 32-bit bitmap header claiming 1000x1000 pixels, with 64 bytes of them.
Icon images follow one rule so tests can predict them: pixel (x, y) from the top is
B = x * 255 // (w - 1), G = y * 255 // (h - 1), R = 64, A = 255; the top-left 2x2 pixels are
transparent (alpha 0, mask bit set).
"""
import os
import struct
import sys


def bmp_file(width, height, bits, rows_top_down, palette=b""):
    """A BMP file; rows_top_down: list of row byte strings, top first."""
    data = b"".join(reversed(rows_top_down))
    offset = 14 + 40 + len(palette)
    header = struct.pack("<2sIHHI", b"BM", offset + len(data), 0, 0, offset)
    colours = len(palette) // 4
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, bits, 0, len(data), 0, 0, colours, colours)
    return header + info + palette + data


def strip24():
    rows = []
    for y in range(16):
        row = bytearray()
        for x in range(32):
            if x >= 16:
                row += bytes((255, 0, 0))           # blue (b, g, r)
            elif 4 <= x < 12 and 4 <= y < 12:
                row += bytes((0, 0, 255))           # red
            else:
                row += bytes((255, 0, 255))         # magenta
        rows.append(bytes(row))                     # 96 bytes: a multiple of 4
    return bmp_file(32, 16, 24, rows)


def alpha_strip(width, height):
    rows = []
    for y in range(height):
        row = bytearray()
        for x in range(width):
            image, ix = divmod(x, 16)
            if image % 2 == 0:
                row += bytes((ix * 16, y * 16 % 256, 128, 255 - ix * 8))
            else:
                row += bytes((0, 200, 0, 128))
        rows.append(bytes(row))
    return bmp_file(width, height, 32, rows)


def icon_pixel(x, y, w, h):
    if x < 2 and y < 2:
        return (0, 0, 0, 0)
    return (x * 255 // (w - 1), y * 255 // (h - 1), 64, 255)


def mask_rows(w, h):
    stride = ((w + 31) // 32) * 4
    rows = []
    for y in range(h):
        bits = bytearray(stride)
        for x in range(w):
            if x < 2 and y < 2:
                bits[x // 8] |= 0x80 >> (x % 8)
        rows.append(bytes(bits))
    return rows


def icon_image_32(w, h):
    colour = [b"".join(bytes(icon_pixel(x, y, w, h)) for x in range(w)) for y in range(h)]
    info = struct.pack("<IiiHHIIiiII", 40, w, h * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    return info + b"".join(reversed(colour)) + b"".join(reversed(mask_rows(w, h)))


# 16-colour palette for 4-bit icons: index 0 black, 1 white, 2 red, 3 green, 4 blue.
PALETTE4 = [(0, 0, 0), (255, 255, 255), (0, 0, 255), (0, 255, 0), (255, 0, 0)] + [(0, 0, 0)] * 11


def icon_image_4(w, h):
    stride = ((w * 4 + 31) // 32) * 4
    colour = []
    for y in range(h):
        row = bytearray(stride)
        for x in range(w):
            index = 2 if x < w // 2 else 4          # red left half, blue right half
            if x < 2 and y < 2:
                index = 0
            row[x // 2] |= index << (4 if x % 2 == 0 else 0)
        colour.append(bytes(row))
    palette = b"".join(bytes((b, g, r, 0)) for b, g, r in PALETTE4)
    info = struct.pack("<IiiHHIIiiII", 40, w, h * 2, 1, 4, 0, 0, 0, 0, 16, 0)
    return info + palette + b"".join(reversed(colour)) + b"".join(reversed(mask_rows(w, h)))


def ico_file(images):
    """images: list of (w, h, bits, bytes)."""
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    entries, blobs = b"", b""
    for w, h, bits, blob in images:
        colours = 16 if bits == 4 else 0
        entries += struct.pack("<BBBBHHII", w % 256, h % 256, colours, 0, 1, bits, len(blob), offset)
        blobs += blob
        offset += len(blob)
    return out + entries + blobs


def main(folder):
    os.makedirs(folder, exist_ok=True)
    files = {
        "strip24.bmp": strip24(),
        "alpha32.bmp": alpha_strip(32, 16),
        "alpha_odd.bmp": alpha_strip(40, 16),
        "alpha_short.bmp": alpha_strip(32, 8),
        "alpha_icons.ico": ico_file([(16, 16, 32, icon_image_32(16, 16)), (32, 32, 32, icon_image_32(32, 32)),
                                     (24, 24, 4, icon_image_4(24, 24))]),
        "plain_icons.ico": ico_file([(16, 16, 4, icon_image_4(16, 16)), (32, 32, 4, icon_image_4(32, 32))]),
        "bad_icon.bin": struct.pack("<IiiHHIIiiII", 40, 1000, 2000, 1, 32, 0, 0, 0, 0, 0, 0),
        "bad_group.bin": struct.pack("<HHH", 0, 1, 50) + struct.pack("<BBBBHHIH", 16, 16, 0, 0, 1, 32, 1064, 1),
        "bad_bitmap.bin": struct.pack("<IiiHHIIiiII", 40, 1000, 1000, 1, 32, 0, 0, 0, 0, 0, 0) + bytes(64),
    }
    for name, data in files.items():
        path = os.path.join(folder, name)
        old = open(path, "rb").read() if os.path.exists(path) else None
        if old != data:
            with open(path, "wb") as f:
                f.write(data)


if __name__ == "__main__":
    main(sys.argv[1])
