#include "sBevel.h"

TsBevel::TsBevel(TComponent* AOwner) : TsSkinned(AOwner, "BEVEL", 0)
{
}
