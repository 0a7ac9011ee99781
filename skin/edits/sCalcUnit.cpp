#include "sCalcUnit.h"

#include <cmath>

#include "Clipbrd.h"
#include "sCurrEdit.h"
#include "sStyleSimply.h"
#include "sUtils.h"

namespace {

// The key each operator button sends.
struct TCalcButtonKey {
    const char* Caption;
    char Key;
};
const TCalcButtonKey ButtonKeys[] = {{".", '.'}, {"±", '_'}, {"+", '+'}, {"-", '-'}, {"*", '*'},  {"/", '/'},
                                     {"%", '%'}, {"=", '='}, {"sqrt", 'Q'}, {"1/%", 'R'}, {"<-", '\b'}, {"C", 'C'}};

constexpr int ButtonW = 31, ButtonH = 20, WideW = 55, Gap = 2, Margin = 5;
constexpr int Col(int C) { return Margin + C * (ButtonW + Gap); }
constexpr int RowY(int R) { return Margin + R * (ButtonH + Gap); }

} // namespace

TsCalcForm::TsCalcForm(TComponent* AOwner) : TsPopupForm(AOwner)
{
    BeginLoading(this);
    SetCaption("Calculator");
    SetClientSize(214, 172);
    BuildLayout();
    LoadedAll(this);
    SetText("0");
}

TsSpeedButton* TsCalcForm::AddButton(const char* Caption, int Left, int Top, int Width, TNotifyEvent Click, int Tag)
{
    auto* b = Create<TsSpeedButton>(this);
    b->SkinData()->SetSkinSection("SPEEDBUTTON_SMALL");
    b->SetBounds(Left, Top, Width, ButtonH);
    b->SetCaption(Caption);
    b->Tag = Tag;
    b->OnClick = Click;
    b->SetParent(FCalculatorPanel);
    FButtons.push_back(b);
    return b;
}

void TsCalcForm::BuildLayout()
{
    sDragBar1 = Create<TsDragBar>(this);
    sDragBar1->SetCaption("Calculator");
    sDragBar1->SetHeight(24);
    sDragBar1->SetAlignment(taLeftJustify);
    sDragBar1->SetParent(this);
    sToolButton1 = Create<TsSpeedButton>(this);
    sToolButton1->SetCaption("X");
    sToolButton1->SetFlat(true);
    sToolButton1->SetBounds(214 - 22, 2, 20, 20);
    sToolButton1->OnClick = TNotifyEvent(this, &TsCalcForm::CloseClick);
    sToolButton1->SetParent(sDragBar1);
    sToolButton3 = Create<TsSpeedButton>(this);
    sToolButton3->SetCaption("_");
    sToolButton3->SetFlat(true);
    sToolButton3->SetBounds(214 - 43, 2, 20, 20);
    sToolButton3->OnClick = TNotifyEvent(this, &TsCalcForm::MinimizeClick);
    sToolButton3->SetParent(sDragBar1);

    FMainPanel = Create<TsPanel>(this);
    FMainPanel->SkinData()->SetSkinSection("PANEL");
    FMainPanel->SetAlign(alClient);
    FMainPanel->SetBorderWidth(2);
    FMainPanel->SetCaption("");
    FMainPanel->SetParent(this);
    FCalculatorPanel = Create<TsPanel>(this);
    FCalculatorPanel->SkinData()->SetSkinSection("PANEL");
    FCalculatorPanel->SetAlign(alClient);
    FCalculatorPanel->SetBorderWidth(4);
    FCalculatorPanel->SetCaption("");
    FCalculatorPanel->SetParent(FMainPanel);

    FDisplayPanel = Create<TsPanel>(this);
    FDisplayPanel->SkinData()->SetSkinSection("PANEL_LOW");
    FDisplayPanel->SetBevelOuter(bvLowered);
    FDisplayPanel->SetAlignment(taRightJustify);
    FDisplayPanel->SetBounds(Margin, RowY(0), Col(6) - Gap - Margin, ButtonH);
    FDisplayPanel->SetCaption("0 ");
    FDisplayPanel->SetParent(FCalculatorPanel);
    FCalcPanel = Create<TsPanel>(this);
    FCalcPanel->SkinData()->SetSkinSection("PANEL_LOW");
    FCalcPanel->SetBevelOuter(bvLowered);
    FCalcPanel->SetBounds(Margin, RowY(1), 81, ButtonH - 1);
    FCalcPanel->SetCaption("");
    FCalcPanel->SetParent(FCalculatorPanel);

    const TNotifyEvent key(this, &TsCalcForm::KeyClick), digit(this, &TsCalcForm::DigitClick),
        memory(this, &TsCalcForm::MemoryClick);
    AddButton("<-", Col(6) - Gap - 2 * WideW - Gap, RowY(1), WideW, key);
    AddButton("C", Col(6) - Gap - WideW, RowY(1), WideW, key);
    // Rows of memory key, three digits or signs, an operator and a function.
    const char* rows[4][6] = {{"MC", "7", "8", "9", "/", "sqrt"},
                              {"MR", "4", "5", "6", "*", "%"},
                              {"MS", "1", "2", "3", "-", "1/%"},
                              {"MP", "0", "±", ".", "+", "="}};
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 6; ++c) {
            const char* caption = rows[r][c];
            const bool isDigit = caption[0] >= '0' && caption[0] <= '9';
            AddButton(caption, Col(c), RowY(r + 2), ButtonW, c == 0 ? memory : isDigit ? digit : key,
                      isDigit ? caption[0] - '0' : 0);
        }

    PopupMenu1 = Create<TPopupMenu>(this);
    PopupMenu1->OnPopup = TNotifyEvent(this, &TsCalcForm::PopupMenu1Popup);
    auto item = [this](const char* Caption, TNotifyEvent Click) {
        auto* i = Create<TMenuItem>(this);
        i->SetCaption(Caption);
        i->OnClick = Click;
        PopupMenu1->Items()->Add(i);
        return i;
    };
    N1 = item("&Copy", TNotifyEvent(this, &TsCalcForm::CopyClick));
    N2 = item("&Paste", TNotifyEvent(this, &TsCalcForm::PasteClick));
    OK1 = item("OK", TNotifyEvent(this, &TsCalcForm::OK1Click));
    Cancel1 = item("Cancel", TNotifyEvent(this, &TsCalcForm::Cancel1Click));
    FCalculatorPanel->SetPopupMenu(PopupMenu1);
}

