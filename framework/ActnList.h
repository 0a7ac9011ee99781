// The framework's actions: a command with its caption, state and handlers kept in one place and
// shared by the controls and menu items that show it. A client (a control or a menu item with an
// Action) takes the action's settings whenever they change (ActionChange) and runs the action when
// it is clicked; while the program is idle, the actions of the clients on showing forms are asked
// to update themselves (OnUpdate). An action without a handler of its own is offered to the forms
// as CM_ACTIONEXECUTE / CM_ACTIONUPDATE (LParam = the action).
#pragma once

#include <memory>
#include <vector>

#include "Classes.h"
#include "Messages.h"

class TBasicAction;
class TCustomForm;
class TCustomImageList;

// What ties a client to its action: the client hears of every change of the action through
// OnChange (the action is the sender), and asks the action to run or to update itself.
class TBasicActionLink : public TObject {
    VCL_CLASS(TBasicActionLink, TObject)
public:
    explicit TBasicActionLink(TObject* AClient) : FClient(AClient) {}
    ~TBasicActionLink() override;

    TObject* Client() const { return FClient; }
    TBasicAction* Action() const { return FAction; }
    // Leaves the old action's clients and joins the new one's.
    void SetAction(TBasicAction* Value);
    // Runs the action with AComponent as its ActionComponent meanwhile; false without an action or
    // when nothing ran it. The action's handler may free the client and the link.
    bool Execute(TComponent* AComponent = nullptr);
    bool Update();
    TNotifyEvent OnChange;

private:
    friend class TBasicAction;
    TObject* FClient;
    TBasicAction* FAction = nullptr;
};

// A command: OnExecute runs it, OnUpdate brings its state up to date.
class TBasicAction : public TComponent {
    VCL_CLASS(TBasicAction, TComponent)
public:
    explicit TBasicAction(TComponent* AOwner) : TComponent(AOwner) {}
    // The clients still joined (a control drops its own link when it hears the action go).
    ~TBasicAction() override;

    // OnExecute, or else CM_ACTIONEXECUTE to the active form and the main form; true when
    // something ran the action.
    virtual bool Execute();
    // OnUpdate, or else CM_ACTIONUPDATE the same way; true when something updated the action.
    virtual bool Update();
    // Execute with ActionComponent set for the time of the run.
    bool ExecuteFor(TComponent* AComponent);

    // The client that runs the action now (a control's click), or null.
    TComponent* ActionComponent = nullptr;
    TNotifyEvent OnExecute;
    TNotifyEvent OnUpdate;
    int ClientCount() const { return static_cast<int>(FClients.size()); }

protected:
    // Tells every client (the links' OnChange).
    void Change();
    // Cleared when the action goes, so that code after a handler can tell.
    std::shared_ptr<bool> FAlive = std::make_shared<bool>(true);

private:
    friend class TBasicActionLink;
    std::vector<TBasicActionLink*> FClients;
};

class TActionList;

// An action with the settings its clients show: Caption, Enabled, Checked, Hint, ImageIndex (an
// image of its list's Images) and Visible. Every change reaches the clients.
class TCustomAction : public TBasicAction {
    VCL_CLASS(TCustomAction, TBasicAction)
public:
    explicit TCustomAction(TComponent* AOwner) : TBasicAction(AOwner) {}
    ~TCustomAction() override;

    // Brings the action up to date first; runs only while it is enabled.
    bool Execute() override;

    TActionList* ActionList() const { return FActionList; }
    // Leaves the old list and joins the end of the new one (null: none).
    void SetActionList(TActionList* Value);
    const AnsiString& Caption() const { return FCaption; }
    void SetCaption(const AnsiString& Value) { Set(FCaption, Value); }
    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool Value) { Set(FEnabled, Value); }
    bool Checked() const { return FChecked; }
    void SetChecked(bool Value) { Set(FChecked, Value); }
    const AnsiString& Hint() const { return FHint; }
    void SetHint(const AnsiString& Value) { Set(FHint, Value); }
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int Value) { Set(FImageIndex, Value); }
    bool Visible() const { return FVisible; }
    void SetVisible(bool Value) { Set(FVisible, Value); }

private:
    friend class TActionList;
    template <class T>
    void Set(T& Field, const T& Value)
    {
        if (Field == Value)
            return;
        Field = Value;
        Change();
    }
    TActionList* FActionList = nullptr;
    AnsiString FCaption;
    bool FEnabled = true;
    bool FChecked = false;
    AnsiString FHint;
    int FImageIndex = -1;
    bool FVisible = true;
};

class TAction : public TCustomAction {
    VCL_CLASS(TAction, TCustomAction)
public:
    using TCustomAction::TCustomAction;
};

// The actions of a form kept together, with the image list their ImageIndex refers to. The
// actions belong to their owner (the form), not to the list.
class TActionList : public TComponent {
    VCL_CLASS(TActionList, TComponent)
public:
    explicit TActionList(TComponent* AOwner) : TComponent(AOwner) {}
    ~TActionList() override;

    int ActionCount() const { return static_cast<int>(FActions.size()); }
    // Raises EListError for an index out of range.
    TCustomAction* Actions(int Index) const;
    TCustomImageList* Images() const { return FImages; }
    // The actions' clients hear of a new list.
    void SetImages(TCustomImageList* Value);

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    friend class TCustomAction;
    std::vector<TCustomAction*> FActions;
    TCustomImageList* FImages = nullptr;
};

// The idle pass: every showing form's clients that are visible (controls, the main menu's own
// items) ask their actions to update themselves. Nothing is walked while no client exists.
void UpdateActionsOfForms();
// CM_ACTIONEXECUTE / CM_ACTIONUPDATE inside a form: offered to its active control, then to every
// control of the form (depth first) until one answers 1; answers whether one did.
bool DispatchActionToControls(TCustomForm* Form, TMessage& Message);
