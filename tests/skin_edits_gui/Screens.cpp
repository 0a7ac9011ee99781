// A form of the skinned edits in both shipped skins; a picture of each is written into the working
// folder (skinned_edits_<skin>.png) to be looked at.
#include <gtest/gtest.h>

#include "../skin_forms_gui/FormsKit.h"
#include "sEdit.h"
#include "sMaskEdit.h"
#include "sMemo.h"
#include "sPanel.h"

using namespace formskit;

namespace {

class TEditsForm : public TForm {
    VCL_CLASS(TEditsForm, TForm)
public:
    explicit TEditsForm(TComponent* AOwner) : TForm(AOwner)
    {
        BeginLoading(this);
        SetBounds(20, 20, 420, 300);
        SetCaption("Edits");
        Create<TsSkinProvider>(this);
        auto* panel = Create<TsPanel>(this);
        panel->SetAlign(alClient);
        panel->SetParent(this);
        Focused = Place<TsEdit>(panel, 20, 20, "Focused edit");
        Plain = Place<TsEdit>(panel, 20, 50, "Edit");
        Place<TsEdit>(panel, 20, 80, "secret")->SetPasswordChar('*');
        Place<TsEdit>(panel, 20, 110, "Disabled edit")->SetEnabled(false);
        Place<TsMaskEdit>(panel, 20, 140, "Mask edit");
        Place<TsMaskEdit>(panel, 20, 170, "12")->SetEditMask("!99/99/9999;1;_");
        Memo = Create<TsMemo>(this);
        Memo->SetBounds(200, 20, 180, 200);
        Memo->SetScrollBars(ssBoth);
        Memo->SetWordWrap(false);
        Memo->SetParent(panel);
        AnsiString text;
        for (int i = 0; i < 30; ++i)
            text += "Memo line " + IntToStr(i) + " of a text wider than the memo\r\n";
        Memo->SetText(text);
        LoadedAll(this);
    }
    template <class T>
    T* Place(TWinControl* Parent, int Left, int Top, const char* Text)
    {
        auto* c = Create<T>(this);
        c->SetBounds(Left, Top, 150, 22);
        c->SetText(Text);
        c->SetParent(Parent);
        return c;
    }
    TsEdit* Focused = nullptr;
    TsEdit* Plain = nullptr;
    TsMemo* Memo = nullptr;
};

using Screens = SkinnedFormTest;

} // namespace

TEST_F(Screens, EditsAreDrawnByTheSkin)
{
    InShippedSkins<TEditsForm>("skinned_edits_", [](TEditsForm* form, const char* skin) {
        form->Focused->SetFocus();
        testkit::WaitIdle();
        const TsGeneralData& edit = SectionOf("EDIT");
        EXPECT_EQ(form->Plain->Color(), edit.Color) << skin;
        EXPECT_NE(form->Memo->VSBar, nullptr) << skin;
    });
}
