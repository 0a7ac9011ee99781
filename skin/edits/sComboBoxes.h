// The skinned combo box family of its own, over the system "COMBOBOX" class: the list-control
// interface with skin data and bound label, the combo mechanics (edit and list windows taken over,
// drop-down sizing, notifications, item index), the combo box (window styles, items kept by the
// window, search by typing, painting with and without a skin) and its strings; and the combo box
// whose items carry pictures of an image list (TsCustomComboBoxEx, sComboBoxesEx.cpp), an
// owner-drawn combo box that draws its pictures itself.
#pragma once

#include <memory>

#include "ImgList.h"
#include "StdCtrls.h"
#include "SubclassWindow.h"
#include "sCommonData.h"

// The drop-down button's place in a combo box of Width x Height whose glyph cell is Cell: at the
// trailing edge (the leading one when Mirrored), as far from it as from the top; empty without a
// cell.
TRect ComboButtonRect(int Width, int Height, TPoint Cell, bool Mirrored);

// A list control: skin data, bound label and the list operations.
class TsCustomListControl : public TWinControl, public TsBoundHolder {
    VCL_CLASS(TsCustomListControl, TWinControl)
public:
    explicit TsCustomListControl(TComponent* AOwner);
    void AfterConstruction() override;
    void WndProc(TMessage& Message) override;

    virtual int GetCount() = 0;
    virtual int GetItemIndex() = 0;
    virtual void SetItemIndex(int Value) = 0;
    virtual void AddItem(const AnsiString& Item, TObject* AObject) = 0;
    virtual void Clear() = 0;
    virtual void ClearSelection() = 0;
    virtual void CopySelection(TsCustomListControl* Destination) = 0;
    virtual void DeleteSelected() = 0;
    // Copies the selected item to Destination, then deletes it here.
    virtual void MoveSelection(TsCustomListControl* Destination);
    virtual void SelectAll() = 0;
    int ItemIndex() { return GetItemIndex(); }
};

class TsCommonCombo : public TsCustomListControl {
    VCL_CLASS(TsCommonCombo, TsCustomListControl)
public:
    explicit TsCommonCombo(TComponent* AOwner);
    ~TsCommonCombo() override;
    void Loaded() override;
    void WndProc(TMessage& Message) override;
    void Dispatch(TMessage& Message) override;

    int GetCount() override { return GetItemCount(); }
    // While loading the value waits for Loaded.
    int GetItemIndex() override;
    void SetItemIndex(int Value) override;
    void AddItem(const AnsiString& Item, TObject* AObject) override;
    void Clear() override;
    void ClearSelection() override { SetItemIndex(-1); }
    void CopySelection(TsCustomListControl* Destination) override;
    void DeleteSelected() override;
    void SelectAll() override;

    TStrings* Items() const { return FItems.get(); }
    virtual void SetItems(TStrings* Value);
    int MaxLength() const { return FMaxLength; }
    void SetMaxLength(int Value);
    int DropDownCount() const { return FDropDownCount; }
    virtual void SetDropDownCount(int Value) { FDropDownCount = Value; }
    int ItemHeight() { return GetItemHt(); }
    virtual void SetItemHeight(int Value);
    bool DroppedDown();
    void SetDroppedDown(bool Value);
    int SelStart();
    void SetSelStart(int Value);
    int SelLength();
    void SetSelLength(int Value);
    TCanvas* Canvas() const { return FCanvas.get(); }
    HWND EditHandle() const { return FEditHandle; }
    HWND ListHandle() const { return FListHandle; }
    // The keyboard focus is in the combo box, its edit or its list.
    bool Focused();

    TNotifyEvent OnChange;
    TNotifyEvent OnSelect;
    TNotifyEvent OnDropDown;
    TNotifyEvent OnCloseUp;

    // Sizes the drop window for between 1 and DropDownCount rows.
    virtual void AdjustDropDown();
    virtual int GetItemHt() = 0;
    virtual int GetItemCount() = 0;
    // Sets the edit's margins for what the control draws beside its text; nothing here.
    virtual void UpdateMargins() {}
    // The button's cell into the cache, by the look (pressed while the list is open).
    virtual void PaintButton();
    // The skinned button's place; empty without the section's "GLYPHMASK".
    TRect ButtonRect();

protected:
    void CreateWnd() override;
    void DestroyWindowHandle() override;
    // Messages of the edit and list windows taken over (ComboWnd says which).
    virtual void ComboWndProc(TMessage& Message, HWND ComboWnd);
    virtual void Change();
    virtual void Select();
    virtual void DropDown();
    virtual void CloseUp();
    void CNCommand(TMessage& Message);
    int GlyphIndex();

