// The framework's Controls unit: controls with and without a window, the message dispatch chain,
// window creation and re-creation, alignment, focus, mouse and keyboard routing, drag and drop.
//
// Dispatch of a message to a control:
//   WindowProc (a replaceable TWndMethod; by default bound to the control's WndProc)
//   -> virtual WndProc (pre-processing: mouse routing, drag start, focus checks)
//   -> virtual Dispatch (each class's switch over the message numbers it handles; a handler's
//      "inherited" is `inherited::Dispatch(Message)`, which goes on up the class chain)
//   -> virtual DefaultHandler (for a control with a window: the system class's procedure).
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <vector>

#include "Classes.h"
#include "Graphics.h"
#include "Messages.h"
#include "Types.h"

class TControl;
class TWinControl;
class TCustomForm;
class TPopupMenu;
class TDragObject;
class TBasicAction;
class TBasicActionLink;

// --- Method reference for window procedures -------------------------------------------------

// An object and one of its member functions taking the message record. Copyable and comparable,
// so that a take-over can save a control's WindowProc, install its own and give the old back.
class TWndMethod {
public:
    using Method = void (TObject::*)(TMessage&);
    TWndMethod() = default;
    template <class C, class M>
    TWndMethod(C* Object, void (M::*Handler)(TMessage&))
        : FObject(static_cast<M*>(Object)), FMethod(static_cast<Method>(Handler))
    {
    }
    void operator()(TMessage& Message) const { (FObject->*FMethod)(Message); }
    explicit operator bool() const { return FObject && FMethod; }
    bool operator==(const TWndMethod& Other) const { return FObject == Other.FObject && FMethod == Other.FMethod; }
    bool operator!=(const TWndMethod& Other) const { return !(*this == Other); }
    TObject* Object() const { return FObject; }

private:
    TObject* FObject = nullptr;
    Method FMethod = nullptr;
};

// --- Enumerations, sets and events ----------------------------------------------------------

// The state of an owner-drawn item: the bits of DRAWITEMSTRUCT::itemState, one for one.
enum TOwnerDrawStateItem {
    odSelected, odGrayed, odDisabled, odChecked, odFocused, odDefault, odHotLight, odInactive, odNoAccel,
    odNoFocusRect, odReserved1, odReserved2, odComboBoxEdit
};
using TOwnerDrawState = TSet<TOwnerDrawStateItem>;
// The state of a DRAWITEMSTRUCT (ODS_ flags) as a set.
TOwnerDrawState OwnerDrawStateFromFlags(UINT itemState);

// Modal results of forms and dialogs (the Win32 dialog command ids where they exist).
using TModalResult = int;
constexpr TModalResult mrNone = 0;
constexpr TModalResult mrOk = 1;
constexpr TModalResult mrCancel = 2;
constexpr TModalResult mrAbort = 3;
constexpr TModalResult mrRetry = 4;
constexpr TModalResult mrIgnore = 5;
constexpr TModalResult mrYes = 6;
constexpr TModalResult mrNo = 7;
constexpr TModalResult mrAll = 8;
constexpr TModalResult mrNoToAll = 9;
constexpr TModalResult mrYesToAll = 10;


enum TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient, alCustom };
enum TAnchorKind { akLeft, akTop, akRight, akBottom };
using TAnchors = TSet<TAnchorKind>;
enum TAlignment { taLeftJustify, taRightJustify, taCenter };
enum TMouseButton { mbLeft, mbRight, mbMiddle };
enum TShiftStateItem { ssShift, ssAlt, ssCtrl, ssLeft, ssRight, ssMiddle, ssDouble };
using TShiftState = TSet<TShiftStateItem>;
enum TDragMode { dmManual, dmAutomatic };
enum TDragState { dsDragEnter, dsDragLeave, dsDragMove };
enum TDragMessage { dmDragEnter, dmDragLeave, dmDragMove, dmDragDrop, dmDragCancel, dmFindTarget };

enum TControlStateItem {
    csLButtonDown,
    csClicked,
    csPalette,
    csReadingState,
    csAlignmentNeeded,
    csFocusing,
    csCreating,
    csPaintCopy,
    csCustomPaint,
    csDestroyingHandle,
    csDocking
};
using TControlState = TSet<TControlStateItem>;

enum TControlStyleItem {
    csAcceptsControls,
    csCaptureMouse,
    csDesignInteractive,
    csClickEvents,
    csFramed,
    csSetCaption,
    csOpaque,
    csDoubleClicks,
    csFixedWidth,
    csFixedHeight,
    csNoDesignVisible,
    csReplicatable,
    csNoStdEvents,
    csDisplayDragImage,
    csReflector,
    csActionClient,
    csMenuEvents,
    csNeedsBorderPaint,
    csParentBackground
};
using TControlStyle = TSet<TControlStyleItem>;

