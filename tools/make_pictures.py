#!/usr/bin/env python3
"""Draws the pictures of the splash window (app/res/Splash.bmp, 427 x 187) and of the about box
(app/res/About.bmp, 423 x 185): a dark band with the program's name and a small tree of folders
and pages, over a light band where the windows place their labels. 24-bit bitmaps, the same
bytes each run.

    python3 tools/make_pictures.py
"""
import math
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))
RES = os.path.join(os.path.dirname(HERE), "app", "res")

NAVY = (18, 38, 74)
TEAL = (26, 92, 118)
CREAM = (240, 232, 210)
PAPER = (236, 230, 214)
GOLD = (214, 168, 62)
INK = (60, 52, 40)


class Image:
    def __init__(self, w, h, colour):
        self.w, self.h = w, h
        self.px = [[colour] * w for _ in range(h)]

    def blend(self, x, y, colour, cover):
        if cover <= 0 or not (0 <= x < self.w and 0 <= y < self.h):
            return
        cover = min(cover, 1.0)
        r, g, b = self.px[y][x]
        self.px[y][x] = (round(r + (colour[0] - r) * cover), round(g + (colour[1] - g) * cover),
                         round(b + (colour[2] - b) * cover))

    def save(self, path):
        row = self.w * 3
        pad = (4 - row % 4) % 4
        data = bytearray()
        for y in reversed(range(self.h)):
            for r, g, b in self.px[y]:
                data += bytes((b, g, r))
            data += b"\x00" * pad
        header = struct.pack("<2sIHHI", b"BM", 54 + len(data), 0, 0, 54)
        info = struct.pack("<IiiHHIIiiII", 40, self.w, self.h, 1, 24, 0, len(data), 2835, 2835, 0, 0)
        with open(path, "wb") as f:
            f.write(header + info + bytes(data))


def mix(a, b, t):
    return tuple(round(a[i] + (b[i] - a[i]) * t) for i in range(3))


def bands(img, split):
    """A dark gradient above the split row with a light diagonal sheen, a gold rule, paper below."""
    for y in range(img.h):
        for x in range(img.w):
            if y < split:
                c = mix(NAVY, TEAL, y / split)
                sheen = max(0.0, 1.0 - abs((x - 1.6 * y) - 120) / 90.0) * 0.10
                img.px[y][x] = mix(c, (255, 255, 255), sheen)
            elif y < split + 2:
                img.px[y][x] = GOLD
            else:
                t = (y - split) / (img.h - split)
                img.px[y][x] = mix(PAPER, CREAM, t)


def seg_dist(px, py, ax, ay, bx, by):
    dx, dy = bx - ax, by - ay
    n = dx * dx + dy * dy
    t = 0.0 if n == 0 else max(0.0, min(1.0, ((px - ax) * dx + (py - ay) * dy) / n))
    return math.hypot(px - (ax + t * dx), py - (ay + t * dy))


def strokes(img, lines, width, colour, box=None):
    """Anti-aliased strokes: each pixel is covered by how far its centre lies within the pen."""
    segs = [(a, b) for pts in lines for a, b in zip(pts, pts[1:])]
    if box is None:
        xs = [p[0] for pts in lines for p in pts]
        ys = [p[1] for pts in lines for p in pts]
        box = (min(xs) - width, min(ys) - width, max(xs) + width, max(ys) + width)
    half = width / 2
    for y in range(max(0, int(box[1]) - 1), min(img.h, int(box[3]) + 2)):
        for x in range(max(0, int(box[0]) - 1), min(img.w, int(box[2]) + 2)):
            d = min(seg_dist(x + 0.5, y + 0.5, *a, *b) for a, b in segs)
            img.blend(x, y, colour, half + 0.5 - d)


def arc(cx, cy, rx, ry, a0, a1, steps=24):
    """Points of an elliptic arc in the glyph box (y up), angles in degrees, counter-clockwise."""
    return [(cx + rx * math.cos(math.radians(a0 + (a1 - a0) * i / steps)),
             cy + ry * math.sin(math.radians(a0 + (a1 - a0) * i / steps))) for i in range(steps + 1)]


