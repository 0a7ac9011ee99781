#include "sBitBtn.h"

TsBitBtn::TsBitBtn(TComponent* AOwner) : TBitBtn(AOwner), TsSkinHolder(this, "BUTTON", 94)
{
}
