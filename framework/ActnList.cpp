// The actions, their lists and links, and the action parts of the clients: controls (push, glyph,
// speed and check buttons) and menu items, the idle pass and the routing of CM_ACTION* messages.
#include "ActnList.h"

#include <algorithm>
#include <functional>

#include "Buttons.h"
#include "Forms.h"
#include "ImgList.h"
#include "Menus.h"
#include "StdCtrls.h"

namespace {

// Links joined to an action: the idle pass walks the forms only while there are some.
int gJoinedLinks = 0;

// The action offered to the active form, then to the main form; true when one answered 1.
bool OfferToForms(UINT Msg, TBasicAction* Action)
{
    const auto lparam = reinterpret_cast<LPARAM>(Action);
    TCustomForm* active = Screen ? Screen->ActiveForm() : nullptr;
    if (active && active->Perform(Msg, 0, lparam) == 1)
        return true;
    TCustomForm* main = Application ? Application->MainForm() : nullptr;
    return main && main != active && main->Perform(Msg, 0, lparam) == 1;
}

// An empty glyph takes the action's image of its list's Images, on the glyphs' key colour.
void TakeActionImage(TBitmap* Glyph, TObject* Sender)
{
    auto* action = dynamic_cast<TCustomAction*>(Sender);
    if (!action || !Glyph->Empty() || !action->ActionList())
        return;
    TCustomImageList* images = action->ActionList()->Images();
    const int index = action->ImageIndex();
    if (!images || index < 0 || index >= images->Count())
        return;
    TBitmap image(images->Width(), images->Height(), pf24bit);
    image.Canvas()->Brush()->SetColor(clFuchsia);
    image.Canvas()->FillRect(Rect(0, 0, images->Width(), images->Height()));
    images->Draw(image.Canvas(), 0, 0, index);
    Glyph->Assign(&image);
}

// Client's link (made when missing) joined to Value, null: the link goes. Changed hears of every
// change of the action, and at once, taking only the defaults while the action loads.
void JoinAction(std::unique_ptr<TBasicActionLink>& Link, TComponent* Client, TBasicAction* Value,
                const std::function<void(TObject* Sender, bool CheckDefaults)>& Changed)
{
    if (!Value) {
        Link.reset();
        return;
    }
    if (!Link) {
        Link = std::make_unique<TBasicActionLink>(Client);
        Link->OnChange = [Changed](TObject* Sender) { Changed(Sender, false); };
    }
    Link->SetAction(Value);
    Changed(Value, Value->ComponentState().Contains(csLoading));
    Value->FreeNotification(Client);
}

// The clients among the children of Container (depth first, into showing containers).
void UpdateClients(TWinControl* Container)
{
    for (int i = 0; i < Container->ControlCount(); ++i) {
        TControl* control = Container->Controls(i);
        auto* inner = dynamic_cast<TWinControl*>(control);
        if (control->ControlStyle().Contains(csActionClient) && control->Visible())
            control->InitiateAction();
        // An update may have taken the control away.
        if (inner && i < Container->ControlCount() && Container->Controls(i) == control && inner->Showing())
            UpdateClients(inner);
    }
}

bool OfferToControls(TWinControl* Container, TMessage& Message)
{
    for (int i = 0; i < Container->ControlCount(); ++i) {
        TControl* control = Container->Controls(i);
        control->Perform(Message);
        if (Message.Result == 1)
            return true;
        if (i < Container->ControlCount() && Container->Controls(i) == control)
            if (auto* inner = dynamic_cast<TWinControl*>(control); inner && OfferToControls(inner, Message))
                return true;
    }
    return false;
}

} // namespace

// --- TBasicActionLink ---------------------------------------------------------------------------

TBasicActionLink::~TBasicActionLink() { SetAction(nullptr); }

void TBasicActionLink::SetAction(TBasicAction* Value)
{
    if (Value == FAction)
        return;
    if (FAction) {
        auto& clients = FAction->FClients;
        clients.erase(std::remove(clients.begin(), clients.end(), this), clients.end());
        --gJoinedLinks;
    }
    FAction = Value;
    if (Value) {
        Value->FClients.push_back(this);
        ++gJoinedLinks;
    }
}

