// Components: ownership, names, free notifications, component state and the loading pass.
// Included by Classes.h; include Classes.h rather than this header.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <vector>

#include "Classes.h"

class TPersistent;
class TReader;
class TWriter;

// A small set of enumeration values (the framework's `set of`), enough for states, styles,
// shift states and anchors. Values must be below 64.
template <class E>
class TSet {
public:
    constexpr TSet() = default;
    constexpr TSet(std::initializer_list<E> items)
    {
        for (E e : items)
            bits_ |= Bit(e);
    }
    constexpr bool Contains(E e) const { return (bits_ & Bit(e)) != 0; }
    constexpr TSet& Include(E e)
    {
        bits_ |= Bit(e);
        return *this;
    }
    constexpr TSet& Exclude(E e)
    {
        bits_ &= ~Bit(e);
        return *this;
    }
    // C++Builder style: `State << csLoading` adds, `State >> csLoading` removes.
    constexpr TSet& operator<<(E e) { return Include(e); }
    constexpr TSet& operator>>(E e) { return Exclude(e); }
    constexpr TSet operator+(TSet o) const { return FromBits(bits_ | o.bits_); }
    constexpr TSet operator-(TSet o) const { return FromBits(bits_ & ~o.bits_); }
    constexpr TSet operator*(TSet o) const { return FromBits(bits_ & o.bits_); }
    constexpr bool operator==(const TSet& o) const = default;
    constexpr bool Empty() const { return bits_ == 0; }
    constexpr std::uint64_t Bits() const { return bits_; }
    static constexpr TSet FromBits(std::uint64_t b)
    {
        TSet s;
        s.bits_ = b;
        return s;
    }

private:
    static constexpr std::uint64_t Bit(E e) { return std::uint64_t(1) << static_cast<unsigned>(e); }
    std::uint64_t bits_ = 0;
};

enum TOperation { opInsert, opRemove };

enum TComponentStateItem {
    csLoading,
    csReading,
    csWriting,
    csDestroying,
    csDesigning, // never set: there is no designer
    csAncestor,
    csUpdating,
    csFixups,
    csFreeNotification,
    csInline,
    csDesignInstance
};
using TComponentState = TSet<TComponentStateItem>;

class TComponent;
// Marks Root (and every component created with an owner that is loading) as loading.
void BeginLoading(TComponent* Root);
// The loading pass after a form's components are built: Loaded on Root, then on each of its
// components in creation order (each that is still loading), nested owners included.
void LoadedAll(TComponent* Root);

// A component: owned by another component that frees it, named, notified when components
// it refers to go away.
//
// Create components with Create<T>(Owner): the constructor links the component into its
// owner's list; AfterConstruction (run by Create) then sends the opInsert notifications, so
// overrides of Notification see a complete object. Free() runs BeforeDestruction before any
// destructor body: the component (and everything it owns) is marked csDestroying, each class
// does its own part and then calls the inherited one, and TComponent's part, last, tells the
// free-notification subscribers, frees the owned components (last created first) and leaves the
// owner, all while the object is whole. Deleting a component directly is allowed, but then
// these steps run only in ~TComponent, after the derived parts are gone.
class TComponent : public TPersistent {
    VCL_CLASS(TComponent, TPersistent)
public:
    explicit TComponent(TComponent* AOwner);
    ~TComponent() override;

    void AfterConstruction() override;
    void BeforeDestruction() override;

    TComponent* Owner() const { return FOwner; }
    const AnsiString& Name() const { return FName; }
    // Raises EComponentError for a name that is not an identifier or that the owner already
    // has (compared without ASCII case). An empty name is allowed.
    virtual void SetName(const AnsiString& NewName);
    Integer Tag = 0;

    int ComponentCount() const { return static_cast<int>(FComponents.size()); }
    // Raises EListError for an index out of range.
    TComponent* Components(int Index) const;
    // Position in the owner's list; -1 without owner.
    int ComponentIndex() const;
    void SetComponentIndex(int Value);
    TComponentState ComponentState() const { return FComponentState; }

    // The owned component with this name (without ASCII case), or null.
    TComponent* FindComponent(const AnsiString& AName) const;

    // Takes AComponent into this component's list (removing it from its old owner first) and
    // notifies every component of this owner with opInsert.
    void InsertComponent(TComponent* AComponent);
    // Notifies every component of this owner with opRemove, then drops AComponent from the list
    // (the component is not freed; its owner becomes null).
    void RemoveComponent(TComponent* AComponent);
    // Frees every owned component, last created first.
    void DestroyComponents();
    // Sets csDestroying here and in every owned component (recursively).
    void Destroying();

    // Asks for Notification(AComponent, opRemove) when AComponent is freed (and the other way
    // round); RemoveFreeNotification drops the link on both sides.
    void FreeNotification(TComponent* AComponent);
    void RemoveFreeNotification(TComponent* AComponent);

    // Component streaming: writes this component's published properties; reads one property
    // (returns false for a name this class does not know).
    virtual void WriteProperties(TWriter& Writer);
    virtual bool ReadProperty(TReader& Reader, const AnsiString& PropPath);

    // Called once the component and its siblings are built (see LoadedAll).
    virtual void Loaded();

protected:
    void MarkDestroying() override { Destroying(); }
    // Informs this component that AComponent is inserted or removed; the default drops a free
    // notification link to a removed component and passes the call to every owned component.
    virtual void Notification(TComponent* AComponent, TOperation Operation);
    virtual void ValidateRename(TComponent* AComponent, const AnsiString& CurName, const AnsiString& NewName);
    void SetComponentStateItem(TComponentStateItem Item, bool On)
    {
        if (On)
            FComponentState.Include(Item);
        else
            FComponentState.Exclude(Item);
    }

    TComponentState FComponentState;

private:
    friend void BeginLoading(TComponent* Root);
    friend void LoadedAll(TComponent* Root);
    friend class TReader;
    friend class TWriter;

    void Insert(TComponent* AComponent);
    void Remove(TComponent* AComponent);
    void ReleaseComponents();
    void RemoveNotification(TComponent* AComponent);

    TComponent* FOwner = nullptr;
    AnsiString FName;
    std::vector<TComponent*> FComponents;
    std::vector<TComponent*> FFreeNotifies;
};

using TComponentClass = const TClassInfo*;

// True when Ident is a Pascal identifier: a letter or "_", then letters, digits or "_".
bool IsValidIdent(const AnsiString& Ident);
