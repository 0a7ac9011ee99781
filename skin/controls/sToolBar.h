// The skinned tool bar (section "TOOLBAR"); its buttons are the framework's tool buttons.
#pragma once

#include "ComCtrlsBars.h"
#include "sCommonData.h"

class TsToolBar : public TsSkinned<TToolBar> {
    VCL_CLASS(TsToolBar, TsSkinned<TToolBar>)
public:
    explicit TsToolBar(TComponent* AOwner);
};
