// The month calendar: where a month's days fall, the month and year steps and their ends, the
// keys, clicks on days, on empty cells and on a read-only calendar, and title buttons that do not
// repeat.
#include "PickersKit.h"

using namespace pickerskit;

namespace {

class Calendar : public testkit::FormTest {
protected:
    void SetUp() override
    {
        FormTest::SetUp();
        FirstDayOfWeek = 0; // Monday
        form = MakeForm();
        form->SetBounds(200, 200, 260, 220);
        calendar = Create<TsMonthCalendar>(form);
        calendar->SetBounds(10, 10, 190, 160);
        calendar->SetParent(form);
        form->Show();
        testkit::WaitIdle();
    }
    void TearDown() override
    {
        FormTest::TearDown();
        GetFormatSettings();
    }
    // The cell showing Day in the current month.
    TPoint CellOf(int Day)
    {
        for (int row = 1; row < 7; ++row)
            for (int col = 0; col < 7; ++col)
                if (calendar->GetCellText(col, row) == IntToStr(Day))
                    return TPoint{col, row};
        return TPoint{-1, -1};
    }
    void ClickCell(int Col, int Row)
    {
        testkit::ClickIn(calendar->FGrid->Handle(), calendar->FGrid->CellRect(Col, Row));
        testkit::WaitIdle();
    }

    TForm* form = nullptr;
    TsMonthCalendar* calendar = nullptr;
};

} // namespace

TEST_F(Calendar, TheFirstOfAMonthFallsInTheColumnOfItsWeekday)
{
    const struct {
        int year, month;
        TCalDayOfWeek start;
        TPoint first;
    } cases[] = {
        {2024, 9, dowLocaleDefault, {6, 1}}, // a Sunday, Monday first
        {2024, 4, dowLocaleDefault, {0, 1}}, // a Monday: the first row
        {2026, 2, dowLocaleDefault, {6, 1}},
        {2024, 9, dowSunday, {0, 1}},
        {2024, 4, dowSunday, {1, 1}},
        {2024, 6, dowSaturday, {0, 1}},      // a Saturday
    };
    for (const auto& c : cases) {
        calendar->SetStartOfWeek(c.start);
        calendar->SetCalendarDate(EncodeDate(c.year, c.month, 1));
        const TPoint cell = CellOf(1);
        EXPECT_EQ(cell.x, c.first.x) << c.year << "-" << c.month << " start " << c.start;
        EXPECT_EQ(cell.y, c.first.y) << c.year << "-" << c.month << " start " << c.start;
        EXPECT_EQ(calendar->FGrid->Col(), c.first.x) << "the current cell is the day's";
        EXPECT_EQ(calendar->FGrid->Row(), c.first.y);
    }
    calendar->SetStartOfWeek(dowLocaleDefault);
    EXPECT_EQ(calendar->GetCellText(0, 0), ShortDayNames[1]) << "Monday first";
    EXPECT_EQ(calendar->GetCellText(6, 0), ShortDayNames[0]);
    calendar->SetCalendarDate(EncodeDate(2024, 9, 30));
    EXPECT_EQ(CellOf(30).y, 6) << "the last day in the sixth week";
    EXPECT_TRUE(calendar->IsWeekend(6, 1));
    EXPECT_FALSE(calendar->IsWeekend(5, 1));
}

TEST_F(Calendar, MonthAndYearStepsKeepTheDayWithinTheMonthAndStopAtTheEnds)
{
    enum { PrevYear, PrevMonth, NextMonth, NextYear };
    const struct {
        TDateTime from;
        int button;
        TDateTime to;
    } cases[] = {
        {EncodeDate(2024, 1, 31), NextMonth, EncodeDate(2024, 2, 29)},
        {EncodeDate(2023, 1, 31), NextMonth, EncodeDate(2023, 2, 28)},
        {EncodeDate(2024, 3, 31), PrevMonth, EncodeDate(2024, 2, 29)},
        {EncodeDate(2024, 12, 15), NextMonth, EncodeDate(2025, 1, 15)},
        {EncodeDate(2024, 1, 15), PrevMonth, EncodeDate(2023, 12, 15)},
        {EncodeDate(2004, 2, 29), NextYear, EncodeDate(2005, 2, 28)},
        {EncodeDate(2004, 2, 29), PrevYear, EncodeDate(2003, 2, 28)},
        {EncodeDate(9999, 6, 10), NextYear, EncodeDate(9999, 6, 10)},
        {EncodeDate(9999, 12, 10), NextMonth, EncodeDate(9999, 12, 10)},
        {EncodeDate(1, 1, 10), PrevMonth, EncodeDate(1, 1, 10)},
        {EncodeDate(1, 6, 10), PrevYear, EncodeDate(1, 6, 10)},
    };
    for (const auto& c : cases) {
        calendar->SetCalendarDate(c.from);
        calendar->FBtns[c.button]->Click();
        EXPECT_EQ(FormatDateTime("yyyy-mm-dd", calendar->CalendarDate()), FormatDateTime("yyyy-mm-dd", c.to))
            << FormatDateTime("yyyy-mm-dd", c.from) << " button " << c.button;
    }
    EXPECT_EQ(calendar->FDragBar->Caption(), LongMonthNames[5] + " 1");
}