    std::unique_ptr<TControlCanvas> FCanvas;
    std::unique_ptr<TStrings> FItems;
    int FMaxLength = 0;
    int FDropDownCount = 14;
    int FLoadingIndex = -1;
    int FItemHeight = 16;
    HWND FListHandle = nullptr;
    HWND FDropHandle = nullptr;
    HWND FEditHandle = nullptr;
    bool FDroppingDown = false;
    bool FFocusChanged = false;
    bool FIsFocused = false;
    int FSaveIndex = -1;

private:
    void EditWndProc(TMessage& Message) { ComboWndProc(Message, FEditSubclass.Handle()); }
    void ListWndProc(TMessage& Message) { ComboWndProc(Message, FListSubclass.Handle()); }
    TWindowSubclass FEditSubclass;
    TWindowSubclass FListSubclass;
};

class TsCommonComboBox;

// The items of a combo box of the family: nothing is stored here, every call goes to the window.
class TsCustomComboBoxStrings : public TStrings {
    VCL_CLASS(TsCustomComboBoxStrings, TStrings)
public:
    explicit TsCustomComboBoxStrings(TsCommonComboBox* ComboBox) : ComboBox(ComboBox) {}
    AnsiString Get(int Index) const override;
    int GetCount() const override;
    TObject* GetObject(int Index) const override;
    void PutObject(int Index, TObject* AObject) override;
    int IndexOf(const AnsiString& S) const override;
    void Delete(int Index) override;
    // Empties the list; the control's text stays.
    void Clear() override;

    TsCommonComboBox* ComboBox;

protected:
    void SetUpdateState(bool Updating) override;
    LRESULT Send(UINT Msg, WPARAM W = 0, LPARAM L = 0) const;
};

class TsComboBoxStrings : public TsCustomComboBoxStrings {
    VCL_CLASS(TsComboBoxStrings, TsCustomComboBoxStrings)
public:
    using TsCustomComboBoxStrings::TsCustomComboBoxStrings;
    int Add(const AnsiString& S) override;
    void Insert(int Index, const AnsiString& S) override;
};

class TsCommonComboBox : public TsCommonCombo {
    VCL_CLASS(TsCommonComboBox, TsCommonCombo)
public:
    explicit TsCommonComboBox(TComponent* AOwner);
    ~TsCommonComboBox() override;
    void Dispatch(TMessage& Message) override;

    TComboBoxStyle Style() const { return FStyle; }
    virtual void SetStyle(TComboBoxStyle Value);
    bool Sorted() const { return FSorted; }
    void SetSorted(bool Value);
    TEditCharCase CharCase() const { return FCharCase; }
    void SetCharCase(TEditCharCase Value);
    TsDisabledKind DisabledKind() const { return FDisabledKind; }
    void SetDisabledKind(TsDisabledKind Value);
    AnsiString SelText();
    void SetSelText(const AnsiString& Value);

    // Typing completes or selects the first item that begins with what was typed.
    bool AutoComplete = true;
    // Typing opens the list.
    bool AutoDropDown = false;
    TDrawItemEvent OnDrawItem;
    TMeasureItemEvent OnMeasureItem;

    int GetItemHt() override;
    int GetItemCount() override { return FItems->Count(); }

