// The skin chooser's side in the main window, and the view toggles of the "Вид" menu.
#include "Form16.h"
#include "Main.h"

void TID_Vellorn::N5Click(TObject*)
{
    if (!Form16)
        return;
    TsListBox* list = Form16->sListBox1;
    list->Items()->Clear();
    TStringList names;
    sSkinManager1->GetSkinNames(&names);
    for (int i = 0; i < names.Count(); ++i)
        list->Items()->Add(names[i]);
    list->SetItemIndex(names.IndexOf(sSkinManager1->SkinName()));
    Form16->ShowModal();
}

void TID_Vellorn::Timer5Timer(TObject*)
{
    if (ApplyingSkin)
        return;
    if (PendingSkin) {
        // Cleared first: a skin that fails shows its box once, not at every tick behind it.
        PendingSkin = false;
        const int i = Form16 ? Form16->sListBox1->GetItemIndex() : -1;
        if (i != -1) {
            ApplyingSkin = true;
            try {
                const AnsiString name = Form16->sListBox1->Items()->Get(i);
                if (sSkinManager1->Active()) {
                    sSkinManager1->SetSkinName(name);
                } else {
                    // A manager switched off by a skin that was missing takes the name and
                    // loads it when switched on again.
                    sSkinManager1->SetSkinName(name);
                    sSkinManager1->SetActive(true);
                }
            } catch (...) {
                ApplyingSkin = false;
                throw;
            }
            ApplyingSkin = false;
        }
    }
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
