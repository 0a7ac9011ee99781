#include "sStatusBar.h"

TsStatusBar::TsStatusBar(TComponent* AOwner) : TsSkinned(AOwner, "STATUSBAR", 151)
{
}
