#include "Controls.h"

#include <algorithm>
#include <map>
#include <unordered_map>

#include "Menus.h" // a control follows the life of its pop-up menu


// --- Globals of the unit ---------------------------------------------------------------------

namespace {

// The object of each window of ours, from its first message to WM_NCDESTROY. Kept in the
// process: a window property or a window's extra bytes cost a round trip to the window server
// under Wine (a property on every message read, extra bytes on every write).
struct TWindowMap {
    SRWLOCK lock = SRWLOCK_INIT;
    std::unordered_map<HWND, TWinControl*> controls;
};

TWindowMap& WindowMap()
{
    static TWindowMap map;
    return map;
}

TWinControl* BoundControl(HWND Wnd)
{
    TWindowMap& m = WindowMap();
    AcquireSRWLockShared(&m.lock);
    auto it = m.controls.find(Wnd);
    TWinControl* control = it == m.controls.end() ? nullptr : it->second;
    ReleaseSRWLockShared(&m.lock);
    return control;
}

void BindControl(HWND Wnd, TWinControl* Control)
{
    TWindowMap& m = WindowMap();
    AcquireSRWLockExclusive(&m.lock);
    if (Control)
        m.controls[Wnd] = Control;
    else
        m.controls.erase(Wnd);
    ReleaseSRWLockExclusive(&m.lock);
}

// The standard arrow, loaded once (each load is slow under Wine).
HCURSOR ArrowCursor()
{
    static const HCURSOR arrow = LoadCursorA(nullptr, IDC_ARROW);
    return arrow;
}

// The frame that window styles give a window, computed once per pair of styles (slow under
// Wine); forgotten when the system's metrics change.
struct TFrameCache {
    SRWLOCK lock = SRWLOCK_INIT;
    std::map<std::pair<DWORD, DWORD>, RECT> frames;
} gFrameCache;

RECT FrameOfStyles(DWORD Style, DWORD ExStyle)
{
    const auto key = std::make_pair(Style, ExStyle);
    AcquireSRWLockShared(&gFrameCache.lock);
    auto it = gFrameCache.frames.find(key);
    const bool known = it != gFrameCache.frames.end();
    RECT frame = known ? it->second : RECT{0, 0, 0, 0};
    ReleaseSRWLockShared(&gFrameCache.lock);
    if (known)
        return frame;
    AdjustWindowRectEx(&frame, Style, FALSE, ExStyle);
    AcquireSRWLockExclusive(&gFrameCache.lock);
    gFrameCache.frames[key] = frame;
    ReleaseSRWLockExclusive(&gFrameCache.lock);
    return frame;
}

void ForgetFrames()
{
    AcquireSRWLockExclusive(&gFrameCache.lock);
    gFrameCache.frames.clear();
    ReleaseSRWLockExclusive(&gFrameCache.lock);
}

// The control whose window is being created: bound to the window at its first message.
thread_local TWinControl* tCreationControl = nullptr;

// Set while CreateParams runs only to learn the window's styles: no parent window is made then.
thread_local bool tParamsOnly = false;

// Canvases that hold a DC of a window, released before that window goes.
std::vector<TControlCanvas*> gCanvasesWithDC;

TControl* gCaptureControl = nullptr;
TControl* gMouseControl = nullptr;
UINT_PTR gMousePollTimer = 0;

// Drag state.
struct DragState {
    TControl* Control = nullptr;  // the control being dragged
    TDragObject* Object = nullptr;
    bool OwnObject = false;
    bool Started = false; // past the threshold
    TPoint StartPos{};
    int Threshold = 0;
    TControl* Target = nullptr;
    HWND CaptureWnd = nullptr;
    HCURSOR SaveCursor = nullptr;
} gDrag;

void DefaultHandleException(TObject*)
{
    try {
        throw;
    } catch (EAbort&) {
    } catch (Exception& e) {
        MessageBoxA(nullptr, e.Message.c_str(), "Error", MB_OK | MB_ICONSTOP | MB_TASKMODAL);
    } catch (std::exception& e) {
        MessageBoxA(nullptr, e.what(), "Error", MB_OK | MB_ICONSTOP | MB_TASKMODAL);
    } catch (...) {
        MessageBoxA(nullptr, "Unknown error", "Error", MB_OK | MB_ICONSTOP | MB_TASKMODAL);
    }
}

HCURSOR DefaultCursorHandle(TCursor Cursor)
{
    LPCSTR id = IDC_ARROW;
    switch (Cursor) {
    case crNone:
        return nullptr;
    case crCross: id = IDC_CROSS; break;
    case crIBeam: id = IDC_IBEAM; break;
    case crSizeNESW: id = IDC_SIZENESW; break;
    case crSizeNS: case crVSplit: id = IDC_SIZENS; break;
    case crSizeNWSE: id = IDC_SIZENWSE; break;
    case crSizeWE: case crHSplit: id = IDC_SIZEWE; break;
    case crUpArrow: id = IDC_UPARROW; break;
    case crHourGlass: case crSQLWait: id = IDC_WAIT; break;
    case crNoDrop: case crNo: id = IDC_NO; break;
    case crAppStart: id = IDC_APPSTARTING; break;
    case crHelp: id = IDC_HELP; break;
    case crHandPoint: id = IDC_HAND; break;
    case crSizeAll: id = IDC_SIZEALL; break;
    default: break;
    }
    return LoadCursorA(nullptr, id);
}

TCursor DefaultScreenCursor() { return crDefault; }

bool DefaultPopupMenu(TPopupMenu*, TControl*, int, int) { return false; }
bool DefaultPopupShortCut(TPopupMenu*, TWMKey&) { return false; }

TPoint SmallPointToPoint(LPARAM L)
{
    return TPoint{static_cast<SmallInt>(LOWORD(L)), static_cast<SmallInt>(HIWORD(L))};
}

LPARAM PointToLParam(TPoint P) { return MAKELPARAM(static_cast<Word>(P.x), static_cast<Word>(P.y)); }

bool IsMouseMsg(UINT Msg) { return Msg >= WM_MOUSEFIRST && Msg <= WM_MOUSELAST; }

// Moves Item to the end (TopMost) or the front of a z-ordered list; false when it is not there.
template <class T>
bool MoveInZOrder(std::vector<T*>& List, T* Item, bool TopMost)
{
    auto it = std::find(List.begin(), List.end(), Item);
    if (it == List.end())
        return false;
    List.erase(it);
    if (TopMost)
        List.push_back(Item);
    else
        List.insert(List.begin(), Item);
    return true;
}

// Lends DC to a control's canvas, locked and with the control's font, for one Paint call; the
// canvas lets go of the DC even when Paint throws.
template <class PaintFn>
void PaintOnCanvas(TCanvas& Canvas, HDC DC, TFont* Font, PaintFn&& Paint)
{
    Canvas.Lock();
    try {
        Canvas.SetHandle(DC);
        Canvas.Font()->Assign(Font);
        Paint();
    } catch (...) {
        Canvas.SetHandle(nullptr);
        Canvas.Unlock();
        throw;
    }
    Canvas.SetHandle(nullptr);
    Canvas.Unlock();
}

} // namespace

void (*HandleExceptionHook)(TObject* Sender) = DefaultHandleException;

namespace {
HCURSOR CursorHandle(TCursor Cursor)
{
    HCURSOR h = CursorHandleHook ? CursorHandleHook(Cursor) : nullptr;
    return h ? h : DefaultCursorHandle(Cursor);
}
} // namespace
bool (*PopupMenuHook)(TPopupMenu* Menu, TControl* Sender, int X, int Y) = DefaultPopupMenu;
bool (*PopupMenuShortCutHook)(TPopupMenu* Menu, TWMKey& Message) = DefaultPopupShortCut;
void (*HintMouseMessageHook)(TControl* Control, TMessage& Message) = nullptr;
HCURSOR (*CursorHandleHook)(TCursor Cursor) = DefaultCursorHandle;
TCursor (*ScreenCursorHook)() = DefaultScreenCursor;

void HandleCurrentException(TObject* Sender) noexcept
{
    try {
        if (HandleExceptionHook)
            HandleExceptionHook(Sender);
        else
            DefaultHandleException(Sender);
    } catch (...) {
        // Reporting failed; nothing may leave a window procedure.
    }
}

TShiftState KeysToShiftState(Word Keys)
{
    TShiftState s;
    if (Keys & MK_SHIFT)
        s.Include(ssShift);
    if (Keys & MK_CONTROL)
        s.Include(ssCtrl);
    if (Keys & MK_LBUTTON)
        s.Include(ssLeft);
    if (Keys & MK_RBUTTON)
        s.Include(ssRight);
    if (Keys & MK_MBUTTON)
        s.Include(ssMiddle);
    if (GetKeyState(VK_MENU) < 0)
        s.Include(ssAlt);
    return s;
}

TShiftState KeyDataToShiftState(LONG KeyData)
{
    TShiftState s;
    if (GetKeyState(VK_SHIFT) < 0)
        s.Include(ssShift);
    if (GetKeyState(VK_CONTROL) < 0)
        s.Include(ssCtrl);
    if (KeyData & 0x20000000)
        s.Include(ssAlt);
    return s;
}

TShiftState GetShiftState()
{
    TShiftState s;
    if (GetKeyState(VK_SHIFT) < 0)
        s.Include(ssShift);
    if (GetKeyState(VK_CONTROL) < 0)
        s.Include(ssCtrl);
    if (GetKeyState(VK_MENU) < 0)
        s.Include(ssAlt);
    if (GetKeyState(VK_LBUTTON) < 0)
        s.Include(ssLeft);
    if (GetKeyState(VK_RBUTTON) < 0)
        s.Include(ssRight);
    if (GetKeyState(VK_MBUTTON) < 0)
        s.Include(ssMiddle);
    return s;
}

// --- Window procedure of every framework window ----------------------------------------------

LRESULT CALLBACK StdWndProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam)
{
    TWinControl* control = BoundControl(Wnd);
    if (!control) {
        control = tCreationControl;
        if (!control)
            return DefWindowProcA(Wnd, Msg, WParam, LParam);
        // The first message of a window being created binds it to its object.
        tCreationControl = nullptr;
        control->FHandle = Wnd;
        BindControl(Wnd, control);
    }
    TMessage message = MakeMessage(Msg, WParam, LParam);
    try {
        // Enter/leave tracking does not depend on who has taken over the window procedure.
        if (Msg == WM_MOUSEMOVE || Msg == WM_NCMOUSEMOVE || Msg == WM_MOUSELEAVE || Msg == WM_NCMOUSELEAVE)
            control->MouseTracking(message);
        control->WindowProc(message);
    } catch (...) {
        HandleCurrentException(control);
    }
    // The object may be gone now (a handler can free it): only the window is touched below.
    if (Msg == WM_NCDESTROY)
        BindControl(Wnd, nullptr);
    return message.Result;
}

TWinControl* FindControl(HWND Handle) { return Handle ? BoundControl(Handle) : nullptr; }

bool IsVCLWindow(HWND Handle) { return FindControl(Handle) != nullptr; }

namespace {
// The framework control of a window or of its nearest ancestor that has one.
TWinControl* NearestControl(HWND Wnd)
{
    while (Wnd) {
        if (TWinControl* c = FindControl(Wnd))
            return c;
        if (!(GetWindowLongA(Wnd, GWL_STYLE) & WS_CHILD))
            return nullptr;
        Wnd = GetParent(Wnd);
    }
    return nullptr;
}
} // namespace

TWinControl* FindVCLWindow(TPoint Pos) { return NearestControl(WindowFromPoint(Pos)); }

TControl* FindDragTarget(TPoint Pos, bool AllowDisabled)
{
    TWinControl* win = FindVCLWindow(Pos);
    if (!win)
        return nullptr;
    if (TControl* child = win->ControlAtPos(win->ScreenToClient(Pos), AllowDisabled))
        return child;
    return win;
}

TControl* GetCaptureControl()
{
    HWND capture = GetCapture();
    if (!capture) {
        gCaptureControl = nullptr;
        return nullptr;
    }
    if (gCaptureControl && gCaptureControl->Parent() && gCaptureControl->Parent()->HandleAllocated() &&
        gCaptureControl->Parent()->Handle() == capture)
        return gCaptureControl;
    return FindControl(capture);
}

void SetCaptureControl(TControl* Control)
{
    ReleaseCapture();
    gCaptureControl = nullptr;
    if (!Control)
        return;
    if (auto* win = dynamic_cast<TWinControl*>(Control)) {
        SetCapture(win->Handle());
        return;
    }
    if (Control->Parent()) {
        gCaptureControl = Control;
        SetCapture(Control->Parent()->Handle());
    }
}

TControl* MouseControl() { return gMouseControl; }

// --- Mouse enter / leave ------------------------------------------------------------------------

