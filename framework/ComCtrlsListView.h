// The list part of the common controls: columns (TListColumns, TListColumn), items with sub-items
// (TListItems, TListItem) and the list view (TCustomListView, TListView) that shows them. The
// model owns every state (texts, images, selection, focus, columns); the window is the system's
// list view in its owner-data mode, which asks the model for each text and image as it draws, so
// it holds no copy of an item, the items survive any re-creation of the window, and adding or
// clearing 100,000 items costs one message. With OwnerData on, the application serves the rows
// itself (OnData, OwnerDataFetch) and the list keeps only their count.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <memory>
#include <vector>

#include "Classes.h"
#include "ComCtrlsTree.h"
#include "Controls.h"
#include "ImgList.h"

class TListItem;
class TListItems;
class TListColumn;
class TListColumns;
class TCustomListView;

enum TViewStyle { vsIcon, vsSmallIcon, vsList, vsReport };
// What an item change (OnChange) was about.
enum TItemChange { ctText, ctImage, ctState };
enum TItemStateItem { isNone, isCut, isDropHilited, isFocused, isSelected, isActivating };
using TItemStates = TSet<TItemStateItem>;
// What the window asks of an owner-data row.
enum TItemRequestItem { irText, irImage, irParam, irState, irIndent };
using TItemRequest = TSet<TItemRequestItem>;
// What an owner-data search looks for: the data, a caption beginning with the text, the caption
// itself, the nearest row to a point.
enum TItemFind { ifData, ifPartialString, ifExactString, ifNearest };
enum TSearchDirection { sdLeft, sdRight, sdAbove, sdBelow, sdAll };
// Which rectangle of an item DisplayRect gives.
enum TDisplayCode { drBounds, drIcon, drLabel, drSelectBounds };

// ---------------------------------------------------------------------------------------------
// Columns: a collection whose items the window shows as its header (in the report view).

class TListColumn : public TCollectionItem {
    VCL_CLASS(TListColumn, TCollectionItem)
public:
    explicit TListColumn(TCollection* Collection);

    TCustomListView* ListView() const;
    const AnsiString& Caption() const { return FCaption; }
    void SetCaption(const AnsiString& Value);
    // In pixels; the user's dragging of the divider is taken back into the column.
    int Width() const { return FWidth; }
    void SetWidth(int Value);
    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment Value);
    // The picture of SmallImages beside the caption; -1 none.
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int Value);
    int Tag = 0;

protected:
    AnsiString GetDisplayName() const override;

private:
    friend class TCustomListView;
    AnsiString FCaption;
    int FWidth = 50;
    TAlignment FAlignment = taLeftJustify;
    int FImageIndex = -1;
};

class TListColumns : public TCollection {
    VCL_CLASS(TListColumns, TCollection)
public:
    explicit TListColumns(TCustomListView* AOwner);
    TListColumn* Add() { return static_cast<TListColumn*>(TCollection::Add()); }
    TListColumn* Items(int Index) const { return static_cast<TListColumn*>(TCollection::Items(Index)); }
    TCustomListView* Owner() const { return FOwner; }

protected:
    void Update(TCollectionItem* Item) override;

private:
    TCustomListView* FOwner;
};

// ---------------------------------------------------------------------------------------------
// Items.

// One row: its caption, the texts of the other columns, its picture and its state. Made and freed
// by its TListItems only; an owner-data list hands out one item that stands for the row asked.
class TListItem : public TPersistent {
    VCL_CLASS(TListItem, TPersistent)
public:
    ~TListItem() override;

    TListItems* Owner() const { return FOwner; }
    TCustomListView* ListView() const;
    // Position in the list.
    int Index() const;

    const AnsiString& Caption() const { return FCaption; }
    void SetCaption(const AnsiString& Value);
    // The texts of the columns after the first (made on first use).
    TStrings* SubItems();
    // The sub-item text of column Column + 1, empty where there is none.
    AnsiString SubItemText(int Index) const;
    // From SmallImages or LargeImages by the view style; -1 none.
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int Value);
    // Application data; never freed by the item.
    void* Data() const { return FData; }
    void SetData(void* Value) { FData = Value; }

    // With a window the change goes through it and comes back as OnChange and OnSelectItem.
    bool Selected() const;
    void SetSelected(bool Value);
    bool Focused() const;
    void SetFocused(bool Value);

    void Delete();
    // Scrolls the item into view (only partly with PartialOK).
    void MakeVisible(bool PartialOK);
    // The item's rectangle in client coordinates; empty without a window.
    TRect DisplayRect(TDisplayCode Code) const;
    // Starts in-place editing of the caption (false without a window or when refused).
    bool EditCaption();
    void CancelEdit();
    // Repaints the item.
    void Update();

