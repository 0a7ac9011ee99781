// Shell items: item identifier lists, names the shell hands out, display names, roots, detail
// texts and renaming, over the real shell and over a namespace of the test's own.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <set>

#include "FakeShell.h"
#include "TestKit.h"
#include "WideNames.h"
#include "acShellCtrlsItems.h"
#include "sUtils.h"

using testkit::FakeItem;
using testkit::FakeShell;

namespace {

// A list made by hand: one item per text, its count followed by the text's bytes.
TItemIDList ListOf(std::initializer_list<std::string> Items)
{
    std::string bytes;
    for (const std::string& s : Items) {
        const USHORT cb = static_cast<USHORT>(s.size() + 2);
        bytes.append(reinterpret_cast<const char*>(&cb), 2);
        bytes += s;
    }
    bytes.append(2, '\0');
    PIDL p = CreatePIDL(static_cast<UINT>(bytes.size()));
    std::memcpy(p, bytes.data(), bytes.size());
    return TItemIDList(p);
}

std::string BytesOf(PCIDL P) { return std::string(reinterpret_cast<const char*>(P), GetPIDLSize(P)); }

std::unique_ptr<TacShellFolder> ItemOf(FakeShell& Shell, FakeItem* Item)
{
    TItemIDList list(Shell.AbsoluteList(Item));
    return std::unique_ptr<TacShellFolder>(CreateRootFromPIDL(list.get()));
}

} // namespace

TEST(ShellItems, ListHelpersCountCopyJoinAndCut)
{
    TItemIDList desktop(DesktopPIDL());
    TItemIDList ab = ListOf({"ab", "cde"});
    EXPECT_EQ(GetPIDLSize(nullptr), 0u);
    EXPECT_EQ(GetPIDLSize(desktop.get()), 2u);
    EXPECT_EQ(GetPIDLSize(ab.get()), 4u + 5u + 2u);
    EXPECT_EQ(GetPIDLCount(ab.get()), 2);
    EXPECT_EQ(GetPIDLCount(nullptr), 0);

    TItemIDList joined(ConcatPIDLs(nullptr, ab.get()));
    EXPECT_EQ(BytesOf(joined.get()), BytesOf(ab.get()));
    TItemIDList alone(ConcatPIDLs(ab.get(), nullptr)); // no second list: still one terminator
    EXPECT_EQ(BytesOf(alone.get()), BytesOf(ab.get()));
    TItemIDList both(ConcatPIDLs(ab.get(), ListOf({"f"}).get()));
    EXPECT_EQ(BytesOf(both.get()), BytesOf(ListOf({"ab", "cde", "f"}).get()));

    TItemIDList last(RelativeFromAbsolute(both.get()));
    EXPECT_EQ(BytesOf(last.get()), BytesOf(ListOf({"f"}).get()));
    StripLastID(both.get());
    EXPECT_EQ(BytesOf(both.get()), BytesOf(ab.get()));
    StripLastID(desktop.get());
    EXPECT_EQ(GetPIDLSize(desktop.get()), 2u);

    TPIDLList one = CreatePIDLList(ListOf({"x"}).get());
    ASSERT_EQ(one.size(), 1u);
    EXPECT_EQ(GetPIDLSize(one[0].get()), 2u);
    TPIDLList three = CreatePIDLList(ListOf({"ab", "cde", "f"}).get());
    ASSERT_EQ(three.size(), 3u);
    EXPECT_EQ(BytesOf(three[1].get()), BytesOf(ListOf({"ab"}).get()));
    EXPECT_EQ(BytesOf(three[2].get()), BytesOf(ab.get()));
}

