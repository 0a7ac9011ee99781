#include <gtest/gtest.h>

#include <cstring>

#include "BmpBuilder.h"
#include "Classes.h"
#include "Graphics.h"
#include "TestKit.h"

using namespace bmptest;

namespace {

// The colour of a pixel read through ScanLine (and the colour table for indexed formats).
TColor At(TBitmap& b, int x, int y)
{
    const Byte* row = static_cast<const Byte*>(b.ScanLine(y));
    int index;
    switch (b.PixelFormat()) {
    case pf1bit: index = (row[x / 8] >> (7 - x % 8)) & 1; break;
    case pf4bit: index = (row[x / 2] >> ((x & 1) ? 0 : 4)) & 15; break;
    case pf8bit: index = row[x]; break;
    case pf32bit: return RGB(row[4 * x + 2], row[4 * x + 1], row[4 * x]);
    default: return RGB(row[3 * x + 2], row[3 * x + 1], row[3 * x]);
    }
    RGBQUAD q = b.ColorTable()[index];
    return RGB(q.rgbRed, q.rgbGreen, q.rgbBlue);
}

void Load(TBitmap& b, const Bytes& file) { b.LoadFromMemory(file.data(), file.size()); }

} // namespace

TEST(Bitmap, ScanLineAndPixelsSeeTheSameImage)
{
    TBitmap b;
    EXPECT_EQ(b.PixelFormat(), pf24bit);
    EXPECT_TRUE(b.Empty());
    b.SetSize(3, 2);
    EXPECT_EQ(b.RowBytes(), 12);
    auto* top = static_cast<Byte*>(b.ScanLine(0));
    top[0] = 0x30; // blue
    top[1] = 0x20; // green
    top[2] = 0x10; // red
    EXPECT_EQ(b.Canvas()->Pixels(0, 0), RGB(0x10, 0x20, 0x30)) << "ScanLine(0) is the top row";
    b.Canvas()->SetPixels(2, 1, clRed);
    auto* bottom = static_cast<Byte*>(b.ScanLine(1));
    EXPECT_EQ(bottom[6], 0);
    EXPECT_EQ(bottom[8], 0xFF);
    EXPECT_EQ(At(b, 1, 1), clWhite) << "a new bitmap is white";
    for (int row : {2, -1})
        EXPECT_EQ(testkit::Refusal<EInvalidGraphicOperation>([&] { b.ScanLine(row); }), "Scan line index out of range") << row;
}

TEST(Bitmap, CanvasPrimitivesDrawIntoTheImage)
{
    TBitmap b(40, 30);
    TCanvas* c = b.Canvas();
    c->Brush()->SetColor(clBlue);
    c->FillRect(RECT{0, 0, 10, 10});
    EXPECT_EQ(At(b, 5, 5), clBlue);
    EXPECT_EQ(At(b, 10, 10), clWhite) << "right and bottom are exclusive";

    c->Pen()->SetColor(clRed);
    c->Brush()->SetColor(clLime);
    c->Rectangle(10, 10, 20, 20);
    EXPECT_EQ(At(b, 10, 15), clRed);
    EXPECT_EQ(At(b, 15, 15), clLime);

    c->Brush()->SetColor(clYellow);
    c->FrameRect(RECT{20, 0, 30, 10});
    EXPECT_EQ(At(b, 20, 5), clYellow);
    EXPECT_EQ(At(b, 25, 5), clWhite);

    c->Pen()->SetColor(clBlack);
    c->MoveTo(0, 25);
    c->LineTo(39, 25);
    EXPECT_EQ(At(b, 30, 25), clBlack);
    EXPECT_EQ(c->PenPos().x, 39);

    c->Brush()->SetColor(clFuchsia);
    c->Ellipse(30, 10, 40, 20);
    EXPECT_EQ(At(b, 35, 15), clFuchsia);

    std::vector<POINT> tri{{0, 12}, {8, 12}, {0, 20}};
    c->Brush()->SetColor(clAqua);
    c->Polygon(tri);
    EXPECT_EQ(At(b, 2, 14), clAqua);

    c->Pixels(0, 0); // reading makes no change
    SIZE ext = c->TextExtent("Привет");
    EXPECT_GT(ext.cx, 0);
    EXPECT_GT(c->TextHeight("A"), 0);
    TBitmap t(60, 20);
    t.Canvas()->Font()->SetColor(clBlack);
    t.Canvas()->TextOut(0, 0, "WWW");
    int dark = 0;
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 60; ++x)
            dark += At(t, x, y) != clWhite;
    EXPECT_GT(dark, 0) << "text was drawn";
    EXPECT_EQ(t.Canvas()->PenPos().x, t.Canvas()->TextWidth("WWW"));
}

