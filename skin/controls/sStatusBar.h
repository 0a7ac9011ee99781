// The skinned status bar (section "STATUSBAR").
#pragma once

#include "ComCtrlsBars.h"
#include "sCommonData.h"

class TsStatusBar : public TsSkinned<TStatusBar> {
    VCL_CLASS(TsStatusBar, TsSkinned<TStatusBar>)
public:
    explicit TsStatusBar(TComponent* AOwner);
};