TsSpeedButton* TsCalcForm::ButtonOf(const AnsiString& Caption) const
{
    for (TsSpeedButton* b : FButtons)
        if (b->Caption() == Caption)
            return b;
    return nullptr;
}

TsCustomNumEdit* TsCalcForm::Edit() const { return dynamic_cast<TsCustomNumEdit*>(EditLink()); }

// --- The display --------------------------------------------------------------------------------

void TsCalcForm::SetText(const AnsiString& Value)
{
    if (Value == FText)
        return;
    FText = Value;
    TextChanged();
}

void TsCalcForm::TextChanged()
{
    FDisplayPanel->SetCaption(FText + " ");
    FDisplayPanel->SkinData()->BGChanged = true;
    if (OnTextChange)
        OnTextChange(this);
}

double TsCalcForm::Display()
{
    if (FState == csError)
        return 0;
    const AnsiString text = Trim(FText);
    double v = 0;
    if (TryStrToFloat(text, v) || text.empty())
        return v;
    // The display holds numbers alone, so only one past the range of a double fails here (the
    // largest double shown to 15 digits is one): it counts as the overflow it is.
    return text[0] == '-' ? -HUGE_VAL : HUGE_VAL;
}

void TsCalcForm::SetDisplay(double Value)
{
    if (!std::isfinite(Value)) {
        Error();
        return;
    }
    // Digits past the 15th are the binary number's noise ("0.7000000000000001" for 7 * 0.1).
    const AnsiString text = FloatToStrF(Value, ffGeneral, std::clamp<int>(Precision, 2, 15), 0);
    if (text == FText)
        return;
    SetText(text);
    if (OnDisplayChange)
        OnDisplayChange(this);
}

void TsCalcForm::Clear()
{
    FState = csValid;
    FEntered = false;
    SetDisplay(0);
    FOperator = '=';
}

void TsCalcForm::CheckFirst()
{
    FEntered = false;
    if (FState == csValid) {
        FState = csFirst;
        SetText("0");
    }
}

void TsCalcForm::Error()
{
    FState = csError;
    FEntered = false;
    SetText("Error");
    if (BeepOnError)
        SysUtils::Beep();
    if (OnError)
        OnError(this);
}

void TsCalcForm::UpdateMemoryLabel() { FCalcPanel->SetCaption(FMemory != 0 ? "M" : ""); }

void TsCalcForm::Copy() { Clipboard()->SetAsText(FText); }

void TsCalcForm::Paste()
{
    if (!Clipboard()->HasFormat(CF_TEXT))
        return;
    double v = 0;
    if (!TryStrToFloat(Trim(DelChars(Clipboard()->AsText(), ThousandSeparator)), v))
        return;
    SetDisplay(v);
    if (FState == csValid)
        FEntered = true;
}

// --- Keys ------------------------------------------------------------------------------------------