TEST_F(Calendar, KeysStepDaysAcrossTheMonthsEdgesAndMonthsAndYears)
{
    calendar->FGrid->SetFocus();
    auto key = [&](UINT Vk, bool Ctrl = false) {
        BYTE state[256];
        GetKeyboardState(state);
        state[VK_CONTROL] = Ctrl ? 0x80 : 0;
        SetKeyboardState(state);
        PostKey(calendar->FGrid->Handle(), Vk);
        state[VK_CONTROL] = 0;
        SetKeyboardState(state);
        return FormatDateTime("yyyy-mm-dd", calendar->CalendarDate());
    };
    calendar->SetCalendarDate(EncodeDate(2024, 3, 1));
    EXPECT_EQ(key(VK_LEFT), "2024-02-29");
    EXPECT_EQ(key(VK_RIGHT), "2024-03-01");
    EXPECT_EQ(key(VK_SUBTRACT), "2024-02-29");
    EXPECT_EQ(key(VK_ADD), "2024-03-01");
    EXPECT_EQ(key(VK_DOWN), "2024-03-08") << "a week";
    EXPECT_EQ(key(VK_UP), "2024-03-01");
    EXPECT_EQ(key(VK_UP), "2024-03-01") << "no day above";
    EXPECT_EQ(key(VK_NEXT), "2024-04-01");
    EXPECT_EQ(key(VK_PRIOR, true), "2023-04-01");
    Type(calendar->FGrid->Handle(), "t");
    EXPECT_EQ(calendar->CalendarDate(), SysUtils::Date());

    // At the last day there is: the steps past it stay, those back take it.
    calendar->SetCalendarDate(EncodeDate(9999, 12, 31));
    EXPECT_EQ(key(VK_RIGHT), "9999-12-31");
    EXPECT_EQ(key(VK_ADD), "9999-12-31");
    EXPECT_EQ(key(VK_DOWN), "9999-12-31");
    EXPECT_EQ(key(VK_NEXT), "9999-12-31");
    EXPECT_EQ(key(VK_NEXT, true), "9999-12-31");
    EXPECT_EQ(key(VK_LEFT), "9999-12-30");
    EXPECT_EQ(key(VK_ADD), "9999-12-31");
    EXPECT_EQ(key(VK_UP), "9999-12-24");
}

TEST_F(Calendar, AClickPicksADayButNotOnAnEmptyCellOrAReadOnlyCalendar)
{
    int changes = 0;
    calendar->OnChange = [&](TObject*) { ++changes; };
    calendar->SetCalendarDate(EncodeDate(2024, 9, 12));
    changes = 0;
    const TPoint day15 = CellOf(15);
    ClickCell(day15.x, day15.y);
    EXPECT_EQ(calendar->Day(), 15);
    EXPECT_GE(changes, 1);
    changes = 0;
    ClickCell(6, 6); // after the 30th
    EXPECT_EQ(calendar->Day(), 15);
    EXPECT_EQ(calendar->FGrid->Col(), day15.x) << "an empty cell is not selected";
    EXPECT_EQ(changes, 0) << "nor is it a change";
    // The 1st is a Sunday, in the last column of the first row: an arrow up towards an empty cell.
    calendar->SetCalendarDate(EncodeDate(2024, 9, 3));
    changes = 0;
    calendar->FGrid->SetFocus();
    PostKey(calendar->FGrid->Handle(), VK_UP);
    EXPECT_EQ(calendar->Day(), 3);
    EXPECT_EQ(changes, 0) << "no change, no OnChange";
    calendar->SetCalendarDate(EncodeDate(2024, 9, 15));
    calendar->ReadOnly = true;
    const TPoint day20 = CellOf(20);
    ClickCell(day20.x, day20.y);
    EXPECT_EQ(calendar->Day(), 15);
    EXPECT_EQ(calendar->FGrid->Col(), day15.x);
    EXPECT_EQ(calendar->FGrid->Row(), day15.y);
}

TEST_F(Calendar, ATitleButtonHeldDownStepsOnce)
{
    calendar->SetCalendarDate(EncodeDate(2024, 5, 10));
    TsTimerSpeedButton* next = calendar->FBtns[2];
    const POINT at = ScreenPoint(next, Middle(next));
    testkit::SendMouse(at);
    testkit::WaitIdle();
    testkit::SendMouse(at, MOUSEEVENTF_LEFTDOWN);
    testkit::PumpFor(700); // the press held: its length is the input
    testkit::SendMouse(at, MOUSEEVENTF_LEFTUP);
    testkit::WaitIdle();
    EXPECT_EQ(FormatDateTime("yyyy-mm-dd", calendar->CalendarDate()), "2024-06-10");
}
