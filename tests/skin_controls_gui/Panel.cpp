// The skinned panels: a plain panel without a skin; with one, its image from the section, the
// image its children take their backgrounds from, the order in which the skin's commands reach
// them; the drag bar and the grip.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ControlsKit.h"
#include "sButton.h"
#include "sPanel.h"
#include "sVclUtils.h"

using namespace controlskit;

namespace {

constexpr TColor Green = 0x00208020, Text = 0x00E0F0FF;

class Panel : public TablesTest {
protected:
    TsPanel* Make(const char* Caption = "")
    {
        auto* p = Create<TsPanel>(form);
        p->SetBounds(10, 10, 120, 60);
        p->SetCaption(Caption);
        p->SetParent(form);
        return p;
    }
    void Show()
    {
        form->Show();
        testkit::WaitIdle();
    }
};

// A windowed child that notes the panel's section index whenever a skin command reaches it, and
// answers the skinned test.
class TWitness : public TCustomControl {
    VCL_CLASS(TWitness, TCustomControl)
public:
    TWitness(TComponent* AOwner, TsPanel* APanel) : TCustomControl(AOwner), Watched(APanel) {}
    void WndProc(TMessage& Message) override
    {
        if (Message.Msg == SM_SKINCMD && Message.WParamHi == AC_ISSKINNED) {
            Message.LParam = 1;
            return;
        }
        if (Message.Msg == SM_SKINCMD)
            Seen.push_back(std::to_string(Message.WParamHi) + ":" + std::to_string(Watched->SkinData()->SkinIndex));
        inherited::WndProc(Message);
    }
    TsPanel* Watched;
    std::vector<std::string> Seen;
};

// A parent that says it is textured, so that the moves of disabled or see-through children
// repaint them.
class TTextured : public TCustomControl {
    VCL_CLASS(TTextured, TCustomControl)
public:
    using TCustomControl::TCustomControl;
    void WndProc(TMessage& Message) override
    {
        if (Message.Msg == SM_SKINCMD && Message.WParamHi == AC_ISTEXTURED) {
            Message.LParam = 1;
            return;
        }
        inherited::WndProc(Message);
    }
};

// A control that takes the system commands it is sent, noting them.
class TMovable : public TCustomControl {
    VCL_CLASS(TMovable, TCustomControl)
public:
    using TCustomControl::TCustomControl;
    void WndProc(TMessage& Message) override
    {
        if (Message.Msg == WM_SYSCOMMAND) {
            Commands.push_back(Message.WParam);
            return;
        }
        inherited::WndProc(Message);
    }
    std::vector<WPARAM> Commands;
};

} // namespace

TEST_F(Panel, APlainPanelWithoutASkinCallsOnPaintWithItsOwnCanvas)
{
    auto* plain = Create<TPanel>(form);
    plain->SetBounds(140, 10, 120, 60);
    plain->SetCaption("Panel");
    plain->SetParent(form);
    TsPanel* p = Make("Panel");
    for (TPanel* each : {plain, static_cast<TPanel*>(p)})
        each->Font()->SetColor(Text);
    std::vector<TCanvas*> canvases;
    p->OnPaint = [&](TObject* Sender, TCanvas* Canvas) {
        EXPECT_EQ(Sender, p);
        canvases.push_back(Canvas);
    };
    Show();
    ASSERT_FALSE(canvases.empty());
    EXPECT_EQ(canvases.back(), p->Canvas());
    const testkit::PixelImage a = testkit::PrintWindowPixels(p->Handle());
    const testkit::PixelImage b = testkit::PrintWindowPixels(plain->Handle());
    int differing = 0;
    for (int y = 0; y < a.Height(); ++y)
        for (int x = 0; x < a.Width(); ++x)
            differing += a.Pixel(x, y) != b.Pixel(x, y);
    EXPECT_EQ(differing, 0);
    EXPECT_GT(a.CountColor(RECT{0, 0, a.Width(), a.Height()}, static_cast<COLORREF>(Text)), 0)
        << "the caption in the panel's font";
    EXPECT_EQ(Command(p, AC_ISSKINNED), 1);
}