TEST(ShellItems, NamesAreReadWithinTheirItemAndFreedWithTheShellAllocator)
{
    testkit::CountingMalloc counting;
    TShellMallocGuard guard(&counting);
    {
        STRRET wide{};
        wide.uType = STRRET_WSTR;
        wide.pOleStr = static_cast<LPWSTR>(ShellMalloc()->Alloc(8));
        std::memcpy(wide.pOleStr, L"abc", 8);
        EXPECT_EQ(StrRetToString(nullptr, wide), "abc");
    }
    EXPECT_EQ(counting.Live(), 0);

    // A name at an offset of the item that runs to the item's end without a terminator.
    TItemIDList item = ListOf({"xxnameX", "next"});
    STRRET offset{};
    offset.uType = STRRET_OFFSET;
    offset.uOffset = 4;
    EXPECT_EQ(StrRetToString(item.get(), offset), "nameX");
    offset.uOffset = 9; // past the item
    EXPECT_EQ(StrRetToString(item.get(), offset), "");

    const struct {
        const char* given;
        const char* shown;
    } cases[] = {{"?1?2x", "12x"}, {"?", "?"}, {"?a?", "?a?"}, {"plain", "plain"}};
    for (const auto& c : cases) {
        STRRET s{};
        s.uType = STRRET_CSTR;
        lstrcpyA(s.cStr, c.given);
        EXPECT_EQ(StrRetToString(nullptr, s), c.shown) << c.given;
    }
}

TEST(ShellItems, DisplayNamesShowOrHideExtensionsMarkLookAlikesAndFallBackFromClassNames)
{
    testkit::TempDir dir;
    testkit::WriteFileBytes(dir / "report.txt", "x");
    FakeShell shell;
    FakeItem* bare = shell.Add(nullptr, "report", false);
    bare->Parsing = dir / "report.txt";
    FakeItem* full = shell.Add(nullptr, "report.txt", false);
    full->Parsing = dir / "report.txt";
    FakeItem* folder = shell.Add(nullptr, "notes.d", true);
    folder->Parsing = dir.Path();
    FakeItem* special = shell.Add(nullptr, "Computer", true);
    special->Special = "::{20D04FE0-3AEA-1069-A2D8-08002B30309D}";
    // A name shown like another's ("dup") is marked whichever of its names ends in what a path
    // drops: the shell shows "dup." as "dup", or hides the extension of "dup .txt" ("dup ").
    FakeItem* dotted = shell.Add(nullptr, "dup", false);
    dotted->Parsing = dir / "dup.";
    FakeItem* blank = shell.Add(nullptr, "dup ", false);
    blank->Parsing = dir / "dup .txt";
    TComInterface<IShellFolder> desktop(shell.Desktop());
    auto name = [&](FakeItem* i, TacShowExtension e) {
        TItemIDList p(shell.AbsoluteList(i));
        return GetDisplayName(desktop, p.get(), SHGDN_INFOLDER, e);
    };
    EXPECT_EQ(name(bare, seShow), "report.txt");
    EXPECT_EQ(name(full, seShow), "report.txt");
    EXPECT_EQ(name(full, seHide), "report");
    EXPECT_EQ(name(bare, seSystem), "report");
    EXPECT_EQ(name(folder, seHide), "notes.d"); // not a file
    EXPECT_EQ(name(special, seSystem), "Computer");
    EXPECT_EQ(name(dotted, seSystem), "dup~"); // no short name: no such file
    EXPECT_EQ(name(blank, seSystem), "dup .txt"); // the name that reaches it
    EXPECT_EQ(GetDisplayName(nullptr, nullptr, 0, seSystem), "parentfolder = nil");
}

TEST(ShellItems, RootsAreKindsOrPathsAndABadRootKeepsTheOldText)
{
    testkit::TempDir dir;
    AnsiString text = "c:";
    std::unique_ptr<TacShellFolder> root(CreateRootFolder(nullptr, "", text));
    EXPECT_EQ(root->PathName(), "C:\\");
    text = "RFDESKTOP";
    root.reset(CreateRootFolder(root.release(), "c:", text));
    EXPECT_EQ(GetPIDLSize(root->AbsoluteID()), 2u);
    EXPECT_EQ(root->Level(), 0);
    text = dir.Path();
    root.reset(CreateRootFolder(root.release(), "RFDESKTOP", text));
    EXPECT_TRUE(SameText(NormalDir(root->PathName()), dir.Path()));

    for (const char* bad : {"", "Z:\\no\\such\\folder", "rfNoSuchKind"}) {
        text = bad;
        EXPECT_EQ(testkit::Refusal<Exception>([&] { CreateRootFolder(root.get(), "kept", text); }),
                  "Error Setting Path")
            << bad;
        EXPECT_EQ(text, "kept");
    }
    EXPECT_TRUE(SameText(NormalDir(root->PathName()), dir.Path())); // the old root is still whole
}

