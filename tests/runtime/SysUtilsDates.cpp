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
