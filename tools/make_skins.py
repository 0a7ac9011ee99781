#!/usr/bin/env python3
"""Writes the program's two skins, Neutral (light) and Dusk (dark), into app/defaults/Skins/, and
the test-only fixture skins into tests/data/skins/. Everything comes from the tables below; the
same bytes on every run (no clock, no random numbers).

    python3 tools/make_skins.py          write the skins
    python3 tools/make_skins.py --check  compare with the files in the tree (exit 1 on a difference)
"""
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import skinimage as si  # noqa: E402

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(HERE)
SKINS = os.path.join(ROOT, "app", "defaults", "Skins")
FIXTURES = os.path.join(ROOT, "tests", "data", "skins")


def tcolor(rgb):
    r, g, b = rgb
    return r | (g << 8) | (b << 16)


def grad(c1, c2, mode=0):
    return "%d;%d;100;%d;0" % (tcolor(c1), tcolor(c2), mode)


def mix(a, b, t):
    return tuple(int(round(a[i] + (b[i] - a[i]) * t)) for i in range(3))


# ------------------------------------------------------------------------------------ palettes

NEUTRAL = dict(
    bg=(240, 242, 245), panel=(233, 236, 240), text=(32, 38, 46), muted=(112, 120, 132),
    accent=(52, 120, 198), accent_soft=(222, 234, 248), accent_line=(150, 188, 232),
    border=(170, 178, 190), border_dark=(128, 137, 150), light=(255, 255, 255), box_line=(128, 137, 150),
    edit=(255, 255, 255), shadow=(0, 0, 0),
    btn=((253, 253, 254), (232, 236, 241)), btn_hot=((247, 251, 255), (221, 233, 248)),
    title=((233, 237, 242), (222, 228, 236)), title_active=((214, 226, 241), (196, 213, 234)),
    bar=((246, 247, 249), (232, 235, 239)), progress=((104, 164, 228), (52, 120, 198)),
    close_hot=(214, 62, 52), glyph=(58, 66, 78), mdi=(206, 211, 218), paper=(240, 236, 226),
)
DUSK = dict(
    bg=(43, 47, 54), panel=(50, 55, 63), text=(216, 222, 233), muted=(140, 148, 160),
    accent=(94, 158, 214), accent_soft=(52, 72, 96), accent_line=(86, 128, 170),
    border=(76, 84, 96), border_dark=(27, 30, 35), light=(92, 100, 112), box_line=(120, 128, 140),
    edit=(34, 37, 43), shadow=(0, 0, 0),
    btn=((66, 72, 82), (54, 59, 68)), btn_hot=((76, 86, 100), (62, 70, 82)),
    title=((38, 42, 49), (33, 36, 42)), title_active=((46, 58, 74), (36, 45, 58)),
    bar=((52, 57, 65), (45, 49, 56)), progress=((120, 178, 228), (70, 132, 190)),
    close_hot=(196, 64, 56), glyph=(206, 212, 222), mdi=(30, 33, 38), paper=(40, 44, 50),
    # The scroll bar's slider, well lighter than its track so that it stands out.
    thumb=dict(fill=(98, 107, 121), line=(132, 141, 155), hot=(114, 125, 141), pressed=(88, 122, 160),
               grip=(214, 220, 230)),
)


# ------------------------------------------------------------------------------------ masks

def frame_state(cw, ch, style):
    """One state of a border mask: a rounded frame over 3 x 3 cells, its inside transparent."""
    w, h = 3 * cw, 3 * ch
    r = style.get("radius", 3)
    lay = si.Layers(w, h)
    outer = si.round_rect(0, 0, w, h, r)
    if style.get("fill"):
        lay.paint(outer, style["fill"], style.get("fill_alpha", 1.0))
    if style.get("band"):
        color, bw = style["band"]
        lay.paint(si.difference(outer, si.round_rect(bw, bw, w - bw, h - bw, max(r - bw, 0))), color)
    if style.get("inner"):
        inner_line = si.difference(si.round_rect(1, 1, w - 1, h - 1, max(r - 1, 0)),
                                   si.round_rect(1, 2, w - 1, h - 1, max(r - 1, 0)))
        lay.paint(inner_line, style["inner"], style.get("inner_alpha", 0.6))
    width = style.get("width", 1)
    ring = si.difference(outer, si.round_rect(width, width, w - width, h - width, max(r - width, 0)))
    lay.paint(ring, style["line"], style.get("line_alpha", 1.0))
    pic, mask = lay.rows()
    if style.get("clear"):
        # A state that shows nothing is the key colour throughout: what lies beneath stays as it
        # is (a blend mask that keeps the destination still darkens it by one step).
        return si.Image(w, h, si.KEY), mask
    # Uncovered pixels inside the frame are not the key colour: only the corners outside the
    # rounding show the parent through the key.
    for y in range(h):
        for x in range(w):
            if pic.get(x, y) == si.KEY and si.coverage(outer, x, y) > 0:
                pic.set(x, y, style["line"])
    return pic, mask


def frame_mask(cw, ch, states):
    parts = [frame_state(cw, ch, s) for s in states]
    pic = si.side_by_side([p for p, _ in parts])
    mask = si.side_by_side([m for _, m in parts])
    return si.stack(pic, mask)


