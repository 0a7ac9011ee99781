// Hints of the Forms unit (declared in Forms.h): the hint window and the application's hint
// tracking (the pause, CM_HINTSHOW, the hint window class, the hide pause).
#include "Forms.h"

#include <algorithm>

// --- Hints --------------------------------------------------------------------------------

THintWindowClass HintWindowClass = [](TComponent* AOwner) -> THintWindow* { return Create<THintWindow>(AOwner); };

THintWindow::THintWindow(TComponent* AOwner) : TCustomControl(AOwner)
{
    SetColor(clInfoBk);
    Font()->SetColor(clInfoText);
    SetVisible(false);
}

void THintWindow::CreateParams(TCreateParams& Params)
{
    inherited::CreateParams(Params);
    Params.Style = WS_POPUP | WS_BORDER;
    Params.ExStyle = WS_EX_TOOLWINDOW | WS_EX_TOPMOST;
    Params.WndParent = Application ? Application->Handle() : nullptr;
    Params.WindowClass.style |= CS_SAVEBITS;
}

TRect THintWindow::CalcHintRect(int MaxWidth, const AnsiString& AHint, void*)
{
    TRect r{0, 0, MaxWidth, 0};
    HDC dc = GetDC(nullptr);
    HGDIOBJ old = SelectObject(dc, Font()->Handle());
    DrawTextA(dc, AHint.c_str(), static_cast<int>(AHint.size()), &r,
              DT_CALCRECT | DT_LEFT | DT_WORDBREAK | DT_NOPREFIX);
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    r.right += 6;
    r.bottom += 2;
    return r;
}

void THintWindow::ActivateHint(TRect Rect, const AnsiString& AHint)
{
    SetCaption(AHint);
    // Keep the hint on the monitor that holds its top-left corner.
    if (Screen) {
        TMonitor* m = Screen->MonitorFromPoint(TPoint{Rect.left, Rect.top});
        if (m) {
            const TRect b = m->BoundsRect();
            const int w = Rect.right - Rect.left, h = Rect.bottom - Rect.top;
            if (Rect.right > b.right)
                Rect.left = std::max<int>(b.left, b.right - w);
            if (Rect.bottom > b.bottom)
                Rect.top = std::max<int>(b.top, Rect.top - h - 20);
            Rect.right = Rect.left + w;
            Rect.bottom = Rect.top + h;
        }
    }
    SetBounds(Rect.left, Rect.top, Rect.right - Rect.left, Rect.bottom - Rect.top);
    SetWindowPos(Handle(), HWND_TOPMOST, Rect.left, Rect.top, Rect.right - Rect.left, Rect.bottom - Rect.top,
                 SWP_SHOWWINDOW | SWP_NOACTIVATE);
    Invalidate();
}

void THintWindow::ReleaseHandle()
{
    if (HandleAllocated())
        ShowWindow(Handle(), SW_HIDE);
}

bool THintWindow::IsHintShown() const
{
    return FHandle && IsWindowVisible(FHandle);
}

void THintWindow::Paint()
{
    TCanvas* c = Canvas();
    TRect r = ClientRect();
    c->Brush()->SetColor(Color());
    c->FillRect(r);
    r.left += 2;
    r.top += 1;
    c->Font()->Assign(Font());
    const AnsiString text = Text();
    SetBkMode(c->Handle(), TRANSPARENT);
    DrawTextA(c->Handle(), text.c_str(), static_cast<int>(text.size()), &r, DT_LEFT | DT_WORDBREAK | DT_NOPREFIX);
}

namespace {
constexpr UINT_PTR kHintTimerId = 0x4B1;

// The hint text of a control: the part before "|" (the part after it is the long hint).
AnsiString ShortHint(const AnsiString& hint)
{
    auto bar = hint.find('|');
    return bar == AnsiString::npos ? hint : hint.substr(0, bar);
}

AnsiString LongHint(const AnsiString& hint)
{
    auto bar = hint.find('|');
    return bar == AnsiString::npos ? hint : hint.substr(bar + 1);
}
} // namespace

void TApplication::StartHintTimer(int Delay, int Kind)
{
    StopHintTimer();
    FHintTimerKind = Kind;
    SetTimer(FHandle, kHintTimerId, static_cast<UINT>(std::max(1, Delay)), HintTimerProc);
}

void TApplication::StopHintTimer()
{
    if (FHintTimerKind) {
        KillTimer(FHandle, kHintTimerId);
        FHintTimerKind = 0;
    }
}

void CALLBACK TApplication::HintTimerProc(HWND, UINT, UINT_PTR, DWORD)
{
    if (!Application)
        return;
    try {
        Application->HintTimerExpired();
    } catch (...) {
        Application->HandleException(Application);
    }
}

