// The skin library's small routines: words, numbers, rectangles, folders, the in-memory INI form.
#include <gtest/gtest.h>

#include "TestKit.h"
#include "sUtils.h"

TEST(Utilities, WordsAndStrings)
{
    const TSysCharSet delims(" ;");
    EXPECT_EQ(WordCount(";; alpha;;  beta ;", delims), 2);
    EXPECT_EQ(ExtractWord(2, ";; alpha;;  beta ;", delims), "beta");
    EXPECT_EQ(ExtractWord(3, ";; alpha;;  beta ;", delims), "");
    EXPECT_EQ(WordPosition(2, "a  bc", delims), 4);
    EXPECT_EQ(GetWordNumber("bc", "a bc bc", delims), 2);
    EXPECT_EQ(GetWordNumber("x", "a bc", delims), -1);
    int pos = 3;
    EXPECT_EQ(ExtractSubstr("ab;cd;e", pos, delims), "");
    EXPECT_EQ(pos, 4);
    EXPECT_EQ(ExtractSubstr("ab;cd;e", pos, delims), "cd");
    EXPECT_EQ(pos, 7);
    EXPECT_EQ(ReplaceStr("aaa", "a", "aa"), "aaaaaa");
    EXPECT_EQ(AddChar('0', "7", 3), "007");
    EXPECT_EQ(AddCharR('.', "abcd", 3), "abcd");
    EXPECT_EQ(DelRSpace("  a b  "), "a b");
    EXPECT_EQ(CorrectString(" it's\r\n\xA1 "), "it`s  I");
    EXPECT_EQ(AnsiProperCase("иВАН пЕТРОВ-сидоров", TSysCharSet(" -")), "Иван Петров-Сидоров");
    EXPECT_TRUE(SubStrInclude("Ab", "xaBx", true));
    EXPECT_FALSE(SubStrInclude("Ab", "xaBx", false));
}

TEST(Utilities, Numbers)
{
    EXPECT_EQ(HexToInt("1fH"), 31);
    EXPECT_EQ(HexToInt("1G"), 0);
    EXPECT_EQ(HexToInt(""), 0);
    EXPECT_EQ(SumTrans(50, 50), 75);
    EXPECT_EQ(SumTrans(1, 50), 50);  // 50.5 rounds to the even neighbour
    EXPECT_EQ(GetCents(2.345), 35);  // 34.5... rounds up: 0.345 is stored a little above
    const char savedDecimal = DecimalSeparator, savedThousand = ThousandSeparator;
    DecimalSeparator = '.';
    ThousandSeparator = ',';
    EXPECT_DOUBLE_EQ(StringToFloat("-1,25"), -1.25);
    EXPECT_DOUBLE_EQ(StringToFloat(".5"), 0.5);
    EXPECT_DOUBLE_EQ(StringToFloat(""), 0);
    EXPECT_EQ(FormatFloatStr("-1234567.5", true), "-1,234,567.5");
    EXPECT_EQ(FormatFloatStr("123", true), "123");
    double v = 0;
    EXPECT_TRUE(IsValidFloat("1.5E3", v));
    EXPECT_DOUBLE_EQ(v, 1500);
    EXPECT_FALSE(IsValidFloat("1,5", v));
    DecimalSeparator = savedDecimal;
    ThousandSeparator = savedThousand;
}

TEST(Utilities, Rectangles)
{
    EXPECT_TRUE(RectInRect(Rect(0, 0, 10, 10), Rect(2, 2, 10, 5)));
    EXPECT_FALSE(RectInRect(Rect(0, 0, 10, 10), Rect(2, 2, 11, 5)));
    EXPECT_TRUE(RectIsVisible(Rect(0, 0, 10, 10), Rect(9, 9, 20, 20)));
    EXPECT_FALSE(RectIsVisible(Rect(0, 0, 10, 10), Rect(10, 0, 20, 5)));
    // Touching from above, below and the left shares no pixel either.
    EXPECT_FALSE(RectIsVisible(Rect(0, 10, 10, 20), Rect(0, 0, 10, 10)));
    EXPECT_FALSE(RectIsVisible(Rect(0, 0, 10, 10), Rect(0, 10, 10, 20)));
    EXPECT_FALSE(RectIsVisible(Rect(10, 0, 20, 10), Rect(0, 0, 10, 10)));
    EXPECT_FALSE(RectIsVisible(Rect(0, 0, 10, 10), Rect(5, 5, 5, 8)));
    EXPECT_EQ(LimitIt(10, 0, 10), 10);
    EXPECT_EQ(LimitIt(-1, 0, 10), 0);
}

TEST(Utilities, FolderNames)
{
    EXPECT_EQ(NormalDir("c"), "c:\\");
    EXPECT_EQ(NormalDir("c:\\skins/"), "c:\\skins\\");
    EXPECT_EQ(NormalDir("c:\\skins"), "c:\\skins\\");
    EXPECT_EQ(NormalDir(""), "");
    EXPECT_TRUE(ValidFileName("a b.txt"));
    EXPECT_FALSE(ValidFileName("a|b"));
    EXPECT_FALSE(ValidFileName(""));
}

TEST(Utilities, ClearDirRefusesRelativePathsAndKeepsDriveRoots)
{
    EXPECT_FALSE(ClearDir("", true));
    EXPECT_FALSE(ClearDir("skins", true));
    EXPECT_FALSE(ClearDir(".\\", true));
    testkit::TempDir dir;
    ForceDirectories(dir / "a\\b");
    testkit::WriteFileBytes(dir / "a\\b\\x.txt", "x");
    testkit::WriteFileBytes(dir / "a\\y.txt", "y");
    FileSetAttr(dir / "a\\y.txt", faReadOnly);
    EXPECT_TRUE(ClearDir(dir / "a", false));
    EXPECT_FALSE(FileExists(dir / "a\\y.txt"));
    EXPECT_TRUE(DirectoryExists(dir / "a\\b"));
    EXPECT_TRUE(ClearDir(dir / "a\\", true));
    EXPECT_FALSE(DirectoryExists(dir / "a"));
    EXPECT_FALSE(ClearDir(dir / "a", true));
}

TEST(Utilities, InMemoryIniForm)
{
    TStringList lines, sections;
    lines.SetTextStr("x=1\r\n[One]\r\nA=0x10\r\nB=0x\r\n;C=3\r\n[two]\r\nA=5a\r\nD\r\n");
    GetIniSections(&lines, &sections);
    ASSERT_EQ(sections.Count(), 2);
    EXPECT_EQ(ReadIniInteger(&sections, "ONE", "a", -1), 16);
    EXPECT_EQ(ReadIniInteger(&sections, "One", "B", -1), -1);
    EXPECT_EQ(ReadIniInteger(&sections, "Two", "A", -1), -1);
    EXPECT_EQ(ReadIniString(&sections, "One", "C", "none"), "none");
    EXPECT_EQ(ReadIniString(&sections, "Three", "A", "none"), "none");
    TStringList dest;
    GetIniSection("TWO", &sections, &dest);
    EXPECT_EQ(dest.GetTextStr(), "A=5a\r\nD\r\n");
    GetIniSection("one", &sections, &dest);
    EXPECT_EQ(dest.GetTextStr(), "A=0x10\r\nB=0x\r\n") << "comment lines are not listed";
}
