// A form of labels, check boxes, radio buttons, group boxes, a radio group and a shadowed label in
// both shipped skins; a picture of each is written into the working folder
// (skinned_checks_<skin>.png) to be looked at.
#include <gtest/gtest.h>

#include "../skin_forms_gui/FormsKit.h"
#include "sCheckBox.h"
#include "sGroupBox.h"
#include "sLabel.h"
#include "sPanel.h"
#include "sRadioButton.h"

using namespace formskit;

namespace {

class TChecksForm : public TForm {
    VCL_CLASS(TChecksForm, TForm)
public:
    explicit TChecksForm(TComponent* AOwner) : TForm(AOwner)
    {
        BeginLoading(this);
        SetBounds(20, 20, 420, 300);
        SetCaption("Checks");
        Create<TsSkinProvider>(this);
        auto* panel = Create<TsPanel>(this);
        panel->SetAlign(alClient);
        panel->SetCaption("");
        panel->SetParent(this);
        Title = Place<TsLabel>(panel, "Label on a panel", 12, 10);
        Box = Create<TsGroupBox>(this);
        Box->SetBounds(12, 32, 180, 110);
        Box->SetCaption("Group box");
        Box->SetParent(panel);
        Check = Place<TsCheckBox>(Box, "Checked box", 10, 22);
        Check->SetChecked(true);
        Place<TsCheckBox>(Box, "Unchecked box", 10, 44);
        auto* grayed = Place<TsCheckBox>(Box, "Grayed box", 10, 66);
        grayed->SetAllowGrayed(true);
        grayed->SetState(cbGrayed);
        Radio = Place<TsRadioButton>(panel, "First choice", 210, 40);
        Radio->SetChecked(true);
        Place<TsRadioButton>(panel, "Second choice", 210, 62);
        Place<TsCheckBox>(panel, "Disabled box", 210, 90)->SetEnabled(false);
        auto* web = Place<TsWebLabel>(panel, "A web label", 210, 120);
        web->Font()->SetColor(clBlue);
        Place<TsLabelFX>(panel, "Shadowed label", 300, 120);
        auto* group = Create<TsRadioGroup>(this);
        group->SetBounds(12, 150, 380, 80);
        group->SetCaption("Radio group");
        group->SetCaptionLayout(TsGroupBox::clTopCenter);
        for (const char* s : {"North", "South", "East", "West", "Centre"})
            group->Items()->Add(s);
        group->SetColumns(2);
        group->SetItemIndex(3);
        group->SetParent(panel);
        LoadedAll(this);
    }
    template <class T>
    T* Place(TWinControl* Parent, const char* Caption, int Left, int Top)
    {
        auto* c = Create<T>(this);
        c->SetCaption(Caption);
        c->SetBounds(Left, Top, 150, 19);
        c->SetParent(Parent);
        return c;
    }
    TsLabel* Title = nullptr;
    TsGroupBox* Box = nullptr;
    TsCheckBox* Check = nullptr;
    TsRadioButton* Radio = nullptr;
};

using ChecksScreens = SkinnedFormTest;

} // namespace

TEST_F(ChecksScreens, LabelsAndChecksAreDrawnByTheSkin)
{
    InShippedSkins<TChecksForm>("skinned_checks_", [](TChecksForm* form, const char* skin) {
        EXPECT_EQ(form->Title->Font()->Color(), ColorToRGB(SectionOf("GLOBALINFO").FontColor[0])) << skin;
        // The skin's 13-pixel box at the left of its 16-pixel cell: the three columns between
        // the box and the caption show the background (on the box without the focus frame).
        auto* box = dynamic_cast<TsCheckBox*>(form->Box->Controls(1));
        ASSERT_NE(box, nullptr);
        const TRect r = box->CheckRect();
        EXPECT_EQ(r.right - r.left, 16) << skin;
        const testkit::PixelImage look = testkit::PrintWindowPixels(box->Handle(), true);
        for (int x = r.left + 13; x < r.right; ++x)
            for (int y = r.top; y < r.bottom; ++y)
                ASSERT_EQ(look.Pixel(x, y), look.Pixel(x, r.top - 1)) << skin << " " << x << "," << y;
    });
}
