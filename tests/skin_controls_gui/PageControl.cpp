// The skinned page control: its tabs and body painted from the skin (the active tab last), the
// hot tab, the hints of the tabs, the skinned scroll arrows in place of the native ones, and the
// plain look where the skin lacks a section. Expected places come from the control itself: the
// system lays tabs out its own way.
#include <gtest/gtest.h>

#include <algorithm>

#include "ControlsKit.h"
#include "Forms.h"
#include "sPageControl.h"
#include "sUpDown.h"

using namespace controlskit;

namespace {

class PageControlTest : public ShippedSkinTest {
protected:
    TsPageControl* Make(int Pages, int Width, TTabPosition Position = tpTop)
    {
        auto* pc = Create<TsPageControl>(form);
        pc->SetBounds(10, 10, Width, 200);
        pc->SetTabPosition(Position);
        pc->SetParent(form);
        for (int i = 0; i < Pages; ++i) {
            auto* sheet = Create<TsTabSheet>(form);
            sheet->SetCaption("Страница " + IntToStr(i));
            sheet->SetHint("Подсказка " + IntToStr(i));
            sheet->SetPageControl(pc);
        }
        pc->SetActivePageIndex(0);
        form->Show();
        testkit::WaitIdle();
        return pc;
    }
    static int NativeArrows(TWinControl* C)
    {
        int n = 0;
        for (HWND w = GetWindow(C->Handle(), GW_CHILD); w; w = GetWindow(w, GW_HWNDNEXT)) {
            char name[32] = {};
            GetClassNameA(w, name, sizeof name);
            n += lstrcmpiA(name, UPDOWN_CLASSA) == 0;
        }
        return n;
    }
    static TPoint Centre(const TRect& R) { return TPoint{(R.left + R.right) / 2, (R.top + R.bottom) / 2}; }
    // A page's tab drawn active on its own, as the screen shows pixels.
    static testkit::PixelImage ActiveAlone(TsPageControl* Pc, int Page)
    {
        TBitmap alone(Pc->Width(), Pc->Height(), pf24bit);
        Pc->DrawSkinTab(Page, 2, alone.Canvas()->Handle());
        testkit::PixelImage drawn(Pc->Width(), Pc->Height());
        for (int y = 0; y < Pc->Height(); ++y)
            for (int x = 0; x < Pc->Width(); ++x) {
                const auto c = static_cast<COLORREF>(alone.Canvas()->Pixels(x, y));
                drawn.Data()[y * Pc->Width() + x] = (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c);
            }
        return drawn;
    }
    // What the screen shows in a rectangle of the control's client area.
    static testkit::PixelImage Shown(TsPageControl* Pc)
    {
        Pc->Repaint();
        return testkit::ScreenPixels(Pc->Handle());
    }
    static bool SameIn(const testkit::PixelImage& A, const testkit::PixelImage& B, const TRect& R)
    {
        for (int y = std::max<int>(R.top, 0); y < R.bottom; ++y)
            for (int x = std::max<int>(R.left, 0); x < R.right; ++x)
                if (A.Pixel(x, y) != B.Pixel(x, y))
                    return false;
        return true;
    }
    // Whether the screen comes to show (or to differ from) Image in R: what is drawn outside a
    // paint reaches the screen a little later.
    static bool Shows(TWinControl* C, const testkit::PixelImage& Image, const TRect& R, bool Same = true,
                      unsigned Ms = testkit::kPatienceMs)
    {
        return testkit::PumpUntil([&] { return SameIn(testkit::ScreenPixels(C->Handle()), Image, R) == Same; }, Ms);
    }
};

} // namespace

