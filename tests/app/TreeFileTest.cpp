// Tree files read and written outside the window: the stream layout built here byte by byte,
// damaged files that change nothing, safe writing, counts, keeping a file aside, the tree lock.
#include <gtest/gtest.h>

#include "ArchiveFiles.h"
#include "InstanceLock.h"
#include "TestKit.h"
#include "TreeFile.h"
#include "sTreeView.h"

namespace {

// Little builders of the stream format.
std::string I32(int v)
{
    std::string s(4, '\0');
    for (int i = 0; i < 4; ++i)
        s[i] = static_cast<char>((static_cast<unsigned>(v) >> (8 * i)) & 0xFF);
    return s;
}
std::string Short(const std::string& t) { return std::string(1, static_cast<char>(t.size())) + t; }

struct N {
    std::string text;
    int image;
    std::vector<N> kids;
};

void PutNode(std::string& out, const N& n)
{
    const std::string text = n.text.substr(0, 255);
    out += I32(25 + static_cast<int>(text.size())) + I32(n.image) + I32(n.image) + I32(-1) + I32(-1) + I32(0) +
           I32(static_cast<int>(n.kids.size())) + Short(text);
    for (const N& k : n.kids)
        PutNode(out, k);
}

std::string ItemsData(const std::vector<N>& top)
{
    std::string out = I32(static_cast<int>(top.size()));
    for (const N& n : top)
        PutNode(out, n);
    return out;
}

// A whole file as the tables give it: names, a few properties, Items.Data, the end markers.
std::string TreeFileBytes(const std::vector<N>& top, bool withNodes = true)
{
    std::string s = "TPF0" + Short("TsTreeView") + Short("TreeView1");
    s += Short("Left") + "\x02" + std::string(1, '\0');
    s += Short("Align") + "\x07" + Short("alClient");
    s += Short("Font.Name") + "\x06" + Short("MS Sans Serif");
    s += Short("Font.Style") + "\x0B" + std::string(1, '\0');
    s += Short("Images") + "\x07" + Short("ID_Vellorn.ImageList1");
    if (withNodes) {
        const std::string data = ItemsData(top);
        s += Short("Items.Data") + "\x0A" + I32(static_cast<int>(data.size())) + data;
    }
    s += Short("SkinData.SkinSection") + "\x06" + Short("EDIT");
    s += std::string(2, '\0');
    return s;
}

std::string Dump(TTreeNodes* nodes)
{
    std::string out;
    for (TTreeNode* n = nodes->GetFirstNode(); n; n = n->GetNext())
        out += std::string(n->Level(), ' ') + n->Text() + "/" + std::to_string(n->ImageIndex()) + "/" +
               std::to_string(n->SelectedIndex()) + "\n";
    return out;
}

struct TreeFileTest : ::testing::Test {
    testkit::TempDir dir;
    TComponent* owner = Create<TComponent>(nullptr);
    TsTreeView* view = Create<TsTreeView>(owner);
    void SetUp() override { view->SetName("TreeView1"); }
    void TearDown() override { owner->Free(); }
};

} // namespace

TEST_F(TreeFileTest, FilesBuiltFromTheFormatLoadEveryTitleAndImage)
{
    const std::string longTitle(255, '\xC6'); // 255 bytes of 'Ж'
    const std::vector<N> top = {
        {"Категория", 0, {{"Статья новая", 2, {}}, {"Прочитанная", 8, {}}, {"Подкатегория", 1, {{"Избранная", 35, {}}}}}},
        {"Ссылки", 0, {{"Непрочитанная", 36, {}}, {"Мультик", 38, {}}, {"Ссылка", 39, {}}}},
        {longTitle, 2, {}},
    };
    testkit::WriteFileBytes(dir / "x.vlt", TreeFileBytes(top));
    view->Items()->Add(nullptr, "прежний");
    treefile::ReadTreeFile(dir / "x.vlt", *view);
    EXPECT_EQ(Dump(view->Items()), "Категория/0/0\n Статья новая/2/2\n Прочитанная/8/8\n Подкатегория/1/1\n"
                                   "  Избранная/35/35\nСсылки/0/0\n Непрочитанная/36/36\n Мультик/38/38\n"
                                   " Ссылка/39/39\n" +
                                       longTitle + "/2/2\n");
    EXPECT_EQ(treefile::CountEntries(*view->Items()), 7);
    EXPECT_EQ(treefile::CountImage(*view->Items(), 2), 2);

    // Written back, the node data is exactly the records built from the format.
    const std::string written = treefile::TreeStreamBytes(*view);
    EXPECT_NE(written.find(ItemsData(top)), std::string::npos);
    EXPECT_EQ(written.substr(0, 25), "TPF0" + Short("TsTreeView") + Short("TreeView1"));
}

