#!/usr/bin/env python3
"""Writes a small uncompressed AVI clip (24-bit frames) for the animation control test.

The clip shows a square moving across a light background, one frame per position.
"""
import struct
import sys

W, H, FRAMES = 32, 32, 4


def chunk(fourcc, data):
    pad = b"\0" if len(data) % 2 else b""
    return fourcc + struct.pack("<I", len(data)) + data + pad


def riff_list(kind, fourcc, payload):
    return kind + struct.pack("<I", len(payload) + 4) + fourcc + payload


def frame(n):
    row_bytes = W * 3  # 96: already a multiple of 4
    data = bytearray()
    for y in reversed(range(H)):
        for x in range(W):
            inside = n * 8 <= x < n * 8 + 8 and 12 <= y < 20
            data += bytes((40, 40, 200) if inside else (230, 240, 250))
    assert len(data) == row_bytes * H
    return bytes(data)


def main(path):
    frames = [frame(i) for i in range(FRAMES)]
    size = len(frames[0])
    avih = struct.pack("<IIIIIIIIII4I", 100000, size * 10, 0, 0x10, FRAMES, 0, 1, size, W, H, 0, 0, 0, 0)
    strh = struct.pack("<4s4sIHHIIIIIIIIhhhh", b"vids", b"DIB ", 0, 0, 0, 0, 1, 10, 0, FRAMES, size, 0, 0, 0, 0, W, H)
    strf = struct.pack("<IiiHHIIiiII", 40, W, H, 1, 24, 0, size, 0, 0, 0, 0)
    hdrl = riff_list(b"LIST", b"hdrl", chunk(b"avih", avih) +
                     riff_list(b"LIST", b"strl", chunk(b"strh", strh) + chunk(b"strf", strf)))
    movi_payload = b""
    index = b""
    for f in frames:
        offset = 4 + len(movi_payload)  # from the 'movi' fourcc
        movi_payload += chunk(b"00db", f)
        index += struct.pack("<4sIII", b"00db", 0x10, offset, len(f))
    movi = riff_list(b"LIST", b"movi", movi_payload)
    body = hdrl + movi + chunk(b"idx1", index)
    with open(path, "wb") as out:
        out.write(riff_list(b"RIFF", b"AVI ", body))


if __name__ == "__main__":
    main(sys.argv[1])
