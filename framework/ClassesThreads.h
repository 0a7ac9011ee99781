// The framework's thread class. A TThread runs Execute on a thread of its own; Synchronize runs a
// method on the user-interface thread (the thread that made the first TThread, normally the main
// one) from a message posted to a hidden window of that thread, so the call also runs while that
// thread is inside a modal loop, a menu or a system dialog. OnTerminate runs there too, and a
// thread with FreeOnTerminate is freed there once it has ended.
#pragma once

#include <windows.h>

#include <atomic>
#include <exception>

#include "SysUtils.h"

VCL_EXCEPTION(EThread, Exception)

using TThreadMethod = TMethod<void()>;

class TThread : public TObject {
    VCL_CLASS(TThread, TObject)
public:
    // Made on the user-interface thread. Unless CreateSuspended, the thread starts once the
    // object is complete (Create<T> runs AfterConstruction); otherwise Resume starts it.
    explicit TThread(bool CreateSuspended);
    ~TThread() override;
    void AfterConstruction() override;
    // Free() terminates the thread and waits for its end first, while the whole object exists.
    void BeforeDestruction() override;

    void Resume();
    // Asks Execute to end (it reads Terminated).
    void Terminate() { FTerminated = true; }
    bool Terminated() const { return FTerminated; }
    // Execute has returned (and OnTerminate has run).
    bool Finished() const { return FFinished; }
    // Waits for the thread's end and answers ReturnValue. On the user-interface thread the
    // synchronised calls of every thread run meanwhile, so a thread inside Synchronize can end.
    DWORD WaitFor();
    HANDLE Handle() const { return FHandle; }
    DWORD ThreadID() const { return FThreadID; }
    // The exception that ended Execute (empty when none).
    std::exception_ptr FatalException() const { return FFatalException; }

    // Read on the user-interface thread once the thread has ended: the object frees itself there.
    // The user-interface thread may clear it while the thread runs and free the object itself.
    bool FreeOnTerminate = false;
    // Runs on the user-interface thread after Execute (through Synchronize); read there, so it may
    // be changed there at any time.
    TNotifyEvent OnTerminate;

    // Runs Method on the user-interface thread and waits for it; an exception it raises is raised
    // again here. Called on the user-interface thread itself, Method runs at once.
    static void Synchronize(TThread* Thread, const TThreadMethod& Method);
    // The user-interface thread runs the synchronised calls waiting for it (answers whether any ran).
    static bool CheckSynchronize();
    // True while a synchronised call of this thread runs on the user-interface thread.
    bool InSynchronize() const { return FInSynchronize; }

protected:
    virtual void Execute() = 0;
    // Runs OnTerminate through Synchronize.
    virtual void DoTerminate();
    void Synchronize(const TThreadMethod& Method) { Synchronize(this, Method); }
    DWORD ReturnValue = 0;

private:
    static unsigned __stdcall ThreadProc(void* Param);
    void CallOnTerminate();
    friend struct ThreadSync;

    HANDLE FHandle = nullptr;
    DWORD FThreadID = 0;
    HANDLE FSyncDone = nullptr; // auto-reset: the synchronised call is over
    unsigned FSerial = 0;
    std::atomic<bool> FTerminated{false};
    std::atomic<bool> FFinished{false};
    bool FSuspended = false;
    bool FCreateSuspended = false;
    bool FInSynchronize = false;
    std::exception_ptr FFatalException;
};

// The thread that runs synchronised calls.
extern DWORD MainThreadID;
