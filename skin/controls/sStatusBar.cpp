#include "sStatusBar.h"

#if __has_include("ComCtrlsBars.h")
TsStatusBar::TsStatusBar(TComponent* AOwner) : TStatusBar(AOwner), TsSkinHolder(this, "STATUSBAR", 0)
{
}
#endif
