#include "sComboBox.h"

TsComboBox::TsComboBox(TComponent* AOwner) : TComboBox(AOwner), TsBoundHolder(this, "COMBOBOX", 3)
{
}