TEST_F(PageControlTest, TheActiveTabIsPaintedLastAndItsPageShowsTheControlsImage)
{
    TsPageControl* pc = Make(3, 300);
    // A user's switch: the page control paints again (its page waits for it, never it for them).
    int asked = 0;
    pc->OnChanging = [&](TObject*, bool&) { ++asked; };
    const TRect clicked = pc->TabRect(1);
    const LPARAM at = MAKELPARAM((clicked.left + clicked.right) / 2, (clicked.top + clicked.bottom) / 2);
    PostMessageA(pc->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, at);
    PostMessageA(pc->Handle(), WM_LBUTTONUP, 0, at);
    testkit::WaitIdle();
    ASSERT_EQ(pc->ActivePageIndex(), 1);
    EXPECT_EQ(asked, 1) << "one change, one question";
    pc->Pages(1)->Repaint();
    EXPECT_FALSE(pc->SkinData()->GetUpdating());
    const TRect native = pc->TabRect(1);
    const TRect active = pc->SkinTabRect(1, true);
    EXPECT_EQ(active, Rect(native.left - 2, native.top - 1, native.right + 2, native.bottom + 2));
    EXPECT_EQ(pc->SkinTabRect(0, false), Rect(pc->TabRect(0).left, pc->TabRect(0).top, pc->TabRect(0).right - 1,
                                              pc->TabRect(0).bottom + 5));
    // The active tab as it is drawn on its own covers its neighbours' edges.
    pc->Repaint();
    const testkit::PixelImage drawn = ActiveAlone(pc, 1);
    EXPECT_TRUE(Shows(pc, drawn, active));
    // The page shows the page control's image under it.
    TTabSheet* page = pc->Pages(1);
    const testkit::PixelImage sheet = testkit::ScreenPixels(page->Handle());
    TBitmap* cache = pc->SkinData()->FCacheBmp.get();
    EXPECT_EQ(sheet.Pixel(5, 5), static_cast<COLORREF>(cache->Canvas()->Pixels(page->Left() + 5, page->Top() + 5)));
    EXPECT_EQ(sheet.Pixel(page->Width() - 3, page->Height() - 3),
              static_cast<COLORREF>(cache->Canvas()->Pixels(page->Left() + page->Width() - 3,
                                                            page->Top() + page->Height() - 3)));
}

TEST_F(PageControlTest, OnlyHotTrackLightsATabUpAndNeverTheActiveOne)
{
    TsPageControl* pc = Make(3, 300);
    const TRect second = pc->SkinTabRect(1, false);
    const testkit::PixelImage normal = Shown(pc);
    auto move = [&](const TPoint& P) { pc->Perform(WM_MOUSEMOVE, 0, MAKELPARAM(P.x, P.y)); };

    move(Centre(second));
    EXPECT_TRUE(SameIn(testkit::ScreenPixels(pc->Handle()), normal, second)) << "HotTrack off: nothing repainted";
    EXPECT_FALSE(Shows(pc, normal, second, false, 200));
    pc->Perform(CM_MOUSELEAVE, 0, 0);
    EXPECT_EQ(pc->HotTab(), -1);

    pc->SetHotTrack(true);
    testkit::WaitIdle();
    move(Centre(second));
    EXPECT_EQ(pc->HotTab(), 1);
    EXPECT_TRUE(Shows(pc, normal, second, false)) << "the hot look";
    move(Centre(pc->SkinTabRect(0, false)));
    EXPECT_EQ(pc->HotTab(), -1) << "the active tab is never hot";
    EXPECT_TRUE(Shows(pc, normal, second)) << "the old hot tab back to normal";
    move(Centre(second));
    ASSERT_TRUE(Shows(pc, normal, second, false));
    pc->Perform(CM_MOUSELEAVE, 0, 0);
    EXPECT_EQ(pc->HotTab(), -1);
    EXPECT_TRUE(Shows(pc, normal, second));
}

