// The skinned colour dialog: its views kept in step, the brightness column, the palettes and the
// custom colours, the screen picker, and what Execute reads and writes in either look.
#include <gtest/gtest.h>

#include <initializer_list>
#include <map>
#include <memory>

#include "../skin_forms_gui/FormsKit.h"
#include "ExtCtrlsPanels.h"
#include "sBitBtn.h"
#include "sColorDialog.h"
#include "sCurrencyEdit.h"
#include "sDialogs.h"
#include "sMaskEdit.h"
#include "sPanel.h"
#include "sSpeedButton.h"

using namespace formskit;

namespace {

class ColorDialog : public SkinnedFormTest {
protected:
    TsColorDialogForm* ShownForm()
    {
        UseSkin("Neutral");
        auto* form = Create<TsColorDialogForm>(Application);
        form->Show();
        Paint(form);
        return form;
    }
};

// Keys typed into an edit that has the focus, its whole text selected first.
void Type(TWinControl* Edit, const char* Keys)
{
    Edit->SetFocus();
    SendMessageA(Edit->Handle(), EM_SETSEL, 0, -1);
    for (const char* k = Keys; *k; ++k)
        PostMessageA(Edit->Handle(), WM_CHAR, static_cast<WPARAM>(static_cast<unsigned char>(*k)), 1);
    testkit::PumpPending();
}

} // namespace

TEST_F(ColorDialog, EveryViewFollowsAnEditAndEachEditHearsOnlyItsOwnKeys)
{
    TsColorDialogForm* form = ShownForm();
    form->SetCurrentColor(clBlack);
    // Every edit's change handler counted, the form's handler still run.
    std::map<TObject*, int> changes;
    for (TWinControl* e : std::initializer_list<TWinControl*>{form->sHEdit, form->sSEdit, form->sVEdit, form->sREdit,
                                                             form->sGEdit, form->sBEdit, form->sEditDecimal}) {
        auto* edit = static_cast<TsCurrencyEdit*>(e);
        edit->OnChange = [&, original = edit->OnChange](TObject* s) { ++changes[s], original(s); };
    }
    form->sEditHex->OnChange = [&, original = form->sEditHex->OnChange](TObject* s) { ++changes[s], original(s); };

    Type(form->sREdit, "0255");
    EXPECT_EQ(changes[form->sREdit], 4) << "one change per key";
    EXPECT_EQ(form->sREdit->Text(), "0255") << "what is typed is not written back";
    EXPECT_EQ(form->SelectedPanel->Color(), RgbColor(255, 0, 0));
    EXPECT_EQ(form->sEditHex->Text(), "0000FF");
    EXPECT_EQ(form->sEditDecimal->Text(), "255");
    EXPECT_EQ(form->sHEdit->Text(), "0");
    EXPECT_EQ(form->sSEdit->Text(), "100");
    EXPECT_EQ(form->sVEdit->Text(), "100");

    changes.clear();
    Type(form->sEditHex, "ff8g00");
    EXPECT_EQ(changes[form->sEditHex], 5) << "a key that is no hexadecimal digit is dropped";
    EXPECT_EQ(form->sEditHex->Text(), "FF800 ") << "digits show in upper case";
    EXPECT_EQ(form->SelectedPanel->Color(), 0xFF800);
    Type(form->sEditHex, "FF8000");
    EXPECT_EQ(form->SelectedPanel->Color(), RgbColor(0, 0x80, 0xFF)) << "the digits are blue, green, red";
    EXPECT_EQ(form->sREdit->Text(), "0");
    EXPECT_EQ(form->sGEdit->Text(), "128");
    EXPECT_EQ(form->sBEdit->Text(), "255");

    changes.clear();
    Type(form->sHEdit, "120");
    EXPECT_EQ(changes[form->sHEdit], 3);
    EXPECT_EQ(form->SelectedPanel->Color(), RgbColor(0, 255, 0)) << "saturation and brightness stay at 100";
    EXPECT_EQ(form->sHEdit->Text(), "120");
    form->Free();
}

