// The node model without a window: structure, order, moves, expansion and the position cache.
#include <gtest/gtest.h>

#include "ComCtrlsTree.h"
#include "TestKit.h"

namespace {

// Texts of all nodes in depth-first order, each prefixed by its level in dots.
std::string Dump(TTreeNodes& nodes)
{
    std::string out;
    for (TTreeNode* n = nodes.GetFirstNode(); n; n = n->GetNext()) {
        out += std::string(n->Level(), '.') + n->Text() + " ";
    }
    return out;
}

} // namespace

TEST(TreeModel, AddInsertAndDepthFirstOrder)
{
    TTreeNodes nodes;
    TTreeNode* a = nodes.Add(nullptr, "a");
    TTreeNode* c = nodes.Add(a, "c");
    nodes.AddFirst(c, "first");
    TTreeNode* b = nodes.Insert(c, "b");
    TTreeNode* a2 = nodes.AddChild(a, "a2");
    nodes.AddChildFirst(a, "a1");
    int tag = 7;
    TTreeNode* a3 = nodes.AddChildObject(a, "a3", &tag);
    nodes.AddChild(a3, "a3x");
    nodes.AddObject(a2, "a4", nullptr);
    EXPECT_EQ(Dump(nodes), "first a .a1 .a2 .a3 ..a3x .a4 b c ");
    EXPECT_EQ(nodes.Count(), 9);
    EXPECT_EQ(a->Count(), 4);
    EXPECT_EQ(a3->Data(), &tag);
    EXPECT_EQ(a->Item(1), a2);
    EXPECT_EQ(testkit::Refusal<ETreeViewError>([&] { a->Item(4); }), "List index out of bounds (4)");
    EXPECT_EQ(a2->Index(), 1);
    EXPECT_EQ(b->AbsoluteIndex(), 7);
    EXPECT_EQ(a3->getFirstChild()->Level(), 2);
    EXPECT_EQ(a3->getFirstChild()->Parent(), a3);
    EXPECT_TRUE(a3->getFirstChild()->HasAsParent(a));
    EXPECT_FALSE(a->HasAsParent(a));
    EXPECT_EQ(a2->getNextSibling(), a3);
    EXPECT_EQ(a2->getPrevSibling()->Text(), "a1");
    EXPECT_EQ(b->GetPrev()->Text(), "a4");
    EXPECT_EQ(nodes.Item(4)->Text(), "a3");
    EXPECT_EQ(testkit::Refusal<ETreeViewError>([&] { nodes.Item(9); }), "List index out of bounds (9)");
    EXPECT_EQ(testkit::Refusal<ETreeViewError>([&] { nodes.Item(-1); }), "List index out of bounds (-1)");
    // New nodes carry no state or overlay image.
    EXPECT_EQ(b->StateIndex(), -1);
    EXPECT_EQ(b->OverlayIndex(), -1);
    EXPECT_EQ(b->ImageIndex(), 0);
    // Insert before nothing appends at the top level.
    EXPECT_EQ(nodes.Insert(nullptr, "z")->getPrevSibling(), c);
}

TEST(TreeModel, DeleteKeepsCountsAndParentState)
{
    TTreeNodes nodes;
    TTreeNode* a = nodes.Add(nullptr, "a");
    TTreeNode* x = nodes.AddChild(a, "x");
    nodes.AddChild(x, "y");
    nodes.Add(nullptr, "b");
    a->Expand(true);
    EXPECT_TRUE(a->Expanded());
    x->SetSelected(true);
    EXPECT_TRUE(x->Selected());
    x->Delete();
    EXPECT_EQ(nodes.Count(), 2);
    EXPECT_FALSE(a->HasChildren());
    EXPECT_FALSE(a->Expanded());
    nodes.AddChild(a, "again");
    a->DeleteChildren();
    EXPECT_EQ(Dump(nodes), "a b ");
    nodes.Clear();
    EXPECT_EQ(nodes.Count(), 0);
    EXPECT_EQ(nodes.GetFirstNode(), nullptr);

    // Deleting the parent of the selected node leaves no selection: nodes made afterwards (maybe
    // where the freed ones were) are not selected.
    TTreeNode* p = nodes.Add(nullptr, "p");
    nodes.AddChild(nodes.AddChild(p, "child"), "grandchild")->SetSelected(true);
    p->Delete();
    TTreeNode* fresh = nodes.Add(nullptr, "fresh");
    TTreeNode* child = nodes.AddChild(fresh, "child");
    TTreeNode* grandchild = nodes.AddChild(child, "grandchild");
    EXPECT_FALSE(fresh->Selected() || child->Selected() || grandchild->Selected());
}

