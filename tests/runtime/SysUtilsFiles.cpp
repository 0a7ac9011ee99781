#include <gtest/gtest.h>

#include "SysUtils.h"
#include "SysUtilsFilesNames.h"
#include "FileSteps.h"
#include "TestKit.h"
#include "WideNames.h"

#include <algorithm>
#include <functional>
#include <set>
#include <stdexcept>

TEST(SysUtilsPaths, NamePartsWithBackslashAndColon)
{
    EXPECT_EQ(ExtractFileName("C:\\a\\b.vlt"), "b.vlt");
    EXPECT_EQ(ExtractFileName("C:b.vlt"), "b.vlt");
    EXPECT_EQ(ExtractFileName("C:\\a\\"), "");
    EXPECT_EQ(ExtractFileName("plain"), "plain");
    EXPECT_EQ(ExtractFileName("a/b"), "a/b") << "'/' is not a delimiter";
    EXPECT_EQ(ExtractFilePath("C:\\a\\b.vlt"), "C:\\a\\");
    EXPECT_EQ(ExtractFilePath("C:b.vlt"), "C:");
    EXPECT_EQ(ExtractFilePath("b.vlt"), "");
    EXPECT_EQ(ExtractFileDir("C:\\a\\b.vlt"), "C:\\a");
    EXPECT_EQ(ExtractFileDir("C:\\b.vlt"), "C:\\");
    EXPECT_EQ(ExtractFileDir("\\b.vlt"), "\\");
    EXPECT_EQ(ExtractFileDir("C:b"), "C:");
    EXPECT_EQ(ExtractFileDir("b"), "");
    EXPECT_EQ(ExtractFileDrive("C:\\x"), "C:");
    EXPECT_EQ(ExtractFileDrive("\\\\srv\\share\\x"), "\\\\srv\\share");
    EXPECT_EQ(ExtractFileDrive("x\\y"), "");
}

TEST(SysUtilsPaths, Extensions)
{
    EXPECT_EQ(ExtractFileExt("C:\\a\\Temp.vlt"), ".vlt");
    EXPECT_EQ(ExtractFileExt("C:\\a.b\\Temp"), "") << "a dot in a folder name is not an extension";
    EXPECT_EQ(ExtractFileExt("x.tar.gz"), ".gz");
    EXPECT_EQ(ExtractFileExt("name."), ".");
    EXPECT_EQ(ExtractFileExt("C:.x"), ".x");
    EXPECT_EQ(ChangeFileExt("C:\\a\\Temp.vlt", ".ini"), "C:\\a\\Temp.ini");
    EXPECT_EQ(ChangeFileExt("C:\\a.b\\Temp", ".ini"), "C:\\a.b\\Temp.ini");
    EXPECT_EQ(ChangeFileExt("Temp.vlt", ""), "Temp");
    EXPECT_EQ(IncludeTrailingBackslash("C:\\a"), "C:\\a\\");
    EXPECT_EQ(IncludeTrailingBackslash("C:\\a\\"), "C:\\a\\");
    EXPECT_EQ(IncludeTrailingPathDelimiter(""), "\\");
    EXPECT_EQ(ExcludeTrailingBackslash("C:\\a\\"), "C:\\a");
    EXPECT_EQ(ExcludeTrailingBackslash("C:\\a"), "C:\\a");
    EXPECT_EQ(ExcludeTrailingPathDelimiter(""), "");
}

