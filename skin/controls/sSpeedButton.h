// The skinned speed button (section "SPEEDBUTTON").
#pragma once

#include "Buttons.h"
#include "sCommonData.h"

class TsSpeedButton : public TsSkinned<TSpeedButton> {
    VCL_CLASS(TsSpeedButton, TsSkinned<TSpeedButton>)
public:
    explicit TsSpeedButton(TComponent* AOwner);
};
