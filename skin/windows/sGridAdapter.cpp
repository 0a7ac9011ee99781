#include "sGridAdapter.h"

#include <algorithm>

#include "Forms.h"
#include "sDBSwitch.h"
#include "sGraphUtils.h"
#include "sMaskGraph.h"
#include "sMessages.h"
#include "sStyleSimply.h"
#include "sVclUtils.h"

bool GridMouseDown = false;
bool GridMouseDownCopy = false;

namespace {

bool IsGoing(const TComponent* C) { return C && C->ComponentState().Contains(csDestroying); }

bool SkinActive() { return sSkinData && sSkinData->Active; }

bool GlobalInfoPresent() { return GetSkinIndex("GLOBALINFO") >= 0; }

// Answers AC_ISSKINNED (a skinned control, or one hooked already).
bool AnswersSkinned(TWinControl* Control) { return Control->Parent() && GetBoolMsg(Control, AC_ISSKINNED); }

} // namespace

// --- The item ---------------------------------------------------------------------------------

TsGridItem::TsGridItem(TCollection* Collection)
    : TCollectionItem(Collection), FSkinData(std::make_unique<TsCommonData>(this, true))
{
    FSkinData->COC = 227;
}

TsGridItem::~TsGridItem() { Delete(); }

void TsGridItem::SetDisplayName(const AnsiString& Value)
{
    CtrlName = Value;
    inherited::SetDisplayName(Value);
}

TsGridAdapter* TsGridItem::Adapter() const
{
    return Collection() ? dynamic_cast<TsGridAdapter*>(Collection()->GetOwner()) : nullptr;
}

void TsGridItem::DoHook(TWinControl* Control)
{
    auto* grid = dynamic_cast<TCustomGrid*>(Control);
    if (!grid || AnswersSkinned(grid))
        return;
    CtrlName = grid->Name();
    Ctrl = grid;
    FSkinData->FOwnerControl = grid;
    FSkinData->FOwnerObject = grid;
    if (FSkinData->SkinSection().empty())
        FSkinData->SetSkinSection(Adapter() ? Adapter()->DefaultSection() : AnsiString("EDIT"));
    FSkinData->UpdateIndexes();
    FHook.Hook(grid, TWndMethod(this, &TsGridItem::NewWndProc));
    // The adapter hears of the grid's going wherever the grid is owned (a frame's grid too).
    if (TsGridAdapter* adapter = Adapter())
        grid->FreeNotification(adapter);
    FSkinData->BGChanged = true;
    if (grid->Parent())
        grid->Perform(WM_NCPAINT, 0, 0);
    if (TsGridAdapter* adapter = Adapter())
        adapter->RefreshScrolls(this);
}

void TsGridItem::Delete()
{
    TsGridAdapter* adapter = Adapter();
    if (!adapter || !IsGoing(adapter)) {
        FreeHostBar(VSBar);
        FreeHostBar(HSBar);
    }
    if (!Ctrl)
        return;
    TCustomGrid* grid = Ctrl;
    FHook.Release();
    Ctrl = nullptr;
    if (!IsGoing(grid)) {
        if (adapter)
            grid->RemoveFreeNotification(adapter);
        UpdateColors(grid, FSkinData.get(), false);
        if (grid->HandleAllocated())
            grid->Perform(WM_NCPAINT, 0, 0);
    }
    FSkinData->FOwnerControl = nullptr;
    FSkinData->FOwnerObject = this;
}

void TsGridItem::PaintAll()
{
    if (!FSkinData->BGChanged || !Ctrl)
        return;
    FSkinData->InitCacheBmp();
    if (IsValidSkinIndex(FSkinData->SkinIndex))
        PaintItem(FSkinData.get(), GetParentCache(FSkinData.get()), false, 0, Rect(0, 0, Ctrl->Width(), Ctrl->Height()),
                  TPoint{Ctrl->Left(), Ctrl->Top()}, FSkinData->FCacheBmp.get(), false);
    FSkinData->BGChanged = false;
}

bool TsGridItem::SkinnedMode() const
{
    return Ctrl && !IsGoing(Ctrl) && Ctrl->Parent() && FSkinData->Skinned() && SkinActive();
}

