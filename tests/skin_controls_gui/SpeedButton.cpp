// The skinned speed button: a plain speed button without a skin; with one, its looks from the
// section, the glyph beside the arrow part of a drop-down button, its menu, the separator and
// divider styles, and its fading.
#include <gtest/gtest.h>

#include "ActnList.h"
#include "ControlsKit.h"
#include "ImgList.h"
#include "Menus.h"
#include "sSpeedButton.h"
#include "sUtils.h"

using namespace controlskit;

namespace {

constexpr TColor Normal = 0x00603010, Hot = 0x00A08040, Green = 0x0000FF00, FormColour = 0x00404040;
constexpr TColor Frame[3] = {0x000000C0, 0x0000C000, 0x00C00000};

// A menu that records where it was asked to show instead of showing.
class TRecordingMenu : public TPopupMenu {
    VCL_CLASS(TRecordingMenu, TPopupMenu)
public:
    using TPopupMenu::TPopupMenu;
    void Popup(int X, int Y) override
    {
        ++Shown;
        At = Point(X, Y);
        if (WhileOpen)
            WhileOpen();
    }
    int Shown = 0;
    TPoint At{};
    std::function<void()> WhileOpen;
};

class SpeedButton : public TablesTest {
protected:
    void Skin() { Activate({Section("SPEEDBUTTON", Normal, Hot)}); }
    TsSpeedButton* Make(int X = 10)
    {
        auto* b = Create<TsSpeedButton>(form);
        b->SetBounds(X, 10, 40, 24);
        b->SetParent(form);
        b->OnClick = [this](TObject*) { ++clicks; };
        return b;
    }
    void Show()
    {
        form->Show();
        testkit::WaitIdle();
    }
    // The form's client area as painted now.
    testkit::PixelImage Look() { return testkit::PrintWindowPixels(form->Handle(), true); }
    static void Mouse(TControl* Control, UINT Msg, int X, int Y)
    {
        Control->Perform(Msg, Msg == WM_LBUTTONDOWN ? MK_LBUTTON : 0, MAKELPARAM(X, Y));
    }
    int clicks = 0;
};

// The same pixels in two rectangles of one image, of the size of the first.
bool SameArea(const testkit::PixelImage& Image, const TRect& A, const TRect& B)
{
    for (int y = 0; y < HeightOf(A); ++y)
        for (int x = 0; x < WidthOf(A); ++x)
            if (Image.Pixel(A.left + x, A.top + y) != Image.Pixel(B.left + x, B.top + y))
                return false;
    return true;
}

} // namespace

TEST_F(SpeedButton, APlainSpeedButtonWithoutASkinAndItsLooksWithOne)
{
    auto* plain = Create<TSpeedButton>(form);
    plain->SetBounds(100, 10, 40, 24);
    plain->SetParent(form);
    TsSpeedButton* b = Make();
    Show();
    EXPECT_TRUE(SameArea(Look(), b->BoundsRect(), plain->BoundsRect())) << "no skin";
    EXPECT_EQ(Command(b, AC_ISSKINNED), 1);

    Skin();
    Command(b, AC_NEWSKIN);
    Command(b, AC_REPAINT);
    EXPECT_EQ(Look().Pixel(12, 12), static_cast<COLORREF>(Normal));
    b->Perform(CM_MOUSEENTER, 0, reinterpret_cast<LPARAM>(b));
    EXPECT_EQ(b->CurrentState(), 1);
    EXPECT_EQ(Look().Pixel(12, 12), static_cast<COLORREF>(Hot));
    Mouse(b, WM_LBUTTONDOWN, 5, 5);
    EXPECT_EQ(b->CurrentState(), 2);
    Mouse(b, WM_LBUTTONUP, 5, 5);
    EXPECT_EQ(clicks, 1);
    b->Perform(CM_MOUSELEAVE, 0, reinterpret_cast<LPARAM>(b));
    EXPECT_EQ(Look().Pixel(12, 12), static_cast<COLORREF>(Normal));

    Clear();
    Command(b, AC_REMOVESKIN);
    EXPECT_TRUE(SameArea(Look(), b->BoundsRect(), plain->BoundsRect())) << "the skin removed";
}

