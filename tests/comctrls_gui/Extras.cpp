// Panels, splitters and the tray icon.
#include "ComCtrls.h"
#include "ExtCtrls.h"
#include "ImgList.h"
#include "Menus.h"
#include "ShellSeams.h"
#include "Support.h"
#include "TrayIcon.h"

#include <string>
#include <vector>

using namespace testkit;
using namespace comtest;

namespace {

class SplitterTest : public FormTest {
protected:
    void SetUp() override
    {
        FormTest::SetUp();
        form = MakeForm();
        form->SetBounds(100, 100, 500, 300);
        left = Create<TPanel>(form);
        left->SetParent(form);
        left->SetAlign(alLeft);
        left->SetWidth(150);
        splitter = Create<TSplitter>(form);
        splitter->SetParent(form);
        splitter->SetLeft(200); // placed after the panel by alignment
        rest = Create<TPanel>(form);
        rest->SetParent(form);
        rest->SetAlign(alClient);
        form->Show();
        PumpPending();
    }
    // Drags the splitter by dx pixels with the mouse.
    void Drag(int dx)
    {
        splitter->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(1, 10));
        splitter->Perform(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(1 + dx / 2, 10));
        splitter->Perform(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(1 + dx, 10));
        splitter->Perform(WM_LBUTTONUP, 0, MAKELPARAM(1 + dx, 10));
        PumpPending();
    }
    TForm* form = nullptr;
    TPanel* left = nullptr;
    TSplitter* splitter = nullptr;
    TPanel* rest = nullptr;
};

} // namespace

TEST_F(SplitterTest, DragResizesTheNeighbourWithTheProposedSize)
{
    EXPECT_EQ(splitter->Left(), 150);
    EXPECT_EQ(splitter->FindNeighbour(), left);
    std::vector<int> proposed;
    int moved = 0;
    splitter->OnCanResize = [&](TObject*, int& newSize, bool&) { proposed.push_back(newSize); };
    splitter->OnMoved = [&](TObject*) { ++moved; };
    Drag(40);
    ASSERT_EQ(proposed.size(), 2u);
    EXPECT_EQ(proposed[0], 170);
    EXPECT_EQ(proposed[1], 190);
    EXPECT_EQ(left->Width(), 190);
    EXPECT_EQ(splitter->Left(), 190);
    EXPECT_EQ(rest->Left(), 193);
    EXPECT_EQ(moved, 1);
}

TEST_F(SplitterTest, HandlerMayChangeOrRefuseTheSize)
{
    splitter->OnCanResize = [&](TObject*, int& newSize, bool& accept) {
        if (newSize > 180)
            accept = false;
        else
            newSize = 160;
    };
    Drag(20); // 170 becomes 160
    EXPECT_EQ(left->Width(), 160);
    Drag(60); // 220 is refused; the last accepted size (190 from 160 + 30) stays refused too
    EXPECT_EQ(left->Width(), 160);
}

TEST_F(SplitterTest, LiveUpdateAndSnapBelowMinSize)
{
    splitter->SetResizeStyle(rsUpdate);
    splitter->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(1, 10));
    splitter->Perform(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(31, 10));
    EXPECT_EQ(left->Width(), 180); // follows while the button is down
    splitter->Perform(WM_LBUTTONUP, 0, MAKELPARAM(31, 10));
    splitter->SetResizeStyle(rsPattern); // the drags below move the mouse from a fixed start
    splitter->SetMinSize(50);
    Drag(-150); // below the minimum: snaps shut
    EXPECT_EQ(left->Width(), 0);
    splitter->SetAutoSnap(false);
    Drag(100);
    EXPECT_EQ(left->Width(), 100);
    Drag(-90);
    EXPECT_EQ(left->Width(), 50); // held at the minimum
}

TEST_F(SplitterTest, RightAlignedSplitterGrowsItsNeighbourLeftwards)
{
    TPanel* right = Create<TPanel>(form);
    right->SetParent(form);
    right->SetAlign(alRight);
    right->SetWidth(100);
    TSplitter* s2 = Create<TSplitter>(form);
    s2->SetParent(form);
    s2->SetAlign(alRight);
    s2->SetLeft(right->Left() - 10);
    PumpPending();
    ASSERT_EQ(s2->FindNeighbour(), right);
    s2->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(1, 10));
    s2->Perform(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(-29, 10));
    s2->Perform(WM_LBUTTONUP, 0, MAKELPARAM(-29, 10));
    EXPECT_EQ(right->Width(), 130);
    EXPECT_EQ(right->Left() + right->Width(), form->ClientWidth());
}

