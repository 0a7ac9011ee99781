// The framework's StdCtrls unit: edits, memos, buttons, check boxes, radio buttons, group boxes,
// list boxes, combo boxes and labels. Each windowed control superclasses its system class under a
// class name of ours, turns the reflected notifications (CN_COMMAND, CN_DRAWITEM, ...) into
// events and keeps its state in the object while it has no window, so that hidden controls hold
// their items and text and RecreateWnd loses nothing.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <vector>

#include "Classes.h"
#include "ClassesStrings.h"
#include "Controls.h"
#include "Graphics.h"
#include "SubclassWindow.h"

using TModalResult = int;

// --- Shared types -------------------------------------------------------------------------------

using TDrawItemEvent = TMethod<void(TWinControl* Control, int Index, TRect Rect, TOwnerDrawState State)>;
using TMeasureItemEvent = TMethod<void(TWinControl* Control, int Index, int& Height)>;

enum TEditCharCase { ecNormal, ecUpperCase, ecLowerCase };
enum TScrollStyle { ssNone, ssHorizontal, ssVertical, ssBoth };
enum TTextLayout { tlTop, tlCenter, tlBottom };
enum TCheckBoxState { cbUnchecked, cbChecked, cbGrayed };

// Creates the window like TWinControl does, with a control ID of its own: the parent finds an
// owner-drawn list by its ID when it is asked to measure its items.
HWND CreateWindowWithId(const TCreateParams& Params);

// Whether Key is the accelerator of Caption (the character after a single '&', without case).
bool IsAccel(Word Key, const AnsiString& Caption);

// --- Edit -----------------------------------------------------------------------------------------

// A single-line (or, in TCustomMemo, multi-line) text box over the system edit class.
class TCustomEdit : public TWinControl {
    VCL_CLASS(TCustomEdit, TWinControl)
public:
    explicit TCustomEdit(TComponent* AOwner);

    void Dispatch(TMessage& Message) override;

    int MaxLength() const { return FMaxLength; }
    void SetMaxLength(int Value);
    bool ReadOnly() const { return FReadOnly; }
    void SetReadOnly(bool Value);
    char PasswordChar() const { return FPasswordChar; }
    void SetPasswordChar(char Value);
    bool AutoSelect() const { return FAutoSelect; }
    void SetAutoSelect(bool Value) { FAutoSelect = Value; }
    TEditCharCase CharCase() const { return FCharCase; }
    void SetCharCase(TEditCharCase Value);
    bool HideSelection() const { return FHideSelection; }
    void SetHideSelection(bool Value);

    // Whether the user changed the text since it was last set (kept across re-creation).
    bool Modified();
    void SetModified(bool Value);

    int SelStart();
    void SetSelStart(int Value);
    int SelLength();
    void SetSelLength(int Value);
    AnsiString SelText();
    void SetSelText(const AnsiString& Value);
    void SelectAll();
    void ClearSelection();
    void Clear() { SetText(AnsiString()); }

    void CutToClipboard();
    void CopyToClipboard();
    void PasteFromClipboard();
    void Undo();
    bool CanUndo();
    void ClearUndo();

    TNotifyEvent OnChange;

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void DestroyWnd() override;
    virtual void Change();
    void CNCommand(TMessage& Message);

    int FMaxLength = 0;
    bool FReadOnly = false;
    char FPasswordChar = 0;
    bool FAutoSelect = true;
    bool FHideSelection = true;
    TEditCharCase FCharCase = ecNormal;
    // State held while there is no window.
    bool FModified = false;
    int FSelStart = 0;
    int FSelLength = 0;
    bool FCreating = false;
};

class TEdit : public TCustomEdit {
    VCL_CLASS(TEdit, TCustomEdit)
public:
    using TCustomEdit::TCustomEdit;
};

class TCustomMemo;

