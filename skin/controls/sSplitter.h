// The skinned splitter (section "SPLITTER").
#pragma once

#if __has_include("ExtCtrlsPanels.h")
#include "ExtCtrlsPanels.h"
#include "sCommonData.h"

class TsSplitter : public TSplitter, public TsSkinHolder {
    VCL_CLASS(TsSplitter, TSplitter)
public:
    explicit TsSplitter(TComponent* AOwner);
};
#endif