private:
    friend class TListItems;
    friend class TCustomListView;
    friend class TSubItems;
    explicit TListItem(TListItems* AOwner) : FOwner(AOwner) {}
    void Changed();

    TListItems* FOwner;
    AnsiString FCaption;
    std::unique_ptr<TStringList> FSubItems;
    int FImageIndex = -1;
    void* FData = nullptr;
    // The item's place in its list (kept by TListItems, see IndexOf).
    mutable int FIndex = 0;
    bool FSelected = false;
};

// The rows of one list view. Owns every item (unless the view serves its rows itself).
class TListItems : public TPersistent {
    VCL_CLASS(TListItems, TPersistent)
public:
    explicit TListItems(TCustomListView* AOwner);
    ~TListItems() override;

    TCustomListView* Owner() const { return FOwner; }
    TListItem* Add();
    TListItem* Insert(int Index);
    void Delete(int Index);
    void Clear();
    // The number of rows. An owner-data list takes a new count; otherwise it is the items'.
    int Count() const;
    void SetCount(int Value);
    // The item at Index (EListError out of range). An owner-data list fills its one item for the
    // row (OwnerDataFetch) and answers that.
    TListItem* Item(int Index);
    int IndexOf(const TListItem* Value) const;

    // Holds back window updates while many items change: the window gets the new count, and the
    // selection where rows moved, once at the end.
    void BeginUpdate();
    void EndUpdate();
    int UpdateCount() const { return FUpdateCount; }

private:
    friend class TListItem;
    friend class TCustomListView;
    // Every item's FIndex from FIndexed on.
    void Renumber() const;
    void CheckIndex(int Index) const;

    TCustomListView* FOwner;
    std::vector<TListItem*> FItems;
    // FIndex is right for the items before this position.
    mutable int FIndexed = 0;
    // Rows of an owner-data list.
    int FDataCount = 0;
    int FUpdateCount = 0;
    // The item that stands for the row asked of an owner-data list.
    std::unique_ptr<TListItem> FDataItem;
    // The model's selection count and focused item (the window's mirror them).
    int FSelCount = 0;
    TListItem* FFocused = nullptr;
};

// ---------------------------------------------------------------------------------------------
// The list view.

using TLVChangeEvent = TMethod<void(TObject* Sender, TListItem* Item, TItemChange Change)>;
using TLVSelectItemEvent = TMethod<void(TObject* Sender, TListItem* Item, bool Selected)>;
using TLVColumnClickEvent = TMethod<void(TObject* Sender, TListColumn* Column)>;
using TLVCompareEvent = TMethod<void(TObject* Sender, TListItem* Item1, TListItem* Item2, int Data, int& Compare)>;
using TLVEditingEvent = TMethod<void(TObject* Sender, TListItem* Item, bool& AllowEdit)>;
using TLVEditedEvent = TMethod<void(TObject* Sender, TListItem* Item, AnsiString& S)>;
using TLVOwnerDataEvent = TMethod<void(TObject* Sender, TListItem* Item)>;
using TLVOwnerDataFindEvent =
    TMethod<void(TObject* Sender, TItemFind Find, const AnsiString& FindString, const TPoint& FindPosition,
                 void* FindData, int StartIndex, TSearchDirection Direction, bool Wrap, int& Index)>;
using TLVCustomDrawEvent = TMethod<void(TCustomListView* Sender, const TRect& ARect, bool& DefaultDraw)>;
using TLVCustomDrawItemEvent =
    TMethod<void(TCustomListView* Sender, TListItem* Item, TCustomDrawState State, bool& DefaultDraw)>;
using TLVCustomDrawSubItemEvent =
    TMethod<void(TCustomListView* Sender, TListItem* Item, int SubItem, TCustomDrawState State, bool& DefaultDraw)>;
using TLVAdvancedCustomDrawEvent =
    TMethod<void(TCustomListView* Sender, const TRect& ARect, TCustomDrawStage Stage, bool& DefaultDraw)>;
using TLVAdvancedCustomDrawItemEvent = TMethod<void(TCustomListView* Sender, TListItem* Item, TCustomDrawState State,
                                                    TCustomDrawStage Stage, bool& DefaultDraw)>;