    // The skinned look into DC: background, frame and button from the cache, then the edit part.
    virtual void SkinPaint(HDC DC);
    // One item onto Canvas (the edit part too): OnDrawItem, else its text.
    virtual void DrawItem(int Index, TRect Rect, TOwnerDrawState State);
    // One item in the skin's look; nothing here.
    virtual void DrawSkinItem(int /*Index*/, TRect /*Rect*/, TOwnerDrawState /*State*/) {}
    virtual void MeasureItem(int Index, int& Height);
    // Selects the first item beginning with AnItem (an edit shows it completed, the completion
    // selected); an empty text selects nothing. Answers whether an item was found.
    bool SelectItem(const AnsiString& AnItem);

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateWindowHandle(const TCreateParams& Params) override;
    void CreateWnd() override;
    void DestroyWnd() override;
    void KeyPress(char& Key) override;
    bool HasEdit() const { return FStyle == csDropDown || FStyle == csSimple; }
    bool OwnerDraw() const { return FStyle == csOwnerDrawFixed || FStyle == csOwnerDrawVariable; }

private:
    void CNDrawItem(TMessage& Message);
    void CNMeasureItem(TMessage& Message);
    void WMPaint(TMessage& Message);

    Cardinal FLastTime = 0;
    AnsiString FFilter;
    TEditCharCase FCharCase = ecNormal;
    bool FSorted = false;
    TComboBoxStyle FStyle = csDropDown;
    std::unique_ptr<TStringList> FSaveItems;
    TsDisabledKind FDisabledKind = TsDisabledKind{dkBlended};
    friend class TsCustomComboBoxStrings;
};

// --- Combo box with pictures ---------------------------------------------------------------------
// Each item of the window shows its own text (the caption of its ItemsEx item, unless the window
// was given another) beside the picture of its ItemsEx item.

class TsCustomComboBoxEx;

class TsComboItem : public TCollectionItem {
    VCL_CLASS(TsComboItem, TCollectionItem)
public:
    explicit TsComboItem(TCollection* Collection) : TCollectionItem(Collection) {}
    // Copies caption, pictures, indent and data of another item.
    void Assign(TPersistent* Source) override;

    const AnsiString& Caption() const { return FCaption; }
    void SetCaption(const AnsiString& Value);
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int Value) { FImageIndex = Value; }
    int SelectedImageIndex() const { return FSelectedImageIndex; }
    void SetSelectedImageIndex(int Value) { FSelectedImageIndex = Value; }
    int OverlayImageIndex() const { return FOverlayImageIndex; }
    void SetOverlayImageIndex(int Value) { FOverlayImageIndex = Value; }
    // The indent in steps of 16 pixels (-1: none).
    int Indend() const { return FIndend; }
    void SetIndend(int Value) { FIndend = Value; }
    void* Data() const { return FData; }
    void SetData(void* Value) { FData = Value; }

protected:
    AnsiString GetDisplayName() const override;

private:
    AnsiString FCaption;
    int FSelectedImageIndex = -1;
    int FImageIndex = -1;
    int FOverlayImageIndex = -1;
    int FIndend = -1;
    void* FData = nullptr;
};

class TsComboItems : public TOwnedCollection {
    VCL_CLASS(TsComboItems, TOwnedCollection)
public:
    explicit TsComboItems(TsCustomComboBoxEx* ComboBox);
    TsComboItem* Add() { return static_cast<TsComboItem*>(TCollection::Add()); }
    TsComboItem* AddItem(const AnsiString& Caption, int ImageIndex = -1, int SelectedImageIndex = -1,
                         int OverlayImageIndex = -1, int Indent = -1, void* Data = nullptr);
    TsComboItem* Items(int Index) const { return static_cast<TsComboItem*>(TCollection::Items(Index)); }

    TsCustomComboBoxEx* ComboBox;
};

class TsCustomComboBoxEx : public TsCommonComboBox {
    VCL_CLASS(TsCustomComboBoxEx, TsCommonComboBox)
public:
    explicit TsCustomComboBoxEx(TComponent* AOwner);
    ~TsCustomComboBoxEx() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void Clear() override;

    TsComboItems* ItemsEx() const { return FItemsEx.get(); }
    void SetItemsEx(TsComboItems* Value) { FItemsEx->Assign(Value); }
    TCustomImageList* Images() const { return FImages.List(); }
    void SetImages(TCustomImageList* Value);
    // Copies ItemsEx into the window's items (once the window exists).
    void UpdateList();
    // The item selected, or null.
    TsComboItem* GetSelectedItem();
    // The picture of an item in a state: the selected one for a selected list item, if it has one.
    int CurrentImage(TsComboItem* Item, TOwnerDrawState State);
    // Where an item's picture goes; empty without pictures or item.
    TRect ImgRect(TsComboItem* Item, TOwnerDrawState State);

