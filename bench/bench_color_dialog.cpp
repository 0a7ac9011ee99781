// The colour dialog's hue/saturation field (260 x 260) made and shown on the form under Dusk,
// beside a plain loop that converts each pixel on its own from hue, saturation and brightness to
// red, green and blue and writes it into a bitmap.
#include <windows.h>

#include "BenchHarness.h"
#include "Forms.h"
#include "sColorDialog.h"
#include "sPanel.h"
#include "sSkinManager.h"

namespace {

constexpr int kSide = 260;

// Each pixel converted on its own and written through its row.
void PlainField(TBitmap& Bmp)
{
    for (int y = 0; y < kSide; ++y) {
        auto* row = static_cast<Byte*>(Bmp.ScanLine(y));
        for (int x = 0; x < kSide; ++x) {
            const TsColor c = HsvToRgb(x * 360.0 / kSide, 1 - double(y) / kSide, 1 - y / (3.0 * kSide));
            row[3 * x] = c.B, row[3 * x + 1] = c.G, row[3 * x + 2] = c.R;
        }
    }
}

} // namespace

int main()
{
    Application->Initialize();
    TsSkinManager* manager = bench::UseShippedSkin("Dusk");
    auto* form = Create<TsColorDialogForm>(Application);
    form->Show();
    Application->ProcessMessages();

    TBitmap plain(kSide, kSide);
    const auto [p, f] = bench::SideBySide(
        "colour field (260 x 260) made and shown on the form", 60, [&] { PlainField(plain); },
        [&] {
            PaintHueField(*form->ExtBmp(), kSide, kSide);
            form->ColorPanel->Repaint();
        });
    bench::Report("colour field / plain loop", f / p, "x");
    form->Free();
    manager->Free();
    return 0;
}
