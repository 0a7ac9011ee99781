#include "sPanel.h"

TsPanel::TsPanel(TComponent* AOwner) : TPanel(AOwner), TsSkinHolder(this, "PANEL", 51)
{
}
