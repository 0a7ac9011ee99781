#include <gtest/gtest.h>

#include "TestKit.h"

#include "Graphics.h"

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
