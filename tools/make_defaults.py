#!/usr/bin/env python3
"""Writes the default archive that Vellorn ships with (app/defaults/) and the 16x16 image strip
of the main window's image list (app/res/ImageList1.bmp). Reproducible: the same bytes each run.

    python3 tools/make_defaults.py
"""
import math
import os
import struct
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import make_icon  # noqa: E402

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(HERE)
DEFAULTS = os.path.join(ROOT, "app", "defaults")
RES = os.path.join(ROOT, "app", "res")


def cp(text):
    return text.encode("cp1251")


# ---------------------------------------------------------------- tree file (component stream)

def short_str(b):
    assert len(b) <= 255
    return bytes([len(b)]) + b


def v_int(n):
    if -128 <= n <= 127:
        return b"\x02" + struct.pack("<b", n)
    if -32768 <= n <= 32767:
        return b"\x03" + struct.pack("<h", n)
    return b"\x04" + struct.pack("<i", n)


def v_ident(s):
    return b"\x07" + short_str(cp(s))


def v_str(s):
    b = cp(s)
    if len(b) <= 255:
        return b"\x06" + short_str(b)
    return b"\x0c" + struct.pack("<I", len(b)) + b


V_TRUE, V_FALSE, V_EMPTY_SET = b"\x09", b"\x08", b"\x0b\x00"


def node_record(title, image, children):
    text = cp(title)[:255]
    out = struct.pack("<iiiiiii", 25 + len(text), image, image, -1, -1, 0, len(children))
    out += short_str(text)
    for c in children:
        out += node_record(*c)
    return out


def tree_stream(nodes, width=200, height=400):
    props = [
        ("Left", v_int(0)), ("Top", v_int(0)), ("Width", v_int(width)), ("Height", v_int(height)),
        ("Align", v_ident("alClient")), ("BorderStyle", v_ident("bsNone")),
        ("ChangeDelay", v_int(2)), ("Ctl3D", V_TRUE),
        ("Font.Charset", v_ident("DEFAULT_CHARSET")), ("Font.Color", v_ident("clWindowText")),
        ("Font.Height", v_int(-11)), ("Font.Name", v_str("MS Sans Serif")),
        ("Font.Style", V_EMPTY_SET), ("HotTrack", V_TRUE),
        ("Images", v_ident("ID_Vellorn.ImageList1")), ("Indent", v_int(19)),
        ("ParentCtl3D", V_FALSE), ("ParentFont", V_FALSE),
        ("PopupMenu", v_ident("ID_Vellorn.PopupMenu1")),
        ("RightClickSelect", V_TRUE), ("RowSelect", V_TRUE),
        ("StateImages", v_ident("ID_Vellorn.ImageList1")), ("TabOrder", v_int(0)),
    ]
    if nodes:
        data = struct.pack("<i", len(nodes)) + b"".join(node_record(*n) for n in nodes)
        props.append(("Items.Data", b"\x0a" + struct.pack("<I", len(data)) + data))
    props += [
        ("BoundLabel.Caption", v_str("TreeView1")), ("BoundLabel.Indent", v_int(0)),
        ("BoundLabel.Font.Charset", v_ident("DEFAULT_CHARSET")),
        ("BoundLabel.Font.Color", v_ident("clWindowText")),
        ("BoundLabel.Font.Height", v_int(-11)), ("BoundLabel.Font.Name", v_str("MS Sans Serif")),
        ("BoundLabel.Font.Style", V_EMPTY_SET), ("BoundLabel.Layout", v_ident("sclLeft")),
        ("BoundLabel.MaxWidth", v_int(0)), ("SkinData.SkinSection", v_str("EDIT")),
    ]
    out = b"TPF0" + short_str(b"TsTreeView") + short_str(b"TreeView1")
    for name, value in props:
        out += short_str(cp(name)) + value
    return out + b"\x00\x00"


# ---------------------------------------------------------------- archive content

ARTICLES = {
    # title: (file under FILES, page title, body paragraphs)
    "Добро пожаловать в Vellorn": ("welcome.html", "Добро пожаловать", [
        "Vellorn хранит ваши статьи, ссылки и Flash-ролики в дереве категорий.",
        "Дважды щёлкните статью в дереве слева, чтобы открыть её здесь.",
        "К любой статье можно написать примечание: оно появится под страницей."]),
    "Как устроен архив": ("archive.html", "Как устроен архив", [
        "Все статьи лежат в папке FILES рядом с программой.",
        "Дерево сохраняется в файле FILES\\tree\\Temp.vlt при каждом закрытии программы.",
        "Команда «Файл» — «Сохранить дерево» сохраняет копию дерева под новым именем."]),
    "Горячие клавиши": ("keys.html", "Горячие клавиши", [
        "Shift+Insert — добавить категорию; в выбранную категорию Insert добавляет статью, "
        "Ctrl+Insert — подкатегорию.",
        "Ctrl+Delete — удалить выбранный узел, Ctrl+S — сохранить дерево, Ctrl+L — загрузить.",
        "F2 в дереве начинает переименование."]),
}
LINKS = {"Пример сайта": "http://example.org/"}

