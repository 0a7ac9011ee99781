// The framework's synchronisation objects: a critical section and events.
#pragma once

#include <windows.h>

#include "SysUtils.h"

enum TWaitResult { wrSignaled, wrTimeout, wrAbandoned, wrError };

class TCriticalSection : public TObject {
    VCL_CLASS(TCriticalSection, TObject)
public:
    TCriticalSection() { InitializeCriticalSection(&FSection); }
    ~TCriticalSection() override { DeleteCriticalSection(&FSection); }
    void Acquire() { EnterCriticalSection(&FSection); }
    void Release() { LeaveCriticalSection(&FSection); }
    void Enter() { Acquire(); }
    void Leave() { Release(); }

private:
    CRITICAL_SECTION FSection;
};

// Holds a critical section for its lifetime.
class TLock {
public:
    explicit TLock(TCriticalSection& Section) : FSection(Section) { FSection.Acquire(); }
    ~TLock() { FSection.Release(); }
    TLock(const TLock&) = delete;
    TLock& operator=(const TLock&) = delete;

private:
    TCriticalSection& FSection;
};

// A system event: with ManualReset off it lets one waiter through per SetEvent and resets itself.
class TEvent : public TObject {
    VCL_CLASS(TEvent, TObject)
public:
    TEvent(bool ManualReset, bool InitialState);
    ~TEvent() override;
    void SetEvent();
    void ResetEvent();
    TWaitResult WaitFor(DWORD Timeout);
    HANDLE Handle() const { return FHandle; }

private:
    HANDLE FHandle;
};

// An event that lets one waiter through per SetEvent.
class TAutoResetEvent : public TEvent {
    VCL_CLASS(TAutoResetEvent, TEvent)
public:
    TAutoResetEvent() : TEvent(false, false) {}
};
