#include "sCurrEdit.h"

#include <cmath>

#include "Clipbrd.h"

#include "sCalcUnit.h"
#include "sCurrencyEdit.h"
#include "sEdit.h"
#include "sGraphUtils.h"
#include "sUtils.h"
#include "sVclUtils.h"

namespace {

// Text without its line breaks.
AnsiString WithoutBreaks(const AnsiString& S)
{
    return DelChars(DelChars(S, '\r'), '\n');
}

// Infinity and NaN are no value of the edit: no text shows them and no range holds them.
void RefuseNonFinite(double Value)
{
    if (!std::isfinite(Value))
        throw EConvertError(AnsiString("'") + (std::isnan(Value) ? "NAN" : Value > 0 ? "INF" : "-INF") +
                            "' is not a valid floating point value");
}

} // namespace

TsCustomNumEdit::TsCustomNumEdit(TComponent* AOwner) : TsCustomComboEdit(AOwner)
{
    FDisplayFormat = DefFormat();
    PopupWidth = 213;
    DataChanged();
}

AnsiString TsCustomNumEdit::DefFormat() { return "### ##0.00;-### ##0.00;0"; }

// --- The value ------------------------------------------------------------------------------------

AnsiString TsCustomNumEdit::TextToValText(const AnsiString& AValue) const
{
    AnsiString s = TrimRight(AValue);
    if (DecimalSeparator != ThousandSeparator)
        s = DelChars(s, ThousandSeparator);
    for (const char c : {'.', ','})
        if (DecimalSeparator != c && ThousandSeparator != c)
            for (char& ch : s)
                if (ch == c)
                    ch = DecimalSeparator;
    if (s.empty())
        return "0";
    if (s == "-")
        return "-0";
    return s;
}

double TsCustomNumEdit::CheckValue(double NewValue) const
{
    if (FMinValue < FMaxValue)
        return std::clamp(NewValue, FMinValue, FMaxValue);
    if (FMaxValue < FMinValue) {
        // One bound at 0 is no bound: only the other applies.
        if (FMaxValue == 0 && NewValue < FMinValue)
            return FMinValue;
        if (FMinValue == 0 && NewValue > FMaxValue)
            return FMaxValue;
    }
    return NewValue;
}

AnsiString TsCustomNumEdit::Text() { return WithoutBreaks(inherited::Text()); }

void TsCustomNumEdit::SetText(const AnsiString& AValue)
{
    FValue = CheckValue(StrToFloat(TextToValText(AValue)));
    DataChanged();
    SkinData()->Invalidate();
}

double TsCustomNumEdit::Value()
{
    UpdateData();
    return FValue;
}

void TsCustomNumEdit::SetValue(double AValue)
{
    RefuseNonFinite(AValue);
    FValue = CheckValue(AValue);
    DataChanged();
    SkinData()->Invalidate();
}

void TsCustomNumEdit::SetMinValue(double AValue)
{
    RefuseNonFinite(AValue);
    if (AValue == FMinValue)
        return;
    FMinValue = AValue;
    SetValue(FValue);
}

void TsCustomNumEdit::SetMaxValue(double AValue)
{
    RefuseNonFinite(AValue);
    if (AValue == FMaxValue)
        return;
    FMaxValue = AValue;
    SetValue(FValue);
}

void TsCustomNumEdit::SetDecimalPlaces(int AValue)
{
    AValue = std::max(AValue, 0);
    if (AValue == FDecimalPlaces)
        return;
    FDecimalPlaces = AValue;
    DataChanged();
    SkinData()->Invalidate();
}

void TsCustomNumEdit::SetDisplayFormat(const AnsiString& AValue)
{
    if (AValue == FDisplayFormat)
        return;
    FDisplayFormat = AValue;
    DataChanged();
    SkinData()->Invalidate();
}

void TsCustomNumEdit::SetAlignment(TAlignment AValue)
{
    FDisplayAlignment = AValue;
    SkinData()->Invalidate();
    Invalidate();
}

void TsCustomNumEdit::UpdateData()
{
    ValidateEdit();
    const AnsiString text = Text();
    if (text != EditText() && !IsMasked())
        TControl::SetText(text);
    FValue = CheckValue(StrToFloat(TextToValText(text)));
}

