#include "sListBox.h"

TsCustomListBox::TsCustomListBox(TComponent* AOwner) : TsSkinned(AOwner, "EDIT", 97)
{
}

void TsCustomListBox::SetItemIndex(int Value)
{
    inherited::SetItemIndex(Value);
}
