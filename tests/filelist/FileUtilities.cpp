// The file list's utilities and the seams under them: size and path texts, drives asked through
// the drive seam (one message for a bad letter, none for an empty text), file operations handed to
// the shell service with their name lists, file times within 1980..2099, existing names and shell
// links.
#include <gtest/gtest.h>

#include <climits>

#include "Dialogs.h"
#include "DriveSeams.h"
#include "ShellObjects.h"
#include "ShellSeams.h"
#include "TestKit.h"
#include "WideNames.h"
#include "sDialogs.h"
#include "sFileListView.h"

namespace {

class FileUtilities : public ::testing::Test {
protected:
    std::vector<std::string> Boxes() const
    {
        std::vector<std::string> t;
        for (const auto& r : prompts.Shown)
            t.push_back(r.Text);
        return t;
    }
    // The messages checked here in the program's language: one written into the code instead of
    // taken from the table would come out in English.
    void SetUp() override
    {
        sDialogs::TOpenFormTexts& t = sDialogs::OpenFormTexts;
        t.InvalidDrive = "Недопустимое имя диска";
        t.NoDisk = "В дисководе %s нет диска, диск %s: не готов";
        t.CannotOpen = "Не удалось открыть \"%s\"";
        t.NameTaken = "\"%s\" уже существует";
    }
    void TearDown() override { sDialogs::OpenFormTexts = saved; }
    TScriptedPromptService prompts;
    TPromptServiceGuard guard{prompts};
    const sDialogs::TOpenFormTexts saved = sDialogs::OpenFormTexts;
};

FILETIME LocalTime(WORD Year, WORD Month, WORD Day, WORD Hour, WORD Minute)
{
    SYSTEMTIME t{};
    t.wYear = Year;
    t.wMonth = Month;
    t.wDay = Day;
    t.wHour = Hour;
    t.wMinute = Minute;
    FILETIME local{}, utc{};
    SystemTimeToFileTime(&t, &local);
    LocalFileTimeToFileTime(&local, &utc);
    return utc;
}

} // namespace

TEST_F(FileUtilities, TextsOfSizesPathsAndDrives)
{
    const struct {
        Int64 Size;
        const char* Kind;
        const char* Text;
    } sizes[] = {{0, "file", "0 KB"},         {1, "file", "1 KB"},    {1023, "file", "1 KB"},
                 {2047, "file", "1 KB"},      {2048, "file", "2 KB"}, {Int64(5) << 30, "file", "5242880 KB"},
                 {4096, "dir", " "},          {0, "DIR", " "}};
    for (const auto& s : sizes)
        EXPECT_EQ(ConvertSize(s.Size, s.Kind), s.Text) << s.Size << " " << s.Kind;

    EXPECT_EQ(numpos('a', "banana", 1), 2);
    EXPECT_EQ(numpos('a', "banana", 3), 6);
    EXPECT_EQ(numpos('n', "banana", 3), INT_MAX);
    EXPECT_EQ(GetCount('a', "banana"), 3);
    EXPECT_EQ(AddNullToStr(AddNullToStr("C:\\a")), std::string("C:\\a\0", 5));
    EXPECT_EQ(AddNullToStr(""), "");
    EXPECT_EQ(SlashSep("C:\\x\\", "f.txt"), "C:\\x\\f.txt");
    EXPECT_EQ(SlashSep("", "f.txt"), "");
    EXPECT_EQ(DriveTypeName(0), "Unknown");
    EXPECT_EQ(DriveTypeName(1), "Not exist");
    EXPECT_EQ(DriveTypeName(6), "RAM Disk");
    EXPECT_EQ(DriveTypeName(7), "Unknown");
}