TEST_F(PageControlTest, ATabsHintIsItsSheetsHint)
{
    TsPageControl* pc = Make(3, 300);
    THintInfo info;
    info.CursorPos = Centre(pc->SkinTabRect(2, false));
    info.HintStr = "own";
    TMessage m = MakeMessage(CM_HINTSHOW, 0, reinterpret_cast<LPARAM>(&info));
    pc->Perform(m);
    EXPECT_EQ(info.HintStr, "Подсказка 2");
    EXPECT_EQ(info.CursorRect, pc->SkinTabRect(2, false));
    info.CursorPos = TPoint{pc->Width() - 5, pc->Height() - 5};
    info.HintStr = "own";
    pc->Perform(m);
    EXPECT_EQ(info.HintStr, "own") << "elsewhere the control's own";
}

TEST_F(PageControlTest, SkinnedArrowsReplaceTheNativeOnesWhileTabsAreOutOfView)
{
    TsPageControl* pc = Make(10, 180);
    Command(pc, AC_REPAINT);
    EXPECT_EQ(NativeArrows(pc), 0);
    ASSERT_NE(pc->UpDown(), nullptr);
    EXPECT_EQ(pc->UpDown()->BoundsRect(),
              Bounds(pc->Width() - pc->UpDown()->Width(), 0, pc->UpDown()->Width(), pc->UpDown()->Height()));
    // A click scrolls the native tabs.
    const int firstLeft = pc->TabRect(0).left;
    pc->UpDown()->SetPosition(2);
    pc->UpDown()->OnClick(pc->UpDown(), btNext);
    EXPECT_LT(pc->TabRect(0).left, firstLeft);

    pc->SetTabPosition(tpBottom);
    Command(pc, AC_REPAINT);
    ASSERT_NE(pc->UpDown(), nullptr);
    EXPECT_EQ(pc->UpDown()->Top(), pc->Height() - pc->UpDown()->Height()) << "bottom tabs: the bottom-right corner";
    pc->SetWidth(2000);
    EXPECT_EQ(pc->UpDown(), nullptr) << "all tabs fit";
    pc->SetWidth(180);
    ASSERT_NE(pc->UpDown(), nullptr);
    pc->SetMultiLine(true);
    Command(pc, AC_REPAINT);
    EXPECT_EQ(pc->UpDown(), nullptr) << "several rows need no arrows";
    pc->SetMultiLine(false);
    Command(pc, AC_REPAINT);

    // Without the skin the native arrows are back.
    sSkinData->Active = false;
    gd.clear();
    Command(pc, AC_REMOVESKIN);
    testkit::WaitIdle();
    EXPECT_EQ(pc->UpDown(), nullptr);
    EXPECT_EQ(NativeArrows(pc), 1);
    EXPECT_EQ(pc->PageCount(), 10);
    EXPECT_EQ(pc->ActivePageIndex(), 0);
}

TEST_F(PageControlTest, ATabSizeChangeGivesThePaintingBack)
{
    TsPageControl* pc = Make(3, 300);
    pc->Perform(TCM_SETITEMSIZE, 0, MAKELPARAM(90, 24));
    EXPECT_FALSE(pc->TabChanging());
    TMessage m = MakeMessage(SM_SKINCMD, MAKEWPARAM(0, AC_GETUPDATING), 0);
    pc->Perform(m);
    pc->Repaint();
    pc->Perform(m);
    EXPECT_EQ(m.LParam, 0) << "the pages are not held";
}

TEST_F(PageControlTest, WhereTheSkinLacksASectionTheTabsOrTheWholeControlArePlain)
{
    // Without "TABLEFT" the left tabs are not skinned; the body still is.
    for (TsGeneralData& g : gd)
        if (g.ClassName == "TABLEFT")
            g.ClassName = "GONE";
    InitConstantIndexes();
    TsPageControl* pc = Make(2, 300, tpLeft);
    EXPECT_FALSE(TabSkinOf(tpLeft).Usable());
    EXPECT_TRUE(TabSkinOf(tpTop).Usable());
    pc->Repaint();
    EXPECT_TRUE(pc->SkinData()->Skinned());
    // Without "PAGECONTROLLEFT" the control is the framework's page control.
    for (TsGeneralData& g : gd)
        if (g.ClassName == "PAGECONTROLLEFT")
            g.ClassName = "GONE";
    pc->Repaint();
    EXPECT_FALSE(pc->SkinData()->Skinned());
    TMessage m = MakeMessage(SM_SKINCMD, MAKEWPARAM(0, AC_GETCACHEINFO), 0);
    pc->Perform(m);
    EXPECT_FALSE(GlobalCacheInfo.Ready);
}

