// Loading a skin (options file, master image, every image) against reading and decoding each of
// its image files once, for the two shipped skins. Goal: at most 1.5 times the images alone.
// Large JPEG patterns are decoded when first painted, not by the loaders; the images alone decode
// them, so the goal is measured against the load with that first decoding. The load without it
// is shown beside; a missed goal is said as such, with the time of each step of the load.
#include <memory>
#include <vector>

#include "BenchHarness.h"
#include "Jpeg.h"
#include "sMaskData.h"
#include "sStyleSimply.h"

namespace {

void ReadImages(const AnsiString& folder, const char* const* bitmaps, const char* const* jpegs)
{
    for (; *bitmaps; ++bitmaps) {
        TBitmap b;
        b.LoadFromFile(folder + *bitmaps);
        b.SetPixelFormat(pf24bit);
    }
    for (; *jpegs; ++jpegs) {
        TJPEGImage j;
        j.LoadFromFile(folder + *jpegs);
        j.Bitmap();
    }
}

void ReadOptions(const AnsiString& folder)
{
    sSkinData->SkinFile = std::make_unique<TMemIniFile>(folder + "Options.dat");
    sSkinData->SkinPath = folder;
}

void DecodePatterns()
{
    for (TsPatternData& p : pa)
        p.Img->Bitmap();
}

void LoadSkin(const AnsiString& folder, bool decodePatterns)
{
    ReadOptions(folder);
    LoadAllMasks();
    LoadAllPatterns();
    LoadAllGeneralData();
    InitConstantIndexes();
    if (decodePatterns)
        DecodePatterns();
}

// Where the load's time goes, step by step (each step after the ones it needs, untimed).
void Steps(const AnsiString& name, const AnsiString& folder)
{
    const auto options = [&] { ReadOptions(folder); };
    bench::Measure(name + ":   step: read the options file", 30, options);
    bench::Measure(name + ":   step: load the masks (master image cut)", 30, [] { LoadAllMasks(); }, options);
    bench::Measure(name + ":   step: load the patterns", 30, [] { LoadAllPatterns(); }, options);
    bench::Measure(name + ":   step: decode the patterns", 30, DecodePatterns, [&] {
        ReadOptions(folder);
        LoadAllPatterns();
    });
    bench::Measure(name + ":   step: general data and indexes", 30, [] {
        LoadAllGeneralData();
        InitConstantIndexes();
    }, [&] {
        ReadOptions(folder);
        LoadAllMasks();
    });
}

} // namespace

int main()
{
    const AnsiString skins = ExeDir() + "..\\..\\app\\defaults\\Skins\\";
    struct TSkin {
        const char* Name;
        const char* Bitmaps[6];
        const char* Jpegs[4];
    } const shipped[] = {
        {"Neutral", {"Master.bmp", "ToolButton.bmp", nullptr}, {"Paper.jpg", nullptr}},
        {"Dusk", {"Master.bmp", "ToolButton.bmp", "Button.bmp", "ComboArrow.bmp", "Stripes.bmp", nullptr},
         {"Slate.jpg", "TitleGrain.jpg", nullptr}},
    };
    for (const TSkin& s : shipped) {
        const AnsiString folder = skins + s.Name + "\\";
        // Taken in turn, so that the machine's load weighs on the three alike.
        std::vector<double> images, load, painted;
        for (int round = 0; round < 30; ++round) {
            const auto timed = [](std::vector<double>& Into, auto Body) {
                const double t0 = bench::NowMs();
                Body();
                Into.push_back(bench::NowMs() - t0);
            };
            timed(images, [&] { ReadImages(folder, s.Bitmaps, s.Jpegs); });
            timed(load, [&] { LoadSkin(folder, false); });
            timed(painted, [&] { LoadSkin(folder, true); });
        }
        const AnsiString name = s.Name;
        const double imagesMedian = bench::Summary(name + ": read and decode the image files", images);
        const double loadMedian = bench::Summary(name + ": load the skin", load);
        bench::Summary(name + ": load and decode its patterns", painted);
        const bool met = bench::Ratios(name + ": load with patterns decoded / images", painted, images, 1.5);
        bench::Report(name + ": load, patterns left for the first paint / images", loadMedian / imagesMedian, "x");
        if (!met)
            Steps(s.Name, folder);
    }
    return 0;
}
