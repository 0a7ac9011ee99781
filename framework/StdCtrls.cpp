#include "StdCtrls.h"

#include <algorithm>

#include "Forms.h"
#include "SysUtils.h"

namespace {
// Control identifiers for windows whose parent finds them by ID (WM_MEASUREITEM carries only
// the ID): each owner-drawn list gets one of its own.
UINT gNextControlId = 0x4000;
} // namespace

HWND CreateWindowWithId(const TCreateParams& Params)
{
    UINT id = gNextControlId++;
    if (gNextControlId >= 0xF000)
        gNextControlId = 0x4000;
    return CreateWindowExA(Params.ExStyle, Params.WinClassName.c_str(), Params.Caption.c_str(), Params.Style,
                           Params.X, Params.Y, Params.Width, Params.Height, Params.WndParent,
                           reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)), Params.WindowClass.hInstance,
                           Params.Param);
}

namespace {

// Every lone CR or LF made CR/LF (the edit class breaks lines only at CR/LF).
AnsiString AdjustLineBreaks(const AnsiString& S)
{
    AnsiString r;
    r.reserve(S.size() + S.size() / 32);
    for (size_t i = 0; i < S.size(); ++i) {
        char c = S[i];
        if (c == '\r') {
            r += "\r\n";
            if (i + 1 < S.size() && S[i + 1] == '\n')
                ++i;
        } else if (c == '\n') {
            r += "\r\n";
        } else {
            r += c;
        }
    }
    return r;
}

// Paints an owner-drawn item the plain way: the background and the text.
void DrawPlainItem(TCanvas* Canvas, const TRect& Rect, const AnsiString& Text)
{
    Canvas->FillRect(Rect);
    Canvas->TextOut(Rect.left + 2, Rect.top, Text);
}

// Prepares the canvas for an owner-drawn item: the control's font and brush, the highlight for
// a selected item.
void PrepareItemCanvas(TCanvas* Canvas, TWinControl* Control, const DRAWITEMSTRUCT& dis, TOwnerDrawState State)
{
    Canvas->SetHandle(dis.hDC);
    Canvas->SetFont(Control->Font());
    Canvas->SetBrush(Control->Brush());
    if (static_cast<int>(dis.itemID) >= 0 && State.Contains(odSelected)) {
        Canvas->Brush()->SetColor(clHighlight);
        Canvas->Font()->SetColor(clHighlightText);
    }
}

// Paints one owner-drawn item: prepares the canvas, lets Draw paint a real item (the empty area
// is just filled), adds the focus frame and lets the device context go again.
template <class DrawFn>
void PaintOwnerDrawItem(TCanvas* Canvas, TWinControl* Control, const DRAWITEMSTRUCT& dis, TOwnerDrawState State,
                        DrawFn Draw)
{
    Canvas->Lock();
    try {
        PrepareItemCanvas(Canvas, Control, dis, State);
        if (static_cast<int>(dis.itemID) >= 0)
            Draw(static_cast<int>(dis.itemID), TRect(dis.rcItem), State);
        else
            Canvas->FillRect(dis.rcItem);
        if (State.Contains(odFocused))
            DrawFocusRect(dis.hDC, &dis.rcItem);
    } catch (...) {
        Canvas->SetHandle(nullptr);
        Canvas->Unlock();
        throw;
    }
    Canvas->SetHandle(nullptr);
    Canvas->Unlock();
}

} // namespace

bool IsAccel(Word Key, const AnsiString& Caption)
{
    for (size_t i = 0; i + 1 < Caption.size(); ++i) {
        if (Caption[i] != '&')
            continue;
        if (Caption[i + 1] == '&') {
            ++i;
            continue;
        }
        AnsiString a = AnsiUpperCase(AnsiString(1, Caption[i + 1]));
        AnsiString b = AnsiUpperCase(AnsiString(1, static_cast<char>(Key)));
        return a == b;
    }
    return false;
}

// --- TCustomEdit --------------------------------------------------------------------------------

TCustomEdit::TCustomEdit(TComponent* AOwner) : TWinControl(AOwner)
{
    FWidth = 121;
    FHeight = 21;
    FTabStop = true;
    FParentColor = false;
    FColor = clWindow;
    FControlStyle = TControlStyle{csClickEvents, csSetCaption, csDoubleClicks, csFixedHeight};
}

void TCustomEdit::CreateParams(TCreateParams& Params)
{
    inherited::CreateParams(Params);
    CreateSubClass(Params, "EDIT");
    Params.Style |= ES_AUTOHSCROLL | ES_AUTOVSCROLL;
    Params.ExStyle |= WS_EX_CLIENTEDGE;
    if (FReadOnly)
        Params.Style |= ES_READONLY;
    if (!FHideSelection)
        Params.Style |= ES_NOHIDESEL;
    if (FCharCase == ecUpperCase)
        Params.Style |= ES_UPPERCASE;
    else if (FCharCase == ecLowerCase)
        Params.Style |= ES_LOWERCASE;
}

void TCustomEdit::CreateWnd()
{
    FCreating = true;
    try {
        inherited::CreateWnd();
    } catch (...) {
        FCreating = false;
        throw;
    }
    FCreating = false;
    // 0 lifts the system's default limit of 32,767 characters.
    SendMessageA(FHandle, EM_LIMITTEXT, static_cast<WPARAM>(FMaxLength), 0);
    if (FPasswordChar)
        SendMessageA(FHandle, EM_SETPASSWORDCHAR, static_cast<Byte>(FPasswordChar), 0);
    SendMessageA(FHandle, EM_SETMODIFY, FModified ? 1 : 0, 0);
    SendMessageA(FHandle, EM_SETSEL, static_cast<WPARAM>(FSelStart), static_cast<LPARAM>(FSelStart + FSelLength));
}

void TCustomEdit::DestroyWnd()
{
    if (FHandle) {
        FModified = SendMessageA(FHandle, EM_GETMODIFY, 0, 0) != 0;
        DWORD s = 0, e = 0;
        SendMessageA(FHandle, EM_GETSEL, reinterpret_cast<WPARAM>(&s), reinterpret_cast<LPARAM>(&e));
        FSelStart = static_cast<int>(s);
        FSelLength = static_cast<int>(e - s);
    }
    inherited::DestroyWnd();
}

void TCustomEdit::Dispatch(TMessage& Message)
{
    switch (Message.Msg) {
    case CN_COMMAND: CNCommand(Message); return;
    case CM_ENTER:
        if (FAutoSelect && !FControlState.Contains(csLButtonDown) && FHandle &&
            (GetWindowLongA(FHandle, GWL_STYLE) & ES_MULTILINE) == 0)
            SelectAll();
        break;
    case WM_SETTEXT:
        if (!FHandle) {
            // A text set in code is not a change by the user.
            FModified = false;
            FSelStart = FSelLength = 0;
        }
        break;
    default:
        break;
    }
    inherited::Dispatch(Message);
}

void TCustomEdit::CNCommand(TMessage& Message)
{
    if (HIWORD(Message.WParam) == EN_CHANGE && !FCreating)
        Change();
}

void TCustomEdit::Change()
{
    Changed();
    if (OnChange)
        OnChange(this);
}

void TCustomEdit::SetMaxLength(int Value)
{
    FMaxLength = std::max(0, Value);
    if (FHandle)
        SendMessageA(FHandle, EM_LIMITTEXT, static_cast<WPARAM>(FMaxLength), 0);
}

void TCustomEdit::SetReadOnly(bool Value)
{
    FReadOnly = Value;
    if (FHandle)
        SendMessageA(FHandle, EM_SETREADONLY, Value ? 1 : 0, 0);
}

void TCustomEdit::SetPasswordChar(char Value)
{
    if (FPasswordChar == Value)
        return;
    FPasswordChar = Value;
    if (FHandle) {
        SendMessageA(FHandle, EM_SETPASSWORDCHAR, static_cast<Byte>(Value), 0);
        InvalidateRect(FHandle, nullptr, TRUE);
    }
}

void TCustomEdit::SetCharCase(TEditCharCase Value)
{
    if (FCharCase == Value)
        return;
    FCharCase = Value;
    RecreateWnd();
}

void TCustomEdit::SetHideSelection(bool Value)
{
    if (FHideSelection == Value)
        return;
    FHideSelection = Value;
    RecreateWnd();
}

bool TCustomEdit::Modified()
{
    return FHandle ? SendMessageA(FHandle, EM_GETMODIFY, 0, 0) != 0 : FModified;
}

void TCustomEdit::SetModified(bool Value)
{
    FModified = Value;
    if (FHandle)
        SendMessageA(FHandle, EM_SETMODIFY, Value ? 1 : 0, 0);
}

