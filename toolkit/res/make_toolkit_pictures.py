#!/usr/bin/env python3
"""Draws the toolkit's pictures for toolkit.rc: cursors (.cur) and bitmaps (.bmp).

Usage: make_toolkit_pictures.py <output folder>
Every picture is drawn from the small character maps below, so that nothing binary is kept
in the source tree. Bitmaps are 24-bit with magenta (FF00FF) where they are transparent.
"""
import os
import struct
import sys

MAGENTA = (0xFF, 0x00, 0xFF)
PALETTE = {
    '.': MAGENTA,
    '#': (0x00, 0x00, 0x00),
    'w': (0xFF, 0xFF, 0xFF),
    'g': (0x80, 0x80, 0x80),
    'l': (0xC0, 0xC0, 0xC0),
    'b': (0x00, 0x00, 0xC0),
    'r': (0xC0, 0x00, 0x00),
    'y': (0xE0, 0xC0, 0x40),
    'n': (0x80, 0x50, 0x20),
}


def write_bmp(path, width, height, pixel):
    """A 24-bit bitmap file; pixel(x, y) -> (r, g, b), y from the top. The file is written
    under another name and then renamed, so a build never sees half a picture."""
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


def strip(images, width, height):
    """Images (character maps, each `height` rows of `width` characters) side by side."""
    for art in images:
        assert len(art) == height, art
        for row in art:
            assert len(row) == width, row

    def pixel(x, y):
        art = images[x // width]
        return PALETTE[art[y][x % width]]
    return len(images) * width, height, pixel


def write_cur(path, art, hotspot):
    """A 32x32 monochrome cursor: '#' black, 'w' white, '.' transparent, 'x' inverted."""
    size = 32
    rows = [r.replace(' ', '.').ljust(size, '.') for r in art] + ['.' * size] * (size - len(art))

    def bits(pred):
        out = bytearray()
        for y in range(size - 1, -1, -1):  # bottom-up
            value = 0
            for x in range(size):
                value = (value << 1) | (1 if pred(rows[y][x]) else 0)
            out += struct.pack('>I', value)
        return bytes(out)
    # XOR plane: 1 where white or inverted; AND plane: 1 where transparent or inverted.
    xor = bits(lambda c: c in 'wx')
    andmask = bits(lambda c: c in '.x')
    info = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 1, 0, len(xor) + len(andmask), 0, 0, 2, 0)
    palette = bytes((0, 0, 0, 0, 255, 255, 255, 0))
    image = info + palette + xor + andmask
    directory = struct.pack('<HHH', 0, 2, 1)
    entry = struct.pack('<BBBBHHII', size, size, 0, 0, hotspot[0], hotspot[1], len(image), 6 + 16)
    with open(path, 'wb') as f:
        f.write(directory + entry + image)


# Cursors ------------------------------------------------------------------------------
ARROW_COPY = [  # 9008: drag with a copy mark
    '#', '##', '#w#', '#ww#', '#www#', '#wwww#', '#wwwww#', '#wwwwww#', '#wwwwwww#', '#wwwww#####',
    '#ww#ww#', '#w# #ww#', '##  #ww#', '#    #ww#', '     #ww#', '      ##',
    '', '          #########', '          #wwwwwww#', '          #www#www#', '          #www#www#',
    '          ##########', '          #www#www#', '          #www#www#', '          #wwwwwww#',
    '          #########']
ARROW_MOVE = [  # 9009: drag with a move box
    '#', '##', '#w#', '#ww#', '#www#', '#wwww#', '#wwwww#', '#wwwwww#', '#wwwwwww#', '#wwwww#####',
    '#ww#ww#', '#w# #ww#', '##  #ww#', '#    #ww#', '     #ww#', '      ##',
    '', '          #########', '          #wwwwwww#', '          #wwwwwww#', '          #wwwwwww#',
    '          #wwwwwww#', '          #wwwwwww#', '          #########']
