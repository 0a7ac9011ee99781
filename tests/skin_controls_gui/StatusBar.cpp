// The skinned status bar: its panels, their frames or dividers, the owner-drawn panel, the grip
// and a bar that does not lie wholly inside its parent, read back from its cache.
#include <gtest/gtest.h>

#include "ControlsKit.h"
#include "sStatusBar.h"

using namespace controlskit;

namespace {

constexpr TColor Bar = 0x00406080, Frame = 0x0000C000, Divider = 0x00C00000, Grip = 0x000000C0;

class StatusBar : public TablesTest {
protected:
    // Three panels of 50, 60 and 30 pixels on a bar 280 x 20 at the bottom of the form.
    TsStatusBar* Make()
    {
        auto* b = Create<TsStatusBar>(form);
        b->SetHeight(20);
        for (int width : {50, 60, 30})
            b->Panels()->Add()->SetWidth(width);
        b->SetParent(form);
        return b;
    }
    void Show(TsStatusBar* Bar)
    {
        form->Show();
        testkit::WaitIdle();
        Bar->Repaint();
    }
    static void AddMask(const char* SectionName, const char* Property, TColor Colour)
    {
        AddBorder(SectionName, {Colour, Colour, Colour});
        ma.back().PropertyName = Property;
    }
    static COLORREF Cache(TsStatusBar* Bar, int X, int Y) { return At(Bar->SkinData()->FCacheBmp.get(), X, Y); }
};

} // namespace

TEST_F(StatusBar, WithoutAPanelFrameEveryPanelButTheLastGetsADividerAtItsRightEdge)
{
    Activate({Section("STATUSBAR", Bar, Bar), Section("DIVIDER", Bar, Bar)});
    AddMask("DIVIDER", "BORDERSMASK", Divider);
    TsStatusBar* b = Make();
    Show(b);
    // Panel 0 spans 0..51, shrunk to 1..50: its divider ends at x 49; panel 1 spans 51..112.
    EXPECT_EQ(Cache(b, 49, 10), Through(Divider));
    EXPECT_EQ(Cache(b, 110, 10), Through(Divider));
    EXPECT_EQ(Cache(b, 30, 10), static_cast<COLORREF>(Bar));
    // The last panel has none, and no grip is drawn without a grip image.
    EXPECT_EQ(Cache(b, b->Width() - 2, 10), static_cast<COLORREF>(Bar));
    EXPECT_EQ(Cache(b, b->Width() - 3, b->Height() - 3), static_cast<COLORREF>(Bar));
    // The window shows the cache.
    EXPECT_EQ(testkit::PrintWindowPixels(b->Handle()).Pixel(49, 10), Through(Divider));
}

TEST_F(StatusBar, APanelFrameReplacesTheDividersAndTheLastPanelReachesTheRightEdge)
{
    Activate({Section("STATUSBAR", Bar, Bar), Section("DIVIDER", Bar, Bar)});
    AddMask("STATUSBAR", "STATUSPANELMASK", Frame);
    AddMask("DIVIDER", "BORDERSMASK", Divider);
    TsStatusBar* b = Make();
    b->SetSizeGrip(false);
    Show(b);
    EXPECT_EQ(Cache(b, 49, 10), Through(Frame));
    EXPECT_EQ(Cache(b, 52, 10), Through(Frame));
    // The last panel begins at 113 and is framed up to Width - 1, whatever its own width.
    EXPECT_EQ(Cache(b, 114, 10), Through(Frame));
    EXPECT_EQ(Cache(b, b->Width() - 2, 10), Through(Frame));
    EXPECT_EQ(Cache(b, 0, 10), static_cast<COLORREF>(Bar));
}

