// The client of a skinned MDI parent: its wall and edge from the form's image, skinned bars over
// its own that scroll it from its own origin, and the maximised child's items in the menu line.
#include <gtest/gtest.h>

#include "../kit/ProgramRun.h"
#include "../skin_forms_gui/FormsKit.h"
#include "sLabel.h"
#include "sMDIForm.h"
#include "sMessages.h"
#include "sPanel.h"
#include "sScrollBar.h"
#include "sSkinMenus.h"
#include "sVclUtils.h"

using namespace formskit;

namespace {

class MDITest : public SkinnedFormTest {
protected:
    void SetUp() override
    {
        SkinnedFormTest::SetUp();
        UseSkin("Neutral");
        parent = MakeForm();
        parent->SetBounds(100, 100, 500, 400);
        parent->SetFormStyle(fsMDIForm);
        auto* menu = Create<TMainMenu>(parent);
        auto* file = Create<TMenuItem>(parent);
        file->SetName("File");
        file->SetCaption("File");
        menu->Items()->Add(file);
        parent->SetMenu(menu);
        provider = Create<TsSkinProvider>(parent);
        parent->Show();
        TCustomForm* savedMain = Application->MainForm();
        Application->SetMainForm(parent);
        AtTearDown([savedMain] { Application->SetMainForm(savedMain); });
        Paint(parent);
    }
    TForm* Child(int Left, int Top, bool WithProvider = false)
    {
        TForm* child = MakeForm();
        child->SetFormStyle(fsMDIChild);
        child->SetBounds(Left, Top, 200, 150);
        if (WithProvider)
            Create<TsSkinProvider>(child);
        child->Show();
        Paint(parent);
        return child;
    }
    TsMDIForm* mdi() { return provider->MDIForm(); }
    HWND client() { return parent->ClientHandle(); }
    TForm* parent = nullptr;
    TsSkinProvider* provider = nullptr;
};

} // namespace

TEST_F(MDITest, TheClientShowsTheFormsImageAndAnswersForItself)
{
    ASSERT_NE(mdi(), nullptr);
    EXPECT_EQ(MDISkinProvider, provider);
    EXPECT_EQ(SendAMessage(client(), AC_ISSKINNED), 1);
    // The client window's place in the form's window, where the image has the wall section.
    RECT f, c;
    GetWindowRect(parent->Handle(), &f);
    GetWindowRect(client(), &c);
    ASSERT_EQ(mdi()->Left(), int(c.left - f.left));
    ASSERT_EQ(mdi()->Top(), int(c.top - f.top));
    TBitmap* cache = provider->SkinData()->FCacheBmp.get();
    const testkit::PixelImage shot = testkit::ScreenPixels(client());
    // The wall inside the 2-pixel edge and the edge itself (the picture is of the whole window).
    EXPECT_EQ(shot.Pixel(150, 120), static_cast<COLORREF>(PixelOf(cache, mdi()->Left() + 150, mdi()->Top() + 120)));
    EXPECT_EQ(shot.Pixel(0, 0), static_cast<COLORREF>(PixelOf(cache, mdi()->Left(), mdi()->Top())));
    // The wall section (a pattern over its colour) where the client lies, not the form's own.
    EXPECT_NE(PixelOf(cache, mdi()->Left() + 150, mdi()->Top() + 120), SectionOf("FORM").Color);

    // A graphic control of the form under the client shows on the wall.
    auto* label = Create<TsLabel>(parent);
    label->SetParent(parent);
    label->SetCaption("Wall");
    label->SetBounds(200, 150, 40, 16);
    Paint(parent);
    const testkit::PixelImage labelled = testkit::ScreenPixels(client());
    int text = 0;
    for (int y = 150; y < 166; ++y)
        for (int x = 200; x < 240; ++x)
            text += labelled.Pixel(x, y) != static_cast<COLORREF>(PixelOf(cache, mdi()->Left() + x, mdi()->Top() + y));
    EXPECT_GT(text, 10);
}

