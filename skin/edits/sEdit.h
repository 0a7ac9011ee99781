// The skinned single-line edit (section "EDIT") with its bound caption label.
#pragma once

#include "StdCtrls.h"
#include "sCommonData.h"

class TsEdit : public TsSkinnedBound<TEdit> {
    VCL_CLASS(TsEdit, TsSkinnedBound<TEdit>)
public:
    explicit TsEdit(TComponent* AOwner);
};