namespace {

void CALLBACK PollMouse(HWND, UINT, UINT_PTR, DWORD);

// Makes Target the control under the mouse: CM_MOUSELEAVE to the old one, CM_MOUSEENTER to the
// new. While the mouse is captured only the capturing control hears of it.
void SetMouseControl(TControl* Target)
{
    if (gMouseControl == Target)
        return;
    TControl* capture = GetCaptureControl();
    TControl* old = gMouseControl;
    gMouseControl = Target;
    if (old && (!capture || old == capture))
        old->Perform(CM_MOUSELEAVE, 0, reinterpret_cast<LPARAM>(old));
    if (gMouseControl != Target)
        return; // a handler moved it on
    if (Target && (!capture || Target == capture))
        Target->Perform(CM_MOUSEENTER, 0, reinterpret_cast<LPARAM>(Target));
}

// The control under the cursor now, including windows without an object of their own (native
// children of a control count as that control).
TControl* ControlUnderCursor()
{
    POINT p;
    if (!GetCursorPos(&p))
        return nullptr;
    return FindDragTarget(p, true);
}

void StartPolling()
{
    if (!gMousePollTimer)
        gMousePollTimer = SetTimer(nullptr, 0, 50, PollMouse);
}

void StopPolling()
{
    if (gMousePollTimer) {
        KillTimer(nullptr, gMousePollTimer);
        gMousePollTimer = 0;
    }
}

// Used while the mouse is over a window that reports no mouse messages to us (a native child
// window of a control): polls until the mouse is over a window of ours again.
void CALLBACK PollMouse(HWND, UINT, UINT_PTR, DWORD)
{
    try {
        POINT p;
        GetCursorPos(&p);
        HWND under = WindowFromPoint(p);
        TControl* target = ControlUnderCursor();
        SetMouseControl(target);
        if (!target || FindControl(under))
            StopPolling();
    } catch (...) {
        HandleCurrentException(nullptr);
    }
}

} // namespace

void TWinControl::TrackMouse(bool NonClient)
{
    TRACKMOUSEEVENT tme{};
    tme.cbSize = sizeof(tme);
    tme.dwFlags = TME_LEAVE | (NonClient ? TME_NONCLIENT : 0);
    tme.hwndTrack = FHandle;
    TrackMouseEvent(&tme);
}

void TWinControl::MouseTracking(const TMessage& Message)
{
    switch (Message.Msg) {
    case WM_MOUSEMOVE: {
        // Enter/leave: the windowless child under the mouse, or this control.
        TControl* target = this;
        if (GetCapture() != FHandle || !gCaptureControl) {
            if (TControl* child = ControlAtPos(SmallPointToPoint(Message.LParam), true))
                target = child;
        } else if (gCaptureControl->FParent == this) {
            target = gCaptureControl;
        }
        TrackMouse(false);
        StopPolling();
        SetMouseControl(target);
        break;
    }
    case WM_NCMOUSEMOVE:
        TrackMouse(true);
        StopPolling();
        SetMouseControl(this);
        break;
    case WM_MOUSELEAVE:
    case WM_NCMOUSELEAVE:
        MouseLeft();
        break;
    default:
        break;
    }
}

void TWinControl::MouseLeft()
{
    // The mouse left this window's client or non-client area: find where it went.
    POINT p;
    GetCursorPos(&p);
    HWND under = WindowFromPoint(p);
    TControl* target = ControlUnderCursor();
    SetMouseControl(target);
    if (target && !FindControl(under))
        StartPolling();
}

// --- TDragObject ------------------------------------------------------------------------------

TCursor TDragObject::GetDragCursor(bool Accepted, int, int) { return Accepted ? crDrag : crNoDrop; }

TCursor TDragControlObject::GetDragCursor(bool Accepted, int, int)
{
    return Accepted ? Control->DragCursor : crNoDrop;
}

void TDragControlObject::Finished(TObject* Target, int X, int Y, bool)
{
    Control->DoEndDrag(Target, X, Y);
}

namespace {

LRESULT CALLBACK DragCaptureProc(HWND, UINT, WPARAM, LPARAM);

HWND DragCaptureWindow()
{
    static bool registered = false;
    if (!registered) {
        WNDCLASSA wc{};
        wc.lpfnWndProc = DragCaptureProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "Vellorn.DragCapture";
        RegisterClassA(&wc);
        registered = true;
    }
    return CreateWindowExA(WS_EX_TOOLWINDOW, "Vellorn.DragCapture", "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                           GetModuleHandleA(nullptr), nullptr);
}

LRESULT SendDragMessage(TControl* Target, TDragMessage Msg, TDragObject* Source, TPoint ScreenPos)
{
    if (!Target)
        return 0;
    TDragRec rec;
    rec.Pos = ScreenPos;
    rec.Source = Source;
    rec.Target = Target;
    return Target->Perform(CM_DRAG, static_cast<WPARAM>(Msg), reinterpret_cast<LPARAM>(&rec));
}

TObject* DragSourceObject(TDragObject* Obj)
{
    if (auto* c = dynamic_cast<TDragControlObject*>(Obj))
        return c->Control;
    return Obj;
}

void DragTo(TPoint Pos)
{
    if (!gDrag.Started) {
        if (std::abs(Pos.x - gDrag.StartPos.x) < gDrag.Threshold && std::abs(Pos.y - gDrag.StartPos.y) < gDrag.Threshold)
            return;
        gDrag.Started = true;
    }
    TControl* target = FindDragTarget(Pos, false);
    if (target != gDrag.Target) {
        if (gDrag.Target)
            SendDragMessage(gDrag.Target, dmDragLeave, gDrag.Object, Pos);
        gDrag.Target = target;
        gDrag.Object->DragTarget = target;
        if (target)
            SendDragMessage(target, dmDragEnter, gDrag.Object, Pos);
    }
    gDrag.Object->DragPos = Pos;
    bool accepted = target && SendDragMessage(target, dmDragMove, gDrag.Object, Pos) != 0;
    if (target)
        gDrag.Object->DragTargetPos = target->ScreenToClient(Pos);
    SetCursor(CursorHandle(gDrag.Object->GetDragCursor(accepted, Pos.x, Pos.y)));
}

void DragDone(bool Drop)
{
    if (!gDrag.Object)
        return;
    DragState state = gDrag;
    gDrag = DragState{};
    if (state.CaptureWnd) {
        if (GetCapture() == state.CaptureWnd)
            ReleaseCapture();
        DestroyWindow(state.CaptureWnd);
    }
    TObject* target = nullptr;
    TPoint targetPos{};
    bool accepted = false;
    if (state.Target && state.Started) {
        TPoint pos = state.Object->DragPos;
        accepted = Drop && SendDragMessage(state.Target, dmDragMove, state.Object, pos) != 0;
        targetPos = state.Target->ScreenToClient(pos);
        if (accepted) {
            target = state.Target;
            state.Object->Dropped = true;
            SendDragMessage(state.Target, dmDragDrop, state.Object, pos);
        } else {
            SendDragMessage(state.Target, dmDragLeave, state.Object, pos);
        }
    }
    state.Object->Cancelling = !Drop;
    try {
        state.Object->Finished(target, targetPos.x, targetPos.y, accepted);
    } catch (...) {
        if (state.OwnObject)
            delete state.Object;
        throw;
    }
    if (state.OwnObject)
        delete state.Object;
}

LRESULT CALLBACK DragCaptureProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam)
{
    try {
        switch (Msg) {
        case WM_MOUSEMOVE: {
            POINT p{static_cast<SmallInt>(LOWORD(LParam)), static_cast<SmallInt>(HIWORD(LParam))};
            ClientToScreen(Wnd, &p);
            DragTo(p);
            return 0;
        }
        case WM_LBUTTONUP:
            DragDone(true);
            return 0;
        case WM_RBUTTONDOWN:
        case WM_CANCELMODE:
            DragDone(false);
            return 0;
        case WM_CAPTURECHANGED:
            if (reinterpret_cast<HWND>(LParam) != Wnd && gDrag.CaptureWnd == Wnd)
                DragDone(false);
            return 0;
        default:
            break;
        }
    } catch (...) {
        HandleCurrentException(nullptr);
    }
    return DefWindowProcA(Wnd, Msg, WParam, LParam);
}

} // namespace

bool Dragging() { return gDrag.Object != nullptr; }

void CancelDrag()
{
    if (gDrag.Object)
        DragDone(false);
}

// --- Size constraints ------------------------------------------------------------------------

void TSizeConstraints::Assign(TPersistent* Source)
{
    if (auto* src = dynamic_cast<TSizeConstraints*>(Source)) {
        FMinWidth = src->FMinWidth;
        FMinHeight = src->FMinHeight;
        FMaxWidth = src->FMaxWidth;
        FMaxHeight = src->FMaxHeight;
        Change();
        return;
    }
    inherited::Assign(Source);
}

namespace {
// Sets one limit (0: none); a minimum above the maximum raises the maximum, a maximum below the
// minimum lowers the minimum. Answers whether anything changed.
bool SetLimit(int& Limit, int& Counterpart, int Value, bool IsMinimum)
{
    Value = std::max(0, Value);
    if (Limit == Value)
        return false;
    Limit = Value;
    if (IsMinimum && Counterpart > 0 && Counterpart < Value)
        Counterpart = Value;
    if (!IsMinimum && Value > 0 && Counterpart > Value)
        Counterpart = Value;
    return true;
}
} // namespace

void TSizeConstraints::SetMinWidth(int Value)
{
    if (SetLimit(FMinWidth, FMaxWidth, Value, true))
        Change();
}

void TSizeConstraints::SetMinHeight(int Value)
{
    if (SetLimit(FMinHeight, FMaxHeight, Value, true))
        Change();
}

void TSizeConstraints::SetMaxWidth(int Value)
{
    if (SetLimit(FMaxWidth, FMinWidth, Value, false))
        Change();
}

void TSizeConstraints::SetMaxHeight(int Value)
{
    if (SetLimit(FMaxHeight, FMinHeight, Value, false))
        Change();
}

void TSizeConstraints::Constrain(int& Width, int& Height) const
{
    if (FMaxWidth > 0)
        Width = std::min(Width, FMaxWidth);
    Width = std::max(Width, FMinWidth);
    if (FMaxHeight > 0)
        Height = std::min(Height, FMaxHeight);
    Height = std::max(Height, FMinHeight);
}

void TSizeConstraints::Change()
{
    // The control takes the new limits at once.
    if (FControl)
        FControl->SetBounds(FControl->Left(), FControl->Top(), FControl->Width(), FControl->Height());
    if (OnChange)
        OnChange(this);
}

// --- TControl ---------------------------------------------------------------------------------

TControl::TControl(TComponent* AOwner)
    : TComponent(AOwner), FConstraints(std::make_unique<TSizeConstraints>(this)), FFont(std::make_unique<TFont>())
{
    WindowProc = TWndMethod(this, &TControl::WndProc);
    FFont->OnChange = [this](TObject* Sender) { FontChanged(Sender); };
}

void TControl::BeforeDestruction()
{
    if (gMouseControl == this)
        gMouseControl = nullptr;
    if (gCaptureControl == this)
        SetCaptureControl(nullptr);
    if (gDrag.Control == this)
        CancelDrag();
    // The parent lets go of a whole control (its handlers may still look at it).
    if (FParent)
        FParent->RemoveControl(this);
    inherited::BeforeDestruction();
}

TControl::~TControl()
{
    if (gMouseControl == this)
        gMouseControl = nullptr;
    if (gCaptureControl == this)
        gCaptureControl = nullptr;
    if (gDrag.Control == this) {
        if (gDrag.OwnObject)
            delete gDrag.Object;
        if (gDrag.CaptureWnd)
            DestroyWindow(gDrag.CaptureWnd);
        gDrag = DragState{};
    }
    if (gDrag.Target == this)
        gDrag.Target = nullptr;
    if (FParent)
        FParent->RemoveControl(this);
}

LRESULT TControl::Perform(UINT Msg, WPARAM WParam, LPARAM LParam)
{
    TMessage message = MakeMessage(Msg, WParam, LParam);
    WindowProc(message);
    return message.Result;
}

void TControl::WndProc(TMessage& Message)
{
    if (IsMouseMsg(Message.Msg)) {
        // Controls without double clicks take them as presses.
        if (!FControlStyle.Contains(csDoubleClicks)) {
            switch (Message.Msg) {
            case WM_LBUTTONDBLCLK:
            case WM_RBUTTONDBLCLK:
            case WM_MBUTTONDBLCLK:
                Message.Msg -= WM_LBUTTONDBLCLK - WM_LBUTTONDOWN;
                break;
            default:
                break;
            }
        }
        switch (Message.Msg) {
        case WM_MOUSEMOVE:
            if (HintMouseMessageHook)
                HintMouseMessageHook(this, Message);
            break;
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
            if (FDragMode == dmAutomatic) {
                BeginDrag(false);
                return;
            }
            FControlState.Include(csLButtonDown);
            break;
        case WM_LBUTTONUP:
            FControlState.Exclude(csLButtonDown);
            break;
        default:
            break;
        }
    }
    Dispatch(Message);
}

