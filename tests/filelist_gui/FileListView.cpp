// The file list view over a temporary folder: its rows and their texts, sorting, new folders,
// renaming, the ".." row kept out of every file operation, paste, the size of a selection and the
// drive view over drives of the test's own.
#include "DriveSeams.h"
#include "FileListKit.h"
#include "sCheckBox.h"
#include "sUtils.h"

#include <algorithm>
#include <cstdlib>
#include <set>

using namespace filelistkit;

namespace {

class FileListView : public FileListTest {};

// Answers the attributes dialog from a timer inside its modal loop: the read-only box checked,
// the file removed first when asked, then OK.
bool RemoveFirst = false;
std::string Victim;

void CALLBACK AnswerAttributes(HWND, UINT, UINT_PTR Id, DWORD)
{
    auto* box = dynamic_cast<TForm*>(FindControl(GetActiveWindow()));
    if (!box || !box->FindComponent("cbReadOnly"))
        return;
    KillTimer(nullptr, Id);
    static_cast<TsCheckBox*>(box->FindComponent("cbReadOnly"))->SetChecked(true);
    if (RemoveFirst)
        DeleteFileA(Victim.c_str());
    box->SetModalResult(mrOk);
}

} // namespace

TEST_F(FileListView, RowsShowSizesKindsAndNamesCutAtTheirFirstDot)
{
    CreateDirectoryA((dir / "Folder.v2").c_str(), nullptr);
    MakeFile(dir / "empty.txt", 0);
    MakeFile(dir / "small.txt", 500);
    MakeFile(dir / "two.log", 2048);
    MakeFile(dir / "archive.tar.gz", 2100);
    MakeFile(dir / "skipped.bin", 10);
    view->SetMask("*.txt; *.log;*.gz");
    view->SetDirectory(dir.Path());
    ASSERT_TRUE(view->FileView());
    EXPECT_EQ(Captions(), (std::vector<std::string>{"Folder.v2", "archive.tar.gz", "empty.txt", "small.txt", "two.log"}));
    struct {
        const char* Caption;
        const char* Size;
        const char* Kind;
    } rows[] = {{"Folder.v2", " ", "dir"},
                {"archive.tar.gz", "2 KB", "file"},
                {"empty.txt", "0 KB", "file"},
                {"small.txt", "1 KB", "file"},
                {"two.log", "2 KB", "file"}};
    for (const auto& r : rows) {
        TListItem* item = Row(r.Caption);
        ASSERT_NE(item, nullptr);
        EXPECT_EQ(item->SubItemText(flSize), r.Size) << r.Caption;
        EXPECT_EQ(TsFileListView::RowKind(item), r.Kind) << r.Caption;
        EXPECT_EQ(TsFileListView::RowPath(item), dir / r.Caption) << r.Caption;
        EXPECT_FALSE(item->SubItemText(flModified).empty()) << r.Caption;
        // The time is shown whole (a cell's margins besides).
        const std::string time = item->SubItemText(flModified);
        EXPECT_GE(view->Column(3)->Width(), static_cast<int>(SendMessageA(view->Handle(), LVM_GETSTRINGWIDTHA, 0,
                                                                          reinterpret_cast<LPARAM>(time.c_str()))) + 12);
    }
    EXPECT_EQ(view->TotalSize(), 0 + 500 + 2048 + 2100);
    EXPECT_EQ(view->Column(1)->Caption(), "Size");
    EXPECT_EQ(view->Column(1)->Alignment(), taRightJustify);

    view->HideFileExt = true;
    view->UpdateFileList();
    EXPECT_EQ(Captions(), (std::vector<std::string>{"Folder", "archive", "empty", "small", "two"}));
    EXPECT_EQ(TsFileListView::RowPath(Row("archive")), dir / "archive.tar.gz");
}

