// The colours panel: its cells from the colour texts, the hit test with the gaps, the selection
// and its events, and the picture of the cells with the frame around the selected one.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ControlsKit.h"
#include "sPanel.h"

using namespace controlskit;

namespace {

constexpr TColor Green = 0x00208020;

class ColorsPanel : public TablesTest {
protected:
    TsColorsPanel* Make()
    {
        auto* p = Create<TsColorsPanel>(form);
        p->SetLeft(10);
        p->SetTop(10);
        p->SetParent(form);
        p->OnChange = [this](TObject*) { ++changes; };
        return p;
    }
    static void Press(TControl* Control, int X, int Y)
    {
        Control->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(X, Y));
        Control->Perform(WM_LBUTTONUP, 0, MAKELPARAM(X, Y));
    }
    int changes = 0;
};

// A windowed child that counts the times its parent says it has finished its picture.
class TWaiting : public TCustomControl {
    VCL_CLASS(TWaiting, TCustomControl)
public:
    using TCustomControl::TCustomControl;
    void WndProc(TMessage& Message) override
    {
        if (Message.Msg == SM_SKINCMD && Message.WParamHi == AC_PARENTUPDATED)
            ++Told;
        inherited::WndProc(Message);
    }
    int Told = 0;
};

} // namespace

TEST_F(ColorsPanel, TheCellsComeFromTheColourTextsAndTheGridPaddedWithWhite)
{
    TsColorsPanel* p = Make();
    EXPECT_EQ(p->Width(), 140);
    EXPECT_EQ(p->Height(), 60);
    ASSERT_EQ(p->Cells().size(), 10u);
    std::string tenWhite;
    for (int i = 0; i < 10; ++i)
        tenWhite += "FFFFFF\r\n";
    EXPECT_EQ(p->Colors()->Text(), tenWhite);
    EXPECT_EQ(p->Cells().front().R, Rect(6, 6, 27, 27));
    EXPECT_EQ(p->Cells().back().R, Rect(114, 33, 135, 54)) << "5 x 2 at a pitch of 27";
    EXPECT_EQ(p->Cells().back().Color, clWhite);

    TStringList texts;
    texts.Add("0000FF");
    texts.Add("ff0000h and a name");
    texts.Add("00ff00\rnext");
    texts.Add("extra");
    p->SetColCount(3);
    p->SetRowCount(1);
    p->SetColors(&texts);
    ASSERT_EQ(p->Cells().size(), 3u);
    EXPECT_EQ(p->Cells()[0].Color, clRed);
    EXPECT_EQ(p->Cells()[1].Color, clBlue);
    EXPECT_EQ(p->Cells()[2].Color, clLime);
    EXPECT_EQ(p->Count(), 4) << "a line past the grid is kept";
}

TEST_F(ColorsPanel, APressPicksTheCellUnderItTheGapGoesToTheLowerIndex)
{
    TsColorsPanel* p = Make();
    TStringList texts;
    for (const char* t : {"000001", "000002", "000003", "000004", "000005", "000006"})
        texts.Add(t);
    p->SetColors(&texts);
    form->Show();
    EXPECT_EQ(p->ColorValue(), clWhite) << "none selected";
    p->SetItemIndex(-1);
    EXPECT_EQ(changes, 0);

    EXPECT_EQ(p->GetItemByCoord(TPoint{0, 0}), 0) << "the margin before the first cell";
    EXPECT_EQ(p->GetItemByCoord(TPoint{30, 10}), 0) << "the gap between the first two";
    EXPECT_EQ(p->GetItemByCoord(TPoint{10, 30}), 0) << "the gap between the rows";
    EXPECT_EQ(p->GetItemByCoord(TPoint{33, 10}), 1);
    EXPECT_EQ(p->GetItemByCoord(TPoint{141, 10}), -1);

    Press(p, 37, 10);
    EXPECT_EQ(p->ItemIndex(), 1);
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(p->ColorValue(), static_cast<TColor>(2));
    p->SetItemIndex(5);
    std::vector<int> marked;
    for (const TsColorCell& c : p->Cells())
        if (c.Selected)
            marked.push_back(c.Index);
    EXPECT_EQ(marked, std::vector<int>{5});
    p->SetWidth(180);
    Press(p, 170, 10);
    EXPECT_EQ(p->ItemIndex(), -1) << "a press beside every cell";
    EXPECT_EQ(changes, 3);
    EXPECT_EQ(p->ColorValue(), clWhite);
}

TEST_F(ColorsPanel, SkinnedItShowsTheCellsAndFramesTheSelectedOneOverThePicture)
{
    Activate({Section("PANEL", Green, Green)});
    TsColorsPanel* p = Make();
    TStringList texts;
    texts.Add("0000FF");
    p->SetColors(&texts);
    auto* child = Create<TWaiting>(form);
    child->SetBounds(100, 40, 10, 10);
    child->SetParent(p);
    form->Show();
    testkit::WaitIdle();
    p->SetItemIndex(0);
    child->Told = 0;
    p->Repaint();
    const testkit::PixelImage look = testkit::PrintWindowPixels(p->Handle());
    EXPECT_EQ(look.Pixel(10, 10), static_cast<COLORREF>(clRed));
    EXPECT_EQ(look.Pixel(37, 10), static_cast<COLORREF>(clWhite));
    EXPECT_EQ(look.Pixel(2, 2), static_cast<COLORREF>(Green));
    EXPECT_EQ(look.Pixel(5, 10), static_cast<COLORREF>(clWhite)) << "the selection's inner frame";
    EXPECT_EQ(look.Pixel(4, 10), static_cast<COLORREF>(clBlack)) << "its outer frame";
    EXPECT_EQ(p->SkinData()->FCacheBmp->Canvas()->Pixels(5, 10), Green) << "not in the cached picture";
    EXPECT_GT(child->Told, 0) << "children waiting for the picture are told it is done";
}