void TControl::Dispatch(TMessage& Message)
{
    switch (Message.Msg) {
    case WM_LBUTTONDOWN: WMLButtonDown(MessageAs<TWMMouse>(Message)); return;
    case WM_LBUTTONDBLCLK: WMLButtonDblClk(MessageAs<TWMMouse>(Message)); return;
    case WM_LBUTTONUP: WMLButtonUp(MessageAs<TWMMouse>(Message)); return;
    case WM_RBUTTONDOWN:
    case WM_RBUTTONDBLCLK:
        DefaultHandler(Message);
        DoMouseDown(MessageAs<TWMMouse>(Message), mbRight,
                    Message.Msg == WM_RBUTTONDBLCLK ? TShiftState{ssDouble} : TShiftState{});
        return;
    case WM_MBUTTONDOWN:
    case WM_MBUTTONDBLCLK:
        DefaultHandler(Message);
        DoMouseDown(MessageAs<TWMMouse>(Message), mbMiddle,
                    Message.Msg == WM_MBUTTONDBLCLK ? TShiftState{ssDouble} : TShiftState{});
        return;
    case WM_RBUTTONUP:
        DefaultHandler(Message);
        DoMouseUp(MessageAs<TWMMouse>(Message), mbRight);
        return;
    case WM_MBUTTONUP:
        DefaultHandler(Message);
        DoMouseUp(MessageAs<TWMMouse>(Message), mbMiddle);
        return;
    case WM_MOUSEMOVE: WMMouseMove(MessageAs<TWMMouse>(Message)); return;
    case WM_CONTEXTMENU: WMContextMenu(Message); return;
    case WM_CANCELMODE:
        if (MouseCapture())
            SetMouseCapture(false);
        DefaultHandler(Message);
        return;
    case CM_HITTEST: CMHitTest(Message); return;
    case CM_VISIBLECHANGED: CMVisibleChanged(Message); return;
    case CM_ENABLEDCHANGED: CMEnabledChanged(Message); return;
    case CM_COLORCHANGED: CMColorChanged(Message); return;
    case CM_FONTCHANGED: CMFontChanged(Message); return;
    case CM_PARENTCOLORCHANGED: CMParentColorChanged(Message); return;
    case CM_PARENTFONTCHANGED: CMParentFontChanged(Message); return;
    case CM_PARENTSHOWHINTCHANGED: CMParentShowHintChanged(Message); return;
    case CM_PARENTCTL3DCHANGED: CMParentCtl3DChanged(Message); return;
    case CM_PARENTBIDIMODECHANGED: CMParentBiDiModeChanged(Message); return;
    case CM_DRAG: CMDrag(Message); return;
    case CM_MOUSEWHEEL: CMMouseWheel(Message); return;
    case CM_TEXTCHANGED:
    case CM_MOUSEENTER:
    case CM_MOUSELEAVE:
    case CM_HINTSHOW:
        return;
    default:
        DefaultHandler(Message);
    }
}

void TControl::DefaultHandler(TMessage& Message)
{
    switch (Message.Msg) {
    case WM_GETTEXT: {
        char* buf = reinterpret_cast<char*>(Message.LParam);
        size_t cap = Message.WParam;
        if (!buf || cap == 0) {
            Message.Result = 0;
            return;
        }
        size_t n = std::min(cap - 1, FText.size());
        std::copy_n(FText.data(), n, buf);
        buf[n] = 0;
        Message.Result = static_cast<LRESULT>(n);
        return;
    }
    case WM_GETTEXTLENGTH:
        Message.Result = static_cast<LRESULT>(FText.size());
        return;
    case WM_SETTEXT:
        FText = Message.LParam ? reinterpret_cast<const char*>(Message.LParam) : "";
        Message.Result = 1;
        return;
    default:
        break;
    }
}

AnsiString TControl::Text()
{
    LRESULT len = Perform(WM_GETTEXTLENGTH);
    if (len <= 0)
        return AnsiString();
    AnsiString s(static_cast<size_t>(len) + 1, '\0');
    LRESULT got = Perform(WM_GETTEXT, s.size(), reinterpret_cast<LPARAM>(s.data()));
    s.resize(static_cast<size_t>(std::clamp<LRESULT>(got, 0, len)));
    return s;
}

void TControl::SetText(const AnsiString& Value)
{
    if (Text() == Value)
        return;
    Perform(WM_SETTEXT, 0, reinterpret_cast<LPARAM>(Value.c_str()));
    Perform(CM_TEXTCHANGED);
}

void TControl::SetParent(TWinControl* AParent)
{
    if (FParent == AParent)
        return;
    if (AParent == this)
        throw EInvalidOperation("A control cannot have itself as its parent");
    if (FParent)
        FParent->RemoveControl(this);
    if (AParent)
        AParent->InsertControl(this);
}

void TControl::SetBounds(int ALeft, int ATop, int AWidth, int AHeight)
{
    CheckNewSize(AWidth, AHeight);
    if (ALeft == FLeft && ATop == FTop && AWidth == FWidth && AHeight == FHeight)
        return;
    bool resized = AWidth != FWidth || AHeight != FHeight;
    DoSetBounds(ALeft, ATop, AWidth, AHeight);
    if (!FAnchorMove)
        UpdateAnchorRules();
    RequestAlign();
    if (resized && !dynamic_cast<TWinControl*>(this))
        Resize();
}

void TControl::CheckNewSize(int& NewWidth, int& NewHeight)
{
    if (FAutoSize && !FComponentState.Contains(csLoading)) {
        int w = NewWidth, h = NewHeight;
        if (CanAutoSize(w, h)) {
            NewWidth = w;
            NewHeight = h;
        }
    }
    int minW = FConstraints->MinWidth(), minH = FConstraints->MinHeight();
    int maxW = FConstraints->MaxWidth(), maxH = FConstraints->MaxHeight();
    ConstrainedResize(minW, minH, maxW, maxH);
    if (maxW > 0)
        NewWidth = std::min(NewWidth, maxW);
    NewWidth = std::max({NewWidth, minW, 0});
    if (maxH > 0)
        NewHeight = std::min(NewHeight, maxH);
    NewHeight = std::max({NewHeight, minH, 0});
}

void TControl::ConstrainedResize(int& MinWidth, int& MinHeight, int& MaxWidth, int& MaxHeight)
{
    if (OnConstrainedResize)
        OnConstrainedResize(this, MinWidth, MinHeight, MaxWidth, MaxHeight);
}

bool TControl::CanAutoSize(int&, int&) { return true; }

void TControl::SetAutoSize(bool Value)
{
    if (FAutoSize == Value)
        return;
    FAutoSize = Value;
    if (Value)
        AdjustSize();
}

void TControl::AdjustSize()
{
    if (!FComponentState.Contains(csLoading))
        SetBounds(FLeft, FTop, FWidth, FHeight);
}

namespace {
// Settings a control takes from its parent unless it has its own (Ctl3D, BiDiMode): setting one
// makes it the control's own and announces a change; the parent's value is taken while the
// control follows it.
template <class T>
void SetOwnSetting(TControl* Control, T& Field, bool& FollowsParent, T Value, UINT Changed)
{
    FollowsParent = false;
    if (Field == Value)
        return;
    Field = Value;
    Control->Perform(Changed);
}

void SetFollowsParent(TControl* Control, bool& FollowsParent, bool Value, UINT ParentChanged)
{
    if (FollowsParent == Value)
        return;
    FollowsParent = Value;
    if (Value && Control->Parent())
        Control->Perform(ParentChanged);
}

template <class T>
void TakeParentSetting(TControl* Control, bool FollowsParent, T& Field, T ParentValue, UINT Changed)
{
    if (!FollowsParent || !Control->Parent() || Field == ParentValue)
        return;
    Field = ParentValue;
    Control->Perform(Changed);
}
} // namespace

void TControl::SetCtl3D(bool Value) { SetOwnSetting(this, FCtl3D, FParentCtl3D, Value, CM_CTL3DCHANGED); }

void TControl::SetParentCtl3D(bool Value) { SetFollowsParent(this, FParentCtl3D, Value, CM_PARENTCTL3DCHANGED); }

void TControl::CMParentCtl3DChanged(TMessage&)
{
    if (FParent)
        TakeParentSetting(this, FParentCtl3D, FCtl3D, FParent->FCtl3D, CM_CTL3DCHANGED);
}

void TControl::SetBiDiMode(TBiDiMode Value)
{
    SetOwnSetting(this, FBiDiMode, FParentBiDiMode, Value, CM_BIDIMODECHANGED);
}

void TControl::SetParentBiDiMode(bool Value)
{
    SetFollowsParent(this, FParentBiDiMode, Value, CM_PARENTBIDIMODECHANGED);
}

void TControl::CMParentBiDiModeChanged(TMessage&)
{
    if (FParent)
        TakeParentSetting(this, FParentBiDiMode, FBiDiMode, FParent->FBiDiMode, CM_BIDIMODECHANGED);
}

void TControl::DoSetBounds(int ALeft, int ATop, int AWidth, int AHeight)
{
    InvalidateControl(FVisible, false);
    FLeft = ALeft;
    FTop = ATop;
    FWidth = AWidth;
    FHeight = AHeight;
    InvalidateControl(FVisible, FControlStyle.Contains(csOpaque));
}

void TControl::Changed() { Perform(CM_CHANGED, 0, reinterpret_cast<LPARAM>(this)); }

void TControl::Resize()
{
    if (OnResize)
        OnResize(this);
}

TRect TControl::ClientRect() { return Rect(0, 0, FWidth, FHeight); }

void TControl::Loaded()
{
    inherited::Loaded();
    UpdateAnchorRules();
}

void TWinControl::Loaded()
{
    inherited::Loaded();
    if (FControlState.Contains(csAlignmentNeeded))
        Realign();
}

void TControl::SetClientSize(int AWidth, int AHeight)
{
    TRect r = ClientRect();
    SetBounds(FLeft, FTop, FWidth - r.right + AWidth, FHeight - r.bottom + AHeight);
}

TPoint TControl::ClientOrigin()
{
    if (!FParent)
        throw EInvalidOperation("Control '" + Name() + "' has no parent window");
    TPoint p = FParent->ClientOrigin();
    p.x += FLeft;
    p.y += FTop;
    return p;
}

TPoint TControl::ClientToScreen(const TPoint& P)
{
    TPoint o = ClientOrigin();
    return TPoint{P.x + o.x, P.y + o.y};
}

TPoint TControl::ScreenToClient(const TPoint& P)
{
    TPoint o = ClientOrigin();
    return TPoint{P.x - o.x, P.y - o.y};
}

void TControl::SetAlign(TAlign Value)
{
    if (FAlign == Value)
        return;
    TAlign old = FAlign;
    FAlign = Value;
    FAnchors = TAnchors{akLeft, akTop};
    switch (Value) {
    case alTop: FAnchors = TAnchors{akLeft, akTop, akRight}; break;
    case alBottom: FAnchors = TAnchors{akLeft, akRight, akBottom}; break;
    case alLeft: FAnchors = TAnchors{akLeft, akTop, akBottom}; break;
    case alRight: FAnchors = TAnchors{akRight, akTop, akBottom}; break;
    case alClient: FAnchors = TAnchors{akLeft, akTop, akRight, akBottom}; break;
    default: break;
    }
    if (old != alNone || Value != alNone)
        RequestAlign();
    UpdateAnchorRules();
}

void TControl::SetAnchors(TAnchors Value)
{
    if (FAnchors == Value)
        return;
    FAnchors = Value;
    UpdateAnchorRules();
}

void TControl::UpdateAnchorRules()
{
    if (FComponentState.Contains(csLoading))
        return; // set once the form is loaded
    FAnchorOrigin = BoundsRect();
    if (FParent) {
        TRect r = FParent->ClientRect();
        FAnchorParentSize = TSize{r.right - r.left, r.bottom - r.top};
    } else {
        FAnchorParentSize = TSize{0, 0};
    }
}

void TControl::RequestAlign()
{
    if (FParent)
        FParent->AlignControl(this);
}

void TControl::SetVisible(bool Value)
{
    if (FVisible == Value)
        return;
    FVisible = Value;
    Perform(CM_VISIBLECHANGED, Value ? 1 : 0);
    RequestAlign();
}

void TControl::SetEnabled(bool Value)
{
    if (FEnabled == Value)
        return;
    FEnabled = Value;
    Perform(CM_ENABLEDCHANGED);
}

void TControl::SetColor(TColor Value)
{
    if (FColor == Value && !FParentColor)
        return;
    FColor = Value;
    FParentColor = false;
    Perform(CM_COLORCHANGED);
}

void TControl::SetParentColor(bool Value)
{
    if (FParentColor == Value)
        return;
    FParentColor = Value;
    if (Value && FParent)
        Perform(CM_PARENTCOLORCHANGED);
}

void TControl::SetParentFont(bool Value)
{
    if (FParentFont == Value)
        return;
    FParentFont = Value;
    if (Value && FParent)
        Perform(CM_PARENTFONTCHANGED);
}

void TControl::FontChanged(TObject*)
{
    FParentFont = false;
    Perform(CM_FONTCHANGED);
}

