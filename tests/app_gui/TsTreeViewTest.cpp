// The skinned tree view's stream: its class name, the tree view's values in their order, then the
// bound label's and the skin state's.
#include <gtest/gtest.h>

#include <cstring>

#include "ClassesFiler.h"
#include "FormTest.h"
#include "Menus.h"
#include "sTreeView.h"

namespace {

class SkinnedTree : public testkit::FormTest {};

std::string Bytes(TMemoryStream& s)
{
    return std::string(static_cast<const char*>(s.Memory()), static_cast<size_t>(s.Size()));
}

std::string Prop(const std::string& name)
{
    return std::string(1, static_cast<char>(name.size())) + name;
}

TEST_F(SkinnedTree, StreamsItsSkinValuesAfterTheNodes)
{
    TForm* form = MakeForm();
    form->SetName("Owner");
    auto* menu = Create<TPopupMenu>(form);
    menu->SetName("Menu");
    auto* tree = Create<TsTreeView>(form);
    tree->SetName("Tree");
    tree->SetParent(form);
    tree->SetPopupMenu(menu);
    tree->SetParentCtl3D(false);
    tree->Items()->AddChild(nullptr, "Узел");
    EXPECT_EQ(tree->SkinData()->SkinSection(), "EDIT");
    EXPECT_EQ(tree->SkinData()->FOwnerControl, tree);

    TMemoryStream s;
    WriteComponentToStream(s, *tree);
    const std::string bytes = Bytes(s);
    ASSERT_EQ(bytes.compare(0, 4, "TPF0"), 0);
    EXPECT_EQ(bytes.substr(4, 11), Prop("TsTreeView"));
    EXPECT_EQ(bytes.substr(15, 5), Prop("Tree"));
    // The order of the entries the saved tree relies on.
    const char* order[] = {"Width",         "Ctl3D",           "Indent",      "ParentCtl3D",
                           "PopupMenu",     "TabOrder",        "Items.Data",  "BoundLabel.Indent",
                           "BoundLabel.Font.Charset", "BoundLabel.Layout", "BoundLabel.MaxWidth",
                           "SkinData.SkinSection"};
    size_t at = 0;
    for (const char* name : order) {
        size_t found = bytes.find(Prop(name), at);
        ASSERT_NE(found, std::string::npos) << name << " missing or out of order";
        at = found + 1;
    }
    EXPECT_NE(bytes.find(Prop("PopupMenu") + "\x07" + Prop("Owner.Menu")), std::string::npos);
    // An empty caption is not written; the default font values are.
    EXPECT_EQ(bytes.find(Prop("BoundLabel.Caption")), std::string::npos);
    EXPECT_EQ(bytes.substr(bytes.size() - 2), std::string(2, '\0'));
    // The skin section is the last entry.
    EXPECT_NE(bytes.find(Prop("SkinData.SkinSection") + "\x06" + Prop("EDIT") + std::string(2, '\0')),
              std::string::npos);
}

TEST_F(SkinnedTree, ReadsOnlyItsNodesBack)
{
    TForm* form = MakeForm();
    auto* source = Create<TsTreeView>(form);
    source->SetName("TreeView1");
    source->BoundLabel()->SetCaption("Подпись");
    source->SkinData()->SetSkinSection("PANEL");
    TTreeNode* top = source->Items()->AddChild(nullptr, "Категория");
    source->Items()->AddChild(top, "Статья")->SetImageIndex(35);
    TMemoryStream s;
    WriteComponentToStream(s, *source);

    auto* target = Create<TsTreeView>(form);
    s.SetPosition(0);
    ReadComponentFromStream(s, *target);
    ASSERT_EQ(target->Items()->Count(), 2);
    EXPECT_EQ(target->Items()->Item(1)->Text(), "Статья");
    EXPECT_EQ(target->Items()->Item(1)->ImageIndex(), 35);
    EXPECT_EQ(target->BoundLabel()->Caption(), "");
    EXPECT_EQ(target->SkinData()->SkinSection(), "EDIT");
}

} // namespace
