// The bitmap primitives against values computed by hand from their definitions.
#include <gtest/gtest.h>

#include "PixelKit.h"
#include "Jpeg.h"
#include "TestKit.h"
#include "sGraphUtils.h"

using namespace pixkit;

TEST(SumBitmaps, MixesSameSizedBitmapsRoundingHalvesToEven)
{
    auto a = Solid(2, 1, {1, 3, 200}), b = Solid(2, 1, {0, 0, 100});
    auto other = Solid(3, 1, {0, 0, 0});
    SumBitmaps(a.get(), other.get(), TsColor{0, 0, 0});
    EXPECT_EQ(Get(*a, 0, 0), (Px{1, 3, 200})) << "a different size leaves the bitmap";
    // k = 128/256: 0.5 -> 0, 1.5 -> 2, 150 exactly.
    SumBitmaps(a.get(), b.get(), TsColor{128, 0, 0});
    EXPECT_EQ(Get(*a, 1, 0), (Px{0, 2, 150}));
    SumBitmaps(a.get(), b.get(), TsColor{0, 255, 255});
    EXPECT_EQ(Get(*a, 0, 0), (Px{0, 0, 100})) << "weight 0 copies the second bitmap";
}

TEST(SumBmpRect, TruncatesOverAnInclusiveRectangleWithinTheSource)
{
    auto dst = Solid(6, 4, {200, 0, 7}), src = Solid(4, 3, {100, 255, 7});
    // t = 127: k = 381/768; 200 over 100 gives trunc(100 * 381/768 + 100) = 149.
    SumBmpRect(dst.get(), src.get(), TsColor{127, 127, 127}, Rect(0, 0, 2, 1), Point(1, 1));
    EXPECT_EQ(Get(*dst, 1, 1), (Px{149, 128, 7})) << "green: 255 * 387 / 768 = 128.5";
    // Rows 0..1 and columns 0..2 are inclusive: (1..3, 1..2) changed, the rest not.
    EXPECT_EQ(Get(*dst, 3, 2), (Px{149, 128, 7}));
    EXPECT_EQ(Get(*dst, 4, 1), (Px{200, 0, 7}));
    EXPECT_EQ(Get(*dst, 1, 3), (Px{200, 0, 7}));
    EXPECT_EQ(Get(*dst, 0, 1), (Px{200, 0, 7}));
    // Columns stop at the source's last one; (255,255,255) keeps 765/768 of the destination.
    auto wide = Solid(8, 1, {200, 0, 0});
    SumBmpRect(wide.get(), src.get(), TsColor{255, 255, 255}, Rect(0, 0, 20, 1), Point(0, 0));
    EXPECT_EQ(Get(*wide, 3, 0), (Px{199, 0, 0}));
    EXPECT_EQ(Get(*wide, 4, 0), (Px{200, 0, 0}));
    SumBmpRect(wide.get(), src.get(), TsColor{0, 0, 0}, Rect(0, 0, 20, 1), Point(-2, 0));
    EXPECT_EQ(Get(*wide, 0, 0), (Px{100, 255, 7})) << "weight 0 copies; a negative point skips what falls outside";
    EXPECT_EQ(Get(*wide, 2, 0), (Px{199, 0, 0}));
}

TEST(BlendBmpByMask, MixesTowardTheColourPerChannel)
{
    auto img = Solid(2, 1, {200, 1, 0});
    auto mask = Solid(2, 1, {255, 255, 255});
    Set(*mask, 1, 0, {0, 0, 0});
    BlendBmpByMask(img.get(), mask.get(), TsColor{10, 100, 255});
    EXPECT_EQ(Get(*img, 0, 0), (Px{(200 * 255) >> 8, (1 * 255) >> 8, 0})) << "white keeps d * 255 shr 8";
    EXPECT_EQ(Get(*img, 1, 0), (Px{9, 99, 254})) << "black gives c * 255 shr 8";
    auto small = Solid(1, 1, {0, 0, 0});
    BlendBmpByMask(small.get(), mask.get(), TsColor{10, 100, 255});
    EXPECT_EQ(Get(*small, 0, 0), (Px{0, 0, 0})) << "a mask of another size changes nothing";
}

namespace {

// A 6x4 mask image: picture rows 0..1 (red 40, green 80, blue 120; key at (2,1)), mask rows 2..3.
std::unique_ptr<TBitmap> MaskImage(Px mask)
{
    auto m = Solid(6, 4, {40, 80, 120});
    for (int x = 0; x < 6; ++x) {
        Set(*m, x, 2, mask);
        Set(*m, x, 3, mask);
    }
    Set(*m, 2, 1, {255, 0, 255});
    Set(*m, 0, 0, {1, 2, 3});
    Set(*m, 3, 0, {4, 5, 6});
    return m;
}

} // namespace