TEST_F(FormTest, PanelBevelsShrinkTheClientAreaAndSurviveRecreation)
{
    TForm* form = MakeForm();
    form->SetBounds(100, 100, 300, 200);
    TPanel* panel = Create<TPanel>(form);
    panel->SetParent(form);
    panel->SetBounds(10, 10, 200, 120);
    panel->SetBevelInner(bvLowered);
    panel->SetBevelWidth(2);
    panel->SetBorderWidth(3);
    panel->SetCaption("Примечание");
    TPanel* child = Create<TPanel>(form);
    child->SetParent(panel);
    child->SetAlign(alClient);
    form->Show();
    PumpPending();
    EXPECT_EQ(child->BoundsRect(), Rect(7, 7, 193, 113)); // outer 2 + border 3 + inner 2
    // The raised outer bevel: highlight on the top-left, shadow on the bottom-right.
    panel->Repaint();
    PixelImage px = ScreenPixels(panel->Handle());
    const auto highlight = static_cast<COLORREF>(ColorToRGB(clBtnHighlight));
    const auto shadow = static_cast<COLORREF>(ColorToRGB(clBtnShadow));
    EXPECT_EQ(px.Pixel(5, 0), highlight);
    EXPECT_EQ(px.Pixel(0, 40), highlight);
    EXPECT_EQ(px.Pixel(5, 119), shadow);
    EXPECT_EQ(px.Pixel(199, 40), shadow);
    // The lowered inner bevel inside the border: shadow first.
    EXPECT_EQ(px.Pixel(20, 2 + 3), shadow);
    panel->SetBorderStyle(bsSingle); // re-created with a sunken edge
    EXPECT_NE(GetWindowLongA(panel->Handle(), GWL_EXSTYLE) & WS_EX_CLIENTEDGE, 0);
    EXPECT_EQ(panel->Caption(), "Примечание");
    EXPECT_EQ(GetParent(child->Handle()), panel->Handle());
    EXPECT_EQ(child->Width(), panel->ClientWidth() - 14);
}

TEST_F(FormTest, ImageScalesKeepingItsProportions)
{
    TForm* form = MakeForm();
    TImage* image = Create<TImage>(form);
    image->SetParent(form);
    image->SetBounds(0, 0, 100, 100);
    auto bmp = std::make_unique<TBitmap>(200, 50);
    image->Picture()->SetGraphic(bmp.get());
    EXPECT_EQ(image->DestRect(), Rect(0, 0, 200, 50));
    image->SetProportional(true);
    EXPECT_EQ(image->DestRect(), Rect(0, 0, 100, 25));
    image->SetCenter(true);
    EXPECT_EQ(image->DestRect(), Rect(0, 37, 100, 62));
    image->SetProportional(false);
    image->SetStretch(true);
    EXPECT_EQ(image->DestRect(), Rect(0, 0, 100, 100));
    image->SetAutoSize(true);
    EXPECT_EQ(image->Width(), 200);
    EXPECT_EQ(image->Height(), 50);
}

// --- Tray icon ------------------------------------------------------------------------------

namespace {

class TrayIconTest : public FormTest {
protected:
    std::vector<TShellCall> IconCalls()
    {
        std::vector<TShellCall> out;
        for (const TShellCall& c : shell.Calls)
            if (c.Kind == TShellCall::ckNotifyIcon)
                out.push_back(c);
        return out;
    }
    TRecordingShell shell;
    TShellServiceGuard guard{shell};
};

} // namespace

TEST_F(TrayIconTest, HintRuleAndAddModifyDelete)
{
    TTrayIcon* tray = Create<TTrayIcon>(nullptr);
    tray->SetHint("VLN - Vellorn");
    tray->SetVisible(true);
    auto calls = IconCalls();
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].Message, static_cast<DWORD>(NIM_ADD));
    EXPECT_EQ(calls[0].Tip, "VLN - Vellorn");
    EXPECT_EQ(calls[0].Owner, tray->WindowHandle());
    EXPECT_EQ(calls[0].CallbackMessage, TTrayIcon::CallbackMessage);
    EXPECT_NE(calls[0].NotifyFlags & NIF_ICON, 0u);

    tray->SetHint(std::string(64, 'x')); // too long: refused
    EXPECT_EQ(tray->Hint(), "VLN - Vellorn");
    tray->SetHint("VLN - Vellorn"); // the same: nothing to do
    EXPECT_EQ(IconCalls().size(), 1u);
    const std::string longest(63, 'y');
    tray->SetHint(longest);
    calls = IconCalls();
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[1].Message, static_cast<DWORD>(NIM_MODIFY));
    EXPECT_EQ(calls[1].Tip, longest);

    tray->Free();
    calls = IconCalls();
    ASSERT_EQ(calls.size(), 3u);
    EXPECT_EQ(calls[2].Message, static_cast<DWORD>(NIM_DELETE));
}

