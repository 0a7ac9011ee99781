// The framework's Forms unit: the application object with its message loop and error box, the
// screen with its monitors, and (on top of the controls unit) scrolling controls and forms.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <vector>

#include "Classes.h"
#include "Controls.h"
#include "Graphics.h"
#include "SysUtils.h"

class TCustomForm;
class THintWindow;

// --- Application --------------------------------------------------------------------------

// Lets the application change a hint before it is shown; CanShow = false shows none.
using TShowHintEvent = TMethod<void(AnsiString& HintStr, bool& CanShow, THintInfo& HintInfo)>;
// Called with the exception that reached the application (instead of the error box).
using TExceptionEvent = TMethod<void(TObject* Sender, Exception* E)>;
// Sees every message the loop takes from the queue; Handled = true stops its processing.
using TMessageEvent = TMethod<void(MSG& Msg, bool& Handled)>;
// Called when the queue is empty; Done = false asks to be called again without waiting.
using TIdleEvent = TMethod<void(TObject* Sender, bool& Done)>;
// Sees a message of the application's window first; answering true means it was handled (its
// Result is the answer) and the window's own handling is skipped.
using TWindowHook = TMethod<bool(TMessage& Message)>;
// Sees a help request first (Command HELP_CONTEXT, Data the topic); CallHelp = false keeps it from
// the platform's help. Answers whether it showed help.
using THelpEvent = TMethod<bool(Word Command, int Data, bool& CallHelp)>;
// The function behind every message box of the application (MessageBox and the error box):
// owner window, text, caption, MB_ flags -> the pressed button. Tests replace it to answer
// without a real modal window.
using TMessageBoxFunc = std::function<int(HWND Owner, const AnsiString& Text, const AnsiString& Caption, UINT Flags)>;

class TApplication : public TComponent {
    VCL_CLASS(TApplication, TComponent)
public:
    explicit TApplication(TComponent* AOwner);
    ~TApplication() override;

    // Initialises OLE for the user-interface thread; call before any form exists.
    void Initialize();

    // The hidden application window: owner of message boxes when no window is active.
    HWND Handle() const { return FHandle; }
    // Whether the locale's format settings are read again (GetFormatSettings) when the system
    // announces a change of settings (WM_SETTINGCHANGE) to the application's window; that happens
    // before the window's hooks see the message, so a hook finds the new settings in place.
    bool UpdateFormatSettings = true;
    // Adds a hook to the application window's messages (once; hooks run in the order added);
    // UnhookMainWindow removes the same method again.
    void HookMainWindow(TWindowHook Hook);
    void UnhookMainWindow(TWindowHook Hook);
    // The text of error boxes and message boxes; defaults to the program's name.
    AnsiString Title() const;
    void SetTitle(const AnsiString& Value);
    // Full path of the program file.
    AnsiString ExeName() const;
    // The application's icon (the program's first icon resource, else the system's): shown by
    // every form's caption and by the task bar.
    TIcon* Icon() const { return FIcon.get(); }

    // The main form: the first form created with CreateForm; closing it ends Run.
    TCustomForm* MainForm() const { return FMainForm; }
    // Creates a form owned by the application and stores it in Reference; the first form
    // created this way becomes the main form.
    template <class T>
    void CreateForm(T*& Reference);
    void SetMainForm(TCustomForm* Form);
    bool ShowMainForm = true;

    // Shows the main form and runs the message loop until Terminate (or the main form closes);
    // returns at once without a main form. Exceptions escaping a message go to HandleException.
    void Run();
    // Processes one message, or idles (and waits for one) when the queue is empty.
    void HandleMessage();
    // Processes every waiting message, then returns.
    void ProcessMessages();
    // Ends the loop: posts the quit message; Terminated becomes true when the loop takes it.
    void Terminate();
    bool Terminated() const { return FTerminate; }

    // Reports the exception being handled (call from a catch block): EAbort is silent; an
    // Exception goes to OnException or else to ShowException; other C++ exceptions are reported
    // as an Exception with their text. Never throws.
    void HandleException(TObject* Sender) noexcept;
    // The error box: the message (with a final period added) under the application title, with
    // the stop icon.
    void ShowException(Exception* E);
    // A message box owned by the active window; the other windows of the application are
    // disabled while it is open. Answers the pressed button (IDOK...).
    int MessageBox(const AnsiString& Text, const AnsiString& Caption, UINT Flags = MB_OK);
    TMessageBoxFunc MessageBoxFunc;

