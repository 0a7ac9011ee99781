// Collections: an owned, ordered list of items of one class, copied as a whole by Assign and
// telling its owner of every change through Update. Included by Classes.h; include Classes.h.
#pragma once

#include <vector>

#include "Classes.h"

class TCollection;
class TCollectionItem;

// What a collection makes when it adds an item: the class record (for ClassName and type tests)
// and the function that constructs one item in a collection.
struct TCollectionItemClass {
    const TClassInfo* Info = nullptr;
    TCollectionItem* (*Make)(TCollection* Collection) = nullptr;
};

// The item class of T, a TCollectionItem with a constructor T(TCollection*).
template <class T>
TCollectionItemClass CollectionItemClass()
{
    return {T::StaticClassInfo(), [](TCollection* c) -> TCollectionItem* { return new T(c); }};
}

enum TCollectionNotification { cnAdded, cnExtracting, cnDeleting };

// One item. It belongs to the collection given to its constructor, which frees it; freeing an
// item (Free or delete) takes it out of its collection first.
class TCollectionItem : public TPersistent {
    VCL_CLASS(TCollectionItem, TPersistent)
public:
    explicit TCollectionItem(TCollection* Collection);
    ~TCollectionItem() override;

    TCollection* Collection() const { return FCollection; }
    // Moves the item into another collection (at its end), or out of any with nullptr; the item
    // then has no owner and the caller frees it.
    void SetCollection(TCollection* Value);
    // Position in the collection (-1 without one); SetIndex moves the item there.
    int Index() const;
    virtual void SetIndex(int Value);
    // A number unique within the collection, given when the item joins it.
    int ID() const { return FID; }
    AnsiString DisplayName() const { return GetDisplayName(); }
    virtual void SetDisplayName(const AnsiString& Value);

protected:
    // The class name unless a descendant names its items.
    virtual AnsiString GetDisplayName() const;
    // Tells the collection that this item (or, with AllItems, the whole collection) changed.
    void Changed(bool AllItems);

private:
    friend class TCollection;
    TCollection* FCollection = nullptr;
    int FID = 0;
};

// The collection owns its items and frees them, last first, when it is cleared or freed.
class TCollection : public TPersistent {
    VCL_CLASS(TCollection, TPersistent)
public:
    explicit TCollection(TCollectionItemClass ItemClass);
    ~TCollection() override;

    // Makes a new item of the item class at the end (at Index) and returns it.
    TCollectionItem* Add();
    TCollectionItem* Insert(int Index);
    // Frees the item at Index; EListError "List index out of bounds (<n>)" out of range.
    void Delete(int Index);
    void Clear();
    int Count() const { return static_cast<int>(FItems.size()); }
    // EListError out of range, like Delete.
    TCollectionItem* Items(int Index) const;
    // Copies Value into the item at Index.
    void SetItem(int Index, TCollectionItem* Value) { Items(Index)->Assign(Value); }
    // The item with that ID, or nullptr.
    TCollectionItem* FindItemID(int ID) const;
    TCollectionItemClass ItemClass() const { return FItemClass; }

    // Changes between BeginUpdate and the last EndUpdate are reported once, by EndUpdate.
    void BeginUpdate() { ++FUpdateCount; }
    virtual void EndUpdate();
    int UpdateCount() const { return FUpdateCount; }

    // From another collection: this one is emptied and gets a copy of each of Source's items
    // (made with this collection's item class and copied by the item's Assign).
    void Assign(TPersistent* Source) override;
    // The object that owns the collection (a TOwnedCollection's owner), or nullptr.
    virtual TPersistent* GetOwner() const { return nullptr; }

protected:
    // Called after a change while no update is running: Item is the changed item, or nullptr
    // when the whole collection (or more than one item) changed.
    virtual void Update(TCollectionItem* Item);
    // Called when an item has joined the collection, is about to leave it, or is about to be freed.
    virtual void Notify(TCollectionItem* Item, TCollectionNotification Action);
    // Update(nullptr) unless an update is running.
    void Changed();

private:
    friend class TCollectionItem;
    // The item joins at Index (its ID is given); the notifications are left to the caller.
    void InsertItem(TCollectionItem* Item, int Index);
    // The item leaves without being freed.
    void RemoveItem(TCollectionItem* Item);
    void CheckIndex(int Index) const;

    TCollectionItemClass FItemClass;
    std::vector<TCollectionItem*> FItems;
    int FNextID = 0;
    int FUpdateCount = 0;
    bool FDestroying = false;
};

// A collection that knows the object owning it (GetOwner).
class TOwnedCollection : public TCollection {
    VCL_CLASS(TOwnedCollection, TCollection)
public:
    TOwnedCollection(TPersistent* AOwner, TCollectionItemClass ItemClass)
        : TCollection(ItemClass), FOwner(AOwner)
    {
    }
    TPersistent* GetOwner() const override { return FOwner; }

private:
    TPersistent* FOwner;
};
