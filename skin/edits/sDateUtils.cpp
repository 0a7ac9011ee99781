#include "sDateUtils.h"

#include <algorithm>

bool NormalYears = Pos("YYYY", AnsiUpperCase(LocaleShortDateFormat())) > 0;

namespace {
constexpr int MonthTable[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};

struct TDateParts {
    int Year = 0, Month = 0, Day = 0;
};

TDateParts Decoded(TDateTime Date)
{
    Word y = 0, m = 0, d = 0;
    DecodeDate(Date, y, m, d);
    return {y, m, d};
}

bool IsDigit(char C) { return C >= '0' && C <= '9'; }

// The characters typed under the first run of Ch (upper case) in Mask, blanks left out.
int TypedInRun(const AnsiString& Mask, const AnsiString& Text, char Ch)
{
    const AnsiString upper = AnsiUpperCase(Mask);
    int count = 0;
    for (int i = Pos(AnsiString(1, Ch), upper); i > 0 && i <= std::min(Length(Text), Length(upper)) && upper[i - 1] == Ch;
         ++i)
        count += Text[i - 1] != ' ' ? 1 : 0;
    return count;
}

// A year of Digits digits: a short one (one or two digits) is put into its hundred years, one
// written out in full stays as it is (year 50 is "0050").
int TypedYear(int Year, int Digits) { return Digits <= 2 ? ExpandYear(Year) : Year; }
} // namespace

int GetKvartal(TDateTime Date) { return (ExtractMonth(Date) - 1) / 3 + 1; }

TDateTime FirstDayOfCurrMonth(TDateTime Date)
{
    const TDateParts p = Decoded(Date);
    return EncodeDate(p.Year, p.Month, 1);
}

TDateTime LastDayOfPrMonth(TDateTime Date) { return FirstDayOfCurrMonth(Date) - 1; }

int DaysPerMonth(int Year, int Month)
{
    if (Month < 1 || Month > 12)
        return 0;
    return MonthTable[Month - 1] + (Month == 2 && IsLeapYear(Year) ? 1 : 0);
}

int ExtractDay(TDateTime Date) { return Decoded(Date).Day; }
int ExtractMonth(TDateTime Date) { return Decoded(Date).Month; }
int ExtractYear(TDateTime Date) { return Decoded(Date).Year; }

int GetDateOrder(const AnsiString& DateFormat)
{
    for (const char c : DateFormat) {
        switch (AnsiUpperChar(c)) {
        case 'D': return 1;
        case 'M': return 0;
        case 'Y': return 2;
        default: break;
        }
    }
    return 1;
}

AnsiString DefDateFormat(bool FourDigitYear)
{
    static const char* const Formats[2][3] = {{"MM/DD/YY", "DD/MM/YY", "YY/MM/DD"},
                                              {"MM/DD/YYYY", "DD/MM/YYYY", "YYYY/MM/DD"}};
    return Formats[FourDigitYear][GetDateOrder(ShortDateFormat)];
}

AnsiString DefDateMask(char BlanksChar, bool FourDigitYear)
{
    AnsiString mask = "!99/99/99;1;";
    if (FourDigitYear)
        mask = GetDateOrder(ShortDateFormat) == 2 ? "!9999/99/99;1;" : "!99/99/9999;1;";
    return mask + BlanksChar;
}

bool ValidDate(TDateTime Date)
{
    const TDateParts p = Decoded(Date);
    return IsValidDate(p.Year, p.Month, p.Day);
}

bool IsValidDate(int Year, int Month, int Day)
{
    return Year >= 1 && Year <= 9999 && Month >= 1 && Month <= 12 && Day >= 1 &&
           Day <= DaysPerMonth(Year, Month);
}

int CurrentYear() { return ExtractYear(SysUtils::Date()); }

int ExpandYear(int Year)
{
    // Only two-digit years: a negative one is an unreadable year and must stay invalid.
    if (Year < 0 || Year >= 100)
        return Year;
    const int pivot = CurrentYear() - 60;
    int result = Year + pivot / 100 * 100;
    if (result < pivot)
        result += 100;
    return result;
}

int MonthFromName(const AnsiString& Text, int Length)
{
    if (Length < 1)
        return 0;
    const AnsiString start = Copy(Text, 1, Length);
    for (int m = 1; m <= 12; ++m) {
        const AnsiString& name = LongMonthNames[m - 1];
        if (!name.empty() && AnsiSameText(Copy(name, 1, Length), start))
            return m;
    }
    return 0;
}

