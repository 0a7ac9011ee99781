// The settings files: the tree-open flag, form.ini read with defaults and written in order and
// hidden, the address list.
#include <gtest/gtest.h>

#include "ArchiveFiles.h"
#include "MainBrowse.h"
#include "Settings.h"
#include "FileSteps.h"
#include "TestKit.h"

namespace {

struct SettingsTest : ::testing::Test {
    testkit::TempDir dir;
    TExeNameOverride exe{dir / "Vellorn.exe"};
    void SetUp() override { ForceDirectories(dir / "FILES"); }
};

} // namespace

TEST_F(SettingsTest, TreeOpenIsTrueOnlyForExactlyTrue)
{
    EXPECT_TRUE(settings::ReadOpenTreesInNewWindow()) << "no file";
    testkit::WriteFileBytes(dir / "FILES\\settings.ini", "[OPEN_TREE]\r\n");
    EXPECT_TRUE(settings::ReadOpenTreesInNewWindow()) << "no key";
    testkit::WriteFileBytes(dir / "FILES\\settings.ini", "[OPEN_TREE]\r\nTreeOpen=true\r\n");
    EXPECT_TRUE(settings::ReadOpenTreesInNewWindow());
    testkit::WriteFileBytes(dir / "FILES\\settings.ini", "[OPEN_TREE]\r\nTreeOpen=True\r\n");
    EXPECT_FALSE(settings::ReadOpenTreesInNewWindow());
    testkit::WriteFileBytes(dir / "FILES\\settings.ini", "[OPEN_TREE]\r\nTreeOpen=false\r\n");
    EXPECT_FALSE(settings::ReadOpenTreesInNewWindow());
}

TEST_F(SettingsTest, FormSettingsDefaultsAndValues)
{
    settings::TFormSettings d = settings::ReadFormSettings();
    EXPECT_EQ(d.Width, 0);
    EXPECT_EQ(d.Height, 0);
    EXPECT_EQ(d.VisibleTree, 0);
    EXPECT_EQ(d.Skin, "Neutral");
    EXPECT_EQ(settings::ReadTreeName(), "VLN");

    testkit::WriteFileBytes(dir / "FILES\\form.ini",
                            "[FORM]\r\nNameTree=Мой архив\r\nWidth=900\r\nHeight=700\r\nTop=12\r\nLeft=34\r\n"
                            "Skin=Зима\r\n[VIEW]\r\nVisible_Tool1=1\r\nVisible_Tool2=0\r\nVisible_Tree=7\r\n"
                            "[Panel]\r\nWidth=abc\r\n");
    settings::TFormSettings s = settings::ReadFormSettings();
    EXPECT_EQ(s.Width, 900);
    EXPECT_EQ(s.Height, 700);
    EXPECT_EQ(s.Top, 12);
    EXPECT_EQ(s.Left, 34);
    EXPECT_EQ(s.PanelWidth, 0) << "not a number";
    EXPECT_EQ(s.VisibleTool1, 1);
    EXPECT_EQ(s.VisibleTool2, 0);
    EXPECT_EQ(s.VisibleTree, 7);
    EXPECT_EQ(s.Skin, "Зима");
    EXPECT_EQ(settings::ReadTreeName(), "Мой архив");
}

// Values a damaged or hand-edited form.ini holds that no window, tree or skin can take count as
// missing: the program starts with the defaults.
TEST_F(SettingsTest, ValuesNoWindowTreeOrSkinCanTakeCountAsMissing)
{
    const struct {
        std::string line;
        AnsiString tree, skin;
        Integer width;
        AnsiString saved = ""; // the tree saved elsewhere
    } cases[] = {
        {"NameTree=" + std::string(251, 'x'), AnsiString(251, 'x'), "Neutral", 0},
        {"NameTree=" + std::string(252, 'x'), "VLN", "Neutral", 0},
        {"NameTree=" + std::string(1024 * 1024, 'x'), "VLN", "Neutral", 0},
        {"NameTree=a\x01" "b", "VLN", "Neutral", 0},
        {"NameTree=a\\b", "VLN", "Neutral", 0},
        {"Skin=..\\..\\x", "VLN", "Neutral", 0},
        {"Skin=a\tb", "VLN", "Neutral", 0},
        {"Skin=", "VLN", "", 0},
        {"Width=32767", "VLN", "Neutral", 32767},
        {"Width=32768", "VLN", "Neutral", 0},
        {"Width=-32768", "VLN", "Neutral", -32768},
        {"Width=-32769", "VLN", "Neutral", 0},
        {"TreeFile=D:\\Мои деревья\\копия.vlt", "VLN", "Neutral", 0, "D:\\Мои деревья\\копия.vlt"},
        {"TreeFile=" + std::string(MAX_PATH, 'x'), "VLN", "Neutral", 0, AnsiString(MAX_PATH, 'x')},
        {"TreeFile=" + std::string(MAX_PATH + 1, 'x'), "VLN", "Neutral", 0},
        {"TreeFile=" + std::string(1024 * 1024, 'x'), "VLN", "Neutral", 0},
        {"TreeFile=D:\\a\x1f" "b.vlt", "VLN", "Neutral", 0},
        {"TreeFile=D:\\a\tb.vlt", "VLN", "Neutral", 0},
    };
    for (const auto& c : cases) {
        testkit::WriteFileBytes(dir / "FILES\\form.ini", "[FORM]\r\n" + c.line + "\r\n");
        const settings::TFormSettings s = settings::ReadFormSettings();
        EXPECT_EQ(settings::ReadTreeName(), c.tree) << c.line.substr(0, 20);
        EXPECT_EQ(s.Skin, c.skin) << c.line.substr(0, 20);
        EXPECT_EQ(s.Width, c.width) << c.line.substr(0, 20);
        EXPECT_EQ(settings::ReadSavedTreeFile(), c.saved) << c.line.substr(0, 20);
    }
    for (const char bad : std::string("*?\"<>|")) {
        testkit::WriteFileBytes(dir / "FILES\\form.ini", std::string("[FORM]\r\nTreeFile=D:\\a") + bad + "b.vlt\r\n");
        EXPECT_EQ(settings::ReadSavedTreeFile(), "") << bad;
    }
    // A stored window size (the page editor's) is one a window can have, else its default.
    const std::pair<Integer, Integer> sizes[] = {{0, 400}, {1, 1}, {32767, 32767}, {32768, 400}, {-2147483647 - 1, 400}};
    for (const auto& [stored, size] : sizes)
        EXPECT_EQ(settings::StoredWindowSize(stored, 400), size) << stored;
}

