// The number edit without a button (the colour dialog's number fields).
#pragma once

#include "sCurrEdit.h"

class TsCurrencyEdit : public TsCustomNumEdit {
    VCL_CLASS(TsCurrencyEdit, TsCustomNumEdit)
public:
    explicit TsCurrencyEdit(TComponent* AOwner);
};