using TCursor = SmallInt;
constexpr TCursor crDefault = 0, crNone = -1, crArrow = -2, crCross = -3, crIBeam = -4, crSizeNESW = -6,
                  crSizeNS = -7, crSizeNWSE = -8, crSizeWE = -9, crUpArrow = -10, crHourGlass = -11, crDrag = -12,
                  crNoDrop = -13, crHSplit = -14, crVSplit = -15, crMultiDrag = -16, crSQLWait = -17, crNo = -18,
                  crAppStart = -19, crHelp = -20, crHandPoint = -21, crSizeAll = -22, crSize = -22;

using TMouseEvent = TMethod<void(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y)>;
using TMouseMoveEvent = TMethod<void(TObject* Sender, TShiftState Shift, int X, int Y)>;
using TKeyEvent = TMethod<void(TObject* Sender, Word& Key, TShiftState Shift)>;
using TKeyPressEvent = TMethod<void(TObject* Sender, char& Key)>;
using TContextPopupEvent = TMethod<void(TObject* Sender, TPoint MousePos, bool& Handled)>;
using TDragOverEvent =
    TMethod<void(TObject* Sender, TObject* Source, int X, int Y, TDragState State, bool& Accept)>;
using TDragDropEvent = TMethod<void(TObject* Sender, TObject* Source, int X, int Y)>;
using TStartDragEvent = TMethod<void(TObject* Sender, TDragObject*& DragObject)>;
using TEndDragEvent = TMethod<void(TObject* Sender, TObject* Target, int X, int Y)>;
using TMouseWheelEvent =
    TMethod<void(TObject* Sender, TShiftState Shift, int WheelDelta, TPoint MousePos, bool& Handled)>;

// Shift state from the mouse message's key flags / from a key message's key data.
TShiftState KeysToShiftState(Word Keys);
TShiftState KeyDataToShiftState(LONG KeyData);
// The state of the modifier keys now.
TShiftState GetShiftState();

// --- Hints ------------------------------------------------------------------------------------

class THintWindow;
// Makes the hint window the application shows; replaceable (the skinned hint manager does).
// A plain function, so that two classes can be compared (a captureless lambda converts to it).
using THintWindowClass = THintWindow* (*)(TComponent* AOwner);

// What CM_HINTSHOW lets a control change before its hint is shown. HintPos is in screen
// coordinates; CursorPos (the mouse) and CursorRect (where the hint holds; leaving it shows the
// next hint) are in the hint control's client coordinates. A changed HintWindowClass is used.
struct THintInfo {
    TControl* HintControl = nullptr;
    THintWindowClass HintWindowClass = nullptr;
    TPoint HintPos{};
    int HintMaxWidth = 0;
    TColor HintColor = clInfoBk;
    TRect CursorRect{};
    TPoint CursorPos{};
    int ReshowTimeout = 0;
    int HideTimeout = 0;
    AnsiString HintStr;
    void* HintData = nullptr;
};

// --- Drag and drop ----------------------------------------------------------------------------

// What CM_DRAG carries: the drag object, the target and the position in the target's client.
struct TDragRec {
    TPoint Pos{};
    TDragObject* Source = nullptr;
    TControl* Target = nullptr;
    bool Docking = false;
};

// A drag in progress. OnStartDrag may hand out an object of its own; otherwise the control's
// drag runs with a TDragControlObject.
class TDragObject : public TObject {
    VCL_CLASS(TDragObject, TObject)
public:
    TPoint DragPos{};
    TControl* DragTarget = nullptr;
    TPoint DragTargetPos{};
    bool Dropped = false;
    bool Cancelling = false;
    virtual TCursor GetDragCursor(bool Accepted, int X, int Y);
    virtual void Finished(TObject* /*Target*/, int /*X*/, int /*Y*/, bool /*Accepted*/) {}
};

class TDragControlObject : public TDragObject {
    VCL_CLASS(TDragControlObject, TDragObject)
public:
    explicit TDragControlObject(TControl* AControl) : Control(AControl) {}
    TControl* Control;
    TCursor GetDragCursor(bool Accepted, int X, int Y) override;
    void Finished(TObject* Target, int X, int Y, bool Accepted) override;
};

// The control under a screen point (a windowless child when one is there), or null.
TControl* FindDragTarget(TPoint Pos, bool AllowDisabled);
// The framework control bound to a window (null for a window that is not one of ours).
TWinControl* FindControl(HWND Handle);
// The framework control bound to the window or to its nearest ancestor that has one.
TWinControl* FindVCLWindow(TPoint Pos);
bool IsVCLWindow(HWND Handle);
// Whether a drag is running, and ending it (CancelDrag drops nothing).
bool Dragging();
void CancelDrag();
// The control that has the mouse captured (also a windowless one), or null.
TControl* GetCaptureControl();
void SetCaptureControl(TControl* Control);
// The control the mouse was last seen over (the one that had CM_MOUSEENTER).
TControl* MouseControl();

// --- Hooks installed by the units above this one ------------------------------------------------