TREE = [
    ("Начало работы", 0, [
        ("Добро пожаловать в Vellorn", 2, []),
        ("Как устроен архив", 36, []),
    ]),
    ("Заметки", 0, [
        ("Горячие клавиши", 35, []),
    ]),
    ("Ссылки", 0, [
        ("Пример сайта", 39, []),
    ]),
]


def page(title, paragraphs, heading=None):
    body = "".join(f"<p>{p}</p>\r\n" for p in paragraphs)
    return cp(
        "<html>\r\n<head>\r\n<meta http-equiv=\"Content-Type\" content=\"text/html; charset=windows-1251\">\r\n"
        f"<title>{title}</title>\r\n</head>\r\n<body>\r\n<h1>{heading or title}</h1>\r\n{body}</body>\r\n</html>\r\n")


def write(path, data):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write(data)


def make_archive():
    files = os.path.join(DEFAULTS, "FILES")
    write(os.path.join(files, "tree", "Temp.vlt"), tree_stream(TREE))
    ini = "[FILES]\r\n" + "".join(f"{t}={f}\r\n" for t, (f, _, _) in ARTICLES.items())
    ini += "\r\n[FLASH]\r\n\r\n[URL]\r\n" + "".join(f"{t}={u}\r\n" for t, u in LINKS.items())
    write(os.path.join(files, "tree", "Temp.ini"), cp(ini))
    for _, (name, title, paras) in ARTICLES.items():
        write(os.path.join(files, name), page(title, paras))
    write(os.path.join(files, "Standard", "Standard.html"), page("Vellorn", [
        "Это стартовая страница вашего архива статей.",
        "Слева — дерево категорий. Выберите статью, чтобы прочитать её, или добавьте новую "
        "через меню «Правка» — «Добавить».",
        "Отмечайте статьи как избранные, новые, прочитанные или непрочитанные, ищите их по "
        "названию на вкладке «Поиск» и пишите к ним примечания.",
    ], heading="Добро пожаловать в архив Vellorn"))
    write(os.path.join(files, "settings.ini"), cp("[OPEN_TREE]\r\nTreeOpen=true\r\n"))
    write(os.path.join(files, "form.ini"), cp(
        "[FORM]\r\nNameTree=VLN\r\nWidth=1000\r\nHeight=700\r\nTop=60\r\nLeft=100\r\nSkin=Neutral\r\n"
        "[VIEW]\r\nVisible_Tool1=1\r\nVisible_Tool2=1\r\nVisible_Tree=1\r\n[Panel]\r\nWidth=260\r\n"))
    write(os.path.join(files, "list"), b"")
    # Empty folders are kept in git by a marker file that the program ignores.
    for d in ("text", "FLASH"):
        write(os.path.join(files, d, ".keep"), b"")
    write(os.path.join(DEFAULTS, "Skins", ".keep"), b"")


# ---------------------------------------------------------------- image strip (16x16 each)

W = 16
KEY = (255, 0, 255)  # transparent key colour


def canvas():
    return [[KEY for _ in range(W)] for _ in range(W)]


def rect(img, x0, y0, x1, y1, c, fill=True):
    for y in range(y0, y1 + 1):
        for x in range(x0, x1 + 1):
            if fill or y in (y0, y1) or x in (x0, x1):
                img[y][x] = c


def line(img, x0, y0, x1, y1, c):
    n = max(abs(x1 - x0), abs(y1 - y0), 1)
    for i in range(n + 1):
        img[round(y0 + (y1 - y0) * i / n)][round(x0 + (x1 - x0) * i / n)] = c


def mask_of(test):
    return {(x, y) for y in range(W) for x in range(W) if test(x + 0.5, y + 0.5)}


def poly_mask(pts):
    # Pixels whose centres lie inside the polygon (even-odd rule).
    def inside(px, py):
        hit = False
        for (ax, ay), (bx, by) in zip(pts, pts[1:] + pts[:1]):
            if (ay > py) != (by > py) and px < ax + (py - ay) * (bx - ax) / (by - ay):
                hit = not hit
        return hit
    return mask_of(inside)


def star_mask(cx, cy, outer, inner):
    pts = []
    for k in range(10):
        r = outer if k % 2 == 0 else inner
        a = math.pi / 2 + k * math.pi / 5
        pts.append((cx + r * math.cos(a), cy - r * math.sin(a)))
    return poly_mask(pts)


