// Scrolling controls and frames of the Forms unit (declared in Forms.h): the scroll bars of a
// scrolling control, the control that scrolls its children, and the frame, a container built in
// code like a form and placed on one.
#include "Forms.h"

#include <algorithm>

// --- Scroll bars --------------------------------------------------------------------------

void TControlScrollBar::Assign(TPersistent* Source)
{
    if (auto* src = dynamic_cast<TControlScrollBar*>(Source)) {
        FVisible = src->FVisible;
        FRange = src->FRange;
        FPosition = src->FPosition;
        Increment = src->Increment;
        FTracking = src->FTracking;
        FSmooth = src->FSmooth;
        Update();
        return;
    }
    inherited::Assign(Source);
}

int TControlScrollBar::ControlSize() const
{
    if (!FControl->HandleAllocated())
        return FKind == sbHorizontal ? FControl->Width() : FControl->Height();
    RECT r;
    GetClientRect(FControl->Handle(), &r);
    // The client rectangle without the other bar's room is what this bar scrolls over.
    return FKind == sbHorizontal ? r.right : r.bottom;
}

bool TControlScrollBar::IsScrollBarVisible() const
{
    return FVisible && FRange > ControlSize();
}

void TControlScrollBar::SetRange(int Value)
{
    FRange = std::max(0, Value);
    Update();
}

void TControlScrollBar::SetPosition(int Value)
{
    const int maxPos = std::max(0, FRange - ControlSize());
    Value = std::clamp(Value, 0, maxPos);
    if (Value == FPosition)
        return;
    const int delta = FPosition - Value;
    FPosition = Value;
    if (FControl->HandleAllocated()) {
        if (FKind == sbHorizontal)
            FControl->ScrollBy(delta, 0);
        else
            FControl->ScrollBy(0, delta);
    }
    Update();
}

void TControlScrollBar::SetVisible(bool Value)
{
    FVisible = Value;
    Update();
}

void TControlScrollBar::Update()
{
    if (!FControl->HandleAllocated())
        return;
    const int bar = FKind == sbHorizontal ? SB_HORZ : SB_VERT;
    SCROLLINFO si{};
    si.cbSize = sizeof si;
    si.fMask = SIF_ALL;
    if (IsScrollBarVisible()) {
        si.nMin = 0;
        si.nMax = FRange - 1;
        si.nPage = static_cast<UINT>(ControlSize());
        si.nPos = FPosition;
        SetScrollInfo(FControl->Handle(), bar, &si, TRUE);
        ShowScrollBar(FControl->Handle(), bar, TRUE);
    } else {
        if (FPosition != 0) {
            const int delta = FPosition;
            FPosition = 0;
            if (FKind == sbHorizontal)
                FControl->ScrollBy(delta, 0);
            else
                FControl->ScrollBy(0, delta);
        }
        ShowScrollBar(FControl->Handle(), bar, FALSE);
    }
}

void TControlScrollBar::ScrollMessage(int Code, int ThumbPos)
{
    const int page = ControlSize();
    switch (Code) {
    case SB_LINEUP: SetPosition(FPosition - Increment); break;
    case SB_LINEDOWN: SetPosition(FPosition + Increment); break;
    case SB_PAGEUP: SetPosition(FPosition - page); break;
    case SB_PAGEDOWN: SetPosition(FPosition + page); break;
    case SB_THUMBTRACK:
        if (FTracking)
            SetPosition(ThumbPos);
        break;
    case SB_THUMBPOSITION: SetPosition(ThumbPos); break;
    case SB_TOP: SetPosition(0); break;
    case SB_BOTTOM: SetPosition(FRange); break;
    default: break;
    }
}

TScrollingWinControl::TScrollingWinControl(TComponent* AOwner)
    : TWinControl(AOwner),
      FHorzScrollBar(std::make_unique<TControlScrollBar>(this, sbHorizontal)),
      FVertScrollBar(std::make_unique<TControlScrollBar>(this, sbVertical))
{
    SetControlStyle(ControlStyle() + TControlStyle{csAcceptsControls});
}

void TScrollingWinControl::ScrollBy(int DeltaX, int DeltaY)
{
    if (DeltaX == 0 && DeltaY == 0)
        return;
    DisableAlign();
    try {
        for (int i = 0; i < ControlCount(); ++i) {
            TControl* c = Controls(i);
            c->SetBounds(c->Left() + DeltaX, c->Top() + DeltaY, c->Width(), c->Height());
        }
    } catch (...) {
        EnableAlign();
        throw;
    }
    EnableAlign();
    Invalidate();
}

