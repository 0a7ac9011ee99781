#include "ComCtrlsListView.h"

#include "ComCtrlsDraw.h"

#include <algorithm>
#include <string>

namespace {

constexpr DWORD ViewStyleBits[] = {LVS_ICON, LVS_SMALLICON, LVS_LIST, LVS_REPORT};
constexpr UINT StateBits = LVIS_SELECTED | LVIS_FOCUSED;

// A stable merge sort that stays within the list whatever the comparison answers (an
// application's comparison need not be consistent).
void MergeSort(std::vector<TListItem*>& Items, const std::function<bool(TListItem*, TListItem*)>& Less)
{
    const std::size_t n = Items.size();
    std::vector<TListItem*> buffer(n);
    for (std::size_t width = 1; width < n; width *= 2) {
        for (std::size_t left = 0; left < n; left += 2 * width) {
            const std::size_t mid = std::min(left + width, n), right = std::min(left + 2 * width, n);
            std::size_t i = left, j = mid, k = left;
            while (i < mid && j < right)
                buffer[k++] = Less(Items[j], Items[i]) ? Items[j++] : Items[i++];
            while (i < mid)
                buffer[k++] = Items[i++];
            while (j < right)
                buffer[k++] = Items[j++];
        }
        Items.swap(buffer);
    }
}

} // namespace

// The sub-items of one item: every change repaints the item.
class TSubItems : public TStringList {
    VCL_CLASS(TSubItems, TStringList)
public:
    explicit TSubItems(TListItem* Owner) : FOwner(Owner) {}

protected:
    void Changed() override
    {
        inherited::Changed();
        FOwner->Changed();
    }

private:
    TListItem* FOwner;
};

// ---------------------------------------------------------------------------------------------
// TListColumn, TListColumns

TListColumn::TListColumn(TCollection* Collection) : TCollectionItem(Collection) {}

TCustomListView* TListColumn::ListView() const
{
    auto* columns = static_cast<TListColumns*>(Collection());
    return columns ? columns->Owner() : nullptr;
}

AnsiString TListColumn::GetDisplayName() const
{
    return FCaption.empty() ? inherited::GetDisplayName() : FCaption;
}

void TListColumn::SetCaption(const AnsiString& Value)
{
    FCaption = Value;
    Changed(false);
}

void TListColumn::SetWidth(int Value)
{
    FWidth = Value;
    Changed(false);
}

void TListColumn::SetAlignment(TAlignment Value)
{
    FAlignment = Value;
    Changed(false);
}

void TListColumn::SetImageIndex(int Value)
{
    FImageIndex = Value;
    Changed(false);
}

TListColumns::TListColumns(TCustomListView* AOwner)
    : TCollection(CollectionItemClass<TListColumn>()), FOwner(AOwner)
{
}

void TListColumns::Update(TCollectionItem* Item)
{
    if (!FOwner || !FOwner->HandleAllocated())
        return;
    if (Item)
        FOwner->UpdateColumn(Item->Index());
    else
        FOwner->RebuildColumns();
}

// ---------------------------------------------------------------------------------------------
// TListItem

TListItem::~TListItem() = default;

TCustomListView* TListItem::ListView() const { return FOwner ? FOwner->Owner() : nullptr; }

int TListItem::Index() const
{
    if (FOwner->FDataItem.get() == this)
        return FIndex;
    return FOwner->IndexOf(this);
}

void TListItem::SetCaption(const AnsiString& Value)
{
    FCaption = Value;
    Changed();
}

TStrings* TListItem::SubItems()
{
    if (!FSubItems)
        FSubItems = std::make_unique<TSubItems>(this);
    return FSubItems.get();
}

AnsiString TListItem::SubItemText(int Index) const
{
    return FSubItems && Index >= 0 && Index < FSubItems->Count() ? FSubItems->Get(Index) : AnsiString();
}

void TListItem::SetImageIndex(int Value)
{
    if (FImageIndex == Value)
        return;
    FImageIndex = Value;
    Changed();
}

void TListItem::Changed()
{
    TCustomListView* v = ListView();
    if (!v || !v->HandleAllocated() || FOwner->FUpdateCount > 0 || FOwner->FDataItem.get() == this)
        return;
    v->SyncItems();
    v->Perform(LVM_UPDATE, static_cast<WPARAM>(Index()));
}

bool TListItem::Selected() const
{
    TCustomListView* v = ListView();
    if (FOwner->FDataItem.get() == this)
        return v->HandleAllocated() && (v->Perform(LVM_GETITEMSTATE, FIndex, LVIS_SELECTED) & LVIS_SELECTED);
    return FSelected;
}

void TListItem::SetSelected(bool Value)
{
    TCustomListView* v = ListView();
    if (v && v->HandleAllocated()) {
        // The window changes its state and tells the model (OnChange, OnSelectItem).
        v->SyncItems();
        LVITEMA it{};
        it.stateMask = LVIS_SELECTED;
        it.state = Value ? LVIS_SELECTED : 0;
        v->Perform(LVM_SETITEMSTATE, static_cast<WPARAM>(Index()), reinterpret_cast<LPARAM>(&it));
        return;
    }
    if (FSelected == Value || FOwner->FDataItem.get() == this)
        return;
    if (Value && v && !v->MultiSelect())
        v->ClearSelection();
    FSelected = Value;
    FOwner->FSelCount += Value ? 1 : -1;
}

bool TListItem::Focused() const
{
    TCustomListView* v = ListView();
    if (FOwner->FDataItem.get() == this)
        return v->HandleAllocated() && (v->Perform(LVM_GETITEMSTATE, FIndex, LVIS_FOCUSED) & LVIS_FOCUSED);
    return FOwner->FFocused == this;
}

void TListItem::SetFocused(bool Value)
{
    TCustomListView* v = ListView();
    if (v && v->HandleAllocated()) {
        v->SyncItems();
        LVITEMA it{};
        it.stateMask = LVIS_FOCUSED;
        it.state = Value ? LVIS_FOCUSED : 0;
        v->Perform(LVM_SETITEMSTATE, static_cast<WPARAM>(Index()), reinterpret_cast<LPARAM>(&it));
        return;
    }
    if (FOwner->FDataItem.get() == this)
        return;
    if (Value)
        FOwner->FFocused = this;
    else if (FOwner->FFocused == this)
        FOwner->FFocused = nullptr;
}