TEST_F(FileUtilities, DrivesAreAskedThroughTheSeam)
{
    TScopedFakeDrives drives;
    drives.Drives = {{'A', DRIVE_REMOVABLE, false, {}, "", "", -1},
                     {'C', DRIVE_FIXED, true, {Int64(3) << 40, 10240}, "SYS", "", -1}};
    EXPECT_EQ(GetDiskSize("c:\\"), Int64(3) << 30);
    EXPECT_EQ(GetFreeDiskSize("C"), 10);
    EXPECT_EQ(GetDiskSize("A:\\"), -1);
    const int asked = drives.SpaceQueries;
    EXPECT_EQ(GetDiskSize(""), -1);
    EXPECT_EQ(GetFreeDiskSize(""), -1);
    EXPECT_EQ(drives.SpaceQueries, asked) << "an empty text names no drive";

    SysUtils::TBeepCounter beeps;
    EXPECT_FALSE(DiskinDrive('1', true));
    EXPECT_EQ(Boxes(), (std::vector<std::string>{"Недопустимое имя диска"}));
    EXPECT_EQ(prompts.Shown[0].DlgType, mtError);
    prompts.Shown.clear();
    EXPECT_FALSE(DiskinDrive('a', false));
    EXPECT_TRUE(Boxes().empty());
    EXPECT_FALSE(DiskinDrive('a', true));
    EXPECT_EQ(Boxes(), (std::vector<std::string>{"В дисководе A нет диска, диск A: не готов"}));
    EXPECT_EQ(prompts.Shown[0].DlgType, mtWarning);
    EXPECT_EQ(beeps.Count, 1);
    EXPECT_TRUE(DiskinDrive('C', true));
    EXPECT_EQ(Boxes().size(), 1u);
}

TEST_F(FileUtilities, FileOperationsAndProgramsGoToTheShellService)
{
    TScopedShellRecorder shell;
    bool aborted = true;
    const HWND owner = reinterpret_cast<HWND>(0x42);
    EXPECT_TRUE(DoSHFileOp(owner, FO_COPY, std::string("C:\\a\0C:\\b\0", 10), "D:\\", aborted));
    EXPECT_FALSE(aborted);
    ASSERT_EQ(shell.Calls.size(), 1u);
    EXPECT_EQ(shell.Calls[0].Owner, owner);
    EXPECT_EQ(shell.Calls[0].Func, static_cast<UINT>(FO_COPY));
    EXPECT_EQ(shell.Calls[0].Sources, (std::vector<AnsiString>{"C:\\a", "C:\\b"}));
    EXPECT_EQ(shell.Calls[0].Targets, (std::vector<AnsiString>{"D:\\"}));
    EXPECT_EQ(shell.Calls[0].Flags, FOF_ALLOWUNDO | FOF_NOERRORUI); // the failure's message is the caller's
    shell.FileOperationAborted = true;
    EXPECT_FALSE(DoSHFileOp(owner, FO_DELETE, "C:\\a", "", aborted));
    EXPECT_TRUE(aborted);
    EXPECT_TRUE(shell.Calls[1].Targets.empty());
    shell.FileOperationAborted = false;
    shell.FileOperationResult = ERROR_ACCESS_DENIED;
    int error = 0;
    EXPECT_FALSE(DoSHFileOp(owner, FO_MOVE, "C:\\a", "D:\\a", aborted, &error));
    EXPECT_EQ(error, ERROR_ACCESS_DENIED);

    EXPECT_EQ(ExecuteFile("Open", "C:\\notes.txt", "", "C:\\", SW_SHOW), 42);
    EXPECT_TRUE(Boxes().empty());
    shell.ExecuteResult = 32;
    EXPECT_EQ(ExecuteFile("Open", "C:\\notes.txt", "", "C:\\", SW_SHOW), 32);
    EXPECT_EQ(Boxes(), (std::vector<std::string>{"Не удалось открыть \"C:\\notes.txt\""}));
}

