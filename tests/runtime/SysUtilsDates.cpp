#include <gtest/gtest.h>

#include "SysUtils.h"
#include "TestKit.h"

#include <cmath>

namespace {
// Year, month and day as one number: 20040229.
int Decode(TDateTime Date)
{
    Word y = 0, m = 0, d = 0;
    DecodeDate(Date, y, m, d);
    return y * 10000 + m * 100 + d;
}
} // namespace

TEST(SysUtilsDates, EncodeAndDecodeAtBothEndsAndAroundLeapDays)
{
    EXPECT_EQ(EncodeDate(1899, 12, 30), 0);
    EXPECT_EQ(EncodeDate(2000, 3, 1), 36526 + 31 + 29);
    EXPECT_EQ(EncodeDate(1, 1, 1), -693593);
    EXPECT_EQ(EncodeDate(9999, 12, 31), 2958465);
    // Last days of a 400-year, a 100-year and a 4-year cycle, and days after them.
    for (const int day : {10101, 99991231, 20001231, 20010101, 19001231, 19961231, 19970101, 20040229})
        EXPECT_EQ(Decode(EncodeDate(day / 10000, day / 100 % 100, day % 100)), day);
    EXPECT_EQ(Decode(-1.25), 18991229);  // the time of a negative date runs forwards
    for (const TDateTime outside : {-693594.0, 2958466.0, 1e12, std::nan("")})
        EXPECT_EQ(Decode(outside), 0) << outside;
    TDateTime date = 7;
    EXPECT_FALSE(TryEncodeDate(1900, 2, 29, date));
    EXPECT_FALSE(TryEncodeDate(0, 12, 31, date));
    EXPECT_FALSE(TryEncodeDate(10000, 1, 1, date));
    EXPECT_EQ(date, 7);
    EXPECT_EQ(testkit::Refusal<EConvertError>([] { EncodeDate(2005, 2, 29); }),
              "Invalid argument to date encode");
}

TEST(SysUtilsDates, DayOfWeekCountsFromSundayAtBothEndsOfTheCalendar)
{
    const struct {
        TDateTime date;
        Integer day;
    } cases[] = {{EncodeDate(1, 1, 1), 2},     {EncodeDate(1899, 12, 30), 7}, {-1.25, 6} /* 29/12/1899 */,
                 {EncodeDate(2024, 9, 1), 1},  {EncodeDate(2024, 4, 1), 2},   {EncodeDate(2024, 3, 5) + 0.99, 3},
                 {EncodeDate(9999, 12, 31), 6}};
    for (const auto& c : cases)
        EXPECT_EQ(DayOfWeek(c.date), c.day) << c.date;
}

namespace {
// Locale globals of the test's own, put back afterwards.
class LocaleGlobals : public ::testing::Test {
protected:
    void SetUp() override
    {
        DateSeparator = '.';
        TimeSeparator = '-';
        ShortMonthNames[2] = "Мар";
        LongMonthNames[2] = "Март";
        ShortDayNames[2] = "Вт";
        LongDayNames[2] = "Вторник";
    }
    void TearDown() override { GetFormatSettings(); }
};

// The user's locale, asked directly.
AnsiString Locale(LCTYPE Type)
{
    wchar_t buf[96] = {};
    GetLocaleInfoW(LOCALE_USER_DEFAULT, Type, buf, 96);
    return WideToAnsi(buf);
}
} // namespace

TEST_F(LocaleGlobals, FormatDateTimeTellsMinutesFromMonthsAndUsesTheSeparatorsAndNames)
{
    // Tuesday 5 March 2024, 14:07:09.
    const TDateTime at = EncodeDate(2024, 3, 5) + (14 * 3600 + 7 * 60 + 9) / 86400.0;
    const struct {
        const char* format;
        const char* text;
    } cases[] = {
        {"dd/mm/yyyy", "05.03.2024"},      {"D/M/YY", "5.3.24"},        {"y yyy", "24 2024"},
        {"hh:mm:ss", "14-07-09"},          {"h 'at' m", "14 at 7"},     {"hh dd mm", "14 05 03"},
        {"mm hh", "03 14"},                {"hh:nn", "14-07"},          {"ddd, dddd", "Вт, Вторник"},
        {"mmm mmmm", "Мар Март"},          {"'dd/mm' \"hh\"", "dd/mm hh"}, {"d. x", "5. x"},
        {"dd 'unclosed", "05 unclosed"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FormatDateTime(c.format, at), c.text) << c.format;
    EXPECT_EQ(FormatDateTime("dd.mm.yyyy hh:nn", -1.25), "29.12.1899 06-00") << "the time of a negative date";
    EXPECT_EQ(FormatDateTime("yyyy", EncodeDate(5, 1, 1)), "0005");
    EXPECT_EQ(FormatDateTime("hh:nn:ss", 0.9999999999), "23-59-59") << "never the hour 24";
}

TEST_F(LocaleGlobals, GetFormatSettingsReadsEverySettingFromTheLocaleAgain)
{
    DecimalSeparator = ThousandSeparator = ShortDateFormat[0] = '#';
    LongMonthNames[0] = ShortDayNames[0] = LongDayNames[6] = "#";
    FirstDayOfWeek = 9;
    GetFormatSettings();
    EXPECT_EQ(DateSeparator, Locale(LOCALE_SDATE)[0]);
    EXPECT_EQ(TimeSeparator, Locale(LOCALE_STIME)[0]);
    EXPECT_EQ(DecimalSeparator, Locale(LOCALE_SDECIMAL)[0]);
    EXPECT_EQ(ThousandSeparator, Locale(LOCALE_STHOUSAND)[0]);
    EXPECT_EQ(ShortDateFormat, Locale(LOCALE_SSHORTDATE));
    EXPECT_EQ(LongMonthNames[0], Locale(LOCALE_SMONTHNAME1));
    EXPECT_EQ(ShortMonthNames[11], Locale(LOCALE_SABBREVMONTHNAME12));
    EXPECT_EQ(ShortDayNames[0], Locale(LOCALE_SABBREVDAYNAME7)) << "Sunday first";
    EXPECT_EQ(LongDayNames[6], Locale(LOCALE_SDAYNAME6)) << "Saturday last";
    EXPECT_EQ(LongDayNames[1], Locale(LOCALE_SDAYNAME1));
    EXPECT_EQ(FirstDayOfWeek, Locale(LOCALE_IFIRSTDAYOFWEEK)[0] - '0');
    EXPECT_NE(LongDayNames[1], LongDayNames[2]);
}
