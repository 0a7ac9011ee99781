// A month step of the month calendar (the next month worked out and the calendar painted again:
// title and day grid) beside painting a plain 7 x 7 draw grid of the same size that writes a
// number into each cell. 500 of each, in Dusk and without a skin, taken in turn; the figures side by
// side with the median of their ratios.
#include <windows.h>

#include <string>

#include "BenchHarness.h"
#include "Forms.h"
#include "Grids.h"
#include "sMonthCalendar.h"
#include "sSkinManager.h"
#include "sStyleSimply.h"

namespace {

constexpr int kSteps = 500;

// Paints everything of the window that waits to be painted.
void Painted(TWinControl* Control)
{
    RedrawWindow(Control->Handle(), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
}

void DrawNumber(TObject* Sender, int ACol, int ARow, TRect Rect, TGridDrawState)
{
    TCanvas* canvas = static_cast<TDrawGrid*>(Sender)->Canvas();
    const AnsiString text = IntToStr(ARow * 7 + ACol + 1);
    const SIZE size = canvas->TextExtent(text);
    canvas->Brush()->SetStyle(bsClear);
    canvas->TextOut(Rect.left + (Rect.right - Rect.left - size.cx) / 2, Rect.top + (Rect.bottom - Rect.top - size.cy) / 2,
                    text);
}

} // namespace

int main()
{
    Application->Initialize();
    auto* form = Create<TForm>(Application);
    form->SetBounds(40, 40, 440, 220);
    auto* calendar = Create<TsMonthCalendar>(form);
    calendar->SetBounds(10, 10, 190, 160);
    calendar->SetParent(form);
    auto* grid = Create<TDrawGrid>(form);
    grid->SetBounds(220, 10, 190, 160);
    grid->SetScrollBars(ssNone);
    grid->SetBorderStyle(bsNone);
    grid->SetColCount(7);
    grid->SetRowCount(7);
    grid->SetFixedCols(0);
    grid->SetFixedRows(1);
    grid->SetDefaultColWidth(190 / 7);
    grid->SetDefaultRowHeight(160 / 7);
    grid->OnDrawCell = TDrawCellEvent(&DrawNumber);
    grid->SetParent(form);
    form->Show();
    Application->ProcessMessages();

    auto steps = [&] {
        for (int i = 0; i < kSteps; ++i) {
            calendar->NextMonth();
            Painted(calendar);
        }
    };
    auto plain = [&] {
        for (int i = 0; i < kSteps; ++i) {
            grid->Invalidate();
            Painted(grid);
        }
    };
    auto* manager = Create<TsSkinManager>(Application);
    for (const char* skin : {"", "Dusk"}) {
        if (*skin) {
            manager->SetSkinDirectory(AnsiString(VELLORN_SOURCE_WIN) + "\\app\\defaults\\Skins\\");
            manager->SetSkinName(skin);
            if (!sSkinData->Active) {
                std::printf("the skin %s did not load\n", skin);
                return 1;
            }
            Application->ProcessMessages();
        }
        const std::string look = *skin ? std::string(" in ") + skin : " without a skin";
        // The month steps and the grid's paints in turn, five rounds.
        const bench::TRounds rounds = bench::InTurn(5, plain, steps);
        const double s = bench::Summary("500 month steps of the calendar" + look, rounds.Measured);
        const double p = bench::Summary("500 paints of a plain 7 x 7 draw grid", rounds.Floor);
        bench::Report("month step" + look + ", median of 5", s / kSteps, "ms");
        bench::Report("plain grid paint, median of 5", p / kSteps, "ms");
        bench::Ratios("month step" + look + " / plain grid paint", rounds.Measured, rounds.Floor, 2);
    }
    form->Free();
    return 0;
}