// The lines of a memo. The real text is the source: lines are the text split at CR/LF, never the
// lines that word wrap shows, so SaveToFile writes exactly what the user typed.
class TMemoStrings : public TStrings {
    VCL_CLASS(TMemoStrings, TStrings)
public:
    explicit TMemoStrings(TCustomMemo* Memo) : FMemo(Memo) {}
    AnsiString Get(int Index) const override;
    int GetCount() const override;
    void Put(int Index, const AnsiString& S) override;
    void Insert(int Index, const AnsiString& S) override;
    void Delete(int Index) override;
    void Clear() override;
    // The memo's text as it stands.
    AnsiString GetTextStr() const override;
    // Sets the memo's text at once, with every line break made CR/LF.
    void SetTextStr(const AnsiString& Value) override;

protected:
    void SetUpdateState(bool Updating) override;

private:
    // The text cut into lines: the start and length of each.
    std::vector<std::pair<size_t, size_t>> Split(const AnsiString& Text) const;
    TCustomMemo* FMemo;
};

class TCustomMemo : public TCustomEdit {
    VCL_CLASS(TCustomMemo, TCustomEdit)
public:
    explicit TCustomMemo(TComponent* AOwner);
    ~TCustomMemo() override;

    void Dispatch(TMessage& Message) override;

    TStrings* Lines() const { return FLines.get(); }
    void SetLines(TStrings* Value) { FLines->Assign(Value); }
    TScrollStyle ScrollBars() const { return FScrollBars; }
    void SetScrollBars(TScrollStyle Value);
    bool WordWrap() const { return FWordWrap; }
    void SetWordWrap(bool Value);
    bool WantReturns() const { return FWantReturns; }
    void SetWantReturns(bool Value) { FWantReturns = Value; }
    bool WantTabs() const { return FWantTabs; }
    void SetWantTabs(bool Value) { FWantTabs = Value; }
    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment Value);

protected:
    void CreateParams(TCreateParams& Params) override;
    void WMGetDlgCode(TMessage& Message);

    std::unique_ptr<TMemoStrings> FLines;
    TScrollStyle FScrollBars = ssNone;
    bool FWordWrap = true;
    bool FWantReturns = true;
    bool FWantTabs = false;
    TAlignment FAlignment = taLeftJustify;
};

class TMemo : public TCustomMemo {
    VCL_CLASS(TMemo, TCustomMemo)
public:
    using TCustomMemo::TCustomMemo;
};

// --- Buttons ----------------------------------------------------------------------------------

// The base of push buttons, check boxes and radio buttons.
class TButtonControl : public TWinControl {
    VCL_CLASS(TButtonControl, TWinControl)
public:
    explicit TButtonControl(TComponent* AOwner);
    void WndProc(TMessage& Message) override;

    bool Checked() { return GetChecked(); }
    void SetCheckedValue(bool Value) { SetChecked(Value); }

protected:
    virtual bool GetChecked() { return false; }
    virtual void SetChecked(bool) {}
    // Checked follows the action's too (without a click).
    void ActionChange(TObject* Sender, bool CheckDefaults) override;
    // While true, state changes made by the code do not fire OnClick.
    bool ClicksDisabled() const { return FClicksDisabled; }
    void SetClicksDisabled(bool Value) { FClicksDisabled = Value; }

    bool FClicksDisabled = false;
};

// A push button. BN_CLICKED (and Enter/Escape for Default/Cancel, and its accelerator) run Click,
// which gives ModalResult to the parent form and fires OnClick.
class TButton : public TButtonControl {
    VCL_CLASS(TButton, TButtonControl)
public:
    explicit TButton(TComponent* AOwner);
    void Dispatch(TMessage& Message) override;

    bool Default() const { return FDefault; }
    void SetDefault(bool Value);
    bool Cancel() const { return FCancel; }
    void SetCancel(bool Value) { FCancel = Value; }
    TModalResult ModalResult() const { return FModalResult; }
    void SetModalResult(TModalResult Value) { FModalResult = Value; }

    void Click() override;

protected:
    void CreateParams(TCreateParams& Params) override;
    void CNCommand(TMessage& Message);
    void CMDialogKey(TMessage& Message);
    void CMDialogChar(TMessage& Message);
    void CMFocusChanged(TMessage& Message);
    // Shows the button as the default one (the thick frame) or not.
    virtual void SetButtonStyle(bool ADefault);

    bool FDefault = false;
    bool FCancel = false;
    bool FActive = false;
    TModalResult FModalResult = 0;
};

