// The shell service: the recording service sees the program's shell calls, the guard puts the
// real one back, and the real file copy refuses lists it cannot build.
#include "ShellSeams.h"
#include "TestKit.h"

#include <gtest/gtest.h>

using testkit::TempDir;

TEST(ShellService, GuardInstallsTheRecorderAndPutsTheSystemShellBack)
{
    TShellService* real = &Shell();
    EXPECT_NE(dynamic_cast<TSystemShell*>(real), nullptr);
    {
        TRecordingShell rec;
        TShellServiceGuard guard(rec);
        EXPECT_EQ(&Shell(), &rec);
        {
            TRecordingShell inner;
            TShellServiceGuard nested(inner);
            EXPECT_EQ(&Shell(), &inner);
        }
        EXPECT_EQ(&Shell(), &rec);
    }
    EXPECT_EQ(&Shell(), real);
}

TEST(ShellService, OpenAndCopyAreRecordedWithTheirArguments)
{
    TRecordingShell rec;
    TShellServiceGuard guard(rec);
    HWND owner = reinterpret_cast<HWND>(0x1234);
    EXPECT_EQ(ShellOpen(owner, "C:\\Vellorn\\Vellorn.exe", "C:\\trees\\x.vlt", "C:\\Vellorn", SW_SHOWNORMAL), 42);
    ShellOpen(nullptr, "mailto:box@example.org");
    bool aborted = true;
    rec.FileOperationResult = 0x75;
    rec.FileOperationAborted = true;
    EXPECT_EQ(ShellCopyFiles(owner, {"FILES\\tree\\Temp.ini"}, {"FILES\\tree\\Мое.ini"},
                             FOF_NOCONFIRMATION | FOF_SILENT, &aborted),
              0x75);
    EXPECT_TRUE(aborted);

    ASSERT_EQ(rec.Calls.size(), 3u);
    const TShellCall& run = rec.Calls[0];
    EXPECT_EQ(run.Kind, TShellCall::ckExecute);
    EXPECT_EQ(run.Owner, owner);
    EXPECT_EQ(run.Operation, "open");
    EXPECT_EQ(run.File, "C:\\Vellorn\\Vellorn.exe");
    EXPECT_EQ(run.Parameters, "C:\\trees\\x.vlt");
    EXPECT_EQ(run.Directory, "C:\\Vellorn");
    EXPECT_EQ(run.ShowCmd, SW_SHOWNORMAL);
    EXPECT_EQ(rec.Calls[1].File, "mailto:box@example.org");
    EXPECT_TRUE(rec.Calls[1].Parameters.empty());
    const TShellCall& copy = rec.Calls[2];
    EXPECT_EQ(copy.Kind, TShellCall::ckFileOperation);
    EXPECT_EQ(copy.Func, static_cast<UINT>(FO_COPY));
    EXPECT_EQ(copy.Sources, (std::vector<AnsiString>{"FILES\\tree\\Temp.ini"}));
    EXPECT_EQ(copy.Targets, (std::vector<AnsiString>{"FILES\\tree\\Мое.ini"}));
    EXPECT_EQ(copy.Flags, static_cast<FILEOP_FLAGS>(FOF_NOCONFIRMATION | FOF_SILENT));
}

TEST(ShellService, ScopedRecorderSeesCallsOnlyWhileItLives)
{
    TShellService* real = &Shell();
    {
        TScopedShellRecorder rec;
        ShellOpen(nullptr, "http://example.org/");
        ASSERT_EQ(rec.Calls.size(), 1u);
        EXPECT_EQ(rec.Calls[0].Operation, "open");
    }
    EXPECT_EQ(&Shell(), real);
}

TEST(ShellService, SystemCopyRefusesListsItCannotBuild)
{
    TSystemShell shell;
    bool aborted = true;
    EXPECT_EQ(shell.FileOperation(nullptr, FO_COPY, {}, {"x"}, FOF_SILENT, aborted), ERROR_INVALID_PARAMETER);
    EXPECT_FALSE(aborted);
    // A NUL inside a name would end the list early and copy something else.
    EXPECT_EQ(shell.FileOperation(nullptr, FO_COPY, {AnsiString("a\0b", 3)}, {"x"}, FOF_SILENT, aborted),
              ERROR_INVALID_PARAMETER);
    EXPECT_EQ(shell.FileOperation(nullptr, FO_COPY, {"a", ""}, {"x"}, FOF_SILENT, aborted), ERROR_INVALID_PARAMETER);
}

TEST(ShellService, SystemCopyCopiesFiles)
{
    TempDir dir;
    testkit::WriteFileBytes(dir / "a.ini", "[FILES]\r\nx=1\r\n");
    testkit::WriteFileBytes(dir / "b.txt", "note");
    const AnsiString target = dir / "copies";
    CreateDirectoryA(target.c_str(), nullptr);
    bool aborted = true;
    TSystemShell shell;
    int r = shell.FileOperation(nullptr, FO_COPY, {dir / "a.ini", dir / "b.txt"},
                                {target + "\\a2.ini", target + "\\b2.txt"},
                                FOF_NOCONFIRMATION | FOF_SILENT | FOF_NOERRORUI, aborted);
    EXPECT_EQ(r, 0);
    EXPECT_FALSE(aborted);
    EXPECT_EQ(testkit::ReadFileBytes(target + "\\a2.ini"), "[FILES]\r\nx=1\r\n");
    EXPECT_EQ(testkit::ReadFileBytes(target + "\\b2.txt"), "note");
}