void TListItem::Delete() { FOwner->Delete(Index()); }

void TListItem::MakeVisible(bool PartialOK)
{
    if (TCustomListView* v = ListView(); v && v->HandleAllocated()) {
        v->SyncItems();
        v->Perform(LVM_ENSUREVISIBLE, static_cast<WPARAM>(Index()), PartialOK ? TRUE : FALSE);
    }
}

TRect TListItem::DisplayRect(TDisplayCode Code) const
{
    RECT r{0, 0, 0, 0};
    TCustomListView* v = ListView();
    if (!v || !v->HandleAllocated())
        return r;
    v->SyncItems();
    r.left = static_cast<LONG>(Code); // drBounds .. drSelectBounds are LVIR_BOUNDS .. LVIR_SELECTBOUNDS
    if (!v->Perform(LVM_GETITEMRECT, static_cast<WPARAM>(Index()), reinterpret_cast<LPARAM>(&r)))
        r = RECT{0, 0, 0, 0};
    return r;
}

bool TListItem::EditCaption()
{
    TCustomListView* v = ListView();
    if (!v || !v->HandleAllocated())
        return false;
    v->SyncItems();
    return v->Perform(LVM_EDITLABELA, static_cast<WPARAM>(Index())) != 0;
}

void TListItem::CancelEdit()
{
    if (TCustomListView* v = ListView(); v && v->HandleAllocated())
        v->Perform(LVM_EDITLABELA, static_cast<WPARAM>(-1));
}

void TListItem::Update() { Changed(); }

// ---------------------------------------------------------------------------------------------
// TListItems

TListItems::TListItems(TCustomListView* AOwner) : FOwner(AOwner) {}

TListItems::~TListItems()
{
    for (TListItem* item : FItems)
        delete item;
}

void TListItems::Renumber() const
{
    for (int i = FIndexed, n = static_cast<int>(FItems.size()); i < n; ++i)
        FItems[static_cast<std::size_t>(i)]->FIndex = i;
    FIndexed = static_cast<int>(FItems.size());
}

int TListItems::IndexOf(const TListItem* Value) const
{
    if (!Value || Value->FOwner != this)
        return -1;
    const int i = Value->FIndex;
    if (i < FIndexed && i < static_cast<int>(FItems.size()) && FItems[static_cast<std::size_t>(i)] == Value)
        return i;
    // Items inserted or deleted before it moved it: number everything from the first change on.
    Renumber();
    const int j = Value->FIndex;
    return j < static_cast<int>(FItems.size()) && FItems[static_cast<std::size_t>(j)] == Value ? j : -1;
}

void TListItems::CheckIndex(int Index) const
{
    if (Index < 0 || Index >= static_cast<int>(FItems.size()))
        throw EListError("List index out of bounds (" + std::to_string(Index) + ")");
}

TListItem* TListItems::Add()
{
    auto* item = new TListItem(this);
    item->FIndex = static_cast<int>(FItems.size());
    FItems.push_back(item);
    if (FIndexed == item->FIndex)
        FIndexed = item->FIndex + 1;
    if (FOwner)
        FOwner->ItemsChanged(false);
    return item;
}

TListItem* TListItems::Insert(int Index)
{
    if (Index < 0 || Index > static_cast<int>(FItems.size()))
        throw EListError("List index out of bounds (" + std::to_string(Index) + ")");
    if (Index == static_cast<int>(FItems.size()))
        return Add();
    auto* item = new TListItem(this);
    FItems.insert(FItems.begin() + Index, item);
    FIndexed = std::min(FIndexed, Index);
    if (FOwner)
        FOwner->ItemsChanged(true);
    return item;
}

void TListItems::Delete(int Index)
{
    CheckIndex(Index);
    TListItem* item = FItems[static_cast<std::size_t>(Index)];
    FItems.erase(FItems.begin() + Index);
    FIndexed = std::min(FIndexed, Index);
    if (item->FSelected)
        --FSelCount;
    if (FFocused == item)
        FFocused = nullptr;
    delete item;
    if (FOwner)
        FOwner->ItemsChanged(true);
}

void TListItems::Clear()
{
    if (FOwner && FOwner->OwnerData()) {
        SetCount(0);
        return;
    }
    std::vector<TListItem*> items;
    items.swap(FItems);
    FIndexed = 0;
    FSelCount = 0;
    FFocused = nullptr;
    for (TListItem* item : items)
        delete item;
    if (FOwner)
        FOwner->ItemsChanged(true);
}

int TListItems::Count() const
{
    return FOwner && FOwner->OwnerData() ? FDataCount : static_cast<int>(FItems.size());
}

void TListItems::SetCount(int Value)
{
    if (!FOwner || !FOwner->OwnerData())
        return;
    FDataCount = std::max(0, Value);
    FOwner->ItemsChanged(false);
}

TListItem* TListItems::Item(int Index)
{
    if (FOwner && FOwner->OwnerData()) {
        if (Index < 0 || Index >= FDataCount)
            throw EListError("List index out of bounds (" + std::to_string(Index) + ")");
        if (TListItem* item = FOwner->RowItem(Index, TItemRequest{irText, irImage, irParam, irState, irIndent}))
            return item;
        return FDataItem.get();
    }
    CheckIndex(Index);
    return FItems[static_cast<std::size_t>(Index)];
}

void TListItems::BeginUpdate()
{
    if (FUpdateCount++ == 0 && FOwner && FOwner->HandleAllocated())
        FOwner->Perform(WM_SETREDRAW, FALSE);
}

void TListItems::EndUpdate()
{
    if (FUpdateCount == 0 || --FUpdateCount > 0 || !FOwner || !FOwner->HandleAllocated())
        return;
    FOwner->SyncItems();
    FOwner->Perform(WM_SETREDRAW, TRUE);
    InvalidateRect(FOwner->Handle(), nullptr, TRUE);
}

// ---------------------------------------------------------------------------------------------
// TCustomListView

