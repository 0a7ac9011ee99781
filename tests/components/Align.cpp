#include <gtest/gtest.h>

#include "Controls.h"

namespace {

class TPanelLike : public TWinControl {
    VCL_CLASS(TPanelLike, TWinControl)
public:
    explicit TPanelLike(TComponent* AOwner) : TWinControl(AOwner) { FControlStyle.Include(csAcceptsControls); }
};

TControl* Child(TWinControl* parent, TAlign align, TRect bounds)
{
    auto* c = Create<TGraphicControl>(parent);
    c->SetBoundsRect(bounds);
    c->SetAlign(align);
    c->SetParent(parent);
    return c;
}

} // namespace

TEST(Align, PassOrderTopBottomLeftRightClient)
{
    auto* panel = Create<TPanelLike>(nullptr);
    panel->SetBounds(0, 0, 400, 300);
    panel->DisableAlign();
    TControl* client = Child(panel, alClient, Rect(0, 0, 10, 10));
    TControl* right = Child(panel, alRight, Rect(0, 0, 60, 10));
    TControl* left = Child(panel, alLeft, Rect(0, 0, 50, 10));
    TControl* bottom = Child(panel, alBottom, Rect(0, 0, 10, 10));
    TControl* top1 = Child(panel, alTop, Rect(0, 5, 10, 25));    // height 20
    TControl* top0 = Child(panel, alTop, Rect(0, -1, 10, 29));   // height 30, placed above top1
    panel->EnableAlign();
    EXPECT_EQ(top0->BoundsRect(), Rect(0, 0, 400, 30));
    EXPECT_EQ(top1->BoundsRect(), Rect(0, 30, 400, 50));
    EXPECT_EQ(bottom->BoundsRect(), Rect(0, 290, 400, 300));
    EXPECT_EQ(left->BoundsRect(), Rect(0, 50, 50, 290));
    EXPECT_EQ(right->BoundsRect(), Rect(340, 50, 400, 290));
    EXPECT_EQ(client->BoundsRect(), Rect(50, 50, 340, 290));

    // A hidden control gives its room back; a resize of the parent re-aligns.
    top0->Hide();
    EXPECT_EQ(top1->BoundsRect(), Rect(0, 0, 400, 20));
    panel->SetBounds(0, 0, 500, 200);
    EXPECT_EQ(client->BoundsRect(), Rect(50, 20, 440, 190));
    panel->Free();
}

TEST(Align, AnchorsKeepDistances)
{
    auto* panel = Create<TPanelLike>(nullptr);
    panel->SetBounds(0, 0, 400, 300);
    TControl* corner = Child(panel, alNone, Rect(350, 250, 390, 290));
    corner->SetAnchors(TAnchors{akRight, akBottom});
    TControl* stretch = Child(panel, alNone, Rect(10, 10, 390, 40));
    stretch->SetAnchors(TAnchors{akLeft, akTop, akRight});
    TControl* fixed = Child(panel, alNone, Rect(10, 100, 60, 120));
    // Anchored to neither side: keeps its centre, moving by half the change.
    TControl* centred = Child(panel, alNone, Rect(180, 200, 220, 220));
    centred->SetAnchors(TAnchors{akTop});
    TControl* middle = Child(panel, alNone, Rect(100, 140, 120, 160));
    middle->SetAnchors(TAnchors{});
    panel->SetBounds(0, 0, 500, 400);
    EXPECT_EQ(corner->BoundsRect(), Rect(450, 350, 490, 390));
    EXPECT_EQ(stretch->BoundsRect(), Rect(10, 10, 490, 40));
    EXPECT_EQ(fixed->BoundsRect(), Rect(10, 100, 60, 120));
    EXPECT_EQ(centred->BoundsRect(), Rect(230, 200, 270, 220));
    EXPECT_EQ(middle->BoundsRect(), Rect(150, 190, 170, 210));
    panel->Free();
}

TEST(Align, ChildrenAndOwnedComponentsFreedOnce)
{
    auto* form = Create<TPanelLike>(nullptr);
    auto* inner = Create<TPanelLike>(form);
    inner->SetParent(form);
    auto* leaf = Create<TGraphicControl>(form); // owned by the form, parented to inner
    leaf->SetParent(inner);
    EXPECT_EQ(inner->ControlCount(), 1);
    EXPECT_EQ(form->ComponentCount(), 2);
    form->Free(); // inner frees leaf as its child; leaf leaves the form's list first
}

TEST(Align, ClientRectWithoutWindowsCreatesNone)
{
    auto* outer = Create<TPanelLike>(nullptr);
    auto* inner = Create<TPanelLike>(outer);
    inner->SetParent(outer);
    inner->SetBounds(0, 0, 120, 80);
    EXPECT_EQ(inner->ClientRect(), Rect(0, 0, 120, 80));
    EXPECT_EQ(inner->ClientWidth(), 120);
    EXPECT_FALSE(outer->HandleAllocated());
    EXPECT_FALSE(inner->HandleAllocated());
    inner->SetText("без окна");
    EXPECT_EQ(inner->Text(), "без окна");
    EXPECT_EQ(inner->GetTextLen(), 8);
    outer->Free();
}