def shape(img, mask, fill, edge):
    # Paints a shape with a one-pixel outline: border pixels of the mask get the edge colour.
    for x, y in mask:
        border = any((x + dx, y + dy) not in mask for dx, dy in ((1, 0), (-1, 0), (0, 1), (0, -1)))
        img[y][x] = edge if border else fill


def folder(open_):
    img = canvas()
    dark, body, light = (128, 96, 0), (240, 200, 80), (255, 232, 150)
    rect(img, 1, 3, 6, 5, body); rect(img, 1, 3, 6, 5, dark, False)
    rect(img, 1, 5, 14, 13, body); rect(img, 1, 5, 14, 13, dark, False)
    if open_:
        for y in range(8, 14):
            for x in range(3 + (13 - y), 16 - (13 - y) // 3):
                if x < 16:
                    img[y][x] = light
        line(img, 3, 8, 15, 8, dark); line(img, 15, 8, 13, 13, dark)
    return img


def page_icon(mark):
    img = canvas()
    rect(img, 3, 1, 12, 14, (255, 255, 255)); rect(img, 3, 1, 12, 14, (64, 64, 64), False)
    for y in (4, 6, 8, 10):
        line(img, 5, y, 10, y, (150, 150, 150))
    if mark == "new":
        rect(img, 9, 9, 14, 14, (220, 30, 30)); rect(img, 11, 10, 12, 13, (255, 255, 255))
    elif mark == "read":
        for x, y in ((8, 11), (9, 12), (10, 13), (11, 12), (12, 11), (13, 10), (14, 9)):
            rect(img, x, y - 1, x, y, (0, 150, 0))
    elif mark == "fav":
        star = star_mask(10.5, 10.5, 4.6, 2.0)
        for x, y in star:
            for dx, dy in ((1, 0), (-1, 0), (0, 1), (0, -1)):
                if 0 <= x + dx < W and 0 <= y + dy < W and (x + dx, y + dy) not in star:
                    img[y + dy][x + dx] = (170, 110, 0)
        for x, y in star:
            img[y][x] = (255, 200, 0)
    elif mark == "unread":
        rect(img, 9, 9, 14, 14, (60, 90, 220)); rect(img, 9, 9, 14, 14, (20, 40, 140), False)
    return img


def flash_icon():
    img = canvas()
    rect(img, 1, 1, 14, 14, (200, 20, 20)); rect(img, 1, 1, 14, 14, (110, 0, 0), False)
    line(img, 10, 3, 6, 8, (255, 255, 255)); line(img, 6, 8, 10, 8, (255, 255, 255))
    line(img, 10, 8, 5, 13, (255, 255, 255))
    return img


def link_icon():
    img = canvas()
    blue, sea = (30, 80, 200), (120, 170, 240)
    for y in range(W):
        for x in range(W):
            if (x - 7.5) ** 2 + (y - 7.5) ** 2 <= 44:
                img[y][x] = sea
    line(img, 1, 7, 14, 7, blue); line(img, 7, 1, 7, 14, blue)
    line(img, 4, 2, 4, 13, blue); line(img, 11, 2, 11, 13, blue)
    return img


OUTLINE = (40, 40, 40)
GREEN, GREEN_EDGE = (60, 180, 60), (0, 100, 0)
RED, RED_EDGE = (225, 40, 40), (130, 0, 0)
BLUE, BLUE_EDGE = (60, 110, 210), (20, 50, 130)


def blank_page(img, x0=3, y0=1, x1=12, y1=14):
    rect(img, x0, y0, x1, y1, (255, 255, 255)); rect(img, x0, y0, x1, y1, (64, 64, 64), False)


def arrow_icon(right):
    img = canvas()
    pts = [(1, 6), (8, 6), (8, 2), (15, 8), (8, 14), (8, 10), (1, 10)]
    if not right:
        pts = [(16 - x, y) for x, y in pts]
    shape(img, poly_mask(pts), GREEN, GREEN_EDGE)
    return img


def floppy_icon():
    img = canvas()
    shape(img, poly_mask([(1, 1), (13, 1), (15, 3), (15, 15), (1, 15)]), BLUE, BLUE_EDGE)
    rect(img, 4, 1, 11, 5, (200, 200, 210)); rect(img, 4, 1, 11, 5, OUTLINE, False)
    rect(img, 8, 2, 9, 4, OUTLINE)
    rect(img, 3, 8, 12, 15, (255, 255, 255)); rect(img, 3, 8, 12, 15, OUTLINE, False)
    line(img, 5, 10, 10, 10, (150, 150, 150)); line(img, 5, 12, 10, 12, (150, 150, 150))
    return img


def save_page_icon():
    # A web page with a green arrow pointing down into it.
    img = canvas()
    blank_page(img, 1, 1, 11, 14)
    rect(img, 2, 2, 10, 3, BLUE)
    for y in (6, 8, 10, 12):
        line(img, 3, y, 6, y, (150, 150, 150))
    shape(img, poly_mask([(10, 5), (14, 5), (14, 10), (16, 10), (12, 15), (8, 10), (10, 10)]),
          GREEN, GREEN_EDGE)
    return img


def printer_icon():
    img = canvas()
    blank_page(img, 4, 1, 11, 6)
    rect(img, 1, 6, 14, 11, (190, 190, 190)); rect(img, 1, 6, 14, 11, OUTLINE, False)
    rect(img, 11, 7, 12, 8, (0, 200, 0))
    blank_page(img, 4, 10, 11, 14)
    line(img, 5, 12, 10, 12, (150, 150, 150))
    return img


def find_icon():
    img = canvas()
    shape(img, mask_of(lambda x, y: (x - 6.5) ** 2 + (y - 6.5) ** 2 <= 30), (190, 225, 255), OUTLINE)
    for x, y in mask_of(lambda x, y: 16 < (x - 6.5) ** 2 + (y - 6.5) ** 2 <= 30):
        img[y][x] = (90, 90, 100)
    img[4][4] = img[5][4] = img[4][5] = (255, 255, 255)
    shape(img, poly_mask([(9.5, 11.5), (11.5, 9.5), (15.5, 13.5), (13.5, 15.5)]),
          (170, 110, 40), (90, 50, 0))
    return img


def cross_icon():
    img = canvas()
    shape(img, mask_of(lambda x, y: 1.5 < x < 14.5 and 1.5 < y < 14.5
                       and (abs(x - y) < 2.3 or abs(x + y - 16) < 2.3)), RED, RED_EDGE)
    return img


def source_icon():
    img = canvas()
    blank_page(img)
    for pts in (((7, 5), (5, 8), (7, 11)), ((8, 11), (9, 5)), ((10, 5), (12, 8), (10, 11))):
        for a, b in zip(pts, pts[1:]):
            line(img, *a, *b, BLUE_EDGE)
    rect(img, 3, 1, 12, 14, (64, 64, 64), False)
    return img


def refresh_icon():
    # A circular arrow: a ring open in its upper right quarter, the head at its right end.
    img = canvas()
    def ring(x, y):
        return 12 < (x - 8) ** 2 + (y - 8.5) ** 2 <= 38 and not (x > 8 and y < 8.5)
    shape(img, mask_of(ring) | poly_mask([(9, 9.5), (16.5, 9.5), (12.75, 4)]), GREEN, GREEN_EDGE)
    return img


def program_icon():
    # The program's own icon (the about command and the tray show it): its 16-pixel picture, the
    # pixels less than half covered left transparent.
    return [[(r, g, b) if a >= 128 else KEY for r, g, b, a in row] for row in make_icon.picture(W)]


def generic(i):
    # Indexes no command uses: a plain tile with a pattern derived from its index.
    img = canvas()
    hue = [(70, 130, 180), (60, 160, 90), (180, 90, 60), (150, 80, 170), (200, 160, 40)][i % 5]
    rect(img, 2, 2, 13, 13, hue); rect(img, 2, 2, 13, 13, (40, 40, 40), False)
    bits = (i * 2654435761) & 0xFFFF
    for k in range(16):
        if bits >> k & 1:
            x, y = 4 + (k % 4) * 2, 4 + (k // 4) * 2
            rect(img, x, y, x + 1, y + 1, (255, 255, 255))
    return img


SPECIAL = {0: lambda: folder(False), 1: lambda: folder(True), 2: lambda: page_icon("new"),
           8: lambda: page_icon("read"), 35: lambda: page_icon("fav"),
           36: lambda: page_icon("unread"), 38: flash_icon, 39: link_icon,
           # Menu and tool commands.
           3: printer_icon, 4: lambda: arrow_icon(True), 5: find_icon, 7: cross_icon,
           9: lambda: arrow_icon(False), 11: source_icon, 12: lambda: page_icon("unread"),
           20: save_page_icon, 22: floppy_icon, 30: refresh_icon, 37: program_icon}
COUNT = 40


def make_images():
    imgs = [SPECIAL[i]() if i in SPECIAL else generic(i) for i in range(COUNT)]
    width, height = W * COUNT, W
    row = width * 3
    pad = (4 - row % 4) % 4
    pixels = b""
    for y in reversed(range(height)):
        line_bytes = b""
        for i in range(COUNT):
            for x in range(W):
                r, g, b = imgs[i][y][x]
                line_bytes += bytes((b, g, r))
        pixels += line_bytes + b"\x00" * pad
    header = struct.pack("<2sIHHI", b"BM", 54 + len(pixels), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
    write(os.path.join(RES, "ImageList1.bmp"), header + info + pixels)


if __name__ == "__main__":
    make_archive()
    make_images()
