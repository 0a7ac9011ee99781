// The skinned radio button (section "CHECKBOX").
#pragma once

#include "StdCtrls.h"
#include "sCommonData.h"

class TsRadioButton : public TsSkinned<TRadioButton> {
    VCL_CLASS(TsRadioButton, TsSkinned<TRadioButton>)
public:
    explicit TsRadioButton(TComponent* AOwner);
};