void TApplication::HintTimerExpired()
{
    const int kind = FHintTimerKind;
    StopHintTimer();
    if (kind == 1 && FHintControl && FShowHint) {
        POINT p;
        GetCursorPos(&p);
        if (FindDragTarget(p, false) == FHintControl)
            ShowHintFor(FHintControl);
    } else if (kind == 2) {
        if (FHintWindow)
            FHintWindow->ReleaseHandle();
    }
}

void TApplication::SetHintControl(TControl* Control)
{
    // The control is watched so that a freed one is never shown a hint.
    if (FHintControl && FHintControl != Control)
        RemoveFreeNotification(FHintControl);
    FHintControl = Control;
    if (Control)
        FreeNotification(Control);
}

void TApplication::CancelHint()
{
    StopHintTimer();
    if (FHintWindow)
        FHintWindow->ReleaseHandle();
    SetHintControl(nullptr);
    FHintActive = false;
}

void TApplication::HintQueueMessage(const MSG& Msg)
{
    switch (Msg.message) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_NCLBUTTONDOWN:
    case WM_NCRBUTTONDOWN:
    case WM_NCMBUTTONDOWN:
    case WM_ACTIVATEAPP:
    case WM_MOUSEWHEEL:
        if (FHintWindow && FHintWindow->IsHintShown())
            FHintWindow->ReleaseHandle();
        StopHintTimer();
        break;
    default: break;
    }
}

void TApplication::HintMouseMessage(TControl* Control, TMessage& Message)
{
    if (Message.Msg != WM_MOUSEMOVE && Message.Msg != CM_MOUSELEAVE)
        return;
    if (Message.Msg == CM_MOUSELEAVE) {
        if (Control == FHintControl)
            CancelHint();
        return;
    }
    if (!FShowHint || !Control)
        return;
    // The control under the mouse that shows hints (its parents' settings are inherited).
    TControl* target = Control;
    if (target == FHintControl && FHintActive && FHintWindow && FHintWindow->IsHintShown()) {
        // The hint belongs to the part of the control it was shown for (CursorRect, which
        // CM_HINTSHOW may narrow to a tab): leaving that part shows the next hint at once.
        auto& m = MessageAs<TWMMouse>(Message);
        POINT p{m.XPos, m.YPos};
        if (!PtInRect(&FHintCursorRect, p)) {
            FHintWindow->ReleaseHandle();
            StartHintTimer(HintShortPause, 1);
        }
        return;
    }
    if (target != FHintControl) {
        if (FHintWindow)
            FHintWindow->ReleaseHandle();
        StopHintTimer();
        SetHintControl(target);
        SetHint(LongHint(target->Hint()));
        if (target->ShowHint() && !target->Hint().empty())
            StartHintTimer(FHintActive ? HintShortPause : HintPause, 1);
    }
}

void TApplication::ShowHintFor(TControl* Control)
{
    THintInfo info;
    info.HintControl = Control;
    info.HintWindowClass = HintWindowClass;
    POINT cursor;
    GetCursorPos(&cursor);
    info.CursorPos = Control->ScreenToClient(cursor);
    info.HintPos = TPoint{cursor.x, cursor.y + 20};
    info.HintMaxWidth = Screen ? Screen->Width() : 640;
    info.HintColor = HintColor;
    info.CursorRect = Control->ClientRect();
    info.HideTimeout = HintHidePause;
    info.HintStr = ShortHint(Control->Hint());
    // The control may change the hint or refuse it (non-zero result).
    TMessage m = MakeMessage(CM_HINTSHOW, 0, reinterpret_cast<LPARAM>(&info));
    Control->Perform(m);
    bool canShow = m.Result == 0;
    if (canShow && OnShowHint)
        OnShowHint(info.HintStr, canShow, info);
    if (!canShow || info.HintStr.empty()) {
        FHintActive = false;
        return;
    }
    FHintCursorRect = info.CursorRect;
    // The window is made from the hint window class on first use, and again when the class
    // (also one chosen by the control in CM_HINTSHOW) is not the one it was made from.
    if (FHintWindow && FHintWindowClass != info.HintWindowClass) {
        THintWindow* old = FHintWindow;
        FHintWindow = nullptr;
        if (old->Owner() != this)
            RemoveFreeNotification(old);
        old->Free();
    }
    if (!FHintWindow && info.HintWindowClass) {
        FHintWindow = info.HintWindowClass(this);
        FHintWindowClass = info.HintWindowClass;
        if (FHintWindow && FHintWindow->Owner() != this)
            FreeNotification(FHintWindow);
    }
    if (!FHintWindow)
        return;
    FHintWindow->SetColor(info.HintColor);
    TRect r = FHintWindow->CalcHintRect(info.HintMaxWidth, info.HintStr, info.HintData);
    OffsetRect(&r, info.HintPos.x, info.HintPos.y);
    FHintWindow->ActivateHintData(r, info.HintStr, info.HintData);
    FHintActive = true;
    if (info.HideTimeout > 0)
        StartHintTimer(info.HideTimeout, 2);
}