    void UpdateMargins() override;
    void DrawItem(int Index, TRect Rect, TOwnerDrawState State) override;
    void DrawSkinItem(int Index, TRect Rect, TOwnerDrawState State) override;

protected:
    void CreateWnd() override;

private:
    TsComboItem* ItemAt(int Index);
    bool ShowsFocus();
    void DrawImage(TsComboItem* Item, TOwnerDrawState State, TRect Rect);

    TImageListLink FImages;
    std::unique_ptr<TsComboItems> FItemsEx;
    bool FNeedsUpdate = false;
};

class TsComboBoxEx : public TsCustomComboBoxEx {
    VCL_CLASS(TsComboBoxEx, TsCustomComboBoxEx)
public:
    using TsCustomComboBoxEx::TsCustomComboBoxEx;
};

// --- Colour box ----------------------------------------------------------------------------------

enum TsColorBoxStyle {
    cbStandardColors, cbExtendedColors, cbSystemColors, cbIncludeNone, cbIncludeDefault, cbCustomColor, cbPrettyNames
};
using TsColorBoxStyles = TSet<TsColorBoxStyle>;

// A drop-down list of the named colours (each item's object is its colour), drawn as a swatch and
// the name. With cbCustomColor the first entry, "Custom...", holds a colour of the user's choice,
// picked with the library's colour dialog when the entry is chosen with the mouse or Enter.
class TsCustomColorBox : public TsCommonComboBox {
    VCL_CLASS(TsCustomColorBox, TsCommonComboBox)
public:
    explicit TsCustomColorBox(TComponent* AOwner);

    // The colours the list holds (not the combo box style, which stays owner-drawn).
    TsColorBoxStyles Style() const { return FColorStyle; }
    void SetStyle(TsColorBoxStyles Value);
    using TsCommonComboBox::SetStyle;
    // The selected item's colour (0xFF000000 when none is); a colour that no item holds goes to
    // "Custom..." when the list has it.
    TColor Selected();
    void SetSelected(TColor Value);
    TColor DefaultColorColor() const { return FDefaultColorColor; }
    void SetDefaultColorColor(TColor Value);
    TColor NoneColorColor() const { return FNoneColorColor; }
    void SetNoneColorColor(TColor Value);
    bool ShowColorName() const { return FShowColorName; }
    void SetShowColorName(bool Value);
    int Margin() const { return FMargin; }
    void SetMargin(int Value);
    TColor GetColor(int Index);
    AnsiString GetColorName(int Index) { return FItems->Get(Index); }

    // The items made again from the named colours by Style (once the window exists).
    void PopulateList();
    // Runs the colour dialog for "Custom...": answers whether a colour was picked.
    virtual bool PickCustomColor();

    void DrawItem(int Index, TRect Rect, TOwnerDrawState State) override;
    void DrawSkinItem(int Index, TRect Rect, TOwnerDrawState State) override;

protected:
    void CreateWnd() override;
    void CloseUp() override;
    void Select() override;
    void KeyDown(Word& Key, TShiftState Shift) override;
    void KeyPress(char& Key) override;

private:
    void ColorCallBack(const AnsiString& Name);
    // Where the swatch of an item (or of the edit part) goes in Rect.
    TRect ColorRect(TRect Rect, TOwnerDrawState State);
    // The swatch of an item onto a canvas (clDefault and clNone in their stand-in colours), and
    // its name after the swatch.
    void DrawSwatch(TCanvas* Canvas, int Index, const TRect& Swatch, TOwnerDrawState State);
    void DrawName(TCanvas* Canvas, int Index, const TRect& Rect, const TRect& Swatch);

    TsColorBoxStyles FColorStyle{cbStandardColors, cbExtendedColors, cbSystemColors};
    bool FNeedToPopulate = false;
    bool FListSelected = false;
    TColor FDefaultColorColor = clBlack;
    TColor FNoneColorColor = clBlack;
    TColor FSelectedColor = clBlack;
    bool FShowColorName = true;
    int FMargin = 0;
};

class TsColorBox : public TsCustomColorBox {
    VCL_CLASS(TsColorBox, TsCustomColorBox)
public:
    using TsCustomColorBox::TsCustomColorBox;
};