void TsGridItem::Refresh()
{
    if (!Scrolling)
        if (TsGridAdapter* adapter = Adapter())
            adapter->RefreshScrolls(this);
}

void TsGridItem::NCPaint()
{
    TCustomGrid* grid = Ctrl;
    if (!grid->Visible())
        return;
    // Grids other than draw grids (and their string-grid descendants) get their own frame first.
    if (!grid->InheritsFrom(TDrawGrid::StaticClassInfo())) {
        TMessage own = MakeMessage(WM_NCPAINT, 1, 0);
        OldWndProc(own);
    }
    FSkinData->Updating = FSkinData->GetUpdating();
    TsGridAdapter* adapter = Adapter();
    if (FSkinData->Updating || grid->ControlState().Contains(csCreating) ||
        (adapter && adapter->ComponentState().Contains(csLoading)) || !grid->HandleAllocated())
        return;
    PaintAll();
    TBitmap* cache = FSkinData->FCacheBmp.get();
    if (!cache || cache->Empty())
        return;
    const HWND wnd = grid->Handle();
    const HDC dc = GetWindowDC(wnd);
    const int saved = SaveDC(dc);
    UpdateCorners(FSkinData.get(), 0);
    const HDC src = cache->Canvas()->Handle();
    const int w = grid->Width(), h = grid->Height();
    auto copy = [&](int x, int y, int cx, int cy) {
        if (cx > 0 && cy > 0)
            BitBlt(dc, x, y, cx, cy, src, x, y, SRCCOPY);
    };
    const bool vBar = VSBar && VSBar->Visible(), hBar = HSBar && HSBar->Visible();
    if (grid->BorderStyle() == bsSingle) {
        // The frame is as wide as the border the window has (the native bars are not part of it).
        const int b = GridBorderWidth(grid);
        copy(0, 0, b, h);
        copy(b, 0, w - b, b);
        copy(w - b, b, b, h - b);
        copy(b, h - b, w - 2 * b, b);
        if (vBar)
            copy(w - VSBar->Width(), 0, VSBar->Width(), h);
        if (hBar)
            copy(0, h - HSBar->Height(), w, HSBar->Height());
    } else if (vBar && hBar) {
        copy(w - VSBar->Width(), h - HSBar->Height(), VSBar->Width(), HSBar->Height());
    }
    RestoreDC(dc, saved);
    ReleaseDC(wnd, dc);
}

void TsGridItem::SkinCommand(TMessage& Message)
{
    switch (Message.WParamHi) {
    case AC_NEWSKIN:
        DoHook(Ctrl);
        FSkinData->BGChanged = true;
        Scrolling = 0;
        FSkinData->UpdateIndexes();
        break;
    case AC_REMOVESKIN:
        FreeHostBar(VSBar);
        FreeHostBar(HSBar);
        if (!IsGoing(Ctrl))
            UpdateColors(Ctrl, FSkinData.get(), false);
        break;
    case AC_REPAINT:
        FSkinData->BGChanged = true;
        Ctrl->Perform(WM_NCPAINT, 0, 0);
        if (GlobalInfoPresent())
            UpdateColors(Ctrl, FSkinData.get(), true);
        Ctrl->Repaint();
        Refresh();
        break;
    case AC_GETCACHEINFO: GlobalCacheInfo = TCacheInfo{FSkinData->FCacheBmp.get(), 0, 0, true}; break;
    case AC_PARENTUPDATED:
        if (FSkinData->Updating && Ctrl->Visible()) {
            FSkinData->Updating = false;
            Ctrl->Perform(WM_NCPAINT, 0, 0);
        }
        break;
    case AC_ISSKINNED: Message.LParam = 1; break;
    default: break;
    }
}

