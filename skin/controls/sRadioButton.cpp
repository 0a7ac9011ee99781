#include "sRadioButton.h"

TsRadioButton::TsRadioButton(TComponent* AOwner) : TRadioButton(AOwner), TsSkinHolder(this, "CHECKBOX", 33)
{
}
