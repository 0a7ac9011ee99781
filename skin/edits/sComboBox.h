// The skinned combo box (section "COMBOBOX") with its bound caption label.
#pragma once

#include "StdCtrls.h"
#include "sCommonData.h"

class TsComboBox : public TComboBox, public TsBoundHolder {
    VCL_CLASS(TsComboBox, TComboBox)
public:
    explicit TsComboBox(TComponent* AOwner);
};
