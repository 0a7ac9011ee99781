#include "sMemo.h"

TsMemo::TsMemo(TComponent* AOwner) : TMemo(AOwner), TsBoundHolder(this, "EDIT", 7)
{
}