# The letters of the name as pen paths in a unit box (baseline 0, x-height 0.55, capitals 1.0).
GLYPHS = {
    "V": ([[(0.0, 1.0), (0.36, 0.0), (0.72, 1.0)]], 0.72),
    "e": ([[(0.03, 0.29), (0.5, 0.29)] + arc(0.265, 0.275, 0.235, 0.275, 0, 320)[1:]], 0.53),
    "l": ([[(0.05, 0.0), (0.05, 1.0)]], 0.1),
    "o": ([arc(0.27, 0.275, 0.25, 0.275, 0, 360, 36)], 0.54),
    "r": ([[(0.04, 0.0), (0.04, 0.55)], [(0.04, 0.32)] + arc(0.3, 0.3, 0.26, 0.25, 180, 80, 10)[1:]], 0.38),
    "n": ([[(0.04, 0.0), (0.04, 0.55)], [(0.04, 0.3)] + arc(0.25, 0.3, 0.21, 0.25, 180, 0, 14)[1:] +
          [(0.46, 0.0)]], 0.5),
}


def word(img, text, x, baseline, size, pen, colour, gap=0.16):
    lines = []
    for ch in text:
        paths, width = GLYPHS[ch]
        for p in paths:
            lines.append([(x + u * size, baseline - v * size) for u, v in p])
        x += (width + gap) * size
    strokes(img, lines, pen, colour)
    return x


def rounded_box(img, x0, y0, x1, y1, r, colour):
    """A filled rectangle with rounded corners, its edge anti-aliased."""
    for y in range(int(y0) - 1, int(y1) + 2):
        for x in range(int(x0) - 1, int(x1) + 2):
            px, py = x + 0.5, y + 0.5
            qx = max(x0 + r - px, 0, px - (x1 - r))
            qy = max(y0 + r - py, 0, py - (y1 - r))
            d = math.hypot(qx, qy) - r
            img.blend(x, y, colour, 0.5 - d)


def folder(img, x, y, colour=GOLD):
    rounded_box(img, x, y, x + 10, y + 5, 1.5, mix(colour, (0, 0, 0), 0.2))
    rounded_box(img, x, y + 3, x + 24, y + 19, 2.0, colour)
    rounded_box(img, x + 1.5, y + 6, x + 22.5, y + 8, 1.0, mix(colour, (255, 255, 255), 0.35))


def page(img, x, y, mark):
    rounded_box(img, x, y, x + 16, y + 20, 1.5, (250, 248, 242))
    for i in range(4):
        strokes(img, [[(x + 3.5, y + 5.5 + 3.5 * i), (x + 12.5 - 3 * (i == 3), y + 5.5 + 3.5 * i)]], 1.0,
                (150, 150, 160))
    rounded_box(img, x + 11, y + 1.5, x + 15, y + 5.5, 1.5, mark)


def tree(img, x, y):
    """A category with a subcategory and marked pages, joined by the lines of a tree view."""
    line = (190, 205, 220)
    strokes(img, [[(x + 8, y + 22), (x + 8, y + 104)], [(x + 8, y + 40), (x + 26, y + 40)],
                  [(x + 8, y + 104), (x + 26, y + 104)], [(x + 38, y + 50), (x + 38, y + 84)],
                  [(x + 38, y + 62), (x + 54, y + 62)], [(x + 38, y + 84), (x + 54, y + 84)]], 1.6, line)
    folder(img, x, y)
    folder(img, x + 28, y + 30)
    page(img, x + 56, y + 52, (220, 60, 60))
    page(img, x + 56, y + 74, (70, 160, 80))
    page(img, x + 28, y + 94, (60, 110, 210))


def splash():
    img = Image(427, 187, PAPER)
    bands(img, 140)
    tree(img, 44, 12)
    word(img, "Vellorn", 172 + 2, 98 + 2, 54, 5.0, (8, 20, 40))
    end = word(img, "Vellorn", 172, 98, 54, 5.0, CREAM)
    strokes(img, [[(174, 116), (end - 8, 116)]], 1.4, GOLD)
    return img


def about():
    img = Image(423, 185, PAPER)
    bands(img, 88)
    word(img, "Vellorn", 32 + 2, 62 + 2, 40, 4.0, (8, 20, 40))
    end = word(img, "Vellorn", 32, 62, 40, 4.0, CREAM)
    strokes(img, [[(34, 74), (end - 6, 74)]], 1.2, GOLD)
    # The small tree, smaller, at the right of the dark band.
    line = (190, 205, 220)
    strokes(img, [[(318, 30), (318, 70)], [(318, 46), (334, 46)], [(318, 70), (334, 70)]], 1.4, line)
    folder(img, 310, 12)
    page(img, 336, 36, (220, 60, 60))
    page(img, 336, 60, (60, 110, 210))
    return img


if __name__ == "__main__":
    splash().save(os.path.join(RES, "Splash.bmp"))
    about().save(os.path.join(RES, "About.bmp"))