TEST(ShellItems, LevelsCountTheAncestorsBelowTheDesktop)
{
    FakeShell shell;
    FakeItem* a = shell.Add(nullptr, "a", true);
    FakeItem* b = shell.Add(a, "b", true);
    TComInterface<IShellFolder> fake(shell.Desktop());
    TacDesktopGuard guard(fake);
    auto root = ItemOf(shell, a);
    TItemIDList rel(RelativeFromAbsolute(TItemIDList(shell.AbsoluteList(b)).get()));
    TacShellFolder child(root.get(), rel.get(), nullptr);
    TacShellFolder grandchild(&child, rel.get(), nullptr);
    EXPECT_EQ(root->Level(), 0);
    EXPECT_EQ(child.Level(), 1);
    EXPECT_EQ(grandchild.Level(), 2);
    EXPECT_EQ(child.DisplayName(), "b");
    EXPECT_TRUE(child.ShellFolder() != nullptr);
}

TEST(ShellItems, DetailsAreLoadedOnceAndReadByColumn)
{
    FakeShell shell;
    FakeItem* dir = shell.Add(nullptr, "dir", true);
    FakeItem* file = shell.Add(dir, "f", false);
    file->Details = {"10", "text"};
    TComInterface<IShellFolder> fake(shell.Desktop());
    TacDesktopGuard guard(fake);
    auto root = ItemOf(shell, dir);
    TItemIDList rel(RelativeFromAbsolute(TItemIDList(shell.AbsoluteList(file)).get()));
    TacShellFolder item(root.get(), rel.get(), nullptr);

    EXPECT_EQ(testkit::Refusal<Exception>([&] { item.Details(1); }), "f: Missing call to LoadColumnDetails");
    item.LoadColumnDetails(root.get(), nullptr, 3);
    EXPECT_EQ(item.Details(1), "10");
    EXPECT_EQ(item.Details(2), "text");
    EXPECT_EQ(item.Details(3), ""); // the folder has no third column
    EXPECT_EQ(item.Details(9), "");
    file->Details = {"20", "other"};
    item.LoadColumnDetails(root.get(), nullptr, 3); // loaded already
    EXPECT_EQ(item.Details(1), "10");

    item.SetDetails(2, "two");
    item.SetDetails(6, "six"); // past the end: the columns between stay empty
    item.SetDetails(0, "none");
    EXPECT_EQ(item.DetailCount(), 6);
    EXPECT_EQ(item.Details(2), "two");
    EXPECT_EQ(item.Details(5), "");
    EXPECT_EQ(item.Details(6), "six");
}

TEST(ShellItems, FileDetailsOfAFileThatHasGoneAreEmpty)
{
    testkit::TempDir tmp;
    testkit::WriteFileBytes(tmp / "a.txt", "12345");
    FakeShell shell;
    shell.Folder2 = false; // no detail interface: the file itself is read
    FakeItem* dir = shell.Add(nullptr, "dir", true, SFGAO_FILESYSTEM);
    dir->Parsing = tmp.Path();
    FakeItem* file = shell.Add(dir, "a.txt", false, SFGAO_FILESYSTEM);
    file->Parsing = tmp / "a.txt";
    TComInterface<IShellFolder> fake(shell.Desktop());
    TacDesktopGuard guard(fake);
    auto root = ItemOf(shell, dir);
    TItemIDList rel(RelativeFromAbsolute(TItemIDList(shell.AbsoluteList(file)).get()));
    TacShellFolder present(root.get(), rel.get(), nullptr), gone(root.get(), rel.get(), nullptr);
    present.LoadColumnDetails(root.get(), nullptr, 4);
    EXPECT_EQ(present.Details(1), "5");
    EXPECT_EQ(present.Details(2), ".txt");
    EXPECT_FALSE(present.Details(3).empty());
    EXPECT_EQ(present.Details(4), IntToStr(static_cast<unsigned long>(GetFileAttributesA((tmp / "a.txt").c_str()))));
    DeleteFileA((tmp / "a.txt").c_str());
    gone.LoadColumnDetails(root.get(), nullptr, 4);
    EXPECT_EQ(gone.DetailCount(), 4);
    EXPECT_EQ(gone.Details(1), "");
}

