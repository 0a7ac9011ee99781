// The hint mark-up: rows, bold and italic, the font stack, colours and the measured rectangle.
#include <gtest/gtest.h>

#include "SysUtils.h"
#include "TestKit.h"
#include "sHtmlParse.h"

namespace {

// A bitmap whose canvas has a fixed starting font, and independent measures of that font.
struct Layout {
    TBitmap bmp{300, 100, pf24bit};
    TBitmap probe{10, 10, pf24bit};
    Layout()
    {
        for (TBitmap* b : {&bmp, &probe}) {
            b->Canvas()->Font()->SetName("Tahoma");
            b->Canvas()->Font()->SetHeight(-13);
        }
    }
    TRect Measure(const AnsiString& text)
    {
        bmp.Canvas()->Font()->SetStyle({});
        TsHtml html;
        html.Init(&bmp, text, Rect(0, 0, 200, 0));
        return html.HTMLText();
    }
    int Width(const AnsiString& s, TFontStyles style = {})
    {
        probe.Canvas()->Font()->SetStyle(style);
        return probe.Canvas()->TextWidth(s);
    }
    int RowHeight() { return probe.Canvas()->TextHeight("X"); }
};

} // namespace

TEST(HintMarkup, RowsRunUntilBreakTagsAndEmptyRowsTakeTwoPixels)
{
    Layout l;
    const int h = l.RowHeight();
    EXPECT_EQ(l.Measure(""), Rect(0, 0, 0, 0));
    EXPECT_EQ(l.Measure("one long row that is wider than its rectangle"),
              Rect(0, 0, l.Width("one long row that is wider than its rectangle"), h))
        << "no wrapping at the rectangle's edge";
    EXPECT_EQ(l.Measure("ab<br>abcd"), Rect(0, 0, l.Width("abcd"), h + 2 + h));
    EXPECT_EQ(l.Measure("ab<BR><br>a"), Rect(0, 0, l.Width("ab"), h + 2 + 2 + h)) << "the empty row has height 0";
    EXPECT_EQ(l.Measure("ab<p align=center>a"), Rect(0, 0, l.Width("ab"), h + 2 + h));
    EXPECT_EQ(l.Measure("a\r\nb"), Rect(0, 0, l.Width("ab"), h)) << "line breaks of the text are left out";
}

TEST(HintMarkup, DoubledBracketDrawsOneAndTagsActByTheirFirstLetters)
{
    Layout l;
    EXPECT_EQ(l.Measure("a<<b").right, l.Width("a<b"));
    EXPECT_EQ(l.Measure("WW<b>WW</b>WW").right, l.Width("WW") * 2 + l.Width("WW", {fsBold}));
    EXPECT_EQ(l.Measure("<BIG>WW").right, l.Width("WW", {fsBold})) << "a tag beginning with B acts as B";
    EXPECT_EQ(l.Measure("<i>WW</i>WW").right, l.Width("WW", {fsItalic}) + l.Width("WW"));
    EXPECT_EQ(l.Measure("<unknown>WW").right, l.Width("WW"));
    EXPECT_FALSE(l.bmp.Canvas()->Font()->Style().Contains(fsItalic));
}

TEST(HintMarkup, AnUnclosedTagEndsTheTextKeepingTheRowSoFar)
{
    Layout l;
    EXPECT_EQ(l.Measure("WW<b never closed WW"), Rect(0, 0, l.Width("WW"), l.RowHeight()));
    EXPECT_EQ(l.Measure("<b"), Rect(0, 0, 0, 0));
}

TEST(HintMarkup, FontTagsChangeSizeColourAndFaceAndAreUndoneFromTheStack)
{
    TBitmap bmp(50, 50, pf24bit);
    TFont* f = bmp.Canvas()->Font();
    f->SetSize(10);
    f->SetColor(clBlack);
    TsHtml html;
    html.Init(&bmp, "", Rect(0, 0, 100, 0));
    html.ExecTag("<FONT SIZE=+2 COLOR=#0000FF>");
    EXPECT_EQ(f->Size(), 12);
    EXPECT_EQ(f->Color(), 0x0000FF) << "the hex digits are a colour value as it stands: blue byte first";
    html.ExecTag("<FONT SIZE=3 COLOR=NAVY FACE=\"COURIER NEW\">");
    EXPECT_EQ(f->Size(), 3);
    EXPECT_EQ(f->Color(), 0x800000);
    EXPECT_EQ(f->Name(), "COURIER NEW");
    html.ExecTag("<FONT SIZE=-1>");
    EXPECT_EQ(f->Size(), 2);
    for (int i = 0; i < 3; ++i)
        html.ExecTag("</FONT>");
    EXPECT_EQ(f->Size(), 10);
    EXPECT_EQ(f->Color(), clBlack);
    html.ExecTag("</FONT>"); // nothing saved: nothing happens
    EXPECT_EQ(f->Size(), 10);

    sHtmlParse::SetFont(f, "<FONT COLOR=AQUA>");
    EXPECT_EQ(f->Color(), 0xFFFF00);
    sHtmlParse::SetFont(f, "<FONT COLOR=YELLOW>");
    EXPECT_EQ(f->Color(), 0x00FFFF);
    sHtmlParse::SetFont(f, "<FONT COLOR=ORANGE>");
    EXPECT_EQ(f->Color(), -1) << "neither a name nor hexadecimal";
    sHtmlParse::SetFont(f, "<FONT SIZE>");
    EXPECT_EQ(f->Size(), 10) << "SIZE without a value";
    EXPECT_EQ(testkit::Refusal<EConvertError>([&] { sHtmlParse::SetFont(f, "<FONT SIZE=+X>"); }),
              "'X' is not a valid integer value");
}

TEST(HintMarkup, HexadecimalTakesUpperCaseDigitsOnly)
{
    using sHtmlParse::HexToInt;
    EXPECT_EQ(HexToInt(""), 0);
    EXPECT_EQ(HexToInt("0"), 0);
    EXPECT_EQ(HexToInt("9AF"), 0x9AF);
    EXPECT_EQ(HexToInt("FF0000"), 0xFF0000);
    EXPECT_EQ(HexToInt("7FFFFFFF"), 0x7FFFFFFF);
    EXPECT_EQ(HexToInt("80000000"), -1) << "beyond the Integer range";
    EXPECT_EQ(HexToInt("ff"), -1);
    EXPECT_EQ(HexToInt("G"), -1);
    EXPECT_EQ(HexToInt("/"), -1);
    EXPECT_EQ(HexToInt(":"), -1);
    EXPECT_EQ(HexToInt("@"), -1);
}

TEST(HintMarkup, ParagraphAlignmentIsReadFromTheTag)
{
    TBitmap bmp(10, 10, pf24bit);
    TsHtml html;
    html.Init(&bmp, "", Rect(0, 0, 10, 0));
    html.SetAlignment("<P ALIGN=CENTER>");
    EXPECT_EQ(html.Alignment, 2);
    html.SetAlignment("<P ALIGN=RIGHT>");
    EXPECT_EQ(html.Alignment, 1);
    html.SetAlignment("<P ALIGN=MIDDLE>");
    EXPECT_EQ(html.Alignment, 1) << "an unknown value leaves it";
    html.SetAlignment("<P ALIGN=LEFT>");
    EXPECT_EQ(html.Alignment, 0);
}
