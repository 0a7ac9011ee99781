#include <gtest/gtest.h>

#include "SysUtils.h"

namespace {
AnsiString Byte1(int b) { return AnsiString(1, static_cast<char>(b)); }

// The case of one code page 1251 character through Unicode (CharUpperW/CharLowerW do not depend
// on the ANSI code page); the character itself when the other case is not in the code page.
char UnicodeCase(int b, bool upper)
{
    std::wstring w = AnsiToWide(Byte1(b));
    if (upper)
        CharUpperBuffW(&w[0], 1);
    else
        CharLowerBuffW(&w[0], 1);
    const AnsiString back = WideToAnsi(w);
    return back == "?" && b != '?' ? static_cast<char>(b) : back[0];
}
} // namespace

TEST(SysUtilsStrings, CaseTablesMatchUnicodeForEveryByte)
{
    for (int b = 0; b < 256; ++b) {
        if (b == 0x98)
            continue; // unassigned in the code page
        EXPECT_EQ(static_cast<unsigned char>(AnsiUpperChar(static_cast<char>(b))),
                  static_cast<unsigned char>(UnicodeCase(b, true)))
            << "byte " << b;
        EXPECT_EQ(static_cast<unsigned char>(AnsiLowerChar(static_cast<char>(b))),
                  static_cast<unsigned char>(UnicodeCase(b, false)))
            << "byte " << b;
    }
    EXPECT_EQ(AnsiUpperChar('\x98'), '\x98');
}

TEST(SysUtilsStrings, CyrillicPairsRoundTrip)
{
    // Every upper/lower pair of the code page, as listed in the code page table.
    const int pairs[][2] = {{0x80, 0x90}, {0x81, 0x83}, {0x8A, 0x9A}, {0x8C, 0x9C}, {0x8D, 0x9D}, {0x8E, 0x9E},
                            {0x8F, 0x9F}, {0xA1, 0xA2}, {0xA3, 0xBC}, {0xA5, 0xB4}, {0xA8, 0xB8}, {0xAA, 0xBA},
                            {0xAF, 0xBF}, {0xB2, 0xB3}, {0xBD, 0xBE}};
    int letters = 0;
    for (const auto& p : pairs) {
        EXPECT_EQ(AnsiUpperCase(Byte1(p[1])), Byte1(p[0])) << p[1];
        EXPECT_EQ(AnsiLowerCase(Byte1(p[0])), Byte1(p[1])) << p[0];
        ++letters;
    }
    for (int c = 0xC0; c <= 0xDF; ++c) {
        EXPECT_EQ(AnsiLowerCase(Byte1(c)), Byte1(c + 32));
        EXPECT_EQ(AnsiUpperCase(Byte1(c + 32)), Byte1(c));
        ++letters;
    }
    EXPECT_EQ(letters, 47);
    EXPECT_EQ(AnsiUpperCase("Привет, ёжик! Ђђ Її Ґґ µ 123"), "ПРИВЕТ, ЁЖИК! ЂЂ ЇЇ ҐҐ µ 123");
    EXPECT_EQ(AnsiLowerCase("ПРИВЕТ, ЁЖИК! World"), "привет, ёжик! world");
    // Round trip of every byte: upper(lower(x)) == upper(x).
    for (int b = 0; b < 256; ++b)
        EXPECT_EQ(AnsiUpperChar(AnsiLowerChar(static_cast<char>(b))), AnsiUpperChar(static_cast<char>(b)));
}

TEST(SysUtilsStrings, AsciiCaseLeavesCyrillicAlone)
{
    EXPECT_EQ(UpperCase("abc ёжик xyz"), "ABC ёжик XYZ");
    EXPECT_EQ(LowerCase("ABC ЁЖИК XYZ"), "abc ЁЖИК xyz");
    EXPECT_TRUE(SameText("Temp", "TEMP"));
    EXPECT_FALSE(SameText("ёж", "ЁЖ"));
    EXPECT_LT(CompareText("abc", "ABD"), 0);
}

TEST(SysUtilsStrings, AnsiComparisonsOrderByUpperCasedBytes)
{
    EXPECT_TRUE(AnsiSameText("Ёлка", "ЁЛКА"));
    EXPECT_TRUE(AnsiSameText("ёлка", "ЁЛКА"));
    EXPECT_FALSE(AnsiSameText("ёлка", "елка"));
    EXPECT_EQ(AnsiCompareText("Статья", "статья"), 0);
    EXPECT_LT(AnsiCompareText("абв", "АБГ"), 0);
    EXPECT_GT(AnsiCompareText("z", "Я") , -1000); // defined, not crashing
    EXPECT_LT(AnsiCompareText("zeta", "альфа"), 0) << "Latin before Cyrillic";
    EXPECT_LT(AnsiCompareText("ab", "abc"), 0) << "a prefix sorts first";
    EXPECT_LT(AnsiCompareText("ёж", "АИСТ"), 0) << "Ё (A8) sorts before А (C0)";
    EXPECT_FALSE(AnsiSameStr("а", "А"));
    EXPECT_LT(AnsiCompareStr("А", "а"), 0);
}

