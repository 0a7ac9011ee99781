#include "sButton.h"

TsButton::TsButton(TComponent* AOwner) : TButton(AOwner), TsSkinHolder(this, "BUTTON", 93)
{
}
