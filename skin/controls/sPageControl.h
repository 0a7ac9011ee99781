// The skinned page control (section "PAGECONTROL") and its pages (section "TABSHEET").
#pragma once

#include "ComCtrlsPages.h"
#include "sCommonData.h"

class TsPageControl : public TsSkinned<TPageControl> {
    VCL_CLASS(TsPageControl, TsSkinned<TPageControl>)
public:
    explicit TsPageControl(TComponent* AOwner);
};

class TsTabSheet : public TsSkinned<TTabSheet> {
    VCL_CLASS(TsTabSheet, TsSkinned<TTabSheet>)
public:
    explicit TsTabSheet(TComponent* AOwner);
};
