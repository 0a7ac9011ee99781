#!/usr/bin/env python3
"""Draws the built-in pictures of the skin library into skin/engine/res/.

The five button glyphs (open file, open folder, date, ellipsis, calculator) are three 16 x 16 state
cells side by side (normal, hot, pressed) over their blend masks (0 = picture, 255 = background), a
48 x 32 24-bit bitmap with 0xFF00FF where nothing is drawn.

The other pictures are single 16 x 16 24-bit bitmaps with hard edges over one background colour:
the preview button's glyph, the screen picker's glyph of the colour dialog and the drive kinds (removable, fixed, network, CD-ROM, RAM disk) over
0xFF00FF, the key their users take from the bottom-left pixel; the font kinds (PostScript,
TrueType, raster, unknown) over white, which their list replaces with its own background (no other
pixel is pure white). The same bytes on every run.

    python3 tools/make_glyphs.py          write the bitmaps
    python3 tools/make_glyphs.py --check  compare with the files in the tree (exit 1 on a difference)
"""
import math
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from skinimage import (KEY, Image, Layers, bmp24, difference, ellipse, polygon, polyline, round_rect,  # noqa: E402
                       side_by_side, stack, union, write_or_check)

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


# ------------------------------------------------------------------ single pictures

INK = (40, 44, 52)
PAPER = (252, 252, 248)  # light, but never the white the font lists replace
WHITE = (255, 255, 255)


def line(points, width=1.0):
    return polyline(points, width)


def preview(layers):
    layers.paint(line([(10, 10), (14.5, 14.5)], 2.5), (120, 80, 40))
    layers.paint(ellipse(6.5, 6.5, 5.5, 5.5), INK)
    layers.paint(ellipse(6.5, 6.5, 4.2, 4.2), (170, 210, 240))
    layers.paint(ellipse(5, 5, 1.4, 1.4), PAPER)


def picker(layers):
    # A dropper: the glass tube from the tip at the bottom left, the rubber bulb at the top right.
    layers.paint(line([(2, 14), (9, 7)], 3.2), INK)
    layers.paint(line([(2.6, 13.4), (8.4, 7.6)], 1.4), (170, 210, 240))
    layers.paint(line([(6.5, 5.5), (10.5, 9.5)], 2.0), INK)
    layers.paint(ellipse(11.5, 4.5, 3.4, 3.4), (170, 50, 50))


def letter_t(layers, x, y, color):
    layers.paint(rect(x, y, x + 8, y + 2.5), color)
    layers.paint(rect(x + 2.75, y, x + 5.25, y + 11), color)


def font_ttf(layers):
    letter_t(layers, 1, 2, (150, 150, 160))
    letter_t(layers, 6, 4, (30, 60, 140))


def font_ps(layers):
    # A printer: the sheet, the body and its tray.
    layers.paint(rect(4, 1, 12, 8), PAPER)
    layers.paint(line([(4.5, 1.5), (11.5, 1.5), (11.5, 7), (4.5, 7), (4.5, 1.5)], 1.0), INK)
    layers.paint(rect(1, 6, 15, 12), (110, 110, 120))
    layers.paint(rect(3, 12, 13, 15), (70, 70, 80))
    layers.paint(rect(11, 8, 13, 9.5), (60, 200, 80))


def font_raster(layers):
    # An "A" built of whole pixels.
    rows = ["..##..", ".#..#.", "#....#", "######", "#....#", "#....#"]
    for y, row in enumerate(rows):
        for x, c in enumerate(row):
            if c == "#":
                layers.paint(rect(2 + 2 * x, 2 + 2 * y, 4 + 2 * x, 4 + 2 * y), (150, 30, 30))


def font_unknown(layers):
    arc = [(4.5 + 3.5 * (1 - math.cos(a)), 5 - 3.5 * math.sin(a)) for a in [i * math.pi / 8 for i in range(9)]]
    layers.paint(line(arc + [(11.5, 5), (8, 8.5), (8, 10.5)], 2.0), INK)
    layers.paint(ellipse(8, 13.5, 1.3, 1.3), INK)


def drive_removable(layers):
    body = [(1.5, 1.5), (12.5, 1.5), (14.5, 3.5), (14.5, 14.5), (1.5, 14.5), (1.5, 1.5)]
    layers.paint(polygon(body[:-1]), (60, 70, 110))
    layers.paint(rect(4, 1.5, 11, 6), (190, 195, 205))
    layers.paint(rect(8, 2.5, 10, 5), (60, 70, 110))
    layers.paint(rect(3.5, 8.5, 12.5, 14.5), PAPER)


def disk_box(layers, top):
    layers.paint(rect(1, top, 15, top + 6), (120, 124, 132))
    layers.paint(line([(1.5, top + 0.5), (14.5, top + 0.5), (14.5, top + 5.5), (1.5, top + 5.5), (1.5, top + 0.5)],
                      1.0), INK)
    layers.paint(rect(11, top + 2.5, 13, top + 4), (60, 200, 80))