TEST(ShellItems, RenameKeepsAnItemEvenWhenTheShellHandsNoneBack)
{
    FakeShell shell;
    FakeItem* file = shell.Add(nullptr, "old", false, SFGAO_CANRENAME);
    FakeItem* fixed = shell.Add(nullptr, "fixed", false);
    shell.RenameWithoutItem = true;
    TComInterface<IShellFolder> fake(shell.Desktop());
    TacDesktopGuard guard(fake);
    auto item = ItemOf(shell, file);
    ASSERT_TRUE(item->Rename("new"));
    ASSERT_NE(item->RelativeID(), nullptr);
    EXPECT_EQ(shell.ItemOf(item->AbsoluteID()), file);
    EXPECT_EQ(item->DisplayName(), "new");
    auto locked = ItemOf(shell, fixed);
    EXPECT_FALSE(locked->Rename("other"));
    EXPECT_EQ(shell.Renames, 1);
}

TEST(ShellItems, RenameOnDiskGivesTheItemItsNewPath)
{
    testkit::TempDir dir;
    testkit::WriteFileBytes(dir / "a.txt", "x");
    AnsiString text = dir.Path();
    std::unique_ptr<TacShellFolder> root(CreateRootFolder(nullptr, "", text));
    TComInterface<IEnumIDList> items;
    ASSERT_EQ(root->ShellFolder()->EnumObjects(nullptr, SHCONTF_NONFOLDERS, &items), S_OK);
    PIDL child = nullptr;
    ASSERT_EQ(items->Next(1, &child, nullptr), S_OK);
    TItemIDList owned(child);
    TacShellFolder item(root.get(), child, nullptr);
    ASSERT_TRUE(item.Rename("b.txt"));
    EXPECT_TRUE(FileExists(dir / "b.txt"));
    EXPECT_FALSE(FileExists(dir / "a.txt"));
    EXPECT_TRUE(SameText(item.PathName(), dir / "b.txt"));
    EXPECT_EQ(testkit::Refusal<Exception>([&] { item.Rename("bad:name?"); }), "Rename to bad:name? failed");
}

// In the code page "\uff41.txt" reads as "a.txt" and "\u6587\u4ef6.txt" as "??.txt"; a path drops the
// space of "dup " and the dot of "dot."; a path ending in "nul", "con.txt" or "Com1.log" opens the
// device. Each item still shows a name of its own and is reached by a path to itself, or by none.
TEST(ShellItems, NamesTheCodePageSpellsLikeAnotherShowApartAndPathsReachTheItemItself)
{
    testkit::TempDir dir;
    const std::pair<const wchar_t*, const char*> files[] = {
        {L"a.txt", "plain"}, {L"\uff41.txt", "wide a"}, {L"\u6587\u4ef6.txt", "chinese"}, {L"dup", "dup"},
        {L"dup ", "spaced"}, {L"dot.", "dotted"}, {L"nul", "nul"}, {L"con.txt", "con"}, {L"Com1.log", "com1"}};
    for (const auto& [name, content] : files)
        testkit::MakeWide(dir.Path(), name, content);
    AnsiString text = dir.Path();
    std::unique_ptr<TacShellFolder> root(CreateRootFolder(nullptr, "", text));
    TComInterface<IEnumIDList> items;
    ASSERT_EQ(root->ShellFolder()->EnumObjects(nullptr, SHCONTF_NONFOLDERS, &items), S_OK);
    std::vector<std::unique_ptr<TacShellFolder>> found;
    for (PIDL p = nullptr; items->Next(1, &p, nullptr) == S_OK; DisposePIDL(p))
        found.push_back(std::make_unique<TacShellFolder>(root.get(), p, nullptr));
    ASSERT_EQ(found.size(), std::size(files));
    std::set<std::string> shown, reached;
    TacShellFolder *wide = nullptr, *spaced = nullptr;
    for (const auto& item : found) {
        const AnsiString name = item->DisplayName();
        EXPECT_EQ(name.find('?'), AnsiString::npos) << name;
        EXPECT_TRUE(name.back() != ' ' && name.back() != '.') << "the look-alike of another name: " << name;
        shown.insert(AnsiUpperCase(name));
        EXPECT_TRUE(item->Exists()) << name;
        const AnsiString path = item->FileSystemPath();
        // A device's name never stands for the entry: its short name does, or no path at all.
        if (path.empty())
            continue;
        const std::string content = testkit::ReadFileBytes(path);
        reached.insert(content);
        if (content == "wide a")
            wide = item.get();
        if (content == "spaced")
            spaced = item.get();
    }
    EXPECT_EQ(shown.size(), std::size(files)) << "two items show one caption";
    for (const char* content : {"plain", "wide a", "chinese", "dup", "spaced", "dotted"})
        EXPECT_EQ(reached.count(content), 1u) << content;
    EXPECT_EQ(reached.count(""), 0u) << "a device read";

    // Gone from the disk, the item knows it although "a.txt" still exists.
    ASSERT_NE(wide, nullptr);
    ASSERT_TRUE(DeleteFileA(wide->FileSystemPath().c_str()));
    EXPECT_FALSE(wide->Exists());
    // Nor is "dup " found as "dup".
    ASSERT_NE(spaced, nullptr);
    ASSERT_TRUE(DeleteFileA(spaced->FileSystemPath().c_str()));
    ASSERT_TRUE(FileExists(dir / "dup"));
    EXPECT_FALSE(spaced->Exists());
}