TEST(SysUtilsFiles, ExistenceAndFolders)
{
    testkit::TempDir dir;
    testkit::WriteFileBytes(dir / "файл.txt", "x");
    EXPECT_TRUE(FileExists(dir / "файл.txt"));
    EXPECT_FALSE(FileExists(dir / "нет.txt"));
    EXPECT_FALSE(FileExists(dir.Path())) << "a folder is not a file";
    EXPECT_FALSE(FileExists(ExcludeTrailingBackslash(dir.Path())));
    EXPECT_TRUE(DirectoryExists(dir.Path()));
    EXPECT_FALSE(DirectoryExists(dir / "файл.txt"));

    const AnsiString nested = dir / "a\\б\\c\\";
    EXPECT_TRUE(ForceDirectories(nested));
    EXPECT_TRUE(DirectoryExists(nested));
    EXPECT_TRUE(ForceDirectories(nested)) << "existing folder";
    EXPECT_FALSE(ForceDirectories(dir / "файл.txt\\sub")) << "a file is in the way";
    EXPECT_EQ(testkit::Refusal<EInOutError>([] { ForceDirectories(""); }), "Unable to create directory");

    EXPECT_TRUE(CreateDir(dir / "d"));
    EXPECT_FALSE(CreateDir(dir / "d"));
    EXPECT_TRUE(RemoveDir(dir / "d"));
    EXPECT_FALSE(DirectoryExists(dir / "d"));

    EXPECT_TRUE(RenameFile(dir / "файл.txt", dir / "r.txt"));
    EXPECT_TRUE(FileExists(dir / "r.txt"));
    EXPECT_EQ(FileSetAttr(dir / "r.txt", faHidden), 0);
    EXPECT_EQ(FileGetAttr(dir / "r.txt") & (faHidden | faReadOnly), faHidden);
    EXPECT_EQ(FileGetAttr(dir / "none"), -1);
    EXPECT_NE(FileAge(dir / "r.txt"), -1);
    EXPECT_EQ(FileAge(dir.Path()), -1);
    EXPECT_TRUE(DeleteFile(dir / "r.txt"));
    EXPECT_FALSE(DeleteFile(dir / "r.txt"));

    testkit::WriteFileBytes(dir / "a\\found.txt", "1");
    EXPECT_EQ(FileSearch("found.txt", dir / "none;" + dir / "a"), dir / "a\\found.txt");
    EXPECT_EQ(FileSearch("found.txt", dir / "none"), "");
}

TEST(SysUtilsFiles, ExpandFileNameAndCurrentDir)
{
    testkit::TempDir dir;
    const AnsiString saved = GetCurrentDir();
    ASSERT_TRUE(SetCurrentDir(dir.Path()));
    EXPECT_EQ(IncludeTrailingBackslash(GetCurrentDir()), dir.Path());
    EXPECT_EQ(ExpandFileName("x\\..\\y.txt"), dir / "y.txt");
    EXPECT_EQ(ExpandFileName(dir / "a\\.\\b"), dir / "a\\b");
    EXPECT_EQ(ExpandFileName(""), "");
    EXPECT_TRUE(ForceDirectories("b"));
    EXPECT_TRUE(DirectoryExists(dir / "b")) << "a short relative name is really created";
    EXPECT_TRUE(ForceDirectories("c\\d"));
    EXPECT_TRUE(DirectoryExists(dir / "c\\d"));
    SetCurrentDir(saved);
}

TEST(SysUtilsFiles, FindFirstFiltersByAttributes)
{
    testkit::TempDir dir;
    testkit::WriteFileBytes(dir / "plain.txt", "12345");
    testkit::WriteFileBytes(dir / "hidden.txt", "1");
    testkit::WriteFileBytes(dir / "ro.txt", "1");
    FileSetAttr(dir / "hidden.txt", faHidden);
    FileSetAttr(dir / "ro.txt", faReadOnly);
    CreateDir(dir / "sub");

    auto names = [&](const AnsiString& mask, Integer attr) {
        std::set<AnsiString> found;
        TSearchRec rec;
        for (Integer r = FindFirst(dir / mask, attr, rec); r == 0; r = FindNext(rec))
            found.insert(rec.Name);
        FindClose(rec);
        return found;
    };
    EXPECT_EQ(names("*", 0), (std::set<AnsiString>{"plain.txt", "ro.txt"})) << "read-only files are normal ones";
    EXPECT_EQ(names("*", faHidden), (std::set<AnsiString>{"plain.txt", "ro.txt", "hidden.txt"}));
    EXPECT_EQ(names("*", faDirectory), (std::set<AnsiString>{".", "..", "plain.txt", "ro.txt", "sub"}));
    EXPECT_EQ(names("*", faAnyFile).size(), 6u);
    EXPECT_EQ(names("*.none", faAnyFile).size(), 0u);

    TSearchRec rec;
    ASSERT_EQ(FindFirst(dir / "plain.txt", faAnyFile, rec), 0);
    EXPECT_EQ(rec.Name, "plain.txt");
    EXPECT_EQ(rec.Size, 5);
    EXPECT_EQ(rec.Attr & faDirectory, 0);
    EXPECT_NE(rec.Time, 0);
    EXPECT_NE(FindNext(rec), 0);
    FindClose(rec);
    FindClose(rec); // twice is harmless
    EXPECT_NE(FindFirst(dir / "none\\*", faAnyFile, rec), 0);
    EXPECT_EQ(rec.FindHandle, INVALID_HANDLE_VALUE);
}

