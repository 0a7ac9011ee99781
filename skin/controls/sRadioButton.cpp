#include "sRadioButton.h"

TsRadioButton::TsRadioButton(TComponent* AOwner) : TsSkinned(AOwner, "RADIOBUTTON", 33)
{
}