TEST_F(SpeedButton, TheGlyphBesideTheArrowPartAndTheStyleChangingTheWidth)
{
    Skin();
    TsSpeedButton* b = Make();
    TBitmap glyph(16, 16, pf24bit);
    glyph.Canvas()->Brush()->SetColor(Green);
    glyph.Canvas()->FillRect(Rect(0, 0, 16, 16));
    glyph.Canvas()->SetPixels(0, 15, clFuchsia);
    b->SetGlyph(&glyph);
    b->SetLayout(blGlyphRight);
    b->SetAlignment(taRightJustify);
    b->SetButtonStyle(tbsDropDown);
    EXPECT_EQ(b->Width(), 56);
    Show();
    EXPECT_EQ(b->ImgRect(), Rect(24, 4, 40, 20)) << "right of the main part, 56 - 16 wide: 40 - 16";
    EXPECT_EQ(Look().Pixel(10 + 30, 10 + 12), static_cast<COLORREF>(Green));
    EXPECT_EQ(Look().Pixel(10 + 50, 10 + 2), static_cast<COLORREF>(Normal)) << "the arrow part";
    b->SetButtonStyle(tbsCheck);
    EXPECT_EQ(b->Width(), 40);

    BeginLoading(form);
    auto* loading = Create<TsSpeedButton>(form);
    loading->SetButtonStyle(tbsDropDown);
    EXPECT_EQ(loading->Width(), 23) << "as stored";
    LoadedAll(form);
}

TEST_F(SpeedButton, APressOnTheArrowOpensTheMenuUnderTheButtonInsteadOfAClick)
{
    Skin();
    TsSpeedButton* b = Make();
    b->SetButtonStyle(tbsDropDown);
    auto* menu = Create<TRecordingMenu>(form);
    b->SetDropdownMenu(menu);
    TsSpeedButton* other = Make(100);
    other->SetButtonStyle(tbsDropDown);
    other->SetDropdownMenu(menu);
    Show();
    Application->SetShowHint(true);
    menu->WhileOpen = [&] {
        EXPECT_TRUE(b->MenuOpen());
        EXPECT_EQ(TempControl, b);
        EXPECT_FALSE(Application->ShowHint());
        Mouse(other, WM_LBUTTONDOWN, 50, 5); // no second menu meanwhile
    };
    Mouse(b, WM_LBUTTONDOWN, 50, 5);
    Mouse(b, WM_LBUTTONUP, 50, 5);
    EXPECT_EQ(menu->Shown, 1);
    EXPECT_EQ(menu->At, b->ClientToScreen(Point(0, 25))) << "one pixel below the bottom-left corner";
    EXPECT_EQ(menu->PopupComponent, b);
    EXPECT_EQ(clicks, 0);
    EXPECT_FALSE(b->MenuOpen());
    EXPECT_EQ(TempControl, nullptr);
    EXPECT_TRUE(Application->ShowHint());

    menu->WhileOpen = nullptr;
    Mouse(b, WM_LBUTTONDOWN, 20, 5);
    Mouse(b, WM_LBUTTONUP, 20, 5);
    EXPECT_EQ(clicks, 1) << "the main part";
    EXPECT_EQ(menu->Shown, 1);
    menu->Free();
    EXPECT_EQ(b->DropdownMenu(), nullptr);
}

TEST_F(SpeedButton, SeparatorsAndDividersShowTheParentAndTheSkinsDivider)
{
    TsSpeedButton* separator = Make();
    separator->SetButtonStyle(tbsSeparator);
    TsSpeedButton* divider = Make(60);
    divider->SetButtonStyle(tbsDivider);
    Show();
    EXPECT_EQ(separator->Width(), 40);
    EXPECT_EQ(Look().Pixel(10 + 20, 10 + 12), static_cast<COLORREF>(FormColour)) << "no skin";

    Skin();
    Command(divider, AC_NEWSKIN);
    Command(divider, AC_REPAINT);
    EXPECT_EQ(Look().Pixel(60 + 20, 10 + 12), static_cast<COLORREF>(FormColour)) << "a skin without a divider";
    gd.push_back(Section("DIVIDER", Normal, Hot));
    AddBorder("DIVIDER", Frame);
    Command(divider, AC_REPAINT);
    // The mask (6 wide) centred: columns 17 to 22, rows 1 to 21.
    const testkit::PixelImage look = Look();
    EXPECT_EQ(look.Pixel(60 + 18, 10 + 2), Through(Frame[0]));
    EXPECT_EQ(look.Pixel(60 + 16, 10 + 2), static_cast<COLORREF>(FormColour));
    EXPECT_EQ(look.Pixel(60 + 18, 10 + 23), static_cast<COLORREF>(FormColour));
}

