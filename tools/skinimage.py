"""Pixels for the skin generator: RGB images with anti-aliased shapes, and writers of 24-bit and
8-bit BMP files and baseline JPEG files. Deterministic: the same calls give the same bytes."""
import math
import os
import struct
import sys

KEY = (255, 0, 255)  # the transparent key colour of skin images


class Image:
    def __init__(self, w, h, fill=(0, 0, 0)):
        self.w, self.h = w, h
        self.px = [fill] * (w * h)

    def get(self, x, y):
        return self.px[y * self.w + x]

    def set(self, x, y, c):
        self.px[y * self.w + x] = c

    def fill(self, x0, y0, x1, y1, c):
        for y in range(max(0, y0), min(self.h, y1)):
            for x in range(max(0, x0), min(self.w, x1)):
                self.px[y * self.w + x] = c

    def paste(self, other, x0, y0):
        for y in range(other.h):
            row = other.px[y * other.w:(y + 1) * other.w]
            self.px[(y0 + y) * self.w + x0:(y0 + y) * self.w + x0 + other.w] = row


# ------------------------------------------------------------------ coverage of shapes (4x4 samples)

SAMPLES = [(i + 0.5) / 4 for i in range(4)]


def coverage(inside, x, y):
    n = 0
    for sy in SAMPLES:
        for sx in SAMPLES:
            if inside(x + sx, y + sy):
                n += 1
    return n / 16.0


def round_rect(x0, y0, x1, y1, r):
    """Inside test of a rectangle with rounded corners (pixel-edge coordinates)."""
    def inside(px, py):
        if px < x0 or px > x1 or py < y0 or py > y1:
            return False
        cx = min(max(px, x0 + r), x1 - r)
        cy = min(max(py, y0 + r), y1 - r)
        return (px - cx) ** 2 + (py - cy) ** 2 <= r * r
    return inside


def ellipse(cx, cy, rx, ry):
    return lambda px, py: ((px - cx) / rx) ** 2 + ((py - cy) / ry) ** 2 <= 1.0


def polyline(points, width):
    """Inside test of a stroked polyline of the given width."""
    half = width / 2.0
    segs = list(zip(points, points[1:]))

    def inside(px, py):
        for (ax, ay), (bx, by) in segs:
            dx, dy = bx - ax, by - ay
            ll = dx * dx + dy * dy
            t = 0 if ll == 0 else max(0.0, min(1.0, ((px - ax) * dx + (py - ay) * dy) / ll))
            qx, qy = ax + t * dx - px, ay + t * dy - py
            if qx * qx + qy * qy <= half * half:
                return True
        return False
    return inside


def polygon(points):
    def inside(px, py):
        c = False
        n = len(points)
        for i in range(n):
            (ax, ay), (bx, by) = points[i], points[(i + 1) % n]
            if (ay > py) != (by > py) and px < (bx - ax) * (py - ay) / (by - ay) + ax:
                c = not c
        return c
    return inside


def difference(a, b):
    return lambda px, py: a(px, py) and not b(px, py)


def union(*shapes):
    return lambda px, py: any(s(px, py) for s in shapes)


# ------------------------------------------------------------------ layers: colour + alpha per pixel