def glyph_mask(cw, ch, draw, states=3, mask_rows=1, background=None):
    """ImageCount states of a glyph side by side, each drawn by draw(layers, state). With
    mask_rows 0 the picture is flattened onto `background` and the key marks what stays clear."""
    pics, masks = [], []
    for s in range(states):
        lay = si.Layers(cw, ch)
        draw(lay, s, cw, ch)
        pic, mask = lay.rows()
        if not mask_rows:
            for y in range(ch):
                for x in range(cw):
                    a = 1 - mask.get(x, y)[0] / 255.0
                    if a < 0.15:
                        pic.set(x, y, si.KEY)
                    elif a < 1:
                        pic.set(x, y, mix(background, pic.get(x, y), a))
        pics.append(pic)
        masks.append(mask)
    pic = si.side_by_side(pics)
    return si.stack(pic, si.side_by_side(masks)) if mask_rows else pic


def arrow(direction, color):
    def draw(lay, s, w, h):
        cx, cy = w / 2.0, h / 2.0
        d = 3.0
        pts = {"up": [(cx - d, cy + d / 2), (cx, cy - d / 2), (cx + d, cy + d / 2)],
               "down": [(cx - d, cy - d / 2), (cx, cy + d / 2), (cx + d, cy - d / 2)],
               "left": [(cx + d / 2, cy - d), (cx - d / 2, cy), (cx + d / 2, cy + d)],
               "right": [(cx - d / 2, cy - d), (cx + d / 2, cy), (cx - d / 2, cy + d)]}[direction]
        lay.paint(si.polyline(pts, 1.6), color, 1.0 if s else 0.85)
    return draw


def check_box(p, kind):
    """kind: 'checked', 'unchecked', 'grayed'; states normal, hot, pressed."""
    def draw(lay, s, w, h):
        box = si.round_rect(0.5, 0.5, w - 0.5, h - 0.5, 2.5)
        lay.paint(box, p["edit"] if s < 2 else p["accent_soft"])
        lay.paint(si.difference(box, si.round_rect(1.5, 1.5, w - 1.5, h - 1.5, 1.5)),
                  p["accent"] if s else p["box_line"])
        if kind == "checked":
            lay.paint(si.polyline([(3.2, 6.8), (5.4, 9.0), (9.8, 3.8)], 1.9), p["accent"])
        elif kind == "grayed":
            lay.paint(si.round_rect(3.5, 3.5, w - 3.5, h - 3.5, 1), p["muted"])
    return draw


def radio_button(p, kind):
    def draw(lay, s, w, h):
        c = w / 2.0
        lay.paint(si.ellipse(c, c, c - 0.5, c - 0.5), p["edit"] if s < 2 else p["accent_soft"])
        lay.paint(si.difference(si.ellipse(c, c, c - 0.5, c - 0.5), si.ellipse(c, c, c - 1.5, c - 1.5)),
                  p["accent"] if s else p["box_line"])
        if kind == "checked":
            lay.paint(si.ellipse(c, c, 2.6, 2.6), p["accent"])
        elif kind == "grayed":
            lay.paint(si.ellipse(c, c, 2.6, 2.6), p["muted"])
    return draw


def left_of_cell(draw, width):
    """A picture drawn `width` pixels wide at the left of a wider cell."""
    return lambda lay, s, w, h: draw(lay, s, width, h)


def small_mark(p, kind):
    def draw(lay, s, w, h):
        if kind == "checked":
            lay.paint(si.polyline([(1.5, 4.5), (3.5, 6.5), (7.5, 2.0)], 1.5), p["accent"] if s else p["glyph"])
        elif kind == "grayed":
            lay.paint(si.round_rect(2, 2, w - 2, h - 2, 1), p["muted"])
    return draw


def title_icon(p, kind, small=False):
    def draw(lay, s, w, h):
        if s:
            hot = p["close_hot"] if kind == "close" else p["accent_soft"]
            lay.paint(si.round_rect(1, 1, w - 1, h - 1, 3), mix(hot, (0, 0, 0), 0.12 if s == 2 else 0))
        ink = p["light"] if (kind == "close" and s and p is NEUTRAL) else p["glyph"]
        if kind == "close" and s:
            ink = (255, 255, 255)
        cx, cy = w / 2.0, h / 2.0
        d = 3.5 if small else 4.5
        if kind == "close":
            shape = si.union(si.polyline([(cx - d, cy - d), (cx + d, cy + d)], 1.4),
                             si.polyline([(cx - d, cy + d), (cx + d, cy - d)], 1.4))
        elif kind == "min":
            shape = si.polyline([(cx - d, cy + d - 1), (cx + d, cy + d - 1)], 1.5)
        elif kind == "max":
            shape = si.difference(si.round_rect(cx - d, cy - d, cx + d, cy + d, 0.5),
                                  si.round_rect(cx - d + 1.3, cy - d + 1.8, cx + d - 1.3, cy + d - 1.3, 0))
        elif kind == "norm":
            back = si.difference(si.round_rect(cx - d + 2, cy - d, cx + d, cy + d - 2, 0),
                                 si.round_rect(cx - d + 3.2, cy - d + 1.2, cx + d - 1.2, cy + d - 3.2, 0))
            front = si.difference(si.round_rect(cx - d, cy - d + 2, cx + d - 2, cy + d, 0),
                                  si.round_rect(cx - d + 1.2, cy - d + 3.4, cx + d - 3.2, cy + d - 1.2, 0))
            shape = si.union(back, front)
        elif kind == "help":
            shape = si.union(si.polyline([(cx - 2.5, cy - 2), (cx - 1.5, cy - 4), (cx + 1.5, cy - 4),
                                          (cx + 2.5, cy - 2.5), (cx, cy), (cx, cy + 1.5)], 1.4),
                             si.ellipse(cx, cy + 3.8, 0.9, 0.9))
        else:  # a user's title button: a dot
            shape = si.ellipse(cx, cy, 2.2, 2.2)
        lay.paint(shape, ink)
    return draw