TEST_F(ColorDialog, TheBrightnessColumnFadesThroughTheHueAndGreysSitOnTheBottomRow)
{
    TsColorDialogForm* form = ShownForm();
    form->SetCurrentColor(RgbColor(255, 0, 0));
    EXPECT_EQ(form->InternalColor, RgbColor(255, 0, 0));
    EXPECT_EQ(form->GradToColor(0), RgbColor(255, 253, 253));
    // Row 128, the last of the first part: 255 - 129 * 255 / 130 = 1.96 rounds to 2 and snaps to 0.
    EXPECT_EQ(form->GradToColor(128), RgbColor(255, 0, 0));
    EXPECT_EQ(form->GradToColor(259), RgbColor(0, 0, 0));
    EXPECT_EQ(form->GradToColor(260), clWhite) << "past the bottom";
    EXPECT_EQ(form->GradY, 128) << "the marker stands at the colour's row";
    EXPECT_EQ(form->ColorCoord, (TPoint{0, 0}));

    form->SetCurrentColor(RgbColor(51, 51, 51));
    EXPECT_EQ(form->SelectedHsv.H, 0);
    EXPECT_EQ(form->SelectedHsv.S, 0);
    EXPECT_EQ(form->ColorCoord, (TPoint{0, 260})) << "a grey has no saturation";
    EXPECT_EQ(form->sVEdit->Text(), "20");

    // A press in the field takes its hue and saturation; the column's row gives the brightness.
    form->SetCurrentColor(RgbColor(255, 0, 0));
    form->ColorPanel->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(130, 65));
    form->ColorPanel->Perform(WM_LBUTTONUP, 0, MAKELPARAM(130, 65));
    EXPECT_EQ(form->sHEdit->Text(), "180");
    EXPECT_EQ(form->sSEdit->Text(), "75");
    EXPECT_EQ(form->InternalColor, RgbColor(64, 255, 255)) << "hue 180 at saturation 0.75, full brightness";
    EXPECT_EQ(form->SelectedPanel->Color(), form->GradToColor(form->GradY));
    EXPECT_FALSE(form->ExPressed);
    form->Free();
}

// The cursor is held in the panel while a drag runs (Wine applies no such confinement, so what is
// seen is the drag's end: the flags and the panel no longer following the mouse).
TEST_F(ColorDialog, ADragEndsAndFreesTheCursorWhenThePanelLosesTheMouseOrTheFormHides)
{
    TsColorDialogForm* form = ShownForm();
    auto dragging = [&] { return form->ExPressed || form->GradPressed; };
    auto moved = [&](TsPanel* Panel) {
        const TPoint coord = form->ColorCoord;
        const TColor color = form->SelectedPanel->Color();
        Panel->Perform(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(60, 60));
        const bool changed = form->ColorCoord != coord || form->SelectedPanel->Color() != color;
        Panel->Perform(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(20, 20));
        return changed;
    };
    for (TsPanel* panel : {form->ColorPanel, form->GradPanel}) {
        for (const UINT lost : {WM_CAPTURECHANGED, WM_CANCELMODE, WM_NULL}) {
            form->SetCurrentColor(RgbColor(255, 0, 0)); // a column that is no single grey
            panel->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(20, 20));
            ASSERT_TRUE(dragging());
            ASSERT_TRUE(moved(panel)) << "the drag follows the mouse";
            if (lost == WM_CAPTURECHANGED) {
                SetCapture(panel->Handle());
                SetCapture(form->Handle()); // another window takes the mouse
                ReleaseCapture();
            } else if (lost == WM_CANCELMODE) {
                SendMessageA(panel->Handle(), WM_CANCELMODE, 0, 0);
            } else {
                form->Hide(); // closed, Escape or Cancel
                form->Show();
            }
            EXPECT_FALSE(dragging()) << panel->Name().c_str() << " message " << lost;
            EXPECT_FALSE(moved(panel)) << panel->Name().c_str() << " message " << lost;
        }
    }
    form->Free();
}

