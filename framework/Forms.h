// The framework's Forms unit: the application object with its message loop and error box, the
// screen with its monitors, and (on top of the controls unit) scrolling controls and forms.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <vector>

#include "Classes.h"
#include "Graphics.h"
#include "SysUtils.h"

class TCustomForm;
class TWinControl;
class TControl;

// --- Application --------------------------------------------------------------------------

// Called with the exception that reached the application (instead of the error box).
using TExceptionEvent = std::function<void(TObject* Sender, Exception* E)>;
// Sees every message the loop takes from the queue; Handled = true stops its processing.
using TMessageEvent = std::function<void(MSG& Msg, bool& Handled)>;
// Called when the queue is empty; Done = false asks to be called again without waiting.
using TIdleEvent = std::function<void(TObject* Sender, bool& Done)>;
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
    // The text of error boxes and message boxes; defaults to the program's name.
    AnsiString Title() const;
    void SetTitle(const AnsiString& Value);
    // Full path of the program file.
    AnsiString ExeName() const;

    // The main form: the first form created with CreateForm; closing it ends Run.
    TCustomForm* MainForm() const { return FMainForm; }
    void SetMainForm(TCustomForm* Form) { FMainForm = Form; }
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

protected:
    // Takes one message from the queue and processes it; false when the queue was empty.
    bool ProcessMessage(MSG& Msg);
    // Keyboard messages go first to the nearest framework control as CN_ messages; answers
    // whether that control consumed the key.
    virtual bool IsKeyMsg(MSG& Msg);
    // Mouse and key presses hide a shown hint; the message itself is processed as usual.
    virtual void HintMouseMessage(const MSG& Msg);
    virtual void Idle(const MSG& Msg);

private:
    static LRESULT CALLBACK AppWndProc(HWND, UINT, WPARAM, LPARAM);
    void ReportException(TObject* Sender, Exception& E) noexcept;
    HWND MainFormHandle() const;
    void ShowMainFormAtRun();

    HWND FHandle = nullptr;
    TCustomForm* FMainForm = nullptr;
    bool FTerminate = false;
    bool FRunning = false;
    bool FOleInitialized = false;
    bool FMinimized = false;
    bool FShowHint = true;
    bool FHandlingException = false;
    int FModalLevel = 0;
    AnsiString FHint;
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
    mutable std::vector<std::unique_ptr<TMonitor>> FMonitors;
};

extern TScreen* Screen;
