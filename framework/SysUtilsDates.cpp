#include "SysUtils.h"

#include <cmath>

namespace {
// Days from 1/1/1 to 30/12/1899, the zero of TDateTime.
constexpr Integer DateDelta = 693594;
// Days from 1/1/1 to 31/12/9999, the last day a date may have.
constexpr Integer MaxDays = 3652059;

constexpr Integer MonthDays[2][12] = {{31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31},
                                      {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31}};

AnsiString LocaleText(LCTYPE Type, const AnsiString& Default)
{
    wchar_t buf[96] = {};
    if (GetLocaleInfoW(LOCALE_USER_DEFAULT, Type, buf, sizeof buf / sizeof buf[0]) > 1)
        return WideToAnsi(buf);
    return Default;
}

char LocaleDateSeparator()
{
    const AnsiString s = LocaleText(LOCALE_SDATE, "/");
    return s.empty() ? '/' : s[0];
}
} // namespace

bool IsLeapYear(Integer Year) { return Year % 4 == 0 && (Year % 100 != 0 || Year % 400 == 0); }

bool TryEncodeDate(Integer Year, Integer Month, Integer Day, TDateTime& Date)
{
    if (Year < 1 || Year > 9999 || Month < 1 || Month > 12 || Day < 1 ||
        Day > MonthDays[IsLeapYear(Year)][Month - 1])
        return false;
    Integer days = Day;
    for (Integer m = 1; m < Month; ++m)
        days += MonthDays[IsLeapYear(Year)][m - 1];
    const Integer y = Year - 1;
    days += y * 365 + y / 4 - y / 100 + y / 400;
    Date = days - DateDelta;
    return true;
}

TDateTime EncodeDate(Integer Year, Integer Month, Integer Day)
{
    TDateTime result = 0;
    if (!TryEncodeDate(Year, Month, Day, result))
        throw EConvertError("Invalid argument to date encode");
    return result;
}

void DecodeDate(TDateTime Date, Word& Year, Word& Month, Word& Day)
{
    Year = Month = Day = 0;
    if (!(Date > -DateDelta && Date < MaxDays - DateDelta + 1))  // also refuses NaN
        return;
    // Days since 1/1/1 of the day of Date (the time of a negative date counts from its day
    // onwards), counted from 0; whole 400, 100, 4 and 1 year cycles off.
    Integer t = static_cast<Integer>(std::trunc(Date)) + DateDelta - 1;
    Integer y = 1;
    y += t / 146097 * 400;
    t %= 146097;
    Integer c = t / 36524;
    if (c == 4)  // the last day of a 400 year cycle
        c = 3;
    y += c * 100;
    t -= c * 36524;
    y += t / 1461 * 4;
    t %= 1461;
    Integer n = t / 365;
    if (n == 4)  // the last day of a 4 year cycle
        n = 3;
    y += n;
    t -= n * 365;
    Integer m = 0;
    while (t >= MonthDays[IsLeapYear(y)][m])
        t -= MonthDays[IsLeapYear(y)][m++];
    Year = static_cast<Word>(y);
    Month = static_cast<Word>(m + 1);
    Day = static_cast<Word>(t + 1);
}

AnsiString LocaleShortDateFormat() { return LocaleText(LOCALE_SSHORTDATE, "M/d/yyyy"); }

AnsiString ShortDateFormat = LocaleShortDateFormat();
char DateSeparator = LocaleDateSeparator();
AnsiString LongMonthNames[12] = {
    LocaleText(LOCALE_SMONTHNAME1, "January"),  LocaleText(LOCALE_SMONTHNAME2, "February"),
    LocaleText(LOCALE_SMONTHNAME3, "March"),    LocaleText(LOCALE_SMONTHNAME4, "April"),
    LocaleText(LOCALE_SMONTHNAME5, "May"),      LocaleText(LOCALE_SMONTHNAME6, "June"),
    LocaleText(LOCALE_SMONTHNAME7, "July"),     LocaleText(LOCALE_SMONTHNAME8, "August"),
    LocaleText(LOCALE_SMONTHNAME9, "September"), LocaleText(LOCALE_SMONTHNAME10, "October"),
    LocaleText(LOCALE_SMONTHNAME11, "November"), LocaleText(LOCALE_SMONTHNAME12, "December")};
