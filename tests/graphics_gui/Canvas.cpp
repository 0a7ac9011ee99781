// Canvas shapes the skinned controls draw with.
#include <gtest/gtest.h>

#include "Graphics.h"

TEST(CanvasShapes, PieIsTheSliceCounterClockwiseAndFocusRectTakesItselfAway)
{
    TBitmap bmp(40, 40);
    TCanvas* c = bmp.Canvas();
    c->Brush()->SetColor(clWhite);
    c->FillRect(RECT{0, 0, 40, 40});
    c->Brush()->SetColor(clRed);
    c->Pen()->SetColor(clRed);
    c->Pie(0, 0, 40, 40, 40, 20, 20, 0); // from three o'clock to twelve: the top-right quarter
    EXPECT_EQ(c->Pixels(30, 10), clRed);
    EXPECT_EQ(c->Pixels(10, 10), clWhite);
    EXPECT_EQ(c->Pixels(30, 30), clWhite);

    c->Brush()->SetColor(clWhite);
    c->FillRect(RECT{0, 0, 40, 40});
    auto dotsOnTopEdge = [&] {
        int n = 0;
        for (int x = 5; x < 35; ++x)
            n += c->Pixels(x, 5) != clWhite;
        return n;
    };
    c->DrawFocusRect(RECT{5, 5, 35, 35});
    EXPECT_EQ(dotsOnTopEdge(), 15) << "every other pixel of the edge";
    EXPECT_EQ(c->Pixels(20, 20), clWhite);
    c->DrawFocusRect(RECT{5, 5, 35, 35});
    EXPECT_EQ(dotsOnTopEdge(), 0);
}
