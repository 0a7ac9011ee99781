#!/usr/bin/env python3
"""Draws the program's icon into app/res/Vellorn.ico (16, 32 and 48 pixels, 32 bits with alpha):
a navy tile holding a cream page with lines of text and a gold bookmark. The same bytes each run.
tools/make_defaults.py takes the 16-pixel picture for the image list's program icon (index 37).

    python3 tools/make_icon.py
"""
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))
RES = os.path.join(os.path.dirname(HERE), "app", "res")

NAVY = (18, 38, 74)
TEAL = (26, 92, 118)
CREAM = (246, 240, 224)
INK = (96, 110, 130)
GOLD = (222, 170, 52)
SIZES = (16, 32, 48)
SAMPLES = 4  # per pixel and direction


def rounded(x, y, x0, y0, x1, y1, r):
    """Whether the point lies inside the rectangle with corners rounded by r."""
    if not (x0 <= x <= x1 and y0 <= y <= y1):
        return False
    cx = min(max(x, x0 + r), x1 - r)
    cy = min(max(y, y0 + r), y1 - r)
    return (x - cx) ** 2 + (y - cy) ** 2 <= r * r


def shade(x, y):
    """The colour of the picture at a point of the unit square, or None outside it."""
    if not rounded(x, y, 0.02, 0.02, 0.98, 0.98, 0.18):
        return None
    if rounded(x, y, 0.24, 0.14, 0.76, 0.86, 0.04):
        # The bookmark hangs from the page's top edge, a notch cut into its end.
        if 0.56 <= x <= 0.68 and y <= 0.44 - 0.06 * (1 - abs(x - 0.62) / 0.06):
            return GOLD
        for top in (0.50, 0.62, 0.74):
            if top <= y <= top + 0.05 and 0.32 <= x <= (0.60 if top == 0.74 else 0.68):
                return INK
        return CREAM
    t = y  # navy at the top, teal at the bottom
    return tuple(round(NAVY[k] + (TEAL[k] - NAVY[k]) * t) for k in range(3))


def picture(size):
    """Rows of (r, g, b, a) from the top, each pixel averaged over SAMPLES x SAMPLES points."""
    rows = []
    n = SAMPLES * SAMPLES
    for py in range(size):
        row = []
        for px in range(size):
            acc, hits = [0, 0, 0], 0
            for sy in range(SAMPLES):
                for sx in range(SAMPLES):
                    c = shade((px + (sx + 0.5) / SAMPLES) / size, (py + (sy + 0.5) / SAMPLES) / size)
                    if c:
                        hits += 1
                        for k in range(3):
                            acc[k] += c[k]
            if hits:
                row.append(tuple(round(acc[k] / hits) for k in range(3)) + (round(255 * hits / n),))
            else:
                row.append((0, 0, 0, 0))
        rows.append(row)
    return rows


def icon_image(size):
    """One image of the icon file: its header, its pixels from the bottom, its AND mask."""
    rows = picture(size)
    pixels = b"".join(bytes((b, g, r, a)) for row in reversed(rows) for r, g, b, a in row)
    stride = (size + 31) // 32 * 4
    mask = b""
    for row in reversed(rows):
        bits = bytearray(stride)
        for x, (_, _, _, a) in enumerate(row):
            if a == 0:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bytes(bits)
    header = struct.pack("<IiiHHIIiiII", 40, size, 2 * size, 1, 32, 0, len(pixels) + len(mask), 0, 0, 0, 0)
    return header + pixels + mask


def icon_file():
    images = [icon_image(s) for s in SIZES]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, data in zip(SIZES, images):
        out += struct.pack("<BBBBHHII", size, size, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    return out + b"".join(images)


if __name__ == "__main__":
    with open(os.path.join(RES, "Vellorn.ico"), "wb") as f:
        f.write(icon_file())
