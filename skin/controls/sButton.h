// The skinned push button (section "BUTTON").
#pragma once

#include "StdCtrls.h"
#include "sCommonData.h"

class TsButton : public TsSkinned<TButton> {
    VCL_CLASS(TsButton, TsSkinned<TButton>)
public:
    explicit TsButton(TComponent* AOwner);
};
