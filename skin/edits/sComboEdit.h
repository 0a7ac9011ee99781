// The plain combo edit: its button shows an ellipsis and only fires OnButtonClick.
#pragma once

#include "sCustomComboEdit.h"

class TsComboEdit : public TsCustomComboEdit {
    VCL_CLASS(TsComboEdit, TsCustomComboEdit)
public:
    explicit TsComboEdit(TComponent* AOwner);
};
