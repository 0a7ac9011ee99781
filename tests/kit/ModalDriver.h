// Drives a modal loop from inside: a step runs on every tick of a thread timer (timers keep firing
// inside modal loops, system dialogs' included).
#pragma once

#include <windows.h>

#include <functional>

#include "TestKit.h"

namespace testkit {

// Runs a step on every tick of a thread timer (timers keep firing inside modal loops) until the
// step answers true; gives up after a bound so that a failing test cannot hang.
class TModalDriver {
public:
    explicit TModalDriver(std::function<bool()> step) : step_(std::move(step))
    {
        current_ = this;
        timer_ = SetTimer(nullptr, 0, 20, &TModalDriver::Tick);
    }
    ~TModalDriver()
    {
        KillTimer(nullptr, timer_);
        current_ = nullptr;
    }
    bool Done() const { return done_; }

private:
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD)
    {
        TModalDriver* self = current_;
        if (!self || self->done_)
            return;
        if (GetTickCount64() - self->start_ > kModalLimitMs) {
            // Out of patience: close whatever box is open.
            if (HWND h = GetActiveWindow())
                PostMessageA(h, WM_CLOSE, 0, 0);
            return;
        }
        self->done_ = self->step_();
    }
    static inline TModalDriver* current_ = nullptr;
    std::function<bool()> step_;
    UINT_PTR timer_ = 0;
    ULONGLONG start_ = GetTickCount64();
    bool done_ = false;
};

} // namespace testkit
