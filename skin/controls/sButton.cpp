#include "sButton.h"

TsButton::TsButton(TComponent* AOwner) : TsSkinned(AOwner, "BUTTON", 93)
{
}
