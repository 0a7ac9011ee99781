#include "sSpeedButton.h"

TsSpeedButton::TsSpeedButton(TComponent* AOwner) : TsSkinned(AOwner, "SPEEDBUTTON", 92)
{
}
