// The frame adapter: a frame on a skinned form paints from the skin, answers for itself, hooks its
// pop-up menus, and scrolls its content through skinned bars on its parent while the skin is on.
#include <gtest/gtest.h>

#include "../skin_forms_gui/FormsKit.h"
#include "Dialogs.h"
#include "ExtCtrls.h"
#include "sFrameAdapter.h"
#include "sMessages.h"
#include "sSkinMenus.h"
#include "sVclUtils.h"

using namespace formskit;

namespace {

// A frame of 200 x 150 with a windowed and a graphic child and a pop-up menu.
class TTestFrame : public TFrame {
    VCL_CLASS(TTestFrame, TFrame)
public:
    explicit TTestFrame(TComponent* AOwner, bool OwnVertBar = true) : TFrame(AOwner)
    {
        SetBounds(20, 20, 200, 150);
        VertScrollBar()->SetVisible(OwnVertBar);
        Adapter = Create<TsFrameAdapter>(this);
        Panel = Create<TPanel>(this);
        Panel->SetBounds(10, 10, 100, 50);
        Panel->SetParent(this);
        Shape = Create<TBevel>(this);
        Shape->SetBounds(10, 70, 50, 20);
        Shape->SetParent(this);
        Popup = Create<TPopupMenu>(this);
        Item = Create<TMenuItem>(this);
        Item->SetCaption("Item");
        Popup->Items()->Add(Item);
    }
    TsFrameAdapter* Adapter = nullptr;
    TPanel* Panel = nullptr;
    TBevel* Shape = nullptr;
    TPopupMenu* Popup = nullptr;
    TMenuItem* Item = nullptr;
};

class FrameTest : public SkinnedFormTest {
protected:
    void SetUp() override
    {
        SkinnedFormTest::SetUp();
        UseSkin("Neutral");
        form = SkinnedForm(bsSizeable, 500, 400);
    }
    TTestFrame* MakeFrame(bool OwnVertBar = true)
    {
        auto* frame = Create<TTestFrame>(form, OwnVertBar);
        frame->SetParent(form);
        Paint(form);
        return frame;
    }
    TForm* form = nullptr;
    const int CX = GetSystemMetrics(SM_CXVSCROLL), CY = GetSystemMetrics(SM_CYHSCROLL);
};

} // namespace

TEST_F(FrameTest, AFramePaintsFromTheSkinAndHooksItsMenus)
{
    TTestFrame* frame = MakeFrame();
    TsFrameAdapter* adapter = frame->Adapter;
    EXPECT_EQ(adapter->SkinData()->SkinSection(), "GROUPBOX");
    EXPECT_EQ(adapter->SkinData()->COC, 226);
    EXPECT_TRUE(adapter->FrameHandled());
    EXPECT_TRUE(frame->Popup->OwnerDraw());
    EXPECT_TRUE(frame->Item->OnAdvancedDrawItem ==
                TAdvancedMenuDrawItemEvent(Manager()->SkinableMenus(), &TsSkinableMenus::sAdvancedDrawItem));
    // The group box section is wholly transparent: inside its border the frame shows the form's
    // background at the same place, in the form's cache (client origin at OffsetX, OffsetY).
    TsSkinProvider* provider = ProviderOf(form);
    const testkit::PixelImage shot = testkit::ScreenPixels(frame->Handle());
    const TColor under = PixelOf(provider->SkinData()->FCacheBmp.get(), provider->OffsetX() + 20 + 150,
                                 provider->OffsetY() + 20 + 100);
    EXPECT_EQ(shot.Pixel(150, 100), static_cast<COLORREF>(under));
    // The cache answered to children is the frame's own, at its origin.
    GlobalCacheInfo.Ready = false;
    SendAMessage(frame, AC_GETCACHEINFO);
    EXPECT_TRUE(GlobalCacheInfo.Ready);
    EXPECT_EQ(GlobalCacheInfo.Bmp, adapter->SkinData()->FCacheBmp.get());
    EXPECT_EQ(std::make_pair(GlobalCacheInfo.X, GlobalCacheInfo.Y), std::make_pair(0, 0));
}

TEST_F(FrameTest, OnAnythingButAFrameItRefusesWithABox)
{
    TScriptedPromptService prompts;
    TPromptServiceGuard guard(prompts);
    const TWndMethod own = form->WindowProc;
    auto* adapter = Create<TsFrameAdapter>(form);
    ASSERT_EQ(prompts.Shown.size(), 1u);
    EXPECT_EQ(prompts.Shown[0].Text, "TsFrameAdapter adapter must be placed on the handled frame");
    EXPECT_EQ(adapter->Frame, nullptr);
    EXPECT_TRUE(form->WindowProc == own) << "nothing taken over";
    adapter->Free();
}