int TCustomEdit::SelStart()
{
    if (!FHandle)
        return FSelStart;
    DWORD s = 0;
    SendMessageA(FHandle, EM_GETSEL, reinterpret_cast<WPARAM>(&s), 0);
    return static_cast<int>(s);
}

void TCustomEdit::SetSelStart(int Value)
{
    if (!FHandle) {
        FSelStart = std::max(0, Value);
        FSelLength = 0;
        return;
    }
    SendMessageA(FHandle, EM_SETSEL, static_cast<WPARAM>(Value), static_cast<LPARAM>(Value));
}

int TCustomEdit::SelLength()
{
    if (!FHandle)
        return FSelLength;
    DWORD s = 0, e = 0;
    SendMessageA(FHandle, EM_GETSEL, reinterpret_cast<WPARAM>(&s), reinterpret_cast<LPARAM>(&e));
    return static_cast<int>(e - s);
}

void TCustomEdit::SetSelLength(int Value)
{
    if (!FHandle) {
        FSelLength = std::max(0, Value);
        return;
    }
    int s = SelStart();
    SendMessageA(FHandle, EM_SETSEL, static_cast<WPARAM>(s), static_cast<LPARAM>(s + Value));
    SendMessageA(FHandle, EM_SCROLLCARET, 0, 0);
}

AnsiString TCustomEdit::SelText()
{
    AnsiString t = Text();
    size_t s = static_cast<size_t>(std::clamp(SelStart(), 0, static_cast<int>(t.size())));
    size_t n = static_cast<size_t>(std::max(0, SelLength()));
    return t.substr(s, n);
}

void TCustomEdit::SetSelText(const AnsiString& Value)
{
    if (FHandle) {
        SendMessageA(FHandle, EM_REPLACESEL, 1, reinterpret_cast<LPARAM>(Value.c_str()));
        return;
    }
    AnsiString t = Text();
    size_t s = std::min(static_cast<size_t>(FSelStart), t.size());
    size_t n = std::min(static_cast<size_t>(FSelLength), t.size() - s);
    t.replace(s, n, Value);
    int caret = static_cast<int>(s + Value.size());
    SetText(t);
    FSelStart = caret;
    FSelLength = 0;
}

void TCustomEdit::SelectAll()
{
    if (FHandle)
        SendMessageA(FHandle, EM_SETSEL, 0, -1);
    else {
        FSelStart = 0;
        FSelLength = static_cast<int>(Text().size());
    }
}

void TCustomEdit::ClearSelection()
{
    if (FHandle)
        SendMessageA(FHandle, WM_CLEAR, 0, 0);
    else
        SetSelText(AnsiString());
}

void TCustomEdit::CutToClipboard() { SendMessageA(Handle(), WM_CUT, 0, 0); }
void TCustomEdit::CopyToClipboard() { SendMessageA(Handle(), WM_COPY, 0, 0); }
void TCustomEdit::PasteFromClipboard() { SendMessageA(Handle(), WM_PASTE, 0, 0); }
void TCustomEdit::Undo() { SendMessageA(Handle(), WM_UNDO, 0, 0); }
bool TCustomEdit::CanUndo() { return FHandle && SendMessageA(FHandle, EM_CANUNDO, 0, 0) != 0; }
void TCustomEdit::ClearUndo()
{
    if (FHandle)
        SendMessageA(FHandle, EM_EMPTYUNDOBUFFER, 0, 0);
}

// --- TMemoStrings -------------------------------------------------------------------------------

std::vector<std::pair<size_t, size_t>> TMemoStrings::Split(const AnsiString& Text) const
{
    std::vector<std::pair<size_t, size_t>> lines;
    size_t start = 0, i = 0;
    while (i < Text.size()) {
        char c = Text[i];
        if (c == '\r' || c == '\n') {
            lines.emplace_back(start, i - start);
            if (c == '\r' && i + 1 < Text.size() && Text[i + 1] == '\n')
                ++i;
            start = ++i;
        } else {
            ++i;
        }
    }
    if (start < Text.size())
        lines.emplace_back(start, Text.size() - start);
    return lines;
}

AnsiString TMemoStrings::Get(int Index) const
{
    AnsiString t = FMemo->Text();
    auto lines = Split(t);
    if (Index < 0 || Index >= static_cast<int>(lines.size()))
        IndexError(Index);
    return t.substr(lines[static_cast<size_t>(Index)].first, lines[static_cast<size_t>(Index)].second);
}

int TMemoStrings::GetCount() const { return static_cast<int>(Split(FMemo->Text()).size()); }

void TMemoStrings::Put(int Index, const AnsiString& S)
{
    AnsiString t = FMemo->Text();
    auto lines = Split(t);
    if (Index < 0 || Index >= static_cast<int>(lines.size()))
        IndexError(Index);
    auto [start, len] = lines[static_cast<size_t>(Index)];
    t.replace(start, len, S);
    FMemo->SetText(t);
}

void TMemoStrings::Insert(int Index, const AnsiString& S)
{
    AnsiString t = FMemo->Text();
    auto lines = Split(t);
    if (Index < 0 || Index > static_cast<int>(lines.size()))
        IndexError(Index);
    if (Index == static_cast<int>(lines.size())) {
        // Appending: after a last line that has no line break, one is added first.
        AnsiString add;
        if (!t.empty() && t.back() != '\n' && t.back() != '\r')
            add = "\r\n";
        add += S;
        add += "\r\n";
        if (FMemo->HandleAllocated()) {
            HWND h = FMemo->Handle();
            LRESULT len = SendMessageA(h, WM_GETTEXTLENGTH, 0, 0);
            SendMessageA(h, EM_SETSEL, static_cast<WPARAM>(len), len);
            SendMessageA(h, EM_REPLACESEL, 0, reinterpret_cast<LPARAM>(add.c_str()));
        } else {
            FMemo->SetText(t + add);
        }
        return;
    }
    t.insert(lines[static_cast<size_t>(Index)].first, S + "\r\n");
    FMemo->SetText(t);
}

void TMemoStrings::Delete(int Index)
{
    AnsiString t = FMemo->Text();
    auto lines = Split(t);
    if (Index < 0 || Index >= static_cast<int>(lines.size()))
        IndexError(Index);
    size_t start = lines[static_cast<size_t>(Index)].first;
    size_t end = Index + 1 < static_cast<int>(lines.size()) ? lines[static_cast<size_t>(Index) + 1].first : t.size();
    t.erase(start, end - start);
    FMemo->SetText(t);
}

void TMemoStrings::Clear() { FMemo->SetText(AnsiString()); }

AnsiString TMemoStrings::GetTextStr() const { return FMemo->Text(); }

void TMemoStrings::SetTextStr(const AnsiString& Value) { FMemo->SetText(AdjustLineBreaks(Value)); }

void TMemoStrings::SetUpdateState(bool Updating)
{
    if (FMemo->HandleAllocated()) {
        SendMessageA(FMemo->Handle(), WM_SETREDRAW, Updating ? 0 : 1, 0);
        if (!Updating)
            FMemo->Refresh();
    }
}

// --- TCustomMemo --------------------------------------------------------------------------------

TCustomMemo::TCustomMemo(TComponent* AOwner) : TCustomEdit(AOwner), FLines(std::make_unique<TMemoStrings>(this))
{
    FWidth = 185;
    FHeight = 89;
    FAutoSelect = false;
    FControlStyle.Exclude(csFixedHeight);
}

TCustomMemo::~TCustomMemo() = default;

void TCustomMemo::CreateParams(TCreateParams& Params)
{
    inherited::CreateParams(Params);
    Params.Style |= ES_MULTILINE;
    Params.Style &= ~static_cast<DWORD>(ES_AUTOHSCROLL);
    if (!FWordWrap || FScrollBars == ssHorizontal || FScrollBars == ssBoth)
        Params.Style |= ES_AUTOHSCROLL;
    if (FScrollBars == ssVertical || FScrollBars == ssBoth)
        Params.Style |= WS_VSCROLL;
    if (FScrollBars == ssHorizontal || FScrollBars == ssBoth)
        Params.Style |= WS_HSCROLL;
    if (FWantReturns)
        Params.Style |= ES_WANTRETURN;
    if (FAlignment == taRightJustify)
        Params.Style |= ES_RIGHT;
    else if (FAlignment == taCenter)
        Params.Style |= ES_CENTER;
}

void TCustomMemo::Dispatch(TMessage& Message)
{
    if (Message.Msg == WM_GETDLGCODE) {
        WMGetDlgCode(Message);
        return;
    }
    inherited::Dispatch(Message);
}

