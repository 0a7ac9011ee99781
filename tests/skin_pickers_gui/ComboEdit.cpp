// The combo edit: where its pop-up goes (also on monitors left of and above the primary one), keys
// that reach the form first, the ways the pop-up closes, no change events while it shows, and
// the button's room, key, read-only and direct-input rules.
#include "PickersKit.h"

using namespace pickerskit;

namespace {

// A combo edit with a plain pop-up of 150 x 100.
class TTestComboEdit : public TsCustomComboEdit {
    VCL_CLASS(TTestComboEdit, TsCustomComboEdit)
public:
    using TsCustomComboEdit::TsCustomComboEdit;
    using TsCustomComboEdit::KeyDown;
    void PopupWindowShow() override
    {
        if (!Popup()) {
            auto* popup = Create<TsPopupForm>(this);
            popup->SetBounds(0, 0, 150, 100);
            SetPopup(popup);
        }
        inherited::PopupWindowShow();
    }
};

class ComboEdit : public TEditOnForm<TTestComboEdit> {
protected:
    void SetUp() override
    {
        TEditOnForm::SetUp();
        ShowEdit(150, "abc", 360, 200);
    }
    bool Open()
    {
        edit->DoClick();
        return testkit::PumpUntil([&] { return edit->DroppedDown(); });
    }
    // The pop-up went: the edit forgot it at once, and the form was freed.
    bool Gone(TCustomForm* Popup)
    {
        return !edit->Popup() && testkit::PumpUntil([&] { return !testkit::FormTest::FormAlive(Popup); });
    }
    POINT ButtonPoint() { return ScreenPoint(edit->Button(), Middle(edit->Button())); }
};

} // namespace

TEST(PopupPlace, BelowOrAboveAlignedAndKeptInsideTheWorkAreaWhereverItsOriginIs)
{
    // A monitor left of and above the primary one, and the primary one.
    const TRect away{-1920, -1080, 0, 0}, primary{0, 0, 1024, 768};
    const TSize pop{197, 150};
    const struct {
        TRect area, edit;
        TPopupWindowAlign align;
        TPoint at;
        const char* what;
    } cases[] = {
        {away, {-1000, -500, -900, -479}, pwaRight, {-1097, -479}, "below, right edges aligned"},
        {away, {-1000, -100, -900, -79}, pwaRight, {-1097, -250}, "no room below the edit: above it"},
        {away, {-1920, -500, -1820, -479}, pwaRight, {-1920, -479}, "at the left edge: left edges aligned"},
        {away, {-150, -500, -50, -479}, pwaLeft, {-247, -479}, "at the right edge: right edges aligned"},
        {away, {-1000, -500, -900, -479}, pwaLeft, {-1000, -479}, "left edges aligned"},
        {primary, {100, 700, 200, 721}, pwaLeft, {100, 550}, "the primary monitor's bottom"},
        {primary, {0, 10, 1024, 31}, pwaRight, {827, 31}, "an edit wider than the pop-up"},
    };
    for (const auto& c : cases) {
        const TPoint at = PopupWindowPlace(c.area, c.edit, pop, c.align);
        EXPECT_EQ(at.x, c.at.x) << c.what;
        EXPECT_EQ(at.y, c.at.y) << c.what;
    }
    // Taller than the room on either side: the side with more room, inside the work area.
    const TRect low{0, 0, 1024, 600};
    EXPECT_EQ(PopupWindowPlace(low, {100, 200, 200, 221}, {197, 500}, pwaLeft).y, 100) << "more room below";
    EXPECT_EQ(PopupWindowPlace(low, {100, 400, 200, 421}, {197, 500}, pwaLeft).y, 0) << "more room above";
    EXPECT_EQ(PopupWindowPlace(low, {100, 400, 200, 421}, {197, 700}, pwaLeft).y, 0) << "taller than the area";
}

TEST_F(ComboEdit, EnterAndEscapeReachTheFormsButtonsFirstWithoutABeep)
{
    int ok = 0, cancel = 0;
    auto* okButton = Create<TButton>(form);
    okButton->SetParent(form);
    okButton->SetBounds(200, 10, 80, 25);
    okButton->SetDefault(true);
    okButton->OnClick = [&](TObject*) { ++ok; };
    auto* cancelButton = Create<TButton>(form);
    cancelButton->SetParent(form);
    cancelButton->SetBounds(200, 40, 80, 25);
    cancelButton->SetCancel(true);
    cancelButton->OnClick = [&](TObject*) { ++cancel; };
    SysUtils::TBeepCounter beeps;
    PostKey(edit->Handle(), VK_RETURN);
    PostKey(edit->Handle(), VK_ESCAPE);
    EXPECT_EQ(ok, 1);
    EXPECT_EQ(cancel, 1);
    // Without such buttons the keys still go nowhere else.
    okButton->SetDefault(false);
    cancelButton->SetCancel(false);
    PostKey(edit->Handle(), VK_RETURN);
    Type(edit->Handle(), "\r");
    EXPECT_EQ(ok, 1);
    EXPECT_EQ(edit->Text(), "abc");
    EXPECT_EQ(beeps.Count, 0);
    okButton->Free();
    cancelButton->Free();
}