TEST(Bitmap, CanvasChangeEventsAndCopyRect)
{
    TBitmap src(10, 10), dst(10, 10);
    src.Canvas()->Brush()->SetColor(clNavy);
    src.Canvas()->FillRect(RECT{0, 0, 5, 5});
    int changes = 0, changing = 0;
    dst.Canvas()->OnChange = [&](TObject*) { ++changes; };
    dst.Canvas()->OnChanging = [&](TObject*) { ++changing; };
    dst.Canvas()->CopyRect(RECT{5, 5, 10, 10}, src.Canvas(), RECT{0, 0, 5, 5});
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(changing, 1);
    EXPECT_EQ(At(dst, 7, 7), clNavy);
    EXPECT_EQ(At(dst, 2, 2), clWhite);

    TBitmap big(20, 20);
    big.Canvas()->StretchDraw(RECT{0, 0, 20, 20}, &src);
    EXPECT_EQ(At(big, 2, 2), clNavy);
    EXPECT_EQ(At(big, 15, 15), clWhite);
    big.Canvas()->Draw(15, 0, &src);
    EXPECT_EQ(At(big, 16, 1), clNavy);
}

TEST(Bitmap, TransparentColourAndTransparentDrawing)
{
    TBitmap b(4, 4);
    EXPECT_EQ(b.TransparentMode(), tmAuto);
    b.Canvas()->SetPixels(0, 3, clFuchsia);
    EXPECT_EQ(b.TransparentColor(), clFuchsia) << "the bottom-left pixel";
    b.SetTransparentColor(clRed);
    EXPECT_EQ(b.TransparentMode(), tmFixed);
    EXPECT_EQ(b.TransparentColor(), clRed);
    b.SetTransparentColor(clDefault);
    EXPECT_EQ(b.TransparentMode(), tmAuto);
    EXPECT_EQ(TBitmap().TransparentColor(), clDefault);

    TBitmap glyph(2, 1);
    glyph.Canvas()->SetPixels(0, 0, clFuchsia);
    glyph.Canvas()->SetPixels(1, 0, clGreen);
    glyph.SetTransparentColor(clFuchsia);
    glyph.SetTransparent(true);
    TBitmap back(2, 1);
    back.Canvas()->Brush()->SetColor(clBlue);
    back.Canvas()->FillRect(RECT{0, 0, 2, 1});
    back.Canvas()->Draw(0, 0, &glyph);
    EXPECT_EQ(At(back, 0, 0), clBlue) << "key pixels are skipped";
    EXPECT_EQ(At(back, 1, 0), clGreen);
}

TEST(Bitmap, ResizeKeepsTheTopLeftAndFillsWithWhite)
{
    TBitmap b(2, 2);
    b.Canvas()->SetPixels(0, 0, clRed);
    b.Canvas()->SetPixels(1, 1, clBlue);
    b.SetSize(3, 3);
    EXPECT_EQ(At(b, 0, 0), clRed);
    EXPECT_EQ(At(b, 1, 1), clBlue);
    EXPECT_EQ(At(b, 2, 2), clWhite);
    b.SetWidth(1);
    EXPECT_EQ(b.Width(), 1);
    EXPECT_EQ(At(b, 0, 0), clRed);

    TBitmap sides; // each side set alone, as a width set before the height
    sides.SetWidth(5);
    EXPECT_EQ(sides.Width(), 5) << "kept while the height is 0";
    EXPECT_TRUE(sides.Empty());
    sides.SetHeight(4);
    EXPECT_EQ(sides.Width(), 5);
    EXPECT_EQ(sides.Height(), 4);
    EXPECT_EQ(At(sides, 4, 3), clWhite);
    sides.SetHeight(0);
    EXPECT_EQ(sides.Width(), 5) << "a height of 0 keeps the width";
    EXPECT_TRUE(sides.Empty());

    TBitmap m(3, 1, pf1bit); // sub-byte rows keep their leading pixels
    m.Canvas()->SetPixels(0, 0, clBlack);
    m.SetWidth(9);
    EXPECT_EQ(At(m, 0, 0), clBlack);
    EXPECT_EQ(At(m, 1, 0), clWhite);
    EXPECT_EQ(At(m, 8, 0), clWhite);

    EXPECT_EQ(testkit::Refusal<EInvalidGraphicOperation>([&] { b.SetSize(MaxBitmapSide + 1, 1); }), "Bitmap dimensions are too large");
    EXPECT_EQ(testkit::Refusal<EInvalidGraphicOperation>([&] { b.SetSize(20000, 20000); }), "Bitmap dimensions are too large")
        << "over the byte limit";
    EXPECT_EQ(b.Width(), 1) << "a refused size leaves the image";
}

