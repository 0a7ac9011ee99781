#include "ExtCtrls.h"

#include "Forms.h"

namespace {
const char kTimerClass[] = "TPUtilWindow";
constexpr UINT_PTR kTimerId = 1;
} // namespace

TTimer::TTimer(TComponent* AOwner) : TComponent(AOwner)
{
    HINSTANCE inst = GetModuleHandleA(nullptr);
    WNDCLASSA wc{};
    if (!GetClassInfoA(inst, kTimerClass, &wc)) {
        wc = WNDCLASSA{};
        wc.lpfnWndProc = WndProc;
        wc.hInstance = inst;
        wc.lpszClassName = kTimerClass;
        RegisterClassA(&wc);
    }
    // A message-only window: invisible, never enumerated with the program's windows.
    FWindowHandle = CreateWindowExA(0, kTimerClass, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, inst, nullptr);
    if (!FWindowHandle)
        throw EOutOfResources("Not enough timers available");
    SetWindowLongPtrA(FWindowHandle, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    UpdateTimer();
}

TTimer::~TTimer()
{
    FEnabled = false;
    UpdateTimer();
    SetWindowLongPtrA(FWindowHandle, GWLP_USERDATA, 0);
    DestroyWindow(FWindowHandle);
}

void TTimer::SetEnabled(bool Value)
{
    if (Value != FEnabled) {
        FEnabled = Value;
        UpdateTimer();
    }
}

void TTimer::SetInterval(Cardinal Value)
{
    if (Value != FInterval) {
        FInterval = Value;
        UpdateTimer();
    }
}

void TTimer::UpdateTimer()
{
    if (FRunning) {
        KillTimer(FWindowHandle, kTimerId);
        FRunning = false;
    }
    if (FEnabled && FInterval != 0) {
        if (!SetTimer(FWindowHandle, kTimerId, FInterval, nullptr))
            throw EOutOfResources("Not enough timers available");
        FRunning = true;
    }
}

void TTimer::TickSoon()
{
    if (FRunning)
        PostMessageA(FWindowHandle, WM_TIMER, kTimerId, 0);
}

void TTimer::Timer()
{
    if (OnTimer)
        OnTimer(this);
}

LRESULT CALLBACK TTimer::WndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp)
{
    if (msg == WM_TIMER) {
        auto* self = reinterpret_cast<TTimer*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
        if (self && self->FRunning && !self->ComponentState().Contains(csDestroying)) {
            try {
                self->Timer();
            } catch (...) {
                if (Application)
                    Application->HandleException(self);
            }
        }
        return 0;
    }
    return DefWindowProcA(hwnd, msg, wp, lp);
}
