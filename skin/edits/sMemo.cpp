#include "sMemo.h"

#if __has_include("StdCtrls.h")
TsMemo::TsMemo(TComponent* AOwner) : TMemo(AOwner), TsBoundHolder(this, "EDIT", 7)
{
}
#endif
