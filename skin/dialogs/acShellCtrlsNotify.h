// The change notifier of the shell views: a component that watches one file-system folder
// through the system's change notifications on a worker thread (TacShellChangeThread) and runs
// its OnChange handler on the user-interface thread after each change. The thread exists only
// while the notifier has a handler.
#pragma once

#include "Classes.h"
#include "SyncObjs.h"
#include "acShellCtrlsItems.h"

enum TacNotifyFilter {
    nfFileNameChange,
    nfDirNameChange,
    nfAttributeChange,
    nfSizeChange,
    nfWriteChange,
    nfSecurityChange
};
using TacNotifyFilters = TSet<TacNotifyFilter>;
// The system's FILE_NOTIFY_CHANGE_ flags of a filter set.
DWORD NotifyFiltersToFlags(TacNotifyFilters Filters);

// Waits for changes of one folder and hands each to the user-interface thread; the handler runs
// there while this thread waits for it, so changes that come meanwhile arrive as one call.
class TacShellChangeThread : public TThread {
    VCL_CLASS(TacShellChangeThread, TThread)
public:
    // Made suspended, freeing itself once it has ended.
    explicit TacShellChangeThread(const TThreadMethod& ChangeEvent);
    ~TacShellChangeThread() override;
    // The folder and flags to watch (user-interface thread): the notification is opened here,
    // so that a change from now on counts, and the worker takes it in place of the one it waited
    // on (which it closes itself).
    void SetDirectoryOptions(const AnsiString& Directory, bool WatchSubTree, DWORD NotifyOptionFlags);
    // Wakes the thread (it then reads Terminated and the options).
    void Wake() { FWake.SetEvent(); }
    // The handler; read on the user-interface thread, so it may be replaced there at any time.
    TThreadMethod ChangeEvent;
    // How often the options were set (each makes the thread open the notification again).
    int OptionChanges() const { return FOptionChanges; }

protected:
    void Execute() override;

private:
    void CallChange();
    // Takes the notification opened by SetDirectoryOptions (under the lock).
    void TakeNotification();

    TAutoResetEvent FWake;
    HANDLE FWaitHandle = INVALID_HANDLE_VALUE;
    HANDLE FPendingHandle = INVALID_HANDLE_VALUE;
    AnsiString FDirectory;
    bool FWatchSubTree = false;
    bool FWaitChanged = false;
    DWORD FNotifyOptionFlags = 0;
    int FOptionChanges = 0;
};

class TacCustomShellChangeNotifier : public TComponent {
    VCL_CLASS(TacCustomShellChangeNotifier, TComponent)
public:
    explicit TacCustomShellChangeNotifier(TComponent* AOwner);
    ~TacCustomShellChangeNotifier() override;
    // The thread is stopped and, unless this runs inside its own handler, waited for.
    void BeforeDestruction() override;

    TacNotifyFilters NotifyFilters() const { return FFilters; }
    void SetFilters(TacNotifyFilters Value);
    const TacRoot& Root() const { return FRoot; }
    void SetRoot(const TacRoot& Value);
    bool WatchSubTree() const { return FWatchSubTree; }
    void SetWatchSubTree(bool Value);
    const TThreadMethod& OnChange() const { return FOnChange; }
    void SetOnChange(const TThreadMethod& Value);
    // The worker while one runs (null: none, or it has ended by itself).
    TacShellChangeThread* Thread() const { return FThread; }

protected:
    void Start();
    void Change();

private:
    void Stop();
    void ThreadTerminated(TObject* Sender);

    TacNotifyFilters FFilters{nfFileNameChange, nfDirNameChange};
    bool FWatchSubTree = true;
    TacRoot FRoot = "C:\\";
    TacShellChangeThread* FThread = nullptr;
    TThreadMethod FOnChange;
};

class TacShellChangeNotifier : public TacCustomShellChangeNotifier {
    VCL_CLASS(TacShellChangeNotifier, TacCustomShellChangeNotifier)
public:
    using TacCustomShellChangeNotifier::TacCustomShellChangeNotifier;
};
