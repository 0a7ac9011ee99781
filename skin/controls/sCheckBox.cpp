#include "sCheckBox.h"

TsCheckBox::TsCheckBox(TComponent* AOwner) : TCheckBox(AOwner), TsSkinHolder(this, "CHECKBOX", 32)
{
}
