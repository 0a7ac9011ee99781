// The skinned memo (section "EDIT") with its bound caption label.
#pragma once

#include "StdCtrls.h"
#include "sCommonData.h"

class TsMemo : public TMemo, public TsBoundHolder {
    VCL_CLASS(TsMemo, TMemo)
public:
    explicit TsMemo(TComponent* AOwner);
};