def grip(p):
    def draw(lay, s, w, h):
        for i in range(3):
            for j in range(i + 1):
                x, y = w - 3 - 4 * j, h - 3 - 4 * (2 - i)
                lay.paint(si.round_rect(x - 1, y - 1, x + 1, y + 1, 0.5), p["box_line"])
    return draw


def thumb(p):
    """The scroll bar's slider: its colours (fill, line, hot, pressed, grip) over the button's."""
    t = dict(fill=p["btn"][0], line=p["border"], hot=p["btn_hot"][0], pressed=p["btn_hot"][1], grip=p["box_line"])
    t.update(p.get("thumb", {}))
    return t


def slider_grip(vertical, p):
    ink = thumb(p)["grip"]

    def draw(lay, s, w, h):
        for k in (-2, 0, 2):
            if vertical:
                lay.paint(si.polyline([(w / 2 - 3, h / 2 + k), (w / 2 + 3, h / 2 + k)], 1.0), ink, 0.8)
            else:
                lay.paint(si.polyline([(w / 2 + k, h / 2 - 3), (w / 2 + k, h / 2 + 3)], 1.0), ink, 0.8)
    return draw


def tab_state(p, side, s):
    """Tabs: state 0 inactive, 1 hot, 2 active; the edge toward the page stays open."""
    style = dict(radius=3, line=p["border"] if s < 2 else p["border_dark"])
    if s == 1:
        style["line"] = p["accent_line"]
    return style


def tab_mask(p, side, cw=4, ch=4):
    img = frame_mask(cw, ch, [tab_state(p, side, s) for s in range(3)])
    # Open the frame toward the page: clear the outer line of the page-side cells.
    sw, sh = 3 * cw, 3 * ch
    for s in range(3):
        for k in range(sw if side in ("top", "bottom") else sh):
            if side == "top":
                xy = [(s * sw + k, sh - 1)]
            elif side == "bottom":
                xy = [(s * sw + k, 0)]
            elif side == "left":
                xy = [(s * sw + sw - 1, k)]
            else:
                xy = [(s * sw, k)]
            for x, y in xy:
                img.set(x, y, p["border"])
                img.set(x, y + sh, (255, 255, 255) if s == 2 else (120, 120, 120))
    return img


def stripe_pattern(p, w=8, h=8):
    img = si.Image(w, h, p["panel"])
    for y in range(h):
        for x in range(w):
            if (x + y) % 8 == 0:
                img.set(x, y, mix(p["panel"], p["light"], 0.25))
    return img


def track_tile(p, vertical):
    """An 8 x 8 tile of a scroll track: the track colour with a faint line along the track."""
    base = mix(p["panel"], p["bg"], 0.5)
    img = si.Image(8, 8, base)
    for k in range(8):
        img.set(3 if vertical else k, k if vertical else 3, mix(base, p["border"], 0.18))
    return img


def hashed(x, y, seed):
    v = (x * 374761393 + y * 668265263 + seed * 2147483647) & 0xFFFFFFFF
    v = ((v ^ (v >> 13)) * 1274126177) & 0xFFFFFFFF
    return (v ^ (v >> 16)) & 0xFF


def paper(p, size, seed, strength=10):
    """A soft paper texture: value noise smoothed over 4-pixel cells, tiling seamlessly."""
    img = si.Image(size, size)
    cell = 4
    n = size // cell
    for y in range(size):
        for x in range(size):
            gx, gy = x / cell, y / cell
            x0, y0 = int(gx) % n, int(gy) % n
            fx, fy = gx - int(gx), gy - int(gy)
            a = hashed(x0, y0, seed)
            b = hashed((x0 + 1) % n, y0, seed)
            c = hashed(x0, (y0 + 1) % n, seed)
            d = hashed((x0 + 1) % n, (y0 + 1) % n, seed)
            v = (a * (1 - fx) + b * fx) * (1 - fy) + (c * (1 - fx) + d * fx) * fy
            fine = hashed(x, y, seed + 7)
            t = ((v - 128) * 0.7 + (fine - 128) * 0.3) / 128.0 * strength
            img.set(x, y, tuple(max(0, min(255, int(round(p["paper"][k] + t)))) for k in range(3)))
    return img


# ------------------------------------------------------------------------------------ sections

class MasterMask:
    def __init__(self, image, count, mask_type=1, border=0):
        self.image, self.count, self.mask_type, self.border = image, count, mask_type, border


class FileImage:
    def __init__(self, name, data):
        self.name, self.data = name, data


# The defaults of the options-file format; a key equal to its default is not written.
FORMAT_DEFAULTS = dict(
    COLOR=16777215, BEVEL=0, SHADOWBLUR=6, SHADOWOFFSET=3, SHADOWCOLOR=0, SHADOWENABLED="FALSE",
    RESERVEDBOOLEAN="FALSE", FONTCOLOR=0, HOTFONTCOLOR=0, TRANSPARENCY=0, GRADIENTPERCENT=0, IMAGEPERCENT=0,
    GRADIENTDATA="", SHOWFOCUS="FALSE", FADINGENABLED="FALSE", FADINGINTERVALIN=5, FADINGINTERVALOUT=5,
    FADINGITERATIONS=5, HOTCOLOR=16777215, HOTTRANSPARENCY=0, HOTBEVEL=0, HOTGRADIENTPERCENT=0,
    HOTIMAGEPERCENT=0, BORDERCOLOR1=0, BORDERCOLOR2=0)


