// The skinned scroll bar: geometry, range and events, part states, the mouse with its repeat and
// drag timers, the keys, its two windows and its disabled look.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "Dialogs.h"
#include "sVclUtils.h"
#include "ExtCtrls.h"
#include "ProgramRun.h"
#include "ScrollKit.h"
#include "sPanel.h"
#include "sScrollBar.h"

using scrollkit::IsNativeBar;

namespace {

class ScrollBarTest : public scrollkit::SkinnedTest {
protected:
    void SetUp() override
    {
        SkinnedTest::SetUp();
        guard = std::make_unique<TPromptServiceGuard>(prompts);
    }
    void TearDown() override
    {
        guard.reset();
        SkinnedTest::TearDown();
    }
    // A vertical bar of 0..100 on the form whose track is Work pixels long.
    TsScrollBar* Bar(int Work = 100)
    {
        auto* b = Create<TsScrollBar>(form);
        b->SetName("ScrollBar1");
        b->SetKind(sbVertical);
        b->SetBounds(10, 10, 17, 2 * A + Work);
        b->SetParent(form);
        return b;
    }
    void ShowForm()
    {
        form->Show();
        testkit::PumpFor(50);
    }
    void Press(TsScrollBar* b, int y, UINT down = WM_LBUTTONDOWN) { b->Perform(down, MK_LBUTTON, MAKELPARAM(5, y)); }
    void Release(TsScrollBar* b, int y, UINT up = WM_LBUTTONUP) { b->Perform(up, 0, MAKELPARAM(5, y)); }
    // Whether the system reports the cursor over a point of the bar; if not, moves it there (a
    // pointer motion still on its way may move it back, so callers wait for this).
    bool CursorAt(TsScrollBar* b, int y)
    {
        const TPoint p = b->ClientToScreen(TPoint{5, y});
        POINT c;
        GetCursorPos(&c);
        if (c.x == p.x && c.y == p.y)
            return true;
        SetCursorPos(p.x, p.y);
        return false;
    }
    const int A = GetSystemMetrics(SM_CYVSCROLL);
    TScriptedPromptService prompts;
    std::unique_ptr<TPromptServiceGuard> guard;
};

} // namespace

TEST_F(ScrollBarTest, SliderSizeAndCoordinatesFollowTheRange)
{
    TsScrollBar* b = Bar();
    struct {
        int max, page, slider;
    } sizes[] = {{100, 0, 14}, {100, 10, 14}, {31, 9, 22}, {153, 47, 24}, {100, 100, 50}};
    for (const auto& s : sizes) {
        b->SetPageSize(s.page);
        b->SetParams(0, 0, s.max);
        EXPECT_EQ(b->SliderSize(), s.slider) << "page " << s.page << " of " << s.max << " (22.5 and 23.5 to even)";
    }
    b->SetPageSize(0);
    b->SetParams(0, 0, 100);
    for (int pos : {0, 50, 100}) {
        b->SetPosition(pos);
        const int centre = A + 7 + (pos == 0 ? 0 : pos == 50 ? 43 : 86);
        EXPECT_EQ(b->PositionToCoord(), centre);
        EXPECT_EQ(b->CoordToPosition(TPoint{5, centre}), pos);
        EXPECT_EQ(b->SliderRect(), Rect(0, centre - 7, 17, centre + 7));
    }
    EXPECT_EQ(b->Btn1Rect(), Rect(0, 0, 17, A));
    EXPECT_EQ(b->Btn2Rect(), Rect(0, A + 100, 17, 2 * A + 100));
    // A bar shorter than its two arrows shares its length between them, and draws them so.
    b->SetHeight(21);
    EXPECT_EQ(std::vector<TRect>({b->Btn1Rect(), b->Btn1DRect(), b->Btn2Rect(), b->Btn2DRect()}),
              std::vector<TRect>({Rect(0, 0, 17, 10), Rect(0, 0, 17, 10), Rect(0, 10, 17, 21), Rect(0, 10, 17, 21)}));
    b->SetHeight(2 * A + 100);
    b->SetEnabled(false);
    EXPECT_EQ(b->PositionToCoord(), A + 50) << "a disabled bar centres its slider";
    EXPECT_EQ(b->CoordToPosition(TPoint{5, A + 90}), 0);
}