void TsCustomNumEdit::CheckRange()
{
    if (CheckOnExit)
        StrToFloat(TextToValText(EditText()));
}

void TsCustomNumEdit::DataChanged()
{
    if (!EditMask().empty())
        return;
    const AnsiString format = FDecimalPlaces == 0 ? AnsiString("0") : "0." + StringOfChar('#', FDecimalPlaces);
    TControl::SetText(FormatFloat(format, FValue));
}

void TsCustomNumEdit::Reset()
{
    DataChanged();
    SelectAll();
}

AnsiString TsCustomNumEdit::FormatDisplayText(double AValue) const
{
    return FDisplayFormat.empty() ? FloatToStr(AValue) : FormatFloat(FDisplayFormat, AValue);
}

AnsiString TsCustomNumEdit::GetDisplayText()
{
    if (FFocused)
        return Text();
    // A text that is no number is shown as it stands.
    double v = 0;
    return TryStrToFloat(TextToValText(Text()), v) ? FormatDisplayText(v) : Text();
}

void TsCustomNumEdit::SetFocused(bool AValue)
{
    if (FFocused == AValue)
        return;
    FFocused = AValue;
    Invalidate();
    FFormatting = true;
    try {
        DataChanged();
    } catch (...) {
        FFormatting = false;
        throw;
    }
    FFormatting = false;
}

// --- Typing ------------------------------------------------------------------------------------------

bool TsCustomNumEdit::IsValidChar(char Key) { return IsValidInsert(AnsiString(1, Key)); }

bool TsCustomNumEdit::IsValidInsert(const AnsiString& Part)
{
    AnsiString s = EditText();
    if (HandleAllocated()) {
        const int start = std::min(SelStart(), Length(s)), count = SelLength();
        s = Copy(s, 1, start) + Part + Copy(s, start + count + 1, Length(s));
    } else {
        s += Part;
    }
    s = TextToValText(s);
    if (const int p = Pos(AnsiString(1, DecimalSeparator), s); p > 0) {
        int decimals = 0;
        for (int i = p + 1; i <= Length(s) && AnsiUpperChar(s[static_cast<size_t>(i - 1)]) != 'E'; ++i)
            ++decimals;
        if (decimals > FDecimalPlaces)
            return false;
    }
    double v = 0;
    if (!IsValidFloat(s, v))
        return false;
    // No minus where the range holds no negative number.
    return !(FMinValue >= 0 && FMaxValue > 0 && (v < 0 || s[0] == '-'));
}

void TsCustomNumEdit::KeyPress(char& Key)
{
    if ((Key == '.' || Key == ',') && Key != ThousandSeparator)
        Key = DecimalSeparator;
    inherited::KeyPress(Key);
    if (static_cast<unsigned char>(Key) > 31 && !IsValidChar(Key)) {
        if (BeepOnError)
            SysUtils::Beep();
        Key = 0;
    } else if (Key == '\x1b') {
        Reset();
        Key = 0;
    }
}

void TsCustomNumEdit::ReformatEditText()
{
    const AnsiString text = Text();
    if (text.empty() || text == "-")
        return;
    const AnsiString formatted = FormatFloatStr(TextToValText(text), Pos(",", FDisplayFormat) > 0);
    const int caret = HandleAllocated() ? SelStart() : 0;
    TControl::SetText(formatted);
    if (Focused())
        SetSelStart(std::max(0, caret + Length(formatted) - Length(text)));
}

void TsCustomNumEdit::Change()
{
    if (FFormatting)
        return;
    if (FFormatOnEditing && FFocused) {
        FFormatting = true;
        try {
            ReformatEditText();
        } catch (...) {
            FFormatting = false;
            throw;
        }
        FFormatting = false;
    }
    inherited::Change();
}

// --- Messages and painting ------------------------------------------------------------------------

void TsCustomNumEdit::PasteNumber()
{
    const AnsiString part = Trim(WithoutBreaks(Clipboard()->AsText()));
    // The box would cut a text longer than it holds into another number.
    const int length = Length(EditText()) - (HandleAllocated() ? SelLength() : 0) + Length(part);
    if (!IsValidInsert(part) || (MaxLength() > 0 && length > MaxLength())) {
        if (BeepOnError)
            SysUtils::Beep();
        return;
    }
    SendMessageA(Handle(), EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(part.c_str()));
    UpdateData();
}