int ExtractMask(const AnsiString& Mask, const AnsiString& Text, char Ch, int Default, int ErrorValue,
                int Count)
{
    // Places past this one are never read: a date takes fewer.
    constexpr int LastPlace = 19;
    const AnsiString upper = AnsiUpperCase(Mask);
    const int p = Pos(AnsiString(static_cast<std::size_t>(Count < 1 ? 1 : Count), Ch), upper);
    if (p == 0 || Length(Text) > Length(Mask))
        return Default;
    AnsiString part;
    for (int i = p; i <= LastPlace && i <= Length(Text) && upper[i - 1] == Ch; ++i) {
        if (Text[i - 1] != ' ')
            part += Text[i - 1];
    }
    if (part.empty())
        return ErrorValue;
    if (Count < 2) {
        int value = 0;
        for (const char c : part) {
            if (!IsDigit(c))
                return ErrorValue;
            if (value > 99999)  // no part of a date; also keeps long runs from overflowing
                return ErrorValue;
            value = value * 10 + (c - '0');
        }
        return value;
    }
    const int month = MonthFromName(part, Length(part));
    return month == 0 ? ErrorValue : month;
}

bool ScanDateStr(const AnsiString& Mask, const AnsiString& Text, int& D, int& M, int& Y)
{
    M = ExtractMask(Mask, Text, 'M', 0, -1, 3);
    if (M <= 0)
        M = ExtractMask(Mask, Text, 'M', 0, -1, 1);
    D = ExtractMask(Mask, Text, 'D', 0, -1, 1);
    Y = TypedYear(ExtractMask(Mask, Text, 'Y', CurrentYear(), -1, 1), TypedInRun(Mask, Text, 'Y'));
    if (M > 0 && D > 0 && IsValidDate(Y, M, D))
        return true;
    int pos = 1;
    return ScanDate(Text, Mask, pos, D, M, Y);
}

bool InternalStrToDate(const AnsiString& Mask, const AnsiString& Text, TDateTime& Date)
{
    if (Text.empty()) {
        Date = NullDate;
        return true;
    }
    int d = 0, m = 0, y = 0;
    if (!ScanDateStr(Mask, Text, d, m, y))
        return false;
    Date = EncodeDate(y, m, d);
    return true;
}

void ScanBlanks(const AnsiString& Text, int& Pos)
{
    while (Pos <= Length(Text) && Text[Pos - 1] == ' ')
        ++Pos;
}

bool ScanNumber(const AnsiString& Text, int& Pos, int& Number)
{
    ScanBlanks(Text, Pos);
    const int start = Pos;
    int n = 0;
    while (Pos <= Length(Text) && IsDigit(Text[Pos - 1]) && n < 1000)
        n = n * 10 + (Text[Pos++ - 1] - '0');
    if (Pos == start)
        return false;
    Number = n;
    return true;
}

bool ScanChar(const AnsiString& Text, int& Pos, char Ch)
{
    ScanBlanks(Text, Pos);
    if (Pos > Length(Text) || Text[Pos - 1] != Ch)
        return false;
    ++Pos;
    return true;
}

bool ScanDate(const AnsiString& Text, const AnsiString& DateFormat, int& Pos, int& D, int& M, int& Y)
{
    const int order = GetDateOrder(DateFormat);
    int a = 0, b = 0, c = 0, digitsA = 0, digitsB = 0, digitsC = 0;
    // A number and the digits it was written with.
    auto number = [&](int& N, int& Digits) {
        ScanBlanks(Text, Pos);
        const int start = Pos;
        const bool read = ScanNumber(Text, Pos, N);
        Digits = Pos - start;
        return read;
    };
    if (!number(a, digitsA) || !ScanChar(Text, Pos, DateSeparator) || !number(b, digitsB))
        return false;
    if (ScanChar(Text, Pos, DateSeparator)) {
        if (!number(c, digitsC))
            return false;
        switch (order) {
        case 0: M = a, D = b, Y = TypedYear(c, digitsC); break;
        case 1: D = a, M = b, Y = TypedYear(c, digitsC); break;
        default: Y = TypedYear(a, digitsA), M = b, D = c; break;
        }
    } else {
        Y = CurrentYear();
        if (order == 1)
            D = a, M = b;
        else
            M = a, D = b;
    }
    ScanChar(Text, Pos, DateSeparator);
    ScanBlanks(Text, Pos);
    return IsValidDate(Y, M, D) && Pos > Length(Text);
}
