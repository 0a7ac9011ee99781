#include "sSpinEdit.h"

#include <climits>
#include <cstdio>

#include "SysUtils.h"
#include "sGraphUtils.h"
#include "sMessages.h"
#include "sStyleSimply.h"
#include "sUtils.h"
#include "sVclUtils.h"

namespace sSpinEdit {

void TsTimerSpeedButton::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    inherited::MouseDown(Button, Shift, X, Y);
    if (TimeBtnState.Contains(tbAllowTimer)) {
        if (!FRepeatTimer)
            FRepeatTimer = Create<TTimer>(this);
        FRepeatTimer->OnTimer = TNotifyEvent(this, &TsTimerSpeedButton::TimerExpired);
        FRepeatTimer->SetInterval(400);
        FRepeatTimer->SetEnabled(true);
    }
}

void TsTimerSpeedButton::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    inherited::MouseUp(Button, Shift, X, Y);
    if (FRepeatTimer)
        FRepeatTimer->SetEnabled(false);
}

void TsTimerSpeedButton::TimerExpired(TObject*)
{
    FRepeatTimer->SetInterval(100);
    if (!MouseCapture())
        return;
    try {
        Click();
    } catch (...) {
        FRepeatTimer->SetEnabled(false);
        throw;
    }
}

void TsTimerSpeedButton::Paint()
{
    if (ComponentState().Contains(csDestroying) || ComponentState().Contains(csLoading))
        return;
    // The buttons stand on an edit: its window colour is their parent's.
    CtrlParentColor = ColorToRGB(clWindow);
    ParentCenterColor = CtrlParentColor;
    inherited::Paint();
    CtrlParentColor = clSkinKey;
    ParentCenterColor = clSkinKey;
    if (TimeBtnState.Contains(tbFocusRect)) {
        TRect r = ClientRect();
        InflateRect(&r, -3, -3);
        if (State() == bsDown)
            OffsetRect(&r, 1, 1);
        Canvas()->DrawFocusRect(r);
    }
}

} // namespace sSpinEdit

// The repeating button of this unit (the speed button unit has one of that name too).
using TRepeatButton = sSpinEdit::TsTimerSpeedButton;

namespace {

// A value below Min becomes Min, one above Max becomes Max; equal bounds set no limits. The bounds
// may come in either order (each is tested on its own), so no range routine that needs them
// ordered is used.
template <class T>
T WithinBounds(T Value, T Min, T Max)
{
    if (Min == Max)
        return Value;
    if (Value < Min)
        return Min;
    if (Value > Max)
        return Max;
    return Value;
}

} // namespace

// --- the button column ------------------------------------------------------------------------

TsSpinButton::TsSpinButton(TComponent* AOwner) : TWinControl(AOwner), FOwnerEdit(AOwner)
{
    SetControlStyle(ControlStyle() >> csAcceptsControls >> csSetCaption);
    FUpButton = CreateButton();
    FDownButton = CreateButton();
    SetUpGlyph(nullptr);
    SetDownGlyph(nullptr);
    SetWidth(18);
    FFocusedButton = FUpButton;
}

TRepeatButton* TsSpinButton::CreateButton()
{
    auto* b = Create<TRepeatButton>(this);
    b->SkinData()->SetSkinSection("SPEEDBUTTON_SMALL");
    b->SetParent(this);
    b->OnClick = TNotifyEvent(this, &TsSpinButton::BtnClick);
    b->OnMouseDown = TMouseEvent(this, &TsSpinButton::BtnMouseDown);
    b->SetVisible(true);
    b->SetEnabled(true);
    b->SetFlat(false);
    b->SetTransparent(true);
    b->TimeBtnState = sSpinEdit::TTimeBtnState{sSpinEdit::tbAllowTimer};
    return b;
}

TBitmap* TsSpinButton::UpGlyph() const
{
    return FUpButton->Glyph();
}

TBitmap* TsSpinButton::DownGlyph() const
{
    return FDownButton->Glyph();
}

void TsSpinButton::SetUpGlyph(TBitmap* Value)
{
    SetGlyph(FUpButton, Value, true);
}

void TsSpinButton::SetDownGlyph(TBitmap* Value)
{
    SetGlyph(FDownButton, Value, false);
}

