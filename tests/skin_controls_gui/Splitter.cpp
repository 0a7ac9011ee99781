// The skinned splitter: the framework's bar without a skin; with one, its normal, hot and pressed
// looks from the section (pressed only where the panels follow the drag), and the hints held off
// while it is dragged.
#include <gtest/gtest.h>

#include "ControlsKit.h"
#include "Forms.h"
#include "sSplitter.h"

using namespace controlskit;

namespace {

constexpr TColor Frame[3] = {0x000000C0, 0x0000C000, 0x00C00000};

class Splitter : public TablesTest {
protected:
    // A left panel of 100 pixels with the splitter beside it.
    TsSplitter* Make()
    {
        panel = Create<TPanel>(form);
        panel->SetAlign(alLeft);
        panel->SetWidth(100);
        panel->SetParent(form);
        auto* s = Create<TsSplitter>(form);
        s->SetLeft(100);
        s->SetParent(form);
        form->Show();
        testkit::WaitIdle();
        return s;
    }
    // The pixel of the bar's frame, near its top-left corner.
    COLORREF Look(TsSplitter* S)
    {
        return testkit::PrintWindowPixels(form->Handle(), true).Pixel(S->Left() + 1, S->Top() + 1);
    }
    TPanel* panel = nullptr;
};

} // namespace

TEST_F(Splitter, ItsLooksComeFromTheSectionPressedOnlyWhereThePanelsFollowTheDrag)
{
    TsSplitter* s = Make();
    EXPECT_EQ(s->Width(), 6);
    EXPECT_EQ(s->SkinData()->SkinSection(), "SPLITTER");
    EXPECT_EQ(Look(s), static_cast<COLORREF>(ColorToRGB(form->Color()))) << "no skin: the framework's bar";

    Activate({Section("SPLITTER", clBlack, clBlack)});
    AddBorder("SPLITTER", Frame);
    Command(s, AC_NEWSKIN);
    Command(s, AC_REPAINT);
    EXPECT_EQ(Look(s), Through(Frame[0]));
    s->Perform(CM_MOUSEENTER, 0, reinterpret_cast<LPARAM>(s));
    EXPECT_EQ(Look(s), Through(Frame[1])) << "under the mouse";

    // The default drag draws the framework's line; the bar is never shown pressed.
    s->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 5));
    EXPECT_EQ(Look(s), Through(Frame[1]));
    s->Perform(WM_LBUTTONUP, 0, MAKELPARAM(2, 5));

    s->SetResizeStyle(rsUpdate);
    s->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 5));
    EXPECT_EQ(Look(s), Through(Frame[2]));
    s->Perform(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(22, 5));
    EXPECT_EQ(panel->Width(), 120);
    EXPECT_EQ(Look(s), Through(Frame[2])) << "the drag goes on";
    s->Perform(WM_LBUTTONUP, 0, MAKELPARAM(22, 5));
    EXPECT_EQ(Look(s), Through(Frame[1]));

    Command(s, AC_REMOVESKIN);
    EXPECT_EQ(Look(s), static_cast<COLORREF>(ColorToRGB(form->Color())));
}

TEST_F(Splitter, HintsAreOffWhileItIsDraggedAndComeBackAsTheyWere)
{
    TsSplitter* s = Make();
    for (bool shown : {true, false}) {
        Application->SetShowHint(shown);
        s->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 5));
        EXPECT_FALSE(Application->ShowHint());
        // A second press before the release keeps the setting of the first.
        s->Perform(WM_RBUTTONDOWN, MK_RBUTTON | MK_LBUTTON, MAKELPARAM(2, 5));
        s->Perform(WM_LBUTTONUP, 0, MAKELPARAM(2, 5));
        EXPECT_EQ(Application->ShowHint(), shown);
    }
    Application->SetShowHint(true);
}
