// Section backgrounds: colour, pattern, gradient and transparency over the parent's cache, from
// a hand-made section table.
#include <gtest/gtest.h>

#include "PixelKit.h"
#include "sGraphUtils.h"
#include "sStyleSimply.h"

using namespace pixkit;

namespace {

// One section "ITEM" (index 0) with an optional own-bitmap "PATTERN" of one colour.
struct Section : ::testing::Test {
    TsGeneralData& item()
    {
        if (gd.empty()) {
            gd.emplace_back();
            gd[0].ClassName = "ITEM";
        }
        return gd[0];
    }
    void Pattern(const char* name, Px colour)
    {
        TsMaskData m;
        m.Bmp = Solid(6, 4, colour);
        m.ClassName = "ITEM";
        m.PropertyName = name;
        m.ImageCount = 3;
        m.MaskType = 1;
        ma.push_back(std::move(m));
    }
    void TearDown() override
    {
        gd.clear();
        ma.clear();
        ParentCenterColor = clSkinKey;
    }
    std::unique_ptr<TBitmap> parent = Solid(20, 20, {200, 200, 200});
};

} // namespace

TEST_F(Section, FullTransparencyCopiesTheParentBlockUnlessItIsTheSameBitmap)
{
    item().Transparency = 100;
    Set(*parent, 6, 4, {1, 2, 3});
    auto bmp = Solid(6, 6, {9, 9, 9});
    PaintItemBG(0, "ITEM", TCacheInfo{parent.get(), 4, 3, true}, 0, Rect(1, 1, 5, 5), Point(2, 1), bmp.get());
    EXPECT_EQ(Get(*bmp, 1, 1), (Px{1, 2, 3})) << "from (ci.X + pP.x, ci.Y + pP.y) = (6, 4)";
    EXPECT_EQ(Get(*bmp, 4, 4), (Px{200, 200, 200}));
    EXPECT_EQ(Get(*bmp, 5, 5), (Px{9, 9, 9}));
    const auto before = Bytes(*parent);
    PaintItemBG(0, "ITEM", TCacheInfo{parent.get(), 0, 0, true}, 0, Rect(0, 0, 5, 5), Point(3, 3), parent.get());
    EXPECT_EQ(Bytes(*parent), before);
}

TEST_F(Section, HalfTransparencyMixesTheOwnColourWithTheParent)
{
    item().Transparency = 50;
    item().Color = RGB(100, 100, 0);
    auto bmp = Solid(4, 4, {9, 9, 9});
    PaintItemBG(0, "ITEM", TCacheInfo{parent.get(), 0, 0, true}, 0, Rect(0, 0, 4, 4), Point(0, 0), bmp.get());
    // t = 127, k = 381/768: trunc((200 - 100) * 381/768 + 100) = 149; trunc(200 * 381/768) = 99.
    EXPECT_EQ(Get(*bmp, 3, 3), (Px{149, 149, 99}));
}

TEST_F(Section, PercentagesDecideBetweenColourImageAndGradient)
{
    item().Color = RGB(10, 20, 30);
    auto bmp = Solid(4, 4, {9, 9, 9});
    PaintItemBG(0, "ITEM", EmptyCI, 0, Rect(0, 0, 4, 4), Point(0, 0), bmp.get());
    EXPECT_EQ(Get(*bmp, 0, 0), (Px{10, 20, 30})) << "no image, no gradient: the colour";
    item().Transparency = 40;
    ParentCenterColor = RGB(5, 5, 5);
    PaintItemBG(0, "ITEM", EmptyCI, 0, Rect(0, 0, 4, 4), Point(0, 0), bmp.get());
    EXPECT_EQ(Get(*bmp, 0, 0), (Px{5, 5, 5})) << "a transparent section takes the parent's centre colour";
    ParentCenterColor = clSkinKey;

    item().ImagePercent = 30;
    PaintItemBG(0, "ITEM", EmptyCI, 0, Rect(0, 0, 4, 4), Point(0, 0), bmp.get());
    EXPECT_EQ(Get(*bmp, 2, 2), (Px{10, 20, 30})) << "no pattern of that name: colour mixed with colour";
    Pattern("PATTERN", {200, 0, 100});
    item().ImagePercent = 60;
    item().GradientPercent = 60;
    PaintItemBG(0, "ITEM", EmptyCI, 0, Rect(0, 0, 4, 4), Point(0, 0), bmp.get());
    EXPECT_EQ(Get(*bmp, 2, 2), (Px{10, 20, 30})) << "a sum above 100 paints plain colour";
    item().GradientPercent = 0;
    PaintItemBG(0, "ITEM", EmptyCI, 0, Rect(0, 0, 4, 4), Point(0, 0), bmp.get());
    // The pattern, then 60 % of it kept over the colour: 200 * 0.6 + 10 * 0.4 = 124, 8, 72.
    EXPECT_EQ(Get(*bmp, 2, 2), (Px{124, 8, 72}));
    PaintItemBG(0, "ITEM", EmptyCI, 1, Rect(0, 0, 4, 4), Point(0, 0), bmp.get());
    EXPECT_EQ(Get(*bmp, 2, 2), (Px{0, 0, 0})) << "hot: HOTCOLOR (0) and no HOTIMAGEPERCENT";
}

TEST_F(Section, AGradientOverAnImageKeepsTheImageByItsWeight)
{
    item().Color = RGB(100, 100, 100);
    item().ImagePercent = 50;
    item().GradientPercent = 50;
    Pattern("PATTERN", {200, 200, 200});
    auto bmp = Solid(5, 3, {9, 9, 9});
    PaintItemBG(0, "ITEM", EmptyCI, 0, Rect(0, 0, 5, 3), Point(0, 0), bmp.get());
    // Without stops the gradient is the colour; w = 127: trunc((200 - 100) * 381/768 + 100).
    EXPECT_EQ(Get(*bmp, 4, 2), (Px{149, 149, 149}));
    PaintItemFast(0, -1, 0, 0, "ITEM", EmptyCI, true, 0, Rect(0, 0, 5, 3), Point(0, 0), bmp.get());
    EXPECT_EQ(Get(*bmp, 4, 2), (Px{150, 150, 150})) << "the fast form weighs by 256: w = 128; no border";
}

TEST_F(Section, AFullGradientPaintsItsStopsAcrossTheRectangle)
{
    item().GradientPercent = 100;
    item().GradArray = {TsGradPie{255, 65280, 50, 1}, TsGradPie{65280, 16711680, 0, 0}};
    auto bmp = Solid(11, 2, {9, 9, 9});
    PaintItemBG(0, "ITEM", EmptyCI, 0, Rect(0, 0, 11, 2), Point(0, 0), bmp.get());
    // Left to right: red at column 0, green at column 5 where the second stop starts, blue at 10.
    EXPECT_EQ(Get(*bmp, 0, 1), (Px{255, 0, 0}));
    EXPECT_EQ(Get(*bmp, 5, 1), (Px{0, 255, 0}));
    EXPECT_EQ(Get(*bmp, 10, 1), (Px{0, 0, 255}));
}
