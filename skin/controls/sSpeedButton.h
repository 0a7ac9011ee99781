// The skinned speed button (section "SPEEDBUTTON").
#pragma once

#include "Buttons.h"
#include "sCommonData.h"

class TsSpeedButton : public TSpeedButton, public TsSkinHolder {
    VCL_CLASS(TsSpeedButton, TSpeedButton)
public:
    explicit TsSpeedButton(TComponent* AOwner);
};
