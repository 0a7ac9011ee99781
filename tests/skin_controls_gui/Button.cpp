// The skinned push button: a plain button without a skin; with one, its looks from the section,
// its shape from the border mask, its clicks from the mouse and the keyboard, the form's default
// button, its disabled looks and its fading.
#include <gtest/gtest.h>

#include "ActnList.h"
#include "ControlsKit.h"
#include "StdCtrls.h"
#include "sBitBtn.h"
#include "sButton.h"
#include "sEdit.h"
#include "sGraphUtils.h"

using namespace controlskit;

namespace {

constexpr TColor Normal = 0x00603010, Hot = 0x00A08040, Text = 0x00F0E0D0, HotText = 0x0000FFFF;
constexpr TColor Frame[3] = {0x000000C0, 0x0000C000, 0x00C00000};

// A parent whose cached image is one colour.
class TCachedBox : public TCustomControl {
    VCL_CLASS(TCachedBox, TCustomControl)
public:
    TCachedBox(TComponent* AOwner, TColor Fill) : TCustomControl(AOwner), Cache(200, 100, pf24bit)
    {
        SetBounds(0, 0, 200, 100);
        Cache.Canvas()->Brush()->SetColor(Fill);
        Cache.Canvas()->FillRect(Rect(0, 0, 200, 100));
    }
    void WndProc(TMessage& Message) override
    {
        if (Message.Msg == SM_SKINCMD && Message.WParamHi == AC_GETCACHEINFO) {
            GlobalCacheInfo = TCacheInfo{&Cache, 0, 0, true};
            return;
        }
        inherited::WndProc(Message);
    }
    TBitmap Cache;
};

class Button : public TablesTest {
protected:
    void Skin(bool ShowFocus = true)
    {
        TsGeneralData g = Section("BUTTON", Normal, Hot, Text, HotText);
        g.ShowFocus = ShowFocus;
        Activate({g});
    }
    TsButton* Make(TWinControl* Parent, const char* Caption = "OK")
    {
        auto* b = Create<TsButton>(form);
        b->SetBounds(10, 10, 60, 24);
        b->SetCaption(Caption);
        b->SetParent(Parent);
        b->OnClick = [this](TObject*) { ++clicks; };
        return b;
    }
    void Show()
    {
        form->Show();
        testkit::WaitIdle();
    }
    static testkit::PixelImage Look(TWinControl* Control) { return testkit::PrintWindowPixels(Control->Handle()); }
    static int Count(const testkit::PixelImage& Image, TColor Colour)
    {
        return Image.CountColor(RECT{0, 0, Image.Width(), Image.Height()}, static_cast<COLORREF>(Colour));
    }
    static void Mouse(TControl* Control, UINT Msg, int X, int Y)
    {
        Control->Perform(Msg, Msg == WM_LBUTTONDOWN ? MK_LBUTTON : 0, MAKELPARAM(X, Y));
    }
    int clicks = 0;
};

} // namespace

TEST_F(Button, APlainButtonWithoutASkinAndAgainOnceTheSkinWent)
{
    auto* plain = Create<TButton>(form);
    plain->SetBounds(10, 40, 60, 24);
    plain->SetCaption("OK");
    plain->SetParent(form);
    TsButton* b = Make(form);
    for (TButton* x : {static_cast<TButton*>(b), plain})
        x->SetTabStop(false);
    Show();
    EXPECT_TRUE(SameImage(Look(b), Look(plain))) << "no skin";
    EXPECT_EQ(Command(b, AC_ISSKINNED), 1);

    // The skin comes as the manager brings it, and goes.
    Skin();
    AddBorder("BUTTON", Frame);
    Command(b, AC_NEWSKIN);
    Command(b, AC_REPAINT);
    EXPECT_EQ(Look(b).Pixel(1, 1), Through(Frame[0]));
    HRGN rgn = CreateRectRgn(0, 0, 0, 0);
    EXPECT_NE(GetWindowRgn(b->Handle(), rgn), ERROR);
    Clear();
    Command(b, AC_REMOVESKIN);
    EXPECT_EQ(GetWindowRgn(b->Handle(), rgn), ERROR) << "the whole window again";
    DeleteObject(rgn);
    EXPECT_TRUE(SameImage(Look(b), Look(plain))) << "the skin removed";
}

