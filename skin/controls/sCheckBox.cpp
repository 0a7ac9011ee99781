#include "sCheckBox.h"

TsCheckBox::TsCheckBox(TComponent* AOwner) : TsSkinned(AOwner, "CHECKBOX", 32)
{
}
