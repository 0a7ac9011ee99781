#!/usr/bin/env python3
"""Writes the graphics test data: small JPEG images (with ImageMagick's convert) and a corpus of
malformed bitmap and JPEG files under bad/, each of which the readers must refuse."""
import os
import struct
import subprocess

here = os.path.dirname(os.path.abspath(__file__))
bad = os.path.join(here, "bad")
os.makedirs(bad, exist_ok=True)


def jpegs():
    run = lambda *a: subprocess.run(["convert", *a], check=True, cwd=here)
    run("-size", "32x16", "xc:red", "-fill", "blue", "-draw", "rectangle 16,0 31,15", "-strip", "-quality", "95", "rgb.jpg")
    run("-size", "16x8", "xc:rgb(128,128,128)", "-colorspace", "Gray", "-strip", "-quality", "95", "gray.jpg")
    run("-size", "8x8", "xc:lime", "-colorspace", "CMYK", "-strip", "-quality", "95", "cmyk.jpg")
    run("-size", "24x24", "xc:blue", "-interlace", "JPEG", "-strip", "-quality", "95", "progressive.jpg")
    run("-size", "16x256", "gradient:red-blue", "-strip", "-quality", "90", "tall.jpg")


def bmp(width=2, height=2, bpp=24, compression=0, clr_used=0, planes=1, info_size=40,
        palette=b"", pixels=None, off_bits=None, extra=b""):
    info = struct.pack("<IiiHHIIiiII", info_size, width, height, planes, bpp, compression, 0, 0, 0, clr_used, 0)
    info += b"\0" * (info_size - 40) + extra
    if pixels is None:
        pixels = b"\0" * (((abs(width) * bpp + 31) // 32) * 4 * abs(height)) if abs(width * height) < 4096 else b""
    off = 14 + len(info) + len(palette) if off_bits is None else off_bits
    head = struct.pack("<2sIHHI", b"BM", 14 + len(info) + len(palette) + len(pixels), 0, 0, off)
    return head + info + palette + pixels


def pal(n):
    return b"".join(struct.pack("<BBBB", i, i, i, 0) for i in range(n))


def rle8(data, width=4, height=2, **kw):
    return bmp(width, height, 8, 1, palette=pal(256), pixels=bytes(data), **kw)


def rle4(data, width=4, height=2):
    return bmp(width, height, 4, 2, palette=pal(16), pixels=bytes(data))


good24 = bmp()
cases = {
    "empty.bmp": b"",
    "magic_only.bmp": b"BM",
    "truncated_file_header.bmp": good24[:10],
    "truncated_info_header.bmp": good24[:30],
    "wrong_magic.bmp": b"MB" + good24[2:],
    "unknown_header_size.bmp": good24[:14] + struct.pack("<I", 41) + good24[18:],
    "huge_width.bmp": bmp(100000, 1),
    "huge_height.bmp": bmp(1, -100000),
    "huge_area.bmp": bmp(30000, 30000),
    "negative_width.bmp": bmp(-5, 2),
    "min_int_height.bmp": bmp(2, -2147483648),
    "zero_planes.bmp": bmp(planes=0),
    "bad_bit_count.bmp": bmp(bpp=7),
    "bad_compression.bmp": bmp(compression=4),
    "bitfields_on_24_bits.bmp": bmp(compression=3),
    "rle8_on_24_bits.bmp": bmp(compression=1),
    "offset_past_end.bmp": bmp(off_bits=100000),
    "offset_inside_header.bmp": bmp(off_bits=20),
    "offset_inside_palette.bmp": bmp(bpp=8, palette=pal(256), off_bits=60),
    "truncated_pixels.bmp": bmp(width=10, height=10)[:-7],
    "palette_count_too_big.bmp": bmp(bpp=8, clr_used=1000, palette=pal(256)),
    "palette_count_over_depth.bmp": bmp(bpp=4, clr_used=17, palette=pal(17)),
    "palette_past_end.bmp": bmp(bpp=8, palette=pal(10), pixels=b"")[:-1],
    "masks_truncated.bmp": bmp(bpp=16, compression=3)[:54 + 6],
    "rle8_run_overrun.bmp": rle8([5, 1, 0, 1]),
    "rle8_absolute_overrun.bmp": rle8([0, 6, 1, 2, 3, 4, 5, 6, 0, 1]),
    "rle8_delta_outside.bmp": rle8([0, 2, 3, 5, 1, 1, 0, 1]),
    "rle8_delta_right_edge.bmp": rle8([0, 2, 9, 0, 0, 1]),
    "rle8_lines_outside.bmp": rle8([0, 0, 0, 0, 0, 0, 1, 1, 0, 1]),
    "rle8_truncated_absolute.bmp": rle8([0, 8, 1, 2]),
    "rle8_truncated_escape.bmp": rle8([0, 2, 1]),
    "rle8_top_down.bmp": rle8([0, 1], height=-2),
    "rle4_run_overrun.bmp": rle4([9, 0x11, 0, 1]),
    "rle4_absolute_overrun.bmp": rle4([0, 9, 0x12, 0x34, 0x56, 0x78, 0x90, 0, 0, 1]),
    "rle4_on_8_bits.bmp": bmp(4, 2, 8, 2, palette=pal(256), pixels=b"\0\1"),
    "not_an_image.jpg": b"this is text, not a picture",
    "soi_only.jpg": b"\xff\xd8",
    "truncated_header.jpg": open(os.path.join(here, "rgb.jpg"), "rb").read()[:60] if os.path.exists(os.path.join(here, "rgb.jpg")) else b"\xff\xd8\xff\xe0",
    "bitmap_named_jpg.jpg": good24,
}


def jpeg_with_size(w, h):
    data = bytearray(open(os.path.join(here, "rgb.jpg"), "rb").read())
    i = 2
    while i + 4 < len(data):
        marker, length = data[i + 1], struct.unpack(">H", data[i + 2:i + 4])[0]
        if marker in (0xC0, 0xC2):
            data[i + 5:i + 9] = struct.pack(">HH", h, w)
            break
        i += 2 + length
    return bytes(data)


if __name__ == "__main__":
    jpegs()
    cases["huge_dimensions.jpg"] = jpeg_with_size(60000, 60000)
    cases["zero_width.jpg"] = jpeg_with_size(0, 16)
    cases["truncated_header.jpg"] = open(os.path.join(here, "rgb.jpg"), "rb").read()[:60]
    for name, data in cases.items():
        with open(os.path.join(bad, name), "wb") as f:
            f.write(data)
