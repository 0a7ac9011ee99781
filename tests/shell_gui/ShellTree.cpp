// The shell tree view: nodes made when their parent expands, refresh keeping what the user had,
// partners that move once, the nodes' folders freed, the shell commands' ends.
#include "ShellKit.h"

#include "FakeShell.h"
#include "ShellSeams.h"
#include "acShellCtrls.h"
#include "sUtils.h"

#include <stdexcept>

using namespace testkit;
using namespace shellkit;

namespace {

class ShellTree : public FormTest {
protected:
    void SetUp() override
    {
        FormTest::SetUp();
        form = MakeForm();
        form->SetBounds(50, 50, 600, 360);
        tree = Create<TEditingTree>(form);
        tree->SetBounds(8, 8, 250, 300);
        tree->SetParent(form);
    }
    TTreeNode* Child(TTreeNode* Parent, const char* Name)
    {
        for (TTreeNode* n = Parent->getFirstChild(); n; n = n->getNextSibling())
            if (n->Text() == Name)
                return n;
        throw std::runtime_error(std::string("no node ") + Name); // the test fails, nothing touches null

    }
    TForm* form = nullptr;
    TEditingTree* tree = nullptr;
    TempDir dir;
};

struct FakeDesktop {
    FakeShell shell;
    TComInterface<IShellFolder> desktop{shell.Desktop()};
    TacDesktopGuard guard{desktop};
};

} // namespace

TEST_F(ShellTree, AFolderShowsItsButtonBeforeItsNodesAndIsReadOnce)
{
    FakeDesktop fake;
    FakeItem* a = fake.shell.Add(nullptr, "a", true);
    fake.shell.Add(a, "inner", true);
    fake.shell.Add(nullptr, "b", true);
    form->Show();
    TTreeNode* root = tree->Items()->GetFirstNode();
    ASSERT_EQ(root->Count(), 2);
    TTreeNode* nodeA = Child(root, "a");
    EXPECT_TRUE(nodeA->HasChildren());
    EXPECT_EQ(nodeA->Count(), 0);
    EXPECT_FALSE(Child(root, "b")->HasChildren());
    const int reads = fake.shell.Enumerations;
    nodeA->Expand(false);
    nodeA->Collapse(false);
    nodeA->Expand(false);
    EXPECT_EQ(nodeA->Count(), 1);
    EXPECT_EQ(fake.shell.Enumerations, reads + 1);
    EXPECT_EQ(tree->GetFolder(1), TacCustomShellTreeView::FolderOf(nodeA));
    EXPECT_EQ(tree->GetFolder(-1), nullptr);
    // A folder that reports success without an enumerator has no nodes.
    fake.shell.EnumWithoutEnumerator = true;
    TTreeNode* inner = nodeA->getFirstChild();
    inner->SetHasChildren(true);
    inner->Expand(false);
    EXPECT_EQ(inner->Count(), 0);
    EXPECT_FALSE(inner->HasChildren());
    tree->Free();
}

TEST_F(ShellTree, RefreshKeepsExpansionSelectionAndTopNodeAndReadsNewFolders)
{
    MakeTree(dir, {"a\\", "a\\a1\\", "a\\a1\\deep\\", "b\\"});
    for (int i = 0; i < 30; ++i)
        CreateDirectoryA((dir / ("c" + std::to_string(100 + i))).c_str(), nullptr);
    tree->SetRoot(dir.Path());
    form->Show();
    TTreeNode* root = tree->Items()->GetFirstNode();
    Child(root, "a")->Expand(false);
    TTreeNode* a1 = Child(Child(root, "a"), "a1");
    a1->Expand(false);
    a1->SetSelected(true);
    TTreeNode* top = Child(root, "c110");
    tree->SetTopItem(top);
    ASSERT_EQ(tree->TopItem(), top);
    CreateDirectoryA((dir / "a\\a2").c_str(), nullptr);

    tree->Refresh(root);
    root = tree->Items()->GetFirstNode();
    TTreeNode* a = Child(root, "a");
    EXPECT_TRUE(a->Expanded());
    EXPECT_EQ(a->Count(), 2); // a2 read anew
    EXPECT_TRUE(Child(a, "a1")->Expanded());
    EXPECT_EQ(tree->Selected(), Child(a, "a1"));
    EXPECT_EQ(tree->TopItem()->Text(), "c110");

    tree->SetSelected(nullptr);
    CreateDirectoryA((dir / "d").c_str(), nullptr);
    tree->RefreshEvent(); // nothing selected: the root is read again
    EXPECT_EQ(tree->Items()->GetFirstNode()->Count(), 33);
}

