#include "sBevel.h"

TsBevel::TsBevel(TComponent* AOwner) : TBevel(AOwner), TsSkinHolder(this, "BEVEL", 0)
{
}
