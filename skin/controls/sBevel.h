// The skinned bevel (section "BEVEL").
#pragma once

#include "ExtCtrlsPanels.h"
#include "sCommonData.h"

class TsBevel : public TBevel, public TsSkinHolder {
    VCL_CLASS(TsBevel, TBevel)
public:
    explicit TsBevel(TComponent* AOwner);
};
