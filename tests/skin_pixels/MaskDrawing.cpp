// Border frames, master-image pieces and glyph cells drawn from synthetic masks whose every
// pixel says which cell and which place in the cell it came from, so that the expected image
// follows from the layout rules alone.
#include <gtest/gtest.h>

#include "PixelKit.h"
#include "Watchdog.h"
#include "sGraphUtils.h"
#include "sMaskGraph.h"
#include "sPixelRef.h"

using namespace pixkit;

namespace {

// The picture pixel of cell (col, row) of state s at (lx, ly) inside the cell.
Px CellPixel(int s, int col, int row, int lx, int ly) { return Px{col * 80 + lx * 10, row * 80 + ly * 10, 100 + s * 50}; }

// A border image: `states` blocks of 3 x 3 cells of cw x ch, above `bands - 1` blend bands of
// grey `mask`.
std::unique_ptr<TBitmap> BorderImage(int states, int cw, int ch, int bands, int mask)
{
    auto b = Solid(states * 3 * cw, bands * 3 * ch, {mask, mask, mask});
    for (int s = 0; s < states; ++s)
        for (int y = 0; y < 3 * ch; ++y)
            for (int x = 0; x < 3 * cw; ++x)
                Set(*b, s * 3 * cw + x, y, CellPixel(s, x / cw, y / ch, x % cw, y % ch));
    return b;
}

// Master image fixture: installs a master bitmap and removes it again.
struct Master : ::testing::Test {
    void Use(std::unique_ptr<TBitmap> b) { MasterBitmap = std::move(b); }
    void TearDown() override
    {
        MasterBitmap.reset();
        CtrlParentColor = clSkinKey;
    }
};

TsMaskData RectMask(TRect r, int count, int maskType, int borderWidth = 0)
{
    TsMaskData m;
    m.R = r;
    m.ImageCount = static_cast<SmallInt>(count);
    m.MaskType = static_cast<SmallInt>(maskType);
    m.BorderWidth = static_cast<SmallInt>(borderWidth);
    return m;
}

// Which cell column (0, 1, 2) and which column inside it a target column v of a frame of the
// given extent shows: near corner, tiled middle cells starting one cell in, far corner.
std::pair<int, int> Source(int v, int extent, int cell, int nearSize, int farSize)
{
    if (v < nearSize)
        return {0, v};
    if (v >= extent - farSize)
        return {2, v - (extent - farSize) + (cell - farSize)};
    return {1, (v - cell) % cell};
}

// The frame expected over (0,0,w,h) from cells cw x ch with the given corner sizes; pixels of
// the centre keep `background` unless filled; f maps the picture pixel to the painted one.
template <class F>
void ExpectFrame(TBitmap& b, int w, int h, int cw, int ch, int dw, int dh, int dw2, int dh2, int state, bool filled,
                 Px background, F f)
{
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            auto [col, lx] = Source(x, w, cw, dw, dw2);
            auto [row, ly] = Source(y, h, ch, dh, dh2);
            const bool centre = col == 1 && row == 1;
            const Px expected = centre && !filled ? background : f(CellPixel(state, col, row, lx, ly));
            ASSERT_EQ(Get(b, x, y), expected) << "pixel " << x << "," << y;
        }
}

} // namespace

TEST_F(Master, KeyColourFrameTilesWholeCellsAndCutsTheLastOneCellBeforeTheEdge)
{
    Use(BorderImage(2, 4, 4, 1, 0));
    Set(*MasterBitmap, 12, 0, {255, 0, 255}); // the outer pixel of state 1's top-left corner
    const TsMaskData mask = RectMask(Rect(0, 0, 24, 12), 2, 0);
    auto bmp = Solid(18, 14, {1, 2, 3});
    DrawSkinRect(bmp.get(), Rect(0, 0, 18, 14), false, EmptyCI, mask, 5, false);
    // State 5 is limited to the last state. Top side: cells at 4 and 8, then one cut to end at 14.
    Set(*bmp, 0, 0, CellPixel(1, 0, 0, 0, 0));
    ExpectFrame(*bmp, 18, 14, 4, 4, 4, 4, 4, 4, 1, false, Px{1, 2, 3}, [](Px p) { return p; });
    auto again = Solid(18, 14, {1, 2, 3});
    DrawSkinRect(again.get(), Rect(0, 0, 18, 14), false, EmptyCI, mask, 1, false);
    EXPECT_EQ(Get(*again, 0, 0), (Px{1, 2, 3})) << "a key pixel of a corner is not copied";
}

