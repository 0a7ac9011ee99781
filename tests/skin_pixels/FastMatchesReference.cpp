// Every fast pixel routine gives exactly the bytes of its plain reference, over seeded random
// images of awkward sizes (1x1, odd widths, widths around multiples of 4 and 16, a full screen),
// random weights and rectangles that reach past the images on every side.
#include <gtest/gtest.h>

#include "PixelKit.h"
#include "sMaskGraph.h"
#include "sPixelRef.h"

using namespace pixkit;

namespace {

struct Size {
    int w, h;
};
const Size kSizes[] = {{1, 1}, {2, 3}, {3, 1}, {5, 7}, {7, 2}, {13, 5}, {15, 3}, {16, 2}, {17, 9},
                       {31, 4}, {33, 3}, {47, 2}, {48, 2}, {49, 3}, {64, 5}, {1280, 1024}};

TsColor RandomColor(std::mt19937& rng)
{
    return TsColor{static_cast<Byte>(rng()), static_cast<Byte>(rng()), static_cast<Byte>(rng()), static_cast<Byte>(rng())};
}

// A rectangle around an image of w x h that may start before it and end beyond it.
TRect RandomRect(std::mt19937& rng, int w, int h)
{
    auto coord = [&](int n) { return static_cast<int>(rng() % (n + 8)) - 4; };
    int l = coord(w), t = coord(h);
    return Rect(l, t, l + static_cast<int>(rng() % (w + 6)), t + static_cast<int>(rng() % (h + 6)));
}

template <class Fast, class Reference>
void ExpectSame(std::unique_ptr<TBitmap>& image, Fast fast, Reference reference, const char* what, Size s)
{
    auto expected = Copy(*image);
    reference(expected.get());
    fast(image.get());
    ASSERT_EQ(Bytes(*image), Bytes(*expected)) << what << " on " << s.w << "x" << s.h;
}

} // namespace

TEST(FastPixels, WholeImageBlendsMatchTheReference)
{
    std::mt19937 rng(1);
    for (Size s : kSizes) {
        auto other = Random(rng, s.w, s.h), mask = Random(rng, s.w, s.h);
        const bool big = s.w * s.h > 100000;
        for (int weight : {0, 1, 127, 128, 255, static_cast<int>(rng() % 256)}) {
            if (big && weight < 128)
                continue; // the full screen once or twice is enough
            TsColor c = RandomColor(rng);
            c.R = static_cast<Byte>(weight);
            auto image = Random(rng, s.w, s.h);
            ExpectSame(image, [&](TBitmap* b) { SumBitmaps(b, other.get(), c); },
                       [&](TBitmap* b) { ref::SumBitmaps(b, other.get(), c); }, "SumBitmaps", s);
            ExpectSame(image, [&](TBitmap* b) { BlendBmpByMask(b, mask.get(), c); },
                       [&](TBitmap* b) { ref::BlendBmpByMask(b, mask.get(), c); }, "BlendBmpByMask", s);
        }
        auto image = Random(rng, s.w, s.h);
        ExpectSame(image, [](TBitmap* b) { GrayScale(b); }, [](TBitmap* b) { ref::GrayScale(b); }, "GrayScale", s);
    }
}

TEST(FastPixels, RectangleMixesMatchTheReference)
{
    std::mt19937 rng(2);
    for (Size s : kSizes) {
        const int trials = s.w * s.h > 100000 ? 3 : 40;
        auto source = Random(rng, s.w + static_cast<int>(rng() % 5), s.h + static_cast<int>(rng() % 5), 7);
        auto parent = Random(rng, s.w + 3, s.h + 2);
        for (int i = 0; i < trials; ++i) {
            const TsColor c = RandomColor(rng);
            const TRect r = RandomRect(rng, source->Width(), source->Height());
            const TRect r1 = RandomRect(rng, s.w, s.h);
            const TPoint p = Point(static_cast<int>(rng() % (s.w + 6)) - 3, static_cast<int>(rng() % (s.h + 6)) - 3);
            TCacheInfo ci{parent.get(), static_cast<int>(rng() % 7) - 3, static_cast<int>(rng() % 7) - 3, rng() % 3 != 0};
            auto image = Random(rng, s.w, s.h);
            ExpectSame(image, [&](TBitmap* b) { SumBmpRect(b, source.get(), c, r, p); },
                       [&](TBitmap* b) { ref::SumBmpRect(b, source.get(), c, r, p); }, "SumBmpRect", s);
            ExpectSame(image, [&](TBitmap* b) { CopyByMask(r1, r, b, source.get(), ci, false); },
                       [&](TBitmap* b) { ref::CopyByMask(r1, r, b, source.get(), ci); }, "CopyByMask", s);
            const auto percent = static_cast<signed char>(rng());
            ExpectSame(image, [&](TBitmap* b) { BlendColorRect(b, r1, percent, SColorToColor(c) & 0xFFFFFF); },
                       [&](TBitmap* b) { ref::BlendColorRect(b, r1, percent, SColorToColor(c) & 0xFFFFFF); }, "BlendColorRect", s);
        }
    }
}

TEST(FastPixels, FadesAndTilesMatchTheReference)
{
    std::mt19937 rng(3);
    for (Size s : kSizes) {
        if (s.w * s.h > 100000)
            continue; // the fades draw their masks with the same calls; small images suffice
        auto picture = Random(rng, s.w, s.h);
        const int t = static_cast<int>(rng() % 101), blur = static_cast<int>(rng() % 8) - 1;
        const TsShadowingShape shape = rng() % 2 ? ssRectangle : ssEllipse;
        const TColor colour = static_cast<TColor>(rng() & 0xFFFFFF);
        const TRect whole = Rect(0, 0, s.w, s.h);
        auto fast = std::make_unique<TBitmap>(s.w, s.h), slow = std::make_unique<TBitmap>(s.w, s.h);
        FadeRect(picture->Canvas(), whole, fast->Canvas()->Handle(), Point(0, 0), t, colour, blur, shape);
        ref::FadeRect(picture->Canvas(), whole, slow->Canvas()->Handle(), Point(0, 0), t, colour, blur, shape, 0);
        ASSERT_EQ(Bytes(*fast), Bytes(*slow)) << "FadeRect on " << s.w << "x" << s.h;
        const TRect r = RandomRect(rng, s.w, s.h);
        ExpectSame(picture, [&](TBitmap* b) { FadeBmp(b, r, t, ColorToSColor(colour), blur, 2); },
                   [&](TBitmap* b) { ref::FadeBmp(b, r, t, ColorToSColor(colour), blur, 2); }, "FadeBmp", s);
    }
    for (Size tile : {Size{1, 1}, Size{3, 2}, Size{10, 10}, Size{17, 5}}) {
        auto pattern = Random(rng, tile.w, tile.h);
        auto image = Random(rng, 300, 200);
        for (TRect r : {Rect(0, 0, 300, 200), Rect(-7, -3, 35, 21), Rect(290, 190, 310, 230), Rect(5, 5, 5, 9)}) {
            ExpectSame(image, [&](TBitmap* b) { sgu::TileRect(b, r, pattern.get(), Rect(0, 0, tile.w, tile.h)); },
                       [&](TBitmap* b) { ref::TileBitmap(b->Canvas(), r, pattern.get()); }, "TileBitmap", tile);
        }
    }
}
