// The control adapter base, names that reach into frames, and what the grid adapter reads and
// sets of a grid.
#include <gtest/gtest.h>

#include "Forms.h"
#include "Grids.h"
#include "LiveKit.h"
#include "sAdapter.h"
#include "sDBSwitch.h"
#include "sGridAdapter.h"
#include "sVclUtils.h"

using namespace livekit;

namespace {

using Adapter = TablesTest;

// An adapter of grids that records what it hooks.
class TGridsAdapter : public TsCtrlAdapter {
    VCL_CLASS(TGridsAdapter, TsCtrlAdapter)
public:
    explicit TGridsAdapter(TComponent* AOwner) : TsCtrlAdapter(AOwner), Items(this, CollectionItemClass<TsGridItem>())
    {
        ControlClass = TCustomGrid::StaticClassInfo();
    }
    int Count() override { return Items.Count(); }
    TCollectionItem* GetItem(int Index) override { return Items.Items(Index); }
    TsCommonData* GetCommonData(int Index) override { return Item(Index)->SkinData(); }
    void DoHook(int Index, TWinControl* Control) override
    {
        Item(Index)->Ctrl = dynamic_cast<TCustomGrid*>(Control);
        Hooked.push_back(Control->Name().c_str());
    }
    void AddNewItem(TWinControl* Control) override
    {
        static_cast<TsGridItem*>(Items.Add())->SetDisplayName(Control->Name());
        DoHook(Items.Count() - 1, Control);
    }
    void RemoveItem(int Index) override { Items.Delete(Index); }
    TsGridItem* Item(int Index) { return static_cast<TsGridItem*>(Items.Items(Index)); }

    TOwnedCollection Items;
    std::vector<std::string> Hooked;
};

class TDBGrid : public TCustomGrid {
    VCL_CLASS(TDBGrid, TCustomGrid)
public:
    using TCustomGrid::TCustomGrid;
};

template <class T>
T* Named(TComponent* Owner, TWinControl* Parent, const char* Name)
{
    T* c = Create<T>(Owner);
    c->SetName(Name);
    c->SetParent(Parent);
    return c;
}

} // namespace

TEST_F(Adapter, ItemsNameTheirControlsAlsoInsideFrames)
{
    auto* form = MakeForm();
    auto* frame = Named<TFrame>(form, form, "Frame1");
    Named<TDrawGrid>(frame, frame, "Grid1");
    EXPECT_EQ(GetControlByName(form, "FRAME1.grid1")->Name(), "Grid1");
    EXPECT_EQ(GetControlByName(form, "Frame1."), nullptr);
    EXPECT_EQ(GetControlByName(form, "Grid1"), nullptr) << "not the form's own";
    EXPECT_EQ(GetOwnerFrame(frame->Components(0)), frame);

    auto* adapter = Create<TGridsAdapter>(form);
    adapter->SetAutoSearch(false);
    static_cast<TsGridItem*>(adapter->Items.Add())->SetDisplayName("Frame1.Grid1");
    adapter->Items.Add(); // an item without a name ends the pass
    static_cast<TsGridItem*>(adapter->Items.Add())->SetDisplayName("Frame1.Grid1");
    adapter->HookAll();
    EXPECT_EQ(adapter->Hooked, std::vector<std::string>{"Grid1"});
}

TEST_F(Adapter, AutoSearchFollowsTheGridsOfTheFormAndItsFrames)
{
    auto* form = MakeForm();
    Named<TDrawGrid>(form, form, "Own");
    auto* frame = Named<TFrame>(form, form, "Frame1");
    Named<TDrawGrid>(frame, frame, "Inner");
    auto* adapter = Create<TGridsAdapter>(form);
    adapter->HookAll();
    EXPECT_EQ(adapter->Hooked, (std::vector<std::string>{"Own", "Inner"}));
    adapter->Hooked.clear();
    auto* later = Named<TDrawGrid>(form, form, "Later");
    EXPECT_EQ(adapter->Hooked, std::vector<std::string>{""}) << "hooked as it comes, before it has a name";
    adapter->Item(2)->SetDisplayName("Later");
    later->Free();
    EXPECT_EQ(adapter->Count(), 2) << "its item goes with it";
    EXPECT_TRUE(CanHook(form->FindComponent("Own")));
    TDBGrid dataGrid(nullptr);
    EXPECT_FALSE(CanHook(&dataGrid)) << "data-aware grids are never hooked";
    EXPECT_TRUE(IsAGrid(&dataGrid));
    EXPECT_FALSE(IsAGrid(adapter));
}

TEST_F(Adapter, AGridsRowsBorderColoursAndVerticalBar)
{
    Activate({Section("GLOBALINFO", 0x102030), Section("EDIT")});
    gd[0].HotColor = 0x405060;
    gd[1].HotFontColor[0] = 0x708090;
    auto* form = MakeForm();
    form->SetColor(0x00AA00);
    auto* grid = Named<TDrawGrid>(form, form, "Grid");
    grid->SetBorderStyle(bsNone);
    grid->SetDefaultRowHeight(20);
    grid->SetHeight(100); // the fixed row and four more fit
    grid->SetRowCount(5);
    TsGridItem item(nullptr);
    item.Ctrl = grid;
    EXPECT_FALSE(VScrollVisible(&item)) << "every row fits";
    grid->SetRowCount(10);
    EXPECT_TRUE(VScrollVisible(&item));
    grid->SetScrollBars(ssHorizontal);
    EXPECT_FALSE(VScrollVisible(&item));
    TsScrollInfo info;
    GetDBScrollInfo(&item, info);
    EXPECT_EQ(info.Max, 10 - 4);
    EXPECT_EQ(info.Position, 1);
    EXPECT_EQ(info.Range, 10);
    EXPECT_EQ(info.Page, 4);
    EXPECT_EQ(GridBorderWidth(grid), 0);
    grid->SetBorderStyle(bsSingle);
    EXPECT_EQ(GridBorderWidth(grid), 2);
    grid->SetCtl3D(false);
    EXPECT_EQ(GridBorderWidth(grid), 1);

    item.SkinData()->SetSkinSection("EDIT");
    UpdateColors(grid, item.SkinData(), true);
    EXPECT_EQ(grid->FixedColor(), TColor(0x102030));
    EXPECT_EQ(grid->Color(), TColor(0x405060));
    EXPECT_EQ(grid->Font()->Color(), TColor(0x708090));
    UpdateColors(grid, item.SkinData(), false);
    EXPECT_EQ(grid->FixedColor(), TColor(0x00AA00)) << "the parent's colour";
    EXPECT_EQ(grid->Color(), clWindow);
    EXPECT_TRUE(grid->ParentFont());

    item.VSBar = Named<TsScrollBar>(form, form, "Bar");
    item.VSBar->SetKind(sbVertical);
    item.VSBar->SetMax(20);
    grid->SetTopRow(4);
    UpdateDBScrolls(&item);
    EXPECT_EQ(item.VSBar->Position(), 4);
    item.VSBar->SetPosition(6);
    OnDBScrollChange(&item);
    EXPECT_EQ(grid->TopRow(), 6);
}