TEST_F(Master, NarrowFramesGetHalvedCornersAndNoSides)
{
    Use(BorderImage(1, 8, 8, 2, 0));
    const TsMaskData mask = RectMask(Rect(0, 0, 24, 48), 1, 1);
    auto bmp = Solid(11, 11, {9, 9, 9});
    DrawSkinRect(bmp.get(), Rect(0, 0, 11, 11), true, EmptyCI, mask, 0, true);
    // Mask band 0: each channel becomes s * 255 shr 8.
    ExpectFrame(*bmp, 11, 11, 8, 8, 5, 5, 6, 6, 0, true, Px{9, 9, 9},
                [](Px p) { return Px{p[0] * 255 >> 8, p[1] * 255 >> 8, p[2] * 255 >> 8}; });
}

TEST_F(Master, BorderWidthLimitsTheCornersAndDropsTheCentreOfAKeyColourMask)
{
    Use(BorderImage(1, 6, 6, 1, 0));
    const TsMaskData mask = RectMask(Rect(0, 0, 18, 18), 1, 0, 2);
    auto bmp = Solid(20, 20, {9, 9, 9});
    DrawSkinRect(bmp.get(), Rect(0, 0, 20, 20), true, EmptyCI, mask, 0, false);
    EXPECT_EQ(Get(*bmp, 1, 1), CellPixel(0, 0, 0, 1, 1));
    EXPECT_EQ(Get(*bmp, 2, 2), (Px{9, 9, 9})) << "corner limited to 2 pixels";
    EXPECT_EQ(Get(*bmp, 18, 0), CellPixel(0, 2, 0, 4, 0)) << "the far corner takes the cell's outer part";
    EXPECT_EQ(Get(*bmp, 10, 10), (Px{9, 9, 9})) << "no centre for a key-colour mask with a border width";
}

TEST(OwnBitmapFrame, BlendsEveryPieceAndTakesTheParentUnderCornerKeys)
{
    TsMaskData mask;
    mask.Bmp = BorderImage(3, 4, 4, 2, 128);
    Set(*mask.Bmp, 12, 0, {255, 0, 255}); // state 1's top-left corner pixel is the key
    auto parent = Solid(30, 30, {7, 7, 7});
    Set(*parent, 3, 2, {50, 60, 70});
    auto bmp = Solid(14, 14, {200, 200, 200});
    DrawSkinRect(bmp.get(), Rect(0, 0, 14, 14), true, TCacheInfo{parent.get(), 3, 2, true}, mask, 1, true);
    auto blend = [](Px p) { return Px{(128 * (200 - p[0]) + p[0] * 255) >> 8, (128 * (200 - p[1]) + p[1] * 255) >> 8,
                                      (128 * (200 - p[2]) + p[2] * 255) >> 8}; };
    EXPECT_EQ(Get(*bmp, 0, 0), (Px{50, 60, 70}));
    EXPECT_EQ(Get(*bmp, 6, 1), blend(CellPixel(1, 1, 0, 2, 1)));
    EXPECT_EQ(Get(*bmp, 13, 13), blend(CellPixel(1, 2, 2, 3, 3)));
    EXPECT_EQ(Get(*bmp, 5, 9), blend(CellPixel(1, 1, 1, 1, 1)));
    auto untouched = Solid(14, 14, {200, 200, 200});
    DrawSmallSkinRect(untouched.get(), Rect(0, 0, 14, 14), true, EmptyCI, mask, 1);
    EXPECT_EQ(Bytes(*untouched), Bytes(*Solid(14, 14, {200, 200, 200}))) << "the small frame is for master images only";
}