void TControl::SetShowHint(bool Value)
{
    if (FShowHint == Value && !FParentShowHint)
        return;
    FShowHint = Value;
    FParentShowHint = false;
    Perform(CM_SHOWHINTCHANGED);
}

void TControl::SetParentShowHint(bool Value)
{
    if (FParentShowHint == Value)
        return;
    FParentShowHint = Value;
    if (Value && FParent)
        Perform(CM_PARENTSHOWHINTCHANGED);
}

void TControl::SetPopupMenu(TPopupMenu* Value)
{
    if (FPopupMenu == Value)
        return;
    if (FPopupMenu)
        FPopupMenu->RemoveFreeNotification(this);
    FPopupMenu = Value;
    if (FPopupMenu)
        FPopupMenu->FreeNotification(this);
}

void TControl::Notification(TComponent* AComponent, TOperation Operation)
{
    inherited::Notification(AComponent, Operation);
    if (Operation == opRemove && FPopupMenu && AComponent == FPopupMenu)
        FPopupMenu = nullptr;
}

void TControl::SetCursor(TCursor Value)
{
    if (FCursor == Value)
        return;
    FCursor = Value;
    Perform(CM_CURSORCHANGED);
}

void TControl::CMVisibleChanged(TMessage&) { InvalidateControl(true, FVisible && FControlStyle.Contains(csOpaque)); }

void TControl::CMEnabledChanged(TMessage&) { Invalidate(); }

void TControl::CMColorChanged(TMessage&) { Invalidate(); }

void TControl::CMFontChanged(TMessage&) { Invalidate(); }

void TControl::CMParentColorChanged(TMessage& Message)
{
    if (!FParentColor)
        return;
    TColor c = Message.WParam ? static_cast<TColor>(Message.LParam) : (FParent ? FParent->Color() : FColor);
    if (c != FColor) {
        FColor = c;
        Perform(CM_COLORCHANGED);
    }
    FParentColor = true;
}

void TControl::CMParentFontChanged(TMessage&)
{
    if (!FParentFont || !FParent)
        return;
    FFont->Assign(FParent->Font()); // fires FontChanged, which clears the flag
    FParentFont = true;
}

void TControl::CMParentShowHintChanged(TMessage&)
{
    if (!FParentShowHint || !FParent)
        return;
    if (FShowHint != FParent->ShowHint()) {
        FShowHint = FParent->ShowHint();
        Perform(CM_SHOWHINTCHANGED);
    }
    FParentShowHint = true;
}

void TControl::InvalidateControl(bool IsVisible, bool IsOpaque)
{
    if (!IsVisible || !FParent || !FParent->HandleAllocated() || dynamic_cast<TWinControl*>(this))
        return;
    TRect r = BoundsRect();
    InvalidateRect(FParent->FHandle, &r, !(IsOpaque || FParent->FControlStyle.Contains(csOpaque)));
}

void TControl::Invalidate() { InvalidateControl(FVisible, FControlStyle.Contains(csOpaque)); }

void TControl::Update()
{
    if (FParent)
        FParent->Update();
}

void TControl::Repaint()
{
    if (!FVisible || !FParent || !FParent->HandleAllocated())
        return;
    if (FControlStyle.Contains(csOpaque)) {
        // An opaque control covers its rectangle: paint it at once on the parent's DC.
        HDC dc = GetDC(FParent->FHandle);
        int saved = SaveDC(dc);
        IntersectClipRect(dc, FLeft, FTop, FLeft + FWidth, FTop + FHeight);
        FParent->PaintControls(dc, this);
        RestoreDC(dc, saved);
        ReleaseDC(FParent->FHandle, dc);
    } else {
        Invalidate();
        Update();
    }
}

void TControl::SetZOrder(bool TopMost)
{
    if (!FParent)
        return;
    if (MoveInZOrder(FParent->FControls, this, TopMost))
        Invalidate();
}

void TControl::SetMouseCapture(bool Value)
{
    if (MouseCapture() != Value)
        SetCaptureControl(Value ? this : nullptr);
}

bool TControl::MouseCapture() { return GetCaptureControl() == this; }

void TControl::SendCancelMode(TControl* Sender)
{
    // Every form up the chain tells its active control (a drop-down of it closes).
    for (TControl* c = this; c; c = c->FParent)
        if (auto* w = dynamic_cast<TWinControl*>(c); w && w->IsForm())
            w->FormCancelMode(Sender);
}

void TControl::DoMouseDown(TWMMouse& Message, TMouseButton Button, TShiftState Shift)
{
    if (!FControlStyle.Contains(csNoStdEvents))
        MouseDown(Button, KeysToShiftState(static_cast<Word>(Message.Keys)) + Shift, Message.XPos, Message.YPos);
}

void TControl::DoMouseUp(TWMMouse& Message, TMouseButton Button)
{
    if (!FControlStyle.Contains(csNoStdEvents))
        MouseUp(Button, KeysToShiftState(static_cast<Word>(Message.Keys)), Message.XPos, Message.YPos);
}

void TControl::WMLButtonDown(TWMMouse& Message)
{
    SendCancelMode(this);
    DefaultHandler(reinterpret_cast<TMessage&>(Message));
    if (FControlStyle.Contains(csCaptureMouse))
        SetMouseCapture(true);
    if (FControlStyle.Contains(csClickEvents))
        FControlState.Include(csClicked);
    DoMouseDown(Message, mbLeft, TShiftState{});
}

void TControl::WMLButtonDblClk(TWMMouse& Message)
{
    SendCancelMode(this);
    DefaultHandler(reinterpret_cast<TMessage&>(Message));
    if (FControlStyle.Contains(csCaptureMouse))
        SetMouseCapture(true);
    if (FControlStyle.Contains(csClickEvents))
        DblClick();
    DoMouseDown(Message, mbLeft, TShiftState{ssDouble});
}

void TControl::WMLButtonUp(TWMMouse& Message)
{
    DefaultHandler(reinterpret_cast<TMessage&>(Message));
    if (FControlStyle.Contains(csCaptureMouse))
        SetMouseCapture(false);
    if (FControlState.Contains(csClicked)) {
        FControlState.Exclude(csClicked);
        TRect r = ClientRect();
        POINT p{Message.XPos, Message.YPos};
        if (PtInRect(&r, p))
            Click();
    }
    DoMouseUp(Message, mbLeft);
}

void TControl::WMMouseMove(TWMMouse& Message)
{
    DefaultHandler(reinterpret_cast<TMessage&>(Message));
    if (!FControlStyle.Contains(csNoStdEvents))
        MouseMove(KeysToShiftState(static_cast<Word>(Message.Keys)), Message.XPos, Message.YPos);
}

void TControl::WMContextMenu(TMessage& Message)
{
    if (Message.Result != 0)
        return;
    TPoint pt = SmallPointToPoint(Message.LParam);
    bool invalid = pt.x == -1 && pt.y == -1;
    TPoint local = invalid ? TPoint{-1, -1} : ScreenToClient(pt);
    bool handled = false;
    DoContextPopup(local, handled);
    Message.Result = handled ? 1 : 0;
    if (handled)
        return;
    // The handler may have changed the menu: it is read only now.
    if (TPopupMenu* menu = CurrentPopupMenu()) {
        if (invalid)
            pt = ClientToScreen(TPoint{0, 0});
        SendCancelMode(nullptr);
        if (PopupMenuHook && PopupMenuHook(menu, this, pt.x, pt.y))
            Message.Result = 1;
    }
    if (Message.Result == 0)
        DefaultHandler(Message);
}

void TControl::DoContextPopup(TPoint MousePos, bool& Handled)
{
    if (OnContextPopup)
        OnContextPopup(this, MousePos, Handled);
}

void TControl::Click()
{
    if (OnClick)
        OnClick(this);
}

void TControl::DblClick()
{
    if (OnDblClick)
        OnDblClick(this);
}

void TControl::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    if (OnMouseDown)
        OnMouseDown(this, Button, Shift, X, Y);
}

void TControl::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    if (OnMouseUp)
        OnMouseUp(this, Button, Shift, X, Y);
}

void TControl::MouseMove(TShiftState Shift, int X, int Y)
{
    if (OnMouseMove)
        OnMouseMove(this, Shift, X, Y);
}

bool TControl::DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos)
{
    bool handled = false;
    if (OnMouseWheel)
        OnMouseWheel(this, Shift, WheelDelta, MousePos, handled);
    return handled;
}

void TControl::CMMouseWheel(TMessage& Message)
{
    auto& m = MessageAs<TCMMouseWheel>(Message);
    TShiftState shift = TShiftState::FromBits(m.ShiftState);
    if (DoMouseWheel(shift, m.WheelDelta, TPoint{m.XPos, m.YPos})) {
        Message.Result = 1;
        return;
    }
    if (FParent)
        Message.Result = FParent->Perform(CM_MOUSEWHEEL, Message.WParam, Message.LParam);
}

// --- Drag and drop of a control -----------------------------------------------------------------

void TControl::BeginDrag(bool Immediate, int Threshold)
{
    if (gDrag.Object)
        return;
    if (Threshold < 0)
        Threshold = std::max(GetSystemMetrics(SM_CXDRAG), 1);
    TDragObject* obj = nullptr;
    DoStartDrag(obj);
    gDrag.Control = this;
    gDrag.OwnObject = obj == nullptr;
    gDrag.Object = obj ? obj : new TDragControlObject(this);
    GetCursorPos(&gDrag.StartPos);
    gDrag.Object->DragPos = gDrag.StartPos;
    gDrag.Threshold = Threshold;
    gDrag.Started = false;
    gDrag.CaptureWnd = DragCaptureWindow();
    SetCapture(gDrag.CaptureWnd);
    if (Immediate) {
        gDrag.Started = true;
        DragTo(gDrag.StartPos);
    }
}

void TControl::EndDrag(bool Drop)
{
    if (gDrag.Control == this)
        DragDone(Drop);
}

bool TControl::IsDragging() const { return gDrag.Control == this; }

void TControl::DoStartDrag(TDragObject*& DragObject)
{
    if (OnStartDrag)
        OnStartDrag(this, DragObject);
}

void TControl::DoEndDrag(TObject* Target, int X, int Y)
{
    if (OnEndDrag)
        OnEndDrag(this, Target, X, Y);
}

void TControl::DragOver(TObject* Source, int X, int Y, TDragState State, bool& Accept)
{
    Accept = false;
    if (OnDragOver) {
        Accept = true;
        OnDragOver(this, Source, X, Y, State, Accept);
    }
}

void TControl::DragDrop(TObject* Source, int X, int Y)
{
    if (OnDragDrop)
        OnDragDrop(this, Source, X, Y);
}

void TControl::CMDrag(TMessage& Message)
{
    auto* rec = reinterpret_cast<TDragRec*>(Message.LParam);
    if (!rec)
        return;
    TPoint p = ScreenToClient(rec->Pos);
    TObject* source = DragSourceObject(rec->Source);
    switch (static_cast<TDragMessage>(Message.WParam)) {
    case dmDragEnter:
    case dmDragLeave:
    case dmDragMove: {
        TDragState state = Message.WParam == dmDragEnter ? dsDragEnter
                           : Message.WParam == dmDragLeave ? dsDragLeave
                                                           : dsDragMove;
        bool accept = false;
        DragOver(source, p.x, p.y, state, accept);
        Message.Result = accept ? 1 : 0;
        break;
    }
    case dmDragDrop:
        DragDrop(source, p.x, p.y);
        break;
    case dmFindTarget:
        Message.Result = reinterpret_cast<LRESULT>(this);
        break;
    default:
        break;
    }
}

// --- TWinControl ------------------------------------------------------------------------------

TWinControl::TWinControl(TComponent* AOwner) : TControl(AOwner), FBrush(std::make_unique<TBrush>())
{
    FControlStyle = TControlStyle{csCaptureMouse, csClickEvents, csSetCaption, csDoubleClicks};
    BrushFromColor();
}

void TWinControl::BeforeDestruction()
{
    ForgetFocus();
    // The window goes while the whole object still exists, so its last messages reach the
    // overrides of every class (each sees csDestroying); then the children.
    if (FHandle)
        DestroyWindowHandle();
    FreeChildren();
    inherited::BeforeDestruction();
}

TWinControl::~TWinControl()
{
    if (!FComponentState.Contains(csDestroying)) {
        FComponentState.Include(csDestroying);
        ForgetFocus();
    }
    if (FHandle)
        DestroyWindowHandle();
    // Leaves the parent while still a windowed control (the parent's lists hold it as one).
    if (FParent)
        FParent->RemoveControl(this);
    FreeChildren();
}

void TWinControl::FreeChildren()
{
    // Children are freed with their parent, last one first (owned ones leave their owner's list).
    while (!FWinControls.empty() || !FControls.empty()) {
        TControl* c = FWinControls.empty() ? FControls.back() : static_cast<TControl*>(FWinControls.back());
        RemoveControl(c);
        c->Free();
    }
}

void TWinControl::BrushFromColor() { FBrush->SetColor(FColor); }

