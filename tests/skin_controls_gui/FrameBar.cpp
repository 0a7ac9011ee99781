// The frame bar: titles that open and close the frames under them, frames made on demand and
// slid open by halves, kept when their destroy handler says so, and the scroll range of it all.
#include <gtest/gtest.h>

#include <vector>

#include "ControlsKit.h"
#include "ImgList.h"
#include "sFrameBar.h"
#include "sLabel.h"

using namespace controlskit;

namespace {

// A frame that notes every new height it is given.
class TNotedFrame : public TFrame {
    VCL_CLASS(TNotedFrame, TFrame)
public:
    using TFrame::TFrame;
    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override
    {
        if (Heights && AHeight != Height())
            Heights->push_back(AHeight);
        inherited::SetBounds(ALeft, ATop, AWidth, AHeight);
    }
    std::vector<int>* Heights = nullptr;
};

class FrameBar : public TablesTest {
protected:
    // A bar of three titles whose frames are 40 pixels high; no animation.
    TsFrameBar* Make(int Count = 3)
    {
        bar = Create<TsFrameBar>(form);
        bar->Animation = false;
        bar->SetParent(form);
        for (int i = 0; i < Count; ++i) {
            TsTitleItem* item = bar->Items()->Add();
            item->SetCaption("Title " + IntToStr(i));
            item->OnCreateFrame = [this](TObject*, TCustomFrame*& Frame) {
                auto* f = Create<TNotedFrame>(form);
                f->SetHeight(FrameHeight);
                f->Heights = &heights;
                Frame = f;
            };
        }
        form->Show();
        testkit::WaitIdle();
        return bar;
    }
    Byte State(int I) { return bar->Items()->Items(I)->State; }
    TsFrameBar* bar = nullptr;
    int FrameHeight = 40;
    std::vector<int> heights;
};

} // namespace

TEST_F(FrameBar, AClickOpensOneTitleAndClosesTheOthersUnlessAllMayBeOpen)
{
    Make();
    bar->OpenItem(0, false);
    bar->OpenItem(1, false);
    EXPECT_EQ(State(0), TsTitleItem::stClosed);
    EXPECT_EQ(State(1), TsTitleItem::stOpen);
    EXPECT_EQ(bar->Items()->Items(0)->Frame, nullptr) << "a closed frame is destroyed";
    TsTitleItem* second = bar->Items()->Items(1);
    ASSERT_NE(second->Frame, nullptr);
    EXPECT_EQ(second->Frame->Top(), second->TitleButton->Top() + 28) << "the spacing is there only while opening";
    EXPECT_EQ(second->Frame->Height(), 40);
    EXPECT_TRUE(second->TitleButton->Active);

    // A click on the open title calls OnClick but changes nothing without AllowAllClose.
    int clicks = 0;
    second->OnClick = [&](TObject* Sender) {
        ++clicks;
        EXPECT_EQ(Sender, second->TitleButton);
    };
    second->TitleButton->Click();
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(State(1), TsTitleItem::stOpen);
    bar->AllowAllClose = true;
    second->TitleButton->Click();
    EXPECT_EQ(State(1), TsTitleItem::stClosed);

    bar->AllowAllOpen = true;
    bar->Items()->Items(0)->TitleButton->Click();
    bar->Items()->Items(2)->TitleButton->Click();
    EXPECT_EQ(State(0), TsTitleItem::stOpen);
    EXPECT_EQ(State(2), TsTitleItem::stOpen);
}

TEST_F(FrameBar, WithoutAHandlerTheDefaultFrameShowsTheRedNotice)
{
    bar = Create<TsFrameBar>(form);
    bar->Animation = false;
    bar->SetParent(form);
    TsTitleItem* item = bar->Items()->Add();
    form->Show();
    item->TitleButton->Click();
    ASSERT_NE(item->Frame, nullptr);
    EXPECT_EQ(item->Frame->Height(), 150);
    TsLabel* label = nullptr;
    for (int i = 0; i < item->Frame->ControlCount() && !label; ++i)
        label = dynamic_cast<TsLabel*>(item->Frame->Controls(i));
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->Caption(), "Frame creation\r\nevent has not been defined.");
    EXPECT_EQ(label->Font()->Color(), static_cast<TColor>(0x0000FF));
}