TEST_F(ScrollBarTest, ARangeThatStartsAwayFromZeroPlacesTheSliderFromItsMinimum)
{
    TsScrollBar* b = Bar();
    struct {
        int min, max, page, pos, slider, centre; // centre from the track's start
    } cases[] = {
        {100, 200, 0, 100, 14, 7}, {100, 200, 0, 150, 14, 50}, {100, 200, 0, 200, 14, 93},
        {-50, 50, 0, -50, 14, 7},  {-50, 50, 0, 0, 14, 50},    {-50, 50, 0, 50, 14, 93},
        // The slider's share is the page's of the whole range: 100 * 9 / 40 = 22.5, to even.
        {100, 131, 9, 100, 22, 11}, {100, 131, 9, 131, 22, 89},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.min << ".." << c.max << " page " << c.page << " at " << c.pos);
        b->SetPageSize(c.page);
        b->SetParams(c.pos, c.min, c.max);
        EXPECT_EQ(b->SliderSize(), c.slider);
        EXPECT_EQ(b->PositionToCoord(), A + c.centre);
        EXPECT_EQ(b->CoordToPosition(TPoint{5, A + c.centre}), c.pos) << "and back";
    }
}

TEST_F(ScrollBarTest, ABarWithoutRoomForItsSliderKeepsItsPosition)
{
    TsScrollBar* b = Bar(14);
    b->SetPosition(37);
    EXPECT_EQ(b->CoordToPosition(TPoint{5, A + 10}), 37);
    // Max = Min with a page: the slider fills the track; the range is reported.
    b->SetPageSize(10);
    b->SetParams(5, 5, 5);
    EXPECT_EQ(b->CoordToPosition(TPoint{5, A}), 5);
    b->SetPageSize(0);
    EXPECT_EQ(b->PositionToCoord(), 0);
    ASSERT_EQ(prompts.Shown.size(), 1u);
    EXPECT_EQ(prompts.Shown[0].Text, "Scrollbar property out of range\n\rMax = 5(ScrollBar1)");
}

TEST_F(ScrollBarTest, ARangeBelowItsMinimumIsRefusedWithoutSkinAndReportedWithOne)
{
    TsScrollBar* b = Bar();
    auto* host = Create<TPanel>(form);
    host->SetName("Host1");
    b->HostControl = host;
    b->SetParams(50, 10, 3);
    EXPECT_EQ(std::vector<int>({b->Min(), b->Max(), b->Position()}), std::vector<int>({10, 3, 3}));
    ASSERT_EQ(prompts.Shown.size(), 1u);
    EXPECT_EQ(prompts.Shown[0].Text, "Scrollbar property out of range\n\rMax = 3(Owner=Host1)");
    EXPECT_EQ(prompts.Shown[0].DlgType, mtError);
    scrollkit::UnloadSkin();
    EXPECT_EQ(testkit::Refusal<EInvalidOperation>([&] { b->SetParams(0, 10, 5); }), "Scrollbar property out of range");
    EXPECT_EQ(b->Max(), 3);
}

TEST_F(ScrollBarTest, ChangesTellTheHostThenScrollThenChangeAndNothingWhileLocked)
{
    TsScrollBar* b = Bar();
    std::string log;
    b->OnHostChange = [&](TObject*, int old) { log += "host " + std::to_string(old) + "|"; };
    b->OnScroll = [&](TObject*, TScrollCode code, int& pos) {
        log += "scroll " + std::to_string(code) + " " + std::to_string(pos) + "|";
        pos = 0;
    };
    b->OnChange = [&](TObject*) { log += "change|"; };
    b->SetPosition(30);
    EXPECT_EQ(log, "host 0|scroll 4 30|change|")
        << "before any mouse action the code is a position";
    EXPECT_EQ(b->Position(), 30) << "OnScroll gets a copy";
    log.clear();
    b->SetPosition(30);
    b->ChangeLocked = true;
    b->SetPosition(40);
    EXPECT_EQ(log, "");
    EXPECT_EQ(b->Position(), 40);
    b->ChangeLocked = false;
    b->SetPosition(100);
    log.clear();
    b->SetPosition(120);
    b->SetParams(0, 0, 100);
    b->SetPosition(-5);
    EXPECT_EQ(log, "host 100|scroll 4 0|change|") << "at an end the bar takes nothing beyond it";
}

TEST_F(ScrollBarTest, PartStatesResetTheOthersWhenOneBecomesHotOrPressed)
{
    TsScrollBar* b = Bar();
    auto states = [&] {
        return std::vector<int>({b->Btn1State, b->Btn2State, b->Bar1State, b->Bar2State, b->SliderState});
    };
    b->SetInteger(4, 2);
    EXPECT_EQ(states(), std::vector<int>({0, 0, 1, 1, 2}));
    b->SetInteger(2, 2);
    EXPECT_EQ(states(), std::vector<int>({0, 0, 2, 1, 0}));
    b->SetInteger(1, 1);
    EXPECT_EQ(states(), std::vector<int>({0, 1, 1, 1, 0}));
    b->SetInteger(3, 0);
    EXPECT_EQ(states(), std::vector<int>({0, 1, 1, 0, 0})) << "normal resets nothing";
    b->RepaintNeeded = false;
    b->SetInteger(5, 2);
    b->SetInteger(-1, 2);
    b->SetInteger(1, 1);
    EXPECT_EQ(states(), std::vector<int>({0, 1, 1, 0, 0}));
    EXPECT_FALSE(b->RepaintNeeded);
}

