// The grid adapter: skins the framework's grids, which have no skinned class, from outside. Placed
// on a form or frame it finds the grids there (AutoSearch) and keeps one item for each: its own
// skin state (control-type code 227), the grid's window procedure taken over, the grid's border
// painted from the skin, its colours from the skin, and skinned scroll bars laid over its own.
// Data-aware grids and controls that are skinned already are never hooked.
#pragma once

#include <memory>

#include "ClassesCollections.h"
#include "ExtCtrls.h"
#include "Grids.h"
#include "SubclassWindow.h"
#include "sAdapter.h"
#include "sCommonData.h"
#include "sScrollBar.h"

class TsGridAdapter;

// One hooked grid.
class TsGridItem : public TCollectionItem {
    VCL_CLASS(TsGridItem, TCollectionItem)
public:
    explicit TsGridItem(TCollection* Collection);
    ~TsGridItem() override;

    TsCommonData* SkinData() const { return FSkinData.get(); }
    AnsiString CtrlName;
    TsScrollBar* VSBar = nullptr; // made on demand, owned by the adapter
    TsScrollBar* HSBar = nullptr;
    TCustomGrid* Ctrl = nullptr;  // the hooked grid, not owned
    // The grid's border (GridBorderWidth), as the last refresh of the bars found it.
    int BorderWidth = 0;
    // Set while the adapter itself moves a bar or the grid.
    Byte Scrolling = 0;

    void SetDisplayName(const AnsiString& Value) override;
    // The adapter the item's collection belongs to (null outside one).
    TsGridAdapter* Adapter() const;
    // Takes the grid over (nothing when it answers AC_ISSKINNED with a parent already).
    void DoHook(TWinControl* Control);
    // Lets the grid go: its procedure and its own look back, the bars freed.
    void Delete();
    // The cache: the section's background and border at the grid's place, when it changed.
    void PaintAll();
    void NewWndProc(TMessage& Message);
    // The grid's procedure below the take-over.
    void OldWndProc(TMessage& Message) { FHook.CallDefault(Message); }

protected:
    AnsiString GetDisplayName() const override { return CtrlName; }

private:
    bool SkinnedMode() const;
    void SkinCommand(TMessage& Message);
    void NCPaint();
    // The bars again, unless the adapter is moving them itself.
    void Refresh();

    std::unique_ptr<TsCommonData> FSkinData;
    // The take-over of the grid's window procedure; other take-overs of the grid may come and go
    // in any order.
    TWindowProcHook FHook;
};

class TsGridItems : public TsCtrlCollection {
    VCL_CLASS(TsGridItems, TsCtrlCollection)
public:
    explicit TsGridItems(TsGridAdapter* AOwner);
    TsGridItem* GetItem(int Index) const { return static_cast<TsGridItem*>(Items(Index)); }
    void SetItem(int Index, TsGridItem* Value) { TCollection::SetItem(Index, Value); }
};

// What an item's bar shows of one direction: the host's scroll description, and whether the bar
// is enabled.
struct TsGridScrollInfo : TsScrollInfo {
    bool Enabled = false;
};

class TsGridAdapter : public TsCtrlAdapter {
    VCL_CLASS(TsGridAdapter, TsCtrlAdapter)
public:
    explicit TsGridAdapter(TComponent* AOwner);
    ~TsGridAdapter() override;

    TsGridItems* Controls() const { return FControls.get(); }
    // Copies the collection.
    void SetControls(TsGridItems* Value) { FControls->Assign(Value); }
    const AnsiString& DefaultSection() const { return FDefaultSection; }

    bool IsControlSupported(TComponent* Component) override;
    int Count() override;
    void DoHook(int Index, TWinControl* Control) override;
    TCollectionItem* GetItem(int Index) override;
    TsCommonData* GetCommonData(int Index) override;
    int IndexOf(const AnsiString& Name) override;
    void AddNewItem(TWinControl* Control) override;
    void AddNewItem(TWinControl* Control, const AnsiString& Section) override;
    void RemoveItem(int Index) override;
    TsGridItem* Item(int Index) const { return FControls->GetItem(Index); }

    // Every item's procedure hears the message, in order.
    void WndProc(TMessage& Message);

    // The item's skinned bars made, filled and placed from the grid's rows and columns.
    void RefreshScrolls(TsGridItem* Item);
    void GetVScrollInfo(TsGridItem* Item, TsGridScrollInfo& Info);
    void GetHScrollInfo(TsGridItem* Item, TsGridScrollInfo& Info);
    // The grid shows a horizontal bar and has columns that do not fit.
    bool HScrollVisible(TsGridItem* Item);
    // The scrollable columns that fit at the end of the grid, less one (-1: the fixed columns
    // reach the last one).
    int LastVisibleColsCount(TsGridItem* Item);
    // The bar of that kind hidden.
    void ClearOffset(TsGridItem* Item, TScrollBarKind Kind);
    void OnVSBChange(TObject* Sender, int OldValue);
    void OnHSBChange(TObject* Sender, int OldValue);
    // The horizontal bar to the grid's first column shown.
    void UpdateHScroll(TsGridItem* Item);

protected:
    // A grid that goes takes its item with it, whatever name the item knows it by.
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    friend class TsGridTimer;
    TsGridItem* ItemOfBar(TObject* Bar) const;
    // A hooked grid that has just got its parent: its colours and bars.
    void ParentArrived(TWinControl* Control);

    AnsiString FDefaultSection = "EDIT";
    std::unique_ptr<TsGridItems> FControls;
};

// Waits for a grid hooked without a parent: every 10 ms it looks, and once the grid has one the
// adapter adds it again (and skins it) and the timer goes. It goes too when the grid does (the
// adapter, its owner, passes the grid's going on to it).
class TsGridTimer : public TTimer {
    VCL_CLASS(TsGridTimer, TTimer)
public:
    explicit TsGridTimer(TComponent* AOwner);
    ~TsGridTimer() override;
    TWinControl* Ctrl = nullptr;
    TsGridAdapter* Adapter = nullptr;
    void Watch(TWinControl* Control);

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    void Tick(TObject* Sender);
    // Set while a tick lets the application handle its messages: the tick's own flag, which the
    // destructor raises when the timer goes meanwhile (its grid or its adapter freed).
    bool* FGone = nullptr;
};

// Set by a left-button press in a hooked grid, cleared at its release; and the copy taken at
// every hit test.
extern bool GridMouseDown;
extern bool GridMouseDownCopy;
