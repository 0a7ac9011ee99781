// The skin chooser's side in the main window, and the view toggles of the "Вид" menu.
#include "Form16.h"
#include "MainSession.h"

void TID_Vellorn::N5Click(TObject*)
{
    if (!Form16)
        return;
    // A cancel just before has asked for the look it opened on: shown first, so that this opening
    // takes that look, not the preview still on screen, as the one to go back to.
    ShowPendingSkin(this);
    TsListBox* list = Form16->sListBox1;
    list->Items()->Clear();
    TStringList names;
    sSkinManager1->GetSkinNames(&names);
    for (int i = 0; i < names.Count(); ++i)
        list->Items()->Add(names[i]);
    list->SetItemIndex(names.IndexOf(sSkinManager1->SkinName()));
    Form16->ShowModal();
}

void ShowWantedSkin(TID_Vellorn* Form)
{
    AnsiString name;
    bool active = false;
    if (Form->ApplyingSkin || !Form16 || !Form16->WantedLook(name, active))
        return;
    TsSkinManager* manager = Form->sSkinManager1;
    Form->ApplyingSkin = true;
    // Every window takes the new look first and then paints in a paint message of its own, all
    // before the program is idle again: the screen changes at once, and no single message holds
    // the program for the whole repaint.
    TPaintDeferral byMessages(true);
    try {
        if (!active || name.empty()) {
            // No skin: the system's look, the manager keeping the name it had.
            if (manager->Active())
                manager->SetActive(false);
            manager->SetSkinName(name);
        } else if (!manager->Active()) {
            // A manager switched off (no skin, or one that was missing) takes the name and loads
            // it when switched on again.
            manager->SetSkinName(name);
            manager->SetActive(true);
        } else if (manager->SkinName() != name) {
            manager->SetSkinName(name);
        }
    } catch (...) {
        Form->ApplyingSkin = false;
        throw;
    }
    Form->ApplyingSkin = false;
}

void ShowPendingSkin(TID_Vellorn* Form)
{
    if (Form->ApplyingSkin || !Form->PendingSkin)
        return;
    // Cleared first: a skin that fails shows its box once, not at every tick behind it.
    Form->PendingSkin = false;
    ShowWantedSkin(Form);
}

void TID_Vellorn::Timer5Timer(TObject*)
{
    if (ApplyingSkin)
        return;
    ShowPendingSkin(this);
    N90->SetChecked(Panel2->Visible());
    N87->SetChecked(ToolBar1->Visible());
    N89->SetChecked(ToolBar2->Visible());
}

namespace {

void Toggle(TMenuItem* Item, TControl* Part)
{
    // By what is shown: the item's check follows the part only at the timer's next tick.
    const bool show = !Part->Visible();
    Item->SetChecked(show);
    Part->SetVisible(show);
}

} // namespace

void TID_Vellorn::N87Click(TObject*)
{
    Toggle(N87, ToolBar1);
}

void TID_Vellorn::N89Click(TObject*)
{
    Toggle(N89, ToolBar2);
}

void TID_Vellorn::N90Click(TObject*)
{
    Toggle(N90, Panel2);
}

void TID_Vellorn::ToolButton13Click(TObject*)
{
    Panel2->Hide();
}
