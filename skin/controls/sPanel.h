// The skinned panel (section "PANEL").
#pragma once

#include "ExtCtrlsPanels.h"
#include "sCommonData.h"

class TsPanel : public TsSkinned<TPanel> {
    VCL_CLASS(TsPanel, TsSkinned<TPanel>)
public:
    explicit TsPanel(TComponent* AOwner);
};