void TsGridItem::NewWndProc(TMessage& Message)
{
    if (!Ctrl)
        return;
    if (!SkinnedMode()) {
        if (Message.Msg != SM_SKINCMD) {
            OldWndProc(Message);
            return;
        }
        switch (Message.WParamHi) {
        case AC_NEWSKIN:
            Scrolling = 0;
            FSkinData->UpdateIndexes();
            break;
        case AC_REMOVESKIN:
            FSkinData->SkinIndex = -1;
            FSkinData->BorderIndex = -1;
            FreeHostBar(VSBar);
            FreeHostBar(HSBar);
            if (!IsGoing(Ctrl)) {
                UpdateColors(Ctrl, FSkinData.get(), false);
                // A new window shows the grid's own bars and frame again.
                Ctrl->Perform(CM_RECREATEWND, 0, 0);
            }
            break;
        case AC_ISSKINNED: Message.LParam = 1; break;
        default: break;
        }
        return;
    }
    if (Message.Msg == SM_SKINCMD) {
        SkinCommand(Message);
        return;
    }
    TCustomGrid* grid = Ctrl;
    switch (Message.Msg) {
    case WM_LBUTTONDOWN:
        OldWndProc(Message);
        GridMouseDown = true;
        return;
    case WM_LBUTTONUP:
        OldWndProc(Message);
        if (GridMouseDown && !Scrolling)
            Refresh();
        GridMouseDown = false;
        return;
    case WM_NCHITTEST:
        GridMouseDownCopy = GridMouseDown;
        OldWndProc(Message);
        return;
    case WM_NCPAINT:
        NCPaint();
        Message.Result = 0;
        return;
    case WM_SIZE:
        if (grid->Visible())
            FSkinData->BGChanged = true;
        OldWndProc(Message);
        grid->Perform(WM_NCPAINT, 0, 0);
        if (grid->Visible())
            Refresh();
        return;
    case WM_ENABLE:
        OldWndProc(Message);
        grid->Repaint();
        Refresh();
        return;
    case WM_KEYDOWN:
    case WM_KEYUP:
    case CM_INVALIDATE:
        OldWndProc(Message);
        UpdateDBScrolls(this);
        if (TsGridAdapter* adapter = Adapter())
            adapter->UpdateHScroll(this);
        Refresh();
        return;
    case WM_HSCROLL:
        Scrolling = 1;
        OldWndProc(Message);
        Scrolling = 0;
        return;
    case WM_VSCROLL:
        Scrolling = 1;
        OldWndProc(Message);
        UpdateDBScrolls(this);
        Scrolling = 0;
        return;
    case WM_MOUSEWHEEL:
    case CM_SHOWINGCHANGED:
        OldWndProc(Message);
        Refresh();
        return;
    case WM_EXITSIZEMOVE:
        FSkinData->BGChanged = true;
        OldWndProc(Message);
        Refresh();
        return;
    case WM_PRINT:
        grid->Perform(WM_PAINT, Message.WParam, Message.LParam);
        grid->Perform(WM_NCPAINT, Message.WParam, Message.LParam);
        return;
    default: OldWndProc(Message);
    }
}

// --- The collection ------------------------------------------------------------------------------

TsGridItems::TsGridItems(TsGridAdapter* AOwner) : TsCtrlCollection(AOwner, CollectionItemClass<TsGridItem>()) {}

// --- The adapter ------------------------------------------------------------------------------------

TsGridAdapter::TsGridAdapter(TComponent* AOwner)
    : TsCtrlAdapter(AOwner), FControls(std::make_unique<TsGridItems>(this))
{
    ControlClass = TCustomGrid::StaticClassInfo();
}

TsGridAdapter::~TsGridAdapter() = default;

bool TsGridAdapter::IsControlSupported(TComponent* Component)
{
    return Component && (Component->InheritsFrom(TCustomGrid::StaticClassInfo()) || IsAGrid(Component));
}

int TsGridAdapter::Count() { return FControls ? FControls->Count() : 0; }

void TsGridAdapter::DoHook(int Index, TWinControl* Control)
{
    if (Index >= 0 && Index < Count() && CanHook(Control))
        Item(Index)->DoHook(Control);
}

TCollectionItem* TsGridAdapter::GetItem(int Index) { return Index < 0 || Index >= Count() ? nullptr : Item(Index); }