    // Help: topic Context goes to OnHelp, then (unless it kept it) to the platform's help with File,
    // else HelpFile. Answers whether help was shown.
    bool HelpContext(int Context, const AnsiString& File = AnsiString());
    // Whether a request for Context would reach any help: a topic (not 0), and a handler or a file.
    bool HelpAvailable(int Context, const AnsiString& File = AnsiString()) const;
    AnsiString HelpFile;
    THelpEvent OnHelp;

    // Minimises the main form (its owned windows follow) and fires OnMinimize; Restore undoes it.
    void Minimize();
    void Restore();
    bool Minimized() const { return FMinimized; }

    // Hint settings. Setting Hint fires OnHint.
    bool ShowHint() const { return FShowHint; }
    void SetShowHint(bool Value);
    Integer HintPause = 500;
    Integer HintShortPause = 50;
    Integer HintHidePause = 2500;
    const AnsiString& Hint() const { return FHint; }
    void SetHint(const AnsiString& Value);
    TColor HintColor = clInfoBk;
    // The hint window shown now (null when none).
    THintWindow* HintWindow() const { return FHintWindow; }
    // Hides the hint and forgets the control it was for.
    void CancelHint();
    // Sees the mouse messages of every control (installed as the controls unit's hook).
    void HintMouseMessage(TControl* Control, TMessage& Message);

    // Depth of nested modal loops (ShowModal, message boxes of the application).
    int ModalLevel() const { return FModalLevel; }
    void ModalStarted() { ++FModalLevel; }
    void ModalFinished() { --FModalLevel; }

    TExceptionEvent OnException;
    TMessageEvent OnMessage;
    TIdleEvent OnIdle;
    TNotifyEvent OnMinimize;
    TNotifyEvent OnRestore;
    TNotifyEvent OnHint;
    TShowHintEvent OnShowHint;

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;
    // Takes one message from the queue and processes it; false when the queue was empty.
    bool ProcessMessage(MSG& Msg);
    // Keyboard messages go first to the nearest framework control as CN_ messages; answers
    // whether that control consumed the key.
    virtual bool IsKeyMsg(MSG& Msg);
    // Key presses and clicks hide a shown hint; the message itself is processed as usual.
    virtual void HintQueueMessage(const MSG& Msg);
    virtual void Idle(const MSG& Msg);

private:
    static LRESULT CALLBACK AppWndProc(HWND, UINT, WPARAM, LPARAM);
    void ReportException(TObject* Sender, Exception& E) noexcept;
    HWND MainFormHandle() const;
    void ShowMainFormAtRun();

    void IconChanged();
    HWND FHandle = nullptr;
    std::vector<TWindowHook> FWindowHooks;
    std::unique_ptr<TIcon> FIcon;
    TCustomForm* FMainForm = nullptr;
    TComponent* FMainFormComponent = nullptr; // the same object, for notifications
    bool FTerminate = false;
    bool FRunning = false;
    bool FOleInitialized = false;
    bool FMinimized = false;
    bool FShowHint = true;
    bool FHandlingException = false;
    int FModalLevel = 0;
    AnsiString FHint;
    // Hint tracking.
    static void CALLBACK HintTimerProc(HWND, UINT, UINT_PTR, DWORD);
    void HintTimerExpired();
    void ShowHintFor(TControl* Control);
    void SetHintControl(TControl* Control);
    void StartHintTimer(int Delay, int Kind);
    void StopHintTimer();
    TControl* FHintControl = nullptr;
    THintWindow* FHintWindow = nullptr;
    TRect FHintCursorRect{};             // where the shown hint holds, in the control's client
    THintWindowClass FHintWindowClass{}; // the class the hint window was made from
    int FHintTimerKind = 0; // 0 none, 1 show after the pause, 2 hide after the hide pause
    bool FHintActive = false;
};

extern TApplication* Application;

// Disables every enabled, visible top-level window of this thread except Except, answering the
// list to give back to EnableTaskWindows.
std::vector<HWND> DisableTaskWindows(HWND Except);
void EnableTaskWindows(const std::vector<HWND>& Windows);

// --- Screen and monitors ------------------------------------------------------------------

