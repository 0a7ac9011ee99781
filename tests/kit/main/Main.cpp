// The main of every test program: GoogleTest with each test under the kit's watchdog, and a crash
// reported by the test's name.
#include <gtest/gtest.h>

#include "Watchdog.h"

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    testkit::WatchEachTest();
    testkit::ReportCrashes();
    return RUN_ALL_TESTS();
}