void TCustomMemo::WMGetDlgCode(TMessage& Message)
{
    DefaultHandler(Message);
    if (FWantTabs)
        Message.Result |= DLGC_WANTTAB;
    else
        Message.Result &= ~static_cast<LRESULT>(DLGC_WANTTAB);
    if (!FWantReturns)
        Message.Result &= ~static_cast<LRESULT>(DLGC_WANTALLKEYS);
}

void TCustomMemo::SetScrollBars(TScrollStyle Value)
{
    if (FScrollBars == Value)
        return;
    FScrollBars = Value;
    RecreateWnd();
}

void TCustomMemo::SetWordWrap(bool Value)
{
    if (FWordWrap == Value)
        return;
    FWordWrap = Value;
    RecreateWnd();
}

void TCustomMemo::SetAlignment(TAlignment Value)
{
    if (FAlignment == Value)
        return;
    FAlignment = Value;
    RecreateWnd();
}

// --- TButtonControl -----------------------------------------------------------------------------

TButtonControl::TButtonControl(TComponent* AOwner) : TWinControl(AOwner) {}

void TButtonControl::WndProc(TMessage& Message)
{
    switch (Message.Msg) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        // Taking the focus by a click must not click a radio button twice.
        if (FHandle && GetFocus() != FHandle && CanFocus()) {
            FClicksDisabled = true;
            ::SetFocus(FHandle);
            FClicksDisabled = false;
            if (GetFocus() != FHandle)
                return;
        }
        break;
    default:
        break;
    }
    inherited::WndProc(Message);
}

// --- TButton ------------------------------------------------------------------------------------

TButton::TButton(TComponent* AOwner) : TButtonControl(AOwner)
{
    FWidth = 75;
    FHeight = 25;
    FTabStop = true;
    FParentColor = false;
    FColor = clBtnFace;
    FControlStyle = TControlStyle{csSetCaption, csDoubleClicks};
}

void TButton::CreateParams(TCreateParams& Params)
{
    inherited::CreateParams(Params);
    CreateSubClass(Params, "BUTTON");
    Params.Style |= (FDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON);
}

void TButton::Dispatch(TMessage& Message)
{
    switch (Message.Msg) {
    case CN_COMMAND: CNCommand(Message); return;
    case CM_DIALOGKEY: CMDialogKey(Message); return;
    case CM_DIALOGCHAR: CMDialogChar(Message); return;
    case CM_FOCUSCHANGED: CMFocusChanged(Message); return;
    case CN_CTLCOLORBTN:
        // The button face is the system's: no brush of ours behind it.
        DefaultHandler(Message);
        return;
    default: inherited::Dispatch(Message);
    }
}

void TButton::CNCommand(TMessage& Message)
{
    if (HIWORD(Message.WParam) == BN_CLICKED && !FClicksDisabled)
        Click();
}

void TButton::Click()
{
    if (FModalResult != 0)
        if (TCustomForm* form = GetParentForm(this))
            form->SetModalResult(FModalResult);
    inherited::Click();
}

void TButton::CMDialogKey(TMessage& Message)
{
    auto& key = MessageAs<TWMKey>(Message);
    bool noShift = !KeyDataToShiftState(key.KeyData).Contains(ssAlt) && GetKeyState(VK_CONTROL) >= 0 &&
                   GetKeyState(VK_SHIFT) >= 0;
    // Enter is the focused button's; the default one's only while no other button has the focus.
    if (((key.CharCode == VK_RETURN && FActive) || (key.CharCode == VK_ESCAPE && FCancel)) && noShift &&
        CanFocus()) {
        Click();
        Message.Result = 1;
        return;
    }
    inherited::Dispatch(Message);
}

void TButton::CMDialogChar(TMessage& Message)
{
    auto& key = MessageAs<TWMKey>(Message);
    if (IsAccel(key.CharCode, Text()) && CanFocus()) {
        Click();
        Message.Result = 1;
        return;
    }
    inherited::Dispatch(Message);
}

void TButton::CMFocusChanged(TMessage& Message)
{
    // LParam: the control that receives the focus. A focused button is the default one meanwhile.
    auto* sender = reinterpret_cast<TWinControl*>(Message.LParam);
    bool active = sender ? (dynamic_cast<TButton*>(sender) ? sender == this : FDefault) : FDefault;
    if (active != FActive) {
        FActive = active;
        if (FHandle)
            SetButtonStyle(FActive);
    }
    inherited::Dispatch(Message);
}

void TButton::SetButtonStyle(bool ADefault)
{
    if (FHandle)
        SendMessageA(FHandle, BM_SETSTYLE, ADefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON, 1);
}

void TButton::SetDefault(bool Value)
{
    if (FDefault == Value)
        return;
    FDefault = Value;
    // Enter stays with a button that has the focus; otherwise it is the default one's.
    TCustomForm* form = GetParentForm(this);
    TWinControl* focused = form ? form->ActiveControl() : nullptr;
    FActive = dynamic_cast<TButton*>(focused) ? focused == this : Value;
    if (FHandle)
        SetButtonStyle(FActive);
}

// --- TCustomCheckBox ----------------------------------------------------------------------------

TCustomCheckBox::TCustomCheckBox(TComponent* AOwner) : TButtonControl(AOwner)
{
    FWidth = 97;
    FHeight = 17;
    FTabStop = true;
    FControlStyle = TControlStyle{csSetCaption, csDoubleClicks};
}

void TCustomCheckBox::CreateParams(TCreateParams& Params)
{
    inherited::CreateParams(Params);
    CreateSubClass(Params, "BUTTON");
    // Not an automatic check box: the state lives here and Toggle moves it.
    Params.Style |= BS_3STATE;
    if (FAlignment == taLeftJustify)
        Params.Style |= BS_LEFTTEXT;
}

void TCustomCheckBox::CreateWnd()
{
    inherited::CreateWnd();
    SendMessageA(FHandle, BM_SETCHECK, static_cast<WPARAM>(FState), 0);
}

void TCustomCheckBox::Dispatch(TMessage& Message)
{
    switch (Message.Msg) {
    case CN_COMMAND: CNCommand(Message); return;
    case CM_DIALOGCHAR: CMDialogChar(Message); return;
    default: inherited::Dispatch(Message);
    }
}

void TCustomCheckBox::CNCommand(TMessage& Message)
{
    if (HIWORD(Message.WParam) == BN_CLICKED && !FClicksDisabled)
        Toggle();
}

void TCustomCheckBox::CMDialogChar(TMessage& Message)
{
    auto& key = MessageAs<TWMKey>(Message);
    if (IsAccel(key.CharCode, Text()) && CanFocus()) {
        SetFocus();
        if (Focused())
            Toggle();
        Message.Result = 1;
        return;
    }
    inherited::Dispatch(Message);
}

void TCustomCheckBox::Toggle()
{
    switch (FState) {
    case cbUnchecked: SetState(FAllowGrayed ? cbGrayed : cbChecked); break;
    case cbChecked: SetState(cbUnchecked); break;
    case cbGrayed: SetState(cbChecked); break;
    }
}

void TCustomCheckBox::SetState(TCheckBoxState Value)
{
    if (FState == Value)
        return;
    FState = Value;
    if (FHandle)
        SendMessageA(FHandle, BM_SETCHECK, static_cast<WPARAM>(FState), 0);
    if (!FClicksDisabled)
        Click();
}

void TCustomCheckBox::SetAlignment(TAlignment Value)
{
    if (FAlignment == Value)
        return;
    FAlignment = Value;
    RecreateWnd();
}

// --- TRadioButton -------------------------------------------------------------------------------

TRadioButton::TRadioButton(TComponent* AOwner) : TButtonControl(AOwner)
{
    FWidth = 113;
    FHeight = 17;
    FControlStyle = TControlStyle{csSetCaption, csDoubleClicks};
}

void TRadioButton::CreateParams(TCreateParams& Params)
{
    inherited::CreateParams(Params);
    CreateSubClass(Params, "BUTTON");
    Params.Style |= BS_RADIOBUTTON;
    if (FAlignment == taLeftJustify)
        Params.Style |= BS_LEFTTEXT;
}

void TRadioButton::CreateWnd()
{
    inherited::CreateWnd();
    SendMessageA(FHandle, BM_SETCHECK, FChecked ? 1 : 0, 0);
}

void TRadioButton::Dispatch(TMessage& Message)
{
    switch (Message.Msg) {
    case CN_COMMAND: CNCommand(Message); return;
    case CM_DIALOGCHAR: CMDialogChar(Message); return;
    default: inherited::Dispatch(Message);
    }
}

void TRadioButton::CNCommand(TMessage& Message)
{
    if (FClicksDisabled)
        return;
    switch (HIWORD(Message.WParam)) {
    case BN_CLICKED: SetChecked(true); break;
    case BN_DOUBLECLICKED: DblClick(); break;
    default: break;
    }
}

