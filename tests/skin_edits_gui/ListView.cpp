// The skinned list view: the header painted from the skin by column state (and its fall-backs), taken
// over again whenever the native control makes one, columns without pictures, the application's
// drawing in place of the skinned background, and the skinned bars kept in step with the rows.
#include <gtest/gtest.h>

#include "../skin_controls_gui/ControlsKit.h"
#include "sListView.h"

using namespace controlskit;

namespace {

constexpr TColor Green = 0x00208020, HotGreen = 0x00F0E0D0;
constexpr TColor Plate = 0x00A06040, HotPlate = 0x0040A060, Button = 0x00303090;
constexpr TColor Normal = 0x000000FF, Lit = 0x00FF0000, Down = 0x0000FFFF, Frame = 0x00808000;

class ListView : public TablesTest {
protected:
    // EDIT, and COLHEADER (or BUTTON) with a border whose colour tells the state.
    void Skin(const char* Header = "COLHEADER")
    {
        std::vector<TsGeneralData> sections{Section("EDIT", Green, HotGreen)};
        if (*Header)
            sections.push_back(Section(Header, std::string(Header) == "BUTTON" ? Button : Plate, HotPlate));
        Activate(sections);
        AddBorder("EDIT", {Frame, Frame, Frame});
        if (*Header)
            AddBorder(Header, {Normal, Lit, Down});
    }
    TsListView* Make(TViewStyle Style = vsReport, int Rows = 40, int Columns = 3)
    {
        auto* l = Create<TsListView>(form);
        l->SetBounds(10, 10, 260, 150);
        l->SetViewStyle(Style);
        for (int i = 0; i < Columns; ++i) {
            TListColumn* c = l->Columns()->Add();
            c->SetCaption("Column " + IntToStr(i));
            c->SetWidth(70);
        }
        for (int i = 0; i < Rows; ++i) {
            TListItem* item = l->Items()->Add();
            item->SetCaption("Row " + IntToStr(i));
            item->SubItems()->Add("sub " + IntToStr(i));
        }
        l->SetParent(form);
        return l;
    }
    void Show()
    {
        form->Show();
        testkit::WaitIdle();
    }
    static RECT ItemRect(TsListView* L, int Index)
    {
        RECT r{};
        Header_GetItemRect(L->HeaderHandle(), Index, &r);
        return r;
    }
    // The header as it paints itself.
    static testkit::PixelImage Header(TsListView* L) { return testkit::PrintWindowPixels(L->HeaderHandle()); }
    // The header's pixel on the left edge of an item's border, which tells the item's state.
    static COLORREF StatePixel(TsListView* L, int Index)
    {
        const RECT r = ItemRect(L, Index);
        return Header(L).Pixel(r.left + 1, (r.top + r.bottom) / 2);
    }
    static void PressHeader(TsListView* L, int X)
    {
        SendMessageA(L->HeaderHandle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(X, 5));
    }
    static void ReleaseHeader(TsListView* L, int X)
    {
        SendMessageA(L->HeaderHandle(), WM_LBUTTONUP, 0, MAKELPARAM(X, 5));
    }
    static void HoverHeader(TsListView* L, int X)
    {
        POINT p{X, 5};
        ClientToScreen(L->HeaderHandle(), &p);
        SendMessageA(L->HeaderHandle(), WM_NCHITTEST, 0, MAKELPARAM(p.x, p.y));
    }
};

} // namespace