TEST_F(ShellTree, PartnersMoveOnceEachAndFollowAFilesFolder)
{
    MakeTree(dir, {"a\\", "a\\one.txt", "a\\two.txt", "b\\", "note.txt"});
    auto* list = Create<TsShellListView>(form);
    list->SetBounds(270, 8, 300, 300);
    list->SetParent(form);
    auto* combo = Create<TsShellComboBox>(form);
    combo->SetBounds(270, 310, 300, 24);
    combo->SetParent(form);
    tree->SetObjectTypes(TacShellObjectTypes{otFolders, otNonFolders});
    tree->SetRoot(dir.Path());
    tree->SetShellListView(list);
    tree->SetShellComboBox(combo);
    EXPECT_EQ(list->ShellTreeView(), tree);
    EXPECT_EQ(combo->ShellTreeView(), tree);
    EXPECT_TRUE(SameText(list->Root(), dir.Path()));
    form->Show();
    int listed = 0, comboChanges = 0, treeChanges = 0;
    list->OnAddFolder = [&](TObject*, TacShellFolder*, bool&) { ++listed; };
    combo->OnChange = [&](TObject*) { ++comboChanges; };
    tree->OnChange = [&](TObject*, TTreeNode*) { ++treeChanges; };

    Child(tree->Items()->GetFirstNode(), "a")->SetSelected(true);
    EXPECT_EQ(listed, 2); // one listing of a
    EXPECT_EQ(comboChanges, 1);
    EXPECT_EQ(treeChanges, 1); // no echo from the list back to the tree
    EXPECT_TRUE(SameText(combo->GetPath(), dir / "a\\"));

    Child(tree->Items()->GetFirstNode(), "note.txt")->SetSelected(true);
    EXPECT_TRUE(SameText(NormalDir(list->RootFolder()->PathName()), dir.Path()));
    EXPECT_TRUE(SameText(combo->GetPath(), dir.Path()));
    list->Free();
    combo->Free();
    EXPECT_EQ(tree->ShellListView(), nullptr);
    EXPECT_EQ(tree->ShellComboBox(), nullptr);
}

TEST_F(ShellTree, APathSeveralLevelsDownExpandsEachAncestorAndAFileStartsShown)
{
    MakeTree(dir, {"a\\", "a\\b\\", "a\\b\\c\\", "a\\b\\doc.txt"});
    tree->SetRoot(dir.Path());
    form->Show();
    tree->SetPath(dir / "a\\b\\c");
    ASSERT_NE(tree->Selected(), nullptr);
    EXPECT_EQ(tree->Selected()->Text(), "c");
    EXPECT_TRUE(tree->Selected()->Parent()->Expanded());
    EXPECT_TRUE(SameText(tree->GetPath(), dir / "a\\b\\c"));
    EXPECT_EQ(Refusal<Exception>([&] { tree->SetPath(dir / "no\\such"); }), "Error Setting Path");

    // A file is started by its item list, the file itself whatever the code page makes of its name.
    TScopedShellRecorder shell;
    tree->SetObjectTypes(TacShellObjectTypes{otFolders, otNonFolders});
    tree->SetPath(dir / "a\\b\\doc.txt");
    ASSERT_NE(tree->Selected(), nullptr);
    tree->Selected()->Expand(false);
    ASSERT_EQ(shell.Calls.size(), 1u);
    EXPECT_EQ(shell.Calls[0].Kind, TShellCall::ckExecuteItem);
    const PCIDL id = tree->SelectedFolder()->AbsoluteID();
    EXPECT_EQ(shell.Calls[0].Item, std::string(reinterpret_cast<const char*>(id), GetPIDLSize(id) - 2));
}

