// The skinned memo (section "EDIT") with its bound caption label.
#pragma once

#include "StdCtrls.h"
#include "sCommonData.h"

class TsMemo : public TsSkinnedBound<TMemo> {
    VCL_CLASS(TsMemo, TsSkinnedBound<TMemo>)
public:
    explicit TsMemo(TComponent* AOwner);
};