TCustomListView::TCustomListView(TComponent* AOwner)
    : TWinControl(AOwner), FColumns(std::make_unique<TListColumns>(this)),
      FItems(std::make_unique<TListItems>(this)), FCanvas(std::make_unique<TCanvas>()),
      FSmallLink(this, [this](TObject* Sender) { ImageListChange(Sender); }),
      FLargeLink(this, [this](TObject* Sender) { ImageListChange(Sender); })
{
    FControlStyle = TControlStyle{csCaptureMouse, csClickEvents, csDoubleClicks};
    FColor = clWindow;
    FParentColor = false;
    FTabStop = true;
    FWidth = 250;
    FHeight = 150;
}

TCustomListView::~TCustomListView() = default;

void TCustomListView::CreateParams(TCreateParams& Params)
{
    inherited::CreateParams(Params);
    CreateSubClass(Params, WC_LISTVIEWA);
    Params.WinClassName = "Vellorn.ListView";
    // Always a list of owner data: the window asks the model (or OnData) for every row.
    Params.Style |= WS_CHILD | WS_CLIPSIBLINGS | WS_TABSTOP | LVS_OWNERDATA | LVS_SHAREIMAGELISTS | LVS_AUTOARRANGE |
                    ViewStyleBits[FViewStyle];
    if (!FMultiSelect)
        Params.Style |= LVS_SINGLESEL;
    if (!FReadOnly)
        Params.Style |= LVS_EDITLABELS;
    if (!FHideSelection)
        Params.Style |= LVS_SHOWSELALWAYS;
    if (!FShowColumnHeaders)
        Params.Style |= LVS_NOCOLUMNHEADER;
    if (FBorderStyle == bsSingle)
        Params.ExStyle |= WS_EX_CLIENTEDGE;
    Params.WindowClass.style &= ~static_cast<UINT>(CS_HREDRAW | CS_VREDRAW);
}

void TCustomListView::CreateWnd()
{
    inherited::CreateWnd();
    ++FManualNotify;
    Perform(LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT | LVS_EX_HEADERDRAGDROP,
            (FRowSelect ? LVS_EX_FULLROWSELECT : 0) | (FFullDrag ? LVS_EX_HEADERDRAGDROP : 0));
    ApplyImages();
    const auto bk = static_cast<LPARAM>(ColorToRGB(FColor));
    Perform(LVM_SETBKCOLOR, 0, bk);
    Perform(LVM_SETTEXTBKCOLOR, 0, bk);
    Perform(LVM_SETTEXTCOLOR, 0, static_cast<LPARAM>(ColorToRGB(FFont->Color())));
    RebuildColumns();
    if (!FSavedOrder.empty() && static_cast<int>(FSavedOrder.size()) == FColumns->Count())
        Perform(LVM_SETCOLUMNORDERARRAY, FSavedOrder.size(), reinterpret_cast<LPARAM>(FSavedOrder.data()));
    Perform(LVM_SETITEMCOUNT, static_cast<WPARAM>(FItems->Count()), LVSICF_NOSCROLL);
    FCountPending = false;
    FStatesPending = false;
    if (FOwnerData) {
        LVITEMA it{};
        it.stateMask = LVIS_SELECTED;
        it.state = LVIS_SELECTED;
        for (int i : FSavedSelection)
            Perform(LVM_SETITEMSTATE, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&it));
        if (FSavedFocus >= 0) {
            it.stateMask = it.state = LVIS_FOCUSED;
            Perform(LVM_SETITEMSTATE, static_cast<WPARAM>(FSavedFocus), reinterpret_cast<LPARAM>(&it));
        }
    } else {
        ApplyStates();
    }
    // The row shown at the top before comes back there: the window scrolls a row it must show
    // into view at the top when it comes from below.
    if (FSavedTop > 0 && FSavedTop < FItems->Count() && (FViewStyle == vsReport || FViewStyle == vsList)) {
        Perform(LVM_ENSUREVISIBLE, static_cast<WPARAM>(FItems->Count() - 1), FALSE);
        Perform(LVM_ENSUREVISIBLE, static_cast<WPARAM>(FSavedTop), FALSE);
    }
    --FManualNotify;
    FSavedTop = 0;
    FSavedOrder.clear();
    FSavedSelection.clear();
    FSavedFocus = -1;
}

void TCustomListView::DestroyWnd()
{
    if (FHandle) {
        FSavedTop = FViewStyle == vsReport || FViewStyle == vsList ? static_cast<int>(Perform(LVM_GETTOPINDEX)) : 0;
        if (HWND header = reinterpret_cast<HWND>(Perform(LVM_GETHEADER))) {
            // Sized by the header's own items (columns may have come in around the model).
            const int n = static_cast<int>(SendMessageA(header, HDM_GETITEMCOUNT, 0, 0));
            FSavedOrder.assign(static_cast<std::size_t>(std::max(n, 0)), 0);
            if (n > 0 && !Perform(LVM_GETCOLUMNORDERARRAY, static_cast<WPARAM>(n),
                                  reinterpret_cast<LPARAM>(FSavedOrder.data())))
                FSavedOrder.clear();
        }
        if (FOwnerData) {
            FSavedSelection.clear();
            for (int i = static_cast<int>(Perform(LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED)); i >= 0;
                 i = static_cast<int>(Perform(LVM_GETNEXTITEM, static_cast<WPARAM>(i), LVNI_SELECTED)))
                FSavedSelection.push_back(i);
            FSavedFocus = static_cast<int>(Perform(LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED));
        }
    }
    ++FManualNotify;
    try {
        inherited::DestroyWnd();
    } catch (...) {
        --FManualNotify;
        throw;
    }
    --FManualNotify;
    FEditing = false;
}

TPoint TCustomListView::KeyboardPopupPoint()
{
    TListItem* item = ItemFocused();
    return item ? PopupPointBelow(this, item->DisplayRect(drLabel)) : inherited::KeyboardPopupPoint();
}

void TCustomListView::Notification(TComponent* AComponent, TOperation Operation)
{
    inherited::Notification(AComponent, Operation);
    if (Operation != opRemove)
        return;
    if (FSmallLink.Removed(AComponent) || FLargeLink.Removed(AComponent))
        ApplyImages();
}

// --- Columns ----------------------------------------------------------------------------------

