// The skinned memo: its background in the section's colour of the look unless its own, the frame
// from the cache with the memo's colour up to the skinned bar, a disabled horizontal bar while
// centred lines wrap, and the bars kept in step while the mouse drags a selection.
#include <gtest/gtest.h>

#include "../skin_controls_gui/ControlsKit.h"
#include "sMemo.h"

using namespace controlskit;

namespace {

constexpr TColor Green = 0x00208020, Hot = 0x00F0E0D0, Own = 0x00405060, Normal = 0x000000FF;

class Memo : public TablesTest {
protected:
    void SetUp() override
    {
        TablesTest::SetUp();
        Activate({Section("EDIT", Green, Hot)});
        AddBorder("EDIT", {Normal, Normal, Normal});
    }
    TsMemo* Make(TScrollStyle Bars = ssVertical, int Lines = 0)
    {
        auto* m = Create<TsMemo>(form);
        m->SetBounds(10, 10, 160, 100);
        m->SetScrollBars(Bars);
        m->SetParent(form);
        AnsiString text;
        for (int i = 0; i < Lines; ++i)
            text += "line " + IntToStr(i) + "\r\n";
        m->SetText(text);
        return m;
    }
    // Shown with the focus on a plain edit of its own.
    void Show()
    {
        sink = Create<TEdit>(form);
        sink->SetBounds(200, 10, 40, 22);
        sink->SetParent(form);
        form->Show();
        sink->SetFocus();
        testkit::WaitIdle();
    }
    TEdit* sink = nullptr;
};

} // namespace

TEST_F(Memo, FocusedItsBackgroundIsTheHotColourUnlessItKeepsItsOwn)
{
    TsMemo* m = Make();
    TsMemo* own = Make();
    own->SetTop(120);
    own->SkinData()->SetCustomColor(true);
    own->SetColor(Own);
    Show();
    EXPECT_EQ(m->Color(), Green);
    m->SetFocus();
    testkit::WaitIdle();
    EXPECT_EQ(m->Color(), Hot);
    EXPECT_EQ(testkit::ScreenPixels(m->Handle()).Pixel(20, 60), static_cast<COLORREF>(Hot));
    sink->SetFocus();
    testkit::WaitIdle();
    EXPECT_EQ(m->Color(), Green);
    own->SetFocus();
    testkit::WaitIdle();
    EXPECT_EQ(own->Color(), Own);
}

TEST_F(Memo, TheFrameComesFromTheCacheAndTheMemosColourFillsUpToTheBar)
{
    TsMemo* m = Make(ssVertical, 40);
    TsMemo* centred = Make(ssBoth, 40);
    centred->SetTop(120);
    centred->SetWordWrap(true);
    centred->SetAlignment(taCenter);
    Show();
    ASSERT_NE(centred->HSBar, nullptr);
    EXPECT_FALSE(centred->HSBar->Enabled()) << "centred wrapped lines: a disabled horizontal bar";
    ASSERT_NE(m->VSBar, nullptr);
    RedrawWindow(m->Handle(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
    const testkit::PixelImage shot = testkit::ScreenPixels(m->Handle());
    EXPECT_EQ(shot.Pixel(1, 50), Through(Normal));
    EXPECT_EQ(shot.Pixel(159 - 1, 50), Through(Normal));
    const int gap = 160 - m->VSBar->Width() - 3; // the column left of the bar
    EXPECT_EQ(shot.Pixel(gap, 50), static_cast<COLORREF>(Green));
    const testkit::PixelImage printed = testkit::PrintWindowPixels(m->Handle());
    EXPECT_EQ(printed.Pixel(1, 50), Through(Normal)) << "printed with its frame";
    EXPECT_EQ(printed.Pixel(20, 50), static_cast<COLORREF>(Green)) << "and the native client inside";
}

TEST_F(Memo, WhileTheLeftButtonIsDownMouseMovesKeepTheBarInStep)
{
    TsMemo* m = Make(ssVertical, 60);
    Show();
    ASSERT_NE(m->VSBar, nullptr);
    SendMessageA(m->Handle(), EM_LINESCROLL, 0, 10); // scrolls without telling the bar
    m->Perform(WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
    EXPECT_EQ(m->VSBar->Position(), 0) << "a move without the button changes nothing";
    m->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    SendMessageA(m->Handle(), EM_LINESCROLL, 0, 3);
    m->Perform(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(5, 5));
    EXPECT_EQ(m->VSBar->Position(), m->FirstLineIndex());
    EXPECT_GE(m->FirstLineIndex(), 10);
    m->Perform(WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
}

TEST_F(Memo, TextsAndLinesPastSixteenBitsAreKeptCountedAndReachedByTheBar)
{
    TsMemo* m = Make(ssVertical);
    m->SetWordWrap(false);
    const AnsiString line(40000, 'y');
    m->SetText(line); // before the window is made, which takes it whole
    Show();
    EXPECT_EQ(m->Text(), line);
    // The window made again when the skin goes keeps it too.
    m->Perform(SM_SKINCMD, MAKEWPARAM(0, AC_REMOVESKIN));
    EXPECT_EQ(m->Text(), line);

    for (const WORD command : {AC_NEWSKIN, AC_REPAINT})
        m->Perform(SM_SKINCMD, MAKEWPARAM(0, command));
    AnsiString lines;
    for (int i = 0; i < 70000; ++i)
        lines += "x\r\n";
    m->SetText(lines);
    ASSERT_NE(m->VSBar, nullptr);
    m->VSBar->SetPosition(69000);
    EXPECT_EQ(SendMessageA(m->Handle(), EM_GETFIRSTVISIBLELINE, 0, 0), 69000);
    EXPECT_EQ(m->FirstLineIndex(), 69000);
    m->VSBar->SetPosition(40000);
    EXPECT_EQ(m->FirstLineIndex(), 40000) << "the thumb's 16 bits are read as signed";
    m->VSBar->SetPosition(100);
    EXPECT_EQ(m->FirstLineIndex(), 100) << "and back below them by the thumb";
}
