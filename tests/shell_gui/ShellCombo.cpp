// The shell combo box: the chain of folders with the missing ancestors put in one level deeper
// each, roots, indexes out of range, a box built with its form, folders that cannot be listed,
// a box filled on demand, and a choice in the open list that waits for the list to close; Escape
// and the wheel choose nothing.
#include "ShellKit.h"

#include "FakeShell.h"
#include "acShellCtrls.h"
#include "sUtils.h"

using namespace testkit;
using namespace shellkit;

namespace {

class ShellCombo : public FormTest {
protected:
    void SetUp() override
    {
        FormTest::SetUp();
        form = MakeForm();
        form->SetBounds(50, 50, 520, 360);
        combo = Create<TsShellComboBox>(form);
        combo->SetBounds(8, 8, 300, 24);
        combo->SetParent(form);
    }
    // Each item as "<indent>:<caption>".
    std::vector<std::string> Chain()
    {
        std::vector<std::string> items;
        for (int i = 0; i < combo->ItemsEx()->Count(); ++i) {
            TsComboItem* item = combo->ItemsEx()->Items(i);
            items.push_back(std::to_string(item->Indend()) + ":" + item->Caption());
        }
        return items;
    }
    TForm* form = nullptr;
    TsShellComboBox* combo = nullptr;
    TempDir dir;
};

} // namespace

TEST_F(ShellCombo, TheDesktopShowsItsItemsAndTheDrivesUnderMyComputer)
{
    form->Show();
    const std::vector<std::string> items = Chain();
    ASSERT_FALSE(items.empty());
    EXPECT_EQ(items[0].substr(0, 2), "0:");
    PIDL drives = nullptr;
    ASSERT_EQ(SHGetSpecialFolderLocation(nullptr, CSIDL_DRIVES, &drives), S_OK);
    TItemIDList owned(drives);
    const int computer = combo->IndexFromID(drives);
    ASSERT_GT(computer, 0);
    EXPECT_EQ(combo->ItemsEx()->Items(computer)->Indend(), 1);
    ASSERT_LT(computer + 1, combo->ItemsEx()->Count());
    EXPECT_EQ(combo->ItemsEx()->Items(computer + 1)->Indend(), 2); // a drive
    EXPECT_EQ(combo->Items()->Count(), combo->ItemsEx()->Count());
    EXPECT_EQ(combo->GetItemIndex(), 0);

    // Every folder of a chain shows its own picture (a folder's, not the system root's).
    MakeTree(dir, {"a\\"});
    combo->SetPath(dir / "a");
    for (int i = 0; i < combo->ItemsEx()->Count(); ++i) {
        TacShellFolder* folder = combo->GetFolder(i);
        EXPECT_EQ(combo->ItemsEx()->Items(i)->ImageIndex(), GetShellImage(folder->AbsoluteID(), false, false))
            << folder->PathName();
    }
}

TEST_F(ShellCombo, OnlyTheMissingAncestorsGoInEachOneLevelDeeper)
{
    MakeTree(dir, {"a\\", "a\\x\\", "a\\x\\y\\", "b\\"});
    combo->SetRoot(dir.Path());
    form->Show();
    const std::string root = Chain()[0];
    EXPECT_EQ(Chain(), (std::vector<std::string>{root, "1:a", "1:b"}));
    combo->SetPath(dir / "a\\x\\y");
    EXPECT_EQ(Chain(), (std::vector<std::string>{root, "1:a", "2:x", "3:y", "1:b"}));
    EXPECT_EQ(combo->GetItemIndex(), 3);
    EXPECT_TRUE(SameText(combo->GetPath(), dir / "a\\x\\y\\"));
    combo->SetPath(dir / "b");
    EXPECT_EQ(Chain(), (std::vector<std::string>{root, "1:a", "1:b"}));

    EXPECT_EQ(combo->GetFolder(-1), nullptr);
    EXPECT_EQ(combo->GetFolder(99), combo->GetFolder(2));
    EXPECT_EQ(Refusal<Exception>([&] { combo->SetPath(dir / "none"); }),
              "Error setting path: \"" + dir / "none" + "\"");

    // Deep levels share the deepest indent, so that their rows keep their names inside the box.
    std::string deep = "a\\";
    for (int level = 2; level <= 10; ++level)
        deep += std::to_string(level) + "\\";
    ForceDirectories((dir / deep).c_str());
    combo->SetPath(dir / deep);
    const std::vector<std::string> chain = Chain();
    ASSERT_EQ(chain.size(), 12u);
    EXPECT_EQ(std::vector<std::string>(chain.begin() + 7, chain.end() - 1),
              (std::vector<std::string>{"7:7", "8:8", "8:9", "8:10"}));
}