TEST_F(FileListView, SortingKeepsTheWayUpFirstAndOrdersTimesByTheirValue)
{
    const std::string work = dir / "work";
    CreateDirectoryA(work.c_str(), nullptr);
    CreateDirectoryA((work + "\\sub").c_str(), nullptr);
    // Shown as "02.01.23 12:00" and "01.01.24 12:00": their texts sort the other way round; the
    // last two differ only in seconds, which the time format does not show.
    const SYSTEMTIME older = Time(2023, 1, 2), newer = Time(2024, 1, 1), first = Time(2024, 6, 1, 9, 30, 5),
                     second = Time(2024, 6, 1, 9, 30, 40);
    MakeFile(work + "\\b.txt", 3500, &older);
    MakeFile(work + "\\a.txt", 100, &newer);
    MakeFile(work + "\\d.txt", 2500, &second);
    MakeFile(work + "\\c.txt", 5000, &first);
    view->SetDaTeFormat(df_ddMMyy_DE);
    view->SetTFormatStr("HH:mm");
    view->SetShowParentItem(true);
    view->SetDirectory(work);
    EXPECT_EQ(Row("b.txt")->SubItemText(flModified), "02.01.23 12:00");
    using Order = std::vector<std::string>;
    EXPECT_EQ(Captions(), (Order{"..", "sub", "a.txt", "b.txt", "c.txt", "d.txt"}));

    // A new column sorts backwards at first (folders then last), a second click forwards.
    view->SortColumnClick(view, view->Column(3));
    EXPECT_EQ(Captions(), (Order{"..", "d.txt", "c.txt", "a.txt", "b.txt", "sub"}));
    view->SortColumnClick(view, view->Column(3));
    EXPECT_EQ(Captions(), (Order{"..", "sub", "b.txt", "a.txt", "c.txt", "d.txt"}));
    view->SortColumnClick(view, view->Column(1));
    EXPECT_EQ(Captions(), (Order{"..", "c.txt", "b.txt", "d.txt", "a.txt", "sub"}));
    view->SortColumnClick(view, view->Column(1));
    EXPECT_EQ(Captions(), (Order{"..", "sub", "a.txt", "d.txt", "b.txt", "c.txt"}));
    view->SortColumnClick(view, view->Column(0));
    EXPECT_EQ(Captions(), (Order{"..", "d.txt", "c.txt", "b.txt", "a.txt", "sub"}));
}

TEST_F(FileListView, CtrlNMakesNewFolderThenNewFolder2AndEditsItsName)
{
    view->SetDirectory(dir.Path());
    view->SetFocus();
    Key('N', true);
    ASSERT_TRUE(Exists(dir / "New Folder"));
    EXPECT_TRUE(view->IsEditing());
    ASSERT_NE(view->Selected(), nullptr);
    EXPECT_EQ(view->Selected()->Caption(), "New Folder");
    view->Selected()->CancelEdit();
    Key('N', true);
    EXPECT_TRUE(Exists(dir / "New Folder(2)"));
    EXPECT_EQ(view->Selected()->Caption(), "New Folder(2)");
    view->Selected()->CancelEdit();
    // Not in the drive view.
    TScopedFakeDrives drives;
    view->SetDirectory("");
    Key('N', true);
    EXPECT_FALSE(Exists(dir / "New Folder(3)"));
}

TEST_F(FileListView, TheWayUpIsNeverHandedToAFileOperation)
{
    const std::string work = dir / "work";
    CreateDirectoryA(work.c_str(), nullptr);
    MakeFile(work + "\\a.txt", 10);
    view->SetShowParentItem(true);
    view->SetDirectory(work);
    ASSERT_EQ(Captions(), (std::vector<std::string>{"..", "a.txt"}));

    Select({".."});
    Key(VK_DELETE);
    view->SendToPath(dir.Path());
    view->CutCopy(0);
    view->RenameFile();
    view->FileAttr();
    EXPECT_TRUE(Operations().empty());
    EXPECT_EQ(view->ClipboardList()->Count(), 0);
    EXPECT_FALSE(view->IsEditing());
    EXPECT_FALSE(view->CanEdit(Row("..")));
    EXPECT_EQ(view->SelectedSize(), 0);

    Select({"..", "a.txt"});
    Key(VK_DELETE);
    Select({"..", "a.txt"});
    view->SendToPath(dir.Path());
    const std::vector<TShellCall> ops = Operations();
    ASSERT_EQ(ops.size(), 2u);
    EXPECT_EQ(ops[0].Func, static_cast<UINT>(FO_DELETE));
    EXPECT_EQ(ops[0].Sources, (std::vector<AnsiString>{work + "\\a.txt"}));
    EXPECT_EQ(ops[0].Flags, FOF_ALLOWUNDO | FOF_NOERRORUI);
    EXPECT_EQ(ops[1].Func, static_cast<UINT>(FO_COPY));
    EXPECT_EQ(ops[1].Sources, (std::vector<AnsiString>{work + "\\a.txt"}));
    EXPECT_EQ(ops[1].Targets, (std::vector<AnsiString>{dir / "a.txt"}));
    Select({"..", "a.txt"});
    view->CutCopy(2);
    EXPECT_EQ(view->ClipboardList()->Text(), work + "\\a.txt\r\n");
    EXPECT_EQ(view->SelectedSize(), 10);
}