void TRadioButton::CMDialogChar(TMessage& Message)
{
    auto& key = MessageAs<TWMKey>(Message);
    if (IsAccel(key.CharCode, Text()) && CanFocus()) {
        SetFocus();
        if (Focused())
            SetChecked(true);
        Message.Result = 1;
        return;
    }
    inherited::Dispatch(Message);
}

void TRadioButton::SetChecked(bool Value)
{
    if (FChecked == Value)
        return;
    FChecked = Value;
    SetTabStop(Value);
    if (FHandle)
        SendMessageA(FHandle, BM_SETCHECK, Value ? 1 : 0, 0);
    if (Value) {
        // The others beside it on the same parent go off, without clicks of their own.
        if (FParent)
            for (int i = 0; i < FParent->ControlCount(); ++i)
                if (auto* other = dynamic_cast<TRadioButton*>(FParent->Controls(i)); other && other != this) {
                    bool saved = other->FClicksDisabled;
                    other->FClicksDisabled = true;
                    other->SetChecked(false);
                    other->FClicksDisabled = saved;
                }
        if (!FClicksDisabled)
            Click();
    }
}

void TRadioButton::SetAlignment(TAlignment Value)
{
    if (FAlignment == Value)
        return;
    FAlignment = Value;
    RecreateWnd();
}

// --- TCustomGroupBox ----------------------------------------------------------------------------

TCustomGroupBox::TCustomGroupBox(TComponent* AOwner) : TCustomControl(AOwner)
{
    FWidth = 185;
    FHeight = 105;
    FControlStyle = TControlStyle{csAcceptsControls, csCaptureMouse, csClickEvents, csSetCaption, csDoubleClicks};
}

void TCustomGroupBox::CreateParams(TCreateParams& Params)
{
    inherited::CreateParams(Params);
    Params.WindowClass.style &= ~static_cast<UINT>(CS_HREDRAW | CS_VREDRAW);
}

void TCustomGroupBox::Dispatch(TMessage& Message)
{
    switch (Message.Msg) {
    case CM_DIALOGCHAR: {
        auto& key = MessageAs<TWMKey>(Message);
        if (IsAccel(key.CharCode, Text()) && CanFocus()) {
            SelectFirst();
            Message.Result = 1;
            return;
        }
        break;
    }
    case CM_TEXTCHANGED:
    case CM_FONTCHANGED:
        Realign();
        Invalidate();
        break;
    default:
        break;
    }
    inherited::Dispatch(Message);
}

void TCustomGroupBox::AdjustClientRect(TRect& Rect)
{
    inherited::AdjustClientRect(Rect);
    TCanvas* c = Canvas();
    int h = 0;
    if (FHandle) {
        HDC dc = GetDC(FHandle);
        HGDIOBJ old = SelectObject(dc, Font()->Handle());
        TEXTMETRICA tm{};
        GetTextMetricsA(dc, &tm);
        h = tm.tmHeight;
        SelectObject(dc, old);
        ReleaseDC(FHandle, dc);
    } else {
        h = std::abs(Font()->Height());
    }
    (void)c;
    Rect.top += h;
    InflateRect(&Rect, -1, -1);
    if (Rect.bottom < Rect.top)
        Rect.bottom = Rect.top;
}

void TCustomGroupBox::Paint()
{
    TCanvas* c = Canvas();
    c->SetFont(Font());
    AnsiString caption = Text();
    int h = c->TextHeight("0");
    TRect r = Rect(0, h / 2 - 1, Width(), Height());
    c->Brush()->SetColor(Color());
    c->Brush()->SetStyle(bsSolid);
    DrawEdge(c->Handle(), &r, EDGE_ETCHED, BF_RECT);
    if (!caption.empty()) {
        HGDIOBJ oldFont = SelectObject(c->Handle(), Font()->Handle());
        TRect t = Rect(8, 0, 0, h);
        DrawTextA(c->Handle(), caption.c_str(), static_cast<int>(caption.size()), &t, DT_LEFT | DT_SINGLELINE | DT_CALCRECT);
        TRect bg = t;
        InflateRect(&bg, 2, 0);
        c->FillRect(bg);
        SetBkMode(c->Handle(), TRANSPARENT);
        SetTextColor(c->Handle(), static_cast<COLORREF>(ColorToRGB(Enabled() ? Font()->Color() : clGrayText)));
        DrawTextA(c->Handle(), caption.c_str(), static_cast<int>(caption.size()), &t, DT_LEFT | DT_SINGLELINE);
        SelectObject(c->Handle(), oldFont);
    }
}

// --- TWinItemStrings ----------------------------------------------------------------------------

TWinItemStrings::TWinItemStrings(TWinControl* Control, const TItemMessages& Msgs) : FControl(Control), FMsgs(Msgs)
{
    FModel.SetDuplicates(dupAccept);
    FModel.SetCaseSensitive(false);
}

LRESULT TWinItemStrings::Send(UINT Msg, WPARAM W, LPARAM L) const
{
    return SendMessageA(FControl->Handle(), Msg, W, L);
}

void TWinItemStrings::Check(int Index, int Limit) const
{
    if (Index < 0 || Index >= Limit)
        IndexError(Index);
}

AnsiString TWinItemStrings::Get(int Index) const
{
    if (!Live())
        return FModel.Get(Index);
    Check(Index, GetCount());
    LRESULT len = Send(FMsgs.GetTextLen, static_cast<WPARAM>(Index));
    if (len <= 0)
        return AnsiString();
    AnsiString s(static_cast<size_t>(len) + 1, '\0');
    LRESULT got = Send(FMsgs.GetText, static_cast<WPARAM>(Index), reinterpret_cast<LPARAM>(s.data()));
    s.resize(static_cast<size_t>(std::clamp<LRESULT>(got, 0, len)));
    return s;
}

int TWinItemStrings::GetCount() const
{
    if (!Live())
        return FModel.GetCount();
    return static_cast<int>(std::max<LRESULT>(0, Send(FMsgs.GetCount)));
}

TObject* TWinItemStrings::GetObject(int Index) const
{
    if (!Live())
        return FModel.GetObject(Index);
    Check(Index, GetCount());
    return reinterpret_cast<TObject*>(Send(FMsgs.GetItemData, static_cast<WPARAM>(Index)));
}

void TWinItemStrings::PutObject(int Index, TObject* AObject)
{
    if (!Live()) {
        FModel.PutObject(Index, AObject);
        return;
    }
    Check(Index, GetCount());
    Send(FMsgs.SetItemData, static_cast<WPARAM>(Index), reinterpret_cast<LPARAM>(AObject));
}

void TWinItemStrings::Put(int Index, const AnsiString& S)
{
    if (!Live()) {
        FModel.Put(Index, S);
        return;
    }
    // Replacing keeps the object and the selection of the item.
    TObject* obj = GetObject(Index);
    Delete(Index);
    InsertObject(Index, S, obj);
}

int TWinItemStrings::Add(const AnsiString& S)
{
    if (!Live())
        return FModel.Add(S);
    LRESULT r = Send(FMsgs.AddString, 0, reinterpret_cast<LPARAM>(S.c_str()));
    if (r < 0)
        throw EOutOfResources("Cannot add an item to the list");
    return static_cast<int>(r);
}

void TWinItemStrings::Insert(int Index, const AnsiString& S)
{
    if (!Live()) {
        if (FModel.Sorted())
            FModel.Add(S);
        else
            FModel.Insert(Index, S);
        return;
    }
    if (Index < 0 || Index > GetCount())
        IndexError(Index);
    LRESULT r = Send(FMsgs.InsertString, static_cast<WPARAM>(Index), reinterpret_cast<LPARAM>(S.c_str()));
    if (r < 0)
        throw EOutOfResources("Cannot insert an item into the list");
}

void TWinItemStrings::Delete(int Index)
{
    if (!Live()) {
        FModel.Delete(Index);
        return;
    }
    Check(Index, GetCount());
    Send(FMsgs.DeleteString, static_cast<WPARAM>(Index));
}

void TWinItemStrings::Clear()
{
    if (!Live()) {
        FModel.Clear();
        return;
    }
    Send(FMsgs.ResetContent);
}

int TWinItemStrings::IndexOf(const AnsiString& S) const
{
    if (!Live())
        return FModel.IndexOf(S);
    // The system search is without case, like TStrings.
    LRESULT r = Send(FMsgs.FindStringExact, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(S.c_str()));
    return r < 0 ? -1 : static_cast<int>(r);
}

void TWinItemStrings::SetUpdateState(bool Updating)
{
    if (!Live())
        return;
    Send(WM_SETREDRAW, Updating ? 0 : 1);
    if (!Updating)
        FControl->Refresh();
}