TEST_F(ColorDialog, PalettesPickAndCustomColoursWrapRoundAfterTheLastSlot)
{
    TsColorDialogForm* form = ShownForm();
    form->MainPal->SetItemIndex(8); // second row, first cell: "0000FF"
    EXPECT_EQ(form->SelectedPanel->Color(), RgbColor(255, 0, 0));
    EXPECT_EQ(form->sEditHex->Text(), "0000FF");
    Type(form->sREdit, "200");
    EXPECT_EQ(form->MainPal->ItemIndex(), -1) << "a colour typed leaves the palette";

    for (int i = 1; i <= 17; ++i) {
        form->SetCurrentColor(RgbColor(Byte(i), 0, 0));
        form->sBitBtn3->Click();
    }
    ASSERT_EQ(form->AddPal->Colors()->Count(), 16) << "nothing is written past the last slot";
    EXPECT_EQ(form->AddPal->Colors()->Get(0), "000011") << "the 17th colour takes the first slot";
    EXPECT_EQ(form->AddPal->Colors()->Get(1), "000002");
    EXPECT_EQ(form->AddPal->Colors()->Get(15), "000010");
    form->Free();
}

// Presses the picker (a maximised window without a frame) at (105, 105), or sends it Escape.
bool PickerEscapes = false;
void CALLBACK DrivePicker(HWND, UINT, UINT_PTR, DWORD)
{
    const HWND w = GetActiveWindow();
    auto* picker = dynamic_cast<TForm*>(FindControl(w));
    if (!picker || picker->BorderStyle() != bsNone)
        return;
    if (PickerEscapes)
        PostMessageA(w, WM_KEYDOWN, VK_ESCAPE, 1);
    else
        PostMessageA(w, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(105, 105));
}

