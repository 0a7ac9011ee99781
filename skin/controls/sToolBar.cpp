#include "sToolBar.h"

TsToolBar::TsToolBar(TComponent* AOwner) : TsSkinned(AOwner, "TOOLBAR", 54)
{
}