TEST_F(TreeFileTest, AnEmptyTreeFileEmptiesTheView)
{
    testkit::WriteFileBytes(dir / "e.vlt", TreeFileBytes({}, false));
    view->Items()->Add(nullptr, "a");
    treefile::ReadTreeFile(dir / "e.vlt", *view);
    EXPECT_EQ(view->Items()->Count(), 0);

    // Written by the program: no Items.Data at all.
    treefile::WriteTreeFile(dir / "e2.vlt", *view);
    EXPECT_EQ(testkit::ReadFileBytes(dir / "e2.vlt").find("Items.Data"), std::string::npos);
}

TEST_F(TreeFileTest, DamagedOrMissingFilesChangeNothing)
{
    const std::string good = TreeFileBytes({{"a", 0, {{"b", 2, {}}}}});
    view->Items()->AddChild(view->Items()->Add(nullptr, "прежний"), "статья")->SetImageIndex(8);
    const std::string before = Dump(view->Items());

    std::vector<std::pair<std::string, std::string>> bad = {
        {"no signature", "TPFX" + good.substr(4)},
        {"cut in the header", good.substr(0, 12)},
        {"cut in the nodes", good.substr(0, good.find("Items.Data") + 30)},
        {"no end markers", good.substr(0, good.size() - 2)},
        {"one end marker", good.substr(0, good.size() - 1)},
        {"empty", ""},
    };
    // A record Size below 25 and above 280.
    std::string small = good;
    small.replace(small.find(I32(26)), 4, I32(24));
    bad.push_back({"size 24", small});
    std::string big = good;
    big.replace(big.find(I32(26)), 4, I32(281));
    bad.push_back({"size 281", big});
    // Counts that promise more children than there are.
    std::string kids = good;
    kids.replace(kids.find(I32(1) + Short("a")), 4, I32(1000000));
    bad.push_back({"child count", kids});
    std::string topCount = good;
    topCount.replace(topCount.find(I32(1) + I32(26)), 4, I32(0x7FFFFFFF));
    bad.push_back({"top count", topCount});
    // A binary length past the end of the file.
    std::string len = good;
    const size_t at = len.find("Items.Data") + 11;
    len.replace(at, 4, I32(0x7FFFFFF0));
    bad.push_back({"binary length", len});

    for (const auto& [what, bytes] : bad) {
        testkit::WriteFileBytes(dir / "bad.vlt", bytes);
        EXPECT_THROW(treefile::ReadTreeFile(dir / "bad.vlt", *view), EReadError) << what;
        EXPECT_EQ(Dump(view->Items()), before) << what;
    }
    EXPECT_THROW(treefile::ReadTreeFile(dir / "none.vlt", *view), EFOpenError);
    EXPECT_EQ(Dump(view->Items()), before);
}

