// The date edit: its mask and format by the locale, the keys that step the date, the check on
// leaving, the minimum and maximum, the locale's separator changing, and its pop-up calendar.
#include "PickersKit.h"
#include "sMessages.h"
#include "sPopupClndr.h"

using namespace pickerskit;

namespace {

class DateEdit : public TEditOnForm<TsDateEdit> {
protected:
    void SetUp() override
    {
        TEditOnForm::SetUp();
        ShortDateFormat = "dd/MM/yyyy";
        DateSeparator = '/';
        ShowEdit(120);
    }
    AnsiString Shown() { return edit->EditText(); }
    static TDateTime D(int Y, int M, int Dd) { return EncodeDate(Y, M, Dd); }

    SysUtils::TDateClockOverride clock{[] { return EncodeDate(2024, 9, 12) + 0.5; }};
};

} // namespace

TEST_F(DateEdit, TheMaskAndTheFormatFollowTheLocalesOrderTheYearDigitsAndTheBlank)
{
    const struct {
        const char* locale;
        TYearDigits digits;
        char blank;
        const char* mask;
        const char* format;
    } cases[] = {
        {"dd/MM/yyyy", dyFour, ' ', "!99/99/9999;1; ", "DD/MM/YYYY"},
        {"dd/MM/yyyy", dyTwo, ' ', "!99/99/99;1; ", "DD/MM/YY"},
        {"M/d/yyyy", dyFour, '_', "!99/99/9999;1;_", "MM/DD/YYYY"},
        {"yyyy/MM/dd", dyFour, ' ', "!9999/99/99;1; ", "YYYY/MM/DD"},
        {"yyyy/MM/dd", dyTwo, '\x01', "!99/99/99;1; ", "YY/MM/DD"}, // a blank below ' ' is ' '
    };
    for (const auto& c : cases) {
        ShortDateFormat = c.locale;
        edit->SetYearDigits(c.digits);
        edit->SetBlanksChar(c.blank);
        edit->UpdateMask();
        EXPECT_EQ(edit->EditMask(), c.mask) << c.locale << " " << c.digits;
        EXPECT_EQ(edit->DateFormat(), c.format) << c.locale << " " << c.digits;
    }
}

TEST_F(DateEdit, KeypadPlusAndMinusStepADayFromTodayWhenEmptyAndTIsToday)
{
    SysUtils::TBeepCounter beeps;
    EXPECT_EQ(edit->Date(), NullDate);
    PostKey(edit->Handle(), VK_ADD);
    EXPECT_EQ(Shown(), "13/09/2024");
    PostKey(edit->Handle(), VK_SUBTRACT);
    PostKey(edit->Handle(), VK_SUBTRACT);
    EXPECT_EQ(Shown(), "11/09/2024");
    Type(edit->Handle(), "+-");
    EXPECT_EQ(Shown(), "11/09/2024") << "the characters of the keys are dropped";
    Type(edit->Handle(), "t");
    EXPECT_EQ(Shown(), "12/09/2024");
    EXPECT_EQ(edit->SelLength(), 10) << "the new date selected";
    EXPECT_EQ(beeps.Count, 0);

    edit->SetDate(D(2024, 9, 20));
    edit->SetReadOnly(true);
    for (const UINT key : {VK_ADD, VK_SUBTRACT}) {
        PostKey(edit->Handle(), key);
        EXPECT_EQ(Shown(), "20/09/2024") << "read-only, key " << key;
    }
    Type(edit->Handle(), "tT");
    EXPECT_EQ(Shown(), "20/09/2024") << "read-only, today's key";
}

TEST_F(DateEdit, LeavingWithAnImpossibleDateRaisesAndADateOutOfRangeIsBroughtIn)
{
    edit->CheckOnExit = true;
    edit->SelectAll();
    Type(edit->Handle(), "31022005");
    EXPECT_EQ(Shown(), "31/02/2005");
    EXPECT_EQ(testkit::Refusal<EConvertError>([&] { edit->Perform(CM_EXIT); }), "Invalid Date");
    ScriptBoxes();
    other->SetFocus();
    Application->ProcessMessages();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "Invalid Date.");
    EXPECT_EQ(GetFocus(), edit->Handle()) << "the focus stays with the impossible date";
    EXPECT_EQ(Shown(), "31/02/2005");
    Type(edit->Handle(), "\x1b");
    EXPECT_EQ(Shown(), "  /  /    ") << "Escape gives back the text from before the typing";
    edit->SetDate(D(2004, 2, 29));
    edit->Perform(CM_EXIT);
    EXPECT_EQ(Shown(), "29/02/2004");
    edit->SetMaxDate(D(2004, 1, 31));
    edit->SetDate(D(2004, 2, 29));
    edit->Perform(CM_EXIT);
    EXPECT_EQ(Shown(), "31/01/2004");
    edit->SetMinDate(D(2004, 1, 10));
    edit->SetDate(D(2003, 5, 5));
    edit->Perform(CM_EXIT);
    EXPECT_EQ(Shown(), "10/01/2004");
}

