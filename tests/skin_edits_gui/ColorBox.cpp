// The colour box: its items by style and their names, the selected colour and "Custom...", the
// colour dialog run by a mouse pick or Enter (answered by the test's prompt service), and the
// swatches as painted.
#include <gtest/gtest.h>

#include "../skin_forms_gui/FormsKit.h"
#include "sComboBoxes.h"
#include "sDialogs.h"

using namespace formskit;

namespace {

class ColorBox : public SkinnedFormTest {
protected:
    void SetUp() override
    {
        SkinnedFormTest::SetUp();
        form = MakeForm();
        form->SetBounds(50, 50, 300, 200);
    }
    TsColorBox* Make(TsColorBoxStyles Style = {cbStandardColors, cbExtendedColors, cbSystemColors})
    {
        auto* box = Create<TsColorBox>(form);
        box->SetBounds(10, 10, 180, 22);
        box->SetStyle(Style);
        box->SetParent(form);
        box->HandleNeeded();
        return box;
    }
    // The notification of the list closing, then of the selection changing, as a mouse pick sends.
    static void PickWithMouse(TsColorBox* Box, int Index)
    {
        Box->SetItemIndex(Index);
        Box->Perform(CN_COMMAND, MAKEWPARAM(0, CBN_CLOSEUP), 0);
        Box->Perform(CN_COMMAND, MAKEWPARAM(0, CBN_SELCHANGE), 0);
    }
    TForm* form = nullptr;
};

} // namespace

TEST_F(ColorBox, ItemsByStyleAndTheirNames)
{
    TsColorBox* box = Make();
    EXPECT_EQ(box->Items()->Count(), 50) << "clNone and clDefault are left out by default";
    EXPECT_EQ(box->GetColorName(0), "clBlack");
    EXPECT_EQ(box->GetColor(16), clMoneyGreen);
    EXPECT_EQ(box->GetColorName(49), "clWindowText");
    EXPECT_EQ(box->GetColor(-1), clNone);

    const struct {
        TsColorBoxStyles Style;
        int Count;
        const char* First;
        const char* Last;
        bool Enabled;
    } styles[] = {
        {{cbStandardColors, cbExtendedColors, cbSystemColors, cbIncludeNone, cbIncludeDefault, cbPrettyNames}, 52,
         "Black", "Window Text", true},
        {{cbExtendedColors, cbPrettyNames}, 4, "Money Green", "Med Gray", true},
        {{cbSystemColors, cbPrettyNames}, 30, "Active Border", "Window Text", true},
        {{cbCustomColor}, 1, "Custom...", "Custom...", true},
        {{}, 0, "", "", false},
    };
    for (const auto& s : styles) {
        box->SetStyle(s.Style);
        ASSERT_EQ(box->Items()->Count(), s.Count);
        EXPECT_EQ(box->Enabled(), s.Enabled) << s.Count;
        if (s.Count > 0) {
            EXPECT_EQ(box->GetColorName(0), s.First);
            EXPECT_EQ(box->GetColorName(s.Count - 1), s.Last);
        }
    }
    box->SetStyle({cbSystemColors, cbPrettyNames});
    EXPECT_EQ(box->Items()->IndexOf("3 D Dk Shadow"), 25);
    EXPECT_EQ(box->GetColor(25), cl3DDkShadow);
}

TEST_F(ColorBox, ASelectedColourThatNoItemHoldsGoesToCustom)
{
    auto* early = Create<TsColorBox>(form);
    early->SetSelected(clRed);
    EXPECT_EQ(early->Selected(), clRed) << "kept until the window exists";
    early->SetParent(form);
    early->HandleNeeded();
    EXPECT_EQ(early->GetItemIndex(), 9);

    TsColorBox* box = Make();
    box->SetSelected(0x123456);
    EXPECT_EQ(box->GetItemIndex(), -1);
    EXPECT_EQ(box->Selected(), static_cast<TColor>(0xFF000000));
    box->SetStyle({cbStandardColors, cbCustomColor});
    box->SetSelected(0x123456);
    EXPECT_EQ(box->GetItemIndex(), 0);
    EXPECT_EQ(box->GetColor(0), 0x123456);
    box->SetSelected(clBlue);
    box->SetStyle({cbStandardColors, cbCustomColor, cbPrettyNames});
    EXPECT_EQ(box->GetColor(0), 0x123456) << "a new list keeps the custom colour";
    EXPECT_EQ(box->Selected(), clBlue) << "and the selection";
}

