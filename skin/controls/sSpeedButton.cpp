#include "sSpeedButton.h"

TsSpeedButton::TsSpeedButton(TComponent* AOwner) : TSpeedButton(AOwner), TsSkinHolder(this, "SPEEDBUTTON", 92)
{
}
