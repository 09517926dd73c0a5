#!/usr/bin/env python3
"""Draws the pictures of customize.rc: drag and editor cursors (.cur), the 42 button images
(bitmap 9322) and the button editor's sixteen toolbar images (9352 24-bit with a grey mask,
9353 32-bit with alpha).

Usage: make_customize_pictures.py <output folder>
The images are drawn from small shape descriptions below, so nothing binary is kept in the
source tree. The cursor and bitmap writers are those of make_toolkit_pictures.py.
"""
import math
import os
import struct
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from make_toolkit_pictures import write_bmp, write_cur  # noqa: E402

SIZE = 16


class Canvas:
    """A 16 x 16 picture of (r, g, b, a) pixels; a = 0 is transparent."""

    def __init__(self):
        self.px = [[(0, 0, 0, 0)] * SIZE for _ in range(SIZE)]

    def put(self, x, y, colour):
        if 0 <= x < SIZE and 0 <= y < SIZE:
            self.px[y][x] = tuple(colour) + (255,) if len(colour) == 3 else tuple(colour)

    def rect(self, x0, y0, x1, y1, fill=None, line=None):
        for y in range(y0, y1 + 1):
            for x in range(x0, x1 + 1):
                edge = x in (x0, x1) or y in (y0, y1)
                if edge and line is not None:
                    self.put(x, y, line)
                elif fill is not None:
                    self.put(x, y, fill)

    def ellipse(self, cx, cy, rx, ry, fill=None, line=None):
        for y in range(SIZE):
            for x in range(SIZE):
                d = ((x + 0.5 - cx) / rx) ** 2 + ((y + 0.5 - cy) / ry) ** 2
                if d <= 1.0:
                    inner = ((x + 0.5 - cx) / max(rx - 1, 0.5)) ** 2 + ((y + 0.5 - cy) / max(ry - 1, 0.5)) ** 2
                    if line is not None and inner > 1.0:
                        self.put(x, y, line)
                    elif fill is not None:
                        self.put(x, y, fill)

    def line(self, x0, y0, x1, y1, colour):
        n = max(abs(x1 - x0), abs(y1 - y0), 1)
        for i in range(n + 1):
            self.put(round(x0 + (x1 - x0) * i / n), round(y0 + (y1 - y0) * i / n), colour)

    def polygon(self, points, fill=None, line=None):
        for y in range(SIZE):
            for x in range(SIZE):
                if inside(points, x + 0.5, y + 0.5) and fill is not None:
                    self.put(x, y, fill)
        if line is not None:
            for i in range(len(points)):
                (ax, ay), (bx, by) = points[i], points[(i + 1) % len(points)]
                self.line(round(ax), round(ay), round(bx), round(by), line)


def inside(points, x, y):
    result = False
    j = len(points) - 1
    for i in range(len(points)):
        xi, yi = points[i]
        xj, yj = points[j]
        if (yi > y) != (yj > y) and x < (xj - xi) * (y - yi) / (yj - yi) + xi:
            result = not result
        j = i
    return result


BLACK = (0, 0, 0)
WHITE = (255, 255, 255)
GREY = (128, 128, 128)
RED = (200, 30, 30)
GREEN = (30, 150, 40)
BLUE = (30, 70, 200)
YELLOW = (240, 200, 40)
ORANGE = (240, 130, 30)
PURPLE = (140, 50, 170)
TEAL = (20, 150, 150)
BROWN = (140, 90, 40)
PINK = (230, 110, 170)
SKY = (110, 180, 240)


def star(c, colour, points=5, r_out=7.0, r_in=3.0):
    pts = []
    for i in range(points * 2):
        r = r_out if i % 2 == 0 else r_in
        a = -math.pi / 2 + i * math.pi / points
        pts.append((8 + r * math.cos(a), 8 + r * math.sin(a)))
    c.polygon(pts, fill=colour, line=BLACK)


def arrow(c, direction, colour):
    shapes = {
        'right': [(2, 6), (8, 6), (8, 2), (14, 8), (8, 14), (8, 10), (2, 10)],
        'left': [(14, 6), (8, 6), (8, 2), (2, 8), (8, 14), (8, 10), (14, 10)],
        'up': [(6, 14), (6, 8), (2, 8), (8, 2), (14, 8), (10, 8), (10, 14)],
        'down': [(6, 2), (6, 8), (2, 8), (8, 14), (14, 8), (10, 8), (10, 2)],
    }
    c.polygon(shapes[direction], fill=colour, line=BLACK)


