#include <gtest/gtest.h>
#include <windows.h>

TEST(Platform, AnsiCodePageIs1251)
{
    EXPECT_EQ(GetACP(), 1251u);
    const char text[] = "Привет";
    EXPECT_EQ(sizeof text, 7u) << "narrow literals are compiled to CP1251";
    EXPECT_EQ(static_cast<unsigned char>(text[0]), 0xCFu);
}