TEST_F(FileListView, AnEntryIsActedOnByAPathThatReachesItOrNotAtAll)
{
    // In the program's code page "café" reads as "cafe" (another file) and "中" as "?" (a wildcard,
    // matching "a.txt"); a path drops the last "." of "dot.".
    const std::wstring folder = L"\\\\?\\" + AnsiToWide(dir.Path());
    const std::pair<const wchar_t*, const char*> files[] = {
        {L"cafe.txt", "plain"}, {L"caf\u00e9.txt", "accent"}, {L"a.txt", "a"}, {L"\u4e2d.txt", "wide"}, {L"dot.", "dot"}};
    for (const auto& [name, content] : files) {
        HANDLE h = CreateFileW((folder + name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        DWORD written = 0;
        WriteFile(h, content, static_cast<DWORD>(strlen(content)), &written, nullptr);
        CloseHandle(h);
    }
    view->SetDirectory(dir.Path());
    ASSERT_EQ(view->Items()->Count(), 5);
    for (int i = 0; i < view->Items()->Count(); ++i)
        view->Items()->Item(i)->SetSelected(true);
    Key(VK_DELETE);
    const std::vector<TShellCall> ops = Operations();
    ASSERT_EQ(ops.size(), 1u);
    std::multiset<std::string> reached;
    for (const AnsiString& source : ops[0].Sources) {
        const std::string content = testkit::ReadFileBytes(source);
        EXPECT_FALSE(content.empty()) << source;
        reached.insert(content);
    }
    EXPECT_EQ(std::set<std::string>(reached.begin(), reached.end()).size(), reached.size()) << "a file taken twice";
    EXPECT_EQ(reached.count("plain") + reached.count("a"), 2u);
    for (const auto& [name, content] : files)
        DeleteFileW((folder + name).c_str());

    // A path of MAX_PATH characters or more is not handed on at all.
    const std::string deep = dir / std::string(200, 'd');
    CreateDirectoryA(deep.c_str(), nullptr);
    const std::wstring longName = L"\\\\?\\" + AnsiToWide(deep) + L"\\" + std::wstring(60, L'f');
    CloseHandle(CreateFileW(longName.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    view->SetDirectory(deep);
    ASSERT_EQ(view->Items()->Count(), 1);
    view->Items()->Item(0)->SetSelected(true);
    EXPECT_TRUE(Boxes().empty());
    Key(VK_DELETE);
    EXPECT_EQ(Operations().size(), 1u);
    // It is named in a message, not left out in silence.
    ASSERT_EQ(Boxes().size(), 1u);
    EXPECT_EQ(Boxes()[0], "Cannot delete:\r\n\"" + std::string(60, 'f') + "\"\r\nNo path in this program's code page reaches it.");
    DeleteFileW(longName.c_str());
}

TEST_F(FileListView, PasteCopiesOrMovesEachEntryOnceAndEmptiesTheList)
{
    const std::string sub = dir / "sub";
    CreateDirectoryA(sub.c_str(), nullptr);
    MakeFile(dir / "a.txt", 1);
    MakeFile(dir / "b.txt", 1);
    view->SetDirectory(dir.Path());
    Select({"a.txt", "b.txt"});
    Key('C', true);
    view->SetDirectory(sub);
    Key('V', true);
    Key('V', true);
    std::vector<TShellCall> ops = Operations();
    ASSERT_EQ(ops.size(), 2u);
    for (int i = 0; i < 2; ++i) {
        const std::string name = i == 0 ? "a.txt" : "b.txt";
        EXPECT_EQ(ops[i].Func, static_cast<UINT>(FO_COPY));
        EXPECT_EQ(ops[i].Sources, (std::vector<AnsiString>{dir / name}));
        EXPECT_EQ(ops[i].Targets, (std::vector<AnsiString>{sub + "\\" + name}));
        EXPECT_EQ(ops[i].Owner, form->Handle());
    }
    EXPECT_TRUE(Boxes().empty()) << "the second paste found nothing to paste";
    view->Paste();
    EXPECT_EQ(Boxes(), (std::vector<std::string>{"Нет вырезанных или скопированных файлов"}));

    view->SetDirectory(dir.Path());
    Select({"a.txt"});
    Key('X', true);
    view->SetDirectory(sub);
    Key('V', true);
    ops = Operations();
    ASSERT_EQ(ops.size(), 3u);
    EXPECT_EQ(ops[2].Func, static_cast<UINT>(FO_MOVE));

    // A drive has no name to take in a folder: the shell would copy it into the current folder.
    TScopedFakeDrives drives;
    drives.Drives = {{'C', DRIVE_FIXED, true, {}, "", "System (C:)", -1}};
    view->SetDirectory("");
    Select({"System  (C:)  "});
    Key('C', true);
    view->SetDirectory(sub);
    Key('V', true);
    EXPECT_EQ(Operations().size(), 3u);
}

TEST_F(FileListView, RenamingRefusesBadNamesAndTakesOnlyANewName)
{
    MakeFile(dir / "a.txt", 1);
    MakeFile(dir / "b.txt", 1);
    view->SetDirectory(dir.Path());
    Rename("a.txt", "a.txt");
    Rename("a.txt", "b.txt");
    EXPECT_EQ(Boxes(), (std::vector<std::string>{"\"b.txt\" уже существует"}));
    for (const char* bad : {"x\\y", "x/y", "x:y", "x*", "x?", "x\"", "x<", "x>", "x|"}) {
        prompts.Shown.clear();
        Rename("a.txt", bad);
        EXPECT_EQ(Boxes(), (std::vector<std::string>{"Недопустимые знаки"})) << bad;
    }
    EXPECT_TRUE(Operations().empty());
    Rename("a.txt", "c.txt");
    const std::vector<TShellCall> ops = Operations();
    ASSERT_EQ(ops.size(), 1u);
    EXPECT_EQ(ops[0].Func, static_cast<UINT>(FO_RENAME));
    EXPECT_EQ(ops[0].Sources, (std::vector<AnsiString>{dir / "a.txt"}));
    EXPECT_EQ(ops[0].Targets, (std::vector<AnsiString>{dir / "c.txt"}));

    // A name shown without its extension keeps it: the caption as it was renames nothing.
    MakeFile(dir / "archive.tar.gz", 1);
    view->HideFileExt = true;
    view->UpdateFileList();
    Rename("archive", "archive");
    Rename("archive", "backup");
    ASSERT_EQ(Operations().size(), 2u);
    EXPECT_EQ(Operations()[1].Targets, (std::vector<AnsiString>{dir / "backup.tar.gz"}));
    view->HideFileExt = false;
    view->UpdateFileList();

    // F2 edits the name, unless the view is read-only.
    Select({"b.txt"});
    Key(VK_F2);
    EXPECT_TRUE(view->IsEditing());
    view->Selected()->CancelEdit();
    view->SetReadOnly(true);
    prompts.Shown.clear();
    Key(VK_F2);
    EXPECT_FALSE(view->IsEditing());
    EXPECT_EQ(Boxes(), (std::vector<std::string>{"Только для чтения"}));
}

TEST_F(FileListView, SizesAndPathsDoNotFollowTheCurrentFolder)
{
    testkit::TempDir elsewhere;
    MakeFile(dir / "same.txt", 700);
    MakeFile(elsewhere / "same.txt", 5);
    char saved[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, saved);
    SetCurrentDirectoryA(elsewhere.Path().c_str());
    view->SetDirectory(dir.Path());
    Select({"same.txt"});
    EXPECT_EQ(view->SelectedSize(), 700);
    EXPECT_EQ(view->SelectedNumber(), 1);
    view->ClearSelection();
    EXPECT_EQ(view->SelectedNumber(), 1) << "every row when none is selected";

    // A folder named from the current one is listed by the full paths it names when it is set.
    CreateDirectoryA((dir / "sub").c_str(), nullptr);
    MakeFile(dir / "sub\\f.txt", 1);
    SetCurrentDirectoryA(dir.Path().c_str());
    view->SetDirectory("sub");
    SetCurrentDirectoryA(elsewhere.Path().c_str());
    EXPECT_EQ(view->Directory(), dir / "sub");
    EXPECT_EQ(TsFileListView::RowPath(Row("f.txt")), dir / "sub\\f.txt");
    SetCurrentDirectoryA(saved);
}

TEST_F(FileListView, ProgramsGetQuotedNamesAndARelativeTargetIsTakenInTheListedFolder)
{
    MakeFile(dir / "my notes.txt", 1);
    view->SetDirectory(dir.Path());
    Select({"my notes.txt"});
    Key('F', true);
    ASSERT_EQ(shell.Calls.size(), 1u);
    EXPECT_EQ(shell.Calls[0].Operation, "Open");
    EXPECT_EQ(UpperCase(ExtractFileName(shell.Calls[0].File)), "NOTEPAD.EXE");
    EXPECT_EQ(shell.Calls[0].Parameters, "\"" + dir / "my notes.txt" + "\"");
    EXPECT_EQ(shell.Calls[0].Directory, dir.Path());

    prompts.AnswerInput("backup");
    view->SendTo(0);
    ASSERT_EQ(prompts.Shown.size(), 1u);
    EXPECT_EQ(prompts.Shown[0].Caption, "Отправить в папку");
    EXPECT_EQ(prompts.Shown[0].Text, "Путь к папке:");
    const std::vector<TShellCall> ops = Operations();
    ASSERT_EQ(ops.size(), 1u);
    EXPECT_EQ(ops[0].Targets, (std::vector<AnsiString>{dir / "backup\\my notes.txt"}));

    shell.ExecuteResult = 2;
    view->FindFile();
    EXPECT_EQ(shell.Calls.back().Operation, "Find");
    EXPECT_EQ(Boxes().back(), "Не удалось открыть \"" + dir.Path() + "\"");
}

TEST_F(FileListView, AttributesAreWrittenAsCheckedAndAFailedWriteIsReported)
{
    MakeFile(dir / "a.txt", 1);
    view->SetDirectory(dir.Path());
    Select({"a.txt"});
    Victim = dir / "a.txt";
    auto answer = [](bool Remove) {
        RemoveFirst = Remove;
        SetTimer(nullptr, 0, 30, AnswerAttributes);
    };
    answer(false);
    view->FileAttr();
    EXPECT_TRUE(GetFileAttributesA(Victim.c_str()) & FILE_ATTRIBUTE_READONLY);
    EXPECT_EQ(Row("a.txt")->SubItemText(flAttributes).find('R') != std::string::npos, true);
    EXPECT_TRUE(Boxes().empty());

    SetFileAttributesA(Victim.c_str(), FILE_ATTRIBUTE_NORMAL);
    view->UpdateFileList();
    Select({"a.txt"});
    answer(true);
    view->FileAttr();
    ASSERT_EQ(Boxes().size(), 1u);
    EXPECT_EQ(Boxes()[0].rfind("Cannot set the attributes of \"a.txt\". ", 0), 0u) << Boxes()[0];
}

TEST_F(FileListView, DrivesComeFromTheDriveSeam)
{
    TScopedFakeDrives drives;
    drives.Drives = {{'A', DRIVE_REMOVABLE, false, {}, "", "Floppy (A:)", -1},
                     {'C', DRIVE_FIXED, true, {Int64(2500000) * 1024 * 1000, Int64(999) * 1024}, "SYS", "System (C:)", -1},
                     {'E', DRIVE_CDROM, true, {Int64(700) << 20, 0}, "", "CD (E:)", -1},
                     {'N', DRIVE_REMOTE, false, {}, "", "share", -1}};
    view->SetDirectory("");
    ASSERT_FALSE(view->FileView());
    EXPECT_EQ(Captions(), (std::vector<std::string>{"Floppy  (A:)  ", "System  (C:)  ", "CD  (E:)  ", "share (N:)  "}));
    EXPECT_EQ(view->Column(2)->Caption(), "Disk Size");
    // Grouped by the locale's thousands separator.
    const std::string big = std::string("2") + ThousandSeparator + "500" + ThousandSeparator + "000 Mb";
    struct {
        const char* Caption;
        const char* Type;
        std::string Size, Free;
    } rows[] = {{"Floppy  (A:)  ", "Removable Disk", "0 Mb", "0 Mb"},
                {"System  (C:)  ", "Fixed Disk", big, "0 Mb"},
                {"CD  (E:)  ", "CD-ROM Disk", "0 Mb", "0 Mb"},
                {"share (N:)  ", "Network Disk", "0 Mb", "0 Mb"}};
    for (const auto& r : rows) {
        TListItem* item = Row(r.Caption);
        ASSERT_NE(item, nullptr);
        EXPECT_EQ(item->SubItemText(0), r.Type) << r.Caption;
        EXPECT_EQ(item->SubItemText(1), r.Size) << r.Caption;
        EXPECT_EQ(item->SubItemText(2), r.Free) << r.Caption;
        EXPECT_EQ(TsFileListView::RowKind(item), "drv");
    }
    EXPECT_EQ(drives.SpaceQueries, 4) << "the floppy and the CD are not asked";

    // A floppy without a disk stays closed, with one warning and a beep.
    SysUtils::TBeepCounter beeps;
    Select({"Floppy  (A:)  "});
    Key(VK_RETURN);
    EXPECT_EQ(view->Directory(), "");
    EXPECT_EQ(Boxes(), (std::vector<std::string>{"В дисководе A нет диска, диск A: не готов"}));
    EXPECT_EQ(beeps.Count, 1);
    EXPECT_EQ(view->sGetFreeSpace(), -1);
    // So does a network drive that is not ready.
    prompts.Shown.clear();
    Select({"share (N:)  "});
    Key(VK_RETURN);
    EXPECT_EQ(view->Directory(), "");
    EXPECT_EQ(Boxes(), (std::vector<std::string>{"В дисководе N нет диска, диск N: не готов"}));
}

TEST_F(FileListView, TheClipboardTakesTheNamesOrTheContentOfTheSelection)
{
    auto clipboardText = [] {
        std::string text;
        if (OpenClipboard(nullptr)) {
            if (HANDLE h = GetClipboardData(CF_TEXT)) {
                text = static_cast<const char*>(GlobalLock(h));
                GlobalUnlock(h);
            }
            CloseClipboard();
        }
        return text;
    };
    testkit::WriteFileBytes(dir / "a.txt", "Текст статьи");
    MakeFile(dir / "b.log", 1);
    view->SetShowParentItem(true);
    view->SetDirectory(dir.Path());
    Select({"a.txt", "b.log"});
    view->SendTo(2);
    EXPECT_EQ(clipboardText(), dir / "a.txt" + "\r\n" + dir / "b.log" + "\r\n");
    // The rich edit hands its selection to the clipboard through OLE, as in the program.
    OleInitialize(nullptr);
    Select({"a.txt"});
    view->SendTo(1);
    EXPECT_EQ(clipboardText(), "Текст статьи");
    OleFlushClipboard();
    OleUninitialize();
    EXPECT_EQ(view->Components(view->ComponentCount() - 1), view->FileMenu()) << "the helpers are gone";
}

TEST_F(FileListView, CopiesKeepTheEntrysOwnNameOrTheRowIsRefusedWithAMessage)
{
    // "\uff41.txt" and "\u6587\u4ef6.txt" are reached by their short names only, "dup " too: a copy
    // made by such a path would be named by it.
    const std::string sub = dir / "sub";
    CreateDirectoryA(sub.c_str(), nullptr);
    for (const wchar_t* name : {L"a.txt", L"\uff41.txt", L"\u6587\u4ef6.txt", L"dup", L"dup "})
        testkit::MakeWide(dir.Path(), name);
    view->SetDirectory(dir.Path());
    ASSERT_EQ(view->Items()->Count(), 6);
    const std::vector<std::string> captions = Captions();
    EXPECT_EQ(std::set<std::string>(captions.begin(), captions.end()).size(), 6u) << "two rows show one caption";
    for (const std::string& c : captions)
        EXPECT_TRUE(c.back() != ' ' && c.back() != '.') << "the look-alike of another name: " << c;
    for (int i = 1; i < view->Items()->Count(); ++i)
        view->Items()->Item(i)->SetSelected(true);
    Key('C', true);
    EXPECT_EQ(view->ClipboardList()->Text(), dir / "a.txt\r\n" + dir / "dup\r\n");
    ASSERT_EQ(Boxes().size(), 1u);
    for (const char* refused : {"\"dup \"", ".txt\""})
        EXPECT_NE(Boxes()[0].find(refused), std::string::npos) << Boxes()[0];
    view->SendToPath(sub);
    std::vector<TShellCall> ops = Operations();
    ASSERT_EQ(ops.size(), 2u);
    for (const TShellCall& op : ops)
        EXPECT_EQ(ExtractFileName(op.Targets.at(0)), ExtractFileName(op.Sources.at(0)));
    EXPECT_EQ(Boxes().size(), 2u);
}

TEST_F(FileListView, APasteIntoItselfOrItsOwnFolderIsRefusedNamingBoth)
{
    const std::string sub = dir / "sub", deep = dir / "sub\\deep";
    CreateDirectoryA(sub.c_str(), nullptr);
    CreateDirectoryA(deep.c_str(), nullptr);
    MakeFile(dir / "a.txt", 1);
    view->SetDirectory(dir.Path());
    const struct {
        const char* row;
        int mode;
        std::string into, box;
    } cases[] = {
        {"sub", 0, deep, "Cannot copy \"" + sub + "\" into \"" + deep + "\": a folder cannot go into itself"},
        {"sub", 2, sub, "Cannot move \"" + sub + "\" into \"" + sub + "\": a folder cannot go into itself"},
        {"a.txt", 0, dir.Path(), "Cannot copy \"" + dir / "a.txt" + "\" into \"" + dir.Path() + "\": it is in that folder already"},
    };
    for (const auto& c : cases) {
        view->SetDirectory(dir.Path());
        Select({c.row});
        view->CutCopy(c.mode);
        view->SetDirectory(c.into);
        prompts.Shown.clear();
        Key('V', true);
        EXPECT_EQ(Boxes(), std::vector<std::string>{c.box});
    }
    EXPECT_TRUE(Operations().empty());
}

TEST_F(FileListView, AFailedOperationNamesTheEntryAndTheSystemsReason)
{
    const std::string sub = dir / "sub";
    CreateDirectoryA(sub.c_str(), nullptr);
    MakeFile(dir / "a.txt", 1);
    view->SetDirectory(dir.Path());
    shell.FileOperationResult = ERROR_ACCESS_DENIED;
    const std::string reason = "Access is denied";
    Select({"a.txt"});
    Key(VK_DELETE);
    Select({"a.txt"});
    view->SendToPath(sub);
    LVITEMA item{};
    item.iItem = Row("a.txt")->Index();
    std::string text = "b.txt";
    item.pszText = text.data();
    ASSERT_TRUE(view->CanEdit(Row("a.txt")));
    view->Edit(item);
    EXPECT_EQ(Boxes(), (std::vector<std::string>{"Cannot delete \"a.txt\". " + reason, "Cannot copy \"a.txt\". " + reason,
                                                 "Cannot rename \"a.txt\" to \"b.txt\". " + reason}));

    // A folder gone meanwhile: the operation says so, and the list shows the nearest parent that exists.
    view->SetShowParentItem(true);
    view->SetDirectory(sub);
    RemoveDirectoryA(sub.c_str());
    prompts.Shown.clear();
    Key('N', true);
    ASSERT_EQ(Boxes().size(), 1u);
    EXPECT_EQ(Boxes()[0], "Cannot make a folder in \"" + sub + "\". The file or folder does not exist");
    Key(VK_F5);
    EXPECT_EQ(NormalDir(view->Directory()), dir.Path());
    EXPECT_EQ(Captions().front(), "..");

    // Another case of the name renames the entry itself, in any letters.
    TSystemShell system;
    TShellServiceGuard real(system);
    testkit::WriteFileBytes(dir / "файл.txt", "ф");
    view->UpdateFileList();
    prompts.Shown.clear();
    for (const auto& [from, to] : {std::pair{"a.txt", "A.TXT"}, std::pair{"файл.txt", "ФАЙЛ.txt"}}) {
        Rename(from, to);
        WIN32_FIND_DATAA fd;
        const HANDLE h = FindFirstFileA((dir / from).c_str(), &fd);
        ASSERT_NE(h, INVALID_HANDLE_VALUE) << from;
        FindClose(h);
        EXPECT_STREQ(fd.cFileName, to);
    }
    EXPECT_TRUE(Boxes().empty());
}

namespace {

// The real shell that fails every file operation after the first Ok ones.
class TShellFailingAfter : public TSystemShell {
public:
    explicit TShellFailingAfter(int Ok) : ok_(Ok) {}
    int FileOperation(HWND Owner, UINT Func, const std::vector<AnsiString>& Sources,
                      const std::vector<AnsiString>& Targets, FILEOP_FLAGS Flags, bool& Aborted) override
    {
        Aborted = false;
        return ok_-- > 0 ? TSystemShell::FileOperation(Owner, Func, Sources, Targets, Flags, Aborted) : ERROR_ACCESS_DENIED;
    }

private:
    int ok_;
};

// The short name the folder lists for an entry made by its wide name.
std::string ShortName(const std::string& Dir, const std::wstring& Name)
{
    WIN32_FIND_DATAW fd;
    const HANDLE h = FindFirstFileW((L"\\\\?\\" + AnsiToWide(Dir) + Name).c_str(), &fd);
    EXPECT_NE(h, INVALID_HANDLE_VALUE);
    FindClose(h);
    return WideToAnsi(fd.cAlternateFileName).c_str();
}

// The content of an entry read by its wide name ("" when it is not there).
std::string WideContent(const std::string& Dir, const std::wstring& Name)
{
    const HANDLE h = CreateFileW((L"\\\\?\\" + AnsiToWide(Dir) + Name).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                 OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return "";
    char buffer[64] = {};
    DWORD read = 0;
    ReadFile(h, buffer, sizeof buffer, &read, nullptr);
    CloseHandle(h);
    return std::string(buffer, read);
}

} // namespace

TEST_F(FileListView, ARenameNeverCostsTheEntryItsName)
{
    TSystemShell system;
    TShellServiceGuard real(system);
    testkit::MakeWide(dir.Path(), L"a.txt", "plain");
    testkit::MakeWide(dir.Path(), L"\uff41.txt", "wide a");
    view->SetDirectory(dir.Path());
    const std::string alike = ShortName(dir.Path(), L"\uff41.txt");
    // "\uff41.txt" is no other case of "a.txt": the name held by a.txt refuses it before anything moves.
    Rename(alike, "A.txt");
    EXPECT_EQ(Boxes(), (std::vector<std::string>{"\"A.txt\" уже существует"}));
    EXPECT_EQ(WideContent(dir.Path(), L"\uff41.txt"), "wide a");
    EXPECT_EQ(WideContent(dir.Path(), L"a.txt"), "plain");

    // With extensions hidden, F2 then Enter on the name as it stands keeps every name.
    view->HideFileExt = true;
    view->UpdateFileList();
    prompts.Shown.clear();
    for (const std::string& caption : {alike.substr(0, alike.find('.')), std::string("a")}) {
        Select({caption.c_str()});
        Key(VK_F2);
        ASSERT_TRUE(view->IsEditing()) << caption;
        SendMessageA(ListView_GetEditControl(view->Handle()), WM_KEYDOWN, VK_RETURN, 0);
        EXPECT_TRUE(testkit::PumpUntil([&] { return !view->IsEditing(); })) << caption;
    }
    EXPECT_TRUE(Boxes().empty());
    EXPECT_EQ(WideContent(dir.Path(), L"\uff41.txt"), "wide a");
    EXPECT_EQ(WideContent(dir.Path(), L"a.txt"), "plain");
    // A new name keeps the entry's own extension, not the short name's.
    Rename(alike.substr(0, alike.find('.')), "b");
    EXPECT_EQ(WideContent(dir.Path(), L"b.txt"), "wide a");
    view->HideFileExt = false;
    view->UpdateFileList();

    // A case-only rename that fails half-way, and whose way back fails too, says where the entry is.
    TShellFailingAfter failing(1);
    TShellServiceGuard half(failing);
    Rename("a.txt", "A.TXT");
    ASSERT_EQ(Boxes().size(), 1u);
    EXPECT_EQ(Boxes()[0], "Cannot rename \"a.txt\" to \"A.TXT\". Access is denied. It is now named \"~rename1.tmp\".");
    EXPECT_EQ(testkit::ReadFileBytes(dir / "~rename1.tmp"), "plain");
}

// Under Wine a share "\\server\share" is a folder "dosdevices\unc\server\share" of the prefix
// (and the server one too, which Windows would not list). The share is the top: above it, by
// Backspace or when what is shown has gone, come the drives, while its server is still there.
TEST_F(FileListView, AboveAShareComeTheDrivesByBackspaceOrWhenTheFolderShownHasGone)
{
    const char* prefix = std::getenv("WINEPREFIX");
    if (!prefix)
        GTEST_SKIP() << "the share is made as a folder of Wine's prefix";
    std::string unc = std::string("Z:") + prefix + "\\dosdevices\\unc";
    std::replace(unc.begin(), unc.end(), '/', '\\');
    const std::string server = "vellorn-" + std::to_string(GetCurrentProcessId());
    const std::vector<std::string> folders = {unc + "\\" + server, unc + "\\" + server + "\\share",
                                              unc + "\\" + server + "\\share\\dir"};
    struct TMade {
        const std::vector<std::string>& Folders;
        const bool Unc;
        void Make() const
        {
            for (const std::string& f : Folders)
                CreateDirectoryA(f.c_str(), nullptr);
        }
        ~TMade()
        {
            for (auto f = Folders.rbegin(); f != Folders.rend(); ++f)
                RemoveDirectoryA(f->c_str());
            if (Unc)
                RemoveDirectoryA(ExtractFileDir(Folders[0]).c_str());
        }
    } made{folders, CreateDirectoryA(unc.c_str(), nullptr) != FALSE};
    TScopedFakeDrives drives;
    drives.Drives = {{'C', DRIVE_FIXED, true, {}, "", "System (C:)", -1}};
    const std::vector<std::string> driveRows{"System  (C:)  "};
    const std::string share = "\\\\" + server + "\\share";
    made.Make();
    ASSERT_TRUE(DirectoryExists(folders[2]));
    view->SetDirectory((share + "\\dir").c_str());
    Key(VK_BACK);
    EXPECT_EQ(view->Directory(), share);
    Key(VK_BACK);
    EXPECT_EQ(view->Directory(), "");
    EXPECT_EQ(Captions(), driveRows);
    // A folder of the share, and the share shown by its root, gone; the server stays.
    for (const std::string& shown : {share + "\\dir", share + "\\"}) {
        made.Make();
        view->SetDirectory(shown.c_str());
        ASSERT_EQ(view->Directory(), shown);
        RemoveDirectoryA(folders[2].c_str());
        RemoveDirectoryA(folders[1].c_str());
        Key(VK_F5);
        EXPECT_EQ(view->Directory(), "") << shown;
        EXPECT_FALSE(view->FileView()) << shown << ": the drives listed";
        EXPECT_EQ(Captions(), driveRows) << shown;
    }
}
