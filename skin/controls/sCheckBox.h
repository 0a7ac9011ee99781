// The skinned check box (section "CHECKBOX").
#pragma once

#include "StdCtrls.h"
#include "sCommonData.h"

class TsCheckBox : public TsSkinned<TCheckBox> {
    VCL_CLASS(TsCheckBox, TsSkinned<TCheckBox>)
public:
    explicit TsCheckBox(TComponent* AOwner);
};