TEST_F(ScrollBarTest, HeldArrowRepeatsAfterHalfASecondThenEveryTenthUntilTheEnd)
{
    TsScrollBar* b = Bar();
    ShowForm();
    b->SetPosition(97);
    Press(b, A + 105);
    EXPECT_EQ(b->Position(), 98);
    ASSERT_NE(b->Timer(), nullptr);
    EXPECT_EQ(b->Timer()->Interval(), 500u);
    EXPECT_EQ(b->Btn2State, 2);
    b->OnBtnTimer(b->Timer());
    EXPECT_EQ(b->Position(), 99);
    EXPECT_EQ(b->Timer()->Interval(), 100u);
    b->OnBtnTimer(b->Timer());
    b->OnBtnTimer(b->Timer());
    EXPECT_EQ(b->Position(), 100);
    Release(b, A + 105);
    EXPECT_EQ(b->Timer(), nullptr);
    EXPECT_EQ(b->Btn2State, 1);
    EXPECT_EQ(b->ScrollCode, 1);
}

TEST_F(ScrollBarTest, HeldTrackPagesUntilTheSliderPassesTheCursor)
{
    TsScrollBar* b = Bar();
    b->LargeChange = 10;
    ShowForm();
    // The cursor over position 45 of the track below the slider.
    const int y = A + 7 + 39;
    ASSERT_EQ(b->CoordToPosition(TPoint{5, y}), 45);
    // Nothing pumps while the track is held: a late pointer motion would take the mouse off the
    // bar, which lets go of the track, and the timer's own ticks would page in between. A late
    // motion handled by another process may still move the cursor; a hold during which it moved
    // is held again.
    std::vector<int> steps;
    for (int hold = 0; hold < 5; ++hold) {
        b->SetPosition(0);
        WaitFor([&] { return CursorAt(b, y); }, "the cursor over the bar");
        Press(b, y);
        EXPECT_EQ(b->Position(), 10);
        EXPECT_EQ(b->Bar2State, 2);
        bool moved = false;
        steps.clear();
        while (b->Timer() && steps.size() < 10) {
            b->OnBarTimer(b->Timer());
            steps.push_back(b->Position());
            moved = moved || !CursorAt(b, y);
        }
        Release(b, y);
        if (!moved)
            break;
    }
    EXPECT_EQ(steps, std::vector<int>({20, 30, 40, 50, 50}));
    EXPECT_EQ(b->Bar2State, b->BarIsHot());
}

TEST_F(ScrollBarTest, DraggedSliderHoldsTheMouseAndNonSmoothReportsOnceAtRelease)
{
    TsScrollBar* b = Bar();
    b->Smooth = false;
    ShowForm();
    b->SetPosition(10);
    std::string log;
    b->OnHostChange = [&](TObject*, int old) { log += "host " + std::to_string(old) + "|"; };
    b->OnChange = [&](TObject*) { log += "change|"; };
    const int grab = b->PositionToCoord();
    Press(b, grab);
    EXPECT_EQ(GetCapture(), b->Handle());
    ASSERT_NE(b->Timer(), nullptr);
    EXPECT_EQ(b->Timer()->Interval(), 10u);
    EXPECT_EQ(b->ScrollCode, 5);
    // 17 pixels of the 86 the slider travels are 20 positions. A tick during which a late pointer
    // motion moved the cursor is read again.
    ASSERT_NE(b->Timer(), nullptr);
    WaitFor([&] { return CursorAt(b, grab + 17) && (b->OnTimer(b->Timer()), CursorAt(b, grab + 17)); },
            "a tick with the cursor in place");
    EXPECT_EQ(b->Position(), 30);
    EXPECT_EQ(log, "") << "a non-smooth drag is silent until the release";
    Release(b, grab + 17);
    EXPECT_EQ(log, "host 10|change|");
    EXPECT_NE(GetCapture(), b->Handle());
    EXPECT_EQ(b->Timer(), nullptr);
    EXPECT_EQ(b->SliderState, 1);
    EXPECT_FALSE(b->ChangeLocked);
}

