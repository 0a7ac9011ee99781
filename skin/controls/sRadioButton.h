// The skinned radio button (section "CHECKBOX").
#pragma once

#include "StdCtrls.h"
#include "sCommonData.h"

class TsRadioButton : public TRadioButton, public TsSkinHolder {
    VCL_CLASS(TsRadioButton, TRadioButton)
public:
    explicit TsRadioButton(TComponent* AOwner);
};