// Called inside the catch block of every window procedure entry (and timer, hook, callback) with
// the object whose code raised; the exception is the one being handled. Forms installs the
// application's HandleException; the default shows a stop-icon box (EAbort is silent).
extern void (*HandleExceptionHook)(TObject* Sender);
// Runs the current exception through HandleExceptionHook; call only from a catch block.
void HandleCurrentException(TObject* Sender) noexcept;
// Pops up a control's menu at a screen point; answers false when it did not (no auto-popup).
// Installed by the menus unit.
extern bool (*PopupMenuHook)(TPopupMenu* Menu, TControl* Sender, int X, int Y);
// Whether a key message is a shortcut of a pop-up menu (and runs it). Installed by Menus.
extern bool (*PopupMenuShortCutHook)(TPopupMenu* Menu, TWMKey& Message);
// Sees every mouse message a control receives (the application's hint tracking). Installed by Forms.
extern void (*HintMouseMessageHook)(TControl* Control, TMessage& Message);
// The cursor handle of a cursor number (the screen's Cursors[]); the default knows the standard ones.
extern HCURSOR (*CursorHandleHook)(TCursor Cursor);
// The screen-wide cursor (Screen->Cursor); crDefault lets each control choose.
extern TCursor (*ScreenCursorHook)();

// Controls have the system's new look (client edges, flat scroll bars): always.
constexpr bool NewStyleControls = true;

// --- Size constraints and reading order -------------------------------------------------------

// The smallest and largest size a control may take (0: no limit). The control applies them to
// every change of its bounds; a window also gives them to the system (WM_GETMINMAXINFO), so a
// form is not resized beyond them by the user either. A maximum below the minimum lowers the
// minimum, a minimum above the maximum raises the maximum.
class TSizeConstraints : public TPersistent {
    VCL_CLASS(TSizeConstraints, TPersistent)
public:
    explicit TSizeConstraints(TControl* Control) : FControl(Control) {}
    void Assign(TPersistent* Source) override;

    int MinWidth() const { return FMinWidth; }
    int MinHeight() const { return FMinHeight; }
    int MaxWidth() const { return FMaxWidth; }
    int MaxHeight() const { return FMaxHeight; }
    void SetMinWidth(int Value);
    void SetMinHeight(int Value);
    void SetMaxWidth(int Value);
    void SetMaxHeight(int Value);
    // A width and height brought within the limits.
    void Constrain(int& Width, int& Height) const;
    TNotifyEvent OnChange;

private:
    void Change();
    TControl* FControl;
    int FMinWidth = 0, FMinHeight = 0, FMaxWidth = 0, FMaxHeight = 0;
};

// The reading order of a control's text. Controls are laid out left to right only: the mode is
// kept, inherited from the parent and announced (CM_BIDIMODECHANGED), nothing is mirrored.
enum TBiDiMode { bdLeftToRight, bdRightToLeft, bdRightToLeftNoAlign, bdRightToLeftReadingOnly };

using TConstrainedResizeEvent =
    TMethod<void(TObject* Sender, int& MinWidth, int& MinHeight, int& MaxWidth, int& MaxHeight)>;

// --- Controls --------------------------------------------------------------------------------

class TControl : public TComponent {
    VCL_CLASS(TControl, TComponent)
public:
    explicit TControl(TComponent* AOwner);
    ~TControl() override;
    void BeforeDestruction() override;

    // The message chain (see the top of this file).
    TWndMethod WindowProc;
    virtual void WndProc(TMessage& Message);
    virtual void Dispatch(TMessage& Message);
    virtual void DefaultHandler(TMessage& Message);
    // Sends a message straight to WindowProc (not through Windows) and answers its Result.
    LRESULT Perform(UINT Msg, WPARAM WParam = 0, LPARAM LParam = 0);
    void Perform(TMessage& Message) { WindowProc(Message); }

    TWinControl* Parent() const { return FParent; }
    virtual void SetParent(TWinControl* AParent);

    int Left() const { return FLeft; }
    int Top() const { return FTop; }
    int Width() const { return FWidth; }
    int Height() const { return FHeight; }
    void SetLeft(int Value) { SetBounds(Value, FTop, FWidth, FHeight); }
    void SetTop(int Value) { SetBounds(FLeft, Value, FWidth, FHeight); }
    void SetWidth(int Value) { SetBounds(FLeft, FTop, Value, FHeight); }
    void SetHeight(int Value) { SetBounds(FLeft, FTop, FWidth, Value); }
    virtual void SetBounds(int ALeft, int ATop, int AWidth, int AHeight);
    TRect BoundsRect() const { return Bounds(FLeft, FTop, FWidth, FHeight); }
    void SetBoundsRect(const TRect& R) { SetBounds(R.left, R.top, R.right - R.left, R.bottom - R.top); }
    virtual TRect ClientRect();
    int ClientWidth() { return ClientRect().right; }
    int ClientHeight() { return ClientRect().bottom; }
    void SetClientWidth(int Value) { SetClientSize(Value, ClientHeight()); }
    void SetClientHeight(int Value) { SetClientSize(ClientWidth(), Value); }
    virtual void SetClientSize(int AWidth, int AHeight);
    // Screen position of the client area's top-left corner.
    virtual TPoint ClientOrigin();
    TPoint ClientToScreen(const TPoint& P);
    TPoint ScreenToClient(const TPoint& P);

