// The skinned combo box (section "COMBOBOX") with its bound caption label.
#pragma once

#include "StdCtrls.h"
#include "sCommonData.h"

class TsComboBox : public TsSkinnedBound<TComboBox> {
    VCL_CLASS(TsComboBox, TsSkinnedBound<TComboBox>)
public:
    explicit TsComboBox(TComponent* AOwner);
};
