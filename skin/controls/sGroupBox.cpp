#include "sGroupBox.h"

#if __has_include("StdCtrls.h")
TsGroupBox::TsGroupBox(TComponent* AOwner) : TGroupBox(AOwner), TsSkinHolder(this, "GROUPBOX", 74)
{
}
#endif