TEST_F(FrameTest, TheSkinnedBarsScrollTheContentAndLeaveTheCornerFree)
{
    TTestFrame* frame = MakeFrame();
    TsFrameAdapter* adapter = frame->Adapter;
    EXPECT_EQ(adapter->VertBar, nullptr) << "the content fits";
    frame->Panel->SetHeight(300);
    adapter->RefreshScrolls();
    TsScrollBar* v = adapter->VertBar;
    ASSERT_NE(v, nullptr);
    EXPECT_EQ(adapter->HorzBar, nullptr);
    EXPECT_EQ(v->Parent(), form);
    EXPECT_EQ(v->BoundsRect(), Rect(220 - CX, 20, 220, 170));
    EXPECT_EQ(v->Max(), 10 + 300 - 150);
    v->SetPosition(30);
    EXPECT_EQ(frame->Panel->Top(), -20);
    EXPECT_EQ(frame->Shape->Top(), 40);
    // Wider content too: each bar stops at the other.
    frame->Panel->SetWidth(300);
    adapter->RefreshScrolls();
    TsScrollBar* h = adapter->HorzBar;
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(v->BoundsRect(), Rect(220 - CX, 20, 220, 170 - CY));
    EXPECT_EQ(h->BoundsRect(), Rect(20, 170 - CY, 220 - CX, 170));
    EXPECT_EQ(v->Position(), 30) << "a refresh keeps what is scrolled";
    EXPECT_EQ(v->Max(), 10 + 300 - (150 - CY)) << "the content as it lies unscrolled";
    // A frame moved takes its bars along; grown past its content, it has the content back at its
    // place and no bars.
    frame->SetBounds(40, 30, 200, 150);
    EXPECT_EQ(v->BoundsRect(), Rect(240 - CX, 30, 240, 180 - CY));
    EXPECT_EQ(h->BoundsRect(), Rect(40, 180 - CY, 240 - CX, 180));
    frame->SetBounds(40, 30, 400, 350);
    EXPECT_FALSE(v->Visible());
    EXPECT_FALSE(h->Visible());
    EXPECT_EQ(std::make_pair(frame->Panel->Top(), frame->Shape->Top()), std::make_pair(10, 70));
}

TEST_F(FrameTest, AHiddenOwnBarGetsNoSkinnedOne)
{
    TTestFrame* frame = MakeFrame(false);
    frame->Panel->SetBounds(10, 10, 300, 300);
    frame->Adapter->RefreshScrolls();
    EXPECT_EQ(frame->Adapter->VertBar, nullptr);
    ASSERT_NE(frame->Adapter->HorzBar, nullptr);
    EXPECT_EQ(frame->Adapter->HorzBar->BoundsRect(), Rect(20, 170 - CY, 220, 170));
}

TEST_F(FrameTest, WithoutTheSkinTheFrameScrollsItselfAgain)
{
    TTestFrame* frame = MakeFrame();
    frame->Panel->SetHeight(300);
    frame->Adapter->RefreshScrolls();
    ASSERT_NE(frame->Adapter->VertBar, nullptr);
    frame->Adapter->VertBar->SetPosition(40);
    EXPECT_FALSE(GetWindowLongA(frame->Handle(), GWL_STYLE) & WS_VSCROLL) << "its own bar hidden while skinned";
    Manager()->SetActive(false);
    EXPECT_EQ(frame->Panel->Top(), 10);
    EXPECT_FALSE(frame->Adapter->VertBar->Visible());
    EXPECT_TRUE(GetWindowLongA(frame->Handle(), GWL_STYLE) & WS_VSCROLL);
    EXPECT_TRUE(frame->Adapter->FrameHandled()) << "answered without a skin too";
    // A frame made while no skin is on keeps its own bars until one comes.
    TTestFrame* plain = MakeFrame();
    plain->Panel->SetHeight(300);
    plain->Realign();
    EXPECT_TRUE(GetWindowLongA(plain->Handle(), GWL_STYLE) & WS_VSCROLL);
    Manager()->SetActive(true);
    EXPECT_FALSE(GetWindowLongA(plain->Handle(), GWL_STYLE) & WS_VSCROLL);
    EXPECT_NE(plain->Adapter->VertBar, nullptr);
    // An adapter freed under a later take-over of the frame lets go, and the frame goes on
    // answering for itself.
    TLaterTakeOver later(plain);
    plain->Adapter->Free();
    RECT r;
    GetWindowRect(plain->Handle(), &r);
    EXPECT_EQ(plain->Perform(WM_NCHITTEST, 0, MAKELPARAM(r.left + 50, r.top + 50)), HTCLIENT);
    EXPECT_FALSE(GetBoolMsg(plain, AC_ISSKINNED));
    EXPECT_GT(later.Seen, 0);
}
