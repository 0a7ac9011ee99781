#include "sCustomComboEdit.h"

TsCustomComboEdit::TsCustomComboEdit(TComponent* AOwner)
    : TsSkinned(AOwner, "EDIT", 138), FGlyphMode(std::make_unique<TsGlyphMode>(this))
{
    FButton = Create<TsEditButton>(this);
    FButton->SetParent(this);
}

TsCustomComboEdit::~TsCustomComboEdit() = default;