void TCustomListView::FillColumn(int Index, LVCOLUMNA& Column, AnsiString& Text) const
{
    const TListColumn* c = FColumns->Items(Index);
    Text = c->FCaption;
    Column = LVCOLUMNA{};
    Column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
    Column.pszText = Text.data();
    Column.cx = std::max(c->FWidth, 0);
    Column.fmt = c->FAlignment == taRightJustify ? LVCFMT_RIGHT : c->FAlignment == taCenter ? LVCFMT_CENTER : LVCFMT_LEFT;
    // A column without a picture leaves no room for one.
    if (c->FImageIndex >= 0) {
        Column.mask |= LVCF_IMAGE;
        Column.fmt |= LVCFMT_IMAGE | LVCFMT_COL_HAS_IMAGES;
        Column.iImage = c->FImageIndex;
    }
}

void TCustomListView::RebuildColumns()
{
    if (!FHandle)
        return;
    ++FManualNotify;
    HWND header = reinterpret_cast<HWND>(Perform(LVM_GETHEADER));
    for (int n = header ? static_cast<int>(SendMessageA(header, HDM_GETITEMCOUNT, 0, 0)) : 0; n > 0;)
        Perform(LVM_DELETECOLUMN, static_cast<WPARAM>(--n));
    for (int i = 0; i < FColumns->Count(); ++i) {
        LVCOLUMNA c;
        AnsiString text;
        FillColumn(i, c, text);
        Perform(LVM_INSERTCOLUMNA, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&c));
    }
    --FManualNotify;
    for (int i = 0; i < FColumns->Count(); ++i)
        if (FColumns->Items(i)->FWidth < 0)
            UpdateColumn(i);
}

void TCustomListView::UpdateColumn(int Index)
{
    if (!FHandle)
        return;
    LVCOLUMNA c;
    AnsiString text;
    FillColumn(Index, c, text);
    TListColumn* column = FColumns->Items(Index);
    ++FManualNotify;
    // A picture dropped: the format without LVCFMT_IMAGE takes it away.
    Perform(LVM_SETCOLUMNA, static_cast<WPARAM>(Index), reinterpret_cast<LPARAM>(&c));
    if (column->FWidth < 0) {
        // LVSCW_AUTOSIZE or LVSCW_AUTOSIZE_USEHEADER: the column keeps the width it was given.
        Perform(LVM_SETCOLUMNWIDTH, static_cast<WPARAM>(Index), column->FWidth);
        column->FWidth = static_cast<int>(Perform(LVM_GETCOLUMNWIDTH, static_cast<WPARAM>(Index)));
    }
    --FManualNotify;
}

// The header tells its list view of every width change; the user's dragging goes into the model.
void TCustomListView::HeaderNotify(TMessage& Message)
{
    auto* nm = reinterpret_cast<NMHEADERA*>(Message.LParam);
    if (FManualNotify || !nm || (nm->hdr.code != HDN_ITEMCHANGEDA && nm->hdr.code != HDN_ITEMCHANGEDW) ||
        !nm->pitem || !(nm->pitem->mask & HDI_WIDTH) || nm->iItem < 0 || nm->iItem >= FColumns->Count() ||
        nm->hdr.hwndFrom != reinterpret_cast<HWND>(Perform(LVM_GETHEADER)))
        return;
    FColumns->Items(nm->iItem)->FWidth = nm->pitem->cxy;
}

// --- Items and states -----------------------------------------------------------------------------

void TCustomListView::ItemsChanged(bool Moved)
{
    if (!FHandle)
        return; // the window takes everything when it is made
    FCountPending = true;
    FStatesPending = FStatesPending || Moved;
    if (FItems->FUpdateCount == 0)
        SyncItems();
}

void TCustomListView::SyncItems()
{
    if (!FHandle)
        return;
    if (FCountPending) {
        FCountPending = false;
        ++FManualNotify;
        Perform(LVM_SETITEMCOUNT, static_cast<WPARAM>(FItems->Count()), LVSICF_NOSCROLL | LVSICF_NOINVALIDATEALL);
        --FManualNotify;
    }
    if (FStatesPending) {
        // Rows moved: the window's states, kept by row, are laid out again from the model's.
        FStatesPending = false;
        ApplyStates();
        InvalidateRect(FHandle, nullptr, TRUE);
    }
}

void TCustomListView::ApplyStates()
{
    if (!FHandle || FOwnerData)
        return;
    ++FManualNotify;
    LVITEMA it{};
    if (Perform(LVM_GETSELECTEDCOUNT) > 0) {
        it.stateMask = LVIS_SELECTED;
        Perform(LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&it));
    }
    const int focused = static_cast<int>(Perform(LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED));
    if (focused >= 0) {
        it.stateMask = LVIS_FOCUSED;
        Perform(LVM_SETITEMSTATE, static_cast<WPARAM>(focused), reinterpret_cast<LPARAM>(&it));
    }
    if (FItems->FSelCount > 0) {
        it.stateMask = it.state = LVIS_SELECTED;
        int left = FItems->FSelCount;
        for (std::size_t i = 0; i < FItems->FItems.size() && left > 0; ++i)
            if (FItems->FItems[i]->FSelected) {
                --left;
                Perform(LVM_SETITEMSTATE, i, reinterpret_cast<LPARAM>(&it));
            }
    }
    if (FItems->FFocused) {
        it.stateMask = it.state = LVIS_FOCUSED;
        Perform(LVM_SETITEMSTATE, static_cast<WPARAM>(FItems->FFocused->Index()), reinterpret_cast<LPARAM>(&it));
    }
    --FManualNotify;
}

TListItem* TCustomListView::RowItem(int Index, TItemRequest Request)
{
    if (!FOwnerData) {
        if (Index < 0 || Index >= static_cast<int>(FItems->FItems.size()))
            return nullptr;
        return FItems->FItems[static_cast<std::size_t>(Index)];
    }
    if (Index < 0 || Index >= FItems->FDataCount)
        return nullptr;
    auto& item = FItems->FDataItem;
    if (!item)
        item.reset(new TListItem(FItems.get()));
    item->FCaption.clear();
    if (item->FSubItems)
        item->FSubItems->Clear();
    item->FImageIndex = -1;
    item->FData = nullptr;
    item->FIndex = Index;
    return OwnerDataFetch(item.get(), Request) ? item.get() : nullptr;
}