void TWinItemStrings::PushToWindow()
{
    if (!Live())
        return;
    HWND h = FControl->Handle();
    SendMessageA(h, WM_SETREDRAW, 0, 0);
    for (int i = 0; i < FModel.GetCount(); ++i) {
        const AnsiString s = FModel.Get(i);
        // Inserted at the end in model order: the model is sorted already when the list sorts.
        LRESULT r = SendMessageA(h, FMsgs.InsertString, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(s.c_str()));
        if (r >= 0 && FModel.GetObject(i))
            SendMessageA(h, FMsgs.SetItemData, static_cast<WPARAM>(r), reinterpret_cast<LPARAM>(FModel.GetObject(i)));
    }
    SendMessageA(h, WM_SETREDRAW, 1, 0);
    FModel.Clear();
}

void TWinItemStrings::PullFromWindow()
{
    if (!Live())
        return;
    HWND h = FControl->Handle();
    FModel.Clear();
    bool sorted = FModel.Sorted();
    FModel.SetSorted(false);
    int n = static_cast<int>(std::max<LRESULT>(0, SendMessageA(h, FMsgs.GetCount, 0, 0)));
    FModel.SetCapacity(n);
    for (int i = 0; i < n; ++i)
        FModel.AddObject(Get(i), reinterpret_cast<TObject*>(SendMessageA(h, FMsgs.GetItemData, static_cast<WPARAM>(i), 0)));
    FModel.SetSorted(sorted);
}

// --- TCustomListBox -----------------------------------------------------------------------------

namespace {
const TItemMessages kListBoxMessages{LB_ADDSTRING,   LB_INSERTSTRING, LB_DELETESTRING, LB_RESETCONTENT,
                                     LB_GETCOUNT,    LB_GETTEXT,      LB_GETTEXTLEN,   LB_SETITEMDATA,
                                     LB_GETITEMDATA, LB_FINDSTRINGEXACT};
const TItemMessages kComboBoxMessages{CB_ADDSTRING,   CB_INSERTSTRING, CB_DELETESTRING, CB_RESETCONTENT,
                                      CB_GETCOUNT,    CB_GETLBTEXT,    CB_GETLBTEXTLEN, CB_SETITEMDATA,
                                      CB_GETITEMDATA, CB_FINDSTRINGEXACT};
} // namespace

TCustomListBox::TCustomListBox(TComponent* AOwner)
    : TWinControl(AOwner), FItems(std::make_unique<TWinItemStrings>(this, kListBoxMessages)),
      FCanvas(std::make_unique<TCanvas>())
{
    FWidth = 121;
    FHeight = 97;
    FTabStop = true;
    FParentColor = false;
    FColor = clWindow;
    FControlStyle = TControlStyle{csSetCaption, csDoubleClicks, csOpaque};
}

TCustomListBox::~TCustomListBox() = default;

void TCustomListBox::CreateParams(TCreateParams& Params)
{
    inherited::CreateParams(Params);
    CreateSubClass(Params, "LISTBOX");
    Params.Style |= WS_VSCROLL | WS_HSCROLL | LBS_NOTIFY | LBS_HASSTRINGS;
    Params.Style &= ~static_cast<DWORD>(WS_HSCROLL);
    if (FSorted)
        Params.Style |= LBS_SORT;
    if (FMultiSelect)
        Params.Style |= FExtendedSelect ? LBS_EXTENDEDSEL : LBS_MULTIPLESEL;
    if (FColumns > 0)
        Params.Style |= LBS_MULTICOLUMN | WS_HSCROLL;
    if (FStyle == lbOwnerDrawFixed || FStyle == lbVirtualOwnerDraw)
        Params.Style |= LBS_OWNERDRAWFIXED;
    else if (FStyle == lbOwnerDrawVariable)
        Params.Style |= LBS_OWNERDRAWVARIABLE;
    if (!FIntegralHeight)
        Params.Style |= LBS_NOINTEGRALHEIGHT;
    Params.ExStyle |= WS_EX_CLIENTEDGE;
    Params.WindowClass.style &= ~static_cast<UINT>(CS_HREDRAW | CS_VREDRAW);
}

void TCustomListBox::CreateWindowHandle(const TCreateParams& Params) { FHandle = CreateWindowWithId(Params); }

void TCustomListBox::CreateWnd()
{
    inherited::CreateWnd();
    if (FStyle != lbStandard || FItemHeight > 0)
        if (FStyle == lbOwnerDrawFixed || FStyle == lbVirtualOwnerDraw)
            SendMessageA(FHandle, LB_SETITEMHEIGHT, 0, FItemHeight);
    SetColumnWidth();
    FItems->PushToWindow();
    if (FMultiSelect) {
        for (size_t i = 0; i < FSaveSelected.size(); ++i)
            if (FSaveSelected[i])
                SendMessageA(FHandle, LB_SETSEL, 1, static_cast<LPARAM>(i));
        if (FSaveItemIndex >= 0)
            SendMessageA(FHandle, LB_SETCARETINDEX, static_cast<WPARAM>(FSaveItemIndex), 0);
    } else if (FSaveItemIndex >= 0) {
        SendMessageA(FHandle, LB_SETCURSEL, static_cast<WPARAM>(FSaveItemIndex), 0);
    }
    SendMessageA(FHandle, LB_SETTOPINDEX, static_cast<WPARAM>(FSaveTopIndex), 0);
    FSaveSelected.clear();
    FSaveItemIndex = -1;
    FSaveTopIndex = 0;
}

void TCustomListBox::DestroyWnd()
{
    if (FHandle) {
        FSaveItemIndex = ItemIndex();
        FSaveTopIndex = TopIndex();
        FSaveSelected.clear();
        if (FMultiSelect) {
            int n = FItems->Count();
            FSaveSelected.resize(static_cast<size_t>(n));
            for (int i = 0; i < n; ++i)
                FSaveSelected[static_cast<size_t>(i)] = SendMessageA(FHandle, LB_GETSEL, static_cast<WPARAM>(i), 0) > 0;
        }
        FItems->PullFromWindow();
    }
    inherited::DestroyWnd();
}

void TCustomListBox::Dispatch(TMessage& Message)
{
    switch (Message.Msg) {
    case CN_COMMAND: CNCommand(Message); return;
    case CN_DRAWITEM: CNDrawItem(Message); return;
    case CN_MEASUREITEM: CNMeasureItem(Message); return;
    case WM_SIZE:
        inherited::Dispatch(Message);
        SetColumnWidth();
        return;
    default: inherited::Dispatch(Message);
    }
}

void TCustomListBox::CNCommand(TMessage& Message)
{
    switch (HIWORD(Message.WParam)) {
    case LBN_SELCHANGE: Click(); break;
    case LBN_DBLCLK: DblClick(); break;
    default: break;
    }
}

void TCustomListBox::CNDrawItem(TMessage& Message)
{
    auto* dis = reinterpret_cast<DRAWITEMSTRUCT*>(Message.LParam);
    TOwnerDrawState state = TOwnerDrawState::FromBits(LOWORD(dis->itemState));
    PaintOwnerDrawItem(FCanvas.get(), this, *dis, state,
                       [this](int Index, TRect Rect, TOwnerDrawState State) { DrawItem(Index, Rect, State); });
    Message.Result = 1;
}

void TCustomListBox::DrawItem(int Index, TRect Rect, TOwnerDrawState State)
{
    if (OnDrawItem)
        OnDrawItem(this, Index, Rect, State);
    else
        DrawPlainItem(FCanvas.get(), Rect, FItems->Get(Index));
}

void TCustomListBox::CNMeasureItem(TMessage& Message)
{
    auto* mis = reinterpret_cast<MEASUREITEMSTRUCT*>(Message.LParam);
    int h = FItemHeight;
    if (FStyle == lbOwnerDrawVariable)
        MeasureItem(static_cast<int>(mis->itemID), h);
    mis->itemHeight = static_cast<UINT>(std::max(1, h));
    Message.Result = 1;
}

void TCustomListBox::MeasureItem(int Index, int& Height)
{
    if (OnMeasureItem)
        OnMeasureItem(this, Index, Height);
}

int TCustomListBox::ItemIndex()
{
    if (!FHandle)
        return FSaveItemIndex;
    if (FMultiSelect)
        return static_cast<int>(SendMessageA(FHandle, LB_GETCARETINDEX, 0, 0));
    return static_cast<int>(SendMessageA(FHandle, LB_GETCURSEL, 0, 0));
}

