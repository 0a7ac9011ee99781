// The number edit: the keys and pastes it takes, its range, Escape, and the value shown without the
// focus.
#include <cmath>

#include "Clipbrd.h"
#include "PickersKit.h"

using namespace pickerskit;

namespace {

class NumEdit : public TEditOnForm<TsCalcEdit> {
protected:
    void SetUp() override
    {
        TEditOnForm::SetUp();
        DecimalSeparator = ',';
        ThousandSeparator = ' ';
        ShowEdit(150);
    }
    // Typed over the whole text.
    AnsiString TypedOver(const char* Keys)
    {
        edit->SelectAll();
        Type(edit->Handle(), Keys);
        return edit->EditText();
    }
};

} // namespace

TEST_F(NumEdit, PointAndCommaBecomeTheDecimalSeparatorAndDecimalsAndMinusFollowTheRules)
{
    SysUtils::TBeepCounter beeps;
    const struct {
        double min, max;
        const char* keys;
        const char* text;
        int beeps;
    } cases[] = {
        {0, 0, "1.5", "1,5", 0},
        {0, 0, "2,25", "2,25", 0},
        {0, 0, "2,257", "2,25", 1},    // a third decimal
        {0, 0, "-3", "-3", 0},         // no range: any number
        {0, 100, "-3", "3", 1},        // a range of positive numbers takes no minus
        {-5, 100, "-3", "-3", 0},
        {0, 0, "1a2", "12", 1},
        {0, 0, "1,2,3", "1,23", 1},    // one separator
    };
    for (const auto& c : cases) {
        edit->SetMinValue(c.min);
        edit->SetMaxValue(c.max);
        beeps.Count = 0;
        EXPECT_EQ(TypedOver(c.keys), c.text) << c.keys;
        EXPECT_EQ(beeps.Count, c.beeps) << c.keys;
    }
}

TEST_F(NumEdit, TheRangeIsOneSidedWhenEitherBoundIsZeroAndMaxIsBelowMin)
{
    const struct {
        double min, max, value, kept;
    } cases[] = {
        {0, 100, 150, 100}, {0, 100, -5, 0},   {0, 0, -5, -5},   {5, 5, 7, 7},       // equal: no range
        {10, 0, 5, 10},     {10, 0, 50, 50},   {0, -10, 5, -10}, {0, -10, -20, -20}, // one-sided
        {5, 2, 3, 3},       {5, 2, 100, 100},                                        // neither is 0: none
    };
    for (const auto& c : cases) {
        edit->SetMinValue(0);
        edit->SetMaxValue(0);
        edit->SetMinValue(c.min);
        edit->SetMaxValue(c.max);
        edit->SetValue(c.value);
        EXPECT_EQ(edit->Value(), c.kept) << c.min << ".." << c.max << " " << c.value;
    }
    edit->SetMinValue(0);
    edit->SetMaxValue(0);
    edit->SetValue(2.9);
    EXPECT_EQ(edit->AsInteger(), 2);
    edit->SetValue(-2.9);
    EXPECT_EQ(edit->AsInteger(), -2);
}

TEST_F(NumEdit, EscapeRestoresTheTextFromTheValueAndSelectsItAll)
{
    edit->SetValue(5);
    edit->SelectAll();
    Type(edit->Handle(), "123");
    EXPECT_EQ(edit->EditText(), "123");
    Type(edit->Handle(), "\x1b");
    EXPECT_EQ(edit->EditText(), "5");
    EXPECT_EQ(edit->SelStart(), 0);
    EXPECT_EQ(edit->SelLength(), 1);
}

TEST_F(NumEdit, WithoutTheFocusTheValueShowsByItsFormatAndTheTypedTextIsReadOnLeaving)
{
    edit->SelectAll();
    Type(edit->Handle(), "1234,5");
    EXPECT_EQ(edit->GetDisplayText(), "1234,5") << "focused: as typed";
    other->SetFocus();
    testkit::WaitIdle();
    EXPECT_EQ(edit->Value(), 1234.5);
    EXPECT_EQ(edit->GetDisplayText(), "1 234,50");
    edit->SetValue(-7);
    EXPECT_EQ(edit->GetDisplayText(), "-7,00");
    edit->SetValue(0);
    EXPECT_EQ(edit->GetDisplayText(), "0") << "the zero section";
    EXPECT_EQ(edit->TextToValText("1 234.5 "), "1234,5");
    EXPECT_EQ(edit->TextToValText(""), "0");
    EXPECT_EQ(edit->TextToValText("-"), "-0");
}

TEST_F(NumEdit, APasteIsTakenOnlyWhenTheTextStaysANumberAndNoValueIsInfiniteOrNaN)
{
    edit->SetValue(5);
    SysUtils::TBeepCounter beeps;
    const struct {
        const char* pasted;
        const char* text;
        int beeps;
    } cases[] = {
        {"abc", "5", 1},       // no number
        {"1,2,3", "5", 1},     // two separators
        {"1,257", "5", 1},     // a third decimal
        {" 12,5\r\n", "12,5", 0}, // blanks and the line break off
        {"123,5", "12,5", 1},     // longer than the box holds: not cut into another number
    };
    edit->SetMaxLength(4);
    for (const auto& c : cases) {
        beeps.Count = 0;
        edit->SelectAll();
        Clipboard()->SetAsText(c.pasted);
        SendMessageA(edit->Handle(), WM_PASTE, 0, 0);
        EXPECT_EQ(edit->EditText(), c.text) << c.pasted;
        EXPECT_EQ(beeps.Count, c.beeps) << c.pasted;
    }
    EXPECT_EQ(edit->Value(), 12.5);
    // A read-only edit takes no paste.
    edit->SetReadOnly(true);
    edit->SelectAll();
    Clipboard()->SetAsText("7");
    SendMessageA(edit->Handle(), WM_PASTE, 0, 0);
    EXPECT_EQ(edit->EditText(), "12,5") << "read-only";
    EXPECT_EQ(edit->Value(), 12.5) << "read-only";

    const struct {
        double value;
        const char* refusal;
    } bad[] = {{HUGE_VAL, "'INF' is not a valid floating point value"},
               {-HUGE_VAL, "'-INF' is not a valid floating point value"},
               {std::nan(""), "'NAN' is not a valid floating point value"}};
    for (const auto& b : bad) {
        EXPECT_EQ(testkit::Refusal<EConvertError>([&] { edit->SetValue(b.value); }), b.refusal);
        EXPECT_EQ(testkit::Refusal<EConvertError>([&] { edit->SetMaxValue(b.value); }), b.refusal);
    }
    EXPECT_EQ(edit->Value(), 12.5) << "kept";
    EXPECT_EQ(edit->MaxValue(), 0);
}
