#include "sStatusBar.h"

TsStatusBar::TsStatusBar(TComponent* AOwner) : TStatusBar(AOwner), TsSkinHolder(this, "STATUSBAR", 0)
{
}