// A check box with two or three states. Clicks run Toggle; setting State fires OnClick.
class TCustomCheckBox : public TButtonControl {
    VCL_CLASS(TCustomCheckBox, TButtonControl)
public:
    explicit TCustomCheckBox(TComponent* AOwner);
    void Dispatch(TMessage& Message) override;

    TCheckBoxState State() const { return FState; }
    void SetState(TCheckBoxState Value);
    bool AllowGrayed() const { return FAllowGrayed; }
    void SetAllowGrayed(bool Value) { FAllowGrayed = Value; }
    // taRightJustify: box on the left, caption on the right (the default).
    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment Value);

    // Unchecked -> grayed (with AllowGrayed) or checked; checked -> unchecked; grayed -> checked.
    virtual void Toggle();

protected:
    bool GetChecked() override { return FState == cbChecked; }
    void SetChecked(bool Value) override { SetState(Value ? cbChecked : cbUnchecked); }
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void CNCommand(TMessage& Message);
    void CMDialogChar(TMessage& Message);

    TCheckBoxState FState = cbUnchecked;
    bool FAllowGrayed = false;
    TAlignment FAlignment = taRightJustify;
};

class TCheckBox : public TCustomCheckBox {
    VCL_CLASS(TCheckBox, TCustomCheckBox)
public:
    using TCustomCheckBox::TCustomCheckBox;
    // Checked is a public property of the check box.
    using TCustomCheckBox::SetChecked;
};

// A radio button: checking it unchecks the radio buttons beside it on the same parent.
class TRadioButton : public TButtonControl {
    VCL_CLASS(TRadioButton, TButtonControl)
public:
    explicit TRadioButton(TComponent* AOwner);
    void Dispatch(TMessage& Message) override;

    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment Value);
    void SetChecked(bool Value) override;

protected:
    bool GetChecked() override { return FChecked; }
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void CNCommand(TMessage& Message);
    void CMDialogChar(TMessage& Message);

    bool FChecked = false;
    TAlignment FAlignment = taRightJustify;
};

// A frame with a caption around other controls.
class TCustomGroupBox : public TCustomControl {
    VCL_CLASS(TCustomGroupBox, TCustomControl)
public:
    explicit TCustomGroupBox(TComponent* AOwner);
    void Dispatch(TMessage& Message) override;
    void AdjustClientRect(TRect& Rect) override;

protected:
    void CreateParams(TCreateParams& Params) override;
    void Paint() override;
};

class TGroupBox : public TCustomGroupBox {
    VCL_CLASS(TGroupBox, TCustomGroupBox)
public:
    using TCustomGroupBox::TCustomGroupBox;
};

// --- Item lists of list boxes and combo boxes -------------------------------------------------

// The message numbers of a system list (list box or combo box) that the item strings use.
struct TItemMessages {
    UINT AddString, InsertString, DeleteString, ResetContent, GetCount, GetText, GetTextLen, SetItemData,
        GetItemData, FindStringExact;
};

// The items of a list box or combo box: over the window while it exists, else over a stored model
// (a string list with the objects) that is pushed into the next window.
class TWinItemStrings : public TStrings {
    VCL_CLASS(TWinItemStrings, TStrings)
public:
    TWinItemStrings(TWinControl* Control, const TItemMessages& Msgs);
    AnsiString Get(int Index) const override;
    int GetCount() const override;
    TObject* GetObject(int Index) const override;
    void PutObject(int Index, TObject* AObject) override;
    void Put(int Index, const AnsiString& S) override;
    int Add(const AnsiString& S) override;
    void Insert(int Index, const AnsiString& S) override;
    void Delete(int Index) override;
    void Clear() override;
    int IndexOf(const AnsiString& S) const override;

    // Whether the model sorts what is added (mirrors the window's sort style).
    void SetSorted(bool Value) { FModel.SetSorted(Value); }
    // Moves the model into the new window / the window's items into the model.
    void PushToWindow();
    void PullFromWindow();

protected:
    void SetUpdateState(bool Updating) override;

private:
    bool Live() const { return FControl->HandleAllocated(); }
    LRESULT Send(UINT Msg, WPARAM W = 0, LPARAM L = 0) const;
    void Check(int Index, int Limit) const;
    TWinControl* FControl;
    TItemMessages FMsgs;
    TStringList FModel;
};