TEST(TabPainting, RowsCountFromTheFarthestAndAnEmptyTabHasNone)
{
    const TRect strip = Rect(0, 0, 300, 60);
    struct {
        TTabPosition Position;
        TRect Tab;
        int Rows, Row;
    } cases[] = {
        {tpTop, Rect(10, 2, 80, 22), 3, 1},    {tpTop, Rect(10, 42, 80, 62), 3, 3},
        {tpTop, Rect(10, 42, 80, 62), 1, 1},   {tpBottom, Rect(10, 0, 80, 20), 3, 3},
        {tpBottom, Rect(10, 40, 80, 60), 3, 1}, {tpLeft, Rect(2, 10, 22, 80), 2, 1},
        {tpRight, Rect(0, 10, 20, 80), 2, 2},  {tpTop, Rect(10, 20, 10, 20), 3, 1},
        {tpLeft, Rect(20, 10, 20, 80), 2, 1},
    };
    for (const auto& c : cases)
        EXPECT_EQ(TabRowOf(c.Position, c.Tab, strip, c.Rows), c.Row)
            << c.Position << " " << c.Tab.left << "," << c.Tab.top << " of " << c.Rows;
}

TEST_F(PageControlTest, ACaptionWithoutAnImageIsNotMovedForOne)
{
    TsPageControl* pc = Make(1, 300);
    auto* images = Create<TImageList>(form, 16, 16);
    TBitmap strip(32, 16, pf24bit);
    images->Add(&strip, nullptr);
    auto draw = [&](TCustomImageList* List, int Index) {
        auto bmp = std::make_unique<TBitmap>(120, 24, pf24bit);
        bmp->Canvas()->Brush()->SetColor(clWhite);
        bmp->Canvas()->FillRect(Rect(0, 0, 120, 24));
        TsTabCaption caption;
        caption.Text = "Поиск";
        caption.ImageIndex = Index;
        DrawTabCaption(bmp->Canvas(), Rect(0, 0, 120, 24), tpTop, pc, pc->SkinData(), List, caption);
        return bmp;
    };
    auto plain = draw(nullptr, -1), none = draw(images, -1), image = draw(images, 1);
    ExpectSameBitmap(plain.get(), none.get(), "image index -1");
    int differ = 0;
    for (int x = 0; x < 120; ++x)
        differ += plain->Canvas()->Pixels(x, 12) != image->Canvas()->Pixels(x, 12);
    EXPECT_GT(differ, 0) << "an image of the list moves it";
}

// The focus frame of a tab keeps two clear pixels from its caption, on every side of the control.
TEST_F(PageControlTest, TheFocusFrameOfATabKeepsClearOfItsCaption)
{
    TsPageControl* pc = Make(1, 300);
    pc->Font()->SetColor(static_cast<TColor>(0x0000C0));
    pc->SkinData()->CustomFont = true;
    const auto grey = static_cast<COLORREF>(0x808080);
    for (TTabPosition position : {tpTop, tpBottom, tpLeft, tpRight}) {
        const bool side = position == tpLeft || position == tpRight;
        const int w = side ? 24 : 120, h = side ? 120 : 24;
        TBitmap bmp(w, h, pf24bit);
        bmp.Canvas()->Brush()->SetColor(static_cast<TColor>(grey));
        bmp.Canvas()->FillRect(Rect(0, 0, w, h));
        TsTabCaption caption;
        caption.Text = "Статьи";
        caption.Focused = true;
        DrawTabCaption(bmp.Canvas(), Rect(0, 0, w, h), position, pc, pc->SkinData(), nullptr, caption);
        testkit::PixelImage image(w, h);
        int dots = 0;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                const auto c = static_cast<COLORREF>(bmp.Canvas()->Pixels(x, y));
                image.Data()[y * w + x] = (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c);
                dots += c == RGB(0, 0, 0);
            }
        EXPECT_GT(dots, 0) << position;
        EXPECT_EQ(DotsNearText(image, grey), 0) << position;
    }
    pc->SkinData()->CustomFont = false;
}