NO_DROP = [  # 9011: nothing can be dropped here
    '', '      #######', '    ##wwwwwww##', '   #wwww###wwww#', '  #www##   ##www#', '  #ww###     #ww#',
    ' #ww#w##     #ww#', ' #ww# w##    #ww#', ' #ww#  w##   #ww#', ' #ww#   w##  #ww#', ' #ww#    w## #ww#',
    '  #ww#    w###ww#', '  #www##   ##www#', '   #wwww###wwww#', '    ##wwwwwww##', '      #######']
SPLIT_H = [  # 9970: a bar that moves left and right
    '', '', '', '', '', '', '', '', '', '',
    '             #  #', '             #ww#', '             #ww#', '      #      #ww#      #',
    '     ##      #ww#      ##', '    #w########ww########w#', '   #wwwwwwwwwwwwwwwwwwwwww#',
    '    #w########ww########w#', '     ##      #ww#      ##', '      #      #ww#      #',
    '             #ww#', '             #ww#', '             #  #']
SPLIT_V = [  # 9971: a bar that moves up and down
    '', '', '', '', '', '               #', '              #w#', '             #www#', '            ##www##',
    '              #w#', '              #w#', '              #w#', '     ##########w##########',
    '     #wwwwwwwwwwwwwwwwwwww#', '     ##########w##########', '              #w#', '              #w#',
    '              #w#', '            ##www##', '             #www#', '              #w#', '               #']
HAND = [  # 9973: a pointing hand
    '     ##', '    #ww#', '    #ww#', '    #ww#', '    #ww#', '    #ww###', '    #ww#ww###',
    '    #ww#ww#ww##', ' ## #ww#ww#ww#w#', '#ww##wwwwwwwww#w#', '#www#wwwwwwwwwww#', ' #ww#wwwwwwwwwww#',
    '  #w#wwwwwwwwwww#', '  #wwwwwwwwwwwww#', '   #wwwwwwwwwww#', '   #wwwwwwwwwww#', '    #wwwwwwwww#',
    '    #wwwwwwwww#', '     #wwwwwww#', '     #########']

# Bitmap 9000: eight 11 x 11 images of the browse button and its menu ---------------------
IMAGES_9000 = [
    ['...........', '...........', '..#######..', '..#wwwww#..', '..#w###w#..', '..#wwwww#..',
     '..#w###w#..', '..#wwwww#..', '..#######..', '...........', '...........'],  # file
    ['...........', '...........', '.####......', '#yyyy#####.', '#yyyyyyyy#.', '#yyyyyyyy#.',
     '#yyyyyyyy#.', '#yyyyyyyy#.', '##########.', '...........', '...........'],  # folder
    ['...........', '...........', '...........', '...........', '...........', '.##..##..##',
     '.##..##..##', '...........', '...........', '...........', '...........'],  # ellipsis
    ['...........', '....#......', '...##......', '..#########', '.##########', '..#########',
     '...##......', '....#......', '...........', '...........', '...........'],  # back
    ['...........', '...........', '...........', '...........', '.#########.', '..#######..',
     '...#####...', '....###....', '.....#.....', '...........', '...........'],  # drop-down
    ['...........', '...........', '.....#.....', '....###....', '...#####...', '..#######..',
     '.#########.', '...........', '...........', '...........', '...........'],  # up
    ['...........', '..#....#...', '...#..#....', '....##.....', '....##.....', '...#..#....',
     '..#....#...', '...........', '...........', '...........', '...........'],  # clear
    ['...........', '..bbbbbbb..', '.b.......b.', '.b..###..b.', '.b..#....b.', '.b..###..b.',
     '.b....#..b.', '.b..###..b.', '.b.......b.', '..bbbbbbb..', '...........'],  # search
]

# Bitmap 9002: caption glyphs, 16 x 15: push pin loose (normal), pressed in (hot), close ---
IMAGES_9002 = [
    ['................', '................', '................', '......#.........', '......##########',
     '......#w.....w#.', '......#w.....w#.', '#######w.....w#.', '......#gggggggg#', '......##########',
     '......#.........', '................', '................', '................', '................'],
    ['................', '................', '....#######.....', '....#w...##.....', '....#w...##.....',
     '....#w...##.....', '....#w...##.....', '....#w...##.....', '..###########...', '.......#........',
     '.......#........', '.......#........', '.......#........', '................', '................'],
    ['................', '................', '................', '....##....##....', '.....##..##.....',
     '......####......', '.......##.......', '......####......', '.....##..##.....', '....##....##....',
     '................', '................', '................', '................', '................'],
]