TEST_F(ListView, TheHeaderIsPaintedFromTheSkinByTheColumnsState)
{
    Skin();
    TsListView* l = Make();
    Show();
    ASSERT_NE(l->HeaderHandle(), nullptr);
    EXPECT_EQ(l->HeaderHandle(), ListView_GetHeader(l->Handle()));
    EXPECT_EQ(StatePixel(l, 0), Through(Normal));
    EXPECT_EQ(StatePixel(l, 1), Through(Normal));
    // The rest of the header after the last column is painted too.
    const RECT last = ItemRect(l, 2);
    const testkit::PixelImage header = Header(l);
    EXPECT_EQ(header.Pixel(last.right + 1, (last.top + last.bottom) / 2), Through(Normal));
    EXPECT_EQ(header.Pixel(last.right + 10, (last.top + last.bottom) / 2), Through(Plate));
    EXPECT_EQ(l->HeaderHeight, last.bottom - last.top);

    HoverHeader(l, 100);
    EXPECT_EQ(l->HotColumn(), 1);
    EXPECT_EQ(StatePixel(l, 1), Through(Lit));
    EXPECT_EQ(StatePixel(l, 0), Through(Normal));
    PressHeader(l, 20);
    EXPECT_EQ(l->PressedColumn(), 0);
    EXPECT_EQ(StatePixel(l, 0), Through(Down));
    EXPECT_EQ(StatePixel(l, 1), Through(Normal)) << "while a column is pressed no other is hot";
    ReleaseHeader(l, 20);
    EXPECT_EQ(l->PressedColumn(), -1);
    // A press on a divider sizes a column and presses none.
    const RECT first = ItemRect(l, 0);
    PressHeader(l, first.right - 1);
    EXPECT_EQ(l->PressedColumn(), -1);
    ReleaseHeader(l, first.right - 1);
    // The mouse over the rows leaves the header.
    POINT row{50, 80};
    ClientToScreen(l->Handle(), &row);
    SendMessageA(l->Handle(), WM_NCHITTEST, 0, MAKELPARAM(row.x, row.y));
    EXPECT_EQ(l->HotColumn(), -2);
}

TEST_F(ListView, AHeaderWithoutItsSectionFallsBackToTheButtonAndThenToTheFaceColour)
{
    Skin("BUTTON");
    TsListView* l = Make();
    Show();
    EXPECT_EQ(StatePixel(l, 0), Through(Normal));
    const RECT last = ItemRect(l, 2);
    EXPECT_EQ(Header(l).Pixel(last.right + 10, 8), Through(Button));
    form->Free();
    form = MakeForm();
    form->SetBounds(100, 100, 300, 200);
    Skin("");
    l = Make();
    Show();
    EXPECT_EQ(StatePixel(l, 1), static_cast<COLORREF>(ColorToRGB(clBtnFace)));
}

TEST_F(ListView, TheHeaderIsTakenOverAgainWhenTheNativeControlMakesANewOne)
{
    Skin();
    TsListView* l = Make(vsIcon, 5, 0);
    Show();
    EXPECT_EQ(l->HeaderHandle(), nullptr) << "no columns, no header yet";
    l->SetViewStyle(vsReport);
    for (int i = 0; i < 2; ++i)
        l->Columns()->Add()->SetWidth(80);
    ASSERT_NE(ListView_GetHeader(l->Handle()), nullptr);
    EXPECT_EQ(l->HeaderHandle(), ListView_GetHeader(l->Handle()));
    EXPECT_EQ(StatePixel(l, 1), Through(Normal));
    const HWND before = l->HeaderHandle();
    l->SetBorderStyle(bsNone); // re-creates the window and with it the header
    ASSERT_NE(ListView_GetHeader(l->Handle()), before);
    EXPECT_EQ(l->HeaderHandle(), ListView_GetHeader(l->Handle()));
    EXPECT_EQ(StatePixel(l, 1), Through(Normal));
}

TEST_F(ListView, AColumnWithoutAPictureCarriesNoImageFlagAndTheOrderArrayFitsTheHeader)
{
    Skin();
    TsListView* l = Make();
    l->SetFullDrag(true);
    Show();
    // Columns put in around the framework's list, as the system's own callers do.
    LVCOLUMNA c{};
    c.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_IMAGE | LVCF_FMT;
    c.fmt = LVCFMT_LEFT;
    c.cx = 30;
    c.iImage = -1;
    c.pszText = const_cast<char*>("raw");
    l->Perform(LVM_INSERTCOLUMNA, 3, reinterpret_cast<LPARAM>(&c));
    HDITEMA hi{};
    hi.mask = HDI_FORMAT;
    Header_GetItem(l->HeaderHandle(), 3, &hi);
    EXPECT_FALSE(hi.fmt & HDF_IMAGE);
    c.iImage = 0;
    c.fmt |= LVCFMT_IMAGE | LVCFMT_COL_HAS_IMAGES;
    l->Perform(LVM_SETCOLUMNA, 3, reinterpret_cast<LPARAM>(&c));
    Header_GetItem(l->HeaderHandle(), 3, &hi);
    EXPECT_TRUE(hi.fmt & HDF_IMAGE) << "a picture keeps its room";
    // Four header items for three columns of the model: every item is painted at its own place.
    int order[] = {3, 2, 1, 0};
    Header_SetOrderArray(l->HeaderHandle(), 4, order);
    EXPECT_EQ(l->GetHeaderColumnRect(0).left, 0);
    EXPECT_EQ(l->GetHeaderColumnRect(0).right, ItemRect(l, 3).right);
    EXPECT_EQ(StatePixel(l, 3), Through(Normal));
    const RECT first = ItemRect(l, 0);
    PressHeader(l, (first.left + first.right) / 2);
    EXPECT_EQ(l->PressedColumn(), 0);
    EXPECT_EQ(StatePixel(l, 0), Through(Down)) << "the pressed look where the pressed column is shown";
    EXPECT_EQ(StatePixel(l, 3), Through(Normal));
    ReleaseHeader(l, (first.left + first.right) / 2);
}

