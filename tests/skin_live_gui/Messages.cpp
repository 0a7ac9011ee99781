// The library message: its number, yes/no answers, broadcasts through a tree of controls and the
// painting of graphic children over a parent's cache.
#include <gtest/gtest.h>

#include "ComCtrlsBars.h"
#include "LiveKit.h"
#include "sVclUtils.h"

using namespace livekit;

namespace {

using Messages = TablesTest;

std::vector<std::string> Expected(std::initializer_list<const char*> names)
{
    return std::vector<std::string>(names.begin(), names.end());
}

TMessage Command(WORD Cmd)
{
    return MakeMessage(SM_SKINCMD, MAKEWPARAM(0, Cmd), 0);
}

} // namespace

TEST(MessageNumber, RegisteredNumbersAreUsedAndOthersFallBack)
{
    EXPECT_EQ(SkinMessageNumber(0), 0xA100u) << "registration failed";
    EXPECT_EQ(SkinMessageNumber(0xBFFF), 0xA100u);
    EXPECT_EQ(SkinMessageNumber(0xC000), 0xC000u);
    EXPECT_EQ(SkinMessageNumber(0xFFFF), 0xFFFFu);
    EXPECT_GE(SM_SKINCMD, 0xC000u) << "the system registers the name";
}

TEST_F(Messages, YesNoAnswersAreReadFromLParamOnly)
{
    // Answers in Result, as SendMessage would carry them, do not count as yes.
    struct TResultOnly : TCustomControl {
        using TCustomControl::TCustomControl;
        void WndProc(TMessage& Message) override
        {
            if (Message.Msg == SM_SKINCMD)
                Message.Result = 1;
            else
                TCustomControl::WndProc(Message);
        }
    };
    auto* form = MakeForm();
    auto* resultOnly = On(form, Create<TResultOnly>(form));
    auto* skinned = On(form, Create<TProbeBox>(form, "S", true));
    auto* plain = On(form, Create<TProbeBox>(form, "P", false));
    EXPECT_FALSE(GetBoolMsg(resultOnly, AC_ISSKINNED));
    EXPECT_TRUE(GetBoolMsg(skinned, AC_ISSKINNED));
    EXPECT_FALSE(GetBoolMsg(plain, AC_ISSKINNED));
    EXPECT_FALSE(GetBoolMsg(nullptr, AC_ISSKINNED));
}

TEST_F(Messages, BroadcastReachesGraphicAndSkinnedChildrenAndTheChildrenOfPlainOnes)
{
    auto* form = MakeForm();
    auto* root = On(form, Create<TProbeBox>(form, "root", false));
    auto* s1 = On(root, Create<TProbeBox>(form, "S1", true));
    On(s1, Create<TProbeShape>(form, "inside"));
    auto* p1 = On(root, Create<TProbeBox>(form, "P1", false));
    On(p1, Create<TProbeBox>(form, "S2", true));
    On(p1, Create<TProbeShape>(form, "G2"));
    On(root, Create<TProbeBox>(form, "S3", true));
    On(root, Create<TProbeShape>(form, "G1"));
    TMessage m = Command(AC_REPAINT);
    SkinBroadCast(root, m);
    // Graphic children come first in a parent's list; a skinned child passes the command on
    // itself, so nothing inside it is visited; a plain one is passed over to its children.
    EXPECT_EQ(Log(), Expected({"G1:3", "S1:3", "G2:3", "S2:3", "S3:3"}));
}

TEST_F(Messages, BroadcastSkipsAChildBeingDestroyedOrGoneAndGoesOn)
{
    auto* form = MakeForm();
    auto* root = On(form, Create<TProbeBox>(form, "root", false));
    auto* dying = On(root, Create<TProbeBox>(form, "dying", true));
    auto* freeing = On(root, Create<TProbeBox>(form, "freeing", true));
    auto* victim = On(root, Create<TProbeBox>(form, "victim", true));
    On(root, Create<TProbeBox>(form, "last", true));
    dying->Destroying();
    // A child whose command frees the next child in the list.
    freeing->OnCommand = [victim](TObject*) { victim->Free(); };
    TMessage m = Command(AC_NEWSKIN);
    SkinBroadCast(root, m);
    EXPECT_EQ(Log(), Expected({"freeing:1", "last:1"}));
    EXPECT_EQ(root->ControlCount(), 3);
}

