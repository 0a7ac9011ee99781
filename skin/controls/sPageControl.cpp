#include "sPageControl.h"

TsPageControl::TsPageControl(TComponent* AOwner) : TPageControl(AOwner), TsSkinHolder(this, "PAGECONTROL", 141)
{
}

TsTabSheet::TsTabSheet(TComponent* AOwner) : TTabSheet(AOwner), TsSkinHolder(this, "TABSHEET", 0)
{
}