void TsSpinButton::SetGlyph(TRepeatButton* Button, TBitmap* Value, bool Up)
{
    if (Value) {
        Button->SetGlyph(Value);
        return;
    }
    // A small filled triangle in the middle of the button's size.
    const TRect r = Button->ClientRect();
    TBitmap glyph(WidthOf(r), HeightOf(r));
    TCanvas* c = glyph.Canvas();
    c->Brush()->SetColor(clWhite);
    c->FillRect(r);
    const int x0 = WidthOf(r) / 2 - 7 + r.left;
    const int y0 = HeightOf(r) / 2 - 3 + r.top;
    c->Brush()->SetStyle(bsSolid);
    c->Brush()->SetColor(clBlack);
    c->Pen()->SetColor(clBlack);
    const std::vector<TPoint> up{{x0 + 3, y0 + 3}, {x0 + 9, y0 + 3}, {x0 + 6, y0}};
    const std::vector<TPoint> down{{x0 + 3, y0}, {x0 + 9, y0}, {x0 + 6, y0 + 3}};
    c->Polygon(Up ? up : down);
    Button->SetGlyph(&glyph);
    Button->Invalidate();
}

void TsSpinButton::AdjustSize(int& W, int& H)
{
    if (!FUpButton || !FDownButton || ComponentState().Contains(csLoading) || H == 0)
        return;
    W = std::max(W, 15);
    FUpButton->SetBounds(0, 0, W, H / 2);
    FDownButton->SetBounds(0, FUpButton->Height(), W, H - FUpButton->Height());
}

void TsSpinButton::SetBounds(int ALeft, int ATop, int AWidth, int AHeight)
{
    AdjustSize(AWidth, AHeight);
    inherited::SetBounds(ALeft, ATop, AWidth, AHeight);
}

void TsSpinButton::Loaded()
{
    inherited::Loaded();
    int w = Width();
    int h = Height();
    AdjustSize(w, h);
    if (w != Width() || h != Height())
        SetBounds(Left(), Top(), w, h);
}

void TsSpinButton::SetFocusControl(TWinControl* Value)
{
    if (FFocusControl == Value)
        return;
    if (FFocusControl)
        FFocusControl->RemoveFreeNotification(this);
    FFocusControl = Value;
    if (Value)
        Value->FreeNotification(this);
}

void TsSpinButton::Notification(TComponent* AComponent, TOperation Operation)
{
    inherited::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FFocusControl)
        FFocusControl = nullptr;
}

void TsSpinButton::BtnClick(TObject* Sender)
{
    TNotifyEvent& event = Sender == FUpButton ? OnUpClick : OnDownClick;
    if (event)
        event(this);
}

void TsSpinButton::BtnMouseDown(TObject* Sender, TMouseButton Button, TShiftState, int, int)
{
    if (Button != mbLeft)
        return;
    SetFocusBtn(static_cast<TRepeatButton*>(Sender));
    if (FFocusControl && FFocusControl->TabStop() && FFocusControl->CanFocus() && !FFocusControl->Focused())
        FFocusControl->SetFocus();
    else if (TabStop() && !Focused() && CanFocus())
        SetFocus();
}

void TsSpinButton::SetFocusBtn(TRepeatButton* Btn)
{
    if (!TabStop() || !CanFocus() || Btn == FFocusedButton)
        return;
    FFocusedButton->TimeBtnState >> sSpinEdit::tbFocusRect;
    FFocusedButton = Btn;
    if (Focused()) {
        FFocusedButton->TimeBtnState << sSpinEdit::tbFocusRect;
        FFocusedButton->Invalidate();
    }
}

void TsSpinButton::WndProc(TMessage& Message)
{
    switch (Message.Msg) {
    case WM_SIZE: {
        inherited::WndProc(Message);
        int w = Width();
        int h = Height();
        AdjustSize(w, h);
        if (w != Width() || h != Height())
            SetBounds(Left(), Top(), w, h);
        Message.Result = 0;
        return;
    }
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        inherited::WndProc(Message);
        if (Message.Msg == WM_SETFOCUS)
            FFocusedButton->TimeBtnState << sSpinEdit::tbFocusRect;
        else
            FFocusedButton->TimeBtnState >> sSpinEdit::tbFocusRect;
        FFocusedButton->Invalidate();
        return;
    case WM_GETDLGCODE:
        Message.Result = DLGC_WANTARROWS;
        return;
    default:
        break;
    }
    inherited::WndProc(Message);
    if (Message.Msg == CM_ENABLEDCHANGED) {
        FUpButton->SetEnabled(Enabled());
        FDownButton->SetEnabled(Enabled());
    } else if (Message.Msg == SM_SKINCMD && Message.WParamHi == AC_GETCACHEINFO) {
        // The buttons stand on the edit's picture, inside its two-pixel frame.
        auto* edit = dynamic_cast<TsEdit*>(FOwnerEdit);
        GlobalCacheInfo = TCacheInfo{};
        if (edit && edit->SkinData()->FCacheBmp)
            GlobalCacheInfo = TCacheInfo{edit->SkinData()->FCacheBmp.get(), Left() + 2, Top() + 2, true};
    } else if (Message.Msg == SM_SKINCMD && Message.WParamHi == AC_GETUPDATING) {
        Message.LParam = 0;
    }
}

