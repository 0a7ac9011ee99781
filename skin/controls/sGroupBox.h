// The skinned group box (section "GROUPBOX").
#pragma once

#include "StdCtrls.h"
#include "sCommonData.h"

class TsGroupBox : public TsSkinned<TGroupBox> {
    VCL_CLASS(TsGroupBox, TsSkinned<TGroupBox>)
public:
    explicit TsGroupBox(TComponent* AOwner);
};