namespace {
std::size_t FilesIn(const AnsiString& dir)
{
    std::size_t count = 0;
    TSearchRec rec;
    for (Integer r = FindFirst(dir + "*", faAnyFile & ~faDirectory, rec); r == 0; r = FindNext(rec))
        ++count;
    FindClose(rec);
    return count;
}

} // namespace

// The bytes reach the disk before the move, and the temporary file sits beside the target, so the
// move is a rename on one volume (relative names included).
TEST(SysUtilsSafeWrite, StepsInOrderBesideTheTarget)
{
    testkit::TempDir dir;
    CreateDir(dir / "sub");
    const AnsiString saved = GetCurrentDir();
    ASSERT_TRUE(SetCurrentDir(dir.Path()));
    testkit::FileSteps steps;
    SafeWriteFile("sub\\data.ini", [](IByteSink& sink) {
        sink.Write("sec", 3);
        sink.Write("ond", 3);
    });
    SetCurrentDir(saved);
    EXPECT_EQ(steps.Kinds(), "create-temp write write flush close move");
    const auto& s = steps.Steps();
    ASSERT_EQ(s.size(), 6u);
    EXPECT_EQ(s[0].path, dir / "sub\\");
    EXPECT_EQ(ExtractFilePath(s[0].result), dir / "sub\\");
    EXPECT_EQ(s[5].path, s[0].result);
    EXPECT_EQ(s[5].result, dir / "sub\\data.ini");
    EXPECT_EQ(testkit::ReadFileBytes(dir / "sub\\data.ini"), "second");
    EXPECT_EQ(FilesIn(dir / "sub\\"), 1u);

    // Empty content, over a hidden system target that keeps its attributes.
    ASSERT_EQ(FileSetAttr(dir / "sub\\data.ini", faHidden | faSysFile), 0);
    steps.Clear();
    SafeWriteFileBytes(dir / "sub\\data.ini", "");
    EXPECT_EQ(steps.Kinds(), "create-temp flush close move");
    EXPECT_EQ(testkit::ReadFileBytes(dir / "sub\\data.ini"), "");
    EXPECT_EQ(FileGetAttr(dir / "sub\\data.ini") & (faHidden | faReadOnly | faSysFile), faHidden | faSysFile);
    FileSetAttr(dir / "sub\\data.ini", 0);
}

