// The skinned button with a glyph (section "BUTTON").
#pragma once

#include "Buttons.h"
#include "sCommonData.h"

class TsBitBtn : public TsSkinned<TBitBtn> {
    VCL_CLASS(TsBitBtn, TsSkinned<TBitBtn>)
public:
    explicit TsBitBtn(TComponent* AOwner);
};
