#include "Watchdog.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

#include "ProgramRun.h"
#include "TestKit.h"

namespace testkit {

Watchdog::Watchdog(unsigned limitMs, std::function<void()> OnHang)
    : limitMs_(limitMs), onHang_(std::move(OnHang)), thread_([this] { Watch(); })
{
}

Watchdog::~Watchdog()
{
    {
        std::lock_guard<std::mutex> g(lock_);
        done_ = true;
    }
    wake_.notify_all();
    thread_.join();
}

void Watchdog::Next(const std::string& what, const std::string& input)
{
    std::lock_guard<std::mutex> g(lock_);
    what_ = what;
    input_ = input;
    started_ = GetTickCount64();
}

void Watchdog::Idle()
{
    std::lock_guard<std::mutex> g(lock_);
    started_ = 0;
}

void Watchdog::Watch()
{
    std::unique_lock<std::mutex> g(lock_);
    while (!done_) {
        wake_.wait_for(g, std::chrono::milliseconds(200));
        if (done_ || !started_ || GetTickCount64() - started_ <= limitMs_)
            continue;
        std::fprintf(stderr, "\nHANG: %s took more than %u ms", what_.c_str(), limitMs_);
        if (!input_.empty()) {
            char dir[MAX_PATH];
            GetTempPathA(sizeof dir, dir);
            const std::string path = std::string(dir) + "vellorn_hang_" + std::to_string(GetCurrentProcessId()) + ".bin";
            WriteFileBytes(path, input_);
            std::fprintf(stderr, "; its input is saved as %s", path.c_str());
        }
        std::fprintf(stderr, "\n");
        if (onHang_)
            onHang_();
        std::fflush(stderr);
        std::fflush(stdout);
        TerminateProcess(GetCurrentProcess(), 3);
    }
}

namespace {

// The visible top-level windows of this process, by class and caption: what a hung test waits on.
void PrintOpenWindows()
{
    for (HWND wnd : VisibleWindows(nullptr, GetCurrentProcessId(), ""))
        std::fprintf(stderr, "  open window: %s \"%s\"\n", WindowClass(wnd).c_str(), WindowText(wnd).c_str());
}

class EachTest : public ::testing::EmptyTestEventListener {
public:
    explicit EachTest(unsigned limitMs)
        : dog_(limitMs, [] {
              PrintOpenWindows();
              ProgramRun::EndAll();
          })
    {
    }
    void OnTestStart(const ::testing::TestInfo& info) override
    {
        dog_.Next(std::string("test ") + info.test_suite_name() + "." + info.name());
    }
    void OnTestEnd(const ::testing::TestInfo&) override { dog_.Idle(); }

private:
    Watchdog dog_;
};

} // namespace

namespace {

LONG WINAPI ReportCrash(EXCEPTION_POINTERS* Info)
{
    const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
    const EXCEPTION_RECORD* r = Info->ExceptionRecord;
    std::fprintf(stderr, "\nCRASH: test %s.%s: exception 0x%08lX at %p", test ? test->test_suite_name() : "(none)",
                 test ? test->name() : "", static_cast<unsigned long>(r->ExceptionCode), r->ExceptionAddress);
    if (r->ExceptionCode == EXCEPTION_ACCESS_VIOLATION && r->NumberParameters >= 2)
        std::fprintf(stderr, " (%s of %p)", r->ExceptionInformation[0] ? "write" : "read",
                     reinterpret_cast<void*>(r->ExceptionInformation[1]));
    std::fprintf(stderr, "\n");
    ProgramRun::EndAll();
    std::fflush(stderr);
    std::fflush(stdout);
    TerminateProcess(GetCurrentProcess(), 4);
    return EXCEPTION_EXECUTE_HANDLER;
}

} // namespace

void ReportCrashes()
{
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX);
    SetUnhandledExceptionFilter(ReportCrash);
}

void WatchEachTest()
{
    const char* limit = std::getenv("VELLORN_TEST_LIMIT_MS");
    const unsigned ms = limit && std::atoi(limit) > 0 ? static_cast<unsigned>(std::atoi(limit)) : kTestLimitMs;
    ::testing::UnitTest::GetInstance()->listeners().Append(new EachTest(ms));
}

} // namespace testkit
