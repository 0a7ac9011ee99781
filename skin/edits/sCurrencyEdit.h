// The number edit without a button (the colour dialog's number fields).
#pragma once

#include "sCustomComboEdit.h"

class TsCurrencyEdit : public TsCustomComboEdit {
    VCL_CLASS(TsCurrencyEdit, TsCustomComboEdit)
public:
    explicit TsCurrencyEdit(TComponent* AOwner) : TsCustomComboEdit(AOwner) { SkinData()->COC = 41; }
};
