// Tree files read and written outside the window: the stream layout built here byte by byte,
// damaged files that change nothing, safe writing, counts, keeping a file aside, the tree lock.
#include <gtest/gtest.h>

#include "ArchiveFiles.h"
#include "InstanceLock.h"
#include "TestKit.h"
#include "TreeFile.h"
#include "ExtCtrls.h"
#include "FileSteps.h"
#include "ImgList.h"
#include "Menus.h"
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
    // Record sizes at both ends of 25..280: an empty title and one of 255 bytes ('Ж').
    const std::string longTitle(255, '\xC6');
    const std::vector<N> top = {
        {"Категория", 0, {{"Статья новая", 2, {}}, {"Прочитанная", 8, {}}, {"Подкатегория", 1, {{"Избранная", 35, {}}}}}},
        {"Ссылки", 0, {{"Непрочитанная", 36, {}}, {"Мультик", 38, {}}, {"Ссылка", 39, {}}}},
        {longTitle, 2, {}},
        {"", 8, {}},
    };
    testkit::WriteFileBytes(dir / "x.vlt", TreeFileBytes(top));
    view->Items()->Add(nullptr, "прежний");
    treefile::ReadTreeFile(dir / "x.vlt", *view);
    EXPECT_EQ(Dump(view->Items()), "Категория/0/0\n Статья новая/2/2\n Прочитанная/8/8\n Подкатегория/1/1\n"
                                   "  Избранная/35/35\nСсылки/0/0\n Непрочитанная/36/36\n Мультик/38/38\n"
                                   " Ссылка/39/39\n" +
                                       longTitle + "/2/2\n/8/8\n");
    EXPECT_EQ(treefile::CountEntries(*view->Items()), 8);
    EXPECT_EQ(treefile::CountImage(*view->Items(), 2), 2);
}

