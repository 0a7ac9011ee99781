#include "sComboBox.h"

TsCustomComboBox::TsCustomComboBox(TComponent* AOwner) : TsSkinned(AOwner, "COMBOBOX", 3)
{
}