bool TBasicActionLink::Execute(TComponent* AComponent)
{
    // Nothing of the link is touched after the run: the handler may free the client.
    TBasicAction* action = FAction;
    return action && action->ExecuteFor(AComponent);
}

bool TBasicActionLink::Update()
{
    TBasicAction* action = FAction;
    return action && action->Update();
}

// --- TBasicAction -------------------------------------------------------------------------------

TBasicAction::~TBasicAction()
{
    *FAlive = false;
    while (!FClients.empty())
        FClients.back()->SetAction(nullptr);
}

bool TBasicAction::Execute()
{
    // A copy, so that a handler that frees the action does not destroy the code it runs.
    if (TNotifyEvent handler = OnExecute) {
        handler(this);
        return true;
    }
    return OfferToForms(CM_ACTIONEXECUTE, this);
}

bool TBasicAction::Update()
{
    if (TNotifyEvent handler = OnUpdate) {
        handler(this);
        return true;
    }
    return OfferToForms(CM_ACTIONUPDATE, this);
}

bool TBasicAction::ExecuteFor(TComponent* AComponent)
{
    const std::shared_ptr<bool> alive = FAlive;
    ActionComponent = AComponent;
    const bool ran = Execute();
    if (*alive)
        ActionComponent = nullptr;
    return ran;
}

void TBasicAction::Change()
{
    // A client may leave (or free others) while it hears of the change.
    const std::vector<TBasicActionLink*> clients = FClients;
    for (TBasicActionLink* link : clients)
        if (std::find(FClients.begin(), FClients.end(), link) != FClients.end() && link->OnChange)
            link->OnChange(this);
}

// --- TCustomAction ------------------------------------------------------------------------------

TCustomAction::~TCustomAction()
{
    if (FActionList) {
        auto& actions = FActionList->FActions;
        actions.erase(std::remove(actions.begin(), actions.end(), this), actions.end());
    }
}

bool TCustomAction::Execute()
{
    const std::shared_ptr<bool> alive = FAlive;
    Update();
    return *alive && FEnabled && inherited::Execute();
}

void TCustomAction::SetActionList(TActionList* Value)
{
    if (Value == FActionList)
        return;
    if (FActionList) {
        auto& actions = FActionList->FActions;
        actions.erase(std::remove(actions.begin(), actions.end(), this), actions.end());
    }
    FActionList = Value;
    if (Value)
        Value->FActions.push_back(this);
    Change();
}

// --- TActionList --------------------------------------------------------------------------------

TActionList::~TActionList()
{
    for (TCustomAction* action : FActions)
        action->FActionList = nullptr;
}

TCustomAction* TActionList::Actions(int Index) const
{
    if (Index < 0 || Index >= ActionCount())
        throw EListError("List index out of bounds (" + std::to_string(Index) + ")");
    return FActions[static_cast<size_t>(Index)];
}

void TActionList::SetImages(TCustomImageList* Value)
{
    if (Value == FImages)
        return;
    if (FImages)
        FImages->RemoveFreeNotification(this);
    FImages = Value;
    if (Value)
        Value->FreeNotification(this);
    const std::vector<TCustomAction*> actions = FActions;
    for (TCustomAction* action : actions)
        action->Change();
}

void TActionList::Notification(TComponent* AComponent, TOperation Operation)
{
    inherited::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent && AComponent == FImages)
        SetImages(nullptr);
}

// --- Controls -----------------------------------------------------------------------------------

TBasicAction* TControl::Action() const { return FActionLink ? FActionLink->Action() : nullptr; }

void TControl::SetAction(TBasicAction* Value)
{
    if (Value)
        FControlStyle.Include(csActionClient);
    else
        FControlStyle.Exclude(csActionClient);
    JoinAction(FActionLink, this, Value, [this](TObject* Sender, bool CheckDefaults) {
        ActionChange(Sender, CheckDefaults);
    });
}

void TControl::InitiateAction()
{
    if (FActionLink)
        FActionLink->Update();
}