TEST_F(ListView, ACaptionWiderThanItsColumnKeepsItsStartInView)
{
    TBitmap bmp(60, 20, pf24bit);
    const TRect r{4, 1, 40, 19};
    for (TAlignment a : {taLeftJustify, taRightJustify, taCenter}) {
        EXPECT_EQ(TsListView::DrawTextAligned(bmp.Canvas(), r, "Attributes of the file", a, 2, 0).x, 4) << a;
        EXPECT_EQ(TsListView::DrawTextAligned(bmp.Canvas(), r, "Attributes of the file", a, 2, 16).x, 22) << a;
    }
    EXPECT_GT(TsListView::DrawTextAligned(bmp.Canvas(), r, "A", taRightJustify, 2, 0).x, 20);
}

TEST_F(ListView, TheApplicationsCustomDrawingReplacesTheSkinnedBackgroundAndGivesItBack)
{
    Skin();
    TsListView* l = Make(vsReport, 3);
    // The background is copied from the cache while urgent painting asks for full repaints.
    l->Perform(SM_SKINCMD, MAKEWPARAM(1, AC_URGENTPAINTING), 0);
    int calls = 0;
    l->OnAdvancedCustomDraw = [&](TCustomListView*, const TRect&, TCustomDrawStage stage, bool&) {
        calls += stage == cdPrePaint;
    };
    Show();
    RedrawWindow(l->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    EXPECT_GT(calls, 0);
    EXPECT_NE(ListView_GetBkColor(l->Handle()), CLR_NONE) << "the skinned background did not draw";
    l->OnAdvancedCustomDraw = nullptr;
    RedrawWindow(l->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    EXPECT_EQ(ListView_GetBkColor(l->Handle()), CLR_NONE) << "the skinned background is back";
    EXPECT_EQ(testkit::PrintWindowPixels(l->Handle()).Pixel(200, 120), static_cast<COLORREF>(Green))
        << "below the rows the section from the cache";
}

TEST_F(ListView, TheSkinnedBarsFollowTheRowsAndScrollThem)
{
    Skin();
    TsListView* l = Make(vsReport, 200, 2);
    Show();
    const int CX = GetSystemMetrics(SM_CXVSCROLL);
    ASSERT_NE(l->VSBar, nullptr);
    EXPECT_TRUE(l->VSBar->Visible());
    EXPECT_TRUE(l->HSBar == nullptr || !l->HSBar->Visible()) << "the columns fit";
    EXPECT_EQ(l->VSBar->BoundsRect(), Bounds(10 + 260 - CX - 2, 12, CX, 150 - 4)) << "a missing bar takes no room";
    SCROLLINFO si{};
    si.cbSize = sizeof si;
    si.fMask = SIF_ALL;
    GetScrollInfo(l->Handle(), SB_VERT, &si);
    EXPECT_EQ(l->VSBar->Max(), si.nMax - static_cast<int>(si.nPage) + 1);
    // The bar's own change refreshes the bars once (the refresh does not come back into it).
    int changes = 0;
    l->VSBar->OnChange = [&](TObject*) {
        ++changes;
        l->RefreshScrolls();
    };
    l->VSBar->SetPosition(50);
    testkit::PumpPending();
    EXPECT_EQ(ListView_GetTopIndex(l->Handle()), 50);
    EXPECT_EQ(l->VSBar->Position(), 50);
    EXPECT_EQ(changes, 1);
    l->VSBar->OnChange = nullptr;
    // The window scrolled by itself: the bar follows it and scrolls nothing again.
    ListView_Scroll(l->Handle(), 0, 20 * (l->Items()->Item(0)->DisplayRect(drBounds).bottom -
                                         l->Items()->Item(0)->DisplayRect(drBounds).top));
    l->RefreshScrolls();
    EXPECT_EQ(ListView_GetTopIndex(l->Handle()), 70);
    EXPECT_EQ(l->VSBar->Position(), 70);
    // Wide columns bring the horizontal bar, whose small step follows its range.
    l->Column(1)->SetWidth(600);
    testkit::PumpPending();
    ASSERT_NE(l->HSBar, nullptr);
    EXPECT_TRUE(l->HSBar->Visible());
    EXPECT_EQ(l->HSBar->SmallChange, l->HSBar->Max() / 23 + 1);
    EXPECT_EQ(l->VSBar->Height(), 150 - 4 - l->HSBar->Height());
    // The header window moves with the horizontal scrolling: the hot column is the one under
    // the mouse, not one further by the distance scrolled.
    l->Column(0)->SetWidth(150);
    l->HSBar->SetPosition(100);
    POINT p{40, 5};
    ClientToScreen(l->Handle(), &p);
    SendMessageA(l->HeaderHandle(), WM_NCHITTEST, 0, MAKELPARAM(p.x, p.y));
    EXPECT_EQ(l->HotColumn(), 0);
    // A list that keeps its own colour is not given the section's at its paint.
    l->SkinData()->SetCustomColor(true);
    l->SetColor(clTeal);
    RedrawWindow(l->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    EXPECT_EQ(l->Color(), clTeal);
    // A window made again (a refresh still waiting for the old one) gets its bars in its frame.
    l->Items()->Add();
    l->SetBorderStyle(bsNone);
    testkit::PumpPending();
    EXPECT_EQ(l->VSBar->BoundsRect(), Bounds(10 + 260 - CX, 10, CX, 150 - l->HSBar->Height()));
    // Without a frame the square between the bars is still the skin's, not the system's corner.
    const int CY = l->HSBar->Height();
    RedrawWindow(l->Handle(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
    auto cornerDiffers = [&] {
        const testkit::PixelImage shot = testkit::ScreenPixels(l->Handle());
        TBitmap* cache = l->SkinData()->FCacheBmp.get();
        int differ = 0;
        for (int y = 150 - CY; y < 150; ++y)
            for (int x = 260 - CX; x < 260; ++x)
                differ += shot.Pixel(x, y) != static_cast<COLORREF>(cache->Canvas()->Pixels(x, y));
        return differ;
    };
    testkit::PumpUntil([&] { return cornerDiffers() == 0; });
    EXPECT_EQ(cornerDiffers(), 0);
    sSkinData->Active = false;
    Command(l, AC_REMOVESKIN);
    EXPECT_EQ(l->VSBar, nullptr);
    EXPECT_EQ(l->HSBar, nullptr);
    EXPECT_EQ(l->Color(), clTeal) << "its own colour stays without the skin";
    EXPECT_EQ(ListView_GetBkColor(l->Handle()), ColorToRGB(clTeal)) << "the rows' colours are given back";
    EXPECT_EQ(ListView_GetTextBkColor(l->Handle()), ColorToRGB(clTeal));
}

TEST_F(ListView, OutsideTheReportViewTheHorizontalBarNeedsRowsAndCountsColumns)
{
    Skin();
    TsListView* l = Make(vsList, 0, 0);
    Show();
    EXPECT_TRUE(l->HSBar == nullptr || !l->HSBar->Visible()) << "an empty list shows no bar";
    l->Items()->BeginUpdate();
    for (int i = 0; i < 300; ++i)
        l->Items()->Add()->SetCaption("Entry " + IntToStr(i));
    l->Items()->EndUpdate();
    testkit::PumpPending();
    ASSERT_NE(l->HSBar, nullptr);
    EXPECT_TRUE(l->HSBar->Visible());
    l->HSBar->SetPosition(3);
    SCROLLINFO si{};
    si.cbSize = sizeof si;
    si.fMask = SIF_POS;
    GetScrollInfo(l->Handle(), SB_HORZ, &si);
    EXPECT_EQ(si.nPos, 3) << "three columns on";
}