void TCustomListBox::SetItemIndex(int Value)
{
    if (Value < -1 || Value >= FItems->Count())
        Value = -1;
    if (!FHandle) {
        FSaveItemIndex = Value;
        if (FMultiSelect && Value >= 0)
            SetSelected(Value, true);
        return;
    }
    if (FMultiSelect) {
        if (Value >= 0) {
            SendMessageA(FHandle, LB_SETSEL, 0, -1);
            SendMessageA(FHandle, LB_SETSEL, 1, Value);
        }
        SendMessageA(FHandle, LB_SETCARETINDEX, static_cast<WPARAM>(Value), 0);
    } else {
        SendMessageA(FHandle, LB_SETCURSEL, static_cast<WPARAM>(Value), 0);
    }
}

bool TCustomListBox::Selected(int Index)
{
    if (Index < 0 || Index >= FItems->Count())
        throw EListError("List index out of bounds (" + IntToStr(Index) + ")");
    if (!FHandle) {
        if (FMultiSelect)
            return static_cast<size_t>(Index) < FSaveSelected.size() && FSaveSelected[static_cast<size_t>(Index)];
        return FSaveItemIndex == Index;
    }
    if (FMultiSelect)
        return SendMessageA(FHandle, LB_GETSEL, static_cast<WPARAM>(Index), 0) > 0;
    return ItemIndex() == Index;
}

void TCustomListBox::SetSelected(int Index, bool Value)
{
    if (Index < 0 || Index >= FItems->Count())
        throw EListError("List index out of bounds (" + IntToStr(Index) + ")");
    if (!FHandle) {
        if (FMultiSelect) {
            if (FSaveSelected.size() <= static_cast<size_t>(Index))
                FSaveSelected.resize(static_cast<size_t>(Index) + 1);
            FSaveSelected[static_cast<size_t>(Index)] = Value;
        } else if (Value) {
            FSaveItemIndex = Index;
        } else if (FSaveItemIndex == Index) {
            FSaveItemIndex = -1;
        }
        return;
    }
    if (FMultiSelect)
        SendMessageA(FHandle, LB_SETSEL, Value ? 1 : 0, Index);
    else if (Value)
        SetItemIndex(Index);
    else if (ItemIndex() == Index)
        SetItemIndex(-1);
}

int TCustomListBox::SelCount()
{
    if (!FMultiSelect)
        return -1;
    if (!FHandle)
        return static_cast<int>(std::count(FSaveSelected.begin(), FSaveSelected.end(), true));
    return static_cast<int>(SendMessageA(FHandle, LB_GETSELCOUNT, 0, 0));
}

int TCustomListBox::TopIndex()
{
    return FHandle ? static_cast<int>(SendMessageA(FHandle, LB_GETTOPINDEX, 0, 0)) : FSaveTopIndex;
}

void TCustomListBox::SetTopIndex(int Value)
{
    if (FHandle)
        SendMessageA(FHandle, LB_SETTOPINDEX, static_cast<WPARAM>(Value), 0);
    else
        FSaveTopIndex = std::max(0, Value);
}

int TCustomListBox::ItemHeight()
{
    if (FHandle && FStyle == lbStandard)
        return static_cast<int>(SendMessageA(FHandle, LB_GETITEMHEIGHT, 0, 0));
    return FItemHeight;
}

void TCustomListBox::SetItemHeight(int Value)
{
    if (Value <= 0 || FItemHeight == Value)
        return;
    FItemHeight = Value;
    RecreateWnd();
}

void TCustomListBox::SetColumns(int Value)
{
    Value = std::max(0, Value);
    if (FColumns == Value)
        return;
    bool modeChange = (FColumns == 0) != (Value == 0);
    FColumns = Value;
    if (modeChange)
        RecreateWnd();
    else
        SetColumnWidth();
}

void TCustomListBox::SetColumnWidth()
{
    if (FHandle && FColumns > 0) {
        TRect r = ClientRect();
        int w = std::max(1, static_cast<int>((r.right - r.left) / FColumns));
        SendMessageA(FHandle, LB_SETCOLUMNWIDTH, static_cast<WPARAM>(w), 0);
    }
}

void TCustomListBox::SetSorted(bool Value)
{
    if (FSorted == Value)
        return;
    FSorted = Value;
    FItems->SetSorted(Value);
    RecreateWnd();
}

void TCustomListBox::SetStyle(TListBoxStyle Value)
{
    if (FStyle == Value)
        return;
    FStyle = Value;
    RecreateWnd();
}

void TCustomListBox::SetMultiSelect(bool Value)
{
    if (FMultiSelect == Value)
        return;
    FMultiSelect = Value;
    RecreateWnd();
}

void TCustomListBox::SetExtendedSelect(bool Value)
{
    if (FExtendedSelect == Value)
        return;
    FExtendedSelect = Value;
    RecreateWnd();
}

void TCustomListBox::SetIntegralHeight(bool Value)
{
    if (FIntegralHeight == Value)
        return;
    FIntegralHeight = Value;
    RecreateWnd();
}

int TCustomListBox::ItemAtPos(TPoint Pos, bool Existing)
{
    int count = FItems->Count();
    if (FHandle && count > 0) {
        for (int i = TopIndex(); i < count; ++i) {
            TRect r{};
            if (SendMessageA(FHandle, LB_GETITEMRECT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&r)) == LB_ERR)
                break;
            if (PtInRect(&r, Pos))
                return i;
            if (FColumns == 0 && r.top > ClientRect().bottom)
                break;
        }
    }
    return Existing ? -1 : count;
}

TRect TCustomListBox::ItemRect(int Index)
{
    TRect r{};
    int count = FItems->Count();
    if (!FHandle)
        return r;
    if (Index >= 0 && Index < count) {
        SendMessageA(FHandle, LB_GETITEMRECT, static_cast<WPARAM>(Index), reinterpret_cast<LPARAM>(&r));
    } else if (Index == count) {
        // The place a next item would take.
        int h = ItemHeight();
        if (count > 0) {
            SendMessageA(FHandle, LB_GETITEMRECT, static_cast<WPARAM>(count - 1), reinterpret_cast<LPARAM>(&r));
            OffsetRect(&r, 0, r.bottom - r.top);
        } else {
            r = Rect(0, 0, ClientRect().right, h);
        }
    }
    return r;
}

// --- TCustomComboBox ----------------------------------------------------------------------------

TCustomComboBox::TCustomComboBox(TComponent* AOwner)
    : TWinControl(AOwner), FItems(std::make_unique<TWinItemStrings>(this, kComboBoxMessages)),
      FCanvas(std::make_unique<TCanvas>())
{
    FWidth = 145;
    FHeight = 21;
    FTabStop = true;
    FParentColor = false;
    FColor = clWindow;
    FControlStyle = TControlStyle{csCaptureMouse, csSetCaption, csDoubleClicks, csFixedHeight};
}

TCustomComboBox::~TCustomComboBox() = default;

void TCustomComboBox::CreateParams(TCreateParams& Params)
{
    inherited::CreateParams(Params);
    CreateSubClass(Params, "COMBOBOX");
    Params.Style |= WS_VSCROLL | CBS_AUTOHSCROLL | CBS_HASSTRINGS;
    switch (FStyle) {
    case csDropDown: Params.Style |= CBS_DROPDOWN; break;
    case csSimple: Params.Style |= CBS_SIMPLE; break;
    case csDropDownList: Params.Style |= CBS_DROPDOWNLIST; break;
    case csOwnerDrawFixed: Params.Style |= CBS_DROPDOWNLIST | CBS_OWNERDRAWFIXED; break;
    case csOwnerDrawVariable: Params.Style |= CBS_DROPDOWNLIST | CBS_OWNERDRAWVARIABLE; break;
    }
    if (FSorted)
        Params.Style |= CBS_SORT;
    // The window's height is the edit part plus the dropped list.
    if (FStyle != csSimple)
        Params.Height = FHeight + std::max(1, FDropDownCount) * FItemHeight + 2;
    Params.WindowClass.style &= ~static_cast<UINT>(CS_HREDRAW | CS_VREDRAW);
}

void TCustomComboBox::CreateWindowHandle(const TCreateParams& Params) { FHandle = CreateWindowWithId(Params); }

