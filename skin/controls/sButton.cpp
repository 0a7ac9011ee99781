#include "sButton.h"

#if __has_include("StdCtrls.h")
TsButton::TsButton(TComponent* AOwner) : TButton(AOwner), TsSkinHolder(this, "BUTTON", 93)
{
}
#endif
