// The tree view in a component stream: its properties in the saved order, the nodes as
// Items.Data, and a damaged node list refused with the tree left as it was. No window is made.
#include <gtest/gtest.h>

#include "ClassesFiler.h"
#include "ComCtrlsTree.h"
#include "TestKit.h"

namespace {

struct TreePtr {
    TTreeView* p;
    TreePtr() : p(Create<TTreeView>(nullptr)) {}
    ~TreePtr() { p->Free(); }
    TTreeView* operator->() const { return p; }
};

std::string Save(TTreeView* tree)
{
    TMemoryStream s;
    WriteComponentToStream(s, *tree);
    return std::string(static_cast<const char*>(s.Memory()), static_cast<std::size_t>(s.Size()));
}

void Load(TTreeView* tree, const std::string& bytes)
{
    TMemoryStream s;
    s.WriteBuffer(bytes.data(), static_cast<Integer>(bytes.size()));
    s.SetPosition(0);
    ReadComponentFromStream(s, *tree);
}

std::string Dump(TTreeView* tree)
{
    std::string out;
    for (TTreeNode* n = tree->Items()->GetFirstNode(); n; n = n->GetNext())
        out += std::to_string(n->Level()) + ":" + n->Text() + "/" + std::to_string(n->ImageIndex()) + " ";
    return out;
}

// The property paths of a stream, in order.
std::vector<std::string> PropNames(const std::string& bytes, std::string* itemsData = nullptr)
{
    TMemoryStream s;
    s.WriteBuffer(bytes.data(), static_cast<Integer>(bytes.size()));
    s.SetPosition(0);
    TReader r(s);
    r.ReadSignature();
    AnsiString cls, name;
    r.ReadComponentHeader(cls, name);
    std::vector<std::string> names{cls, name};
    while (!r.EndOfList()) {
        AnsiString prop = r.ReadPropName();
        names.push_back(prop);
        if (prop == "Items.Data" && itemsData) {
            TMemoryStream data;
            r.ReadBinary(data);
            itemsData->assign(static_cast<const char*>(data.Memory()), static_cast<std::size_t>(data.Size()));
        } else {
            r.SkipValue();
        }
    }
    return names;
}

void FillArchive(TTreeView* tree)
{
    TTreeNodes* items = tree->Items();
    TTreeNode* cat = items->Add(nullptr, "Категория");
    TTreeNode* sub = items->AddChild(cat, "Подкатегория");
    items->AddChild(sub, "Статья")->SetImageIndex(2);
    items->AddChild(cat, "Ссылка")->SetImageIndex(39);
    items->Add(nullptr, "Flash")->SetImageIndex(38);
}

} // namespace

TEST(TreeStream, PropertiesInTheSavedOrderAndNodesAsItemsData)
{
    TreePtr tree;
    tree->SetName("TreeView1");
    tree->SetAlign(alClient);
    tree->SetBorderStyle(bsNone);
    tree->SetChangeDelay(2);
    tree->SetParentFont(false);
    tree->SetHotTrack(true);
    tree->SetRightClickSelect(true);
    tree->SetRowSelect(true);
    FillArchive(tree.p);
    const std::string bytes = Save(tree.p);
    EXPECT_EQ(bytes.substr(0, 4), "TPF0");
    EXPECT_EQ(bytes.substr(4, 10), "\x09TTreeView");
    std::string data;
    EXPECT_EQ(PropNames(bytes, &data),
              (std::vector<std::string>{"TTreeView", "TreeView1", "Left", "Top", "Width", "Height", "Align",
                                        "BorderStyle", "ChangeDelay", "Font.Charset", "Font.Color", "Font.Height",
                                        "Font.Name", "Font.Style", "HotTrack", "Indent", "ParentFont",
                                        "RightClickSelect", "RowSelect", "Items.Data"}));
    TMemoryStream direct;
    tree->Items()->WriteData(direct);
    EXPECT_EQ(data, std::string(static_cast<const char*>(direct.Memory()), static_cast<std::size_t>(direct.Size())));
    // The stream ends with the two end markers.
    EXPECT_EQ(bytes.substr(bytes.size() - 2), std::string(2, '\0'));

    TreePtr back;
    back->Items()->Add(nullptr, "old");
    Load(back.p, bytes);
    EXPECT_EQ(Dump(back.p), Dump(tree.p));
}

TEST(TreeStream, AnEmptyTreeWritesNoNodesAndLoadingItKeepsTheNodes)
{
    TreePtr empty;
    const std::string bytes = Save(empty.p);
    const auto names = PropNames(bytes);
    EXPECT_EQ(std::find(names.begin(), names.end(), "Items.Data"), names.end());
    TreePtr target;
    FillArchive(target.p);
    Load(target.p, bytes);
    EXPECT_EQ(target->Items()->Count(), 5);
}

TEST(TreeStream, DamagedNodesInAStreamAreRefusedAndTheTreeStays)
{
    TreePtr source;
    FillArchive(source.p);
    std::string bytes = Save(source.p);
    // The first node record's Size follows the top-level count at the start of Items.Data.
    const std::size_t at = bytes.find("Items.Data");
    ASSERT_NE(at, std::string::npos);
    const std::size_t data = at + 10 + 1 + 4; // name, value type, binary length
    const std::size_t size = data + 4;
    ASSERT_EQ(bytes[size], char(25 + 9)); // "Категория": 9 bytes of text
    std::string damaged = bytes;
    damaged[size] = 24;
    TreePtr target;
    target->Items()->Add(nullptr, "keep");
    TTreeNode* keep = target->Items()->GetFirstNode();
    EXPECT_EQ(testkit::Refusal<EReadError>([&] { Load(target.p, damaged); }),
              "Damaged tree node data: node record size 24 outside 25..280 at byte 4");
    EXPECT_EQ(target->Items()->Count(), 1);
    EXPECT_EQ(target->Items()->GetFirstNode(), keep);
    // A binary value whose node list runs past its own length.
    damaged = bytes;
    damaged[data] = 9; // nine top-level nodes
    EXPECT_EQ(testkit::Refusal<EReadError>([&] { Load(target.p, damaged); }).rfind("Damaged tree node data: node count 9 larger than", 0), 0u);
    EXPECT_EQ(target->Items()->GetFirstNode(), keep);
}