TEST(CopyByMask, BlendsThroughTheMaskAndTakesTheParentUnderKeyPixels)
{
    auto src = MaskImage({0, 128, 255});
    auto dst = Solid(5, 3, {200, 200, 200});
    CopyByMask(Rect(1, 0, 4, 2), Rect(0, 0, 3, 2), dst.get(), src.get(), EmptyCI, false);
    // d := (m * (d - s) + s * 255) shr 8 per channel: m 0 gives s * 255 shr 8; 128; 255.
    EXPECT_EQ(Get(*dst, 1, 0), (Px{0, (128 * 198 + 2 * 255) >> 8, (255 * 197 + 3 * 255) >> 8}));
    EXPECT_EQ(Get(*dst, 3, 1), (Px{(255 * 255) >> 8, (128 * 200 + 0) >> 8, (255 * (200 - 255) + 255 * 255) >> 8}))
        << "without a ready cache the key pixel is mixed like any other";
    EXPECT_EQ(Get(*dst, 4, 0), (Px{200, 200, 200}));

    auto parent = Solid(10, 10, {7, 8, 9});
    Set(*parent, 5, 3, {50, 60, 70});
    auto dst2 = Solid(5, 3, {200, 200, 200});
    CopyByMask(Rect(1, 0, 4, 2), Rect(0, 0, 3, 2), dst2.get(), src.get(), TCacheInfo{parent.get(), 2, 2, true}, false);
    EXPECT_EQ(Get(*dst2, 3, 1), (Px{50, 60, 70})) << "the parent pixel at (CI.X + 3, CI.Y + 1)";
    // Starting at x = -3 copies from the source's fourth column into column 0, three fewer.
    auto dst3 = Solid(5, 1, {0, 0, 0});
    CopyByMask(Rect(-3, 0, 5, 1), Rect(0, 0, 6, 1), dst3.get(), src.get(), EmptyCI, false);
    EXPECT_EQ(Get(*dst3, 0, 0), (Px{(4 * 255) >> 8, (5 * 127) >> 8, 0}));
    EXPECT_EQ(Get(*dst3, 1, 0), (Px{(40 * 255) >> 8, (80 * 127) >> 8, 0}));
    EXPECT_EQ(Get(*dst3, 3, 0), (Px{0, 0, 0}));
}

TEST(CopyByMask, KeyPixelBeyondTheParentLeavesTheRestOfTheRow)
{
    auto src = MaskImage({0, 0, 0});
    auto parent = Solid(3, 3, {7, 8, 9});
    auto dst = Solid(6, 2, {200, 200, 200});
    // Key pixel at source (2,1) lands on parent column 1 + 2 = 3: beyond a 3-pixel-wide cache.
    CopyByMask(Rect(0, 0, 6, 2), Rect(0, 0, 6, 2), dst.get(), src.get(), TCacheInfo{parent.get(), 1, 0, true}, false);
    EXPECT_EQ(Get(*dst, 1, 1), (Px{(40 * 255) >> 8, (80 * 255) >> 8, (120 * 255) >> 8}));
    EXPECT_EQ(Get(*dst, 2, 1), (Px{200, 200, 200}));
    EXPECT_EQ(Get(*dst, 5, 1), (Px{200, 200, 200}));
    EXPECT_EQ(Get(*dst, 5, 0), (Px{(40 * 255) >> 8, (80 * 255) >> 8, (120 * 255) >> 8}));
}

TEST(KeyedCopies, InclusiveAndExclusiveRectanglesSkipTheKey)
{
    auto src = Solid(20, 20, {1, 2, 3});
    Set(*src, 4, 4, {255, 0, 255});
    auto dst = Solid(30, 30, {9, 9, 9});
    CopyTransRect(dst.get(), src.get(), 2, 3, Rect(0, 0, 10, 10), clSkinKey, EmptyCI, false);
    EXPECT_EQ(Get(*dst, 12, 13), (Px{1, 2, 3})) << "(0,0,10,10) copies 11 x 11 pixels";
    EXPECT_EQ(Get(*dst, 13, 13), (Px{9, 9, 9}));
    EXPECT_EQ(Get(*dst, 6, 7), (Px{9, 9, 9})) << "the key pixel is skipped";
    auto dst2 = Solid(30, 30, {9, 9, 9});
    CopyRect(dst2.get(), src.get(), 0, 0, Rect(15, 15, 20, 20), clSkinKey);
    EXPECT_EQ(Get(*dst2, 4, 4), (Px{1, 2, 3})) << "an exclusive rectangle reaching the edge copies its last pixel";
    EXPECT_EQ(Get(*dst2, 5, 5), (Px{9, 9, 9}));
    auto glyph = Solid(2, 1, {255, 0, 255});
    Set(*glyph, 1, 0, {5, 6, 7});
    CopyTransBitmaps(dst2.get(), glyph.get(), 28, 0, ColorToSColor(clSkinKey));
    EXPECT_EQ(Get(*dst2, 28, 0), (Px{9, 9, 9}));
    EXPECT_EQ(Get(*dst2, 29, 0), (Px{5, 6, 7}));
}