void TsCalcForm::CalcKey(char Key)
{
    Key = AnsiUpperChar(Key);
    if (FState == csError && Key != 'C')
        Key = 0;
    if (OnCalcKey)
        OnCalcKey(this, Key);
    switch (Key) {
    case '0':
    case '1':
    case '2':
    case '3':
    case '4':
    case '5':
    case '6':
    case '7':
    case '8':
    case '9': {
        CheckFirst();
        if (FText == "0" || FText == "-0")
            SetText(FText.substr(0, FText.size() - 1));
        const int room = std::max<int>(2, Precision) + (Pos("-", FText) > 0 ? 1 : 0);
        if (Pos("E", FText) == 0 && Length(FText) < room)
            SetText(FText + Key);
        else if (BeepOnError)
            SysUtils::Beep();
        return;
    }
    case '.':
    case ',':
        CheckFirst();
        if (Pos(AnsiString(1, DecimalSeparator), FText) == 0)
            SetText(FText + DecimalSeparator);
        return;
    case '\b':
        CheckFirst();
        if (Length(FText) == 1 || (Length(FText) == 2 && FText[0] == '-'))
            SetText("0");
        else
            SetText(FText.substr(0, FText.size() - 1));
        return;
    case 'C': Clear(); return;
    case '_':
        SetDisplay(-Display());
        // A finished value made negative is the operand, as a root is.
        if (FState == csValid)
            FEntered = true;
        return;
    case 'Q':
    case 'R': {
        if (FState == csError)
            return;
        const double x = Display();
        FState = csValid;
        if (Key == 'Q' ? x < 0 : x == 0) {
            Error();
            return;
        }
        SetDisplay(Key == 'Q' ? std::sqrt(x) : 1.0 / x);
        // The result is the operand of the pending operation, as if typed.
        FEntered = FState == csValid;
        return;
    }
    case '\x1b':
        if (FText != "0") {
            Clear();
        } else {
            ReturnToEdit();
        }
        return;
    case '\x03': Copy(); return;
    case '\x16': Paste(); return;
    case '+':
    case '-':
    case '*':
    case '/':
    case '%':
    case '=':
    case '\r': break;
    default: return;
    }
    // An operator: the pending one is worked out with the number typed.
    if (FState == csFirst || FEntered) {
        FState = csValid;
        FEntered = false;
        double r = Display();
        if (Key == '%') {
            if (FOperator == '*' || FOperator == '/')
                r /= 100;
            else if (FOperator == '+' || FOperator == '-')
                r = FOperand * r / 100;
        }
        switch (FOperator) {
        case '*': SetDisplay(FOperand * r); break;
        case '+': SetDisplay(FOperand + r); break;
        case '-': SetDisplay(FOperand - r); break;
        case '/':
            if (r == 0)
                Error();
            else
                SetDisplay(FOperand / r);
            break;
        default: break;
        }
    }
    FOperator = Key;
    FOperand = Display();
    if ((Key == '\r' || Key == '%' || Key == '=') && OnResult)
        OnResult(this);
    // Enter, and '=' for an edit, hand the result over.
    if (FState == csValid && (Key == '\r' || (Key == '=' && Edit())))
        ApplyToEdit();
}

void TsCalcForm::ApplyToEdit()
{
    TsCustomNumEdit* edit = Edit();
    if (!edit)
        return;
    edit->SetValue(Display());
    FocusEdit();
    if (edit->OnChange)
        edit->OnChange(edit);
    if (Visible())
        Close();
}

void TsCalcForm::KeyPress(char& Key)
{
    inherited::KeyPress(Key);
    if (Key != 0)
        CalcKey(Key);
    Key = 0;
}

// --- Buttons and menu ------------------------------------------------------------------------------

void TsCalcForm::DigitClick(TObject* Sender)
{
    CalcKey(static_cast<char>('0' + static_cast<TComponent*>(Sender)->Tag));
}

void TsCalcForm::KeyClick(TObject* Sender)
{
    const AnsiString caption = static_cast<TsSpeedButton*>(Sender)->Caption();
    for (const TCalcButtonKey& k : ButtonKeys)
        if (caption == k.Caption) {
            CalcKey(k.Key);
            return;
        }
}

void TsCalcForm::MemoryClick(TObject* Sender)
{
    const AnsiString caption = static_cast<TsSpeedButton*>(Sender)->Caption();
    if (caption == "MC") {
        FMemory = 0;
    } else if (FState != csError) {
        FState = csValid;
        if (caption == "MR") {
            CheckFirst();
            SetDisplay(FMemory);
        } else if (caption == "MS") {
            FMemory = Display();
        } else {
            FMemory += Display();
        }
    }
    UpdateMemoryLabel();
}

void TsCalcForm::PopupMenu1Popup(TObject*) { N2->SetEnabled(Clipboard()->HasFormat(CF_TEXT)); }

void TsCalcForm::CopyClick(TObject*) { Copy(); }

void TsCalcForm::PasteClick(TObject*) { Paste(); }

void TsCalcForm::OK1Click(TObject*)
{
    if (FState != csError) {
        SetDisplay(Display());
        if (OnOk)
            OnOk(this);
    } else if (BeepOnError) {
        SysUtils::Beep();
    }
}

void TsCalcForm::Cancel1Click(TObject*)
{
    if (OnCancel)
        OnCancel(this);
}

void TsCalcForm::MinimizeClick(TObject*) { Application->Minimize(); }

void TsCalcForm::CloseClick(TObject*) { Close(); }

void TsCalcForm::DoShow()
{
    if (TsCustomNumEdit* edit = Edit()) {
        double v = 0;
        // A text that is no number shows 0.
        if (TryStrToFloat(edit->TextToValText(edit->Text()), v))
            SetDisplay(edit->CheckValue(v));
    }
    TakeSkinColor();
    inherited::DoShow();
}
