// The skinned splitter (section "SPLITTER").
#pragma once

#include "ExtCtrlsPanels.h"
#include "sCommonData.h"

class TsSplitter : public TsSkinned<TSplitter> {
    VCL_CLASS(TsSplitter, TsSkinned<TSplitter>)
public:
    explicit TsSplitter(TComponent* AOwner);
};
