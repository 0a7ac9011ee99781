#include "acShellCtrlsNotify.h"

namespace {

// Guards the options of every change thread and the opening of their notifications.
TCriticalSection& OptionsLock()
{
    static TCriticalSection lock;
    return lock;
}

} // namespace

DWORD NotifyFiltersToFlags(TacNotifyFilters Filters)
{
    static constexpr DWORD flags[] = {FILE_NOTIFY_CHANGE_FILE_NAME,  FILE_NOTIFY_CHANGE_DIR_NAME,
                                      FILE_NOTIFY_CHANGE_ATTRIBUTES, FILE_NOTIFY_CHANGE_SIZE,
                                      FILE_NOTIFY_CHANGE_LAST_WRITE, FILE_NOTIFY_CHANGE_SECURITY};
    DWORD r = 0;
    for (std::size_t i = 0; i < std::size(flags); ++i)
        if (Filters.Contains(static_cast<TacNotifyFilter>(i)))
            r |= flags[i];
    return r;
}

// --- The thread -------------------------------------------------------------------------------

TacShellChangeThread::TacShellChangeThread(const TThreadMethod& ChangeEvent) : TThread(true), ChangeEvent(ChangeEvent)
{
    FreeOnTerminate = true;
}

TacShellChangeThread::~TacShellChangeThread()
{
    for (HANDLE h : {FWaitHandle, FPendingHandle})
        if (h != INVALID_HANDLE_VALUE)
            FindCloseChangeNotification(h);
}

void TacShellChangeThread::SetDirectoryOptions(const AnsiString& Directory, bool WatchSubTree, DWORD NotifyOptionFlags)
{
    {
        TLock lock(OptionsLock());
        FDirectory = Directory;
        FWatchSubTree = WatchSubTree;
        FNotifyOptionFlags = NotifyOptionFlags;
        if (FPendingHandle != INVALID_HANDLE_VALUE)
            FindCloseChangeNotification(FPendingHandle);
        FPendingHandle = FindFirstChangeNotificationA(FDirectory.c_str(), FWatchSubTree, FNotifyOptionFlags);
        FWaitChanged = true;
    }
    ++FOptionChanges;
    // The handle the worker waits on is never closed here: it swaps the handles itself.
    Wake();
}

void TacShellChangeThread::TakeNotification()
{
    if (FWaitHandle != INVALID_HANDLE_VALUE)
        FindCloseChangeNotification(FWaitHandle);
    FWaitHandle = FPendingHandle;
    FPendingHandle = INVALID_HANDLE_VALUE;
    FWaitChanged = false;
}

void TacShellChangeThread::CallChange()
{
    // Read here, on the user-interface thread: the handler may have been replaced or the
    // notifier gone meanwhile.
    if (!Terminated() && ChangeEvent) {
        TThreadMethod handler = ChangeEvent;
        handler();
    }
}

void TacShellChangeThread::Execute()
{
    {
        TLock lock(OptionsLock());
        TakeNotification();
    }
    // A folder that cannot be watched (from the start, or after a change of options) ends it.
    while (!Terminated() && FWaitHandle != INVALID_HANDLE_VALUE) {
        HANDLE handles[2] = {FWaitHandle, FWake.Handle()};
        const DWORD r = WaitForMultipleObjects(2, handles, FALSE, INFINITE);
        if (r == WAIT_FAILED || Terminated())
            break;
        if (r == WAIT_OBJECT_0)
            Synchronize(TThreadMethod(this, &TacShellChangeThread::CallChange));
        TLock lock(OptionsLock());
        if (FWaitChanged)
            TakeNotification();
        // A watch that cannot go on (its folder deleted) would report at once, for ever.
        else if (r == WAIT_OBJECT_0 && !FindNextChangeNotification(FWaitHandle))
            break;
    }
}

// --- The notifier -----------------------------------------------------------------------------

TacCustomShellChangeNotifier::TacCustomShellChangeNotifier(TComponent* AOwner) : TComponent(AOwner) { Start(); }

TacCustomShellChangeNotifier::~TacCustomShellChangeNotifier() { Stop(); }

void TacCustomShellChangeNotifier::BeforeDestruction()
{
    Stop();
    inherited::BeforeDestruction();
}

void TacCustomShellChangeNotifier::Start()
{
    if (!FOnChange || FThread)
        return;
    FThread = Create<TacShellChangeThread>(FOnChange);
    FThread->OnTerminate = TNotifyEvent(this, &TacCustomShellChangeNotifier::ThreadTerminated);
    FThread->SetDirectoryOptions(FRoot, FWatchSubTree, NotifyFiltersToFlags(FFilters));
    FThread->Resume();
}

void TacCustomShellChangeNotifier::Stop()
{
    TacShellChangeThread* thread = FThread;
    FThread = nullptr;
    if (!thread)
        return;
    thread->OnTerminate = nullptr;
    thread->ChangeEvent = nullptr;
    thread->Terminate();
    thread->Wake();
    // Inside its own handler the worker waits for this call to return: it ends right after and
    // frees itself. Otherwise it is waited for now, so nothing of it outlives the notifier.
    if (thread->InSynchronize())
        return;
    thread->FreeOnTerminate = false;
    thread->WaitFor();
    thread->Free();
}

void TacCustomShellChangeNotifier::ThreadTerminated(TObject* Sender)
{
    // The thread ended by itself (a folder that cannot be watched, a failed wait): it frees
    // itself, and nothing here may use it any more.
    if (Sender == FThread)
        FThread = nullptr;
}

void TacCustomShellChangeNotifier::Change()
{
    // A worker that ended on a folder it could not watch starts again with the new options.
    if (FThread)
        FThread->SetDirectoryOptions(FRoot, FWatchSubTree, NotifyFiltersToFlags(FFilters));
    else
        Start();
}

void TacCustomShellChangeNotifier::SetRoot(const TacRoot& Value)
{
    if (Value == FRoot)
        return;
    FRoot = Value;
    Change();
}

void TacCustomShellChangeNotifier::SetFilters(TacNotifyFilters Value)
{
    FFilters = Value;
    Change();
}

void TacCustomShellChangeNotifier::SetWatchSubTree(bool Value)
{
    FWatchSubTree = Value;
    Change();
}

void TacCustomShellChangeNotifier::SetOnChange(const TThreadMethod& Value)
{
    FOnChange = Value;
    if (FThread)
        FThread->ChangeEvent = Value;
    else
        Start();
}
