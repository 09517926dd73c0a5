#!/usr/bin/env python3
"""Writes the colour manager's expected table (62 colours and gradients 1 to 7 for the colour
schemes 0 to 3) for fixed sets of system colours, computed from the colour rules directly:
system colours, classic defaults, blends, contrast corrections, derived colours, the
schemes' fixed colours and gradients. Output: a C++ header for the colour manager tests.

    make_color_table.py <output header>
"""
import math
import sys

# System colour sets, indexes 1 to 27 (COLORREF values, 0x00BBGGRR).
SYSTEM_SETS = {
    # The classic Windows look.
    "classic": [
        0xC8D0D4, 0xA56E3A, 0x808080, 0xD4D0C8, 0xFFFFFF, 0x000000, 0x000000, 0x000000,
        0xFFFFFF, 0xD4D0C8, 0xD4D0C8, 0x808080, 0x6A240A, 0xFFFFFF, 0xC8D0D4, 0x808080,
        0x808080, 0x000000, 0xC8D0D4, 0xFFFFFF, 0x404040, 0xD4D0C8, 0x000000, 0xE1FFFF,
        0xB5B5B5, 0x800000, 0xF0CAA6,
    ],
    # Black face, bright text: the dark ends of every rule.
    "dark": [
        0x000000, 0x800080, 0x008000, 0x000000, 0x000000, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF,
        0xFFFFFF, 0x800080, 0x008000, 0x808080, 0x800080, 0xFFFFFF, 0x000000, 0x808080,
        0x00FF00, 0xFFFFFF, 0x000000, 0xFFFFFF, 0x000000, 0xFFFFFF, 0xFFFFFF, 0x000000,
        0x00FFFF, 0x800080, 0x008000,
    ],
    # Coloured face and window: the push toward white and the pull toward the face.
    "tinted": [
        0x9EC8B0, 0x5A3A20, 0xA0A0A0, 0xE8E0F0, 0xE0F0FF, 0x203040, 0x101010, 0x102030,
        0xF0F0F0, 0xB0B8C0, 0xC0C8D0, 0x707070, 0x3090E0, 0x000000, 0x7090B0, 0x405060,
        0x8090A0, 0x102030, 0x90A0B0, 0xF8FCFF, 0x203040, 0xA0C0D0, 0x000000, 0xC0FFFF,
        0x2060C0, 0x605040, 0x90B0D0,
    ],
}


def r(c): return c & 0xFF
def g(c): return (c >> 8) & 0xFF
def b(c): return (c >> 16) & 0xFF
def rgb(rr, gg, bb): return (rr & 0xFF) | ((gg & 0xFF) << 8) | ((bb & 0xFF) << 16)


