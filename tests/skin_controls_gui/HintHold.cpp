// A left press on a skinned button or splitter holds the application's hints off; they come back
// when the press ends, however it ends: the release, the mouse taken elsewhere, or the control
// freed.
#include <gtest/gtest.h>

#include "ControlsKit.h"
#include "ExtCtrlsPanels.h"
#include "Forms.h"
#include "sButton.h"
#include "sSplitter.h"

using namespace controlskit;

namespace {

class HintHold : public TablesTest {
protected:
    void SetUp() override
    {
        TablesTest::SetUp();
        Activate({Section("BUTTON", clGray, clSilver), Section("SPLITTER", clGray, clSilver)});
        auto* panel = Create<TPanel>(form);
        panel->SetAlign(alLeft);
        panel->SetWidth(100);
        panel->SetParent(form);
        splitter = Create<TsSplitter>(form);
        splitter->SetLeft(100);
        splitter->SetParent(form);
        button = Create<TsButton>(form);
        button->SetBounds(150, 10, 60, 24);
        button->SetParent(form);
        form->Show();
        testkit::WaitIdle();
        Application->SetShowHint(true);
    }
    static void Press(TControl* Control) { Control->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 5)); }
    TsSplitter* splitter = nullptr;
    TsButton* button = nullptr;
};

} // namespace

TEST_F(HintHold, TheMouseTakenElsewhereEndsThePressAndOnlyAPressThatTakesItHoldsThem)
{
    for (TControl* c : {static_cast<TControl*>(button), static_cast<TControl*>(splitter)}) {
        SCOPED_TRACE(c->ClassName());
        // A right press leaves the mouse free: its release may never come here.
        c->Perform(WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(2, 5));
        EXPECT_TRUE(Application->ShowHint());
        Press(c);
        EXPECT_FALSE(Application->ShowHint());
        ReleaseCapture();
        EXPECT_TRUE(Application->ShowHint());
    }
}

TEST_F(HintHold, AControlFreedWhilePressedGivesThemBack)
{
    for (TControl* c : {static_cast<TControl*>(button), static_cast<TControl*>(splitter)}) {
        SCOPED_TRACE(c->ClassName());
        Press(c);
        EXPECT_FALSE(Application->ShowHint());
        c->Free();
        EXPECT_TRUE(Application->ShowHint());
    }
}
