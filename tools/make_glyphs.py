#!/usr/bin/env python3
"""Draws the five built-in button glyphs of the skin library into skin/engine/res/: open file,
open folder, date, ellipsis and calculator. Each is three 16 x 16 state cells side by side
(normal, hot, pressed) over their blend masks (0 = picture, 255 = background), a 48 x 32 24-bit
bitmap with 0xFF00FF where nothing is drawn. The same bytes on every run.

    python3 tools/make_glyphs.py          write the bitmaps
    python3 tools/make_glyphs.py --check  compare with the files in the tree (exit 1 on a difference)
"""
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from skinimage import (Layers, bmp24, ellipse, polygon, polyline, round_rect, side_by_side, stack, union,  # noqa: E402
                       write_or_check)

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
RES = os.path.join(ROOT, "skin", "engine", "res")
CELL = 16

# Ink, paper and accent of the normal, hot and pressed states.
STATES = [
    ((64, 64, 72), (250, 250, 246), (90, 120, 170)),
    ((24, 48, 96), (255, 255, 255), (40, 96, 200)),
    ((16, 24, 40), (228, 232, 238), (30, 70, 150)),
]


def rect(x0, y0, x1, y1):
    return round_rect(x0, y0, x1, y1, 0.01)


def open_file(layers, ink, paper, accent, d):
    sheet = [(3 + d, 1.5 + d), (10 + d, 1.5 + d), (13 + d, 4.5 + d), (13 + d, 14.5 + d), (3 + d, 14.5 + d),
             (3 + d, 1.5 + d)]
    layers.paint(polygon(sheet[:-1]), paper)
    layers.paint(polyline(sheet, 1.0), ink)
    layers.paint(polyline([(10 + d, 1.5 + d), (10 + d, 4.5 + d), (13 + d, 4.5 + d)], 1.0), ink)
    for y in (7, 9.5, 12):
        layers.paint(polyline([(5 + d, y + d), (11 + d, y + d)], 1.0), accent)


def open_folder(layers, ink, paper, accent, d):
    back = [(1.5 + d, 3.5 + d), (6 + d, 3.5 + d), (7.5 + d, 5 + d), (14.5 + d, 5 + d), (14.5 + d, 13.5 + d),
            (1.5 + d, 13.5 + d), (1.5 + d, 3.5 + d)]
    layers.paint(rect(2 + d, 4 + d, 14 + d, 13 + d), accent)
    layers.paint(rect(2 + d, 7 + d, 14 + d, 13 + d), paper, 0.55)
    layers.paint(polyline(back, 1.0), ink)
    layers.paint(polyline([(1.5 + d, 7 + d), (14.5 + d, 7 + d)], 1.0), ink)


def date(layers, ink, paper, accent, d):
    layers.paint(rect(2 + d, 3 + d, 14 + d, 14 + d), paper)
    layers.paint(rect(2 + d, 3 + d, 14 + d, 6 + d), accent)
    layers.paint(polyline([(1.5 + d, 2.5 + d), (14.5 + d, 2.5 + d), (14.5 + d, 14.5 + d), (1.5 + d, 14.5 + d),
                           (1.5 + d, 2.5 + d)], 1.0), ink)
    for row in range(3):
        for col in range(4):
            x, y = 3.5 + col * 2.75 + d, 7.5 + row * 2.25 + d
            layers.paint(rect(x, y, x + 1.5, y + 1.25), ink)


def ellipsis(layers, ink, paper, accent, d):
    # Dots alone vanish on a dark button face: a paper rim around them keeps them readable on any face.
    rim = union(*(ellipse(x + d, 11 + d, 2.25, 2.25) for x in (4, 8, 12)))
    dots = union(*(ellipse(x + d, 11 + d, 1.25, 1.25) for x in (4, 8, 12)))
    layers.paint(rim, paper)
    layers.paint(dots, ink)


def calc(layers, ink, paper, accent, d):
    layers.paint(rect(3 + d, 1.5 + d, 13 + d, 14.5 + d), paper)
    layers.paint(polyline([(2.5 + d, 1 + d), (13.5 + d, 1 + d), (13.5 + d, 15 + d), (2.5 + d, 15 + d),
                           (2.5 + d, 1 + d)], 1.0), ink)
    layers.paint(rect(4.5 + d, 3 + d, 11.5 + d, 5.5 + d), accent)
    for row in range(3):
        for col in range(3):
            x, y = 4.5 + col * 2.5 + d, 7.5 + row * 2.25 + d
            layers.paint(rect(x, y, x + 1.5, y + 1.25), ink)


GLYPHS = [("OpenFile", open_file), ("OpenFolder", open_folder), ("Date", date), ("Ellipsis", ellipsis),
          ("Calc", calc)]


def glyph(draw):
    pics, masks = [], []
    for state, (ink, paper, accent) in enumerate(STATES):
        layers = Layers(CELL, CELL)
        # The pressed look moves by one pixel.
        draw(layers, ink, paper, accent, 1 if state == 2 else 0)
        pic, mask = layers.rows()
        pics.append(pic)
        masks.append(mask)
    return bmp24(stack(side_by_side(pics), side_by_side(masks)))


def outputs():
    return {os.path.join(RES, name + ".bmp"): glyph(draw) for name, draw in GLYPHS}


def main():
    return write_or_check(outputs(), ROOT)

if __name__ == "__main__":
    sys.exit(main())