    TAlign Align() const { return FAlign; }
    void SetAlign(TAlign Value);
    TAnchors Anchors() const { return FAnchors; }
    void SetAnchors(TAnchors Value);
    TSizeConstraints* Constraints() const { return FConstraints.get(); }
    void SetConstraints(TSizeConstraints* Value) { FConstraints->Assign(Value); }
    // Automatic sizing: while AutoSize is on, every change of bounds asks CanAutoSize for the
    // size the control wants; AdjustSize applies it now.
    bool AutoSize() const { return FAutoSize; }
    virtual void SetAutoSize(bool Value);
    virtual void AdjustSize();

    bool Visible() const { return FVisible; }
    virtual void SetVisible(bool Value);
    void Show() { SetVisible(true); }
    void Hide() { SetVisible(false); }
    bool Enabled() const { return FEnabled; }
    virtual void SetEnabled(bool Value);

    TColor Color() const { return FColor; }
    void SetColor(TColor Value);
    bool ParentColor() const { return FParentColor; }
    void SetParentColor(bool Value);
    TFont* Font() const { return FFont.get(); }
    void SetFont(TFont* Value) { FFont->Assign(Value); }
    bool ParentFont() const { return FParentFont; }
    void SetParentFont(bool Value);

    // Caption and Text are one property: the window text (kept here while there is no window).
    AnsiString Text();
    void SetText(const AnsiString& Value);
    AnsiString Caption() { return Text(); }
    int GetTextLen() { return static_cast<int>(Perform(WM_GETTEXTLENGTH)); }
    // Ctl3D: the sunken three-dimensional look of bordered controls; ParentCtl3D follows the
    // parent's. A change is announced with CM_CTL3DCHANGED (children hear CM_PARENTCTL3DCHANGED).
    bool Ctl3D() const { return FCtl3D; }
    void SetCtl3D(bool Value);
    bool ParentCtl3D() const { return FParentCtl3D; }
    void SetParentCtl3D(bool Value);
    TBiDiMode BiDiMode() const { return FBiDiMode; }
    void SetBiDiMode(TBiDiMode Value);
    bool ParentBiDiMode() const { return FParentBiDiMode; }
    void SetParentBiDiMode(bool Value);
    // Text drawing flags for the reading order: left to right only, so the flags are unchanged.
    int DrawTextBiDiModeFlags(int Flags) const { return Flags; }
    int DrawTextBiDiModeFlagsReadingOnly() const { return 0; }
    bool UseRightToLeftAlignment() const { return false; }
    bool UseRightToLeftReading() const { return false; }
    bool UseRightToLeftScrollBar() const { return false; }
    // Whether the control is laid out right to left: never (see TBiDiMode).
    bool IsRightToLeft() const { return false; }
    void SetCaption(const AnsiString& Value) { SetText(Value); }

    const AnsiString& Hint() const { return FHint; }
    void SetHint(const AnsiString& Value) { FHint = Value; }
    bool ShowHint() const { return FShowHint; }
    void SetShowHint(bool Value);
    bool ParentShowHint() const { return FParentShowHint; }
    void SetParentShowHint(bool Value);

    TPopupMenu* PopupMenu() const { return FPopupMenu; }
    // The control hears of the menu's destruction and forgets it.
    void SetPopupMenu(TPopupMenu* Value);
    TCursor Cursor() const { return FCursor; }
    void SetCursor(TCursor Value);
    TDragMode DragMode() const { return FDragMode; }
    void SetDragMode(TDragMode Value) { FDragMode = Value; }
    TCursor DragCursor = crDrag;

    TControlState ControlState() const { return FControlState; }
    void SetControlState(TControlState Value) { FControlState = Value; }
    TControlStyle ControlStyle() const { return FControlStyle; }
    void SetControlStyle(TControlStyle Value) { FControlStyle = Value; }

    virtual void Invalidate();
    virtual void Update();
    virtual void Repaint();
    void Refresh() { Repaint(); }
    void BringToFront() { SetZOrder(true); }
    void SendToBack() { SetZOrder(false); }
    virtual void SetZOrder(bool TopMost);

    // Drag and drop: BeginDrag starts at once (Immediate) or after the mouse moved Threshold
    // pixels (-1: the system's drag distance).
    void BeginDrag(bool Immediate, int Threshold = -1);
    void EndDrag(bool Drop);
    bool IsDragging() const;
    // Asks the control whether it accepts Source here (OnDragOver; no handler means no).
    virtual void DragOver(TObject* Source, int X, int Y, TDragState State, bool& Accept);
    virtual void DragDrop(TObject* Source, int X, int Y);

    virtual bool HasParent() const { return FParent != nullptr; }
    void Loaded() override;