def face(c, colour, happy=True):
    c.ellipse(8, 8, 7, 7, fill=colour, line=BLACK)
    c.put(5, 6, BLACK), c.put(10, 6, BLACK)
    if happy:
        c.line(5, 10, 7, 11, BLACK), c.line(8, 11, 10, 10, BLACK)
    else:
        c.line(5, 11, 7, 10, BLACK), c.line(8, 10, 10, 11, BLACK)


def button_images():
    """42 images for the customize sheet's "Change Button Image" popup."""
    makers = []
    makers.append(lambda c: face(c, YELLOW))
    makers.append(lambda c: face(c, SKY, happy=False))
    makers.append(lambda c: star(c, YELLOW))
    makers.append(lambda c: star(c, RED, points=6, r_in=4))
    makers.append(lambda c: c.ellipse(8, 8, 7, 7, fill=RED, line=BLACK))
    makers.append(lambda c: c.ellipse(8, 8, 7, 7, fill=GREEN, line=BLACK))
    makers.append(lambda c: c.ellipse(8, 8, 7, 7, fill=BLUE, line=BLACK))
    makers.append(lambda c: c.rect(2, 2, 13, 13, fill=RED, line=BLACK))
    makers.append(lambda c: c.rect(2, 2, 13, 13, fill=GREEN, line=BLACK))
    makers.append(lambda c: c.rect(2, 2, 13, 13, fill=BLUE, line=BLACK))
    makers.append(lambda c: c.polygon([(8, 1), (15, 8), (8, 15), (1, 8)], fill=PURPLE, line=BLACK))
    makers.append(lambda c: c.polygon([(8, 1), (15, 14), (1, 14)], fill=ORANGE, line=BLACK))
    for d, col in (('right', GREEN), ('left', GREEN), ('up', BLUE), ('down', BLUE)):
        makers.append(lambda c, d=d, col=col: arrow(c, d, col))

    def heart(c):
        c.ellipse(5, 6, 4, 4, fill=RED)
        c.ellipse(11, 6, 4, 4, fill=RED)
        c.polygon([(1.2, 7), (14.8, 7), (8, 15)], fill=RED)
    makers.append(heart)

    def check(c):
        for t in range(3):
            c.line(2, 8 + t, 6, 12 + t, GREEN)
            c.line(6, 12 + t, 13, 3 + t, GREEN)
    makers.append(check)

    def cross(c):
        for t in range(2):
            c.line(3 + t, 3, 12 + t, 12, RED)
            c.line(12 + t, 3, 3 + t, 12, RED)
    makers.append(cross)

    def plus(c):
        c.rect(6, 2, 9, 13, fill=GREEN, line=BLACK)
        c.rect(2, 6, 13, 9, fill=GREEN, line=BLACK)
        c.rect(7, 3, 8, 12, fill=GREEN)
        c.rect(3, 7, 12, 8, fill=GREEN)
    makers.append(plus)
    makers.append(lambda c: c.rect(2, 6, 13, 9, fill=RED, line=BLACK))

    def page(c):
        c.polygon([(3, 1), (10, 1), (13, 4), (13, 14), (3, 14)], fill=WHITE, line=BLACK)
        for y in (5, 7, 9, 11):
            c.line(5, y, 11, y, GREY)
    makers.append(page)

    def folder(c):
        c.polygon([(1, 4), (6, 4), (7, 5), (14, 5), (14, 13), (1, 13)], fill=YELLOW, line=BROWN)
    makers.append(folder)

    def disk(c):
        c.rect(2, 2, 13, 13, fill=BLUE, line=BLACK)
        c.rect(4, 2, 11, 6, fill=WHITE, line=BLACK)
        c.rect(5, 9, 10, 13, fill=GREY)
    makers.append(disk)

    def printer(c):
        c.rect(4, 1, 11, 5, fill=WHITE, line=BLACK)
        c.rect(1, 5, 14, 11, fill=GREY, line=BLACK)
        c.rect(4, 10, 11, 14, fill=WHITE, line=BLACK)
        c.put(12, 7, GREEN)
    makers.append(printer)

    def envelope(c):
        c.rect(1, 3, 14, 12, fill=WHITE, line=BLACK)
        c.line(1, 3, 8, 9, BLACK)
        c.line(14, 3, 8, 9, BLACK)
    makers.append(envelope)

    def clock(c):
        c.ellipse(8, 8, 7, 7, fill=WHITE, line=BLACK)
        c.line(8, 8, 8, 3, BLACK)
        c.line(8, 8, 11, 9, RED)
    makers.append(clock)

    def bell(c):
        c.polygon([(8, 1), (12, 5), (13, 11), (3, 11), (4, 5)], fill=YELLOW, line=BROWN)
        c.rect(7, 12, 8, 13, fill=BROWN)
    makers.append(bell)

    def key(c):
        c.ellipse(4.5, 8, 3.5, 3.5, fill=YELLOW, line=BROWN)
        c.rect(8, 7, 14, 8, fill=BROWN)
        c.rect(12, 9, 13, 10, fill=BROWN)
    makers.append(key)

    def lock(c):
        c.ellipse(8, 6, 4, 4.5, line=GREY)
        c.rect(3, 7, 12, 14, fill=YELLOW, line=BROWN)
        c.rect(7, 9, 8, 11, fill=BLACK)
    makers.append(lock)

    def magnifier(c):
        c.ellipse(6.5, 6.5, 5, 5, fill=SKY, line=BLACK)
        for t in range(2):
            c.line(10 + t, 11, 14 + t, 15, BROWN)
    makers.append(magnifier)

    def flag(c):
        c.line(3, 1, 3, 15, BLACK)
        c.rect(4, 2, 13, 8, fill=RED, line=BLACK)
    makers.append(flag)

    def bulb(c):
        c.ellipse(8, 6, 5, 5, fill=YELLOW, line=BROWN)
        c.rect(6, 11, 10, 14, fill=GREY, line=BLACK)
    makers.append(bulb)

    def note(c):
        c.ellipse(5, 12, 3, 2.5, fill=BLACK)
        c.line(7, 12, 7, 2, BLACK)
        c.line(7, 2, 12, 5, BLACK)
        c.line(7, 3, 12, 6, BLACK)
    makers.append(note)

    def house(c):
        c.polygon([(8, 1), (15, 8), (1, 8)], fill=RED, line=BLACK)
        c.rect(3, 8, 12, 14, fill=WHITE, line=BLACK)
        c.rect(7, 10, 9, 14, fill=BROWN)
    makers.append(house)

    def chart(c):
        c.rect(2, 9, 4, 14, fill=RED, line=BLACK)
        c.rect(6, 5, 8, 14, fill=GREEN, line=BLACK)
        c.rect(10, 2, 12, 14, fill=BLUE, line=BLACK)
    makers.append(chart)

    def table(c):
        c.rect(1, 2, 14, 13, fill=WHITE, line=BLACK)
        for y in (5, 8, 11):
            c.line(1, y, 14, y, GREY)
        c.line(6, 2, 6, 13, GREY)
    makers.append(table)
    makers.append(lambda c: c.ellipse(8, 8, 7, 4, fill=TEAL, line=BLACK))
    makers.append(lambda c: c.polygon([(8, 1), (14, 5), (14, 11), (8, 15), (2, 11), (2, 5)], fill=PINK, line=BLACK))
    makers.append(lambda c: star(c, SKY, points=4, r_in=2.5))
    makers.append(lambda c: (c.ellipse(8, 8, 7, 7, fill=WHITE, line=BLACK), c.ellipse(8, 8, 3, 3, fill=RED)))
    makers.append(lambda c: c.polygon([(1, 1), (14, 8), (1, 14), (5, 8)], fill=BLUE, line=BLACK))
    images = []
    for make in makers:
        c = Canvas()
        make(c)
        images.append(c)
    assert len(images) == 42, len(images)
    return images


