#include "sComboEdit.h"

TsComboEdit::TsComboEdit(TComponent* AOwner) : TsCustomComboEdit(AOwner)
{
    DefBmpName = "BTN_ELLIPSIS";
    // The button's width follows the glyph (its width + 2).
    GlyphMode()->AssignDefaultBitmap();
}
