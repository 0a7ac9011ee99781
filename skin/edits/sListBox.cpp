#include "sListBox.h"

#if __has_include("StdCtrls.h")
TsCustomListBox::TsCustomListBox(TComponent* AOwner) : TCustomListBox(AOwner), TsBoundHolder(this, "EDIT", 97)
{
}

void TsCustomListBox::SetItemIndex(int Value)
{
    inherited::SetItemIndex(Value);
}
#endif
