// The shell list view over real folders and over a namespace of the test's own: masks and order,
// finding by typing, keys, refresh, automatic refresh, columns, the context menu and listings that
// fail or are re-entered.
#include "ShellKit.h"

#include "FakeShell.h"
#include "Menus.h"
#include "ShellSeams.h"
#include "sUtils.h"

using namespace testkit;
using namespace shellkit;

namespace {

class ShellList : public FormTest {
protected:
    void SetUp() override
    {
        FormTest::SetUp();
        form = MakeForm();
        form->SetBounds(50, 50, 500, 360);
        list = Create<TsShellListView>(form);
        list->SetBounds(8, 8, 470, 300);
        list->SetParent(form);
    }
    // The list on the test's folder tree.
    void ShowFolder(std::initializer_list<const char*> Entries)
    {
        MakeTree(dir, Entries);
        list->SetRoot(dir.Path());
        form->Show();
    }
    TForm* form = nullptr;
    TsShellListView* list = nullptr;
    TempDir dir;
};

// Views whose label edits a test ends by hand.
class TEditingList : public TsShellListView {
    VCL_CLASS(TEditingList, TsShellListView)
public:
    using TsShellListView::TsShellListView;
    void Rename(int Row, std::string Text)
    {
        LVITEMA item{};
        item.iItem = Row;
        item.pszText = Text.data();
        Edit(item);
    }
};

// A fake namespace in place of the desktop for a test's lifetime.
struct FakeDesktop {
    FakeShell shell;
    TComInterface<IShellFolder> desktop{shell.Desktop()};
    TacDesktopGuard guard{desktop};
};

} // namespace

TEST_F(ShellList, FoldersComeFirstAndAMaskWithWordsHidesFilesWithoutThatExtension)
{
    ShowFolder({"b.txt", "A.TXT", "c.log", "noext", "z.dat", "sub\\", "Another\\", "sub.d\\"});
    using V = std::vector<std::string>;
    EXPECT_EQ(RowNames(list), (V{"Another", "sub", "sub.d", "A.TXT", "b.txt", "c.log", "noext", "z.dat"}));
    const struct {
        const char* mask;
        V rows;
    } cases[] = {
        {"*.TXT", {"Another", "sub", "sub.d", "A.TXT", "b.txt"}},
        {"txt", {"Another", "sub", "sub.d", "A.TXT", "b.txt"}},
        {"*.txt;*.log", {"Another", "sub", "sub.d", "A.TXT", "b.txt", "c.log"}},
        {"*.*", {"Another", "sub", "sub.d", "A.TXT", "b.txt", "c.log", "noext", "z.dat"}},
    };
    for (const auto& c : cases) {
        list->SetMask(c.mask);
        EXPECT_EQ(RowNames(list), c.rows) << c.mask;
        EXPECT_EQ(list->Items()->Count(), static_cast<int>(c.rows.size()));
    }
    EXPECT_EQ(ListViewText(list->Handle(), 3), "A.TXT");
}

TEST_F(ShellList, UnsortedRowsKeepTheShellsOrder)
{
    ShowFolder({"b.txt", "a.txt", "sub\\"});
    list->SetSorted(false);
    std::vector<std::string> raw;
    TComInterface<IEnumIDList> items;
    ASSERT_EQ(list->RootFolder()->ShellFolder()->EnumObjects(nullptr, SHCONTF_FOLDERS | SHCONTF_NONFOLDERS, &items), S_OK);
    for (PIDL p = nullptr; items->Next(1, &p, nullptr) == S_OK; DisposePIDL(p))
        raw.push_back(GetDisplayName(list->RootFolder()->ShellFolder(), p, SHGDN_INFOLDER, seSystem));
    EXPECT_EQ(RowNames(list), raw);
}

TEST_F(ShellList, RowsComeFoldersFirstInTheFoldersOrderWhateverOrderTheShellListsThemIn)
{
    // The fake lists its items in the order given ("x\\" is a folder) and orders them by name.
    using V = std::vector<std::string>;
    const struct {
        V listed, rows;
    } cases[] = {
        {{"c", "a", "b"}, {"a", "b", "c"}},
        {{"a", "b", "c"}, {"a", "b", "c"}},
        {{"a", "b", "d", "c"}, {"a", "b", "c", "d"}},
        {{"a", "B\\", "c", "A\\"}, {"A", "B", "a", "c"}},
        {{"x\\", "a", "w\\", "b"}, {"w", "x", "a", "b"}},
        {{"b", "a", "x\\", "w\\"}, {"w", "x", "a", "b"}},
    };
    list->Free();
    for (const auto& c : cases) {
        FakeDesktop fake;
        for (std::string name : c.listed) {
            const bool folder = name.ends_with('\\');
            if (folder)
                name.pop_back();
            fake.shell.Add(nullptr, name, folder);
        }
        auto* view = Create<TsShellListView>(form);
        view->SetParent(form);
        view->HandleNeeded();
        EXPECT_EQ(RowNames(view), c.rows) << c.listed.front();
        view->Free();
    }
}

