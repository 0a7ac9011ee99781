#include "sCheckBox.h"

#if __has_include("StdCtrls.h")
TsCheckBox::TsCheckBox(TComponent* AOwner) : TCheckBox(AOwner), TsSkinHolder(this, "CHECKBOX", 32)
{
}
#endif
