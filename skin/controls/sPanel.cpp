#include "sPanel.h"

#if __has_include("ExtCtrlsPanels.h")
TsPanel::TsPanel(TComponent* AOwner) : TPanel(AOwner), TsSkinHolder(this, "PANEL", 51)
{
}
#endif