using TLVAdvancedCustomDrawSubItemEvent =
    TMethod<void(TCustomListView* Sender, TListItem* Item, int SubItem, TCustomDrawState State, TCustomDrawStage Stage,
                 bool& DefaultDraw)>;
// A sort comparison: negative, zero or positive.
using TLVCompare = std::function<int(TListItem* Item1, TListItem* Item2, int Data)>;

class TCustomListView : public TWinControl {
    VCL_CLASS(TCustomListView, TWinControl)
public:
    explicit TCustomListView(TComponent* AOwner);
    ~TCustomListView() override;

    void Dispatch(TMessage& Message) override;

    TListColumns* Columns() const { return FColumns.get(); }
    TListColumn* Column(int Index) const { return FColumns->Items(Index); }
    TListItems* Items() const { return FItems.get(); }

    // The first selected item (null: none); setting null clears the selection.
    TListItem* Selected();
    void SetSelected(TListItem* Value);
    void ClearSelection();
    TListItem* ItemFocused();
    void SetItemFocused(TListItem* Value);
    int SelCount();
    // The next item after Start (null: from the first) in Direction that has every state of
    // States; null when none.
    TListItem* GetNextItem(TListItem* Start, TSearchDirection Direction, TItemStates States);
    // The item under a client point, or null.
    TListItem* GetItemAt(int X, int Y);
    // The first row shown (report and list views), or null.
    TListItem* TopItem();
    // Scrolls the content by pixels (by rows in the report view, by columns in the list view,
    // as the system does).
    void Scroll(int DX, int DY);
    bool IsEditing();
    // Sorts the items by OnCompare (with Data 0), else by caption.
    bool AlphaSort();
    // Sorts by SortProc, or as AlphaSort with Data given to OnCompare when it is empty.
    bool CustomSort(const TLVCompare& SortProc, int Data);

    bool OwnerData() const { return FOwnerData; }
    // Empties the list.
    void SetOwnerData(bool Value);
    TViewStyle ViewStyle() const { return FViewStyle; }
    void SetViewStyle(TViewStyle Value);
    bool MultiSelect() const { return FMultiSelect; }
    void SetMultiSelect(bool Value);
    bool RowSelect() const { return FRowSelect; }
    void SetRowSelect(bool Value);
    bool ShowColumnHeaders() const { return FShowColumnHeaders; }
    void SetShowColumnHeaders(bool Value);
    // The columns can be dragged into another order.
    bool FullDrag() const { return FFullDrag; }
    void SetFullDrag(bool Value);
    // No caption editing.
    bool ReadOnly() const { return FReadOnly; }
    void SetReadOnly(bool Value);
    bool HideSelection() const { return FHideSelection; }
    void SetHideSelection(bool Value);
    TBorderStyle BorderStyle() const { return FBorderStyle; }
    // Re-creates the window.
    void SetBorderStyle(TBorderStyle Value);
    TSortType SortType() const { return FSortType; }
    // Any sort type but stNone sorts the items at once (AlphaSort).
    void SetSortType(TSortType Value);
    TCustomImageList* SmallImages() const { return FSmallLink.List(); }
    void SetSmallImages(TCustomImageList* Value);
    TCustomImageList* LargeImages() const { return FLargeLink.List(); }
    void SetLargeImages(TCustomImageList* Value);

    // The canvas of the custom-draw events (valid inside them).
    TCanvas* Canvas() const { return FCanvas.get(); }

    TLVChangeEvent OnChange;
    TLVSelectItemEvent OnSelectItem;
    TLVColumnClickEvent OnColumnClick;
    TLVCompareEvent OnCompare;
    TLVEditingEvent OnEditing;
    TLVEditedEvent OnEdited;
    TLVOwnerDataEvent OnData;
    TLVOwnerDataFindEvent OnDataFind;
    TLVCustomDrawEvent OnCustomDraw;
    TLVCustomDrawItemEvent OnCustomDrawItem;
    TLVCustomDrawSubItemEvent OnCustomDrawSubItem;
    TLVAdvancedCustomDrawEvent OnAdvancedCustomDraw;
    TLVAdvancedCustomDrawItemEvent OnAdvancedCustomDrawItem;
    TLVAdvancedCustomDrawSubItemEvent OnAdvancedCustomDrawSubItem;

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void DestroyWnd() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    // Below the focused item's caption while it shows.
    TPoint KeyboardPopupPoint() override;

