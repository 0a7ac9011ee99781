// The controls unit's painting: windowless children painted by their parent, the painting of a
// window, and the canvases of controls (declared in Controls.h).
#include "ControlsInternal.h"

using namespace controls_internal;

// --- Painting ---------------------------------------------------------------------------------

namespace {

int g_paintDeferrals = 0;

BOOL CALLBACK PaintPending(HWND Wnd, LPARAM)
{
    // A hidden window has nothing to paint (each call is a trip to the window server).
    if (IsWindowVisible(Wnd))
        RedrawWindow(Wnd, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    return TRUE;
}

} // namespace

TPaintDeferral::TPaintDeferral(bool ByMessages) : FByMessages(ByMessages) { ++g_paintDeferrals; }

TPaintDeferral::~TPaintDeferral()
{
    // The windows paint while the deferral still holds: a repaint that one paint asks of another
    // window (a parent telling its children it has changed) only invalidates it, and the same
    // pass, which goes on while any window below waits, paints it.
    if (g_paintDeferrals == 1 && !FByMessages)
        EnumThreadWindows(GetCurrentThreadId(), PaintPending, 0);
    --g_paintDeferrals;
}

bool TPaintDeferral::Active() { return g_paintDeferrals > 0; }

void TWinControl::Invalidate() { Perform(CM_INVALIDATE, 0, 0); }

void TWinControl::Update()
{
    if (FHandle && !TPaintDeferral::Active())
        UpdateWindow(FHandle);
}

void TWinControl::Repaint()
{
    Invalidate();
    Update();
}

void TWinControl::SetBorderWidth(int Value)
{
    Value = std::max(0, Value);
    if (FBorderWidth == Value)
        return;
    FBorderWidth = Value;
    Perform(CM_BORDERCHANGED);
}

void TWinControl::CMBorderChanged(TMessage&)
{
    Realign();
    Invalidate();
}

bool TWinControl::CanAutoSize(int& NewWidth, int& NewHeight)
{
    int right = 0, bottom = 0;
    bool any = false;
    for (int i = 0; i < ControlCount(); ++i) {
        TControl* c = Controls(i);
        if (!c->FVisible || c->FAlign == alClient)
            continue;
        any = true;
        right = std::max(right, c->FLeft + c->FWidth);
        bottom = std::max(bottom, c->FTop + c->FHeight);
    }
    if (!any)
        return false;
    const TRect client = ClientRect();
    NewWidth = right + (FWidth - (client.right - client.left));
    NewHeight = bottom + (FHeight - (client.bottom - client.top));
    return true;
}

void TWinControl::WMGetMinMaxInfo(TMessage& Message)
{
    DefaultHandler(Message);
    auto* info = reinterpret_cast<MINMAXINFO*>(Message.LParam);
    if (!info)
        return;
    if (FConstraints->MinWidth() > 0)
        info->ptMinTrackSize.x = FConstraints->MinWidth();
    if (FConstraints->MinHeight() > 0)
        info->ptMinTrackSize.y = FConstraints->MinHeight();
    if (FConstraints->MaxWidth() > 0)
        info->ptMaxTrackSize.x = FConstraints->MaxWidth();
    if (FConstraints->MaxHeight() > 0)
        info->ptMaxTrackSize.y = FConstraints->MaxHeight();
    Message.Result = 0;
}

void TWinControl::CMInvalidate(TMessage& Message)
{
    // WParam 1: a child of this control was invalidated; the parents hear of it all the way up.
    if (!FHandle)
        return;
    if (FParent)
        FParent->Perform(CM_INVALIDATE, 1, 0);
    if (Message.WParam == 0)
        InvalidateRect(FHandle, nullptr, !FControlStyle.Contains(csOpaque));
}

void TWinControl::SetZOrder(bool TopMost)
{
    if (!FParent) {
        if (FHandle)
            SetWindowPos(FHandle, TopMost ? HWND_TOP : HWND_BOTTOM, 0, 0, 0, 0,
                         SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        return;
    }
    if (!MoveInZOrder(FParent->FWinControls, this, TopMost))
        return;
    if (FHandle)
        SetWindowPos(FHandle, TopMost ? HWND_TOP : HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void TWinControl::PaintControls(HDC DC, TControl* First)
{
    size_t i = 0;
    if (First) {
        auto it = std::find(FControls.begin(), FControls.end(), First);
        if (it != FControls.end())
            i = static_cast<size_t>(it - FControls.begin());
    }
    for (; i < FControls.size(); ++i) {
        TControl* c = FControls[i];
        TRect r = c->BoundsRect();
        if (!c->FVisible || !RectVisible(DC, &r))
            continue;
        if (FControlState.Contains(csPaintCopy))
            c->FControlState.Include(csPaintCopy);
        int saved = SaveDC(DC);
        POINT org;
        GetWindowOrgEx(DC, &org);
        SetWindowOrgEx(DC, org.x - c->FLeft, org.y - c->FTop, nullptr);
        IntersectClipRect(DC, 0, 0, c->FWidth, c->FHeight);
        try {
            c->Perform(WM_PAINT, reinterpret_cast<WPARAM>(DC), 0);
        } catch (...) {
            RestoreDC(DC, saved);
            c->FControlState.Exclude(csPaintCopy);
            throw;
        }
        RestoreDC(DC, saved);
        c->FControlState.Exclude(csPaintCopy);
    }
}

void TWinControl::PaintWindow(HDC DC)
{
    TMessage m = MakeMessage(WM_PAINT, reinterpret_cast<WPARAM>(DC), 0);
    DefaultHandler(m);
}

void TWinControl::PaintHandler(TWMPaint& Message)
{
    const TPaintDC paint(FHandle, Message.DC);
    const HDC dc = paint.Handle();
    if (FControls.empty()) {
        PaintWindow(dc);
    } else {
        const TSavedDC saved(dc);
        int region = SIMPLEREGION;
        for (TControl* c : FControls)
            if (c->FVisible && c->FControlStyle.Contains(csOpaque))
                region = ExcludeClipRect(dc, c->FLeft, c->FTop, c->FLeft + c->FWidth, c->FTop + c->FHeight);
        if (region != NULLREGION)
            PaintWindow(dc);
    }
    PaintControls(dc, nullptr);
}

void TWinControl::WMPaint(TMessage& Message)
{
    if (!FControlState.Contains(csCustomPaint) && FControls.empty())
        DefaultHandler(Message);
    else
        PaintHandler(MessageAs<TWMPaint>(Message));
}

void TWinControl::WMPrintClient(TMessage& Message)
{
    auto& m = MessageAs<TWMPrint>(Message);
    if ((m.Flags & PRF_CHECKVISIBLE) && !IsWindowVisible(FHandle)) {
        DefaultHandler(Message);
        return;
    }
    if (!FControlState.Contains(csCustomPaint) && FControls.empty()) {
        DefaultHandler(Message);
        return;
    }
    TMessage paint = MakeMessage(WM_PAINT, Message.WParam, 0);
    PaintHandler(MessageAs<TWMPaint>(paint));
}

void TWinControl::WMEraseBkgnd(TMessage& Message)
{
    HDC dc = reinterpret_cast<HDC>(Message.WParam);
    TRect r = ClientRect();
    FillRect(dc, &r, FBrush->Handle());
    Message.Result = 1;
}

// --- Canvas of a control ----------------------------------------------------------------------

TControlCanvas::~TControlCanvas() { FreeHandle(); }

void TControlCanvas::CreateHandle()
{
    if (!Control)
        return;
    // A context kept from earlier drawing is taken up again (a paint lends the canvas another
    // context and takes it back, which leaves this one in place).
    if (FDeviceContext) {
        SetHandle(FDeviceContext);
        return;
    }
    if (auto* w = dynamic_cast<TWinControl*>(Control)) {
        FWindowHandle = w->Handle();
        FDeviceContext = GetDC(FWindowHandle);
    } else {
        TWinControl* parent = Control->Parent();
        if (!parent)
            return;
        FWindowHandle = parent->Handle();
        FDeviceContext = GetDC(FWindowHandle);
        SetWindowOrgEx(FDeviceContext, -Control->Left(), -Control->Top(), nullptr);
        IntersectClipRect(FDeviceContext, 0, 0, Control->Width(), Control->Height());
    }
    gCanvasesWithDC.push_back(this);
    SetHandle(FDeviceContext);
}

void TControlCanvas::FreeHandle()
{
    if (FDeviceContext) {
        std::erase(gCanvasesWithDC, this);
        HDC dc = FDeviceContext;
        HWND wnd = FWindowHandle;
        FDeviceContext = nullptr;
        FWindowHandle = nullptr;
        TCanvas::FreeHandle();
        ReleaseDC(wnd, dc);
        return;
    }
    TCanvas::FreeHandle();
}

// --- TGraphicControl --------------------------------------------------------------------------

TGraphicControl::TGraphicControl(TComponent* AOwner)
    : TControl(AOwner), FCanvas(std::make_unique<TControlCanvas>())
{
    FCanvas->Control = this;
}

TGraphicControl::~TGraphicControl() = default;

void TGraphicControl::Dispatch(TMessage& Message)
{
    if (Message.Msg == WM_PAINT) {
        WMPaint(Message);
        return;
    }
    inherited::Dispatch(Message);
}

void TGraphicControl::WMPaint(TMessage& Message)
{
    HDC dc = reinterpret_cast<HDC>(Message.WParam);
    if (!dc)
        return;
    PaintOnCanvas(*FCanvas, dc, FFont.get(), [this] { Paint(); });
}

// --- TCustomControl ---------------------------------------------------------------------------

TCustomControl::TCustomControl(TComponent* AOwner)
    : TWinControl(AOwner), FCanvas(std::make_unique<TControlCanvas>())
{
    FCanvas->Control = this;
}

TCustomControl::~TCustomControl()
{
    FCanvas->FreeHandle();
}

void TCustomControl::Dispatch(TMessage& Message)
{
    if (Message.Msg == WM_PAINT || Message.Msg == WM_PRINTCLIENT) {
        FControlState.Include(csCustomPaint);
        try {
            inherited::Dispatch(Message);
        } catch (...) {
            FControlState.Exclude(csCustomPaint);
            throw;
        }
        FControlState.Exclude(csCustomPaint);
        return;
    }
    inherited::Dispatch(Message);
}

void TCustomControl::PaintWindow(HDC DC)
{
    PaintOnCanvas(*FCanvas, DC, FFont.get(), [this] { Paint(); });
}