TEST_F(ShellList, TypingFindsRowsByPrefixWithoutCaseAndWrapsOnlyWhenAsked)
{
    ShowFolder({"Another\\", "sub\\", "A.TXT", "b.txt", "z.dat"});
    // The window asks from the row given (Wine: the start row itself, -1 before the first).
    EXPECT_EQ(FindRow(list, "a", -1, false), 0);
    EXPECT_EQ(FindRow(list, "a", 1, false), 2);
    EXPECT_EQ(FindRow(list, "AN", 3, false), -1);
    EXPECT_EQ(FindRow(list, "AN", 3, true), 0);
    EXPECT_EQ(FindRow(list, "z", 5, false), -1); // past the last row
    EXPECT_EQ(FindRow(list, "z", 5, true), 4);
    EXPECT_EQ(FindRow(list, "q", -1, true), -1);
}

TEST_F(ShellList, BackspaceGoesUpAndStaysAtTheDesktopAndAltEnterIsConsumed)
{
    ShowFolder({"sub\\"});
    list->Items()->Item(0)->SetSelected(true);
    list->Perform(WM_KEYDOWN, VK_RETURN, 0);
    EXPECT_TRUE(SameText(NormalDir(list->RootFolder()->PathName()), dir / "sub\\"));
    list->Perform(WM_KEYDOWN, VK_BACK, 0);
    EXPECT_TRUE(SameText(NormalDir(list->RootFolder()->PathName()), dir.Path()));

    list->SetRoot("rfDesktop");
    list->Perform(WM_KEYDOWN, VK_BACK, 0);
    EXPECT_EQ(GetPIDLSize(list->RootFolder()->AbsoluteID()), 2u);

    list->SetRoot(dir.Path());
    FakeDesktop fake;
    fake.shell.Add(nullptr, "item", false);
    TItemIDList root(fake.shell.AbsoluteList(fake.shell.Root()));
    list->SetPathFromID(root.get());
    ASSERT_EQ(list->FolderCount(), 1);
    list->Items()->Item(0)->SetSelected(true);
    TMessage alt{WM_SYSKEYDOWN, VK_RETURN, KF_ALTDOWN << 16, 0};
    list->WindowProc(alt);
    EXPECT_EQ(alt.WParam, 0u); // consumed
    EXPECT_EQ(fake.shell.Invoked, std::vector<std::string>{"properties"});
    list->Free();
}

TEST_F(ShellList, RefreshSelectsTheSameRowAgainTheLastOneToo)
{
    ShowFolder({"a.txt", "b.txt", "c.txt"});
    list->Items()->Item(2)->SetSelected(true);
    testkit::WriteFileBytes(dir / "d.txt", "x");
    list->Refresh();
    EXPECT_EQ(list->FolderCount(), 4);
    EXPECT_EQ(list->SelectedFolder(), list->GetFolder(2));
    list->Items()->Item(3)->SetSelected(true);
    list->Refresh();
    EXPECT_EQ(list->SelectedFolder(), list->GetFolder(3));
    list->ClearSelection();
    EXPECT_EQ(list->SelectedFolder(), nullptr);
    EXPECT_EQ(list->GetFolder(-1), nullptr);
}

TEST_F(ShellList, WithAutoRefreshAFileMadeOnDiskAppears)
{
    ShowFolder({"a.txt"});
    list->SetAutoRefresh(true);
    ASSERT_NE(list->Notifier(), nullptr);
    testkit::WriteFileBytes(dir / "new.txt", "x");
    EXPECT_TRUE(WaitFor([&] { return list->FolderCount() == 2; }, "the new file listed"));
    EXPECT_NE(list->Notifier(), nullptr); // watching again after its own refresh

    // A drive's root is watched as the root, not as the drive's current folder ("C:").
    const AnsiString before = GetCurrentDir();
    SetCurrentDir(dir.Path().c_str());
    list->SetRoot("C:\\");
    EXPECT_EQ(list->RootFolder()->FileSystemPath(), "C:\\");
    const int count = list->FolderCount();
    const std::string made = "C:\\vellorn-refresh-" + std::to_string(GetCurrentProcessId()) + ".tmp";
    testkit::WriteFileBytes(made, "x");
    EXPECT_TRUE(WaitFor([&] { return list->FolderCount() == count + 1; }, "the file made in the root listed"));
    DeleteFileA(made.c_str());
    SetCurrentDir(before);
    list->SetAutoRefresh(false);
    EXPECT_EQ(list->Notifier(), nullptr);
}