TEST_F(DateEdit, BoundsDoNotCrossCanBeClearedAndLeaveAnEmptyEditEmpty)
{
    edit->SetMinDate(D(2024, 1, 1));
    EXPECT_EQ(edit->Date(), NullDate) << "no date is written into an empty edit";
    edit->SetMaxDate(D(2024, 12, 31));
    edit->SetMinDate(D(2025, 1, 1));
    EXPECT_EQ(edit->MinDate(), D(2024, 1, 1)) << "past the maximum: refused";
    edit->SetMaxDate(D(2023, 1, 1));
    EXPECT_EQ(edit->MaxDate(), D(2024, 12, 31)) << "before the minimum: refused";
    edit->SetMaxDate(0);
    EXPECT_EQ(edit->MaxDate(), 0) << "cleared while the minimum is set";
    edit->SetDate(D(2023, 6, 1));
    edit->SetMinDate(D(2024, 2, 2));
    EXPECT_EQ(edit->Date(), D(2024, 2, 2)) << "a date before the new minimum moves up";
    edit->SetMinDate(0);
    EXPECT_EQ(edit->MinDate(), 0);

    edit->SetText("");
    EXPECT_EQ(edit->Date(), NullDate);
    edit->DefaultToday = true;
    EXPECT_EQ(edit->Date(), D(2024, 9, 12));
}

TEST_F(DateEdit, ANewDateSeparatorOfTheLocaleUpdatesTheMask)
{
    char saved[8] = {};
    GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SDATE, saved, sizeof saved);
    edit->SetDate(D(2024, 9, 12));
    ASSERT_TRUE(SetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SDATE, "-"));
    SendMessageA(Application->Handle(), WM_SETTINGCHANGE, 0, reinterpret_cast<LPARAM>("intl"));
    const AnsiString shown = Shown();
    SetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SDATE, saved);
    SendMessageA(Application->Handle(), WM_SETTINGCHANGE, 0, reinterpret_cast<LPARAM>("intl"));
    EXPECT_EQ(shown, "12-09-2024");
    EXPECT_EQ(edit->Date(), D(2024, 9, 12));
}

TEST_F(DateEdit, SettingsMessagesAndASkinChangeKeepAHalfTypedDateAndYearsBelowAHundredStay)
{
    // The settings the messages read again are the ones in force.
    GetFormatSettings();
    edit->UpdateMask();
    for (const char* typed : {"1203", "31022005"}) {
        edit->SetText("");
        edit->SelectAll();
        Type(edit->Handle(), typed);
        const AnsiString shown = Shown();
        for (const char* section : {"Windows", "intl"})
            SendMessageA(Application->Handle(), WM_SETTINGCHANGE, 0, reinterpret_cast<LPARAM>(section));
        edit->Perform(SM_SKINCMD, MAKEWPARAM(0, AC_REPAINT), 0);
        EXPECT_EQ(Shown(), shown) << typed;
    }
    ShortDateFormat = "dd/MM/yyyy";
    DateSeparator = '/';
    edit->UpdateMask();

    edit->SetText("");
    edit->SelectAll();
    Type(edit->Handle(), "01030050");
    EXPECT_EQ(edit->Date(), D(50, 3, 1)) << "four digits typed: the year as written";
    edit->SetText("01/03/50");
    EXPECT_EQ(edit->Date(), D(2050, 3, 1)) << "two digits: the hundred years from 60 years back";
    edit->DoClick();
    ASSERT_TRUE(testkit::PumpUntil([&] { return edit->DroppedDown(); }));
    auto* popup = static_cast<TsPopupCalendar*>(edit->Popup());
    popup->sMonthCalendar1->SetCalendarDate(D(1, 1, 1));
    PostKey(popup->sMonthCalendar1->FGrid->Handle(), VK_RETURN);
    EXPECT_EQ(Shown(), "01/01/0001") << "picked in the pop-up";
    EXPECT_EQ(edit->Date(), D(1, 1, 1));
    EXPECT_EQ(TsCustomDateEdit::StrToDateFmt("DD/MM/YYYY", "5/6/0099"), D(99, 6, 5)) << "read by the separators";
    EXPECT_EQ(TsCustomDateEdit::StrToDateFmt("YYYY/MM/DD", "0099/6/5"), D(99, 6, 5));
    EXPECT_EQ(TsCustomDateEdit::StrToDateFmt("DD/MM/YYYY", "5/6/99"), D(1999, 6, 5));
}

TEST_F(DateEdit, ThePopupTakesTheDateGivesItBackUnlessRefusedAndIsFreedWhenItCloses)
{
    edit->SetDate(D(2024, 9, 12));
    int changes = 0;
    edit->OnChange = [&](TObject*) { ++changes; };
    auto drop = [&] {
        edit->DoClick();
        return testkit::PumpUntil([&] { return edit->DroppedDown(); });
    };
    ASSERT_TRUE(drop());
    auto* popup = static_cast<TsPopupCalendar*>(edit->Popup());
    EXPECT_EQ(popup->Value(), D(2024, 9, 12));
    popup->sMonthCalendar1->NextMonth();
    PostKey(popup->sMonthCalendar1->FGrid->Handle(), VK_RETURN);
    EXPECT_EQ(edit->Date(), D(2024, 10, 12));
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(edit->Popup(), nullptr) << "forgotten as it closes";
    EXPECT_TRUE(testkit::PumpUntil([&] { return !FormAlive(popup); })) << "and freed";

    edit->OnAcceptDate = [](TObject*, TDateTime&, bool& Accept) { Accept = false; };
    ASSERT_TRUE(drop());
    popup = static_cast<TsPopupCalendar*>(edit->Popup());
    popup->sMonthCalendar1->NextMonth();
    PostKey(popup->sMonthCalendar1->FGrid->Handle(), VK_RETURN);
    EXPECT_EQ(edit->Date(), D(2024, 10, 12)) << "refused";
    EXPECT_FALSE(edit->DroppedDown()) << "but closed";

    ASSERT_TRUE(drop());
    popup = static_cast<TsPopupCalendar*>(edit->Popup());
    PostKey(popup->sMonthCalendar1->FGrid->Handle(), VK_ESCAPE);
    EXPECT_FALSE(edit->DroppedDown());
    EXPECT_EQ(changes, 1);
}