// One monitor as a monitor source describes it.
struct TMonitorInfo {
    HMONITOR Handle = nullptr;
    RECT BoundsRect{};
    RECT WorkareaRect{};
    bool Primary = false;
};
// Lists the monitors; Screen uses the system's list unless a test installs its own.
using TMonitorSource = std::function<std::vector<TMonitorInfo>()>;

enum TMonitorDefaultTo { mdNearest, mdNull, mdPrimary };

class TMonitor : public TObject {
    VCL_CLASS(TMonitor, TObject)
public:
    TMonitor(const TMonitorInfo& Info, int Num) : FInfo(Info), FNum(Num) {}
    HMONITOR Handle() const { return FInfo.Handle; }
    int MonitorNum() const { return FNum; }
    bool Primary() const { return FInfo.Primary; }
    RECT BoundsRect() const { return FInfo.BoundsRect; }
    RECT WorkareaRect() const { return FInfo.WorkareaRect; }
    int Left() const { return FInfo.BoundsRect.left; }
    int Top() const { return FInfo.BoundsRect.top; }
    int Width() const { return FInfo.BoundsRect.right - FInfo.BoundsRect.left; }
    int Height() const { return FInfo.BoundsRect.bottom - FInfo.BoundsRect.top; }

private:
    TMonitorInfo FInfo;
    int FNum;
};

class TScreen : public TComponent {
    VCL_CLASS(TScreen, TComponent)
public:
    explicit TScreen(TComponent* AOwner);
    ~TScreen() override;

    // Forms in creation order (a form adds itself when created and removes itself when freed).
    int FormCount() const { return static_cast<int>(FForms.size()); }
    TCustomForm* Forms(int Index) const;
    void AddForm(TCustomForm* Form);
    void RemoveForm(TCustomForm* Form);
    // The form that holds the focus (or was last active) and its focused control.
    TCustomForm* ActiveForm() const { return FActiveForm; }
    TWinControl* ActiveControl() const { return FActiveControl; }
    void SetActive(TCustomForm* Form, TWinControl* Control);

    // The screen-wide cursor: anything but crDefault overrides every control's own cursor.
    TCursor Cursor() const { return FCursor; }
    void SetCursor(TCursor Value);
    // Cursor handles by number; the standard ones are loaded when first asked for.
    HCURSOR Cursors(int Index);
    void SetCursors(int Index, HCURSOR Handle);
    // Names of the installed fonts, sorted, without duplicates (read on first use).
    TStrings* Fonts();

    // The system's menu font (read when the screen is created).
    TFont* MenuFont() const { return FMenuFont.get(); }

    // Size of the primary monitor, its work area and the rectangle of all monitors.
    int Width() const;
    int Height() const;
    RECT WorkAreaRect() const;
    RECT DesktopRect() const;

    // Monitors from the monitor source, read afresh by each call of MonitorCount.
    int MonitorCount() const;
    TMonitor* Monitors(int Index) const;
    TMonitor* PrimaryMonitor() const;
    TMonitor* MonitorFromPoint(POINT P, TMonitorDefaultTo Default = mdNearest) const;
    TMonitor* MonitorFromRect(const RECT& R, TMonitorDefaultTo Default = mdNearest) const;
    TMonitor* MonitorFromWindow(HWND Wnd, TMonitorDefaultTo Default = mdNearest) const;
    // Installs a monitor source; an empty one restores the system's monitors.
    void SetMonitorSource(TMonitorSource Source);

private:
    void RefreshMonitors() const;
    std::vector<TCustomForm*> FForms;
    TCustomForm* FActiveForm = nullptr;
    TWinControl* FActiveControl = nullptr;
    TMonitorSource FMonitorSource;
    std::unique_ptr<TFont> FMenuFont;
    TCursor FCursor = crDefault;
    std::vector<std::pair<int, HCURSOR>> FCursorList;
    std::unique_ptr<TStringList> FFonts;
    mutable std::vector<std::unique_ptr<TMonitor>> FMonitors;
};

extern TScreen* Screen;

// --- Scrolling controls, forms and hints -------------------------------------------------


class TMainMenu;
class TScrollingWinControl;

enum TScrollBarKind { sbHorizontal, sbVertical };

// One scroll bar of a scrolling control: Range is the scrollable extent (no bar while it fits
// the client area), Position the distance scrolled.
class TControlScrollBar : public TPersistent {
    VCL_CLASS(TControlScrollBar, TPersistent)
public:
    TControlScrollBar(TScrollingWinControl* Control, TScrollBarKind Kind) : FControl(Control), FKind(Kind) {}
    void Assign(TPersistent* Source) override;

