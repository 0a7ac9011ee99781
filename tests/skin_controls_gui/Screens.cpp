// A form of the skinned containers, bars, splitter and colour cells in both shipped skins; a picture of each is written
// into the working folder (skinned_controls_<skin>.png) to be looked at.
#include <gtest/gtest.h>

#include "../skin_forms_gui/FormsKit.h"
#include "sButton.h"
#include "sPanel.h"
#include "sSplitter.h"

using namespace formskit;

namespace {

class TDemoForm : public TForm {
    VCL_CLASS(TDemoForm, TForm)
public:
    explicit TDemoForm(TComponent* AOwner) : TForm(AOwner)
    {
        BeginLoading(this);
        SetBounds(20, 20, 560, 380);
        SetCaption("Controls");
        Create<TsSkinProvider>(this);
        auto* bar = Create<TsDragBar>(this);
        bar->SetCaption("Drag bar");
        bar->SetParent(this);
        Outer = Create<TsPanel>(this);
        Outer->SetAlign(alLeft);
        Outer->SetWidth(260);
        Outer->SetCaption("Panel");
        Outer->SetAlignment(taLeftJustify);
        Outer->SetParent(this);
        auto* inner = Create<TsPanel>(this);
        inner->SetBounds(20, 20, 150, 60);
        inner->SetBevelOuter(bvLowered);
        inner->SetCaption("Inner panel");
        inner->SkinData()->SetSkinSection("PANEL_LOW");
        inner->SetParent(Outer);
        auto* button = Create<TsButton>(this);
        button->SetBounds(20, 250, 90, 26);
        button->SetCaption("Button");
        button->SetParent(Outer);
        auto* splitter = Create<TsSplitter>(this);
        splitter->SetLeft(260);
        splitter->SetParent(this);
        auto* container = Create<TsContainer>(this);
        container->SetAlign(alClient);
        container->SetCaption("Container");
        container->SetParent(this);
        auto* colours = Create<TsColorsPanel>(this);
        colours->SetBounds(20, 20, 140, 60);
        TStringList texts;
        for (const char* t : {"0000FF", "00FF00", "FF0000", "00FFFF", "FF00FF", "FFFF00", "000000", "808080"})
            texts.Add(t);
        colours->SetColors(&texts);
        colours->SetItemIndex(2);
        colours->SetParent(container);
        LoadedAll(this);
    }
    TsPanel* Outer = nullptr;
};

using Screens = SkinnedFormTest;

} // namespace

TEST_F(Screens, PanelsAndBarsAreDrawnByTheSkin)
{
    InShippedSkins<TDemoForm>("skinned_controls_", [](TDemoForm* form, const char* skin) {
        EXPECT_EQ(testkit::PrintWindowPixels(form->Outer->Handle()).Pixel(100, 5),
                  static_cast<COLORREF>(ColorToRGB(SectionOf("PANEL").Color)))
            << skin;
    });
}
