// Date routines of the date edit and the calendars: default formats and edit masks from the
// system's short date format, two-digit year expansion, and reading a typed date by a mask or by
// the date order of a format.
#pragma once

#include "SysUtils.h"

// The date value used when there is no date.
constexpr TDateTime NullDate = 0;
// Whether the system's short date format shows four-digit years; set once at start-up.
extern bool NormalYears;

// Quarter of the year of Date, 1..4.
int GetKvartal(TDateTime Date);
TDateTime FirstDayOfCurrMonth(TDateTime Date);
// The last day of the month before the month of Date.
TDateTime LastDayOfPrMonth(TDateTime Date);
// Days of Month in Year; 0 for a month outside 1..12.
int DaysPerMonth(int Year, int Month);
int ExtractDay(TDateTime Date);
int ExtractMonth(TDateTime Date);
int ExtractYear(TDateTime Date);

// Date order of a format: 0 month-day-year, 1 day-month-year, 2 year-month-day, from the first
// of the letters D, M, Y in it (any case); 1 when it has none.
int GetDateOrder(const AnsiString& DateFormat);
// "MM/DD/YYYY", "DD/MM/YYYY" or "YYYY/MM/DD" (two-digit years with "YY") by the order of
// ShortDateFormat.
AnsiString DefDateFormat(bool FourDigitYear);
// The edit mask of a date by the order of ShortDateFormat, with BlanksChar for unfilled places.
AnsiString DefDateMask(char BlanksChar, bool FourDigitYear);

bool ValidDate(TDateTime Date);
bool IsValidDate(int Year, int Month, int Day);
int CurrentYear();
// A year below 100 put into the hundred years that starts 60 years before the current one;
// other years unchanged.
int ExpandYear(int Year);

// Text as a date by Mask (the letters D, M, Y mark the places of day, month and year); an empty
// text gives NullDate. False (Date unchanged) when the text is not a valid date.
bool InternalStrToDate(const AnsiString& Mask, const AnsiString& Text, TDateTime& Date);
// Day, month and year from the places Mask gives them in Text, else by ScanDate in the order of
// Mask. A year typed with one or two digits is expanded (ExpandYear), one typed with more is
// taken as written ("0050" is the year 50).
bool ScanDateStr(const AnsiString& Mask, const AnsiString& Text, int& D, int& M, int& Y);
// Reads "a<sep>b[<sep>c]" from Text at Pos (1-based) with DateSeparator, the parts in the date
// order of DateFormat (the current year when c is missing; a year of one or two digits expanded,
// one of more digits taken as written). True when the date is valid and the
// whole text was read.
bool ScanDate(const AnsiString& Text, const AnsiString& DateFormat, int& Pos, int& D, int& M, int& Y);
// The value of the places of Text under the first run of Count letters Ch (upper case) of Mask:
// Default when Mask has no such run or Text is longer than Mask; ErrorValue when nothing is
// there or it is not a number (Count < 2) or a month name (Count >= 2).
int ExtractMask(const AnsiString& Mask, const AnsiString& Text, char Ch, int Default, int ErrorValue,
                int Count);
// The first month whose name begins with the first Length characters of Text (any case); 0 when
// none.
int MonthFromName(const AnsiString& Text, int Length);
// Skips blanks, then reads up to four digits; false when there is no digit.
bool ScanNumber(const AnsiString& Text, int& Pos, int& Number);
// Skips blanks, then reads Ch; false (Pos after the blanks) when Ch is not there.
bool ScanChar(const AnsiString& Text, int& Pos, char Ch);
void ScanBlanks(const AnsiString& Text, int& Pos);