TEST(BlendTransRectangle, KeepsBlendOfTheDestinationAndMovesNegativeSourcesOver)
{
    auto src = Solid(4, 4, {10, 255, 0});
    Set(*src, 0, 0, {255, 0, 255});
    auto dst = Solid(6, 6, {21, 0, 0});
    BlendTransRectangle(dst.get(), 1, 1, src.get(), Rect(-1, 0, 1, 0), 0.5, ColorToSColor(clSkinKey));
    // Source column -1 does not exist: column 0 (a key pixel) would go to x = 2, column 1 to 3.
    EXPECT_EQ(Get(*dst, 2, 1), (Px{21, 0, 0}));
    EXPECT_EQ(Get(*dst, 3, 1), (Px{16, 128, 0})) << "10 - (10 - 21) * 0.5 = 15.5 rounds to 16; 127.5 to 128";
    EXPECT_EQ(Get(*dst, 1, 1), (Px{21, 0, 0}));
    BlendTransRectangle(dst.get(), 4, 4, src.get(), Rect(0, 0, 3, 3), 2.5, TsColor{255, 0, 255, 0xFF});
    EXPECT_EQ(Get(*dst, 4, 4), (Px{21, 0, 0})) << "a blend above 1 keeps the destination; fourth byte 0xFF: no key";
}

TEST(GrayAndColours, ChannelArithmeticIsClampedNeverWrapped)
{
    auto b = Solid(1, 1, {10, 20, 31});
    GrayScale(b.get());
    EXPECT_EQ(Get(*b, 0, 0), (Px{20, 20, 20}));
    EXPECT_EQ(ChangeColor(RGB(200, 10, 0), RGB(0, 0, 0), -1.0), static_cast<TColor>(RGB(255, 20, 0)));
    EXPECT_EQ(ChangeColor(RGB(200, 10, 0), RGB(0, 255, 0), 2.0), static_cast<TColor>(RGB(0, 255, 0)));
    EXPECT_EQ(SColorToColor(AverageColor(TsColor{1, 255, 4, 9}, TsColor{2, 254, 0, 1})), static_cast<TColor>(0x0502FE01));
}

TEST(TileBitmap, TilesFromTheTopLeftAndCutsTheLastColumnAndRow)
{
    std::mt19937 rng(5);
    auto tile = Random(rng, 10, 10);
    auto dst = Solid(30, 30, {1, 1, 1});
    TileBitmap(dst->Canvas(), Rect(0, 0, 25, 25), tile.get());
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 30; ++x)
            ASSERT_EQ(Get(*dst, x, y), (x < 25 && y < 25 ? Get(*tile, x % 10, y % 10) : Px{1, 1, 1})) << x << "," << y;
}

TEST(TileBitmap, JpegTilesAreCutToTheRectangleToo)
{
    TJPEGImage jpeg;
    jpeg.LoadFromFile(testkit::DataDir() + "skins\\Images\\J200.jpg");
    auto dst = Solid(300, 20, {1, 1, 1});
    TileBitmap(dst->Canvas(), Rect(0, 0, 250, 10), &jpeg);
    EXPECT_EQ(Get(*dst, 210, 5), Get(*jpeg.Bitmap(), 10, 5));
    EXPECT_EQ(Get(*dst, 250, 5), (Px{1, 1, 1}));
    EXPECT_EQ(Get(*dst, 5, 10), (Px{1, 1, 1}));
}

TEST(Fades, EndsAreAFillAndACopyAndABadBlurIsHarmless)
{
    std::mt19937 rng(6);
    auto src = Random(rng, 8, 6);
    auto dst = Solid(10, 10, {0, 0, 0});
    FadeRect(src->Canvas(), Rect(0, 0, 8, 6), dst->Canvas()->Handle(), Point(1, 2), 100, clRed, 3, ssRectangle);
    EXPECT_EQ(Get(*dst, 8, 7), Get(*src, 7, 5));
    FadeRect(src->Canvas(), Rect(0, 0, 8, 6), dst->Canvas()->Handle(), Point(1, 2), 0, clRed, 3, ssRectangle);
    EXPECT_EQ(Get(*dst, 8, 7), (Px{255, 0, 0}));
    EXPECT_EQ(Get(*dst, 9, 8), (Px{0, 0, 0}));
    FadeRect(src->Canvas(), Rect(0, 0, 8, 6), dst->Canvas()->Handle(), Point(0, 0), 50, clRed, -1, ssEllipse);
    // Blur 0: one mask level t = 127, so each channel is (d * 127 + c * 128) shr 8.
    auto flat = Solid(4, 4, {100, 0, 255});
    FadeBmp(flat.get(), Rect(0, 0, 4, 4), 50, TsColor{0, 0, 0}, -1, 0);
    EXPECT_EQ(Get(*flat, 3, 3), (Px{(100 * 127) >> 8, 0, (255 * 127) >> 8}));
}

TEST(Metrics, FontHeightAddsSixToTheTextHeight)
{
    TGdiHandle<HFONT> font(CreateFontA(13, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, "Tahoma"));
    EXPECT_EQ(GetFontHeight(font.Get()), 19);
    EXPECT_GT(GetStringSize(font.Get(), "Wide text").cx, GetStringSize(font.Get(), "W").cx);
}
