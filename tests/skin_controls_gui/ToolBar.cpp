// The skinned tool bar: its buttons painted from the skin by paint state, hot tracking on a bar
// that is not flat, the frame and the image its children take their backgrounds from.
#include <gtest/gtest.h>

#include "ControlsKit.h"
#include "sToolBar.h"
#include "sVclUtils.h"

using namespace controlskit;

namespace {

constexpr TColor Bar = 0x00406080, Normal = 0x00303030, Hot = 0x00A0A0A0;
constexpr TColor Frames[3] = {0x0000C000, 0x00C00000, 0x000000C0};

// A bar that counts the frame paints it is sent.
class TCountingBar : public TsToolBar {
    VCL_CLASS(TCountingBar, TsToolBar)
public:
    using TsToolBar::TsToolBar;
    void WndProc(TMessage& Message) override
    {
        if (Message.Msg == WM_NCPAINT)
            ++NCPaints;
        inherited::WndProc(Message);
    }
    int NCPaints = 0;
};

class ToolBar : public TablesTest {
protected:
    void SetUp() override
    {
        TablesTest::SetUp();
        Activate({Section("TOOLBAR", Bar, Bar), Section("TOOLBUTTON", Normal, Hot)});
        AddBorder("TOOLBUTTON", Frames);
    }
    // Two buttons with a separator between them; no frame unless Edges.
    TCountingBar* Make(bool Flat, TEdgeBorders Edges = {})
    {
        auto* b = Create<TCountingBar>(form);
        b->SetFlat(Flat);
        b->SetEdgeBorders(Edges);
        b->SetParent(form);
        for (TToolButtonStyle style : {tbsButton, tbsSeparator, tbsCheck}) {
            auto* button = Create<TToolButton>(form);
            button->SetStyle(style);
            button->SetParent(b);
        }
        form->Show();
        testkit::WaitIdle();
        return b;
    }
    // The left frame and the middle of a button as the window shows them (the border's centre is
// blended over the section's colour).
    static std::pair<COLORREF, COLORREF> Look(TsToolBar* B, int Index)
    {
        const testkit::PixelImage img = testkit::PrintWindowPixels(B->Handle());
        const TPoint o = B->ClientOffset();
        const TRect r = B->ButtonRect(Index);
        const int y = o.y + (r.top + r.bottom) / 2;
        return {img.Pixel(o.x + r.left, y), img.Pixel(o.x + (r.left + r.right) / 2, y)};
    }
};

} // namespace

TEST_F(ToolBar, TheDrawStateOfAButtonPicksItsPaintState)
{
    TCountingBar* b = Make(true);
    TToolButton* button = b->Buttons(0);
    TBitmap target(b->Width(), b->Height(), pf24bit);
    const struct {
        TCustomDrawState State;
        int Paint;
    } cases[] = {{{}, 0}, {{cdsDisabled}, 0}, {{cdsFocused}, 1}, {{cdsHot}, 1}, {{cdsChecked}, 2}, {{cdsSelected, cdsHot}, 2}};
    for (const auto& c : cases) {
        TLentCanvas lent(b->Canvas(), target.Canvas()->Handle());
        TTBCustomDrawFlags flags;
        bool defaultDraw = true;
        b->OurAdvancedCustomDrawButton(b, button, c.State, cdPrePaint, flags, defaultDraw);
        EXPECT_FALSE(defaultDraw);
        EXPECT_TRUE(flags.Contains(tbNoEdges) && flags.Contains(tbNoEtchedEffect));
        const int y = button->Top() + button->Height() / 2;
        EXPECT_EQ(At(&target, button->Left(), y), Through(Frames[c.Paint])) << c.Paint;
        EXPECT_EQ(At(&target, button->Left() + button->Width() / 2, y), Through(c.Paint ? Hot : Normal))
            << c.Paint;
    }
}

TEST_F(ToolBar, ABarThatIsNotFlatTracksTheButtonUnderTheMouseButNeverADownOneOrASeparator)
{
    TCountingBar* b = Make(false);
    EXPECT_EQ(Look(b, 0), std::make_pair(Through(Frames[0]), Through(Normal)));
    auto moveTo = [&](int Index) {
        const TRect r = b->ButtonRect(Index);
        SendMessageA(b->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2));
    };
    moveTo(0);
    EXPECT_EQ(b->HotIndex, 0);
    EXPECT_EQ(Look(b, 0), std::make_pair(Through(Frames[1]), Through(Hot)));
    moveTo(1);
    EXPECT_EQ(b->HotIndex, -1);
    EXPECT_EQ(Look(b, 0).first, Through(Frames[0]));
    // A button that is down keeps its pressed look whatever the mouse does.
    b->Buttons(2)->SetDown(true);
    testkit::WaitIdle();
    moveTo(2);
    EXPECT_EQ(b->HotIndex, 2);
    EXPECT_EQ(Look(b, 2).first, Through(Frames[2]));
    b->Perform(CM_MOUSELEAVE, 0, 0);
    EXPECT_EQ(b->HotIndex, -1);
    EXPECT_EQ(Look(b, 2).first, Through(Frames[2]));
}

TEST_F(ToolBar, TheFrameComesFromTheCacheAndChildrenGetTheCacheAtTheClientOffset)
{
    TCountingBar* framed = Make(true, {ebTop});
    TCountingBar* bare = Make(true);
    // Inner and outer edges on top: the client area starts 2 pixels down.
    EXPECT_EQ(framed->ClientOffset(), TPoint(0, 2));
    GlobalCacheInfo = EmptyCI;
    EXPECT_EQ(Command(framed, AC_GETCACHEINFO), 0);
    EXPECT_TRUE(GlobalCacheInfo.Ready);
    EXPECT_EQ(GlobalCacheInfo.Bmp, framed->SkinData()->FCacheBmp.get());
    EXPECT_EQ(GlobalCacheInfo.Y, 2);
    EXPECT_EQ(testkit::PrintWindowPixels(framed->Handle()).Pixel(framed->Width() - 1, 0), static_cast<COLORREF>(Bar));
    framed->NCPaints = bare->NCPaints = 0;
    framed->Repaint();
    bare->Repaint();
    EXPECT_GT(framed->NCPaints, 0);
    EXPECT_EQ(bare->NCPaints, 0);
}

TEST_F(ToolBar, AClosedDropDownMenuLeavesItsButtonNormal)
{
    TCountingBar* b = Make(false);
    b->DroppedButton = b->Buttons(0);
    b->HotIndex = 0;
    b->Perform(CN_DROPDOWNCLOSED, 0, 0);
    EXPECT_EQ(b->DroppedButton, nullptr);
    EXPECT_EQ(b->HotIndex, -1);
    EXPECT_EQ(Look(b, 0).first, Through(Frames[0]));
}

TEST_F(ToolBar, AWidenedBarShowsItsBackgroundOverTheWholeNewWidth)
{
    TCountingBar* b = Make(true);
    b->SetAlign(alTop);
    testkit::WaitIdle();
    const int before = b->Width();
    form->SetWidth(form->Width() + 200);
    testkit::WaitIdle();
    ASSERT_EQ(b->Width(), before + 200);
    // What the screen shows: the part beyond the old width too.
    const testkit::PixelImage shot = testkit::ScreenPixels(b->Handle());
    const int y = shot.Height() / 2;
    for (int x : {before - 2, before + 10, shot.Width() - 3})
        EXPECT_EQ(shot.Pixel(x, y), static_cast<COLORREF>(Bar)) << x;
}