# Toolbar 9017 and its bitmap: images of the edit's context menu, 16 x 15 ----------------
TOOLBAR_9017_IDS = [57643, 57635, 57634, 57637, 57632]  # Undo, Cut, Copy, Paste, Delete
IMAGES_9017 = [
    ['................', '................', '................', '....#...........', '...##...........',
     '..#bbbbbbbb.....', '.#bbbbbbbbbb....', '..#bbbbbbbbbb...', '...##......bb...', '....#.......bb..',
     '............bb..', '...........bb...', '.........bbb....', '................', '................'],
    ['................', '.....#...#......', '.....#...#......', '.....#...#......', '.....##.##......',
     '......#.#.......', '......###.......', '.......#........', '......#.#.......', '....###.###.....',
     '...#..#.#..#....', '...#..#.#..#....', '...#..#.#..#....', '....##...##.....', '................'],
    ['................', '######..........', '#wwww##.........', '#w##w#w#........', '#wwww######.....',
     '#w##w#wwww##....', '#wwww#w##w#w#...', '#w##w#wwww####..', '#wwww#w##www##..', '######wwwwwww#..',
     '.....#w#####w#..', '.....#wwwwwww#..', '.....#########..', '................', '................'],
    ['................', '.....####.......', '.####ww####.....', '#nnn#ww#nnn#....', '#nnn####nnn#....',
     '#nnnnnnnnnn#....', '#nnnn#########..', '#nnnn#wwwwwww#..', '#nnnn#w#####w#..', '#nnnn#wwwwwww#..',
     '#nnnn#w#####w#..', '#nnnn#wwwwwww#..', '######wwwwwww#..', '.....#########..', '................'],
    ['................', '................', '..rr......rr....', '...rr....rr.....', '....rr..rr......',
     '.....rrrr.......', '......rr........', '.....rrrr.......', '....rr..rr......', '...rr....rr.....',
     '..rr......rr....', '................', '................', '................', '................'],
]


def main():
    out = sys.argv[1]
    os.makedirs(out, exist_ok=True)
    write_cur(os.path.join(out, 'tk_cursor_9008.cur'), ARROW_COPY, (0, 0))
    write_cur(os.path.join(out, 'tk_cursor_9009.cur'), ARROW_MOVE, (0, 0))
    write_cur(os.path.join(out, 'tk_cursor_9011.cur'), NO_DROP, (8, 8))
    write_cur(os.path.join(out, 'tk_cursor_9970.cur'), SPLIT_H, (15, 16))
    write_cur(os.path.join(out, 'tk_cursor_9971.cur'), SPLIT_V, (15, 13))
    write_cur(os.path.join(out, 'tk_cursor_9973.cur'), HAND, (5, 0))
    write_bmp(os.path.join(out, 'tk_bitmap_9000.bmp'), *strip(IMAGES_9000, 11, 11))
    write_bmp(os.path.join(out, 'tk_bitmap_9002.bmp'), *strip(IMAGES_9002, 16, 15))
    write_bmp(os.path.join(out, 'tk_toolbar_9017.bmp'), *strip(IMAGES_9017, 16, 15))
    assert len(TOOLBAR_9017_IDS) == len(IMAGES_9017)
    # The raw toolbar record: version, width, height, count, then the ids.
    with open(os.path.join(out, 'tk_toolbar_9017.bin'), 'wb') as f:
        f.write(struct.pack('<4H', 1, 16, 15, len(TOOLBAR_9017_IDS)))
        f.write(struct.pack('<%dH' % len(TOOLBAR_9017_IDS), *TOOLBAR_9017_IDS))


if __name__ == '__main__':
    main()
