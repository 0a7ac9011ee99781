#include "sSpeedButton.h"

#if __has_include("Buttons.h")
TsSpeedButton::TsSpeedButton(TComponent* AOwner) : TSpeedButton(AOwner), TsSkinHolder(this, "SPEEDBUTTON", 92)
{
}
#endif
