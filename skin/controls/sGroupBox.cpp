#include "sGroupBox.h"

TsGroupBox::TsGroupBox(TComponent* AOwner) : TsSkinned(AOwner, "GROUPBOX", 74)
{
}