void TCustomComboBox::CreateWnd()
{
    AnsiString text = FText;
    inherited::CreateWnd();
    SendMessageA(FHandle, CB_LIMITTEXT, static_cast<WPARAM>(FMaxLength), 0);
    COMBOBOXINFO info{};
    info.cbSize = sizeof(info);
    if (GetComboBoxInfo(FHandle, &info)) {
        FEditHandle = HasEdit() ? info.hwndItem : nullptr;
        FListHandle = info.hwndList;
    }
    // The edit and the list are the combo's own: their keys, focus and mouse are. A drop-down
    // list is taken over only while it is open (a take-over costs every message of the list, the
    // items added too, a round trip to the window server under Wine).
    if (FEditHandle)
        FEditSubclass.Subclass(FEditHandle, TWndMethod(this, &TCustomComboBox::EditWndProc));
    if (FListHandle && FStyle == csSimple)
        FListSubclass.Subclass(FListHandle, TWndMethod(this, &TCustomComboBox::ListWndProc));
    FItems->PushToWindow();
    if (FSaveItemIndex >= 0)
        SendMessageA(FHandle, CB_SETCURSEL, static_cast<WPARAM>(FSaveItemIndex), 0);
    FSaveItemIndex = -1;
    if (HasEdit() && !text.empty())
        SetWindowTextA(FHandle, text.c_str());
}

void TCustomComboBox::EditWndProc(TMessage& Message) { ComboWndProc(Message, FEditSubclass.Handle()); }

void TCustomComboBox::ListWndProc(TMessage& Message) { ComboWndProc(Message, FListSubclass.Handle()); }

void TCustomComboBox::ComboWndProc(TMessage& Message, HWND ComboWnd)
{
    switch (Message.Msg) {
    case WM_SETFOCUS:
        if (TWinControl* form = GetParentFormControl(this))
            if (form != this && !form->SetFocusedControl(this))
                return;
        break;
    case WM_KILLFOCUS:
        if (FControlState.Contains(csFocusing))
            return;
        break;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
        if (ComboWnd != FListHandle && DoKeyDown(MessageAs<TWMKey>(Message)))
            return;
        break;
    case WM_CHAR:
        if (DoKeyPress(MessageAs<TWMKey>(Message)))
            return;
        if ((Message.WParam == VK_RETURN || Message.WParam == VK_ESCAPE) && DroppedDown()) {
            SetDroppedDown(false);
            return;
        }
        break;
    case WM_KEYUP:
    case WM_SYSKEYUP:
        if (DoKeyUp(MessageAs<TWMKey>(Message)))
            return;
        break;
    case WM_MOUSEMOVE:
        if (HintMouseMessageHook)
            HintMouseMessageHook(this, Message);
        break;
    default:
        break;
    }
    if (ComboWnd == FEditSubclass.Handle())
        FEditSubclass.DefaultHandler(Message);
    else if (ComboWnd == FListSubclass.Handle())
        FListSubclass.DefaultHandler(Message);
    // The edit reached directly (a click) is the combo's focus: its form hears the change as for
    // the combo's own window (enter and exit, the button that Enter clicks).
    if (Message.Msg == WM_SETFOCUS && ComboWnd == FEditHandle && !ComponentState().Contains(csDestroying))
        FocusEntered();
    if (Message.Msg == WM_NCDESTROY)
        (ComboWnd == FEditHandle ? FEditHandle : FListHandle) = nullptr;
    if (Message.Msg == WM_LBUTTONDBLCLK && FControlStyle.Contains(csDoubleClicks))
        DblClick();
}

void TCustomComboBox::DestroyWnd()
{
    if (FHandle) {
        FSaveItemIndex = ItemIndex();
        FItems->PullFromWindow();
    }
    inherited::DestroyWnd();
    FEditHandle = nullptr;
    FListHandle = nullptr;
}

void TCustomComboBox::Dispatch(TMessage& Message)
{
    switch (Message.Msg) {
    case CN_COMMAND: CNCommand(Message); return;
    case CN_DRAWITEM: CNDrawItem(Message); return;
    case CN_MEASUREITEM: CNMeasureItem(Message); return;
    case CM_WANTSPECIALKEY: CMWantSpecialKey(Message); return;
    case CM_EXIT:
        // The edit shows no selection once the focus has left (its own style keeps it shown);
        // the focus coming back by Tab selects the whole text again.
        if (FEditHandle)
            SendMessageA(FEditHandle, EM_SETSEL, static_cast<WPARAM>(-1), 0);
        break;
    case CM_CANCELMODE:
        // A press elsewhere closes the drop-down list.
        if (reinterpret_cast<TControl*>(Message.LParam) != this && FHandle && DroppedDown())
            SetDroppedDown(false);
        return;
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORSTATIC: {
        // The inner edit and list take the combo's colours.
        HDC dc = reinterpret_cast<HDC>(Message.WParam);
        SetTextColor(dc, static_cast<COLORREF>(ColorToRGB(Font()->Color())));
        SetBkColor(dc, static_cast<COLORREF>(ColorToRGB(Brush()->Color())));
        Message.Result = reinterpret_cast<LRESULT>(Brush()->Handle());
        return;
    }
    case WM_SETTEXT:
        if (!FHandle) {
            inherited::Dispatch(Message);
            return;
        }
        if (!HasEdit()) {
            // A list without an edit shows the item of that text.
            const char* s = reinterpret_cast<const char*>(Message.LParam);
            int i = FItems->IndexOf(s ? s : "");
            SendMessageA(FHandle, CB_SETCURSEL, static_cast<WPARAM>(i), 0);
            Message.Result = 1;
            return;
        }
        break;
    default:
        break;
    }
    inherited::Dispatch(Message);
}

void TCustomComboBox::CMWantSpecialKey(TMessage& Message)
{
    // Enter and Escape close an open list instead of reaching the form.
    if ((Message.WParam == VK_RETURN || Message.WParam == VK_ESCAPE) && DroppedDown())
        Message.Result = 1;
    else
        inherited::Dispatch(Message);
}

void TCustomComboBox::CNCommand(TMessage& Message)
{
    switch (HIWORD(Message.WParam)) {
    case CBN_DBLCLK: DblClick(); break;
    case CBN_EDITCHANGE: Change(); break;
    case CBN_DROPDOWN:
        if (FListHandle && !FListSubclass.Attached())
            FListSubclass.Subclass(FListHandle, TWndMethod(this, &TCustomComboBox::ListWndProc));
        DropDown();
        AdjustDropDown();
        break;
    case CBN_SELCHANGE: {
        // The edit shows the chosen item only after this notification: set it now, so that
        // OnClick and OnSelect read the new text.
        int i = ItemIndex();
        if (i >= 0 && HasEdit())
            SetWindowTextA(FHandle, FItems->Get(i).c_str());
        Click();
        Select();
        break;
    }
    case CBN_CLOSEUP:
        if (FStyle != csSimple)
            FListSubclass.Release();
        CloseUp();
        break;
    default: break;
    }
}

void TCustomComboBox::AdjustDropDown()
{
    if (!FHandle || FStyle == csSimple)
        return;
    int count = std::clamp(FItems->Count(), 1, std::max(1, FDropDownCount));
    int itemHeight = static_cast<int>(SendMessageA(FHandle, CB_GETITEMHEIGHT, 0, 0));
    SetWindowPos(FHandle, nullptr, 0, 0, Width(), Height() + count * std::max(1, itemHeight) + 2,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW | SWP_HIDEWINDOW);
    SetWindowPos(FHandle, nullptr, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW | SWP_SHOWWINDOW);
}

void TCustomComboBox::Change()
{
    Changed();
    if (OnChange)
        OnChange(this);
}

void TCustomComboBox::Select()
{
    if (OnSelect)
        OnSelect(this);
    else
        Change();
}

void TCustomComboBox::DropDown()
{
    if (OnDropDown)
        OnDropDown(this);
}

void TCustomComboBox::CloseUp()
{
    if (OnCloseUp)
        OnCloseUp(this);
}

void TCustomComboBox::CNDrawItem(TMessage& Message)
{
    auto* dis = reinterpret_cast<DRAWITEMSTRUCT*>(Message.LParam);
    TOwnerDrawState state = TOwnerDrawState::FromBits(LOWORD(dis->itemState));
    if (dis->itemState & ODS_COMBOBOXEDIT)
        state.Include(odComboBoxEdit);
    PaintOwnerDrawItem(FCanvas.get(), this, *dis, state,
                       [this](int Index, TRect Rect, TOwnerDrawState State) { DrawItem(Index, Rect, State); });
    Message.Result = 1;
}

void TCustomComboBox::DrawItem(int Index, TRect Rect, TOwnerDrawState State)
{
    if (OnDrawItem)
        OnDrawItem(this, Index, Rect, State);
    else
        DrawPlainItem(FCanvas.get(), Rect, FItems->Get(Index));
}

void TCustomComboBox::CNMeasureItem(TMessage& Message)
{
    auto* mis = reinterpret_cast<MEASUREITEMSTRUCT*>(Message.LParam);
    int h = FItemHeight;
    if (FStyle == csOwnerDrawVariable && static_cast<int>(mis->itemID) >= 0)
        MeasureItem(static_cast<int>(mis->itemID), h);
    mis->itemHeight = static_cast<UINT>(std::max(1, h));
    Message.Result = 1;
}