TEST_F(MDITest, BarsShowWhatDoesNotFitWithTheGripBetweenThem)
{
    TForm* inside = Child(10, 10);
    mdi()->RefreshScrolls();
    EXPECT_FALSE(mdi()->VSBar && mdi()->VSBar->Visible()) << "all children fit";
    EXPECT_FALSE(mdi()->HSBar && mdi()->HSBar->Visible());
    inside->SetBounds(400, 300, 200, 150);
    mdi()->RefreshScrolls();
    ASSERT_TRUE(mdi()->VSBar && mdi()->HSBar);
    TsScrollBar *v = mdi()->VSBar, *h = mdi()->HSBar;
    EXPECT_TRUE(v->Visible() && h->Visible());
    const int cw = parent->ClientWidth(), ch = parent->ClientHeight();
    const int cx = GetSystemMetrics(SM_CXVSCROLL), cy = GetSystemMetrics(SM_CYHSCROLL);
    EXPECT_EQ(v->BoundsRect(), Rect(cw - cx - 2, 0, cw - 1, ch - cy - 1));
    EXPECT_EQ(h->BoundsRect(), Rect(0, ch - cy - 2, cw - cx - 1, ch - 1));
    ASSERT_NE(mdi()->Grip, nullptr);
    EXPECT_TRUE(mdi()->Grip->Visible());
    EXPECT_EQ(mdi()->Grip->BoundsRect(), Rect(v->Left() + 1, h->Top() + 1, v->Left() + cx + 1, h->Top() + cy + 1));
}

TEST_F(MDITest, TheBarsScrollFromTheClientsOwnOrigin)
{
    // A child left of and above the client: the client's own ranges start below 0.
    TForm* child = Child(-120, -90);
    mdi()->RefreshScrolls();
    ASSERT_TRUE(mdi()->HSBar && mdi()->HSBar->Visible());
    ASSERT_TRUE(mdi()->VSBar && mdi()->VSBar->Visible());
    EXPECT_EQ(MDIHorzOrigin, -120);
    EXPECT_EQ(MDIVertOrigin, -90);
    EXPECT_EQ(mdi()->HSBar->Position(), 120) << "the client shows its origin's 120th column";
    mdi()->HSBar->SetPosition(0);
    mdi()->VSBar->SetPosition(0);
    EXPECT_EQ(std::make_pair(child->Left(), child->Top()), std::make_pair(0, 0)) << "scrolled to the start";
}

