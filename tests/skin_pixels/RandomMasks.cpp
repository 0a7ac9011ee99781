// 10,000 seeded random masks, rectangles, states and weights through the drawing routines: no
// crash, no hang and no pixel access outside a bitmap (every access is checked and would raise).
#include <gtest/gtest.h>

#include "PixelKit.h"
#include "sBorders.h"
#include "sGraphUtils.h"
#include "sMaskGraph.h"

using namespace pixkit;

TEST(RandomMasks, DrawingRoutinesStayInsideTheirBitmaps)
{
    std::mt19937 rng(13);
    auto pick = [&](int lo, int hi) { return lo + static_cast<int>(rng() % static_cast<unsigned>(hi - lo + 1)); };
    std::vector<std::unique_ptr<TBitmap>> images;
    for (auto [w, h] : {std::pair{0, 0}, {1, 1}, {2, 5}, {8, 5}, {9, 6}, {17, 11}, {36, 24}, {40, 31}})
        images.push_back(Random(rng, w, h, 5));
    auto image = [&] { return images[rng() % images.size()].get(); };
    auto rect = [&](int n) {
        const int l = pick(-n / 2, n), t = pick(-n / 2, n);
        return Rect(l, t, l + pick(-3, n), t + pick(-3, n));
    };
    auto target = Random(rng, 32, 24);
    auto parent = Random(rng, 30, 20);
    for (int i = 0; i < 10000; ++i) {
        MasterBitmap = rng() % 5 ? Copy(*image()) : nullptr;
        TsMaskData mask;
        if (rng() % 3 == 0)
            mask.Bmp = Copy(*image());
        mask.R = rect(40);
        mask.ImageCount = static_cast<SmallInt>(pick(-2, 5));
        mask.MaskType = static_cast<SmallInt>(pick(-1, 3));
        mask.BorderWidth = static_cast<SmallInt>(pick(-2, 10));
        const TCacheInfo ci{rng() % 4 ? parent.get() : nullptr, pick(-20, 20), pick(-20, 20), rng() % 2 == 0};
        const int state = pick(-3, 6);
        const TRect r = rect(36), r2 = rect(40);
        const TPoint p = Point(pick(-20, 36), pick(-20, 28));
        CtrlParentColor = rng() % 3 ? clSkinKey : RGB(1, 2, 3);
        TRegion rgn = TRegion::Rect(0, 0, 32, 24);
        std::vector<TRect> rects;
        try {
            switch (i % 12) {
            case 0: DrawSkinRect(target.get(), r, rng() % 2, ci, mask, state, rng() % 2); break;
            case 1: DrawSmallSkinRect(target.get(), r, rng() % 2, ci, mask, state); break;
            case 2: DrawSkinGlyph(target.get(), p, state, pick(0, 3), mask); break;
            case 3: CopyMasterRect(r, r2, target.get(), ci, mask); break;
            case 4: CopyByMask(r, r2, target.get(), image(), ci, false); break;
            case 5: SumBmpRect(target.get(), image(), TsColor{Byte(rng()), Byte(rng()), Byte(rng()), 0}, r2, p); break;
            case 6: BlendColorRect(target.get(), r, static_cast<signed char>(rng()), RGB(rng() % 256, 9, 9)); break;
            case 7: TileBitmap(target->Canvas(), r, mask.Bmp.get(), mask); break;
            case 8: PaintRgnBorder(target.get(), rgn.Get(), rng() % 2, mask, state); break;
            case 9: PaintRasterBorder(target.get(), image(), state, rgn.Get(), clFuchsia, rng() % 2); break;
            case 10:
                PaintBlendGlyph(target.get(), image(), p, pick(-5, 120), clFuchsia, state);
                PaintRasterGlyph(target.get(), image(), p, state, clFuchsia);
                break;
            default:
                AddRgn(rects, pick(-5, 60), mask, pick(-5, 5), rng() % 2);
                UpdateCorners(target.get(), r, mask, state, TsCorners{scLeftTop, scRightBottom}, ci, rng() % 2 ? clSkinKey : clRed);
                CopyTransRect(target.get(), image(), p.x, p.y, r2, clFuchsia, ci, true);
                BlendTransRectangle(target.get(), p.x, p.y, image(), r2, (rng() % 300) / 100.0 - 0.5, TsColor{255, 0, 255, 0});
                break;
            }
        } catch (const std::exception& e) {
            FAIL() << "iteration " << i << ": " << e.what();
        }
    }
    MasterBitmap.reset();
    CtrlParentColor = clSkinKey;
}
