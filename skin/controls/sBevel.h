// The skinned bevel (section "BEVEL").
#pragma once

#if __has_include("ExtCtrlsPanels.h")
#include "ExtCtrlsPanels.h"
#include "sCommonData.h"

class TsBevel : public TBevel, public TsSkinHolder {
    VCL_CLASS(TsBevel, TBevel)
public:
    explicit TsBevel(TComponent* AOwner);
};
#endif
