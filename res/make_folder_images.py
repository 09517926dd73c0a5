#!/usr/bin/env python3
"""Draws the folder tree's image strip and writes it as a 24-bit Windows .bmp file.

Eleven 16x16 images side by side, in the tree's image-index order: 0 the database root,
1 a view, 2 a folder, 3 calendar, 4 contacts, 5 to-do, 6 spare, 7 trash, 8 inbox,
9 diary, 10 sent. Magenta (255, 0, 255) is the transparent colour.
Usage: make_folder_images.py OUTPUT.bmp
"""
import struct
import sys

SIZE = 16
MAGENTA = (255, 0, 255)
BLACK = (0, 0, 0)
WHITE = (255, 255, 255)
FOLDER = (236, 190, 70)
FOLDER_DARK = (170, 120, 20)


def blank():
    return [[MAGENTA] * SIZE for _ in range(SIZE)]


def rect(img, x0, y0, x1, y1, colour, fill=True):
    """Fills (or outlines) the pixels x0..x1, y0..y1 inclusive."""
    for y in range(y0, y1 + 1):
        for x in range(x0, x1 + 1):
            if fill or x in (x0, x1) or y in (y0, y1):
                img[y][x] = colour


def folder(badge=None):
    img = blank()
    rect(img, 1, 3, 6, 4, FOLDER_DARK)            # tab
    rect(img, 1, 5, 14, 13, FOLDER)               # body
    rect(img, 1, 5, 14, 13, FOLDER_DARK, False)   # outline
    if badge:
        badge(img)
    return img


def database():
    img = blank()
    rect(img, 3, 2, 12, 13, (90, 120, 200))
    rect(img, 3, 2, 12, 13, (30, 50, 120), False)
    for y in (5, 8, 11):
        rect(img, 4, y, 11, y, WHITE)
    return img


def view():
    img = blank()
    rect(img, 2, 2, 13, 13, WHITE)
    rect(img, 2, 2, 13, 13, (80, 80, 80), False)
    rect(img, 2, 2, 13, 4, (60, 110, 190))
    for y in (7, 9, 11):
        rect(img, 4, y, 11, y, (120, 120, 120))
    return img


def dot(colour):
    return lambda img: rect(img, 9, 8, 13, 12, colour)


def envelope(img):
    rect(img, 5, 7, 13, 12, WHITE)
    rect(img, 5, 7, 13, 12, BLACK, False)
    for i in range(4):
        img[8 + i][6 + i] = BLACK
        img[8 + i][12 - i] = BLACK


def arrow(img):
    rect(img, 5, 9, 10, 10, (0, 140, 0))
    for i in range(4):
        rect(img, 11 + i // 2, 7 + i, 11 + i // 2, 12 - i, (0, 140, 0))


IMAGES = [
    database(),                      # 0 root
    view(),                          # 1 view, drafts
    folder(),                        # 2 folder
    folder(dot((200, 40, 40))),      # 3 calendar
    folder(dot((40, 120, 220))),     # 4 contacts
    folder(dot((40, 170, 60))),      # 5 to do
    folder(dot((150, 150, 150))),    # 6 spare
    folder(dot((90, 90, 90))),       # 7 trash, junk mail
    folder(envelope),                # 8 inbox
    folder(dot((160, 60, 200))),     # 9 diary
    folder(arrow),                   # 10 sent
]


def write_bmp(path, images):
    width, height = SIZE * len(images), SIZE
    row_bytes = (width * 3 + 3) & ~3
    pixels = bytearray()
    for y in range(height - 1, -1, -1):  # bottom-up
        row = bytearray()
        for img in images:
            for r, g, b in img[y]:
                row += bytes((b, g, r))
        row += b'\0' * (row_bytes - len(row))
        pixels += row
    header = struct.pack('<2sIHHI', b'BM', 14 + 40 + len(pixels), 0, 0, 14 + 40)
    info = struct.pack('<IiiHHIIiiII', 40, width, height, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
    with open(path, 'wb') as f:
        f.write(header + info + pixels)


if __name__ == '__main__':
    write_bmp(sys.argv[1], IMAGES)
