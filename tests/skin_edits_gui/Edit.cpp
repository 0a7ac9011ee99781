// The skinned edit: its cached look with the text unfocused, the native text inside the skinned
// frame focused, password characters, its answers without a skin, the hot look under the mouse
// only where the section asks for it, its disabled looks, and a fresh picture at each paint while
// it sticks out of its parent.
#include <gtest/gtest.h>

#include "../skin_controls_gui/ControlsKit.h"
#include "sEdit.h"
#include "sVclUtils.h"

using namespace controlskit;

namespace {

constexpr TColor Green = 0x00208020, Hot = 0x00F0E0D0, Ink = 0x00E0F0FF, HotInk = 0x000000C0;
constexpr TColor Normal = 0x000000FF, Lit = 0x00FF0000;

class Edit : public TablesTest {
protected:
    void Skin(bool HotUnderMouse = false)
    {
        TsGeneralData g = Section("EDIT", Green, Hot, Ink, HotInk);
        g.ReservedBoolean = HotUnderMouse;
        Activate({g});
        AddBorder("EDIT", {Normal, Lit, Lit});
    }
    TsEdit* Make(const char* Text = "Text", int Left = 10)
    {
        auto* e = Create<TsEdit>(form);
        e->SetBounds(Left, 10, 120, 22);
        e->SetText(Text);
        e->SetParent(form);
        return e;
    }
    // Shown with the focus on a plain edit of its own.
    void Show()
    {
        auto* sink = Create<TEdit>(form);
        sink->SetBounds(10, 150, 40, 22);
        sink->SetParent(form);
        form->Show();
        sink->SetFocus();
        testkit::WaitIdle();
    }
    static TBitmap* Cache(TsEdit* E) { return E->SkinData()->FCacheBmp.get(); }
};

} // namespace

TEST_F(Edit, UnfocusedItShowsTheCacheWithTheTextFocusedTheNativeTextInTheHotFrame)
{
    Skin();
    TsEdit* e = Make();
    e->SetAutoSelect(false);
    auto* other = Make("", 150);
    Show();
    EXPECT_EQ(e->Color(), Green) << "an edit made at run time takes the section's colours";
    EXPECT_EQ(e->Font()->Color(), Ink);
    other->SetFocus();
    testkit::WaitIdle();
    testkit::PixelImage look = testkit::ScreenPixels(e->Handle());
    EXPECT_EQ(look.Pixel(1, 1), Through(Normal));
    EXPECT_EQ(look.Pixel(60, 3), Through(Green)) << "the section's colour under the border's see-through centre";
    EXPECT_GT(look.CountColor(RECT{3, 3, 117, 19}, static_cast<COLORREF>(Ink)), 0) << "the text from the cache";

    e->SetFocus();
    testkit::WaitIdle();
    look = testkit::ScreenPixels(e->Handle());
    EXPECT_EQ(look.Pixel(1, 1), Through(Lit)) << "the frame of the active look";
    EXPECT_EQ(look.Pixel(117, 3), static_cast<COLORREF>(Green)) << "the native edit paints the client";
    EXPECT_EQ(look.CountColor(RECT{3, 3, 117, 19}, static_cast<COLORREF>(HotInk)), 0) << "no cached hot text";
    EXPECT_GT(look.CountColor(RECT{3, 3, 117, 19}, static_cast<COLORREF>(Ink)), 0);

    other->SetFocus();
    testkit::WaitIdle();
    EXPECT_EQ(testkit::ScreenPixels(e->Handle()).Pixel(1, 1), Through(Normal)) << "back to the normal look";
}

TEST_F(Edit, APasswordEditPaintsOneCharacterPerCharacterOfItsText)
{
    Skin();
    TsEdit* secret = Make("abcd");
    secret->SetPasswordChar('*');
    TsEdit* stars = Make("****", 150);
    Show();
    secret->PrepareCache();
    stars->PrepareCache();
    EXPECT_TRUE(SameImage(testkit::PrintWindowPixels(secret->Handle()), testkit::PrintWindowPixels(stars->Handle())));
    EXPECT_EQ(secret->Text(), "abcd");
}

TEST_F(Edit, ItSaysItIsSkinnedAndNotTexturedEvenWithoutASkin)
{
    TsEdit* e = Make();
    Show();
    EXPECT_EQ(Command(e, AC_ISSKINNED), 1);
    EXPECT_EQ(Command(e, AC_ISTEXTURED), 0);
    EXPECT_EQ(e->Color(), clWindow);
}

TEST_F(Edit, UnderTheMouseItLooksHotOnlyWhereTheSectionSaysSo)
{
    Skin(false);
    TsEdit* e = Make();
    Show();
    e->Perform(CM_MOUSEENTER);
    EXPECT_FALSE(e->SkinData()->MouseAbove);
    EXPECT_FALSE(ControlIsActive(e->SkinData()));

    Skin(true);
    e->Perform(SM_SKINCMD, MAKEWPARAM(0, AC_NEWSKIN));
    e->Perform(SM_SKINCMD, MAKEWPARAM(0, AC_REPAINT));
    e->Perform(CM_MOUSEENTER);
    EXPECT_TRUE(ControlIsActive(e->SkinData()));
    EXPECT_EQ(At(Cache(e), 1, 1), Through(Lit));
    e->Perform(CM_MOUSELEAVE);
    EXPECT_TRUE(WaitFor([&] { return At(Cache(e), 1, 1) == Through(Normal); }, "the normal frame in the cache"));
}

TEST_F(Edit, DisabledItIsGreyedOrBlendedWithItsParentByDisabledKind)
{
    Skin();
    TsEdit* e = Make("");
    e->SetEnabled(false);
    e->SetDisabledKind(TsDisabledKind{dkGrayed});
    Show();
    e->PrepareCache();
    const COLORREF grey = At(Cache(e), 60, 10);
    EXPECT_TRUE(GetRValue(grey) == GetGValue(grey) && GetGValue(grey) == GetBValue(grey)) << std::hex << grey;

    e->SetDisabledKind(TsDisabledKind{dkBlended});
    e->PrepareCache();
    const COLORREF mixed = At(Cache(e), 60, 10);
    // Between the section's green (0x20, 0x80, 0x20) and the form's (0x40, 0x40, 0x40).
    EXPECT_GT(GetRValue(mixed), 0x20);
    EXPECT_LT(GetRValue(mixed), 0x40);
    EXPECT_LT(GetGValue(mixed), 0x80);
    EXPECT_GT(GetGValue(mixed), 0x40);
}

TEST_F(Edit, OutOfItsParentsClientItIsRepaintedFromAFreshCacheEachTime)
{
    Skin();
    TsEdit* inside = Make();
    TsEdit* outside = Make("Text", 250); // 300 wide form: it sticks out on the right
    Show();
    for (TsEdit* e : {inside, outside}) {
        Cache(e)->Canvas()->SetPixels(60, 10, clRed);
        e->Invalidate();
        e->Update();
    }
    EXPECT_FALSE(inside->SkinData()->HalfVisible);
    EXPECT_EQ(At(Cache(inside), 60, 10), static_cast<COLORREF>(clRed)) << "a whole edit keeps its cache";
    EXPECT_TRUE(outside->SkinData()->HalfVisible);
    EXPECT_EQ(At(Cache(outside), 60, 10), Through(Green));
}
