// The skinned status bar (section "STATUSBAR").
#pragma once

#include "ComCtrlsBars.h"
#include "sCommonData.h"

class TsStatusBar : public TStatusBar, public TsSkinHolder {
    VCL_CLASS(TsStatusBar, TStatusBar)
public:
    explicit TsStatusBar(TComponent* AOwner);
};