TEST_F(SettingsTest, CloseWritesEveryKeyInOrderAndHidesTheFile)
{
    settings::TFormCloseSettings v;
    v.NameTree = "VLN";
    v.Width = 800;
    v.Height = 600;
    v.Top = -4;
    v.Left = 10;
    v.Skin = "Neutral";
    v.VisibleTool1 = true;
    v.VisibleTree = true;
    v.PanelWidth = 250;
    v.NewArticleCount = 3;
    settings::WriteFormSettings(v);
    const AnsiString path = dir / "FILES\\form.ini";
    const std::string expected = "[FORM]\r\nNameTree=VLN\r\nWidth=800\r\nHeight=600\r\nTop=-4\r\nLeft=10\r\n"
                                 "Skin=Neutral\r\n[VIEW]\r\nVisible_Tool1=1\r\nVisible_Tool2=0\r\n"
                                 "Visible_Tree=1\r\n[Panel]\r\nWidth=250\r\n[ST]\r\nCount=3\r\n";
    EXPECT_EQ(testkit::ReadFileBytes(path), expected);
    EXPECT_EQ(FileGetAttr(path) & (faHidden | faReadOnly), faHidden);

    // The hidden file is rewritten at the next close and stays hidden.
    v.Width = 1024;
    v.NewArticleCount = 0;
    settings::WriteFormSettings(v);
    EXPECT_NE(testkit::ReadFileBytes(path).find("Width=1024"), std::string::npos);
    EXPECT_NE(testkit::ReadFileBytes(path).find("Count=0"), std::string::npos);
    EXPECT_EQ(FileGetAttr(path) & faHidden, faHidden);

    // The tree saved elsewhere is named while there is one, and the key goes with it.
    v.SavedTreeFile = "D:\\Мои деревья\\копия.vlt";
    settings::WriteFormSettings(v);
    EXPECT_EQ(settings::ReadSavedTreeFile(), "D:\\Мои деревья\\копия.vlt");
    v.SavedTreeFile = "";
    settings::WriteFormSettings(v);
    EXPECT_EQ(testkit::ReadFileBytes(path).find("TreeFile"), std::string::npos);

    // Without the tree keys the working tree's name, count and saved tree stay as they were.
    v.NameTree = "другое";
    v.NewArticleCount = 99;
    v.SavedTreeFile = "D:\\x.vlt";
    v.WithTreeKeys = false;
    settings::WriteFormSettings(v);
    EXPECT_EQ(settings::ReadTreeName(), "VLN");
    EXPECT_EQ(testkit::ReadFileBytes(path).find("Count=99"), std::string::npos);
    EXPECT_EQ(settings::ReadSavedTreeFile(), "");
}

TEST_F(SettingsTest, AddressListMissingIsEmptyAndRoundTrips)
{
    TStringList items;
    items.Add("old");
    settings::LoadAddressList(items);
    EXPECT_EQ(items.Count(), 0);
    items.Add("http://example.org/");
    items.Add("Адрес");
    testkit::FileSteps steps;
    settings::SaveAddressList(items);
    EXPECT_EQ(testkit::ReadFileBytes(archive::AppPath("FILES\\list")), "http://example.org/\r\nАдрес\r\n");
    TStringList back;
    settings::LoadAddressList(back);
    EXPECT_EQ(steps.Kinds(), "create-temp write flush close move read");
    ASSERT_EQ(back.Count(), 2);
    EXPECT_EQ(back[1], "Адрес");
}

// The close's merge of the address list: the file's lines stay as they are, and the window's own
// additions (what it shows beyond what it loaded) follow in their order, each once, unless the file
// has one like it (letter case and "&" marks aside). 100,000 addresses merge at once.
TEST_F(SettingsTest, TheAddressListMergeAddsOnlyTheWindowsOwnAddressesOnce)
{
    TStringList list;
    list.SetText("http://a.example/\r\nhttp://B.example/\r\nlocal\r\n");
    MergeAddresses(list, {"http://a.example/", "gone"},
                   {"http://a.example/", "gone", "http://b.example/", "http://c&.example/", "http://C.example/", "new",
                    "new"});
    EXPECT_EQ(list.Text(), "http://a.example/\r\nhttp://B.example/\r\nlocal\r\nhttp://c&.example/\r\nnew\r\n");

    std::vector<AnsiString> loaded;
    for (int i = 0; i < 100000; ++i)
        loaded.push_back("http://example.org/" + IntToStr(i));
    std::vector<AnsiString> shown = loaded;
    shown.push_back("http://example.org/new");
    TStringList big;
    for (const AnsiString& address : loaded)
        big.Add(address);
    MergeAddresses(big, loaded, shown);
    ASSERT_EQ(big.Count(), 100001);
    EXPECT_EQ(big[100000], "http://example.org/new");
}
