// The skinned rich edit: skinned bars only where there is something to scroll, the kind of each
// scroll passed on, the text limit, bars hidden with the edit and freed with the skin, and the
// default text colour from the section, the formatting kept when the window is made again.
#include <gtest/gtest.h>

#include <richedit.h>

#include <cstdlib>
#include <vector>

#include "../skin_controls_gui/ControlsKit.h"
#include "sRichEdit.h"

using namespace controlskit;

namespace {

constexpr TColor Green = 0x00208020, Ink = 0x0000A0F0, Normal = 0x000000FF;

// Notes the scroll codes the window is sent.
class TNotedRichEdit : public TsRichEdit {
    VCL_CLASS(TNotedRichEdit, TsRichEdit)
public:
    using TsRichEdit::TsRichEdit;
    void WndProc(TMessage& Message) override
    {
        if (Message.Msg == WM_VSCROLL)
            Codes.push_back(Message.WParamLo);
        inherited::WndProc(Message);
    }
    std::vector<int> Codes;
};

class RichEdit : public TablesTest {
protected:
    void SetUp() override
    {
        TablesTest::SetUp();
        Activate({Section("EDIT", Green, Green, Ink)});
        AddBorder("EDIT", {Normal, Normal, Normal});
    }
    TNotedRichEdit* Make(TScrollStyle Bars, int Lines, int Top = 10)
    {
        auto* r = Create<TNotedRichEdit>(form);
        r->SetBounds(10, Top, 160, 80);
        r->SetScrollBars(Bars);
        r->SetParent(form);
        AnsiString text;
        for (int i = 0; i < Lines; ++i)
            text += "line " + IntToStr(i) + " of the text that runs on past the edge\r\n";
        r->SetText(text);
        return r;
    }
    void Show()
    {
        form->SetHeight(420);
        form->Show();
        for (int i = 0; i < form->ControlCount(); ++i)
            if (auto* r = dynamic_cast<TsRichEdit*>(form->Controls(i)))
                Command(r, AC_REPAINT);
        testkit::WaitIdle();
    }
    static bool Shown(TsScrollBar* Bar) { return Bar && Bar->Visible(); }
    // The colour of the default format, or of the whole text (CLR_INVALID when mixed).
    static COLORREF TextColor(TsRichEdit* R, WPARAM Which)
    {
        if (Which == SCF_SELECTION)
            R->SelectAll();
        CHARFORMATA cf{};
        cf.cbSize = sizeof cf;
        R->Perform(EM_GETCHARFORMAT, Which, reinterpret_cast<LPARAM>(&cf));
        return cf.dwMask & CFM_COLOR ? cf.crTextColor : CLR_INVALID;
    }
};

} // namespace

TEST_F(RichEdit, SkinnedBarsShowOnlyWhereThereIsSomethingToScroll)
{
    auto* none = Make(ssNone, 40);
    auto* fits = Make(ssBoth, 1, 100);
    fits->SetText("short");
    auto* wrapped = Make(ssBoth, 40, 190);
    auto* plain = Make(ssBoth, 40, 280);
    plain->SetWordWrap(false);
    Show();
    EXPECT_FALSE(Shown(none->VSBar) || Shown(none->HSBar));
    EXPECT_FALSE(Shown(fits->VSBar) || Shown(fits->HSBar)) << "the text fits";
    ASSERT_TRUE(Shown(wrapped->VSBar));
    EXPECT_TRUE(wrapped->VSBar->Enabled());
    EXPECT_EQ(wrapped->VSBar->SmallChange, 16);
    if (Shown(wrapped->HSBar)) {
        EXPECT_FALSE(wrapped->HSBar->Enabled()) << "wrapped lines scroll nothing sideways";
    }
    ASSERT_TRUE(Shown(plain->HSBar));
    EXPECT_TRUE(plain->HSBar->Enabled());
    // Inside the two-pixel frame, the vertical bar shortened by the horizontal one.
    EXPECT_EQ(plain->VSBar->Left(), plain->Left() + plain->Width() - plain->VSBar->Width() - 2);
    EXPECT_EQ(plain->VSBar->Top(), plain->Top() + 2);
    EXPECT_EQ(plain->VSBar->Height(), 80 - GetSystemMetrics(SM_CYHSCROLL) - 4);
    EXPECT_EQ(plain->HSBar->Top(), plain->Top() + 80 - plain->HSBar->Height() - 2);
}