def tool_images():
    """The editor's sixteen toolbar images: twelve tools and commands, four arrows."""
    makers = []

    def pencil(c):
        c.polygon([(12, 1), (15, 4), (5, 14), (2, 14), (2, 11)], fill=YELLOW, line=BLACK)
        c.line(2, 14, 3, 13, BLACK)
    makers.append(pencil)  # 9363

    def fill(c):
        c.polygon([(7, 2), (13, 8), (8, 13), (2, 7)], fill=WHITE, line=BLACK)
        c.polygon([(3, 7), (12, 7), (8, 12)], fill=BLUE)
        c.rect(13, 9, 14, 13, fill=BLUE)
    makers.append(fill)  # 9364

    def undo(c):
        c.polygon([(1, 6), (6, 1), (6, 4), (11, 4), (14, 7), (14, 13), (11, 13), (11, 8), (6, 8), (6, 11)],
                  fill=BLUE, line=BLACK)
    makers.append(undo)  # 9372

    def redo(c):
        c.polygon([(14, 6), (9, 1), (9, 4), (4, 4), (1, 7), (1, 13), (4, 13), (4, 8), (9, 8), (9, 11)],
                  fill=BLUE, line=BLACK)
    makers.append(redo)  # 9373

    def pick(c):
        c.polygon([(11, 1), (14, 4), (12, 6), (9, 3)], fill=BLACK)
        c.polygon([(9, 4), (11, 6), (4, 13), (2, 13), (2, 11)], fill=WHITE, line=BLACK)
        c.put(2, 14, BLUE)
    makers.append(pick)  # 9365

    def line(c):
        for t in range(2):
            c.line(2 + t, 13, 13 + t, 2, BLACK)
    makers.append(line)  # 9366

    def copy(c):
        c.rect(1, 1, 9, 10, fill=WHITE, line=BLACK)
        c.rect(6, 5, 14, 14, fill=WHITE, line=BLACK)
        for y in (8, 10, 12):
            c.line(8, y, 12, y, GREY)
    makers.append(copy)  # 9369

    def paste(c):
        c.rect(1, 2, 11, 14, fill=BROWN, line=BLACK)
        c.rect(4, 1, 8, 3, fill=GREY, line=BLACK)
        c.rect(7, 6, 14, 14, fill=WHITE, line=BLACK)
    makers.append(paste)  # 9370

    makers.append(lambda c: c.rect(2, 3, 13, 12, line=BLACK))  # 9367
    makers.append(lambda c: c.ellipse(8, 8, 6.5, 5.5, line=BLACK))  # 9368

    def clear(c):
        c.polygon([(9, 2), (14, 7), (7, 14), (2, 9)], fill=PINK, line=BLACK)
        c.polygon([(2, 9), (5, 6), (10, 11), (7, 14)], fill=WHITE, line=BLACK)
    makers.append(clear)  # 9371

    def open_file(c):
        c.polygon([(1, 3), (5, 3), (6, 4), (12, 4), (12, 13), (1, 13)], fill=YELLOW, line=BROWN)
        c.polygon([(3, 7), (15, 7), (12, 13), (1, 13)], fill=(250, 225, 120), line=BROWN)
    makers.append(open_file)  # 9374
    for d in ('left', 'down', 'up', 'right'):
        makers.append(lambda c, d=d: arrow(c, d, BLACK))
    images = []
    for make in makers:
        c = Canvas()
        make(c)
        images.append(c)
    assert len(images) == 16
    return images