TsCommonData* TsGridAdapter::GetCommonData(int Index)
{
    TCollectionItem* item = GetItem(Index);
    return item ? static_cast<TsGridItem*>(item)->SkinData() : nullptr;
}

int TsGridAdapter::IndexOf(const AnsiString& Name)
{
    for (int i = 0; i < Count(); ++i)
        if (SameText(Item(i)->DisplayName(), Name))
            return i;
    return -1;
}

void TsGridAdapter::AddNewItem(TWinControl* Control)
{
    if (!Control || AnswersSkinned(Control))
        return;
    AddNewItem(Control, FDefaultSection);
}

void TsGridAdapter::AddNewItem(TWinControl* Control, const AnsiString& Section)
{
    if (!Control || AnswersSkinned(Control) || !CanHook(Control))
        return;
    auto* item = static_cast<TsGridItem*>(FControls->Add());
    item->SkinData()->SetSkinSection(Section);
    item->DoHook(Control);
    if (!Control->Parent()) {
        auto* timer = Create<TsGridTimer>(this);
        timer->Adapter = this;
        timer->Watch(Control);
    } else if (GlobalInfoPresent() && !Control->ControlState().Contains(csCreating)) {
        UpdateColors(Control, item->SkinData(), true);
    }
}

void TsGridAdapter::RemoveItem(int Index)
{
    if (Index < 0 || Index >= Count())
        return;
    Item(Index)->Delete();
    FControls->Delete(Index);
}

void TsGridAdapter::Notification(TComponent* AComponent, TOperation Operation)
{
    if (Operation == opRemove && AComponent) {
        for (int i = 0; i < Count(); ++i) {
            TsGridItem* item = Item(i);
            // A bar freed with its parent is no longer the item's.
            if (item->VSBar == AComponent)
                item->VSBar = nullptr;
            if (item->HSBar == AComponent)
                item->HSBar = nullptr;
        }
        for (int i = 0; i < Count(); ++i) {
            if (Item(i)->Ctrl != AComponent)
                continue;
            TComponent::Notification(AComponent, Operation);
            // Also while the adapter goes: no item may keep a grid that is gone.
            if (IsGoing(this))
                Item(i)->Delete();
            else
                RemoveItem(i);
            return;
        }
    }
    inherited::Notification(AComponent, Operation);
}

void TsGridAdapter::ParentArrived(TWinControl* Control)
{
    for (int i = 0; i < Count(); ++i) {
        TsGridItem* item = Item(i);
        if (item->Ctrl != Control)
            continue;
        if (GlobalInfoPresent() && SkinActive())
            UpdateColors(Control, item->SkinData(), true);
        item->SkinData()->BGChanged = true;
        RefreshScrolls(item);
        return;
    }
}

void TsGridAdapter::WndProc(TMessage& Message)
{
    for (int i = 0; i < Count(); ++i)
        Item(i)->NewWndProc(Message);
}

TsGridItem* TsGridAdapter::ItemOfBar(TObject* Bar) const
{
    for (int i = 0; i < FControls->Count(); ++i)
        if (TsGridItem* item = Item(i); Bar && (item->VSBar == Bar || item->HSBar == Bar))
            return item;
    return nullptr;
}

// --- Scroll bars -------------------------------------------------------------------------------------

bool TsGridAdapter::HScrollVisible(TsGridItem* Item)
{
    TCustomGrid* g = Item->Ctrl;
    if (!g || (g->ScrollBars() != ssHorizontal && g->ScrollBars() != ssBoth))
        return false;
    return g->ColCount() - g->VisibleColCount() - g->FixedCols() >= 1;
}

int TsGridAdapter::LastVisibleColsCount(TsGridItem* Item)
{
    TCustomGrid* g = Item->Ctrl;
    if (g->FixedCols() >= g->ColCount() - 1)
        return -1;
    // The client width is what the cells have: the border and the grid's own bar are outside it.
    int fixed = 0;
    for (int i = 0; i < g->FixedCols(); ++i)
        fixed += g->ColWidths(i);
    const int room = g->ClientWidth() - fixed;
    int sum = 0, count = 0;
    for (int c = g->ColCount() - 1; c >= g->FixedCols(); --c) {
        if (sum + g->ColWidths(c) > room)
            break;
        sum += g->ColWidths(c);
        ++count;
    }
    return count - 1;
}

