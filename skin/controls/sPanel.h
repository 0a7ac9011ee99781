// The skinned panel (section "PANEL").
#pragma once

#include "ExtCtrlsPanels.h"
#include "sCommonData.h"

class TsPanel : public TPanel, public TsSkinHolder {
    VCL_CLASS(TsPanel, TPanel)
public:
    explicit TsPanel(TComponent* AOwner);
};