TEST_F(PageControlTest, PagesAddedOrRemovedWhileSkinnedBringOrFreeTheSkinnedArrowsWhichReachTheLastTab)
{
    TsPageControl* pc = Make(2, 180);
    ASSERT_EQ(pc->UpDown(), nullptr);
    for (int i = 2; i < 10; ++i) {
        auto* sheet = Create<TsTabSheet>(form);
        sheet->SetCaption("Страница " + IntToStr(i));
        sheet->SetPageControl(pc);
    }
    EXPECT_EQ(NativeArrows(pc), 0);
    ASSERT_NE(pc->UpDown(), nullptr);
    // Clicked as a user does, the arrows reach the last tab, also of those added after they came.
    for (int k = 0; k < 20 && pc->UpDown()->Position() < pc->UpDown()->Max(); ++k) {
        pc->UpDown()->SetPosition(pc->UpDown()->Position() + 1);
        pc->UpDown()->OnClick(pc->UpDown(), btNext);
    }
    EXPECT_LE(pc->TabRect(9).right, pc->Width() - pc->UpDown()->Width());
    while (pc->PageCount() > 2)
        pc->Pages(pc->PageCount() - 1)->Free();
    EXPECT_EQ(pc->UpDown(), nullptr);
}

TEST_F(PageControlTest, PagesMadeBeforeTheWindowGetTheSkinnedArrowsOnceItIsMade)
{
    TsPageControl* pc = Make(10, 180); // no skin command after the window is made
    EXPECT_EQ(NativeArrows(pc), 0);
    ASSERT_NE(pc->UpDown(), nullptr);
    // Scrolled out of view, the active tab is not drawn.
    pc->SetOwnerDraw(true);
    testkit::WaitIdle();
    ASSERT_NE(pc->UpDown(), nullptr);
    pc->UpDown()->SetPosition(2);
    pc->UpDown()->OnClick(pc->UpDown(), btNext);
    ASSERT_LE(pc->TabRect(0).right, pc->TabRect(0).left);
    std::vector<int> drawn;
    pc->OnDrawTab = [&](TCustomTabControl*, int Index, const TRect&, bool) { drawn.push_back(Index); };
    pc->SkinData()->BGChanged = true;
    pc->Repaint();
    ASSERT_FALSE(drawn.empty());
    EXPECT_TRUE(std::find(drawn.begin(), drawn.end(), 0) == drawn.end());
}

TEST_F(PageControlTest, ATabClickedByTheUserIsDrawnActiveWithoutARepaintAsked)
{
    TsPageControl* pc = Make(3, 300);
    const TRect clicked = pc->TabRect(2);
    const LPARAM at = MAKELPARAM((clicked.left + clicked.right) / 2, (clicked.top + clicked.bottom) / 2);
    PostMessageA(pc->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, at);
    PostMessageA(pc->Handle(), WM_LBUTTONUP, 0, at);
    testkit::WaitIdle();
    ASSERT_EQ(pc->ActivePageIndex(), 2);
    const testkit::PixelImage drawn = ActiveAlone(pc, 2);
    EXPECT_TRUE(Shows(pc, drawn, pc->SkinTabRect(2, true)));
}