TEST_F(Button, ShapedByTheKeyPixelsOfTheStatesFrame)
{
    Skin();
    AddBorder("BUTTON", Frame);
    TsButton* b = Make(form);
    b->SetTabStop(false); // not focused when the form shows
    Show();
    auto shaped = [&](int state) {
        EXPECT_EQ(b->CurrentState(), state);
        EXPECT_EQ(Look(b).Pixel(1, 1), Through(Frame[state]));
        HRGN rgn = CreateRectRgn(0, 0, 0, 0);
        EXPECT_NE(GetWindowRgn(b->Handle(), rgn), ERROR);
        EXPECT_FALSE(PtInRegion(rgn, 0, 0)) << "the key pixel is cut out";
        EXPECT_TRUE(PtInRegion(rgn, 1, 0));
        EXPECT_TRUE(PtInRegion(rgn, 59, 23));
        DeleteObject(rgn);
    };
    shaped(0);
    Mouse(b, WM_LBUTTONDOWN, 5, 5);
    shaped(2);
    Mouse(b, WM_LBUTTONUP, 5, 5);
    EXPECT_EQ(clicks, 1);
    shaped(1); // focused by the press
}

TEST_F(Button, ShapedBeforeItIsShownAndAgainWhenResizedShown)
{
    Skin();
    AddBorder("BUTTON", Frame);
    TsButton* b = Make(form);
    b->SetTabStop(false);
    const auto shape = [&](int x, int y) {
        HRGN rgn = CreateRectRgn(0, 0, 0, 0);
        const bool in = GetWindowRgn(b->Handle(), rgn) != ERROR && PtInRegion(rgn, x, y);
        DeleteObject(rgn);
        return in;
    };
    b->HandleNeeded();
    EXPECT_TRUE(shape(59, 23));
    EXPECT_FALSE(shape(0, 0)) << "shaped before its first paint";
    Show();
    b->SetWidth(80);
    b->Repaint();
    EXPECT_TRUE(shape(79, 23)) << "the new size's shape";
    EXPECT_FALSE(shape(0, 0));
}

TEST_F(Button, NormalHotAndPressedLooksWithTheSectionsColours)
{
    Skin();
    TsButton* b = Make(form);
    b->SetTabStop(false);
    Show();
    auto check = [&](int state, TColor back, TColor text, const char* what) {
        const testkit::PixelImage look = Look(b);
        EXPECT_EQ(b->CurrentState(), state) << what;
        EXPECT_EQ(look.Pixel(2, 2), static_cast<COLORREF>(back)) << what;
        EXPECT_GT(Count(look, text), 0) << what << ": the caption in the section's font colour";
        EXPECT_EQ(Count(look, text == Text ? HotText : Text), 0) << what;
    };
    check(0, Normal, Text, "normal");
    b->Perform(CM_MOUSEENTER, 0, reinterpret_cast<LPARAM>(b));
    check(1, Hot, HotText, "under the mouse");
    b->Perform(CM_MOUSELEAVE, 0, reinterpret_cast<LPARAM>(b));
    check(0, Normal, Text, "left");
    b->SetDown(true);
    check(2, Hot, HotText, "down");
    b->SetDown(false);
    check(0, Normal, Text, "up");
}

TEST_F(Button, TheFocusFrameWhereTheSectionShowsItAndThereIsACaption)
{
    struct {
        bool showFocus;
        const char* caption;
        bool frame;
    } cases[] = {{true, "OK", true}, {false, "OK", false}, {true, "", false}};
    for (const auto& c : cases) {
        Skin(c.showFocus);
        TsButton* b = Make(form, c.caption);
        Show();
        b->SetFocus();
        const testkit::PixelImage look = Look(b);
        EXPECT_EQ(b->CurrentState(), 1) << "focused";
        EXPECT_EQ(look.Pixel(2, 2), static_cast<COLORREF>(Hot));
        // The frame's dots are black; nothing else of this button is.
        EXPECT_EQ(Count(look, clBlack) > 0, c.frame) << c.showFocus << " '" << c.caption << "'";
        // Two clear pixels between the caption and the frame, also on a glyph button (the boxes' OK).
        EXPECT_EQ(DotsNearText(look, static_cast<COLORREF>(Hot)), 0) << c.caption;
        b->Free();
        auto* glyphButton = Create<TsBitBtn>(form);
        glyphButton->SetBounds(10, 10, 75, 25);
        glyphButton->SetCaption(c.caption);
        glyphButton->SetParent(form);
        glyphButton->SetFocus();
        EXPECT_EQ(DotsNearText(Look(glyphButton), static_cast<COLORREF>(Hot)), 0) << c.caption;
        glyphButton->Free();
    }
}

