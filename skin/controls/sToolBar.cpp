#include "sToolBar.h"

TsToolBar::TsToolBar(TComponent* AOwner) : TToolBar(AOwner), TsSkinHolder(this, "TOOLBAR", 54)
{
}
