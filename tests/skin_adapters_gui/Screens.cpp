// A form with a skinned draw grid in both shipped skins; a picture of each is written into the
// working folder (skinned_adapters_<skin>.png) to be looked at.
#include <gtest/gtest.h>

#include "../skin_forms_gui/FormsKit.h"
#include "Grids.h"
#include "sGridAdapter.h"

using namespace formskit;

namespace {

class TDemoForm : public TForm {
    VCL_CLASS(TDemoForm, TForm)
public:
    explicit TDemoForm(TComponent* AOwner) : TForm(AOwner)
    {
        BeginLoading(this);
        SetBounds(20, 20, 640, 420);
        SetCaption("Adapters");
        Create<TsSkinProvider>(this);
        Create<TsGridAdapter>(this);
        Grid = Create<TDrawGrid>(this);
        Grid->SetName("Grid");
        Grid->SetBounds(10, 10, 300, 200);
        Grid->SetRowCount(30);
        Grid->SetColCount(12);
        Grid->SetDefaultRowHeight(20);
        Grid->OnDrawCell = TDrawCellEvent(this, &TDemoForm::DrawCell);
        Grid->SetParent(this);
        LoadedAll(this);
    }
    void DrawCell(TObject*, int ACol, int ARow, TRect Rect, TGridDrawState)
    {
        TCanvas* canvas = Grid->Canvas();
        canvas->Brush()->SetStyle(bsClear);
        const AnsiString text = ARow == 0 ? AnsiString(1, static_cast<char>('A' + ACol % 26))
                                          : ACol == 0 ? std::to_string(ARow) : std::to_string(ARow * ACol);
        canvas->TextOut(Rect.left + 4, Rect.top + 3, text);
    }
    TDrawGrid* Grid = nullptr;
};

using Screens = SkinnedFormTest;

} // namespace

TEST_F(Screens, AdaptedControlsAreDrawnByTheSkin)
{
    InShippedSkins<TDemoForm>("skinned_adapters_", [](TDemoForm* form, const char* skin) {
        EXPECT_EQ(form->Grid->Color(), SectionOf("GLOBALINFO").HotColor) << skin;
    });
}
