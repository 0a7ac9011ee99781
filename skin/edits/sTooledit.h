// The date edit: a combo edit whose mask keeps a date in the locale's order, whose button drops the
// pop-up calendar down, whose keys step the date, and which keeps a date within its minimum and
// maximum. TsDateEdit is its published form.
#pragma once

#include "Forms.h"
#include "sCustomComboEdit.h"
#include "sDateUtils.h"
#include "sMonthCalendar.h"

enum TYearDigits { dyDefault, dyFour, dyTwo };
using TOnAcceptDate = TMethod<void(TObject* Sender, TDateTime& ADate, bool& Action)>;

class TsCustomDateEdit : public TsCustomComboEdit {
    VCL_CLASS(TsCustomDateEdit, TsCustomComboEdit)
public:
    explicit TsCustomDateEdit(TComponent* AOwner);
    ~TsCustomDateEdit() override;
    void Loaded() override;
    void WndProc(TMessage& Message) override;

    AnsiString DialogTitle = "Date select";
    TOnAcceptDate OnAcceptDate;
    // An empty or invalid date reads as today.
    bool DefaultToday = false;
    // Leaving the edit checks the date ("Invalid Date") and keeps it within MinDate and MaxDate.
    bool CheckOnExit = false;
    char BlanksChar() const { return FBlanksChar; }
    // A character below ' ' is taken as ' '.
    void SetBlanksChar(char Value);
    // The hints of the calendar's "<<", "<", ">" and ">>" buttons (four lines at most).
    TStrings* CalendarHints() const { return FCalendarHints.get(); }
    void SetCalendarHints(TStrings* Value);
    TCalDayOfWeek StartOfWeek() const { return FStartOfWeek; }
    void SetStartOfWeek(TCalDayOfWeek Value);
    TDaysOfWeek Weekends() const { return FWeekends; }
    void SetWeekends(TDaysOfWeek Value);
    TColor WeekendColor() const { return FWeekendColor; }
    void SetWeekendColor(TColor Value);
    TYearDigits YearDigits() const { return FYearDigits; }
    void SetYearDigits(TYearDigits Value);
    // 0: no bound. A bound that would cross the other one is refused.
    TDateTime MinDate() const { return FMinDate; }
    void SetMinDate(TDateTime Value);
    TDateTime MaxDate() const { return FMaxDate; }
    void SetMaxDate(TDateTime Value);
    TGetCellParams OnGetCellParams;

    // The date of the text (NullDate, or today with DefaultToday, when it holds none).
    TDateTime Date();
    // Shows the date in the format in use; NullDate (or an invalid date) empties the edit.
    void SetDate(TDateTime Value);
    // The format in use ("DD/MM/YYYY" and the like).
    const AnsiString& DateFormat() const { return FDateFormat; }
    bool FourDigitYear() const;
    AnsiString GetDateMask() const;
    void UpdateFormat();
    // SetDate and all selected.
    virtual void ApplyDate(TDateTime Value);
    // The mask again for the locale's order and separator, keeping the date.
    virtual void UpdateMask();
    // The text holds more than blanks and date separators.
    bool TextStored();
    // With a date typed: it is read (an impossible one raises "Invalid Date"); true.
    bool CheckValidDate();
    void PopupWindowShow() override;

    // A date of Text by Format; EConvertError "Invalid Date" when it is none.
    static TDateTime StrToDateFmt(const AnsiString& Format, const AnsiString& Text);
    // Default (to the whole day) when Text is no date.
    static TDateTime StrToDateFmtDef(const AnsiString& Format, const AnsiString& Text, TDateTime Default);

protected:
    void CreateWnd() override;
    void DestroyWnd() override;
    void KeyDown(Word& Key, TShiftState Shift) override;
    void KeyPress(char& Key) override;
    void Change() override;

private:
    void UpdatePopup();
    void HintsChanged(TObject* Sender);
    bool FormatSettingsChange(TMessage& Message);
    void HookFormatSettings(bool On);

    bool FHooked = false;
    char FBlanksChar = ' ';
    std::unique_ptr<TStringList> FCalendarHints;
    TCalDayOfWeek FStartOfWeek = dowLocaleDefault;
    TDaysOfWeek FWeekends{dowSunday};
    TColor FWeekendColor = clRed;
    TYearDigits FYearDigits = dyFour;
    AnsiString FDateFormat;
    bool FFormatting = false;
    TDateTime FMinDate = 0;
    TDateTime FMaxDate = 0;
};

class TsDateEdit : public TsCustomDateEdit {
    VCL_CLASS(TsDateEdit, TsCustomDateEdit)
public:
    explicit TsDateEdit(TComponent* AOwner);
};

// Every date edit of every form takes the locale's date settings again.
void DateFormatChanged();