TEST_F(ScrollBarTest, KeysMoveTheBarWhichAsksForTheArrows)
{
    TsScrollBar* b = Bar();
    b->LargeChange = 10;
    ShowForm();
    EXPECT_EQ(SendMessageA(b->Handle(), WM_GETDLGCODE, 0, 0), DLGC_WANTARROWS);
    b->SetPosition(50);
    struct {
        WORD key;
        int position;
    } keys[] = {{VK_NEXT, 60}, {VK_PRIOR, 50}, {VK_DOWN, 51}, {VK_RIGHT, 52}, {VK_UP, 51},
                {VK_LEFT, 50}, {VK_END, 100}, {VK_HOME, 0},  {VK_SPACE, 0}};
    for (const auto& k : keys) {
        b->Perform(WM_KEYDOWN, k.key, 0);
        EXPECT_EQ(b->Position(), k.position) << "key " << k.key;
    }
}

TEST_F(ScrollBarTest, TheWindowIsTheSystemBarWithoutSkinAndTheSkinnedOneWithIt)
{
    TsScrollBar* b = Bar();
    b->SetPosition(30);
    const HWND made = b->Handle();
    ShowForm();
    EXPECT_EQ(b->Handle(), made) << "the skinned window made at once, not a system bar replaced at its first paint";
    EXPECT_FALSE(IsNativeBar(b->Handle(), 30));
    scrollkit::UnloadSkin();
    Command(b, AC_REMOVESKIN);
    EXPECT_TRUE(IsNativeBar(b->Handle(), 30));
    scrollkit::LoadSkin("Dusk");
    Command(b, AC_REPAINT);
    EXPECT_FALSE(IsNativeBar(b->Handle(), 30));
    EXPECT_EQ(b->Position(), 30);
}

TEST_F(ScrollBarTest, ALeftPressEndsWhereverItIsReleasedOrWhenTheMouseIsTaken)
{
    TsScrollBar* b = Bar();
    b->LargeChange = 10;
    ShowForm();
    Application->SetShowHint(true);
    Press(b, A + 50, WM_RBUTTONDOWN);
    Release(b, A + 50, WM_RBUTTONUP);
    EXPECT_TRUE(Application->ShowHint()) << "only the left button switches hints off";
    auto screen = [&](int x, int y) {
        const TPoint p = b->ClientToScreen(TPoint{x, y});
        return POINT{p.x, p.y};
    };
    const POINT off = screen(150, 60);
    auto released = [&] { return Application->ShowHint() && b->Btn1State != 2 && b->Bar2State != 2; };
    // The mouse comes onto the bar before it presses, as a hand's would; a late motion of an
    // earlier move must not follow the press, so the bar is seen hovered at the point first.
    auto pressAt = [&](int y, const std::function<bool()>& hovered) {
        const POINT at = screen(5, y);
        testkit::SendMouse(at);
        WaitFor([&] {
            POINT c;
            GetCursorPos(&c);
            return c.x == at.x && c.y == at.y && MouseControl() == b && hovered();
        }, "the mouse over the bar");
        testkit::SendMouse(at, MOUSEEVENTF_LEFTDOWN);
    };
    // The arrow held into its repeat, then released off the bar: no step follows.
    // A pointer motion of the system's own, late, can still come after the press and take it away
    // as a move off the arrow would: then the press is made again.
    bool repeated = false;
    for (int attempt = 0; attempt < 5 && !repeated; ++attempt) {
        if (attempt) {
            testkit::SendMouse(screen(5, A / 2), MOUSEEVENTF_LEFTUP);
            WaitFor(released, "a spoilt press released");
        }
        b->SetPosition(50);
        pressAt(A / 2, [&] { return b->Btn1State == 1; });
        repeated = testkit::PumpUntil([&] { return b->Position() == 48; }, testkit::kInputLostMs);
    }
    ASSERT_TRUE(repeated) << "a repeat of the held arrow";
    EXPECT_FALSE(Application->ShowHint());
    testkit::SendMouse(off, MOUSEEVENTF_LEFTUP);
    WaitFor(released, "the arrow's press ended");
    EXPECT_EQ(b->Timer(), nullptr);
    testkit::PumpFor(250);
    EXPECT_EQ(b->Position(), 48);
    // The track released off the bar, robbed of the mouse by another window, or told to cancel.
    const char* ends[] = {"a release off the bar", "another window taking the mouse", "a cancel"};
    for (const char* end : ends) {
        // The same late motion can take the track's press away.
        bool pressed = false;
        for (int attempt = 0; attempt < 5 && !pressed; ++attempt) {
            if (attempt) {
                testkit::SendMouse(screen(5, A + 90), MOUSEEVENTF_LEFTUP);
                WaitFor(released, "a spoilt press released");
            }
            b->SetPosition(0);
            pressAt(A + 90, [&] { return b->Btn1State == 0; });
            pressed = testkit::PumpUntil([&] { return b->Bar2State == 2; }, testkit::kInputLostMs);
        }
        ASSERT_TRUE(pressed) << "the track pressed";
        EXPECT_EQ(b->Position(), 10);
        if (end == ends[0])
            testkit::SendMouse(off, MOUSEEVENTF_LEFTUP);
        else if (end == ends[1])
            SetCapture(form->Handle());
        else
            SendMessageA(b->Handle(), WM_CANCELMODE, 0, 0);
        WaitFor(released, std::string("the track's press ended by ") + end);
        EXPECT_EQ(b->Timer(), nullptr) << end;
        EXPECT_NE(GetCapture(), b->Handle()) << end;
        if (end != ends[0]) {
            testkit::SendMouse(off, MOUSEEVENTF_LEFTUP);
            testkit::PumpFor(30);
            ReleaseCapture();
        }
    }
}