void TsGridAdapter::GetHScrollInfo(TsGridItem* Item, TsGridScrollInfo& Info)
{
    Info = TsGridScrollInfo{};
    Info.Visible = HScrollVisible(Item) ? 1 : 0;
    Info.Enabled = true;
    if (!Info.Visible)
        return;
    TCustomGrid* g = Item->Ctrl;
    Info.Range = 100;
    Info.Page = 1;
    Info.Position = g->FixedCols(); // the bar's Min
    Info.Max = g->ColCount() - 1 - LastVisibleColsCount(Item);
    Info.Visible = Info.Max > g->FixedCols() ? 1 : 0;
    if (!Info.Visible)
        return;
    Info.Reserved2 = 1; // the small change
    const int b = Item->BorderWidth, w = g->Width(), h = g->Height();
    Info.Bounds = Rect(b, h - GetSystemMetrics(SM_CYHSCROLL) - b, w - b - (VScrollVisible(Item) ? GetSystemMetrics(SM_CXVSCROLL) : 0),
                       h - b);
    OffsetRect(&Info.Bounds, g->Left(), g->Top());
}

void TsGridAdapter::GetVScrollInfo(TsGridItem* Item, TsGridScrollInfo& Info)
{
    Info = TsGridScrollInfo{};
    TCustomGrid* g = Item->Ctrl;
    if (!g || !g->Visible())
        return;
    Info.Enabled = true;
    if (ControlIsReady(g)) {
        GetDBScrollInfo(Item, Info);
        if (Info.Max > Info.Position)
            Info.Visible = VScrollVisible(Item) ? 1 : 0;
    }
    if (!Info.Visible)
        return;
    TsGridScrollInfo h;
    GetHScrollInfo(Item, h);
    const int b = Item->BorderWidth, w = g->Width(), ht = g->Height();
    Info.Bounds = Rect(w - GetSystemMetrics(SM_CXVSCROLL) - b, b, w - b,
                       ht - b - (h.Visible ? GetSystemMetrics(SM_CYHSCROLL) : 0));
    OffsetRect(&Info.Bounds, g->Left(), g->Top());
}

void TsGridAdapter::ClearOffset(TsGridItem* Item, TScrollBarKind Kind)
{
    if (TsScrollBar* bar = Kind == sbVertical ? Item->VSBar : Item->HSBar)
        bar->SetVisible(false);
}

void TsGridAdapter::RefreshScrolls(TsGridItem* Item)
{
    TCustomGrid* g = Item ? Item->Ctrl : nullptr;
    if (!g || Item->Scrolling || IsGoing(this) || !g->Parent() || !g->Parent()->Showing() || !ControlIsReady(g) ||
        !g->HandleAllocated())
        return;
    Item->BorderWidth = GridBorderWidth(g);
    TsGridScrollInfo v, h;
    GetVScrollInfo(Item, v);
    GetHScrollInfo(Item, h);
    if (!SkinActive() || !g->Visible()) {
        ClearOffset(Item, sbVertical);
        ClearOffset(Item, sbHorizontal);
        return;
    }
    if (!v.Visible)
        ClearOffset(Item, sbVertical);
    if (!h.Visible)
        ClearOffset(Item, sbHorizontal);
    auto place = [&](TsScrollBar*& Bar, TScrollBarKind Kind, const TsGridScrollInfo& Info) {
        if (!Info.Visible)
            return;
        const bool vertical = Kind == sbVertical;
        if (!Bar) {
            Bar = MakeHostBar(g, Kind,
                              vertical ? TOnIntChangeEvent(this, &TsGridAdapter::OnVSBChange)
                                       : TOnIntChangeEvent(this, &TsGridAdapter::OnHSBChange));
            // Owned by the adapter; named after the grid and its parent where that name is free.
            g->RemoveComponent(Bar);
            InsertComponent(Bar);
            const AnsiString name = AnsiString(vertical ? "VSBar" : "HSBar") + g->Name() + g->Parent()->Name();
            if (!FindComponent(name))
                Bar->SetName(name);
        }
        Bar->PaintLocked = true;
        if (Info.Enabled) {
            Item->Scrolling = 1;
            Bar->ChangeLocked = true;
            const int min = Info.Position;
            Bar->SetParams(std::clamp(Bar->Position(), min, Info.Max), min, Info.Max);
            Bar->SmallChange = vertical ? 1 : std::max(Info.Reserved2, 1);
            Bar->SetPageSize(Info.Page);
            Bar->LargeChange = std::max(Info.Page, 1);
            Bar->ChangeLocked = false;
            Item->Scrolling = 0;
            Bar->SetEnabled(g->Enabled());
        } else {
            Bar->SetEnabled(false);
        }
        if (vertical)
            UpdateDBScrolls(Item);
        else
            UpdateHScroll(Item);
        Bar->SetBoundsRect(Info.Bounds);
        Bar->BringToFront();
        Bar->SetVisible(true);
        Bar->RepaintNeeded = true;
        Bar->UpdateBar();
    };
    place(Item->VSBar, sbVertical, v);
    place(Item->HSBar, sbHorizontal, h);
}

