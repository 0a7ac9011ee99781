// Filling the font list (the families enumerated, validated, filtered and sorted), and the font
// list box's whole refill (that list put into the window and shown) on a form under Dusk, each
// beside the bare enumeration of the screen's font families.
#include <windows.h>

#include "BenchHarness.h"
#include "Forms.h"
#include "sFontCtrls.h"
#include "sSkinManager.h"

namespace {

int CALLBACK CountFamily(const LOGFONTA*, const TEXTMETRICA*, DWORD, LPARAM Data)
{
    ++*reinterpret_cast<int*>(Data);
    return 1;
}

} // namespace

int main()
{
    Application->Initialize();
    TsSkinManager* manager = bench::UseShippedSkin("Dusk");
    auto* form = Create<TForm>(Application);
    form->SetBounds(40, 40, 300, 400);
    auto* list = Create<TsFontListBox>(form);
    list->SetParent(form);
    list->SetBounds(10, 10, 260, 340);
    form->Show();
    Application->ProcessMessages();

    // Twenty enumerations a run, the bare ones and the lists' taking turns.
    constexpr int kBatch = 20;
    int count = 0;
    TFontStrList families;
    TFontEnumeration e{&families, list, {ShowTrueType, ShowPostScript, ShowRaster}, {}};
    const auto [bare, fill] = bench::SideBySide(
        "font list filled (families, kinds, sorted) x20", 60,
        [&] {
            for (int i = 0; i < kBatch; ++i) {
                count = 0;
                HDC dc = GetDC(nullptr);
                EnumFontFamiliesA(dc, nullptr, reinterpret_cast<FONTENUMPROCA>(&CountFamily),
                                  reinterpret_cast<LPARAM>(&count));
                ReleaseDC(nullptr, dc);
            }
        },
        [&] {
            for (int i = 0; i < kBatch; ++i)
                EnumerateFonts(e);
        });
    // The whole refill a user waits for: the list filled, the window's items and its repaint.
    const double shown = bench::Measure("font list box filled and shown", 200, [&] {
        list->ReBuild();
        UpdateWindow(list->Handle());
    });
    bench::Report("families", count, "");
    bench::Report("font list / bare enumeration", fill / bare, "x");
    bench::Report("font list box filled and shown / bare enumeration", shown / (bare / kBatch), "x");
    form->Free();
    manager->Free();
    return 0;
}
