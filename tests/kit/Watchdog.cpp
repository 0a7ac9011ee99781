#include "Watchdog.h"

#include <windows.h>

#include <cstdio>

#include "TestKit.h"

namespace testkit {

Watchdog::Watchdog(unsigned limitMs) : limitMs_(limitMs), thread_([this] { Watch(); }) {}

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

void Watchdog::Watch()
{
    std::unique_lock<std::mutex> g(lock_);
    while (!done_) {
        wake_.wait_for(g, std::chrono::milliseconds(200));
        if (done_ || !started_ || GetTickCount64() - started_ <= limitMs_)
            continue;
        char dir[MAX_PATH];
        GetTempPathA(sizeof dir, dir);
        const std::string path = std::string(dir) + "vellorn_hang_" + std::to_string(GetCurrentProcessId()) + ".bin";
        WriteFileBytes(path, input_);
        std::fprintf(stderr, "\nHANG: %s took more than %u ms; its input is saved as %s\n", what_.c_str(),
                     limitMs_, path.c_str());
        std::fflush(stderr);
        std::fflush(stdout);
        TerminateProcess(GetCurrentProcess(), 3);
    }
}

} // namespace testkit
