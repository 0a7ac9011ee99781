// Threads: synchronised calls run on the user-interface thread, also inside a modal loop of the
// system; OnTerminate runs there and a self-freeing thread is freed there; waiting for a thread
// that is inside a synchronised call does not lock up; exceptions reach the right thread.
#include <gtest/gtest.h>

#include "Classes.h"
#include "GuiTest.h"

#include <atomic>
#include <functional>

using namespace testkit;

namespace {

// A thread running a function; notes where its destructor ran.
class TTestThread : public TThread {
    VCL_CLASS(TTestThread, TThread)
public:
    TTestThread(std::function<void(TTestThread*)> Body, DWORD* DestroyedOn = nullptr)
        : TThread(true), FBody(std::move(Body)), FDestroyedOn(DestroyedOn)
    {
    }
    ~TTestThread() override
    {
        if (FDestroyedOn)
            *FDestroyedOn = GetCurrentThreadId();
    }
    using TThread::Synchronize;

protected:
    void Execute() override { FBody(this); }

private:
    std::function<void(TTestThread*)> FBody;
    DWORD* FDestroyedOn;
};

void CALLBACK CloseTestBox(HWND, UINT, UINT_PTR, DWORD)
{
    if (HWND box = FindWindowA(nullptr, "Synchronize test"))
        PostMessageA(box, WM_COMMAND, IDOK, 0);
}

} // namespace

class Threads : public GuiTest {};

TEST_F(Threads, ASynchronisedCallRunsInsideTheSystemsModalLoop)
{
    DWORD ranOn = 0;
    bool boxWasOpen = false;
    auto* thread = Create<TTestThread>([&](TTestThread* t) {
        Sleep(100);
        t->Synchronize(TThreadMethod([&] {
            ranOn = GetCurrentThreadId();
            HWND box = FindWindowA(nullptr, "Synchronize test");
            boxWasOpen = box != nullptr;
            if (box)
                PostMessageA(box, WM_COMMAND, IDOK, 0);
        }));
    });
    thread->Resume();
    // A fallback that closes the box should the call never come.
    const UINT_PTR timer = SetTimer(nullptr, 0, testkit::kPatienceMs, &CloseTestBox);
    MessageBoxA(nullptr, "waiting", "Synchronize test", MB_OK);
    KillTimer(nullptr, timer);
    thread->WaitFor();
    thread->Free();
    EXPECT_TRUE(boxWasOpen);
    EXPECT_EQ(ranOn, GetCurrentThreadId());
}

TEST_F(Threads, OnTerminateAndTheFreeingOfASelfFreeingThreadRunOnTheUserInterfaceThread)
{
    DWORD terminatedOn = 0, destroyedOn = 0;
    auto* thread = Create<TTestThread>([](TTestThread*) {}, &destroyedOn);
    thread->FreeOnTerminate = true;
    thread->OnTerminate = [&](TObject*) { terminatedOn = GetCurrentThreadId(); };
    thread->Resume();
    EXPECT_TRUE(WaitFor([&] { return destroyedOn != 0; }, "the thread freed"));
    EXPECT_EQ(terminatedOn, GetCurrentThreadId());
    EXPECT_EQ(destroyedOn, GetCurrentThreadId());
}

TEST_F(Threads, WaitingForAThreadInsideASynchronisedCallRunsTheCall)
{
    int calls = 0;
    auto* thread = Create<TTestThread>([&](TTestThread* t) {
        for (int i = 0; i < 3; ++i)
            t->Synchronize(TThreadMethod([&] { ++calls; }));
    });
    thread->Resume();
    thread->WaitFor(); // no message loop here: the wait itself runs the calls
    EXPECT_EQ(calls, 3);
    EXPECT_TRUE(thread->Finished());
    thread->Free();
}

TEST_F(Threads, ExceptionsOfACallAndOfExecuteStayWithTheirThread)
{
    AnsiString caught;
    auto* thread = Create<TTestThread>([&](TTestThread* t) {
        try {
            t->Synchronize(TThreadMethod([] { throw Exception("in the call"); }));
        } catch (const Exception& e) {
            caught = e.Message;
        }
        throw Exception("in Execute");
    });
    thread->Resume();
    thread->WaitFor();
    EXPECT_EQ(caught, "in the call");
    ASSERT_TRUE(thread->FatalException());
    EXPECT_EQ(Refusal<Exception>([&] { std::rethrow_exception(thread->FatalException()); }), "in Execute");
    thread->Free();
}

TEST_F(Threads, FreeingARunningThreadTerminatesAndWaitsForIt)
{
    std::atomic<bool> running{false}, sawTerminated{false};
    auto* thread = Create<TTestThread>([&](TTestThread* t) {
        running = true;
        while (!t->Terminated())
            Sleep(1);
        sawTerminated = true;
    });
    thread->Resume();
    ASSERT_TRUE(WaitFor([&] { return running.load(); }, "the thread running"));
    thread->Free();
    EXPECT_TRUE(sawTerminated);
}