    TScrollBarKind Kind() const { return FKind; }
    int Range() const { return FRange; }
    void SetRange(int Value);
    int Position() const { return FPosition; }
    void SetPosition(int Value);
    bool Visible() const { return FVisible; }
    void SetVisible(bool Value);
    int Increment = 8;
    // Tracking: the content follows the thumb while it is dragged (else only where it is let go).
    bool Tracking() const { return FTracking; }
    void SetTracking(bool Value) { FTracking = Value; }
    // Smooth scrolling was asked for (kept for controls that copy the setting).
    bool Smooth() const { return FSmooth; }
    void SetSmooth(bool Value) { FSmooth = Value; }
    // True while the bar is shown (Range exceeds the client extent).
    bool IsScrollBarVisible() const;
    // The client extent the bar scrolls over.
    int ControlSize() const;

private:
    friend class TScrollingWinControl;
    void Update();
    void ScrollMessage(int Code, int ThumbPos);
    TScrollingWinControl* FControl;
    TScrollBarKind FKind;
    int FRange = 0;
    int FPosition = 0;
    bool FVisible = true;
    bool FTracking = false;
    bool FSmooth = false;
};

// A windowed control whose children can be scrolled; with AutoScroll the ranges follow the
// children's extents, computed again whenever the children are aligned (a child added, moved,
// resized or removed) unless DisableAutoRange holds them.
class TScrollingWinControl : public TWinControl {
    VCL_CLASS(TScrollingWinControl, TWinControl)
public:
    explicit TScrollingWinControl(TComponent* AOwner);
    ~TScrollingWinControl() override;
    void Dispatch(TMessage& Message) override;

    bool AutoScroll() const { return FAutoScroll; }
    void SetAutoScroll(bool Value);
    TControlScrollBar* HorzScrollBar() const { return FHorzScrollBar.get(); }
    TControlScrollBar* VertScrollBar() const { return FVertScrollBar.get(); }
    // Scrolls so that the control becomes visible.
    void ScrollInView(TControl* AControl);
    // Moves every child by the distance (positive: right and down).
    void ScrollBy(int DeltaX, int DeltaY);
    // Recomputes the ranges (AutoScroll) and shows or hides the bars.
    void UpdateScrollBars();
    // Holds the automatic ranges (nested); the last EnableAutoRange computes them again when
    // a bar is visible.
    void DisableAutoRange() { ++FAutoRangeCount; }
    void EnableAutoRange();
    void AlignControls(TControl* AControl, TRect& Rect) override;

protected:
    void CreateWnd() override;

private:
    friend class TControlScrollBar;
    void CalcAutoRange();
    std::unique_ptr<TControlScrollBar> FHorzScrollBar;
    std::unique_ptr<TControlScrollBar> FVertScrollBar;
    bool FAutoScroll = false;
    bool FUpdatingScrollBars = false;
    int FAutoRangeCount = 0;
};

// A reusable container of controls, placed on a form or on another frame (a child window, not
// a form: GetParentForm goes past it). It is built in code like a form: derive and create the
// components in the constructor; they are loading until the frame is complete (or until its
// form's loading pass, for a frame made while its form is built). AutoScroll is on.
class TCustomFrame : public TScrollingWinControl {
    VCL_CLASS(TCustomFrame, TScrollingWinControl)
public:
    explicit TCustomFrame(TComponent* AOwner);
    void AfterConstruction() override;

private:
    bool FOwnerLoading = false;
};

class TFrame : public TCustomFrame {
    VCL_CLASS(TFrame, TCustomFrame)
public:
    using TCustomFrame::TCustomFrame;
};

enum TFormBorderStyle { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };
enum TBorderIcon { biSystemMenu, biMinimize, biMaximize, biHelp };
using TBorderIcons = TSet<TBorderIcon>;
enum TPosition {
    poDesigned, poDefault, poDefaultPosOnly, poDefaultSizeOnly, poScreenCenter, poDesktopCenter, poMainFormCenter,
    poOwnerFormCenter
};
enum TFormStyle { fsNormal, fsMDIChild, fsMDIForm, fsStayOnTop };
enum TWindowState { wsNormal, wsMinimized, wsMaximized };
enum TCloseAction { caNone, caHide, caFree, caMinimize };
enum TFormStateItem { fsCreating, fsVisible, fsShowing, fsModal, fsCreatedMDIChild, fsActivated };
using TFormState = TSet<TFormStateItem>;