void TCustomComboBox::MeasureItem(int Index, int& Height)
{
    if (OnMeasureItem)
        OnMeasureItem(this, Index, Height);
}

int TCustomComboBox::ItemIndex()
{
    if (!FHandle)
        return FSaveItemIndex;
    return static_cast<int>(SendMessageA(FHandle, CB_GETCURSEL, 0, 0));
}

void TCustomComboBox::SetItemIndex(int Value)
{
    if (Value < -1 || Value >= FItems->Count())
        Value = -1;
    if (!FHandle) {
        FSaveItemIndex = Value;
        if (Value >= 0 && HasEdit())
            FText = FItems->Get(Value);
        return;
    }
    SendMessageA(FHandle, CB_SETCURSEL, static_cast<WPARAM>(Value), 0);
}

void TCustomComboBox::SetStyle(TComboBoxStyle Value)
{
    if (FStyle == Value)
        return;
    FStyle = Value;
    RecreateWnd();
}

bool TCustomComboBox::DroppedDown()
{
    return FHandle && SendMessageA(FHandle, CB_GETDROPPEDSTATE, 0, 0) != 0;
}

void TCustomComboBox::SetDroppedDown(bool Value)
{
    SendMessageA(Handle(), CB_SHOWDROPDOWN, Value ? 1 : 0, 0);
}

void TCustomComboBox::SetMaxLength(int Value)
{
    FMaxLength = std::max(0, Value);
    if (FHandle)
        SendMessageA(FHandle, CB_LIMITTEXT, static_cast<WPARAM>(FMaxLength), 0);
}

void TCustomComboBox::SetSorted(bool Value)
{
    if (FSorted == Value)
        return;
    FSorted = Value;
    FItems->SetSorted(Value);
    RecreateWnd();
}

int TCustomComboBox::ItemHeight()
{
    if (FHandle && (FStyle == csDropDown || FStyle == csSimple || FStyle == csDropDownList))
        return static_cast<int>(SendMessageA(FHandle, CB_GETITEMHEIGHT, 0, 0));
    return FItemHeight;
}

void TCustomComboBox::SetItemHeight(int Value)
{
    if (Value <= 0 || FItemHeight == Value)
        return;
    FItemHeight = Value;
    RecreateWnd();
}

void TCustomComboBox::Clear()
{
    SetText(AnsiString());
    FItems->Clear();
    FSaveItemIndex = -1;
}

void TCustomComboBox::SelectAll()
{
    if (FHandle)
        SendMessageA(FHandle, CB_SETEDITSEL, 0, MAKELPARAM(0, 0xFFFF));
}

// --- TCustomLabel -------------------------------------------------------------------------------

TCustomLabel::TCustomLabel(TComponent* AOwner) : TGraphicControl(AOwner)
{
    FWidth = 65;
    FHeight = 17;
    FAutoSize = true;
    FControlStyle = TControlStyle{csCaptureMouse, csClickEvents, csSetCaption, csOpaque, csReplicatable, csDoubleClicks};
}

void TCustomLabel::Dispatch(TMessage& Message)
{
    switch (Message.Msg) {
    case CM_DIALOGCHAR: CMDialogChar(Message); return;
    case CM_TEXTCHANGED:
    case CM_FONTCHANGED:
        AdjustBounds();
        Invalidate();
        return;
    default: inherited::Dispatch(Message);
    }
}

void TCustomLabel::Notification(TComponent* AComponent, TOperation Operation)
{
    inherited::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FFocusControl)
        FFocusControl = nullptr;
}

void TCustomLabel::CMDialogChar(TMessage& Message)
{
    auto& key = MessageAs<TWMKey>(Message);
    if (FFocusControl && Enabled() && FShowAccelChar && IsAccel(key.CharCode, Text()) && FFocusControl->CanFocus()) {
        FFocusControl->SetFocus();
        Message.Result = 1;
    }
}

void TCustomLabel::DoDrawText(TRect& Rect, UINT Flags)
{
    AnsiString text = Text();
    if ((Flags & DT_CALCRECT) && (text.empty() || (FShowAccelChar && text == "&")))
        text = " ";
    if (!FShowAccelChar)
        Flags |= DT_NOPREFIX;
    TCanvas* c = Canvas();
    c->SetFont(Font());
    HDC dc = c->Handle();
    // DrawText uses the DC's font: the label's own, not whatever the DC holds.
    HGDIOBJ oldFont = SelectObject(dc, Font()->Handle());
    SetBkMode(dc, TRANSPARENT);
    if (!Enabled()) {
        OffsetRect(&Rect, 1, 1);
        SetTextColor(dc, static_cast<COLORREF>(ColorToRGB(clBtnHighlight)));
        DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &Rect, Flags);
        OffsetRect(&Rect, -1, -1);
        SetTextColor(dc, static_cast<COLORREF>(ColorToRGB(clBtnShadow)));
    } else {
        SetTextColor(dc, static_cast<COLORREF>(ColorToRGB(Font()->Color())));
    }
    DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &Rect, Flags);
    SelectObject(dc, oldFont);
}

void TCustomLabel::Paint()
{
    TCanvas* c = Canvas();
    TRect r = ClientRect();
    if (!FTransparent) {
        c->Brush()->SetColor(Color());
        c->Brush()->SetStyle(bsSolid);
        c->FillRect(r);
    }
    UINT align = FAlignment == taRightJustify ? DT_RIGHT : FAlignment == taCenter ? DT_CENTER : DT_LEFT;
    UINT flags = DT_EXPANDTABS | align | (FWordWrap ? DT_WORDBREAK : 0);
    if (FLayout != tlTop) {
        // Measure, then move the text down to the middle or the bottom.
        TRect calc = r;
        DoDrawText(calc, flags | DT_CALCRECT);
        int h = calc.bottom - calc.top;
        int shift = FLayout == tlBottom ? (r.bottom - r.top) - h : ((r.bottom - r.top) - h) / 2;
        r.top += shift;
        r.bottom = r.top + h;
    }
    DoDrawText(r, flags);
}

void TCustomLabel::AdjustBounds()
{
    if (!FAutoSize || ComponentState().Contains(csLoading))
        return;
    // Measured by the label's own drawing (DT_CALCRECT), so that a label that draws more than
    // its text (an effect, a margin) is sized to what it draws.
    TRect r = ClientRect();
    if (!FWordWrap)
        r.right = r.left + 1;
    HDC screen = GetDC(nullptr);
    TCanvas* c = Canvas();
    c->Lock();
    c->SetHandle(screen);
    try {
        DoDrawText(r, DT_CALCRECT | DT_EXPANDTABS | (FWordWrap ? DT_WORDBREAK : 0));
    } catch (...) {
        c->SetHandle(nullptr);
        c->Unlock();
        ReleaseDC(nullptr, screen);
        throw;
    }
    c->SetHandle(nullptr);
    c->Unlock();
    ReleaseDC(nullptr, screen);
    int w = r.right - r.left, h = r.bottom - r.top;
    int left = Left();
    // A right-aligned label grows to the left, a centred one both ways.
    if (FAlignment == taRightJustify && !FWordWrap)
        left += Width() - w;
    else if (FAlignment == taCenter && !FWordWrap)
        left += (Width() - w) / 2;
    SetBounds(left, Top(), w, h);
}

void TCustomLabel::SetAutoSize(bool Value)
{
    if (FAutoSize == Value)
        return;
    FAutoSize = Value;
    AdjustBounds();
}

void TCustomLabel::SetAlignment(TAlignment Value)
{
    if (FAlignment == Value)
        return;
    FAlignment = Value;
    Invalidate();
}

void TCustomLabel::SetLayout(TTextLayout Value)
{
    if (FLayout == Value)
        return;
    FLayout = Value;
    Invalidate();
}

void TCustomLabel::SetWordWrap(bool Value)
{
    if (FWordWrap == Value)
        return;
    FWordWrap = Value;
    AdjustBounds();
    Invalidate();
}

void TCustomLabel::SetTransparent(bool Value)
{
    if (FTransparent == Value)
        return;
    FTransparent = Value;
    if (Value)
        FControlStyle.Exclude(csOpaque);
    else
        FControlStyle.Include(csOpaque);
    Invalidate();
}

void TCustomLabel::SetShowAccelChar(bool Value)
{
    if (FShowAccelChar == Value)
        return;
    FShowAccelChar = Value;
    AdjustBounds();
    Invalidate();
}

void TCustomLabel::SetFocusControl(TWinControl* Value)
{
    if (FFocusControl == Value)
        return;
    if (FFocusControl)
        RemoveFreeNotification(FFocusControl);
    FFocusControl = Value;
    if (Value)
        FreeNotification(Value);
}
