#include "StdCtrlsScrollBar.h"

#include <algorithm>

TScrollBar::TScrollBar(TComponent* AOwner) : TWinControl(AOwner)
{
    SetBounds(0, 0, 121, GetSystemMetrics(SM_CYHSCROLL));
    SetTabStop(true);
    SetControlStyle(TControlStyle{csFramed, csDoubleClicks});
}

void TScrollBar::CreateParams(TCreateParams& Params)
{
    inherited::CreateParams(Params);
    CreateSubClass(Params, "SCROLLBAR");
    Params.Style |= FKind == sbHorizontal ? SBS_HORZ : SBS_VERT;
}

void TScrollBar::CreateWnd()
{
    inherited::CreateWnd();
    UpdateScrollInfo();
}

void TScrollBar::UpdateScrollInfo()
{
    if (!HandleAllocated())
        return;
    SCROLLINFO si{};
    si.cbSize = sizeof si;
    si.fMask = SIF_ALL | SIF_DISABLENOSCROLL;
    si.nMin = FMin;
    si.nMax = FMax;
    si.nPage = static_cast<UINT>(FPageSize);
    si.nPos = FPosition;
    SetScrollInfo(Handle(), SB_CTL, &si, TRUE);
}

int TScrollBar::MaxPosition() const { return FPageSize > 0 ? std::max(FMin, FMax - FPageSize + 1) : FMax; }

void TScrollBar::SetParams(int APosition, int AMin, int AMax)
{
    if (AMax < AMin)
        throw EInvalidOperation("Scroll bar maximum below its minimum");
    FMin = AMin;
    FMax = AMax;
    if (FPageSize > FMax - FMin + 1)
        FPageSize = FMax - FMin + 1;
    APosition = std::clamp(APosition, FMin, MaxPosition());
    const bool moved = APosition != FPosition;
    FPosition = APosition;
    UpdateScrollInfo();
    if (moved)
        Change();
}

void TScrollBar::SetPageSize(int Value)
{
    Value = std::clamp(Value, 0, FMax - FMin + 1);
    if (FPageSize == Value)
        return;
    FPageSize = Value;
    SetParams(FPosition, FMin, FMax);
    UpdateScrollInfo();
}

void TScrollBar::SetKind(TScrollBarKind Value)
{
    if (FKind == Value)
        return;
    FKind = Value;
    SetBounds(Left(), Top(), Height(), Width());
    RecreateWnd();
}

void TScrollBar::Change()
{
    Changed();
    if (OnChange)
        OnChange(this);
}

void TScrollBar::Scroll(TScrollCode ScrollCode, int& ScrollPos)
{
    if (OnScroll)
        OnScroll(this, ScrollCode, ScrollPos);
}

void TScrollBar::DoScroll(UINT Code)
{
    if (Code > SB_ENDSCROLL)
        return;
    const auto code = static_cast<TScrollCode>(Code);
    int pos = FPosition;
    switch (code) {
    case scLineUp: pos -= FSmallChange; break;
    case scLineDown: pos += FSmallChange; break;
    case scPageUp: pos -= FLargeChange; break;
    case scPageDown: pos += FLargeChange; break;
    case scPosition:
    case scTrack: {
        // The full 32-bit thumb position (the message carries only 16 bits).
        SCROLLINFO si{};
        si.cbSize = sizeof si;
        si.fMask = SIF_TRACKPOS;
        if (HandleAllocated() && GetScrollInfo(Handle(), SB_CTL, &si))
            pos = si.nTrackPos;
        break;
    }
    case scTop: pos = FMin; break;
    case scBottom: pos = FMax; break;
    case scEndScroll: break;
    }
    pos = std::clamp(pos, FMin, MaxPosition());
    Scroll(code, pos);
    SetPosition(pos);
}

void TScrollBar::Dispatch(TMessage& Message)
{
    if (Message.Msg == CN_HSCROLL || Message.Msg == CN_VSCROLL) {
        DoScroll(LOWORD(Message.WParam));
        Message.Result = 0;
        return;
    }
    inherited::Dispatch(Message);
}
