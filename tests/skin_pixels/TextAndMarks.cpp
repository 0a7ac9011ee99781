// Skinned text rectangles, shortened texts, glyphs, check marks, focus frames, and the colour
// mixes of the disabled look.
#include <gtest/gtest.h>

#include "PixelKit.h"
#include "sGraphUtils.h"
#include "sMaskGraph.h"

using namespace pixkit;

namespace {

// A canvas with a fixed font over a grey bitmap.
struct TextCanvas {
    std::unique_ptr<TBitmap> bmp = Solid(200, 60, {128, 128, 128});
    TCanvas* c;
    TextCanvas() : c(bmp->Canvas())
    {
        c->Font()->SetName("Tahoma");
        c->Font()->SetHeight(-13);
        c->Font()->SetColor(clBlack);
    }
    bool Has(TColor colour)
    {
        for (int y = 0; y < bmp->Height(); ++y)
            for (int x = 0; x < bmp->Width(); ++x)
                if (Get(*bmp, x, y) == Px{GetRValue(colour), GetGValue(colour), GetBValue(colour)})
                    return true;
        return false;
    }
};

} // namespace

TEST(WriteText, FitsTheRectangleToTheTextAndReturnsItGrownByOne)
{
    TextCanvas t;
    const SIZE sz = t.c->TextExtent("Hello");
    TRect r = Rect(10, 10, 110, 50);
    WriteText(t.c, "Hello", true, r, DT_CENTER);
    const int dx = (sz.cx - 100) / 2, dy = (sz.cy - 40) / 2;
    EXPECT_EQ(r, Rect(10 - dx - 1, 10 - dy - 1, 110 + dx + 1, 50 + dy + 1));
    EXPECT_TRUE(t.Has(clBlack));
    r = Rect(10, 10, 110, 50);
    WriteText(t.c, "Hello", true, r, DT_LEFT);
    EXPECT_EQ(r, Rect(9, 10 - dy - 1, 10 + sz.cx + 1, 50 + dy + 1));
    r = Rect(10, 10, 110, 50);
    WriteText(t.c, "Hello", true, r, DT_RIGHT);
    EXPECT_EQ(r, Rect(110 - sz.cx - 1, 10 - dy - 1, 111, 50 + dy + 1));
    r = Rect(10, 10, 110, 50);
    WriteText(t.c, "Hello world", true, r, DT_WORDBREAK);
    EXPECT_EQ(r, Rect(10, 10, 110, 50)) << "a word-broken text keeps its rectangle";
}

TEST(WriteText, DisabledTextIsEmbossed)
{
    TextCanvas t;
    TRect r = Rect(5, 5, 150, 40);
    WriteText(t.c, "Disabled", false, r, DT_LEFT);
    EXPECT_TRUE(t.Has(ColorToRGB(clBtnHighlight)));
    EXPECT_TRUE(t.Has(ColorToRGB(clBtnShadow)));
    EXPECT_FALSE(t.Has(clBlack));
}

TEST(CutText, ShortensWithAnEllipsisOrGivesNothing)
{
    TextCanvas t;
    EXPECT_EQ(CutText(t.c, "Abcdef", t.c->TextWidth("Abcdef")), "Abcdef");
    EXPECT_EQ(CutText(t.c, "Abcdef", t.c->TextWidth("Ab...")), "Ab...");
    EXPECT_EQ(CutText(t.c, "Abcdef", t.c->TextWidth("A...") - 1), "");
    EXPECT_EQ(CutText(t.c, "Abcdef", 0), "");
}

TEST(DrawGlyphEx, DrawsOneOrTwoImageGlyphsAndNothingElse)
{
    // Two images side by side, 2x1 each; the bottom-left pixel is the key.
    auto glyph = Solid(4, 1, {255, 0, 255});
    Set(*glyph, 1, 0, {10, 20, 30});
    Set(*glyph, 3, 0, {40, 50, 60});
    auto dst = Solid(4, 1, {100, 100, 100});
    DrawGlyphEx(glyph.get(), dst.get(), Rect(1, 0, 3, 1), 3, true, false, {}, 0, 0);
    EXPECT_EQ(Bytes(*dst), Bytes(*Solid(4, 1, {100, 100, 100})));
    DrawGlyphEx(glyph.get(), dst.get(), Rect(1, 0, 3, 1), 2, false, false, {}, 0, 0);
    EXPECT_EQ(Get(*dst, 1, 0), (Px{100, 100, 100}));
    EXPECT_EQ(Get(*dst, 2, 0), (Px{40, 50, 60})) << "disabled: the second image";
    DrawGlyphEx(glyph.get(), dst.get(), Rect(1, 0, 3, 1), 2, true, false, {}, 0, 50);
    EXPECT_EQ(Get(*dst, 2, 0), (Px{25, 35, 45})) << "normal state with Blend 50: half of each";
}

TEST(Marks, CheckPolygonAndFocusDots)
{
    auto b = Solid(16, 16, {255, 255, 255});
    PaintCheck(b->Canvas(), Rect(0, 0, 16, 16), true, clRed);
    // r = (3, 3, 14, 14), a = 3, d = 2: the stroke runs down to (6, 12) and up from (6, 10).
    EXPECT_EQ(Get(*b, 6, 11), (Px{255, 0, 0}));
    EXPECT_EQ(Get(*b, 1, 1), (Px{255, 255, 255}));
    auto f = Solid(16, 16, {128, 128, 128});
    FocusRect(f->Canvas(), Rect(2, 2, 11, 11));
    int top = 0, left = 0;
    for (int i = 0; i < 16; ++i) {
        top += Get(*f, i, 2) == Px{0, 0, 0};
        left += Get(*f, 2, i) == Px{0, 0, 0};
    }
    EXPECT_EQ(top, 4);
    EXPECT_EQ(left, 4);
    EXPECT_EQ(Get(*f, 4, 1), (Px{255, 255, 255}));
}