TEST_F(ShellList, ADoubleClickOpensAFolderAndStartsTheFileItselfByItsItemList)
{
    // In the code page "\uff41.txt" reads as "a.txt", the name of the other file.
    MakeTree(dir, {"sub\\", "a.txt"});
    MakeWide(dir.Path(), L"\uff41.txt");
    list->SetRoot(dir.Path());
    form->Show();
    ASSERT_EQ(list->FolderCount(), 3);
    TScopedShellRecorder shell;
    for (int row : {1, 2}) {
        shell.Calls.clear();
        list->ClearSelection();
        list->Items()->Item(row)->SetSelected(true);
        list->Perform(WM_LBUTTONDBLCLK, 0, 0);
        ASSERT_EQ(shell.Calls.size(), 1u);
        EXPECT_EQ(shell.Calls[0].Kind, TShellCall::ckExecuteItem);
        const PCIDL id = list->GetFolder(row)->AbsoluteID();
        EXPECT_EQ(shell.Calls[0].Item, std::string(reinterpret_cast<const char*>(id), GetPIDLSize(id) - 2)) << row;
    }
    list->ClearSelection();
    list->Items()->Item(0)->SetSelected(true);
    list->Perform(WM_LBUTTONDBLCLK, 0, 0);
    EXPECT_TRUE(SameText(NormalDir(list->RootFolder()->PathName()), dir / "sub\\"));
}

TEST_F(ShellList, ACaptionLeftAsItWasRenamesNothingInTheListOrTheTree)
{
    FakeDesktop fake;
    fake.shell.Add(nullptr, "old", true, SFGAO_CANRENAME);
    auto* tree = Create<TEditingTree>(form);
    tree->SetBounds(8, 8, 200, 300);
    tree->SetParent(form);
    auto* edited = Create<TEditingList>(form);
    edited->SetParent(form);
    form->Show();
    ASSERT_EQ(edited->FolderCount(), 1);
    edited->Rename(0, "old");
    TTreeNode* node = tree->Items()->GetFirstNode()->getFirstChild();
    ASSERT_NE(node, nullptr);
    tree->Rename(node, "old");
    EXPECT_EQ(fake.shell.Renames, 0);
    // A folder renamed in the list is read again by its partner tree.
    edited->SetShellTreeView(tree);
    edited->Rename(0, "new");
    EXPECT_EQ(fake.shell.Renames, 1);
    ASSERT_NE(tree->Items()->GetFirstNode()->getFirstChild(), nullptr);
    EXPECT_EQ(tree->Items()->GetFirstNode()->getFirstChild()->Text(), "new");
    tree->Free();
    edited->Free();
    list->Free();
}

TEST_F(ShellList, AFolderTheCodePageCannotSpellIsWatchedByItsShortPath)
{
    MakeWide(dir.Path(), L"\u6587\u4ef6\\");
    std::wstring wide(dir.Path().size() + 1, L'\0');
    wide.resize(static_cast<std::size_t>(MultiByteToWideChar(CP_ACP, 0, dir.Path().c_str(), -1, wide.data(),
                                                             static_cast<int>(wide.size())) - 1));
    wide += L"\u6587\u4ef6";
    PIDL id = nullptr;
    ASSERT_EQ(DesktopShellFolder()->ParseDisplayName(nullptr, nullptr, wide.data(), nullptr, &id, nullptr), S_OK);
    TItemIDList owned(id);
    form->Show();
    list->SetPathFromID(id);
    list->SetAutoRefresh(true);
    ASSERT_NE(list->Notifier(), nullptr);
    EXPECT_NE(GetFileAttributesA(list->Notifier()->Root().c_str()), INVALID_FILE_ATTRIBUTES);
    MakeWide(dir.Path(), L"\u6587\u4ef6\\new.txt");
    EXPECT_TRUE(WaitFor([&] { return list->FolderCount() == 1; }, "the new file listed"));
}

TEST_F(ShellList, TheTimeColumnIsWideEnoughForItsTexts)
{
    ShowFolder({"doc.txt"});
    list->SetViewStyle(vsReport);
    ASSERT_EQ(list->FolderCount(), 1);
    int checked = 0;
    for (int c = 1; c < list->Columns()->Count(); ++c) {
        const std::string text = ListViewText(list->Handle(), 0, c);
        // The column whose text is the file's time (it holds the year's digits and a colon).
        if (text.find(':') == std::string::npos || text.find('2') == std::string::npos)
            continue;
        const int needed = static_cast<int>(SendMessageA(list->Handle(), LVM_GETSTRINGWIDTHA, 0,
                                                         reinterpret_cast<LPARAM>(text.c_str())));
        EXPECT_GE(list->Column(c)->Width(), needed + 12) << text;
        ++checked;
    }
    EXPECT_EQ(checked, 1);
}

