// The skinned group box: the caption plate's place by layout, width and offset, the client area
// moved with the offset, and children painted over the group box's image.
#include <gtest/gtest.h>

#include "ControlsKit.h"
#include "sCheckBox.h"
#include "sGroupBox.h"
#include "sUtils.h"

using namespace controlskit;

namespace {

constexpr TColor Green = 0x00208020, Grey = 0x00C0C0C0;

class GroupBox : public TablesTest {
protected:
    TsGroupBox* Make(const char* Caption)
    {
        TsGeneralData see = Section("CHECKBOX", Grey, Grey);
        see.Transparency = see.HotTransparency = 100;
        Activate({Section("GROUPBOX", Green, Green), see});
        auto* g = Create<TsGroupBox>(form);
        g->SetBounds(10, 10, 120, 80);
        g->SetCaption(Caption);
        g->SetParent(form);
        return g;
    }
    static int CaptionWidth(TsGroupBox* Box)
    {
        TBitmap b(1, 1, pf24bit);
        b.Canvas()->Font()->Assign(Box->Font());
        return b.Canvas()->TextWidth(Box->Caption());
    }
    static int ClientTop(TsGroupBox* Box)
    {
        TRect r = Box->ClientRect();
        Box->AdjustClientRect(r);
        return r.top;
    }
};

} // namespace

TEST_F(GroupBox, ThePlateSitsByTheLayoutAndIsCutAtTheRightEdge)
{
    TsGroupBox* box = Make("Caption");
    const int tw = CaptionWidth(box), h = box->TextHeight();
    EXPECT_EQ(box->CaptionRect(), Rect(6, 0, 6 + tw + 8, h));
    box->SetCaptionLayout(TsGroupBox::clTopRight);
    EXPECT_EQ(box->CaptionRect(), Rect(120 - tw - 14, 0, 120 - 6, h));

    box->SetCaption("A caption much wider than the box it names");
    for (auto layout : {TsGroupBox::clTopCenter, TsGroupBox::clTopRight}) {
        box->SetCaptionLayout(layout);
        EXPECT_EQ(box->CaptionRect().left, 0);
        EXPECT_EQ(box->CaptionRect().right, 120);
    }
}

TEST_F(GroupBox, TheOffsetMovesThePlateAndTheClientArea)
{
    TsGroupBox* box = Make("Caption");
    const int h = box->TextHeight(), top = ClientTop(box);
    box->SetCaptionYOffset(-4);
    EXPECT_EQ(box->CaptionRect().top, -4);
    EXPECT_EQ(box->CaptionRect().bottom, h - 4);
    EXPECT_EQ(ClientTop(box), top - 4);
    box->SetCaptionYOffset(10);
    EXPECT_EQ(box->CaptionRect().top, 0);
    EXPECT_EQ(box->CaptionRect().bottom, h + 10);
    EXPECT_EQ(ClientTop(box), top + 10);
}

TEST_F(GroupBox, ChildrenShowTheGroupBoxsImageUnderThem)
{
    TsGroupBox* box = Make("");
    auto* check = Create<TsCheckBox>(form);
    check->SetBounds(10, 30, 80, 20);
    check->SetParent(box);
    form->Show();
    testkit::WaitIdle();
    const testkit::PixelImage look = testkit::PrintWindowPixels(box->Handle(), true);
    EXPECT_EQ(look.Pixel(60, 70), static_cast<COLORREF>(Green));
    EXPECT_EQ(testkit::PrintWindowPixels(check->Handle(), true).Pixel(18, 2), static_cast<COLORREF>(Green))
        << "a see-through check box";
}

TEST_F(GroupBox, ARadioGroupLaysItsButtonsOutInColumns)
{
    auto* group = Create<TsRadioGroup>(form);
    group->SetBounds(10, 10, 210, 120);
    group->SetParent(form);
    for (const char* s : {"one", "two", "three", "four", "five"})
        group->Items()->Add(s);
    group->SetColumns(2);
    const int plate = HeightOf(group->CaptionRect()), width = (210 - 10) / 2, height = (120 - plate - 5) / 3;
    ASSERT_EQ(group->ButtonCount(), 5);
    EXPECT_EQ(group->Buttons(0)->BoundsRect(), Rect(8, plate + 2, 8 + width, plate + 2 + height));
    EXPECT_EQ(group->Buttons(2)->Top(), plate + 2 + 2 * height);
    EXPECT_EQ(group->Buttons(3)->BoundsRect(), Rect(width + 8, plate + 2, 2 * width + 8, plate + 2 + height));
    EXPECT_EQ(group->Buttons(4)->Top(), plate + 2 + height);
    EXPECT_TRUE(group->Buttons(4)->Visible());

    group->SetColumns(0);
    EXPECT_EQ(group->Columns(), 1);
    group->SetColumns(40);
    EXPECT_EQ(group->Columns(), 16);

    group->SetItemIndex(9);
    EXPECT_EQ(group->ItemIndex(), 4) << "beyond the last item: the last";
    EXPECT_TRUE(group->Buttons(4)->Checked());
    group->Items()->Delete(4);
    EXPECT_EQ(group->ItemIndex(), 3) << "the checked line gone: the new last";
    group->SetItemIndex(-5);
    EXPECT_EQ(group->ItemIndex(), -1);
}

TEST_F(GroupBox, AnIndexReadBeforeTheItemsIsKeptUntilTheReadingEnds)
{
    for (int read : {1, 7}) {
        auto* group = Create<TsRadioGroup>(form);
        group->SetParent(form);
        BeginLoading(group);
        group->SetItemIndex(read);
        EXPECT_EQ(group->ItemIndex(), read) << "stored as it comes";
        group->Items()->Add("one");
        group->Items()->Add("two");
        group->Items()->Add("three");
        LoadedAll(group);
        ASSERT_EQ(group->ButtonCount(), 3);
        const int checked = read == 1 ? 1 : 2; // past the lines: the last one
        EXPECT_EQ(group->ItemIndex(), checked);
        EXPECT_TRUE(group->Buttons(checked)->Checked());
        EXPECT_TRUE(group->Buttons(0)->Visible()) << "laid out when the reading ended";
        group->Free();
    }
}

TEST_F(GroupBox, ASkinnedGroupButtonIsCheckedByItsOwnClickNotByTheNativeOne)
{
    Activate({Section("GROUPBOX", Green, Green), Section("RADIOBUTTON", Grey, Grey)});
    auto* group = Create<TsRadioGroup>(form);
    group->SetBounds(10, 10, 210, 120);
    group->SetParent(form);
    group->Items()->Add("one");
    group->Items()->Add("two");
    int clicks = 0;
    group->OnClick = [&](TObject*) { ++clicks; };
    form->Show();
    testkit::WaitIdle();
    TsGroupButton* two = group->Buttons(1);
    two->Perform(CN_COMMAND, MAKEWPARAM(0, BN_CLICKED), reinterpret_cast<LPARAM>(two->Handle()));
    EXPECT_EQ(group->ItemIndex(), -1);
    two->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
    two->Perform(WM_LBUTTONUP, 0, MAKELPARAM(3, 3));
    EXPECT_EQ(group->ItemIndex(), 1);
    EXPECT_EQ(clicks, 1);
}
