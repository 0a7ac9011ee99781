#include "sMemo.h"

TsMemo::TsMemo(TComponent* AOwner) : TsSkinned(AOwner, "EDIT", 7)
{
}
