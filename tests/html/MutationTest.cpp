// The watchdog that guards the mutation tests of every format ends a program whose input hangs.
#include <gtest/gtest.h>
#include <windows.h>

#include "TestKit.h"
#include "Watchdog.h"

TEST(Watchdog, DISABLED_Hangs)
{
    testkit::Watchdog dog(300);
    dog.Next("an endless loop", "the input");
    for (;;)
        Sleep(50);
}

TEST(Watchdog, AHangEndsTheProgramNamingAndSavingItsInput)
{
    testkit::TempDir dir;
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    HANDLE out = CreateFileA((dir / "out.txt").c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(out, INVALID_HANDLE_VALUE);
    char exe[MAX_PATH];
    GetModuleFileNameA(nullptr, exe, MAX_PATH);
    std::string cmd = std::string("\"") + exe + "\" --gtest_filter=Watchdog.DISABLED_Hangs --gtest_also_run_disabled_tests";
    STARTUPINFOA si{};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdOutput = si.hStdError = out;
    PROCESS_INFORMATION pi{};
    ASSERT_TRUE(CreateProcessA(nullptr, cmd.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si, &pi));
    CloseHandle(out);
    DWORD code = 0;
    EXPECT_EQ(WaitForSingleObject(pi.hProcess, 20000), WAIT_OBJECT_0);
    GetExitCodeProcess(pi.hProcess, &code);
    char temp[MAX_PATH];
    GetTempPathA(sizeof temp, temp);
    const std::string saved = std::string(temp) + "vellorn_hang_" + std::to_string(pi.dwProcessId) + ".bin";
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    EXPECT_EQ(code, 3u);
    EXPECT_NE(testkit::ReadFileBytes(dir / "out.txt").find("HANG: an endless loop took more than 300 ms"),
              std::string::npos);
    EXPECT_EQ(testkit::ReadFileBytes(saved), "the input");
    DeleteFileA(saved.c_str());
}