    // Events.
    TNotifyEvent OnClick;
    TNotifyEvent OnDblClick;
    TNotifyEvent OnResize;
    TMouseEvent OnMouseDown;
    TMouseEvent OnMouseUp;
    TMouseMoveEvent OnMouseMove;
    TMouseWheelEvent OnMouseWheel;
    TContextPopupEvent OnContextPopup;
    TDragOverEvent OnDragOver;
    TDragDropEvent OnDragDrop;
    TStartDragEvent OnStartDrag;
    TEndDragEvent OnEndDrag;
    TConstrainedResizeEvent OnConstrainedResize;

    // Runs the action when the control has one and no OnClick of its own, else OnClick.
    virtual void Click();
    virtual void DblClick();

    // The control shows the action's caption, state, hint and visibility (ActionChange at every
    // change of the action) and its click runs the action. Null: none.
    TBasicAction* Action() const;
    void SetAction(TBasicAction* Value);
    TBasicActionLink* ActionLink() const { return FActionLink.get(); }
    // The action brings itself up to date (the application's idle pass calls it).
    void InitiateAction();

protected:
    // Takes the action's settings; CheckDefaults (a new action while loading) takes only those
    // the control still has at their defaults.
    virtual void ActionChange(TObject* Sender, bool CheckDefaults);
    virtual void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y);
    virtual void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y);
    virtual void MouseMove(TShiftState Shift, int X, int Y);
    virtual bool DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos);
    virtual void DoContextPopup(TPoint MousePos, bool& Handled);
    // Where a pop-up menu asked for by keys (Shift+F10, the menu key) opens, in client
    // coordinates: the control's corner, or below the item the keys act on.
    virtual TPoint KeyboardPopupPoint() { return TPoint{0, 0}; }
    virtual void DoStartDrag(TDragObject*& DragObject);
    virtual void DoEndDrag(TObject* Target, int X, int Y);
    virtual void Resize();
    // The size AutoSize wants from the size asked for; false keeps the size asked for.
    virtual bool CanAutoSize(int& NewWidth, int& NewHeight);
    // The limits of Constraints, which OnConstrainedResize may change, applied to a size.
    virtual void ConstrainedResize(int& MinWidth, int& MinHeight, int& MaxWidth, int& MaxHeight);
    // A size made what AutoSize and the constraints allow (used by SetBounds).
    void CheckNewSize(int& NewWidth, int& NewHeight);
    // The control's pop-up menu for a context click (may be overridden to choose another).
    virtual TPopupMenu* CurrentPopupMenu() { return FPopupMenu; }
    // Tells the control itself that its value changed (CM_CHANGED, LParam = the control).
    void Changed();
    void Notification(TComponent* AComponent, TOperation Operation) override;

    // Asks the parent for an alignment pass after a change of bounds, Align or Visible.
    void RequestAlign();
    // Keeps the anchor distances in step with the current bounds and parent size.
    void UpdateAnchorRules();
    // Invalidates the control's rectangle on the parent's window.
    void InvalidateControl(bool IsVisible, bool IsOpaque);
    void SetMouseCapture(bool Value);
    bool MouseCapture();
    // Sends CM_CANCELMODE (LParam = Sender) to the active control of every form up the chain.
    void SendCancelMode(TControl* Sender);

    // Message handlers of TControl.
    void WMLButtonDown(TWMMouse& Message);
    void WMLButtonDblClk(TWMMouse& Message);
    void WMLButtonUp(TWMMouse& Message);
    void WMMouseMove(TWMMouse& Message);
    void WMContextMenu(TMessage& Message);
    void CMHitTest(TMessage& Message) { Message.Result = HTCLIENT; }
    void CMVisibleChanged(TMessage& Message);
    void CMEnabledChanged(TMessage& Message);
    void CMColorChanged(TMessage& Message);
    void CMFontChanged(TMessage& Message);
    void CMParentColorChanged(TMessage& Message);
    void CMParentFontChanged(TMessage& Message);
    void CMParentShowHintChanged(TMessage& Message);
    void CMParentCtl3DChanged(TMessage& Message);
    void CMParentBiDiModeChanged(TMessage& Message);
    void CMDrag(TMessage& Message);
    void CMMouseWheel(TMessage& Message);
    void DoMouseDown(TWMMouse& Message, TMouseButton Button, TShiftState Shift);
    void DoMouseUp(TWMMouse& Message, TMouseButton Button);

    // Called by SetBounds; a windowed control moves its window.
    virtual void DoSetBounds(int ALeft, int ATop, int AWidth, int AHeight);
    void FontChanged(TObject* Sender);

    TWinControl* FParent = nullptr;
    int FLeft = 0, FTop = 0, FWidth = 0, FHeight = 0;
    TAlign FAlign = alNone;
    TAnchors FAnchors{akLeft, akTop};
    std::unique_ptr<TSizeConstraints> FConstraints;
    bool FAutoSize = false;
    bool FCtl3D = true;
    bool FParentCtl3D = true;
    TBiDiMode FBiDiMode = bdLeftToRight;
    bool FParentBiDiMode = true;
    bool FVisible = true;
    bool FEnabled = true;
    TColor FColor = clWindow;
    bool FParentColor = true;
    std::unique_ptr<TFont> FFont;
    bool FParentFont = true;
    AnsiString FText;
    AnsiString FHint;
    bool FShowHint = false;
    bool FParentShowHint = true;
    TPopupMenu* FPopupMenu = nullptr;
    TCursor FCursor = crDefault;
    TDragMode FDragMode = dmManual;
    TControlState FControlState;
    TControlStyle FControlStyle{csCaptureMouse, csClickEvents, csSetCaption, csDoubleClicks};
    std::unique_ptr<TBasicActionLink> FActionLink;
    // Anchor rules: the bounds and the parent's client size when they were last set by hand.
    TRect FAnchorOrigin{};
    TSize FAnchorParentSize{};
    bool FAnchorMove = false;

    friend class TWinControl;
    friend class TDragControlObject;
};

