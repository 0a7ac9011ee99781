#include "sBevel.h"

#if __has_include("ExtCtrlsPanels.h")
TsBevel::TsBevel(TComponent* AOwner) : TBevel(AOwner), TsSkinHolder(this, "BEVEL", 0)
{
}
#endif
