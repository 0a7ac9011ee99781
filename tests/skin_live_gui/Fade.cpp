// The fade timers of the buttons, driven tick by tick.
#include <gtest/gtest.h>

#include "LiveKit.h"
#include "sButton.h"
#include "sSpeedButton.h"

using namespace livekit;

namespace {

class Fade : public TablesTest {
protected:
    void SetUp() override
    {
        TablesTest::SetUp();
        TsGeneralData button = Section("BUTTON", 0x000000);
        button.HotColor = 0xFFFFFF;
        button.FadingEnabled = true;
        button.FadingIntervalIn = 5;
        button.FadingIterations = 4;
        Activate({button, button});
        gd[1].ClassName = "SPEEDBUTTON";
        form = MakeForm();
        form->SetBounds(100, 100, 200, 120);
        form->Show();
    }
    // One tick, as the timer's window receives it.
    static void Tick(TTimer* Timer) { SendMessageA(Timer->Handle(), WM_TIMER, 1, 0); }
    // The grey level of a pixel on the screen inside a window.
    static int Shown(TWinControl* Control)
    {
        HDC dc = GetDC(Control->Handle());
        const COLORREF c = GetPixel(dc, 5, 5);
        ReleaseDC(Control->Handle(), dc);
        return GetRValue(c);
    }
    static void Fill(TBitmap* Bmp, int W, int H, TColor Color)
    {
        Bmp->SetSize(W, H);
        Bmp->Canvas()->Brush()->SetColor(Color);
        Bmp->Canvas()->FillRect(Rect(0, 0, W, H));
    }
    TsButton* Button()
    {
        auto* b = On(form, Create<TsButton>(form));
        b->SetBounds(10, 10, 40, 20);
        b->SkinData()->UpdateIndexes();
        b->SkinData()->InitCacheBmp();
        Fill(b->SkinData()->FCacheBmp.get(), 40, 20, clBlack); // the normal look, painted before
        b->SkinData()->MouseAbove = true;                       // a fade-in draws the hot look
        return b;
    }
    TForm* form = nullptr;
};

} // namespace

// A step's blend: (old - new) * A / 256 + new, rounded, with A = 255 - Step * 255 div Iterations.
TEST_F(Fade, AFadeInBlendsStepByStepToTheHotLookAndStops)
{
    TsButton* b = Button();
    b->StartFadeIn();
    TsFadeTimer* t = b->FadeTimer();
    ASSERT_NE(t, nullptr);
    EXPECT_TRUE(t->Enabled());
    EXPECT_EQ(t->Interval(), 5u);
    EXPECT_EQ(t->Step, 1);
    EXPECT_EQ(t->Iterations, 4);
    for (int expected : {64, 128, 191, 255}) {
        Tick(t);
        EXPECT_EQ(Shown(b), expected) << "step " << t->Step - 1;
    }
    Tick(t);
    EXPECT_FALSE(t->Enabled()) << "past the last step";
    EXPECT_EQ(t->Step, 4);
    EXPECT_EQ(b->FadeTimer(), t);
}

TEST_F(Fade, AReversedFadeGoesOnFromItsStepAndTheTimerIsGivenUpAfterItsTick)
{
    gd[0].FadingIterations = 5;
    TsButton* b = Button();
    b->StartFadeIn();
    TsFadeTimer* t = b->FadeTimer();
    Tick(t);
    Tick(t);
    ASSERT_EQ(t->Step, 3);
    b->SkinData()->MouseAbove = false;
    b->StartFadeOut();
    EXPECT_EQ(b->FadeTimer(), t);
    EXPECT_EQ(t->Iterations, 3) << "the steps already run";
    EXPECT_EQ(t->Direction(), fdDown);
    for (int expected : {255, 170, 86, 1}) {
        Tick(t);
        EXPECT_EQ(Shown(b), expected) << "step " << t->Step + 1;
    }
    const HWND window = t->Handle();
    Tick(t); // below the first step: the button is told to stop
    EXPECT_EQ(b->FadeTimer(), nullptr);
    EXPECT_TRUE(IsWindow(window)) << "not freed inside its own tick";
    EXPECT_FALSE(t->Enabled());
    b->StartFadeIn();
    EXPECT_FALSE(IsWindow(window)) << "freed when the next fade starts";
    EXPECT_NE(b->FadeTimer(), nullptr);
}

TEST_F(Fade, AFadeOutOnANewTimerRunsFromStepZeroAndEndsWithTheButtonRepainted)
{
    TsButton* b = Button();
    b->StartFadeOut();
    TsFadeTimer* t = b->FadeTimer();
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(t->Step, 0);
    Tick(t);
    EXPECT_EQ(t->Step, -1);
    b->SkinData()->BGChanged = false;
    Tick(t);
    EXPECT_EQ(b->FadeTimer(), nullptr) << "below step 0 the button stops it";
    EXPECT_TRUE(b->SkinData()->BGChanged) << "caught between looks: painted again";
}

TEST_F(Fade, FreeingTheButtonMidFadeTakesItsTimer)
{
    TsButton* b = Button();
    b->StartFadeIn();
    Tick(b->FadeTimer());
    const HWND window = b->FadeTimer()->Handle();
    b->Free();
    EXPECT_FALSE(IsWindow(window));
}

TEST_F(Fade, TheSpeedButtonsAnimationRepaintsWithItsParentToldAndStopsAfterTheLastStep)
{
    auto* parent = On(form, Create<TProbeBox>(form, "parent", true));
    parent->SetBounds(0, 0, 100, 60);
    parent->HandleNeeded();
    auto* sb = On(parent, Create<TsSpeedButton>(form));
    sb->SetBounds(5, 5, 30, 20);
    sb->SkinData()->UpdateIndexes();
    sb->SkinData()->InitCacheBmp();
    Fill(sb->SkinData()->FCacheBmp.get(), 30, 20, clWhite);
    TsAnimTimer* a = sb->AnimTimer();
    Fill(a->OldBmp(), 30, 20, clBlack);
    a->SetOwnerData(sb->SkinData());
    a->SetEnabled(true);
    EXPECT_EQ(a->Iterations, 4);
    for (int expected : {1, 64, 128, 191, 255}) {
        Log().clear();
        Tick(a);
        EXPECT_EQ(GetRValue(a->WorkBmp()->Canvas()->Pixels(1, 1)), expected);
        EXPECT_EQ(Log(), (std::vector<std::string>{"parent:15", "parent:15"}));
    }
    Tick(a);
    EXPECT_EQ(sb->RunningAnimation(), nullptr) << "stopped after the last step";
    EXPECT_FALSE(a->Enabled());
}