void TCustomListView::TakeState(TListItem* Item, UINT Changed, UINT NewState)
{
    bool changed = false, selection = false;
    if (Changed & LVIS_SELECTED) {
        const bool s = (NewState & LVIS_SELECTED) != 0;
        if (Item->FSelected != s) {
            Item->FSelected = s;
            FItems->FSelCount += s ? 1 : -1;
            changed = selection = true;
        }
    }
    if (Changed & LVIS_FOCUSED) {
        const bool f = (NewState & LVIS_FOCUSED) != 0;
        if ((FItems->FFocused == Item) != f) {
            FItems->FFocused = f ? Item : nullptr;
            changed = true;
        }
    }
    if (changed)
        Change(Item, ctState);
    if (selection && OnSelectItem)
        OnSelectItem(this, Item, Item->FSelected);
}

void TCustomListView::StateChanged(int Index, UINT OldState, UINT NewState)
{
    const UINT changed = (OldState ^ NewState) & StateBits;
    if (FOwnerData) {
        TListItem* item = Index >= 0 ? RowItem(Index, TItemRequest{irText, irImage, irParam}) : nullptr;
        Change(item, ctState);
        if ((changed & LVIS_SELECTED) && OnSelectItem)
            OnSelectItem(this, item, (NewState & LVIS_SELECTED) != 0);
        return;
    }
    if (Index >= 0) {
        if (TListItem* item = RowItem(Index, TItemRequest{}))
            TakeState(item, changed, NewState);
        return;
    }
    // Every row: each item whose state this changes hears of it.
    if (!changed)
        return;
    const std::vector<TListItem*> items = FItems->FItems;
    for (TListItem* item : items)
        TakeState(item, changed, NewState);
}

// --- Public operations ----------------------------------------------------------------------------

TListItem* TCustomListView::Selected()
{
    return GetNextItem(nullptr, sdAll, TItemStates{isSelected});
}

void TCustomListView::SetSelected(TListItem* Value)
{
    if (Value)
        Value->SetSelected(true);
    else
        ClearSelection();
}

void TCustomListView::ClearSelection()
{
    if (FHandle) {
        SyncItems();
        LVITEMA it{};
        it.stateMask = LVIS_SELECTED;
        Perform(LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&it));
        return;
    }
    if (FItems->FSelCount == 0)
        return;
    for (TListItem* item : FItems->FItems)
        item->FSelected = false;
    FItems->FSelCount = 0;
}

TListItem* TCustomListView::ItemFocused()
{
    return GetNextItem(nullptr, sdAll, TItemStates{isFocused});
}

void TCustomListView::SetItemFocused(TListItem* Value)
{
    if (Value)
        Value->SetFocused(true);
    else if (TListItem* focused = ItemFocused())
        focused->SetFocused(false);
}

int TCustomListView::SelCount()
{
    if (FOwnerData)
        return FHandle ? static_cast<int>(Perform(LVM_GETSELECTEDCOUNT)) : 0;
    return FItems->FSelCount;
}

TListItem* TCustomListView::GetNextItem(TListItem* Start, TSearchDirection Direction, TItemStates States)
{
    const int from = Start ? Start->Index() : -1;
    if (FHandle) {
        SyncItems();
        static const UINT directions[] = {LVNI_TOLEFT, LVNI_TORIGHT, LVNI_ABOVE, LVNI_BELOW, LVNI_ALL};
        UINT flags = directions[Direction];
        if (States.Contains(isSelected)) flags |= LVNI_SELECTED;
        if (States.Contains(isFocused)) flags |= LVNI_FOCUSED;
        if (States.Contains(isCut)) flags |= LVNI_CUT;
        if (States.Contains(isDropHilited)) flags |= LVNI_DROPHILITED;
        const int i = static_cast<int>(Perform(LVM_GETNEXTITEM, static_cast<WPARAM>(from), flags));
        return i >= 0 ? RowItem(i, TItemRequest{irText, irImage, irParam, irState}) : nullptr;
    }
    // Without a window the model answers, in the order of the items.
    if (FOwnerData)
        return nullptr;
    for (int i = from + 1; i < static_cast<int>(FItems->FItems.size()); ++i) {
        TListItem* item = FItems->FItems[static_cast<std::size_t>(i)];
        if ((!States.Contains(isSelected) || item->FSelected) && (!States.Contains(isFocused) || FItems->FFocused == item))
            return item;
    }
    return nullptr;
}

TListItem* TCustomListView::GetItemAt(int X, int Y)
{
    if (!HandleAllocated())
        return nullptr;
    SyncItems();
    LVHITTESTINFO ht{};
    ht.pt = POINT{X, Y};
    const int i = static_cast<int>(Perform(LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&ht)));
    return i >= 0 && (ht.flags & LVHT_ONITEM) ? RowItem(i, TItemRequest{irText, irImage, irParam, irState}) : nullptr;
}

TListItem* TCustomListView::TopItem()
{
    if (!HandleAllocated())
        return nullptr;
    SyncItems();
    const int i = static_cast<int>(Perform(LVM_GETTOPINDEX));
    return RowItem(i, TItemRequest{irText, irImage, irParam, irState});
}

void TCustomListView::Scroll(int DX, int DY)
{
    if (!HandleAllocated())
        return;
    SyncItems();
    Perform(LVM_SCROLL, static_cast<WPARAM>(DX), DY);
}

bool TCustomListView::IsEditing()
{
    return HandleAllocated() && Perform(LVM_GETEDITCONTROL) != 0;
}

void TCustomListView::SortItems(const TLVCompare& Compare, int Data)
{
    if (FOwnerData || FItems->FItems.size() < 2)
        return;
    MergeSort(FItems->FItems, [&](TListItem* a, TListItem* b) { return Compare(a, b, Data) < 0; });
    FItems->FIndexed = 0;
    ItemsChanged(true);
}

bool TCustomListView::AlphaSort() { return CustomSort(nullptr, 0); }

bool TCustomListView::CustomSort(const TLVCompare& SortProc, int Data)
{
    if (SortProc) {
        SortItems(SortProc, Data);
        return true;
    }
    SortItems(
        [this](TListItem* a, TListItem* b, int d) {
            if (OnCompare) {
                int result = 0;
                OnCompare(this, a, b, d, result);
                return result;
            }
            return lstrcmpA(a->Caption().c_str(), b->Caption().c_str());
        },
        Data);
    return true;
}

