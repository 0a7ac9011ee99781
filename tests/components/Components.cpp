#include <gtest/gtest.h>

#include "TestKit.h"

#include <map>
#include <string>
#include <vector>

#include "Classes.h"
#include "Messages.h"

namespace {

std::vector<std::string> g_log;
std::map<const void*, std::string> g_names; // the removed component may be half destroyed

class TProbe : public TComponent {
    VCL_CLASS(TProbe, TComponent)
public:
    TProbe(TComponent* AOwner, const char* tag) : TComponent(AOwner), id(tag) { g_names[this] = id; }
    ~TProbe() override { g_log.push_back("free " + id); }
    void BeforeDestruction() override
    {
        g_log.push_back("before " + id + (ComponentState().Contains(csDestroying) ? " destroying" : ""));
        inherited::BeforeDestruction();
    }
    void Loaded() override
    {
        inherited::Loaded();
        g_log.push_back("loaded " + id);
    }
    void Notification(TComponent* AComponent, TOperation Operation) override
    {
        inherited::Notification(AComponent, Operation);
        std::string who = g_names[AComponent];
        g_log.push_back(id + (Operation == opInsert ? " +" : " -") + who);
        if (Operation == opRemove && AComponent == Ref)
            Ref = nullptr;
    }
    std::string id;
    TComponent* Ref = nullptr;
};

} // namespace

TEST(Components, OwnershipNotificationsAndReverseFreeing)
{
    g_log.clear();
    auto* form = Create<TProbe>(nullptr, "form");
    auto* a = Create<TProbe>(form, "a");
    EXPECT_EQ(g_log, (std::vector<std::string>{"a +a", "form +a"}));
    auto* b = Create<TProbe>(form, "b");
    auto* c = Create<TProbe>(form, "c");
    EXPECT_EQ(form->ComponentCount(), 3);
    EXPECT_EQ(form->Components(1), b);
    EXPECT_EQ(c->ComponentIndex(), 2);
    EXPECT_EQ(a->Owner(), form);
    EXPECT_EQ(testkit::Refusal<EListError>([&] { form->Components(3); }), "List index out of bounds (3)");

    g_log.clear();
    b->Free(); // removal is announced to every component of the owner, b included, while b is whole
    EXPECT_EQ(g_log, (std::vector<std::string>{"before b destroying", "c -b", "b -b", "a -b", "form -b", "free b"}));
    EXPECT_EQ(form->ComponentCount(), 2);

    g_log.clear();
    form->Free();
    // Everything is marked destroying first; owned components go last created first, before the
    // owner's destructor body runs.
    EXPECT_EQ(g_log, (std::vector<std::string>{"before form destroying", "before c destroying", "free c",
                                               "before a destroying", "free a", "free form"}));
}

TEST(Components, FreeNotificationAcrossOwners)
{
    g_log.clear();
    auto* f1 = Create<TProbe>(nullptr, "f1");
    auto* f2 = Create<TProbe>(nullptr, "f2");
    auto* user = Create<TProbe>(f1, "user");
    auto* used = Create<TProbe>(f2, "used");
    user->Ref = used;
    used->FreeNotification(user);
    g_log.clear();
    f2->Free();
    EXPECT_EQ(user->Ref, nullptr) << "the subscriber was told before the component went";
    // The link is mutual and dropped once used: freeing f1 later must not touch freed memory.
    auto* other = Create<TProbe>(nullptr, "other");
    other->FreeNotification(user);
    other->RemoveFreeNotification(user);
    g_log.clear();
    other->Free();
    EXPECT_EQ(g_log, (std::vector<std::string>{"before other destroying", "free other"}));
    f1->Free();
}

TEST(Components, NamesAreValidatedAndFound)
{
    auto* form = Create<TProbe>(nullptr, "form");
    auto* a = Create<TProbe>(form, "a");
    auto* b = Create<TProbe>(form, "b");
    a->SetName("Button1");
    EXPECT_EQ(form->FindComponent("BUTTON1"), a);
    EXPECT_EQ(form->FindComponent("Button2"), nullptr);
    EXPECT_EQ(testkit::Refusal<EComponentError>([&] { b->SetName("button1"); }),
              "A component named button1 already exists");
    for (const char* bad : {"1abc", "a b"})
        EXPECT_EQ(testkit::Refusal<EComponentError>([&] { b->SetName(bad); }),
                  "''" + AnsiString(bad) + "'' is not a valid component name");
    EXPECT_EQ(b->Name(), "");
    b->SetName("_x9");
    a->SetName("button1"); // renaming to itself in other case is allowed
    EXPECT_EQ(a->Name(), "button1");
    a->SetName("");
    EXPECT_EQ(form->FindComponent(""), nullptr);
    b->SetComponentIndex(0);
    EXPECT_EQ(form->Components(0), b);
    form->Free();
}

TEST(Components, MovingBetweenOwners)
{
    g_log.clear();
    auto* f1 = Create<TProbe>(nullptr, "f1");
    auto* f2 = Create<TProbe>(nullptr, "f2");
    auto* a = Create<TProbe>(f1, "a");
    g_log.clear();
    f2->InsertComponent(a);
    EXPECT_EQ(a->Owner(), f2);
    EXPECT_EQ(f1->ComponentCount(), 0);
    EXPECT_EQ(g_log, (std::vector<std::string>{"a -a", "f1 -a", "a +a", "f2 +a"}));
    f2->RemoveComponent(a);
    EXPECT_EQ(a->Owner(), nullptr);
    a->Free();
    f1->Free();
    f2->Free();
}

TEST(Components, LoadedPassInCreationOrder)
{
    g_log.clear();
    auto* form = Create<TProbe>(nullptr, "form");
    BeginLoading(form);
    auto* a = Create<TProbe>(form, "a");
    auto* b = Create<TProbe>(form, "b");
    EXPECT_TRUE(a->ComponentState().Contains(csLoading));
    EXPECT_FALSE(a->ComponentState().Contains(csDesigning));
    g_log.clear();
    LoadedAll(form);
    EXPECT_EQ(g_log, (std::vector<std::string>{"loaded form", "loaded a", "loaded b"}));
    EXPECT_FALSE(b->ComponentState().Contains(csLoading));
    form->Free();
}

TEST(Messages, RecordAndViewsShareTheBytes)
{
    TMessage m = MakeMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(-5, 300));
    auto& mouse = MessageAs<TWMMouse>(m);
    EXPECT_EQ(mouse.XPos, -5);
    EXPECT_EQ(mouse.YPos, 300);
    EXPECT_EQ(mouse.Keys, MK_LBUTTON);
    mouse.Result = 7;
    EXPECT_EQ(m.Result, 7);
    m.WParam = MAKEWPARAM(1, 21);
    EXPECT_EQ(m.WParamHi, 21);
    EXPECT_EQ(m.WParamLo, 1);
    // The framework's numbers, which the skin library relies on.
    EXPECT_EQ(CM_MOUSEENTER, 0xB013u);
    EXPECT_EQ(CM_MOUSELEAVE, 0xB014u);
    EXPECT_EQ(CM_HINTSHOW, 0xB030u);
    EXPECT_EQ(CM_RECREATEWND, 0xB033u);
    EXPECT_EQ(CN_COMMAND, 0xBC00u + WM_COMMAND);
    EXPECT_EQ(CN_DROPDOWNCLOSED, 0x1400u);
    for (UINT n = CM_BASE; n <= CM_ISSHORTCUT; ++n)
        EXPECT_NE(n, 0xA100u);
}
