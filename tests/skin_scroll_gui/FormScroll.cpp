// A skinned form scrolls its children itself through skinned bars and a grip between them, and
// gives the form its own scrolling back when the skin goes.
#include <gtest/gtest.h>

#include "../skin_forms_gui/FormsKit.h"
#include "ExtCtrls.h"
#include "sPanel.h"
#include "sScrollBar.h"

namespace {

class FormScrollTest : public formskit::SkinnedFormTest {
protected:
    void SetUp() override
    {
        SkinnedFormTest::SetUp();
        UseSkin("Neutral");
        form = MakeForm();
        form->SetAutoScroll(true);
        form->SetBounds(100, 100, 400, 300);
        panel = Create<TPanel>(form);
        panel->SetBounds(10, 10, 100, 50);
        panel->SetParent(form);
        provider = Create<TsSkinProvider>(form);
        form->Show();
        Paint(form);
        cw = form->ClientWidth();
        ch = form->ClientHeight();
    }
    TForm* form = nullptr;
    TPanel* panel = nullptr;
    TsSkinProvider* provider = nullptr;
    int cw = 0, ch = 0;
    const int CX = GetSystemMetrics(SM_CXVSCROLL), CY = GetSystemMetrics(SM_CYHSCROLL);
};

} // namespace

TEST_F(FormScrollTest, ChildrenBeyondTheClientAreaGetABarThatScrollsThem)
{
    EXPECT_FALSE(form->AutoScroll()) << "the provider scrolls the form while skinned";
    EXPECT_EQ(provider->VertBar(), nullptr) << "children that fit need no bar";
    EXPECT_EQ(provider->Grip(), nullptr);
    panel->SetHeight(ch + 20);
    provider->RefreshScrolls();
    TsScrollBar* bar = provider->VertBar();
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(provider->HorzBar(), nullptr);
    EXPECT_EQ(bar->Parent(), form);
    EXPECT_EQ(bar->BoundsRect(), Rect(cw - CX, 0, cw, ch));
    // The content (10 + ch + 20, and 2 more) less the page (ch - 4).
    EXPECT_EQ(bar->Max(), 36);
    bar->SetPosition(30);
    EXPECT_EQ(panel->Top(), -20);
    EXPECT_EQ(provider->VOffset(), -30);
    provider->RefreshScrolls();
    EXPECT_EQ(bar->Position(), 30) << "a refresh keeps what is scrolled";
    EXPECT_EQ(panel->Top(), -20);
    // Content 10 shorter: 26 can be scrolled away, and the content comes back by the 4 more.
    panel->SetHeight(ch + 10);
    provider->RefreshScrolls();
    EXPECT_EQ(std::make_pair(bar->Max(), bar->Position()), std::make_pair(26, 26));
    EXPECT_EQ(panel->Top(), 10 - 26);
    EXPECT_EQ(provider->VOffset(), -26);
}

TEST_F(FormScrollTest, TwoBarsLeaveTheCornerToTheGrip)
{
    panel->SetBounds(10, 10, cw + 50, ch + 20);
    provider->RefreshScrolls();
    TsScrollBar *v = provider->VertBar(), *h = provider->HorzBar();
    ASSERT_TRUE(v && h);
    EXPECT_EQ(v->BoundsRect(), Rect(cw - CX, 0, cw, ch - CY));
    EXPECT_EQ(h->BoundsRect(), Rect(0, ch - CY, cw - CX, ch));
    ASSERT_NE(provider->Grip(), nullptr);
    EXPECT_EQ(provider->Grip()->BoundsRect(), Rect(cw - CX, ch - CY, cw, ch));
    EXPECT_EQ(provider->Grip()->LinkedControl, form);
    panel->SetHeight(20);
    provider->RefreshScrolls();
    EXPECT_EQ(provider->VertBar(), nullptr);
    EXPECT_EQ(provider->Grip(), nullptr) << "one bar needs no grip";
}

TEST_F(FormScrollTest, WithoutSkinTheContentIsBackAndTheFormScrollsItself)
{
    panel->SetBounds(10, 10, cw + 50, ch + 20);
    provider->RefreshScrolls();
    ASSERT_TRUE(provider->VertBar() && provider->HorzBar());
    provider->VertBar()->SetPosition(15);
    provider->HorzBar()->SetPosition(25);
    EXPECT_EQ(std::make_pair(panel->Left(), panel->Top()), std::make_pair(-15, -5));
    Manager()->SetActive(false);
    EXPECT_EQ(std::make_pair(panel->Left(), panel->Top()), std::make_pair(10, 10)) << "scrolled down and right, moved back";
    EXPECT_EQ(provider->VertBar(), nullptr);
    EXPECT_EQ(provider->HorzBar(), nullptr);
    EXPECT_EQ(provider->Grip(), nullptr);
    EXPECT_TRUE(form->AutoScroll());
    TForm* plain = MakeForm();
    plain->SetAutoScroll(true);
    Create<TsSkinProvider>(plain);
    EXPECT_TRUE(plain->AutoScroll()) << "a form made without a skin keeps its own scrolling";
    Manager()->SetActive(true);
    EXPECT_FALSE(form->AutoScroll());
}

TEST_F(FormScrollTest, AHiddenFormHasItsChildrenBack)
{
    panel->SetHeight(ch + 20);
    provider->RefreshScrolls();
    ASSERT_NE(provider->VertBar(), nullptr);
    provider->VertBar()->SetPosition(12);
    form->Hide();
    provider->RefreshScrolls();
    EXPECT_EQ(panel->Top(), 10);
    EXPECT_EQ(provider->VertBar(), nullptr);
}