TEST_F(TrayIconTest, NewTaskbarAddsTheIconAgain)
{
    TTrayIcon* tray = Create<TTrayIcon>(nullptr);
    AtTearDown([tray] { tray->Free(); });
    SendMessageA(tray->WindowHandle(), RegisterWindowMessageA("TaskbarCreated"), 0, 0);
    EXPECT_TRUE(IconCalls().empty()); // not shown: nothing to add
    tray->SetHint("Vellorn");
    tray->SetVisible(true);
    // The shell broadcasts the message to every top-level window when it starts again.
    SendMessageA(HWND_BROADCAST, RegisterWindowMessageA("TaskbarCreated"), 0, 0);
    PumpPending();
    auto calls = IconCalls();
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[1].Message, static_cast<DWORD>(NIM_ADD));
    EXPECT_EQ(calls[1].Tip, "Vellorn");
    tray->SetVisible(false);
    EXPECT_EQ(IconCalls().back().Message, static_cast<DWORD>(NIM_DELETE));
    EXPECT_FALSE(tray->Added());
}

TEST_F(TrayIconTest, IconComesFromTheImageListAndDoubleClickRestores)
{
    TImageList* images = Create<TImageList>(nullptr);
    AtTearDown([images] { images->Free(); });
    auto bmp = std::make_unique<TBitmap>(32, 16);
    bmp->Canvas()->Brush()->SetColor(clRed);
    bmp->Canvas()->FillRect(RECT{0, 0, 32, 16});
    images->AddMasked(bmp.get(), clFuchsia);
    TTrayIcon* tray = Create<TTrayIcon>(nullptr);
    AtTearDown([tray] { tray->Free(); });
    tray->SetIcons(images);
    tray->SetIconIndex(1);
    tray->SetVisible(true);
    ASSERT_EQ(IconCalls().size(), 1u);
    EXPECT_NE(IconCalls()[0].Icon, nullptr);
    tray->SetIconIndex(0);
    EXPECT_EQ(IconCalls().back().Message, static_cast<DWORD>(NIM_MODIFY));

    TForm* main = MakeForm();
    Application->SetMainForm(main);
    AtTearDown([] { Application->SetMainForm(nullptr); });
    int dbl = 0, restored = 0;
    tray->OnDblClick = [&](TObject*) { ++dbl; };
    tray->OnRestore = [&](TObject*) { ++restored; };
    main->Show();
    Application->Minimize(); // the task-bar entry goes away with the window
    PumpPending();
    EXPECT_FALSE(IsWindowVisible(main->Handle()));
    SendMessageA(tray->WindowHandle(), TTrayIcon::CallbackMessage, 1, WM_LBUTTONDBLCLK);
    PumpPending();
    EXPECT_EQ(dbl, 1);
    EXPECT_EQ(restored, 1);
    EXPECT_TRUE(IsWindowVisible(main->Handle()));
    EXPECT_FALSE(IsIconic(main->Handle()));
    EXPECT_FALSE(Application->Minimized());
}

namespace {

class TMenuProbe : public TPopupMenu {
    VCL_CLASS(TMenuProbe, TPopupMenu)
public:
    using TPopupMenu::TPopupMenu;
    void Popup(int X, int Y) override { points.push_back(TPoint{X, Y}); }
    std::vector<TPoint> points;
};

} // namespace

TEST_F(TrayIconTest, MenuOpensOnRightButtonReleaseAtTheCursor)
{
    TTrayIcon* tray = Create<TTrayIcon>(nullptr);
    AtTearDown([tray] { tray->Free(); });
    auto* menu = Create<TMenuProbe>(nullptr);
    AtTearDown([menu] { menu->Free(); });
    tray->SetPopupMenu(menu);
    tray->SetVisible(true);
    SetCursorPos(300, 200);
    SendMessageA(tray->WindowHandle(), TTrayIcon::CallbackMessage, 1, WM_RBUTTONDOWN);
    EXPECT_TRUE(menu->points.empty()); // not on the press
    SendMessageA(tray->WindowHandle(), TTrayIcon::CallbackMessage, 1, WM_RBUTTONUP);
    ASSERT_EQ(menu->points.size(), 1u);
    POINT cursor{};
    GetCursorPos(&cursor);
    EXPECT_EQ(menu->points[0].x, cursor.x);
    EXPECT_EQ(menu->points[0].y, cursor.y);
    EXPECT_EQ(menu->PopupComponent, tray);
    SendMessageA(tray->WindowHandle(), TTrayIcon::CallbackMessage, 1, WM_LBUTTONUP);
    EXPECT_EQ(menu->points.size(), 1u); // a left click opens nothing
}
