// The skin manager: the order of a skin change as a control sees it, failures, and the skin
// folder and its names.
#include <gtest/gtest.h>

#include "Dialogs.h"
#include "LiveKit.h"
#include "SysUtils.h"
#include "TestKit.h"
#include "sSkinManager.h"

using namespace livekit;

namespace {

class Manager : public TablesTest {
protected:
    void SetUp() override
    {
        TablesTest::SetUp();
        guard_ = std::make_unique<TPromptServiceGuard>(prompts);
        manager = std::make_unique<TsSkinManager>(nullptr);
        ASSERT_EQ(DefaultManager(), manager.get());
        manager->SetSkinDirectory(testkit::DataDir() + "skins");
        manager->OnBeforeChange = [](TObject*) { Log().push_back("before"); };
        manager->OnAfterChange = [](TObject*) { Log().push_back("after"); };
        auto* form = MakeForm();
        probe = On(form, Create<TProbeBox>(form, "probe", true));
        // What the probe sees of the skin when a command arrives.
        probe->OnCommand = [](TObject*) {
            Log().back() += std::string(sSkinData->Active ? " active" : "") + (RestrictDrawing ? " restricted" : "");
        };
    }
    void TearDown() override
    {
        manager.reset();
        guard_.reset();
        TablesTest::TearDown();
    }
    std::vector<std::string> Take()
    {
        std::vector<std::string> log = Log();
        Log().clear();
        return log;
    }

    TScriptedPromptService prompts;
    std::unique_ptr<TsSkinManager> manager;
    TProbeBox* probe = nullptr;

private:
    std::unique_ptr<TPromptServiceGuard> guard_;
};

} // namespace

TEST_F(Manager, AChangeIsAnnouncedLoadedBroadcastUnderRestrictionThenRepainted)
{
    const std::vector<std::string> change{"before", "probe:1 restricted", "probe:3 active", "after"};
    manager->SetSkinName("Parents");
    EXPECT_EQ(Take(), change);
    EXPECT_GE(GetSkinIndex("BASE"), 0);
    EXPECT_EQ(sSkinData->SkinPath, testkit::DataDir() + "skins\\Parents\\");
    EXPECT_FALSE(aSkinChanging);
    manager->SetSkinName("Parents");
    EXPECT_EQ(Take(), change) << "the same name loads and broadcasts again";

    NonAutoUpdate = true;
    manager->SetSkinName("Parents");
    NonAutoUpdate = false;
    EXPECT_EQ(Take(), (std::vector<std::string>{"before", "after"}));
    EXPECT_FALSE(sSkinData->Active) << "until the skin is sent";
    manager->UpdateSkin();
    EXPECT_EQ(Take(), (std::vector<std::string>{"probe:1 restricted", "probe:3 active"}));

    TsSkinManager second(nullptr);
    second.SetSkinName("NoMaster");
    EXPECT_EQ(second.SkinName(), "NoMaster");
    EXPECT_FALSE(second.Active());
    second.SetActive(true);
    second.SetActive(false);
    EXPECT_TRUE(Take().empty()) << "a second manager only stores";
    EXPECT_TRUE(sSkinData->Active);

    manager->SetSkinName("");
    EXPECT_TRUE(Take().empty()) << "an empty name only stores: extra sections set before the name load nothing";
    EXPECT_TRUE(manager->Active());
    manager->SetActive(false);
    EXPECT_EQ(Take(), std::vector<std::string>{"probe:2"});
    EXPECT_TRUE(gd.empty());
    manager->SetSkinName("NoMaster");
    EXPECT_TRUE(Take().empty()) << "an inactive manager only stores";
    manager->SetActive(true);
    EXPECT_EQ(Take(), change);
    EXPECT_GE(GetSkinIndex("BUTTON"), 0) << "the name stored meanwhile is loaded";
    EXPECT_TRUE(prompts.Shown.empty());
}

TEST_F(Manager, AMissingSkinSaysSoAndSwitchesSkinningOff)
{
    manager->SetSkinName("Parents");
    manager->SetActive(false);
    Take();
    for (const char* name : {"Nowhere", "..\\skins\\Parents", "NoOptions"}) {
        prompts.Shown.clear();
        // An inactive manager takes the name first and loads it when switched on.
        manager->SetSkinName(name);
        manager->SetActive(true);
        EXPECT_EQ(Take(), (std::vector<std::string>{"before", "probe:2"})) << name;
        ASSERT_EQ(prompts.Shown.size(), 1u) << name;
        EXPECT_EQ(prompts.Shown[0].Text,
                  "Скин \"" + AnsiString(name) + "\" не найден в папке \"" + testkit::DataDir() + "skins\\\".");
        EXPECT_EQ(prompts.Shown[0].DlgType, mtWarning);
        EXPECT_TRUE(gd.empty() && ma.empty() && pa.empty());
        EXPECT_FALSE(manager->Active());
        EXPECT_FALSE(sSkinData->Active);
        EXPECT_FALSE(aSkinChanging) << name;
        EXPECT_EQ(manager->SkinName(), name);
    }
}