def general(p, **over):
    """The keys of a section without a parent, in file order. SHADOWTRANSPARENCY and
    HOTGRADIENTDATA are always written: their defaults differ between a skin folder and a skin
    stored in a form, and the two must load alike."""
    keys = [
        ("COLOR", tcolor(p["bg"])), ("SHADOWTRANSPARENCY", 60),
        ("FONTCOLOR", tcolor(p["text"])), ("HOTFONTCOLOR", tcolor(p["text"])),
        ("HOTCOLOR", tcolor(p["bg"])), ("HOTGRADIENTDATA", ""),
        ("BORDERCOLOR1", tcolor(p["border"])), ("BORDERCOLOR2", tcolor(p["border_dark"])),
    ]
    values = dict(keys)
    values.update(over)
    order = [k for k, _ in keys] + [k for k in over if k not in dict(keys)]
    out = []
    for k in order:
        v = values[k]
        if k not in ("SHADOWTRANSPARENCY", "HOTGRADIENTDATA") and FORMAT_DEFAULTS.get(k, object()) == v:
            continue
        out.append((k, v))
    return out


def button_like(p, hot_fade=True):
    return general(p, COLOR=tcolor(p["btn"][1]), HOTCOLOR=tcolor(p["btn_hot"][1]),
                   GRADIENTPERCENT=100, GRADIENTDATA=grad(*p["btn"]),
                   HOTGRADIENTPERCENT=100, HOTGRADIENTDATA=grad(*p["btn_hot"]),
                   SHOWFOCUS="TRUE", FADINGENABLED="TRUE" if hot_fade else "FALSE", FADINGITERATIONS=4)


def button_frame(p):
    return frame_mask(4, 4, [dict(radius=3, line=p["border"], inner=p["light"], inner_alpha=0.7),
                             dict(radius=3, line=p["accent_line"], inner=p["light"], inner_alpha=0.8),
                             dict(radius=3, line=p["accent"], inner=p["shadow"], inner_alpha=0.12)])


