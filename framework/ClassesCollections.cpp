#include "Classes.h"

#include <algorithm>

// --- TCollectionItem ---------------------------------------------------------------------------

TCollectionItem::TCollectionItem(TCollection* Collection)
{
    if (Collection)
        Collection->InsertItem(this, Collection->Count());
}

TCollectionItem::~TCollectionItem()
{
    if (FCollection)
        FCollection->RemoveItem(this);
}

void TCollectionItem::SetCollection(TCollection* Value)
{
    if (Value == FCollection)
        return;
    if (FCollection) {
        TCollection* old = FCollection;
        old->Notify(this, cnExtracting);
        old->RemoveItem(this);
        old->Changed();
    }
    if (Value) {
        Value->InsertItem(this, Value->Count());
        Value->Notify(this, cnAdded);
        Value->Changed();
    }
}

int TCollectionItem::Index() const
{
    if (!FCollection)
        return -1;
    const auto& items = FCollection->FItems;
    return static_cast<int>(std::find(items.begin(), items.end(), this) - items.begin());
}

void TCollectionItem::SetIndex(int Value)
{
    const int cur = Index();
    if (cur < 0 || Value < 0 || Value == cur)
        return;
    auto& items = FCollection->FItems;
    Value = std::min(Value, static_cast<int>(items.size()) - 1);
    items.erase(items.begin() + cur);
    items.insert(items.begin() + Value, this);
    Changed(true);
}

void TCollectionItem::SetDisplayName(const AnsiString&)
{
    Changed(false);
}

AnsiString TCollectionItem::GetDisplayName() const
{
    return ClassName();
}

void TCollectionItem::Changed(bool AllItems)
{
    if (FCollection && FCollection->FUpdateCount == 0)
        FCollection->Update(AllItems ? nullptr : this);
}

// --- TCollection -------------------------------------------------------------------------------

TCollection::TCollection(TCollectionItemClass ItemClass) : FItemClass(ItemClass) {}

TCollection::~TCollection()
{
    // Items go without notifications: the descendant that would hear them is already gone.
    FDestroying = true;
    ++FUpdateCount;
    while (!FItems.empty()) {
        TCollectionItem* item = FItems.back();
        FItems.pop_back();
        item->FCollection = nullptr;
        delete item;
    }
}

void TCollection::InsertItem(TCollectionItem* Item, int Index)
{
    FItems.insert(FItems.begin() + Index, Item);
    Item->FCollection = this;
    Item->FID = FNextID++;
}

void TCollection::RemoveItem(TCollectionItem* Item)
{
    auto it = std::find(FItems.begin(), FItems.end(), Item);
    if (it != FItems.end())
        FItems.erase(it);
    Item->FCollection = nullptr;
}

void TCollection::CheckIndex(int Index) const
{
    if (Index < 0 || Index >= Count())
        throw EListError("List index out of bounds (" + IntToStr(Index) + ")");
}

TCollectionItem* TCollection::Add()
{
    return Insert(Count());
}

TCollectionItem* TCollection::Insert(int Index)
{
    if (Index < 0 || Index > Count())
        throw EListError("List index out of bounds (" + IntToStr(Index) + ")");
    // The item's constructor puts it at the end; move it to its place.
    TCollectionItem* item = FItemClass.Make(this);
    if (Index != Count() - 1) {
        FItems.pop_back();
        FItems.insert(FItems.begin() + Index, item);
    }
    Notify(item, cnAdded);
    Changed();
    return item;
}

void TCollection::Delete(int Index)
{
    CheckIndex(Index);
    TCollectionItem* item = FItems[static_cast<std::size_t>(Index)];
    Notify(item, cnDeleting);
    RemoveItem(item);
    delete item;
    Changed();
}

void TCollection::Clear()
{
    if (FItems.empty())
        return;
    BeginUpdate();
    try {
        while (!FItems.empty())
            Delete(Count() - 1);
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

TCollectionItem* TCollection::Items(int Index) const
{
    CheckIndex(Index);
    return FItems[static_cast<std::size_t>(Index)];
}

TCollectionItem* TCollection::FindItemID(int ID) const
{
    for (TCollectionItem* item : FItems)
        if (item->FID == ID)
            return item;
    return nullptr;
}

void TCollection::EndUpdate()
{
    if (FUpdateCount > 0 && --FUpdateCount == 0)
        Changed();
}

void TCollection::Assign(TPersistent* Source)
{
    auto* src = dynamic_cast<TCollection*>(Source);
    if (!src) {
        inherited::Assign(Source);
        return;
    }
    if (src == this)
        return;
    BeginUpdate();
    try {
        Clear();
        for (TCollectionItem* item : src->FItems)
            Add()->Assign(item);
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

void TCollection::Update(TCollectionItem*) {}

void TCollection::Notify(TCollectionItem*, TCollectionNotification) {}

void TCollection::Changed()
{
    if (FUpdateCount == 0 && !FDestroying)
        Update(nullptr);
}
