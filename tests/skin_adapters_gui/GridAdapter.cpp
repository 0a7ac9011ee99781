// The grid adapter: grids of a skinned form take the skin's border, colours and scroll bars, the
// bars scroll them and follow them, and everything of their own comes back when the skin goes.
#include <gtest/gtest.h>

#include "../skin_forms_gui/FormsKit.h"
#include "Grids.h"
#include "sGridAdapter.h"
#include "sMessages.h"
#include "sVclUtils.h"

using namespace formskit;

namespace {

// Grids that count the frame paints reaching their own procedure.
template <class Base>
class TCounting : public Base {
public:
    using Base::Base;
    void Dispatch(TMessage& Message) override
    {
        if (Message.Msg == WM_NCPAINT)
            ++NCPaints;
        Base::Dispatch(Message);
    }
    int NCPaints = 0;
};

class TDBGrid : public TCustomGrid {
    VCL_CLASS(TDBGrid, TCustomGrid)
public:
    using TCustomGrid::TCustomGrid;
};

class GridTest : public SkinnedFormTest {
protected:
    void SetUp() override
    {
        SkinnedFormTest::SetUp();
        UseSkin("Neutral");
        form = SkinnedForm(bsSizeable, 500, 400);
        adapter = Create<TsGridAdapter>(form);
    }
    // A draw grid of 10 rows of 20 pixels and 10 columns of 65 on the form at (10, 10), 300 x 150.
    template <class T = TDrawGrid>
    T* MakeGrid()
    {
        T* grid = Create<T>(form);
        grid->SetDefaultRowHeight(20);
        grid->SetDefaultColWidth(65);
        grid->SetRowCount(10);
        grid->SetColCount(10);
        grid->SetBounds(10, 10, 300, 150);
        grid->SetParent(form);
        // The grid came without a parent: it is skinned once the adapter's timer sees it has one.
        EXPECT_TRUE(testkit::PumpUntil([&] { return Timers() == 0; }));
        testkit::PumpPending();
        return grid;
    }
    // The adapter's timers waiting for a grid's parent.
    int Timers()
    {
        int n = 0;
        for (int i = 0; i < adapter->ComponentCount(); ++i)
            n += dynamic_cast<TsGridTimer*>(adapter->Components(i)) ? 1 : 0;
        return n;
    }
    TsGridItem* ItemOf(TCustomGrid* Grid)
    {
        for (int i = 0; i < adapter->Count(); ++i)
            if (adapter->Item(i)->Ctrl == Grid)
                return adapter->Item(i);
        return nullptr;
    }
    TsScrollBar* BarOf(TCustomGrid* Grid)
    {
        TsGridItem* item = ItemOf(Grid);
        return item ? item->VSBar : nullptr;
    }
    TForm* form = nullptr;
    TsGridAdapter* adapter = nullptr;
    const int CX = GetSystemMetrics(SM_CXVSCROLL), CY = GetSystemMetrics(SM_CYHSCROLL);
};

} // namespace

TEST_F(GridTest, AGridTakesTheSkinsColoursAndBarsOverItsOwn)
{
    TDrawGrid* grid = MakeGrid();
    TsGridItem* item = ItemOf(grid);
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->SkinData()->SkinSection(), "EDIT");
    EXPECT_EQ(grid->FixedColor(), SectionOf("GLOBALINFO").Color);
    EXPECT_EQ(grid->Color(), SectionOf("GLOBALINFO").HotColor);
    EXPECT_EQ(grid->Font()->Color(), SectionOf("EDIT").HotFontColor[0]);
    // Inside the 2-pixel client edge, over the grid's own bars.
    ASSERT_TRUE(item->VSBar && item->HSBar);
    EXPECT_EQ(item->VSBar->Parent(), form);
    EXPECT_EQ(item->VSBar->BoundsRect(), Rect(10 + 300 - 2 - CX, 12, 308, 158 - CY));
    EXPECT_EQ(item->HSBar->BoundsRect(), Rect(12, 158 - CY, 308 - CX, 158));
    // The client height less the fixed row, by rows of 20: the scrollable rows shown.
    const int fit = (grid->ClientHeight() - 20) / 20;
    EXPECT_EQ(item->VSBar->Min(), 1);
    EXPECT_EQ(item->VSBar->Max(), 10 - fit);
    EXPECT_EQ(item->VSBar->PageSize(), fit);
    // Columns of 65 right of the fixed one, counted from the last while they fit in the client
    // area (the grid's own bar and border are outside it).
    const int lastFit = (grid->ClientWidth() - 65) / 65;
    EXPECT_EQ(item->HSBar->Min(), 1);
    EXPECT_EQ(item->HSBar->Max(), 10 - lastFit);
    // Hooked once: neither again by this adapter nor by a second one.
    auto* second = Create<TsGridAdapter>(form);
    second->AddNewItem(grid);
    adapter->AddNewItem(grid);
    EXPECT_EQ(second->Count(), 0);
    EXPECT_EQ(adapter->Count(), 1);
    TDBGrid data(nullptr);
    data.SetParent(form);
    second->AddNewItem(&data);
    EXPECT_EQ(second->Count(), 0) << "data-aware grids are never hooked";
}