void TsGridAdapter::OnVSBChange(TObject* Sender, int OldValue)
{
    TsGridItem* item = ItemOfBar(Sender);
    if (!item || item->Scrolling || !item->VSBar || !item->Ctrl || IsGoing(item->Ctrl) ||
        item->Ctrl->ControlState().Contains(csCreating) || item->VSBar->Position() == OldValue)
        return;
    item->Scrolling = 1;
    item->VSBar->PaintLocked = true;
    OnDBScrollChange(item);
    item->VSBar->PaintLocked = false;
    item->Scrolling = 0;
}

void TsGridAdapter::OnHSBChange(TObject* Sender, int)
{
    TsGridItem* item = ItemOfBar(Sender);
    if (!item || item->Scrolling || !item->HSBar || !item->Ctrl)
        return;
    item->Scrolling = 1;
    item->HSBar->PaintLocked = true;
    item->Ctrl->SetLeftCol(item->HSBar->Position());
    item->HSBar->PaintLocked = false;
    item->Scrolling = 0;
}

void TsGridAdapter::UpdateHScroll(TsGridItem* Item)
{
    if (Item->Scrolling || !Item->HSBar || !Item->Ctrl)
        return;
    Item->Scrolling = 1;
    Item->HSBar->SetPosition(Item->Ctrl->LeftCol());
    Item->Scrolling = 0;
}

// --- The timer of a grid without a parent -------------------------------------------------------------

TsGridTimer::TsGridTimer(TComponent* AOwner) : TTimer(AOwner)
{
    OnTimer = TNotifyEvent(this, &TsGridTimer::Tick);
    SetInterval(10);
}

void TsGridTimer::Watch(TWinControl* Control)
{
    Ctrl = Control;
    SetEnabled(true);
}

void TsGridTimer::Notification(TComponent* AComponent, TOperation Operation)
{
    inherited::Notification(AComponent, Operation);
    // The adapter passes on the going of its grids (they are its items).
    if (Operation == opRemove && AComponent == Ctrl && !IsGoing(this)) {
        // The grid went before it got a parent: nothing is left to wait for.
        Ctrl = nullptr;
        SetEnabled(false);
        Free();
    }
}

TsGridTimer::~TsGridTimer()
{
    if (FGone)
        *FGone = true;
}

void TsGridTimer::Tick(TObject*)
{
    if (!Ctrl || !Ctrl->Parent())
        return;
    SetEnabled(false);
    if (Application) {
        // The messages may free the grid or the adapter, and this timer with either.
        bool gone = false;
        FGone = &gone;
        Application->ProcessMessages();
        if (gone)
            return;
        FGone = nullptr;
    }
    if (Ctrl && Adapter) {
        TWinControl* grid = Ctrl;
        Adapter->AddNewItem(grid);
        // Hooked already: what AddNewItem does for a grid that has its parent is done here.
        Adapter->ParentArrived(grid);
    }
    if (!IsGoing(this))
        Free();
}
