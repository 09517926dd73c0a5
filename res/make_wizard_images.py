#!/usr/bin/env python3
"""Draws every picture of the wizard program and writes them into one folder.

Usage: make_wizard_images.py OUTPUT_FOLDER

Bitmaps (24-bit .bmp; magenta (255, 0, 255) is the transparent colour where a strip is
masked):
  header.bmp        130  the program header, white title on a blue gradient
  header_fill.bmp   131  the header's filler, stretched to the window's width
  marks.bmp         133  60 images of 16x16: 46 is the current step's arrow, 53 the done tick
  small_extra.bmp   135  four 16x16 images appended to the frame's small image list
  preview_N.bmp     187-191  the preview pane's header kinds (0 -> 187, 1 -> 188, 3 -> 189,
                    4 -> 190, 2 -> 191)
  large_N.bmp       195-200  32x27 images of the frame's large image list
  corner.bmp        213  the emblem in the page's bottom left corner
  toolbar.bmp       214  the toolbar's five 32x32 buttons (160x32), in the toolbar's order:
                    Add File(S), Add Domino File(S), Export, Help, home page
  weblink.bmp       223  the web-link pane's picture
Icons (.ico, 32x32 and 16x16, 32-bit with alpha): icon_N.ico for every icon id.
Clip: search.avi (207), a magnifier sweeping over three server boxes.
"""
import os
import struct
import sys

MAGENTA = (255, 0, 255)
WHITE = (255, 255, 255)
BLACK = (0, 0, 0)

# A 5x7 pixel font for the few words the pictures carry.
FONT = {
    'A': ["01110", "10001", "10001", "11111", "10001", "10001", "10001"],
    'B': ["11110", "10001", "10001", "11110", "10001", "10001", "11110"],
    'C': ["01110", "10001", "10000", "10000", "10000", "10001", "01110"],
    'D': ["11110", "10001", "10001", "10001", "10001", "10001", "11110"],
    'E': ["11111", "10000", "10000", "11110", "10000", "10000", "11111"],
    'F': ["11111", "10000", "10000", "11110", "10000", "10000", "10000"],
    'I': ["01110", "00100", "00100", "00100", "00100", "00100", "01110"],
    'K': ["10001", "10010", "10100", "11000", "10100", "10010", "10001"],
    'L': ["10000", "10000", "10000", "10000", "10000", "10000", "11111"],
    'M': ["10001", "11011", "10101", "10101", "10001", "10001", "10001"],
    'N': ["10001", "11001", "10101", "10011", "10001", "10001", "10001"],
    'O': ["01110", "10001", "10001", "10001", "10001", "10001", "01110"],
    'P': ["11110", "10001", "10001", "11110", "10000", "10000", "10000"],
    'R': ["11110", "10001", "10001", "11110", "10100", "10010", "10001"],
    'S': ["01111", "10000", "10000", "01110", "00001", "00001", "11110"],
    'T': ["11111", "00100", "00100", "00100", "00100", "00100", "00100"],
    'V': ["10001", "10001", "10001", "10001", "10001", "01010", "00100"],
    'W': ["10001", "10001", "10001", "10101", "10101", "11011", "10001"],
    'X': ["10001", "10001", "01010", "00100", "01010", "10001", "10001"],
    'Y': ["10001", "10001", "01010", "00100", "00100", "00100", "00100"],
    '>': ["10000", "01000", "00100", "00010", "00100", "01000", "10000"],
    '?': ["01110", "10001", "00001", "00110", "00100", "00000", "00100"],
    ' ': ["00000"] * 7,
}


