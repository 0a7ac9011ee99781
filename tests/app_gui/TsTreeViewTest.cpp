// The skinned tree view reads only its nodes back from a stream (the whole saved layout is pinned
// in tests/app/TreeFileTest.cpp).
#include <gtest/gtest.h>

#include "ClassesFiler.h"
#include "FormTest.h"
#include "sTreeView.h"

namespace {

class SkinnedTree : public testkit::FormTest {};

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
