// A form of skinned list views (a report with its header, pictures and bars, and an icon view) in
// both shipped skins and without a skin; a picture of each is written into the working folder
// (skinned_listview_<skin>.png) to be looked at.
#include <gtest/gtest.h>

#include "../skin_forms_gui/FormsKit.h"
#include "sListView.h"
#include "sPanel.h"

using namespace formskit;

namespace {

// Sixteen pictures of two sizes: a coloured disc on a key colour.
TImageList* Pictures(TComponent* Owner, int Size)
{
    auto* list = Create<TImageList>(Owner);
    list->SetSize(Size, Size);
    const TColor colours[] = {clRed, clGreen, clBlue, clOlive};
    for (TColor c : colours) {
        TBitmap bmp(Size, Size, pf24bit);
        bmp.Canvas()->Brush()->SetColor(clFuchsia);
        bmp.Canvas()->FillRect(Rect(0, 0, Size, Size));
        bmp.Canvas()->Brush()->SetColor(c);
        bmp.Canvas()->Ellipse(2, 2, Size - 2, Size - 2);
        list->AddMasked(&bmp, clFuchsia);
    }
    return list;
}

class TListViewsForm : public TForm {
    VCL_CLASS(TListViewsForm, TForm)
public:
    explicit TListViewsForm(TComponent* AOwner) : TForm(AOwner)
    {
        BeginLoading(this);
        SetBounds(20, 20, 640, 340);
        SetCaption("List views");
        Create<TsSkinProvider>(this);
        auto* panel = Create<TsPanel>(this);
        panel->SetAlign(alClient);
        panel->SetParent(this);
        TImageList* small = Pictures(this, 16);
        TImageList* large = Pictures(this, 32);
        Report = Create<TsListView>(this);
        Report->SetBounds(10, 10, 330, 280);
        Report->SetViewStyle(vsReport);
        Report->SetSmallImages(small);
        Report->SetRowSelect(true);
        for (const char* caption : {"Название", "Размер", "Тип", "Изменён"}) {
            TListColumn* c = Report->Columns()->Add();
            c->SetCaption(caption);
            c->SetWidth(110);
        }
        Report->Column(1)->SetAlignment(taRightJustify);
        Report->Column(2)->SetImageIndex(2);
        for (int i = 0; i < 40; ++i) {
            TListItem* item = Report->Items()->Add();
            item->SetCaption("Статья " + IntToStr(i));
            item->SetImageIndex(i % 4);
            item->SubItems()->Add(IntToStr(i * 17) + " KB");
            item->SubItems()->Add(i % 2 ? "Ссылка" : "Страница");
            item->SubItems()->Add("01.02.2024");
        }
        Report->Items()->Item(3)->SetSelected(true);
        Report->SetParent(panel);
        Icons = Create<TsListView>(this);
        Icons->SetBounds(350, 10, 260, 280);
        Icons->SetViewStyle(vsIcon);
        Icons->SetLargeImages(large);
        for (int i = 0; i < 9; ++i) {
            TListItem* item = Icons->Items()->Add();
            item->SetCaption("Файл " + IntToStr(i));
            item->SetImageIndex(i % 4);
        }
        Icons->SetParent(panel);
        LoadedAll(this);
    }
    TsListView* Report = nullptr;
    TsListView* Icons = nullptr;
};

using Screens = SkinnedFormTest;

} // namespace

TEST_F(Screens, ListViewsAreDrawnByTheSkin)
{
    InShippedSkins<TListViewsForm>("skinned_listview_", [](TListViewsForm* form, const char* skin) {
        const TsGeneralData& edit = SectionOf("EDIT");
        EXPECT_EQ(form->Report->Color(), edit.Color) << skin;
        EXPECT_NE(form->Report->HeaderHandle(), nullptr) << skin;
        ASSERT_NE(form->Report->VSBar, nullptr) << skin;
        EXPECT_TRUE(form->Report->VSBar->Visible()) << skin;
    });
    // One form through a change of skin and the skin's removal.
    auto* form = Create<TListViewsForm>(Application);
    form->Show();
    Paint(form);
    UseSkin("Neutral");
    testkit::WaitIdle();
    EXPECT_EQ(form->Report->Color(), SectionOf("EDIT").Color);
    ASSERT_NE(form->Report->VSBar, nullptr);
    EXPECT_TRUE(form->Report->VSBar->Visible());
    Manager()->SetActive(false);
    Paint(form);
    testkit::WaitIdle();
    EXPECT_EQ(form->Report->VSBar, nullptr);
    EXPECT_EQ(form->Report->Color(), clWindow);
    EXPECT_NE(ListView_GetBkColor(form->Report->Handle()), CLR_NONE);
    testkit::SaveScreenshot("skinned_listview_none.png", form->Handle());
    form->Free();
}