TEST_F(Messages, GraphicChildrenArePaintedOverTheParentsCache)
{
    // The owner offers its cache: blue, the owner's place in it at (5, 0).
    struct TCacheOwner : TProbeBox {
        TCacheOwner(TComponent* o) : TProbeBox(o, "owner", true), Cache(120, 20, pf24bit)
        {
            Cache.Canvas()->Brush()->SetColor(clBlue);
            Cache.Canvas()->FillRect(Rect(0, 0, 120, 20));
            Cache.Canvas()->SetPixels(15 + 5, 3, clYellow); // under "lets the cache show"
        }
        void WndProc(TMessage& Message) override
        {
            if (Message.Msg == SM_SKINCMD && Message.WParamHi == AC_GETCACHEINFO) {
                GlobalCacheInfo = TCacheInfo{&Cache, 5, 0, true};
                return;
            }
            TProbeBox::WndProc(Message);
        }
        TBitmap Cache;
    };
    Activate({Section("PANEL")});
    auto* form = MakeForm();
    auto* owner = On(form, Create<TCacheOwner>(form));
    owner->SetBounds(0, 0, 100, 20);
    auto place = [&](auto* s, int left) {
        On(owner, s)->SetBounds(left, 0, 10, 10);
        return s;
    };
    place(Create<TProbeShape>(form, "red", clRed), 0);
    place(Create<TProbeShape>(form, "keyed", TColor(clSkinKey)), 15 + 15);
    place(Create<TProbeShape>(form, "transparent"), 15);
    auto* opaque = place(Create<TProbeShape>(form, "opaque"), 45);
    opaque->SetControlStyle(opaque->ControlStyle() + TControlStyle{csOpaque});
    opaque->SetColor(clLime);
    place(Create<TProbeShape>(form, "hidden", clRed), 60)->SetVisible(false);
    auto* button = place(Create<TToolButton>(form), 75);
    button->SetStyle(tbsButton);

    TBitmap target(100, 20, pf24bit);
    target.Canvas()->Brush()->SetColor(clWhite);
    target.Canvas()->FillRect(Rect(0, 0, 100, 20));
    PaintControls(target.Canvas()->Handle(), owner, false, Point(0, 0));
    TCanvas* c = target.Canvas();
    EXPECT_EQ(c->Pixels(5, 5), clRed);
    EXPECT_EQ(c->Pixels(20, 5), clBlue) << "a child that paints nothing shows the cache under it";
    EXPECT_EQ(c->Pixels(15, 3), clYellow) << "taken from the child's place plus the cache offset";
    EXPECT_EQ(c->Pixels(35, 5), clWhite) << "a child painted in the key colour leaves the target";
    EXPECT_EQ(c->Pixels(50, 5), clLime) << "an opaque child starts from its colour";
    EXPECT_EQ(c->Pixels(65, 5), clWhite) << "hidden";
    EXPECT_EQ(c->Pixels(80, 5), clWhite) << "plain tool buttons are their bar's";
    EXPECT_FALSE(GlobalCacheInfo.Ready);

    sSkinData->Active = false;
    target.Canvas()->FillRect(Rect(0, 0, 100, 20));
    PaintControls(target.Canvas()->Handle(), owner, false, Point(0, 0));
    EXPECT_EQ(c->Pixels(5, 5), clWhite) << "nothing without an active skin";
}

TEST_F(Messages, ReadinessAndTheOwnerForm)
{
    auto* form = MakeForm();
    auto* box = Create<TProbeBox>(form, "box", false);
    EXPECT_FALSE(ControlIsReady(box)) << "no parent";
    box->SetParent(form);
    EXPECT_TRUE(ControlIsReady(box));
    BeginLoading(box);
    EXPECT_FALSE(ControlIsReady(box)) << "loading";
    LoadedAll(box);
    EXPECT_TRUE(ControlIsReady(box));
    EXPECT_FALSE(ControlIsReady(nullptr));
    EXPECT_EQ(GetOwnerForm(box), form);
    EXPECT_EQ(GetOwnerForm(form), form);
    EXPECT_EQ(GetOwnerForm(Application), nullptr);
    EXPECT_EQ(GetControlByName(form, "BOX"), box) << "names without ASCII case";
    EXPECT_EQ(GetControlByName(form, "nobox"), nullptr);
}