TEST(ShellItems, ExistsAsksTheDiskForPathsOfFilesAndTakesLiteralPathsAsTheyAre)
{
    testkit::TempDir dir;
    testkit::WriteFileBytes(dir / "a.txt", "x");
    FakeShell shell;
    const struct {
        std::string parsing;
        bool exists;
    } cases[] = {
        {dir / "a.txt", true},
        {dir / "gone.txt", false},
        {"\\\\?\\" + dir / "a.txt", true},
        {"\\\\?\\" + dir / "gone.txt", false},
        {"\\\\server", true}, // a server, or a share, has no attributes to ask for
        {"\\\\server\\share", true},
        {"::{20D04FE0-3AEA-1069-A2D8-08002B30309D}", true},
    };
    std::vector<FakeItem*> made;
    for (const auto& c : cases) {
        made.push_back(shell.Add(nullptr, "item" + std::to_string(made.size()), false));
        made.back()->Parsing = c.parsing;
    }
    TComInterface<IShellFolder> fake(shell.Desktop());
    TacDesktopGuard guard(fake);
    for (std::size_t i = 0; i < std::size(cases); ++i)
        EXPECT_EQ(ItemOf(shell, made[i])->Exists(), cases[i].exists) << cases[i].parsing;
}

TEST(ShellItems, AMovedFoldersItemsFollowItAndOthersStayWhereTheyAre)
{
    FakeShell shell;
    FakeItem* a = shell.Add(nullptr, "a", true);
    FakeItem* b = shell.Add(a, "b", true);
    FakeItem* y = shell.Add(shell.Add(b, "x", true), "y", false);
    FakeItem* c = shell.Add(a, "c", true);
    FakeItem* bbx = shell.Add(shell.Add(a, "bb", true), "x", false);
    FakeItem* zbx = shell.Add(shell.Add(shell.Add(nullptr, "z", true), "b", true), "x", false);
    TComInterface<IShellFolder> fake(shell.Desktop());
    TacDesktopGuard guard(fake);
    auto list = [&](FakeItem* Item) { return TItemIDList(shell.AbsoluteList(Item)); };
    const TItemIDList from = list(b), to = list(c);
    // Where b's items are when b is at c: c's list, then their own items below b.
    const std::string cxy = BytesOf(to.get()).substr(0, GetPIDLSize(to.get()) - 2) +
                            BytesOf(list(y).get()).substr(GetPIDLSize(from.get()) - 2);
    const struct {
        FakeItem* item;
        std::string moved; // "" for none
    } cases[] = {{b, BytesOf(to.get())}, {y, cxy}, {a, ""}, {bbx, ""}, {zbx, ""}};
    for (const auto& c : cases) {
        const TItemIDList moved(MovedPIDL(list(c.item).get(), from.get(), to.get()));
        EXPECT_EQ(moved ? BytesOf(moved.get()) : std::string(), c.moved) << c.item->Name;
    }
}