TScrollingWinControl::~TScrollingWinControl() = default;

void TScrollingWinControl::SetAutoScroll(bool Value)
{
    if (FAutoScroll == Value)
        return;
    FAutoScroll = Value;
    if (!Value) {
        FHorzScrollBar->FRange = 0;
        FVertScrollBar->FRange = 0;
    }
    UpdateScrollBars();
}

void TScrollingWinControl::AlignControls(TControl* AControl, TRect& Rect)
{
    inherited::AlignControls(AControl, Rect);
    if (FAutoScroll && FAutoRangeCount <= 0)
        UpdateScrollBars();
}

void TScrollingWinControl::EnableAutoRange()
{
    if (FAutoRangeCount <= 0)
        return;
    if (--FAutoRangeCount == 0 && (FHorzScrollBar->FVisible || FVertScrollBar->FVisible))
        UpdateScrollBars();
}

void TScrollingWinControl::CalcAutoRange()
{
    if (FAutoRangeCount > 0)
        return;
    int right = 0, bottom = 0;
    for (int i = 0; i < ControlCount(); ++i) {
        TControl* c = Controls(i);
        if (!c->Visible())
            continue;
        right = std::max(right, c->Left() + c->Width() + FHorzScrollBar->FPosition);
        bottom = std::max(bottom, c->Top() + c->Height() + FVertScrollBar->FPosition);
    }
    FHorzScrollBar->FRange = right;
    FVertScrollBar->FRange = bottom;
}

void TScrollingWinControl::UpdateScrollBars()
{
    if (FUpdatingScrollBars || !HandleAllocated())
        return;
    FUpdatingScrollBars = true;
    try {
        if (FAutoScroll)
            CalcAutoRange();
        // Twice: showing one bar shrinks the client area and may call for the other.
        for (int pass = 0; pass < 2; ++pass) {
            FHorzScrollBar->Update();
            FVertScrollBar->Update();
        }
    } catch (...) {
        FUpdatingScrollBars = false;
        throw;
    }
    FUpdatingScrollBars = false;
}

void TScrollingWinControl::ScrollInView(TControl* AControl)
{
    if (!AControl || !HandleAllocated())
        return;
    RECT client;
    ::GetClientRect(Handle(), &client);
    if (AControl->Left() < 0)
        FHorzScrollBar->SetPosition(FHorzScrollBar->Position() + AControl->Left());
    else if (AControl->Left() + AControl->Width() > client.right)
        FHorzScrollBar->SetPosition(FHorzScrollBar->Position() + AControl->Left() + AControl->Width() - client.right);
    if (AControl->Top() < 0)
        FVertScrollBar->SetPosition(FVertScrollBar->Position() + AControl->Top());
    else if (AControl->Top() + AControl->Height() > client.bottom)
        FVertScrollBar->SetPosition(FVertScrollBar->Position() + AControl->Top() + AControl->Height() - client.bottom);
}

void TScrollingWinControl::CreateWnd()
{
    inherited::CreateWnd();
    UpdateScrollBars();
}

void TScrollingWinControl::Dispatch(TMessage& Message)
{
    switch (Message.Msg) {
    case WM_HSCROLL:
        if (Message.LParam == 0) {
            FHorzScrollBar->ScrollMessage(LOWORD(Message.WParam), HIWORD(Message.WParam));
            Message.Result = 0;
            return;
        }
        break;
    case WM_VSCROLL:
        if (Message.LParam == 0) {
            FVertScrollBar->ScrollMessage(LOWORD(Message.WParam), HIWORD(Message.WParam));
            Message.Result = 0;
            return;
        }
        break;
    case WM_SIZE:
        inherited::Dispatch(Message);
        UpdateScrollBars();
        return;
    default: break;
    }
    inherited::Dispatch(Message);
}

// --- Frames -------------------------------------------------------------------------------

TCustomFrame::TCustomFrame(TComponent* AOwner) : TScrollingWinControl(AOwner)
{
    SetControlStyle(TControlStyle{csAcceptsControls, csCaptureMouse, csClickEvents, csSetCaption, csDoubleClicks});
    SetBounds(0, 0, 320, 240);
    SetAutoScroll(true);
    // The components the derived constructor creates are loading until AfterConstruction (or
    // until the owner's loading pass, for a frame built while its form is being built).
    FOwnerLoading = Owner() && Owner()->ComponentState().Contains(csLoading);
    BeginLoading(this);
}

void TCustomFrame::AfterConstruction()
{
    inherited::AfterConstruction();
    if (!FOwnerLoading)
        LoadedAll(this);
}
