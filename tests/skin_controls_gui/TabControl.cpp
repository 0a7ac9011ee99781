// The skinned tab control: its own layout of rows while skinned (the picked tab's row moved to the
// page, the others in their order), its own selection that OnChanging guards for clicks, keys and
// accelerators, its tab strings in the window, and the native control back without the skin.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "ControlsKit.h"
#include "Forms.h"
#include "sTabControl.h"

using namespace controlskit;

namespace {

class TabControlTest : public ShippedSkinTest {
protected:
    TsTabControl* Make(int Count, int Width, bool MultiLine)
    {
        auto* tc = Create<TsTabControl>(form);
        tc->SetBounds(10, 10, Width, 150);
        tc->SetMultiLine(MultiLine);
        tc->SetParent(form);
        for (int i = 0; i < Count; ++i)
            tc->Tabs()->Add(i == 1 ? AnsiString("&Второй") : "Вкладка " + IntToStr(i));
        form->Show();
        testkit::WaitIdle();
        tc->Repaint();
        return tc;
    }
    // The tabs of each row of the own layout, from the top.
    static std::vector<std::vector<int>> Rows(TsTabControl* Tc)
    {
        std::map<int, std::vector<int>> byTop;
        for (const TsTabInfo& t : Tc->TabsArray())
            byTop[t.R.top].push_back(t.Index);
        std::vector<std::vector<int>> rows;
        for (auto& [top, tabs] : byTop) {
            std::sort(tabs.begin(), tabs.end());
            rows.push_back(tabs);
        }
        return rows;
    }
    static void Click(TsTabControl* Tc, int Tab)
    {
        for (const TsTabInfo& t : Tc->TabsArray())
            if (t.Index == Tab) {
                const int x = (t.R.left + t.R.right) / 2, y = (t.R.top + t.R.bottom) / 2;
                Tc->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
                Tc->Perform(WM_LBUTTONUP, 0, MAKELPARAM(x, y));
            }
    }
};

} // namespace

TEST_F(TabControlTest, PickingATabOfAnOuterRowMovesThatRowToThePageAndKeepsTheOthersInOrder)
{
    TsTabControl* tc = Make(9, 200, true);
    ASSERT_TRUE(tc->OwnCalc());
    const auto before = Rows(tc);
    ASSERT_GE(before.size(), 3u);
    const int picked = before.front().back();
    int changes = 0;
    tc->OnChange = [&](TObject*) { ++changes; };
    Click(tc, picked);
    EXPECT_EQ(tc->TabIndex(), picked);
    EXPECT_EQ(changes, 1);
    // The rows in their fixed order (by their first tab), the picked one at the page.
    auto expected = before;
    std::sort(expected.begin(), expected.end());
    const auto row = std::find_if(expected.begin(), expected.end(),
                                  [&](const std::vector<int>& r) { return r.front() <= picked && picked <= r.back(); });
    std::rotate(row, row + 1, expected.end());
    EXPECT_EQ(Rows(tc), expected) << "the picked row at the page, the others in their order";
    // A tab of the row at the page changes no rows.
    Click(tc, expected.back().front());
    EXPECT_EQ(Rows(tc), expected);
    // A click on the focused control alone shows the picked tab active, as a full repaint would.
    ASSERT_TRUE(tc->Focused());
    Click(tc, expected.back().back());
    testkit::WaitIdle();
    const testkit::PixelImage shown = testkit::ScreenPixels(tc->Handle());
    tc->SkinData()->BGChanged = true;
    tc->Repaint();
    EXPECT_TRUE(SameImage(shown, testkit::ScreenPixels(tc->Handle())));
}

TEST_F(TabControlTest, OnChangingRefusesForClicksKeysAndAccelerators)
{
    for (bool skinned : {true, false}) {
        if (!skinned)
            Unload();
        TsTabControl* tc = Make(4, 380, false);
        ASSERT_EQ(tc->OwnCalc(), skinned);
        tc->SetTabIndex(0);
        bool allow = false;
        int changes = 0;
        tc->OnChanging = [&](TObject*, bool& Allow) { Allow = allow; };
        tc->OnChange = [&](TObject*) { ++changes; };
        const TRect second = tc->TabRect(2);
        const LPARAM at = MAKELPARAM((second.left + second.right) / 2, (second.top + second.bottom) / 2);
        if (skinned) {
            tc->Perform(WM_LBUTTONDOWN, MK_LBUTTON, at);
        } else {
            SendMessageA(tc->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, at);
            SendMessageA(tc->Handle(), WM_LBUTTONUP, 0, at);
        }
        EXPECT_EQ(tc->TabIndex(), 0) << "click, skinned " << skinned;
        tc->Perform(WM_KEYDOWN, VK_RIGHT, 0);
        EXPECT_EQ(tc->TabIndex(), 0) << "key, skinned " << skinned;
        EXPECT_EQ(changes, 0);
        TMessage accel = MakeMessage(CM_DIALOGCHAR, static_cast<unsigned char>("в"[0]), 0);
        tc->Perform(accel);
        EXPECT_EQ(tc->TabIndex(), 0) << "accelerator, skinned " << skinned;
        allow = true;
        tc->Perform(accel);
        EXPECT_EQ(tc->TabIndex(), 1) << "accelerator allowed, skinned " << skinned;
        tc->Free();
    }
}

