#include <gtest/gtest.h>

#include "SysUtils.h"
#include "TestKit.h"

#include <climits>
#include <cmath>

TEST(SysUtilsNumbers, StrToIntForms)
{
    EXPECT_EQ(StrToInt("0"), 0);
    EXPECT_EQ(StrToInt("-17"), -17);
    EXPECT_EQ(StrToInt("+17"), 17);
    EXPECT_EQ(StrToInt("$ff"), 255);
    EXPECT_EQ(StrToInt("0x1F"), 31);
    EXPECT_EQ(StrToInt("0X1f"), 31);
    EXPECT_EQ(StrToInt("-$10"), -16);
    EXPECT_EQ(StrToInt("$FFFFFFFF"), -1);
    EXPECT_EQ(StrToInt("2147483647"), INT_MAX);
    EXPECT_EQ(StrToInt("-2147483648"), INT_MIN);
    EXPECT_EQ(StrToInt("007"), 7);
    EXPECT_EQ(StrToInt64("9223372036854775807"), LLONG_MAX);
    EXPECT_EQ(StrToInt64("-9223372036854775808"), LLONG_MIN);
    EXPECT_EQ(StrToInt64("$100000000"), 0x100000000LL);
}

TEST(SysUtilsNumbers, StrToIntErrors)
{
    EXPECT_EQ(testkit::Refusal<EConvertError>([] { StrToInt("abc"); }), "'abc' is not a valid integer value");
    for (const char* bad : {"", " 1", "1 ", "+", "-", "$", "0x", "1.5", "12a", "2147483648", "-2147483649",
                            "$100000000", "--1", "1e3"})
        EXPECT_EQ(testkit::Refusal<EConvertError>([&] { StrToInt(bad); }), "'" + AnsiString(bad) + "' is not a valid integer value");
    EXPECT_EQ(testkit::Refusal<EConvertError>([] { StrToInt64("9223372036854775808"); }),
              "'9223372036854775808' is not a valid integer value");
    EXPECT_EQ(StrToIntDef("x", 42), 42);
    EXPECT_EQ(StrToIntDef("", -1), -1);
    EXPECT_EQ(StrToIntDef("12", -1), 12);
    EXPECT_EQ(StrToInt64Def("12x", 5), 5);
    Integer v = 3;
    EXPECT_FALSE(TryStrToInt("z", v));
    EXPECT_EQ(v, 3);
}

TEST(SysUtilsNumbers, IntToStrAndHex)
{
    EXPECT_EQ(IntToStr(-5), "-5");
    EXPECT_EQ(IntToStr(Int64(1) << 40), "1099511627776");
    EXPECT_EQ(IntToStr(4000000000u), "4000000000");
    EXPECT_EQ(IntToHex(255, 4), "00FF");
    EXPECT_EQ(IntToHex(0x12345, 2), "12345");
    EXPECT_EQ(IntToHex(0, 0), "0");
}

TEST(SysUtilsNumbers, RoundHalvesToEvenAndTruncTowardsZero)
{
    EXPECT_EQ(Round(0.5), 0);
    EXPECT_EQ(Round(1.5), 2);
    EXPECT_EQ(Round(2.5), 2);
    EXPECT_EQ(Round(3.5), 4);
    EXPECT_EQ(Round(-0.5), 0);
    EXPECT_EQ(Round(-1.5), -2);
    EXPECT_EQ(Round(-2.5), -2);
    EXPECT_EQ(Round(2.4999), 2);
    EXPECT_EQ(Round(2.5001), 3);
    EXPECT_EQ(Round(1e12 + 0.5), 1000000000000LL);
    EXPECT_EQ(Trunc(2.9), 2);
    EXPECT_EQ(Trunc(-2.9), -2);
}

TEST(SysUtilsNumbers, FormatSpecifiers)
{
    EXPECT_EQ(Format("%s: %d", {AnsiString("Количество"), 5}), "Количество: 5");
    EXPECT_EQ(Format(" (%dx%d)", {640, 480}), " (640x480)");
    EXPECT_EQ(Format("%5d|%-5d|%.3d", {42, 42, 7}), "   42|42   |007");
    EXPECT_EQ(Format("%*d", {4, 7}), "   7");
    EXPECT_EQ(Format("%u %x %X %.4x", {3000000000u, 255, 255, 10}), "3000000000 ff FF 000a");
    EXPECT_EQ(Format("%x", {-1}), "ffffffff");
    EXPECT_EQ(Format("100%%", {}), "100%");
    EXPECT_EQ(Format("%-4s|%4s|%.2s", {"ab", "ab", "abc"}), "ab  |  ab|ab");
    EXPECT_EQ(Format("%1:s %0:s", {"a", "b"}), "b a");
    EXPECT_EQ(Format("%d", {Int64(1) << 40}), "1099511627776");
    EXPECT_EQ(Format("%s", {'c'}), "c");
}