using TCloseEvent = TMethod<void(TObject* Sender, TCloseAction& Action)>;
using TCloseQueryEvent = TMethod<void(TObject* Sender, bool& CanClose)>;
using TShortCutEvent = TMethod<void(TWMKey& Msg, bool& Handled)>;
using TCanResizeEvent = TMethod<void(TObject* Sender, int& NewWidth, int& NewHeight, bool& Resize)>;

// A top-level window of the application. A form is built in code: derive, create the components
// in the constructor (they are loading then), and create the form with Create<T>(Owner) or
// Application->CreateForm; AfterConstruction runs the loading pass and then OnCreate.
class TCustomForm : public TScrollingWinControl {
    VCL_CLASS(TCustomForm, TScrollingWinControl)
public:
    explicit TCustomForm(TComponent* AOwner);
    ~TCustomForm() override;
    void AfterConstruction() override;
    void BeforeDestruction() override;
    void Dispatch(TMessage& Message) override;
    void DefaultHandler(TMessage& Message) override;

    TFormBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TFormBorderStyle Value);
    // The caption buttons; a change restyles the existing window without re-creating it.
    TBorderIcons BorderIcons() const { return FBorderIcons; }
    void SetBorderIcons(TBorderIcons Value);
    // Where the form is placed each time it is shown.
    TPosition Position() const { return FPosition; }
    void SetPosition(TPosition Value) { FPosition = Value; }
    TFormStyle FormStyle() const { return FFormStyle; }
    void SetFormStyle(TFormStyle Value);
    TWindowState WindowState() const { return FWindowState; }
    void SetWindowState(TWindowState Value);
    TMainMenu* Menu() const { return FMenu; }
    void SetMenu(TMainMenu* Value);
    // The control that has (or gets, when the form is activated) the focus.
    TWinControl* ActiveControl() const { return FActiveControl; }
    void SetActiveControl(TWinControl* Control);
    bool KeyPreview = false;
    TModalResult ModalResult() const { return FModalResult; }
    void SetModalResult(TModalResult Value) { FModalResult = Value; }
    TFormState FormState() const { return FFormState; }
    // BorderWidth (of TWinControl) is a margin inside the frame that belongs to the non-client
    // area: the client shrinks by it.
    // MDI: the client window of an fsMDIForm (null otherwise), its children and the active one.
    HWND ClientHandle() const { return FClientHandle; }
    int MDIChildCount() const;
    TCustomForm* MDIChildren(int Index) const;
    TCustomForm* ActiveMDIChild() const;
    bool Active() const { return FActive; }
    // The form's own icon (shown by its caption and the task bar); empty: the application's.
    // A change, of this icon or of the application's, reaches the form as CM_ICONCHANGED.
    TIcon* Icon() const { return FIcon.get(); }
    void SetIcon(TIcon* Value) { FIcon->Assign(Value); }
    // A canvas on the window's client area: the paint's context inside OnPaint, a context of its
    // own outside it.
    TCanvas* Canvas() const { return FCanvas.get(); }

    // Visible = true shows the form (OnShow first, then the placement by Position).
    void SetVisible(bool Value) override;
    void Show();
    void Hide();
    // OnCloseQuery, then OnClose chooses: hide (default), free (later, as by Release), minimise
    // or nothing; closing the main form ends the application's loop. Inside ShowModal it only
    // sets ModalResult to mrCancel.
    void Close();
    bool CloseQuery();
    // Frees the form once the messages already queued have been handled.
    void Release();
    // Shows the form modally: the other windows are disabled and messages (timers included) are
    // processed until ModalResult is set; answers it. Modal forms nest.
    virtual TModalResult ShowModal();

    // Form behaviour the controls unit asks for.
    bool IsForm() const override { return true; }
    TCustomForm* AsForm() override { return this; }
    // Without a window, the client area less the row of the main menu the window will show too.
    TRect ClientRect() override;
    bool SetFocusedControl(TWinControl* Control) override;
    void FocusControl(TWinControl* Control) override;
    // Activates the form with the focus on its active control (the first one in tab order that
    // can take it when it has none); the bare window only when no control can.
    void SetFocus() override;
    bool KeyPreviewEnabled() const override { return KeyPreview; }
    // Menu shortcuts of this form: OnShortCut, then the main menu.
    bool IsShortCut(TWMKey& Message) override;
    // CM_CANCELMODE to the active control of an active form (and of its active MDI child).
    void FormCancelMode(TControl* Sender) override;
    void ControlLeavesFocus(TWinControl* Control) override;

    TNotifyEvent OnCreate;
    TNotifyEvent OnDestroy;
    TNotifyEvent OnShow;
    TNotifyEvent OnHide;
    TNotifyEvent OnActivate;
    TNotifyEvent OnDeactivate;
    TNotifyEvent OnPaint;
    TCloseEvent OnClose;
    TCloseQueryEvent OnCloseQuery;
    TShortCutEvent OnShortCut;
    TCanResizeEvent OnCanResize;