TEST_F(GridTest, TheBarsScrollTheGridAndFollowIt)
{
    TDrawGrid* grid = MakeGrid();
    TsGridItem* item = ItemOf(grid);
    ASSERT_TRUE(item && item->VSBar && item->HSBar);
    item->VSBar->SetPosition(3);
    EXPECT_EQ(grid->TopRow(), 3);
    grid->SetTopRow(5);
    EXPECT_EQ(item->VSBar->Position(), 5);
    // All the way right: the last column shows and the bar is at its end.
    item->HSBar->SetPosition(item->HSBar->Max());
    EXPECT_EQ(grid->LeftCol(), item->HSBar->Max());
    EXPECT_EQ(grid->LeftCol() + grid->VisibleColCount(), 10);
    grid->SetLeftCol(2);
    EXPECT_EQ(item->HSBar->Position(), 2);
    // Columns that all fit leave no horizontal bar; rows that fit no vertical one.
    grid->SetColCount(3);
    grid->SetRowCount(3);
    adapter->RefreshScrolls(item);
    EXPECT_FALSE(item->HSBar->Visible());
    EXPECT_FALSE(item->VSBar->Visible());
}

TEST_F(GridTest, TheFrameIsTheSkinsAndOnlyPlainGridsPaintTheirOwnFirst)
{
    auto* drawGrid = MakeGrid<TCounting<TDrawGrid>>();
    auto* plainGrid = MakeGrid<TCounting<TCustomGrid>>();
    plainGrid->SetTop(200);
    testkit::PumpPending();
    drawGrid->NCPaints = plainGrid->NCPaints = 0;
    drawGrid->Perform(WM_NCPAINT, 1, 0);
    plainGrid->Perform(WM_NCPAINT, 1, 0);
    EXPECT_EQ(drawGrid->NCPaints, 0);
    EXPECT_EQ(plainGrid->NCPaints, 1);
    // The edge shows the skin's cache, not the system's sunken edge.
    TsGridItem* item = ItemOf(drawGrid);
    TBitmap* cache = item->SkinData()->FCacheBmp.get();
    ASSERT_TRUE(cache && cache->Width() == 300);
    const testkit::PixelImage shot = testkit::ScreenPixels(drawGrid->Handle());
    for (const TPoint p : {Point(0, 75), Point(150, 1), Point(299, 75), Point(150, 149)})
        EXPECT_EQ(shot.Pixel(p.x, p.y), static_cast<COLORREF>(PixelOf(cache, p.x, p.y))) << p.x << "," << p.y;
    // Without a border only the square between the two bars is the skin's.
    drawGrid->SetBorderStyle(bsNone);
    adapter->RefreshScrolls(item);
    item->SkinData()->BGChanged = true;
    drawGrid->Perform(WM_NCPAINT, 1, 0);
    const testkit::PixelImage plain = testkit::ScreenPixels(drawGrid->Handle());
    EXPECT_EQ(plain.Pixel(299 - CX / 2, 149 - CY / 2), static_cast<COLORREF>(PixelOf(cache, 299 - CX / 2, 149 - CY / 2)));
}