class Picture:
    def __init__(self, w, h, colour=WHITE):
        self.w, self.h = w, h
        self.px = [[colour] * w for _ in range(h)]

    def put(self, x, y, c):
        if 0 <= x < self.w and 0 <= y < self.h:
            self.px[y][x] = c

    def rect(self, x0, y0, x1, y1, c, fill=True):
        for y in range(max(0, y0), min(self.h, y1 + 1)):
            for x in range(max(0, x0), min(self.w, x1 + 1)):
                if fill or x in (x0, x1) or y in (y0, y1):
                    self.px[y][x] = c

    def disc(self, cx, cy, r, c, ring=0.0):
        for y in range(self.h):
            for x in range(self.w):
                d = ((x + 0.5 - cx) ** 2 + (y + 0.5 - cy) ** 2) ** 0.5
                if d <= r and d >= ring:
                    self.px[y][x] = c

    def line(self, x0, y0, x1, y1, c, width=1):
        n = max(abs(x1 - x0), abs(y1 - y0), 1) * 2
        for i in range(n + 1):
            x = x0 + (x1 - x0) * i / n
            y = y0 + (y1 - y0) * i / n
            for dx in range(width):
                for dy in range(width):
                    self.put(int(round(x)) + dx - width // 2, int(round(y)) + dy - width // 2, c)

    def vgradient(self, top, bottom, x0=0, x1=None):
        x1 = self.w - 1 if x1 is None else x1
        for y in range(self.h):
            t = y / max(1, self.h - 1)
            c = tuple(int(top[i] + (bottom[i] - top[i]) * t) for i in range(3))
            for x in range(x0, x1 + 1):
                self.px[y][x] = c

    def text(self, x, y, s, c, scale=1):
        for ch in s:
            glyph = FONT.get(ch, FONT[' '])
            for gy, row in enumerate(glyph):
                for gx, bit in enumerate(row):
                    if bit == '1':
                        self.rect(x + gx * scale, y + gy * scale, x + gx * scale + scale - 1,
                                  y + gy * scale + scale - 1, c)
            x += 6 * scale

    def paste(self, other, x0, y0):
        """Copies other's pixels here; its magenta (transparent) pixels are left out."""
        for y in range(other.h):
            for x in range(other.w):
                if other.px[y][x] != MAGENTA:
                    self.put(x0 + x, y0 + y, other.px[y][x])


def write_bmp(path, pic):
    row_bytes = (pic.w * 3 + 3) & ~3
    data = bytearray()
    for y in range(pic.h - 1, -1, -1):
        row = bytearray()
        for r, g, b in pic.px[y]:
            row += bytes((b, g, r))
        data += row + b'\0' * (row_bytes - len(row))
    header = struct.pack('<2sIHHI', b'BM', 54 + len(data), 0, 0, 54)
    info = struct.pack('<IiiHHIIiiII', 40, pic.w, pic.h, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    with open(path, 'wb') as f:
        f.write(header + info + data)


def write_ico(path, draw):
    """draw(size) returns a Picture whose magenta pixels are transparent."""
    images = []
    for size in (32, 16):
        pic = draw(size)
        rows = [[(r, g, b, 0) if (r, g, b) == MAGENTA else (r, g, b, 255) for (r, g, b) in row] for row in pic.px]
        header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
        xor = b''.join(bytes((b, g, r, a)) for row in reversed(rows) for (r, g, b, a) in row)
        stride = ((size + 31) // 32) * 4
        mask = bytearray()
        for row in reversed(rows):
            bits = bytearray(stride)
            for x, (_, _, _, a) in enumerate(row):
                if a == 0:
                    bits[x // 8] |= 0x80 >> (x % 8)
            mask += bits
        images.append((size, header + xor + bytes(mask)))
    out = struct.pack('<HHH', 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, data in images:
        out += struct.pack('<BBBBHHII', size, size, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    out += b''.join(d for _, d in images)
    with open(path, 'wb') as f:
        f.write(out)


# ---- glyphs, drawn on a transparent square of any size -----------------------------------

def tile(size, colour, border):
    p = Picture(size, size, MAGENTA)
    r = size / 2 - 0.5
    p.disc(size / 2, size / 2, r, border)
    p.disc(size / 2, size / 2, r - max(1, size // 16), colour)
    return p


def arrow(p, direction, c):
    s = p.w
    w = max(2, s // 8)
    if direction in ('right', 'left'):
        y = s // 2
        a, b = int(s * 0.25), int(s * 0.75)
        p.line(a, y, b, y, c, w)
        tip, back = (b, b - s // 4) if direction == 'right' else (a, a + s // 4)
        p.line(tip, y, back, y - s // 4, c, w)
        p.line(tip, y, back, y + s // 4, c, w)
    else:
        x = s // 2
        a, b = int(s * 0.25), int(s * 0.75)
        p.line(x, a, x, b, c, w)
        tip, back = (b, b - s // 4) if direction == 'down' else (a, a + s // 4)
        p.line(x, tip, x - s // 4, back, c, w)
        p.line(x, tip, x + s // 4, back, c, w)


def cross(p, c):
    s = p.w
    w = max(2, s // 8)
    a, b = int(s * 0.3), int(s * 0.7)
    p.line(a, a, b, b, c, w)
    p.line(a, b, b, a, c, w)


def plus(p, c):
    s = p.w
    w = max(2, s // 8)
    p.line(s // 2, int(s * 0.25), s // 2, int(s * 0.75), c, w)
    p.line(int(s * 0.25), s // 2, int(s * 0.75), s // 2, c, w)


def minus(p, c):
    s = p.w
    p.line(int(s * 0.25), s // 2, int(s * 0.75), s // 2, c, max(2, s // 8))


def tick(p, c):
    s = p.w
    w = max(2, s // 8)
    p.line(int(s * 0.25), int(s * 0.5), int(s * 0.42), int(s * 0.7), c, w)
    p.line(int(s * 0.42), int(s * 0.7), int(s * 0.75), int(s * 0.3), c, w)


def square(p, c):
    s = p.w
    p.rect(int(s * 0.32), int(s * 0.32), int(s * 0.68), int(s * 0.68), c)


def eye(p, c):
    s = p.w
    p.disc(s / 2, s / 2, s * 0.3, c)
    p.disc(s / 2, s / 2, s * 0.16, BLACK)


def page(p, c):
    s = p.w
    p.rect(int(s * 0.28), int(s * 0.2), int(s * 0.72), int(s * 0.8), WHITE)
    p.rect(int(s * 0.28), int(s * 0.2), int(s * 0.72), int(s * 0.8), c, False)
    for y in (0.38, 0.5, 0.62):
        p.line(int(s * 0.36), int(s * y), int(s * 0.64), int(s * y), c)


def server(p, c):
    s = p.w
    for i in range(3):
        y0 = int(s * (0.22 + i * 0.2))
        p.rect(int(s * 0.25), y0, int(s * 0.75), y0 + max(2, s // 8), c)
        p.put(int(s * 0.68), y0 + 1, (0, 255, 0))


def letter(p, ch, c):
    scale = max(1, p.w // 12)
    p.text((p.w - 5 * scale) // 2, (p.h - 7 * scale) // 2, ch, c, scale)


def icon(colour, border, glyph, glyph_colour=WHITE):
    def draw(size):
        p = tile(size, colour, border)
        glyph(p, glyph_colour)
        return p
    return draw


BLUE, DARKBLUE = (43, 108, 176), (26, 69, 117)
GREEN, DARKGREEN = (46, 160, 67), (20, 100, 35)
RED, DARKRED = (210, 50, 40), (130, 20, 15)
ORANGE, DARKORANGE = (240, 150, 30), (160, 90, 10)
GREY, DARKGREY = (130, 130, 130), (70, 70, 70)
PURPLE, DARKPURPLE = (130, 70, 180), (80, 30, 120)
TEAL, DARKTEAL = (30, 150, 150), (10, 90, 90)

ICONS = {
    128: icon(BLUE, DARKBLUE, lambda p, c: letter(p, 'V', c)),          # the program
    134: icon(ORANGE, DARKORANGE, lambda p, c: letter(p, 'W', c)),      # please wait
    138: icon(BLUE, DARKBLUE, page),                                    # small list images
    139: icon(TEAL, DARKTEAL, page),
    140: icon(GREEN, DARKGREEN, page),
    141: icon(PURPLE, DARKPURPLE, page),
    142: icon(ORANGE, DARKORANGE, page),
    143: icon(GREY, DARKGREY, page),
    144: icon(RED, DARKRED, page),
    145: icon(BLUE, DARKBLUE, server),
    147: icon(GREEN, DARKGREEN, server),
    148: icon(TEAL, DARKTEAL, server),
    149: icon(PURPLE, DARKPURPLE, server),
    166: icon(GREEN, DARKGREEN, plus),                                  # Add File(s)
    167: icon(RED, DARKRED, minus),                                     # Remove File
    168: icon(RED, DARKRED, cross),                                     # Remove All Files
    169: icon(BLUE, DARKBLUE, lambda p, c: arrow(p, 'right', c)),       # Next
    170: icon(BLUE, DARKBLUE, lambda p, c: arrow(p, 'left', c)),        # Back
    171: icon(GREY, DARKGREY, cross),                                   # Exit
    172: icon(RED, DARKRED, square),                                    # Stop
    212: icon(TEAL, DARKTEAL, eye),                                     # Preview
    216: icon(ORANGE, DARKORANGE, lambda p, c: letter(p, 'W', c)),      # 32771 home page
    217: icon(GREEN, DARKGREEN, plus),                                  # 32773 add files
    218: icon(PURPLE, DARKPURPLE, lambda p, c: arrow(p, 'down', c)),    # 32775 export
    219: icon(BLUE, DARKBLUE, lambda p, c: letter(p, '?', c)),          # 32772 help
    220: icon(TEAL, DARKTEAL, server),                                  # 32774 Domino files
}


def strip(count, size, draw_one, height=None):
    height = height or size
    pic = Picture(size * count, height, MAGENTA)
    for i in range(count):
        pic.paste(draw_one(i), i * size, 0)
    return pic


def mark(i):
    if i == 46:
        p = tile(16, ORANGE, DARKORANGE)
        arrow(p, 'right', WHITE)
        return p
    if i == 53:
        p = tile(16, GREEN, DARKGREEN)
        tick(p, WHITE)
        return p
    colours = [(BLUE, DARKBLUE), (TEAL, DARKTEAL), (PURPLE, DARKPURPLE), (GREY, DARKGREY)]
    c, b = colours[i % len(colours)]
    p = Picture(16, 16, MAGENTA)
    p.rect(3, 3, 12, 12, c)
    p.rect(3, 3, 12, 12, b, False)
    return p


def header():
    pic = Picture(640, 60)
    pic.vgradient((20, 70, 150), (60, 130, 210))
    pic.text(24, 14, 'VORLIX', WHITE, 4)
    pic.text(200, 30, 'NSF TO PST', (255, 230, 120), 2)
    for x in range(560, 640):
        for y in range(60):
            t = (x - 560) / 80
            r, g, b = pic.px[y][x]
            pic.px[y][x] = (int(r + (40 - r) * t * 0.3), int(g + (110 - g) * t * 0.3), int(b + (190 - b) * t * 0.3))
    return pic


def header_fill():
    pic = Picture(16, 60)
    src = header()
    for y in range(60):
        for x in range(16):
            pic.px[y][x] = src.px[y][639]
    return pic


def preview(kind):
    colours = [(BLUE, 'CONTACT'), (GREEN, 'CARD'), (GREY, 'EMPTY'), (TEAL, 'CONTACTS'), (PURPLE, 'DONE')]
    c, word = colours[kind]
    pic = Picture(300, 40)
    pic.vgradient(WHITE, c)
    pic.text(10, 13, word, DARKBLUE if kind != 2 else BLACK, 2)
    return pic


def large(i):
    palette = [BLUE, GREEN, ORANGE, PURPLE, TEAL, RED]
    p = Picture(32, 27, MAGENTA)
    c = palette[i % len(palette)]
    p.rect(4, 3, 27, 23, c)
    p.rect(4, 3, 27, 23, BLACK, False)
    p.rect(8, 7, 23, 9, WHITE)
    p.rect(8, 12, 20, 13, WHITE)
    p.rect(8, 16, 17, 17, WHITE)
    return p


def corner():
    pic = Picture(120, 48)
    pic.vgradient((250, 250, 250), (225, 235, 250))
    pic.rect(0, 0, 119, 47, (170, 180, 200), False)
    emblem = tile(32, BLUE, DARKBLUE)
    letter(emblem, 'V', WHITE)
    pic.paste(emblem, 8, 8)
    pic.text(48, 20, 'VORLIX', DARKBLUE, 1)
    return pic


def toolbar():
    # The buttons in the order of the toolbar resource: 32773, 32774, 32775, 32772, 32771.
    order = (217, 220, 218, 219, 216)
    pic = Picture(32 * len(order), 32, MAGENTA)
    for i, rid in enumerate(order):
        pic.paste(ICONS[rid](32), i * 32, 0)
    return pic


def weblink():
    pic = Picture(180, 51)
    pic.vgradient((255, 255, 255), (255, 240, 190))
    pic.rect(0, 0, 179, 50, (230, 160, 30), False)
    pic.text(10, 8, 'VISIT', DARKBLUE, 2)
    pic.text(10, 28, 'WEB SITE', (200, 40, 30), 2)
    return pic


def avi(path):
    w, h, frames = 48, 32, 8

    def frame(n):
        pic = Picture(w, h, (250, 250, 250))
        for i in range(3):
            pic.rect(4 + i * 15, 6, 13 + i * 15, 25, (90, 110, 140))
            pic.rect(6 + i * 15, 9, 11 + i * 15, 10, (0, 200, 0))
        x = 4 + n * 5
        pic.disc(x + 5, 14, 6, (200, 60, 30), 4)
        pic.line(x + 9, 18, x + 13, 23, (200, 60, 30), 2)
        return pic

    def raw(pic):
        data = bytearray()
        for y in reversed(range(h)):
            for r, g, b in pic.px[y]:
                data += bytes((b, g, r))
        return bytes(data)

    def chunk(fourcc, data):
        return fourcc + struct.pack('<I', len(data)) + data + (b'\0' if len(data) % 2 else b'')

    def lst(kind, fourcc, payload):
        return kind + struct.pack('<I', len(payload) + 4) + fourcc + payload

    data = [raw(frame(i)) for i in range(frames)]
    size = len(data[0])
    avih = struct.pack('<IIIIIIIIII4I', 125000, size * 8, 0, 0x10, frames, 0, 1, size, w, h, 0, 0, 0, 0)
    strh = struct.pack('<4s4sIHHIIIIIIIIhhhh', b'vids', b'DIB ', 0, 0, 0, 0, 1, 8, 0, frames, size, 0, 0, 0, 0, w, h)
    strf = struct.pack('<IiiHHIIiiII', 40, w, h, 1, 24, 0, size, 0, 0, 0, 0)
    hdrl = lst(b'LIST', b'hdrl', chunk(b'avih', avih) + lst(b'LIST', b'strl', chunk(b'strh', strh) + chunk(b'strf', strf)))
    movi, index = b'', b''
    for f in data:
        index += struct.pack('<4sIII', b'00db', 0x10, 4 + len(movi), len(f))
        movi += chunk(b'00db', f)
    body = hdrl + lst(b'LIST', b'movi', movi) + chunk(b'idx1', index)
    with open(path, 'wb') as out:
        out.write(lst(b'RIFF', b'AVI ', body))


def main(folder):
    os.makedirs(folder, exist_ok=True)
    j = lambda name: os.path.join(folder, name)
    write_bmp(j('header.bmp'), header())
    write_bmp(j('header_fill.bmp'), header_fill())
    write_bmp(j('marks.bmp'), strip(60, 16, mark))
    extras = [icon(BLUE, DARKBLUE, page), icon(GREEN, DARKGREEN, tick), icon(RED, DARKRED, cross),
              icon(ORANGE, DARKORANGE, server)]
    write_bmp(j('small_extra.bmp'), strip(4, 16, lambda i: extras[i](16)))
    for rid, kind in ((187, 0), (188, 1), (191, 2), (189, 3), (190, 4)):
        write_bmp(j('preview_%d.bmp' % rid), preview(kind))
    for n, rid in enumerate(range(195, 201)):
        write_bmp(j('large_%d.bmp' % rid), large(n))
    write_bmp(j('corner.bmp'), corner())
    write_bmp(j('toolbar.bmp'), toolbar())
    write_bmp(j('weblink.bmp'), weblink())
    for rid, draw in ICONS.items():
        write_ico(j('icon_%d.ico' % rid), draw)
    avi(j('search.avi'))


if __name__ == '__main__':
    main(sys.argv[1])
