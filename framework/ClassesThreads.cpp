#include "ClassesThreads.h"

#include <process.h>

#include <map>
#include <mutex>

DWORD MainThreadID = GetCurrentThreadId();

namespace {

constexpr UINT WM_THREAD_SYNC = WM_USER + 1;     // LParam: the TSyncCall
constexpr UINT WM_THREAD_FINISHED = WM_USER + 2; // WParam: the serial of a thread that has ended

struct TSyncCall {
    TThread* Thread;
    const TThreadMethod* Method;
    std::exception_ptr Error;
};

// Live threads by serial: a notice of a thread's end finds the object only while it exists.
std::mutex g_registryLock;
std::map<unsigned, TThread*> g_threads;
unsigned g_lastSerial = 0;
HWND g_syncWindow = nullptr;

LRESULT CALLBACK SyncWndProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam);

HWND SyncWindow()
{
    if (!g_syncWindow && GetCurrentThreadId() == MainThreadID) {
        WNDCLASSA wc{};
        wc.lpfnWndProc = SyncWndProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "Vellorn.ThreadSync";
        RegisterClassA(&wc);
        g_syncWindow = CreateWindowExA(0, wc.lpszClassName, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                       wc.hInstance, nullptr);
    }
    return g_syncWindow;
}

} // namespace

struct ThreadSync {
    static void Run(TSyncCall& Call)
    {
        Call.Thread->FInSynchronize = true;
        try {
            (*Call.Method)();
        } catch (...) {
            Call.Error = std::current_exception();
        }
        Call.Thread->FInSynchronize = false;
        SetEvent(Call.Thread->FSyncDone);
    }
    static void Finished(unsigned Serial)
    {
        TThread* thread = nullptr;
        {
            std::lock_guard<std::mutex> lock(g_registryLock);
            auto it = g_threads.find(Serial);
            if (it != g_threads.end())
                thread = it->second;
        }
        if (thread && thread->FreeOnTerminate)
            thread->Free();
    }
};

namespace {

LRESULT CALLBACK SyncWndProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam)
{
    if (Msg == WM_THREAD_SYNC) {
        ThreadSync::Run(*reinterpret_cast<TSyncCall*>(LParam));
        return 0;
    }
    if (Msg == WM_THREAD_FINISHED) {
        try {
            ThreadSync::Finished(static_cast<unsigned>(WParam));
        } catch (...) {
        }
        return 0;
    }
    return DefWindowProcA(Wnd, Msg, WParam, LParam);
}

} // namespace

TThread::TThread(bool CreateSuspended) : FCreateSuspended(CreateSuspended)
{
    if (!SyncWindow())
        throw EThread("Threads are made on the user-interface thread");
    FSyncDone = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    unsigned id = 0;
    FHandle = reinterpret_cast<HANDLE>(_beginthreadex(nullptr, 0, &TThread::ThreadProc, this, CREATE_SUSPENDED, &id));
    if (!FHandle || !FSyncDone) {
        if (FSyncDone)
            CloseHandle(FSyncDone);
        throw EThread(Format("Thread creation error: %s", {SysErrorMessage(GetLastError())}));
    }
    FThreadID = id;
    FSuspended = true;
    std::lock_guard<std::mutex> lock(g_registryLock);
    FSerial = ++g_lastSerial;
    g_threads[FSerial] = this;
}

TThread::~TThread()
{
    {
        std::lock_guard<std::mutex> lock(g_registryLock);
        g_threads.erase(FSerial);
    }
    if (FHandle) {
        if (!FFinished) {
            // Freed without Free (plain delete): the thread must not outlive the object.
            FTerminated = true;
            if (FSuspended)
                ResumeThread(FHandle);
            WaitForSingleObject(FHandle, INFINITE);
        }
        CloseHandle(FHandle);
    }
    CloseHandle(FSyncDone);
}

void TThread::AfterConstruction()
{
    inherited::AfterConstruction();
    if (!FCreateSuspended)
        Resume();
}

void TThread::BeforeDestruction()
{
    if (FHandle && !FFinished) {
        Terminate();
        if (FSuspended)
            Resume();
        WaitFor();
    }
    inherited::BeforeDestruction();
}

void TThread::Resume()
{
    if (FSuspended) {
        FSuspended = false;
        ResumeThread(FHandle);
    }
}

DWORD TThread::WaitFor()
{
    if (GetCurrentThreadId() == MainThreadID) {
        for (;;) {
            // What is queued now stops counting as new; a call posted from here on either runs
            // in CheckSynchronize or wakes the wait.
            GetQueueStatus(QS_ALLINPUT);
            CheckSynchronize();
            const DWORD r = MsgWaitForMultipleObjects(1, &FHandle, FALSE, INFINITE, QS_POSTMESSAGE | QS_SENDMESSAGE);
            if (r != WAIT_OBJECT_0 + 1)
                break;
            MSG msg; // delivers messages sent from other threads
            PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
        }
    } else {
        WaitForSingleObject(FHandle, INFINITE);
    }
    DWORD code = 0;
    GetExitCodeThread(FHandle, &code);
    return code;
}

bool TThread::CheckSynchronize()
{
    if (!g_syncWindow)
        return false;
    bool ran = false;
    MSG msg;
    while (PeekMessageA(&msg, g_syncWindow, WM_THREAD_SYNC, WM_THREAD_SYNC, PM_REMOVE)) {
        ThreadSync::Run(*reinterpret_cast<TSyncCall*>(msg.lParam));
        ran = true;
    }
    return ran;
}

void TThread::Synchronize(TThread* Thread, const TThreadMethod& Method)
{
    if (GetCurrentThreadId() == MainThreadID || !Thread) {
        Method();
        return;
    }
    TSyncCall call{Thread, &Method, nullptr};
    if (!PostMessageA(g_syncWindow, WM_THREAD_SYNC, 0, reinterpret_cast<LPARAM>(&call)))
        return; // the user-interface thread is gone
    WaitForSingleObject(Thread->FSyncDone, INFINITE);
    if (call.Error)
        std::rethrow_exception(call.Error);
}

void TThread::CallOnTerminate()
{
    if (OnTerminate)
        OnTerminate(this);
}

void TThread::DoTerminate() { Synchronize(TThreadMethod(this, &TThread::CallOnTerminate)); }

unsigned __stdcall TThread::ThreadProc(void* Param)
{
    auto* thread = static_cast<TThread*>(Param);
    try {
        if (!thread->FTerminated)
            thread->Execute();
    } catch (...) {
        thread->FFatalException = std::current_exception();
    }
    try {
        thread->DoTerminate();
    } catch (...) {
    }
    const DWORD result = thread->ReturnValue;
    const unsigned serial = thread->FSerial;
    // From here on the object may be freed by the user-interface thread.
    thread->FFinished = true;
    PostMessageA(g_syncWindow, WM_THREAD_FINISHED, serial, 0);
    return result;
}