// --- the edit with the buttons ----------------------------------------------------------------

TsBaseSpinEdit::TsBaseSpinEdit(TComponent* AOwner) : TsEdit(AOwner)
{
    SetControlStyle(ControlStyle() >> csSetCaption << csAcceptsControls);
    FButton = Create<TsSpinButton>(this);
    FButton->SetVisible(false);
    FButton->SetParent(this);
    FButton->SetFocusControl(this);
    FButton->OnUpClick = TNotifyEvent(this, &TsBaseSpinEdit::UpClick);
    FButton->OnDownClick = TNotifyEvent(this, &TsBaseSpinEdit::DownClick);
    FButton->SetVisible(true);
}

void TsBaseSpinEdit::UpClick(TObject*) {}

void TsBaseSpinEdit::DownClick(TObject*) {}

void TsBaseSpinEdit::CreateParams(TCreateParams& Params)
{
    inherited::CreateParams(Params);
    Params.Style = (Params.Style & ~WS_BORDER) | WS_CLIPCHILDREN;
}

void TsBaseSpinEdit::CreateWnd()
{
    inherited::CreateWnd();
    SetEditRect();
}

void TsBaseSpinEdit::Invalidate()
{
    if (HandleAllocated())
        InvalidateRect(Handle(), nullptr, TRUE);
}

void TsBaseSpinEdit::SetEditRect()
{
    // The text ends before the buttons. A single-line edit ignores a formatting rectangle, so the
    // right margin keeps the buttons' width and two pixels free.
    SendMessageA(Handle(), EM_SETMARGINS, EC_RIGHTMARGIN, MAKELPARAM(0, FButton->Width() + 2));
}

int TsBaseSpinEdit::GetMinHeight()
{
    HDC dc = GetDC(nullptr);
    TEXTMETRICA sys{};
    TEXTMETRICA own{};
    const HGDIOBJ old = SelectObject(dc, GetStockObject(SYSTEM_FONT));
    GetTextMetricsA(dc, &sys);
    SelectObject(dc, Font()->Handle());
    GetTextMetricsA(dc, &own);
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    const int i = std::min(sys.tmHeight, own.tmHeight);
    return own.tmHeight + i / 4 + 4 * GetSystemMetrics(SM_CYBORDER) + 2;
}

void TsBaseSpinEdit::KeyDown(Word& Key, TShiftState Shift)
{
    if (Shift.Contains(ssCtrl)) {
        if (Key == VK_UP)
            UpClick(this);
        else if (Key == VK_DOWN)
            DownClick(this);
    }
    inherited::KeyDown(Key, Shift);
}

void TsBaseSpinEdit::KeyPress(char& Key)
{
    if (!IsValidChar(Key)) {
        Key = 0;
        SysUtils::Beep();
    }
    if (Key != 0)
        inherited::KeyPress(Key);
}

bool TsBaseSpinEdit::IsValidChar(char Key)
{
    const auto k = static_cast<unsigned char>(Key);
    const bool control = k < ' ' && Key != '\r';
    bool valid = Key == '+' || Key == '-' || (Key >= '0' && Key <= '9') || Key == DecimalSeparator || control;
    if (!EditorEnabled && (k >= ' ' || Key == '\b' || Key == '.'))
        valid = false;
    return valid;
}

void TsBaseSpinEdit::WndProc(TMessage& Message)
{
    if ((Message.Msg == WM_PASTE || Message.Msg == WM_CUT) && (!EditorEnabled || ReadOnly()))
        return;
    if (Message.Msg == WM_SIZE) {
        inherited::WndProc(Message);
        if (Height() < GetMinHeight())
            SetHeight(GetMinHeight());
        else if (FButton) {
            FButton->SetBounds(Width() - FButton->Width() - 4, 0, FButton->Width(), Height() - 4);
            if (HandleAllocated())
                SetEditRect();
        }
        return;
    }
    inherited::WndProc(Message);
    if (!FButton)
        return;
    // A new font gives the edit the font's margins again.
    if (Message.Msg == WM_SETFONT && HandleAllocated())
        SetEditRect();
    TRepeatButton* buttons[] = {FButton->UpButton(), FButton->DownButton()};
    if (Message.Msg == SM_SKINCMD) {
        switch (Message.WParamHi) {
        case AC_NEWSKIN:
        case AC_REMOVESKIN:
        case AC_REPAINT:
            for (auto* b : buttons)
                b->WindowProc(Message);
            break;
        case AC_GETUPDATING:
            Message.LParam = 0;
            break;
        default:
            break;
        }
        return;
    }
    switch (Message.Msg) {
    case WM_PAINT:
        for (auto* b : buttons) {
            SendAMessage(b, AC_STOPFADING);
            b->SkinData()->BGChanged = true;
            b->Repaint();
        }
        break;
    case CM_ENABLEDCHANGED:
        FButton->SetEnabled(Enabled());
        break;
    case CM_MOUSEENTER:
    case CM_MOUSELEAVE:
        for (auto* b : buttons) {
            b->SkinData()->MouseAbove = false;
            SendAMessage(b, AC_STOPFADING);
            b->SkinData()->Invalidate();
        }
        break;
    default:
        break;
    }
}