TControl* TWinControl::Controls(int Index) const
{
    int n = static_cast<int>(FControls.size());
    if (Index >= 0 && Index < n)
        return FControls[static_cast<size_t>(Index)];
    if (Index >= n && Index < ControlCount())
        return FWinControls[static_cast<size_t>(Index - n)];
    throw EListError("List index out of bounds (" + std::to_string(Index) + ")");
}

bool TWinControl::ContainsControl(TControl* Control) const
{
    while (Control && Control != this)
        Control = Control->FParent;
    return Control == this;
}

void TWinControl::InsertControl(TControl* AControl)
{
    if (!AControl || AControl->FParent == this)
        return;
    if (auto* w = dynamic_cast<TWinControl*>(AControl)) {
        if (w->ContainsControl(this))
            throw EInvalidOperation("A control cannot be the parent of its own parent");
    }
    Perform(CM_CONTROLLISTCHANGE, reinterpret_cast<WPARAM>(AControl), 1);
    if (auto* w = dynamic_cast<TWinControl*>(AControl)) {
        FWinControls.push_back(w);
        FTabList.push_back(w);
    } else {
        FControls.push_back(AControl);
    }
    AControl->FParent = this;
    // Each handler looks at its own ParentColor / ParentFont / ParentShowHint.
    AControl->Perform(CM_PARENTCOLORCHANGED);
    AControl->Perform(CM_PARENTFONTCHANGED);
    AControl->Perform(CM_PARENTSHOWHINTCHANGED);
    AControl->Perform(CM_PARENTCTL3DCHANGED);
    AControl->Perform(CM_PARENTBIDIMODECHANGED);
    AControl->UpdateAnchorRules();
    if (auto* w = dynamic_cast<TWinControl*>(AControl)) {
        if (w->FHandle) {
            if (FHandle)
                ::SetParent(w->FHandle, FHandle);
            else
                w->DestroyHandle();
        }
        w->UpdateControlState();
    } else {
        AControl->Invalidate();
    }
    AlignControl(AControl);
    Perform(CM_CONTROLCHANGE, reinterpret_cast<WPARAM>(AControl), 1);
}

void TWinControl::RemoveControl(TControl* AControl)
{
    if (!AControl || AControl->FParent != this)
        return;
    Perform(CM_CONTROLCHANGE, reinterpret_cast<WPARAM>(AControl), 0);
    // Found by address, not by type: a control may be half destroyed when it leaves.
    auto wit = std::find_if(FWinControls.begin(), FWinControls.end(),
                            [&](TWinControl* w) { return static_cast<TControl*>(w) == AControl; });
    if (wit != FWinControls.end()) {
        TWinControl* w = *wit;
        if (!w->FComponentState.Contains(csDestroying)) {
            w->ForgetFocus();
            if (w->FHandle && !w->FParentWindow)
                w->DestroyHandle();
        }
        std::erase(FWinControls, w);
        std::erase(FTabList, w);
    } else {
        if (!AControl->FComponentState.Contains(csDestroying))
            AControl->Invalidate();
        else if (FHandle && AControl->FVisible) {
            TRect r = AControl->BoundsRect();
            InvalidateRect(FHandle, &r, TRUE);
        }
        std::erase(FControls, AControl);
    }
    if (gCaptureControl == AControl)
        SetCaptureControl(nullptr);
    AControl->FParent = nullptr;
    Perform(CM_CONTROLLISTCHANGE, reinterpret_cast<WPARAM>(AControl), 0);
    if (!FComponentState.Contains(csDestroying))
        Realign();
}

TControl* TWinControl::ControlAtPos(const TPoint& Pos, bool AllowDisabled, bool AllowWinControls)
{
    auto hit = [&](TControl* c) -> bool {
        if (!c->FVisible || (!c->FEnabled && !AllowDisabled))
            return false;
        TRect r = c->BoundsRect();
        if (!PtInRect(&r, Pos))
            return false;
        TPoint p{Pos.x - c->FLeft, Pos.y - c->FTop};
        return c->Perform(CM_HITTEST, 0, PointToLParam(p)) != 0;
    };
    if (AllowWinControls)
        for (size_t i = FWinControls.size(); i-- > 0;)
            if (hit(FWinControls[i]))
                return FWinControls[i];
    for (size_t i = FControls.size(); i-- > 0;)
        if (hit(FControls[i]))
            return FControls[i];
    return nullptr;
}

void TWinControl::Broadcast(TMessage& Message)
{
    for (int i = 0; i < ControlCount(); ++i) {
        Controls(i)->WindowProc(Message);
        if (Message.Result != 0)
            return;
    }
}

void TWinControl::NotifyControls(UINT Msg)
{
    TMessage m = MakeMessage(Msg);
    Broadcast(m);
}

// --- Window creation --------------------------------------------------------------------------

void TWinControl::CreateParams(TCreateParams& Params)
{
    Params = TCreateParams{};
    Params.Caption = FText;
    Params.Style = WS_CHILD | WS_CLIPSIBLINGS;
    if (FControlStyle.Contains(csAcceptsControls)) {
        Params.Style |= WS_CLIPCHILDREN;
        Params.ExStyle |= WS_EX_CONTROLPARENT;
    }
    if (!FEnabled)
        Params.Style |= WS_DISABLED;
    if (FTabStop)
        Params.Style |= WS_TABSTOP;
    Params.X = FLeft;
    Params.Y = FTop;
    Params.Width = FWidth;
    Params.Height = FHeight;
    Params.WndParent = FParent ? (tParamsOnly ? FParent->FHandle : FParent->Handle()) : FParentWindow;
    Params.WindowClass.style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS;
    Params.WindowClass.lpfnWndProc = DefWindowProcA;
    Params.WindowClass.hCursor = ArrowCursor();
    Params.WindowClass.hbrBackground = nullptr;
    Params.WindowClass.hInstance = GetModuleHandleA(nullptr);
    Params.WinClassName = "Vellorn." + ClassName();
}

void TWinControl::CreateSubClass(TCreateParams& Params, const char* ControlClassName)
{
    WNDCLASSA wc{};
    HINSTANCE inst = Params.WindowClass.hInstance;
    if (!GetClassInfoA(nullptr, ControlClassName, &wc) && !GetClassInfoA(inst, ControlClassName, &wc))
        throw EOutOfResources(AnsiString("Window class ") + ControlClassName + " is not known");
    Params.WindowClass = wc;
    Params.WindowClass.hInstance = inst;
    // Our windows paint with their own DC, clipped to their own region (a button with a window
    // region must not paint outside it), and are repainted whole when resized.
    Params.WindowClass.style &= ~static_cast<UINT>(CS_GLOBALCLASS | CS_OWNDC | CS_CLASSDC | CS_PARENTDC);
    Params.WindowClass.style |= CS_HREDRAW | CS_VREDRAW;
}

void TWinControl::CreateWindowHandle(const TCreateParams& Params)
{
    FHandle = CreateWindowExA(Params.ExStyle, Params.WinClassName.c_str(), Params.Caption.c_str(), Params.Style,
                              Params.X, Params.Y, Params.Width, Params.Height, Params.WndParent, nullptr,
                              Params.WindowClass.hInstance, Params.Param);
}

void TWinControl::CreateWnd()
{
    TCreateParams params;
    CreateParams(params);
    if (!params.WndParent && (params.Style & WS_CHILD))
        throw EInvalidOperation("Control '" + Name() + "' has no parent window");
    if (FCreateVisible && (params.Style & WS_CHILD))
        params.Style |= WS_VISIBLE;
    FDefWndProc = params.WindowClass.lpfnWndProc;
    // One class name serves one base class: a class made on another base (a test's generic
    // superclass) gets a name of its own.
    static std::map<AnsiString, WNDPROC> registeredBase;
    auto known = registeredBase.find(params.WinClassName);
    if (known != registeredBase.end() && known->second != FDefWndProc) {
        char suffix[16];
        wsprintfA(suffix, ".%08X", static_cast<unsigned>(reinterpret_cast<UINT_PTR>(FDefWndProc)));
        params.WinClassName += suffix;
    }
    registeredBase.emplace(params.WinClassName, FDefWndProc);
    WNDCLASSA existing{};
    bool registered = GetClassInfoA(params.WindowClass.hInstance, params.WinClassName.c_str(), &existing);
    if (!registered || existing.lpfnWndProc != StdWndProc) {
        if (registered)
            UnregisterClassA(params.WinClassName.c_str(), params.WindowClass.hInstance);
        WNDCLASSA wc = params.WindowClass;
        wc.lpfnWndProc = StdWndProc;
        wc.lpszClassName = params.WinClassName.c_str();
        if (!RegisterClassA(&wc))
            throw EOSError("Cannot register window class " + params.WinClassName);
    }
    TWinControl* saved = tCreationControl;
    tCreationControl = this;
    try {
        CreateWindowHandle(params);
    } catch (...) {
        tCreationControl = saved;
        throw;
    }
    tCreationControl = saved;
    if (!FHandle)
        throw EOSError("Cannot create the window of " + ClassName());
    FText.clear(); // the window holds the text now
    UpdateBounds();
    Perform(WM_SETFONT, reinterpret_cast<WPARAM>(FFont->Handle()), 1);
}

