// Borders that cut their transparent pixels out of a window region, region rectangles of a
// mask's corners, raster glyphs and the repair of transparent corners.
#include <gtest/gtest.h>

#include "PixelKit.h"
#include "sBorders.h"
#include "sGraphUtils.h"
#include "sMaskGraph.h"

using namespace pixkit;

namespace {

// An own-bitmap border mask of 3 states with 3 x 3 cells of 4 x 4 pixels: picture grey 100 over
// a black blend band (so a painted pixel becomes 100 * 255 shr 8 = 99); the outer pixel of each
// state's top-left corner, and the two outer pixels of its top-right corner's top row, are key.
TsMaskData KeyCornerMask()
{
    TsMaskData m;
    m.Bmp = Solid(36, 24, {100, 100, 100});
    for (int y = 12; y < 24; ++y)
        for (int x = 0; x < 36; ++x)
            Set(*m.Bmp, x, y, {0, 0, 0});
    for (int s = 0; s < 3; ++s) {
        Set(*m.Bmp, 12 * s, 0, {255, 0, 255});
        Set(*m.Bmp, 12 * s + 10, 0, {255, 0, 255});
        Set(*m.Bmp, 12 * s + 11, 0, {255, 0, 255});
    }
    return m;
}

} // namespace

TEST(PaintRgnBorder, CutsKeyRunsOutOfTheRegionAndKeepsTheCentreWithoutFilling)
{
    const TsMaskData mask = KeyCornerMask();
    auto bmp = Solid(20, 10, {7, 7, 7});
    TRegion rgn = TRegion::Rect(0, 0, 20, 10);
    PaintRgnBorder(bmp.get(), rgn.Get(), false, mask, 1);
    EXPECT_FALSE(rgn.Contains(0, 0));
    EXPECT_TRUE(rgn.Contains(1, 0));
    EXPECT_TRUE(rgn.Contains(17, 0));
    EXPECT_FALSE(rgn.Contains(18, 0));
    EXPECT_FALSE(rgn.Contains(19, 0));
    EXPECT_TRUE(rgn.Contains(19, 1));
    EXPECT_EQ(Get(*bmp, 0, 0), (Px{7, 7, 7})) << "a key pixel is not painted";
    EXPECT_EQ(Get(*bmp, 1, 0), (Px{99, 99, 99}));
    EXPECT_EQ(Get(*bmp, 8, 5), (Px{7, 7, 7})) << "no centre without Filling";
    PaintRgnBorder(bmp.get(), nullptr, true, mask, 1);
    EXPECT_EQ(Get(*bmp, 8, 5), (Px{99, 99, 99}));

    TsMaskData plain;
    plain.Bmp = Solid(36, 24, {100, 100, 100});
    TRegion whole = TRegion::Rect(0, 0, 20, 10);
    PaintRgnBorder(bmp.get(), whole.Get(), true, plain, 0);
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 20; ++x)
            ASSERT_TRUE(whole.Contains(x, y)) << x << "," << y;
}

TEST(AddRgn, KeyRunsOfTheCornerCellsBecomeRectangles)
{
    const TsMaskData mask = KeyCornerMask();
    std::vector<TRect> rects;
    AddRgn(rects, 50, mask, 3, false);
    // Left: (0, 0) of the top band; right: columns 10..11 of the first state placed at 50 - 12.
    ASSERT_EQ(rects.size(), 2u);
    EXPECT_EQ(rects[0], Rect(0, 3, 1, 4));
    EXPECT_EQ(rects[1], Rect(48, 3, 50, 4));
    rects.clear();
    AddRgn(rects, 50, mask, 0, true);
    EXPECT_TRUE(rects.empty()) << "the bottom band has no key pixels";
}

TEST(PaintRasterGlyph, MixesByTheMaskSkippingTheKey)
{
    auto glyph = Solid(6, 4, {40, 80, 120}); // 3 cells of 2 x 2 over a blend band
    Set(*glyph, 2, 0, {255, 0, 255});
    for (int x = 0; x < 6; ++x)
        Set(*glyph, x, 2, {128, 128, 128}), Set(*glyph, x, 3, {128, 128, 128});
    auto bmp = Solid(4, 4, {200, 200, 200});
    PaintRasterGlyph(bmp.get(), glyph.get(), Point(1, 1), 1, clFuchsia);
    EXPECT_EQ(Get(*bmp, 1, 1), (Px{200, 200, 200}));
    // ((m * d) shr 8) + s - ((m * s) shr 8) = 100 + 40 - 20.
    EXPECT_EQ(Get(*bmp, 2, 1), (Px{120, 100 + 80 - 40, 100 + 120 - 60}));
    PaintRasterGlyph(bmp.get(), glyph.get(), Point(-1, 0), 0, clFuchsia);
    EXPECT_EQ(Get(*bmp, 0, 0), (Px{120, 140, 160})) << "the cell's second column at column 0";
}

TEST(UpdateCorners, KeyPixelsTakeTheParentColourOrTheParentCache)
{
    MasterBitmap = Solid(12, 24, {60, 60, 60}); // one state of 4 x 4 cells over a blend band
    Set(*MasterBitmap, 0, 0, {255, 0, 255});
    Set(*MasterBitmap, 11, 11, {255, 0, 255});
    TsMaskData mask;
    mask.R = Rect(0, 0, 12, 24);
    mask.ImageCount = 1;
    mask.MaskType = 1;
    auto cache = Solid(10, 8, {1, 1, 1});
    auto parent = Solid(40, 40, {2, 2, 2});
    Set(*parent, 5 + 9, 6 + 7, {3, 4, 5});
    ParentCenterColor = RGB(9, 9, 9);
    UpdateCorners(cache.get(), Rect(5, 6, 15, 14), mask, 0, TsCorners{scLeftTop}, EmptyCI, RGB(50, 60, 70));
    EXPECT_EQ(Get(*cache, 0, 0), (Px{50, 60, 70})) << "a plain parent gives its colour";
    EXPECT_EQ(ParentCenterColor, clSkinKey);
    UpdateCorners(cache.get(), Rect(5, 6, 15, 14), mask, 0, TsCorners{scRightBottom}, TCacheInfo{parent.get(), 0, 0, true},
                  clSkinKey);
    EXPECT_EQ(Get(*cache, 9, 7), (Px{3, 4, 5})) << "a textured parent gives its cache's pixel";
    EXPECT_EQ(Get(*cache, 8, 7), (Px{1, 1, 1}));
    MasterBitmap.reset();
    UpdateCorners(cache.get(), Rect(5, 6, 15, 14), mask, 0, TsCorners{scLeftTop, scLeftBottom, scRightTop}, EmptyCI, clRed);
    EXPECT_EQ(Get(*cache, 0, 0), (Px{50, 60, 70})) << "no master image: nothing";
}
