// Actions: controls and menu items show their action's settings and run it when clicked; at idle
// the actions of shown clients update themselves, and an action without a handler of its own is
// offered to the controls of the forms.
#include "ActnList.h"
#include "Buttons.h"
#include "FormTest.h"
#include "Menus.h"
#include "StdCtrls.h"

using namespace testkit;

namespace {

// A button that answers the action messages for one action and counts them.
class TAnsweringButton : public TButton {
    VCL_CLASS(TAnsweringButton, TButton)
public:
    using TButton::TButton;
    void WndProc(TMessage& Message) override
    {
        if ((Message.Msg == CM_ACTIONUPDATE || Message.Msg == CM_ACTIONEXECUTE) &&
            Message.LParam == reinterpret_cast<LPARAM>(Answers)) {
            ++(Message.Msg == CM_ACTIONUPDATE ? Updates : Executes);
            Message.Result = 1;
            return;
        }
        inherited::WndProc(Message);
    }
    TBasicAction* Answers = nullptr;
    int Updates = 0, Executes = 0;
};

class Actions : public FormTest {
protected:
    void SetUp() override
    {
        FormTest::SetUp();
        form = MakeForm();
        form->SetBounds(60, 60, 320, 200);
    }
    template <class T>
    T* Place(int Top)
    {
        auto* c = Create<T>(form);
        c->SetBounds(10, Top, 100, 24);
        c->SetParent(form);
        return c;
    }
    TAction* MakeAction(const char* Caption)
    {
        auto* a = Create<TAction>(form);
        a->SetCaption(Caption);
        a->OnExecute = [this](TObject* Sender) {
            ++executed;
            runBy = static_cast<TBasicAction*>(Sender)->ActionComponent;
        };
        return a;
    }
    // Runs the application's idle pass once.
    void Idle()
    {
        int idles = 0;
        Application->OnIdle = [&](TObject*, bool& Done) {
            ++idles;
            Done = false;
        };
        for (int i = 0; i < 1000 && idles == 0; ++i)
            Application->HandleMessage();
        Application->OnIdle = nullptr;
        EXPECT_EQ(idles, 1);
    }
    TForm* form = nullptr;
    int executed = 0;
    TComponent* runBy = nullptr;
};

} // namespace

TEST_F(Actions, ControlsAndMenuItemsShowTheActionAndTheirClicksRunIt)
{
    TAction* action = MakeAction("Run");
    action->SetHint("Runs it");
    auto* button = Place<TButton>(10);
    auto* check = Place<TCheckBox>(40);
    auto* speed = Place<TSpeedButton>(70);
    speed->SetGroupIndex(1);
    auto* item = Create<TMenuItem>(form);
    auto* list = Create<TActionList>(form);
    action->SetActionList(list);
    for (TControl* c : {static_cast<TControl*>(button), static_cast<TControl*>(check), static_cast<TControl*>(speed)})
        c->SetAction(action);
    item->SetAction(action);
    form->Show();
    EXPECT_EQ(button->Caption(), "Run");
    EXPECT_EQ(button->Hint(), "Runs it");
    EXPECT_EQ(item->Caption(), "Run");
    EXPECT_EQ(item->Hint, "Runs it");

    SendMessageA(button->Handle(), BM_CLICK, 0, 0);
    EXPECT_EQ(executed, 1);
    EXPECT_EQ(runBy, button);
    EXPECT_EQ(action->ActionComponent, nullptr) << "only for the time of the run";
    item->Click();
    EXPECT_EQ(runBy, item);
    // A click of the control's own is the control's.
    int own = 0;
    button->OnClick = [&](TObject*) { ++own; };
    SendMessageA(button->Handle(), BM_CLICK, 0, 0);
    EXPECT_EQ(own, 1);
    EXPECT_EQ(executed, 2);

    // Every change reaches the clients; Checked is shown without a click.
    action->SetChecked(true);
    EXPECT_TRUE(check->Checked());
    EXPECT_TRUE(speed->Down());
    EXPECT_EQ(executed, 2);
    action->SetCaption("Go");
    action->SetEnabled(false);
    action->SetImageIndex(2);
    EXPECT_EQ(button->Caption(), "Go");
    EXPECT_FALSE(button->Enabled());
    EXPECT_FALSE(item->Enabled());
    EXPECT_TRUE(item->Checked());
    EXPECT_EQ(item->ImageIndex(), 2);
    item->Click();
    EXPECT_EQ(executed, 2) << "a disabled item runs nothing";
    action->SetVisible(false);
    EXPECT_FALSE(check->Visible());

    action->Free();
    EXPECT_EQ(list->ActionCount(), 0);
    EXPECT_EQ(button->Action(), nullptr);
    EXPECT_EQ(item->Action(), nullptr);
    EXPECT_FALSE(button->ControlStyle().Contains(csActionClient));
    form->Free();
}

TEST_F(Actions, ANewActionWhileLoadingTakesOnlyWhatIsStillAtItsDefault)
{
    BeginLoading(form);
    auto* button = Place<TButton>(10);
    button->SetCaption("Own");
    TAction* action = MakeAction("Run");
    action->SetEnabled(false);
    action->SetHint("Runs it");
    button->SetAction(action);
    LoadedAll(form);
    EXPECT_EQ(button->Caption(), "Own");
    EXPECT_FALSE(button->Enabled()) << "still at its default";
    EXPECT_EQ(button->Hint(), "Runs it");
}

TEST_F(Actions, AtIdleShownClientsUpdateTheirActionsAndAnUnhandledActionGoesToTheForm)
{
    TAction* shown = MakeAction("Shown");
    TAction* hidden = MakeAction("Hidden");
    int shownUpdates = 0, hiddenUpdates = 0;
    shown->OnUpdate = [&](TObject*) { ++shownUpdates; };
    hidden->OnUpdate = [&](TObject*) { ++hiddenUpdates; };
    Place<TButton>(10)->SetAction(shown);
    auto* invisible = Place<TButton>(40);
    invisible->SetAction(hidden);
    invisible->Hide();
    auto* answering = Place<TAnsweringButton>(70);
    form->Show();
    Idle();
    EXPECT_EQ(shownUpdates, 1);
    EXPECT_EQ(hiddenUpdates, 0);

    // No handler: the form's controls are asked, one answers.
    auto* bare = Create<TAction>(form);
    answering->Answers = bare;
    answering->SetAction(bare);
    Idle();
    EXPECT_EQ(answering->Updates, 1);
    EXPECT_TRUE(bare->Execute());
    EXPECT_EQ(answering->Executes, 1);
    answering->Answers = nullptr;
    EXPECT_FALSE(bare->Execute()) << "nobody answers";
    form->Free();
}

TEST_F(Actions, AMenusItemsUpdateTheirActionsAsTheirListOpens)
{
    auto* menu = Create<TPopupMenu>(form);
    auto* file = Create<TMenuItem>(form);
    auto* inner = Create<TMenuItem>(form);
    menu->Items()->Add(file);
    file->Add(inner);
    TAction* outer = MakeAction("File");
    TAction* sub = MakeAction("Open");
    int updates[2] = {0, 0};
    outer->OnUpdate = [&](TObject*) { ++updates[0]; };
    sub->OnUpdate = [&](TObject*) { ++updates[1]; };
    inner->SetAction(sub);
    EXPECT_TRUE(menu->DispatchPopup(file->Handle()));
    EXPECT_EQ(updates[1], 1) << "the submenu's items";
    file->SetAction(outer);
    EXPECT_TRUE(menu->DispatchPopup(menu->Handle()));
    EXPECT_EQ(updates[0], 1) << "the menu's own list";
    form->Free();
}
