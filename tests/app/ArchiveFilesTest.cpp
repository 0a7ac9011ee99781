#include <gtest/gtest.h>

#include "ArchiveFiles.h"
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

TEST(TreeMap, LookupsWritesAndDeletesInTheNamedMap)
{
    testkit::TempDir dir;
    TExeNameOverride exe(dir / "Vellorn.exe");
    ForceDirectories(dir / "FILES\\tree");
    EXPECT_EQ(MapPath("Temp"), dir / "FILES\\tree\\Temp.ini");
    EXPECT_EQ(ReadMapEntry("Temp", SectionFiles, "Нет такой"), "") << "missing file";
    WriteMapEntry("Temp", SectionFiles, "Статья", "a.html");
    WriteMapEntry("Temp", SectionUrl, "Сайт", "http://example.org/");
    EXPECT_EQ(ReadMapEntry("Temp", SectionFiles, "статья"), "a.html") << "titles match without case";
    EXPECT_EQ(ReadMapEntry("Temp", SectionFlash, "Статья"), "") << "sections are apart";
    DeleteMapEntry("Temp", SectionFiles, "Статья");
    EXPECT_EQ(ReadMapEntry("Temp", SectionFiles, "Статья"), "");
    EXPECT_EQ(ReadMapEntry("Temp", SectionUrl, "Сайт"), "http://example.org/");
}