TEST_F(ScrollBarTest, ADisabledBarOfAnotherControlIsFadedTowardTheTrackColour)
{
    TsScrollBar* b = Bar();
    b->HostControl = Create<TPanel>(form);
    ShowForm();
    const testkit::PixelImage enabled = testkit::PrintWindowPixels(b->Handle());
    b->SetEnabled(false);
    const testkit::PixelImage disabled = testkit::PrintWindowPixels(b->Handle());
    // The arrow button looks alike in both; disabled, each channel is mixed 153 : 102 with the
    // track colour.
    const TColor c = ColorToRGB(gd[ConstData.IndexScrollBar1H].Color);
    auto fade = [](int d, int k) { return (d * 153 + k * 102) >> 8; };
    int differing = 0;
    for (int y = 0; y < A; ++y)
        for (int x = 0; x < 17; ++x) {
            const COLORREF p = enabled.Pixel(x, y), q = disabled.Pixel(x, y);
            differing += q != RGB(fade(GetRValue(p), GetRValue(c)), fade(GetGValue(p), GetGValue(c)),
                                  fade(GetBValue(p), GetBValue(c)));
        }
    EXPECT_EQ(differing, 0);
}

TEST_F(ScrollBarTest, ABarWaitsOnlyForAParentThatRebuildsAPaintedImage)
{
    auto* panel = Create<TsPanel>(form);
    panel->SetBounds(0, 0, 100, 200);
    panel->SetParent(form);
    TsScrollBar* b = Bar();
    b->SetParent(panel);
    ShowForm();
    // A panel without an image of its own that answers that it is updating.
    panel->SkinData()->FCacheBmp->SetSize(0, 0);
    panel->SkinData()->BGChanged = true;
    ASSERT_TRUE(GetBoolMsg(panel, AC_GETUPDATING));
    auto painted = [&] {
        const testkit::PixelImage img = testkit::PrintWindowPixels(b->Handle());
        return img.CountColor(RECT{0, 0, img.Width(), img.Height()}, RGB(0, 0, 0)) < img.Width() * img.Height() / 2;
    };
    EXPECT_TRUE(painted());
    // A parent with a painted image being rebuilt holds the bar back until it has finished.
    panel->SkinData()->InitCacheBmp();
    EXPECT_FALSE(painted());
    panel->SkinData()->BGChanged = false;
    Command(b, AC_PARENTUPDATED);
    EXPECT_TRUE(painted());
}

TEST_F(ScrollBarTest, AHostsRangeThatGrowsUnderTheSamePositionAndPageRepaintsTheSlider)
{
    TsScrollBar* b = Bar();
    ShowForm();
    auto shows = [&](int Max) {
        SCROLLINFO si{sizeof(SCROLLINFO), SIF_ALL, 0, Max, 10, 0, 0};
        FillHostBar(b, si, true);
        b->UpdateBar();
        // What the screen shows is what the bar paints now.
        const testkit::PixelImage fresh = testkit::PrintWindowPixels(b->Handle());
        auto same = [&] {
            const testkit::PixelImage shot = testkit::ScreenPixels(b->Handle());
            return std::equal(fresh.Data(), fresh.Data() + fresh.Width() * fresh.Height(), shot.Data());
        };
        return testkit::PumpUntil(same);
    };
    EXPECT_TRUE(shows(20));
    EXPECT_TRUE(shows(4000)) << "a tree expanded at its top: only the range grows";
}