// --- List box -----------------------------------------------------------------------------------

// The virtual styles (items given by events, only their count kept by the window) belong to the
// skinned list box; this list box draws them as lbStandard and lbOwnerDrawFixed.
enum TListBoxStyle { lbStandard, lbOwnerDrawFixed, lbOwnerDrawVariable, lbVirtual, lbVirtualOwnerDraw };

class TCustomListBox : public TWinControl {
    VCL_CLASS(TCustomListBox, TWinControl)
public:
    explicit TCustomListBox(TComponent* AOwner);
    ~TCustomListBox() override;

    void Dispatch(TMessage& Message) override;

    TStrings* Items() const { return FItems.get(); }
    void SetItems(TStrings* Value) { FItems->Assign(Value); }
    // -1 when nothing is selected.
    virtual int ItemIndex();
    virtual void SetItemIndex(int Value);
    bool Selected(int Index);
    void SetSelected(int Index, bool Value);
    // Number of selected items (multi-select), else -1.
    int SelCount();
    int TopIndex();
    void SetTopIndex(int Value);
    int ItemHeight();
    void SetItemHeight(int Value);
    int Columns() const { return FColumns; }
    void SetColumns(int Value);
    bool Sorted() const { return FSorted; }
    void SetSorted(bool Value);
    TListBoxStyle Style() const { return FStyle; }
    void SetStyle(TListBoxStyle Value);
    bool MultiSelect() const { return FMultiSelect; }
    void SetMultiSelect(bool Value);
    bool ExtendedSelect() const { return FExtendedSelect; }
    void SetExtendedSelect(bool Value);
    bool IntegralHeight() const { return FIntegralHeight; }
    void SetIntegralHeight(bool Value);
    TCanvas* Canvas() const { return FCanvas.get(); }

    void Clear() { FItems->Clear(); }
    // The item under a client point; Existing: -1 when there is none, else Count.
    int ItemAtPos(TPoint Pos, bool Existing);
    TRect ItemRect(int Index);

    TDrawItemEvent OnDrawItem;
    TMeasureItemEvent OnMeasureItem;

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateWindowHandle(const TCreateParams& Params) override;
    void CreateWnd() override;
    void DestroyWnd() override;
    virtual void DrawItem(int Index, TRect Rect, TOwnerDrawState State);
    virtual void MeasureItem(int Index, int& Height);
    void CNCommand(TMessage& Message);
    void CNDrawItem(TMessage& Message);
    void CNMeasureItem(TMessage& Message);
    void SetColumnWidth();

    std::unique_ptr<TWinItemStrings> FItems;
    std::unique_ptr<TCanvas> FCanvas;
    TListBoxStyle FStyle = lbStandard;
    int FItemHeight = 16;
    int FColumns = 0;
    bool FSorted = false;
    bool FMultiSelect = false;
    bool FExtendedSelect = true;
    bool FIntegralHeight = false;
    // State held while there is no window.
    int FSaveItemIndex = -1;
    int FSaveTopIndex = 0;
    std::vector<bool> FSaveSelected;
};

class TListBox : public TCustomListBox {
    VCL_CLASS(TListBox, TCustomListBox)
public:
    using TCustomListBox::TCustomListBox;
};

// --- Combo box ----------------------------------------------------------------------------------

enum TComboBoxStyle { csDropDown, csSimple, csDropDownList, csOwnerDrawFixed, csOwnerDrawVariable };

class TCustomComboBox : public TWinControl {
    VCL_CLASS(TCustomComboBox, TWinControl)
public:
    explicit TCustomComboBox(TComponent* AOwner);
    ~TCustomComboBox() override;

    void Dispatch(TMessage& Message) override;

    TStrings* Items() const { return FItems.get(); }
    void SetItems(TStrings* Value) { FItems->Assign(Value); }
    virtual int ItemIndex();
    virtual void SetItemIndex(int Value);
    TComboBoxStyle Style() const { return FStyle; }
    void SetStyle(TComboBoxStyle Value);
    int DropDownCount() const { return FDropDownCount; }
    void SetDropDownCount(int Value) { FDropDownCount = Value; }
    bool DroppedDown();
    void SetDroppedDown(bool Value);
    int MaxLength() const { return FMaxLength; }
    void SetMaxLength(int Value);
    bool Sorted() const { return FSorted; }
    void SetSorted(bool Value);
    int ItemHeight();
    void SetItemHeight(int Value);
    TCanvas* Canvas() const { return FCanvas.get(); }
    void Clear();
    void SelectAll();

