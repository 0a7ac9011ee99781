#include "sListBox.h"

TsCustomListBox::TsCustomListBox(TComponent* AOwner) : TCustomListBox(AOwner), TsBoundHolder(this, "EDIT", 97)
{
}

void TsCustomListBox::SetItemIndex(int Value)
{
    inherited::SetItemIndex(Value);
}