TEST(TreeModel, MoveToEveryModeAndNeverBelowItself)
{
    TTreeNodes nodes;
    TTreeNode* a = nodes.Add(nullptr, "a");
    TTreeNode* a1 = nodes.AddChild(a, "a1");
    TTreeNode* a11 = nodes.AddChild(a1, "a11");
    TTreeNode* b = nodes.Add(nullptr, "b");
    TTreeNode* c = nodes.Add(nullptr, "c");

    // Below itself, directly or deeper, in any mode: nothing changes.
    const std::string before = Dump(nodes);
    a->MoveTo(a, naAddChild);
    a->MoveTo(a1, naAddChild);
    a->MoveTo(a11, naAddChildFirst);
    a->MoveTo(a11, naAdd);
    a->MoveTo(a11, naInsert);
    a->MoveTo(a1, naAddFirst);
    EXPECT_EQ(Dump(nodes), before);
    EXPECT_EQ(nodes.Count(), 5);

    a1->MoveTo(c, naAddChild); // with its subtree
    EXPECT_EQ(Dump(nodes), "a b c .a1 ..a11 ");
    EXPECT_FALSE(a->HasChildren());
    EXPECT_TRUE(c->HasChildren());
    b->MoveTo(a1, naInsert);
    EXPECT_EQ(Dump(nodes), "a c .b .a1 ..a11 ");
    a->MoveTo(a11, naAdd);
    EXPECT_EQ(Dump(nodes), "c .b .a1 ..a11 ..a ");
    a->MoveTo(nullptr, naAdd); // last top-level node
    EXPECT_EQ(Dump(nodes), "c .b .a1 ..a11 a ");
    a->MoveTo(c, naAddFirst);
    EXPECT_EQ(Dump(nodes), "a c .b .a1 ..a11 ");
    b->MoveTo(c, naAddChildFirst);
    a11->MoveTo(c, naAddChildFirst);
    EXPECT_EQ(Dump(nodes), "a c .a11 .b .a1 ");
    EXPECT_EQ(nodes.Count(), 5);
    EXPECT_EQ(nodes.Item(4), a1); // the position cache follows moves
    EXPECT_EQ(c->Count(), 3);
}

TEST(TreeModel, ExpandAndCollapseConcernOnlyNodesWithChildren)
{
    TTreeNodes nodes;
    TTreeNode* a = nodes.Add(nullptr, "a");
    TTreeNode* a1 = nodes.AddChild(a, "a1");
    TTreeNode* leaf = nodes.AddChild(a1, "leaf");
    leaf->Expand(false);
    EXPECT_FALSE(leaf->Expanded());
    a->Expand(false);
    EXPECT_TRUE(a->Expanded());
    EXPECT_FALSE(a1->Expanded());
    a->Expand(true);
    EXPECT_TRUE(a1->Expanded());
    // A collapse that hides the selected node takes the selection over.
    leaf->SetSelected(true);
    a1->Collapse(false);
    EXPECT_TRUE(a->Expanded());
    EXPECT_FALSE(a1->Expanded());
    EXPECT_TRUE(a1->Selected());
    a->Collapse(true);
    EXPECT_FALSE(a->Expanded());
    EXPECT_TRUE(a->Selected());
    TTreeNode* b = nodes.Add(nullptr, "b");
    TTreeNode* b1 = nodes.AddChild(b, "b1");
    nodes.AddChild(b1, "b11");
    b1->MakeVisible();
    EXPECT_TRUE(b->Expanded());
    EXPECT_FALSE(b1->Expanded());
}

TEST(TreeModel, SequentialItemWalkIsLinear)
{
    TTreeNodes nodes;
    nodes.BeginUpdate();
    // 100,000 nodes over three levels.
    TTreeNode* last = nullptr;
    for (int i = 0; i < 1000; ++i) {
        TTreeNode* top = nodes.Add(nullptr, "t");
        for (int j = 0; j < 9; ++j) {
            TTreeNode* mid = nodes.AddChild(top, "m");
            for (int k = 0; k < 10; ++k)
                last = nodes.AddChild(mid, "l");
        }
    }
    nodes.EndUpdate();
    ASSERT_EQ(nodes.Count(), 100000);
    const Int64 start = nodes.ItemSteps();
    TTreeNode* expect = nodes.GetFirstNode();
    for (int i = 0; i < nodes.Count(); ++i, expect = expect->GetNext())
        ASSERT_EQ(nodes.Item(i), expect) << "wrong node at " << i;
    EXPECT_LE(nodes.ItemSteps() - start, 100000);
    // Walking backwards is linear too, and gives every node.
    const Int64 back = nodes.ItemSteps();
    expect = last;
    for (int i = nodes.Count() - 1; i >= 0; --i, expect = expect->GetPrev())
        ASSERT_EQ(nodes.Item(i), expect) << "wrong node at " << i << " walking backwards";
    EXPECT_EQ(expect, nullptr);
    EXPECT_LE(nodes.ItemSteps() - back, 100000);
    // A deletion invalidates the cache instead of leaving a stale node behind.
    nodes.Item(500);
    nodes.Delete(nodes.GetFirstNode());
    EXPECT_EQ(nodes.Count(), 100000 - 100);
    EXPECT_EQ(nodes.Item(0), nodes.GetFirstNode());
}

TEST(TreeModel, DeepChainsAreFreedWithoutRecursion)
{
    TTreeNodes nodes;
    TTreeNode* n = nodes.Add(nullptr, "root");
    for (int i = 0; i < 200000; ++i)
        n = nodes.AddChild(n, "x");
    EXPECT_EQ(n->Level(), 200000);
    nodes.Add(nullptr, "second")->MoveTo(n, naAddChild);
    EXPECT_EQ(nodes.Count(), 200002);
    // Recursive expansion walks the subtree once.
    nodes.GetFirstNode()->Expand(true);
    EXPECT_TRUE(n->Expanded());
    EXPECT_FALSE(n->getFirstChild()->Expanded());
    nodes.GetFirstNode()->Collapse(true);
    EXPECT_FALSE(n->Parent()->Expanded());
    nodes.GetFirstNode()->Delete();
    EXPECT_EQ(nodes.Count(), 0);
    TTreeNode* m = nodes.Add(nullptr, "again");
    for (int i = 0; i < 200000; ++i)
        m = nodes.AddChild(m, "y");
    // The destructor frees the remaining deep chain.
}