TEST(Bitmap, PixelFormatChangesKeepColours)
{
    TBitmap b(2, 1);
    b.Canvas()->SetPixels(0, 0, RGB(1, 2, 3));
    b.Canvas()->SetPixels(1, 0, clRed);
    b.SetPixelFormat(pf32bit);
    EXPECT_EQ(b.RowBytes(), 8);
    EXPECT_EQ(At(b, 0, 0), RGB(1, 2, 3));
    b.SetPixelFormat(pf24bit);
    EXPECT_EQ(At(b, 1, 0), clRed);
    b.SetPixelFormat(pf8bit);
    EXPECT_EQ(b.ColorTable().size(), 256u);
    EXPECT_EQ(At(b, 1, 0), clRed);
    b.SetPixelFormat(pf1bit);
    EXPECT_EQ(b.ColorTable().size(), 2u);
    EXPECT_EQ(testkit::Refusal<EInvalidGraphicOperation>([&] { b.SetPixelFormat(pfCustom); }), "Invalid pixel format");
}

TEST(Bitmap, AssignIsADeepCopy)
{
    TBitmap a(3, 3, pf8bit);
    a.Canvas()->SetPixels(1, 1, clRed);
    a.SetTransparentColor(clRed);
    TBitmap b;
    b.Assign(&a);
    EXPECT_EQ(b.Width(), 3);
    EXPECT_EQ(b.PixelFormat(), pf8bit);
    EXPECT_EQ(b.TransparentColor(), clRed);
    EXPECT_NE(b.Handle(), a.Handle());
    b.Canvas()->SetPixels(1, 1, clBlue);
    EXPECT_EQ(At(a, 1, 1), clRed);
    EXPECT_EQ(At(b, 1, 1), clBlue);
}

TEST(Bitmap, MemoryContextsAreReleasedWhenIdleButNotWhileLocked)
{
    FreeMemoryContexts();
    int base = MemoryContextCount();
    std::vector<std::unique_ptr<TBitmap>> many;
    for (int i = 0; i < 200; ++i) {
        many.push_back(std::make_unique<TBitmap>(8, 8));
        many.back()->Canvas()->SetPixels(i % 8, 0, clRed);
    }
    EXPECT_EQ(MemoryContextCount(), base + 200);
    many[0]->Canvas()->Lock();
    FreeMemoryContexts();
    EXPECT_EQ(MemoryContextCount(), 1) << "only the locked canvas keeps its context";
    many[0]->Canvas()->Unlock();
    many[1]->Dormant();
    EXPECT_EQ(At(*many[1], 1, 0), clRed) << "the image survives";
    many[1]->Canvas()->SetPixels(2, 0, clBlue); // a context again on demand
    EXPECT_EQ(many[1]->Canvas()->Pixels(2, 0), clBlue);
    many.clear();
    EXPECT_EQ(MemoryContextCount(), 0);
}

TEST(Bitmap, HandleOwnershipAndResources)
{
    HDC screen = GetDC(nullptr);
    HBITMAP ddb = CreateCompatibleBitmap(screen, 5, 4);
    {
        HDC dc = CreateCompatibleDC(screen);
        HGDIOBJ old = SelectObject(dc, ddb);
        SetPixel(dc, 4, 3, RGB(10, 200, 30));
        SelectObject(dc, old);
        DeleteDC(dc);
    }
    ReleaseDC(nullptr, screen);
    TBitmap b;
    b.SetHandle(ddb);
    EXPECT_EQ(b.Width(), 5);
    EXPECT_EQ(b.Height(), 4);
    EXPECT_EQ(At(b, 4, 3), RGB(10, 200, 30));
    HBITMAP h = b.ReleaseHandle();
    EXPECT_TRUE(b.Empty());
    EXPECT_NE(h, nullptr);
    DeleteObject(h);
    EXPECT_EQ(testkit::Refusal<EInvalidGraphic>([&] { b.LoadFromResourceName(GetModuleHandleA(nullptr), "NOSUCHBITMAP"); }),
              "Resource NOSUCHBITMAP not found");
}