TEST_F(Manager, ALoaderFailureReachesTheCallerWithNothingBroadcastAndTheFlagsClear)
{
    const std::string reason =
        testkit::Refusal<Exception>([&] { manager->SetSkinName("Truncated"); });
    EXPECT_EQ(reason, "Скин \"Truncated\" не загружен: ошибка в файле \"" + testkit::DataDir() +
                          "skins\\Truncated\\Small.jpg\". Рисунок повреждён, слишком велик или записан в формате, который программа не читает.");
    EXPECT_EQ(Take(), std::vector<std::string>{"before"});
    EXPECT_FALSE(sSkinData->Active);
    EXPECT_FALSE(aSkinChanging);
    EXPECT_FALSE(RestrictDrawing);
    EXPECT_TRUE(manager->Active()) << "the next name loads";
    manager->SetSkinName("Parents");
    EXPECT_TRUE(sSkinData->Active);
}

TEST_F(Manager, SkinInfoAndTheSkinFolder)
{
    EXPECT_EQ(manager->GetSkinInfo(), "N/A");
    EXPECT_EQ(manager->GetGlobalColor(), ColorToRGB(clBtnFace)) << "no GLOBALINFO";
    EXPECT_EQ(manager->GetGlobalFontColor(), TColor(clSkinKey));
    TStringList sections;
    sections.Add("kept");
    manager->GetSkinSections(&sections);
    EXPECT_EQ(sections.GetTextStr(), "kept\r\n") << "no skin: the list is left alone";
    manager->SetSkinName("Parents");
    manager->GetSkinSections(&sections);
    EXPECT_EQ(sections.GetTextStr(), "GLOBALINFO\r\nA\r\nB\r\nSELF\r\nBASE\r\nCHILD\r\nMixed\r\nRects\r\n");
    EXPECT_EQ(manager->GetGlobalColor(), TColor(0xFFFFFF));
    EXPECT_EQ(manager->GetGlobalFontColor(), TColor(0));
    const char saved = DecimalSeparator;
    DecimalSeparator = ',';
    EXPECT_EQ(manager->GetSkinInfo(), "4.5");
    DecimalSeparator = saved;
    EXPECT_EQ(manager->GetVersion(), "4.44");

    TExeNameOverride exe("C:\\App\\Vellorn.exe");
    const std::pair<const char*, const char*> dirs[] = {
        {"Skins", "C:\\App\\Skins\\"}, {"..\\Skins", "C:\\Skins\\"}, {"./Skins", "C:\\App\\Skins\\"},
        {".\\Skins", "C:\\App\\Skins\\"}, {"D:\\Skins", "D:\\Skins\\"}, {"D:/Skins/", "D:/Skins\\"}};
    for (const auto& d : dirs) {
        manager->SetSkinDirectory(d.first);
        EXPECT_EQ(manager->GetFullSkinDirectory(), d.second) << d.first;
    }
}

TEST_F(Manager, SkinNamesAreTheFoldersWithOptionsSortedAndTheFirstListedIsAnswered)
{
    testkit::TempDir dir;
    for (const char* folder : {"b", "a", "noopts", ".hidden"}) {
        CreateDir(dir / folder);
        if (*folder != 'n')
            testkit::WriteFileBytes(dir / (std::string(folder) + "\\Options.dat"), "[GLOBALINFO]\r\n");
    }
    manager->SetSkinDirectory(dir.Path());
    TStringList names;
    const AnsiString first = manager->GetSkinNames(&names);
    EXPECT_EQ(names.GetTextStr(), "a\r\nb\r\n");
    WIN32_FIND_DATAA found;
    HANDLE h = FindFirstFileA((dir / "*").c_str(), &found);
    std::string listed;
    do {
        if (found.cFileName[0] != '.' && std::string(found.cFileName) != "noopts" && listed.empty())
            listed = found.cFileName;
    } while (FindNextFileA(h, &found));
    FindClose(h);
    EXPECT_EQ(first, listed) << "the first one the file system lists, not the first sorted";
    manager->GetExternalSkinNames(&names);
    EXPECT_EQ(names.GetTextStr(), "a\r\nb\r\nnoopts\r\n");
}