// Window-creation parameters, filled by CreateParams.
struct TCreateParams {
    AnsiString Caption;
    DWORD Style = 0;
    DWORD ExStyle = 0;
    int X = 0, Y = 0, Width = 0, Height = 0;
    HWND WndParent = nullptr;
    void* Param = nullptr;
    WNDCLASSA WindowClass{};
    AnsiString WinClassName;
};

// While one lives, Update and Repaint of every control only leave the control to be painted; when
// the last one ends, every window of the thread is painted what it waits for (frame, background,
// client), each window before its children. A change that reaches many controls at once (a new
// skin) thus paints each window once, not once per control that changed. The last one made with
// ByMessages leaves the windows to their own paint messages instead: each window paints in a
// message of its own, all before the thread is idle again (so the screen still changes at once),
// and no single message holds the thread for the whole repaint.
class TPaintDeferral {
public:
    explicit TPaintDeferral(bool ByMessages = false);
    ~TPaintDeferral();
    TPaintDeferral(const TPaintDeferral&) = delete;
    TPaintDeferral& operator=(const TPaintDeferral&) = delete;
    static bool Active();

private:
    bool FByMessages;
};

class TWinControl : public TControl {
    VCL_CLASS(TWinControl, TControl)
public:
    explicit TWinControl(TComponent* AOwner);
    ~TWinControl() override;
    void BeforeDestruction() override;
    void Loaded() override;

    void WndProc(TMessage& Message) override;
    void Dispatch(TMessage& Message) override;
    void DefaultHandler(TMessage& Message) override;

    // The window, created on demand (with the parent's window first).
    HWND Handle();
    // A message to the window: on the thread that made it, straight to the control's window
    // procedure (one pass through the chain instead of a system send on top, which costs as much
    // as a list's own work when thousands of items are added); from another thread, sent.
    LRESULT PerformOnWindow(UINT Msg, WPARAM WParam = 0, LPARAM LParam = 0);
    bool HandleAllocated() const { return FHandle != nullptr; }
    void HandleNeeded();
    // Destroys the windows of the children, then this one (state is kept for re-creation).
    void DestroyHandle();
    // Destroys and re-creates the window, keeping text, bounds, children and focus.
    void RecreateWnd();
    // A parent window that is not a framework control (for a control placed on a foreign window).
    HWND ParentWindow() const { return FParentWindow; }
    void SetParentWindow(HWND Value);

    // All children: windowless ones first, then the ones with a window (each in z-order).
    int ControlCount() const { return static_cast<int>(FControls.size() + FWinControls.size()); }
    TControl* Controls(int Index) const;
    void InsertControl(TControl* AControl);
    void RemoveControl(TControl* AControl);
    bool ContainsControl(TControl* Control) const;
    // The windowless child under a client point (topmost first), or null.
    TControl* ControlAtPos(const TPoint& Pos, bool AllowDisabled, bool AllowWinControls = false);
    // Sends a message to every child until one answers with a non-zero Result.
    void Broadcast(TMessage& Message);
    void NotifyControls(UINT Msg);

    bool Showing() const { return FShowing; }
    void UpdateControlState();

    // Focus.
    virtual bool CanFocus();
    bool Focused();
    virtual void SetFocus();
    bool TabStop() const { return FTabStop; }
    void SetTabStop(bool Value);
    int TabOrder() const;
    void SetTabOrder(int Value);
    void GetTabOrderList(std::vector<TWinControl*>& List);
    TWinControl* FindNextControl(TWinControl* CurControl, bool GoForward, bool CheckTabStop, bool CheckParent);
    void SelectNext(TWinControl* CurControl, bool GoForward, bool CheckTabStop);
    void SelectFirst();

    // A margin around the client area, announced with CM_BORDERCHANGED; each class gives it its
    // meaning (a form's frame, a panel's inner border, a tool bar's edge).
    int BorderWidth() const { return FBorderWidth; }
    void SetBorderWidth(int Value);