// ---------------------------------------------------------------------------------------------
// Reading bitmap files

TEST(BitmapFile, EveryDepthLoadsWithTheRightPixels)
{
    {   // 1 bit, two rows of 2 pixels, bottom-up
        BmpLayout s;
        s.width = 2; s.height = 2; s.bpp = 1;
        s.palette = {0x102030, 0xA0B0C0};
        s.pixels = {0x40, 0, 0, 0, 0x80, 0, 0, 0}; // bottom row: 0 1; top row: 1 0
        TBitmap b;
        Load(b, Build(s));
        EXPECT_EQ(b.PixelFormat(), pf1bit);
        EXPECT_EQ(At(b, 0, 0), RGB(0xA0, 0xB0, 0xC0));
        EXPECT_EQ(At(b, 1, 0), RGB(0x10, 0x20, 0x30));
        EXPECT_EQ(At(b, 1, 1), RGB(0xA0, 0xB0, 0xC0));
    }
    {   // 4 bits with a short colour table
        BmpLayout s;
        s.width = 3; s.height = 1; s.bpp = 4;
        s.palette = {0x000000, 0xFF0000, 0x00FF00};
        s.pixels = {0x12, 0x00, 0, 0};
        TBitmap b;
        Load(b, Build(s));
        EXPECT_EQ(b.PixelFormat(), pf4bit);
        EXPECT_EQ(At(b, 0, 0), clRed);
        EXPECT_EQ(At(b, 1, 0), clLime);
        EXPECT_EQ(At(b, 2, 0), clBlack);
    }
    {   // 8 bits, OS/2 core header with 3-byte colour entries
        BmpLayout s;
        s.infoSize = 12;
        s.width = 2; s.height = 1; s.bpp = 8;
        for (int i = 0; i < 256; ++i)
            s.palette.push_back(static_cast<std::uint32_t>(i) << 16);
        s.pixels = {7, 200, 0, 0};
        TBitmap b;
        Load(b, Build(s));
        EXPECT_EQ(At(b, 0, 0), RGB(7, 0, 0));
        EXPECT_EQ(At(b, 1, 0), RGB(200, 0, 0));
    }
    {   // 16 bits 5-5-5 without masks
        BmpLayout s;
        s.width = 2; s.height = 1; s.bpp = 16;
        s.pixels = {0x00, 0x7C, 0x1F, 0x00}; // red, blue
        TBitmap b;
        Load(b, Build(s));
        EXPECT_EQ(b.PixelFormat(), pf24bit);
        EXPECT_EQ(At(b, 0, 0), clRed);
        EXPECT_EQ(At(b, 1, 0), clBlue);
    }
    {   // 16 bits 5-6-5 with bit fields
        BmpLayout s;
        s.width = 2; s.height = 1; s.bpp = 16; s.compression = BI_BITFIELDS;
        s.masks = {0xF800, 0x07E0, 0x001F};
        s.pixels = {0xE0, 0x07, 0x10, 0x84}; // pure green; r=16/31 g=32/63 b=16/31
        TBitmap b;
        Load(b, Build(s));
        EXPECT_EQ(At(b, 0, 0), clLime);
        EXPECT_EQ(At(b, 1, 0), RGB(132, 130, 132));
    }
    {   // 24 bits, top-down
        BmpLayout s;
        s.width = 1; s.height = -2; s.bpp = 24;
        s.pixels = {0, 0, 0xFF, 0, 0xFF, 0, 0, 0}; // first stored row (top): red
        TBitmap b;
        Load(b, Build(s));
        EXPECT_EQ(b.Height(), 2);
        EXPECT_EQ(At(b, 0, 0), clRed);
        EXPECT_EQ(At(b, 0, 1), clBlue);
    }
    {   // 32 bits plain and with bit fields (V5 header)
        BmpLayout s;
        s.width = 1; s.height = 1; s.bpp = 32;
        s.pixels = {1, 2, 3, 4};
        TBitmap b;
        Load(b, Build(s));
        EXPECT_EQ(b.PixelFormat(), pf32bit);
        EXPECT_EQ(At(b, 0, 0), RGB(3, 2, 1));
        BmpLayout f = s;
        f.compression = BI_BITFIELDS;
        f.infoSize = 124;
        f.masks = {0x000000FF, 0x0000FF00, 0x00FF0000, 0xFF000000}; // red in the low byte
        Load(b, Build(f));
        EXPECT_EQ(At(b, 0, 0), RGB(1, 2, 3));
        EXPECT_EQ(static_cast<Byte*>(b.ScanLine(0))[3], 4);
    }
}

