#include "sBitBtn.h"

#if __has_include("Buttons.h")
TsBitBtn::TsBitBtn(TComponent* AOwner) : TBitBtn(AOwner), TsSkinHolder(this, "BUTTON", 94)
{
}
#endif
