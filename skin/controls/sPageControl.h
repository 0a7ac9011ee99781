// The skinned page control (section "PAGECONTROL") and its pages (section "TABSHEET").
#pragma once

#include "ComCtrlsPages.h"
#include "sCommonData.h"

class TsPageControl : public TPageControl, public TsSkinHolder {
    VCL_CLASS(TsPageControl, TPageControl)
public:
    explicit TsPageControl(TComponent* AOwner);
};

class TsTabSheet : public TTabSheet, public TsSkinHolder {
    VCL_CLASS(TsTabSheet, TTabSheet)
public:
    explicit TsTabSheet(TComponent* AOwner);
};
