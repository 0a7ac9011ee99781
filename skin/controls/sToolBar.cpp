#include "sToolBar.h"

#if __has_include("ComCtrlsBars.h")
TsToolBar::TsToolBar(TComponent* AOwner) : TToolBar(AOwner), TsSkinHolder(this, "TOOLBAR", 54)
{
}
#endif