TEST(SysUtilsStrings, OneBasedHelpersAtTheEdges)
{
    EXPECT_EQ(Pos("b", "abcb"), 2);
    EXPECT_EQ(Pos("x", "abc"), 0);
    EXPECT_EQ(Pos("", "abc"), 0);
    EXPECT_EQ(Pos("a", ""), 0);
    EXPECT_EQ(Pos("abcd", "abc"), 0);

    EXPECT_EQ(Copy("abcdef", 0, 2), "ab");
    EXPECT_EQ(Copy("abcdef", -5, 2), "ab");
    EXPECT_EQ(Copy("abcdef", 5, 100), "ef");
    EXPECT_EQ(Copy("abcdef", 6, 1), "f");
    EXPECT_EQ(Copy("abcdef", 7, 1), "");
    EXPECT_EQ(Copy("abcdef", 2, -1), "");
    EXPECT_EQ(Copy("abcdef", 2, 0), "");
    EXPECT_EQ(Copy("", 1, 1), "");
    EXPECT_EQ(Copy("abc", 1, 0x7FFFFFFF), "abc");

    AnsiString s = "abcdef";
    Delete(s, 0, 2);
    EXPECT_EQ(s, "abcdef");
    Delete(s, 7, 1);
    EXPECT_EQ(s, "abcdef");
    Delete(s, 2, -1);
    EXPECT_EQ(s, "abcdef");
    Delete(s, 5, 100);
    EXPECT_EQ(s, "abcd");
    Delete(s, 1, 1);
    EXPECT_EQ(s, "bcd");

    s = "ac";
    Insert("b", s, 2);
    EXPECT_EQ(s, "abc");
    Insert("<", s, 0);
    EXPECT_EQ(s, "<abc");
    Insert(">", s, 100);
    EXPECT_EQ(s, "<abc>");
    Insert("", s, 2);
    EXPECT_EQ(s, "<abc>");
    EXPECT_EQ(Length(""), 0);
    EXPECT_EQ(StringOfChar('-', 3), "---");
    EXPECT_EQ(StringOfChar('-', -1), "");
}

TEST(SysUtilsStrings, StringReplaceFlags)
{
    EXPECT_EQ(StringReplace("Temp.vlt.vlt", ".vlt", "", rfNone), "Temp.vlt");
    EXPECT_EQ(StringReplace("a.b.c", ".", "::", rfReplaceAll), "a::b::c");
    EXPECT_EQ(StringReplace("Статья статья", "СТАТЬЯ", "x", rfReplaceAll | rfIgnoreCase), "x x");
    EXPECT_EQ(StringReplace("Ёж ёж", "ёж", "-", rfIgnoreCase), "- ёж");
    EXPECT_EQ(StringReplace("abc", "", "x", rfReplaceAll), "abc");
    EXPECT_EQ(StringReplace("aaa", "a", "aa", rfReplaceAll), "aaaaaa") << "no rescanning of the new text";
    EXPECT_EQ(StringReplace("", "a", "b", rfReplaceAll), "");
}

TEST(SysUtilsStrings, TrimAndHotkeysAndQuotes)
{
    EXPECT_EQ(Trim(" \t\r\nab c\x01 "), "ab c");
    EXPECT_EQ(TrimLeft("  a "), "a ");
    EXPECT_EQ(TrimRight("  a "), "  a");
    EXPECT_EQ(Trim("   "), "");
    EXPECT_EQ(Trim("\xA0x\xA0"), "\xA0x\xA0") << "non-breaking space is above ' '";

    EXPECT_EQ(StripHotkey("&Файл"), "Файл");
    EXPECT_EQ(StripHotkey("Save && &Exit"), "Save & Exit");
    EXPECT_EQ(StripHotkey("end&"), "end");
    EXPECT_EQ(StripHotkey("&&&&"), "&&");

    EXPECT_EQ(QuotedStr("it's"), "'it''s'");
    EXPECT_EQ(AnsiQuotedStr("a\"b", '"'), "\"a\"\"b\"");
    EXPECT_EQ(AnsiDequotedStr("\"a\"\"b\"", '"'), "a\"b");
    EXPECT_EQ(AnsiDequotedStr("plain", '"'), "plain");
    EXPECT_EQ(AnsiDequotedStr("\"open", '"'), "\"open");

    EXPECT_TRUE(IsDelimiter("\\:", "C:\\x", 2));
    EXPECT_FALSE(IsDelimiter("\\:", "C:\\x", 0));
    EXPECT_FALSE(IsDelimiter("\\:", "C:\\x", 5));
    EXPECT_EQ(LastDelimiter("\\:", "C:\\a\\b"), 5);
    EXPECT_EQ(LastDelimiter("\\:", "abc"), 0);
}

TEST(SysUtilsStrings, WideConversionMatchesTheSystemTableForCodePage1251)
{
    AnsiString all;
    for (int b = 1; b < 256; ++b)
        all += static_cast<char>(b);
    const std::wstring wide = AnsiToWide(all);
    wchar_t sys[256] = {};
    const int n = MultiByteToWideChar(1251, 0, all.data(), static_cast<int>(all.size()), sys, 256);
    ASSERT_EQ(n, 255);
    for (int i = 0; i < 255; ++i)
        EXPECT_EQ(static_cast<unsigned>(wide[static_cast<std::size_t>(i)]), static_cast<unsigned>(sys[i]))
            << "byte " << i + 1;
    EXPECT_EQ(WideToAnsi(wide), all) << "lossless round trip";
    EXPECT_EQ(WideToAnsi(L"Привет \u20AC\u2116 \u4E2D"), "Привет €№ ?");
    EXPECT_EQ(WideToAnsi(std::wstring(L"a") + wchar_t(0xD83D) + wchar_t(0xDE00) + L"b"), "a?b");
}
