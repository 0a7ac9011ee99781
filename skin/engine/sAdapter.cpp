#include "sAdapter.h"

#include "Forms.h"
#include "sVclUtils.h"

namespace {

bool IsDestroying(const TComponent* C)
{
    return C->ComponentState().Contains(csDestroying);
}

} // namespace

TsCtrlAdapter::TsCtrlAdapter(TComponent* AOwner) : TComponent(AOwner) {}

void TsCtrlAdapter::BeforeDestruction()
{
    while (Count() >= 1)
        RemoveItem(0);
    FForm = nullptr;
    inherited::BeforeDestruction();
}

TWinControl* TsCtrlAdapter::GetForm()
{
    if (!FForm) {
        FForm = GetOwnerFrame(this);
        if (!FForm)
            FForm = GetOwnerForm(this);
    }
    return FForm;
}

void TsCtrlAdapter::Loaded()
{
    inherited::Loaded();
    HookAll();
}

void TsCtrlAdapter::SetAutoSearch(bool Value)
{
    if (Value == FAutoSearch)
        return;
    FAutoSearch = Value;
    if (Value)
        AddAllItems();
}

bool TsCtrlAdapter::IsControlSupported(TComponent* Component)
{
    return Component && ControlClass && Component->InheritsFrom(ControlClass);
}

void TsCtrlAdapter::AddAllItems()
{
    TWinControl* form = GetForm();
    if (!form)
        return;
    for (int i = 0; i < form->ComponentCount(); ++i) {
        TComponent* c = form->Components(i);
        if (IsControlSupported(c)) {
            if (auto* w = dynamic_cast<TWinControl*>(c))
                AddNewItem(w);
        } else if (auto* frame = dynamic_cast<TCustomFrame*>(c)) {
            for (int k = 0; k < frame->ComponentCount(); ++k)
                if (auto* w = dynamic_cast<TWinControl*>(frame->Components(k)); w && IsControlSupported(w))
                    AddNewItem(w);
        }
    }
}

void TsCtrlAdapter::HookAll()
{
    TWinControl* form = GetForm();
    if (!form)
        return;
    if (FAutoSearch) {
        AddAllItems();
        return;
    }
    for (int i = 0; i < Count(); ++i) {
        TsCommonData* sd = GetCommonData(i);
        if (sd)
            sd->SetSkinSection(sd->SkinSection());
        TCollectionItem* item = GetItem(i);
        const AnsiString name = item ? item->DisplayName() : AnsiString();
        if (name.empty())
            break;
        if (auto* w = dynamic_cast<TWinControl*>(GetControlByName(form, name))) {
            if (sd)
                sd->BGChanged = true;
            DoHook(i, w);
        }
    }
}

void TsCtrlAdapter::Notification(TComponent* AComponent, TOperation Operation)
{
    inherited::Notification(AComponent, Operation);
    if (!AComponent || IsDestroying(this) || !IsControlSupported(AComponent))
        return;
    if (Operation == opInsert) {
        if (FAutoSearch && !IsDestroying(AComponent))
            if (auto* w = dynamic_cast<TWinControl*>(AComponent))
                AddNewItem(w);
        return;
    }
    // A control that goes, freed or not, takes its item with it: no item keeps a freed control.
    for (int i = 0; i < Count(); ++i)
        if (TCollectionItem* item = GetItem(i); item && item->DisplayName() == AComponent->Name()) {
            RemoveItem(i);
            return;
        }
}