TEST_F(ColorDialog, TheScreenPickerTakesThePixelUnderThePressAndEscapeTakesNothing)
{
    TsColorDialogForm* form = ShownForm();
    form->SetCurrentColor(clBlack);
    TScreenCaptureOverride capture([](TBitmap& Into) {
        Into.SetSize(GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
        Into.Canvas()->Brush()->SetColor(0x123456);
        Into.Canvas()->FillRect(RECT{0, 0, Into.Width(), Into.Height()});
        Into.Canvas()->Brush()->SetColor(0x00FF00);
        Into.Canvas()->FillRect(RECT{100, 100, 110, 110});
    });
    const UINT_PTR timer = SetTimer(nullptr, 0, 30, DrivePicker);
    PickerEscapes = false;
    form->sSpeedButton1->Click();
    EXPECT_EQ(form->PickColor, 0x00FF00);
    EXPECT_EQ(form->SelectedPanel->Color(), 0x00FF00);
    PickerEscapes = true;
    form->sSpeedButton1->Click();
    KillTimer(nullptr, timer);
    EXPECT_EQ(form->SelectedPanel->Color(), 0x00FF00);
    form->Free();
}

TEST_F(ColorDialog, ExecuteSizesTheFormByOptionsAndKeepsCustomColoursInTheSystemDialogsLines)
{
    UseSkin("Neutral");
    std::unique_ptr<TsColorDialog> dialog(Create<TsColorDialog>(nullptr));
    EXPECT_EQ(dialog->Options, TColorDialogOptions{cdFullOpen});
    const struct {
        TColorDialogOptions Options;
        int Width;
        bool DefineColors, Help;
    } widths[] = {{{}, 235, true, false},
                  {{cdFullOpen}, 545, false, false},
                  {{cdPreventFullOpen}, 235, false, false},
                  {{cdFullOpen, cdShowHelp}, 545, false, true}};
    dialog->HelpContext = 77;
    int topic = 0;
    Application->OnHelp = [&](Word, int Data, bool& CallHelp) { return topic = Data, CallHelp = false, true; };
    AtTearDown([] { Application->OnHelp = nullptr; });
    for (const auto& w : widths) {
        dialog->Options = w.Options;
        TModalDriver<TsColorDialogForm> look([&](TsColorDialogForm* form) {
            EXPECT_EQ(form->Width(), w.Width);
            EXPECT_EQ(form->sBitBtn4->Enabled(), w.DefineColors);
            EXPECT_EQ(form->sBitBtn5->Visible(), w.Help);
            if (w.Help)
                form->sBitBtn5->Click();
            form->SetModalResult(mrCancel);
            return true;
        });
        EXPECT_FALSE(dialog->Execute());
        EXPECT_TRUE(look.Done());
    }
    EXPECT_EQ(topic, 77) << "Help asks the application for the dialog's topic";

    // Cancel: the custom colours come back, in the lines the system dialog reads, and the colour
    // stays; OK takes the colour.
    dialog->Color = clTeal;
    for (const char* line : {"ColorA=0000FF", "ColorC=00FF00", "Junk"})
        dialog->CustomColors()->Add(line);
    TModalDriver<TsColorDialogForm> cancel([](TsColorDialogForm* form) {
        EXPECT_EQ(form->SelectedPanel->Color(), clTeal);
        EXPECT_EQ(form->AddPal->Colors()->Get(0), "0000FF");
        EXPECT_EQ(form->AddPal->Colors()->Get(1), "FFFFFF");
        EXPECT_EQ(form->AddPal->Colors()->Get(2), "00FF00");
        form->SetCurrentColor(0x123456);
        form->sBitBtn3->Click();
        form->sBitBtn2->Click();
        return true;
    });
    EXPECT_FALSE(dialog->Execute());
    EXPECT_EQ(dialog->Color, clTeal);
    ASSERT_EQ(dialog->CustomColors()->Count(), 16);
    EXPECT_EQ(dialog->CustomColors()->Get(0), "ColorA=123456");
    EXPECT_EQ(dialog->CustomColors()->Get(2), "ColorC=00FF00");
    EXPECT_EQ(dialog->CustomColors()->Get(15), "ColorP=FFFFFF");

    TModalDriver<TsColorDialogForm> ok([](TsColorDialogForm* form) {
        EXPECT_EQ(form->AddPal->Colors()->Get(0), "123456") << "read back as written";
        form->SetCurrentColor(0x654321);
        form->sBitBtn1->Click();
        return true;
    });
    EXPECT_TRUE(dialog->Execute());
    EXPECT_EQ(dialog->Color, 0x654321);

    // Without the skin the system's dialog gets the same lines.
    Manager()->SetActive(false);
    TScriptedPromptService prompts;
    TPromptServiceGuard guard(prompts);
    prompts.AnswerDialog(true, [](TCommonDialog& d) {
        int slot = -1;
        TColor color = 0;
        EXPECT_TRUE(ReadCustomColorLine(static_cast<TColorDialog&>(d).CustomColors()->Get(0), slot, color));
        EXPECT_EQ(color, 0x123456);
        static_cast<TColorDialog&>(d).Color = clNavy;
    });
    EXPECT_TRUE(dialog->Execute());
    ASSERT_EQ(prompts.Shown.size(), 1u);
    EXPECT_EQ(prompts.Shown[0].DialogClass, "TsColorDialog");
    EXPECT_EQ(dialog->Color, clNavy);
}

// Pictures to look at: colordialog_Neutral.png, colordialog_Dusk.png, colordialog_none.png.
TEST_F(ColorDialog, Screens)
{
    InShippedSkins<TsColorDialogForm>("colordialog_", [](TsColorDialogForm* form, const char*) {
        form->MainPal->SetItemIndex(13);
        form->AddPal->SetItemIndex(0);
        Paint(form);
        EXPECT_EQ(form->GradY, form->GetColorCoord(form->SelectedPanel->Color()));
    });
    // Without a skin the system's dialog is what the user sees.
    Manager()->SetActive(false);
    std::unique_ptr<TsColorDialog> dialog(Create<TsColorDialog>(nullptr));
    dialog->Color = 0x40A0FF;
    EXPECT_TRUE(ShotOfSystemDialog("colordialog_none.png", [&] { EXPECT_FALSE(dialog->Execute()); }));
}
