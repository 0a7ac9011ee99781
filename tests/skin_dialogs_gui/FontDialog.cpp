// The font lists (a rejection, a new window, the font's item height) and the skinned font dialog:
// it starts from the dialog's font, gives the chosen font back on OK only, and leaves no form
// behind; without the skin the system's dialog is asked through the prompt service.
#include <gtest/gtest.h>

#include "../skin_forms_gui/FormsKit.h"
#include "sBitBtn.h"
#include "sCheckBox.h"
#include "sComboBoxes.h"
#include "sCustomListBox.h"
#include "sDialogs.h"
#include "sEdit.h"
#include "sFontCtrls.h"
#include "sFontDialog.h"
#include "sPanel.h"

using namespace formskit;

namespace {
using FontLists = SkinnedFormTest;
using FontDialog = SkinnedFormTest;
} // namespace

TEST_F(FontLists, ARejectedFamilyIsLeftOutAndANewWindowIsFilledAgain)
{
    TForm* form = MakeForm();
    form->SetBounds(50, 50, 400, 300);
    auto* list = Create<TsFontListBox>(form);
    list->SetParent(form);
    list->SetBounds(10, 10, 150, 200);
    auto* combo = Create<TsFontComboBox>(form);
    combo->SetParent(form);
    combo->SetBounds(200, 10, 150, 22);
    combo->HandleNeeded();
    ASSERT_GT(list->Items()->Count(), 1);
    const AnsiString first = list->Items()->Get(0);
    const int all = list->Items()->Count();
    EXPECT_EQ(combo->Items()->Count(), all);
    EXPECT_EQ(combo->DropDownCount(), 16);

    auto refuseFirst = [first](TObject*, TFontClass* Font, bool& Accept) { Accept = Font->FontName != first; };
    list->OnValidateFont = refuseFirst;
    list->ReBuild();
    combo->OnValidateFont = refuseFirst;
    combo->ReBuild();
    for (TStrings* items : {list->Items(), combo->Items()}) {
        EXPECT_EQ(items->Count(), all - 1);
        EXPECT_EQ(items->IndexOf(first), -1);
    }

    list->SetFilterOptions({});
    EXPECT_EQ(list->Items()->Count(), 0) << "only unknown kinds pass no filter, and this system has none";
    list->SetFilterOptions({ShowTrueType});
    const int trueType = list->Items()->Count();
    for (int i = 0; i < trueType; ++i)
        EXPECT_EQ(static_cast<TFontClass*>(list->Items()->Objects(i))->FntType, TTF);
    for (TWinControl* c : std::initializer_list<TWinControl*>{list, combo})
        c->RecreateWnd();
    EXPECT_EQ(list->Items()->Count(), trueType);
    ASSERT_EQ(combo->Items()->Count(), all - 1);
    auto* family = static_cast<TFontClass*>(combo->Items()->Objects(0));
    ASSERT_NE(family, nullptr) << "the items carry their families again";
    EXPECT_EQ(family->FontName, combo->Items()->Get(0));

    // The list's rows and the combo box's items take the height of the control's font.
    const int listHeight = list->ItemHeight(), comboHeight = combo->ItemHeight();
    list->Font()->SetSize(20);
    combo->Font()->SetSize(20);
    EXPECT_GT(list->ItemHeight(), listHeight);
    EXPECT_GT(combo->ItemHeight(), comboHeight);
    EXPECT_EQ(combo->Style(), csOwnerDrawFixed);

    // A font given before the combo box has a parent, when no window can be made.
    auto* orphan = Create<TsFontComboBox>(form);
    orphan->Font()->SetSize(20);
    EXPECT_GT(orphan->ItemHeight(), comboHeight);
    orphan->SetParent(form);
    orphan->HandleNeeded();
    EXPECT_EQ(orphan->Items()->Count(), all);
    EXPECT_EQ(orphan->Style(), csOwnerDrawFixed);
}

