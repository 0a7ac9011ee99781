#include "sEdit.h"

TsEdit::TsEdit(TComponent* AOwner) : TsSkinned(AOwner, "EDIT", 3)
{
}