    // Alignment of the children.
    void DisableAlign() { ++FAlignLevel; }
    void EnableAlign();
    void Realign() { AlignControl(nullptr); }
    virtual void AlignControls(TControl* AControl, TRect& Rect);
    virtual void AdjustClientRect(TRect& /*Rect*/) {}

    TRect ClientRect() override;
    TPoint ClientOrigin() override;
    void SetClientSize(int AWidth, int AHeight) override;
    void Invalidate() override;
    void Update() override;
    void Repaint() override;
    void SetZOrder(bool TopMost) override;

    // Paints the windowless children in z-order into DC (starting at First when given).
    void PaintControls(HDC DC, TControl* First);
    // Paints the window (PaintWindow) around opaque windowless children, then those children.
    void PaintHandler(TWMPaint& Message);
    TBrush* Brush() const { return FBrush.get(); }

    // Form behaviour, overridden by the forms unit. A control is a form when IsForm answers true:
    // it can be shown without a parent and it is where GetParentForm stops.
    virtual bool IsForm() const { return false; }
    // This control as a form (TCustomForm answers itself), else null.
    virtual TCustomForm* AsForm() { return nullptr; }
    // Asks the form to let Control take the focus (false refuses).
    virtual bool SetFocusedControl(TWinControl* /*Control*/) { return true; }
    // Focuses a control of this form.
    virtual void FocusControl(TWinControl* Control);
    // The form's KeyPreview.
    virtual bool KeyPreviewEnabled() const { return false; }
    // Runs a menu shortcut of the form for the key; answers whether it was one.
    virtual bool IsShortCut(TWMKey& /*Message*/) { return false; }
    // Control, on this form, was hidden or disabled: the focus (and the form's active control),
    // when in Control, go on to the next control that can take them.
    virtual void ControlLeavesFocus(TWinControl* Control);
    // A mouse press on Sender: the form's active control hears CM_CANCELMODE (LParam = Sender).
    virtual void FormCancelMode(TControl* /*Sender*/) {}

    TKeyEvent OnKeyDown;
    TKeyEvent OnKeyUp;
    TKeyPressEvent OnKeyPress;
    TNotifyEvent OnEnter;
    TNotifyEvent OnExit;

    // Keyboard entry points used by the application's message loop.
    bool DoKeyDown(TWMKey& Message);
    bool DoKeyUp(TWMKey& Message);
    bool DoKeyPress(TWMKey& Message);

protected:
    virtual void CreateParams(TCreateParams& Params);
    // Makes this control a superclass of a system window class ("BUTTON", "EDIT", ...).
    void CreateSubClass(TCreateParams& Params, const char* ControlClassName);
    virtual void CreateWindowHandle(const TCreateParams& Params);
    virtual void CreateWnd();
    virtual void DestroyWnd();
    virtual void DestroyWindowHandle();
    virtual void CreateHandle();
    // Paints the window itself (the system class's painting, or Paint for custom controls).
    virtual void PaintWindow(HDC DC);
    virtual void KeyDown(Word& Key, TShiftState Shift);
    virtual void KeyUp(Word& Key, TShiftState Shift);
    virtual void KeyPress(char& Key);
    virtual bool IsMenuKey(TWMKey& Message);
    virtual void DoEnter();
    virtual void DoExit();
    void AlignControl(TControl* AControl);
    void FreeChildren();
    void UpdateShowing();
    void UpdateBounds();
    void DoSetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
    HWND PrecedingWindow(TWinControl* Control);
    // Mouse messages of the window that belong to a windowless child go to that child.
    bool IsControlMouseMsg(TWMMouse& Message);
    // Reflects a parent notification to the child object as CN_BASE + message.
    bool DoControlMsg(HWND ControlHandle, TMessage& Message);
    // The size that holds the visible children (with the window's frame); false without any.
    bool CanAutoSize(int& NewWidth, int& NewHeight) override;
    // Mouse enter/leave tracking for this window.
    void TrackMouse(bool NonClient);
    void MouseLeft();
    void MouseTracking(const TMessage& Message);

