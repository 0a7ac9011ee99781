// The skinned group box (section "GROUPBOX").
#pragma once

#include "StdCtrls.h"
#include "sCommonData.h"

class TsGroupBox : public TGroupBox, public TsSkinHolder {
    VCL_CLASS(TsGroupBox, TGroupBox)
public:
    explicit TsGroupBox(TComponent* AOwner);
};