TEST_F(TreeFileTest, WritingCreatesOrReplacesTheFileWhole)
{
    TTreeNode* one = view->Items()->Add(nullptr, "один");
    one->SetImageIndex(39);
    one->SetSelectedIndex(39);
    const AnsiString path = dir / "tree\\Temp.vlt";
    ForceDirectories(dir / "tree");
    treefile::WriteTreeFile(path, *view); // created when missing
    const std::string first = testkit::ReadFileBytes(path);
    EXPECT_EQ(first.substr(0, 4), "TPF0");

    // A longer old file is replaced, not overwritten in place: no old bytes remain after the end.
    testkit::WriteFileBytes(path, std::string(100000, 'x'));
    treefile::WriteTreeFile(path, *view);
    EXPECT_EQ(testkit::ReadFileBytes(path), first);

    TsTreeView* back = Create<TsTreeView>(owner);
    treefile::ReadTreeFile(path, *back);
    EXPECT_EQ(Dump(back->Items()), "один/39/39\n");
}

TEST_F(TreeFileTest, ATitleLongerThan255BytesIsCutInItsRecord)
{
    const std::string title(300, '\xDF'); // 300 x 'Я'
    TTreeNode* n = view->Items()->Add(nullptr, title);
    n->SetImageIndex(2);
    n->SetSelectedIndex(2);
    treefile::WriteTreeFile(dir / "long.vlt", *view);
    const std::string bytes = testkit::ReadFileBytes(dir / "long.vlt");
    EXPECT_NE(bytes.find(I32(280) + I32(2) + I32(2)), std::string::npos) << "Size 280";
    EXPECT_NE(bytes.find(ItemsData({{title.substr(0, 255), 2, {}}})), std::string::npos);
    treefile::ReadTreeFile(dir / "long.vlt", *view);
    EXPECT_EQ(view->Items()->GetFirstNode()->Text(), title.substr(0, 255));
}

TEST(KeepAside, RenamesWithoutOverwritingEarlierCopies)
{
    testkit::TempDir dir;
    const AnsiString path = dir / "Temp.vlt";
    EXPECT_EQ(treefile::KeepAside(path, ".damaged"), "");
    testkit::WriteFileBytes(path, "1");
    EXPECT_EQ(treefile::KeepAside(path, ".damaged"), dir / "Temp.vlt.damaged");
    testkit::WriteFileBytes(path, "2");
    EXPECT_EQ(treefile::KeepAside(path, ".damaged"), dir / "Temp.vlt.damaged.2");
    EXPECT_FALSE(FileExists(path));
    EXPECT_EQ(testkit::ReadFileBytes(dir / "Temp.vlt.damaged"), "1");
    EXPECT_EQ(testkit::ReadFileBytes(dir / "Temp.vlt.damaged.2"), "2");
}

TEST(InstanceLock, OneHolderPerTreeFile)
{
    testkit::TempDir dir;
    {
        TInstanceLock first(dir / "FILES\\tree\\Temp.vlt");
        EXPECT_TRUE(first.Held());
        TInstanceLock second(dir / "files\\TREE\\temp.VLT"); // the same file, other case
        EXPECT_FALSE(second.Held());
        TInstanceLock other(dir / "FILES\\tree\\x.vlt");
        EXPECT_TRUE(other.Held());
    }
    TInstanceLock again(dir / "FILES\\tree\\Temp.vlt");
    EXPECT_TRUE(again.Held()) << "released with its holder";
}

TEST(Notes, OnlyNotesOfTheTreeItselfMatch)
{
    AnsiString title;
    EXPECT_TRUE(archive::NoteTitle("Статья_VLN.txt", "VLN", title));
    EXPECT_EQ(title, "Статья");
    EXPECT_TRUE(archive::NoteTitle("a_b_vln.TXT", "VLN", title));
    EXPECT_EQ(title, "a_b");
    EXPECT_FALSE(archive::NoteTitle("Статья_VLN2.txt", "VLN", title));
    EXPECT_FALSE(archive::NoteTitle("Статья_VLN.txt.bak", "VLN", title));
    EXPECT_FALSE(archive::NoteTitle("_VLN.txt", "VLN", title));
    EXPECT_FALSE(archive::NoteTitle("x_VLN_y.txt", "VLN", title));
}
