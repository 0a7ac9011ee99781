// The controls unit's input: mouse enter and leave, drag and drop, focus, the cursor and the
// context menu, and the keyboard (declared in Controls.h).
#include "ControlsInternal.h"
#include "Menus.h"

using namespace controls_internal;

// --- Capture and the control under the mouse ----------------------------------------------------

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
        case WM_LBUTTONUP: {
            // The drop lands where the button went up: the display may report the release at a
            // place no move was reported at.
            POINT p{static_cast<SmallInt>(LOWORD(LParam)), static_cast<SmallInt>(HIWORD(LParam))};
            ClientToScreen(Wnd, &p);
            if (gDrag.Object)
                DragTo(p);
            DragDone(true);
            return 0;
        }
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

void TWinControl::LeaveFocus()
{
    if (!FParent || FComponentState.Contains(csDestroying))
        return;
    if (TWinControl* form = GetParentFormControl(this); form && form != this)
        form->ControlLeavesFocus(this);
}

void TWinControl::ControlLeavesFocus(TWinControl* Control)
{
    HWND focus = GetFocus();
    if (!Control->FHandle || !focus || (focus != Control->FHandle && !IsChild(Control->FHandle, focus)))
        return;
    // The next one after everything inside Control, which can take the focus no more.
    TWinControl* next = FindNextControl(Control, true, true, false);
    if (next)
        FocusControl(next);
    // A control may hand its focus on to a window inside it (the browser to its page).
    if (!next || !next->HandleAllocated() || (!next->Focused() && !IsChild(next->Handle(), GetFocus()))) {
        // None can take it: the form's own window holds it, so no key reaches a hidden control.
        if (FFocusedControl && Control->ContainsControl(FFocusedControl))
            FFocusedControl = nullptr;
        ::SetFocus(FHandle);
    }
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

namespace {

// Whether the key is one the system's edit acts on itself (deleting, inserting, moving the caret,
// the clipboard, undo) and the window with the focus is an edit (a memo's, a combo box's, a rich
// edit's, a tree's label editor): such a key is the edit's, never a menu's shortcut. Ctrl+A is
// not among them: the edit selects nothing by it, so a menu may offer it.
bool IsKeyOfFocusedEdit(const TWMKey& Key)
{
    if (KeyDataToShiftState(Key.KeyData).Contains(ssAlt))
        return false;
    switch (Key.CharCode) {
    case VK_DELETE:
    case VK_INSERT:
    case VK_BACK:
    case VK_LEFT:
    case VK_RIGHT:
    case VK_UP:
    case VK_DOWN:
    case VK_HOME:
    case VK_END:
    case VK_PRIOR:
    case VK_NEXT: break;
    case 'C':
    case 'V':
    case 'X':
    case 'Z':
        if (GetKeyState(VK_CONTROL) >= 0)
            return false;
        break;
    default: return false;
    }
    HWND focus = GetFocus();
    return focus && (SendMessageA(focus, WM_GETDLGCODE, 0, 0) & DLGC_HASSETSEL) != 0;
}

// What an arrow key does among a parent's controls: it moves among the neighbours of one kind
// (the system's dialogs mark such a group with WS_GROUP), so that no arrow leaves a radio group for
// a push button or the other way round. Any other control is a group of its own.
enum class TArrowGroup { Radio, PushButton, CheckBox, Alone };

TArrowGroup ArrowGroup(TWinControl* Control)
{
    if (!Control->HandleAllocated())
        return TArrowGroup::Alone;
    const LRESULT code = SendMessageA(Control->Handle(), WM_GETDLGCODE, 0, 0);
    if (code & DLGC_RADIOBUTTON)
        return TArrowGroup::Radio;
    if (code & (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON))
        return TArrowGroup::PushButton;
    if (!(code & DLGC_BUTTON))
        return TArrowGroup::Alone;
    switch (GetWindowLongA(Control->Handle(), GWL_STYLE) & BS_TYPEMASK) {
    case BS_CHECKBOX:
    case BS_AUTOCHECKBOX:
    case BS_3STATE:
    case BS_AUTO3STATE: return TArrowGroup::CheckBox;
    default: return TArrowGroup::PushButton; // an owner-drawn push button
    }
}

} // namespace

void TWinControl::MoveInGroup(TWinControl* Current, bool GoForward)
{
    // The group: the run of Current's neighbours in tab order that are of its kind.
    const TArrowGroup kind = ArrowGroup(Current);
    if (kind == TArrowGroup::Alone)
        return;
    const auto& list = Current->FParent->FTabList;
    const auto at = std::find(list.begin(), list.end(), Current);
    if (at == list.end())
        return;
    auto first = at, last = at + 1;
    while (first != list.begin() && ArrowGroup(*(first - 1)) == kind)
        --first;
    while (last != list.end() && ArrowGroup(*last) == kind)
        ++last;
    // The next one that can take the focus, round the group's end.
    const auto count = last - first;
    TWinControl* next = nullptr;
    for (auto step = 1; step < count && !next; ++step) {
        const auto offset = ((at - first) + (GoForward ? step : count - step)) % count;
        if (first[offset]->CanFocus())
            next = first[offset];
    }
    if (!next)
        return;
    next->SetFocus();
    // A radio button reached from one of its group is chosen, as in the system's dialogs: it hears
    // the click its window reports (a checked one takes no second click). Nothing else is clicked.
    if (kind == TArrowGroup::Radio && next->Focused())
        next->Perform(CN_COMMAND, MAKEWPARAM(0, BN_CLICKED), reinterpret_cast<LPARAM>(next->Handle()));
}

void TWinControl::CNKeyDown(TMessage& Message)
{
    auto& key = MessageAs<TWMKey>(Message);
    Message.Result = 1;
    if (!IsKeyOfFocusedEdit(key) && IsMenuKey(key))
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
                MoveInGroup(active, key.CharCode == VK_RIGHT || key.CharCode == VK_DOWN);
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