protected:
    void CreateParams(TCreateParams& Params) override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void CreateWnd() override;
    void DestroyWnd() override;
    void AlignControls(TControl* AControl, TRect& Rect) override;
    void PaintWindow(HDC DC) override;
    virtual void DoCreate();
    virtual void DoClose(TCloseAction& Action);
    virtual void DoShow();
    virtual void DoHide();
    virtual void Activate();
    virtual void Deactivate();
    virtual void Paint();
    virtual bool CanResize(int& NewWidth, int& NewHeight);

private:
    void ApplyStyle();
    // Merges this form's menu into the main form's (an MDI child's always, another form's when
    // its menu has AutoMerge), or takes it out again.
    void MergeMenu(bool MergeState);
    void PlaceForShow();
    void ShowingChanged();
    void CloseModal();
    void ComputeStyle(DWORD& Style, DWORD& ExStyle) const;
    void SetActiveControlRef(TWinControl* Control);

    TFormBorderStyle FBorderStyle = bsSizeable;
    TBorderIcons FBorderIcons{biSystemMenu, biMinimize, biMaximize};
    TPosition FPosition = poDesigned;
    TFormStyle FFormStyle = fsNormal;
    TWindowState FWindowState = wsNormal;
    TMainMenu* FMenu = nullptr;
    TWinControl* FActiveControl = nullptr;
    TModalResult FModalResult = mrNone;
    TFormState FFormState;
    bool FActive = false;
    HWND FClientHandle = nullptr;
    std::vector<TCustomForm*> MDIChildList() const;
    std::unique_ptr<TControlCanvas> FCanvas;
    std::unique_ptr<TIcon> FIcon;
    // Gives the window the form's icon, or the application's when the form has none.
    void ApplyIcon();
};

class TForm : public TCustomForm {
    VCL_CLASS(TForm, TCustomForm)
public:
    using TCustomForm::TCustomForm;
};

template <class T>
void TApplication::CreateForm(T*& Reference)
{
    Reference = nullptr;
    T* form = nullptr;
    try {
        form = Create<T>(this);
    } catch (...) {
        // The form whose making failed is gone; its constructor may have pointed Reference at it.
        Reference = nullptr;
        throw;
    }
    Reference = form;
    if (!FMainForm) {
        if (auto* f = dynamic_cast<TCustomForm*>(form)) {
            f->HandleNeeded();
            SetMainForm(f);
        }
    }
}

// --- Hints --------------------------------------------------------------------------------

// The small window that shows a hint. Replaceable through HintWindowClass.
class THintWindow : public TCustomControl {
    VCL_CLASS(THintWindow, TCustomControl)
public:
    explicit THintWindow(TComponent* AOwner);
    // The rectangle (from 0, 0) the hint text needs, at most MaxWidth wide.
    virtual TRect CalcHintRect(int MaxWidth, const AnsiString& AHint, void* AData);
    // Shows the hint at the screen rectangle.
    virtual void ActivateHint(TRect Rect, const AnsiString& AHint);
    virtual void ActivateHintData(TRect Rect, const AnsiString& AHint, void*) { ActivateHint(Rect, AHint); }
    // Hides the hint window.
    virtual void ReleaseHandle();
    bool IsHintShown() const;

protected:
    void CreateParams(TCreateParams& Params) override;
    void Paint() override;
};

// Makes the application's hint window (a THintWindow unless replaced).
extern THintWindowClass HintWindowClass;