int TCustomListView::FindCaption(const char* Text, bool Partial, int Start, bool Wrap)
{
    const int n = static_cast<int>(FItems->FItems.size());
    if (n == 0 || !Text)
        return -1;
    const int length = lstrlenA(Text);
    const int first = Start < 0 || Start >= n ? 0 : Start;
    for (int k = 0; k < n; ++k) {
        const int i = first + k;
        if (i >= n && !Wrap)
            break;
        const AnsiString& caption = FItems->FItems[static_cast<std::size_t>(i % n)]->FCaption;
        const bool match = Partial ? static_cast<int>(caption.size()) >= length &&
                                         CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE, caption.c_str(), length,
                                                        Text, length) == CSTR_EQUAL
                                   : lstrcmpiA(caption.c_str(), Text) == 0;
        if (match)
            return i % n;
    }
    return -1;
}

// --- Properties -------------------------------------------------------------------------------

void TCustomListView::SetOwnerData(bool Value)
{
    if (FOwnerData == Value)
        return;
    FItems->Clear();
    FOwnerData = Value;
    FItems->FDataCount = 0;
    FItems->FDataItem.reset();
    if (FHandle) {
        ++FManualNotify;
        Perform(LVM_SETITEMCOUNT, 0, 0);
        --FManualNotify;
        InvalidateRect(FHandle, nullptr, TRUE);
    }
}

void TCustomListView::SetStyleBit(DWORD Bit, bool On)
{
    SetWindowStyleBit(FHandle, Bit, On);
}

void TCustomListView::SetExStyleBit(DWORD Bit, bool On)
{
    if (FHandle)
        Perform(LVM_SETEXTENDEDLISTVIEWSTYLE, Bit, On ? Bit : 0);
}

void TCustomListView::SetViewStyle(TViewStyle Value)
{
    if (FViewStyle == Value)
        return;
    FViewStyle = Value;
    if (!FHandle)
        return;
    const LONG style = GetWindowLongA(FHandle, GWL_STYLE);
    SetWindowLongA(FHandle, GWL_STYLE, (style & ~static_cast<LONG>(LVS_TYPEMASK)) | static_cast<LONG>(ViewStyleBits[Value]));
    InvalidateRect(FHandle, nullptr, TRUE);
}

void TCustomListView::SetMultiSelect(bool Value)
{
    FMultiSelect = Value;
    SetStyleBit(LVS_SINGLESEL, !Value);
}

void TCustomListView::SetRowSelect(bool Value)
{
    FRowSelect = Value;
    SetExStyleBit(LVS_EX_FULLROWSELECT, Value);
}

void TCustomListView::SetShowColumnHeaders(bool Value)
{
    FShowColumnHeaders = Value;
    SetStyleBit(LVS_NOCOLUMNHEADER, !Value);
}

void TCustomListView::SetFullDrag(bool Value)
{
    FFullDrag = Value;
    SetExStyleBit(LVS_EX_HEADERDRAGDROP, Value);
}

void TCustomListView::SetReadOnly(bool Value)
{
    FReadOnly = Value;
    SetStyleBit(LVS_EDITLABELS, !Value);
}

void TCustomListView::SetHideSelection(bool Value)
{
    FHideSelection = Value;
    SetStyleBit(LVS_SHOWSELALWAYS, !Value);
}

void TCustomListView::SetBorderStyle(TBorderStyle Value)
{
    if (FBorderStyle == Value)
        return;
    FBorderStyle = Value;
    RecreateWnd();
}

void TCustomListView::SetSortType(TSortType Value)
{
    FSortType = Value;
    if (Value != stNone)
        AlphaSort();
}

void TCustomListView::SetSmallImages(TCustomImageList* Value)
{
    if (FSmallLink.Set(Value))
        ApplyImages();
}

void TCustomListView::SetLargeImages(TCustomImageList* Value)
{
    if (FLargeLink.Set(Value))
        ApplyImages();
}

void TCustomListView::ApplyImages()
{
    if (!FHandle)
        return;
    Perform(LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(FSmallLink.Handle()));
    Perform(LVM_SETIMAGELIST, LVSIL_NORMAL, reinterpret_cast<LPARAM>(FLargeLink.Handle()));
}

void TCustomListView::ImageListChange(TObject*)
{
    if (FHandle) {
        ApplyImages();
        InvalidateRect(FHandle, nullptr, TRUE);
    }
}

// --- Overridable steps ------------------------------------------------------------------------

bool TCustomListView::OwnerDataFetch(TListItem* Item, TItemRequest)
{
    if (!OnData)
        return false;
    OnData(this, Item);
    return true;
}

int TCustomListView::OwnerDataFind(TItemFind Find, const AnsiString& FindString, const TPoint& FindPosition,
                                   void* FindData, int StartIndex, TSearchDirection Direction, bool Wrap)
{
    int index = -1;
    if (OnDataFind)
        OnDataFind(this, Find, FindString, FindPosition, FindData, StartIndex, Direction, Wrap, index);
    return index;
}

bool TCustomListView::CanEdit(TListItem* Item)
{
    bool allow = true;
    if (OnEditing)
        OnEditing(this, Item, allow);
    return allow;
}

void TCustomListView::Edit(const LVITEMA& Item)
{
    if (!Item.pszText)
        return; // cancelled: no event, the caption stays
    TListItem* item = RowItem(Item.iItem, TItemRequest{irText, irImage, irParam});
    if (!item)
        return;
    AnsiString s = Item.pszText;
    if (OnEdited)
        OnEdited(this, item, s);
    if (!FOwnerData)
        item->SetCaption(s);
}

void TCustomListView::ColumnClick(TListColumn* Column)
{
    if (OnColumnClick)
        OnColumnClick(this, Column);
}

void TCustomListView::Change(TListItem* Item, TItemChange Change)
{
    if (OnChange)
        OnChange(this, Item, Change);
}

bool TCustomListView::IsCustomDrawn(TCustomDrawTarget Target, TCustomDrawStage Stage)
{
    switch (Target) {
    case dtControl: return (Stage == cdPrePaint && OnCustomDraw) || static_cast<bool>(OnAdvancedCustomDraw);
    case dtItem: return (Stage == cdPrePaint && OnCustomDrawItem) || static_cast<bool>(OnAdvancedCustomDrawItem);
    case dtSubItem:
        return (Stage == cdPrePaint && OnCustomDrawSubItem) || static_cast<bool>(OnAdvancedCustomDrawSubItem);
    }
    return false;
}

