// The skinned up-down: its buttons painted from the scroll-button sections, which of them is hot
// or pressed under the mouse, and the look of a button whose direction is exhausted.
#include <gtest/gtest.h>

#include "ControlsKit.h"
#include "Forms.h"
#include "sUpDown.h"

using namespace controlskit;

namespace {

constexpr TColor Normal = 0x00205020;
constexpr TColor Hot = 0x0040A0F0;

class UpDown : public TablesTest {
protected:
    TsUpDown* Make(TUDOrientation Orientation)
    {
        auto* u = Create<TsUpDown>(form);
        u->SetOrientation(Orientation);
        u->SetBounds(20, 20, Orientation == udVertical ? 20 : 40, Orientation == udVertical ? 40 : 20);
        u->SetParent(form);
        form->Show();
        testkit::WaitIdle();
        return u;
    }
    static void Skin(std::initializer_list<const char*> Names)
    {
        std::vector<TsGeneralData> sections;
        for (const char* n : Names)
            sections.push_back(Section(n, Normal, Hot));
        Activate(std::move(sections));
        InitConstantIndexes();
    }
    // The control painted into a bitmap of its size.
    static std::unique_ptr<TBitmap> Picture(TsUpDown* U)
    {
        auto bmp = std::make_unique<TBitmap>(U->Width(), U->Height());
        U->Perform(WM_PAINT, reinterpret_cast<WPARAM>(bmp->Canvas()->Handle()), 0);
        return bmp;
    }
    // The mouse over a point of the control.
    static void Hover(TsUpDown* U, int X, int Y)
    {
        POINT p{X, Y};
        ClientToScreen(U->Handle(), &p);
        U->Perform(WM_NCHITTEST, 0, MAKELPARAM(p.x, p.y));
    }
    static void Click(TsUpDown* U, int X, int Y)
    {
        U->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(X, Y));
        U->Perform(WM_LBUTTONUP, 0, MAKELPARAM(X, Y));
    }
    static COLORREF Rgb(TColor C) { return static_cast<COLORREF>(C); }
};

} // namespace

TEST_F(UpDown, AnExhaustedButtonLooksDisabledAndNeverLightsUp)
{
    TsUpDown* u = Make(udVertical);
    Skin({"SCROLLBTNTOP", "SCROLLBTNBOTTOM"});
    u->SetPosition(100);
    EXPECT_EQ(At(Picture(u).get(), 10, 30), Rgb(Normal)) << "the bottom button from its section";
    // The top button is faded 60 % of the way toward the form's colour 0x404040 (no parent image).
    const COLORREF faded = At(Picture(u).get(), 10, 10);
    EXPECT_NE(faded, Rgb(Normal));
    EXPECT_NEAR(GetGValue(faded), 0x50 + (0x40 - 0x50) * 60 / 100, 2);

    Hover(u, 10, 10);
    EXPECT_EQ(u->DrawingState(), dsDefault);
    Click(u, 10, 10);
    EXPECT_EQ(u->DrawingState(), dsDefault) << "neither pressed nor is the other button lit after the release";

    Hover(u, 10, 30);
    EXPECT_EQ(u->DrawingState(), dsNextUp);
    EXPECT_EQ(At(Picture(u).get(), 10, 30), Rgb(Hot));
    u->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 30));
    EXPECT_EQ(u->DrawingState(), dsNextDown);
    u->Perform(WM_LBUTTONUP, 0, MAKELPARAM(10, 30));
    EXPECT_EQ(u->DrawingState(), dsNextUp);
    EXPECT_EQ(u->Position(), 99);
    // A double click is a second press.
    u->Perform(WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(10, 30));
    EXPECT_EQ(u->DrawingState(), dsNextDown);
    u->Perform(WM_LBUTTONUP, 0, MAKELPARAM(10, 30));
    u->Perform(CM_MOUSELEAVE, 0, reinterpret_cast<LPARAM>(u));
    EXPECT_EQ(u->DrawingState(), dsDefault);
}

TEST_F(UpDown, WithoutInaccessibilityEitherButtonLightsUpAndIsPressed)
{
    TsUpDown* u = Make(udHorizontal);
    Skin({"SCROLLBTNLEFT", "SCROLLBTNRIGHT"});
    u->SetShowInaccessibility(false);
    EXPECT_EQ(u->Position(), 0);
    Hover(u, 30, 10);
    u->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(30, 10));
    EXPECT_EQ(u->DrawingState(), dsNextDown);
    EXPECT_EQ(At(Picture(u).get(), 30, 10), Rgb(Hot));
    EXPECT_EQ(At(Picture(u).get(), 10, 10), Rgb(Normal));
    u->Perform(WM_LBUTTONUP, 0, MAKELPARAM(30, 10));
    EXPECT_EQ(u->DrawingState(), dsNextUp);
}

TEST_F(UpDown, ASkinWithoutTheScrollButtonsLeavesTheNativeLook)
{
    TsUpDown* u = Make(udVertical);
    const auto native = Picture(u);
    Skin({"SCROLLBTNTOP"});
    const auto skinned = Picture(u);
    for (int y = 0; y < u->Height(); y += 3)
        for (int x = 0; x < u->Width(); x += 3)
            ASSERT_EQ(At(skinned.get(), x, y), At(native.get(), x, y)) << x << "," << y;
}
