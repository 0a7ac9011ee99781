// The change notifier: its worker exists only with a handler, reports changes on the
// user-interface thread, re-arms when its options change, ends by itself on a folder it cannot
// watch and starts again on one it can, sleeps while idle and is stopped and waited for when the notifier goes.
#include <gtest/gtest.h>

#include "GuiTest.h"
#include "TestKit.h"
#include "acShellCtrlsNotify.h"

using namespace testkit;

namespace {

// A handle of the worker that outlives the thread object.
HANDLE KeepThread(TThread* Thread)
{
    HANDLE h = nullptr;
    DuplicateHandle(GetCurrentProcess(), Thread->Handle(), GetCurrentProcess(), &h, 0, FALSE, DUPLICATE_SAME_ACCESS);
    return h;
}

bool Ended(HANDLE Thread) { return WaitForSingleObject(Thread, 0) == WAIT_OBJECT_0; }

class Notifier : public GuiTest {
protected:
    void TearDown() override
    {
        if (notifier)
            notifier->Free();
        if (worker)
            CloseHandle(worker);
        GuiTest::TearDown();
    }
    // A notifier on the test's folder whose handler counts its calls.
    void Watch()
    {
        notifier = Create<TacShellChangeNotifier>(nullptr);
        notifier->SetRoot(dir.Path());
        notifier->SetWatchSubTree(false);
        notifier->SetOnChange(TThreadMethod([this] {
            ++calls;
            calledOn = GetCurrentThreadId();
        }));
        ASSERT_NE(notifier->Thread(), nullptr);
        worker = KeepThread(notifier->Thread());
    }
    TempDir dir;
    TacShellChangeNotifier* notifier = nullptr;
    HANDLE worker = nullptr;
    int calls = 0;
    DWORD calledOn = 0;
};

} // namespace

TEST_F(Notifier, AWorkerRunsOnlyWithAHandlerAndReportsAChangeOnTheUserInterfaceThread)
{
    auto* idle = Create<TacShellChangeNotifier>(nullptr);
    EXPECT_EQ(idle->Root(), "C:\\");
    EXPECT_TRUE(idle->WatchSubTree());
    EXPECT_EQ(NotifyFiltersToFlags(idle->NotifyFilters()), DWORD(FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_DIR_NAME));
    EXPECT_EQ(idle->Thread(), nullptr);
    idle->SetRoot(dir.Path());
    EXPECT_EQ(idle->Thread(), nullptr);
    idle->Free();

    Watch();
    WriteFileBytes(dir / "new.txt", "x");
    EXPECT_TRUE(WaitFor([&] { return calls > 0; }, "the change reported"));
    EXPECT_EQ(calledOn, GetCurrentThreadId());
    // Watched again only after its handler returned: one change makes a handful of calls, not
    // one for every turn of the worker.
    PumpFor(2000);
    EXPECT_LE(calls, 5);
}

TEST_F(Notifier, TheSameRootDoesNotReArmButFiltersAndSubtreeAlwaysDo)
{
    Watch();
    TacShellChangeThread* thread = notifier->Thread();
    const int start = thread->OptionChanges();
    notifier->SetRoot(dir.Path());
    EXPECT_EQ(thread->OptionChanges(), start);
    notifier->SetFilters(notifier->NotifyFilters());
    EXPECT_EQ(thread->OptionChanges(), start + 1);
    notifier->SetWatchSubTree(false);
    EXPECT_EQ(thread->OptionChanges(), start + 2);

    // Re-armed on another folder, the worker reports that folder's changes.
    TempDir other;
    notifier->SetRoot(other.Path());
    calls = 0;
    WriteFileBytes(other / "moved.txt", "x");
    EXPECT_TRUE(WaitFor([&] { return calls > 0; }, "the change in the new folder"));
}

TEST_F(Notifier, AFolderThatCannotBeWatchedEndsTheWorkerUntilAFolderThatCanBeIsGiven)
{
    notifier = Create<TacShellChangeNotifier>(nullptr);
    notifier->SetRoot(dir / "missing\\");
    notifier->SetOnChange(TThreadMethod([this] { ++calls; }));
    worker = KeepThread(notifier->Thread());
    EXPECT_TRUE(WaitFor([&] { return notifier->Thread() == nullptr; }, "the worker forgotten"));
    EXPECT_TRUE(WaitFor([&] { return Ended(worker); }, "the worker ended"));
    EXPECT_EQ(calls, 0);
    // A folder that can be watched starts a worker again.
    notifier->SetRoot(dir.Path());
    ASSERT_NE(notifier->Thread(), nullptr);
    WriteFileBytes(dir / "new.txt", "x");
    EXPECT_TRUE(WaitFor([&] { return calls > 0; }, "the change reported"));
}

TEST_F(Notifier, AnIdleWorkerSleepsAndFreeingTheNotifierEndsItAtOnce)
{
    Watch();
    PumpFor(200); // the worker idles this long
    FILETIME created, exited, kernel, user;
    ASSERT_TRUE(GetThreadTimes(worker, &created, &exited, &kernel, &user));
    EXPECT_LT(kernel.dwLowDateTime + user.dwLowDateTime, 200000u) << "CPU time in 100 ns units";

    notifier->Free();
    notifier = nullptr;
    EXPECT_TRUE(Ended(worker)); // woken and waited for, not left for the next change
    WriteFileBytes(dir / "late.txt", "x");
    PumpFor(300); // no call comes for a change after the free
    EXPECT_EQ(calls, 0);
}

TEST_F(Notifier, FreedInsideItsOwnHandlerTheNotifierLetsTheWorkerEndByItself)
{
    Watch();
    notifier->SetOnChange(TThreadMethod([this] {
        ++calls;
        FreeAndNil(notifier);
    }));
    WriteFileBytes(dir / "one.txt", "x");
    EXPECT_TRUE(WaitFor([&] { return notifier == nullptr; }, "the notifier freed by its handler"));
    EXPECT_TRUE(WaitFor([&] { return Ended(worker); }, "the worker ended"));
    WriteFileBytes(dir / "two.txt", "x");
    PumpFor(200); // no call comes for a change after the handler freed it
    EXPECT_EQ(calls, 1);
}