bool TCustomListView::CustomDraw(const TRect& ARect, TCustomDrawStage Stage)
{
    bool defaultDraw = true;
    if (Stage == cdPrePaint && OnCustomDraw)
        OnCustomDraw(this, ARect, defaultDraw);
    if (defaultDraw && OnAdvancedCustomDraw)
        OnAdvancedCustomDraw(this, ARect, Stage, defaultDraw);
    return defaultDraw;
}

bool TCustomListView::CustomDrawItem(TListItem* Item, TCustomDrawState State, TCustomDrawStage Stage)
{
    bool defaultDraw = true;
    if (Stage == cdPrePaint && OnCustomDrawItem)
        OnCustomDrawItem(this, Item, State, defaultDraw);
    if (defaultDraw && OnAdvancedCustomDrawItem)
        OnAdvancedCustomDrawItem(this, Item, State, Stage, defaultDraw);
    return defaultDraw;
}

bool TCustomListView::CustomDrawSubItem(TListItem* Item, int SubItem, TCustomDrawState State, TCustomDrawStage Stage)
{
    bool defaultDraw = true;
    if (Stage == cdPrePaint && OnCustomDrawSubItem)
        OnCustomDrawSubItem(this, Item, SubItem, State, defaultDraw);
    if (defaultDraw && OnAdvancedCustomDrawSubItem)
        OnAdvancedCustomDrawSubItem(this, Item, SubItem, State, Stage, defaultDraw);
    return defaultDraw;
}

// --- Messages ---------------------------------------------------------------------------------

void TCustomListView::Dispatch(TMessage& Message)
{
    switch (Message.Msg) {
    case CN_BASE + WM_NOTIFY:
        CNNotify(Message);
        return;
    case WM_NOTIFY:
        HeaderNotify(Message);
        break;
    case WM_PAINT:
        // Rows the model has are painted only when the window knows of them.
        SyncItems();
        break;
    case CM_COLORCHANGED:
    case CM_FONTCHANGED:
        // The native control paints with colours of its own: it is told of every change.
        inherited::Dispatch(Message);
        if (FHandle) {
            const auto bk = static_cast<LPARAM>(ColorToRGB(FColor));
            Perform(LVM_SETBKCOLOR, 0, bk);
            Perform(LVM_SETTEXTBKCOLOR, 0, bk);
            Perform(LVM_SETTEXTCOLOR, 0, static_cast<LPARAM>(ColorToRGB(FFont->Color())));
            InvalidateRect(FHandle, nullptr, TRUE);
        }
        return;
    case CM_WANTSPECIALKEY:
        // While a caption is edited, Enter and Esc belong to the edit box (they end the edit)
        // and must not reach the form's default and cancel buttons.
        inherited::Dispatch(Message);
        if (IsEditing() && (Message.WParam == VK_RETURN || Message.WParam == VK_ESCAPE))
            Message.Result = 1;
        return;
    default:
        break;
    }
    inherited::Dispatch(Message);
}

void TCustomListView::GetDispInfo(NMLVDISPINFOA& Info)
{
    LVITEMA& it = Info.item;
    TItemRequest request;
    if (it.mask & LVIF_TEXT) request << irText;
    if (it.mask & LVIF_IMAGE) request << irImage;
    if (it.mask & LVIF_PARAM) request << irParam;
    if (it.mask & LVIF_STATE) request << irState;
    if (it.mask & LVIF_INDENT) request << irIndent;
    TListItem* item = RowItem(it.iItem, request);
    if (!item)
        return;
    if ((it.mask & LVIF_TEXT) && it.pszText && it.cchTextMax > 0) {
        const AnsiString text = it.iSubItem == 0 ? item->FCaption : item->SubItemText(it.iSubItem - 1);
        lstrcpynA(it.pszText, text.c_str(), it.cchTextMax);
    }
    if (it.mask & LVIF_IMAGE)
        it.iImage = it.iSubItem == 0 ? item->FImageIndex : -1;
    if (it.mask & LVIF_INDENT)
        it.iIndent = 0;
}

