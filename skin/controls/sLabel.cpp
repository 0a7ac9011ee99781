#include "sLabel.h"

#if __has_include("StdCtrls.h")
TsLabel::TsLabel(TComponent* AOwner) : TLabel(AOwner), TsSkinHolder(this, "LABEL", 0)
{
}
#endif
