#include <gtest/gtest.h>

#include "TestKit.h"

#include "Graphics.h"

#include <vector>

TEST(Colors, SystemColoursResolveAndOthersPassThrough)
{
    EXPECT_EQ(static_cast<unsigned>(clBtnFace), 0x8000000Fu);
    EXPECT_EQ(ColorToRGB(clBtnFace), static_cast<TColor>(GetSysColor(COLOR_BTNFACE)));
    EXPECT_EQ(ColorToRGB(clWindowText), static_cast<TColor>(GetSysColor(COLOR_WINDOWTEXT)));
    EXPECT_EQ(ColorToRGB(clFuchsia), 0xFF00FF);
    EXPECT_EQ(ColorToRGB(clNone), clNone);
}

TEST(Fonts, SizeHeightAndChangeNotification)
{
    TFont font;
    font.SetPixelsPerInch(96);
    int changes = 0;
    font.OnChange = [&](TObject*) { ++changes; };
    font.SetSize(12);
    EXPECT_EQ(font.Height(), -16);
    EXPECT_EQ(font.Size(), 12);
    font.SetStyle({fsBold, fsItalic});
    EXPECT_TRUE(font.Style().Contains(fsBold));
    EXPECT_FALSE(font.Style().Contains(fsUnderline));
    font.SetStyle(font.Style()); // unchanged: no event
    EXPECT_EQ(changes, 2);
    HFONT h = font.Handle();
    ASSERT_NE(h, nullptr);
    LOGFONTA lf{};
    ASSERT_TRUE(GetObjectA(h, sizeof lf, &lf));
    EXPECT_EQ(lf.lfHeight, -16);
    EXPECT_EQ(lf.lfWeight, FW_BOLD);
    EXPECT_TRUE(lf.lfItalic);

    TFont copy;
    copy.SetPixelsPerInch(96);
    copy.Assign(&font);
    EXPECT_EQ(copy.Height(), -16);
    EXPECT_EQ(copy.Style(), font.Style());
    EXPECT_EQ(testkit::Refusal<EConvertError>([&] { copy.Assign(nullptr); }), "Cannot assign a nil to a TFont");
}

TEST(Colors, NamedColoursInTheFrameworksOrderBothWays)
{
    std::vector<AnsiString> names;
    GetColorValues([&](const AnsiString& S) { names.push_back(S); });
    ASSERT_EQ(names.size(), 52u);
    // Each end of the standard, extended and system runs, and the two special values among them.
    const struct {
        std::size_t Index;
        const char* Name;
        TColor Value;
    } cases[] = {{0, "clBlack", clBlack},          {15, "clWhite", clWhite},
                 {16, "clMoneyGreen", 0xC0DCC0},   {19, "clMedGray", 0xA4A0A0},
                 {20, "clActiveBorder", clActiveBorder}, {29, "clDefault", 0x20000000},
                 {45, "clNone", 0x1FFFFFFF},       {51, "clWindowText", clWindowText}};
    for (const auto& c : cases) {
        EXPECT_EQ(names[c.Index], c.Name) << c.Index;
        TColor value = 0;
        EXPECT_TRUE(IdentToColor(c.Name, value)) << c.Name;
        EXPECT_EQ(value, c.Value) << c.Name;
        AnsiString ident;
        EXPECT_TRUE(ColorToIdent(c.Value, ident)) << c.Name;
        EXPECT_EQ(ident, c.Name);
    }
    TColor value = 7;
    EXPECT_TRUE(IdentToColor("CLmoneyGREEN", value)) << "names are read without regard to case";
    EXPECT_FALSE(IdentToColor("clLtGray", value));
    EXPECT_EQ(value, 0xC0DCC0) << "an unknown name leaves the value";
    AnsiString ident = "kept";
    EXPECT_FALSE(ColorToIdent(0x123456, ident));
    EXPECT_EQ(ident, "kept");
}
