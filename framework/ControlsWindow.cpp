// The controls unit's windows: the window procedure every framework window runs, and the
// windowed control TWinControl: its window's creation and re-creation, showing, bounds and
// alignment of its children, reflected notifications and its dispatch (declared in Controls.h).
#include "ControlsInternal.h"

#include <map>
#include <unordered_map>

using namespace controls_internal;

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

} // namespace

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

namespace controls_internal {
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
} // namespace controls_internal

TWinControl* FindVCLWindow(TPoint Pos) { return NearestControl(WindowFromPoint(Pos)); }

// --- TWinControl ------------------------------------------------------------------------------

TWinControl::TWinControl(TComponent* AOwner) : TControl(AOwner), FBrush(std::make_unique<TBrush>())
{
    FControlStyle = TControlStyle{csCaptureMouse, csClickEvents, csSetCaption, csDoubleClicks};
    BrushFromColor();
}

void TWinControl::BeforeDestruction()
{
    // A control that goes with the focus hands it on, as a hidden one does (its form stays).
    if (FHandle && FParent && !FParent->ComponentState().Contains(csDestroying))
        if (TWinControl* form = GetParentFormControl(this);
            form && form != this && !form->ComponentState().Contains(csDestroying))
            form->ControlLeavesFocus(this);
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
    // A window's name carries at most 32,766 characters (the system cuts a longer one silently,
    // Wine to its length modulo 64K): a longer text goes in once the window is made.
    const bool longText = params.Caption.size() > 32766;
    if (longText)
        params.Caption.clear();
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
    FWndThread = GetCurrentThreadId();
    if (longText)
        SendMessageA(FHandle, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(FText.c_str()));
    FText.clear(); // the window holds the text now
    UpdateBounds();
    Perform(WM_SETFONT, reinterpret_cast<WPARAM>(FFont->Handle()), 1);
}

LRESULT TWinControl::PerformOnWindow(UINT Msg, WPARAM WParam, LPARAM LParam)
{
    const HWND wnd = Handle();
    return GetCurrentThreadId() == FWndThread ? Perform(Msg, WParam, LParam) : SendMessageA(wnd, Msg, WParam, LParam);
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
    if (!FVisible)
        LeaveFocus();
    UpdateControlState();
}

void TWinControl::CMEnabledChanged(TMessage&)
{
    if (!FEnabled)
        LeaveFocus();
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
    // A change of the colour alone keeps the font's object: the window keeps its font then (a
    // native list given its font again measures all its items anew).
    const auto font = reinterpret_cast<WPARAM>(FFont->Handle());
    if (FHandle && static_cast<WPARAM>(Perform(WM_GETFONT)) != font)
        Perform(WM_SETFONT, font, 0);
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

// Keys whose meaning is the window's, not the control's: F10 and Alt pressed and released alone
// open the menu bar (Shift+F10 the context menu), Alt+F4 closes the window.
bool IsWindowKey(const TMessage& Message)
{
    switch (Message.Msg) {
    case WM_KEYDOWN:
    case WM_KEYUP:
    case WM_SYSKEYDOWN:
    case WM_SYSKEYUP: break;
    default: return false;
    }
    switch (Message.WParam) {
    case VK_F10:
    case VK_MENU:
    case VK_LMENU:
    case VK_RMENU: return true;
    case VK_F4: return Message.Msg == WM_SYSKEYDOWN && (HIWORD(Message.LParam) & KF_ALTDOWN);
    default: return false;
    }
}

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
    case WM_CAPTURECHANGED:
        // A windowless control that had the mouse through this window hears that it lost it.
        if (gCaptureControl && gCaptureControl->FParent == this && reinterpret_cast<HWND>(Message.LParam) != FHandle) {
            TControl* lost = gCaptureControl;
            gCaptureControl = nullptr;
            lost->Perform(WM_CAPTURECHANGED, 0, Message.LParam);
        }
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
    if (IsWindowKey(Message)) {
        // The window's own keys go to the system's default handling, which opens the menu bar or
        // closes the window: some native classes keep every system key (Wine's tree view and
        // drop-down list), and there they would do nothing.
        Message.Result = DefWindowProcA(FHandle, Message.Msg, Message.WParam, Message.LParam);
        return;
    }
    Message.Result = CallWindowProcA(FDefWndProc ? FDefWndProc : DefWindowProcA, FHandle, Message.Msg,
                                     Message.WParam, Message.LParam);
}

