#include "sBitBtn.h"

TsBitBtn::TsBitBtn(TComponent* AOwner) : TsSkinned(AOwner, "BUTTON", 94)
{
}
