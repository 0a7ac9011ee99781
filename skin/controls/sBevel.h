// The skinned bevel (section "BEVEL").
#pragma once

#include "ExtCtrlsPanels.h"
#include "sCommonData.h"

class TsBevel : public TsSkinned<TBevel> {
    VCL_CLASS(TsBevel, TsSkinned<TBevel>)
public:
    explicit TsBevel(TComponent* AOwner);
};