void TWinControl::CreateHandle()
{
    if (FHandle)
        return;
    FControlState.Include(csCreating);
    try {
        CreateWnd();
    } catch (...) {
        FControlState.Exclude(csCreating);
        throw;
    }
    FControlState.Exclude(csCreating);
    if (FParent) {
        // Into the siblings' z-order, unless the new window is there already (moving it costs
        // a round trip to the window server under Wine; siblings made last first need none).
        HWND after = FParent->PrecedingWindow(this);
        HWND above = GetWindow(FHandle, GW_HWNDPREV);
        if (after == HWND_TOP ? above != nullptr : above != after)
            SetWindowPos(FHandle, after, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
    for (int i = 0; i < ControlCount(); ++i)
        Controls(i)->UpdateAnchorRules();
}

HWND TWinControl::PrecedingWindow(TWinControl* Control)
{
    auto it = std::find(FWinControls.begin(), FWinControls.end(), Control);
    if (it != FWinControls.end())
        for (++it; it != FWinControls.end(); ++it)
            if ((*it)->FHandle)
                return (*it)->FHandle;
    return HWND_TOP;
}

void TWinControl::HandleNeeded()
{
    if (FHandle)
        return;
    if (FParent)
        FParent->HandleNeeded();
    CreateHandle();
}

HWND TWinControl::Handle()
{
    HandleNeeded();
    return FHandle;
}

void TWinControl::DestroyWnd()
{
    // The text goes back into the object, to be given to the next window.
    FText = Text();
    DestroyWindowHandle();
}

void FreeDeviceContext(HWND Wnd)
{
    for (TControlCanvas* c : std::vector<TControlCanvas*>(gCanvasesWithDC))
        if (c->WindowHandle() == Wnd)
            c->FreeHandle();
}

void FreeDeviceContexts()
{
    // A canvas that is drawing now (locked by a paint) keeps its context.
    for (TControlCanvas* c : std::vector<TControlCanvas*>(gCanvasesWithDC))
        if (c->LockCount() == 0)
            c->FreeHandle();
}

void TWinControl::DestroyWindowHandle()
{
    if (FHandle)
        FreeDeviceContext(FHandle);
    FControlState.Include(csDestroyingHandle);
    if (FHandle && !DestroyWindow(FHandle)) {
        FControlState.Exclude(csDestroyingHandle);
        FHandle = nullptr;
        return;
    }
    FControlState.Exclude(csDestroyingHandle);
    FHandle = nullptr;
    FShowing = false;
}

void TWinControl::DestroyHandle()
{
    if (!FHandle)
        return;
    FControlState.Include(csDestroyingHandle);
    for (TWinControl* w : std::vector<TWinControl*>(FWinControls))
        if (w->FHandle)
            w->DestroyHandle();
    DestroyWnd();
    FControlState.Exclude(csDestroyingHandle);
}

void TWinControl::RecreateWnd()
{
    if (FHandle)
        Perform(CM_RECREATEWND);
}

void TWinControl::CMRecreateWnd(TMessage&)
{
    // The focus may be on this control or on one inside it: it goes back to the same control.
    TWinControl* focused = NearestControl(GetFocus());
    if (focused && !ContainsControl(focused))
        focused = nullptr;
    FRecreating = true;
    try {
        DestroyHandle();
        UpdateControlState();
    } catch (...) {
        FRecreating = false;
        throw;
    }
    FRecreating = false;
    if (focused == this)
        ::SetFocus(Handle());
    else if (focused && focused->FHandle)
        ::SetFocus(focused->FHandle);
}

void TWinControl::SetParentWindow(HWND Value)
{
    if (FParent || FParentWindow == Value)
        return;
    if (FHandle && Value)
        ::SetParent(FHandle, Value);
    else if (FHandle)
        DestroyHandle();
    FParentWindow = Value;
    UpdateControlState();
}

void TWinControl::WMNCDestroy(TMessage& Message)
{
    FreeDeviceContext(FHandle);
    DefaultHandler(Message);
    FHandle = nullptr;
    FShowing = false;
    if (gMouseControl == this)
        gMouseControl = nullptr;
}

// --- Showing ----------------------------------------------------------------------------------

void TWinControl::UpdateShowing()
{
    bool show = FVisible && !FControlState.Contains(csReadingState);
    if (show) {
        if (!FHandle) {
            // A child window that shows at once is made visible (no showing step afterwards).
            FCreateVisible = FParent != nullptr;
            try {
                CreateHandle();
            } catch (...) {
                FCreateVisible = false;
                throw;
            }
            FCreateVisible = false;
        }
        // The top child first: each new window goes below its siblings, so they are made in
        // z-order without moving any.
        std::vector<TWinControl*> children(FWinControls);
        for (size_t i = children.size(); i-- > 0;)
            children[i]->UpdateShowing();
    }
    if (FHandle && FShowing != show) {
        FShowing = show;
        try {
            Perform(CM_SHOWINGCHANGED);
        } catch (...) {
            FShowing = !show;
            throw;
        }
    }
}

void TWinControl::UpdateControlState()
{
    TWinControl* c = this;
    while (c->FParent) {
        c = c->FParent;
        if (!c->FShowing)
            return;
    }
    if (c->IsForm() || c->FParentWindow)
        UpdateShowing();
}

void TWinControl::CMShowingChanged(TMessage&)
{
    if (((GetWindowLongA(FHandle, GWL_STYLE) & WS_VISIBLE) != 0) == FShowing)
        return; // made visible already
    SetWindowPos(FHandle, nullptr, 0, 0, 0, 0,
                 SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE |
                     (FShowing ? SWP_SHOWWINDOW : SWP_HIDEWINDOW));
}

void TWinControl::CMVisibleChanged(TMessage&)
{
    if (!FVisible && FParent && Focused()) {
        // The focus leaves a control that is hidden.
        if (TWinControl* form = GetParentFormControl(this))
            form->SelectNext(this, true, true);
    }
    UpdateControlState();
}

void TWinControl::CMEnabledChanged(TMessage&)
{
    if (!FEnabled && FParent && Focused())
        if (TWinControl* form = GetParentFormControl(this))
            form->SelectNext(this, true, true);
    if (FHandle)
        EnableWindow(FHandle, FEnabled);
}

void TWinControl::CMColorChanged(TMessage& Message)
{
    BrushFromColor();
    inherited::Dispatch(Message);
    NotifyControls(CM_PARENTCOLORCHANGED);
}

void TWinControl::CMFontChanged(TMessage& Message)
{
    inherited::Dispatch(Message);
    if (FHandle)
        Perform(WM_SETFONT, reinterpret_cast<WPARAM>(FFont->Handle()), 0);
    NotifyControls(CM_PARENTFONTCHANGED);
}

void TWinControl::CMShowHintChanged(TMessage&) { NotifyControls(CM_PARENTSHOWHINTCHANGED); }

// --- Bounds and alignment -----------------------------------------------------------------------

void TWinControl::DoSetBounds(int ALeft, int ATop, int AWidth, int AHeight)
{
    if (FHandle && !IsIconic(FHandle)) {
        SetWindowPos(FHandle, nullptr, ALeft, ATop, AWidth, AHeight, SWP_NOZORDER | SWP_NOACTIVATE);
        // WM_WINDOWPOSCHANGED has brought the fields in step (a top-level window may be refused
        // sizes below the system minimum).
        if (FLeft != ALeft || FTop != ATop || FWidth != AWidth || FHeight != AHeight)
            UpdateBounds();
        return;
    }
    FLeft = ALeft;
    FTop = ATop;
    bool resized = FWidth != AWidth || FHeight != AHeight;
    FWidth = AWidth;
    FHeight = AHeight;
    if (resized) {
        Realign();
        Resize();
    }
}

void TWinControl::UpdateBounds()
{
    if (!FHandle)
        return;
    RECT r;
    if (IsIconic(FHandle)) {
        WINDOWPLACEMENT wp{};
        wp.length = sizeof(wp);
        GetWindowPlacement(FHandle, &wp);
        r = wp.rcNormalPosition;
    } else {
        GetWindowRect(FHandle, &r);
    }
    if (GetWindowLongA(FHandle, GWL_STYLE) & WS_CHILD) {
        HWND parent = GetParent(FHandle);
        if (parent) {
            MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
        }
    }
    bool resized = FWidth != r.right - r.left || FHeight != r.bottom - r.top;
    FLeft = r.left;
    FTop = r.top;
    FWidth = r.right - r.left;
    FHeight = r.bottom - r.top;
    if (resized) {
        Realign();
        Resize();
    }
}

void TWinControl::WMWindowPosChanged(TMessage& Message)
{
    auto* wp = reinterpret_cast<WINDOWPOS*>(Message.LParam);
    bool moved = wp && (!(wp->flags & SWP_NOSIZE) || !(wp->flags & SWP_NOMOVE));
    DefaultHandler(Message);
    if (moved)
        UpdateBounds();
}

void TWinControl::WMSize(TMessage& Message) { DefaultHandler(Message); }

TRect TWinControl::ClientRect()
{
    TRect r{0, 0, FWidth, FHeight};
    if (FHandle) {
        ::GetClientRect(FHandle, &r);
        return r;
    }
    // Without a window: the bounds less the frame that the window's styles would give it.
    if (FComponentState.Contains(csDestroying))
        return r;
    TCreateParams params;
    tParamsOnly = true;
    try {
        CreateParams(params);
    } catch (...) {
        tParamsOnly = false;
        return r;
    }
    tParamsOnly = false;
    const RECT frame = FrameOfStyles(params.Style & ~static_cast<DWORD>(WS_VSCROLL | WS_HSCROLL), params.ExStyle);
    r.right = std::max(0L, FWidth - (frame.right - frame.left));
    r.bottom = std::max(0L, FHeight - (frame.bottom - frame.top));
    return r;
}

TPoint TWinControl::ClientOrigin()
{
    POINT p{0, 0};
    ::ClientToScreen(Handle(), &p);
    return p;
}

void TWinControl::SetClientSize(int AWidth, int AHeight)
{
    TRect r = ClientRect();
    SetBounds(FLeft, FTop, FWidth - (r.right - r.left) + AWidth, FHeight - (r.bottom - r.top) + AHeight);
}

void TWinControl::EnableAlign()
{
    if (--FAlignLevel == 0 && FControlState.Contains(csAlignmentNeeded))
        Realign();
}

void TWinControl::AlignControl(TControl* AControl)
{
    if (FComponentState.Contains(csDestroying))
        return;
    if (FAlignLevel != 0 || FComponentState.Contains(csLoading)) {
        FControlState.Include(csAlignmentNeeded);
        return;
    }
    DisableAlign();
    try {
        TRect r = ClientRect();
        AdjustClientRect(r);
        AlignControls(AControl, r);
    } catch (...) {
        FControlState.Exclude(csAlignmentNeeded);
        --FAlignLevel;
        throw;
    }
    FControlState.Exclude(csAlignmentNeeded);
    --FAlignLevel;
    if (FControlState.Contains(csAlignmentNeeded))
        Realign();
}

namespace {

// Whether C1 goes before C2 among the controls of one alignment.
bool InsertBefore(TControl* C1, TControl* C2, TAlign AAlign)
{
    switch (AAlign) {
    case alTop: return C1->Top() < C2->Top();
    case alBottom: return C1->Top() + C1->Height() >= C2->Top() + C2->Height();
    case alLeft: return C1->Left() < C2->Left();
    case alRight: return C1->Left() + C1->Width() >= C2->Left() + C2->Width();
    default: return false;
    }
}

} // namespace

void TWinControl::AlignControls(TControl* AControl, TRect& Rect)
{
    std::vector<TControl*> list;
    TSize parentSize{Rect.right - Rect.left, Rect.bottom - Rect.top};
    TRect full = ClientRect();
    TSize clientSize{full.right - full.left, full.bottom - full.top};

    auto doPosition = [&](TControl* c, TAlign a) {
        int left = Rect.left, top = Rect.top;
        int width = Rect.right - Rect.left, height = Rect.bottom - Rect.top;
        switch (a) {
        case alTop:
            Rect.top += c->FHeight;
            height = c->FHeight;
            break;
        case alBottom:
            Rect.bottom -= c->FHeight;
            top = Rect.bottom;
            height = c->FHeight;
            break;
        case alLeft:
            Rect.left += c->FWidth;
            width = c->FWidth;
            break;
        case alRight:
            Rect.right -= c->FWidth;
            left = Rect.right;
            width = c->FWidth;
            break;
        case alNone: {
            // Anchors: keep the distances to the anchored sides of the parent.
            if (c->FAnchorParentSize.cx == 0 && c->FAnchorParentSize.cy == 0)
                return;
            const TRect& o = c->FAnchorOrigin;
            int dx = clientSize.cx - c->FAnchorParentSize.cx;
            int dy = clientSize.cy - c->FAnchorParentSize.cy;
            left = o.left;
            width = o.right - o.left;
            if (c->FAnchors.Contains(akRight)) {
                if (c->FAnchors.Contains(akLeft))
                    width += dx;
                else
                    left += dx;
            } else if (!c->FAnchors.Contains(akLeft)) {
                left += dx / 2;
            }
            top = o.top;
            height = o.bottom - o.top;
            if (c->FAnchors.Contains(akBottom)) {
                if (c->FAnchors.Contains(akTop))
                    height += dy;
                else
                    top += dy;
            } else if (!c->FAnchors.Contains(akTop)) {
                top += dy / 2;
            }
            break;
        }
        default:
            break;
        }
        c->FAnchorMove = true;
        try {
            c->SetBounds(left, top, width, height);
        } catch (...) {
            c->FAnchorMove = false;
            throw;
        }
        c->FAnchorMove = false;
        // A control that did not take the size it was given keeps its own.
        if (a == alTop && c->FHeight != height)
            Rect.top += c->FHeight - height;
        if (a == alBottom && c->FHeight != height)
            Rect.bottom -= c->FHeight - height;
        if (a == alLeft && c->FWidth != width)
            Rect.left += c->FWidth - width;
        if (a == alRight && c->FWidth != width)
            Rect.right -= c->FWidth - width;
    };

    auto doAlign = [&](TAlign a) {
        list.clear();
        if (AControl && AControl->FAlign == a && AControl->FVisible && AControl->FParent == this)
            list.push_back(AControl);
        for (int i = 0; i < ControlCount(); ++i) {
            TControl* c = Controls(i);
            if (c->FAlign != a || !c->FVisible || c == AControl)
                continue;
            if (a == alNone && c->FAnchors == TAnchors{akLeft, akTop})
                continue;
            size_t j = 0;
            while (j < list.size() && !InsertBefore(c, list[j], a))
                ++j;
            list.insert(list.begin() + static_cast<std::ptrdiff_t>(j), c);
        }
        for (TControl* c : list)
            doPosition(c, a);
    };
    (void)parentSize;
    doAlign(alTop);
    doAlign(alBottom);
    doAlign(alLeft);
    doAlign(alRight);
    doAlign(alClient);
    doAlign(alNone);
}

// --- Painting ---------------------------------------------------------------------------------

void TWinControl::Invalidate() { Perform(CM_INVALIDATE, 0, 0); }

void TWinControl::Update()
{
    if (FHandle)
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
    HDC dc = Message.DC;
    PAINTSTRUCT ps{};
    if (!dc)
        dc = BeginPaint(FHandle, &ps);
    try {
        if (FControls.empty()) {
            PaintWindow(dc);
        } else {
            int saved = SaveDC(dc);
            int region = SIMPLEREGION;
            for (TControl* c : FControls)
                if (c->FVisible && c->FControlStyle.Contains(csOpaque))
                    region = ExcludeClipRect(dc, c->FLeft, c->FTop, c->FLeft + c->FWidth, c->FTop + c->FHeight);
            if (region != NULLREGION)
                PaintWindow(dc);
            RestoreDC(dc, saved);
        }
        PaintControls(dc, nullptr);
    } catch (...) {
        if (!Message.DC)
            EndPaint(FHandle, &ps);
        throw;
    }
    if (!Message.DC)
        EndPaint(FHandle, &ps);
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

// --- Reflected notifications -----------------------------------------------------------------

bool TWinControl::DoControlMsg(HWND ControlHandle, TMessage& Message)
{
    TWinControl* c = FindControl(ControlHandle);
    if (!c)
        return false;
    Message.Result = c->Perform(CN_BASE + Message.Msg, Message.WParam, Message.LParam);
    return true;
}

void TWinControl::WMCommand(TMessage& Message)
{
    if (!DoControlMsg(reinterpret_cast<HWND>(Message.LParam), Message))
        DefaultHandler(Message);
}

void TWinControl::WMNotify(TMessage& Message)
{
    auto* hdr = reinterpret_cast<NMHDR*>(Message.LParam);
    if (!hdr || !DoControlMsg(hdr->hwndFrom, Message))
        DefaultHandler(Message);
}

void TWinControl::WMDrawItem(TMessage& Message)
{
    auto* dis = reinterpret_cast<DRAWITEMSTRUCT*>(Message.LParam);
    if (!dis || dis->CtlType == ODT_MENU || !DoControlMsg(dis->hwndItem, Message))
        DefaultHandler(Message);
}

void TWinControl::WMMeasureItem(TMessage& Message)
{
    auto* mis = reinterpret_cast<MEASUREITEMSTRUCT*>(Message.LParam);
    if (!mis || mis->CtlType == ODT_MENU || !FHandle ||
        !DoControlMsg(GetDlgItem(FHandle, static_cast<int>(mis->CtlID)), Message)) {
        // A child made before its ID was known: find it among the children by ID.
        if (mis && mis->CtlType != ODT_MENU)
            for (TWinControl* w : FWinControls)
                if (w->FHandle && static_cast<UINT>(GetWindowLongA(w->FHandle, GWL_ID)) == mis->CtlID) {
                    Message.Result = w->Perform(CN_MEASUREITEM, Message.WParam, Message.LParam);
                    return;
                }
        DefaultHandler(Message);
    }
}

void TWinControl::WMCompareItem(TMessage& Message)
{
    auto* cis = reinterpret_cast<COMPAREITEMSTRUCT*>(Message.LParam);
    if (!cis || !DoControlMsg(cis->hwndItem, Message))
        DefaultHandler(Message);
}

void TWinControl::WMDeleteItem(TMessage& Message)
{
    auto* dis = reinterpret_cast<DELETEITEMSTRUCT*>(Message.LParam);
    if (!dis || !DoControlMsg(dis->hwndItem, Message))
        DefaultHandler(Message);
}

void TWinControl::WMCtlColor(TMessage& Message)
{
    if (!DoControlMsg(reinterpret_cast<HWND>(Message.LParam), Message))
        DefaultHandler(Message);
}

void TWinControl::WMScroll(TMessage& Message)
{
    if (!Message.LParam || !DoControlMsg(reinterpret_cast<HWND>(Message.LParam), Message))
        DefaultHandler(Message);
}

// --- Dispatch of TWinControl -------------------------------------------------------------------

void TWinControl::WndProc(TMessage& Message)
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
    case WM_NCHITTEST:
        inherited::WndProc(Message);
        if (Message.Result == HTTRANSPARENT && ControlAtPos(ScreenToClient(SmallPointToPoint(Message.LParam)), false))
            Message.Result = HTCLIENT;
        return;
    case WM_CANCELMODE:
        if (GetCapture() == FHandle && gCaptureControl && gCaptureControl->FParent == this)
            gCaptureControl->Perform(WM_CANCELMODE);
        break;
    default:
        break;
    }
    if (IsMouseMsg(Message.Msg) && Message.Msg != WM_MOUSEWHEEL && Message.Msg != WM_MOUSEHWHEEL) {
        if (IsControlMouseMsg(MessageAs<TWMMouse>(Message))) {
            // Answered by a windowless child; the window still sees it for the system's sake
            // (the cursor, the double-click timing).
            if (Message.Result == 0 && FHandle)
                DefWindowProcA(FHandle, Message.Msg, Message.WParam, Message.LParam);
            return;
        }
    }
    if (Dragging() && ((Message.Msg >= WM_KEYFIRST && Message.Msg <= WM_KEYLAST) || Message.Msg == CN_KEYDOWN)) {
        // Keys belong to the drag while it runs: Escape cancels it.
        if ((Message.Msg == WM_KEYDOWN || Message.Msg == CN_KEYDOWN) && Message.WParam == VK_ESCAPE)
            CancelDrag();
        Message.Result = 1;
        return;
    }
    inherited::WndProc(Message);
}

bool TWinControl::IsControlMouseMsg(TWMMouse& Message)
{
    TControl* control = nullptr;
    if (FHandle && GetCapture() == FHandle) {
        if (gCaptureControl && gCaptureControl->FParent == this)
            control = gCaptureControl;
    } else {
        control = ControlAtPos(TPoint{Message.XPos, Message.YPos}, false);
    }
    if (!control)
        return false;
    TPoint p{Message.XPos - control->FLeft, Message.YPos - control->FTop};
    Message.Result = control->Perform(Message.Msg, static_cast<WPARAM>(Message.Keys), PointToLParam(p));
    return true;
}

void TWinControl::Dispatch(TMessage& Message)
{
    switch (Message.Msg) {
    case WM_PAINT: WMPaint(Message); return;
    case WM_ERASEBKGND: WMEraseBkgnd(Message); return;
    case WM_PRINTCLIENT: WMPrintClient(Message); return;
    case WM_WINDOWPOSCHANGED: WMWindowPosChanged(Message); return;
    case WM_SIZE: WMSize(Message); return;
    case WM_COMMAND: WMCommand(Message); return;
    case WM_NOTIFY: WMNotify(Message); return;
    case WM_DRAWITEM: WMDrawItem(Message); return;
    case WM_MEASUREITEM: WMMeasureItem(Message); return;
    case WM_COMPAREITEM: WMCompareItem(Message); return;
    case WM_DELETEITEM: WMDeleteItem(Message); return;
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC: WMCtlColor(Message); return;
    case WM_HSCROLL:
    case WM_VSCROLL: WMScroll(Message); return;
    case WM_SETFOCUS: WMSetFocus(Message); return;
    case WM_KILLFOCUS: WMKillFocus(Message); return;
    case WM_SETCURSOR: WMSetCursor(Message); return;
    case WM_CONTEXTMENU: WMContextMenu(Message); return;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN: WMKeyDown(Message); return;
    case WM_KEYUP:
    case WM_SYSKEYUP: WMKeyUp(Message); return;
    case WM_CHAR: WMChar(Message); return;
    case WM_NCDESTROY: WMNCDestroy(Message); return;
    case WM_MOUSEWHEEL: {
        auto& w = MessageAs<TWMMouseWheel>(Message);
        TShiftState shift = KeysToShiftState(static_cast<Word>(w.Keys));
        Message.Result = Perform(CM_MOUSEWHEEL,
                                 MAKEWPARAM(static_cast<Word>(shift.Bits()), static_cast<Word>(w.WheelDelta)),
                                 Message.LParam);
        if (Message.Result == 0)
            DefaultHandler(Message);
        return;
    }
    case CN_KEYDOWN: CNKeyDown(Message); return;
    case CN_SYSKEYDOWN: CNSysKeyDown(Message); return;
    case CN_KEYUP: CNKeyUp(Message); return;
    case CN_CHAR: CNChar(Message); return;
    case CN_SYSCHAR: CNSysChar(Message); return;
    case CM_DIALOGKEY: CMDialogKey(Message); return;
    case CM_DIALOGCHAR: CMDialogChar(Message); return;
    case CM_CHILDKEY: CMChildKey(Message); return;
    case CM_SHOWINGCHANGED: CMShowingChanged(Message); return;
    case CM_VISIBLECHANGED: CMVisibleChanged(Message); return;
    case CM_ENABLEDCHANGED: CMEnabledChanged(Message); return;
    case CM_COLORCHANGED: CMColorChanged(Message); return;
    case CM_FONTCHANGED: CMFontChanged(Message); return;
    case CM_SHOWHINTCHANGED: CMShowHintChanged(Message); return;
    case CM_RECREATEWND: CMRecreateWnd(Message); return;
    case CM_ENTER: CMEnter(Message); return;
    case CM_FOCUSCHANGED: CMFocusChanged(Message); return;
    case CM_EXIT: CMExit(Message); return;
    case CM_INVALIDATE: CMInvalidate(Message); return;
    case CM_BORDERCHANGED: CMBorderChanged(Message); return;
    case WM_GETMINMAXINFO: WMGetMinMaxInfo(Message); return;
    case WM_SETTINGCHANGE:
        ForgetFrames(); // the system's metrics may have changed
        DefaultHandler(Message);
        return;
    case WM_SYSCOLORCHANGE:
        // The system's colours changed: every control of the window hears CM_SYSCOLORCHANGE.
        DefaultHandler(Message);
        Perform(CM_SYSCOLORCHANGE);
        return;
    case CM_SYSCOLORCHANGE:
        Broadcast(Message);
        return;
    case CM_CTL3DCHANGED:
        NotifyControls(CM_PARENTCTL3DCHANGED);
        return;
    case CM_BIDIMODECHANGED:
        NotifyControls(CM_PARENTBIDIMODECHANGED);
        return;
    default:
        inherited::Dispatch(Message);
    }
}

void TWinControl::DefaultHandler(TMessage& Message)
{
    if (!FHandle) {
        inherited::DefaultHandler(Message);
        return;
    }
    if (Message.Msg == WM_CONTEXTMENU && FParent) {
        // A context click bubbles to the parent first (its menu, or its handler).
        Message.Result = FParent->Perform(Message.Msg, Message.WParam, Message.LParam);
        if (Message.Result != 0)
            return;
    }
    switch (Message.Msg) {
    case CN_CTLCOLORMSGBOX:
    case CN_CTLCOLOREDIT:
    case CN_CTLCOLORLISTBOX:
    case CN_CTLCOLORBTN:
    case CN_CTLCOLORDLG:
    case CN_CTLCOLORSCROLLBAR:
    case CN_CTLCOLORSTATIC: {
        HDC dc = reinterpret_cast<HDC>(Message.WParam);
        SetTextColor(dc, static_cast<COLORREF>(ColorToRGB(FFont->Color())));
        SetBkColor(dc, static_cast<COLORREF>(ColorToRGB(FBrush->Color())));
        Message.Result = reinterpret_cast<LRESULT>(FBrush->Handle());
        return;
    }
    default:
        break;
    }
    if (Message.Msg >= CN_BASE && Message.Msg < CN_BASE + 0x400) {
        // Reflected notifications nobody handled: the system class never sees them.
        Message.Result = 0;
        return;
    }
    Message.Result = CallWindowProcA(FDefWndProc ? FDefWndProc : DefWindowProcA, FHandle, Message.Msg,
                                     Message.WParam, Message.LParam);
}

// --- Focus ------------------------------------------------------------------------------------

bool TWinControl::CanFocus()
{
    TWinControl* form = GetParentFormControl(this);
    TWinControl* c = this;
    while (c && c != form) {
        if (!c->FVisible || !c->FEnabled)
            return false;
        c = c->FParent;
    }
    if (!form) {
        // Without a form: the chain must end at a window that exists elsewhere.
        TWinControl* root = this;
        while (root->FParent)
            root = root->FParent;
        return root->FParentWindow != nullptr || root->HandleAllocated();
    }
    return true;
}

bool TWinControl::Focused() { return FHandle && GetFocus() == FHandle; }

void TWinControl::SetFocus()
{
    TWinControl* form = GetParentFormControl(this);
    if (form && form != this) {
        form->FocusControl(this);
        return;
    }
    if (!CanFocus())
        throw EInvalidOperation("Cannot focus a disabled or invisible window");
    ::SetFocus(Handle());
}

void TWinControl::FocusControl(TWinControl* Control)
{
    if (!Control->CanFocus())
        throw EInvalidOperation("Cannot focus a disabled or invisible window");
    ::SetFocus(Control->Handle());
}

void TWinControl::SetTabStop(bool Value)
{
    if (FTabStop == Value)
        return;
    FTabStop = Value;
    if (FHandle) {
        LONG style = GetWindowLongA(FHandle, GWL_STYLE);
        SetWindowLongA(FHandle, GWL_STYLE, Value ? (style | WS_TABSTOP) : (style & ~WS_TABSTOP));
    }
    Perform(CM_TABSTOPCHANGED);
}

int TWinControl::TabOrder() const
{
    if (!FParent)
        return -1;
    auto& list = FParent->FTabList;
    auto it = std::find(list.begin(), list.end(), this);
    return it == list.end() ? -1 : static_cast<int>(it - list.begin());
}

void TWinControl::SetTabOrder(int Value)
{
    if (!FParent)
        return;
    auto& list = FParent->FTabList;
    int cur = TabOrder();
    if (cur < 0)
        return;
    int count = static_cast<int>(list.size());
    if (Value < 0 || Value >= count)
        Value = count - 1;
    if (Value == cur)
        return;
    list.erase(list.begin() + cur);
    list.insert(list.begin() + Value, this);
}

void TWinControl::GetTabOrderList(std::vector<TWinControl*>& List)
{
    for (TWinControl* w : FTabList) {
        List.push_back(w);
        w->GetTabOrderList(List);
    }
}

TWinControl* TWinControl::FindNextControl(TWinControl* CurControl, bool GoForward, bool CheckTabStop,
                                          bool CheckParent)
{
    std::vector<TWinControl*> list;
    GetTabOrderList(list);
    if (list.empty())
        return nullptr;
    int count = static_cast<int>(list.size());
    auto it = std::find(list.begin(), list.end(), CurControl);
    int start = it == list.end() ? (GoForward ? count - 1 : 0) : static_cast<int>(it - list.begin());
    int i = start;
    do {
        if (GoForward) {
            if (++i == count)
                i = 0;
        } else {
            if (i == 0)
                i = count;
            --i;
        }
        TWinControl* c = list[static_cast<size_t>(i)];
        if (c->CanFocus() && (!CheckTabStop || c->FTabStop) && (!CheckParent || c->FParent == this))
            return c;
    } while (i != start);
    return nullptr;
}

void TWinControl::SelectNext(TWinControl* CurControl, bool GoForward, bool CheckTabStop)
{
    if (TWinControl* next = FindNextControl(CurControl, GoForward, CheckTabStop, !CheckTabStop))
        next->SelectFirst();
}

void TWinControl::SelectFirst() { SetFocus(); }

void TWinControl::WMSetFocus(TMessage& Message)
{
    DefaultHandler(Message);
    if (!FComponentState.Contains(csDestroying))
        FocusEntered();
}

void TWinControl::FocusEntered()
{
    // The form remembers its focused control: the focus coming back from another window of
    // the system is no change. CM_EXIT goes up from the old control and CM_ENTER down to the
    // new one, each up to their common parent; then every control of the form hears
    // CM_FOCUSCHANGED.
    TWinControl* form = GetParentFormControl(this);
    if (!form) {
        Perform(CM_ENTER);
        return;
    }
    // The form's own window takes the focus on its way to a control (activation): that moves
    // nothing, so a control given the focus back hears no exit and enter.
    if (form == this)
        return;
    TWinControl* old = form->FFocusedControl;
    if (old == this)
        return;
    form->FFocusedControl = this;
    for (TWinControl* c = old; c && c != form && !c->ContainsControl(this); c = c->FParent)
        c->Perform(CM_EXIT);
    std::vector<TWinControl*> chain;
    for (TWinControl* c = this; c && c != form && !(old && c->ContainsControl(old)); c = c->FParent)
        chain.push_back(c);
    for (size_t i = chain.size(); i-- > 0;)
        chain[i]->Perform(CM_ENTER);
    if (form->FFocusedControl == this)
        form->Perform(CM_FOCUSCHANGED, 0, reinterpret_cast<LPARAM>(this));
}

void TWinControl::ForgetFocus()
{
    TWinControl* form = GetParentFormControl(this);
    if (form && form->FFocusedControl && ContainsControl(form->FFocusedControl))
        form->FFocusedControl = nullptr;
}

void TWinControl::CMFocusChanged(TMessage& Message)
{
    // Every control of the form sees it, whatever the others answer.
    for (int i = 0; i < ControlCount(); ++i) {
        TMessage m = MakeMessage(Message.Msg, Message.WParam, Message.LParam);
        Controls(i)->WindowProc(m);
    }
}

void TWinControl::WMKillFocus(TMessage& Message) { DefaultHandler(Message); }

void TWinControl::DoEnter()
{
    if (OnEnter)
        OnEnter(this);
}

void TWinControl::DoExit()
{
    if (OnExit)
        OnExit(this);
}

// --- Cursor and context menu ------------------------------------------------------------------

void TWinControl::WMSetCursor(TMessage& Message)
{
    auto& m = MessageAs<TWMSetCursor>(Message);
    if (m.CursorWnd == FHandle && static_cast<SmallInt>(m.HitTest) == HTCLIENT) {
        TCursor cursor = ScreenCursorHook ? ScreenCursorHook() : crDefault;
        if (cursor == crDefault) {
            POINT p;
            GetCursorPos(&p);
            TControl* c = ControlAtPos(ScreenToClient(p), false);
            if (c)
                cursor = c->FCursor;
            if (cursor == crDefault)
                cursor = FCursor;
        }
        if (cursor != crDefault) {
            ::SetCursor(CursorHandle(cursor));
            Message.Result = 1;
            return;
        }
    }
    DefaultHandler(Message);
}

void TWinControl::WMContextMenu(TMessage& Message)
{
    if (Message.Result != 0)
        return;
    TPoint pt = SmallPointToPoint(Message.LParam);
    if (!(pt.x == -1 && pt.y == -1) && FHandle) {
        if (TControl* c = ControlAtPos(ScreenToClient(pt), false)) {
            Message.Result = c->Perform(WM_CONTEXTMENU, 0, Message.LParam);
            if (Message.Result != 0)
                return;
        }
    }
    inherited::WMContextMenu(Message);
}

// --- Keyboard ---------------------------------------------------------------------------------

void TWinControl::KeyDown(Word& Key, TShiftState Shift)
{
    if (OnKeyDown)
        OnKeyDown(this, Key, Shift);
}

void TWinControl::KeyUp(Word& Key, TShiftState Shift)
{
    if (OnKeyUp)
        OnKeyUp(this, Key, Shift);
}

void TWinControl::KeyPress(char& Key)
{
    if (OnKeyPress)
        OnKeyPress(this, Key);
}

bool TWinControl::DoKeyDown(TWMKey& Message)
{
    TWinControl* form = GetParentFormControl(this);
    if (form && form != this && form->KeyPreviewEnabled() && form->DoKeyDown(Message))
        return true;
    if (!FControlStyle.Contains(csNoStdEvents)) {
        KeyDown(Message.CharCode, KeyDataToShiftState(Message.KeyData));
        if (Message.CharCode == 0)
            return true;
    }
    return false;
}

bool TWinControl::DoKeyUp(TWMKey& Message)
{
    TWinControl* form = GetParentFormControl(this);
    if (form && form != this && form->KeyPreviewEnabled() && form->DoKeyUp(Message))
        return true;
    if (!FControlStyle.Contains(csNoStdEvents)) {
        KeyUp(Message.CharCode, KeyDataToShiftState(Message.KeyData));
        if (Message.CharCode == 0)
            return true;
    }
    return false;
}

bool TWinControl::DoKeyPress(TWMKey& Message)
{
    TWinControl* form = GetParentFormControl(this);
    if (form && form != this && form->KeyPreviewEnabled() && form->DoKeyPress(Message))
        return true;
    if (!FControlStyle.Contains(csNoStdEvents)) {
        char ch = static_cast<char>(Message.CharCode);
        KeyPress(ch);
        Message.CharCode = static_cast<Byte>(ch);
        if (ch == 0)
            return true;
    }
    return false;
}

void TWinControl::WMKeyDown(TMessage& Message)
{
    if (!DoKeyDown(MessageAs<TWMKey>(Message)))
        DefaultHandler(Message);
}

void TWinControl::WMKeyUp(TMessage& Message)
{
    if (!DoKeyUp(MessageAs<TWMKey>(Message)))
        DefaultHandler(Message);
}

void TWinControl::WMChar(TMessage& Message)
{
    if (!DoKeyPress(MessageAs<TWMKey>(Message)))
        DefaultHandler(Message);
}

bool TWinControl::IsMenuKey(TWMKey& Message)
{
    for (TControl* c = this; c; c = c->FParent)
        if (c->FPopupMenu && PopupMenuShortCutHook && PopupMenuShortCutHook(c->FPopupMenu, Message))
            return true;
    TWinControl* form = GetParentFormControl(this);
    return form && form->IsShortCut(Message);
}

void TWinControl::CNKeyDown(TMessage& Message)
{
    auto& key = MessageAs<TWMKey>(Message);
    Message.Result = 1;
    if (IsMenuKey(key))
        return;
    if (Perform(CM_CHILDKEY, key.CharCode, reinterpret_cast<LPARAM>(this)) != 0)
        return;
    LRESULT mask = 0;
    switch (key.CharCode) {
    case VK_TAB: mask = DLGC_WANTTAB; break;
    case VK_LEFT:
    case VK_RIGHT:
    case VK_UP:
    case VK_DOWN: mask = DLGC_WANTARROWS; break;
    case VK_RETURN:
    case VK_EXECUTE:
    case VK_ESCAPE:
    case VK_CANCEL: mask = DLGC_WANTALLKEYS; break;
    default: break;
    }
    if (mask != 0 && Perform(CM_WANTSPECIALKEY, key.CharCode) == 0 && (Perform(WM_GETDLGCODE) & mask) == 0) {
        TWinControl* form = GetParentFormControl(this);
        if (form && form->Perform(CM_DIALOGKEY, key.CharCode, key.KeyData) != 0)
            return;
    }
    Message.Result = 0;
}

void TWinControl::CNKeyUp(TMessage& Message)
{
    auto& key = MessageAs<TWMKey>(Message);
    Message.Result = 0;
    switch (key.CharCode) {
    case VK_TAB:
    case VK_LEFT:
    case VK_RIGHT:
    case VK_UP:
    case VK_DOWN:
    case VK_RETURN:
    case VK_EXECUTE:
    case VK_ESCAPE:
    case VK_CANCEL:
        Message.Result = Perform(CM_WANTSPECIALKEY, key.CharCode);
        break;
    default:
        break;
    }
}

void TWinControl::CNChar(TMessage& Message)
{
    auto& key = MessageAs<TWMKey>(Message);
    Message.Result = 1;
    if ((Perform(WM_GETDLGCODE) & DLGC_WANTCHARS) == 0) {
        TWinControl* form = GetParentFormControl(this);
        if (form && form->Perform(CM_DIALOGCHAR, key.CharCode, key.KeyData) != 0)
            return;
    }
    Message.Result = 0;
}

void TWinControl::CNSysKeyDown(TMessage& Message)
{
    // Alt combinations are menu shortcuts or nothing: never dialog keys.
    Message.Result = IsMenuKey(MessageAs<TWMKey>(Message)) ? 1 : 0;
}

void TWinControl::CNSysChar(TMessage& Message)
{
    // Alt+letter is an accelerator of the form's controls, also while an edit has the focus.
    auto& key = MessageAs<TWMKey>(Message);
    Message.Result = 0;
    if (key.CharCode != VK_SPACE)
        if (TWinControl* form = GetParentFormControl(this))
            Message.Result = form->Perform(CM_DIALOGCHAR, key.CharCode, key.KeyData);
}

void TWinControl::CMChildKey(TMessage& Message)
{
    if (FParent)
        FParent->WindowProc(Message);
}

void TWinControl::CMDialogKey(TMessage& Message)
{
    auto& key = MessageAs<TWMKey>(Message);
    if (IsForm() && GetKeyState(VK_MENU) >= 0) {
        // The form moves the focus with Tab and the arrow keys.
        TWinControl* active = NearestControl(GetFocus());
        if (active && !ContainsControl(active))
            active = nullptr;
        switch (key.CharCode) {
        case VK_TAB:
            if (GetKeyState(VK_CONTROL) >= 0) {
                SelectNext(active, GetKeyState(VK_SHIFT) >= 0, true);
                Message.Result = 1;
                return;
            }
            break;
        case VK_LEFT:
        case VK_RIGHT:
        case VK_UP:
        case VK_DOWN:
            if (active && active->FParent) {
                active->FParent->SelectNext(active, key.CharCode == VK_RIGHT || key.CharCode == VK_DOWN, false);
                Message.Result = 1;
                return;
            }
            break;
        default:
            break;
        }
    }
    Broadcast(Message);
}

void TWinControl::CMDialogChar(TMessage& Message) { Broadcast(Message); }

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

// --- Forms and the keyboard pipeline ----------------------------------------------------------

TWinControl* GetParentFormControl(TControl* Control)
{
    if (!Control)
        return nullptr;
    TWinControl* form = nullptr;
    for (TControl* c = Control; c; c = c->Parent()) {
        auto* w = dynamic_cast<TWinControl*>(c);
        if (w && w->IsForm())
            form = w; // the outermost form wins (an embedded form is not the parent form)
    }
    return form;
}

TCustomForm* GetParentForm(TControl* Control)
{
    TWinControl* form = GetParentFormControl(Control);
    return form ? form->AsForm() : nullptr;
}

bool IsKeyMsg(MSG& Msg)
{
    if (Msg.message < WM_KEYFIRST || Msg.message > WM_KEYLAST)
        return false;
    if (Dragging() && Msg.message == WM_KEYDOWN && Msg.wParam == VK_ESCAPE) {
        CancelDrag();
        return true;
    }
    HWND wnd = GetCapture();
    TWinControl* control = nullptr;
    if (!wnd) {
        control = NearestControl(Msg.hwnd);
    } else {
        control = FindControl(wnd);
    }
    if (!control)
        return false;
    return SendMessageA(control->Handle(), CN_BASE + Msg.message, Msg.wParam, Msg.lParam) != 0;
}

TOwnerDrawState OwnerDrawStateFromFlags(UINT itemState)
{
    const std::pair<UINT, TOwnerDrawStateItem> map[] = {
        {ODS_SELECTED, odSelected}, {ODS_GRAYED, odGrayed},     {ODS_DISABLED, odDisabled},
        {ODS_CHECKED, odChecked},   {ODS_FOCUS, odFocused},     {ODS_DEFAULT, odDefault},
        {ODS_HOTLIGHT, odHotLight}, {ODS_INACTIVE, odInactive}, {ODS_NOACCEL, odNoAccel},
        {ODS_NOFOCUSRECT, odNoFocusRect}, {ODS_COMBOBOXEDIT, odComboBoxEdit},
    };
    TOwnerDrawState state;
    for (auto [flag, item] : map)
        if (itemState & flag)
            state.Include(item);
    return state;
}
