// The skinned list box (section "EDIT") with its bound caption label: a list box of its own over
// the system "LISTBOX" class. Its items live in the window alone (the strings object forwards every
// call to it; the virtual styles ask the data events), it draws every item itself, its frame comes
// from the skin and, while a skin is active, its native scroll bars are covered by skinned ones
// that it keeps in step: the vertical one for a list of one column, the horizontal one for a list
// of columns. Typing selects the first item that begins with what was typed within half a second.
#pragma once

#include <cstddef>
#include <memory>

#include "Forms.h"
#include "StdCtrls.h"
#include "sCommonData.h"
#include "sScrollBar.h"

class TsCustomListBox;

using TBorderStyle = TFormBorderStyle; // bsNone or bsSingle for controls

using TLBGetDataEvent = TMethod<void(TWinControl* Control, int Index, AnsiString& Data)>;
using TLBGetDataObjectEvent = TMethod<void(TWinControl* Control, int Index, TObject*& DataObject)>;
using TLBFindDataEvent = TMethod<int(TWinControl* Control, const AnsiString& FindString)>;

// The items of a skinned list box: nothing is stored here; every call goes to the list box's window,
// or, for the virtual styles, to its data events.
class TListBoxStrings : public TStrings {
    VCL_CLASS(TListBoxStrings, TStrings)
public:
    explicit TListBoxStrings(TsCustomListBox* ListBox) : ListBox(ListBox) {}
    AnsiString Get(int Index) const override;
    int GetCount() const override;
    TObject* GetObject(int Index) const override;
    void Put(int Index, const AnsiString& S) override;
    void PutObject(int Index, TObject* AObject) override;
    int Add(const AnsiString& S) override;
    void Insert(int Index, const AnsiString& S) override;
    void Delete(int Index) override;
    void Clear() override;
    void Exchange(int Index1, int Index2) override;
    void Move(int CurIndex, int NewIndex) override;
    int IndexOf(const AnsiString& S) const override;

    TsCustomListBox* ListBox;

protected:
    void SetUpdateState(bool Updating) override;

private:
    LRESULT Send(UINT Msg, WPARAM W = 0, LPARAM L = 0) const;
    bool Virtual() const;
};

class TsCustomListBox : public TWinControl, public TsBoundHolder {
    friend class TListBoxStrings;
    VCL_CLASS(TsCustomListBox, TWinControl)
public:
    explicit TsCustomListBox(TComponent* AOwner);
    ~TsCustomListBox() override;
    void AfterConstruction() override;
    void Loaded() override;
    void WndProc(TMessage& Message) override;
    void Dispatch(TMessage& Message) override;

