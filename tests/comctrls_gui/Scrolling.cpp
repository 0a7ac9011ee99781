// Scroll bar and scroll box.
#include "ScrollBox.h"
#include "StdCtrlsScrollBar.h"
#include "Support.h"

#include <vector>

using namespace testkit;

TEST_F(FormTest, ScrollBarScrollsByItsStepsAndKeepsItsState)
{
    TForm* form = MakeForm();
    form->SetBounds(100, 100, 300, 200);
    TScrollBar* bar = Create<TScrollBar>(form);
    bar->SetParent(form);
    bar->SetBounds(10, 10, 200, 17);
    bar->SetParams(10, 0, 100);
    bar->SetSmallChange(2);
    bar->SetLargeChange(25);
    bar->SetPageSize(20);
    std::vector<std::pair<TScrollCode, int>> scrolls;
    int changes = 0;
    bar->OnScroll = [&](TObject*, TScrollCode code, int& pos) {
        scrolls.emplace_back(code, pos);
        if (code == scBottom)
            pos = 50; // the handler has the last word
    };
    bar->OnChange = [&](TObject*) { ++changes; };
    form->Show();
    PumpPending();
    auto scroll = [&](UINT code) {
        SendMessageA(form->Handle(), WM_HSCROLL, MAKEWPARAM(code, 0), reinterpret_cast<LPARAM>(bar->Handle()));
    };
    scroll(SB_LINEDOWN);
    EXPECT_EQ(bar->Position(), 12);
    scroll(SB_PAGEDOWN);
    EXPECT_EQ(bar->Position(), 37);
    scroll(SB_BOTTOM);
    EXPECT_EQ(bar->Position(), 50);
    scroll(SB_PAGEUP);
    scroll(SB_PAGEUP);
    scroll(SB_PAGEUP);
    EXPECT_EQ(bar->Position(), 0);
    ASSERT_EQ(scrolls.size(), 6u);
    EXPECT_EQ(scrolls[2].first, scBottom);
    EXPECT_EQ(scrolls[2].second, 81); // the end less the page
    EXPECT_EQ(changes, 5); // the last page up found it at the start already

    bar->SetPosition(70);
    bar->SetKind(sbVertical); // re-created
    SCROLLINFO si{};
    si.cbSize = sizeof si;
    si.fMask = SIF_ALL;
    ASSERT_TRUE(GetScrollInfo(bar->Handle(), SB_CTL, &si));
    EXPECT_EQ(si.nPos, 70);
    EXPECT_EQ(si.nMax, 100);
    EXPECT_EQ(si.nPage, 20u);
    EXPECT_EQ(bar->Width(), 17);
    EXPECT_EQ(testkit::Refusal<EInvalidOperation>([&] { bar->SetParams(0, 10, 5); }), "Scroll bar maximum below its minimum");
    EXPECT_EQ(bar->Max(), 100);
}

TEST_F(FormTest, ScrollBoxReachesChildrenBeyondItsArea)
{
    TForm* form = MakeForm();
    form->SetBounds(100, 100, 300, 250);
    TScrollBox* box = Create<TScrollBox>(form);
    box->SetParent(form);
    box->SetBounds(10, 10, 150, 120);
    TScrollBox* inner = Create<TScrollBox>(form); // any control far inside
    inner->SetParent(box);
    inner->SetBounds(200, 300, 50, 50);
    form->Show();
    PumpPending();
    EXPECT_TRUE(box->VertScrollBar()->IsScrollBarVisible());
    EXPECT_TRUE(box->HorzScrollBar()->IsScrollBarVisible());
    box->ScrollInView(inner);
    EXPECT_GT(box->VertScrollBar()->Position(), 0);
    TRect r = inner->BoundsRect();
    EXPECT_LE(r.bottom, box->ClientHeight());
    box->SetBorderStyle(bsNone); // re-created
    EXPECT_EQ(GetWindowLongA(box->Handle(), GWL_EXSTYLE) & WS_EX_CLIENTEDGE, 0);
    EXPECT_EQ(GetParent(inner->Handle()), box->Handle());
}

TEST_F(FormTest, ScrollBoxRangesFollowItsChildren)
{
    TForm* form = MakeForm();
    form->SetBounds(100, 100, 300, 250);
    TScrollBox* box = Create<TScrollBox>(form);
    box->SetParent(form);
    box->SetBounds(10, 10, 150, 120);
    form->Show();
    TControlScrollBar* vert = box->VertScrollBar();
    EXPECT_FALSE(vert->IsScrollBarVisible());
    TScrollBox* child = Create<TScrollBox>(form);
    child->SetBounds(0, 300, 50, 50);
    child->SetParent(box); // added while the box is shown
    EXPECT_EQ(vert->Range(), 350);
    EXPECT_TRUE(vert->IsScrollBarVisible());
    child->SetTop(10); // moved back inside
    EXPECT_EQ(vert->Range(), 60);
    EXPECT_FALSE(vert->IsScrollBarVisible());

    box->DisableAutoRange();
    child->SetTop(400);
    EXPECT_EQ(vert->Range(), 60) << "held";
    box->EnableAutoRange();
    EXPECT_EQ(vert->Range(), 450);

    // Dragging the thumb scrolls only with Tracking; letting it go always does.
    SendMessageA(box->Handle(), WM_VSCROLL, MAKEWPARAM(SB_THUMBTRACK, 100), 0);
    EXPECT_EQ(vert->Position(), 0);
    vert->SetTracking(true);
    SendMessageA(box->Handle(), WM_VSCROLL, MAKEWPARAM(SB_THUMBTRACK, 100), 0);
    EXPECT_EQ(vert->Position(), 100);
    SendMessageA(box->Handle(), WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 50), 0);
    EXPECT_EQ(vert->Position(), 50);
}
