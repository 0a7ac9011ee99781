#include "sPanel.h"

TsPanel::TsPanel(TComponent* AOwner) : TsSkinned(AOwner, "PANEL", 51)
{
}
