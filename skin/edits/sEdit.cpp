#include "sEdit.h"

TsEdit::TsEdit(TComponent* AOwner) : TEdit(AOwner), TsBoundHolder(this, "EDIT", 3)
{
}
