// The skinned check box and radio button: automatic size, the box's place and picture by state,
// clicks and the space key checking on the release, the read-only mode skinned and plain, and the
// state handed back to the native button when the skin goes.
#include <gtest/gtest.h>

#include <tuple>

#include "ActnList.h"
#include "ControlsKit.h"
#include "ImgList.h"
#include "sCheckBox.h"
#include "sGraphUtils.h"
#include "sRadioButton.h"

using namespace controlskit;

namespace {

constexpr TColor Grey = 0x00C0C0C0, Checked = 0x00208020, Unchecked = 0x00C08080, Grayed = 0x00808080,
                 Own = 0x002020C0;

class CheckBox : public TablesTest {
protected:
    // The skin's sections, and the box pictures of "GLOBALINFO" named, 13 x 13 cells.
    void Skin(std::initializer_list<std::pair<const char*, TColor>> Glyphs)
    {
        Clear();
        Activate({Section("GLOBALINFO", Grey, Grey), Section("CHECKBOX", Grey, Grey),
                  Section("RADIOBUTTON", Grey, Grey)});
        for (const auto& [name, colour] : Glyphs)
            ma.push_back(Glyph("GLOBALINFO", name, colour));
        InitConstantIndexes();
    }
    // Three state cells of one colour each (hot and pressed a shade apart), drawn wholly (black
    // blend mask).
    static TsMaskData Glyph(const char* Section, const char* Name, TColor Colour)
    {
        TsMaskData m;
        m.Bmp = std::make_unique<TBitmap>(39, 26, pf24bit);
        TCanvas* c = m.Bmp->Canvas();
        c->Brush()->SetColor(Colour);
        c->FillRect(Rect(0, 0, 39, 13));
        c->Brush()->SetColor(clBlack);
        c->FillRect(Rect(0, 13, 39, 26));
        m.ClassName = Section;
        m.PropertyName = Name;
        m.R = Rect(0, 0, 39, 26);
        m.ImageCount = 3;
        m.MaskType = 1;
        return m;
    }
    template <class T = TsCheckBox>
    T* Make(const char* Caption, int Top = 10)
    {
        auto* c = Create<T>(form);
        c->SetBounds(10, Top, 120, 21);
        c->SetParent(form);
        c->SetCaption(Caption);
        return c;
    }
    void Show()
    {
        form->Show();
        testkit::WaitIdle();
    }
    static void Click(TWinControl* Control, int X = 5, int Y = 5)
    {
        Control->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(X, Y));
        Control->Perform(WM_LBUTTONUP, 0, MAKELPARAM(X, Y));
    }
    // The colour in the middle of the control's box.
    static COLORREF BoxColour(TsCheckBox* Box)
    {
        const TRect r = Box->CheckRect();
        return testkit::PrintWindowPixels(Box->Handle(), true).Pixel((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    }
};

} // namespace

TEST_F(CheckBox, SizesItselfToTheBoxAndTheCaption)
{
    Skin({{"BOXCHECKED", Checked}});
    TsCheckBox* box = Make("Caption");
    const TSize text = GetStringSize(box->Font()->Handle(), "Caption");
    EXPECT_EQ(box->Width(), 13 + 4 + text.cx + 5);
    EXPECT_EQ(box->Height(), std::max(13, static_cast<int>(text.cy) + 4) + 2);

    box->SetCaption("");
    EXPECT_EQ(box->Width(), 13 + 4);
    EXPECT_EQ(box->Height(), 13 + 2);

    Skin({});
    box->SetCaption("Caption");
    EXPECT_EQ(box->Width(), 16 + 4 + text.cx + 5) << "no box in the skin: a 16 x 16 box is counted";
    EXPECT_EQ(box->CheckRect(), Rect(0, 0, 16, 16));

    box->SetMultiLine(true);
    EXPECT_FALSE(box->AutoSize()) << "a multi-line caption sizes nothing";
}

TEST_F(CheckBox, TheBoxShowsTheStatesMaskOnTheSideTheAlignmentGivesIt)
{
    Skin({{"BOXCHECKED", Checked}, {"BOXUNCHECKED", Unchecked}, {"BOXGRAYED", Grayed}});
    TsCheckBox* box = Make("Box");
    box->SetAllowGrayed(true);
    Show();
    EXPECT_EQ(box->CheckRect().left, 2);
    EXPECT_EQ(BoxColour(box), Through(Unchecked));
    box->Toggle();
    EXPECT_EQ(BoxColour(box), Through(Grayed));
    box->Toggle();
    EXPECT_EQ(BoxColour(box), Through(Checked));

    box->SetAlignment(taLeftJustify);
    testkit::WaitIdle();
    EXPECT_EQ(box->CheckRect().right, box->Width() - 2) << "the box at the right edge";
    EXPECT_EQ(BoxColour(box), Through(Checked));

    // Own pictures: the grayed state shows the unchecked one.
    TBitmap own(39, 26, pf24bit);
    own.Canvas()->Brush()->SetColor(Own);
    own.Canvas()->FillRect(Rect(0, 0, 39, 13));
    own.Canvas()->Brush()->SetColor(clBlack);
    own.Canvas()->FillRect(Rect(0, 13, 39, 26));
    box->SetGlyphUnChecked(&own);
    TBitmap ownChecked(39, 26, pf24bit);
    box->SetGlyphChecked(&ownChecked);
    box->SetState(cbGrayed);
    testkit::WaitIdle();
    EXPECT_EQ(BoxColour(box), Through(Own));
}

TEST_F(CheckBox, AClickTogglesOnTheReleaseUnlessTheMouseLeftMeanwhile)
{
    Skin({{"BOXCHECKED", Checked}});
    TsCheckBox* box = Make("Box");
    int clicks = 0, downs = 0;
    box->OnClick = [&](TObject*) { ++clicks; };
    box->OnMouseDown = [&](TObject*, TMouseButton, TShiftState, int, int) { ++downs; };
    Show();
    box->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    EXPECT_TRUE(box->Pressed());
    EXPECT_EQ(box->State(), cbUnchecked) << "nothing before the release";
    box->Perform(WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    EXPECT_EQ(box->State(), cbChecked);
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(downs, 1);

    box->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    box->Perform(CM_MOUSELEAVE, 0, reinterpret_cast<LPARAM>(box));
    box->Perform(WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    EXPECT_EQ(box->State(), cbChecked) << "left before the release";

    box->Perform(WM_KEYDOWN, VK_SPACE, 0);
    box->Perform(WM_KEYUP, VK_SPACE, 0);
    EXPECT_EQ(box->State(), cbUnchecked) << "the space key";
    EXPECT_EQ(clicks, 2);
}

TEST_F(CheckBox, ReadOnlyChangesNothingSkinnedOrPlain)
{
    Skin({{"BOXCHECKED", Checked}});
    TsCheckBox* box = Make("Box");
    box->SetReadOnly(true);
    int events = 0;
    box->OnClick = [&](TObject*) { ++events; };
    box->OnMouseDown = [&](TObject*, TMouseButton, TShiftState, int, int) { ++events; };
    box->OnDblClick = [&](TObject*) { ++events; };
    Show();
    Click(box);
    box->Perform(WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(5, 5));
    box->Perform(WM_KEYDOWN, VK_SPACE, 0);
    box->Perform(WM_KEYUP, VK_SPACE, 0);
    EXPECT_EQ(box->State(), cbUnchecked);
    EXPECT_EQ(events, 0);
    box->Perform(CM_MOUSEENTER, 0, reinterpret_cast<LPARAM>(box));
    EXPECT_EQ(box->GlyphState(), 0) << "never hot";

    Command(box, AC_REMOVESKIN);
    Clear();
    SendMessageA(box->Handle(), BM_CLICK, 0, 0);
    EXPECT_EQ(box->State(), cbUnchecked) << "the native button's click neither";
    EXPECT_EQ(SendMessageA(box->Handle(), BM_GETCHECK, 0, 0), BST_UNCHECKED);
    box->SetReadOnly(false);
    SendMessageA(box->Handle(), BM_CLICK, 0, 0);
    EXPECT_EQ(box->State(), cbChecked);
}

TEST_F(CheckBox, RemovingTheSkinHandsTheStateBackToTheNativeButton)
{
    Skin({{"BOXCHECKED", Checked}});
    TsCheckBox* box = Make("Box");
    TsRadioButton* radio = Make<TsRadioButton>("Radio", 40);
    Show();
    box->SetChecked(true);
    radio->SetChecked(true);
    EXPECT_EQ(SendMessageA(box->Handle(), BM_GETCHECK, 0, 0), BST_UNCHECKED) << "the skin shows it meanwhile";
    Command(box, AC_REMOVESKIN);
    Command(radio, AC_REMOVESKIN);
    EXPECT_EQ(SendMessageA(box->Handle(), BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_EQ(SendMessageA(radio->Handle(), BM_GETCHECK, 0, 0), BST_CHECKED);
}

TEST_F(CheckBox, ARadioButtonClickedChecksItselfAndUnchecksItsNeighbours)
{
    Skin({{"RADIOCHECKED", Checked}, {"RADIOUNCHECKED", Unchecked}});
    TsRadioButton* first = Make<TsRadioButton>("First");
    TsRadioButton* second = Make<TsRadioButton>("Second", 40);
    int clicks = 0;
    first->OnClick = [&](TObject*) { ++clicks; };
    Show();
    Click(first);
    EXPECT_TRUE(first->Checked());
    Click(second);
    EXPECT_TRUE(second->Checked());
    EXPECT_FALSE(first->Checked());
    Click(second);
    EXPECT_TRUE(second->Checked()) << "a checked one stays checked";
    EXPECT_EQ(clicks, 1);
    const TRect r = second->CheckRect();
    EXPECT_EQ(testkit::PrintWindowPixels(second->Handle(), true).Pixel((r.left + r.right) / 2, (r.top + r.bottom) / 2),
              Through(Checked));
}

TEST_F(CheckBox, ArrowKeysChooseTheRadioButtonTheyMoveToSkinnedOrPlain)
{
    Skin({{"RADIOCHECKED", Checked}, {"RADIOUNCHECKED", Unchecked}});
    TsRadioButton* radios[] = {Make<TsRadioButton>("First"), Make<TsRadioButton>("Second", 40),
                               Make<TsRadioButton>("Third", 70)};
    Show();
    radios[0]->SetChecked(true);
    for (bool skinned : {true, false}) {
        if (!skinned) {
            for (TsRadioButton* r : radios)
                Command(r, AC_REMOVESKIN);
            Clear();
        }
        for (auto [from, key, to] : {std::tuple{0, VK_DOWN, 1}, std::tuple{1, VK_DOWN, 2}, std::tuple{2, VK_UP, 1}}) {
            radios[from]->SetFocus();
            PostMessageA(radios[from]->Handle(), WM_KEYDOWN, key, 1);
            Application->ProcessMessages();
            EXPECT_TRUE(radios[to]->Focused()) << skinned << from;
            EXPECT_TRUE(radios[to]->Checked()) << skinned << from;
            EXPECT_FALSE(radios[from]->Checked()) << skinned << from;
        }
        radios[0]->SetChecked(true);
    }
}

TEST_F(CheckBox, ARadioButtonWithoutTheSkinsCircleLeavesA16PixelBox)
{
    Skin({});
    TsRadioButton* radio = Make<TsRadioButton>("Radio");
    EXPECT_EQ(radio->CheckRect(), Rect(0, 0, 16, 16));
    const TSize text = GetStringSize(radio->Font()->Handle(), "Radio");
    EXPECT_EQ(radio->Width(), 16 + 4 + text.cx + 5);
}

TEST_F(CheckBox, APlainReadOnlyRadioButtonIgnoresCheckChanges)
{
    TsRadioButton* radio = Make<TsRadioButton>("Radio");
    radio->SetReadOnly(true);
    Show();
    SendMessageA(radio->Handle(), BM_SETCHECK, BST_CHECKED, 0);
    SendMessageA(radio->Handle(), BM_CLICK, 0, 0);
    EXPECT_EQ(SendMessageA(radio->Handle(), BM_GETCHECK, 0, 0), BST_UNCHECKED);
    EXPECT_FALSE(radio->Checked());
}

TEST_F(CheckBox, PicturesPastTheEndOfItsImageListLeaveTheBoxToTheSkin)
{
    Skin({{"BOXCHECKED", Checked}, {"BOXUNCHECKED", Unchecked}});
    TsCheckBox* box = Make("Box");
    box->SetImages(Create<TCustomImageList>(form, 39, 26)); // images 0 and 0 of an empty list
    Show();
    EXPECT_EQ(BoxColour(box), Through(Unchecked));
}

TEST_F(CheckBox, ItsClickRunsItsAction)
{
    Skin({{"BOXCHECKED", Checked}, {"BOXUNCHECKED", Unchecked}});
    TsCheckBox* box = Make("Box");
    auto* action = Create<TAction>(form);
    int runs = 0;
    action->OnExecute = [&](TObject*) { ++runs; };
    box->SetAction(action);
    Show();
    Click(box);
    EXPECT_EQ(box->State(), cbChecked);
    EXPECT_EQ(runs, 1);
    form->Free();
}