TEST_F(ShellList, TheSameRootInOtherCaseAndAFolderWithoutEnumeratorChangeNothing)
{
    FakeDesktop fake;
    fake.shell.Add(nullptr, "x", false);
    form->Show();
    const int enumerations = fake.shell.Enumerations;
    list->SetRoot("RFDESKTOP");
    EXPECT_EQ(fake.shell.Enumerations, enumerations);
    fake.shell.EnumWithoutEnumerator = true;
    list->Refresh();
    EXPECT_EQ(list->FolderCount(), 0);
    EXPECT_EQ(list->Items()->Count(), 0);
    list->Free();
}

TEST_F(ShellList, ANavigationAskedForDuringAListingWaitsUntilItEnds)
{
    ShowFolder({"a.txt", "b.txt", "sub\\", "sub\\inner.txt"});
    TItemIDList sub(CopyPIDL(list->GetFolder(0)->AbsoluteID()));
    int added = 0;
    list->OnAddFolder = [&](TObject*, TacShellFolder*, bool&) {
        if (++added == 1)
            list->SetPathFromID(sub.get());
    };
    list->Refresh();
    EXPECT_TRUE(SameText(NormalDir(list->RootFolder()->PathName()), dir / "sub\\"));
    EXPECT_EQ(RowNames(list), std::vector<std::string>{"inner.txt"});
}

TEST_F(ShellList, ReportColumnsSkipEmptyAndRepeatedCaptionsAndShowTheirOwnTexts)
{
    FakeDesktop fake;
    fake.shell.Columns = {"Name", "Size", "", "SIZE", "Type", "Hidden", "Later"};
    fake.shell.ColumnStates = {SHCOLSTATE_ONBYDEFAULT, SHCOLSTATE_ONBYDEFAULT, SHCOLSTATE_ONBYDEFAULT,
                               SHCOLSTATE_ONBYDEFAULT, SHCOLSTATE_ONBYDEFAULT, 0, SHCOLSTATE_ONBYDEFAULT};
    FakeItem* file = fake.shell.Add(nullptr, "file", false);
    file->Details = {"12", "blank", "again", "Text", "hidden"};
    list->SetViewStyle(vsReport);
    form->Show();
    ASSERT_EQ(list->Columns()->Count(), 3);
    EXPECT_EQ(list->Column(2)->Caption(), "Type");
    EXPECT_EQ(list->Column(1)->Alignment(), taRightJustify);
    EXPECT_EQ(ListViewText(list->Handle(), 0, 1), "12");
    EXPECT_EQ(ListViewText(list->Handle(), 0, 2), "Text");
    list->Free();
}

TEST_F(ShellList, TheTrackedContextMenuGetsTheMenuMessagesAndItsCommandRuns)
{
    FakeDesktop fake;
    fake.shell.Add(nullptr, "one", false);
    fake.shell.Add(nullptr, "two", false);
    form->Show();
    list->Items()->Item(0)->SetSelected(true);
    UINT answered = 0;
    TMenuTrackerGuard tracker([&](HMENU Menu, UINT, int, int, HWND Owner) -> BOOL {
        for (UINT msg : {WM_INITMENUPOPUP, WM_MEASUREITEM, WM_DRAWITEM, WM_MENUCHAR})
            answered += SendMessageA(Owner, msg, 0, 0) == 0;
        // The command of "delete" (the fake's verbs: open, rename, delete, properties).
        return static_cast<BOOL>(GetMenuItemID(Menu, 2));
    });
    list->Perform(WM_CONTEXTMENU, reinterpret_cast<WPARAM>(list->Handle()), MAKELPARAM(-1, -1));
    EXPECT_EQ(fake.shell.MenuMessages, (std::vector<UINT>{WM_INITMENUPOPUP, WM_MEASUREITEM, WM_DRAWITEM, WM_MENUCHAR}));
    EXPECT_EQ(answered, 4u); // "not implemented" from the menu is answered 0 all the same
    EXPECT_EQ(fake.shell.Invoked, std::vector<std::string>{"delete"});
    EXPECT_EQ(TrackedContextMenu(), nullptr);
    SendMessageA(list->Handle(), WM_INITMENUPOPUP, 0, 0);
    EXPECT_EQ(fake.shell.MenuMessages.size(), 4u);
    list->Free();
}
