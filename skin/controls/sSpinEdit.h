// Skinned spin edits: a skinned edit with a column of two small arrow buttons inside its right
// edge that step the value up and down, repeating while a button is held. TsSpinEdit holds an
// integer, TsDecimalSpinEdit a number shown with a fixed count of decimals.
#pragma once

#include "ExtCtrls.h"
#include "sEdit.h"
#include "sSpeedButton.h"

namespace sSpinEdit {

enum TTimeBtnStateItem { tbFocusRect, tbAllowTimer };
using TTimeBtnState = TSet<TTimeBtnStateItem>;

// A speed button that clicks again after 400 ms and then every 100 ms while it holds the mouse.
class TsTimerSpeedButton : public TsSpeedButton {
    VCL_CLASS(TsTimerSpeedButton, TsSpeedButton)
public:
    using TsSpeedButton::TsSpeedButton;
    TTimeBtnState TimeBtnState;
    TTimer* RepeatTimer() const { return FRepeatTimer; }

protected:
    void Paint() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;

private:
    void TimerExpired(TObject* Sender);
    TTimer* FRepeatTimer = nullptr; // owned by the button, made at the first press
};

} // namespace sSpinEdit

// The column of the up and down buttons.
class TsSpinButton : public TWinControl {
    VCL_CLASS(TsSpinButton, TWinControl)
public:
    explicit TsSpinButton(TComponent* AOwner);
    void Loaded() override;
    void WndProc(TMessage& Message) override;
    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;

    sSpinEdit::TsTimerSpeedButton* UpButton() const { return FUpButton; }
    sSpinEdit::TsTimerSpeedButton* DownButton() const { return FDownButton; }
    sSpinEdit::TsTimerSpeedButton* FocusedButton() const { return FFocusedButton; }
    // Takes the focus when a button is pressed (not owned; forgotten when it goes).
    TWinControl* FocusControl() const { return FFocusControl; }
    void SetFocusControl(TWinControl* Value);
    TBitmap* UpGlyph() const;
    TBitmap* DownGlyph() const;
    // Null draws the default arrow.
    void SetUpGlyph(TBitmap* Value);
    void SetDownGlyph(TBitmap* Value);

    TNotifyEvent OnUpClick;
    TNotifyEvent OnDownClick;

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    sSpinEdit::TsTimerSpeedButton* CreateButton();
    void SetGlyph(sSpinEdit::TsTimerSpeedButton* Button, TBitmap* Value, bool Up);
    // Lays the buttons out in the size, widened to 15 at least.
    void AdjustSize(int& W, int& H);
    void BtnClick(TObject* Sender);
    void BtnMouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
    void SetFocusBtn(sSpinEdit::TsTimerSpeedButton* Btn);

    TComponent* FOwnerEdit = nullptr;
    sSpinEdit::TsTimerSpeedButton* FUpButton = nullptr;
    sSpinEdit::TsTimerSpeedButton* FDownButton = nullptr;
    sSpinEdit::TsTimerSpeedButton* FFocusedButton = nullptr;
    TWinControl* FFocusControl = nullptr;
};

class TsBaseSpinEdit : public TsEdit {
    VCL_CLASS(TsBaseSpinEdit, TsEdit)
public:
    explicit TsBaseSpinEdit(TComponent* AOwner);
    void WndProc(TMessage& Message) override;
    void Invalidate() override;

    TsSpinButton* Button() const { return FButton; }
    // Off: the value changes only by the buttons, Ctrl+arrows and the wheel.
    bool EditorEnabled = true;

    virtual bool IsValidChar(char Key);
    virtual void UpClick(TObject* Sender);
    virtual void DownClick(TObject* Sender);

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void KeyDown(Word& Key, TShiftState Shift) override;
    void KeyPress(char& Key) override;

private:
    void SetEditRect();
    int GetMinHeight();

    TsSpinButton* FButton = nullptr; // owned by the edit
};

class TsSpinEdit : public TsBaseSpinEdit {
    VCL_CLASS(TsSpinEdit, TsBaseSpinEdit)
public:
    using TsBaseSpinEdit::TsBaseSpinEdit;
    void WndProc(TMessage& Message) override;

    // Equal bounds (both 0 at first) set no limits.
    int MinValue = 0;
    int MaxValue = 0;
    int Increment = 1;
    // MinValue for an empty text or one that is no integer.
    int Value();
    void SetValue(int Value);
    int CheckValue(Int64 Value) const;

    bool IsValidChar(char Key) override;
    void UpClick(TObject* Sender) override;
    void DownClick(TObject* Sender) override;

private:
    void Step(Int64 Delta);
};

class TsDecimalSpinEdit : public TsBaseSpinEdit {
    VCL_CLASS(TsDecimalSpinEdit, TsBaseSpinEdit)
public:
    using TsBaseSpinEdit::TsBaseSpinEdit;
    void WndProc(TMessage& Message) override;

    double MinValue = 0;
    double MaxValue = 0;
    double Increment = 1.0;
    int DecimalPlaces() const { return FDecimalPlaces; }
    void SetDecimalPlaces(int Value);
    double Value();
    void SetValue(double Value);
    double CheckValue(double Value) const;

    void UpClick(TObject* Sender) override;
    void DownClick(TObject* Sender) override;

private:
    int FDecimalPlaces = 2;
};
