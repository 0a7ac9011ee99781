// The number edits: a combo edit that holds a floating-point value, takes only the keys that keep
// its text a number within its decimals and range, and shows the value by a display format while
// it does not have the focus. TsCalcEdit drops a calculator down from its button.
#pragma once

#include "sCustomComboEdit.h"

class TsCustomNumEdit : public TsCustomComboEdit {
    VCL_CLASS(TsCustomNumEdit, TsCustomComboEdit)
public:
    explicit TsCustomNumEdit(TComponent* AOwner);
    void WndProc(TMessage& Message) override;

    // The value, read from the text first (an invalid number raises EConvertError).
    double Value();
    // Kept within the range, then shown; infinity and NaN raise EConvertError (also as a bound).
    void SetValue(double AValue);
    // The value without its fraction.
    Int64 AsInteger() { return Trunc(Value()); }
    // Equal bounds set no range; with MaxValue < MinValue the one that is 0 sets no bound.
    double MinValue() const { return FMinValue; }
    void SetMinValue(double AValue);
    double MaxValue() const { return FMaxValue; }
    void SetMaxValue(double AValue);
    int DecimalPlaces() const { return FDecimalPlaces; }
    void SetDecimalPlaces(int AValue);
    // The format of the value while the edit has no focus (FormatFloat); empty: FloatToStr.
    const AnsiString& DisplayFormat() const { return FDisplayFormat; }
    void SetDisplayFormat(const AnsiString& AValue);
    // Alignment of the value shown without the focus (the text typed is left-aligned).
    TAlignment Alignment() const { return FDisplayAlignment; }
    void SetAlignment(TAlignment AValue);
    bool BeepOnError = true;
    // The text is converted on exit (an invalid number raises EConvertError there).
    bool CheckOnExit = false;

    // The edit's text without line breaks.
    AnsiString Text();
    // The value of a number text (see TextToValText), kept within the range, then shown.
    void SetText(const AnsiString& AValue);
    void Clear() { SetText(""); }
    // The text shown from the value again, all of it selected.
    void Reset() override;

    virtual void DataChanged();
    virtual AnsiString DefFormat();
    // Whether the text with Key in place of the selection is still an acceptable number.
    virtual bool IsValidChar(char Key);
    // Whether the text with Part in place of the selection is still an acceptable number.
    bool IsValidInsert(const AnsiString& Part);
    // The plain text while focused, else the value by DisplayFormat.
    virtual AnsiString GetDisplayText();

    // A typed number as the float routines read it: trailing blanks off, thousands separators out,
    // '.' and ',' (unless a separator) made the decimal separator; "" is "0" and "-" is "-0".
    AnsiString TextToValText(const AnsiString& AValue) const;
    double CheckValue(double NewValue) const;
    AnsiString FormatDisplayText(double AValue) const;
    // The value from the text (the mask checked first).
    void UpdateData();

    void PaintText() override;

protected:
    void KeyPress(char& Key) override;
    void Change() override;

private:
    void SetFocused(bool AValue);
    // The clipboard's text, trimmed, in place of the selection when the text stays a number;
    // otherwise a beep and nothing changes.
    void PasteNumber();
    void CheckRange();
    void ReformatEditText();
    // The value shown over the plain edit's text while it has no focus.
    void PaintDisplayText();

    TAlignment FDisplayAlignment = taRightJustify;
    bool FFocused = false;
    double FValue = 0;
    double FMinValue = 0;
    double FMaxValue = 0;
    int FDecimalPlaces = 2;
    bool FFormatOnEditing = false; // nothing sets it
    bool FFormatting = false;
    AnsiString FDisplayFormat;
};

class TsCalcEdit : public TsCustomNumEdit {
    VCL_CLASS(TsCalcEdit, TsCustomNumEdit)
public:
    explicit TsCalcEdit(TComponent* AOwner);
    // Makes the calculator (once), with the edit's text, and drops it down.
    void PopupWindowShow() override;
};