TEST_F(Button, AClickIsAPressAndAReleaseInsideSeenByTheButton)
{
    for (bool skinned : {false, true}) {
        SCOPED_TRACE(skinned ? "skinned" : "plain");
        if (skinned)
            Skin();
        TsButton* b = Make(form);
        int ups = 0;
        b->OnMouseUp = [&](TObject*, TMouseButton, TShiftState, int, int) { ++ups; };
        Show();
        clicks = 0;
        Mouse(b, WM_LBUTTONDOWN, 5, 5);
        Mouse(b, WM_LBUTTONUP, 5, 5);
        EXPECT_EQ(clicks, 1) << "released inside";
        Mouse(b, WM_LBUTTONDOWN, 5, 5);
        Mouse(b, WM_LBUTTONUP, 100, 5);
        EXPECT_EQ(clicks, 1) << "released outside";
        EXPECT_EQ(b->CurrentState(), 1) << "focused, no longer pressed";
        EXPECT_EQ(ups, 2);
        if (skinned) {
            // A release of a press the button did not see is not its own.
            Mouse(b, WM_LBUTTONUP, 5, 5);
            EXPECT_EQ(ups, 2);
            EXPECT_EQ(clicks, 1);
        }
        b->Free();
    }
}

TEST_F(Button, TheSpaceBarPressesAndItsReleaseClicksADownButtonClicksOnEveryRelease)
{
    Skin();
    TsButton* b = Make(form);
    Show();
    b->SetFocus();
    b->Perform(WM_KEYDOWN, VK_SPACE, 0);
    TMessage space = MakeMessage(CM_DIALOGCHAR, VK_SPACE, 0);
    b->WindowProc(space);
    EXPECT_EQ(space.WParam, 0u) << "the space is the button's";
    EXPECT_EQ(b->CurrentState(), 2);
    EXPECT_EQ(clicks, 0);
    b->Perform(WM_KEYUP, VK_SPACE, 0);
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(b->CurrentState(), 1);
    b->Perform(WM_KEYUP, 'A', 0);
    EXPECT_EQ(clicks, 1) << "nothing held down";

    b->SetDown(true);
    b->Perform(WM_KEYUP, 'A', 0);
    b->Perform(WM_KEYUP, VK_SHIFT, 0);
    EXPECT_EQ(clicks, 3);
    EXPECT_EQ(b->CurrentState(), 2) << "stays down";
}

TEST_F(Button, TheDefaultButtonStandsForTheFormWhileTheFocusIsOnNoButton)
{
    Skin();
    auto* edit = Create<TsEdit>(form);
    edit->SetBounds(10, 100, 80, 21);
    edit->SetParent(form);
    TsButton* ok = Make(form);
    ok->SetDefault(true);
    TsButton* other = Make(form, "Other");
    other->SetLeft(100);
    // The pointer, wherever an earlier test left it, is over no button when the form shows.
    SetCursorPos(form->Left() + form->Width() + 40, form->Top() + form->Height() + 40);
    Show();
    edit->SetFocus();
    EXPECT_EQ(ok->CurrentState(), 1);
    EXPECT_EQ(Look(ok).Pixel(2, 2), static_cast<COLORREF>(Hot));
    EXPECT_EQ(other->CurrentState(), 0);
    other->SetFocus();
    EXPECT_EQ(ok->CurrentState(), 0) << "another push button has the focus";
    EXPECT_EQ(Look(ok).Pixel(2, 2), static_cast<COLORREF>(Normal));
    EXPECT_EQ(other->CurrentState(), 1);
    ok->SetFocus();
    EXPECT_EQ(ok->CurrentState(), 1);
}

TEST_F(Button, DisabledItIsBlendedWithOrGreyedOverItsParent)
{
    // Own colour (0x10, 0x30, 0x60) over a parent of (0xC8, 0x00, 0x64).
    Skin();
    auto* box = Create<TCachedBox>(form, static_cast<TColor>(0x006400C8));
    box->SetParent(form);
    TsButton* b = Make(box, "");
    b->SetEnabled(false);
    Show();
    // Blended: round(parent - (parent - own) * 0.4) per channel.
    EXPECT_EQ(Look(b).Pixel(2, 2), RGB(0x7E, 0x13, 0x62));
    b->SetDisabledKind(TsDisabledKind{dkGrayed});
    // Greyed: the mean of the three channels, (0x10 + 0x30 + 0x60) div 3.
    EXPECT_EQ(Look(b).Pixel(2, 2), RGB(0x35, 0x35, 0x35));
}

