#include <gtest/gtest.h>

#include "Forms.h"
#include "Graphics.h"
#include "StdCtrls.h"

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

TEST(WindowRegion, ASuperclassedButtonPaintsOnlyInsideItsRegion)
{
    auto* form = Create<TForm>(nullptr);
    form->SetBounds(100, 100, 240, 160);
    form->SetColor(clRed);
    auto* button = Create<TButton>(form);
    button->SetBounds(20, 20, 120, 60);
    button->SetParent(form);
    form->Show();
    WNDCLASSA wc{};
    ASSERT_TRUE(GetClassInfoA(GetModuleHandleA(nullptr), "Vellorn.TButton", &wc));
    EXPECT_EQ(wc.style & (CS_PARENTDC | CS_OWNDC | CS_CLASSDC), 0u);
    EXPECT_EQ(wc.style & (CS_HREDRAW | CS_VREDRAW), UINT(CS_HREDRAW | CS_VREDRAW));

    TRegion::Elliptic(0, 0, 120, 60).ApplyToWindow(button->Handle(), true);
    RedrawWindow(form->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    HDC dc = GetDC(form->Handle());
    const COLORREF corner = GetPixel(dc, 22, 22), centre = GetPixel(dc, 80, 50);
    ReleaseDC(form->Handle(), dc);
    EXPECT_EQ(corner, ColorToRGB(clRed)) << "outside the region the form shows through";
    EXPECT_NE(centre, ColorToRGB(clRed));
    form->Free();
}
