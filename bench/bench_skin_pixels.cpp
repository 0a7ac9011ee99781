// The hot pixel routines of the skin engine on a 1280x1024 24-bit image: memcpy of the same
// bytes, the plain per-pixel reference and the fast version of each, side by side, with the
// speed-up over the reference and the throughput as a share of memcpy's.
#include <cstdio>
#include <cstring>
#include <random>
#include <vector>

#include "BenchHarness.h"
#include "sMaskGraph.h"
#include "SysUtils.h"
#include "sPixelRef.h"
#include "sStyleSimply.h"

namespace {

const int W = 1280, H = 1024;

void Randomise(TBitmap& b, unsigned seed, bool keys = false)
{
    std::mt19937 rng(seed);
    for (int y = 0; y < b.Height(); ++y) {
        Byte* p = static_cast<Byte*>(b.ScanLine(y));
        for (int x = 0; x < 3 * b.Width(); x += 3) {
            p[x] = static_cast<Byte>(rng()), p[x + 1] = static_cast<Byte>(rng()), p[x + 2] = static_cast<Byte>(rng());
            if (keys && rng() % 16 == 0)
                p[x] = 0xFF, p[x + 1] = 0, p[x + 2] = 0xFF;
        }
    }
}

// A fast routine and its reference; with a goal, the fast one is at least 4 times the reference
// and at least 10% of memcpy's throughput.
struct Pair {
    const char* name;
    std::function<void()> reference, fast;
    bool goal;
};

// PaintItem of Neutral's BUTTON over a 200x30 cache, normal and hot, each timed over 2000
// paints.
void PaintButtons()
{
    const std::string folder = std::string(VELLORN_SOURCE_WIN) + "\\app\\defaults\\Skins\\Neutral\\";
    if (!FileExists(folder + "Options.dat")) {
        std::printf("PaintItem: no skin at %s\n", folder.c_str());
        return;
    }
    sSkinData->SkinFile = std::make_unique<TMemIniFile>(folder + "Options.dat");
    sSkinData->SkinPath = folder;
    LoadAllMasks();
    LoadAllPatterns();
    LoadAllGeneralData();
    sSkinData->Active = true;
    const int button = GetSkinIndex("BUTTON");
    TBitmap cache(200, 30), parent(400, 300);
    const TCacheInfo ci{&parent, 0, 0, true};
    for (int state = 0; state < 2; ++state) {
        const int n = 2000;
        const double ms = bench::Measure(state ? "PaintItem BUTTON 200x30, hot (2000 paints)" : "PaintItem BUTTON 200x30 (2000 paints)", 9, [&] {
            for (int i = 0; i < n; ++i)
                PaintItem(button, "BUTTON", ci, true, state, Rect(0, 0, 200, 30), Point(40, 50), &cache);
        });
        bench::AtMost("  PaintItem BUTTON 200x30, per paint", 1000.0 * ms / n, 20, "microseconds");
    }
}

} // namespace

int main()
{
    TBitmap image(W, H), other(W, H), mask(W, H), masked(W, 2 * H), parent(W, H), tile(37, 23);
    Randomise(image, 1);
    Randomise(other, 2);
    Randomise(mask, 3);
    Randomise(masked, 4, true);
    Randomise(parent, 5);
    Randomise(tile, 6);
    const std::size_t bytes = static_cast<std::size_t>(image.RowBytes()) * H;
    std::vector<Byte> from(bytes, 0x5A), to(bytes);
    const TRect whole = Rect(0, 0, W, H);
    const TsColor weight{100, 90, 80, 0};
    const TCacheInfo ci{&parent, 0, 0, true};

    std::printf("1280x1024, 24 bits per pixel (%.1f MB per image)\n", bytes / 1048576.0);
    const double copy = bench::Measure("memcpy of the image bytes", 30, [&] { std::memcpy(to.data(), from.data(), bytes); });

    const Pair pairs[] = {
        {"SumBitmaps", [&] { ref::SumBitmaps(&image, &other, weight); }, [&] { SumBitmaps(&image, &other, weight); },
         true},
        {"BlendBmpByMask", [&] { ref::BlendBmpByMask(&image, &mask, weight); }, [&] { BlendBmpByMask(&image, &mask, weight); },
         true},
        {"SumBmpRect", [&] { ref::SumBmpRect(&image, &other, weight, whole, Point(0, 0)); },
         [&] { SumBmpRect(&image, &other, weight, whole, Point(0, 0)); }, false},
        {"CopyByMask (cache ready, 1/16 key pixels)", [&] { ref::CopyByMask(whole, whole, &image, &masked, ci); },
         [&] { CopyByMask(whole, whole, &image, &masked, ci, false); }, false},
        {"CopyByMask (no cache)", [&] { ref::CopyByMask(whole, whole, &image, &masked, EmptyCI); },
         [&] { CopyByMask(whole, whole, &image, &masked, EmptyCI, false); }, false},
        {"BlendColorRect", [&] { ref::BlendColorRect(&image, whole, 37, clTeal); }, [&] { BlendColorRect(&image, whole, 37, clTeal); }, false},
        {"GrayScale", [&] { ref::GrayScale(&image); }, [&] { GrayScale(&image); }, false},
        {"FadeBmp (blur 6)", [&] { ref::FadeBmp(&image, whole, 40, weight, 6, 0); }, [&] { FadeBmp(&image, whole, 40, weight, 6, 0); }, false},
        {"TileBitmap (37x23 tile)", [&] { ref::TileBitmap(image.Canvas(), whole, &tile); },
         [&] { sgu::TileRect(&image, whole, &tile, Rect(0, 0, 37, 23)); }, false},
    };
    for (const Pair& p : pairs) {
        const double slow = bench::Measure(std::string(p.name) + ": reference", 9, p.reference);
        const double fast = bench::Measure(std::string(p.name) + ": fast", 21, p.fast);
        if (p.goal) {
            bench::AtLeast(std::string("  ") + p.name + " / the reference", slow / fast, 4);
            bench::AtLeast(std::string("  ") + p.name + ", % of memcpy's throughput", 100.0 * copy / fast, 10, "%");
        } else {
            std::printf("  %-48s %6.1fx the reference, %5.1f%% of memcpy's throughput\n", p.name, slow / fast,
                        100.0 * copy / fast);
        }
    }
    PaintButtons();
    return 0;
}
