#include "sRadioButton.h"

#if __has_include("StdCtrls.h")
TsRadioButton::TsRadioButton(TComponent* AOwner) : TRadioButton(AOwner), TsSkinHolder(this, "CHECKBOX", 33)
{
}
#endif