def skin_sections(p, dusk):
    """The sections of a skin in file order: (name, [(key, value)]). Values are texts, numbers,
    MasterMask (a rectangle of the master image) or FileImage (a file of the skin folder)."""
    s = []
    add = s.append
    key_bg = p["bg"]

    def gl(draw, cw=13, ch=13, states=3, rows=1):
        return MasterMask(glyph_mask(cw, ch, draw, states, rows, key_bg), states, rows)

    icons = [("BICONCLOSE", "close"), ("BICONMAX", "max"), ("BICONMIN", "min"), ("BICONNORM", "norm"),
             ("BICONHELP", "help"), ("TITLEBUTTON", "user")]
    small_icons = [("SICONCLOSE", "close"), ("SICONMAX", "max"), ("SICONMIN", "min"), ("SICONNORM", "norm")]
    icon_keys = [(k, gl(title_icon(p, kind), 26, 20)) for k, kind in icons] + \
                [(k, gl(title_icon(p, kind, True), 18, 16)) for k, kind in small_icons]

    rows = 0 if dusk else 1
    g = [("VERSION", "4.5"), ("AUTHOR", "Vellorn"),
         ("DESCRIPTION", "Тёмная тема для вечерней работы" if dusk else "Light, the default skin"),
         ("MASTERBITMAP", "Master.bmp")]
    g += general(p, COLOR=tcolor(p["bg"]), HOTCOLOR=tcolor(p["accent_soft"]))
    # A 13-pixel box at the left of a 16-pixel cell: the cell's clear columns keep the caption
    # that follows it (or, with the box on the right, the edge) off the box.
    for prefix, maker in (("BOX", check_box), ("RADIO", radio_button)):
        for state in ("checked", "unchecked", "grayed"):
            g.append((prefix + state.upper(), gl(left_of_cell(maker(p, state), 13), 16, 13, 3, rows)))
    for state in ("checked", "unchecked", "grayed"):
        g.append(("SMALL" + state.upper(), gl(small_mark(p, state), 9, 9)))
    g.append(("GRIPIMAGE", gl(grip(p), 12, 12)))
    if not dusk:
        g += icon_keys
    add(("GLOBALINFO", g))

    form = general(p, COLOR=tcolor(p["bg"]), HOTCOLOR=tcolor(p["bg"]))
    form.append(("BORDERSMASK", MasterMask(frame_mask(4, 4, [
        dict(radius=4, line=p["border_dark"], band=(p["title"][1], 4)),
        dict(radius=4, line=p["accent_line"] if not dusk else p["border_dark"], band=(p["title_active"][1], 4)),
        dict(radius=4, line=p["border_dark"], band=(p["title"][1], 4))]), 3, 1, 4)))
    form.append(("TITLEBAR", MasterMask(frame_mask(4, 4, [dict(radius=0, line=p["title"][1], clear=True)] * 2), 2)))
    if dusk:
        form += icon_keys
    add(("FORM", form))
    title_text = (230, 235, 242) if dusk else p["text"]
    title = general(p, COLOR=tcolor(p["title"][0]), HOTCOLOR=tcolor(p["title_active"][0]),
                    FONTCOLOR=tcolor(p["muted"]), HOTFONTCOLOR=tcolor(title_text),
                    GRADIENTPERCENT=100, GRADIENTDATA=grad(*p["title"]),
                    HOTGRADIENTPERCENT=100, HOTGRADIENTDATA=grad(*p["title_active"]))
    if dusk:
        for k in ("TCLEFT", "TCTOP", "TCRIGHT", "TCBOTTOM"):
            title.append((k, tcolor((20, 22, 26))))
        for k in ("HOTTCLEFT", "HOTTCTOP", "HOTTCRIGHT", "HOTTCBOTTOM"):
            title.append((k, tcolor((18, 24, 34))))
        title.append(("PATTERN", "TitleGrain.jpg"))
    add(("FORMTITLE", title))
    add(("DIALOG", [("PARENTCLASS", "FORM")]))

    add(("MENULINE", general(p, COLOR=tcolor(p["panel"]), HOTCOLOR=tcolor(p["accent_soft"]))))
    # A menu item shows the menu line or the submenu under it until it is selected.
    menu_item = general(p, COLOR=tcolor(p["edit"]), HOTCOLOR=tcolor(p["accent_soft"]), TRANSPARENCY=100)
    menu_item.append(("BORDERSMASK", MasterMask(frame_mask(3, 3, [
        dict(radius=2, line=p["edit"], clear=True),
        dict(radius=2, line=p["accent_line"]),
        dict(radius=2, line=p["accent"])]), 3)))
    add(("MENUITEM", menu_item))
    main_menu = general(p, COLOR=tcolor(p["edit"]), HOTCOLOR=tcolor(p["edit"]))
    main_menu.append(("BORDERSMASK", MasterMask(frame_mask(3, 3, [dict(radius=0, line=p["border"])]), 1)))
    add(("MAINMENU", main_menu))
    mdi = general(p, COLOR=tcolor(p["mdi"]), HOTCOLOR=tcolor(p["mdi"]), IMAGEPERCENT=50, HOTIMAGEPERCENT=50)
    mdi.append(("PATTERN", "Paper.jpg" if not dusk else "Slate.jpg"))
    mdi.append(("HOTPATTERN", "Paper.jpg" if not dusk else "Slate.jpg"))
    add(("MDIAREA", mdi))

    def tile_keys(vertical):
        tile = MasterMask(track_tile(p, vertical), 1, 0)
        return [("PATTERN", tile), ("HOTPATTERN", tile)]

    t = thumb(p)
    slider = [dict(radius=3, line=t["line"], fill=t["fill"], inner=p["light"], inner_alpha=0.5),
              dict(radius=3, line=p["accent_line"], fill=t["hot"]),
              dict(radius=3, line=p["accent"], fill=t["pressed"])]
    for name, direction in (("SCROLLBTNTOP", "up"), ("SCROLLBTNBOTTOM", "down"),
                            ("SCROLLBTNLEFT", "left"), ("SCROLLBTNRIGHT", "right")):
        sec = general(p, COLOR=tcolor(p["panel"]), HOTCOLOR=tcolor(p["btn_hot"][0]))
        sec.append(("BORDERSMASK", MasterMask(frame_mask(3, 3, [
            dict(radius=2, line=p["panel"], line_alpha=0.0),
            dict(radius=2, line=p["accent_line"]),
            dict(radius=2, line=p["accent"])]), 3)))
        sec.append(("GLYPHMASK", gl(arrow(direction, p["glyph"]), 11, 11)))
        sec += tile_keys(direction in ("up", "down"))
        add((name, sec))
    for name, vertical in (("SCROLLSLIDERV", True), ("SCROLLSLIDERH", False)):
        sec = general(p, COLOR=tcolor(t["fill"]), HOTCOLOR=tcolor(t["hot"]))
        sec.append(("BORDERSMASK", MasterMask(frame_mask(4, 4, slider), 3)))
        sec.append(("GLYPHMASK", gl(slider_grip(vertical, p), 9, 9)))
        sec += tile_keys(vertical)
        add((name, sec))
    for name in ("SCROLLBAR1H", "SCROLLBAR1V", "SCROLLBAR2H", "SCROLLBAR2V"):
        track = mix(p["panel"], p["bg"], 0.5)
        sec = general(p, COLOR=tcolor(track), HOTCOLOR=tcolor(mix(track, p["border"], 0.25)),
                      IMAGEPERCENT=60, HOTIMAGEPERCENT=40)
        sec.append(("BORDERSMASK", MasterMask(frame_mask(2, 2, [dict(radius=0, line=track, line_alpha=0.0)] * 3), 3)))
        sec += tile_keys(name.endswith("V"))
        add((name, sec))

    for name, side in (("TABTOP", "top"), ("TABBOTTOM", "bottom"), ("TABLEFT", "left"), ("TABRIGHT", "right")):
        sec = general(p, COLOR=tcolor(p["panel"]), HOTCOLOR=tcolor(p["bg"]),
                      GRADIENTPERCENT=100, GRADIENTDATA=grad(p["panel"], mix(p["panel"], p["border"], 0.2),
                                                              0 if side in ("top", "bottom") else 1),
                      HOTFONTCOLOR=tcolor(p["text"]), FONTCOLOR=tcolor(p["muted"]))
        sec.append(("BORDERSMASK", MasterMask(tab_mask(p, side), 3)))
        add((name, sec))
    add(("TABSHEET", general(p, COLOR=tcolor(p["bg"]), HOTCOLOR=tcolor(p["bg"]))))
    page_frame = MasterMask(frame_mask(3, 3, [dict(radius=0, line=p["border"])]), 1)
    for name in ("PAGECONTROL", "PAGECONTROLBOTTOM", "PAGECONTROLLEFT", "PAGECONTROLRIGHT",
                 "TABCONTROL", "TABCONTROLBOTTOM", "TABCONTROLLEFT", "TABCONTROLRIGHT"):
        if name in ("PAGECONTROL", "TABCONTROL"):
            sec = general(p, COLOR=tcolor(p["bg"]), HOTCOLOR=tcolor(p["bg"]))
            sec.append(("BORDERSMASK", page_frame))
        else:
            sec = [("PARENTCLASS", "PAGECONTROL" if name.startswith("PAGE") else "TABCONTROL")]
        add((name, sec))

    btn = button_like(p)
    if dusk:
        btn.append(("BORDERSMASK", FileImage("Button.bmp", si.bmp24(button_frame(p)))))
    else:
        btn.append(("BORDERSMASK", MasterMask(button_frame(p), 3, 1, 4)))
    add(("BUTTON", btn))
    speed = button_like(p, False)
    speed.append(("BORDERSMASK", MasterMask(button_frame(p), 3, 1, 4)))
    add(("SPEEDBUTTON", speed))
    add(("SPEEDBUTTON_SMALL", [("PARENTCLASS", "SPEEDBUTTON")]))
    tool = general(p, COLOR=tcolor(p["bar"][1]), HOTCOLOR=tcolor(p["accent_soft"]), TRANSPARENCY=100)
    tool_frame = frame_mask(4, 4, [dict(radius=3, line=p["bar"][1], line_alpha=0.0),
                                   dict(radius=3, line=p["accent_line"], fill=p["accent_soft"], fill_alpha=0.6),
                                   dict(radius=3, line=p["accent"], fill=p["accent_soft"])])
    tool.append(("BORDERSMASK", FileImage("ToolButton.bmp", si.bmp24(tool_frame))))
    add(("TOOLBUTTON", tool))
    add(("WEBBUTTON", general(p, TRANSPARENCY=100, HOTTRANSPARENCY=100, FONTCOLOR=tcolor(p["accent"]),
                              HOTFONTCOLOR=tcolor(mix(p["accent"], p["text"], 0.35)))))
    for name in ("CHECKBOX", "RADIOBUTTON"):
        add((name, general(p, TRANSPARENCY=100, HOTTRANSPARENCY=100)))

    edit_frame = MasterMask(frame_mask(3, 3, [dict(radius=2, line=p["border"]),
                                              dict(radius=2, line=p["accent_line"]),
                                              dict(radius=2, line=p["accent"])]), 3, 1, 3)
    edit = general(p, COLOR=tcolor(p["edit"]), HOTCOLOR=tcolor(p["edit"]), SHOWFOCUS="TRUE")
    edit.append(("BORDERSMASK", edit_frame))
    add(("EDIT", edit))
    combo = general(p, COLOR=tcolor(p["edit"]), HOTCOLOR=tcolor(p["edit"]), SHOWFOCUS="TRUE")
    combo.append(("BORDERSMASK", edit_frame))
    if dusk:
        combo.append(("GLYPHMASK", FileImage("ComboArrow.bmp", si.bmp24(glyph_mask(11, 11, arrow("down", p["glyph"]))))))
    else:
        combo.append(("GLYPHMASK", gl(arrow("down", p["glyph"]), 11, 11)))
    add(("COMBOBOX", combo))
    add(("LISTBOX", [("PARENTCLASS", "EDIT")]))

    add(("PANEL", general(p, COLOR=tcolor(p["bg"]), HOTCOLOR=tcolor(p["bg"]))))
    low = general(p, COLOR=tcolor(p["panel"]), HOTCOLOR=tcolor(p["panel"]))
    low.append(("BORDERSMASK", MasterMask(frame_mask(2, 2, [dict(radius=0, line=p["border"])]), 1, 1, 2)))
    add(("PANEL_LOW", low))
    box = general(p, COLOR=tcolor(p["bg"]), HOTCOLOR=tcolor(p["bg"]), TRANSPARENCY=100, HOTTRANSPARENCY=100)
    box.append(("BORDERSMASK", MasterMask(frame_mask(4, 4, [dict(radius=4, line=p["border"])]), 1)))
    add(("GROUPBOX", box))
    add(("TOOLBAR", general(p, COLOR=tcolor(p["bar"][1]), HOTCOLOR=tcolor(p["bar"][1]),
                            GRADIENTPERCENT=100, GRADIENTDATA=grad(*p["bar"]),
                            HOTGRADIENTPERCENT=100, HOTGRADIENTDATA=grad(*p["bar"]))))
    status = general(p, COLOR=tcolor(p["bar"][1]), HOTCOLOR=tcolor(p["bar"][1]), FONTCOLOR=tcolor(p["muted"]))
    status.append(("BORDERSMASK", MasterMask(tab_mask(p, "bottom", 2, 2), 3)))
    if not dusk:
        status.append(("STATUSPANELMASK", MasterMask(frame_mask(2, 2, [dict(radius=0, line=p["border"], line_alpha=0.6)]), 1)))
    add(("STATUSBAR", status))
    divider = general(p, COLOR=tcolor(p["bar"][1]), HOTCOLOR=tcolor(p["bar"][1]), TRANSPARENCY=100)
    divider.append(("BORDERSMASK", MasterMask(frame_mask(1, 2, [dict(radius=0, line=p["border"], width=1)]), 1)))
    add(("DIVIDER", divider))
    add(("SPLITTER", general(p, COLOR=tcolor(p["panel"]), HOTCOLOR=tcolor(p["accent_soft"]))))
    add(("DRAGBAR", general(p, COLOR=tcolor(p["title"][1]), HOTCOLOR=tcolor(p["title_active"][1]),
                            GRADIENTPERCENT=100, GRADIENTDATA=grad(*p["title"]),
                            HOTGRADIENTPERCENT=100, HOTGRADIENTDATA=grad(*p["title_active"]))))
    add(("BAR", general(p, COLOR=tcolor(p["panel"]), HOTCOLOR=tcolor(p["panel"]))))
    add(("BARTITLE", [("PARENTCLASS", "DRAGBAR")]))
    bar_panel = general(p, COLOR=tcolor(p["bg"]), HOTCOLOR=tcolor(p["bg"]))
    if dusk:
        bar_panel += [("IMAGEPERCENT", 30), ("PATTERN", "Stripes.bmp")]
        bar_panel = [(k, v) for k, v in bar_panel if not (k == "IMAGEPERCENT" and v == 0)]
    add(("BARPANEL", bar_panel))
    gauge = general(p, COLOR=tcolor(p["edit"]), HOTCOLOR=tcolor(p["edit"]))
    gauge.append(("BORDERSMASK", MasterMask(frame_mask(3, 3, [dict(radius=2, line=p["border"])]), 1)))
    add(("GAUGE", gauge))
    for name, mode in (("PROGRESSH", 0), ("PROGRESSV", 1)):
        sec = general(p, COLOR=tcolor(p["progress"][1]), HOTCOLOR=tcolor(p["progress"][1]),
                      FONTCOLOR=tcolor((255, 255, 255)), HOTFONTCOLOR=tcolor((255, 255, 255)),
                      GRADIENTPERCENT=100, GRADIENTDATA=grad(*p["progress"], mode=mode),
                      HOTGRADIENTPERCENT=100, HOTGRADIENTDATA=grad(*p["progress"], mode=mode))
        sec.append(("BORDERSMASK", MasterMask(frame_mask(3, 3, [dict(radius=2, line=mix(p["progress"][1], p["shadow"], 0.2))]), 1)))
        add((name, sec))
    add(("TRACKBAR", general(p, TRANSPARENCY=100, HOTTRANSPARENCY=100)))
    if not dusk:
        header = button_like(p, False)
        header.append(("BORDERSMASK", MasterMask(tab_mask(p, "bottom", 3, 3), 3)))
        add(("COLHEADER", header))
    return s


