// The base of the adapters that skin controls of classes the library has no skinned class for
// (grids): the adapter finds the supported controls of its form or frame, keeps one item with its
// own skin state for each, and hooks them. The item operations are the descendant's.
#pragma once

#include "Classes.h"
#include "ClassesCollections.h"
#include "Controls.h"
#include "sCommonData.h"

// The base of an adapter's item collections.
class TsCtrlCollection : public TOwnedCollection {
    VCL_CLASS(TsCtrlCollection, TOwnedCollection)
public:
    using TOwnedCollection::TOwnedCollection;
};

class TsCtrlAdapter : public TComponent {
    VCL_CLASS(TsCtrlAdapter, TComponent)
public:
    explicit TsCtrlAdapter(TComponent* AOwner);
    // Every item removed while the adapter is whole.
    void BeforeDestruction() override;
    // Hooks the controls once streaming has ended.
    void Loaded() override;
    // Supported controls coming are added (with AutoSearch); going ones, freed or not, lose their
    // item.
    void Notification(TComponent* AComponent, TOperation Operation) override;

    // The supported controls are found and added by the adapter itself.
    bool AutoSearch() const { return FAutoSearch; }
    void SetAutoSearch(bool Value);
    // The frame (else the form) the adapter belongs to, found on first use.
    TWinControl* GetForm();
    // Adds every supported component of the form, and those of its frames that are not supported
    // themselves.
    void AddAllItems();
    // With AutoSearch, AddAllItems; otherwise each item hooks the control of its name (a frame's
    // name, a dot and a name reach into the frame); an item without a name ends the pass.
    void HookAll();

    virtual bool IsControlSupported(TComponent* Component);
    virtual int Count() { return 0; }
    virtual void DoHook(int, TWinControl*) {}
    virtual TCollectionItem* GetItem(int) { return nullptr; }
    virtual TsCommonData* GetCommonData(int) { return nullptr; }
    virtual int IndexOf(const AnsiString&) { return -1; }
    virtual void AddNewItem(TWinControl*) {}
    virtual void AddNewItem(TWinControl*, const AnsiString&) {}
    virtual void RemoveItem(int) {}

protected:
    // The class of the controls this adapter supports (none in the base).
    const TClassInfo* ControlClass = nullptr;

private:
    bool FAutoSearch = true;
    TWinControl* FForm = nullptr;
};
