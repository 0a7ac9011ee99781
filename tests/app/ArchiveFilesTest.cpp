#include <gtest/gtest.h>

#include <functional>
#include <new>

#include "ArchiveFiles.h"
#include "MainSession.h"
#include "Settings.h"
#include "TestKit.h"

using namespace archive;

TEST(CommandLine, TreePathAfterTheProgramPath)
{
    EXPECT_EQ(TreePathFromCommandLine("\"C:\\Prog\\Vellorn.exe\""), "");
    EXPECT_EQ(TreePathFromCommandLine("\"C:\\Prog\\Vellorn.exe\" "), "");
    EXPECT_EQ(TreePathFromCommandLine("\"C:\\Prog\\Vellorn.exe\" D:\\x.vlt"), "D:\\x.vlt");
    // A path with blanks arrives whole, quoted or not; one pair of quotes is removed.
    EXPECT_EQ(TreePathFromCommandLine("\"C:\\Prog\\Vellorn.exe\" D:\\Мои деревья\\x.vlt"),
              "D:\\Мои деревья\\x.vlt");
    EXPECT_EQ(TreePathFromCommandLine("\"C:\\Prog\\Vellorn.exe\" \"D:\\Мои деревья\\x.vlt\""),
              "D:\\Мои деревья\\x.vlt");
    // Without a leading quote the program path ends at the first blank.
    EXPECT_EQ(TreePathFromCommandLine("Vellorn.exe D:\\x.vlt"), "D:\\x.vlt");
    EXPECT_EQ(TreePathFromCommandLine("Vellorn.exe"), "");
    EXPECT_EQ(TreePathFromCommandLine(""), "");
    EXPECT_EQ(TreePathFromCommandLine("\"unterminated"), "");
}

TEST(CommandLine, TreeNamesKeepTheirDots)
{
    EXPECT_EQ(TreeNameFromPath("D:\\trees\\2024.05.vlt"), "2024.05");
    EXPECT_EQ(TreeNameFromPath("D:\\trees\\Новое.VLT"), "Новое");
    EXPECT_EQ(TreeNameFromPath("x.vlt.bak"), "x.vlt.bak");
    EXPECT_EQ(TreeNameFromPath("C:x"), "x");
    EXPECT_EQ(TreeNameFromPath("Temp.vlt"), "Temp");
}

// A write the program's files go through counts as done only when it finished: every failure,
// one without any reason too, is a failure with a reason in the user's words.
TEST(OwnFiles, AWriteThatFailsIsAFailureWithAReason)
{
    const struct {
        std::function<void()> write;
        bool written;
        const char* reason;
    } cases[] = {
        {[] {}, true, ""},
        {[] { throw Exception(""); }, false, "Действие не выполнено: внутренняя ошибка программы."},
        {[] { throw EWriteError("", "C:\\x.vlt", 0); }, false, "Причина неизвестна."},
        {[] { throw EWriteError("Cannot replace file", "C:\\x.vlt", ERROR_FILE_READ_ONLY); }, false,
         "Файл доступен только для чтения."},
        {[] { throw std::bad_alloc(); }, false, "Недостаточно памяти."},
        {[] { throw 1; }, false, "Причина неизвестна."},
    };
    for (const auto& c : cases) {
        AnsiString reason;
        EXPECT_EQ(TryReplaceOwnFile("C:\\x.vlt", c.write, reason), c.written) << c.reason;
        EXPECT_EQ(reason, c.reason);
    }
}

// No file can have the name of a device, whatever its extension or the blanks and dots after it.
TEST(OwnFiles, DeviceNamesAtBothEnds)
{
    for (const char* name : {"CON", "con", "PRN", "AUX", "NUL", "nul.txt", "NUL ", "NUL .html", "CON.", "COM1", "COM9",
                             "lpt1", "LPT9.x", "CONIN$", "CONOUT$"})
        EXPECT_TRUE(DeviceName(name)) << name;
    for (const char* name : {"", "CONX", "CO", "COM0", "COM10", "LPT", "LPTA", "xnul", "nul_1.txt", "COM1a", ".nul"})
        EXPECT_FALSE(DeviceName(name)) << name;
}

// Every write of the program's own files keeps the one rule: a read-only file is refused with its
// code and left as it was (the system would let an administrator replace it).
TEST(OwnFiles, EveryWriteRefusesAReadOnlyFile)
{
    testkit::TempDir dir;
    TExeNameOverride exe(dir / "Vellorn.exe");
    ForceDirectories(dir / "FILES\\tree");
    testkit::WriteFileBytes(dir / "FILES\\tree\\Temp.ini", "[FILES]\r\n");
    TStringList items;
    items.Add("http://example.org/");
    const struct {
        const char* file;
        std::function<void()> write;
    } writes[] = {
        {"FILES\\form.ini", [] { settings::WriteFormSettings({}); }},
        {"FILES\\settings.ini", [] { settings::WriteOpenTreesInNewWindow(false); }},
        {"FILES\\list", [&] { settings::SaveAddressList(items); }},
    };
    for (const auto& w : writes) {
        const AnsiString path = dir / w.file;
        testkit::WriteFileBytes(path, "old");
        FileSetAttr(path, faReadOnly);
        try {
            w.write();
            ADD_FAILURE() << w.file << ": written";
        } catch (const Exception& e) {
            EXPECT_EQ(e.ErrorCode, static_cast<Cardinal>(ERROR_FILE_READ_ONLY)) << w.file;
            EXPECT_EQ(ExpandFileName(e.FileName), path) << w.file;
        }
        FileSetAttr(path, 0);
        EXPECT_EQ(testkit::ReadFileBytes(path), "old") << w.file;
    }
}