TEST_F(ComboEdit, ThePopupIsActivatedAndClosesOnACancelModeFromOutsideAFocusMoveAndAPressInTheEdit)
{
    ASSERT_TRUE(Open());
    TCustomForm* popup = edit->Popup();
    EXPECT_EQ(GetActiveWindow(), popup->Handle()) << "shown activated";
    edit->Perform(CM_CANCELMODE, 0, reinterpret_cast<LPARAM>(edit));
    edit->Perform(CM_CANCELMODE, 0, reinterpret_cast<LPARAM>(edit->Button()));
    EXPECT_TRUE(edit->DroppedDown()) << "a press on the edit or its button is no cancel mode";
    edit->Perform(CM_CANCELMODE, 0, reinterpret_cast<LPARAM>(other));
    EXPECT_TRUE(Gone(popup));

    ASSERT_TRUE(Open());
    popup = edit->Popup();
    other->SetFocus();
    EXPECT_TRUE(Gone(popup));

    ASSERT_TRUE(Open());
    popup = edit->Popup();
    RealClick(ScreenPoint(edit, TPoint{10, 10}));
    EXPECT_TRUE(Gone(popup));
    EXPECT_EQ(GetActiveWindow(), form->Handle()) << "the edit's form takes the activation back";
}

TEST_F(ComboEdit, ASecondClickOnTheButtonClosesThePopupAndTheNextOneOpensIt)
{
    RealClick(ButtonPoint());
    ASSERT_TRUE(edit->DroppedDown());
    TCustomForm* popup = edit->Popup();
    RealClick(ButtonPoint());
    EXPECT_TRUE(Gone(popup));
    testkit::WaitIdle();
    EXPECT_FALSE(edit->DroppedDown()) << "the press that closed it opens nothing";
    RealClick(ButtonPoint());
    EXPECT_TRUE(edit->DroppedDown());
}

TEST_F(ComboEdit, NoChangeEventWhileDroppedDown)
{
    int changes = 0;
    edit->OnChange = [&](TObject*) { ++changes; };
    ASSERT_TRUE(Open());
    edit->SetText("dropped");
    EXPECT_EQ(changes, 0);
    edit->PopupWindowClose();
    edit->SetText("closed");
    EXPECT_EQ(changes, 1);
}

TEST_F(ComboEdit, WithoutTheButtonTheTextHasTheWholeWidth)
{
    auto rightMargin = [&] { return HIWORD(SendMessageA(edit->Handle(), EM_GETMARGINS, 0, 0)); };
    EXPECT_EQ(rightMargin(), edit->Button()->Width() + 2);
    EXPECT_GT(edit->Button()->Width(), 0);
    edit->SetShowButton(false);
    EXPECT_FALSE(edit->Button()->Visible());
    EXPECT_EQ(edit->Button()->Width(), 0);
    EXPECT_EQ(rightMargin(), 0);
    edit->SetShowButton(true);
    EXPECT_TRUE(edit->Button()->Visible());
    EXPECT_EQ(edit->Button()->Width(), 22);
    EXPECT_EQ(rightMargin(), 24);
}

TEST_F(ComboEdit, AltDownOpensAReadOnlyEditOpensNothingAndWithoutDirectInputOnlyTheButtonWorks)
{
    Word key = VK_DOWN;
    edit->KeyDown(key, TShiftState{ssAlt});
    EXPECT_EQ(key, 0);
    EXPECT_TRUE(edit->DroppedDown());
    edit->PopupWindowClose();

    int buttonClicks = 0;
    edit->OnButtonClick = [&](TObject*) { ++buttonClicks; };
    edit->SetReadOnly(true);
    key = VK_DOWN;
    edit->KeyDown(key, TShiftState{ssAlt});
    edit->DoClick();
    edit->PopupWindowShow();
    EXPECT_FALSE(edit->DroppedDown());
    EXPECT_EQ(buttonClicks, 0);

    edit->SetReadOnly(false);
    edit->SetDirectInput(false);
    SendMessageA(edit->Handle(), EM_SETSEL, 3, 3);
    Type(edit->Handle(), "xyz");
    EXPECT_EQ(edit->Text(), "abc") << "nothing typed";
    edit->DoClick();
    EXPECT_TRUE(edit->DroppedDown());
    EXPECT_EQ(buttonClicks, 1);
}

namespace {
using SkinnedComboEdit = formskit::SkinnedFormTest;
} // namespace

TEST_F(SkinnedComboEdit, TheSkinnedButtonShowsTheGlyphsNormalCellAndItsHotCellUnderTheMouse)
{
    UseSkin("Neutral");
    auto* form = Create<TPickersForm>(Application);
    form->Show();
    SetForegroundWindow(form->Handle());
    Paint(form);
    TsComboEdit* edit = form->Combo;
    TsEditButton* button = edit->Button();
    // The ink of the glyph's normal and hot cells (tools/make_glyphs.py: 64, 64, 72 and 24, 48, 96)
    // through the glyph's mask, which keeps 255/256 of it.
    const COLORREF normalInk = RGB(63, 63, 71), hotInk = RGB(23, 47, 95);
    auto inks = [&](COLORREF Ink) {
        const testkit::PixelImage shown = testkit::ScreenPixels(edit->Handle());
        const RECT r{button->Left() + 2, button->Top() + 2, button->Left() + 2 + button->Width(),
                     button->Top() + 2 + button->Height()};
        return shown.CountColor(r, Ink);
    };
    EXPECT_GT(inks(normalInk), 0);
    EXPECT_EQ(inks(hotInk), 0);
    testkit::SendMouse(ScreenPoint(button, Middle(button)));
    EXPECT_TRUE(testkit::PumpUntil([&] { return inks(hotInk) > 0; })) << "hot under the mouse";
    EXPECT_EQ(inks(normalInk), 0);
    form->Free();
}
