// Loading a skin (options file, master image, every image) against reading and decoding each of
// its image files once, for the two shipped skins. Goal: at most 1.5 times the images alone.
// Large JPEG patterns are decoded when first painted, not by the loaders: the load is shown with
// and without that first decoding.
#include <memory>

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

void LoadSkin(const AnsiString& folder, bool decodePatterns)
{
    sSkinData->SkinFile = std::make_unique<TMemIniFile>(folder + "Options.dat");
    sSkinData->SkinPath = folder;
    LoadAllMasks();
    LoadAllPatterns();
    LoadAllGeneralData();
    InitConstantIndexes();
    if (decodePatterns)
        for (TsPatternData& p : pa)
            p.Img->Bitmap();
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
        const double images = bench::Measure(AnsiString(s.Name) + ": read and decode the image files", 30,
                                             [&] { ReadImages(folder, s.Bitmaps, s.Jpegs); });
        const double load = bench::Measure(AnsiString(s.Name) + ": load the skin", 30, [&] { LoadSkin(folder, false); });
        const double painted = bench::Measure(AnsiString(s.Name) + ": load and decode its patterns", 30,
                                              [&] { LoadSkin(folder, true); });
        bench::Report(AnsiString(s.Name) + ": load / images (goal <= 1.5)", load / images, "x");
        bench::Report(AnsiString(s.Name) + ": load with patterns decoded / images", painted / images, "x");
    }
    return 0;
}
