// The caption label bound to an edit-like control.
#include <gtest/gtest.h>

#include "LiveKit.h"
#include "sEdit.h"
#include "sLabel.h"

using namespace livekit;

namespace {

using BoundLabel = TablesTest;

} // namespace

TEST_F(BoundLabel, ActivatingMakesANamedLabelBesideTheControl)
{
    auto* form = MakeForm();
    auto* edit = On(form, Create<TsEdit>(form));
    edit->SetName("Edit1");
    edit->SetBounds(100, 50, 120, 21);
    TsBoundLabel* bl = edit->BoundLabel();
    bl->SetIndent(3);
    bl->SetMaxWidth(0);
    EXPECT_EQ(bl->TheLabel(), nullptr) << "inactive: values are only stored";
    bl->SetActive(true);
    TsEditLabel* l = bl->TheLabel();
    ASSERT_NE(l, nullptr);
    EXPECT_EQ(bl->Caption(), "Edit1") << "an empty caption becomes the control's name";
    EXPECT_EQ(l->Caption(), "Edit1");
    EXPECT_EQ(l->Name(), "Edit1Label");
    EXPECT_EQ(l->Parent(), form);
    EXPECT_EQ(l->FocusControl(), edit);
    EXPECT_EQ(l->Alignment(), taRightJustify);
    EXPECT_EQ(l->Left(), 100 - l->Width() - 4 - 3);

    // Halves round toward zero, on both sides of zero.
    bl->SetIndent(0);
    edit->SetHeight(l->Height() + 7);
    bl->AlignLabel();
    EXPECT_EQ(l->Top(), 3 + 50 - 1);
    EXPECT_EQ(l->Left(), 100 - l->Width() - 4) << "a gap of 4 pixels";
    edit->SetHeight(l->Height() - 3);
    bl->AlignLabel();
    EXPECT_EQ(l->Top(), -1 + 50 - 1);

    bl->SetLayout(sclTopCenter);
    EXPECT_EQ(l->Alignment(), taCenter);
    EXPECT_EQ(l->Left(), (120 - l->Width()) / 2 + 100);
    EXPECT_EQ(l->Top(), 50 - l->Height());
    bl->SetLayout(sclTopRight);
    EXPECT_EQ(l->Left(), 100 + 120 - l->Width());

    const int ownHeight = l->Height();
    edit->SetHeight(ownHeight - 5);
    bl->SetMaxWidth(50);
    EXPECT_EQ(l->Width(), 50);
    EXPECT_TRUE(l->WordWrap());
    EXPECT_EQ(l->Height(), ownHeight) << "a label taller than its control keeps its height";
    edit->SetHeight(ownHeight + 20);
    bl->AlignLabel();
    EXPECT_EQ(l->Height(), ownHeight + 20);
}

TEST_F(BoundLabel, TheFontGoesToTheLabelOrWaitsInTheOwnFont)
{
    auto* form = MakeForm();
    auto* edit = On(form, Create<TsEdit>(form));
    TsBoundLabel* bl = edit->BoundLabel();
    TFont bold;
    bold.SetName("Arial");
    bl->SetFont(&bold);
    EXPECT_EQ(bl->Font()->Name(), "Arial") << "no label: the own font takes it";
    bl->SetActive(true);
    EXPECT_EQ(bl->TheLabel()->Font()->Name(), "Arial") << "the label made afterwards has it";
    EXPECT_FALSE(bl->TheLabel()->ParentFont());
    TFont big;
    big.SetSize(20);
    bl->SetFont(&big);
    EXPECT_EQ(bl->TheLabel()->Font()->Size(), 20);
    EXPECT_FALSE(bl->TheLabel()->ParentFont());
    EXPECT_EQ(bl->Font(), bl->TheLabel()->Font());
}

TEST_F(BoundLabel, ALabelFreedByOthersLeavesItsBoundLabelInactive)
{
    auto* form = MakeForm();
    auto* edit = On(form, Create<TsEdit>(form));
    TsBoundLabel* bl = edit->BoundLabel();
    bl->SetActive(true);
    bl->TheLabel()->Free();
    EXPECT_FALSE(bl->Active());
    EXPECT_EQ(bl->TheLabel(), nullptr);
    bl->SetActive(true);
    ASSERT_NE(bl->TheLabel(), nullptr);
    const int before = form->ControlCount();
    edit->Free(); // frees its label too, once
    EXPECT_EQ(form->ControlCount(), before - 2);
}