    // Fills Item (its Index set, the rest cleared) for an owner-data row; the default asks OnData.
    // Answers whether the item was filled.
    virtual bool OwnerDataFetch(TListItem* Item, TItemRequest Request);
    // Finds an owner-data row for the window (typing a caption's beginning); the default asks
    // OnDataFind. -1: none.
    virtual int OwnerDataFind(TItemFind Find, const AnsiString& FindString, const TPoint& FindPosition, void* FindData,
                              int StartIndex, TSearchDirection Direction, bool Wrap);
    // Whether the caption of Item may be edited (the default asks OnEditing).
    virtual bool CanEdit(TListItem* Item);
    // The end of a caption edit (pszText null: cancelled). The default tells OnEdited and keeps
    // the new caption.
    virtual void Edit(const LVITEMA& Item);
    virtual void ColumnClick(TListColumn* Column);
    // An item's state changed (OnChange).
    virtual void Change(TListItem* Item, TItemChange Change);

    // Whether the window must be asked to let the control draw at Stage for Target (an event is
    // set); descendants that draw themselves answer yes too.
    virtual bool IsCustomDrawn(TCustomDrawTarget Target, TCustomDrawStage Stage);
    // The control's stages: OnCustomDraw (pre-paint), then OnAdvancedCustomDraw; answers
    // DefaultDraw.
    virtual bool CustomDraw(const TRect& ARect, TCustomDrawStage Stage);
    virtual bool CustomDrawItem(TListItem* Item, TCustomDrawState State, TCustomDrawStage Stage);
    virtual bool CustomDrawSubItem(TListItem* Item, int SubItem, TCustomDrawState State, TCustomDrawStage Stage);

    void CNNotify(TMessage& Message);

private:
    friend class TListItem;
    friend class TListItems;
    friend class TListColumns;

    // The window follows the model: every column again / one column.
    void RebuildColumns();
    void UpdateColumn(int Index);
    void FillColumn(int Index, LVCOLUMNA& Column, AnsiString& Text) const;
    // The window's row count, and where rows moved, its selection, follow the model (at once, or
    // at the end of an update).
    void ItemsChanged(bool Moved);
    void SyncItems();
    void ApplyStates();
    void ApplyImages();
    void ImageListChange(TObject* Sender);
    void SetStyleBit(DWORD Bit, bool On);
    void SetExStyleBit(DWORD Bit, bool On);
    // The row's item: the model's, or the owner-data item filled for Request; null out of range.
    TListItem* RowItem(int Index, TItemRequest Request);
    // A state change of the window for one row (-1: every row) taken into the model.
    void StateChanged(int Index, UINT OldState, UINT NewState);
    void TakeState(TListItem* Item, UINT Changed, UINT NewState);
    int FindCaption(const char* Text, bool Partial, int Start, bool Wrap);
    void SortItems(const TLVCompare& Compare, int Data);
    void GetDispInfo(NMLVDISPINFOA& Info);
    void CustomDrawNotify(TMessage& Message);
    void HeaderNotify(TMessage& Message);

    std::unique_ptr<TListColumns> FColumns;
    std::unique_ptr<TListItems> FItems;
    std::unique_ptr<TCanvas> FCanvas;
    TImageListLink FSmallLink;
    TImageListLink FLargeLink;
    bool FOwnerData = false;
    TViewStyle FViewStyle = vsIcon;
    bool FMultiSelect = false;
    bool FRowSelect = false;
    bool FShowColumnHeaders = true;
    bool FFullDrag = false;
    bool FReadOnly = false;
    bool FHideSelection = true;
    TBorderStyle FBorderStyle = bsSingle;
    TSortType FSortType = stNone;
    // While set, state notices caused by our own calls are not taken into the model.
    int FManualNotify = 0;
    // The window's rows lag behind the model (an update is running), and rows moved meanwhile.
    bool FCountPending = false;
    bool FStatesPending = false;
    bool FEditing = false;
    // Kept while the window is re-created: the top row, the column order, and an owner-data
    // list's selected rows and focused row.
    int FSavedTop = 0;
    std::vector<int> FSavedOrder;
    std::vector<int> FSavedSelection;
    int FSavedFocus = -1;
};

// The list view with its published properties.
class TListView : public TCustomListView {
    VCL_CLASS(TListView, TCustomListView)
public:
    using TCustomListView::TCustomListView;
};