// A failure at any step raises its reason and leaves the old file (bytes and attributes) or no
// file, and no temporary file; nothing after the failed step is done.
TEST(SysUtilsSafeWrite, AFailureAtAnyStepLeavesTheTargetAsItWas)
{
    using testkit::FileStep;
    struct Case {
        FileStep step;
        DWORD error;
        const char* what;
        const char* kinds;
    };
    const Case cases[] = {
        {FileStep::CreateTemp, ERROR_ACCESS_DENIED, "Cannot create file", "create-temp"},
        {FileStep::Write, ERROR_DISK_FULL, "Error writing file", "create-temp write"},
        {FileStep::Flush, ERROR_WRITE_FAULT, "Error writing file", "create-temp write flush"},
        {FileStep::Close, ERROR_DISK_FULL, "Error writing file", "create-temp write flush close"},
        {FileStep::Move, ERROR_NOT_SAME_DEVICE, "Cannot replace file", "create-temp write flush close move"},
    };
    testkit::TempDir dir;
    const std::string old(100000, 'o');
    testkit::WriteFileBytes(dir / "tree.vlt", old);
    ASSERT_EQ(FileSetAttr(dir / "tree.vlt", faHidden), 0);
    for (const Case& c : cases) {
        for (const AnsiString name : {"tree.vlt", "new.vlt"}) {
            const AnsiString target = dir / name;
            testkit::FileSteps steps;
            steps.FailAt(c.step, c.error);
            const AnsiString context = AnsiString(c.kinds) + " " + name;
            try {
                SafeWriteFileBytes(target, "new");
                ADD_FAILURE() << context << ": nothing refused";
            } catch (const EStreamError& e) {
                EXPECT_EQ(c.step == FileStep::CreateTemp, dynamic_cast<const EFCreateError*>(&e) != nullptr) << context;
                EXPECT_EQ(c.step != FileStep::CreateTemp, dynamic_cast<const EWriteError*>(&e) != nullptr) << context;
                EXPECT_EQ(e.Message, AnsiString(c.what) + " \"" + target + "\". " + SysErrorMessage(c.error)) << context;
                EXPECT_EQ(e.FileName, target) << context;
                EXPECT_EQ(e.ErrorCode, c.error) << context;
            }
            EXPECT_EQ(steps.Kinds(), c.kinds) << context;
            EXPECT_EQ(FilesIn(dir.Path()), 1u) << context << ": only the old file remains";
        }
        EXPECT_EQ(testkit::ReadFileBytes(dir / "tree.vlt"), old);
        EXPECT_EQ(FileGetAttr(dir / "tree.vlt") & (faHidden | faReadOnly), faHidden);
    }
    // An exception from the writer is passed on as it is, before anything reaches the disk.
    testkit::FileSteps steps;
    EXPECT_EQ(testkit::Refusal<std::runtime_error>([&] {
                  SafeWriteFile(dir / "tree.vlt", [](IByteSink& sink) {
                      sink.Write("partial", 7);
                      throw std::runtime_error("writer failed");
                  });
              }), "writer failed");
    EXPECT_EQ(steps.Kinds(), "create-temp write");
    EXPECT_EQ(testkit::ReadFileBytes(dir / "tree.vlt"), old);
    EXPECT_EQ(FilesIn(dir.Path()), 1u);
    FileSetAttr(dir / "tree.vlt", 0);
}
// Targets the program may not replace are refused before anything is written, with the reason's
// code: a missing folder, a folder in the target's place, a read-only file (which the system would
// let an administrator replace).
// A target another program holds for a moment (a scanner or a sync tool reading a file just
// written) is replaced once it lets go; one held for good is refused with the system's reason after
// the wait, the old bytes kept, as are a move and a delete of a held file.
TEST(SysUtilsSafeWrite, ATargetAnotherProgramHoldsIsWaitedFor)
{
    testkit::TempDir dir;
    const AnsiString target = dir / "note.txt";
    testkit::WriteFileBytes(target, "old");
    for (DWORD error : {DWORD(ERROR_SHARING_VIOLATION), DWORD(ERROR_ACCESS_DENIED)}) {
        testkit::FileSteps steps;
        steps.FailAt(testkit::FileStep::Move, error);
        SafeWriteFileBytes(target, "new");
        EXPECT_EQ(steps.Kinds(), "create-temp write flush close move move") << error;
        EXPECT_EQ(testkit::ReadFileBytes(target), "new") << error;
    }
    const HANDLE held = CreateFileA(target.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                    OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    try {
        SafeWriteFileBytes(target, "lost");
        ADD_FAILURE() << "a held target was replaced";
    } catch (const EWriteError& e) {
        EXPECT_TRUE(e.ErrorCode == ERROR_ACCESS_DENIED || e.ErrorCode == ERROR_SHARING_VIOLATION) << e.ErrorCode;
    }
    EXPECT_NE(MoveFileWhenFree(target, dir / "moved.txt", 0), 0u);
    EXPECT_NE(DeleteFileWhenFree(target), 0u);
    CloseHandle(held);
    EXPECT_EQ(testkit::ReadFileBytes(target), "new");
    EXPECT_EQ(FilesIn(dir.Path()), 1u);
    EXPECT_EQ(MoveFileWhenFree(target, dir / "moved.txt", 0), 0u);
    EXPECT_EQ(DeleteFileWhenFree(dir / "moved.txt"), 0u);
    EXPECT_EQ(DeleteFileWhenFree(dir / "moved.txt"), DWORD(ERROR_FILE_NOT_FOUND));
}

TEST(SysUtilsSafeWrite, RefusalsNameTheTargetAndTheReason)
{
    testkit::TempDir dir;
    CreateDir(dir / "folder");
    testkit::WriteFileBytes(dir / "ro.ini", "kept");
    ASSERT_EQ(FileSetAttr(dir / "ro.ini", faReadOnly | faHidden), 0);
    const struct {
        AnsiString target, message;
        DWORD code;
    } refused[] = {
        {dir / "нет\\form.ini", "Cannot create file \"" + dir / "нет\\form.ini" + "\". The folder does not exist",
         ERROR_PATH_NOT_FOUND},
        {dir / "folder", "Cannot replace file \"" + dir / "folder" + "\". It is a folder", ERROR_DIRECTORY_NOT_SUPPORTED},
        {dir / "ro.ini", "Cannot replace file \"" + dir / "ro.ini" + "\". It is read-only", ERROR_FILE_READ_ONLY},
    };
    for (const auto& r : refused) {
        testkit::FileSteps steps;
        try {
            SafeWriteFileBytes(r.target, "x");
            ADD_FAILURE() << r.target << ": nothing refused";
        } catch (const EStreamError& e) {
            EXPECT_EQ(e.Message, r.message);
            EXPECT_EQ(e.FileName, r.target);
            EXPECT_EQ(e.ErrorCode, r.code);
        }
        EXPECT_EQ(steps.Kinds(), "") << r.target;
        EXPECT_EQ(ReplaceRefusal(r.target), r.target == refused[0].target ? 0 : r.code);
    }
    EXPECT_FALSE(DirectoryExists(dir / "нет"));
    EXPECT_TRUE(DirectoryExists(dir / "folder"));
    EXPECT_EQ(testkit::ReadFileBytes(dir / "ro.ini"), "kept");
    EXPECT_EQ(FileGetAttr(dir / "ro.ini") & (faHidden | faReadOnly), faHidden | faReadOnly);
    // Made read-only while the new content is written: refused for that reason before the move.
    ASSERT_EQ(FileSetAttr(dir / "ro.ini", faHidden), 0);
    {
        testkit::FileSteps steps;
        EXPECT_EQ(testkit::Refusal<EWriteError>([&] {
                      SafeWriteFile(dir / "ro.ini", [&](IByteSink& sink) {
                          sink.Write("new", 3);
                          FileSetAttr(dir / "ro.ini", faReadOnly | faHidden);
                      });
                  }),
                  refused[2].message);
        EXPECT_EQ(steps.Kinds(), "create-temp write flush close");
    }
    EXPECT_EQ(testkit::ReadFileBytes(dir / "ro.ini"), "kept");
    EXPECT_EQ(FilesIn(dir.Path()), 1u) << "the temporary file removed";
    FileSetAttr(dir / "ro.ini", 0);
    DeleteFile(dir / "ro.ini");
    EXPECT_EQ(FilesIn(dir.Path()), 0u);

    testkit::WriteFileBytes(dir / "a.txt", "bytes");
    EXPECT_EQ(LoadFileBytes(dir / "a.txt"), "bytes");
    EXPECT_EQ(testkit::Refusal<EFOpenError>([&] { LoadFileBytes(dir / "b.txt"); }),
              "Cannot open file \"" + dir / "b.txt" + "\". " + SysErrorMessage(ERROR_FILE_NOT_FOUND));
    testkit::FileSteps steps;
    steps.FailAt(testkit::FileStep::Read, ERROR_LOCK_VIOLATION);
    EXPECT_EQ(testkit::Refusal<EFOpenError>([&] { LoadFileBytes(dir / "a.txt"); }),
              "Cannot open file \"" + dir / "a.txt" + "\". " + SysErrorMessage(ERROR_LOCK_VIOLATION));
}

TEST(SysUtilsProcess, ParamStrParsesQuotesAndBlanks)
{
    TExeNameOverride exe("C:\\Prog\\Vellorn.exe");
    {
        TCmdLineOverride cmd("\"C:\\Prog Files\\Vellorn.exe\"  \"D:\\My Trees\\x.vlt\"   two\tthree\"q\"x \"\"");
        EXPECT_EQ(ParamCount(), 3) << "an empty quoted pair is skipped";
        EXPECT_EQ(ParamStr(0), "C:\\Prog\\Vellorn.exe") << "the program path comes from the module";
        EXPECT_EQ(ParamStr(1), "D:\\My Trees\\x.vlt");
        EXPECT_EQ(ParamStr(2), "two");
        EXPECT_EQ(ParamStr(3), "threeqx");
        EXPECT_EQ(ParamStr(4), "");
        EXPECT_EQ(ParamStr(5), "");
        EXPECT_EQ(ParamStr(-1), "");
        EXPECT_EQ(CmdLine().substr(0, 5), "\"C:\\P");
        {
            TCmdLineOverride inner("prog.exe");
            EXPECT_EQ(ParamCount(), 0);
            EXPECT_EQ(ParamStr(1), "");
        }
        EXPECT_EQ(ParamCount(), 3) << "restored";
    }
    {
        TCmdLineOverride cmd("");
        EXPECT_EQ(ParamCount(), 0);
    }
    {
        TCmdLineOverride cmd("prog \"unterminated arg");
        EXPECT_EQ(ParamStr(1), "unterminated arg");
    }
    EXPECT_EQ(CmdLine(), AnsiString(GetCommandLineA())) << "the real command line is back";
}

TEST(SysUtilsProcess, ExeNameOverrideAndClock)
{
    const AnsiString real = ExeName();
    EXPECT_EQ(ExtractFileExt(LowerCase(real)), ".exe");
    {
        TExeNameOverride exe("C:\\Temp\\Test\\Vellorn.exe");
        EXPECT_EQ(ExeName(), "C:\\Temp\\Test\\Vellorn.exe");
        EXPECT_EQ(ExeDir(), "C:\\Temp\\Test\\");
        EXPECT_EQ(ParamStr(0), "C:\\Temp\\Test\\Vellorn.exe");
    }
    EXPECT_EQ(ExeName(), real);
    EXPECT_EQ(ExeDir(), ExtractFilePath(real));

    Cardinal now = 1000;
    {
        SysUtils::TTickClockOverride clock([&now] { return now; });
        EXPECT_EQ(SysUtils::GetTickCount(), 1000u);
        now += 500;
        EXPECT_EQ(SysUtils::GetTickCount(), 1500u);
    }
    const Cardinal sys = ::GetTickCount();
    EXPECT_LE(SysUtils::GetTickCount() - sys, 1000u) << "the system clock is back";

    {
        // 1 March 2024, 18:00: Date drops the time; a day before 1899 keeps its day too.
        double now = EncodeDate(2024, 3, 1) + 0.75;
        SysUtils::TDateClockOverride clock([&now] { return now; });
        EXPECT_EQ(SysUtils::Now(), EncodeDate(2024, 3, 1) + 0.75);
        EXPECT_EQ(SysUtils::Date(), EncodeDate(2024, 3, 1));
        now = -1.25;
        EXPECT_EQ(SysUtils::Date(), -1);
    }
    SYSTEMTIME st{};
    GetLocalTime(&st);
    EXPECT_NEAR(SysUtils::Date(), EncodeDate(st.wYear, st.wMonth, st.wDay), 1) << "the system calendar is back";

    {
        SysUtils::TBeepCounter beeps;
        SysUtils::Beep();
        SysUtils::Beep();
        EXPECT_EQ(beeps.Count, 2);
    }
}

// A save cut short by the end of its process leaves a temporary file of the system's naming: the
// next start deletes those, and nothing else, and never one still being written.
TEST(SysUtilsSafeWrite, StaleTemporaryFilesAreRemoved)
{
    testkit::TempDir dir;
    const char* const stale[] = {"vln1.tmp", "VLNFFFF.TMP", "vlnA0b9.tmp"};
    const char* const kept[] = {"vln.tmp", "vln12345.tmp", "vlnx1.tmp", "avln1.tmp", "vln1.tmp.txt", "vln1.txt"};
    for (const char* name : stale)
        testkit::WriteFileBytes(dir / name, "partial");
    for (const char* name : kept)
        testkit::WriteFileBytes(dir / name, "mine");
    testkit::WriteFileBytes(dir / "vln2.tmp", "being written");
    const HANDLE open = CreateFileA((dir / "vln2.tmp").c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(open, INVALID_HANDLE_VALUE);
    EXPECT_EQ(RemoveStaleTempFiles(ExcludeTrailingBackslash(dir.Path())), 3);
    CloseHandle(open);
    for (const char* name : stale)
        EXPECT_FALSE(FileExists(dir / name)) << name;
    for (const char* name : kept)
        EXPECT_TRUE(FileExists(dir / name)) << name;
    EXPECT_TRUE(FileExists(dir / "vln2.tmp"));
    EXPECT_EQ(RemoveStaleTempFiles(dir / "missing"), 0);
}

// Reasons and errors in the user's words: the program's own text for each code it names, the
// number for any other, and never the runtime's English.
TEST(SysUtilsProcess, ErrorsInTheUsersWords)
{
    const struct {
        DWORD code;
        const char* text;
    } reasons[] = {
        {0, "Причина неизвестна."},
        {ERROR_ACCESS_DENIED, "Доступ запрещён."},
        {ERROR_FILE_READ_ONLY, "Файл доступен только для чтения."},
        {ERROR_DISK_FULL, "Недостаточно места на диске."},
        {ERROR_HANDLE_DISK_FULL, "Недостаточно места на диске."},
        {ERROR_SHARING_VIOLATION, "Файл занят другой программой."},
        {ERROR_DIRECTORY_NOT_SUPPORTED, "На месте файла находится папка."},
        {ERROR_PATH_NOT_FOUND, "Папка не найдена."},
        {ERROR_NOT_ENOUGH_MEMORY, "Недостаточно памяти."},
        {ERROR_INVALID_FUNCTION, "Системная ошибка 1."},
        {0xFFFFFFFF, "Системная ошибка 4294967295."},
    };
    for (const auto& r : reasons)
        EXPECT_EQ(ErrorReasonText(r.code), r.text) << r.code;

    const struct {
        std::function<void()> raise;
        const char* text;
    } errors[] = {
        {[] { throw EFOpenError("Cannot open file \"C:\\a.txt\". x", "C:\\a.txt", ERROR_SHARING_VIOLATION); },
         "Не удалось прочитать файл \"C:\\a.txt\": Файл занят другой программой."},
        {[] { throw EWriteError("Error writing file \"C:\\a.txt\". x", "C:\\a.txt", ERROR_DISK_FULL); },
         "Не удалось записать файл \"C:\\a.txt\": Недостаточно места на диске."},
        {[] { throw EIniFileException("Unable to write to C:\\f.ini", "C:\\f.ini", 0); },
         "Не удалось записать файл \"C:\\f.ini\": Причина неизвестна."},
        {[] { throw EReadError("Stream read error"); }, "Данные повреждены: прочитать их не удалось."},
        {[] { throw EOutOfMemory("Out of memory", "", ERROR_NOT_ENOUGH_MEMORY); },
         "Недостаточно памяти для этого действия."},
        {[] { throw EConvertError("'x' is not a valid integer value"); },
         "Действие не выполнено: внутренняя ошибка программы."},
        {[] { throw Exception("Error Setting Path"); }, "Действие не выполнено: внутренняя ошибка программы."},
        {[] { throw Exception(""); }, "Действие не выполнено: внутренняя ошибка программы."},
        {[] { throw Exception("Не удалось запустить \"x\""); }, "Не удалось запустить \"x\""},
    };
    for (const auto& e : errors) {
        try {
            e.raise();
        } catch (const Exception& raised) {
            EXPECT_EQ(UserErrorText(raised), e.text);
        }
    }
}

TEST(SysUtilsProcess, OsErrors)
{
    EXPECT_FALSE(SysErrorMessage(ERROR_FILE_NOT_FOUND).empty());
    EXPECT_NE(SysErrorMessage(ERROR_FILE_NOT_FOUND).back(), '.');
    try {
        RaiseLastOSError(ERROR_ACCESS_DENIED);
        FAIL();
    } catch (const EOSError& e) {
        EXPECT_EQ(e.Message.rfind("System Error.  Code: 5.\r\n", 0), 0u) << e.Message;
    }
    EXPECT_EQ(testkit::Refusal<EAbort>([] { Abort(); }), "Operation aborted");
}

// What a system dialog hands back, taken as the path that reaches that very entry: a look-alike
// name by its short name, a name ending in " " literally (the plain path names "dup"), a short
// folder name in its long form; a new name after its folder's reaching path, or refused ("") when
// no path carries it.
TEST(SysUtilsFiles, AChosenPathReachesTheEntryItselfOrIsRefused)
{
    testkit::TempDir dir;
    testkit::MakeWide(dir.Path(), L"a.txt", "plain");
    testkit::MakeWide(dir.Path(), L"\uff41.txt", "wide a");
    testkit::MakeWide(dir.Path(), L"dup", "dup");
    testkit::MakeWide(dir.Path(), L"dup ", "dup blank");
    testkit::MakeWide(dir.Path(), L"long folder\\");
    testkit::MakeWide(dir.Path(), L"\uff53\uff55\uff42\\");
    testkit::MakeWide(dir.Path(), L"\uff53\uff55\uff42\\in.txt", "wide sub");
    const std::wstring wide = AnsiToWide(dir.Path());
    EXPECT_EQ(testkit::ReadFileBytes(ChosenPath(wide + L"\uff41.txt")), "wide a");
    EXPECT_EQ(testkit::ReadFileBytes(ChosenPath(wide + L"dup ")), "dup blank");
    EXPECT_EQ(ChosenPath(wide + L"a.txt"), dir / "a.txt");
    char shortDir[MAX_PATH] = {};
    ASSERT_NE(GetShortPathNameA((dir / "long folder").c_str(), shortDir, MAX_PATH), 0u);
    EXPECT_EQ(ChosenPath(AnsiToWide(shortDir) + L"\\new.txt"), dir / "long folder\\new.txt");

    const AnsiString inWide = ChosenPath(wide + L"\uff53\uff55\uff42\\new.txt");
    EXPECT_EQ(ExtractFileName(inWide), "new.txt");
    EXPECT_EQ(testkit::ReadFileBytes(ExtractFilePath(inWide) + "in.txt"), "wide sub") << inWide;
    for (const wchar_t* refused : {L"\uff42.txt", L"new.", L"new ", L"con.txt", L"NUL", L"com1 .log"})
        EXPECT_EQ(ChosenPath(wide + refused), "") << WideToAnsi(refused);
    EXPECT_EQ(ChosenPath(L"relative.txt"), "");
}
