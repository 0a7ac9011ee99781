// The month calendar: a skinned panel with a title bar (the month and the year between the buttons
// of the previous and next year and month) over a grid of the month's days under the day names.
// The grid's current cell is the calendar's day.
#pragma once

#include <memory>

#include "Grids.h"
#include "sPanel.h"
#include "sSpeedButton.h"

// The first day of the week: Monday .. Sunday, or the user's locale's.
enum TCalDayOfWeek { dowMonday, dowTuesday, dowWednesday, dowThursday, dowFriday, dowSaturday, dowSunday,
                     dowLocaleDefault };
using TDaysOfWeek = TSet<TCalDayOfWeek>;
// Asked for each day cell: its font and background colour (0xFF00FF: the calendar's own) may change.
using TGetCellParams = TMethod<void(TObject* Sender, TFont* AFont, TColor& Background, TDateTime ADate)>;

class TsMonthCalendar;

// The day grid of a month calendar: day names in the fixed row, the days below.
class TsCalendGrid : public TDrawGrid {
    VCL_CLASS(TsCalendGrid, TDrawGrid)
public:
    explicit TsCalendGrid(TComponent* AOwner);
    void WndProc(TMessage& Message) override;
    TsMonthCalendar* Calendar() const { return FOwner; }

protected:
    void DrawCell(int ACol, int ARow, const TRect& ARect, TGridDrawState AState) override;
    // Page Up and Down step a month (Ctrl: a year); Left and Right (and the keypad's - and +)
    // step a day across the month's edges; the other keys move as the grid moves.
    void KeyDown(Word& Key, TShiftState Shift) override;
    // 'T': today.
    void KeyPress(char& Key) override;
    // The current cell's day becomes the calendar's.
    void Click() override;
    // Only cells with a day, and none while the calendar is read-only (except its own moves).
    bool SelectCell(int ACol, int ARow) override;
    void Paint() override;
    // The cells are painted into a picture of the grid first, which then goes to the window at once.
    void PaintWindow(HDC DC) override;

private:
    friend class TsMonthCalendar;
    TsMonthCalendar* FOwner;
    std::unique_ptr<TBitmap> FBuffer;
    int FToday = 0; // today's day in the month being painted, 0 for none
};

class TsMonthCalendar : public TsPanel {
    VCL_CLASS(TsMonthCalendar, TsPanel)
public:
    explicit TsMonthCalendar(TComponent* AOwner);
    void WndProc(TMessage& Message) override;

    TDateTime CalendarDate() const { return FDate; }
    // A new date shows its month and fires OnChange.
    void SetCalendarDate(TDateTime Value);
    int Day() const { return GetDateElement(3); }
    void SetDay(int Value) { SetDateElement(3, Value); }
    int Month() const { return GetDateElement(2); }
    void SetMonth(int Value) { SetDateElement(2, Value); }
    int Year() const { return GetDateElement(1); }
    void SetYear(int Value) { SetDateElement(1, Value); }
    // No date is chosen by the mouse or the keys.
    bool ReadOnly = false;
    TCalDayOfWeek StartOfWeek() const { return FStartOfWeek; }
    void SetStartOfWeek(TCalDayOfWeek Value);
    // On: the date is today's (set again whenever this is switched on).
    bool UseCurrentDate() const { return FUseCurrentDate; }
    void SetUseCurrentDate(bool Value);
    TDaysOfWeek Weekends() const { return FWeekends; }
    void SetWeekends(TDaysOfWeek Value);
    TColor WeekendColor() const { return FWeekendColor; }
    void SetWeekendColor(TColor Value);
    bool ShowTitle() const { return FShowTitle; }
    void SetShowTitle(bool Value);
    TNotifyEvent OnChange;
    TGetCellParams OnGetCellParams;

    // The first day of the week, 0 = Monday .. 6 = Sunday.
    int FirstDay() const;
    bool IsWeekend(int ACol, int ARow) const;
    // A day name in the fixed row, the day number in a cell of the month, else empty.
    AnsiString GetCellText(int ACol, int ARow) const;
    // The day number shown in column 0 of row 1 (1 or less).
    int MonthOffset() const { return FMonthOffset; }
    int DaysThisMonth() const;
    void PrevMonth() { ChangeMonth(-1); }
    void NextMonth() { ChangeMonth(1); }
    void PrevYear();
    void NextYear();
    void UpdateCalendar() { CalendarUpdate(false); }

    TsCalendGrid* FGrid = nullptr;
    TsDragBar* FDragBar = nullptr;
    TsTimerSpeedButton* FBtns[4] = {}; // "<<", "<", ">", ">>"

protected:
    virtual void Change();
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    friend class TsCalendGrid;
    int GetDateElement(int Index) const;
    // 1 year, 2 month, 3 day; values below 1, months past 12, days past the month and years past
    // 9999 change nothing.
    void SetDateElement(int Index, int Value);
    void ChangeMonth(int Delta);
    // The month offset, the current cell, and (unless DayOnly) the title and the grid again.
    void CalendarUpdate(bool DayOnly);
    void TitleButtonClick(TObject* Sender);
    void TitleDblClick(TObject* Sender);

    TDateTime FDate = 0;
    TCalDayOfWeek FStartOfWeek = dowLocaleDefault;
    bool FUpdating = false;
    bool FUseCurrentDate = true;
    TDaysOfWeek FWeekends{dowSunday};
    TColor FWeekendColor = clRed;
    bool FShowTitle = true;
    int FMonthOffset = 0;
};
