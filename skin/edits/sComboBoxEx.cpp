#include "sComboBoxEx.h"

TsComboBoxEx::TsComboBoxEx(TComponent* AOwner) : TsSkinned(AOwner, "COMBOBOX", 0)
{
}