TEST_F(ShellCombo, RootsInOtherCaseChangeNothingAndABadRootKeepsTheOldOne)
{
    combo->SetRoot(dir.Path());
    form->Show();
    TsComboItem* first = combo->ItemsEx()->Items(0);
    combo->SetRoot(AnsiUpperCase(dir.Path()));
    EXPECT_EQ(combo->ItemsEx()->Items(0), first);
    EXPECT_EQ(Refusal<Exception>([&] { combo->SetRoot(dir / "none"); }), "Error Setting Path");
    EXPECT_EQ(combo->Root(), dir.Path());
    EXPECT_EQ(combo->ItemsEx()->Items(0), first);
}

TEST_F(ShellCombo, ABoxBuiltWithItsFormHasItsChainWhenFirstAskedFor)
{
    MakeTree(dir, {"a\\", "b\\"});
    TForm* built = MakeForm();
    BeginLoading(built);
    auto* box = Create<TsShellComboBox>(built);
    box->SetBounds(8, 8, 300, 24);
    box->SetParent(built);
    box->SetRoot(dir.Path());
    LoadedAll(built);
    ASSERT_NE(box->GetFolder(2), nullptr);
    EXPECT_EQ(box->GetFolder(2)->DisplayName(), "b");
    built->Show();
    EXPECT_EQ(box->Items()->Count(), 3);
    EXPECT_EQ(box->GetItemIndex(), 0);
}

TEST_F(ShellCombo, AFolderWithoutEnumeratorOrThatCannotBeListedAddsNothing)
{
    FakeShell shell;
    shell.Add(nullptr, "a", true);
    TComInterface<IShellFolder> fake(shell.Desktop());
    TacDesktopGuard guard(fake);
    shell.EnumWithoutEnumerator = true;
    combo->SetUseShellImages(false);
    form->Show();
    EXPECT_EQ(combo->ItemsEx()->Count(), 1);
    combo->Free();

    shell.EnumWithoutEnumerator = false;
    shell.EnumResult = E_ACCESSDENIED;
    auto* denied = Create<TsShellComboBox>(form);
    denied->SetUseShellImages(false);
    denied->SetParent(form);
    EXPECT_NO_THROW(denied->HandleNeeded());
    EXPECT_EQ(denied->ItemsEx()->Count(), 1) << "the root alone";
    denied->Free();
}