TEST_F(Panel, SkinnedItsImageIsTheSectionsWithTheCaptionAndWhatOnPaintAdds)
{
    Activate({Section("PANEL", Green, clWhite, Text)});
    TsPanel* p = Make("Panel");
    std::vector<TCanvas*> canvases;
    p->OnPaint = [&](TObject*, TCanvas* Canvas) {
        canvases.push_back(Canvas);
        Canvas->SetPixels(3, 3, clRed);
    };
    Show();
    ASSERT_FALSE(canvases.empty());
    EXPECT_EQ(canvases.back(), p->SkinData()->FCacheBmp->Canvas()) << "OnPaint draws into the image";
    const testkit::PixelImage look = testkit::PrintWindowPixels(p->Handle());
    EXPECT_EQ(look.Pixel(1, 1), static_cast<COLORREF>(Green));
    EXPECT_EQ(look.Pixel(3, 3), static_cast<COLORREF>(clRed));
    EXPECT_GT(look.CountColor(RECT{0, 20, 120, 40}, static_cast<COLORREF>(Text)), 0) << "the caption, centred";
    EXPECT_EQ(look.CountColor(RECT{0, 0, 120, 15}, static_cast<COLORREF>(Text)), 0);
}

TEST_F(Panel, ChildrenTakeTheirBackgroundFromItsImageAndWaitWhileItIsStale)
{
    TsGeneralData button = Section("BUTTON", clBlack, clBlack);
    button.Transparency = 100;
    Activate({Section("PANEL", Green, clWhite), button});
    TsPanel* p = Make();
    auto* b = Create<TsButton>(form);
    b->SetBounds(20, 20, 40, 20);
    b->SetParent(p);
    b->SetTabStop(false); // not focused when the form shows
    Show();
    GlobalCacheInfo = EmptyCI;
    Command(p, AC_GETCACHEINFO);
    EXPECT_TRUE(GlobalCacheInfo.Ready);
    EXPECT_EQ(GlobalCacheInfo.Bmp, p->SkinData()->FCacheBmp.get());
    EXPECT_EQ(GlobalCacheInfo.X, 0);
    EXPECT_EQ(Command(p, AC_GETUPDATING), 0);
    EXPECT_EQ(testkit::PrintWindowPixels(b->Handle()).Pixel(2, 2), static_cast<COLORREF>(Green))
        << "a see-through button shows the panel";

    p->SkinData()->BGChanged = true;
    EXPECT_EQ(Command(p, AC_GETUPDATING), 1) << "the panel's image is stale";
}

TEST_F(Panel, APanelPartlyOutsideItsParentRebuildsItsImageAtEveryPaint)
{
    Activate({Section("PANEL", Green, clWhite)});
    auto* parent = Create<TTextured>(form);
    parent->SetBounds(0, 0, 200, 100);
    parent->SetParent(form);
    TsPanel* inside = Make();
    TsPanel* across = Make();
    across->SetLeft(parent->ClientWidth() - 20);
    Show();
    for (TsPanel* p : {inside, across}) {
        p->SetParent(parent);
        // Disabled on a textured parent, a panel is one whose moves repaint it.
        p->SetEnabled(false);
        p->Repaint();
        TBitmap* cache = p->SkinData()->FCacheBmp.get();
        cache->Canvas()->Brush()->SetColor(clRed);
        cache->Canvas()->FillRect(Rect(0, 0, 120, 60));
        p->Repaint();
    }
    EXPECT_EQ(testkit::PrintWindowPixels(inside->Handle()).Pixel(2, 2), static_cast<COLORREF>(clRed))
        << "the image kept";
    EXPECT_EQ(testkit::PrintWindowPixels(across->Handle()).Pixel(2, 2), static_cast<COLORREF>(Green))
        << "half visible: painted again";
}