# ------------------------------------------------------------------------------------ writing a skin

class MasterPacker:
    """Places images in rows of a master image at most `width` wide; the rest is key colour."""

    def __init__(self, width=256):
        self.width, self.items, self.x, self.y, self.row_h = width, [], 0, 0, 0

    def place(self, img):
        for placed, x, y in self.items:
            if placed.w == img.w and placed.h == img.h and placed.px == img.px:
                return x, y
        if self.x + img.w > self.width:
            self.x, self.y, self.row_h = 0, self.y + self.row_h, 0
        pos = (self.x, self.y)
        self.items.append((img, self.x, self.y))
        self.x += img.w
        self.row_h = max(self.row_h, img.h)
        return pos

    def image(self):
        h = self.y + self.row_h
        out = si.Image(self.width, h, si.KEY)
        for img, x, y in self.items:
            out.paste(img, x, y)
        return out


def options_text(sections):
    lines = []
    for name, keys in sections:
        lines.append("[%s]" % name)
        for k, v in keys:
            lines.append("%s=%s" % (k, v))
        lines.append("")
    return ("\r\n".join(lines)).encode("cp1251")


def build_skin(sections, extra_files):
    """Resolves the images of the sections: master rectangles and files. Returns {file: bytes}."""
    packer = MasterPacker()
    files = dict(extra_files)
    out = []
    for name, keys in sections:
        resolved = []
        for k, v in keys:
            if isinstance(v, MasterMask):
                x, y = packer.place(v.image)
                assert v.image.w % v.count == 0 and v.image.h % (v.mask_type + 1) == 0, (name, k)
                assert v.image.w // v.count > 0 and v.image.h // (v.mask_type + 1) > 0, (name, k)
                value = "#(%d,%d,%d,%d),%d,%d" % (x, y, x + v.image.w, y + v.image.h, v.count, v.mask_type)
                if v.border:
                    value += ",%d" % v.border
                resolved.append((k, value))
            elif isinstance(v, FileImage):
                files[v.name] = v.data
                resolved.append((k, v.name))
            else:
                resolved.append((k, v))
        out.append((name, resolved))
    files["Master.bmp"] = si.bmp24(packer.image())
    files["Options.dat"] = options_text(out)
    return files


