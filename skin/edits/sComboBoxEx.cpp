#include "sComboBoxEx.h"

TsComboBoxEx::TsComboBoxEx(TComponent* AOwner) : TComboBoxEx(AOwner), TsBoundHolder(this, "COMBOBOX", 0)
{
}
