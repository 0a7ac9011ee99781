// Scrollable skinned controls keep skinned bars over their native ones: a memo, a list box and
// the skinned scroll box, which scrolls its children itself (the tree view: Tree.cpp).
#include <gtest/gtest.h>

#include "Dialogs.h"
#include "ExtCtrls.h"
#include "ScrollKit.h"
#include "sCustomListBox.h"
#include "sMemo.h"
#include "sScrollBox.h"

namespace {

class HostTest : public scrollkit::SkinnedTest {
protected:
    void SetUp() override
    {
        SkinnedTest::SetUp();
        guard = std::make_unique<TPromptServiceGuard>(prompts);
        form->Show();
    }
    void TearDown() override
    {
        guard.reset();
        SkinnedTest::TearDown();
    }
    SCROLLINFO Native(TWinControl* c, int bar)
    {
        SCROLLINFO si{};
        si.cbSize = sizeof si;
        si.fMask = SIF_ALL;
        GetScrollInfo(c->Handle(), bar, &si);
        return si;
    }
    const int CX = GetSystemMetrics(SM_CXVSCROLL), CY = GetSystemMetrics(SM_CYHSCROLL);
    TScriptedPromptService prompts;
    std::unique_ptr<TPromptServiceGuard> guard;
};

AnsiString Lines(int n, int width)
{
    AnsiString s;
    for (int i = 0; i < n; ++i)
        s += AnsiString(static_cast<size_t>(width), static_cast<char>('a' + i % 26)) + "\r\n";
    return s;
}

} // namespace