TEST_F(ShellCombo, OnDemandABoxWithoutTheFocusHoldsTheChainAloneUntilItDropsDownOrIsFocused)
{
    MakeTree(dir, {"a\\", "a\\x\\", "b\\"});
    auto* other = Create<TEdit>(form);
    other->SetBounds(8, 40, 100, 24);
    other->SetParent(form);
    combo->SetFillOnDemand(true);
    combo->SetRoot(dir.Path());
    form->Show();
    other->SetFocus();
    combo->SetPath(dir / "a\\x");
    const std::string root = Chain()[0];
    const std::vector<std::string> whole{root, "1:a", "2:x", "1:b"};
    EXPECT_EQ(Chain(), (std::vector<std::string>{root, "1:a", "2:x"}));
    combo->SetDroppedDown(true);
    ASSERT_TRUE(WaitFor([&] { return combo->DroppedDown(); }, "the list open"));
    EXPECT_EQ(Chain(), whole);
    EXPECT_EQ(combo->Items()->Count(), 4);
    EXPECT_EQ(combo->GetItemIndex(), 2);
    combo->SetDroppedDown(false);
    ASSERT_TRUE(WaitFor([&] { return !combo->DroppedDown(); }, "the list closed"));

    // The focus fills the box, and a box with the focus keeps every item through a move.
    combo->SetPath(dir / "b");
    EXPECT_EQ(Chain(), (std::vector<std::string>{root, "1:b"}));
    combo->SetFocus();
    EXPECT_EQ(Chain(), (std::vector<std::string>{root, "1:a", "1:b"}));
    EXPECT_EQ(combo->GetItemIndex(), 2);
    combo->SetPath(dir / "a\\x");
    EXPECT_EQ(Chain(), whole);
}

TEST_F(ShellCombo, AChoiceInTheOpenListCountsOnceItClosesEscapeAndTheWheelChooseNothing)
{
    MakeTree(dir, {"a\\", "b\\"});
    auto* list = Create<TsShellListView>(form);
    list->SetBounds(8, 40, 300, 200);
    list->SetParent(form);
    combo->SetRoot(dir.Path());
    combo->SetShellListView(list);
    int changes = 0;
    combo->OnChange = [&](TObject*) { ++changes; };
    form->Show();
    EXPECT_EQ(combo->GetItemIndex(), 0);
    combo->SetFocus();
    combo->SetDroppedDown(true);
    ASSERT_TRUE(WaitFor([&] { return combo->DroppedDown(); }, "the list open"));
    // Down to "b" in the open list: the list stays where it was.
    PressKey(VK_DOWN);
    PressKey(VK_DOWN);
    EXPECT_TRUE(WaitFor([&] { return combo->GetItemIndex() == 2; }, "b chosen in the open list"));
    EXPECT_TRUE(SameText(NormalDir(list->RootFolder()->PathName()), dir.Path()));
    EXPECT_EQ(changes, 0) << "no choice yet";
    PressKey(VK_RETURN);
    EXPECT_TRUE(WaitFor([&] { return !combo->DroppedDown(); }, "the list closed"));
    EXPECT_TRUE(SameText(NormalDir(list->RootFolder()->PathName()), dir / "b\\"));
    EXPECT_EQ(changes, 1);

    // Escape gives the folder shown back; the wheel scrolls the open list and moves nothing, and
    // over the closed box it does nothing.
    const auto wheel = [&](int Delta) {
        SendMessageA(combo->Handle(), WM_MOUSEWHEEL, MAKEWPARAM(0, Delta), MAKELPARAM(10, 10));
        PumpPending();
    };
    wheel(WHEEL_DELTA);
    EXPECT_EQ(combo->GetItemIndex(), 2);
    EXPECT_EQ(changes, 1);
    combo->SetDropDownCount(2);
    combo->SetDroppedDown(true);
    ASSERT_TRUE(WaitFor([&] { return combo->DroppedDown(); }, "the list open"));
    wheel(-WHEEL_DELTA);
    EXPECT_EQ(SendMessageA(combo->Handle(), CB_GETTOPINDEX, 0, 0), 1);
    EXPECT_EQ(combo->GetItemIndex(), 2);
    PressKey(VK_UP);
    EXPECT_TRUE(WaitFor([&] { return combo->GetItemIndex() == 1; }, "a chosen in the open list"));
    PressKey(VK_ESCAPE);
    EXPECT_TRUE(WaitFor([&] { return !combo->DroppedDown(); }, "the list closed"));
    EXPECT_EQ(combo->GetItemIndex(), 2);
    EXPECT_TRUE(SameText(NormalDir(list->RootFolder()->PathName()), dir / "b\\"));
    EXPECT_EQ(changes, 1);
}