TEST_F(FrameBar, TheRangeSumsVisibleTitlesFramesGapsAndMargins)
{
    Make();
    bar->Items()->Items(1)->SetVisible(false);
    bar->OpenItem(2, false);
    // Margin 2 + 2; title 0: 28 + 2; title 2: 28, frame 40 + 2, gap 2; end 2 + 2.
    EXPECT_EQ(bar->ContentHeight(), 4 + 30 + 28 + 42 + 2 + 4);
    EXPECT_EQ(bar->VertScrollBar()->Range(), bar->ContentHeight());
    EXPECT_EQ(bar->Items()->Items(2)->TitleButton->Top(), 4 + 30) << "the hidden title takes no space";

    // A deleted item takes its title and frame with it; the others move up.
    bar->Items()->Delete(0);
    EXPECT_EQ(bar->Items()->Items(1)->TitleButton->Top(), 4);
    EXPECT_EQ(bar->ContentHeight(), 4 + 28 + 42 + 2 + 4);
    EXPECT_EQ(bar->FindComponent("sTitleButton1"), nullptr);
    // The next title's own name (its place, 3) is still held by the title that moved up.
    EXPECT_EQ(bar->Items()->Add()->TitleButton->Name(), "sTitleButton4");
}

TEST_F(FrameBar, AFreedImageListIsForgotten)
{
    Make(1);
    auto* images = Create<TImageList>(form);
    bar->SetImages(images);
    images->Free();
    EXPECT_EQ(bar->Images(), nullptr);
    bar->Items()->Items(0)->SetImageIndex(0);
    EXPECT_EQ(bar->Items()->Items(0)->TitleButton->Images(), nullptr);
}

TEST_F(FrameBar, AnOnClickThatDeletesItsItemLeavesTheOthersAsTheyWere)
{
    Make();
    bar->OpenItem(1, false);
    TsTitleItem* first = bar->Items()->Items(0);
    first->OnClick = [this](TObject*) { bar->Items()->Delete(0); };
    first->TitleButton->Click();
    ASSERT_EQ(bar->Items()->Count(), 2);
    EXPECT_EQ(State(0), TsTitleItem::stOpen) << "the open title was not closed for the deleted one";
}

TEST_F(FrameBar, AFormFreedWhileAFrameSlidesOpenEndsTheLayout)
{
    auto* other = MakeForm();
    auto* b = Create<TsFrameBar>(other);
    b->SetParent(other);
    TsTitleItem* item = b->Items()->Add();
    // The form goes while the first pass's messages are handled.
    item->OnCreateFrame = [other](TObject*, TCustomFrame*& Frame) {
        Frame = Create<TFrame>(other);
        other->Release();
    };
    other->Show();
    Application->SetShowHint(true);
    b->OpenItem(0, true);
    EXPECT_FALSE(FormAlive(other));
    EXPECT_TRUE(Application->ShowHint()) << "hints given back";
    EXPECT_FALSE(MouseForbidden || FadingForbidden);
}

TEST_F(FrameBar, AKeptFrameIsOfferedAgainAtEveryLayoutWhileClosed)
{
    Make();
    int offers = 0;
    TsTitleItem* item = bar->Items()->Items(0);
    item->OnFrameDestroy = [&](TObject*, TCustomFrame*&, bool& CanDestroy) {
        ++offers;
        CanDestroy = false;
    };
    bar->OpenItem(0, false);
    bar->CloseItem(0, false);
    EXPECT_EQ(offers, 1);
    ASSERT_NE(item->Frame, nullptr);
    bar->SetTitleHeight(30);
    EXPECT_EQ(offers, 2);
    EXPECT_NE(item->Frame, nullptr);
}

TEST_F(FrameBar, AnAnimatedFrameOpensByHalvesAndClosesTheSameWay)
{
    Make(1);
    bar->Animation = true;
    FrameHeight = 1024;
    bar->Items()->Items(0)->FrameSize = 1024;
    bar->OpenItem(0, true);
    EXPECT_EQ(heights, (std::vector<int>{1, 2, 4, 8, 16, 32, 64, 128, 256, 512, 1024}));
    EXPECT_EQ(State(0), TsTitleItem::stOpen);
    heights.clear();
    bar->CloseItem(0, true);
    EXPECT_EQ(heights, (std::vector<int>{512, 256, 128, 64, 32, 16, 8, 4, 2}));
    EXPECT_EQ(bar->Items()->Items(0)->Frame, nullptr);
}