void TControl::ActionChange(TObject* Sender, bool CheckDefaults)
{
    auto* action = dynamic_cast<TCustomAction*>(Sender);
    if (!action)
        return;
    if ((!CheckDefaults || Caption().empty() || Caption() == Name()) && Caption() != action->Caption())
        SetCaption(action->Caption());
    if ((!CheckDefaults || FEnabled) && FEnabled != action->Enabled())
        SetEnabled(action->Enabled());
    if (!CheckDefaults || FHint.empty())
        SetHint(action->Hint());
    if ((!CheckDefaults || FVisible) && FVisible != action->Visible())
        SetVisible(action->Visible());
}

void TButtonControl::ActionChange(TObject* Sender, bool CheckDefaults)
{
    inherited::ActionChange(Sender, CheckDefaults);
    auto* action = dynamic_cast<TCustomAction*>(Sender);
    if (!action || (CheckDefaults && Checked()) || Checked() == action->Checked())
        return;
    // The action's state is shown, not clicked.
    const bool saved = FClicksDisabled;
    FClicksDisabled = true;
    SetChecked(action->Checked());
    FClicksDisabled = saved;
}

void TBitBtn::ActionChange(TObject* Sender, bool CheckDefaults)
{
    inherited::ActionChange(Sender, CheckDefaults);
    TakeActionImage(FGlyph.get(), Sender);
}

void TSpeedButton::ActionChange(TObject* Sender, bool CheckDefaults)
{
    inherited::ActionChange(Sender, CheckDefaults);
    auto* action = dynamic_cast<TCustomAction*>(Sender);
    if (action && (!CheckDefaults || !FDown))
        SetDown(action->Checked());
    TakeActionImage(FGlyph.get(), Sender);
}

// --- Menu items ---------------------------------------------------------------------------------

TBasicAction* TMenuItem::Action() const { return FActionLink ? FActionLink->Action() : nullptr; }

void TMenuItem::SetAction(TBasicAction* Value)
{
    JoinAction(FActionLink, this, Value, [this](TObject* Sender, bool CheckDefaults) {
        ActionChange(Sender, CheckDefaults);
    });
}

void TMenuItem::InitiateAction()
{
    if (FActionLink)
        FActionLink->Update();
}

void TMenuItem::InitiateActions()
{
    // An update may change the items (an action hides one, a handler deletes one).
    const std::vector<TMenuItem*> items = FItems;
    for (TMenuItem* item : items)
        if (std::find(FItems.begin(), FItems.end(), item) != FItems.end())
            item->InitiateAction();
}

void TMenuItem::ActionChange(TObject* Sender, bool CheckDefaults)
{
    auto* action = dynamic_cast<TCustomAction*>(Sender);
    if (!action)
        return;
    if (!CheckDefaults || FCaption.empty())
        SetCaption(action->Caption());
    if (!CheckDefaults || !FChecked)
        SetChecked(action->Checked());
    if (!CheckDefaults || FEnabled)
        SetEnabled(action->Enabled());
    if (!CheckDefaults || Hint.empty())
        Hint = action->Hint();
    if (!CheckDefaults || FImageIndex == -1)
        SetImageIndex(action->ImageIndex());
    if (!CheckDefaults || FVisible)
        SetVisible(action->Visible());
}

void TMenuItem::Notification(TComponent* AComponent, TOperation Operation)
{
    inherited::Notification(AComponent, Operation);
    if (Operation == opRemove && FActionLink && AComponent == FActionLink->Action())
        SetAction(nullptr);
}

// --- The idle pass and the routing --------------------------------------------------------------

void UpdateActionsOfForms()
{
    if (gJoinedLinks == 0 || !Screen)
        return;
    for (int i = 0; i < Screen->FormCount(); ++i) {
        TCustomForm* form = Screen->Forms(i);
        if (!form->Showing() || form->ComponentState().Contains(csDestroying))
            continue;
        form->InitiateAction();
        if (TMainMenu* menu = form->Menu())
            for (int k = 0; k < menu->Items()->Count(); ++k)
                if (TMenuItem* item = menu->Items()->Items(k); item->Visible())
                    item->InitiateAction();
        UpdateClients(form);
    }
}

bool DispatchActionToControls(TCustomForm* Form, TMessage& Message)
{
    if (!Form->Showing())
        return false;
    Message.Result = 0;
    if (TWinControl* active = Form->ActiveControl()) {
        active->Perform(Message);
        if (Message.Result == 1)
            return true;
    }
    return OfferToControls(Form, Message);
}
