#include "sRadioButton.h"

TsRadioButton::TsRadioButton(TComponent* AOwner) : TsSkinned(AOwner, "CHECKBOX", 33)
{
}