class Layers:
    """A picture built from shapes painted over transparency; gives the picture row and the blend
    mask row of a skin image (mask 0 = picture, 255 = background)."""

    def __init__(self, w, h):
        self.w, self.h = w, h
        self.c = [(0.0, 0.0, 0.0)] * (w * h)  # premultiplied colour
        self.a = [0.0] * (w * h)

    def paint(self, shape, color, alpha=1.0, box=None):
        x0, y0, x1, y1 = box or (0, 0, self.w, self.h)
        for y in range(max(0, y0), min(self.h, y1)):
            for x in range(max(0, x0), min(self.w, x1)):
                la = coverage(shape, x, y) * alpha
                if la <= 0:
                    continue
                i = y * self.w + x
                c = self.c[i]
                self.c[i] = tuple(color[k] * la + c[k] * (1 - la) for k in range(3))
                self.a[i] = la + self.a[i] * (1 - la)

    def rows(self, key_outside=True, outside=None):
        """The picture and the mask. Pixels that nothing covers are the key colour (or `outside`,
        a colour for the transparent interior of a frame)."""
        pic, mask = Image(self.w, self.h), Image(self.w, self.h)
        for y in range(self.h):
            for x in range(self.w):
                i = y * self.w + x
                a = self.a[i]
                m = int(round(255 * (1 - a)))
                mask.set(x, y, (m, m, m))
                if a <= 0.0:
                    pic.set(x, y, KEY if key_outside or outside is None else outside)
                else:
                    pic.set(x, y, tuple(int(round(min(255, self.c[i][k] / a))) for k in range(3)))
        return pic, mask


def stack(pic, mask):
    """Picture over its mask: one image twice as high."""
    out = Image(pic.w, pic.h * 2)
    out.paste(pic, 0, 0)
    out.paste(mask, 0, pic.h)
    return out


def side_by_side(images):
    out = Image(sum(i.w for i in images), max(i.h for i in images))
    x = 0
    for i in images:
        out.paste(i, x, 0)
        x += i.w
    return out


# ------------------------------------------------------------------ BMP

