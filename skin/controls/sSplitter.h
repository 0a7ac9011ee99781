// The skinned splitter (section "SPLITTER").
#pragma once

#include "ExtCtrlsPanels.h"
#include "sCommonData.h"

class TsSplitter : public TSplitter, public TsSkinHolder {
    VCL_CLASS(TsSplitter, TSplitter)
public:
    explicit TsSplitter(TComponent* AOwner);
};
