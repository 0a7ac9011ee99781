// The shell combo box: the chain of folders with the missing ancestors put in one level deeper
// each, roots, indexes out of range, a box built with its form, and a choice in the open list
// that waits for the list to close before the partners move.
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

TEST_F(ShellCombo, AFolderWithoutEnumeratorAddsNothing)
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
}

TEST_F(ShellCombo, AChoiceInTheOpenListMovesThePartnersOnceItCloses)
{
    MakeTree(dir, {"a\\", "b\\"});
    auto* list = Create<TsShellListView>(form);
    list->SetBounds(8, 40, 300, 200);
    list->SetParent(form);
    combo->SetRoot(dir.Path());
    combo->SetShellListView(list);
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
    PressKey(VK_RETURN);
    EXPECT_TRUE(WaitFor([&] { return !combo->DroppedDown(); }, "the list closed"));
    EXPECT_TRUE(SameText(NormalDir(list->RootFolder()->PathName()), dir / "b\\"));
}
