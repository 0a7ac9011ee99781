// The framework's ExtCtrls unit: the timer component.
#pragma once

#include <windows.h>

#include "Classes.h"

// Fires OnTimer every Interval milliseconds while Enabled, through a hidden window of its own.
// An exception raised by OnTimer is reported by Application->HandleException and the timer goes
// on. Ticks arrive from any message loop of the thread, modal loops included.
class TTimer : public TComponent {
    VCL_CLASS(TTimer, TComponent)
public:
    explicit TTimer(TComponent* AOwner);
    ~TTimer() override;

    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool Value);
    Cardinal Interval() const { return FInterval; }
    void SetInterval(Cardinal Value);
    TNotifyEvent OnTimer;
    // One tick more, as soon as the thread is back at its messages (its exception handled as a
    // tick's), for work that should not wait for the next one; nothing while the timer is off.
    void TickSoon();

    // The hidden window that receives the ticks.
    HWND Handle() const { return FWindowHandle; }

protected:
    // Fires OnTimer.
    virtual void Timer();

private:
    static LRESULT CALLBACK WndProc(HWND, UINT, WPARAM, LPARAM);
    void UpdateTimer();

    HWND FWindowHandle = nullptr;
    Cardinal FInterval = 1000;
    bool FEnabled = true;
    bool FRunning = false;
};
#include "ExtCtrlsPanels.h"
