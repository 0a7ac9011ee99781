// Gradient texts and how their stops are painted.
#include <gtest/gtest.h>

#include "TestKit.h"
#include "sGradient.h"

namespace {
// Red, green, blue of a pixel of a 24-bit bitmap.
TColor PixelAt(TBitmap& b, int x, int y)
{
    const Byte* p = static_cast<Byte*>(b.ScanLine(y)) + 3 * x;
    return p[2] | (p[1] << 8) | (p[0] << 16);
}
} // namespace

TEST(Gradients, TextsGiveStops)
{
    TsGradArray a;
    PrepareGradArray("255;65280;150;1;x;7;8", a);  // seven words: one stop, the rest ignored
    ASSERT_EQ(a.size(), 1u);
    EXPECT_EQ(a[0].Color1, 255);
    EXPECT_EQ(a[0].Color2, 65280);
    EXPECT_EQ(a[0].Percent, 100);
    EXPECT_EQ(a[0].Mode, 1);
    PrepareGradArray("1;2;3;4", a);
    EXPECT_TRUE(a.empty());
    PrepareGradArray("1;;2;-20;0;0", a);  // empty words do not count; a negative percent is 0
    ASSERT_EQ(a.size(), 1u);
    EXPECT_EQ(a[0].Percent, 0);
    EXPECT_EQ(testkit::Refusal<EConvertError>([&] { PrepareGradArray("1;2;a;0;0", a); }),
              "'a' is not a valid integer value");
}

TEST(Gradients, StopsPaintFromFirstToLastRowInclusive)
{
    TBitmap b(3, 11);
    TsGradArray a;
    PrepareGradArray("16777215;0;100;0;0", a);
    PaintGrad(&b, Rect(0, 0, 3, 11), a);
    EXPECT_EQ(PixelAt(b, 0, 0), 0xFFFFFF);
    EXPECT_EQ(PixelAt(b, 2, 5), 0x808080);  // 127.5 rounds to the even 128
    EXPECT_EQ(PixelAt(b, 1, 10), 0);

    // Two stops over 101 rows: the second starts on the row where the first ends.
    TBitmap c(1, 101);
    PrepareGradArray("255;65280;50;0;0;65280;16711680;0;0;0", a);
    PaintGrad(&c, Rect(0, 0, 1, 101), a);
    EXPECT_EQ(PixelAt(c, 0, 0), 255);
    EXPECT_EQ(PixelAt(c, 0, 50), 65280);
    EXPECT_EQ(PixelAt(c, 0, 100), 16711680);
    EXPECT_EQ(PixelAt(c, 0, 25), 0x008080);  // halfway red to green: 127.5 -> 128 both

    // Left to right, clipped to the bitmap.
    TBitmap d(5, 2);
    PrepareGradArray("0;16777215;100;1;0", a);
    PaintGrad(&d, Rect(-4, 0, 50, 2), a);
    EXPECT_EQ(PixelAt(d, 0, 1), 0);
    EXPECT_EQ(PixelAt(d, 4, 1), 0xFFFFFF);
    EXPECT_EQ(PixelAt(d, 2, 0), 0x808080);
}

TEST(Gradients, UnknownModesPaintNothing)
{
    TBitmap b(4, 4);
    b.Canvas()->Brush()->SetColor(clRed);
    b.Canvas()->FillRect(Rect(0, 0, 4, 4));
    TsGradArray a;
    PrepareGradArray("0;0;100;2;0;0;0;100;0;0", a);
    PaintGrad(&b, Rect(0, 0, 4, 4), a);
    EXPECT_EQ(PixelAt(b, 1, 1), 0x0000FF);
    // The vertical painter ignores the mode and ends on the bitmap's last row.
    PaintGradV(&b, Rect(0, 0, 4, 2), a);
    EXPECT_EQ(PixelAt(b, 1, 3), 0);
}