def write_strip(path, images, background):
    def pixel(x, y):
        r, g, b, a = images[x // SIZE].px[y][x % SIZE]
        return (r, g, b) if a else background
    write_bmp(path, len(images) * SIZE, SIZE, pixel)


def write_strip32(path, images):
    """A 32-bit bottom-up BI_RGB bitmap whose top bytes are alpha."""
    width = len(images) * SIZE
    data = bytearray()
    for y in range(SIZE - 1, -1, -1):
        for x in range(width):
            r, g, b, a = images[x // SIZE].px[y][x % SIZE]
            data += bytes((b, g, r, a) if a else (0, 0, 0, 0))
    header = struct.pack('<2sIHHI', b'BM', 14 + 40 + len(data), 0, 0, 14 + 40)
    info = struct.pack('<IiiHHIIiiII', 40, width, SIZE, 1, 32, 0, len(data), 2835, 2835, 0, 0)
    with open(path, 'wb') as f:
        f.write(header + info + data)


# Cursors ---------------------------------------------------------------------------------
ARROW = ['#', '##', '#w#', '#ww#', '#www#', '#wwww#', '#wwwww#', '#wwwwww#', '#wwwwwww#', '#wwwww#####',
         '#ww#ww#', '#w# #ww#', '##  #ww#', '#    #ww#', '     #ww#', '      ##']
DRAG_COPY = ARROW + [  # 9301: a box holding a plus sign
    '', '          ###########', '          #wwwwwwwww#', '          #wwww#wwww#', '          #wwww#wwww#',
    '          #w#######w#', '          #wwww#wwww#', '          #wwww#wwww#', '          #wwwwwwwww#',
    '          ###########']
DRAG_MOVE = ARROW + [  # 9302: a dotted button outline
    '', '          # # # # # #', '', '          #         #', '', '          #         #', '',
    '          #         #', '', '          # # # # # #']
DRAG_NONE = ARROW + [  # 9303: a crossed box
    '', '          ###########', '          ##wwwwwww##', '          #w#wwwww#w#', '          #ww#www#ww#',
    '          #www#w#www#', '          #wwww#wwww#', '          #www#w#www#', '          #ww#www#ww#',
    '          #w#wwwww#w#', '          ##wwwwwww##', '          ###########']
CROSSHAIR = [  # 9375
    '       #', '       #', '       #', '       #', '       #', '       #', '',
    '######   ######', '', '       #', '       #', '       #', '       #', '       #', '       #']
PIPETTE = [  # 9376
    '           ###', '          #####', '         ######', '       #######', '        #####',
    '       #w###', '      #www#', '     #www#', '    #www#', '   #www#', '  #www#', ' #ww#', ' #w#', '#']
BUCKET = [  # 9377
    '     ##', '    #  #', '    #  #', '   ####ww#', '  #wwwwwwww#', ' #wwwwwwwwww#', '#wwwwwwwwww###',
    ' #wwwwwwww####', '  #wwwwww# ###', '   #wwww#  ##', '    #ww#   #', '     ##']
PENCIL = [  # 9378
    '            ##', '           #ww#', '          #w##w#', '         #w#w#w#', '        #w#w#w#',
    '       #w#w#w#', '      #w#w#w#', '     #w#w#w#', '    #w#w#w#', '   #w#w#w#', '  ##w#w#w#',
    '  #ww#w#', ' #www##', ' ####', '##']
VRESIZE = [  # 9972: edge sizing, a double arrow across a bar
    '', '', '', '', '', '', '', '', '', '',
    '          ##  ##', '          #w##w#', '     #    #w##w#    #', '    ##    #w##w#    ##',
    '   #w######w##w######w#', '  #wwwwwwwww##wwwwwwwww#', '   #w######w##w######w#', '    ##    #w##w#    ##',
    '     #    #w##w#    #', '          #w##w#', '          ##  ##']


def main():
    out = sys.argv[1]
    os.makedirs(out, exist_ok=True)
    write_cur(os.path.join(out, 'cz_cursor_9301.cur'), DRAG_COPY, (0, 0))
    write_cur(os.path.join(out, 'cz_cursor_9302.cur'), DRAG_MOVE, (0, 0))
    write_cur(os.path.join(out, 'cz_cursor_9303.cur'), DRAG_NONE, (0, 0))
    write_cur(os.path.join(out, 'cz_cursor_9375.cur'), CROSSHAIR, (7, 7))
    write_cur(os.path.join(out, 'cz_cursor_9376.cur'), PIPETTE, (0, 13))
    write_cur(os.path.join(out, 'cz_cursor_9377.cur'), BUCKET, (12, 11))
    write_cur(os.path.join(out, 'cz_cursor_9378.cur'), PENCIL, (0, 14))
    write_cur(os.path.join(out, 'cz_cursor_9972.cur'), VRESIZE, (12, 15))
    write_strip(os.path.join(out, 'cz_bitmap_9322.bmp'), button_images(), (0xFF, 0x00, 0xFF))
    tools = tool_images()
    write_strip(os.path.join(out, 'cz_bitmap_9352.bmp'), tools, (0xC0, 0xC0, 0xC0))
    write_strip32(os.path.join(out, 'cz_bitmap_9353.bmp'), tools)


if __name__ == '__main__':
    main()
