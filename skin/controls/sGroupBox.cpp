#include "sGroupBox.h"

TsGroupBox::TsGroupBox(TComponent* AOwner) : TGroupBox(AOwner), TsSkinHolder(this, "GROUPBOX", 74)
{
}