TEST_F(ShellTree, TheNodesBelowARenamedFolderFollowItsNewPath)
{
    MakeTree(dir, {"a\\", "a\\inner\\", "a\\inner\\x.txt"});
    auto* list = Create<TsShellListView>(form);
    list->SetBounds(270, 8, 300, 150);
    list->SetParent(form);
    auto* combo = Create<TsShellComboBox>(form);
    combo->SetBounds(270, 170, 300, 24);
    combo->SetParent(form);
    tree->SetRoot(dir.Path());
    tree->SetShellListView(list);
    tree->SetShellComboBox(combo);
    form->Show();
    TTreeNode* a = Child(tree->Items()->GetFirstNode(), "a");
    a->Expand(false);
    TTreeNode* inner = Child(a, "inner");
    inner->SetSelected(true);
    ASSERT_EQ(list->RootFolder()->FileSystemPath(), dir / "a\\inner");
    tree->Rename(a, "b");
    EXPECT_TRUE(DirectoryExists(dir / "b\\inner"));
    EXPECT_TRUE(SameText(TacCustomShellTreeView::FolderOf(inner)->PathName(), dir / "b\\inner"));
    // The partners that showed the folder below follow it; F5 there lists it still.
    EXPECT_EQ(list->RootFolder()->FileSystemPath(), dir / "b\\inner");
    EXPECT_EQ(combo->GetPath(), dir / "b\\inner\\");
    list->Refresh();
    EXPECT_EQ(list->FolderCount(), 1);
    EXPECT_EQ(tree->Selected(), inner);

    // Renamed elsewhere in case only, the folder read again is the item it was: one node, open,
    // with the selection still below it.
    ASSERT_TRUE(MoveFileA((dir / "b").c_str(), (dir / "between").c_str())); // the way to a case-only rename
    ASSERT_TRUE(MoveFileA((dir / "between").c_str(), (dir / "B").c_str()));
    TTreeNode* root = tree->Items()->GetFirstNode();
    tree->Refresh(root);
    root = tree->Items()->GetFirstNode();
    ASSERT_EQ(root->Count(), 1);
    EXPECT_EQ(root->getFirstChild()->Text(), "B");
    ASSERT_NE(tree->Selected(), nullptr);
    EXPECT_EQ(TacCustomShellTreeView::FolderOf(tree->Selected())->FileSystemPath(), dir / "B\\inner");

    // A folder shown that has gone gives way to its nearest ancestor that still exists.
    DeleteFileA((dir / "B\\inner\\x.txt").c_str());
    RemoveDirectoryA((dir / "B\\inner").c_str());
    list->Refresh();
    EXPECT_TRUE(SameText(list->RootFolder()->FileSystemPath(), dir / "B"));
    list->Free();
    combo->Free();
}

TEST_F(ShellTree, ADeletedItemLosesItsNodeOnlyWhenGoneAndOpenGivesTheFolderBack)
{
    MakeTree(dir, {"kept\\", "gone\\"});
    tree->SetRoot(dir.Path());
    form->Show();
    TTreeNode* root = tree->Items()->GetFirstNode();
    Child(root, "kept")->SetSelected(true);
    tree->CommandCompleted("delete", true);
    EXPECT_EQ(root->Count(), 2);
    Child(root, "gone")->SetSelected(true);
    RemoveDirectoryA((dir / "gone").c_str());
    tree->CommandCompleted("delete", true);
    EXPECT_EQ(root->Count(), 1);

    // A selected folder deleted outside gives way to its nearest parent that exists.
    MakeTree(dir, {"kept\\deep\\", "kept\\deep\\deeper\\"});
    tree->Refresh(root);
    root = tree->Items()->GetFirstNode();
    Child(root, "kept")->Expand(false);
    Child(Child(root, "kept"), "deep")->Expand(false);
    Child(Child(Child(root, "kept"), "deep"), "deeper")->SetSelected(true);
    RemoveDirectoryA((dir / "kept\\deep\\deeper").c_str());
    RemoveDirectoryA((dir / "kept\\deep").c_str());
    tree->RefreshEvent();
    ASSERT_NE(tree->Selected(), nullptr);
    EXPECT_TRUE(SameText(NormalDir(tree->GetPath()), dir / "kept\\"));
    EXPECT_EQ(tree->Selected()->Count(), 0);

    const AnsiString before = GetCurrentDir();
    Child(root, "kept")->SetSelected(true);
    bool handled = false;
    tree->ExecuteCommand("open", handled);
    EXPECT_FALSE(handled);
    EXPECT_TRUE(SameText(NormalDir(GetCurrentDir()), dir.Path()));
    tree->CommandCompleted("open", false);
    EXPECT_EQ(GetCurrentDir(), before);
}

TEST_F(ShellTree, TheNodesFoldersAreFreedWithTheirNodesAndTheTree)
{
    MakeTree(dir, {"a\\", "a\\x\\", "a\\y\\", "b\\"});
    DesktopFolder(); // the process's own item is there before the count starts
    CountingMalloc counting;
    TShellMallocGuard guard(&counting);
    tree->SetRoot(dir.Path());
    form->Show();
    TTreeNode* a = Child(tree->Items()->GetFirstNode(), "a");
    a->Expand(false);
    const int live = counting.Live();
    a->Delete(); // a, x and y: two lists each
    EXPECT_EQ(counting.Live(), live - 6);
    tree->SetRoot("rfDesktop");
    tree->SetRoot(dir.Path()); // cleared and made again: root and b
    tree->Free();
    EXPECT_EQ(counting.Live(), 0);
}
