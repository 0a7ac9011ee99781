// The skinned gauge: its range and progress, the filled part of a bar from the progress section,
// the pie's sector and the plain picture without a skin.
#include <gtest/gtest.h>

#include <climits>

#include "ControlsKit.h"
#include "Forms.h"
#include "sGauge.h"

using namespace controlskit;

namespace {

constexpr TColor Back = 0x00302010;
constexpr TColor Fill = 0x000080F0;

class Gauge : public TablesTest {
protected:
    TsGauge* Make(int W = 120, int H = 30)
    {
        auto* g = Create<TsGauge>(form);
        g->SetBounds(10, 10, W, H);
        g->SetShowText(false);
        g->SetParent(form);
        form->Show();
        testkit::WaitIdle();
        return g;
    }
    void Skin(TsGauge* G, std::vector<TsGeneralData> Sections)
    {
        Activate(std::move(Sections));
        Command(G, AC_NEWSKIN);
        Command(G, AC_REPAINT);
    }
    // A pixel of the gauge in its own coordinates.
    COLORREF Look(TsGauge* G, int X, int Y)
    {
        return testkit::PrintWindowPixels(form->Handle(), true).Pixel(G->Left() + X, G->Top() + Y);
    }
    static COLORREF Rgb(TColor C) { return static_cast<COLORREF>(C); }
};

} // namespace

TEST_F(Gauge, ProgressStaysInTheRangeAndOnlyAStoredChangeIsReported)
{
    TsGauge* g = Make();
    EXPECT_EQ(g->SkinData()->SkinSection(), "GAUGE");
    EXPECT_EQ(g->Progress(), 47);
    EXPECT_EQ(g->PercentDone(), 47);
    int changes = 0;
    g->OnChange = [&](TObject*) { ++changes; };
    g->SetProgress(250);
    EXPECT_EQ(g->Progress(), 100);
    g->SetProgress(101);
    EXPECT_EQ(changes, 1) << "still the upper bound";
    g->SetProgress(-5);
    EXPECT_EQ(g->Progress(), 0);
    EXPECT_EQ(changes, 2);

    g->SetMinValue(40);
    EXPECT_EQ(g->Progress(), 40) << "raised with the lower bound";
    g->SetMaxValue(40);
    EXPECT_EQ(g->PercentDone(), 0) << "an empty range";
    g->SetMaxValue(50);
    g->SetProgress(45);
    EXPECT_EQ(g->PercentDone(), 50);
    g->SetMaxValue(42);
    EXPECT_EQ(g->Progress(), 42) << "lowered with the upper bound";

    try {
        g->SetMinValue(43);
        FAIL() << "a lower bound above the upper one";
    } catch (const EInvalidOperation& e) {
        EXPECT_STREQ(e.what(), "Value must be between -2147483647 and 41");
    }
    try {
        g->SetMaxValue(39);
        FAIL() << "an upper bound below the lower one";
    } catch (const EInvalidOperation& e) {
        EXPECT_STREQ(e.what(), "Value must be between 41 and 2147483647");
    }
    EXPECT_EQ(g->MinValue(), 40);
    EXPECT_EQ(g->MaxValue(), 42);

    g->SetMaxValue(INT_MAX);
    g->SetProgress(INT_MAX - 1);
    g->AddProgress(INT_MAX);
    EXPECT_EQ(g->Progress(), INT_MAX) << "a step past the number range stops at the bound";
}

TEST_F(Gauge, BarsAreFilledFromTheProgressSectionByThePercentage)
{
    TsGauge* g = Make();
    Skin(g, {Section("GAUGE", Back, Back), Section("PROGRESSH", Fill, Fill), Section("PROGRESSV", Fill, Fill)});
    // 47 % of 120 pixels: 56.
    EXPECT_EQ(Look(g, 55, 15), Rgb(Fill));
    EXPECT_EQ(Look(g, 56, 15), Rgb(Back));

    g->SetKind(gkVerticalBar);
    // 47 % of 30 pixels: 14, from the bottom.
    EXPECT_EQ(Look(g, 60, 16), Rgb(Fill));
    EXPECT_EQ(Look(g, 60, 15), Rgb(Back));

    g->SetProgressSkin("NOSUCH");
    testkit::WaitIdle();
    EXPECT_EQ(Look(g, 60, 29), Rgb(Back)) << "a missing section fills nothing";

    g->SetKind(gkPie);
    g->SetBounds(10, 10, 100, 100);
    g->SetProgress(25);
    g->SetForeColor(static_cast<TColor>(0x0000FF00));
    g->SetBackColor(static_cast<TColor>(0x00FFFFFF));
    // A quarter fills the upper right quarter of the disc; the rest is in the gauge's own colour.
    EXPECT_EQ(Look(g, 70, 30), 0x0000FF00u);
    EXPECT_EQ(Look(g, 30, 30), Rgb(Back));
    EXPECT_EQ(Look(g, 70, 70), Rgb(Back));
}

TEST_F(Gauge, PercentagesAreTruncatedAndBarsFilledToTheWholePixel)
{
    TsGauge* g = Make(100, 20);
    struct Case {
        int Min, Max, Progress, Percent;
    };
    // Fractions just under a whole number stay under it; a negative range counts from its start.
    for (const Case& c : {Case{0, 3, 1, 33}, Case{0, 3, 2, 66}, Case{0, 200, 199, 99}, Case{0, 7, 5, 71},
                          Case{-10, 10, -9, 5}, Case{INT_MIN + 1, INT_MAX, 0, 50}}) {
        g->SetMinValue(INT_MIN + 1);
        g->SetMaxValue(c.Max);
        g->SetMinValue(c.Min);
        g->SetProgress(c.Progress);
        EXPECT_EQ(g->PercentDone(), c.Percent) << c.Min << ".." << c.Max << " at " << c.Progress;
    }
    // 29 hundredths are inexact in floating point: the fill must not come a pixel short.
    Skin(g, {Section("GAUGE", Back, Back), Section("PROGRESSH", Fill, Fill)});
    g->SetMinValue(0);
    g->SetMaxValue(100);
    g->SetProgress(29);
    EXPECT_EQ(Look(g, 28, 10), Rgb(Fill));
    EXPECT_EQ(Look(g, 29, 10), Rgb(Back));
}

TEST_F(Gauge, WithoutSkinTheBarIsDrawnInItsOwnColoursInsideABlackEdge)
{
    TsGauge* g = Make();
    g->SetForeColor(static_cast<TColor>(0x000000FF));
    g->SetBackColor(static_cast<TColor>(0x00FFFF00));
    // Inside the edge 119 pixels count, 47 % of them 55: the fill ends before x 55.
    EXPECT_EQ(Look(g, 0, 15), 0u);
    EXPECT_EQ(Look(g, 54, 15), 0x000000FFu);
    EXPECT_EQ(Look(g, 55, 15), 0x00FFFF00u);
    g->SetBorderStyle(bsNone);
    EXPECT_EQ(Look(g, 0, 15), 0x000000FFu);
}