TEST_F(Button, ABarePartOutsideItsParentRebuildsTheImageAtEveryPaint)
{
    Skin();
    TsButton* inside = Make(form);
    TsButton* across = Make(form);
    across->SetLeft(form->ClientWidth() - 20);
    Show();
    for (TsButton* b : {inside, across}) {
        Look(b);
        TBitmap* cache = b->SkinData()->FCacheBmp.get();
        cache->Canvas()->Brush()->SetColor(clRed);
        cache->Canvas()->FillRect(Rect(0, 0, 60, 24));
    }
    EXPECT_EQ(Look(inside).Pixel(2, 2), static_cast<COLORREF>(clRed)) << "the image kept";
    EXPECT_EQ(Look(across).Pixel(2, 2), static_cast<COLORREF>(Normal)) << "half visible: painted again";
}

TEST_F(Button, FadingOnlyWhereTheSectionFadesAndAFinishedFadeLeavesThePaintsAlone)
{
    Skin();
    TsButton* b = Make(form);
    b->SetTabStop(false);
    Show();
    b->Perform(CM_MOUSEENTER, 0, reinterpret_cast<LPARAM>(b));
    EXPECT_EQ(b->FadeTimer(), nullptr) << "the section does not fade";
    EXPECT_EQ(Look(b).Pixel(2, 2), static_cast<COLORREF>(Hot));
    b->Perform(CM_MOUSELEAVE, 0, reinterpret_cast<LPARAM>(b));

    gd[0].FadingEnabled = true;
    gd[0].FadingIntervalIn = 5;
    gd[0].FadingIterations = 2;
    b->Perform(CM_MOUSEENTER, 0, reinterpret_cast<LPARAM>(b));
    TsFadeTimer* timer = b->FadeTimer();
    ASSERT_NE(timer, nullptr);
    ASSERT_TRUE(WaitFor([&] { return timer->Direction() == fdNone; }, "the fade-in ends"));
    EXPECT_EQ(b->FadeTimer(), timer) << "kept for the way back";
    // The button still paints, and a new caption shows.
    EXPECT_EQ(Look(b).Pixel(2, 2), static_cast<COLORREF>(Hot));
    EXPECT_GT(Count(Look(b), HotText), 0);
    b->SetCaption("");
    EXPECT_EQ(Count(Look(b), HotText), 0);
}

TEST_F(Button, ThePressTakesTheHintsAndItsReleaseGivesThemBackEvenWhenTheSkinWentMeanwhile)
{
    Skin();
    TsButton* b = Make(form);
    Show();
    Application->SetShowHint(true);
    Mouse(b, WM_LBUTTONDOWN, 5, 5);
    EXPECT_FALSE(Application->ShowHint());
    Mouse(b, WM_LBUTTONUP, 5, 5);
    EXPECT_TRUE(Application->ShowHint());

    Mouse(b, WM_LBUTTONDOWN, 5, 5);
    Clear();
    Command(b, AC_REMOVESKIN);
    Mouse(b, WM_LBUTTONUP, 5, 5);
    EXPECT_TRUE(Application->ShowHint());
    EXPECT_FALSE(b->Down()) << "nothing left pressed for the next skin";
}

TEST_F(Button, ItsActionGivesItsEnabledStateWhateverTheDefaultsAndSoDoesAnActionUpdate)
{
    Skin();
    BeginLoading(form);
    TsButton* b = Make(form);
    b->SetEnabled(false);
    auto* action = Create<TAction>(form);
    b->SetAction(action); // while loading: a plain control takes only what is at its default
    LoadedAll(form);
    EXPECT_TRUE(b->Enabled()) << "the action's";
    Show();
    action->SetEnabled(false);
    EXPECT_FALSE(b->Enabled());
    // Enabled by hand meanwhile; an update of any action passing through the form ends that.
    b->SetEnabled(true);
    auto* other = Create<TAction>(form);
    form->Perform(CM_ACTIONUPDATE, 0, reinterpret_cast<LPARAM>(other));
    EXPECT_FALSE(b->Enabled());
}
