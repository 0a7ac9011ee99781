// The skinned mask edit with a drop-down button at its right edge (section "EDIT") and the pop-up
// window it drops down under itself: the base of the number, calculator and date edits. The button
// is a windowless speed button painted over the edit's own picture; the pop-up is a borderless
// form that the edit makes, shows topmost and activated, and forgets when it goes.
#pragma once

#include "Forms.h"
#include "Menus.h"
#include "sGlyphUtils.h"
#include "sMaskEdit.h"
#include "sSpeedButton.h"

class TsCustomComboEdit;

enum TPopupWindowAlign { pwaRight, pwaLeft };

// The top-left corner of a pop-up of PopupSize for an edit at Edit (screen coordinates), inside
// WorkArea: below the edit, above it when there is no room below; right edges aligned (pwaRight,
// left edges when that would leave the area) or left edges (pwaLeft, right edges when that would
// leave the area); then moved inside the area horizontally.
TPoint PopupWindowPlace(const TRect& WorkArea, const TRect& Edit, TSize PopupSize, TPopupWindowAlign Align);

// The button of a combo edit. Skinned, it shows the edit's picture under its glyph (normal, hot or
// pressed cell); plain, a speed button with the glyph's hot cell.
class TsEditButton : public TsSpeedButton {
    VCL_CLASS(TsEditButton, TsSpeedButton)
public:
    explicit TsEditButton(TComponent* AOwner);
    // The edit's text keeps off the button's new width.
    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;

    TsCustomComboEdit* Edit() const { return FEdit; }
    void PrepareCache() override;
    void DrawGlyph() override;
    int GlyphWidth() override;
    int GlyphHeight() override;
    // The picture (rebuilt when stale) into DC at P.
    void PaintTo(HDC DC, TPoint P);
    // The glyph's hot cell (pressed cell while down) over the plain button's face.
    void DrawStandardGlyph();

protected:
    void Paint() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;

private:
    friend class TsCustomComboEdit;
    // The state cell of the glyph to show: 2 pressed, 1 under the mouse, else 0.
    int GlyphState() const;
    TsCustomComboEdit* FEdit = nullptr;
    // This press closed the pop-up (it took the activation from it): its click opens nothing.
    bool FPressClosedPopup = false;
};

class TsCustomComboEdit : public TsMaskEdit {
    VCL_CLASS(TsCustomComboEdit, TsMaskEdit)
public:
    explicit TsCustomComboEdit(TComponent* AOwner);
    ~TsCustomComboEdit() override;
    void AfterConstruction() override;
    void Loaded() override;
    void WndProc(TMessage& Message) override;
    void Invalidate() override;

    TsEditButton* Button() const { return FButton; }
    TsGlyphMode* GlyphMode() const { return FGlyphMode.get(); }
    // The built-in glyph the button shows ("BTN_ELLIPSIS", "BTN_CALC", "BTN_DATE"...; none here).
    AnsiString DefBmpName;
    // The key that works the button (Alt+Down).
    TShortCut ClickKey = 0x8028;
    TPopupWindowAlign PopupAlign = pwaRight;
    int PopupWidth = 197;
    TNotifyEvent OnButtonClick;

    // Read-only: nothing typed and no pop-up; the button's click still reaches OnButtonClick.
    bool ReadOnly() const { return FReadOnlyValue; }
    void SetReadOnly(bool Value);
    // Off: the text takes no typing, paste or cut, but the button works.
    bool DirectInput() const { return FDirectInput; }
    void SetDirectInput(bool Value);
    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment Value);
    // Off: no button, and the text has the edit's whole width.
    bool ShowButton() const { return FShowButton; }
    void SetShowButton(bool Value);

    // The pop-up window, null while there is none.
    TCustomForm* Popup() const { return FPopup; }
    // The pop-up exists and shows.
    bool DroppedDown() const;
    // Places the pop-up under (or over) the edit, topmost, and shows it activated; nothing without
    // a pop-up, when read-only or already dropped down.
    virtual void PopupWindowShow();
    virtual bool GetReadOnly() { return FReadOnlyValue; }
    virtual void PopupWindowClose();
    // What the button does: OnButtonClick, then the pop-up shown (the edit focused) or closed.
    virtual void ButtonClick();
    // ButtonClick unless read-only.
    void DoClick();
    // All the text, when typing is allowed and there is some.
    void SelectAll();
    // The pop-up tells the edit that it closes; a press on the button that took the activation
    // from it then opens nothing.
    void PopupClosing();

    void SetEditRect() override;
    void PaintBorder(HDC DC) override;
    void PaintText() override;
    void OurPaintHandler(HDC DC) override;
    bool IsActive() override;

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void KeyDown(Word& Key, TShiftState Shift) override;
    // Enter and Escape go to the form (default and cancel buttons) first; Enter goes no further.
    void KeyPress(char& Key) override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    // Nothing while dropped down.
    void Change() override;
    // Takes Value as the pop-up (owned by the edit; forgotten when it goes).
    void SetPopup(TCustomForm* Value);
    // The work area the pop-up is kept in: that of the monitor nearest the edit.
    TRect PopupWorkArea();

private:
    friend class TsEditButton;
    void EditButtonClick(TObject* Sender);
    void UpdateReadOnly();
    // The button's width and visibility follow ShowButton; the text room follows the button.
    void UpdateButton();

    TsEditButton* FButton = nullptr; // owned by the edit, a child of it
    std::unique_ptr<TsGlyphMode> FGlyphMode;
    TCustomForm* FPopup = nullptr;
    bool FReadOnlyValue = false;
    bool FDirectInput = true;
    TAlignment FAlignment = taLeftJustify;
    bool FShowButton = true;
    bool FClosedByPress = false;
};

// The borderless form a combo edit drops down: owned by its edit's form window (which gets the
// activation back when it hides), closed when it loses the activation, coloured by the skin.
class TsPopupForm : public TForm {
    VCL_CLASS(TsPopupForm, TForm)
public:
    explicit TsPopupForm(TComponent* AOwner);
    void Dispatch(TMessage& Message) override;
    // The edit the pop-up works for (not owned; forgotten when it goes).
    TsCustomComboEdit* EditLink() const { return FEditLink; }
    void SetEditLink(TsCustomComboEdit* Value);
    // The skin manager's global colour while a skin is active, else the button face.
    void TakeSkinColor();

protected:
    void CreateParams(TCreateParams& Params) override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void Deactivate() override;
    void DoClose(TCloseAction& Action) override;
    // The focus back to the linked edit, all selected when it selects on entry.
    void FocusEdit();
    // FocusEdit, then the pop-up closes.
    void ReturnToEdit();

private:
    TsCustomComboEdit* FEditLink = nullptr;
};