TEST(BitmapFile, RunLengthEncodedImagesDecode)
{
    {   // RLE8: a run, an absolute run, end of line, delta, end of bitmap
        BmpLayout s;
        s.width = 5; s.height = 3; s.bpp = 8; s.compression = BI_RLE8;
        s.palette = {0x000000, 0xFF0000, 0x00FF00, 0x0000FF};
        s.pixels = {2, 1,  0, 3, 2, 3, 2, 0,  0, 0,   // bottom row: 1 1 2 3 2
                    0, 2, 1, 1,  1, 3,                  // delta by (1,1), one pixel 3
                    0, 1};
        TBitmap b;
        Load(b, Build(s));
        EXPECT_EQ(b.PixelFormat(), pf8bit);
        EXPECT_EQ(At(b, 0, 2), clRed);
        EXPECT_EQ(At(b, 1, 2), clRed);
        EXPECT_EQ(At(b, 2, 2), clLime);
        EXPECT_EQ(At(b, 3, 2), clBlue);
        EXPECT_EQ(At(b, 4, 2), clLime);
        EXPECT_EQ(At(b, 0, 1), clBlack) << "skipped by the delta";
        EXPECT_EQ(At(b, 1, 0), clBlue) << "delta (1,2) from the start of row 1";
        EXPECT_EQ(At(b, 2, 0), clBlack);
    }
    {   // RLE4: alternating run and an odd absolute run
        BmpLayout s;
        s.width = 6; s.height = 1; s.bpp = 4; s.compression = BI_RLE4;
        s.palette = {0x000000, 0xFF0000, 0x00FF00, 0x0000FF};
        s.pixels = {3, 0x12,  0, 3, 0x32, 0x10,  0, 1};
        TBitmap b;
        Load(b, Build(s));
        EXPECT_EQ(b.PixelFormat(), pf4bit);
        TColor want[6] = {clRed, clLime, clRed, clBlue, clLime, clRed};
        for (int x = 0; x < 6; ++x)
            EXPECT_EQ(At(b, x, 0), want[x]) << x;
    }
}

// Tools write runs to the end of a row's padding for widths that are not a multiple of four.
TEST(BitmapFile, RunsIntoTheRowPaddingAreClippedAsTheSystemLoaderDoes)
{
    auto refusal = [](const Bytes& file) -> std::string {
        TBitmap b;
        try {
            Load(b, file);
        } catch (const EInvalidGraphic& e) {
            return e.Message;
        }
        return "accepted";
    };
    BmpLayout s;
    s.width = 17; s.height = 2; s.bpp = 8; s.compression = BI_RLE8; // rows of 20 bytes
    s.palette = {0x000000, 0xFF0000, 0x00FF00, 0x0000FF};
    s.pixels = {20, 1,  0, 0,                              // bottom row: a run of 20
                0, 19, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 3, 3, 0,  // 19 indexes
                0, 1};
    const Bytes file = Build(s);
    TBitmap b;
    Load(b, file);
    for (int x = 0; x < 17; ++x) {
        EXPECT_EQ(At(b, x, 1), clRed) << x;
        EXPECT_EQ(At(b, x, 0), clLime) << x;
    }
    for (int y = 0; y < 2; ++y)
        for (int x = 17; x < 20; ++x)
            EXPECT_EQ(static_cast<const Byte*>(b.ScanLine(y))[x], 0) << "padding stays clear";

    testkit::TempDir dir;
    testkit::WriteFileBytes(dir / "padded.bmp", std::string(file.begin(), file.end()));
    HBITMAP sys = static_cast<HBITMAP>(
        LoadImageA(nullptr, (dir / "padded.bmp").c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION));
    ASSERT_NE(sys, nullptr);
    DIBSECTION ds{};
    GetObjectA(sys, sizeof ds, &ds);
    for (int y = 0; y < 2; ++y) // both bottom-up
        EXPECT_EQ(std::memcmp(static_cast<const Byte*>(ds.dsBm.bmBits) + 20 * y, b.ScanLine(1 - y), 20), 0) << y;
    DeleteObject(sys);

    s.pixels = {21, 1, 0, 1};
    EXPECT_EQ(refusal(Build(s)), "Bitmap image is not valid: RLE run outside the image") << "past the padding";
    s.pixels = {0, 21, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 0, 0, 1};
    EXPECT_EQ(refusal(Build(s)), "Bitmap image is not valid: RLE run outside the image");

    BmpLayout f; // RLE4, 5 pixels wide: rows of 4 bytes, 8 indexes
    f.width = 5; f.height = 1; f.bpp = 4; f.compression = BI_RLE4;
    f.palette = {0x000000, 0xFF0000, 0x00FF00};
    f.pixels = {8, 0x12, 0, 1};
    Load(b, Build(f));
    TColor want[5] = {clRed, clLime, clRed, clLime, clRed};
    for (int x = 0; x < 5; ++x)
        EXPECT_EQ(At(b, x, 0), want[x]) << x;
    EXPECT_EQ(static_cast<const Byte*>(b.ScanLine(0))[2] & 0x0F, 0) << "padding stays clear";
    f.pixels = {9, 0x12, 0, 1};
    EXPECT_EQ(refusal(Build(f)), "Bitmap image is not valid: RLE run outside the image");
}

