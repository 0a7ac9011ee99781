// Date routines of the date edit and the calendars: tables, year expansion, typed dates.
#include <gtest/gtest.h>

#include "sDateUtils.h"

#include <array>

namespace {
// Sets the locale's date formats for a test and restores them afterwards.
class DateUtils : public ::testing::Test {
protected:
    void SetUp() override
    {
        const char* const English[12] = {"January", "February", "March",     "April",   "May",      "June",
                                         "July",    "August",   "September", "October", "November", "December"};
        for (int i = 0; i < 12; ++i)
            LongMonthNames[i] = English[i];
        ShortDateFormat = "dd.MM.yyyy";
        DateSeparator = '/';
    }
    void TearDown() override
    {
        ShortDateFormat = savedFormat_;
        DateSeparator = savedSeparator_;
        for (int i = 0; i < 12; ++i)
            LongMonthNames[i] = savedNames_[i];
    }

    static TDateTime Read(const AnsiString& Mask, const AnsiString& Text)
    {
        TDateTime date = -1;
        return InternalStrToDate(Mask, Text, date) ? date : -1;
    }

private:
    AnsiString savedFormat_ = ShortDateFormat;
    char savedSeparator_ = DateSeparator;
    std::array<AnsiString, 12> savedNames_ = std::to_array(LongMonthNames);
};
} // namespace

TEST_F(DateUtils, MonthTablesQuartersAndValidDates)
{
    const int days[][3] = {{2005, 1, 31}, {2005, 12, 31}, {2005, 2, 28}, {2004, 2, 29},
                           {1900, 2, 28}, {2000, 2, 29}, {2005, 0, 0},   {2005, 13, 0}};
    for (const auto& d : days)
        EXPECT_EQ(DaysPerMonth(d[0], d[1]), d[2]) << d[0] << "-" << d[1];
    EXPECT_EQ(GetKvartal(EncodeDate(2005, 3, 31)), 1);
    EXPECT_EQ(GetKvartal(EncodeDate(2005, 4, 1)), 2);
    EXPECT_EQ(GetKvartal(EncodeDate(2005, 12, 31)), 4);
    EXPECT_EQ(FirstDayOfCurrMonth(EncodeDate(2004, 3, 15) + 0.5), EncodeDate(2004, 3, 1));
    EXPECT_EQ(LastDayOfPrMonth(EncodeDate(2005, 1, 10)), EncodeDate(2004, 12, 31));
    EXPECT_TRUE(IsValidDate(1, 1, 1) && IsValidDate(9999, 12, 31) && IsValidDate(2004, 2, 29));
    EXPECT_FALSE(IsValidDate(2005, 2, 29) || IsValidDate(10000, 1, 1) || IsValidDate(2005, 1, 0));
    EXPECT_FALSE(ValidDate(EncodeDate(9999, 12, 31) + 1));
}

TEST_F(DateUtils, FormatsAndMasksFollowTheDateOrder)
{
    EXPECT_EQ(GetDateOrder("x"), 1);
    const struct {
        const char* system;
        const char *four, *two, *mask;
    } cases[] = {{"M/d/yyyy", "MM/DD/YYYY", "MM/DD/YY", "!99/99/9999;1;_"},
                 {"dd.MM.yyyy", "DD/MM/YYYY", "DD/MM/YY", "!99/99/9999;1;_"},
                 {"yyyy-MM-dd", "YYYY/MM/DD", "YY/MM/DD", "!9999/99/99;1;_"}};
    for (const auto& c : cases) {
        ShortDateFormat = c.system;
        EXPECT_EQ(DefDateFormat(true), c.four) << c.system;
        EXPECT_EQ(DefDateFormat(false), c.two) << c.system;
        EXPECT_EQ(DefDateMask('_', true), c.mask) << c.system;
        EXPECT_EQ(DefDateMask(' ', false), "!99/99/99;1; ") << c.system;
    }
}

TEST_F(DateUtils, TwoDigitYearsFallInTheHundredYearsFromSixtyYearsAgo)
{
    // The last day of 2026: the pivot is 1966.
    SysUtils::TDateClockOverride clock([] { return EncodeDate(2026, 12, 31) + 0.99; });
    EXPECT_EQ(CurrentYear(), 2026);
    EXPECT_EQ(ExpandYear(66), 1966);
    EXPECT_EQ(ExpandYear(65), 2065);
    EXPECT_EQ(ExpandYear(70), 1970);
    EXPECT_EQ(ExpandYear(50), 2050);
    EXPECT_EQ(ExpandYear(0), 2000);
    EXPECT_EQ(ExpandYear(99), 1999);
    EXPECT_EQ(ExpandYear(100), 100);
    EXPECT_EQ(ExpandYear(-1), -1);  // an unreadable year stays invalid
}

TEST_F(DateUtils, TypedDatesByPlaceAndByOrder)
{
    SysUtils::TDateClockOverride clock([] { return EncodeDate(2031, 6, 15); });
    EXPECT_EQ(Read("DD/MM/YYYY", ""), NullDate);
    EXPECT_EQ(Read("DD/MM/YYYY", "29/02/2004"), EncodeDate(2004, 2, 29));
    EXPECT_EQ(Read("DD/MM/YYYY", "31/02/2005"), -1);
    EXPECT_EQ(Read("DD/MM/YYYY", " 1/ 2/2004"), EncodeDate(2004, 2, 1));  // blanks inside places
    EXPECT_EQ(Read("MM/DD/YY", "12/31/05"), EncodeDate(2005, 12, 31));
    EXPECT_EQ(Read("YYYY/MM/DD", "2004/2/29"), EncodeDate(2004, 2, 29));  // by order: places differ
    EXPECT_EQ(Read("DD/MM/YYYY", "29/2/2004/  "), EncodeDate(2004, 2, 29));
    EXPECT_EQ(Read("DD/MM/YYYY", "29/2/2004x"), -1);
    EXPECT_EQ(Read("DD/MM/YYYY", "12345/1/1"), -1);  // the first number stops at 1234
    EXPECT_EQ(Read("DD/MM/YYYY", "01/02/ab  "), -1);
    DateSeparator = '.';
    EXPECT_EQ(Read("DD.MM.YYYY", "1.2"), EncodeDate(2031, 2, 1));
    EXPECT_EQ(Read("MM.DD.YYYY", "1.2"), EncodeDate(2031, 1, 2));
    EXPECT_EQ(Read("DD.MM.YYYY", "1.2."), -1);  // a second separator asks for the year
    int pos = 1, number = 0;
    EXPECT_TRUE(ScanNumber("  12345", pos, number));
    EXPECT_EQ(number, 1234);
    EXPECT_EQ(pos, 7);
    pos = 1;
    EXPECT_FALSE(ScanNumber(" x", pos, number));
}

TEST_F(DateUtils, MonthNamesWithoutCase)
{
    EXPECT_EQ(Read("DD-MMM-YYYY", "05-feb-2004"), EncodeDate(2004, 2, 5));
    EXPECT_EQ(Read("DD-MMM-YYYY", "05-fex-2004"), -1);
    EXPECT_EQ(MonthFromName("Ma", 2), 3);
    EXPECT_EQ(MonthFromName("Mayo", 4), 0);
    EXPECT_EQ(MonthFromName("J", 0), 0);
    LongMonthNames[0] = "";
    EXPECT_EQ(MonthFromName("J", 1), 6);  // a month without a name is passed over
    LongMonthNames[1] = "Февраль";
    EXPECT_EQ(Read("DD-MMM-YYYY", "05-ФЕВ-2004"), EncodeDate(2004, 2, 5));
}
