#include "sEdit.h"

#if __has_include("StdCtrls.h")
TsEdit::TsEdit(TComponent* AOwner) : TEdit(AOwner), TsBoundHolder(this, "EDIT", 3)
{
}
#endif