    // The inner edit window (null for drop-down lists) and the list window.
    HWND EditHandle() const { return FEditHandle; }
    HWND ListHandle() const { return FListHandle; }

    TNotifyEvent OnChange;
    TNotifyEvent OnSelect;
    TNotifyEvent OnDropDown;
    TNotifyEvent OnCloseUp;
    TDrawItemEvent OnDrawItem;
    TMeasureItemEvent OnMeasureItem;

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateWindowHandle(const TCreateParams& Params) override;
    void CreateWnd() override;
    void DestroyWnd() override;
    // Messages of the inner edit and drop-down list windows (ComboWnd says which): key events of
    // the combo, focus for the form; the end passes them to the window's own procedure.
    virtual void ComboWndProc(TMessage& Message, HWND ComboWnd);
    virtual void Change();
    virtual void Select();
    virtual void DropDown();
    virtual void CloseUp();
    virtual void DrawItem(int Index, TRect Rect, TOwnerDrawState State);
    virtual void MeasureItem(int Index, int& Height);
    void CNCommand(TMessage& Message);
    void CNDrawItem(TMessage& Message);
    void CNMeasureItem(TMessage& Message);
    void CMWantSpecialKey(TMessage& Message);
    bool HasEdit() const { return FStyle == csDropDown || FStyle == csSimple; }
    void AdjustDropDown();

    std::unique_ptr<TWinItemStrings> FItems;
    std::unique_ptr<TCanvas> FCanvas;
    TComboBoxStyle FStyle = csDropDown;
    int FDropDownCount = 8;
    int FMaxLength = 0;
    bool FSorted = false;
    int FItemHeight = 16;
    int FSaveItemIndex = -1;
    HWND FEditHandle = nullptr;
    HWND FListHandle = nullptr;

private:
    void EditWndProc(TMessage& Message);
    void ListWndProc(TMessage& Message);
    TWindowSubclass FEditSubclass;
    TWindowSubclass FListSubclass;
};

class TComboBox : public TCustomComboBox {
    VCL_CLASS(TComboBox, TCustomComboBox)
public:
    using TCustomComboBox::TCustomComboBox;
};

// --- Label --------------------------------------------------------------------------------------

// A windowless caption; its accelerator focuses FocusControl.
class TCustomLabel : public TGraphicControl {
    VCL_CLASS(TCustomLabel, TGraphicControl)
public:
    explicit TCustomLabel(TComponent* AOwner);
    void Dispatch(TMessage& Message) override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

    // AutoSize (on by default) fits the control to its caption.
    void SetAutoSize(bool Value) override;
    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment Value);
    TTextLayout Layout() const { return FLayout; }
    void SetLayout(TTextLayout Value);
    bool WordWrap() const { return FWordWrap; }
    void SetWordWrap(bool Value);
    bool Transparent() const { return FTransparent; }
    void SetTransparent(bool Value);
    bool ShowAccelChar() const { return FShowAccelChar; }
    void SetShowAccelChar(bool Value);
    TWinControl* FocusControl() const { return FFocusControl; }
    void SetFocusControl(TWinControl* Value);

protected:
    void Paint() override;
    // Draws the caption with DrawText flags (DT_CALCRECT measures into Rect).
    virtual void DoDrawText(TRect& Rect, UINT Flags);
    virtual void AdjustBounds();
    void CMDialogChar(TMessage& Message);

    TAlignment FAlignment = taLeftJustify;
    TTextLayout FLayout = tlTop;
    bool FWordWrap = false;
    bool FTransparent = false;
    bool FShowAccelChar = true;
    TWinControl* FFocusControl = nullptr;
};

class TLabel : public TCustomLabel {
    VCL_CLASS(TLabel, TCustomLabel)
public:
    using TCustomLabel::TCustomLabel;
};