void TCustomListView::CNNotify(TMessage& Message)
{
    auto* hdr = reinterpret_cast<NMHDR*>(Message.LParam);
    Message.Result = 0;
    switch (hdr->code) {
    case LVN_GETDISPINFOA:
        GetDispInfo(*reinterpret_cast<NMLVDISPINFOA*>(hdr));
        return;
    case LVN_ODFINDITEMA:
    case LVN_ODFINDITEMW: {
        // The find record has the same layout in both forms but for the text's characters.
        auto* f = reinterpret_cast<NMLVFINDITEMA*>(hdr);
        const LVFINDINFOA& fi = f->lvfi;
        AnsiString text;
        if ((fi.flags & (LVFI_STRING | LVFI_PARTIAL)) && fi.psz) {
            if (hdr->code == LVN_ODFINDITEMW) {
                const auto* w = reinterpret_cast<const wchar_t*>(fi.psz);
                const int n = WideCharToMultiByte(CP_ACP, 0, w, -1, nullptr, 0, nullptr, nullptr);
                if (n > 1) {
                    text.resize(static_cast<std::size_t>(n));
                    WideCharToMultiByte(CP_ACP, 0, w, -1, text.data(), n, nullptr, nullptr);
                    text.resize(static_cast<std::size_t>(n - 1));
                }
            } else {
                text = fi.psz;
            }
        }
        const bool wrap = (fi.flags & LVFI_WRAP) != 0;
        if (!FOwnerData) {
            if (fi.flags & LVFI_PARAM) {
                Message.Result = -1;
                for (std::size_t i = 0; i < FItems->FItems.size(); ++i)
                    if (reinterpret_cast<LPARAM>(FItems->FItems[i]->FData) == fi.lParam) {
                        Message.Result = static_cast<LRESULT>(i);
                        break;
                    }
            } else {
                Message.Result = FindCaption(text.c_str(), (fi.flags & LVFI_PARTIAL) != 0, f->iStart, wrap);
            }
            return;
        }
        const TItemFind find = (fi.flags & LVFI_PARAM)     ? ifData
                               : (fi.flags & LVFI_PARTIAL) ? ifPartialString
                               : (fi.flags & LVFI_STRING)  ? ifExactString
                                                           : ifNearest;
        const TSearchDirection direction = fi.vkDirection == VK_LEFT    ? sdLeft
                                           : fi.vkDirection == VK_RIGHT ? sdRight
                                           : fi.vkDirection == VK_UP    ? sdAbove
                                           : fi.vkDirection == VK_DOWN  ? sdBelow
                                                                        : sdAll;
        Message.Result = OwnerDataFind(find, text, TPoint{fi.pt.x, fi.pt.y}, reinterpret_cast<void*>(fi.lParam),
                                       f->iStart, direction, wrap);
        return;
    }
    case LVN_ITEMCHANGED: {
        auto* nm = reinterpret_cast<NMLISTVIEW*>(hdr);
        if (!FManualNotify && (nm->uChanged & LVIF_STATE))
            StateChanged(nm->iItem, nm->uOldState, nm->uNewState);
        return;
    }
    case LVN_ODSTATECHANGED: {
        auto* nm = reinterpret_cast<NMLVODSTATECHANGE*>(hdr);
        if (FManualNotify || FOwnerData)
            return;
        for (int i = std::max(nm->iFrom, 0); i <= nm->iTo && i < static_cast<int>(FItems->FItems.size()); ++i)
            StateChanged(i, nm->uOldState, nm->uNewState);
        return;
    }
    case LVN_BEGINLABELEDITA: {
        auto* di = reinterpret_cast<NMLVDISPINFOA*>(hdr);
        TListItem* item = FReadOnly ? nullptr : RowItem(di->item.iItem, TItemRequest{irText, irImage, irParam});
        const bool allow = item && CanEdit(item);
        FEditing = allow;
        Message.Result = allow ? 0 : 1;
        return;
    }
    case LVN_ENDLABELEDITA: {
        // One edit ends once, whatever the native control reports while it destroys its edit box.
        if (!FEditing)
            return;
        FEditing = false;
        Edit(reinterpret_cast<NMLVDISPINFOA*>(hdr)->item);
        return;
    }
    case LVN_COLUMNCLICK: {
        auto* nm = reinterpret_cast<NMLISTVIEW*>(hdr);
        if (nm->iSubItem >= 0 && nm->iSubItem < FColumns->Count())
            ColumnClick(FColumns->Items(nm->iSubItem));
        return;
    }
    case NM_CUSTOMDRAW:
        CustomDrawNotify(Message);
        return;
    default:
        break;
    }
    inherited::Dispatch(Message);
}

void TCustomListView::CustomDrawNotify(TMessage& Message)
{
    auto* cd = reinterpret_cast<NMLVCUSTOMDRAW*>(Message.LParam);
    NMCUSTOMDRAW& n = cd->nmcd;
    Message.Result = CDRF_DODEFAULT;
    const DWORD stage = n.dwDrawStage;
    if (!(stage & CDDS_ITEM)) {
        TCustomDrawStage s;
        switch (stage) {
        case CDDS_PREPAINT: s = cdPrePaint; break;
        case CDDS_POSTPAINT: s = cdPostPaint; break;
        case CDDS_PREERASE: s = cdPreErase; break;
        case CDDS_POSTERASE: s = cdPostErase; break;
        default: return;
        }
        if (IsCustomDrawn(dtControl, s)) {
            TCanvasLoan loan(*FCanvas, n.hdc);
            FCanvas->Font()->Assign(FFont.get());
            FCanvas->Brush()->SetColor(FColor);
            if (!CustomDraw(ClientRect(), s) && (s == cdPrePaint || s == cdPreErase)) {
                Message.Result = CDRF_SKIPDEFAULT;
                return;
            }
        }
        if (s != cdPrePaint)
            return;
        LRESULT r = CDRF_DODEFAULT;
        if (IsCustomDrawn(dtItem, cdPrePaint) || IsCustomDrawn(dtItem, cdPostPaint) ||
            IsCustomDrawn(dtSubItem, cdPrePaint) || IsCustomDrawn(dtSubItem, cdPostPaint))
            r |= CDRF_NOTIFYITEMDRAW;
        if (IsCustomDrawn(dtControl, cdPostPaint))
            r |= CDRF_NOTIFYPOSTPAINT;
        if (IsCustomDrawn(dtControl, cdPostErase))
            r |= CDRF_NOTIFYPOSTERASE;
        Message.Result = r;
        return;
    }
    const bool subItem = (stage & CDDS_SUBITEM) != 0;
    const bool pre = (stage & ~CDDS_SUBITEM) == CDDS_ITEMPREPAINT;
    if (!pre && (stage & ~CDDS_SUBITEM) != CDDS_ITEMPOSTPAINT)
        return;
    TListItem* item = RowItem(static_cast<int>(n.dwItemSpec), TItemRequest{irText, irImage, irParam, irState});
    if (!item)
        return;
    const TCustomDrawStage s = pre ? cdPrePaint : cdPostPaint;
    const TCustomDrawTarget target = subItem ? dtSubItem : dtItem;
    if (!IsCustomDrawn(target, s)) {
        if (pre && !subItem && (IsCustomDrawn(dtSubItem, cdPrePaint) || IsCustomDrawn(dtSubItem, cdPostPaint)))
            Message.Result = CDRF_NOTIFYSUBITEMDRAW;
        return;
    }
    bool defaultDraw = true;
    const HFONT font = DrawItemStage(*FCanvas, n.hdc, FFont.get(), cd->clrText, cd->clrTextBk, [&] {
        const TCustomDrawState state = CustomDrawStateOf(n.uItemState);
        defaultDraw = subItem ? CustomDrawSubItem(item, cd->iSubItem, state, s) : CustomDrawItem(item, state, s);
    });
    if (!pre)
        return;
    if (!defaultDraw) {
        Message.Result = CDRF_SKIPDEFAULT;
        return;
    }
    SelectObject(n.hdc, font);
    Message.Result = CDRF_NEWFONT;
    if (!subItem && (IsCustomDrawn(dtSubItem, cdPrePaint) || IsCustomDrawn(dtSubItem, cdPostPaint)))
        Message.Result |= CDRF_NOTIFYSUBITEMDRAW;
    if (IsCustomDrawn(target, cdPostPaint))
        Message.Result |= CDRF_NOTIFYPOSTPAINT;
}
