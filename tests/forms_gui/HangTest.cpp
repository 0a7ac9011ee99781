// The watchdog over each test of a program: a test that waits for an answer nobody gives fails
// within its limit, naming itself and the window it waits on; a test that crashes fails at once,
// named.
#include <gtest/gtest.h>
#include <windows.h>

#include "TestKit.h"

TEST(EachTestWatchdog, DISABLED_WaitsOnABox)
{
    MessageBoxA(nullptr, "Ответа нет", "Зависший тест", MB_OK);
}

TEST(EachTestWatchdog, ATestThatWaitsPastItsLimitEndsTheProgramNamingItAndItsWindows)
{
    const testkit::SelfRun run =
        testkit::RunSelf("EachTestWatchdog.DISABLED_WaitsOnABox", "VELLORN_TEST_LIMIT_MS", "1000");
    EXPECT_EQ(run.code, 3u);
    EXPECT_NE(run.output.find("HANG: test EachTestWatchdog.DISABLED_WaitsOnABox took more than 1000 ms"),
              std::string::npos)
        << run.output;
    EXPECT_NE(run.output.find("open window: #32770 \"Зависший тест\""), std::string::npos) << run.output;
}

TEST(EachTestWatchdog, DISABLED_Crashes)
{
    volatile int* nowhere = nullptr;
    *nowhere = 1;
}

TEST(EachTestWatchdog, ACrashingTestEndsTheProgramAtOnceNamingIt)
{
    const testkit::SelfRun run = testkit::RunSelf("EachTestWatchdog.DISABLED_Crashes", "", "");
    EXPECT_EQ(run.code, 4u) << run.output;
    EXPECT_NE(run.output.find("CRASH: test EachTestWatchdog.DISABLED_Crashes: exception 0xC0000005"), std::string::npos)
        << run.output;
    EXPECT_NE(run.output.find("(write of 00000000)"), std::string::npos) << run.output;
}