TEST_F(Master, CopyMasterRectFillsKeysFromTheParentColourOrCache)
{
    auto m = Solid(4, 4, {40, 80, 120});
    Set(*m, 1, 0, {255, 0, 255});
    Set(*m, 2, 1, {255, 0, 255});
    for (int x = 0; x < 4; ++x)
        Set(*m, x, 2, {0, 255, 0}), Set(*m, x, 3, {0, 255, 0});
    Use(std::move(m));
    const TsMaskData mask = RectMask(Rect(0, 0, 4, 4), 1, 1);
    auto parent = Solid(4, 4, {7, 8, 9});
    auto bmp = Solid(5, 2, {200, 200, 200});
    CopyMasterRect(Rect(1, 0, 5, 2), Rect(0, 0, 4, 2), bmp.get(), TCacheInfo{parent.get(), 1, 0, true}, mask);
    EXPECT_EQ(Get(*bmp, 1, 0), (Px{40 * 255 >> 8, 200 * 255 >> 8, 120 * 255 >> 8})) << "mask (0, 255, 0) keeps green";
    EXPECT_EQ(Get(*bmp, 2, 0), (Px{7, 8, 9})) << "the parent pixel at (2 + 1, 0)";
    EXPECT_EQ(Get(*bmp, 3, 1), (Px{200, 200, 200})) << "parent column 4 is outside: the rest of the row is skipped";
    EXPECT_EQ(Get(*bmp, 4, 1), (Px{200, 200, 200}));
    CtrlParentColor = RGB(1, 2, 3);
    CopyMasterRect(Rect(1, 0, 5, 2), Rect(0, 0, 4, 2), bmp.get(), EmptyCI, mask);
    EXPECT_EQ(Get(*bmp, 3, 1), (Px{1, 2, 3}));
    EXPECT_EQ(Get(*bmp, 4, 1), (Px{40 * 255 >> 8, (255 * (200 - 0) + 0) >> 8, 120 * 255 >> 8}));
}

TEST_F(Master, GlyphCellsAtNegativePointsAndPalerModes)
{
    TsMaskData own;
    own.Bmp = BorderImage(1, 2, 1, 2, 0); // 3 glyph states of 2x3 over a black blend band
    own.MaskType = 1;
    auto bmp = Solid(4, 4, {200, 200, 200});
    DrawSkinGlyph(bmp.get(), Point(-1, 2), 2, 1, own);
    EXPECT_EQ(Get(*bmp, 0, 2), (Px{(80 * 2 + 10) * 255 >> 8, 0, 100 * 255 >> 8})) << "the state-2 cell's second column";
    EXPECT_EQ(Get(*bmp, 1, 2), (Px{200, 200, 200}));
    EXPECT_EQ(Get(*bmp, 0, 3), (Px{(80 * 2 + 10) * 255 >> 8, 80 * 255 >> 8, 100 * 255 >> 8}));
    DrawSkinGlyph(bmp.get(), Point(2, 0), 0, 2, own);
    EXPECT_EQ(Get(*bmp, 2, 0), (Px{(100 * 200) >> 8, (100 * 200) >> 8, (100 * 200 + 100 * 155) >> 8})) << "mask raised to 100";

    auto m = Solid(6, 2, {30, 30, 30});
    Set(*m, 4, 0, {255, 0, 255});
    Use(std::move(m));
    const TsMaskData flat = RectMask(Rect(0, 0, 6, 2), 3, 0);
    auto b2 = Solid(2, 2, {100, 100, 100});
    DrawSkinGlyph(b2.get(), Point(0, 0), 2, 1, flat);
    EXPECT_EQ(Get(*b2, 0, 0), (Px{100, 100, 100})) << "key pixel skipped";
    EXPECT_EQ(Get(*b2, 1, 1), (Px{30, 30, 30}));
    DrawSkinGlyph(b2.get(), Point(0, 0), 0, 2, flat);
    EXPECT_EQ(Get(*b2, 0, 0), (Px{65, 65, 65})) << "inactive: half over the bitmap";
}

TEST_F(Master, MasksWithoutCellsOrImagesDrawNothing)
{
    auto bmp = Solid(20, 20, {5, 5, 5});
    const auto before = Bytes(*bmp);
    DrawSkinRect(bmp.get(), Rect(0, 0, 20, 20), true, EmptyCI, RectMask(Rect(0, 0, 9, 9), 1, 0), 0, true);
    DrawSkinGlyph(bmp.get(), Point(0, 0), 0, 1, RectMask(Rect(0, 0, 9, 9), 1, 0));
    Use(Solid(8, 8, {1, 1, 1}));
    DrawSkinRect(bmp.get(), Rect(0, 0, 20, 20), true, EmptyCI, RectMask(Rect(0, 0, 0, 0), 1, 0), 0, true);
    DrawSkinRect(bmp.get(), Rect(0, 0, 20, 20), true, EmptyCI, RectMask(Rect(0, 0, 8, 8), 0, 0), 0, true);
    DrawSmallSkinRect(bmp.get(), Rect(0, 0, 20, 20), true, EmptyCI, RectMask(Rect(0, 0, 2, 8), 1, 1), 0);
    DrawSkinGlyph(bmp.get(), Point(0, 0), 0, 1, RectMask(Rect(0, 0, 2, 0), 3, 0));
    TsMaskData tiny;
    tiny.Bmp = Solid(8, 5, {1, 1, 1});
    DrawSkinRect(bmp.get(), Rect(0, 0, 20, 20), true, EmptyCI, tiny, 0, true);
    EXPECT_EQ(Bytes(*bmp), before);
}