// The shell's own codes are no system error codes of the same numbers (0x71 would read "no more
// internal file identifiers", Wine's 0x402 "Error 1026").
TEST_F(FileUtilities, AShellOperationsResultIsToldInTheProgramsOwnWords)
{
    const struct {
        int result;
        const char* reason;
    } cases[] = {
        {ERROR_ACCESS_DENIED, "Access is denied"},
        {0x10000 | ERROR_ACCESS_DENIED, "Access is denied"}, // at the target
        {0x402, "The file or folder does not exist"},
        {ERROR_PATH_NOT_FOUND, "The file or folder does not exist"},
        {0x71, "The source and the target are the same"},
        {0x76, "The target folder lies inside the source"},
        {0x7E, "An entry of that name exists already"},
        {ERROR_SHARING_VIOLATION, "The file is in use by another program"},
        {0x75, "The operation was cancelled"},
        {4242, "Unknown error (code 4242)"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FileOperationReason(c.result), c.reason) << c.result;
    ShowFileFailure("delete \"a.txt\"", FileOperationReason(0x402));
    EXPECT_EQ(Boxes(), (std::vector<std::string>{"Cannot delete \"a.txt\". The file or folder does not exist"}));
}

TEST_F(FileUtilities, FileTimesAreShownFrom1980To2099)
{
    const struct {
        FILETIME Time;
        const char* Text;
    } cases[] = {{LocalTime(1979, 12, 31, 23, 59), ""},
                 {LocalTime(1980, 1, 1, 0, 0), "1980-01-01 00:00"},
                 {LocalTime(2099, 12, 31, 23, 59), "2099-12-31 23:59"},
                 {LocalTime(2100, 1, 1, 0, 0), ""}};
    for (const auto& c : cases)
        EXPECT_EQ(FileTimeToDateTimeStr(c.Time, "yyyy-MM-dd", "HH:mm"), c.Text);
}

TEST_F(FileUtilities, ExistingNamesAreReportedAndShortcutsResolved)
{
    testkit::TempDir dir;
    testkit::WriteFileBytes(dir / "x.txt", "x");
    EXPECT_FALSE(FileDirExist(dir / "y.txt"));
    EXPECT_TRUE(Boxes().empty());
    EXPECT_TRUE(FileDirExist(AddNullToStr(dir / "x.txt")));
    EXPECT_TRUE(FileDirExist(dir.Path()));
    EXPECT_EQ(Boxes(), (std::vector<std::string>{"\"x.txt\" уже существует",
                                                 "\"" + ExtractFileName(DelSlash(dir.Path())) + "\" уже существует"}));

    // A shortcut to "\uff41.txt" (which the code page spells as "a.txt") leads to that very file.
    testkit::MakeWide(dir.Path(), L"a.txt", "plain");
    testkit::MakeWide(dir.Path(), L"\uff41.txt", "wide a");
    CoInitialize(nullptr);
    IShellLinkW* link = nullptr;
    ASSERT_TRUE(SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                           reinterpret_cast<void**>(&link))));
    link->SetPath((AnsiToWide(dir.Path()) + L"\uff41.txt").c_str());
    IPersistFile* file = nullptr;
    link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file));
    const std::string lnk = dir / "x.lnk";
    ASSERT_TRUE(SUCCEEDED(file->Save(std::wstring(lnk.begin(), lnk.end()).c_str(), TRUE)));
    file->Release();
    link->Release();
    AnsiString target;
    EXPECT_TRUE(ResolveShortcut(nullptr, lnk, target));
    EXPECT_EQ(testkit::ReadFileBytes(target), "wide a") << target;
    EXPECT_FALSE(ResolveShortcut(nullptr, dir / "x.txt", target));
    CoUninitialize();
}

TEST(DriveSeams, FakeDrivesAndSpecialFoldersStandInWhileTheirGuardsLive)
{
    TDriveService* real = &Drives();
    EXPECT_NE(dynamic_cast<TSystemDrives*>(real), nullptr);
    {
        TScopedFakeDrives drives;
        drives.Drives = {{'c', DRIVE_FIXED, true, {}, "SYS", "System (C:)", 3}, {'Z', DRIVE_CDROM, false, {}, "", "", -1}};
        EXPECT_EQ(&Drives(), &drives);
        EXPECT_EQ(Drives().LogicalDrives(), (1u << 2) | (1u << 25));
        EXPECT_EQ(Drives().DriveType('C'), static_cast<UINT>(DRIVE_FIXED));
        EXPECT_EQ(Drives().DriveType('1'), static_cast<UINT>(DRIVE_NO_ROOT_DIR));
        AnsiString label;
        EXPECT_FALSE(Drives().VolumeLabel('z', label)) << "no medium";
    }
    EXPECT_EQ(&Drives(), real);
    TDriveSpace space;
    EXPECT_FALSE(Drives().Space('1', space));

    AnsiString path;
    {
        TSpecialFolderGuard outer(CSIDL_SENDTO, "C:\\mine");
        {
            TSpecialFolderGuard inner(CSIDL_SENDTO, "");
            EXPECT_FALSE(GetSpecialFolder(nullptr, CSIDL_SENDTO, path));
        }
        EXPECT_TRUE(GetSpecialFolder(nullptr, CSIDL_SENDTO, path));
        EXPECT_EQ(path, "C:\\mine");
    }
    EXPECT_TRUE(GetSpecialFolder(nullptr, CSIDL_SENDTO, path));
    EXPECT_NE(path, "C:\\mine");
}