    TStrings* Items() const { return FItems.get(); }
    // A virtual style goes back to its stored counterpart first.
    void SetItems(TStrings* Value);
    // The selected item (the caret item with MultiSelect), -1 when none.
    int GetItemIndex();
    void SetItemIndex(int Value);
    int ItemIndex() { return GetItemIndex(); }
    // The virtual count for the virtual styles, else the number of items.
    int Count();
    // Virtual styles only: the number of items the window shows.
    void SetCount(int Value);
    int SelCount();
    bool Selected(int Index);
    void SetSelected(int Index, bool Value);
    int TopIndex();
    void SetTopIndex(int Value);
    int ItemHeight();
    void SetItemHeight(int Value);
    int Columns() const { return FColumns; }
    void SetColumns(int Value);
    int TabWidth() const { return FTabWidth; }
    void SetTabWidth(int Value);
    TListBoxStyle Style() const { return FStyle; }
    void SetStyle(TListBoxStyle Value);
    bool Sorted() const { return FSorted; }
    void SetSorted(bool Value);
    bool MultiSelect() const { return FMultiSelect; }
    void SetMultiSelect(bool Value);
    bool ExtendedSelect() const { return FExtendedSelect; }
    void SetExtendedSelect(bool Value);
    bool IntegralHeight() const { return FIntegralHeight; }
    void SetIntegralHeight(bool Value);
    TBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TBorderStyle Value);
    TsDisabledKind DisabledKind() const { return FDisabledKind; }
    void SetDisabledKind(TsDisabledKind Value);
    TCanvas* Canvas() const { return FCanvas.get(); }
    bool Virtual() const { return FStyle == lbVirtual || FStyle == lbVirtualOwnerDraw; }

    void Clear() { FItems->Clear(); }
    void ClearSelection();
    void DeleteSelected();
    // The item under a client point; no hit: -1 with Existing, else the index after the last tested.
    int ItemAtPos(TPoint Pos, bool Existing);
    // For Index = Count the place a next item would take; beyond it an empty rectangle.
    TRect ItemRect(int Index);

    // Typing searches the items.
    bool AutoComplete = true;
    TDrawItemEvent OnDrawItem;
    TMeasureItemEvent OnMeasureItem;
    TLBGetDataEvent OnData;
    TLBGetDataObjectEvent OnDataObject;
    TLBFindDataEvent OnDataFind;
    // After the skinned vertical bar scrolled the list.
    TNotifyEvent OnVScroll;

    // The skinned bars (siblings on the list's parent), or null.
    TsScrollBar* VSBar = nullptr;
    TsScrollBar* HSBar = nullptr;
    // Makes, fills, places or hides the skinned bars by the native ones.
    void RefreshScrolls();
    void RefreshScrollBounds();

    // The skinned frame into the cache: the section's background and border of the current look,
    // then the disabled look.
    virtual void PrepareCache();
    virtual void MeasureItem(int Index, int& Height);
    // One item onto Canvas: the background, then OnDrawItem or the item's text.
    virtual void DrawItem(int Index, TRect Rect, TOwnerDrawState State);

    // The items' data words, through the window.
    virtual LRESULT InternalGetItemData(int Index) { return GetItemData(Index); }
    virtual void InternalSetItemData(int Index, LRESULT Data) { SetItemData(Index, Data); }
    virtual LRESULT GetItemData(int Index);
    virtual void SetItemData(int Index, LRESULT Data);
    virtual void ResetContent();
    virtual void DeleteString(int Index);

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateWindowHandle(const TCreateParams& Params) override;
    void CreateWnd() override;
    void DestroyWnd() override;
    // The incremental search after the inherited key handling.
    void KeyPress(char& Key) override;

private:
    void CNCommand(TMessage& Message);
    void CNDrawItem(TMessage& Message);
    void CNMeasureItem(TMessage& Message);
    void WMNCPaint(TMessage& Message);
    void WMLButtonDown(TMessage& Message);
    void LBGetText(TMessage& Message);
    void SetColumnWidth();
    // The text of an item: from OnData for the virtual styles, else from the window.
    AnsiString ItemText(int Index);
    void OnVSBChange(TObject* Sender, int OldValue);
    void OnHSBChange(TObject* Sender, int OldValue);
    // Fills one bar from the native bar Kind, or hides it when it is not wanted.
    void RefreshBar(TsScrollBar*& Bar, int Kind, bool Wanted);
    // The bars follow once the messages waiting are handled (once for a whole load).
    void PostRefreshScrolls();

    std::unique_ptr<TListBoxStrings> FItems;
    std::unique_ptr<TControlCanvas> FCanvas;
    int FCount = 0;      // the virtual count
    int FSaveCount = -1; // a virtual count kept while the window is re-made
    AnsiString FFilter;  // what was typed so far
    Cardinal FLastTime = 0;
    TBorderStyle FBorderStyle = bsSingle;
    int FColumns = 0;
    int FItemHeight = 16;
    LOGFONTA FFontMade{}; // the font the window was made with
    TListBoxStyle FStyle = lbStandard;
    bool FIntegralHeight = false;
    bool FMultiSelect = false;
    bool FSorted = false;
    bool FExtendedSelect = true;
    int FTabWidth = 0;
    std::unique_ptr<TStringList> FSaveItems; // the items kept while the window is re-made
    int FSaveTopIndex = 0;
    int FSaveItemIndex = -1;
    TsDisabledKind FDisabledKind = TsDisabledKind{dkBlended};
    bool FBarChanging = false; // a skinned bar's change is being applied to the list
    bool FRefreshPosted = false; // the bars' refresh waits in the queue
    // The last length a virtual list answered to LB_GETTEXTLEN, and for which item: the caller
    // sized its buffer by it, so LB_GETTEXT of that item writes no more.
    int FTextLenIndex = -1;
    std::size_t FTextLen = 0;
};

class TsListBox : public TsCustomListBox {
    VCL_CLASS(TsListBox, TsCustomListBox)
public:
    using TsCustomListBox::TsCustomListBox;
};
