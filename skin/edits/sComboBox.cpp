#include "sComboBox.h"

TsComboBox::TsComboBox(TComponent* AOwner) : TsSkinned(AOwner, "COMBOBOX", 3)
{
}
