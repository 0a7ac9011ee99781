// The controls unit's core: its globals and hooks, shift states, size constraints and the
// windowless control TControl (declared in Controls.h). The windowed control is in
// ControlsWindow.cpp, input in ControlsInput.cpp, painting and canvases in ControlsPaint.cpp.
#include "Controls.h"

#include <algorithm>

#include "ActnList.h"
#include "ControlsInternal.h"
#include "Menus.h" // a control follows the life of its pop-up menu

using namespace controls_internal;

// --- Globals of the unit ---------------------------------------------------------------------

namespace {

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




} // namespace

void (*HandleExceptionHook)(TObject* Sender) = DefaultHandleException;

namespace controls_internal {

std::vector<TControlCanvas*> gCanvasesWithDC;
TControl* gCaptureControl = nullptr;
TControl* gMouseControl = nullptr;
UINT_PTR gMousePollTimer = 0;
DragState gDrag;

TPoint SmallPointToPoint(LPARAM L)
{
    return TPoint{static_cast<SmallInt>(LOWORD(L)), static_cast<SmallInt>(HIWORD(L))};
}

LPARAM PointToLParam(TPoint P) { return MAKELPARAM(static_cast<Word>(P.x), static_cast<Word>(P.y)); }

bool IsMouseMsg(UINT Msg) { return Msg >= WM_MOUSEFIRST && Msg <= WM_MOUSELAST; }

HCURSOR CursorHandle(TCursor Cursor)
{
    HCURSOR h = CursorHandleHook ? CursorHandleHook(Cursor) : nullptr;
    return h ? h : DefaultCursorHandle(Cursor);
}

} // namespace controls_internal
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
    // The action hears no more of a control that goes.
    FActionLink.reset();
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
    if (Operation == opRemove && FActionLink && AComponent == FActionLink->Action())
        SetAction(nullptr);
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
    if (FControlStyle.Contains(csOpaque) && !TPaintDeferral::Active()) {
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
            pt = ClientToScreen(KeyboardPopupPoint());
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
    TBasicAction* action = Action();
    if (OnClick && !(action && OnClick == action->OnExecute))
        OnClick(this);
    else if (action)
        FActionLink->Execute(this);
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

// --- Forms and the keyboard pipeline ----------------------------------------------------------

TPoint PopupPointBelow(TWinControl* Control, const RECT& Item)
{
    RECT client{};
    if (Control->HandleAllocated())
        GetClientRect(Control->Handle(), &client);
    if (Item.right <= Item.left || Item.bottom <= Item.top || Item.top < client.top || Item.bottom > client.bottom ||
        Item.left >= client.right)
        return TPoint{0, 0};
    return TPoint{std::max(Item.left, client.left), Item.bottom};
}

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