def drive_fixed(layers):
    disk_box(layers, 5)


def drive_remote(layers):
    disk_box(layers, 2)
    layers.paint(line([(8, 8), (8, 12.5)], 1.5), INK)
    layers.paint(line([(2, 13.5), (14, 13.5)], 1.5), INK)


def drive_cdrom(layers):
    layers.paint(difference(ellipse(8, 8, 7, 7), ellipse(8, 8, 1.6, 1.6)), (190, 196, 210))
    layers.paint(difference(ellipse(8, 8, 5, 5), ellipse(8, 8, 3, 3)), (150, 170, 220), 0.8)
    layers.paint(difference(ellipse(8, 8, 7.5, 7.5), ellipse(8, 8, 6.5, 6.5)), INK)


def drive_ram(layers):
    layers.paint(rect(2, 4, 14, 12), (40, 110, 60))
    for x in range(3, 14, 3):
        layers.paint(rect(x, 1.5, x + 1.5, 4), (200, 170, 60))
        layers.paint(rect(x, 12, x + 1.5, 14.5), (200, 170, 60))
    layers.paint(rect(4, 6, 12, 10), (20, 24, 28))


# The open form's tool buttons (over 0xFF00FF): back, up one level, new folder, view style.
def folder_shape(layers):
    layers.paint(polygon([(1.5, 4), (6, 4), (7.5, 5.5), (14.5, 5.5), (14.5, 14), (1.5, 14)]), (220, 180, 80))
    layers.paint(polyline([(1.5, 4), (6, 4), (7.5, 5.5), (14.5, 5.5), (14.5, 14), (1.5, 14), (1.5, 4)], 1.0), INK)


def open_back(layers):
    layers.paint(polygon([(1.5, 8), (7.5, 2.5), (7.5, 5.5), (14.5, 5.5), (14.5, 10.5), (7.5, 10.5), (7.5, 13.5)]),
                 (40, 120, 60))
    layers.paint(polyline([(1.5, 8), (7.5, 2.5), (7.5, 5.5), (14.5, 5.5), (14.5, 10.5), (7.5, 10.5), (7.5, 13.5),
                           (1.5, 8)], 1.0), INK)


def open_up(layers):
    folder_shape(layers)
    layers.paint(polygon([(8, 6.5), (12, 10.5), (9.5, 10.5), (9.5, 13), (6.5, 13), (6.5, 10.5), (4, 10.5)]),
                 (40, 120, 60))


def open_new_folder(layers):
    folder_shape(layers)
    layers.paint(rect(9.5, 0.5, 11, 6.5), (200, 60, 40))
    layers.paint(rect(7.2, 2.8, 13.3, 4.3), (200, 60, 40))


def open_view(layers):
    for y in (2, 6.5, 11):
        layers.paint(rect(1.5, y, 5, y + 3), (90, 120, 170))
        layers.paint(rect(7, y + 1, 14.5, y + 2.2), (128, 128, 136))


# Resource name, file, drawing and background.
PICTURES = [
    ("PREVIEWGLYPH", "Preview", preview, KEY),
    ("PICKERGLYPH", "Picker", picker, KEY),
    ("PS", "FontPS", font_ps, WHITE),
    ("TTF", "FontTTF", font_ttf, WHITE),
    ("RASTER", "FontRaster", font_raster, WHITE),
    ("UNKNOWN", "FontUnknown", font_unknown, WHITE),
    ("DRIVE_REMOVABLE", "DriveRemovable", drive_removable, KEY),
    ("DRIVE_FIXED", "DriveFixed", drive_fixed, KEY),
    ("DRIVE_REMOTE", "DriveRemote", drive_remote, KEY),
    ("DRIVE_CDROM", "DriveCDROM", drive_cdrom, KEY),
    ("DRIVE_RAMDISK", "DriveRAMDisk", drive_ram, KEY),
    ("OPENBACK", "OpenBack", open_back, KEY),
    ("OPENUP", "OpenUp", open_up, KEY),
    ("OPENNEWDIR", "OpenNewDir", open_new_folder, KEY),
    ("OPENVIEW", "OpenView", open_view, KEY),
]


def picture(draw, background):
    layers = Layers(CELL, CELL)
    draw(layers)
    pic, _ = layers.rows()
    out = Image(CELL, CELL, background)
    for y in range(CELL):
        for x in range(CELL):
            # Hard edges: a pixel at least half covered is drawn, the others are background.
            if layers.a[y * CELL + x] >= 0.5:
                out.set(x, y, pic.get(x, y))
    assert out.get(0, CELL - 1) == background
    assert WHITE not in set(out.px) - {background}
    return bmp24(out)


def outputs():
    out = {os.path.join(RES, name + ".bmp"): glyph(draw) for name, draw in GLYPHS}
    for _, name, draw, background in PICTURES:
        out[os.path.join(RES, name + ".bmp")] = picture(draw, background)
    return out


def main():
    return write_or_check(outputs(), ROOT)

if __name__ == "__main__":
    sys.exit(main())