TEST_F(RichEdit, ArrowsScrollByLinesAndTheDraggedThumbByPosition)
{
    auto* r = Make(ssVertical, 60);
    Show();
    TsScrollBar* bar = r->VSBar;
    ASSERT_TRUE(Shown(bar));
    const TRect arrow = bar->Btn2Rect();
    const LPARAM at = MAKELPARAM((arrow.left + arrow.right) / 2, (arrow.top + arrow.bottom) / 2);
    bar->Perform(WM_LBUTTONDOWN, MK_LBUTTON, at);
    bar->Perform(WM_LBUTTONUP, 0, at);
    ASSERT_FALSE(r->Codes.empty());
    EXPECT_EQ(r->Codes.front(), SB_LINEDOWN);
    EXPECT_GT(r->Perform(EM_GETFIRSTVISIBLELINE), 0) << "the edit scrolled";

    r->Codes.clear();
    const TRect thumb = bar->SliderRect();
    const int x = (thumb.left + thumb.right) / 2, y = (thumb.top + thumb.bottom) / 2;
    bar->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
    bar->Perform(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(x, y + 20));
    bar->Perform(WM_LBUTTONUP, 0, MAKELPARAM(x, y + 20));
    ASSERT_FALSE(r->Codes.empty());
    for (int code : r->Codes)
        EXPECT_EQ(code, SB_THUMBPOSITION);
}

TEST_F(RichEdit, TakesTextFarBeyondTheNativeDefaultLimit)
{
    auto* r = Make(ssVertical, 0);
    Show();
    EXPECT_EQ(r->Perform(EM_GETLIMITTEXT), TsRichEdit::TextLimit);
    // 2,000 lines of 48 characters: beyond the native default of 64K characters.
    AnsiString big;
    for (int i = 0; i < 2000; ++i)
        big += AnsiString(46, 'x') + "\r\n";
    r->SetText(big);
    EXPECT_EQ(r->GetTextLen(), 96000);

    // Given before the window is made too.
    auto* early = Create<TsRichEdit>(form);
    early->SetBounds(200, 10, 100, 80);
    early->SetText(big);
    early->SetParent(form);
    early->HandleNeeded();
    EXPECT_EQ(early->GetTextLen(), 96000);
}

TEST_F(RichEdit, AHiddenEditHidesItsBarsWhichGoOnlyWithTheSkin)
{
    auto* r = Make(ssVertical, 60);
    Show();
    ASSERT_TRUE(Shown(r->VSBar));
    EXPECT_EQ(TextColor(r, SCF_DEFAULT), static_cast<COLORREF>(Ink)) << "the section's text colour";
    EXPECT_EQ(TextColor(r, SCF_SELECTION), static_cast<COLORREF>(Ink)) << "the text set before follows it";

    r->SetVisible(false);
    r->RefreshScrolls();
    ASSERT_NE(r->VSBar, nullptr);
    EXPECT_FALSE(r->VSBar->Visible());
    r->SetVisible(true);
    Clear();
    Command(r, AC_REMOVESKIN);
    EXPECT_EQ(r->VSBar, nullptr);
    EXPECT_EQ(TextColor(r, SCF_DEFAULT), static_cast<COLORREF>(ColorToRGB(clWindowText)));
    EXPECT_EQ(TextColor(r, SCF_SELECTION), static_cast<COLORREF>(ColorToRGB(clWindowText)));

    // Text given a colour of its own keeps it when the skin comes back.
    CHARFORMATA own{};
    own.cbSize = sizeof own;
    own.dwMask = CFM_COLOR;
    own.crTextColor = RGB(0, 128, 0);
    r->Perform(EM_SETCHARFORMAT, SCF_ALL, reinterpret_cast<LPARAM>(&own));
    Activate({Section("EDIT", Green, Green, Ink)});
    Command(r, AC_NEWSKIN);
    Command(r, AC_REPAINT);
    EXPECT_EQ(TextColor(r, SCF_DEFAULT), static_cast<COLORREF>(Ink));
    EXPECT_EQ(TextColor(r, SCF_SELECTION), RGB(0, 128, 0));
    Clear();
    Command(r, AC_REMOVESKIN);
    EXPECT_EQ(TextColor(r, SCF_SELECTION), RGB(0, 128, 0)) << "kept when the window is made again";
    EXPECT_EQ(r->Lines()->Count(), 60);
}

TEST_F(RichEdit, TheThumbReachesEveryLineOfATextTallerThanSixteenBitsOfPixels)
{
    auto* r = Make(ssVertical, 0);
    Show();
    AnsiString text;
    for (int i = 0; i < 12000; ++i)
        text += "line " + IntToStr(i) + "\r\n";
    r->SetText(text);
    r->RefreshScrolls();
    TsScrollBar* bar = r->VSBar;
    ASSERT_TRUE(Shown(bar));
    // The native range is kept within 16 bits and scaled; the bar takes it as it is.
    const struct {
        int Position;
        int FirstLine;
    } cases[] = {{bar->Max() / 2, 6000}, {bar->Max(), 12000}, {0, 0}};
    for (const auto& c : cases) {
        bar->ScrollCode = SB_THUMBTRACK;
        bar->SetPosition(c.Position);
        const int lines = static_cast<int>(r->Perform(EM_GETFIRSTVISIBLELINE));
        EXPECT_LE(std::abs(lines - c.FirstLine), 60) << c.Position << ": line " << lines;
    }
}