TEST_F(Panel, ANewSkinReachesTheChildrenFirstItsRemovalTheChildrenLast)
{
    Activate({Section("PANEL", Green, clWhite)});
    TsPanel* p = Make();
    auto* child = Create<TWitness>(form, p);
    child->SetParent(p);
    Show();
    child->Seen.clear();
    p->SkinData()->SkinIndex = -1;
    Command(p, AC_NEWSKIN);
    Command(p, AC_REPAINT);
    Clear();
    Command(p, AC_REMOVESKIN);
    std::vector<std::string> skinCommands;
    for (const std::string& s : child->Seen)
        if (s[0] >= '1' && s[0] <= '3' && s[1] == ':')
            skinCommands.push_back(s);
    EXPECT_EQ(skinCommands, (std::vector<std::string>{"1:-1", "3:0", "2:-1"}));
}

TEST_F(Panel, TheDragBarMovesItsFormByALeftPressAfterOnMouseDown)
{
    auto* bar = Create<TsDragBar>(form);
    EXPECT_EQ(bar->Align(), alTop);
    EXPECT_EQ(bar->Height(), 20);
    EXPECT_EQ(bar->Caption(), " ");
    EXPECT_EQ(bar->Color(), clActiveCaption);
    EXPECT_EQ(bar->Cursor(), crHandPoint);
    EXPECT_EQ(bar->SkinData()->SkinSection(), "DRAGBAR");
    auto* target = Create<TMovable>(form);
    target->SetParent(form);
    bar->SetParent(form);
    bar->SetDraggedControl(target);
    std::vector<std::string> order;
    bar->OnMouseDown = [&](TObject*, TMouseButton, TShiftState, int, int) {
        order.push_back("down " + std::to_string(target->Commands.size()));
    };
    form->Show();
    bar->Perform(WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(5, 5));
    bar->Perform(WM_RBUTTONUP, 0, MAKELPARAM(5, 5));
    EXPECT_TRUE(target->Commands.empty()) << "the right button moves nothing";
    bar->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    EXPECT_EQ(target->Commands, std::vector<WPARAM>{SC_MOVE | HTCAPTION});
    EXPECT_EQ(order, (std::vector<std::string>{"down 0", "down 0"}));
    target->Free();
    EXPECT_EQ(bar->DraggedControl(), nullptr) << "a control that went is forgotten";
    bar->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));

    // Laid out on a form with no control named, the bar moves the form.
    auto* laid = Create<TsDragBar>(form);
    laid->SetParent(form);
    laid->Loaded();
    EXPECT_EQ(laid->DraggedControl(), form);
}

TEST_F(Panel, TheDragBarFollowsItsFormsActivation)
{
    TsPanel* holder = Make();
    auto* bar = Create<TsDragBar>(form);
    bar->SetParent(holder); // not on the form itself: told through its parent
    Show();
    SetActiveWindow(form->Handle());
    ASSERT_TRUE(testkit::PumpUntil([&] { return form->Active(); }));
    EXPECT_EQ(bar->Color(), clActiveCaption);
    TForm* other = MakeForm();
    other->SetBounds(400, 100, 100, 80);
    other->Show();
    SetActiveWindow(other->Handle());
    EXPECT_TRUE(testkit::PumpUntil([&] { return bar->Color() == clInactiveCaption; }));
    SetActiveWindow(form->Handle());
    EXPECT_TRUE(testkit::PumpUntil([&] { return bar->Color() == clActiveCaption; }));
}

TEST_F(Panel, TheGripKeepsItsSizeAndComesToTheTopWhenItPaints)
{
    Activate({Section("CHECKBOX", Green, clWhite)});
    auto* grip = Create<TsGrip>(form);
    EXPECT_EQ(grip->Width(), 20);
    EXPECT_EQ(grip->Height(), 20);
    EXPECT_EQ(grip->SkinData()->SkinSection(), "CHECKBOX");
    grip->SetParent(form);
    auto* above = Create<TPanel>(form);
    above->SetBounds(0, 0, 30, 30);
    above->SetParent(form);
    Show();
    above->BringToFront();
    ASSERT_NE(GetWindow(grip->Handle(), GW_HWNDPREV), nullptr) << "another window above it";
    grip->Repaint();
    EXPECT_EQ(GetWindow(grip->Handle(), GW_HWNDPREV), nullptr);
    EXPECT_EQ(testkit::PrintWindowPixels(grip->Handle()).Pixel(5, 5), static_cast<COLORREF>(Green));
}