TEST_F(Master, RectanglesFarPastTheMasterAreCutToItBeforeAnyPixelIsVisited)
{
    // A cell claiming 715 million columns: the part the master has is drawn, at once.
    testkit::Watchdog watchdog(5000);
    watchdog.Next("glyph, frame and region of rectangles past the master");
    auto m = Solid(100, 120, {30, 60, 90});
    for (int y = 86; y < 106; ++y)
        for (int x = 0; x < 100; ++x)
            Set(*m, x, y, {0, 0, 0}); // the blend band: the picture wins
    Use(std::move(m));
    auto bmp = Solid(40, 30, {200, 200, 200});
    DrawSkinGlyph(bmp.get(), Point(0, 0), 0, 1, RectMask(Rect(78, 66, 2147483647, 106), 3, 1));
    EXPECT_EQ(Get(*bmp, 21, 19), (Px{30 * 255 >> 8, 60 * 255 >> 8, 90 * 255 >> 8}));
    EXPECT_EQ(Get(*bmp, 22, 0), (Px{200, 200, 200})) << "the master ends at column 99";
    EXPECT_EQ(Get(*bmp, 0, 20), (Px{200, 200, 200}));

    const auto before = Bytes(*bmp);
    for (const TRect r : {Rect(0, 0, 2147483647, 2147483647), Rect(198, 146, 222, -2147483647),
                          Rect(-2147483647 - 1, 0, 2147483647, 90)}) {
        const TsMaskData huge = RectMask(r, 2, 1);
        DrawSkinRect(bmp.get(), Rect(0, 0, 40, 30), true, EmptyCI, huge, 1, true);
        DrawSmallSkinRect(bmp.get(), Rect(0, 0, 40, 30), true, EmptyCI, huge, 1);
        std::vector<TRect> region;
        AddRgn(region, 40, huge, 0, true);
        EXPECT_TRUE(region.empty());
    }
    EXPECT_EQ(Bytes(*bmp), before) << "frames of rectangles outside the master draw nothing";
}

TEST_F(Master, FramesAndMasterCopiesMatchTheirPieceByPieceReferences)
{
    std::mt19937 rng(11);
    Use(Random(rng, 90, 60, 9));
    auto parent = Random(rng, 80, 60);
    for (int i = 0; i < 400; ++i) {
        auto pick = [&](int lo, int hi) { return lo + static_cast<int>(rng() % static_cast<unsigned>(hi - lo + 1)); };
        TsMaskData mask;
        if (i % 3 == 0)
            mask.Bmp = Random(rng, pick(9, 60), pick(6, 40), 7);
        const int count = pick(1, 3), bands = pick(1, 3);
        mask.R = Bounds(pick(0, 20), pick(0, 10), count * 3 * pick(1, 7), bands * 3 * pick(1, 6));
        mask.ImageCount = static_cast<SmallInt>(count);
        mask.MaskType = static_cast<SmallInt>(bands - 1);
        mask.BorderWidth = static_cast<SmallInt>(pick(0, 5));
        CtrlParentColor = i % 4 == 0 ? RGB(7, 8, 9) : clSkinKey;
        const TRect r = Bounds(pick(-4, 20), pick(-4, 12), pick(0, 60), pick(0, 40));
        const TCacheInfo ci{parent.get(), pick(-5, 5), pick(-5, 5), i % 2 == 0};
        const int state = pick(-1, 3);
        const bool filling = i % 5 != 0, corners = i % 7 != 0;
        auto fast = Random(rng, 50, 36), slow = Copy(*fast);
        DrawSkinRect(fast.get(), r, filling, ci, mask, state, corners);
        ref::DrawSkinRect(slow.get(), r, filling, ci, mask, state, corners);
        ASSERT_EQ(Bytes(*fast), Bytes(*slow)) << "frame, trial " << i;
        const TRect src = Bounds(pick(-5, 90), pick(-5, 60), pick(0, 40), pick(0, 25));
        CopyMasterRect(r, src, fast.get(), ci, mask);
        ref::CopyMasterRect(r, src, slow.get(), ci, mask);
        ASSERT_EQ(Bytes(*fast), Bytes(*slow)) << "master copy, trial " << i;
    }
}