TEST(BlendColorRect, MixesInsideTheRectangleOnlyRoundingHalvesToEven)
{
    auto b = Solid(3, 2, {5, 15, 200});
    BlendColorRect(b.get(), Rect(0, 0, 2, 1), 30, RGB(0, 0, 100));
    // 5 * 0.3 = 1.5 -> 2; 15 * 0.3 = 4.5 -> 4; 200 * 0.3 + 100 * 0.7 = 130.
    EXPECT_EQ(Get(*b, 1, 0), (Px{2, 4, 130}));
    EXPECT_EQ(Get(*b, 2, 0), (Px{5, 15, 200})) << "the right column is outside";
    EXPECT_EQ(Get(*b, 0, 1), (Px{5, 15, 200})) << "the bottom row is outside";
    BlendColorRect(b.get(), Rect(0, 0, 9, 9), 100, clRed);
    BlendColorRect(b.get(), Rect(0, 0, 9, 9), -56, clRed);
    EXPECT_EQ(Get(*b, 2, 1), (Px{5, 15, 200})) << "100, and a percentage beyond it, keep the pixels";
    BlendColorRect(b.get(), Rect(-5, -5, 1, 9), 0, clRed);
    EXPECT_EQ(Get(*b, 0, 1), (Px{255, 0, 0}));
}

TEST(BmpDisabledKind, GreyAndMixedWithTheParent)
{
    auto b = Solid(2, 2, {100, 40, 10});
    auto parent = Solid(5, 5, {200, 200, 200});
    BmpDisabledKind(b.get(), TsDisabledKind{dkGrayed, dkBlended}, nullptr, TCacheInfo{parent.get(), 1, 1, true}, Point(2, 2));
    // Grey 50, then 40 % of it stays over the parent: round(200 - (200 - 50) * 0.4) = 140.
    EXPECT_EQ(Get(*b, 1, 1), (Px{140, 140, 140}));
    ParentCenterColor = RGB(0, 0, 255);
    BmpDisabledKind(b.get(), TsDisabledKind{dkBlended}, nullptr, EmptyCI, Point(0, 0));
    ParentCenterColor = clSkinKey;
    EXPECT_EQ(Get(*b, 0, 0), (Px{(140 * 127) >> 8, (140 * 127) >> 8, (140 * 127 + 255 * 128) >> 8}));
    BmpDisabledKind(b.get(), TsDisabledKind{dkBlended}, nullptr, EmptyCI, Point(0, 0));
    EXPECT_EQ(Get(*b, 0, 0), (Px{(140 * 127) >> 8, (140 * 127) >> 8, (140 * 127 + 255 * 128) >> 8}))
        << "no parent and no centre colour: nothing to mix with, not the key colour";
}

namespace {

// A section "WEBBUTTON" (index 0) with black text and the given contours.
struct TextSection : ::testing::Test {
    void SetUp() override
    {
        gd.emplace_back();
        gd[0].ClassName = "WEBBUTTON";
        gd[0].FontColor[0] = clBlack;
        gd[0].HotFontColor[0] = clBlue;
    }
    void TearDown() override { gd.clear(); }
};

} // namespace

TEST_F(TextSection, ContoursAreDrawnOnlyWhereTheSectionHasThem)
{
    TextCanvas t;
    TRect r = Rect(5, 5, 150, 40);
    WriteTextEx(t.c, "Text", true, r, DT_LEFT, 0, false);
    EXPECT_TRUE(t.Has(clBlack));
    EXPECT_FALSE(t.Has(clRed)) << "all four contours -1: the text once";
    gd[0].FontColor[2] = clRed;  // top
    gd[0].FontColor[4] = clLime; // bottom
    TextCanvas u;
    r = Rect(5, 5, 150, 40);
    WriteTextEx(u.c, "Text", true, r, DT_LEFT, 0, false);
    EXPECT_TRUE(u.Has(clRed));
    EXPECT_TRUE(u.Has(clLime));
    EXPECT_TRUE(u.Has(clBlack)) << "the text over its contours";
}

TEST_F(TextSection, AHotWebButtonIsUnderlinedInTheControlsFont)
{
    TControl owner(nullptr);
    owner.Font()->SetName("Tahoma");
    owner.Font()->SetColor(clGreen);
    TsCommonData data(&owner, false);
    data.SetSkinSection("WebButton");
    data.SkinIndex = 0;
    TextCanvas t;
    TRect r = Rect(5, 5, 150, 40);
    WriteTextEx(t.c, "Link", true, r, DT_LEFT, &data, true);
    EXPECT_TRUE(t.c->Font()->Style().Contains(fsUnderline)) << "the underline stays in the canvas font";
    EXPECT_TRUE(t.Has(clBlue)) << "HOTFONTCOLOR";
    data.CustomFont = true;
    TextCanvas u;
    r = Rect(5, 5, 150, 40);
    WriteTextEx(u.c, "Link", true, r, DT_LEFT, &data, false);
    EXPECT_TRUE(u.Has(clGreen)) << "CustomFont keeps the control's own colour";
    EXPECT_FALSE(u.c->Font()->Style().Contains(fsUnderline));
}