    // Message handlers of TWinControl.
    void WMPaint(TMessage& Message);
    void WMEraseBkgnd(TMessage& Message);
    void WMPrintClient(TMessage& Message);
    void WMWindowPosChanged(TMessage& Message);
    void WMSize(TMessage& Message);
    void WMCommand(TMessage& Message);
    void WMNotify(TMessage& Message);
    void WMDrawItem(TMessage& Message);
    void WMMeasureItem(TMessage& Message);
    void WMCompareItem(TMessage& Message);
    void WMDeleteItem(TMessage& Message);
    void WMCtlColor(TMessage& Message);
    void WMScroll(TMessage& Message);
    void WMSetFocus(TMessage& Message);
    void WMKillFocus(TMessage& Message);
    void WMSetCursor(TMessage& Message);
    void WMContextMenu(TMessage& Message);
    void WMKeyDown(TMessage& Message);
    void WMKeyUp(TMessage& Message);
    void WMChar(TMessage& Message);
    void WMNCDestroy(TMessage& Message);
    void CNKeyDown(TMessage& Message);
    void CNKeyUp(TMessage& Message);
    void CNChar(TMessage& Message);
    void CNSysKeyDown(TMessage& Message);
    void CNSysChar(TMessage& Message);
    void CMDialogKey(TMessage& Message);
    void CMDialogChar(TMessage& Message);
    void CMChildKey(TMessage& Message);
    // An arrow key on Current, which does not take the arrows: the focus moves within its group.
    static void MoveInGroup(TWinControl* Current, bool GoForward);
    void CMShowingChanged(TMessage& Message);
    void CMVisibleChanged(TMessage& Message);
    void CMEnabledChanged(TMessage& Message);
    void CMColorChanged(TMessage& Message);
    void CMFontChanged(TMessage& Message);
    void CMShowHintChanged(TMessage& Message);
    void CMRecreateWnd(TMessage& Message);
    void CMEnter(TMessage&) { DoEnter(); }
    void CMFocusChanged(TMessage& Message);
    void FocusEntered();
    void ForgetFocus();
    // This control was hidden or disabled: its form moves the focus off it (ControlLeavesFocus).
    void LeaveFocus();
    void CMExit(TMessage&) { DoExit(); }
    void CMInvalidate(TMessage& Message);
    void CMBorderChanged(TMessage& Message);
    void WMGetMinMaxInfo(TMessage& Message);

    HWND FHandle = nullptr;
    WNDPROC FDefWndProc = nullptr;
    DWORD FWndThread = 0; // the thread that made the window
    HWND FParentWindow = nullptr;
    std::vector<TControl*> FControls;    // windowless children, z-order
    std::vector<TWinControl*> FWinControls; // windowed children, z-order
    std::vector<TWinControl*> FTabList;
    bool FShowing = false;
    bool FTabStop = false;
    int FAlignLevel = 0;
    int FBorderWidth = 0;
    bool FRecreating = false;
    bool FCreateVisible = false; // the window being made shows at once
    std::unique_ptr<TBrush> FBrush;
    TWinControl* FFocusedControl = nullptr; // on a form: the control that has (or last had) the focus

private:
    friend LRESULT CALLBACK StdWndProc(HWND, UINT, WPARAM, LPARAM);
    friend class TControl;
    void BrushFromColor();
};

// A canvas on a control: its window's DC, or for a windowless control the parent's DC moved to
// the control's origin and clipped to it. It draws outside WM_PAINT too (timers, mouse handlers):
// the DC is taken on first use and kept until the application goes idle; a paint lends the
// canvas the paint's DC for the time of the paint.
class TControlCanvas : public TCanvas {
    VCL_CLASS(TControlCanvas, TCanvas)
public:
    ~TControlCanvas() override;
    TControl* Control = nullptr;
    void FreeHandle() override;
    HWND WindowHandle() const { return FWindowHandle; }

protected:
    void CreateHandle() override;

private:
    HDC FDeviceContext = nullptr;
    HWND FWindowHandle = nullptr;
};

// Releases the DCs that control canvases hold on a window (before it goes); FreeDeviceContexts
// releases those of every canvas that is not drawing now (the application calls it when idle).
void FreeDeviceContext(HWND Wnd);
void FreeDeviceContexts();

// A windowless control that paints itself in its parent's WM_PAINT.
class TGraphicControl : public TControl {
    VCL_CLASS(TGraphicControl, TControl)
public:
    explicit TGraphicControl(TComponent* AOwner);
    ~TGraphicControl() override;
    void Dispatch(TMessage& Message) override;
    TCanvas* Canvas() const { return FCanvas.get(); }

protected:
    virtual void Paint() {}
    void WMPaint(TMessage& Message);

private:
    std::unique_ptr<TControlCanvas> FCanvas;
};

// A control with a window of its own class that paints itself with Paint on its Canvas.
class TCustomControl : public TWinControl {
    VCL_CLASS(TCustomControl, TWinControl)
public:
    explicit TCustomControl(TComponent* AOwner);
    ~TCustomControl() override;
    void Dispatch(TMessage& Message) override;
    TCanvas* Canvas() const { return FCanvas.get(); }

protected:
    virtual void Paint() {}
    void PaintWindow(HDC DC) override;

private:
    std::unique_ptr<TControlCanvas> FCanvas;
};

// The form a control sits on (the first form up the parent chain), or null.
TCustomForm* GetParentForm(TControl* Control);
// The control at the top of the parent chain when it is a form, as a windowed control.
TWinControl* GetParentFormControl(TControl* Control);
// The keyboard pop-up point below an item's rectangle (client coordinates) while the item shows
// in the control's client area; the control's corner otherwise.
TPoint PopupPointBelow(TWinControl* Control, const RECT& Item);

// The keyboard step of the application's message loop: a key message goes first to the nearest
// framework control of its window as CN_BASE + message (CN_KEYDOWN, CN_CHAR, ...); answers true
// when that control consumed it (the message must then not be translated and dispatched).
bool IsKeyMsg(MSG& Msg);