def neutral():
    p = NEUTRAL
    return build_skin(skin_sections(p, False), {"Paper.jpg": si.jpeg(paper(p, 320, 1), 88)})


def dusk():
    p = DUSK
    return build_skin(skin_sections(p, True), {
        "Slate.jpg": si.jpeg(paper(p, 320, 2, 6), 88),
        "TitleGrain.jpg": si.jpeg(paper(dict(p, paper=p["title"][0]), 64, 3, 3), 90),
        "Stripes.bmp": si.bmp24(stripe_pattern(p)),
    })


# ------------------------------------------------------------------------------------ fixtures

def solid(w, h, c):
    return si.Image(w, h, c)


def fixtures():
    """Small skins for the tests, each a folder: {folder: {file: bytes}}."""
    p = NEUTRAL
    out = {}
    glyph = glyph_mask(10, 10, arrow("down", (0, 0, 0)))  # 30 x 20, 3 states, 2 rows

    def opts(text):
        return text.replace("\n", "\r\n").encode("cp1251")

    # Parents, loops and odd values; the master (90 x 60, the glyph at its top left) holds every
    # rectangle named.
    master = si.Image(90, 60, si.KEY)
    master.paste(glyph, 0, 0)
    out["Parents"] = {"Options.dat": opts(
        "[GLOBALINFO]\nVERSION=4.5\nDESCRIPTION=Skin #2\nMASTERBITMAP=Master.bmp\n"
        "[A]\nPARENTCLASS=B\nCOLOR=-1\n[B]\nPARENTCLASS=A\n"
        "[SELF]\nPARENTCLASS=self\nSHADOWBLUR=-1\n"
        "[BASE]\nCOLOR=255\nSHADOWBLUR=9\nSHADOWCOLOR=77\nSHADOWENABLED=true\nBEVEL=7\nHOTBEVEL=3\n"
        "BORDERSMASK=#(0,0,30,20),3,1\nGLYPHMASK=Glyph.bmp\n"
        "[CHILD]\nparentclass=base\nCOLOR=-1\nSHADOWENABLED=?\nRESERVEDBOOLEAN=1\nFONTCOLOR=0xFF\nTCLEFT=$10\n"
        "HOTCOLOR=word\nHOTTRANSPARENCY=-5\n"
        "[Mixed]\nCOLOR=-2147483633\nGRADIENTDATA=255;65280;150;0;0;1;2;3\n"
        "[Rects]\nZERO=#(0,0,0,0),1,0\nNEG=#(0,0,90,60),0,-2,-5\nBAD=#(0,x,30,20),3,1\nALONE=#\n"
        "NOCOUNT=#(0,0,30,20)\nGOOD=#(0,0,30,20),3,1,2\n"), "Master.bmp": si.bmp24(master),
        "Glyph.bmp": si.bmp24(glyph)}
    # No master image file: "#" values name nothing, bitmap files still load.
    out["NoMaster"] = {"Options.dat": opts(
        "[GLOBALINFO]\nMASTERBITMAP=Missing.bmp\n[BUTTON]\nBORDERSMASK=#(0,0,90,60),3,1\nGLYPHMASK=Glyph.bmp\n"
        "OTHER=Nowhere.bmp\n"), "Glyph.bmp": si.bmp24(glyph)}
    # Image formats: an 8-bit twin of a 24-bit mask, a tiny border mask, JPEGs around the threshold.
    out["Images"] = {"Options.dat": opts(
        "[GLOBALINFO]\n[BUTTON]\nBORDERSMASK=Tiny.bmp\nGLYPHMASK=Glyph8.bmp\nGLYPH24=Glyph.bmp\n"
        "J200=J200.jpg\nJ299=J299.jpg\nJ300=J300.jpg\n"),
        "Tiny.bmp": si.bmp24(solid(8, 5, (10, 20, 30))), "Glyph.bmp": si.bmp24(glyph),
        "Glyph8.bmp": si.bmp8(glyph),
        "J200.jpg": si.jpeg(solid(200, 200, (200, 100, 50)), 75),
        "J299.jpg": si.jpeg(solid(299, 300, (50, 100, 200)), 75),
        "J300.jpg": si.jpeg(solid(300, 300, (50, 200, 100)), 75)}
    # A header that claims 65500 x 65500 pixels: more than 32 bits can count.
    huge = bytearray(out["Images"]["J200.jpg"])
    sof = huge.index(b"\xff\xc0")
    huge[sof + 5:sof + 9] = bytes([0xFF, 0xDC, 0xFF, 0xDC])
    out["Huge"] = {"Options.dat": opts("[GLOBALINFO]\n[EDIT]\nPATTERN=Huge.jpg\n"), "Huge.jpg": bytes(huge)}
    truncated = si.jpeg(paper(p, 64, 5), 80)
    out["Truncated"] = {"Options.dat": opts("[GLOBALINFO]\n[EDIT]\nPATTERN=Small.jpg\n"),
                        "Small.jpg": truncated[:len(truncated) * 2 // 3]}
    out["NoOptions"] = {"Readme.txt": b"not a skin\r\n"}
    out[".hidden"] = {"Options.dat": opts("[GLOBALINFO]\n")}
    return out


# ------------------------------------------------------------------------------------ main

def all_outputs():
    files = {}
    for name, maker in (("Neutral", neutral), ("Dusk", dusk)):
        for f, data in maker().items():
            files[os.path.join(SKINS, name, f)] = data
    for folder, content in fixtures().items():
        for f, data in content.items():
            files[os.path.join(FIXTURES, folder, f)] = data
    return files


def main():
    return si.write_or_check(all_outputs(), ROOT)

if __name__ == "__main__":
    sys.exit(main())
