// The skinned button with a glyph (section "BUTTON").
#pragma once

#include "Buttons.h"
#include "sCommonData.h"

class TsBitBtn : public TBitBtn, public TsSkinHolder {
    VCL_CLASS(TsBitBtn, TBitBtn)
public:
    explicit TsBitBtn(TComponent* AOwner);
};
