#include <gtest/gtest.h>

#include "Graphics.h"

TEST(WindowRegion, TheWindowTakesTheRegion)
{
    HWND wnd = CreateWindowExA(0, "STATIC", "", WS_POPUP, 10, 10, 100, 60, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(wnd, nullptr);
    TRegion shape = TRegion::RoundRect(0, 0, 101, 61, 30, 30);
    ASSERT_TRUE(shape.ApplyToWindow(wnd, false));
    EXPECT_FALSE(shape) << "the window owns the region now";
    TRegion probe = TRegion::Rect(0, 0, 0, 0);
    ASSERT_NE(GetWindowRgn(wnd, probe.Get()), ERROR);
    EXPECT_TRUE(probe.Contains(50, 30));
    EXPECT_FALSE(probe.Contains(0, 0)) << "the rounded corner is cut";
    DestroyWindow(wnd);
}