TEST_F(ColorBox, CustomOpensTheDialogOnAMousePickOrEnterAndCancelSelectsNothing)
{
    TsColorBox* box = Make({cbStandardColors, cbCustomColor});
    box->SetSelected(0x224466);
    int selects = 0;
    box->OnSelect = [&](TObject*) { ++selects; };
    TScriptedPromptService prompts;
    TPromptServiceGuard guard(prompts);
    auto answer = [&](bool Ok, TColor Color) {
        prompts.AnswerDialog(Ok, [Color](TCommonDialog& d) {
            EXPECT_EQ(static_cast<TColorDialog&>(d).Color, 0x224466) << "the dialog starts from the custom colour";
            static_cast<TColorDialog&>(d).Color = Color;
        });
    };

    answer(false, clLime);
    PickWithMouse(box, 0);
    EXPECT_EQ(selects, 0) << "a cancelled dialog is no choice";
    EXPECT_EQ(box->GetColor(0), 0x224466);

    // Keys move through the list without the dialog, also after the list has closed.
    box->SetItemIndex(0);
    box->Perform(CN_COMMAND, MAKEWPARAM(0, CBN_SELCHANGE), 0);
    box->Perform(CN_COMMAND, MAKEWPARAM(0, CBN_CLOSEUP), 0);
    box->Perform(WM_KEYDOWN, VK_SHIFT, 0);
    box->Perform(CN_COMMAND, MAKEWPARAM(0, CBN_SELCHANGE), 0);
    EXPECT_EQ(prompts.Shown.size(), 1u);
    EXPECT_EQ(selects, 2);

    answer(true, 0x224466);
    PickWithMouse(box, 0);
    EXPECT_EQ(selects, 3);

    box->SetItemIndex(0);
    answer(true, 0x00AA00);
    SendMessageA(box->Handle(), WM_CHAR, '\r', 0);
    ASSERT_EQ(prompts.Shown.size(), 3u);
    EXPECT_EQ(prompts.Shown[2].DialogClass, "TsColorDialog");
    EXPECT_EQ(box->GetColor(0), 0x00AA00);
    EXPECT_EQ(box->Selected(), 0x00AA00);
    EXPECT_EQ(selects, 4) << "a colour picked by Enter is a choice as well";
    answer(false, clRed);
    box->SetSelected(0x224466);
    SendMessageA(box->Handle(), WM_CHAR, '\r', 0);
    EXPECT_EQ(selects, 4) << "a cancelled one is not";

    // Without OnSelect the choice is a change.
    box->OnSelect = nullptr;
    int changes = 0;
    box->OnChange = [&](TObject*) { ++changes; };
    answer(true, 0x224466);
    SendMessageA(box->Handle(), WM_CHAR, '\r', 0);
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(prompts.Unanswered, 0);
}

TEST_F(ColorBox, SwatchesShowTheColourAndStandInsForDefaultAndNone)
{
    form->Show();
    TsColorBox* box = Make({cbStandardColors, cbIncludeDefault, cbSystemColors});
    box->SetDefaultColorColor(0x3366CC);
    box->SetSelected(clDefault);
    auto swatch = [&](int Dx) {
        Paint(form);
        const testkit::PixelImage shot = testkit::ScreenPixels(box->Handle());
        return shot.Pixel(3 + 1 + 4 + Dx, box->Height() / 2);
    };
    EXPECT_EQ(swatch(0), 0x3366CCu);
    // A light colour gets a black frame, a dark one none.
    const RECT square{2, 2, box->Height(), box->Height() - 2};
    box->SetSelected(clYellow);
    EXPECT_EQ(swatch(0), 0x00FFFFu);
    EXPECT_GT(testkit::ScreenPixels(box->Handle()).CountColor(square, 0), 4);
    box->SetSelected(clNavy);
    EXPECT_EQ(swatch(0), 0x800000u);
    EXPECT_EQ(testkit::ScreenPixels(box->Handle()).CountColor(square, 0), 0);

    UseSkin("Neutral");
    box->SetSelected(clRed);
    EXPECT_EQ(swatch(0), 0x0000FFu) << "the skinned edit part";
}
