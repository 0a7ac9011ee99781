// The skinned push button (section "BUTTON").
#pragma once

#include "StdCtrls.h"
#include "sCommonData.h"

class TsButton : public TButton, public TsSkinHolder {
    VCL_CLASS(TsButton, TButton)
public:
    explicit TsButton(TComponent* AOwner);
};
