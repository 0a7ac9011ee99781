// A form of the skinned list box and combo boxes in both shipped skins; a picture of each is written
// beside the test program (skinned_lists_<skin>.png) to be looked at.
#include <gtest/gtest.h>

#include "../skin_forms_gui/FormsKit.h"
#include "sComboBox.h"
#include "sComboBoxes.h"
#include "sCustomListBox.h"
#include "sPanel.h"

using namespace formskit;

namespace {

class TListsForm : public TForm {
    VCL_CLASS(TListsForm, TForm)
public:
    explicit TListsForm(TComponent* AOwner) : TForm(AOwner)
    {
        BeginLoading(this);
        SetBounds(20, 20, 460, 300);
        SetCaption("Lists");
        Create<TsSkinProvider>(this);
        auto* panel = Create<TsPanel>(this);
        panel->SetAlign(alClient);
        panel->SetParent(this);
        Images = Create<TImageList>(this);
        Images->SetSize(16, 16);
        for (TColor c : {clRed, clGreen, clBlue}) {
            TBitmap bmp(16, 16, pf24bit);
            bmp.Canvas()->Brush()->SetColor(c);
            bmp.Canvas()->Ellipse(2, 2, 14, 14);
            Images->AddMasked(&bmp, clWhite);
        }
        List = Place<TsListBox>(panel, 20, 20, 180, 150);
        Address = Place<TsComboBox>(panel, 220, 20, 200, 22);
        Address->SetText("FILES\\page.html");
        Fixed = Place<TsComboBox>(panel, 220, 60, 200, 22);
        Fixed->SetStyle(csDropDownList);
        Marks = Place<TsComboBoxEx>(panel, 220, 100, 200, 22);
        Marks->SetImages(Images);
        Marks->ItemsEx()->AddItem("Избранная", 0, 0);
        Marks->ItemsEx()->AddItem("Прочитанная", 1, 1);
        Marks->ItemsEx()->AddItem("Новая", 2, 2);
        Locked = Place<TsComboBox>(panel, 220, 140, 200, 22);
        Locked->SetEnabled(false);
        LoadedAll(this);
        for (int i = 0; i < 20; ++i)
            List->Items()->Add("Skin " + IntToStr(i));
        List->SetItemIndex(2);
        for (const char* s : {"FILES\\page.html", "http://example.org/", "FILES\\other.html"})
            Address->Items()->Add(s);
        for (const char* s : {"One", "Two", "Three"}) {
            Fixed->Items()->Add(s);
            Locked->Items()->Add(s);
        }
        Fixed->SetItemIndex(1);
        Locked->SetItemIndex(2);
        Marks->SetItemIndex(0);
    }
    template <class T>
    T* Place(TWinControl* Parent, int Left, int Top, int Width, int Height)
    {
        auto* c = Create<T>(this);
        c->SetBounds(Left, Top, Width, Height);
        c->SetParent(Parent);
        return c;
    }
    TImageList* Images = nullptr;
    TsListBox* List = nullptr;
    TsComboBox* Address = nullptr;
    TsComboBox* Fixed = nullptr;
    TsComboBoxEx* Marks = nullptr;
    TsComboBox* Locked = nullptr;
};

using ListsScreens = SkinnedFormTest;

} // namespace

TEST_F(ListsScreens, ListsAndCombosAreDrawnByTheSkin)
{
    InShippedSkins<TListsForm>(testkit::OutputDir() + "skinned_lists_", [](TListsForm* form, const char* skin) {
        form->Fixed->SetFocus();
        testkit::WaitIdle();
        const TsGeneralData& combo = SectionOf("COMBOBOX");
        EXPECT_EQ(form->Marks->Color(), combo.Color) << skin;
        EXPECT_EQ(form->Address->Color(), combo.Color) << skin;
        EXPECT_EQ(form->List->Color(), SectionOf("EDIT").Color) << skin;
        EXPECT_NE(form->List->VSBar, nullptr) << skin;
    });
}
