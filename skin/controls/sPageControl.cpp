#include "sPageControl.h"

TsPageControl::TsPageControl(TComponent* AOwner) : TsSkinned(AOwner, "PAGECONTROL", 141)
{
}

TsTabSheet::TsTabSheet(TComponent* AOwner) : TsSkinned(AOwner, "TABSHEET", 0)
{
}
