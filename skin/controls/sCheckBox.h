// The skinned check box (section "CHECKBOX").
#pragma once

#include "StdCtrls.h"
#include "sCommonData.h"

class TsCheckBox : public TCheckBox, public TsSkinHolder {
    VCL_CLASS(TsCheckBox, TCheckBox)
public:
    explicit TsCheckBox(TComponent* AOwner);
};