TEST_F(MDITest, AMaximisedChildPaintsNativelyAndPutsItsItemsInTheMenu)
{
    TForm* child = Child(400, 300, true);
    mdi()->RefreshScrolls();
    ASSERT_TRUE(mdi()->VSBar && mdi()->VSBar->Visible());
    ShowWindow(child->Handle(), SW_MAXIMIZE);
    Paint(parent);
    TMenuItem* first = parent->Menu()->Items()->Items(0);
    EXPECT_EQ(first, mdi()->ChildIconItem);
    EXPECT_EQ(first->Name(), "sMDICII");
    ASSERT_EQ(first->Count(), 4);
    EXPECT_EQ(first->Items(3)->ShortCut(), ShortCut(VK_F4, TShiftState{ssCtrl}));
    EXPECT_FALSE(mdi()->VSBar->Visible());
    // No wall under a maximised child.
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP bmp = CreateCompatibleBitmap(GetDC(nullptr), 4, 4);
    HGDIOBJ old = SelectObject(dc, bmp);
    SetPixel(dc, 1, 1, RGB(1, 2, 3));
    SendMessageA(client(), WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    EXPECT_EQ(GetPixel(dc, 1, 1), RGB(1, 2, 3));
    SelectObject(dc, old);
    DeleteObject(bmp);
    DeleteDC(dc);
    // Its restore item brings the child back and the item goes.
    first->Items(0)->Click();
    Paint(parent);
    EXPECT_FALSE(IsZoomed(child->Handle()));
    EXPECT_NE(parent->Menu()->Items()->Items(0), mdi()->ChildIconItem);
    EXPECT_TRUE(mdi()->VSBar->Visible());
    // A maximised child that goes takes its items along.
    ShowWindow(child->Handle(), SW_MAXIMIZE);
    ASSERT_EQ(parent->Menu()->Items()->Items(0), mdi()->ChildIconItem);
    child->Free();
    Paint(parent);
    EXPECT_NE(parent->Menu()->Items()->Items(0), mdi()->ChildIconItem);
}

TEST_F(MDITest, WithoutTheSkinTheClientIsLeftToItself)
{
    Child(400, 300);
    mdi()->RefreshScrolls();
    ASSERT_TRUE(mdi()->VSBar && mdi()->VSBar->Visible());
    Manager()->SetActive(false);
    EXPECT_FALSE(mdi()->VSBar->Visible());
    EXPECT_FALSE(mdi()->Grip->Visible());
    EXPECT_EQ(SendAMessage(client(), AC_ISSKINNED), 1) << "still taken over";
    // A provider that goes gives the client back.
    provider->Free();
    EXPECT_EQ(MDISkinProvider, nullptr);
    EXPECT_EQ(SendAMessage(client(), AC_ISSKINNED), 0);
}

namespace {

// A real click of the left button at a point of a window (window coordinates).
void ClickAt(HWND Wnd, TPoint P)
{
    RECT w;
    GetWindowRect(Wnd, &w);
    const POINT at{w.left + P.x, w.top + P.y};
    testkit::SendMouse(at);
    testkit::WaitIdle();
    testkit::SendMouse(at, MOUSEEVENTF_LEFTDOWN);
    testkit::WaitIdle();
    testkit::SendMouse(at, MOUSEEVENTF_LEFTUP);
    testkit::WaitIdle();
}

TPoint Middle(const TRect& R) { return TPoint{(R.left + R.right) / 2, (R.top + R.bottom) / 2}; }

} // namespace

TEST_F(MDITest, AMaximisedChildsIconAndButtonsInTheMenuLineActOnIt)
{
    for (const char* skin : {"Neutral", "Dusk"}) {
        UseSkin(skin);
        parent->SetCaption("Parent");
        TForm* child = Child(20, 20, true);
        child->SetCaption("Kid");
        bool freed = false;
        child->OnClose = TCloseEvent([](TObject*, TCloseAction& Action) { Action = caFree; });
        child->OnDestroy = TNotifyEvent([&freed](TObject*) { freed = true; });
        SetForegroundWindow(parent->Handle());
        ShowWindow(child->Handle(), SW_MAXIMIZE);
        Paint(parent);
        EXPECT_EQ(parent->Caption(), "Parent - [Kid]") << "the title joins the child's caption";
        // A new caption of the child shows in the title at once (read from the window itself).
        auto title = [&] {
            std::vector<COLORREF> pixels;
            const HDC dc = GetWindowDC(parent->Handle());
            for (int x = provider->IconRect().right; x < 200; ++x)
                for (int y = provider->SysBorderHeight(); y < provider->CaptionHeight(); ++y)
                    pixels.push_back(GetPixel(dc, x, y));
            ReleaseDC(parent->Handle(), dc);
            return pixels;
        };
        const std::vector<COLORREF> before = title();
        child->SetCaption("Other");
        EXPECT_EQ(parent->Caption(), "Parent - [Other]");
        const std::vector<COLORREF> after = title();
        int changed = 0;
        for (std::size_t i = 0; i < before.size(); ++i)
            changed += before[i] != after[i];
        EXPECT_GT(changed, 20) << skin;
        // The buttons right-aligned in the menu line, the small masks' size, with a pixel between.
        const int w = provider->SmallButtonWidth(), h = provider->SmallButtonHeight();
        const int right = parent->Width() - provider->SysBorderWidth();
        const int top = provider->HeaderHeight() - (provider->MenuHeight() - h) / 2 - h - 1;
        EXPECT_EQ(provider->MDIClose.Rect, Rect(right - w - 1, top, right - 1, top + h)) << skin;
        EXPECT_EQ(provider->MDIMax.Rect, Rect(right - 2 * (w + 1), top, right - w - 2, top + h));
        EXPECT_EQ(provider->MDIMin.Rect, Rect(right - 3 * (w + 1), top, right - 2 * w - 3, top + h));
        // Each shows its glyph over the line, as the window shows it.
        TBitmap* line = provider->MenuLineBmp();
        const int lineTop = provider->MenuLineTop();
        auto drawn = [&](const TRect& r) {
            const testkit::PixelImage shot = testkit::ScreenPixels(parent->Handle());
            int differs = 0;
            for (int y = std::max<int>(r.top, lineTop); y < std::min<int>(r.bottom, lineTop + line->Height()); ++y)
                for (int x = r.left; x < r.right; ++x)
                    differs += shot.Pixel(x, y) != static_cast<COLORREF>(PixelOf(line, x, y - lineTop));
            return differs;
        };
        for (const TsCaptionButton* b : {&provider->MDIMin, &provider->MDIMax, &provider->MDIClose})
            EXPECT_GT(drawn(b->Rect), 10) << skin;
        // The child's icon starts the line.
        const int icon = provider->SysBorderWidth() + 1;
        EXPECT_GT(drawn(Rect(icon, lineTop + 1, icon + provider->MenuHeight() - 2, lineTop + provider->MenuHeight() - 1)),
                  10);
        EXPECT_EQ(HitTest(parent, Middle(provider->MDIClose.Rect).x, Middle(provider->MDIClose.Rect).y), HTMDICLOSE);
        EXPECT_EQ(HitTest(parent, Middle(provider->MDIMax.Rect).x, Middle(provider->MDIMax.Rect).y), HTMDIMAX);
        EXPECT_EQ(HitTest(parent, Middle(provider->MDIMin.Rect).x, Middle(provider->MDIMin.Rect).y), HTMDIMIN);
        testkit::SaveScreenshot(std::string("mdi_menu_line_") + skin + ".png", parent->Handle());

        // Restore brings the child back; the line and the title lose it.
        const TRect closeRect = provider->MDIClose.Rect;
        ClickAt(parent->Handle(), Middle(provider->MDIMax.Rect));
        Paint(parent);
        EXPECT_FALSE(IsZoomed(child->Handle())) << skin;
        EXPECT_EQ(parent->Caption(), "Parent");
        child->SetCaption("Kid");
        EXPECT_EQ(HitTest(parent, Middle(closeRect).x, Middle(closeRect).y), HTMENU);
        EXPECT_EQ(drawn(closeRect), 0) << "no button left in the line";
        // Close closes it.
        ShowWindow(child->Handle(), SW_MAXIMIZE);
        Paint(parent);
        ClickAt(parent->Handle(), Middle(provider->MDIClose.Rect));
        EXPECT_TRUE(testkit::PumpUntil([&] { return freed; })) << skin;
        Paint(parent);
        EXPECT_FALSE(provider->MDIButtonsNeeded());
    }
}

TEST_F(MDITest, TheActiveChildsMenuShowsInTheParentsMenuLine)
{
    TForm* child = MakeForm();
    child->SetFormStyle(fsMDIChild);
    auto* menu = Create<TMainMenu>(child);
    auto* tools = Create<TMenuItem>(child);
    tools->SetName("Tools");
    tools->SetCaption("Tools");
    tools->SetGroupIndex(5);
    menu->Items()->Add(tools);
    child->SetMenu(menu);
    Create<TsSkinProvider>(child);
    child->Show();
    Paint(parent);
    // Where the system put the child's item on the parent's bar, the line shows its caption.
    const HMENU bar = GetMenu(parent->Handle());
    int at = -1;
    for (int i = 0; i < GetMenuItemCount(bar); ++i)
        if (GetMenuItemID(bar, i) == tools->Command())
            at = i;
    ASSERT_GE(at, 0) << "merged into the bar";
    RECT r, w;
    GetMenuItemRect(parent->Handle(), bar, static_cast<UINT>(at), &r);
    GetWindowRect(parent->Handle(), &w);
    OffsetRect(&r, -w.left, -w.top);
    TBitmap* line = provider->MenuLineBmp();
    const int lineTop = provider->MenuLineTop();
    testkit::PixelImage shot = testkit::ScreenPixels(parent->Handle());
    int text = 0;
    for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x)
            text += shot.Pixel(x, y) != static_cast<COLORREF>(PixelOf(line, x, y - lineTop));
    EXPECT_GT(text, 20);
    // Maximised, the system adds items of its own before the others: the line shows them where
    // they went, as a fresh painting of the whole line does.
    ShowWindow(child->Handle(), SW_MAXIMIZE);
    Paint(parent);
    auto lineRows = [&] {
        shot = testkit::ScreenPixels(parent->Handle());
        std::vector<COLORREF> pixels;
        for (int y = lineTop; y < lineTop + provider->MenuHeight(); ++y)
            for (int x = 0; x < shot.Width(); ++x)
                pixels.push_back(shot.Pixel(x, y));
        return pixels;
    };
    const std::vector<COLORREF> shown = lineRows();
    provider->RepaintMenu();
    Paint(parent);
    EXPECT_TRUE(shown == lineRows());
}
