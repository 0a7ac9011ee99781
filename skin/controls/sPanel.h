// The skinned panel (section "PANEL"), and the grip: the square in the corner between two skinned
// scroll bars.
#pragma once

#include "ExtCtrlsPanels.h"
#include "sCommonData.h"

class TsPanel : public TsSkinned<TPanel> {
    VCL_CLASS(TsPanel, TsSkinned<TPanel>)
public:
    explicit TsPanel(TComponent* AOwner);
};

// The corner square between a host's two skinned bars (section "CHECKBOX", 20 x 20 until placed).
// With Transparent and a linked control it shows the linked control's cached image under it.
class TsGrip : public TsPanel {
    VCL_CLASS(TsGrip, TsPanel)
public:
    explicit TsGrip(TComponent* AOwner);

    // The control whose corner it covers (not owned).
    TWinControl* LinkedControl = nullptr;
    // Copy the linked control's image under the grip instead of painting a panel.
    bool Transparent = false;

protected:
    void Paint() override;
};
