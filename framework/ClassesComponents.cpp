#include "Classes.h"

#include <algorithm>

namespace {

bool IsIdentStart(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_'; }

} // namespace

bool IsValidIdent(const AnsiString& Ident)
{
    if (Ident.empty() || !IsIdentStart(Ident[0]))
        return false;
    for (char c : Ident)
        if (!IsIdentStart(c) && !(c >= '0' && c <= '9'))
            return false;
    return true;
}

TComponent::TComponent(TComponent* AOwner)
{
    if (AOwner) {
        // Linked at once so that Owner and ComponentIndex are valid inside derived
        // constructors; the opInsert notifications wait for AfterConstruction.
        AOwner->Insert(this);
        if (AOwner->FComponentState.Contains(csLoading))
            FComponentState.Include(csLoading);
    }
}

void TComponent::AfterConstruction()
{
    inherited::AfterConstruction();
    if (FOwner)
        FOwner->Notification(this, opInsert);
}

void TComponent::BeforeDestruction()
{
    Destroying();
    inherited::BeforeDestruction();
    // The steps of the framework's destructor, taken while the whole object still exists (a
    // derived class's BeforeDestruction does its own work first and calls this one last).
    ReleaseComponents();
}

void TComponent::ReleaseComponents()
{
    // Subscribers learn of the removal first, then owned components go, then the owner forgets us.
    while (!FFreeNotifies.empty()) {
        TComponent* other = FFreeNotifies.back();
        FFreeNotifies.pop_back();
        other->RemoveNotification(this);
        other->Notification(this, opRemove);
    }
    DestroyComponents();
    if (FOwner)
        FOwner->RemoveComponent(this);
}

TComponent::~TComponent()
{
    // After Free() there is nothing left to do; a component deleted directly gets here with its
    // derived parts already gone.
    Destroying();
    ReleaseComponents();
}

TComponent* TComponent::Components(int Index) const
{
    if (Index < 0 || Index >= ComponentCount())
        throw EListError("List index out of bounds (" + std::to_string(Index) + ")");
    return FComponents[static_cast<size_t>(Index)];
}

int TComponent::ComponentIndex() const
{
    if (!FOwner)
        return -1;
    auto& list = FOwner->FComponents;
    auto it = std::find(list.begin(), list.end(), this);
    return it == list.end() ? -1 : static_cast<int>(it - list.begin());
}

void TComponent::SetComponentIndex(int Value)
{
    if (!FOwner)
        return;
    auto& list = FOwner->FComponents;
    int cur = ComponentIndex();
    if (cur < 0)
        return;
    int count = static_cast<int>(list.size());
    if (Value < 0)
        Value = 0;
    if (Value >= count)
        Value = count - 1;
    if (Value == cur)
        return;
    list.erase(list.begin() + cur);
    list.insert(list.begin() + Value, this);
}

TComponent* TComponent::FindComponent(const AnsiString& AName) const
{
    if (AName.empty())
        return nullptr;
    for (TComponent* c : FComponents)
        if (SameAsciiText(c->FName, AName))
            return c;
    return nullptr;
}

void TComponent::ValidateRename(TComponent* AComponent, const AnsiString& CurName, const AnsiString& NewName)
{
    if (!AComponent || SameAsciiText(CurName, NewName) || NewName.empty())
        return;
    TComponent* found = FindComponent(NewName);
    if (found && found != AComponent)
        throw EComponentError("A component named " + NewName + " already exists");
}

void TComponent::SetName(const AnsiString& NewName)
{
    if (FName == NewName)
        return;
    if (!NewName.empty() && !IsValidIdent(NewName))
        throw EComponentError("''" + NewName + "'' is not a valid component name");
    if (FOwner)
        FOwner->ValidateRename(this, FName, NewName);
    else
        ValidateRename(nullptr, FName, NewName);
    FName = NewName;
}

void TComponent::Insert(TComponent* AComponent)
{
    FComponents.push_back(AComponent);
    AComponent->FOwner = this;
}

void TComponent::Remove(TComponent* AComponent)
{
    AComponent->FOwner = nullptr;
    auto it = std::find(FComponents.begin(), FComponents.end(), AComponent);
    if (it != FComponents.end())
        FComponents.erase(it);
}

void TComponent::InsertComponent(TComponent* AComponent)
{
    if (!AComponent || AComponent->FOwner == this)
        return;
    ValidateRename(AComponent, AnsiString(), AComponent->FName);
    if (AComponent->FOwner)
        AComponent->FOwner->RemoveComponent(AComponent);
    Insert(AComponent);
    Notification(AComponent, opInsert);
}

void TComponent::RemoveComponent(TComponent* AComponent)
{
    if (!AComponent || AComponent->FOwner != this)
        return;
    Notification(AComponent, opRemove);
    Remove(AComponent);
}

void TComponent::DestroyComponents()
{
    while (!FComponents.empty()) {
        TComponent* c = FComponents.back();
        Remove(c);
        c->Free();
    }
}

void TComponent::Destroying()
{
    if (FComponentState.Contains(csDestroying))
        return;
    FComponentState.Include(csDestroying);
    for (TComponent* c : FComponents)
        c->Destroying();
}

void TComponent::Notification(TComponent* AComponent, TOperation Operation)
{
    if (Operation == opRemove && AComponent)
        RemoveFreeNotification(AComponent);
    // Walk from the end and re-check the bound: a component may free others while notified.
    for (size_t i = FComponents.size(); i-- > 0;) {
        if (i >= FComponents.size()) {
            if (FComponents.empty())
                break;
            i = FComponents.size() - 1;
        }
        FComponents[i]->Notification(AComponent, Operation);
    }
}

void TComponent::RemoveNotification(TComponent* AComponent)
{
    auto it = std::find(FFreeNotifies.begin(), FFreeNotifies.end(), AComponent);
    if (it != FFreeNotifies.end())
        FFreeNotifies.erase(it);
}

void TComponent::FreeNotification(TComponent* AComponent)
{
    if (!AComponent || AComponent == this)
        return;
    if (std::find(FFreeNotifies.begin(), FFreeNotifies.end(), AComponent) == FFreeNotifies.end())
        FFreeNotifies.push_back(AComponent);
    if (std::find(AComponent->FFreeNotifies.begin(), AComponent->FFreeNotifies.end(), this) ==
        AComponent->FFreeNotifies.end())
        AComponent->FFreeNotifies.push_back(this);
    FComponentState.Include(csFreeNotification);
}

void TComponent::RemoveFreeNotification(TComponent* AComponent)
{
    if (!AComponent)
        return;
    RemoveNotification(AComponent);
    AComponent->RemoveNotification(this);
}

void TComponent::WriteProperties(TWriter&) {}

bool TComponent::ReadProperty(TReader&, const AnsiString&) { return false; }

void TComponent::Loaded() { FComponentState.Exclude(csLoading); }

void BeginLoading(TComponent* Root)
{
    if (Root)
        Root->FComponentState.Include(csLoading);
}

namespace {
void CollectLoading(TComponent* c, std::vector<TComponent*>& out)
{
    for (int i = 0; i < c->ComponentCount(); ++i) {
        TComponent* child = c->Components(i);
        out.push_back(child);
        CollectLoading(child, out);
    }
}
} // namespace

void LoadedAll(TComponent* Root)
{
    if (!Root)
        return;
    // The list is taken first: a Loaded override may create further components.
    std::vector<TComponent*> all{Root};
    CollectLoading(Root, all);
    for (TComponent* c : all)
        c->FComponentState.Include(csLoading);
    for (TComponent* c : all)
        if (c->FComponentState.Contains(csLoading)) {
            c->Loaded();
            c->FComponentState.Exclude(csLoading);
        }
}