TEST_F(HostTest, AMemoLaysBothBarsOverItsOwnAndScrollsByThem)
{
    auto* memo = Create<TsMemo>(form);
    memo->SetBounds(20, 20, 200, 120);
    memo->SetScrollBars(ssBoth);
    memo->SetWordWrap(false);
    memo->SetParent(form);
    memo->SetText(Lines(40, 60));
    testkit::WaitIdle();
    ASSERT_NE(memo->VSBar, nullptr);
    ASSERT_NE(memo->HSBar, nullptr);
    EXPECT_EQ(memo->VSBar->Parent(), form) << "a sibling lying over the memo";
    EXPECT_EQ(memo->VSBar->BoundsRect(), Bounds(20 + 200 - CX - 2, 22, CX, 120 - CY - 4));
    EXPECT_EQ(memo->HSBar->BoundsRect(), Bounds(22, 20 + 120 - CY - 2, 200 - CX - 4, CY));
    const SCROLLINFO v = Native(memo, SB_VERT);
    EXPECT_EQ(memo->VSBar->Max(), v.nMax - static_cast<int>(v.nPage) + 1);
    EXPECT_EQ(memo->VSBar->PageSize(), static_cast<int>(v.nPage));
    memo->VSBar->SetPosition(5);
    EXPECT_EQ(SendMessageA(memo->Handle(), EM_GETFIRSTVISIBLELINE, 0, 0), 5);
    memo->Perform(WM_VSCROLL, SB_LINEDOWN, 0);
    EXPECT_EQ(memo->VSBar->Position(), 6) << "the bar follows the memo";
    // The square between the bars shows the memo's colour, not the system's corner.
    RedrawWindow(memo->Handle(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
    const testkit::PixelImage shot = testkit::ScreenPixels(memo->Handle());
    EXPECT_EQ(shot.Pixel(200 - CX / 2 - 2, 120 - CY / 2 - 2), static_cast<COLORREF>(ColorToRGB(memo->Color())));
    EXPECT_TRUE(prompts.Shown.empty());
    scrollkit::UnloadSkin();
    Command(memo, AC_REMOVESKIN);
    EXPECT_EQ(memo->VSBar, nullptr);
    EXPECT_EQ(memo->HSBar, nullptr);
}

TEST_F(HostTest, AMemoWhoseTextFitsShowsADisabledBarAndReportsNothing)
{
    auto* memo = Create<TsMemo>(form);
    memo->SetBounds(20, 20, 200, 120);
    memo->SetScrollBars(ssVertical);
    memo->SetParent(form);
    memo->SetText("one line");
    testkit::WaitIdle();
    ASSERT_NE(memo->VSBar, nullptr);
    EXPECT_FALSE(memo->VSBar->Enabled());
    EXPECT_EQ(memo->VSBar->BoundsRect(), Bounds(20 + 200 - CX - 2, 22, CX, 120 - 4)) << "the whole height alone";
    EXPECT_TRUE(prompts.Shown.empty()) << "no range error for a page that holds everything";
    memo->SetHeight(15);
    EXPECT_EQ(memo->VSBar, nullptr) << "a memo under 16 pixels has no skinned bars";
}

TEST_F(HostTest, AListBoxOfOneColumnKeepsItsVerticalBarAtTheTopItem)
{
    auto* list = Create<TsListBox>(form);
    list->SetName("ListBox1");
    list->SetBounds(20, 20, 150, 100);
    list->SetParent(form);
    list->Items()->Add("one");
    testkit::WaitIdle();
    EXPECT_TRUE(list->VSBar == nullptr || !list->VSBar->Visible()) << "what fits needs no bar";
    for (int i = 0; i < 30; ++i)
        list->Items()->Add("item " + IntToStr(i));
    testkit::WaitIdle(); // the bar follows a load once
    ASSERT_NE(list->VSBar, nullptr);
    EXPECT_TRUE(list->VSBar->Visible());
    EXPECT_EQ(list->VSBar->Name(), "ListBox1VSBar");
    EXPECT_EQ(list->VSBar->Parent(), form);
    EXPECT_EQ(list->VSBar->BoundsRect(), Bounds(20 + 150 - (CX + 1) - 2, 22, CX + 1, 100 - 4));
    const SCROLLINFO v = Native(list, SB_VERT);
    EXPECT_EQ(list->VSBar->Max(), v.nMax - static_cast<int>(v.nPage) + 1);
    int scrolled = 0;
    list->OnVScroll = [&](TObject*) { ++scrolled; };
    list->VSBar->SetPosition(7);
    EXPECT_EQ(list->TopIndex(), 7);
    EXPECT_EQ(scrolled, 1);
    list->SetTopIndex(3);
    EXPECT_EQ(list->VSBar->Position(), 3);
    list->SetLeft(40);
    EXPECT_EQ(list->VSBar->Left(), 40 + 150 - (CX + 1) - 2) << "the bar moves with the list";
    scrollkit::UnloadSkin();
    Command(list, AC_REMOVESKIN);
    EXPECT_EQ(list->VSBar, nullptr);
    EXPECT_EQ(list->TopIndex(), 3);
}

TEST_F(HostTest, ThumbPositionsBeyondWhatTheMessageCarriesReachTheHostWhole)
{
    struct TRecorder : TPanel {
        using TPanel::TPanel;
        std::vector<int> Thumbs;
        void WndProc(TMessage& Message) override
        {
            if (Message.Msg == WM_VSCROLL && Message.WParamLo == SB_THUMBPOSITION)
                Thumbs.push_back(Message.WParamHi);
            TPanel::WndProc(Message);
        }
    };
    auto* host = Create<TRecorder>(form);
    host->SetParent(form);
    TsScrollBar* bar = nullptr;
    bar = MakeHostBar(host, sbVertical, TOnIntChangeEvent([&](TObject*, int) { SendThumbPosition(host, bar); }));
    bar->SetParams(0, 0, 200000);
    bar->SetPosition(0x7FFF);
    bar->SetPosition(70000);
    EXPECT_EQ(host->Thumbs, (std::vector<int>{0x7FFF, 0x7FFF})) << "without a hook the farthest the message reaches";
    std::vector<int> whole;
    bar->OnHostPosition = [&](TObject*, int Position) { whole.push_back(Position); };
    bar->SetPosition(0x7FFF);
    bar->SetPosition(0x8000);
    bar->SetPosition(199999);
    EXPECT_EQ(host->Thumbs, (std::vector<int>{0x7FFF, 0x7FFF, 0x7FFF}));
    EXPECT_EQ(whole, (std::vector<int>{0x8000, 199999}));
    FreeHostBar(bar);
}

TEST_F(HostTest, AScrollBoxScrollsItsWindowedAndGraphicChildren)
{
    auto* box = Create<TsScrollBox>(form);
    box->SetBounds(20, 20, 200, 100);
    box->HorzScrollBar()->SetVisible(false);
    box->SetParent(form);
    auto* panel = Create<TPanel>(form);
    panel->SetBounds(10, 150, 50, 30);
    panel->SetParent(box);
    auto* bevel = Create<TBevel>(form);
    bevel->SetBounds(70, 160, 30, 20);
    bevel->SetParent(box);
    Command(box, AC_PARENTUPDATED);
    testkit::WaitIdle();
    TsScrollBar* bar = box->VertBar();
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(box->HorzBar(), nullptr) << "the hidden native bar stays hidden";
    EXPECT_EQ(bar->Parent(), form);
    // Content 180 high in a client 96 high.
    EXPECT_EQ(bar->Max(), 180 - 96);
    EXPECT_EQ(bar->BoundsRect(), Rect(20 + 200 - CX - 2, 22, 20 + 200 - 2, 20 + 100 - 2 + 1));
    bar->SetPosition(30);
    EXPECT_EQ(panel->Top(), 120);
    EXPECT_EQ(bevel->Top(), 130);
    RECT r;
    GetWindowRect(panel->Handle(), &r);
    MapWindowPoints(nullptr, box->Handle(), reinterpret_cast<POINT*>(&r), 2);
    EXPECT_EQ(r.top, 120) << "the window moved with the content";
    // Only thumb messages move a skinned box.
    box->Perform(WM_VSCROLL, SB_LINEDOWN, 0);
    EXPECT_EQ(bar->Position(), 30);
    box->Perform(WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 50), 0);
    EXPECT_EQ(bar->Position(), 50);
    EXPECT_EQ(panel->Top(), 100);
    // Without the skin the content goes back and the native bars are as they were.
    scrollkit::UnloadSkin();
    Command(box, AC_REMOVESKIN);
    EXPECT_EQ(box->VertBar(), nullptr);
    EXPECT_EQ(panel->Top(), 150);
    EXPECT_EQ(bevel->Top(), 160);
    EXPECT_TRUE(box->VertScrollBar()->Visible());
    EXPECT_FALSE(box->HorzScrollBar()->Visible());
}

TEST_F(HostTest, AScrollBoxWithBothBarsPaintsTheCornerFromItsBackground)
{
    auto* box = Create<TsScrollBox>(form);
    box->SetBounds(20, 20, 200, 100);
    box->SetParent(form);
    auto* panel = Create<TPanel>(form);
    panel->SetBounds(250, 150, 50, 30);
    panel->SetParent(box);
    Command(box, AC_PARENTUPDATED);
    testkit::WaitIdle();
    TsScrollBar *v = box->VertBar(), *h = box->HorzBar();
    ASSERT_TRUE(v && h);
    EXPECT_EQ(v->Height(), 100 - 4 + 1 - CY) << "shortened by the other bar";
    EXPECT_EQ(h->Width(), 200 - 4 + 1 - CX);
    const testkit::PixelImage frame = testkit::PrintWindowPixels(box->Handle());
    TBitmap* cache = box->SkinData()->FCacheBmp.get();
    const int x = 200 - 2 - CX + CX / 2, y = 100 - 2 - CY + CY / 2;
    const Byte* p = static_cast<const Byte*>(cache->ScanLine(y)) + 3 * x;
    EXPECT_EQ(frame.Pixel(x, y), RGB(p[2], p[1], p[0]));
}
