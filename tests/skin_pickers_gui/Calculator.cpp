// The calculator: key sequences and what they show, the error state, the memory, paste, and the
// result handed to the calculator edit.
#include <cfloat>

#include "Clipbrd.h"
#include "PickersKit.h"
#include "sCalcUnit.h"

using namespace pickerskit;

namespace {

class Calculator : public testkit::FormTest {
protected:
    void SetUp() override
    {
        FormTest::SetUp();
        DecimalSeparator = '.';
        ThousandSeparator = ' ';
    }
    void TearDown() override
    {
        FormTest::TearDown();
        GetFormatSettings();
    }
    static void Keys(TsCalcForm* Calc, const char* Keys)
    {
        for (const char* k = Keys; *k; ++k)
            Calc->CalcKey(*k);
    }
};

} // namespace

TEST_F(Calculator, KeySequencesShowTheirResults)
{
    const struct {
        const char* keys;
        const char* shown;
        int beeps;
    } cases[] = {
        {"2+3%", "2.06", 0},     // 2 + 2 * 3 / 100
        {"2+3%=", "2.06", 0},
        {"50*10%", "5", 0},      // 50 * 10 / 100
        {"7*10%", "0.7", 0},
        {"1.5*2=", "3", 0},
        {"10-4=", "6", 0},
        {"9/4=", "2.25", 0},
        {"16R", "0.0625", 0},
        {"16Q", "4", 0},
        {"0Q", "0", 0},          // the root of 0 is no error
        {"12\b", "1", 0},
        {"5\b", "0", 0},
        {"5_\b", "0", 0},        // "-5" less a digit
        {"1..5", "1.5", 0},      // one separator
        {"1,5", "1.5", 0},       // ',' too
        {"8/0=", "Error", 1},
        {"9_Q", "Error", 1},
        {"0R", "Error", 1},
        {"8/0=5+1", "Error", 1}, // only 'C' acts
        {"8/0=C", "0", 1},
        {"8/0=c4", "4", 1},
        {"12\x1b", "0", 0},      // Escape clears a number
        {"2*9Q=", "6", 0},       // a root is the operand of the pending operation
        {"2+4R=", "2.25", 0},
        {"9Q+1=", "4", 0},
        {"2*_=", "-4", 0},       // so is the shown value made negative
        {"0_3", "-3", 0},        // a digit after "-0" takes the place of the 0
    };
    for (const auto& c : cases) {
        auto* calc = MakeForm<TsCalcForm>();
        SysUtils::TBeepCounter beeps;
        Keys(calc, c.keys);
        EXPECT_EQ(calc->Text(), c.shown) << c.keys;
        EXPECT_EQ(beeps.Count, c.beeps) << c.keys;
        calc->Free();
    }
}

TEST_F(Calculator, TheSeventeenthDigitBeepsAndAnOverflowIsAnError)
{
    auto* calc = MakeForm<TsCalcForm>();
    calc->Precision = 16;
    SysUtils::TBeepCounter beeps;
    Keys(calc, "12345678901234567");
    EXPECT_EQ(calc->Text(), "1234567890123456");
    EXPECT_EQ(beeps.Count, 1);
    Keys(calc, "C");
    calc->SetDisplay(DBL_MAX);
    Keys(calc, "*2=");
    EXPECT_EQ(calc->Text(), "Error") << "infinity shows as an error";
    EXPECT_EQ(calc->State(), TsCalcForm::csError);
    Keys(calc, "C7");
    EXPECT_EQ(calc->Text(), "7");
}

TEST_F(Calculator, TheMemoryAndItsMarkAndAPasteWithoutThousandsSeparators)
{
    auto* calc = MakeForm<TsCalcForm>();
    Keys(calc, "5");
    calc->ButtonOf("MS")->Click();
    Keys(calc, "C");
    EXPECT_EQ(calc->Text(), "0");
    calc->ButtonOf("MR")->Click();
    EXPECT_EQ(calc->Text(), "5");
    EXPECT_EQ(calc->FCalcPanel->Caption(), "M");
    Keys(calc, "3");
    calc->ButtonOf("MP")->Click();
    EXPECT_EQ(calc->Memory(), 58) << "MR leaves a number being typed";
    calc->ButtonOf("MC")->Click();
    EXPECT_EQ(calc->FCalcPanel->Caption(), "");
    calc->ButtonOf("7")->Click();
    calc->ButtonOf("sqrt")->Click();
    EXPECT_EQ(calc->Text().substr(0, 6), "2.6457");

    Clipboard()->SetAsText(" 1 234.5 ");
    Keys(calc, "\x16");
    EXPECT_EQ(calc->Text(), "1234.5");
    Keys(calc, "\x03");
    EXPECT_EQ(Clipboard()->AsText(), "1234.5");
    Keys(calc, "C2*");
    Clipboard()->SetAsText("9");
    Keys(calc, "\x16=");
    EXPECT_EQ(calc->Text(), "18") << "a pasted number is the operand";
}

TEST_F(Calculator, WithoutAnEditTheResultKeysChangeNothingElseAndEscapeOnZeroCloses)
{
    auto* calc = MakeForm<TsCalcForm>();
    calc->Show();
    Keys(calc, "2+3\r");
    EXPECT_EQ(calc->Text(), "5");
    Keys(calc, "=");
    EXPECT_TRUE(calc->Visible());
    Keys(calc, "\x1b\x1b");
    EXPECT_FALSE(calc->Visible());
}

TEST_F(Calculator, EnterAfterTypingWorksOutAndWritesTheResultIntoTheEditEscapeOnZeroLeavesIt)
{
    TForm* form = MakeForm();
    form->SetBounds(200, 200, 300, 150);
    auto* edit = Create<TsCalcEdit>(form);
    edit->SetBounds(10, 10, 150, 21);
    edit->SetParent(form);
    form->Show();
    int changes = 0;
    edit->OnChange = [&](TObject*) { ++changes; };
    auto drop = [&] {
        edit->DoClick();
        return testkit::PumpUntil([&] { return edit->DroppedDown(); });
    };
    ASSERT_TRUE(drop());
    Keys(static_cast<TsCalcForm*>(edit->Popup()), "2+3\r");
    EXPECT_EQ(edit->Value(), 5);
    EXPECT_FALSE(edit->DroppedDown());
    EXPECT_EQ(changes, 1);

    ASSERT_TRUE(drop());
    auto* calc = static_cast<TsCalcForm*>(edit->Popup());
    EXPECT_EQ(calc->Text(), "5") << "the edit's value";
    Keys(calc, "C\x1b");
    EXPECT_FALSE(edit->DroppedDown());
    EXPECT_EQ(edit->Value(), 5);

    ASSERT_TRUE(drop());
    Keys(static_cast<TsCalcForm*>(edit->Popup()), "*4=");
    EXPECT_EQ(edit->Value(), 20) << "'=' hands the result to the edit";
    EXPECT_FALSE(edit->DroppedDown());

    ASSERT_TRUE(drop());
    calc = static_cast<TsCalcForm*>(edit->Popup());
    const int before = changes;
    Keys(calc, "8/0=");
    EXPECT_EQ(calc->Text(), "Error");
    EXPECT_EQ(edit->Value(), 20) << "an error is no result";
    EXPECT_TRUE(edit->DroppedDown());
    EXPECT_EQ(changes, before);
    Keys(calc, "C\x1b");
}