TEST(BitmapFile, SaveAndLoadRoundTrip)
{
    testkit::TempDir dir;
    for (TPixelFormat f : {pf1bit, pf4bit, pf8bit, pf24bit, pf32bit}) {
        TBitmap a(7, 5, f);
        a.Canvas()->SetPixels(0, 0, clBlack);
        a.Canvas()->SetPixels(6, 4, clBlack);
        if (f != pf1bit)
            a.Canvas()->SetPixels(3, 2, clRed);
        a.SaveToFile(dir / "a.bmp");
        TBitmap b;
        b.LoadFromFile(dir / "a.bmp");
        EXPECT_EQ(b.PixelFormat(), f);
        ASSERT_EQ(b.Width(), 7);
        ASSERT_EQ(b.Height(), 5);
        for (int y = 0; y < 5; ++y)
            for (int x = 0; x < 7; ++x)
                EXPECT_EQ(At(b, x, y), At(a, x, y)) << f << " " << x << "," << y;
    }
    TBitmap c(3, 3);
    c.Canvas()->SetPixels(1, 1, clRed);
    TMemoryStream ms;
    ms.WriteBuffer("xy", 2);
    c.SaveToStream(&ms);
    ms.SetPosition(2);
    TBitmap d;
    d.LoadFromStream(&ms);
    EXPECT_EQ(At(d, 1, 1), clRed);
    EXPECT_EQ(testkit::Refusal<EFOpenError>([&] { d.LoadFromFile(dir / "missing.bmp"); }),
              "Cannot open file \"" + dir / "missing.bmp" + "\". " + SysErrorMessage(ERROR_FILE_NOT_FOUND));
}

TEST(Bitmap, TheCanvasContextFollowsANewImage)
{
    TBitmap b(2, 2);
    HDC dc = b.Canvas()->Handle();
    b.SetSize(6, 4);
    b.SetPixelFormat(pf8bit);
    EXPECT_EQ(b.Canvas()->Handle(), dc) << "the context stays and holds the new image";
    SetPixel(dc, 5, 3, RGB(255, 0, 0));
    EXPECT_EQ(At(b, 5, 3), clRed);
    TBitmap other(3, 3);
    other.Canvas()->SetPixels(2, 2, clBlue);
    b.Assign(&other);
    EXPECT_EQ(GetPixel(dc, 2, 2), static_cast<COLORREF>(clBlue));
}

TEST(Bitmap, NewPixelsTakeTheCanvasBrushColour)
{
    TBitmap b;
    b.Canvas()->Brush()->SetColor(clRed);
    b.SetSize(3, 2);
    EXPECT_EQ(At(b, 2, 1), clRed);
    b.Canvas()->Brush()->SetColor(clGray);
    b.SetPixelFormat(pf32bit);
    b.SetWidth(4);
    EXPECT_EQ(At(b, 3, 0), clGray);
    EXPECT_EQ(At(b, 0, 0), clRed);
}

TEST(Bitmap, LoadsBitmapResources)
{
    HMODULE common = LoadLibraryA("comctl32.dll"); // carries the standard tool-bar images
    ASSERT_NE(common, nullptr);
    TBitmap b;
    b.LoadFromResourceID(common, 120);
    EXPECT_GT(b.Width(), 16);
    EXPECT_EQ(b.Height(), 16);
    TBitmap named;
    named.LoadFromResourceName(common, "#120");
    EXPECT_EQ(named.Width(), b.Width());
    FreeLibrary(common);
}