def blend(a, bcol, w):
    """The manager's blend: per channel (w*a + (d-w)*b + d/2) / d, d 100 or 1000."""
    d = 100 if w < 100 else 1000
    ch = lambda x, y: min(255, max(0, (w * x + (d - w) * y + d // 2) // d))
    return rgb(ch(r(a), r(bcol)), ch(g(a), g(bcol)), ch(b(a), b(bcol)))


def point(c):
    return (r(c) * 195.0 / 255.0, g(c) * 390.0 / 255.0, b(c) * 65.0 / 255.0)


def length(p): return math.sqrt(p[0] * p[0] + p[1] * p[1] + p[2] * p[2])
def dist(a, bcol):
    pa, pb = point(a), point(bcol)
    return length((pa[0] - pb[0], pa[1] - pb[1], pa[2] - pb[2]))
def lum(c): return length(point(c))


def scaled(a, t):
    l = int(lum(a))
    return (2.0 - min(l, 220) / 220.0) * t


def farther(a, bcol, s):
    d = dist(a, bcol)
    return d * d > s * s


def channel(coord, rng):
    coord = max(0.0, min(rng, coord))
    n = int(coord * 255.0 / rng + 0.5)
    return max(0, min(255, n))


def from_point(p):
    return rgb(channel(p[0], 195.0), channel(p[1], 390.0), channel(p[2], 65.0))


def pull(a, bcol, l):
    pa, pb = point(a), point(bcol)
    d = dist(a, bcol)
    if d <= 0.0:
        return bcol
    k = (d - l) / d
    return from_point(tuple(pb[i] + (pa[i] - pb[i]) * k for i in range(3)))


def push(a, bcol, f):
    la, lb = lum(a), lum(bcol)
    white = (lb > la and la <= 442.0 - f) or (lb <= la and la <= f)
    pa, pb = point(a), point(bcol)
    full = (195.0, 390.0, 65.0)
    if white:
        pa = tuple(full[i] - pa[i] for i in range(3))
        pb = tuple(full[i] - pb[i] for i in range(3))
    lenb = max(length(pb), 0.001)
    p = (pa[0] * pb[0] + pa[1] * pb[1] + pa[2] * pb[2]) / lenb
    lena = length(pa)
    d2 = max(0.0, lena * lena - p * p)
    if f * f < d2:
        return 0
    t = p - math.sqrt(f * f - d2)
    q = tuple(pb[i] * t / lenb for i in range(3))
    if white:
        q = tuple(full[i] - q[i] for i in range(3))
    return from_point(q)


LUNA = {
    38: (0x764127, 0x335E51, 0x755454), 39: (0xCB8C6A, 0x588060, 0x8F6D6E),
    40: (0xD0966D, 0x7AAE9F, 0xBEA7A8), 41: (0xF6F6F6, 0xEEF4F4, 0xFFFAFD),
    43: (0x962D00, 0x5E8D75, 0x947C7C), 31: (0xC2EEFF, 0xC2EEFF, 0xC2EEFF),
    32: (0x800000, 0x385D3F, 0x6F4B4B), 50: (0x800000, 0x385D3F, 0x6F4B4B),
    37: (0x800000, 0x385D3F, 0x6F4B4B), 33: (0x3E80FE, 0x3E80FE, 0x3E80FE),
    36: (0x6FC0FF, 0x6FC0FF, 0x6FC0FF), 30: (0xF5BE9E, 0xA7D9D9, 0xE5D7D7),
    47: (0, 0, 0), 59: (0x361E16, 0x19221F, 0x292024),
}

SCHEME_GRADIENTS = {
    1: [(0xD68759, 0x962D00, 0.5), (0xF5BE9E, 0xFADAC4, 0.5), (0xD68759, 0x962D00, 0.5),
        (0xFEECDD, 0xE2A981, 0.75), (0xFFEFE3, 0xE4AD87, 0.5), (0xF6DDCB, 0xDCA179, 0.5),
        (0xFFEFE3, 0xE7B593, 0.5)],
    2: [(0x82C0AF, 0x447A63, 0.5), (0xA7D9D9, 0xE4F1F2, 0.5), (0x6F8E78, 0x435B49, 0.5),
        (0xDEF7F4, 0x91C6B7, 0.3), (0xEDFFFF, 0x92C7B8, 0.3), (0xD1E6E6, 0x78B4A4, 0.3),
        (0xD5F0EC, 0x9FCEC2, 0.5)],
    3: [(0xBFA7A8, 0x916F70, 0.5), (0xE5D7D7, 0xF7F3F3, 0.5), (0xBFA7A8, 0x977677, 0.5),
        (0xFFF9F9, 0xB79B9C, 0.75), (0xFFF9F9, 0xB99D9F, 0.75), (0xE2D7D7, 0x9E7E80, 0.75),
        (0xF1E7E9, 0xCDB9BA, 0.5)],
}
SCHEME_54 = {1: 0x962D00, 2: 0x588060, 3: 0x947C7C}


def compute(system, scheme):
    """Base table, scheme colours and gradients 1-7 for one system set and scheme (no
    overrides, full colour, no visual-styles tree colour)."""
    c = [0] * 62
    for i in range(1, 28):
        c[i] = system[i - 1]
    F, S = c[15], c[16]
    defaults = [F, c[5], c[13], c[13], S, c[17], c[5], c[13], S, S, S, c[5], S, S, c[8], c[7],
                c[18], c[14], F, c[18], c[13], F, S, F, S, F, F, S, c[17], 0, S]
    for i, v in enumerate(defaults):
        c[30 + i] = v
    luna = [-1] * 62
    if scheme in (1, 2, 3):
        for idx, vals in LUNA.items():
            luna[idx] = vals[scheme - 1]

    for target, a, bb, w in [(30, 5, 15, 165), (31, 13, 5, 30), (33, 13, 5, 50), (41, 15, 5, 143),
                             (35, 17, 5, 70), (38, 16, 5, 75), (39, 16, 5, 70), (43, 46, 16, 20),
                             (40, 16, 5, 90), (42, 15, 16, 90)]:
        c[target] = blend(c[a], c[bb], w)

    s = scaled(F, 35)
    if farther(F, c[30], s):
        c[30] = pull(F, c[30], s)
    for target, ref, cmp_, t in [(31, 30, 31, 50), (32, 30, 13, 100), (33, 30, 33, 30), (35, 41, 35, 80),
                                 (37, 33, 37, 100), (38, 30, 38, 85), (39, 30, 39, 50), (43, 47, 43, 100),
                                 (40, 30, 40, 80), (44, 41, 44, 180), (45, 31, 45, 180), (46, 30, 46, 180),
                                 (47, 33, 47, 180)]:
        s = scaled(c[ref], t)
        if not farther(c[ref], c[cmp_], s):
            c[target] = push(c[ref], c[cmp_], s)
    s = scaled(c[41], 145)
    if farther(c[41], c[35], s):
        c[35] = pull(c[41], c[35], s)

    mix = lambda x, y, z: x * 50 // 100 + y * 40 // 100 + z * 10 // 100
    c[36] = rgb(mix(r(c[30]), r(c[5]), r(c[13])), mix(g(c[30]), g(c[5]), g(c[13])),
                mix(b(c[30]), b(c[5]), b(c[13])))
    m = max(r(F), g(F), b(F))
    if m == 0:
        c[48] = 0x232323
    else:
        k = m + min(35, 255 - m)
        c[48] = rgb(min(255, r(F) * k // m), min(255, g(F) * k // m), min(255, b(F) * k // m))
    if F == 0:
        c[49] = 0x7F7F7F
    else:
        m = max(r(S), g(S), b(S))
        if m == 0:
            c[49] = 0
        else:
            k = max(m - 43, 0)
            c[49] = rgb(r(S) * k // m, g(S) * k // m, b(S) * k // m)
    c[34] = rgb(int(r(c[31]) * 0.75), int(g(c[31]) * 0.75), int(b(c[31]) * 0.75))
    c[22] = rgb(min(255, r(F) + 15), min(255, g(F) + 15), min(255, b(F) + 15))
    c[53] = c[30]
    c[58] = c[40]
    c[60] = c[40]

    W = c[5]
    if scheme in SCHEME_GRADIENTS:
        grads = SCHEME_GRADIENTS[scheme]
        c[54] = SCHEME_54[scheme]
    else:
        grads = [(S, S, 0.5), (F, blend(F, W, 215), 0.5), (F, S, 0.5), (blend(F, W, 205), F, 0.5),
                 (blend(F, W, 145), blend(F, W, 93), 0.5), (blend(F, W, 40), blend(F, S, 95), 0.5),
                 (blend(F, W, 165), blend(F, W, 42), 0.5)]
    return c, luna, grads


def main():
    out = sys.argv[1]
    lines = ["// Written by make_color_table.py at configure time: the colour manager's expected",
             "// colours and gradients for fixed system colours. Do not edit.", "#pragma once", "",
             "#include <windows.h>", "",
             "struct ExpectedGradient { COLORREF start, end; float factor; };",
             "struct ExpectedScheme { const char* system; int scheme; COLORREF colors[62];",
             "                        COLORREF schemeColors[62]; ExpectedGradient gradients[10]; };", ""]
    for name, system in SYSTEM_SETS.items():
        lines.append("static const COLORREF kSystem_%s[28] = {0, %s};" % (name, ", ".join("0x%06X" % v for v in system)))
    lines.append("")
    lines.append("static const ExpectedScheme kExpectedSchemes[] = {")
    fixed = [(0x8CD5FF, 0x55ADFF, 0.5), (0x4B8EFE, 0x8BCFFF, 0.5), (0xC8F2FF, 0x97D4FF, 0.5)]
    for name, system in SYSTEM_SETS.items():
        for scheme in range(4):
            c, luna, grads = compute(system, scheme)
            grads = grads + fixed
            lines.append("  {\"%s\", %d," % (name, scheme))
            lines.append("   {%s}," % ", ".join("0x%06X" % v for v in c))
            lines.append("   {%s}," % ", ".join("0x%06X" % v if v >= 0 else "(COLORREF)-1" for v in luna))
            lines.append("   {%s}}," % ", ".join("{0x%06X, 0x%06X, %sf}" % (s, e, repr(f)) for s, e, f in grads))
    lines.append("};")
    lines.append("")
    lines.append("inline const COLORREF* SystemSet(const char* name) {")
    for name in SYSTEM_SETS:
        lines.append("  if (lstrcmpA(name, \"%s\") == 0) return kSystem_%s;" % (name, name))
    lines.append("  return nullptr;")
    lines.append("}")
    with open(out, "w") as f:
        f.write("\n".join(lines) + "\n")


if __name__ == "__main__":
    main()