TEST_F(GridTest, WithoutTheSkinTheGridHasItsOwnBarsAndColoursBack)
{
    TDrawGrid* grid = MakeGrid();
    TsGridItem* item = ItemOf(grid);
    ASSERT_NE(item->VSBar, nullptr);
    const HWND before = grid->Handle();
    Manager()->SetActive(false);
    EXPECT_EQ(item->VSBar, nullptr);
    EXPECT_EQ(item->HSBar, nullptr);
    EXPECT_EQ(grid->Color(), clWindow);
    EXPECT_EQ(grid->FixedColor(), form->Color());
    EXPECT_NE(grid->Handle(), before) << "a new window, whose own bars show";
    EXPECT_TRUE(GetWindowLongA(grid->Handle(), GWL_STYLE) & WS_VSCROLL);
    EXPECT_TRUE(GetBoolMsg(grid, AC_ISSKINNED)) << "still hooked";
    Manager()->SetActive(true);
    testkit::PumpPending();
    ASSERT_NE(item->VSBar, nullptr);
    EXPECT_TRUE(item->VSBar->Visible());
    EXPECT_EQ(grid->Color(), SectionOf("GLOBALINFO").HotColor);
}

TEST_F(GridTest, AGridThatGoesTakesItsItemAndItsWaitingTimer)
{
    // Unnamed, so that no name ties the item to it.
    auto* grid = MakeGrid<TCounting<TDrawGrid>>();
    // Taken over once more after the adapter: the adapter lets go under that take-over, and the
    // grid's messages still reach the grid.
    {
        TLaterTakeOver later(grid);
        adapter->RemoveItem(0);
        later.Seen = grid->NCPaints = 0;
        grid->Perform(WM_NCPAINT, 1, 0);
        EXPECT_EQ(later.Seen, 1);
        EXPECT_EQ(grid->NCPaints, 1);
        EXPECT_FALSE(GetBoolMsg(grid, AC_ISSKINNED));
    }
    EXPECT_TRUE(grid->WindowProc == TWndMethod(grid, &TControl::WndProc)) << "the grid's procedure given back";
    adapter->AddNewItem(grid);
    ASSERT_EQ(adapter->Count(), 1);
    grid->Free();
    EXPECT_EQ(adapter->Count(), 0);
    // A grid of another owner (a frame's), freed before it got a parent: its item and the timer
    // waiting for it go with it.
    auto* orphan = Create<TDrawGrid>(nullptr);
    adapter->AddNewItem(orphan);
    EXPECT_EQ(Timers(), 1);
    EXPECT_EQ(adapter->Count(), 1);
    orphan->Free();
    EXPECT_EQ(Timers(), 0);
    EXPECT_EQ(adapter->Count(), 0);
}

TEST_F(GridTest, AWaitingTimerWhoseGridOrAdapterGoesWhileItHandsOnMessagesOnIsFreedOnce)
{
    // The tick lets the application handle the messages waiting; one of them frees the grid, or
    // the adapter and the timer with it.
    for (const bool freeAdapter : {false, true}) {
        auto* owner = Create<TsGridAdapter>(form);
        auto* grid = Create<TDrawGrid>(nullptr); // of no owner that an adapter searches
        owner->AddNewItem(grid);
        ASSERT_EQ(owner->ComponentCount(), 1);
        auto* timer = dynamic_cast<TsGridTimer*>(owner->Components(0));
        ASSERT_NE(timer, nullptr);
        constexpr UINT FreeNow = WM_APP + 41;
        bool freed = false;
        Application->OnMessage = [&](MSG& Msg, bool& Handled) {
            // The timer's own tick: the message that frees comes right after it.
            if (Msg.message == WM_TIMER && GetWindowLongPtrA(Msg.hwnd, GWLP_USERDATA) == reinterpret_cast<LONG_PTR>(timer))
                PostThreadMessageA(GetCurrentThreadId(), FreeNow, 0, 0);
            if (Msg.message == FreeNow) {
                Handled = true;
                freed = true;
                freeAdapter ? owner->Free() : grid->Free();
            }
        };
        AtTearDown([] { Application->OnMessage = nullptr; });
        grid->SetParent(form);
        // The application's loop, which hears the tick, until the timer's messages were handled.
        const DWORD start = GetTickCount();
        while (!freed && GetTickCount() - start < testkit::kPatienceMs) {
            Application->ProcessMessages();
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
        }
        Application->OnMessage = nullptr;
        ASSERT_TRUE(freed);
        testkit::WaitIdle();
        if (freeAdapter) {
            EXPECT_FALSE(GetBoolMsg(grid, AC_ISSKINNED)) << "the grid's own procedure back";
            grid->Free();
        } else {
            EXPECT_EQ(owner->Count(), 0);
            EXPECT_EQ(owner->ComponentCount(), 0) << "no timer left";
            owner->Free();
        }
    }
}
