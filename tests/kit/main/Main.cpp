// The main of every test program: GoogleTest with each test under the kit's watchdog.
#include <gtest/gtest.h>

#include "Watchdog.h"

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    testkit::WatchEachTest();
    return RUN_ALL_TESTS();
}
