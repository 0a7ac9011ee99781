// The skinned single-line edit (section "EDIT") with its bound caption label.
#pragma once

#include "StdCtrls.h"
#include "sCommonData.h"

class TsEdit : public TEdit, public TsBoundHolder {
    VCL_CLASS(TsEdit, TEdit)
public:
    explicit TsEdit(TComponent* AOwner);
};