TEST_F(TabControlTest, KeysMoveTheOwnSelectionAndHomeClaimsItsKey)
{
    TsTabControl* tc = Make(4, 380, false);
    tc->SetTabIndex(1);
    TMessage m = MakeMessage(WM_KEYDOWN, VK_RIGHT, 0);
    tc->Perform(m);
    EXPECT_EQ(tc->TabIndex(), 2);
    m = MakeMessage(WM_KEYDOWN, VK_END, 0);
    tc->Perform(m);
    EXPECT_EQ(tc->TabIndex(), 3);
    EXPECT_EQ(m.Result, 0);
    tc->Perform(WM_KEYDOWN, VK_RIGHT, 0);
    EXPECT_EQ(tc->TabIndex(), 0) << "from the last to the first";
    tc->SetTabIndex(2);
    m = MakeMessage(WM_KEYDOWN, VK_HOME, 0);
    tc->Perform(m);
    EXPECT_EQ(tc->TabIndex(), 0);
    EXPECT_EQ(m.Result, 1);
}

TEST_F(TabControlTest, AnIndexThatMatchesNoTabSelectsTheFirstTabInBothSelections)
{
    TsTabControl* tc = Make(3, 380, false);
    tc->SetTabIndex(2);
    tc->SetTabIndex(99);
    EXPECT_EQ(tc->TabIndex(), 0);
    EXPECT_EQ(SendMessageA(tc->Handle(), TCM_GETCURSEL, 0, 0), 0) << "not the index that matched nothing";
    EXPECT_EQ(tc->SkinTabRect(-1), TRect{}) << "no tab at -1";
    tc->Tabs()->Clear();
    EXPECT_EQ(tc->TabIndex(), 0) << "an empty own layout reads 0";
    Unload();
    Command(tc, AC_REMOVESKIN);
    EXPECT_EQ(tc->TabIndex(), -1) << "the native control answers -1";
}

TEST_F(TabControlTest, RefusedChangesRaiseWithTheirReasonAndChangeNothing)
{
    TsTabControl* tc = Make(3, 380, false);
    EXPECT_EQ(testkit::Refusal<EListError>([&] { tc->Tabs()->Delete(99); }), "Failed to delete tab at index 99");
    EXPECT_EQ(tc->Tabs()->Count(), 3);
    tc->SetTabPosition(tpLeft);
    EXPECT_TRUE(tc->MultiLine());
    EXPECT_EQ(testkit::Refusal<EListError>([&] { tc->SetMultiLine(false); }),
              "MultiLine must be True when TabPosition is tpLeft or tpRight");
    EXPECT_TRUE(tc->MultiLine());
    EXPECT_EQ(testkit::Refusal<EInvalidOperation>([&] { tc->SetStyle(tsButtons); }),
              "Tab style incompatible with current tab position");
    EXPECT_EQ(testkit::Refusal<EInvalidOperation>([&] { tc->SetTabHeight(-1); }),
              "TsTabControl property out of range");
}

TEST_F(TabControlTest, TheSelectionOfTheNativeControlIsKeptWhenTheSkinComes)
{
    Unload();
    TsTabControl* tc = Make(4, 380, false);
    const TRect tab = tc->TabRect(2);
    const LPARAM at = MAKELPARAM((tab.left + tab.right) / 2, (tab.top + tab.bottom) / 2);
    SendMessageA(tc->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageA(tc->Handle(), WM_LBUTTONUP, 0, at);
    ASSERT_EQ(tc->TabIndex(), 2);
    LoadSkinFolder(ShippedSkin("Neutral"));
    Command(tc, AC_NEWSKIN);
    Command(tc, AC_REPAINT);
    ASSERT_TRUE(tc->OwnCalc());
    EXPECT_EQ(tc->TabIndex(), 2);
}

TEST_F(TabControlTest, TheWindowMadeAgainKeepsTheTabsAndTheIndex)
{
    TsTabControl* tc = Make(5, 380, false);
    tc->SetTabIndex(3);
    Unload();
    Command(tc, AC_REMOVESKIN);
    EXPECT_FALSE(tc->OwnCalc());
    ASSERT_EQ(tc->Tabs()->Count(), 5);
    EXPECT_EQ(tc->Tabs()->Strings(4), "Вкладка 4");
    EXPECT_EQ(tc->TabIndex(), 3);
    tc->SetHotTrack(true);
    EXPECT_EQ(tc->Tabs()->Count(), 5);
    EXPECT_EQ(tc->TabIndex(), 3);
}

TEST_F(TabControlTest, TabsAddedWhileSkinnedBringTheSkinnedArrowsInPlaceOfTheNativeOnes)
{
    TsTabControl* tc = Make(10, 200, false);
    EXPECT_TRUE(FindWindowExA(tc->Handle(), nullptr, UPDOWN_CLASSA, nullptr) == nullptr);
    ASSERT_NE(tc->UpDown(), nullptr);
    tc->Tabs()->Clear();
    EXPECT_EQ(tc->UpDown(), nullptr);
}

TEST_F(TabControlTest, ScrolledTabsKeepTheirRowAndTakeTheirClicksAtTopAndBottom)
{
    for (TTabPosition position : {tpTop, tpBottom}) {
        TsTabControl* tc = Make(10, 200, false);
        tc->SetTabPosition(position);
        tc->SetOwnerDraw(true);
        SendMessageA(tc->Handle(), WM_HSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 2), 0); // as the arrows do
        ASSERT_LE(tc->TabRect(0).right, tc->TabRect(0).left) << "the first tab scrolled out";
        std::vector<int> drawn;
        tc->OnDrawTab = [&](TsCustomTabControl*, int Index, const TRect&, bool) { drawn.push_back(Index); };
        tc->SkinData()->BGChanged = true;
        tc->Repaint();
        EXPECT_TRUE(std::find(drawn.begin(), drawn.end(), 0) == drawn.end()) << "the selected tab out of view";
        tc->FillTabs();
        int shown = 0;
        for (const TsTabInfo& t : tc->TabsArray()) {
            const TRect native = tc->TabRect(t.Index);
            if (native.right <= native.left)
                continue; // scrolled out of view
            ++shown;
            EXPECT_EQ(t.R.left, native.left) << t.Index;
            EXPECT_EQ(t.R.right, native.right) << t.Index;
            EXPECT_LE(std::abs(t.R.top - native.top), 2) << "in the native row, tab " << t.Index << " at " << position;
        }
        ASSERT_GT(shown, 1);
        for (const TsTabInfo& t : std::vector<TsTabInfo>(tc->TabsArray()))
            if (tc->TabRect(t.Index).right > tc->TabRect(t.Index).left && t.R.right < tc->Width() - 40) {
                Click(tc, t.Index);
                EXPECT_EQ(tc->TabIndex(), t.Index) << "a click at its centre, at " << position;
            }
        tc->Free();
    }
}