// A whole saved file of the skinned tree view with every optional value away from its default,
// built entry by entry from the format's tables: names, then the properties in the framework's
// order (the table's order, the properties it does not list in their alphabetical places), each
// value in the smallest encoding that holds it, the node records depth first, the end markers.
TEST_F(TreeFileTest, EveryPropertyIsSavedInItsPlaceAndEncoding)
{
    owner->SetName("ID_Vellorn");
    auto* images = Create<TImageList>(owner);
    images->SetName("ImageList1");
    auto* states = Create<TImageList>(owner);
    states->SetName("ImageList2");
    auto* menu = Create<TPopupMenu>(owner);
    menu->SetName("PopupMenu1");
    auto* panel = Create<TPanel>(owner);
    view->SetParent(panel);
    view->SetBounds(-128, -129, 32767, 32768);
    view->SetAlign(alCustom);
    view->SetBorderStyle(bsNone);
    view->SetChangeDelay(2);
    view->SetParentColor(false);
    view->SetColor(clInfoBk);
    view->SetParentCtl3D(false);
    view->SetCtl3D(false);
    view->SetEnabled(false);
    view->SetParentFont(false);
    view->Font()->SetCharset(RUSSIAN_CHARSET);
    view->Font()->SetColor(clMaroon);
    view->Font()->SetHeight(-13);
    view->Font()->SetName("Arial");
    view->Font()->SetStyle(TFontStyles() << fsBold << fsStrikeOut);
    view->SetHideSelection(false);
    view->SetHotTrack(true);
    view->SetImages(images);
    view->SetIndent(128);
    view->SetPopupMenu(menu);
    view->SetReadOnly(true);
    view->SetRightClickSelect(true);
    view->SetRowSelect(true);
    view->SetShowButtons(false);
    view->SetShowLines(false);
    view->SetShowRoot(false);
    view->SetSortType(stBoth);
    view->SetStateImages(states);
    view->SetTabOrder(0);
    view->SetVisible(false);
    TsBoundLabel* label = view->BoundLabel();
    label->SetActive(true);
    label->SetCaption(std::string(256, 'L'));
    label->SetIndent(-1);
    label->Font()->SetCharset(MAC_CHARSET);
    label->Font()->SetColor(static_cast<TColor>(0x123456));
    label->Font()->SetHeight(127);
    label->Font()->SetName("Courier New");
    label->Font()->SetStyle(TFontStyles() << fsItalic << fsUnderline);
    label->SetLayout(sclTopRight);
    label->SetMaxWidth(-32768);
    view->SkinData()->CustomColor = true;
    view->SkinData()->CustomFont = true;
    view->SkinData()->SetSkinSection("TREEVIEW");
    const std::string longTitle(300, '\xDF');
    TTreeNode* top = view->Items()->Add(nullptr, "Категория");
    TTreeNode* article = view->Items()->AddChild(top, "Статья");
    article->SetImageIndex(35);
    article->SetSelectedIndex(36);
    article->SetStateIndex(1);
    article->SetOverlayIndex(2);
    view->Items()->Add(nullptr, longTitle)->SetImageIndex(39);

    const auto prop = [](const std::string& name, const std::string& value) { return Short(name) + value; };
    const std::string i8 = "\x02", i16 = "\x03", i32 = "\x04", str = "\x06", ident = "\x07", no = "\x08", yes = "\x09";
    const auto I16 = [](int v) { return I32(v).substr(0, 2); };
    const std::string nodes = I32(2) +
                              I32(34) + I32(0) + I32(0) + I32(-1) + I32(-1) + I32(0) + I32(1) + Short("Категория") +
                              I32(31) + I32(35) + I32(36) + I32(1) + I32(2) + I32(0) + I32(0) + Short("Статья") +
                              I32(280) + I32(39) + I32(0) + I32(-1) + I32(-1) + I32(0) + I32(0) + Short(longTitle.substr(0, 255));
    const std::string expected =
        "TPF0" + Short("TsTreeView") + Short("TreeView1") +
        prop("Left", i8 + "\x80") + prop("Top", i16 + I16(-129)) + prop("Width", i16 + I16(32767)) +
        prop("Height", i32 + I32(32768)) + prop("Align", ident + Short("alCustom")) +
        prop("BorderStyle", ident + Short("bsNone")) + prop("ChangeDelay", i8 + "\x02") +
        prop("Color", ident + Short("clInfoBk")) + prop("Ctl3D", no) + prop("Enabled", no) +
        prop("Font.Charset", ident + Short("RUSSIAN_CHARSET")) + prop("Font.Color", ident + Short("clMaroon")) +
        prop("Font.Height", i8 + "\xF3") + prop("Font.Name", str + Short("Arial")) +
        prop("Font.Style", "\x0B" + Short("fsBold") + Short("fsStrikeOut") + '\0') + prop("HideSelection", no) +
        prop("HotTrack", yes) + prop("Images", ident + Short("ID_Vellorn.ImageList1")) +
        prop("Indent", i16 + I16(128)) + prop("ParentCtl3D", no) + prop("ParentFont", no) +
        prop("PopupMenu", ident + Short("ID_Vellorn.PopupMenu1")) + prop("ReadOnly", yes) +
        prop("RightClickSelect", yes) + prop("RowSelect", yes) + prop("ShowButtons", no) + prop("ShowLines", no) +
        prop("ShowRoot", no) + prop("SortType", ident + Short("stBoth")) +
        prop("StateImages", ident + Short("ID_Vellorn.ImageList2")) + prop("TabOrder", i8 + '\0') +
        prop("Visible", no) + prop("Items.Data", "\x0A" + I32(static_cast<int>(nodes.size())) + nodes) +
        prop("BoundLabel.Active", yes) + prop("BoundLabel.Caption", "\x0C" + I32(256) + std::string(256, 'L')) +
        prop("BoundLabel.Indent", i8 + "\xFF") + prop("BoundLabel.Font.Charset", ident + Short("MAC_CHARSET")) +
        prop("BoundLabel.Font.Color", i32 + I32(0x123456)) + prop("BoundLabel.Font.Height", i8 + "\x7F") +
        prop("BoundLabel.Font.Name", str + Short("Courier New")) +
        prop("BoundLabel.Font.Style", "\x0B" + Short("fsItalic") + Short("fsUnderline") + '\0') +
        prop("BoundLabel.Layout", ident + Short("sclTopRight")) + prop("BoundLabel.MaxWidth", i16 + I16(-32768)) +
        prop("SkinData.CustomColor", yes) + prop("SkinData.CustomFont", yes) +
        prop("SkinData.SkinSection", str + Short("TREEVIEW")) + std::string(2, '\0');
    // Written over a longer old file through the safe replacement, and read back whole.
    testkit::WriteFileBytes(dir / "all.vlt", std::string(100000, 'x'));
    testkit::FileSteps steps;
    treefile::WriteTreeFile(dir / "all.vlt", *view);
    EXPECT_EQ(testkit::ReadFileBytes(dir / "all.vlt"), expected);
    TsTreeView* back = Create<TsTreeView>(owner);
    treefile::ReadTreeFile(dir / "all.vlt", *back);
    EXPECT_EQ(Dump(back->Items()), "Категория/0/0\n Статья/35/36\n" + longTitle.substr(0, 255) + "/39/0\n");
    EXPECT_EQ(steps.Kinds(), "create-temp write flush close move read");
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

    // The node data starts at byte 132 of the file: a top-level count of 1, then the record of "a"
    // (Size 26) at byte 4 of the data and that of "b" at byte 34.
    const std::string node = "Damaged tree node data: ";
    const auto at = [&](const std::string& from, int value) {
        std::string bytes = good;
        bytes.replace(bytes.find(from), 4, I32(value));
        return bytes;
    };
    std::string textLength = good;
    textLength[good.find(I32(1) + Short("a")) + 4] = '\x02';
    const struct {
        std::string what, bytes, reason;
    } bad[] = {
        {"no signature", "TPFX" + good.substr(4), "Invalid stream format"},
        {"empty", "", "Invalid stream format"},
        {"cut in the header", good.substr(0, 12), "Stream read error"},
        {"cut in the nodes", good.substr(0, 150), "Stream read error"},
        {"no end markers", good.substr(0, good.size() - 2), "Stream read error"},
        {"one end marker", good.substr(0, good.size() - 1), "Stream read error"},
        {"binary length", at(I32(64) + I32(1), 0x7FFFFFF0), "Stream read error"},
        {"size 24", at(I32(26), 24), node + "node record size 24 outside 25..280 at byte 4"},
        {"size 281", at(I32(26), 281), node + "node record size 281 outside 25..280 at byte 4"},
        {"text length", textLength, node + "node text length 2 does not match the record size 26 at byte 4"},
        {"child count", at(I32(1) + Short("a"), 1000000), node + "child count 1000000 larger than the data left at byte 4"},
        {"top count", at(I32(1) + I32(26), 0x7FFFFFFF),
         node + "node count 2147483647 larger than the data left at byte 0"},
    };
    for (const auto& b : bad) {
        testkit::WriteFileBytes(dir / "bad.vlt", b.bytes);
        EXPECT_EQ(testkit::Refusal<EReadError>([&] { treefile::ReadTreeFile(dir / "bad.vlt", *view); }), b.reason)
            << b.what;
        EXPECT_EQ(Dump(view->Items()), before) << b.what;
    }
    EXPECT_EQ(testkit::Refusal<EFOpenError>([&] { treefile::ReadTreeFile(dir / "none.vlt", *view); }),
              "Cannot open file \"" + dir / "none.vlt" + "\". " + SysErrorMessage(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(Dump(view->Items()), before);
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
    // A folder holding the next name is passed over too.
    CreateDirectoryA((dir / "Temp.vlt.damaged.3").c_str(), nullptr);
    testkit::WriteFileBytes(path, "3");
    EXPECT_EQ(treefile::KeepAside(path, ".damaged"), dir / "Temp.vlt.damaged.4");
    EXPECT_EQ(testkit::ReadFileBytes(dir / "Temp.vlt.damaged.4"), "3");
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

// A title's part of its note's file name: every character a file name cannot hold, and the escape
// "=" itself, as "=" and two hex digits; a title that could name a file keeps its name.
TEST(Notes, TitlesThatCannotNameAFileAreWrittenReversibly)
{
    const std::pair<const char*, const char*> names[] = {
        {"Что такое C++?", "Что такое C++=3F"},
        {"\\/:*?\"<>|=", "=5C=2F=3A=2A=3F=22=3C=3E=7C=3D"},
        {"a\x01" "b\x1F" "c\td", "a=01b=1Fc=09d"},
        {"Статья.. с точками %20 ~ [x] _", "Статья.. с точками %20 ~ [x] _"},
        {"\xFF\x80", "\xFF\x80"},
    };
    for (const auto& [title, name] : names)
        EXPECT_EQ(archive::NoteName(title), name) << title;
}

// The steps of a page name the system reads as a device, whatever follows the first dot.
TEST(PageNames, DeviceNamesAreFoundInEveryStep)
{
    const std::pair<const char*, const char*> names[] = {
        {"nul", "nul"},       {"CON.html", "CON.html"}, {"Aux .txt", "Aux .txt"}, {"sub\\prn", "prn"},
        {"a/com1", "com1"},   {"lpt9.x.y", "lpt9.x.y"}, {"conout$", "conout$"},   {"con\\x", "con"},
        {"page", ""},         {"com0", ""},             {"lpt10", ""},           {"nul_x", ""},
        {"x.nul", ""},        {"console", ""},          {"", ""},
    };
    for (const auto& [name, device] : names)
        EXPECT_EQ(archive::DeviceNameIn(name), device) << name;
}