TEST(SysUtilsNumbers, FormatMismatchRaises)
{
    EXPECT_EQ(testkit::Refusal<EConvertError>([] { Format("%d", {"x"}); }), "Format '%d' invalid or incompatible with argument");
    for (const char* format : {"%d %d", "%s", "%f", "%q", "50%"})
        EXPECT_EQ(testkit::Refusal<EConvertError>([&] { Format(format, {format[1] == 's' ? TVarRec(1.5) : TVarRec(1)}); }),
                  "Format '" + AnsiString(format) + "' invalid or incompatible with argument");
}

class SysUtilsFloats : public ::testing::Test {
protected:
    void SetUp() override
    {
        saved_ = DecimalSeparator;
        savedThousands_ = ThousandSeparator;
        ThousandSeparator = ' ';
    }
    void TearDown() override
    {
        DecimalSeparator = saved_;
        ThousandSeparator = savedThousands_;
    }
    char saved_ = '.';
    char savedThousands_ = ' ';
};

TEST_F(SysUtilsFloats, FloatTextUsesTheDecimalSeparator)
{
    DecimalSeparator = ',';
    EXPECT_EQ(FloatToStr(2.5), "2,5");
    EXPECT_EQ(FloatToStr(100), "100");
    EXPECT_EQ(FloatToStr(0.1), "0,1");
    EXPECT_EQ(FloatToStr(1e20), "1E20");
    EXPECT_EQ(FloatToStr(-1.5e-7), "-1,5E-7");
    EXPECT_EQ(Format("%.1f", {2.25}), "2,2");
    EXPECT_DOUBLE_EQ(StrToFloat(" 2,5 "), 2.5);
    EXPECT_EQ(testkit::Refusal<EConvertError>([] { StrToFloat("2.5"); }), "'2.5' is not a valid floating point value");
    EXPECT_EQ(FormatFloat("0.##", 2.5), "2,5");
    EXPECT_EQ(FormatFloat("0", 2.5), "2");
    EXPECT_EQ(FormatFloat("0.00", -1), "-1,00");
    DecimalSeparator = '.';
    EXPECT_EQ(FloatToStr(-0.125), "-0.125");
    EXPECT_EQ(Format("%.2f|%8.1f|%g|%.3e", {3.14159, -2.26, 0.5, 1234.5}), "3.14|    -2.3|0.5|1.23E+003");
    EXPECT_DOUBLE_EQ(StrToFloat("-1.5e2"), -150);
    EXPECT_EQ(testkit::Refusal<EConvertError>([] { StrToFloat("x1"); }), "'x1' is not a valid floating point value");
    for (const char* bad : {"", ".", "1e", "1.2.3", "inf", "0x10", "1e309", "-1e999"})
        EXPECT_EQ(testkit::Refusal<EConvertError>([&] { StrToFloat(bad); }),
                  "'" + AnsiString(bad) + "' is not a valid floating point value");
    EXPECT_EQ(FormatFloat("0.##", 3), "3");
    EXPECT_EQ(FormatFloat("#,##0.00", 1234567.891), "1 234 567.89");
    ThousandSeparator = '\'';
    EXPECT_EQ(FormatFloat("#,##0", 1234567), "1'234'567") << "grouped by the thousands separator";
}

TEST_F(SysUtilsFloats, FormatFloatShowsLiteralsAmongTheDigitsOnceADigitStandsBeforeThem)
{
    DecimalSeparator = '.';
    const struct {
        const char* format;
        double value;
        const char* text;
    } cases[] = {
        {"### ##0.00", 1234.5, "1 234.50"},
        {"### ##0.00", 5, "5.00"},              // no blank before a short number
        {"### ##0.00", 1234567.891, "1234 567.89"}, // digits without a place go to the first one
        {"### ##0.00;-### ##0.00;0", -1234.5, "-1 234.50"},
        {"### ##0.00;-### ##0.00;0", -5, "-5.00"},
        {"### ##0.00;-### ##0.00;0", 0, "0"},   // the zero section
        {"### ##0.00;-### ##0.00;0", 0.001, "0"}, // what shows as zero
        {"0.00;;zero", 0, "zero"},
        {"00-00", 1234, "12-34"},
        {"'x'0", 7, "x7"},
        {"0 kg", 3, "3 kg"},
        {".00", 1.5, "1.50"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FormatFloat(c.format, c.value), c.text) << c.format << " " << c.value;
    // Beyond 18 integer digits, and infinity, in the general format.
    EXPECT_EQ(FormatFloat("0.##", 999999999999999872.0), "999999999999999872");
    EXPECT_EQ(FormatFloat("### ##0.00", -1e18), "-1E18");
    EXPECT_EQ(FormatFloat("0.##", 1e300), "1E300");
    EXPECT_EQ(FormatFloat("0.##", HUGE_VAL), "INF");
    EXPECT_EQ(FloatToStrF(0.1 + 0.2, ffGeneral, 15, 0), "0.3");
    EXPECT_EQ(FloatToStrF(2.0 / 3, ffGeneral, 4, 0), "0.6667");
    EXPECT_EQ(FloatToStrF(123456, ffGeneral, 3, 0), "1.23E5");
}
