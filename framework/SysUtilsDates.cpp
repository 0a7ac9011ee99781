#include "SysUtils.h"

#include <cmath>

namespace {
// Days from 1/1/1 to 30/12/1899, the zero of TDateTime.
constexpr Integer DateDelta = 693594;
// Days from 1/1/1 to 31/12/9999, the last day a date may have.
constexpr Integer MaxDays = 3652059;

constexpr Integer MonthDays[2][12] = {{31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31},
                                      {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31}};

// A setting of the user's locale in code page 1251 (through the W function); Default when the
// locale has none.
AnsiString LocaleText(LCTYPE Type, const AnsiString& Default)
{
    wchar_t buf[96] = {};
    if (GetLocaleInfoW(LOCALE_USER_DEFAULT, Type, buf, sizeof buf / sizeof buf[0]) > 1)
        return WideToAnsi(buf);
    return Default;
}

// Milliseconds of a day.
constexpr Integer MSecsPerDay = 86400000;

// The digits of Value, at least Digits of them.
AnsiString Digits(Integer Value, Integer Digits)
{
    AnsiString s = IntToStr(Value);
    if (Length(s) < Digits)
        s.insert(0, static_cast<size_t>(Digits - Length(s)), '0');
    return s;
}

void ReadDateSettings()
{
    ShortDateFormat = LocaleShortDateFormat();
    DateSeparator = LocaleChar(LOCALE_SDATE, '/');
    TimeSeparator = LocaleChar(LOCALE_STIME, ':');
    static const char* const months[12] = {"January", "February", "March",     "April",   "May",      "June",
                                           "July",    "August",   "September", "October", "November", "December"};
    for (Integer m = 0; m < 12; ++m) {
        LongMonthNames[m] = LocaleText(static_cast<LCTYPE>(LOCALE_SMONTHNAME1 + m), months[m]);
        ShortMonthNames[m] = LocaleText(static_cast<LCTYPE>(LOCALE_SABBREVMONTHNAME1 + m), AnsiString(months[m], 3));
    }
    // The locale counts its day names from Monday, the framework's arrays from Sunday.
    static const char* const days[7] = {"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"};
    for (Integer d = 0; d < 7; ++d) {
        const Integer fromMonday = (d + 6) % 7;
        LongDayNames[d] = LocaleText(static_cast<LCTYPE>(LOCALE_SDAYNAME1 + fromMonday), days[d]);
        ShortDayNames[d] = LocaleText(static_cast<LCTYPE>(LOCALE_SABBREVDAYNAME1 + fromMonday), AnsiString(days[d], 3));
    }
    FirstDayOfWeek = LocaleFirstDayOfWeek();
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

char LocaleChar(LCTYPE Type, char Default)
{
    const AnsiString s = LocaleText(Type, AnsiString());
    return s.empty() ? Default : s[0];
}

AnsiString LocaleShortDateFormat() { return LocaleText(LOCALE_SSHORTDATE, "M/d/yyyy"); }

Integer LocaleFirstDayOfWeek()
{
    const AnsiString s = LocaleText(LOCALE_IFIRSTDAYOFWEEK, "6");
    return s.size() == 1 && s[0] >= '0' && s[0] <= '6' ? s[0] - '0' : 6;
}

AnsiString ShortDateFormat;
char DateSeparator = '/';
char TimeSeparator = ':';
AnsiString LongMonthNames[12];
AnsiString ShortMonthNames[12];
AnsiString ShortDayNames[7];
AnsiString LongDayNames[7];
Integer FirstDayOfWeek = 6;

namespace {
// The settings are read when the program starts, after the globals above are made.
const bool dateSettingsRead = (ReadDateSettings(), true);
} // namespace

void GetFormatSettings()
{
    ReadDateSettings();
    DecimalSeparator = LocaleChar(LOCALE_SDECIMAL, '.');
    ThousandSeparator = LocaleChar(LOCALE_STHOUSAND, ',');
}

Integer DayOfWeek(TDateTime Date)
{
    // 1/1/1 was a Monday.
    const Int64 days = Trunc(Date) + DateDelta;
    return static_cast<Integer>(((days % 7) + 7) % 7) + 1;
}

void DecodeTime(TDateTime Date, Word& Hour, Word& Min, Word& Sec, Word& MSec)
{
    double whole = 0;
    Integer ms = static_cast<Integer>(Round(std::fabs(std::modf(Date, &whole)) * MSecsPerDay));
    if (!(ms >= 0 && ms < MSecsPerDay))  // a fraction that rounds up to the next day, or NaN
        ms = std::isnan(Date) ? 0 : MSecsPerDay - 1;
    Hour = static_cast<Word>(ms / 3600000);
    Min = static_cast<Word>(ms / 60000 % 60);
    Sec = static_cast<Word>(ms / 1000 % 60);
    MSec = static_cast<Word>(ms % 1000);
}

AnsiString FormatDateTime(const AnsiString& Format, TDateTime DateTime)
{
    Word year = 0, month = 0, day = 0, hour = 0, min = 0, sec = 0, msec = 0;
    DecodeDate(DateTime, year, month, day);
    DecodeTime(DateTime, hour, min, sec, msec);
    AnsiString out;
    char lastLetter = 0;
    const size_t n = Format.size();
    for (size_t i = 0; i < n;) {
        const char c = Format[i];
        if (c == '\'' || c == '"') {
            const size_t close = Format.find(c, i + 1);
            const size_t end = close == AnsiString::npos ? n : close;
            out.append(Format, i + 1, end - i - 1);
            i = end == n ? n : end + 1;
            continue;
        }
        if (c == '/' || c == ':') {
            out += c == '/' ? DateSeparator : TimeSeparator;
            ++i;
            continue;
        }
        char letter = static_cast<char>(c >= 'a' && c <= 'z' ? c - 32 : c);
        if (letter < 'A' || letter > 'Z') {
            out += c;
            ++i;
            continue;
        }
        size_t count = 1;
        while (i + count < n && (Format[i + count] | 0x20) == (c | 0x20))
            ++count;
        i += count;
        // Minutes are "m" right after an hour (other characters between them do not count).
        if (letter == 'M' && lastLetter == 'H')
            letter = 'N';
        lastLetter = letter;
        switch (letter) {
        case 'D':
            if (count <= 2)
                out += Digits(day, static_cast<Integer>(count));
            else if (day)
                out += (count == 3 ? ShortDayNames : LongDayNames)[DayOfWeek(DateTime) - 1];
            break;
        case 'M':
            if (count <= 2)
                out += Digits(month, static_cast<Integer>(count));
            else if (month)
                out += (count == 3 ? ShortMonthNames : LongMonthNames)[month - 1];
            break;
        case 'Y': out += count <= 2 ? Digits(year % 100, 2) : Digits(year, 4); break;
        case 'H': out += Digits(hour, count >= 2 ? 2 : 1); break;
        case 'N': out += Digits(min, count >= 2 ? 2 : 1); break;
        case 'S': out += Digits(sec, count >= 2 ? 2 : 1); break;
        default: out.append(count, c); break;
        }
    }
    return out;
}
