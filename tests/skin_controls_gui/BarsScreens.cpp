// A form with a tool bar and a status bar in both shipped skins; a picture of each is written into
// the working folder (skinned_bars_<skin>.png) to be looked at.
#include <gtest/gtest.h>

#include "../skin_forms_gui/FormsKit.h"
#include "Menus.h"
#include "sStatusBar.h"
#include "sToolBar.h"

using namespace formskit;

namespace {

class TBarsForm : public TForm {
    VCL_CLASS(TBarsForm, TForm)
public:
    explicit TBarsForm(TComponent* AOwner) : TForm(AOwner)
    {
        BeginLoading(this);
        SetBounds(20, 20, 460, 200);
        SetCaption("Bars");
        Create<TsSkinProvider>(this);
        Tools = Create<TsToolBar>(this);
        Tools->SetFlat(true);
        Tools->SetList(true);
        Tools->SetShowCaptions(true);
        Tools->SetHeight(26);
        Tools->SetButtonWidth(48);
        Tools->SetParent(this);
        auto* menu = Create<TPopupMenu>(this);
        for (auto [caption, style, enabled] : {std::tuple{"Open", tbsButton, true}, {"", tbsSeparator, true},
                                               {"Back", tbsDropDown, true}, {"Save", tbsButton, false}}) {
            auto* b = Create<TToolButton>(this);
            b->SetCaption(caption);
            b->SetStyle(style);
            b->SetEnabled(enabled);
            if (style == tbsDropDown)
                b->SetDropdownMenu(menu);
            b->SetParent(Tools);
        }
        Status = Create<TsStatusBar>(this);
        Status->SetHeight(20);
        for (int width : {120, 180, 50})
            Status->Panels()->Add()->SetWidth(width);
        Status->Panels()->Items(0)->SetText("Ready");
        Status->Panels()->Items(1)->SetText("A text far too long to fit into its panel of the bar");
        Status->SetParent(this);
        LoadedAll(this);
    }
    TsToolBar* Tools = nullptr;
    TsStatusBar* Status = nullptr;
};

using BarsScreens = SkinnedFormTest;

} // namespace

TEST_F(BarsScreens, ToolAndStatusBarsAreDrawnByTheSkin)
{
    InShippedSkins<TBarsForm>("skinned_bars_", [](TBarsForm* form, const char* skin) {
        // The bar's background reaches its right end, beyond the last button.
        const testkit::PixelImage bar = testkit::PrintWindowPixels(form->Tools->Handle());
        const int y = bar.Height() / 2;
        EXPECT_EQ(bar.Pixel(bar.Width() - 3, y), bar.Pixel(bar.Width() - 60, y)) << skin;
        EXPECT_NE(bar.Pixel(bar.Width() - 3, y), RGB(0, 0, 0)) << skin;
    });
}