TEST_F(FontDialog, OkGivesTheChosenFontBackAndNoFormStaysBehind)
{
    UseSkin("Neutral");
    std::unique_ptr<TsFontDialog> dialog(Create<TsFontDialog>(nullptr));
    TForm* probeForm = MakeForm();
    auto* probe = Create<TsFontListBox>(probeForm);
    probe->SetParent(probeForm);
    ASSERT_GT(probe->Items()->Count(), 1);
    const AnsiString start = probe->Items()->Get(0), chosen = probe->Items()->Get(1);
    dialog->Font()->SetName(start);
    dialog->Font()->SetSize(14);
    dialog->Font()->SetStyle({fsBold});

    TModalDriver<TFormFont> cancel([&](TFormFont* form) {
        EXPECT_EQ(FormFont, form);
        EXPECT_EQ(form->sEdit1->Text(), start);
        EXPECT_EQ(form->sFontListBox1->ItemIndex(), 0);
        EXPECT_EQ(form->sPanel1->Font()->Size(), 14);
        EXPECT_EQ(form->sEdit2->Text(), "Bold");
        EXPECT_EQ(form->sListBox1->ItemIndex(), 2);
        EXPECT_EQ(form->sEdit3->Text(), "14");
        EXPECT_EQ(form->sListBox2->Items()->Get(form->sListBox2->ItemIndex()), "14");
        // Changes made, then Cancel.
        form->sFontListBox1->SetItemIndex(1);
        form->sFontListBox1->Click();
        form->sCheckBox1->SetCheckedValue(true);
        form->sListBox1->SetItemIndex(0);
        form->sListBox1->Click();
        form->sEdit3->SetText("30");
        EXPECT_EQ(form->sPanel1->Font()->Size(), 30);
        EXPECT_EQ(form->sPanel1->Font()->Style(), (TFontStyles{fsStrikeOut}));
        form->sBitBtn2->Click();
        return true;
    });
    EXPECT_FALSE(dialog->Execute());
    EXPECT_EQ(dialog->Font()->Name(), start);
    EXPECT_EQ(dialog->Font()->Size(), 14);
    EXPECT_EQ(dialog->Font()->Style(), (TFontStyles{fsBold}));
    EXPECT_EQ(FormFont, nullptr) << "the form is freed and forgotten";

    // OK with a size that is none says so and keeps the form; the size typed then is taken.
    TScriptedPromptService prompts;
    TPromptServiceGuard guard(prompts);
    int step = 0;
    std::vector<std::pair<std::string, TModalResult>> refused;
    TModalDriver<TFormFont> ok([&](TFormFont* form) {
        if (step < 3) {
            // Each refusal shows while the form still runs: the next tick sees the form again.
            if (step > 0)
                refused.emplace_back(prompts.Shown.empty() ? "" : prompts.Shown.back().Text.c_str(), form->ModalResult());
            form->sEdit3->SetText(step == 0 ? "abc" : step == 1 ? "0" : "1639");
            ++step;
            form->sBitBtn1->Click();
            return false;
        }
        refused.emplace_back(prompts.Shown.empty() ? "" : prompts.Shown.back().Text.c_str(), form->ModalResult());
        EXPECT_EQ(GetFocus(), form->sEdit3->Handle()) << "the size box focused";
        form->sFontListBox1->SetItemIndex(1);
        form->sFontListBox1->Click();
        form->sColorBox1->SetSelected(clMaroon);
        form->sColorBox1->OnChange(form->sColorBox1);
        form->sCheckBox2->SetCheckedValue(true);
        form->sListBox1->SetItemIndex(3);
        form->sListBox1->Click();
        form->sListBox2->SetItemIndex(form->sListBox2->Items()->IndexOf("20"));
        form->sListBox2->Click();
        EXPECT_EQ(form->sEdit2->Text(), "Bold Italic");
        EXPECT_EQ(form->sEdit3->Text(), "20");
        EXPECT_EQ(form->sEdit1->Text(), chosen);
        form->sBitBtn1->Click();
        return true;
    });
    EXPECT_TRUE(dialog->Execute());
    EXPECT_EQ(dialog->Font()->Name(), chosen);
    EXPECT_EQ(dialog->Font()->Color(), clMaroon);
    EXPECT_EQ(dialog->Font()->Style(), (TFontStyles{fsBold, fsItalic, fsUnderline}));
    EXPECT_EQ(dialog->Font()->Size(), 20);
    EXPECT_EQ(FormFont, nullptr);
    const std::pair<std::string, TModalResult> warned{"Size must be a number from 1 to 1638.", mrNone};
    EXPECT_EQ(refused, (std::vector<std::pair<std::string, TModalResult>>(3, warned)));

    Manager()->SetActive(false);
    prompts.Shown.clear();
    prompts.AnswerDialog(false);
    EXPECT_FALSE(dialog->Execute());
    ASSERT_EQ(prompts.Shown.size(), 1u);
    EXPECT_EQ(prompts.Shown[0].DialogClass, "TsFontDialog");
}

// Pictures to look at: fontdialog_Neutral.png, fontdialog_Dusk.png, fontdialog_none.png.
TEST_F(FontDialog, Screens)
{
    InShippedSkins<TFormFont>("fontdialog_", [](TFormFont* form, const char*) {
        TFont font;
        font.SetName(form->sFontListBox1->Items()->Get(0));
        font.SetColor(clNavy);
        font.SetStyle({fsUnderline});
        form->SetChosenFont(&font);
        Paint(form);
        EXPECT_EQ(form->sColorBox1->Selected(), clNavy);
    });
    Manager()->SetActive(false);
    std::unique_ptr<TsFontDialog> dialog(Create<TsFontDialog>(nullptr));
    EXPECT_TRUE(ShotOfSystemDialog("fontdialog_none.png", [&] { EXPECT_FALSE(dialog->Execute()); }));
    EXPECT_EQ(FormFont, nullptr);
}