// --- integer ----------------------------------------------------------------------------------

int TsSpinEdit::CheckValue(Int64 Value) const
{
    Value = WithinBounds<Int64>(Value, MinValue, MaxValue);
    // Without limits a step still ends at the ends of the number range instead of wrapping.
    return static_cast<int>(std::clamp<Int64>(Value, INT_MIN, INT_MAX));
}

int TsSpinEdit::Value()
{
    int v = 0;
    return TryStrToInt(Text(), v) ? v : MinValue;
}

void TsSpinEdit::SetValue(int Value)
{
    SetText(IntToStr(CheckValue(Value)));
}

void TsSpinEdit::Step(Int64 Delta)
{
    if (ReadOnly()) {
        SysUtils::Beep();
        return;
    }
    SetText(IntToStr(CheckValue(Value() + Delta)));
}

void TsSpinEdit::UpClick(TObject*)
{
    Step(Increment);
}

void TsSpinEdit::DownClick(TObject*)
{
    Step(-Int64{Increment});
}

bool TsSpinEdit::IsValidChar(char Key)
{
    const bool control = static_cast<unsigned char>(Key) < ' ' && Key != '\r';
    if (!EditorEnabled)
        return control && Key != '\b';
    return (Key >= '0' && Key <= '9') || control;
}

void TsSpinEdit::WndProc(TMessage& Message)
{
    inherited::WndProc(Message);
    if (Message.Msg == CM_EXIT) {
        const int v = Value();
        if (CheckValue(v) != v)
            SetValue(v);
    } else if (Message.Msg == CM_MOUSEWHEEL) {
        // A read-only value is not stepped, by the wheel neither.
        if (!ReadOnly())
            SetText(IntToStr(CheckValue(Value() + Int64{MessageAs<TCMMouseWheel>(Message).WheelDelta / 120} * Increment)));
        Message.Result = 1;
    }
}

// --- decimal ----------------------------------------------------------------------------------

double TsDecimalSpinEdit::CheckValue(double Value) const
{
    return WithinBounds(Value, MinValue, MaxValue);
}

double TsDecimalSpinEdit::Value()
{
    if (Trim(Text()).empty())
        return MinValue;
    try {
        return StringToFloat(Text());
    } catch (const Exception&) {
        return MinValue;
    }
}

void TsDecimalSpinEdit::SetValue(double Value)
{
    char buf[400];
    std::snprintf(buf, sizeof buf, "%.*f", std::clamp(FDecimalPlaces, 0, 18), CheckValue(Value));
    AnsiString s = buf;
    if (const auto p = s.find('.'); p != AnsiString::npos)
        s[p] = DecimalSeparator;
    SetText(s);
}

void TsDecimalSpinEdit::SetDecimalPlaces(int Value)
{
    if (Value != FDecimalPlaces) {
        FDecimalPlaces = Value;
        SetValue(this->Value());
    }
}

void TsDecimalSpinEdit::UpClick(TObject*)
{
    if (ReadOnly())
        SysUtils::Beep();
    else
        SetValue(Value() + Increment);
}

void TsDecimalSpinEdit::DownClick(TObject*)
{
    if (ReadOnly())
        SysUtils::Beep();
    else
        SetValue(Value() - Increment);
}

void TsDecimalSpinEdit::WndProc(TMessage& Message)
{
    inherited::WndProc(Message);
    if (Message.Msg == CM_EXIT) {
        const double v = Value();
        if (CheckValue(v) != v)
            SetValue(v);
    } else if (Message.Msg == CM_MOUSEWHEEL) {
        if (!ReadOnly())
            SetValue(Value() + (MessageAs<TCMMouseWheel>(Message).WheelDelta / 120) * Increment);
        Message.Result = 1;
    }
}
