// The skin manager's folder and skin list.
#include <gtest/gtest.h>

#include "Dialogs.h"
#include "SysUtils.h"
#include "TestKit.h"
#include "sSkinManager.h"

TEST(SkinManager, ListsSkinFoldersWithOptionsSorted)
{
    testkit::TempDir dir;
    TExeNameOverride exe(dir / "Vellorn.exe");
    for (const char* skin : {"Winter", "autumn", ".hidden", "NoOptions"})
        ForceDirectories(dir / ("Skins\\" + std::string(skin)));
    for (const char* skin : {"Winter", "autumn", ".hidden"})
        testkit::WriteFileBytes(dir / ("Skins\\" + std::string(skin) + "\\Options.dat"), "[GLOBALINFO]\r\n");
    TsSkinManager manager(nullptr);
    manager.SetSkinDirectory("Skins\\");
    EXPECT_EQ(manager.GetFullSkinDirectory(), dir / "Skins\\");
    TStringList names;
    manager.GetSkinNames(&names);
    ASSERT_EQ(names.Count(), 2);
    EXPECT_EQ(names[0], "autumn");
    EXPECT_EQ(names[1], "Winter");
    // A name whose folder is missing is kept as the current name; skinning goes off with a box.
    TScriptedPromptService prompts;
    {
        TPromptServiceGuard guard(prompts);
        manager.SetSkinName("Neutral");
    }
    EXPECT_EQ(manager.SkinName(), "Neutral");
    ASSERT_EQ(prompts.Shown.size(), 1u);
    EXPECT_EQ(prompts.Shown[0].Text, "Скин \"Neutral\" не найден в папке \"" + dir / "Skins\\" + "\".");
    EXPECT_FALSE(manager.Active());
    // Relative forms of the directory.
    manager.SetSkinDirectory(".\\Skins");
    EXPECT_EQ(manager.GetFullSkinDirectory(), dir / "Skins\\");
    manager.SetSkinDirectory("C:\\Skins/");
    EXPECT_EQ(manager.GetFullSkinDirectory(), "C:\\Skins\\");
    manager.SetSkinDirectory("Z:\\nowhere\\at\\all");
    manager.GetSkinNames(&names);
    EXPECT_EQ(names.Count(), 0);
}