TEST_F(SpeedButton, FadingWhereTheSectionFadesAndNothingWhileForbidden)
{
    Skin();
    gd[0].FadingEnabled = true;
    gd[0].FadingIntervalIn = 5;
    gd[0].FadingIterations = 2;
    TsSpeedButton* b = Make();
    int enters = 0;
    b->OnMouseEnter = [&](TObject*) { ++enters; };
    Show();
    MouseForbidden = true;
    b->Perform(CM_MOUSEENTER, 0, reinterpret_cast<LPARAM>(b));
    MouseForbidden = false;
    EXPECT_EQ(enters, 0);
    EXPECT_EQ(b->CurrentState(), 0);

    FadingForbidden = true;
    b->Perform(CM_MOUSEENTER, 0, reinterpret_cast<LPARAM>(b));
    FadingForbidden = false;
    EXPECT_EQ(enters, 1);
    EXPECT_EQ(b->RunningAnimation(), nullptr);
    EXPECT_EQ(Look().Pixel(12, 12), static_cast<COLORREF>(Hot)) << "at once";
    b->Perform(CM_MOUSELEAVE, 0, reinterpret_cast<LPARAM>(b));
    ASSERT_NE(b->RunningAnimation(), nullptr);
    ASSERT_TRUE(WaitFor([&] { return b->RunningAnimation() == nullptr; }, "the fade ends"));
    EXPECT_EQ(Look().Pixel(12, 12), static_cast<COLORREF>(Normal));
}

TEST_F(SpeedButton, TheTimerButtonIsAsWideAsItsHeightLessFour)
{
    auto* b = Create<TsTimerSpeedButton>(form);
    EXPECT_EQ(b->Width(), 22 - 4);
    EXPECT_TRUE(b->AllowTimer);
}

TEST_F(SpeedButton, TheMenuClosingGivesTheHintsBackThoughTheButtonNeverSeesTheRelease)
{
    Skin();
    TsSpeedButton* b = Make();
    b->SetButtonStyle(tbsDropDown);
    auto* menu = Create<TRecordingMenu>(form);
    b->SetDropdownMenu(menu);
    bool hintsWhileOpen = true;
    menu->WhileOpen = [&] { hintsWhileOpen = Application->ShowHint(); };
    Show();
    Application->SetShowHint(true);
    Mouse(b, WM_LBUTTONDOWN, 50, 5); // the menu takes the release
    EXPECT_EQ(menu->Shown, 1);
    EXPECT_FALSE(hintsWhileOpen);
    EXPECT_TRUE(Application->ShowHint());
    form->Free();
}

TEST_F(SpeedButton, TheActionsPictureTakesThePlaceOfTheGlyphWhereTheActionHasOne)
{
    Skin();
    TsSpeedButton* b = Make();
    // Pictures of one colour each, their bottom-left pixels the key.
    TBitmap glyph(16, 16, pf24bit), red(16, 16, pf24bit);
    for (auto [bmp, colour] : {std::pair{&glyph, Green}, {&red, static_cast<TColor>(clRed)}}) {
        bmp->Canvas()->Brush()->SetColor(colour);
        bmp->Canvas()->FillRect(Rect(0, 0, 16, 16));
        bmp->Canvas()->SetPixels(0, 15, clFuchsia);
    }
    b->SetGlyph(&glyph);
    auto* list = Create<TActionList>(form);
    list->SetImages(Create<TCustomImageList>(form, 16, 16));
    list->Images()->AddMasked(&red, clFuchsia);
    auto* action = Create<TAction>(form);
    action->SetActionList(list);
    b->SetAction(action);
    Show();
    const TRect r = b->ImgRect();
    EXPECT_EQ(Look().Pixel(10 + r.left + 8, 10 + r.top + 8), static_cast<COLORREF>(Green)) << "no picture chosen";
    action->SetImageIndex(0);
    EXPECT_EQ(Look().Pixel(10 + r.left + 8, 10 + r.top + 8), static_cast<COLORREF>(clRed));
}