TEST_F(TabControlTest, TheSameTabStaysSelectedAsTabsComeAndGoAndOnlyARealChangeIsReported)
{
    for (bool skinned : {true, false}) {
        if (!skinned)
            Unload();
        TsTabControl* tc = Make(5, 380, false);
        tc->SetTabIndex(3);
        int changes = 0;
        tc->OnChange = [&](TObject*) { ++changes; };
        tc->SetHotTrack(true);
        EXPECT_EQ(changes, 0) << "a new window keeps the tab and reports nothing, skinned " << skinned;
        tc->Tabs()->Delete(1);
        EXPECT_EQ(tc->Tabs()->Strings(tc->TabIndex()), "Вкладка 3") << "skinned " << skinned;
        tc->Tabs()->Insert(2, "Новая"); // at the selected tab's place
        EXPECT_EQ(tc->Tabs()->Strings(tc->TabIndex()), "Вкладка 3") << "skinned " << skinned;
        EXPECT_EQ(changes, 0);
        tc->SetTabIndex(tc->TabIndex());
        EXPECT_EQ(changes, 0) << "the same tab again, skinned " << skinned;
        tc->SetTabIndex(4);
        EXPECT_EQ(changes, 1);
        tc->Tabs()->Delete(4); // the selected last tab
        ASSERT_EQ(tc->TabIndex(), 3) << "skinned " << skinned;
        EXPECT_EQ(tc->Tabs()->Strings(tc->TabIndex()), "Вкладка 3");
        EXPECT_EQ(changes, 2) << "another tab selected";
        tc->SetTabIndex(1);
        tc->Tabs()->Delete(1); // the selected tab: the one that takes its place
        ASSERT_EQ(tc->TabIndex(), 1) << "skinned " << skinned;
        EXPECT_EQ(tc->Tabs()->Strings(1), "Новая");
        EXPECT_EQ(changes, 4) << "another tab selected";
        // Without the skin the same tab, reported by no one.
        if (skinned) {
            Unload();
            Command(tc, AC_REMOVESKIN);
            ASSERT_FALSE(tc->OwnCalc());
        }
        EXPECT_EQ(tc->TabIndex(), 1) << "skinned " << skinned;
        EXPECT_EQ(changes, 4) << "skinned " << skinned;
        tc->Free();
    }
}

TEST_F(TabControlTest, OwnerDrawnTabsAreToldTheirOwnIndexWhenTheRowsMove)
{
    TsTabControl* tc = Make(9, 200, true);
    tc->SetOwnerDraw(true);
    testkit::WaitIdle();
    Click(tc, Rows(tc).front().back()); // an outer row moves to the page
    std::map<int, TRect> told;
    tc->OnDrawTab = [&](TsCustomTabControl*, int Index, const TRect& R, bool) { told[Index] = R; };
    tc->SkinData()->BGChanged = true;
    tc->Repaint();
    ASSERT_EQ(told.size(), 9u);
    const auto& tabs = tc->TabsArray();
    for (std::size_t i = 0; i < tabs.size(); ++i)
        EXPECT_EQ(told[tabs[i].Index], tc->SkinTabRect(static_cast<int>(i))) << "tab " << tabs[i].Index;
}