def bmp24(img):
    row = (img.w * 3 + 3) & ~3
    data = bytearray()
    for y in range(img.h - 1, -1, -1):
        line = bytearray()
        for x in range(img.w):
            r, g, b = img.get(x, y)
            line += bytes((b, g, r))
        line += b"\0" * (row - len(line))
        data += line
    header = struct.pack("<2sIHHI", b"BM", 54 + len(data), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, img.w, img.h, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    return header + info + bytes(data)


def bmp8(img):
    """An 8-bit palette BMP of an image of at most 256 colours (palette in order of appearance)."""
    palette = []
    index = {}
    for c in img.px:
        if c not in index:
            index[c] = len(palette)
            palette.append(c)
    assert len(palette) <= 256
    row = (img.w + 3) & ~3
    data = bytearray()
    for y in range(img.h - 1, -1, -1):
        line = bytes(index[img.get(x, y)] for x in range(img.w))
        data += line + b"\0" * (row - len(line))
    pal = b"".join(bytes((b, g, r, 0)) for (r, g, b) in palette)
    off = 54 + len(pal)
    header = struct.pack("<2sIHHI", b"BM", off + len(data), 0, 0, off)
    info = struct.pack("<IiiHHIIiiII", 40, img.w, img.h, 1, 8, 0, len(data), 2835, 2835, len(palette), 0)
    return header + info + pal + bytes(data)


# ------------------------------------------------------------------ baseline JPEG (4:4:4, quality 90)

ZIGZAG = [0, 1, 8, 16, 9, 2, 3, 10, 17, 24, 32, 25, 18, 11, 4, 5, 12, 19, 26, 33, 40, 48, 41, 34, 27, 20, 13, 6,
          7, 14, 21, 28, 35, 42, 49, 56, 57, 50, 43, 36, 29, 22, 15, 23, 30, 37, 44, 51, 58, 59, 52, 45, 38, 31,
          39, 46, 53, 60, 61, 54, 47, 55, 62, 63]
LUM_Q = [16, 11, 10, 16, 24, 40, 51, 61, 12, 12, 14, 19, 26, 58, 60, 55, 14, 13, 16, 24, 40, 57, 69, 56, 14, 17, 22,
         29, 51, 87, 80, 62, 18, 22, 37, 56, 68, 109, 103, 77, 24, 35, 55, 64, 81, 104, 113, 92, 49, 64, 78, 87, 103,
         121, 120, 101, 72, 92, 95, 98, 112, 100, 103, 99]
CHR_Q = [17, 18, 24, 47, 99, 99, 99, 99, 18, 21, 26, 66, 99, 99, 99, 99, 24, 26, 56, 99, 99, 99, 99, 99, 47, 66, 99,
         99, 99, 99, 99, 99] + [99] * 32
DC_LUM_BITS = [0, 1, 5, 1, 1, 1, 1, 1, 1, 0, 0, 0, 0, 0, 0, 0]
DC_LUM_VAL = list(range(12))
DC_CHR_BITS = [0, 3, 1, 1, 1, 1, 1, 1, 1, 1, 1, 0, 0, 0, 0, 0]
DC_CHR_VAL = list(range(12))
AC_LUM_BITS = [0, 2, 1, 3, 3, 2, 4, 3, 5, 5, 4, 4, 0, 0, 1, 0x7d]
AC_LUM_VAL = bytes.fromhex(
    "01020300041105122131410613516107227114328191a1082342b1c11552d1f02433627282090a161718191a25262728292a3435"
    "363738393a434445464748494a535455565758595a636465666768696a737475767778797a838485868788898a92939495969798"
    "999aa2a3a4a5a6a7a8a9aab2b3b4b5b6b7b8b9bac2c3c4c5c6c7c8c9cad2d3d4d5d6d7d8d9dae1e2e3e4e5e6e7e8e9eaf1f2f3f4"
    "f5f6f7f8f9fa")
AC_CHR_BITS = [0, 2, 1, 2, 4, 4, 3, 4, 7, 5, 4, 4, 0, 1, 2, 0x77]
AC_CHR_VAL = bytes.fromhex(
    "000102031104052131061241510761711322328108144291a1b1c109233352f0156272d10a162434e125f11718191a262728292a"
    "35363738393a434445464748494a535455565758595a636465666768696a737475767778797a82838485868788898a9293949596"
    "9798999aa2a3a4a5a6a7a8a9aab2b3b4b5b6b7b8b9bac2c3c4c5c6c7c8c9cad2d3d4d5d6d7d8d9dae2e3e4e5e6e7e8e9eaf2f3f4"
    "f5f6f7f8f9fa")


def _huff_codes(bits, vals):
    codes, code, k = {}, 0, 0
    for length in range(1, 17):
        for _ in range(bits[length - 1]):
            codes[vals[k]] = (code, length)
            code += 1
            k += 1
        code <<= 1
    return codes


def _scaled(q, quality):
    s = 5000 / quality if quality < 50 else 200 - quality * 2
    return [max(1, min(255, (v * s + 50) // 100)) for v in q]


COS = [[math.cos((2 * x + 1) * u * math.pi / 16) for x in range(8)] for u in range(8)]
CU = [1 / math.sqrt(2)] + [1.0] * 7


def _fdct(block):
    tmp = [[sum(block[y * 8 + x] * COS[u][x] for x in range(8)) for u in range(8)] for y in range(8)]
    out = [0.0] * 64
    for v in range(8):
        for u in range(8):
            out[v * 8 + u] = 0.25 * CU[u] * CU[v] * sum(tmp[y][u] * COS[v][y] for y in range(8))
    return out


class _BitWriter:
    def __init__(self):
        self.out = bytearray()
        self.acc = 0
        self.n = 0

    def write(self, code, length):
        self.acc = (self.acc << length) | code
        self.n += length
        while self.n >= 8:
            b = (self.acc >> (self.n - 8)) & 0xFF
            self.out.append(b)
            if b == 0xFF:
                self.out.append(0)
            self.n -= 8
        self.acc &= (1 << self.n) - 1

    def flush(self):
        if self.n:
            self.write((1 << (8 - self.n)) - 1, 8 - self.n)


def _category(v):
    v = abs(v)
    n = 0
    while v:
        n += 1
        v >>= 1
    return n


def _bits_of(v, n):
    return v if v >= 0 else v + (1 << n) - 1


def jpeg(img, quality=90):
    lq, cq = _scaled(LUM_Q, quality), _scaled(CHR_Q, quality)
    dcl, acl = _huff_codes(DC_LUM_BITS, DC_LUM_VAL), _huff_codes(AC_LUM_BITS, AC_LUM_VAL)
    dcc, acc = _huff_codes(DC_CHR_BITS, DC_CHR_VAL), _huff_codes(AC_CHR_BITS, AC_CHR_VAL)
    ycc = []
    for (r, g, b) in img.px:
        ycc.append((0.299 * r + 0.587 * g + 0.114 * b - 128,
                    -0.168736 * r - 0.331264 * g + 0.5 * b,
                    0.5 * r - 0.418688 * g - 0.081312 * b))
    bw = _BitWriter()
    prev = [0, 0, 0]
    tables = [(lq, dcl, acl), (cq, dcc, acc), (cq, dcc, acc)]
    for by in range(0, img.h, 8):
        for bx in range(0, img.w, 8):
            for comp in range(3):
                block = []
                for y in range(8):
                    yy = min(by + y, img.h - 1)
                    for x in range(8):
                        xx = min(bx + x, img.w - 1)
                        block.append(ycc[yy * img.w + xx][comp])
                q, dct, act = tables[comp]
                coef = _fdct(block)
                zz = [int(round(coef[ZIGZAG[i]] / q[ZIGZAG[i]])) for i in range(64)]
                diff = zz[0] - prev[comp]
                prev[comp] = zz[0]
                n = _category(diff)
                bw.write(*dct[n])
                if n:
                    bw.write(_bits_of(diff, n), n)
                run = 0
                for i in range(1, 64):
                    v = zz[i]
                    if v == 0:
                        run += 1
                        continue
                    while run > 15:
                        bw.write(*act[0xF0])
                        run -= 16
                    n = _category(v)
                    bw.write(*act[(run << 4) | n])
                    bw.write(_bits_of(v, n), n)
                    run = 0
                if run:
                    bw.write(*act[0x00])
    bw.flush()

    def seg(marker, payload):
        return struct.pack(">BBH", 0xFF, marker, len(payload) + 2) + payload

    out = b"\xff\xd8"
    out += seg(0xE0, b"JFIF\0\x01\x01\0\0\x01\0\x01\0\0")
    out += seg(0xDB, bytes([0]) + bytes(lq[ZIGZAG[i]] for i in range(64)) +
               bytes([1]) + bytes(cq[ZIGZAG[i]] for i in range(64)))
    out += seg(0xC0, struct.pack(">BHHB", 8, img.h, img.w, 3) + bytes([1, 0x11, 0, 2, 0x11, 1, 3, 0x11, 1]))
    out += seg(0xC4, bytes([0x00]) + bytes(DC_LUM_BITS) + bytes(DC_LUM_VAL) +
               bytes([0x10]) + bytes(AC_LUM_BITS) + AC_LUM_VAL +
               bytes([0x01]) + bytes(DC_CHR_BITS) + bytes(DC_CHR_VAL) +
               bytes([0x11]) + bytes(AC_CHR_BITS) + AC_CHR_VAL)
    out += seg(0xDA, bytes([3, 1, 0x00, 2, 0x11, 3, 0x11, 0, 63, 0]))
    return out + bytes(bw.out) + b"\xff\xd9"


# ------------------------------------------------------------------ writing generated files

def write_or_check(outputs, root):
    """Writes every file of `outputs` (path -> bytes); with --check on the command line compares
    them with the files in the tree instead. The exit code: 1 when a file differs."""
    check = "--check" in sys.argv[1:]
    bad = 0
    for path, data in sorted(outputs.items()):
        if check:
            if not os.path.exists(path) or open(path, "rb").read() != data:
                print("differs: " + os.path.relpath(path, root))
                bad += 1
            continue
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, "wb") as f:
            f.write(data)
    return 1 if bad else 0
