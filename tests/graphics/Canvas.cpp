#include <gtest/gtest.h>

#include "TestKit.h"

#include <cstring>

#include "Graphics.h"

TEST(Canvas, ABorrowedContextIsLeftAsItWasGiven)
{
    TBitmap target(20, 20);
    TMemoryDC dc;
    TGdiHandle<HBITMAP> surface(CreateCompatibleBitmap(target.Canvas()->Handle(), 20, 20));
    dc.Select(surface.Get());
    HGDIOBJ font0 = GetCurrentObject(dc.Get(), OBJ_FONT);
    HGDIOBJ pen0 = GetCurrentObject(dc.Get(), OBJ_PEN);
    HGDIOBJ brush0 = GetCurrentObject(dc.Get(), OBJ_BRUSH);
    {
        TCanvas c;
        EXPECT_EQ(testkit::Refusal<EInvalidOperation>([&] { c.FillRect(RECT{0, 0, 1, 1}); }), "Canvas does not allow drawing")
            << "no context to draw on";
        c.SetHandle(dc.Get());
        c.Brush()->SetColor(clRed);
        c.FillRect(RECT{0, 0, 20, 20});
        c.Font()->SetStyle({fsBold});
        c.TextOut(0, 0, "A");
        for (int i = 0; i < 50; ++i) { // changing a selected font, pen or brush swaps it safely
            c.Font()->SetSize(8 + i % 5);
            c.Pen()->SetWidth(1 + i % 3);
            c.Brush()->SetColor(i);
            c.Rectangle(0, 0, 5, 5);
            c.TextOut(0, 0, "x");
        }
        EXPECT_NE(GetCurrentObject(dc.Get(), OBJ_FONT), font0);
        EXPECT_EQ(GetPixel(dc.Get(), 19, 19), RGB(255, 0, 0));
    } // the canvas goes; the context stays with its own objects
    EXPECT_EQ(GetCurrentObject(dc.Get(), OBJ_FONT), font0);
    EXPECT_EQ(GetCurrentObject(dc.Get(), OBJ_PEN), pen0);
    EXPECT_EQ(GetCurrentObject(dc.Get(), OBJ_BRUSH), brush0);
    EXPECT_EQ(GetPixel(dc.Get(), 19, 19), RGB(255, 0, 0)) << "the context still works";
}

TEST(Canvas, TextRectClipsAndClearBrushesDoNotPaint)
{
    TBitmap b(40, 20);
    TCanvas* c = b.Canvas();
    c->Brush()->SetColor(clYellow);
    c->TextRect(RECT{0, 0, 10, 20}, 0, 0, "WWWWWWWW");
    EXPECT_EQ(c->Pixels(9, 19), clYellow) << "the rectangle is filled with the brush";
    EXPECT_EQ(c->Pixels(20, 5), clWhite) << "text beyond the rectangle is clipped";
    c->Brush()->SetStyle(bsClear);
    c->FillRect(RECT{0, 0, 40, 20});
    EXPECT_EQ(c->Pixels(30, 5), clWhite);
    c->Brush()->SetColor(clBlue); // a colour makes a clear brush solid again
    EXPECT_EQ(c->Brush()->Style(), bsSolid);

    RECT clip = c->ClipRect();
    EXPECT_EQ(clip.right, 40);
    EXPECT_EQ(clip.bottom, 20);

    c->SetCopyMode(cmNotSrcCopy);
    TBitmap white(2, 2);
    c->Draw(0, 0, &white);
    EXPECT_EQ(c->Pixels(1, 1), clBlack) << "drawing uses the copy mode";
}

TEST(Canvas, PensBrushesAndFontsOwnTheirObjects)
{
    TPen pen;
    HPEN h = pen.Handle();
    pen.SetColor(clRed);
    EXPECT_NE(pen.Handle(), nullptr);
    LOGPEN lp{};
    ASSERT_TRUE(GetObjectA(pen.Handle(), sizeof lp, &lp));
    EXPECT_EQ(lp.lopnColor, RGB(255, 0, 0));
    EXPECT_EQ(GetObjectType(h), 0u) << "the old pen was deleted";

    TBrush brush;
    brush.SetStyle(bsCross);
    LOGBRUSH lb{};
    ASSERT_TRUE(GetObjectA(brush.Handle(), sizeof lb, &lb));
    EXPECT_EQ(lb.lbStyle, static_cast<UINT>(BS_HATCHED));
    EXPECT_EQ(lb.lbHatch, static_cast<ULONG_PTR>(HS_CROSS));

    TFont font;
    LOGFONTA lf{};
    lf.lfHeight = -20;
    lf.lfItalic = TRUE;
    std::strcpy(lf.lfFaceName, "Tahoma");
    font.SetHandle(CreateFontIndirectA(&lf));
    EXPECT_EQ(font.Name(), "Tahoma");
    EXPECT_EQ(font.Height(), -20);
    EXPECT_TRUE(font.Style().Contains(fsItalic));
}