TEST_F(StatusBar, AnOwnerDrawnPanelIsDrawnOnlyByItsHandlerOntoTheCache)
{
    Activate({Section("STATUSBAR", Bar, Bar)});
    AddMask("STATUSBAR", "STATUSPANELMASK", Frame);
    TsStatusBar* b = Make();
    b->Panels()->Items(1)->SetStyle(psOwnerDraw);
    std::vector<TRect> rects;
    b->OnDrawPanel = [&](TStatusBar* Sender, TStatusPanel* Panel, const TRect& R) {
        EXPECT_EQ(Panel, Sender->Panels()->Items(1));
        rects.push_back(R);
        Sender->Canvas()->Brush()->SetColor(Grip);
        Sender->Canvas()->FillRect(R);
    };
    Show(b);
    ASSERT_FALSE(rects.empty());
    EXPECT_EQ(rects.back(), Rect(51, 0, 112, 20));
    EXPECT_EQ(Cache(b, 51, 0), static_cast<COLORREF>(Grip));
    EXPECT_EQ(Cache(b, 110, 10), static_cast<COLORREF>(Grip));
}

TEST_F(StatusBar, TheGripComesFromTheFormSectionWhenTheGlobalOneHasNone)
{
    Activate({Section("STATUSBAR", Bar, Bar), Section("FORM", Bar, Bar)});
    AddMask("FORM", "GRIPIMAGE", Grip);
    TsStatusBar* b = Make();
    Show(b);
    // One 6 x 6 cell with its bottom-right corner one pixel inside the bar's.
    EXPECT_NE(Cache(b, b->Width() - 3, b->Height() - 3), static_cast<COLORREF>(Bar));
    EXPECT_EQ(Cache(b, b->Width() - 8, b->Height() - 3), static_cast<COLORREF>(Bar));
    EXPECT_EQ(Cache(b, b->Width() - 1, b->Height() - 1), static_cast<COLORREF>(Bar));
}

TEST_F(StatusBar, ABarStickingOutOfItsParentIsRepaintedFromScratchAtEveryPaint)
{
    Activate({Section("STATUSBAR", Bar, Bar)});
    TsStatusBar* inside = Make();
    TsStatusBar* out = Make();
    out->SetAlign(alNone);
    out->SetBounds(10, -8, 200, 20);
    int insideCount = 0, outCount = 0;
    for (TsStatusBar* b : {inside, out}) {
        b->Panels()->Items(0)->SetStyle(psOwnerDraw);
        b->OnDrawPanel = [&, b](TStatusBar*, TStatusPanel*, const TRect&) { ++(b == out ? outCount : insideCount); };
    }
    Show(inside);
    out->Repaint();
    const int before = insideCount, outBefore = outCount;
    inside->Repaint();
    out->Repaint();
    EXPECT_EQ(insideCount, before);
    EXPECT_GT(outCount, outBefore);
    EXPECT_TRUE(out->SkinData()->HalfVisible);
    EXPECT_FALSE(inside->SkinData()->HalfVisible);
    EXPECT_EQ(Command(out, AC_ISSKINNED), 1);
}

TEST_F(StatusBar, ANewPanelOrSimpleTextShowsOnScreenWithoutAnotherPaint)
{
    Activate({Section("STATUSBAR", Bar, Bar, 0x00FFFFFF)});
    TsStatusBar* b = Make();
    Show(b);
    auto shown = [&] { return testkit::ScreenPixels(b->Handle()); };
    for (int step = 0; step < 2; ++step) {
        testkit::WaitIdle();
        const testkit::PixelImage before = shown();
        if (step == 0) {
            b->Panels()->Items(1)->SetText("WWWWW");
        } else {
            b->SetSimplePanel(true);
            b->SetSimpleText("MMMMMMMMMM");
        }
        EXPECT_TRUE(testkit::PumpUntil([&] { return !SameImage(before, shown()); })) << step;
        testkit::WaitIdle();
        const testkit::PixelImage after = shown();
        b->Repaint(); // what a full paint shows is what the screen already showed
        testkit::WaitIdle();
        EXPECT_TRUE(SameImage(after, shown())) << step;
    }
}