void TsCustomNumEdit::WndProc(TMessage& Message)
{
    switch (Message.Msg) {
    case WM_PASTE:
        // A paste is taken as typing is: whole, and only when the text stays a number.
        if (EditMask().empty() && DirectInput() && !ReadOnly()) {
            PasteNumber();
            return;
        }
        break;
    case CM_ENTER:
        SetFocused(true);
        break;
    case CM_EXIT:
        try {
            CheckRange();
            UpdateData();
        } catch (...) {
            SelectAll();
            KeepFocus();
            throw;
        }
        SetFocused(false);
        if (HandleAllocated())
            SendMessageA(Handle(), EM_SETSEL, 0, 0);
        break;
    default: break;
    }
    inherited::WndProc(Message);
    switch (Message.Msg) {
    case WM_PASTE:
        if (DirectInput() && !ReadOnly())
            UpdateData();
        break;
    case WM_PAINT:
        if (!SkinData()->Skinned() && !FFocused)
            PaintDisplayText();
        break;
    default: break;
    }
}

void TsCustomNumEdit::PaintText()
{
    const AnsiString text =
        PasswordChar() != 0 ? AnsiString(static_cast<size_t>(Length(Text())), PasswordChar()) : GetDisplayText();
    const int button = Button() && Button()->Visible() ? Button()->Width() : 0;
    const TAlignment alignment = IsActive() ? taLeftJustify : FDisplayAlignment;
    const int flags = GetStringFlags(this, alignment) | (PasswordChar() != 0 ? 0x830 : 0x800);
    WriteCacheText(text, Rect(3, 2, Width() - 3 - button, Height() - 3), flags, IsActive());
}

void TsCustomNumEdit::PaintDisplayText()
{
    if (!HandleAllocated())
        return;
    const int button = Button() && Button()->Visible() ? Button()->Width() : 0;
    const int w = ClientWidth() - button, h = ClientHeight();
    if (w <= 0 || h <= 0)
        return;
    TBitmap bmp(w, h, pf24bit);
    TCanvas* canvas = bmp.Canvas();
    canvas->Brush()->SetColor(Color());
    canvas->FillRect(Rect(0, 0, w, h));
    const HDC dc = canvas->Handle();
    const HGDIOBJ oldFont = SelectObject(dc, Font()->Handle());
    SetTextColor(dc, static_cast<COLORREF>(ColorToRGB(Font()->Color())));
    SetBkMode(dc, TRANSPARENT);
    TRect r = Rect(2, 2, w - 2, h - 1);
    const AnsiString text = GetDisplayText();
    DrawTextA(dc, text.c_str(), Length(text), &r, GetStringFlags(this, FDisplayAlignment) | 0x30);
    SelectObject(dc, oldFont);
    HDC window = GetDC(Handle());
    BitBlt(window, 0, 0, w, h, dc, 0, 0, SRCCOPY);
    ReleaseDC(Handle(), window);
}

// --- The calculator edit and the currency edit --------------------------------------------------------

TsCalcEdit::TsCalcEdit(TComponent* AOwner) : TsCustomNumEdit(AOwner)
{
    DefBmpName = "BTN_CALC";
    GlyphMode()->AssignDefaultBitmap();
}

void TsCalcEdit::PopupWindowShow()
{
    if (!Popup()) {
        auto* calc = Create<TsCalcForm>(this);
        calc->sDragBar1->SetVisible(false);
        calc->SetHeight(calc->Height() - 24);
        calc->Precision = 16;
        calc->SetEditLink(this);
        calc->SetText(Text());
        SetPopup(calc);
    }
    inherited::PopupWindowShow();
}

TsCurrencyEdit::TsCurrencyEdit(TComponent* AOwner) : TsCustomNumEdit(AOwner)
{
    SkinData()->COC = 41;
    SetWidth(80);
    // No button: its glyph has no width.
    GlyphMode()->AssignDefaultBitmap();
    SetEditRect();
}
