#include "sComboBox.h"

#if __has_include("StdCtrls.h")
TsComboBox::TsComboBox(TComponent* AOwner) : TComboBox(AOwner), TsBoundHolder(this, "COMBOBOX", 3)
{
}
#endif
