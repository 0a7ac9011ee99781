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
    const testkit::SelfRun run = testkit::RunSelf("Watchdog.DISABLED_Hangs");
    char temp[MAX_PATH];
    GetTempPathA(sizeof temp, temp);
    const std::string saved = std::string(temp) + "vellorn_hang_" + std::to_string(run.pid) + ".bin";
    EXPECT_EQ(run.code, 3u);
    EXPECT_NE(run.output.find("HANG: an endless loop took more than 300 ms"), std::string::npos);
    EXPECT_EQ(testkit::ReadFileBytes(saved), "the input");
    DeleteFileA(saved.c_str());
}
